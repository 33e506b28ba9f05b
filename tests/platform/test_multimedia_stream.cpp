#include <gtest/gtest.h>

#include "WaveBytes.h"
#include "platform/mmsystem.h"

using namespace wavebytes;

namespace {
HMMIO OpenMemory(std::string& bytes)
{
    MMIOINFO info = {};
    info.fccIOProc = FOURCC_MEM;
    info.pchBuffer = bytes.data();
    info.cchBuffer = LONG(bytes.size());
    return mmioOpenA(nullptr, &info, MMIO_READ);
}
}  // namespace

TEST(MultimediaStream, DescendFindsChunksWithinTheirParent)
{
    std::string bytes = Riff(Chunk("LIST", "INFOabcd") + Chunk("odd1", "xyz") + Chunk("fmt ", "0123456789ABCDEF") +
                             Chunk("data", "samples!")) +
                        Chunk("data", "outside");
    HMMIO stream = OpenMemory(bytes);
    ASSERT_NE(nullptr, stream);
    MMCKINFO riff = {};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    ASSERT_EQ(MMSYSERR_NOERROR, mmioDescend(stream, &riff, nullptr, MMIO_FINDRIFF));
    EXPECT_EQ(8u, riff.dwDataOffset);

    MMCKINFO chunk = {};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    ASSERT_EQ(MMSYSERR_NOERROR, mmioDescend(stream, &chunk, &riff, MMIO_FINDCHUNK));  // past an odd-sized chunk
    EXPECT_EQ(16u, chunk.cksize);
    char text[17] = {};
    EXPECT_EQ(4, mmioRead(stream, text, 4));
    EXPECT_STREQ("0123", text);
    ASSERT_EQ(MMSYSERR_NOERROR, mmioAscend(stream, &chunk, 0));
    MMCKINFO next = {};
    ASSERT_EQ(MMSYSERR_NOERROR, mmioDescend(stream, &next, &riff, 0));
    EXPECT_EQ(mmioFOURCC('d', 'a', 't', 'a'), next.ckid);

    // Within the form only: the later "data" outside it is not found.
    mmioSeek(stream, 0, SEEK_SET);
    mmioDescend(stream, &riff, nullptr, MMIO_FINDRIFF);
    chunk.ckid = mmioFOURCC('f', 'a', 'c', 't');
    EXPECT_EQ(MMRESULT(MMIOERR_CHUNKNOTFOUND), mmioDescend(stream, &chunk, &riff, MMIO_FINDCHUNK));
    EXPECT_EQ(0, mmioRead(stream, text, 4) > 0 && memcmp(text, "data", 4) != 0);
    mmioClose(stream, 0);
}

TEST(MultimediaStream, SizesPastTheEndEndTheSearch)
{
    std::string bytes = Riff(Chunk("junk", "abc", 0x7FFFFFF0) + Chunk("data", "x"));
    HMMIO stream = OpenMemory(bytes);
    MMCKINFO riff = {};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    ASSERT_EQ(MMSYSERR_NOERROR, mmioDescend(stream, &riff, nullptr, MMIO_FINDRIFF));
    MMCKINFO chunk = {};
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    EXPECT_EQ(MMRESULT(MMIOERR_CHUNKNOTFOUND), mmioDescend(stream, &chunk, &riff, MMIO_FINDCHUNK));
    char buffer[8];
    EXPECT_EQ(0, mmioRead(stream, buffer, 8));
    EXPECT_EQ(-1, mmioSeek(stream, -1, SEEK_SET));
    mmioClose(stream, 0);

    MMIOINFO info = {};
    EXPECT_EQ(nullptr, mmioOpenA(const_cast<char*>("/nonexistent/a.wav"), &info, MMIO_READ));
    EXPECT_EQ(UINT(MMIOERR_FILENOTFOUND), info.wErrorRet);
    EXPECT_EQ(nullptr, mmioOpenA(const_cast<char*>("x.wav"), nullptr, MMIO_WRITE | MMIO_CREATE));
}
