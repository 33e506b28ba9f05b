// The bitmap resource: loading, pixels and colour tables, rectangle copies,
// the archive form and catalogs, surfaces and copies.
#include <gtest/gtest.h>

#include <memory>

#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "graphics2d/Graphics2dFixture.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/YGraphics2DResources.h"
#include "graphics2d/test_image_bytes.h"

namespace {

// A 3 x 2 8-bit picture: top row 1 2 3, bottom row 4 5 6; entry i of the
// table is (blue i, green 2i, red 3i).
Bytes Bmp8()
{
    std::vector<uint32_t> palette;
    for (uint32_t i = 0; i < 256; ++i) palette.push_back(((3 * i) & 0xFF) << 16 | ((2 * i) & 0xFF) << 8 | i);
    return MakeBMP(8, 3, 2, {{1, 2, 3}, {4, 5, 6}}, palette, 0);
}

// 2 x 2 of 24 bits: top row (1,2,3) (4,5,6), bottom row (7,8,9) (10,11,12).
Bytes Bmp24() { return MakeBMP(24, 2, 2, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}); }

Bytes Bmp32()
{
    return MakeBMP(32, 2, 2, {{1, 2, 3, 0x40, 4, 5, 6, 0x80}, {7, 8, 9, 0xC0, 10, 11, 12, 0xFF}});
}

std::unique_ptr<YDIB> Loaded(const ImageTempFolder& folder, const char* name, const Bytes& data)
{
    std::unique_ptr<YDIB> dib(new YDIB);
    EXPECT_EQ(dib->LoadFromFile(folder.Write(name, data).c_str()), 1) << name;
    return dib;
}

TEST(DIB, NewBitmapIsAOneByOneGreyPlaceholder)
{
    YDIB dib;
    EXPECT_EQ(dib.GetWidth(), 1);
    EXPECT_EQ(dib.GetHeight(), 1);
    ASSERT_NE(dib.GetHeader(), nullptr);
    EXPECT_EQ(dib.GetHeader()->biBitCount, 8);
    EXPECT_EQ(dib.GetHeader()->biSize, 40u);
    EXPECT_EQ(dib.GetHeader()->biSizeImage, 4u);
    EXPECT_EQ(dib.GetTransparentIndex(), -1);
    EXPECT_EQ(dib.m_transparentColor, 0x00FF00FFu);
    RGBQUAD entry;
    ASSERT_EQ(dib.GetColorTable(200, 1, &entry), 1);
    EXPECT_EQ(entry.rgbBlue, 200);
    EXPECT_EQ(entry.rgbRed, 200);
    EXPECT_EQ(entry.rgbReserved, 0);
    EXPECT_FALSE(dib.HasSurface());
}

TEST(DIB, LoadsEightBitBitmapsWithTheirColourTable)
{
    ImageTempFolder folder;
    auto dib = Loaded(folder, "pic.bmp", Bmp8());
    const BITMAPINFOHEADER* h = dib->GetHeader();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->biSize, 1064u);
    EXPECT_EQ(h->biBitCount, 8);
    EXPECT_EQ(h->biSizeImage, 8u);
    EXPECT_EQ(dib->OwnsBits(), 0u);
    EXPECT_EQ(std::string(static_cast<LPCTSTR>(dib->GetFileName())), folder / "pic.bmp");
    RGBQUAD entry;
    ASSERT_EQ(dib->GetColorTable(70, 1, &entry), 1);
    EXPECT_EQ(entry.rgbBlue, 70);
    EXPECT_EQ(entry.rgbGreen, 140);
    EXPECT_EQ(entry.rgbRed, 210);
    // Bits bottom-up; GetPixel counts rows from the top.
    EXPECT_EQ(Bytes(dib->GetBits(), dib->GetBits() + 8), Bytes({4, 5, 6, 0, 1, 2, 3, 0}));
    EXPECT_EQ(dib->GetPixel(0, 0), 0x00030201u);
    EXPECT_EQ(dib->GetPixel(2, 1), 0x00120C06u);
    EXPECT_EQ(*dib->GetPixelAddress(1, 0), 2);
    EXPECT_EQ(dib->GetPixelAddress(3, 0), nullptr);
    EXPECT_EQ(dib->GetPixelAddress(0, 2), nullptr);
    EXPECT_EQ(dib->GetPixelAddress(-1, 0), nullptr);
}

TEST(DIB, LoadsTrueColourBottomUp)
{
    ImageTempFolder folder;
    auto dib = Loaded(folder, "pic.bmp", Bmp24());
    const BITMAPINFOHEADER* h = dib->GetHeader();
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biBitCount, 24);
    EXPECT_EQ(h->biSizeImage, 16u);
    EXPECT_EQ(Bytes(dib->GetBits(), dib->GetBits() + 16), Bytes({7, 8, 9, 10, 11, 12, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0}));
    RGBQUAD entry;
    EXPECT_EQ(dib->GetColorTable(0, 1, &entry), 0);

    struct Case {
        int x, y;
        DWORD value;
    } cases[] = {{0, 0, 0x010203}, {1, 0, 0x040506}, {0, 1, 0x070809}, {1, 1, 0x0A0B0C},
                 {2, 0, 0},        {0, 2, 0},        {-1, 0, 0},        {0, -1, 0}};
    for (const Case& c : cases) EXPECT_EQ(dib->GetPixel(c.x, c.y), c.value) << c.x << "," << c.y;

    auto dib32 = Loaded(folder, "pic32.bmp", Bmp32());
    EXPECT_EQ(dib32->GetPixel(1, 0), 0x80040506u);
    EXPECT_EQ(dib32->GetPixel(0, 1), 0xC0070809u);
}

TEST(DIB, FailedLoadLeavesTheBitmapCleared)
{
    ImageTempFolder folder;
    YDIB dib;
    dib.SetTransparentIndex(4);
    EXPECT_EQ(dib.LoadFromFile(folder.Write("bad.bmp", Bytes(60, 0x42)).c_str()), 0);
    EXPECT_EQ(dib.GetWidth(), 0);
    EXPECT_EQ(dib.GetHeader(), nullptr);
    EXPECT_EQ(dib.GetTransparentIndex(), -1);
    EXPECT_EQ(dib.LoadFromFile((folder / "missing.bmp").c_str()), 0);
    EXPECT_EQ(dib.LoadFromFile(static_cast<const char*>(nullptr)), 0);
}

TEST(DIB, ColourRangesAreChecked)
{
    YDIB dib;
    PALETTEENTRY entries[256];
    RGBQUAD table[256];
    struct Case {
        int first, count;
        int result;
    } cases[] = {{0, 1, 1}, {255, 1, 1}, {0, 256, 1}, {250, 6, 1}, {250, 7, 0},
                 {256, 1, 0}, {-1, 2, 0}, {3, 0, 0}, {0, -5, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(dib.GetPaletteEntries(c.first, c.count, entries), c.result) << c.first << "+" << c.count;
        EXPECT_EQ(dib.GetColorTable(c.first, c.count, table), c.result) << c.first << "+" << c.count;
    }
    EXPECT_EQ(dib.GetPaletteEntries(0, 1, nullptr), 0);
    ASSERT_EQ(dib.GetPaletteEntries(7, 2, entries), 1);
    EXPECT_EQ(entries[1].peRed, 8);
    EXPECT_EQ(entries[1].peBlue, 8);
    EXPECT_EQ(entries[1].peFlags, 0);
    // The resource slots reach the same operations.
    BYTE bytes[8];
    EXPECT_EQ(dib.SetColors(250, 7, bytes), 0);
    EXPECT_EQ(dib.GetColors(9, 2, bytes), 1);
    EXPECT_EQ(bytes[4], 10);
}

// A bitmap of the given rows, top row first.
void Fill(YDIB& dib, const std::vector<Bytes>& rows)
{
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x) *dib.GetPixelAddress(static_cast<int>(x), static_cast<int>(y)) = rows[y][x];
}

std::vector<Bytes> Rows(YDIB& dib)
{
    std::vector<Bytes> rows;
    for (int y = 0; y < dib.GetHeight(); ++y) {
        Bytes row;
        for (int x = 0; x < dib.GetWidth(); ++x) row.push_back(*dib.GetPixelAddress(x, y));
        rows.push_back(row);
    }
    return rows;
}

TEST(DIB, CopyRectSkipsTheTransparentIndexAndClips)
{
    struct Case {
        const char* label;
        int x, y, width, height, sourceX, sourceY, transparent;
        std::vector<Bytes> expected;
    } cases[] = {
        {"whole, zeros transparent", 0, 0, 3, 3, 0, 0, 0, {{1, 9, 2}, {9, 3, 9}, {4, 9, 5}}},
        {"whole, opaque", 0, 0, 3, 3, 0, 0, -1, {{1, 0, 2}, {0, 3, 0}, {4, 0, 5}}},
        {"past the right and bottom edges", 2, 1, 3, 3, 0, 0, -1, {{9, 9, 9}, {9, 9, 1}, {9, 9, 0}}},
        {"from before the source's corner", 0, 0, 3, 3, -1, -1, -1, {{9, 9, 9}, {9, 1, 0}, {9, 0, 3}}},
        {"to before the target's corner", -2, -2, 3, 3, 0, 0, -1, {{5, 9, 9}, {9, 9, 9}, {9, 9, 9}}},
        {"huge rectangle", 1, 1, 1000000, 1000000, 0, 0, -1, {{9, 9, 9}, {9, 1, 0}, {9, 0, 3}}},
        {"width 0", 0, 0, 0, 3, 0, 0, -1, {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}}},
    };
    for (const Case& c : cases) {
        YDIB source, target;
        ASSERT_EQ(source.Create(3, 3), 1);
        ASSERT_EQ(target.Create(3, 3), 1);
        Fill(source, {{1, 0, 2}, {0, 3, 0}, {4, 0, 5}});
        Fill(target, {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}});
        source.CopyRect(&target, c.x, c.y, c.width, c.height, c.sourceX, c.sourceY, c.transparent);
        EXPECT_EQ(Rows(target), c.expected) << c.label;
    }
}

TEST(DIB, ArchiveKeepsPixelsRowOrderAndColourKey)
{
    ImageTempFolder folder;
    for (const char* name : {"pic24.bmp", "pic32.bmp"}) {
        auto dib = Loaded(folder, name, std::string(name) == "pic24.bmp" ? Bmp24() : Bmp32());
        dib->SetTransparentIndex(7);
        dib->m_transparentColor = 0x00123456;
        dib->SetTopDown(0);
        CMemFile memory;
        {
            CArchive ar(&memory, CArchive::store);
            dib->Serialize(ar);
        }
        memory.SeekToBegin();
        YDIB loaded;
        {
            CArchive ar(&memory, CArchive::load);
            loaded.Serialize(ar);
        }
        SCOPED_TRACE(name);
        EXPECT_EQ(loaded.GetTransparentIndex(), 7);
        EXPECT_EQ(loaded.m_transparentColor, 0x00123456u);
        ASSERT_EQ(loaded.GetWidth(), 2);
        ASSERT_EQ(loaded.GetHeight(), 2);
        EXPECT_EQ(loaded.GetHeader()->biBitCount, 32);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                EXPECT_EQ(loaded.GetPixel(x, y) & 0xFFFFFF, dib->GetPixel(x, y) & 0xFFFFFF) << x << "," << y;
        if (std::string(name) == "pic32.bmp") {
            EXPECT_EQ(loaded.GetPixel(1, 0), 0x80040506u);
        }
    }
}

TEST(DIB, ArchivedPictureIsDecodedWithoutAFileName)
{
    // The stored form: a TGA of 32 bits, top-left origin, rows as stored.
    ByteWriter w;
    w.U32(1).U32(0xFFFFFFFF).U32(0x00FF00FF).U32(0).U32(18 + 8);
    w.Raw(MakeTGA(2, 32, 1, 2, 0x20, {1, 2, 3, 4, 5, 6, 7, 8}));
    CMemFile memory(w.bytes.data(), static_cast<UINT>(w.bytes.size()));
    CArchive ar(&memory, CArchive::load);
    YDIB dib;
    dib.Serialize(ar);
    ASSERT_EQ(dib.GetHeight(), 2);
    EXPECT_EQ(Bytes(dib.GetBits(), dib.GetBits() + 8), Bytes({1, 2, 3, 4, 5, 6, 7, 8}));

    // A picture that is no TGA leaves the bitmap empty; a hostile length throws.
    ByteWriter bad;
    bad.U32(1).U32(0).U32(0).U32(0).U32(4).U32(0x21414754);
    CMemFile badMemory(bad.bytes.data(), static_cast<UINT>(bad.bytes.size()));
    CArchive badArchive(&badMemory, CArchive::load);
    dib.Serialize(badArchive);
    EXPECT_EQ(dib.GetHeader(), nullptr);
    ByteWriter huge;
    huge.U32(1).U32(0).U32(0).U32(0).U32(0x7FFFFFFF);
    CMemFile hugeMemory(huge.bytes.data(), static_cast<UINT>(huge.bytes.size()));
    CArchive hugeArchive(&hugeMemory, CArchive::load);
    bool threw = false;
    try {
        dib.Serialize(hugeArchive);
    } catch (CException* e) {
        threw = true;
        e->Delete();
    }
    EXPECT_TRUE(threw);
}

TEST(DIB, EmbeddedBitmapRoundTripsThroughACatalog)
{
    YGraphics2DResources::Register();
    ImageTempFolder folder;
    {
        YCatalog catalog;
        catalog.AddEmbeddedSection("Interface");
        YCatalogItem* item = new YCatalogItem(1, "Interface", "Zero", "", 0, "", nullptr);
        YDIB* dib = new YDIB;
        ASSERT_EQ(dib->LoadFromFile(folder.Write("zero.bmp", Bmp24()).c_str()), 1);
        dib->SetTransparentIndex(3);
        item->SetResource(dib);
        catalog.AddItem(item);
        catalog.Store((folder / "test.cat").c_str());
    }
    YCatalog loaded((folder / "test.cat").c_str());
    YDIB* dib = DYNAMIC_DOWNCAST(YDIB, loaded.GetResource(1, "Interface", "Zero", 0));
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->GetTransparentIndex(), 3);
    ASSERT_EQ(dib->GetWidth(), 2);
    EXPECT_EQ(dib->GetPixel(0, 0), 0xFF010203u);
    EXPECT_EQ(dib->GetPixel(1, 1), 0xFF0A0B0Cu);
}

TEST(DIB, SaveTgaWidensEightBitsThroughTheTable)
{
    ImageTempFolder folder;
    auto dib = Loaded(folder, "pic.bmp", Bmp8());
    CMemFile file;
    ASSERT_EQ(dib->SaveTGA(file), 1);
    Bytes written(file.GetLength());
    file.SeekToBegin();
    file.Read(written.data(), static_cast<UINT>(written.size()));
    ASSERT_EQ(written.size(), 18u + 6 * 4);
    EXPECT_EQ(written[12], 3);
    EXPECT_EQ(written[14], 2);
    // Stored rows bottom-up: the first pixel is index 4.
    EXPECT_EQ(Bytes(written.begin() + 18, written.begin() + 22), Bytes({4, 8, 12, 255}));
    // An uploaded-and-cleared or empty bitmap has nothing to write.
    YDIB empty;
    empty.Clear();
    EXPECT_EQ(empty.SaveTGA(file), 0);
}

TEST(DIB, ColourCountsOfHeaders)
{
    struct Case {
        WORD bits;
        DWORD size, used;
        int count;
    } cases[] = {{1, 40, 0, 2}, {4, 40, 0, 16}, {8, 40, 0, 256}, {24, 40, 0, 0},
                 {8, 40, 20, 20}, {8, 1064, 20, 256}, {8, 40, 1000, 256}};
    for (const Case& c : cases) {
        BITMAPINFOHEADER h;
        memset(&h, 0, sizeof h);
        h.biBitCount = c.bits;
        h.biSize = c.size;
        h.biClrUsed = c.used;
        EXPECT_EQ(YDIB::ColorCount(&h), c.count) << c.bits << " " << c.used;
    }
    EXPECT_EQ(YDIB::ColorCount(nullptr), 0);
}

TEST(DIB, AttachBorrowsTheBitsAndCopiesTheTable)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info;
    memset(&info, 0, sizeof info);
    info.header.biSize = 40;
    info.header.biWidth = 2;
    info.header.biHeight = 1;
    info.header.biBitCount = 8;
    info.header.biClrUsed = 2;
    info.colours[1] = RGBQUAD{10, 20, 30, 0};
    BYTE bits[4] = {1, 0, 0, 0};
    {
        YDIB dib;
        ASSERT_EQ(dib.Attach(reinterpret_cast<BITMAPINFO*>(&info), bits), 1);
        EXPECT_EQ(dib.GetBits(), bits);
        EXPECT_EQ(dib.OwnsBits(), 0u);
        EXPECT_EQ(dib.GetPixel(0, 0), 0x001E140Au);
        dib.SetTransparentIndex(1);
        EXPECT_EQ(dib.GetTransparentColor(), RGB(30, 20, 10));
        dib.SetTransparentIndex(-1);
        EXPECT_EQ(dib.GetTransparentColor(), 0u);
    }
    EXPECT_EQ(bits[0], 1);  // still ours
}

TEST(DIB, MapColorsToPaletteRewritesBitsAndTable)
{
    YDIB dib;
    ASSERT_EQ(dib.Create(2, 1), 1);
    Fill(dib, {{0, 255}});
    PALETTEENTRY palette[256];
    for (auto& p : palette) p = PALETTEENTRY{128, 128, 128, 0};
    palette[0] = PALETTEENTRY{255, 255, 255, 0};
    palette[1] = PALETTEENTRY{0, 0, 0, 0};
    ASSERT_EQ(dib.MapColorsToPalette(palette), 1);
    EXPECT_EQ(Rows(dib), std::vector<Bytes>({{1, 0}}));
    EXPECT_EQ(dib.GetHeader()->biClrUsed, 256u);
    RGBQUAD entry;
    dib.GetColorTable(0, 1, &entry);
    EXPECT_EQ(entry.rgbRed, 255);
    EXPECT_EQ(dib.MapColorsToPalette(nullptr), 0);
}

TEST(DIB, CopyToMakesAnIndependentCopy)
{
    ImageTempFolder folder;
    auto dib = Loaded(folder, "pic.bmp", Bmp8());
    dib->SetTransparentIndex(2);
    dib->SetId(42);
    YDIB* copy = DYNAMIC_DOWNCAST(YDIB, dib->CopyTo(nullptr));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetId(), 42);
    EXPECT_EQ(copy->GetTransparentIndex(), 2);
    EXPECT_EQ(copy->GetHeader()->biSize, 1064u);
    EXPECT_EQ(copy->OwnsBits(), 1u);
    EXPECT_NE(copy->GetBits(), dib->GetBits());
    *dib->GetPixelAddress(0, 0) = 77;
    EXPECT_EQ(*copy->GetPixelAddress(0, 0), 1);
    EXPECT_EQ(copy->GetPixel(2, 1), dib->GetPixel(2, 1));
    delete copy;

    YResource plain;
    EXPECT_EQ(dib->CopyTo(&plain), &plain);
    EXPECT_EQ(plain.GetId(), 0);
}

class DIBSurfaceTest : public Graphics2dTest {};

TEST_F(DIBSurfaceTest, ThirtyTwoBitBitmapsUploadUpright)
{
    ImageTempFolder folder;
    auto dib = Loaded(folder, "pic32.bmp", Bmp32());
    ASSERT_EQ(dib->CreateSurfaces(&display), TRUE);
    ASSERT_TRUE(dib->HasSurface());
    EXPECT_EQ(dib->GetHeader(), nullptr);
    EXPECT_EQ(dib->GetWidth(), 2);
    EXPECT_EQ(dib->GetHeight(), 2);
    EXPECT_TRUE(dib->GetSurface()->IsAlphaSource());
    EXPECT_EQ(Read(*dib->GetSurface()), std::vector<uint32_t>({0x40030201, 0x80060504, 0xC0090807, 0xFF0C0B0A}));

    // Released, it comes back from its file.
    dib->ReleaseSurfaces();
    EXPECT_FALSE(dib->HasSurface());
    ASSERT_EQ(dib->CreateSurfaces(&display), TRUE);
    EXPECT_TRUE(dib->HasSurface());
    EXPECT_EQ(Read(*dib->GetSurface())[0], 0x40030201u);
}

TEST_F(DIBSurfaceTest, EightBitBitmapsAreDrawnIntoTheirSurface)
{
    ImageTempFolder folder;
    auto dib = Loaded(folder, "pic.bmp", Bmp8());
    dib->SetTransparentIndex(5);
    ASSERT_EQ(dib->CreateSurfaces(&display), TRUE);
    ASSERT_TRUE(dib->HasSurface());
    EXPECT_EQ(dib->GetWidth(), 3);
    EXPECT_EQ(dib->GetHeight(), 2);
    EXPECT_EQ(dib->GetTransparentIndex(), 5);
    HDC dc = nullptr;
    ASSERT_EQ(dib->GetSurface()->GetDC(&dc), 1);
    // Entry 3 is (red 9, green 6, blue 3), entry 4 (12, 8, 4); 16-bit
    // surfaces keep the top bits of each channel.
    COLORREF topRight = ::GetPixel(dc, 2, 0), bottomLeft = ::GetPixel(dc, 0, 1);
    dib->GetSurface()->ReleaseDC(dc);
    EXPECT_NEAR(static_cast<int>(GetRValue(topRight)), 9, 8);
    EXPECT_NEAR(static_cast<int>(GetBValue(topRight)), 3, 8);
    EXPECT_NEAR(static_cast<int>(GetRValue(bottomLeft)), 12, 8);
    EXPECT_GT(GetRValue(bottomLeft), GetRValue(topRight));
}

TEST_F(DIBSurfaceTest, DrawCopiesIntoSurfacesOfTheSameDepthClipped)
{
    ImageTempFolder folder;
    auto dib = Loaded(folder, "pic32.bmp", Bmp32());
    YDXSurface target("target");
    DDPIXELFORMAT format = RgbFormat(32, 0xFF0000, 0x00FF00, 0x0000FF);
    ASSERT_EQ(target.CreateSurface(&display, 3, 3, DDSCAPS_SYSTEMMEMORY, nullptr, 0, &format), 1);
    struct Case {
        const char* label;
        int x, y;
        std::vector<uint32_t> pixels;
    } cases[] = {
        {"inside", 1, 0, {0, 0x40030201, 0x80060504, 0, 0xC0090807, 0xFF0C0B0A, 0, 0, 0}},
        {"over the left and bottom edges", -1, 2, {0, 0, 0, 0, 0, 0, 0x80060504, 0, 0}},
        {"over the right edge", 2, 1, {0, 0, 0, 0, 0, 0x40030201, 0, 0, 0xC0090807}},
        {"wholly outside", 5, -7, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Write(target, std::vector<uint32_t>(9, 0));
        EXPECT_EQ(dib->Draw(&target, c.x, c.y, SRCCOPY), 1) << c.label;
        EXPECT_EQ(Read(target), c.pixels) << c.label;
    }
}

TEST_F(DIBSurfaceTest, CopyOfAnUploadedBitmapHasItsOwnSurface)
{
    ImageTempFolder folder;
    auto dib = Loaded(folder, "pic32.bmp", Bmp32());
    ASSERT_EQ(dib->CreateSurfaces(&display), TRUE);
    std::unique_ptr<YDIB> copy(DYNAMIC_DOWNCAST(YDIB, dib->CopyTo(nullptr)));
    ASSERT_NE(copy, nullptr);
    ASSERT_TRUE(copy->HasSurface());
    EXPECT_NE(copy->GetSurface(), dib->GetSurface());
    EXPECT_EQ(Read(*copy->GetSurface()), Read(*dib->GetSurface()));
}

}  // namespace

namespace {

// A resource's bytes: header, 256 colours, then rows of width 3 padded to 4.
Bytes ResourceBytes(int bits, DWORD compression, DWORD imageSize, int height, size_t rowBytes)
{
    ByteWriter w;
    w.U32(40).U32(3).U32(static_cast<uint32_t>(height)).U16(1).U16(static_cast<uint32_t>(bits)).U32(compression);
    w.U32(imageSize).U32(0).U32(0).U32(0).U32(0);
    for (uint32_t i = 0; i < 256; ++i) w.U32(i * 0x010101u);
    for (size_t i = 0; i < rowBytes; ++i) w.U8(static_cast<uint32_t>(i + 1));
    return w.bytes;
}

TEST(DIB, ResourceBytesNeedAnUncompressedEightBitHeader)
{
    struct Case {
        const char* label;
        Bytes data;
        int result;
    } cases[] = {
        {"8 bits, image size given", ResourceBytes(8, 0, 8, 2, 8), 1},
        {"8 bits, image size 0", ResourceBytes(8, 0, 0, 2, 8), 1},
        {"top-down", ResourceBytes(8, 0, 0, -2, 8), 1},
        {"24 bits", ResourceBytes(24, 0, 0, 2, 24), 0},
        {"compressed", ResourceBytes(8, 1, 0, 2, 8), 0},
        {"rows cut short", ResourceBytes(8, 0, 0, 2, 7), 0},
        {"image size smaller than the rows", ResourceBytes(8, 0, 4, 2, 8), 0},
        {"no colour table", Bytes(40, 0), 0},
    };
    for (const Case& c : cases) {
        YDIB dib;
        EXPECT_EQ(dib.LoadFromResourceData(c.data.data(), c.data.size()), c.result) << c.label;
        if (c.result) {
            EXPECT_EQ(dib.GetHeight(), 2) << c.label;
            EXPECT_EQ(dib.OwnsBits(), 1u);
            EXPECT_EQ(*dib.GetPixelAddress(0, 0), std::string(c.label) == "top-down" ? 1 : 5) << c.label;
        }
    }
    YDIB dib;
    EXPECT_EQ(dib.LoadFromResource(100, nullptr), 0);
}

}  // namespace
