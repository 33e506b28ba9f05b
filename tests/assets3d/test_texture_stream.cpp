// The "YTEX" stream: a golden stream written by hand, round trips, header-
// only reading, and truncated or corrupt streams refused whole.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "TextureFixture.h"
#include "platform/mfc.h"

namespace {

using namespace texture_test;

// Little-endian stream bytes, as the tests write them by hand.
struct Stream {
    Bytes bytes;
    Stream& I32(int32_t v)
    {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
        return *this;
    }
    Stream& U16(int v)
    {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    Stream& Raw(const std::string& s)
    {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    Stream& Str(const std::string& s) { return U16(static_cast<int>(s.size())).Raw(s); }
    Stream& F32(float f)
    {
        int32_t v;
        std::memcpy(&v, &f, 4);
        return I32(v);
    }
    Stream& Palette()
    {
        for (int i = 0; i < 256; ++i) {
            bytes.push_back(static_cast<uint8_t>(i));
            bytes.push_back(static_cast<uint8_t>(i / 2));
            bytes.push_back(static_cast<uint8_t>(255 - i));
            bytes.push_back(0);
        }
        return *this;
    }
    Stream& Layer(int w, int h, int pitch, int rgbGen, int alphaGen, int rgbLock, int alphaLock, int rgbAt, int alphaAt)
    {
        for (int v : {w, h, pitch, rgbGen, alphaGen, rgbLock, alphaLock, rgbAt, alphaAt}) I32(v);
        return *this;
    }
};

// The golden stream: texture "abc" of 2 x 2, one level, tag UpFilter=Box, a
// triangle region "R" with tag Hit=1, a 5-6-5 format "RGB565" and a 4-4-4-4
// format "A4" with alpha and tag GenRGBMIP-0=1.
//   header 40 + name 3 + tags (2+8+2+3) = 58; region 2+1+2+2+24+(2+3+2+1) = 39 -> 97
//   "RGB565": 2+6+88+1024+2+36 = 1158 -> 1255; "A4": 2+2+88+1024+2+16+36 = 1170 -> 2425
//   data: 565 colour 8 at 2425, 4444 colour 8 at 2433, alpha 4 at 2441; 2445 bytes.
Bytes Golden()
{
    Stream s;
    s.Raw("YTEX").I32(1).I32(0).I32(2).I32(2).I32(2).I32(1).I32(3).I32(1).I32(1);
    s.Raw("abc").Str("UpFilter").Str("Box");
    s.Str("R").U16(3).U16(1).F32(0).F32(0).F32(1).F32(0).F32(0).F32(1).Str("Hit").Str("1");
    // Channel fields in stream order blue, green, red, alpha.
    s.Str("RGB565");
    for (int v : {2, 2, 16, 0, 2, 1, 1, 5, 6, 5, 0, 0, 5, 11, 0, 31, 63, 31, 0, -1, 0, 255}) s.I32(v);
    s.Palette().U16(0);
    s.Layer(2, 2, 4, 1, 0, 0, 0, 2425, -1);
    s.Str("A4");
    for (int v : {2, 2, 16, 4, 2, 1, 0, 4, 4, 4, 4, 0, 4, 8, 12, 15, 15, 15, 15, 0x0F0F, 10, 20}) s.I32(v);
    s.Palette().U16(1).Str("GenRGBMIP-0").Str("1");
    s.Layer(2, 2, 4, 1, 1, 0, 1, 2433, 2441);
    for (int v : {0xF800, 0x07E0, 0x001F, 0xFFFF}) s.U16(v);
    for (int v : {0x0F00, 0x00F0, 0x000F, 0x0FFF}) s.U16(v);
    for (int v : {0x0, 0x5, 0xA, 0xF}) s.bytes.push_back(static_cast<uint8_t>(v));
    EXPECT_EQ(s.bytes.size(), 2445u);
    return s.bytes;
}

uint32_t ExchangeAt(YTextureFormat* f, int x, int y)
{
    BYTE p[4];
    f->UnpackPixel(f->GetPixel(0, x, y), p);
    return p[0] | p[1] << 8 | p[2] << 16;
}

// A texture read from bytes in memory.
int LoadBytes(YTexture2& texture, Bytes bytes, int loadPixels = 1)
{
    if (bytes.empty()) bytes.push_back(0);
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    if (bytes.size() == 1 && bytes[0] == 0) file.SetLength(0);
    return texture.Load(&file, loadPixels);
}

class TextureStream : public ::testing::Test {
protected:
    ScratchFolder m_folder;
};

TEST_F(TextureStream, GoldenStreamLoadsWithFormatsTagsRegionsAndPixels)
{
    m_folder.Write("golden.ytx", Golden());
    YTexture2 texture;
    texture.SetErrorMode(1);
    ASSERT_EQ(texture.LoadFile((m_folder / "golden.ytx").c_str(), 1), 1) << texture.GetError().GetBuffer();
    EXPECT_STREQ(texture.GetName(), "abc");
    EXPECT_STREQ(texture.GetPath(), (m_folder / "golden.ytx").c_str());
    EXPECT_EQ(texture.m_iWidth, 2);
    EXPECT_EQ(texture.m_iMIPDepth, 1);
    EXPECT_STREQ(texture.GetTagValueByName("upfilter", ""), "Box");
    ASSERT_EQ(texture.GetNumRegions(), 1);
    YTexRegion* region = texture.GetRegion(0);
    EXPECT_STREQ(region->m_strName, "R");
    EXPECT_EQ(region->GetPointCount(), 3);
    EXPECT_STREQ(region->GetTagValueByName("Hit", ""), "1");
    EXPECT_EQ(texture.HitTestRegions(0.2f, 0.2f), 1);
    EXPECT_EQ(texture.HitTestRegions(0.8f, 0.8f), 0);

    ASSERT_EQ(texture.GetNumFormats(), 2);
    YTextureFormat* rgb = texture.GetFormat(0);
    EXPECT_STREQ(rgb->m_strName, "RGB565");
    EXPECT_EQ(rgb->HasAlpha(), 0);
    EXPECT_EQ(rgb->m_bitCount[TEX_RED], 5);
    EXPECT_EQ(rgb->m_bitCount[TEX_GREEN], 6);
    EXPECT_EQ(rgb->m_shift[TEX_RED], 11);
    EXPECT_EQ(rgb->m_shift[TEX_BLUE], 0);
    EXPECT_EQ(rgb->m_mask[TEX_GREEN], 63);
    EXPECT_EQ(rgb->m_palette[3].rgbRed, 252);
    EXPECT_EQ(rgb->m_palette[3].rgbGreen, 1);
    EXPECT_EQ(ExchangeAt(rgb, 0, 0), 0xFF0000u);
    EXPECT_EQ(ExchangeAt(rgb, 1, 0), 0x00FF00u);
    EXPECT_EQ(ExchangeAt(rgb, 0, 1), 0x0000FFu);
    EXPECT_EQ(rgb->GetLayerRGBGenerated(0), 1);
    EXPECT_EQ(rgb->GetLayer(0)->m_iAlphaOffset, -1);

    YTextureFormat* argb = texture.GetFormat(1);
    EXPECT_EQ(argb->HasAlpha(), 1);
    EXPECT_EQ(argb->m_iColorKey, 0x0F0F);
    EXPECT_EQ(argb->m_iFirstPalette, 10);
    EXPECT_EQ(argb->m_iLastPalette, 20);
    EXPECT_STREQ(argb->GetTagValueByName("GenRGBMIP-0", ""), "1");
    EXPECT_EQ(ExchangeAt(argb, 0, 0), 0xFF0000u);
    EXPECT_EQ(ExchangeAt(argb, 1, 1), 0xFFFFFFu);
    EXPECT_EQ(argb->GetPixelAlpha(0, 0, 0), 0x00);
    EXPECT_EQ(argb->GetPixelAlpha(0, 1, 0), 0x55);
    EXPECT_EQ(argb->GetPixelAlpha(0, 1, 1), 0xFF);
    EXPECT_EQ(argb->GetLayerAlphaLock(0), 1);
    EXPECT_EQ(argb->GetLayer(0)->m_iAlphaOffset, 2441);

    // Written back, it is the same stream byte for byte.
    ASSERT_EQ(texture.SaveFile((m_folder / "again.ytx").c_str()), 1);
    EXPECT_EQ(ReadFile(m_folder / "again.ytx"), Golden());
    EXPECT_STREQ(texture.GetPath(), (m_folder / "again.ytx").c_str());
}

TEST_F(TextureStream, SaveLoadSaveIsByteIdentical)
{
    auto texture = ImportedTexture(m_folder, "4444", 32, 16);
    texture->m_strName = "clouds";
    texture->SetTag("UpFilter", "Cubic");
    texture->SetTag("UpFilter2", std::string(8191, 'v').c_str());
    YTexRegion* region = new YTexRegion;
    region->m_strName = "Wing";
    region->AddPoint(0.25f, 0.5f);
    region->SetTag("Kind", "bonus");
    texture->AddRegion(region);
    YTextureFormat* opaque = MakeFormat("565");
    ASSERT_EQ(texture->AddFormat(opaque), 1);
    ASSERT_EQ(texture->SaveFile((m_folder / "a.ytx").c_str()), 1);

    YTexture2 again;
    ASSERT_EQ(again.LoadFile((m_folder / "a.ytx").c_str(), 1), 1);
    EXPECT_EQ(again.GetNumFormats(), 2);
    EXPECT_EQ(again.m_iMIPDepth, 3);
    ASSERT_EQ(again.SaveFile((m_folder / "b.ytx").c_str()), 1);
    EXPECT_EQ(ReadFile(m_folder / "a.ytx"), ReadFile(m_folder / "b.ytx"));
    // Same pixels in every layer.
    for (int16_t l = 0; l < 3; ++l) {
        YTextureLayer* a = texture->GetFormat(0)->GetLayer(l);
        YTextureLayer* b = again.GetFormat(0)->GetLayer(l);
        ASSERT_EQ(a->RGBSize(), b->RGBSize());
        EXPECT_EQ(0, std::memcmp(a->m_pRGB, b->m_pRGB, a->RGBSize()));
        EXPECT_EQ(0, std::memcmp(a->m_pAlpha, b->m_pAlpha, a->AlphaSize()));
    }
}

TEST_F(TextureStream, OneSmallFormatIsLaidOutAsSized)
{
    auto texture = ImportedTexture(m_folder, "565", 4, 4);
    texture->m_strName = "abc";
    texture->ClearExternalized();
    YTextureFormat* f = texture->GetFormat(0);
    while (f->GetNumTags() > 0) f->RemoveTag(0);
    ASSERT_EQ(texture->SaveFile((m_folder / "abc.ytx").c_str()), 1);
    const size_t header = 40 + 3 + 1116 + 6 + 36;
    Bytes bytes = ReadFile(m_folder / "abc.ytx");
    ASSERT_EQ(bytes.size(), header + 32);
    EXPECT_EQ(f->GetLayer(0)->m_iRGBOffset, static_cast<int32_t>(header));
    EXPECT_EQ(f->GetLayer(0)->m_iAlphaOffset, -1);
    f->HeaderSize();
    EXPECT_EQ(f->m_iHeaderSize, 1116 + 6 + 36);
    EXPECT_EQ(f->m_iDataSize, 32);
    EXPECT_EQ(0, std::memcmp(&bytes[header], f->GetLayer(0)->m_pRGB, 32));
}

TEST_F(TextureStream, HeaderFaultsAreNamedAndLeaveTheTexture)
{
    struct Case {
        int at;
        int32_t value;
        const char* message;
    } cases[] = {
        {0, 0x58455459 + 1, "Filename is not an YTexture2 stream"},
        {4, 2, "Filename is not supported YTexture2 version"},
        {8, 1, "Filename is not supported YTexture2 revision"},
        {12, 65537, "Unable to load from data source"},
        {28, 9000, "Unable to load from data source"},
    };
    for (const Case& c : cases) {
        YTexture2 texture;
        texture.SetErrorMode(1);
        ASSERT_EQ(LoadBytes(texture, Golden()), 1);
        Bytes bad = Golden();
        for (int i = 0; i < 4; ++i) bad[c.at + i] = static_cast<uint8_t>(static_cast<uint32_t>(c.value) >> (8 * i));
        EXPECT_EQ(LoadBytes(texture, bad), 0) << c.at;
        EXPECT_STREQ(texture.GetError(), c.message) << c.at;
        EXPECT_STREQ(texture.GetName(), "abc") << c.at;
        EXPECT_EQ(texture.GetNumFormats(), 2) << c.at;
    }
}

TEST_F(TextureStream, EveryTruncationIsRefused)
{
    const Bytes golden = Golden();
    for (size_t size = 0; size < golden.size(); ++size) {
        YTexture2 texture;
        texture.SetErrorMode(1);
        ASSERT_EQ(LoadBytes(texture, Bytes(golden.begin(), golden.begin() + size)), 0) << size;
        ASSERT_STREQ(texture.GetError(), "Unable to load from data source") << size;
        ASSERT_EQ(texture.GetNumFormats(), 0) << size;
    }
    // Without the pixels only the headers are read: they end at 2425.
    YTexture2 headers;
    EXPECT_EQ(LoadBytes(headers, Bytes(golden.begin(), golden.begin() + 2425), 0), 1);
    EXPECT_EQ(LoadBytes(headers, Bytes(golden.begin(), golden.begin() + 2424), 0), 0);
}

TEST_F(TextureStream, CorruptFieldsAreRefused)
{
    // Offsets of fields in the golden stream.
    const int rgbFormat = 97 + 2 + 6, argbFormat = 1255 + 2 + 2;
    const int rgbLayer = rgbFormat + 88 + 1024 + 2;
    struct Case {
        const char* what;
        int at;
        int32_t value;
        int bytes;
    } cases[] = {
        {"format count above 16 bits", 12, 0x10002, 4},
        {"negative tag count", 32, -1, 4},
        {"region count above 16 bits", 36, 0x10001, 4},
        {"tag name longer than the scratch area", 58 - 15, 8192, 2},
        {"region point count above int16", 58 + 3, 0x8000, 2},
        {"no bytes per pixel", rgbFormat + 16, 0, 4},
        {"five bytes per pixel", rgbFormat + 16, 5, 4},
        {"negative MIP depth", rgbFormat + 20, -1, 4},
        {"nine blue bits", rgbFormat + 28, 9, 4},
        {"alpha bits 200", argbFormat + 40, 200, 4},
        {"shift past the pixel", rgbFormat + 52, 32, 4},
        {"mask wider than a byte", rgbFormat + 64, 256, 4},
        {"palette index 300", argbFormat + 84, 300, 4},
        {"format width above 16 bits", rgbFormat + 0, 0x10002, 4},
        {"layer off the halving chain", rgbLayer + 0, 1, 4},
        {"pitch below width x bytes", rgbLayer + 8, 3, 4},
        {"pitch beyond 16 bits", rgbLayer + 8, 0x10004, 4},
        {"colour data past the end", rgbLayer + 28, 2440, 4},
        {"alpha data past the end", 2425 - 4, 2442, 4},
        {"offset near 2 GB", rgbLayer + 28, 0x7FFFFFF0, 4},
    };
    for (const Case& c : cases) {
        Bytes bad = Golden();
        for (int i = 0; i < c.bytes; ++i) bad[c.at + i] = static_cast<uint8_t>(static_cast<uint32_t>(c.value) >> (8 * i));
        YTexture2 texture;
        texture.SetErrorMode(1);
        EXPECT_EQ(LoadBytes(texture, bad), 0) << c.what;
        EXPECT_STREQ(texture.GetError(), "Unable to load from data source") << c.what;
        EXPECT_EQ(texture.GetNumFormats(), 0) << c.what;
    }
}

TEST_F(TextureStream, TheNameIsReadExactlyAfterALongerOne)
{
    YTexture2 texture;
    Bytes longer = Golden();
    // "abc" becomes "abcdefgh" at the cost of 5 more bytes before the data.
    Stream s;
    s.Raw("YTEX").I32(1).I32(0).I32(0).I32(2).I32(2).I32(1).I32(8).I32(0).I32(0).Raw("abcdefgh");
    ASSERT_EQ(LoadBytes(texture, s.bytes), 1);
    EXPECT_STREQ(texture.GetName(), "abcdefgh");
    ASSERT_EQ(LoadBytes(texture, longer), 1);
    EXPECT_STREQ(texture.GetName(), "abc");
}

TEST_F(TextureStream, HeaderOnlyThenDataOnDemand)
{
    m_folder.Write("golden.ytx", Golden());
    YTexture2 texture;
    texture.SetErrorMode(1);
    ASSERT_EQ(texture.LoadFile((m_folder / "golden.ytx").c_str(), 0), 1);
    ASSERT_EQ(texture.GetNumFormats(), 2);
    EXPECT_EQ(texture.GetFormat(1)->GetLayer(0)->m_pRGB, nullptr);
    EXPECT_EQ(texture.LoadFormatData(2, nullptr), 0);
    EXPECT_STREQ(texture.GetError(), "Format Index >= m_iNumFormats");
    EXPECT_EQ(texture.LoadFormatData(-1, nullptr), 0);
    EXPECT_STREQ(texture.GetError(), "Format Index < 0");
    // From the remembered path.
    ASSERT_EQ(texture.LoadFormatData(1, nullptr), 1);
    EXPECT_EQ(ExchangeAt(texture.GetFormat(1), 1, 1), 0xFFFFFFu);
    EXPECT_EQ(texture.GetFormat(1)->GetPixelAlpha(0, 0, 1), 0xAA);
    EXPECT_EQ(texture.GetFormat(0)->GetLayer(0)->m_pRGB, nullptr);
    // From a file handed in.
    CFile file;
    ASSERT_TRUE(file.Open((m_folder / "golden.ytx").c_str(), CFile::modeRead));
    ASSERT_EQ(texture.LoadFormatData(0, &file), 1);
    EXPECT_EQ(ExchangeAt(texture.GetFormat(0), 0, 1), 0x0000FFu);
    // The file is gone: nothing to read from.
    std::filesystem::remove(m_folder / "golden.ytx");
    EXPECT_EQ(texture.LoadFormatData(1, nullptr), 0);
    EXPECT_STREQ(texture.GetError(), "Unable to load from data source");
    YTexture2 none;
    none.SetErrorMode(1);
    EXPECT_EQ(none.LoadFile((m_folder / "golden.ytx").c_str(), 1), 0);
    EXPECT_STREQ(none.GetError(), "Unable to open Filename");
}

TEST_F(TextureStream, LoadingPixelsDropsFormatsOfAnotherSize)
{
    Bytes bytes = Golden();
    // The texture says 4 x 4: both formats are 2 x 2 and go.
    bytes[16] = 4;
    bytes[20] = 4;
    YTexture2 texture;
    ASSERT_EQ(LoadBytes(texture, bytes, 1), 1);
    EXPECT_EQ(texture.GetNumFormats(), 0);
    ASSERT_EQ(LoadBytes(texture, bytes, 0), 1);
    EXPECT_EQ(texture.GetNumFormats(), 2);
    // Another MIP depth drops them too.
    Bytes depth = Golden();
    depth[24] = 2;
    ASSERT_EQ(LoadBytes(texture, depth, 1), 1);
    EXPECT_EQ(texture.GetNumFormats(), 0);
}

TEST_F(TextureStream, SavingWritesOnlyWholeFormats)
{
    auto texture = ImportedTexture(m_folder, "565", 8, 8);
    ASSERT_EQ(texture->AddFormat(MakeFormat("4444")), 1);
    texture->GetFormat(1)->GetLayer(1)->FreePixels();
    ASSERT_EQ(texture->SaveFile((m_folder / "one.ytx").c_str()), 1);
    Bytes bytes = ReadFile(m_folder / "one.ytx");
    EXPECT_EQ(bytes[12], 1);
    YTexture2 back;
    ASSERT_EQ(back.LoadFile((m_folder / "one.ytx").c_str(), 1), 1);
    ASSERT_EQ(back.GetNumFormats(), 1);
    EXPECT_STREQ(back.GetFormat(0)->m_strName, "RGB565");
}

TEST_F(TextureStream, NothingToSaveKeepsTheOldFile)
{
    auto texture = ImportedTexture(m_folder, "565", 8, 8);
    ASSERT_EQ(texture->SaveFile((m_folder / "keep.ytx").c_str()), 1);
    const Bytes good = ReadFile(m_folder / "keep.ytx");
    texture->FreeFormatPixels(0);
    EXPECT_EQ(texture->SaveFile((m_folder / "keep.ytx").c_str()), 0);
    EXPECT_STREQ(texture->GetError(), "Texture has no formats");
    EXPECT_EQ(ReadFile(m_folder / "keep.ytx"), good);
    EXPECT_FALSE(std::filesystem::exists(m_folder / "keep.ytx.tmp"));
    EXPECT_EQ(texture->Save(nullptr), 0);

    // A file that cannot be made is named so, and the old one stays.
    auto other = ImportedTexture(m_folder, "565", 8, 8);
    EXPECT_EQ(other->SaveFile((m_folder / "no/such/folder.ytx").c_str()), 0);
    EXPECT_STREQ(other->GetError(), "Unable to create Filename");
    std::filesystem::create_directory(m_folder / "taken.ytx");
    EXPECT_EQ(other->SaveFile((m_folder / "taken.ytx").c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(m_folder / "taken.ytx.tmp"));
}

TEST_F(TextureStream, SavedAfterOtherBytesTheOffsetsStillCountFromTheFileStart)
{
    auto texture = ImportedTexture(m_folder, "4444", 16, 8);
    ASSERT_EQ(texture->m_iMIPDepth, 2);
    CFile file;
    ASSERT_TRUE(file.Open((m_folder / "packed.bin").c_str(), CFile::modeCreate | CFile::modeReadWrite));
    file.Write("0123456789", 10);
    ASSERT_EQ(texture->Save(&file), 1);
    file.Seek(10, CFile::begin);
    YTexture2 back;
    ASSERT_EQ(back.Load(&file, 1), 1);
    ASSERT_EQ(back.GetNumFormats(), 1);
    YTextureFormat* a = texture->GetFormat(0);
    YTextureFormat* b = back.GetFormat(0);
    EXPECT_EQ(0, std::memcmp(a->GetLayer(0)->m_pRGB, b->GetLayer(0)->m_pRGB, a->GetLayer(0)->RGBSize()));
    EXPECT_EQ(0, std::memcmp(a->GetLayer(1)->m_pAlpha, b->GetLayer(1)->m_pAlpha, a->GetLayer(1)->AlphaSize()));
}

}  // namespace
