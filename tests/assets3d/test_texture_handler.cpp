// The texture handler resource: its variants, the archive form, loading a
// variant from a list of folders, and the checked accessors.
#include "TextureFixture.h"

#include <gtest/gtest.h>

#include <memory>

#include "assets3d/YTextureData.h"
#include "assets3d/YTextureHandler.h"
#include "platform/win32_window.h"

namespace {

std::vector<BYTE> Archived(YTextureHandler& handler)
{
    CMemFile memory;
    {
        CArchive ar(&memory, CArchive::store);
        handler.Serialize(ar);
    }
    const ULONGLONG length = memory.GetLength();
    std::vector<BYTE> bytes(static_cast<size_t>(length));
    memory.SeekToBegin();
    memory.Read(bytes.data(), static_cast<UINT>(length));
    return bytes;
}

void Load(YTextureHandler& handler, const std::vector<BYTE>& bytes)
{
    CMemFile memory;
    memory.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    memory.SeekToBegin();
    CArchive ar(&memory, CArchive::load);
    handler.Serialize(ar);
}

TEST(TextureHandler, NewHandlerHasOneDefaultVariant)
{
    YTextureHandler handler;
    EXPECT_EQ(1, handler.GetCount());
    EXPECT_EQ(0, handler.GetCurrent());
    EXPECT_EQ(-1, handler.GetSelectedFormatIndex());
    EXPECT_EQ(nullptr, handler.GetSelectedFormat());
    LONG first = 0, last = 0;
    float s1 = 0, s2 = 0;
    ASSERT_EQ(1, handler.GetDays(first, last));
    EXPECT_EQ(1, first);
    EXPECT_EQ(365, last);
    ASSERT_EQ(1, handler.GetScale(s1, s2));
    EXPECT_EQ(1.0f, s1);
    EXPECT_EQ(1.0f, s2);
    EXPECT_NE(nullptr, handler.GetTexture(0));
    EXPECT_NE(nullptr, handler.GetTexture(-1));
    EXPECT_STREQ("YTextureHandler", handler.GetRuntimeClass()->m_lpszClassName);
}

TEST(TextureHandler, AccessorsCheckTheirIndexes)
{
    YTextureHandler handler;
    handler.AddTexture();
    handler.SetDays(10, 20, 1);
    LONG first = 7, last = 7;
    float s1 = 7, s2 = 7;
    CString name = "unchanged";
    for (int bad : {2, -2, 1000}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(nullptr, handler.GetTexture(bad));
        EXPECT_EQ(0, handler.GetDays(first, last, bad));
        EXPECT_EQ(0, handler.GetScale(s1, s2, bad));
        EXPECT_EQ(0, handler.GetFileName(name, bad));
        EXPECT_EQ(0, handler.SetDays(1, 2, bad));
        EXPECT_EQ(0, handler.SetScale(1, 2, bad));
        EXPECT_EQ(0, handler.SetFileName("x", bad));
        EXPECT_EQ(0, handler.SetCurrent(bad));
        EXPECT_EQ(0, handler.SelectTexture(bad));
        EXPECT_EQ(0, handler.RemoveTexture(bad));
    }
    EXPECT_EQ(7, first);
    EXPECT_EQ(7.0f, s1);
    EXPECT_STREQ("unchanged", name);
    EXPECT_EQ(2, handler.GetCount());
    EXPECT_EQ(1, handler.GetCurrent());
    ASSERT_EQ(1, handler.GetDays(first, last, -1));
    EXPECT_EQ(10, first);
    EXPECT_EQ(20, last);
    // The named values hand out the collection's empty text for a bad index.
    EXPECT_STREQ("", handler.GetValueName(5).GetBuffer());
    EXPECT_STREQ("", handler.GetValue("missing").GetBuffer());
}

TEST(TextureHandler, FileNameJoinsTheFolder)
{
    ScratchFolder folder;
    YTextureHandler handler;
    handler.SetFileName("grass.ytx");
    CString name;
    ASSERT_EQ(1, handler.GetFileName(name));
    EXPECT_STREQ("grass.ytx", name);
    std::ofstream(folder / "grass.ytx") << "x";
    ASSERT_TRUE(handler.LoadFromPath(folder.Path().c_str(), 0));
    ASSERT_EQ(1, handler.GetFileName(name));
    EXPECT_EQ(folder.Path() + "\\grass.ytx", std::string(name));
}

TEST(TextureHandler, AddAndRemoveVariants)
{
    YTextureHandler handler;
    EXPECT_EQ(1, handler.AddTexture());
    EXPECT_EQ(1, handler.GetCurrent());
    handler.SetFileName("b.ytx");
    EXPECT_EQ(2, handler.AddTexture());
    handler.SetFileName("c.ytx");
    ASSERT_EQ(1, handler.RemoveTexture(0));
    EXPECT_EQ(2, handler.GetCount());
    EXPECT_EQ(1, handler.GetCurrent());  // the last variant
    CString name;
    handler.GetFileName(name);
    EXPECT_STREQ("c.ytx", name);
    ASSERT_EQ(1, handler.RemoveTexture(-1));
    ASSERT_EQ(1, handler.RemoveTexture(0));
    // The only variant removed: a default one takes its place.
    EXPECT_EQ(1, handler.GetCount());
    EXPECT_EQ(0, handler.GetCurrent());
    handler.GetFileName(name);
    EXPECT_STREQ("", name);
    LONG first = 0, last = 0;
    handler.GetDays(first, last);
    EXPECT_EQ(1, first);
    EXPECT_EQ(365, last);
    EXPECT_NE(nullptr, handler.GetTexture());
}

TEST(TextureHandler, ArchiveRoundTripKeepsEveryVariantInOrder)
{
    YTextureHandler stored;
    stored.SetFileName("textures\\summer.ytx");
    stored.SetDays(80, 300);
    stored.SetScale(1.0f, 2.5f);
    stored.AddTexture();
    stored.SetFileName("textures\\winter.ytx");
    stored.SetDays(336, 79);  // over the year end
    stored.SetScale(0.5f, 1.0f);
    stored.AddTexture();
    stored.SetFileName("textures\\autumn.ytx");
    stored.SetDays(240, 335);
    stored.SetValue("Season", "all year");
    stored.SetValue("Author", "rcv");
    const std::vector<BYTE> bytes = Archived(stored);

    YTextureHandler loaded;
    loaded.AddTexture();
    loaded.AddTexture();
    loaded.AddTexture();
    loaded.SetCurrent(3);
    Load(loaded, bytes);
    ASSERT_EQ(3, loaded.GetCount());
    EXPECT_EQ(0, loaded.GetCurrent());
    struct Expected {
        const char* name;
        LONG first, last;
        float s1, s2;
    } expected[] = {{"textures\\summer.ytx", 80, 300, 1.0f, 2.5f},
                    {"textures\\winter.ytx", 336, 79, 0.5f, 1.0f},
                    {"textures\\autumn.ytx", 240, 335, 1.0f, 1.0f}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        CString name;
        LONG first = 0, last = 0;
        float s1 = 0, s2 = 0;
        ASSERT_EQ(1, loaded.GetFileName(name, i));
        ASSERT_EQ(1, loaded.GetDays(first, last, i));
        ASSERT_EQ(1, loaded.GetScale(s1, s2, i));
        EXPECT_STREQ(expected[i].name, name);
        EXPECT_EQ(expected[i].first, first);
        EXPECT_EQ(expected[i].last, last);
        EXPECT_EQ(expected[i].s1, s1);
        EXPECT_EQ(expected[i].s2, s2);
        // Only the first variant has a texture object after loading.
        EXPECT_EQ(i == 0, loaded.GetTexture(i) != nullptr);
    }
    ASSERT_EQ(2, loaded.GetValueCount());
    EXPECT_STREQ("all year", loaded.GetValue("season").GetBuffer());
    EXPECT_STREQ("Author", loaded.GetValueName(1).GetBuffer());
    EXPECT_STREQ("rcv", loaded.GetValueAt(1).GetBuffer());
    // Stored again, the bytes are the same.
    EXPECT_EQ(bytes, Archived(loaded));
}

TEST(TextureHandler, ArchiveFormIsTheResourceThenTheVariantsThenTheValues)
{
    YTextureHandler handler;
    handler.SetFileName("a");
    handler.SetDays(2, 3);
    handler.SetScale(1.5f, 0.25f);
    const std::vector<BYTE> bytes = Archived(handler);
    // version 1; count 1; new class tag, schema 1, name "YTextureData"; "a";
    // 2; 3; 1.5f; 0.25f; then the empty collection.
    std::vector<BYTE> head = {1, 0, 0, 0, 1, 0, 0xFF, 0xFF, 1, 0, 12, 0};
    for (char c : std::string("YTextureData")) head.push_back(static_cast<BYTE>(c));
    for (BYTE b : std::vector<BYTE>{1, 'a', 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0xC0, 0x3F, 0, 0, 0x80, 0x3E}) head.push_back(b);
    ASSERT_GE(bytes.size(), head.size());
    EXPECT_EQ(head, std::vector<BYTE>(bytes.begin(), bytes.begin() + static_cast<long>(head.size())));
}

TEST(TextureHandler, DamagedArchivesThrowAndLeaveAVariant)
{
    YTextureHandler stored;
    stored.AddTexture();
    stored.SetFileName("second.ytx");
    const std::vector<BYTE> bytes = Archived(stored);
    for (size_t cut : {size_t(2), size_t(5), size_t(20), bytes.size() - 3}) {
        SCOPED_TRACE(cut);
        YTextureHandler loaded;
        bool thrown = false;
        try {
            Load(loaded, std::vector<BYTE>(bytes.begin(), bytes.begin() + static_cast<long>(cut)));
        } catch (CException* e) {
            thrown = true;
            e->Delete();
        }
        EXPECT_TRUE(thrown);
        EXPECT_GE(loaded.GetCount(), 1);
        LONG first = 0, last = 0;
        EXPECT_EQ(1, loaded.GetDays(first, last, 0));
    }
    // An archive of no variants still gives one.
    std::vector<BYTE> empty = {1, 0, 0, 0, 0, 0};
    std::vector<BYTE> tail(bytes.end() - 8, bytes.end());  // the empty collection
    empty.insert(empty.end(), tail.begin(), tail.end());
    YTextureHandler loaded;
    Load(loaded, empty);
    EXPECT_EQ(1, loaded.GetCount());
    EXPECT_NE(nullptr, loaded.GetTexture(0));
}

TEST(TextureHandler, LoadsFromTheFirstFolderThatHoldsTheFile)
{
    ScratchFolder a, b;
    std::unique_ptr<YTexture2> texture = texture_test::ImportedTexture(b, "565", 8, 8);
    ASSERT_EQ(1, texture->SaveFile((b / "tex.ytx").c_str()));
    YTextureHandler handler;
    handler.SetFileName("tex.ytx");
    CStringArray folders;
    folders.Add(a.Path().c_str());
    folders.Add(b.Path().c_str());
    EXPECT_TRUE(handler.LoadFromDirectories(&folders, 1));
    EXPECT_EQ(b.Path(), std::string(handler.GetFolder()));
    ASSERT_NE(nullptr, handler.GetTexture());
    EXPECT_EQ(1, handler.GetTexture()->GetNumFormats());
    EXPECT_EQ(0, handler.GetSelectedFormatIndex());
    EXPECT_NE(nullptr, handler.FindFormat("RGB565"));
    EXPECT_EQ(nullptr, handler.FindFormat("rgb565"));

    CStringArray none;
    none.Add(a.Path().c_str());
    YTextureHandler other;
    other.SetFileName("tex.ytx");
    EXPECT_FALSE(other.LoadFromDirectories(&none, 1));
    EXPECT_FALSE(other.LoadFromDirectories(nullptr, 1));
    EXPECT_EQ(std::string(""), std::string(other.GetFolder()));
    // An empty file name is never found.
    YTextureHandler unnamed;
    EXPECT_FALSE(unnamed.LoadFromDirectories(&folders, 1));
}

TEST(TextureHandler, AFileThatDoesNotLoadRaisesAUserException)
{
    ScratchFolder folder;
    std::ofstream(folder / "bad.ytx") << "not a texture";
    YTextureHandler handler;
    handler.SetFileName("bad.ytx");
    EXPECT_TRUE(handler.LoadFromPath(folder.Path().c_str(), 0));  // found, not loaded
    bool user = false;
    try {
        handler.LoadFromPath(folder.Path().c_str(), 1);
    } catch (CException* e) {
        user = e->IsKindOf(RUNTIME_CLASS(CUserException));
        e->Delete();
    }
    EXPECT_TRUE(user);
}

TEST(TextureHandler, SaveImportAndCopyFormats)
{
    ScratchFolder folder;
    texture_test::WriteTGA(folder / "pic.tga", 16, 16, texture_test::Pattern);
    YTextureHandler handler;
    ASSERT_EQ(1, handler.ImportFormat((folder / "pic.tga").c_str(), texture_test::MakeFormat("8888")));
    ASSERT_NE(nullptr, handler.GetSelectedFormat());
    ASSERT_EQ(1, handler.CopySelectedFormat(texture_test::MakeFormat("565")));
    YTexture2* texture = handler.GetTexture();
    ASSERT_EQ(2, texture->GetNumFormats());
    for (int16_t level = 0; level < texture->m_iMIPDepth; ++level) {
        const YTextureFormat* from = texture->GetFormat(0);
        YTextureFormat* to = texture->GetFormat(1);
        const YTextureLayer* layer = to->m_layers[static_cast<size_t>(level)];
        for (int y = 0; y < layer->m_iHeight; ++y)
            for (int x = 0; x < layer->m_iWidth; ++x) {
                BYTE a[4], b[4];
                const_cast<YTextureFormat*>(from)->UnpackPixel(const_cast<YTextureFormat*>(from)->GetPixel(level, x, y), a);
                to->UnpackPixel(to->GetPixel(level, x, y), b);
                ASSERT_EQ(a[2] >> 3, b[2] >> 3) << level << " " << x << " " << y;
            }
    }
    // A second 5-6-5 format is refused and deleted by the handler.
    EXPECT_EQ(0, handler.CopySelectedFormat(texture_test::MakeFormat("565")));
    EXPECT_EQ(2, texture->GetNumFormats());

    handler.SetFileName((folder / "saved.ytx").c_str());
    handler.Save();
    YTexture2 read;
    ASSERT_EQ(1, read.LoadFile((folder / "saved.ytx").c_str(), 1));
    EXPECT_EQ(2, read.GetNumFormats());

    // Without a texture, or to a file that cannot be written: a user exception.
    handler.AddTexture();
    handler.SetFileName((folder / "nothing/x.ytx").c_str());
    bool user = false;
    try {
        handler.Save();
    } catch (CException* e) {
        user = e->IsKindOf(RUNTIME_CLASS(CUserException));
        e->Delete();
    }
    EXPECT_TRUE(user);
}

// A palettised copy of a true-colour format holds, at every pixel and level,
// the entry of its palette's range nearest to the colour it copies: at level
// 0, where the picture has only the range's colours, that very colour.
TEST(TextureHandler, CopyIntoAPalettisedFormatKeepsThePicture)
{
    const uint32_t colours[4] = {0xFF102030, 0xFFF08010, 0xFF20E040, 0xFFFFFFFF};
    ScratchFolder folder;
    texture_test::WriteTGA(folder / "pic.tga", 16, 16, [&](int x, int y) { return colours[(x / 4 + y / 4) % 4]; });
    YTextureHandler handler;
    ASSERT_EQ(1, handler.ImportFormat((folder / "pic.tga").c_str(), texture_test::MakeFormat("8888")));
    YTextureFormat* palettised = texture_test::MakeFormat("pal8");
    RGBQUAD palette[256] = {};
    for (int i = 0; i < 4; ++i)
        palette[40 + i] = {BYTE(colours[i]), BYTE(colours[i] >> 8), BYTE(colours[i] >> 16), 0};
    palettised->SetPalette(palette);
    palettised->m_iFirstPalette = 40;
    palettised->m_iLastPalette = 43;
    ASSERT_EQ(1, handler.CopySelectedFormat(palettised));
    YTexture2* texture = handler.GetTexture();
    ASSERT_EQ(2, texture->GetNumFormats());
    YTextureFormat* from = texture->GetFormat(0);
    YTextureFormat* to = texture->GetFormat(1);
    ASSERT_TRUE(to->HasPalette());
    ASSERT_GT(to->m_iMIPDepth, 1);
    auto distance = [](const BYTE* pixel, const RGBQUAD& entry) {
        const int b = pixel[0] - entry.rgbBlue, g = pixel[1] - entry.rgbGreen, r = pixel[2] - entry.rgbRed;
        return b * b + g * g + r * r;
    };
    for (int16_t level = 0; level < to->m_iMIPDepth; ++level) {
        const YTextureLayer* layer = to->m_layers[static_cast<size_t>(level)];
        for (int y = 0; y < layer->m_iHeight; ++y)
            for (int x = 0; x < layer->m_iWidth; ++x) {
                SCOPED_TRACE(std::to_string(level) + ": " + std::to_string(x) + ", " + std::to_string(y));
                BYTE source[4];
                from->UnpackPixel(from->GetPixel(level, x, y), source);
                const DWORD index = to->GetPixel(level, x, y);
                ASSERT_GE(index, 40u);
                ASSERT_LE(index, 43u);
                int nearest = distance(source, palette[40]);
                for (int i = 41; i < 44; ++i) nearest = std::min(nearest, distance(source, palette[i]));
                EXPECT_EQ(nearest, distance(source, to->m_palette[index]));
                if (level == 0) EXPECT_EQ(0, nearest);
            }
    }
}

}  // namespace
