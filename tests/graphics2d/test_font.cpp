#include "test_font_fixture.h"

#include "graphics2d/YDXSurface.h"

namespace {

using namespace fixture_font;

// Rows of a map with '#' over the rectangle [x0, x1) x [y0, y1).
std::vector<std::string> Box(int width, int height, int x0, int y0, int x1, int y1)
{
    std::vector<std::string> rows(height, std::string(width, '.'));
    for (int y = std::max(0, y0); y < std::min(height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(width, x1); ++x) rows[y][x] = '#';
    return rows;
}

TEST_F(FontTest, CellsComeFromThePictureSizeAndTheColumnCount)
{
    struct Case {
        int width, height;
        LONG columns;
        int cellWidth, cellHeight;
    } cases[] = {
        {64, 30, 16, 4, 5},
        {128, 90, 8, 16, 7},   // 12 rows of 7
        {96, 96, 96, 1, 96},   // one row
        {100, 52, 7, 14, 4},   // 96 / 7 = 13 rows
    };
    for (const Case& c : cases) {
        std::vector<Bytes> rows(c.height, Bytes(static_cast<size_t>(c.width) * 3, 0x80));
        folder.Write("plain.bmp", MakeBMP(24, c.width, c.height, rows));
        YFont font;
        font.m_imageName = "plain.bmp";
        font.m_columns = c.columns;
        ASSERT_EQ(1, font.LoadFontImage((folder / "").c_str(), &display)) << c.width << "x" << c.height;
        EXPECT_EQ(c.cellWidth, font.GetCellWidth());
        EXPECT_EQ(c.cellHeight, font.GetCellHeight());
        EXPECT_EQ(c.width, font.GetImageWidth());
        EXPECT_EQ(c.height, font.GetImageHeight());
        ASSERT_NE(nullptr, font.GetGlyphSurface());
        EXPECT_EQ(static_cast<DWORD>(c.width), font.GetGlyphSurface()->GetWidth());
        EXPECT_FALSE(font.GetGlyphSurface()->HasKey());
    }
}

TEST_F(FontTest, GlyphsAreMeasuredFromTheirRightEdge)
{
    std::unique_ptr<YFont> font = Font();
    struct Case {
        char c;
        int blank;
        RECT rect;
    } cases[] = {
        {' ', 2, {0, 0, 2, 5}},     // 70 % of 4, truncated
        {'A', 1, {4, 10, 8, 15}},   // glyph 33: column 1, row 2
        {'B', 3, {8, 10, 12, 15}},
        {'C', 0, {12, 10, 16, 15}},
        {'D', 4, {16, 10, 20, 15}}, // ink in the last row does not count
        {'!', 2, {4, 0, 8, 5}},
        {'~', 2, {56, 25, 60, 30}}, // glyph 94: column 14, row 5
    };
    for (const Case& c : cases) {
        const int glyph = font->GlyphIndex(c.c);
        EXPECT_EQ(c.blank, font->GetBlankColumns(glyph)) << c.c;
        RECT r = font->GetGlyphRect(glyph);
        EXPECT_EQ(c.rect.left, r.left) << c.c;
        EXPECT_EQ(c.rect.top, r.top) << c.c;
        EXPECT_EQ(c.rect.right, r.right) << c.c;
        EXPECT_EQ(c.rect.bottom, r.bottom) << c.c;
    }
}

TEST_F(FontTest, CharactersOutsideThePictureAreTheSpace)
{
    YFont font;
    struct Case {
        int c, glyph;
    } cases[] = {{' ', 0}, {'A', 33}, {'~', 94}, {127, 95}, {31, 0}, {0, 0}, {200, 0}, {-56, 0}};
    for (const Case& c : cases) EXPECT_EQ(c.glyph, font.GlyphIndex(c.c)) << c.c;
}

TEST_F(FontTest, TheExtentAddsAdvancesAndSpacing)
{
    std::unique_ptr<YFont> font = Font();
    struct Case {
        const char* text;
        int length, spacing;
        LONG width;
    } cases[] = {
        {"AB", -1, 0, 4},      // (4 - 1) + (4 - 3)
        {"AB", -1, 2, 8},      // two cells + 2, less both blanks
        {"A B", -1, 0, 6},     // the space advances 4 - 2
        {" ", -1, 1, 3},
        {"\xC8", -1, 0, 2},    // character 200 is the space
        {"CD", -1, 0, 4},
        {"ABC", 2, 0, 4},
        {"", -1, 3, 0},
        {"AB", -1, -1, 2},
    };
    for (const Case& c : cases) {
        font->SetSpacing(c.spacing);
        SIZE size = font->TextExtent(c.text, c.length);
        EXPECT_EQ(c.width, size.cx) << c.text << " spacing " << c.spacing;
        EXPECT_EQ(kCellHeight, size.cy) << c.text;
    }
}

TEST_F(FontTest, ABadColumnCountOrATooSmallPictureIsRefused)
{
    std::vector<Bytes> narrow(30, Bytes(8 * 3, 0));
    folder.Write("narrow.bmp", MakeBMP(24, 8, 30, narrow));
    struct Case {
        const char* image;
        LONG columns;
    } cases[] = {{"glyphs.bmp", 0}, {"glyphs.bmp", 97}, {"glyphs.bmp", -16}, {"narrow.bmp", 16}, {"none.bmp", 16}};
    for (const Case& c : cases) {
        YFont font;
        font.m_imageName = c.image;
        font.m_columns = c.columns;
        EXPECT_EQ(0, font.LoadFontImage((folder / "").c_str(), &display)) << c.image << " " << c.columns;
        EXPECT_EQ(nullptr, font.GetGlyphSurface());
        EXPECT_TRUE(font.GetImagePath().IsEmpty());
        std::unique_ptr<YDXSurface> target = Target(8, 8);
        font.TextOut(0, 0, "AB", -1, target.get());
        EXPECT_EQ(Box(8, 8, 0, 0, 0, 0), Map(*target));
    }
}

TEST_F(FontTest, FntFilesNameThePictureAndTheColumns)
{
    struct Case {
        LONG columns;
        int result;
    } cases[] = {{16, 1}, {0, 0}, {200, 0}};
    for (const Case& c : cases) {
        {
            CFile file((folder / "face.fnt").c_str(), CFile::modeCreate | CFile::modeWrite);
            CArchive ar(&file, CArchive::store);
            ar << CString((folder / "glyphs.bmp").c_str()) << c.columns;
        }
        YFont font;
        EXPECT_EQ(c.result, font.Load((folder / "face").c_str(), &display)) << c.columns;
        EXPECT_EQ(c.columns, font.m_columns);
        EXPECT_EQ(c.result != 0, font.GetGlyphSurface() != nullptr);
    }
    YFont missing;
    try {
        missing.Load((folder / "nothing").c_str(), &display);
        ADD_FAILURE() << "a missing description loaded";
    } catch (CFileException* e) {
        e->Delete();
    }
}

TEST_F(FontTest, TextOutCopiesTheGlyphsThroughTheLineCache)
{
    std::unique_ptr<YFont> font = Font();
    std::unique_ptr<YDXSurface> target = Target(12, 8);
    font->TextOut(1, 2, "AB", -1, target.get());
    // "A" inks x 1..3; "B" starts 3 further on and inks one column; rows 2..5.
    std::vector<std::string> want = Box(12, 8, 1, 2, 5, 6);
    EXPECT_EQ(want, Map(*target));
    EXPECT_EQ(1, font->GetLineCache().GetUsed());

    // The same text elsewhere reuses the rendered surface.
    YDXSurface* cached = font->GetLineCache().GetEntry(0)->surface;
    ASSERT_NE(nullptr, cached);
    EXPECT_EQ(4u, cached->GetWidth());
    EXPECT_EQ(5u, cached->GetHeight());
    font->TextOut(6, 0, "AB", 2, target.get());
    EXPECT_EQ(1, font->GetLineCache().GetUsed());
    EXPECT_EQ(cached, font->GetLineCache().GetEntry(0)->surface);
    for (int y = 0; y < 4; ++y)
        for (int x = 6; x < 10; ++x) want[y][x] = '#';
    EXPECT_EQ(want, Map(*target));

    // Another spacing is another entry.
    font->SetSpacing(1);
    font->TextOut(0, 0, "AB", -1, target.get());
    EXPECT_EQ(2, font->GetLineCache().GetUsed());
}

TEST_F(FontTest, CachedTextHangingOverTheTargetsEdgesIsCutThere)
{
    // "AB" renders into a 4 x 5 cache surface inked over its first 4 x 4 pixels.
    struct Case {
        int x, y;
        int left, top, right, bottom;  // the ink expected on the 12 x 8 target
    } cases[] = {
        {9, 3, 9, 3, 12, 7},   // over the right edge
        {2, 6, 2, 6, 6, 8},    // over the bottom edge
        {-2, 5, 0, 5, 2, 8},   // over the left and bottom edges
        {1, -3, 1, 0, 5, 1},   // over the top edge
    };
    for (const Case& c : cases) {
        std::unique_ptr<YFont> font = Font();
        std::unique_ptr<YDXSurface> target = Target(12, 8);
        font->TextOut(c.x, c.y, "AB", -1, target.get());
        EXPECT_EQ(Box(12, 8, c.left, c.top, c.right, c.bottom), Map(*target)) << c.x << "," << c.y;
    }
    // Wholly outside: nothing drawn.
    std::unique_ptr<YFont> font = Font();
    std::unique_ptr<YDXSurface> target = Target(12, 8);
    font->TextOut(12, 0, "AB", -1, target.get());
    EXPECT_EQ(Box(12, 8, 0, 0, 0, 0), Map(*target));
}

TEST_F(FontTest, DirectTextIsCutAtTheTargetsRightEdge)
{
    std::unique_ptr<YFont> font = Font();
    std::unique_ptr<YDXSurface> target = Target(9, 5);
    font->TextOut(0, 0, "CCA", -1, target.get(), 1);
    // Two full cells of ink, then the first column of "A" at x = 8.
    EXPECT_EQ(Box(9, 5, 0, 0, 9, 4), Map(*target));
    EXPECT_EQ(0, font->GetLineCache().GetUsed());
}

TEST_F(FontTest, NothingIsDrawnWithoutTextOrSurface)
{
    std::unique_ptr<YFont> font = Font();
    std::unique_ptr<YDXSurface> target = Target(8, 6);
    font->TextOut(0, 0, "", -1, target.get());
    font->TextOut(0, 0, "A", 0, target.get());
    font->TextOut(0, 0, nullptr, 1, target.get());
    RECT box = {0, 0, 8, 6};
    EXPECT_EQ(0, font->DrawText("", &box, 0, target.get()));
    font->ReleaseSurfaces();
    font->TextOut(0, 0, "A", 1, target.get());
    EXPECT_EQ(0, font->DrawText("A", &box, 0, target.get()));
    EXPECT_EQ(Box(8, 6, 0, 0, 0, 0), Map(*target));
    EXPECT_EQ(0, font->GetLineCache().GetUsed());
}

TEST_F(FontTest, TheCacheChecksumSkipsBytesWithBit3OfTheirDistanceFromTheEnd)
{
    struct Case {
        const char* text;
        BYTE sum;
    } cases[] = {
        {"", 0x00},
        {"abc", 0x26},       // 0x61 + 0x62 + 0x63
        {"abcdefgh", 0xC3},  // "a" is 8 from the end: b..h
        {"abcdefghi", 0xCA}, // "a" and "b" are 9 and 8 from the end: c..i
        {"AAAAAAAAAAAAAAAA", 0x41 * 8 % 256},  // 16 bytes: those 8 to 15 from the end are out
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.sum, YFontCache::Checksum(c.text, static_cast<int>(strlen(c.text)))) << c.text;
}

TEST_F(FontTest, TheHundredAndFirstStringTakesTheOldestEntry)
{
    std::unique_ptr<YFont> font = Font();
    std::unique_ptr<YDXSurface> target = Target(32, 8);
    for (int i = 0; i <= 100; ++i) font->TextOut(0, 0, std::to_string(i).c_str(), -1, target.get());
    YFontCache& cache = font->GetLineCache();
    EXPECT_EQ(100, cache.GetCapacity());
    EXPECT_EQ(100, cache.GetUsed());
    EXPECT_EQ(1, cache.GetNext());
    EXPECT_STREQ("100", cache.GetEntry(0)->text);
    EXPECT_STREQ("1", cache.GetEntry(1)->text);
    EXPECT_STREQ("99", cache.GetEntry(99)->text);
    // "0" is gone, "1" is still a hit.
    EXPECT_EQ(nullptr, cache.Find(YFontCache::Checksum("0", 1), 1, 0, 0, 0, "0", 1));
    EXPECT_EQ(cache.GetEntry(1), cache.Find(YFontCache::Checksum("1", 1), 1, 0, 0, 0, "1", 1));
}

TEST_F(FontTest, DrawTextPlacesALineByItsFlags)
{
    std::unique_ptr<YFont> font = Font();
    struct Case {
        UINT format;
        int x, y;
    } cases[] = {
        {0, 0, 0},
        {DT_RIGHT, 13, 0},             // 16 - 3
        {DT_CENTER, 6, 0},             // (16 - 3) / 2
        {DT_VCENTER, 0, 2},            // (10 - 5) / 2
        {DT_CENTER | DT_VCENTER, 6, 2},
        {DT_RIGHT | DT_CENTER, 13, 0}, // right wins
    };
    for (const Case& c : cases) {
        std::unique_ptr<YDXSurface> target = Target(16, 10);
        RECT box = {0, 0, 16, 10};
        EXPECT_EQ(1, font->DrawText("A", &box, c.format, target.get()));
        EXPECT_EQ(Box(16, 10, c.x, c.y, c.x + 3, c.y + 4), Map(*target)) << "format " << c.format;
    }
}

TEST_F(FontTest, DrawTextReusesABoxOfTheSameSizeElsewhere)
{
    std::unique_ptr<YFont> font = Font();
    std::unique_ptr<YDXSurface> target = Target(16, 12);
    RECT first = {0, 0, 8, 5}, second = {5, 6, 13, 11};
    font->DrawText("AB", &first, 0, target.get());
    font->DrawText("AB", &second, 0, target.get());
    EXPECT_EQ(1, font->GetBoxCache().GetUsed());
    std::vector<std::string> want = Box(16, 12, 0, 0, 4, 4);
    for (int y = 6; y < 10; ++y)
        for (int x = 5; x < 9; ++x) want[y][x] = '#';
    EXPECT_EQ(want, Map(*target));
    RECT taller = {0, 0, 8, 6};
    font->DrawText("AB", &taller, 0, target.get());
    EXPECT_EQ(2, font->GetBoxCache().GetUsed());
}

TEST_F(FontTest, DrawTextBreaksLinesAtNewLinesAndInsideLongWords)
{
    std::unique_ptr<YFont> font = Font();
    // "AAA" is 9 wide: in an 8-wide box it breaks after two letters; the
    // third "A" and the new line make the second line, "B" the third.
    std::unique_ptr<YDXSurface> target = Target(8, 15);
    RECT box = {0, 0, 8, 15};
    font->DrawText("AAA\nB", &box, DT_WORDBREAK, target.get());
    std::vector<std::string> want = Box(8, 15, 0, 0, 6, 4);
    for (int y = 5; y < 9; ++y) want[y].replace(0, 3, "###");
    for (int y = 10; y < 14; ++y) want[y][0] = '#';
    EXPECT_EQ(want, Map(*target));
}

TEST_F(FontTest, CalcRectMeasuresTheLaidOutLines)
{
    std::unique_ptr<YFont> font = Font();
    struct Case {
        const char* text;
        RECT in, out;
    } cases[] = {
        {"A\nB", {0, 0, 0, 0}, {0, 0, 5, 10}},    // "A " then "B": two cells high
        {"", {3, 3, 9, 9}, {0, 0, 0, 0}},
        {"AAAA", {0, 0, 7, 0}, {0, 0, 6, 10}},    // broken inside the word
        {"AA AA", {0, 0, 7, 0}, {0, 0, 6, 10}},
        {"A", {5, 7, 5, 7}, {5, 7, 8, 12}},       // an empty width becomes 1024
        {"A-B", {0, 0, 0, 0}, {0, 0, 6, 5}},
    };
    for (const Case& c : cases) {
        RECT r = c.in;
        EXPECT_EQ(1, font->DrawText(c.text, &r, DT_CALCRECT, nullptr)) << c.text;
        EXPECT_EQ(c.out.left, r.left) << c.text;
        EXPECT_EQ(c.out.top, r.top) << c.text;
        EXPECT_EQ(c.out.right, r.right) << c.text;
        EXPECT_EQ(c.out.bottom, r.bottom) << c.text;
    }
}

TEST_F(FontTest, DoubledAmpersandsShowAsOne)
{
    std::unique_ptr<YFont> font = Font();
    RECT box = {0, 0, 100, 20};
    char line[16];
    EXPECT_EQ(4, font->GetLineText("A&&B", &box, 0, 0, line, sizeof line));
    EXPECT_STREQ("A&B", line);
    EXPECT_EQ(2, font->GetLineText("A&&B", &box, 0, 0, line, 2));
    EXPECT_STREQ("A", line);
    EXPECT_EQ(0, font->GetLineText("A&&B", &box, 1, 0, line, sizeof line));

    std::unique_ptr<YDXSurface> target = Target(8, 5);
    RECT area = {0, 0, 8, 5};
    font->DrawText("A&&B", &area, 0, target.get());
    // "A" 0..2, "&" 3..4, "B" at 5.
    EXPECT_EQ(Box(8, 5, 0, 0, 6, 4), Map(*target));
}

TEST_F(FontTest, CharIndexesFollowTheLaidOutLines)
{
    std::unique_ptr<YFont> font = Font();
    const RECT wide = {0, 0, 1024, 100}, narrow = {0, 0, 7, 100};
    struct Case {
        const char* text;
        const RECT* box;
        int line, column, index;
    } cases[] = {
        {"AB CD", &wide, 0, 0, 0},
        {"AB CD", &wide, 0, 3, 3},
        {"AB CD", &wide, 0, 5, -1},
        {"AB CD", &wide, 1, 0, -1},
        {"AB CD", &narrow, 1, 0, 3},  // "AB " then "CD"
        {"AB CD", &narrow, 1, 1, 4},
        {"A&&B", &wide, 0, 2, 3},
        {"AAAA", &narrow, 1, 1, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.index, font->GetCharIndex(c.text, c.box, c.line, c.column, 0))
            << c.text << " line " << c.line << " column " << c.column;
}

TEST_F(FontTest, AThirtyTwoBitPictureIsMeasuredByAlphaAndBlended)
{
    folder.Write("glyphs.bmp", Picture(32));
    std::unique_ptr<YFont> font = Font();
    ASSERT_NE(nullptr, font->GetGlyphSurface());
    EXPECT_TRUE(font->GetGlyphSurface()->IsAlphaSource());
    EXPECT_EQ(1, font->GetBlankColumns('A' - 32));
    EXPECT_EQ(3, font->GetBlankColumns('B' - 32));
    std::unique_ptr<YDXSurface> target = Target(8, 6);
    font->TextOut(1, 1, "AB", -1, target.get());
    EXPECT_EQ(Box(8, 6, 1, 1, 5, 5), Map(*target));
}

TEST_F(FontTest, ACopyHasItsOwnSurfaceAndDrawsTheSame)
{
    std::unique_ptr<YFont> font = Font();
    font->SetSpacing(1);
    std::unique_ptr<YFont> copy(static_cast<YFont*>(font->CopyTo(nullptr)));
    ASSERT_NE(nullptr, copy->GetGlyphSurface());
    EXPECT_NE(font->GetGlyphSurface(), copy->GetGlyphSurface());
    EXPECT_EQ(font->GetCellWidth(), copy->GetCellWidth());
    EXPECT_EQ(1, copy->GetSpacing());
    std::unique_ptr<YDXSurface> a = Target(16, 6), b = Target(16, 6);
    font->TextOut(0, 0, "ABC~", -1, a.get());
    copy->TextOut(0, 0, "ABC~", -1, b.get());
    EXPECT_EQ(Map(*a), Map(*b));
    EXPECT_EQ(0, copy->GetLineCache().GetUsed() - 1);
}

TEST_F(FontTest, ReleasedSurfacesComeBackFromThePicture)
{
    std::unique_ptr<YFont> font = Font();
    std::unique_ptr<YDXSurface> target = Target(8, 6);
    font->TextOut(0, 0, "A", -1, target.get());
    EXPECT_EQ(TRUE, font->ReleaseSurfaces());
    EXPECT_EQ(nullptr, font->GetGlyphSurface());
    EXPECT_EQ(0, font->GetLineCache().GetUsed());
    EXPECT_EQ(TRUE, font->CreateSurfaces(&display));
    ASSERT_NE(nullptr, font->GetGlyphSurface());
    std::unique_ptr<YDXSurface> again = Target(8, 6);
    font->TextOut(0, 0, "A", -1, again.get());
    EXPECT_EQ(Map(*target), Map(*again));
}

}  // namespace
