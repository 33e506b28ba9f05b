#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LayoutFixture.h"
#include "ScratchFolder.h"
#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/YDXDraw.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFont.h"
#include "graphics2d/YFrame.h"
#include "graphics2d/YSprite.h"
#include "graphics2d/YSurfaceDC.h"
#include "graphics2d/test_font_fixture.h"
#include "gui/YButton.h"
#include "gui/YDC.h"
#include "gui/YEditBox.h"
#include "gui/YFontButton.h"
#include "gui/YLayoutGroup.h"
#include "gui/YLayoutItemMake.h"
#include "gui/YLayoutRes.h"
#include "gui/YLayoutResSet.h"
#include "gui/YListBox.h"
#include "gui/YSlider.h"

namespace {

// A 24-bit BMP of width x height in one colour (0xRRGGBB).
std::string SolidBmp(int width, int height, uint32_t colour)
{
    std::vector<Bytes> rows(static_cast<size_t>(height));
    for (Bytes& row : rows)
        for (int x = 0; x < width; ++x) {
            row.push_back(static_cast<uint8_t>(colour));
            row.push_back(static_cast<uint8_t>(colour >> 8));
            row.push_back(static_cast<uint8_t>(colour >> 16));
        }
    const Bytes bytes = MakeBMP(24, width, height, rows);
    return std::string(bytes.begin(), bytes.end());
}

// Takes the button of its name for itself at every load, as a button item does.
class ButtonTaker : public YLayoutItem {
public:
    void Load(YDC*) override
    {
        m_button = m_layout->GetButton(GetArg(0), this);
        ++m_loads;
        m_loaded = 1;
    }
    YButton* m_button = nullptr;
    int m_loads = 0;
};

// Stays loaded once drawn, as a control item does.
class HoldingItem : public YLayoutItem {
public:
    void Load(YDC*) override { m_loaded = 1; }
};

// Asks for its pictures at every draw, so that they stay in use.
class PictureUser : public YLayoutItem {
public:
    int Draw(YDC*) override
    {
        for (int i = 0; i < GetArgCount(); ++i) m_layout->GetDIB(GetArg(i));
        return 0;
    }
};

class MakeLayout : public TestLayout {
public:
    YCatalog* GetCatalog() override { return m_catalog; }
    YDXDraw* GetDisplay() override { return m_display; }
    YLayoutItem* CreateAppItem(const char* token) override
    {
        if (_stricmp(token, "take") == 0) return new ButtonTaker;
        if (_stricmp(token, "usedib") == 0) return new PictureUser;
        if (_stricmp(token, "hold") == 0) return new HoldingItem;
        return TestLayout::CreateAppItem(token);
    }
    YCatalog* m_catalog = nullptr;
    YDXDraw* m_display = nullptr;
};

// Pictures in a scratch folder that is also the current folder (the make
// items open frame and glyph files by name) and the catalog's search path.
class MakeItemTest : public ::testing::Test {
protected:
    MakeItemTest() : m_scratch(ScratchFolder::Enter) {}
    void SetUp() override
    {
        unsetenv("RCV_FORCE");
        GUID primary;
        memset(&primary, 0, sizeof primary);
        ASSERT_EQ(1, m_display.Create(primary));
        ASSERT_EQ(1, m_display.SetMode(0, nullptr));
        m_catalog.GetSearchDirectories().Add(m_scratch.Path().c_str());
        m_scratch.Write("red.bmp", SolidBmp(6, 3, 0xFF0000));
        m_scratch.Write("blue.bmp", SolidBmp(5, 4, 0x0000FF));
        m_scratch.Write("green.bmp", SolidBmp(4, 5, 0x00FF00));
        m_scratch.Write("white.bmp", SolidBmp(2, 2, 0xFFFFFF));
        m_scratch.Write("glyphs.bmp", fixture_font::Picture());
        m_scratch.Write("wide.bmp", SolidBmp(96, 24, 0xFF00FF));
        m_scratch.Write("broken.bmp", std::string("BM not a picture"));
        m_layout = Layout();
    }
    std::unique_ptr<MakeLayout> Layout()
    {
        std::unique_ptr<MakeLayout> layout(new MakeLayout);
        layout->m_catalog = &m_catalog;
        layout->m_display = &m_display;
        RECT screen = {0, 0, 640, 480};
        layout->MoveTo(&screen);
        return layout;
    }
    // Sets the script and draws it once.
    void Run(const char* script)
    {
        m_layout->SetScript(script);
        YDC dc;
        m_layout->Draw(&dc);
    }
    YLayoutResSet& Set() { return *m_layout->GetResourceSet(); }
    YLayoutRes* Record(CObList& list, const char* name) { return Set().FindRecord(list, name); }
    template <class T>
    T* Made(CObList& list, const char* name)
    {
        YLayoutRes* record = Record(list, name);
        return record ? dynamic_cast<T*>(record->m_resource) : nullptr;
    }
    YButton* Button(const char* name) { return Made<YButton>(m_layout->GetButtonList(), name); }
    YFont* Font(const char* name) { return Made<YFont>(m_layout->GetFontList(), name); }
    YSprite* Sprite(const char* name) { return Made<YSprite>(m_layout->GetSpriteList(), name); }
    YSlider* Slider(const char* name) { return Made<YSlider>(m_layout->GetSliderList(), name); }
    YDIB* Picture(const char* name) { return m_layout->GetDIB(name); }
    std::string Path(const char* name) { return m_scratch.Path() + "\\" + name; }
    static std::string RectText(const RECT& r)
    {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    }
    YCatalogItem* AddItem(int type, const char* section, const char* name)
    {
        YCatalogItem* item = new YCatalogItem(type, section, name, "", 0, "", nullptr);
        m_catalog.AddItem(item);
        return item;
    }

    ScratchFolder m_scratch;
    YDXDraw m_display;
    YCatalog m_catalog;
    std::unique_ptr<MakeLayout> m_layout;
};

}  // namespace

TEST_F(MakeItemTest, KeywordsMakeItemsOfTheirKind)
{
    const struct {
        const char* keyword;
        int kind;
    } cases[] = {{"makebutton", 0}, {"makebuttonwithfont", 1}, {"makefontbutton", 2},
                 {"makefont", 3},   {"makesprite", 4},         {"makeslider", 5}};
    for (const auto& c : cases) {
        std::unique_ptr<YLayoutItem> item(m_layout->CreateItem(c.keyword));
        YLayoutItemMake* make = dynamic_cast<YLayoutItemMake*>(item.get());
        ASSERT_NE(nullptr, make) << c.keyword;
        EXPECT_EQ(c.kind, make->m_kind) << c.keyword;
    }
}

TEST_F(MakeItemTest, ButtonsTakeTheirStateImagesAndTheSizeOfTheFirst)
{
    const struct {
        const char* script;
        std::vector<const char*> images;  // "" for an empty drawable
        const char* rect;
    } cases[] = {
        // Two states: normal and selected, sized like the normal image.
        {"makebutton(ok, red.bmp, blue.bmp)", {"red.bmp", "blue.bmp"}, "0,0,6,3"},
        {"makebutton(ok, blue.bmp, red.bmp, green.bmp)", {"blue.bmp", "red.bmp", "green.bmp"}, "0,0,5,4"},
        {"makebutton(ok, green.bmp, red.bmp, blue.bmp, white.bmp)",
         {"green.bmp", "red.bmp", "blue.bmp", "white.bmp"},
         "0,0,4,5"},
        // A missing normal image leaves the drawable empty and the size alone.
        {"makebutton(ok, missing.bmp, red.bmp)", {"", "red.bmp"}, "0,0,0,0"},
        {"makebutton(ok, red.bmp, broken.bmp)", {"red.bmp", ""}, "0,0,6,3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        m_layout = Layout();
        Run(c.script);
        YButton* button = Button("ok");
        ASSERT_NE(nullptr, button);
        EXPECT_EQ(YButton::kTypeCode, static_cast<YResource*>(button)->GetId());
        EXPECT_EQ(nullptr, dynamic_cast<YFontButton*>(button));
        ASSERT_EQ(static_cast<int>(c.images.size()), button->GetResourceCount());
        for (size_t k = 0; k < c.images.size(); ++k) {
            YDIB* expected = *c.images[k] ? Picture(c.images[k]) : nullptr;
            if (*c.images[k]) {
                EXPECT_NE(nullptr, expected) << k;
            }
            EXPECT_EQ(expected, button->GetResourceAt(static_cast<int>(k))) << k;
        }
        EXPECT_EQ(c.rect, RectText(button->Rect()));
        // A made button belongs to no item yet.
        EXPECT_EQ(nullptr, Record(m_layout->GetButtonList(), "ok")->m_owner);
    }
}

TEST_F(MakeItemTest, TooFewArgumentsMakeNothing)
{
    const char* scripts[] = {
        "makebutton(ok, red.bmp)",
        "makebuttonwithfont(ok, 0, 0, 0, red.bmp, f, 0, blue.bmp, f)",
        "makefontbutton(ok, f)",
        "makefont(f)",
        "makesprite(s, 0, 0, 0, 0, 0)",
        "makeslider(s, red.bmp)",
    };
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        m_layout = Layout();
        Run(script);
        EXPECT_EQ(0, Set().GetRecordCount());
    }
}

TEST_F(MakeItemTest, ButtonsWithFontsSetTheStatesGiven)
{
    const char* fonts = "makefont(f0, glyphs.bmp) makefont(f1, glyphs.bmp) makefont(f2, glyphs.bmp) "
                        "makefont(f3, glyphs.bmp) ";
    const struct {
        const char* states;
        int count;
    } cases[] = {
        // 12 arguments: the hover state's image and font but not its spacing.
        {"red.bmp, f0, 1, blue.bmp, f1, 2, green.bmp, f2", 2},
        {"red.bmp, f0, 1, blue.bmp, f1, 2, green.bmp, f2, 3", 3},
        {"red.bmp, f0, 1, blue.bmp, f1, 2, green.bmp, f2, 3, white.bmp, f3", 3},
        {"red.bmp, f0, 1, blue.bmp, f1, 2, green.bmp, f2, 3, white.bmp, f3, 4", 4},
    };
    const char* images[] = {"red.bmp", "blue.bmp", "green.bmp", "white.bmp"};
    // The caption font slots of the states normal, selected, hover, disabled.
    const int slots[] = {YButton::kNormalFont, YButton::kPressedFont, YButton::kHoverFont, YButton::kDisabledFont};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.states);
        m_layout = Layout();
        Run((std::string(fonts) + "makebuttonwithfont(b, 2, 7, -3, " + c.states + ")").c_str());
        YButton* button = Button("b");
        ASSERT_NE(nullptr, button);
        EXPECT_EQ(DT_RIGHT | DT_VCENTER, button->GetCaptionFormat());
        EXPECT_EQ(c.count, button->GetResourceCount());
        for (int k = 0; k < 4; ++k) {
            const std::string name = "f" + std::to_string(k);
            YFont* font = Font(name.c_str());
            ASSERT_NE(nullptr, font);
            EXPECT_EQ(k < c.count ? Picture(images[k]) : nullptr, button->GetResourceAt(k)) << k;
            EXPECT_EQ(k < c.count ? font : nullptr, button->GetCaptionFont(slots[k])) << k;
            EXPECT_EQ(k < c.count ? k + 1 : 0, font->GetSpacing()) << k;
        }
        EXPECT_EQ("0,0,6,3", RectText(button->Rect()));
    }
}

TEST_F(MakeItemTest, CaptionAlignmentAndOffsets)
{
    const struct {
        const char* alignments;
        int format;
    } cases[] = {
        {"0", DT_CENTER | DT_VCENTER},
        {"1", DT_LEFT | DT_VCENTER},
        {"2", DT_RIGHT | DT_VCENTER},
        // Other values leave the alignment as it was: a new button's, or
        // the one the first make of the same button gave.
        {"3", DT_CENTER | DT_VCENTER},
        {"-1", DT_CENTER | DT_VCENTER},
        {"1 3", DT_LEFT | DT_VCENTER},
        {"2 0", DT_CENTER | DT_VCENTER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.alignments);
        m_layout = Layout();
        std::string script;
        int x = 10;
        for (const char* a = c.alignments; *a;) {
            const char* end = strchr(a, ' ');
            const std::string alignment = end ? std::string(a, end) : std::string(a);
            script += "makebuttonwithfont(b, " + alignment + ", " + std::to_string(++x) +
                      ", 5, red.bmp, nofont, 0, blue.bmp, nofont, 0) ";
            a = end ? end + 1 : a + strlen(a);
        }
        Run(script.c_str());
        YButton* button = Button("b");
        ASSERT_NE(nullptr, button);
        EXPECT_EQ(c.format, button->GetCaptionFormat());
        EXPECT_EQ(1, m_layout->GetButtonList().GetCount());
        RECT rect;
        button->GetRect(&rect);
        EXPECT_EQ("0,0,6,3", RectText(rect));
    }
}

TEST_F(MakeItemTest, FontButtonsHoldTheirFontsAsDrawables)
{
    const struct {
        const char* script;
        int count;
    } cases[] = {
        {"makefontbutton(fb, f0, 11)", 1},
        {"makefontbutton(fb, f0, 11, f1)", 1},
        {"makefontbutton(fb, f0, 11, f1, 12)", 2},
        {"makefontbutton(fb, f0, 11, f1, 12, f2, 13, f3, 14)", 4},
        // A missing font leaves its drawable empty.
        {"makefontbutton(fb, f0, 11, nofont, 12, f2, 13)", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        m_layout = Layout();
        Run((std::string("makefont(f0, glyphs.bmp) makefont(f1, glyphs.bmp) makefont(f2, glyphs.bmp) "
                         "makefont(f3, glyphs.bmp) ") +
             c.script)
                .c_str());
        YButton* button = Button("fb");
        ASSERT_NE(nullptr, button);
        ASSERT_NE(nullptr, dynamic_cast<YFontButton*>(button));
        EXPECT_EQ(YFontButton::kTypeCode, static_cast<YResource*>(button)->GetId());
        EXPECT_EQ(c.count, button->GetResourceCount());
        for (int k = 0; k < c.count; ++k) {
            YFont* font = Font(("f" + std::to_string(k)).c_str());
            if (button->GetResourceAt(k) == nullptr) continue;
            EXPECT_EQ(font, button->GetResourceAt(k)) << k;
            EXPECT_EQ(11 + k, font->GetSpacing()) << k;
        }
        // Its size is its text's, not set by the make.
        EXPECT_EQ("0,0,0,0", RectText(button->Rect()));
    }
}

TEST_F(MakeItemTest, FontsLoadTheirGlyphImageKeyedAndSpaced)
{
    const struct {
        const char* script;
        uint32_t key;
        int columns, cellWidth, cellHeight, spacing;
    } cases[] = {
        // Eight columns by default: cells of 64 / 8 by 30 / 12.
        {"makefont(f, glyphs.bmp)", 0xFF00FF, 8, 8, 2, 0},
        // Three or four colour arguments are not a colour.
        {"makefont(f, glyphs.bmp, 0, 0)", 0xFF00FF, 8, 8, 2, 0},
        {"makefont(f, glyphs.bmp, 0, 255, 0, 0)", 0x00FF00, 8, 8, 2, 0},
        {"makefont(f, glyphs.bmp, 1, 2, 3)", 0x030201, 8, 8, 2, 0},
        // Each channel is cut to 8 bits.
        {"makefont(f, glyphs.bmp, 257, 0, 511)", 0xFF0001, 8, 8, 2, 0},
        // Sixteen columns: the picture is measured again into 4 x 5 cells.
        {"makefont(f, glyphs.bmp, 255, 0, 255, 16)", 0xFF00FF, 16, 4, 5, 0},
        {"makefont(f, glyphs.bmp, 255, 0, 255, 0, 11)", 0xFF00FF, 8, 8, 2, 11},
        {"makefont(f, glyphs.bmp, 255, 0, 255, -1, 10)", 0xFF00FF, 8, 8, 2, 0},
        {"makefont(f, glyphs.bmp, 255, 0, 255, 16, 12)", 0xFF00FF, 16, 4, 5, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        m_layout = Layout();
        Run(c.script);
        YFont* font = Font("f");
        ASSERT_NE(nullptr, font);
        EXPECT_EQ("glyphs.bmp", std::string((const char*)font->GetImagePath()));
        EXPECT_EQ(64, font->GetImageWidth());
        EXPECT_EQ(30, font->GetImageHeight());
        EXPECT_EQ(c.columns, font->m_columns);
        EXPECT_EQ(c.cellWidth, font->GetCellWidth());
        EXPECT_EQ(c.cellHeight, font->GetCellHeight());
        EXPECT_EQ(c.spacing, font->GetSpacing());
        YDXSurface* glyphs = font->GetGlyphSurface();
        ASSERT_NE(nullptr, glyphs);
        EXPECT_TRUE(glyphs->HasKey());
        EXPECT_EQ(PixelOf(*glyphs, c.key), glyphs->GetKeyValue());
    }
}

TEST_F(MakeItemTest, FontsKeepTheirSpacingUnlessAboveTen)
{
    const struct {
        const char* spacing;
        int expected;
    } cases[] = {{"10", 4}, {"11", 11}, {"-5", 4}, {"0", 4}, {"40", 40}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spacing);
        m_layout = Layout();
        // The first make has no glyph file; the second loads one into the
        // same font, whose spacing the button make set in between.
        Run((std::string("makefont(f, nothing.bmp) makefontbutton(fb, f, 4) makefont(f, glyphs.bmp, 0, 0, 0, 8, ") +
             c.spacing + ")")
                .c_str());
        YFont* font = Font("f");
        ASSERT_NE(nullptr, font);
        ASSERT_NE(nullptr, font->GetGlyphSurface());
        EXPECT_EQ(c.expected, font->GetSpacing());
    }
}

TEST_F(MakeItemTest, ASecondFontMakeOfTheSameImageChangesNothing)
{
    Run("makefont(f, glyphs.bmp, 0, 255, 0, 8, 20) makefont(f, glyphs.bmp, 0, 0, 255, 16, 30)");
    YFont* font = Font("f");
    ASSERT_NE(nullptr, font);
    EXPECT_EQ(1, m_layout->GetFontList().GetCount());
    EXPECT_EQ(8, font->m_columns);
    EXPECT_EQ(20, font->GetSpacing());
    ASSERT_NE(nullptr, font->GetGlyphSurface());
    EXPECT_EQ(PixelOf(*font->GetGlyphSurface(), 0x00FF00), font->GetGlyphSurface()->GetKeyValue());

    // Another image: the same font object loads it.
    m_layout->SetScript("makefont(f, wide.bmp, 0, 0, 255, 16, 5)");
    YDC dc;
    m_layout->Draw(&dc);
    EXPECT_EQ(font, Font("f"));
    EXPECT_EQ(1, m_layout->GetFontList().GetCount());
    EXPECT_EQ("wide.bmp", std::string((const char*)font->GetImagePath()));
    EXPECT_EQ(96, font->GetImageWidth());
    EXPECT_EQ(16, font->m_columns);
    EXPECT_EQ(6, font->GetCellWidth());
    EXPECT_EQ(4, font->GetCellHeight());
    // A spacing of 10 or less leaves the one the first make gave.
    EXPECT_EQ(20, font->GetSpacing());
    ASSERT_NE(nullptr, font->GetGlyphSurface());
    EXPECT_EQ(PixelOf(*font->GetGlyphSurface(), 0xFF0000), font->GetGlyphSurface()->GetKeyValue());
}

TEST_F(MakeItemTest, AMadeFontDrawsItsGlyphsWithoutTheBackground)
{
    // Ink is white on magenta in 16 columns of 4 x 5 cells; "B" is one column wide.
    Run("makefont(f, glyphs.bmp, 255, 0, 255, 16)");
    YFont* font = Font("f");
    ASSERT_NE(nullptr, font);
    YDXSurface target("target");
    ASSERT_EQ(1, target.CreateSurface(&m_display, 16, 8, DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr));
    // Black paper: anything magenta that got through would show.
    DDBLTFX fx;
    memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    target.GetSurface()->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    font->TextOut(0, 0, "BA", 2, &target, 1);
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    ASSERT_EQ(1, target.Lock(&desc));
    const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
    auto pixel = [&](int x, int y) {
        const uint8_t* p = static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes;
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
        return v & (desc.ddpfPixelFormat.dwRBitMask | desc.ddpfPixelFormat.dwGBitMask | desc.ddpfPixelFormat.dwBBitMask);
    };
    const uint32_t white = PixelOf(target, 0xFFFFFF), black = PixelOf(target, 0);
    // "B": ink in column 0; "A" starts after B's advance of one column.
    const std::vector<std::pair<int, uint32_t>> row0 = {{0, white}, {1, white}, {2, white}, {3, white}, {4, black}};
    const uint32_t seen[] = {pixel(0, 0), pixel(1, 0), pixel(2, 0), pixel(3, 0), pixel(4, 0), pixel(1, 4)};
    target.Unlock();
    for (size_t i = 0; i < row0.size(); ++i) EXPECT_EQ(row0[i].second, seen[i]) << "x " << row0[i].first;
    // The cell's last row is background: not drawn.
    EXPECT_EQ(black, seen[5]);
}

TEST_F(MakeItemTest, SpritesHaveOneFrameAPictureWithTheHotSpot)
{
    Run("makesprite(s, 3, 2, 9, 8, 7, red.bmp)");
    YSprite* sprite = Sprite("s");
    ASSERT_NE(nullptr, sprite);
    ASSERT_EQ(1, sprite->GetFrameCount());
    YFrame* frame = sprite->GetFrame(0);
    EXPECT_EQ("0,0,6,3", RectText(frame->m_frameRect));
    EXPECT_EQ(3, frame->GetHotSpot().x);
    EXPECT_EQ(2, frame->GetHotSpot().y);
    EXPECT_EQ("red.bmp", std::string((const char*)frame->GetImageName()));
    // The sprite built its surface from the frame at once.
    ASSERT_NE(nullptr, sprite->GetSurface());
    EXPECT_EQ(6u, sprite->GetSurface()->GetWidth());
    EXPECT_EQ(3u, sprite->GetSurface()->GetHeight());
}

TEST_F(MakeItemTest, SpriteFramesFollowTheArgumentsAndSkipWhatCannotBeRead)
{
    Run("makesprite(s, 1, 1, 0, 0, 0, red.bmp, missing.bmp, blue.bmp, broken.bmp, Nowhere:x, red.bmp)");
    YSprite* sprite = Sprite("s");
    ASSERT_NE(nullptr, sprite);
    ASSERT_EQ(6, sprite->GetFrameCount());
    const struct {
        const char* rect;
        const char* image;
        int hot;
    } frames[] = {
        {"0,0,6,3", "red.bmp", 1},
        // Unread frames keep the rectangle they were made with.
        {"0,3,0,3", "", 0},
        {"0,3,5,7", "blue.bmp", 1},
        {"0,3,0,3", "", 0},
        {"0,3,0,3", "", 0},
        // The same picture again shares the first frame's place.
        {"0,0,6,3", "red.bmp", 1},
    };
    for (int i = 0; i < 6; ++i) {
        YFrame* frame = sprite->GetFrame(i);
        EXPECT_EQ(frames[i].rect, RectText(frame->m_frameRect)) << i;
        EXPECT_EQ(frames[i].image, std::string((const char*)frame->GetImageName())) << i;
        EXPECT_EQ(frames[i].hot, frame->GetHotSpot().x) << i;
    }
    ASSERT_NE(nullptr, sprite->GetSurface());
    EXPECT_EQ(6u, sprite->GetSurface()->GetWidth());
    EXPECT_EQ(7u, sprite->GetSurface()->GetHeight());
}

TEST_F(MakeItemTest, ASpriteOfAnExistingNameIsLeftAlone)
{
    Run("makesprite(s, 0, 0, 0, 0, 0, red.bmp) makesprite(S, 0, 0, 0, 0, 0, blue.bmp, green.bmp)");
    EXPECT_EQ(1, m_layout->GetSpriteList().GetCount());
    YSprite* sprite = Sprite("s");
    ASSERT_NE(nullptr, sprite);
    EXPECT_EQ(1, sprite->GetFrameCount());
}

TEST_F(MakeItemTest, AMadeSpriteIsDrawnByAnAnimItem)
{
    std::unique_ptr<YDXSurface> target(new YDXSurface("target"));
    ASSERT_EQ(1, target->CreateSurface(&m_display, 32, 32, DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr));
    YSurfaceDC dc(target.get(), 0);
    m_layout->SetScript("makesprite(s, 3, 2, 0, 0, 0, red.bmp) anim(s, 10, 10)");
    m_layout->Draw(&dc);
    const uint32_t red = PixelOf(*target, RGB(255, 0, 0));
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    ASSERT_EQ(1, target->Lock(&desc));
    const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
    const uint32_t mask = desc.ddpfPixelFormat.dwRBitMask | desc.ddpfPixelFormat.dwGBitMask |
                          desc.ddpfPixelFormat.dwBBitMask;
    auto pixel = [&](int x, int y) {
        const uint8_t* p = static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes;
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
        return v & mask;
    };
    // The 6 x 3 picture with its hot spot (3, 2) on (10, 10).
    std::string seen;
    for (int y = 7; y <= 11; ++y) {
        for (int x = 6; x <= 13; ++x) seen += pixel(x, y) == red ? 'r' : '.';
        seen += '|';
    }
    target->Unlock();
    EXPECT_EQ("........|.rrrrrr.|.rrrrrr.|.rrrrrr.|........|", seen);
}

TEST_F(MakeItemTest, SlidersTakeAThumbAndATrack)
{
    m_layout->m_texts["none"] = "";
    Run("makeslider(s, red.bmp, blue.bmp)");
    YSlider* slider = Slider("s");
    ASSERT_NE(nullptr, slider);
    EXPECT_EQ(Picture("blue.bmp"), slider->GetResourceAt(0));
    EXPECT_EQ(Picture("red.bmp"), slider->GetResourceAt(1));

    // The same slider again, emptied first: an empty track text leaves no track.
    m_layout->SetScript("makeslider(s, green.bmp, none)");
    YDC dc;
    m_layout->Draw(&dc);
    EXPECT_EQ(slider, Slider("s"));
    EXPECT_EQ(1, m_layout->GetSliderList().GetCount());
    EXPECT_EQ(nullptr, slider->GetResourceAt(0));
    EXPECT_EQ(Picture("green.bmp"), slider->GetResourceAt(1));

    m_layout->SetScript("makeslider(s, missing.bmp, red.bmp)");
    m_layout->Draw(&dc);
    EXPECT_EQ(Picture("red.bmp"), slider->GetResourceAt(0));
    EXPECT_EQ(nullptr, slider->GetResourceAt(1));
}

TEST_F(MakeItemTest, AWindowOfTheRightTypeIsReused)
{
    const struct {
        const char* script;
        bool font;
    } cases[] = {
        {"makebutton(ok, red.bmp, blue.bmp) makebutton(OK, green.bmp, red.bmp)", false},
        {"makebutton(ok, red.bmp, blue.bmp) makebuttonwithfont(Ok, 0, 0, 0, green.bmp, f, 0, red.bmp, f, 0)", false},
        {"makefontbutton(ok, f, 0) makefontbutton(ok, g, 0)", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        m_layout = Layout();
        m_layout->SetScript(c.script);
        // The first item alone, then both.
        YLayoutGroup* root = static_cast<YLayoutGroup*>(m_layout->GetItems().GetHead());
        YLayoutItem* first = root->GetChild(0);
        first->Draw(nullptr);
        YButton* button = Button("ok");
        ASSERT_NE(nullptr, button);
        Set().m_clean = 1;
        YDC dc;
        m_layout->Draw(&dc);
        EXPECT_EQ(button, Button("ok"));
        EXPECT_EQ(1, m_layout->GetButtonList().GetCount());
        EXPECT_TRUE(Set().IsClean());
        if (!c.font) {
            EXPECT_EQ(Picture("green.bmp"), button->GetResourceAt(0));
        }
    }
}

TEST_F(MakeItemTest, AWindowOfAnotherTypeIsReplaced)
{
    struct Case {
        const char* name;
        const char* make;
        int typeCode;
        std::function<YWindow*(MakeLayout&, YLayoutItem*)> old;
        CObList& (MakeLayout::*list)();
    };
    const Case cases[] = {
        {"x", "makebutton(X, red.bmp, blue.bmp)", YButton::kTypeCode,
         [](MakeLayout& l, YLayoutItem* owner) -> YWindow* { return l.GetMiscWindow("x", owner, 1); },
         &MakeLayout::GetMiscWindowList},
        {"x", "makebutton(x, red.bmp, blue.bmp)", YButton::kTypeCode,
         [](MakeLayout& l, YLayoutItem* owner) -> YWindow* { return l.GetEditBox("X", owner); },
         &MakeLayout::GetEditBoxList},
        {"x", "makebuttonwithfont(x, 0, 0, 0, red.bmp, f, 0, blue.bmp, f, 0)", YButton::kTypeCode,
         [](MakeLayout& l, YLayoutItem* owner) -> YWindow* {
             YLayoutResSet* set = l.GetResourceSet();
             YSlider* slider = new YSlider;
             set->Add(l.GetSliderList(), "x", slider, owner);
             slider->SetParent(&l);
             return slider;
         },
         &MakeLayout::GetSliderList},
        {"x", "makebutton(x, red.bmp, blue.bmp)", YButton::kTypeCode,
         [](MakeLayout& l, YLayoutItem* owner) -> YWindow* {
             YFontButton* button = new YFontButton;
             l.GetResourceSet()->Add(l.GetButtonList(), "x", button, owner);
             button->SetParent(&l);
             return button;
         },
         &MakeLayout::GetButtonList},
        {"x", "makefontbutton(x, f, 0)", YFontButton::kTypeCode,
         [](MakeLayout& l, YLayoutItem* owner) -> YWindow* {
             YButton* button = new YButton;
             l.GetResourceSet()->Add(l.GetButtonList(), "x", button, owner);
             button->SetParent(&l);
             return button;
         },
         &MakeLayout::GetButtonList},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.make);
        m_layout = Layout();
        m_layout->SetScript((std::string("hold(owner) ") + c.make + " hold(other)").c_str());
        YLayoutGroup* root = static_cast<YLayoutGroup*>(m_layout->GetItems().GetHead());
        YLayoutItem* owner = root->GetChild(0);
        YLayoutItem* other = root->GetChild(2);
        YDC dc;
        owner->Draw(&dc);
        other->Draw(&dc);
        ASSERT_EQ(1, owner->m_loaded);
        YWindow* old = c.old(*m_layout, owner);
        ASSERT_NE(nullptr, old);
        old->SetParent(m_layout.get());
        // Another window of the name, held by another item, goes too.
        YListBox* second = new YListBox;
        Set().Add(m_layout->GetMiscWindowList(), "X", second, other);
        // The old window had the focus, the mouse and the capture.
        old->SetFocus();
        old->SetHover();
        YWindow::SetCaptureWindow(old);
        Set().m_clean = 1;

        root->GetChild(1)->Draw(&dc);

        EXPECT_EQ(nullptr, YWindow::GetFocusWindow());
        EXPECT_EQ(nullptr, YWindow::GetHoverWindow());
        EXPECT_EQ(nullptr, YWindow::GetCaptureWindow());
        EXPECT_EQ(0, owner->m_loaded);
        EXPECT_EQ(0, other->m_loaded);
        EXPECT_FALSE(Set().IsClean());
        EXPECT_EQ(nullptr, Record(m_layout->GetMiscWindowList(), "x"));
        EXPECT_EQ(nullptr, Record(m_layout->GetEditBoxList(), "x"));
        EXPECT_EQ(nullptr, Record(m_layout->GetSliderList(), "x"));
        EXPECT_EQ(0, m_layout->GetChildCount());
        ASSERT_EQ(1, m_layout->GetButtonList().GetCount());
        YLayoutRes* record = Record(m_layout->GetButtonList(), "x");
        ASSERT_NE(nullptr, record);
        EXPECT_EQ(nullptr, record->m_owner);
        EXPECT_EQ(c.typeCode, static_cast<YResource*>(record->m_resource)->GetId());
        EXPECT_EQ(c.typeCode == YFontButton::kTypeCode, dynamic_cast<YFontButton*>(record->m_resource) != nullptr);
    }
}

TEST_F(MakeItemTest, AMadeButtonIsFoundByAButtonItemOfTheScript)
{
    Run("makebutton(ok, red.bmp, blue.bmp) take(ok) take(OK)");
    YLayoutGroup* root = static_cast<YLayoutGroup*>(m_layout->GetItems().GetHead());
    ButtonTaker* first = static_cast<ButtonTaker*>(root->GetChild(1));
    ButtonTaker* second = static_cast<ButtonTaker*>(root->GetChild(2));
    YButton* made = Button("ok");
    ASSERT_NE(nullptr, made);
    // The first taker gets the made button itself, joined to the layout.
    EXPECT_EQ(made, first->m_button);
    EXPECT_EQ(first, Record(m_layout->GetButtonList(), "ok")->m_owner);
    EXPECT_EQ(m_layout.get(), made->GetParent());
    // The second a copy of it, with the same pictures and size.
    ASSERT_NE(nullptr, second->m_button);
    EXPECT_NE(made, second->m_button);
    EXPECT_EQ(Picture("red.bmp"), second->m_button->GetResourceAt(0));
    EXPECT_EQ(Picture("blue.bmp"), second->m_button->GetResourceAt(1));
    EXPECT_EQ("0,0,6,3", RectText(second->m_button->Rect()));
    EXPECT_EQ(2, m_layout->GetButtonList().GetCount());
}

TEST_F(MakeItemTest, AMakeItemRunsOncePerLoad)
{
    Run("makebuttonr(ok, red.bmp, blue.bmp)");
    YButton* button = Button("ok");
    ASSERT_NE(nullptr, button);
    button->SetResourceAt(0, nullptr, false);
    YDC dc;
    m_layout->Draw(&dc);
    EXPECT_EQ(nullptr, button->GetResourceAt(0));
    m_layout->ReloadAll();
    m_layout->Draw(&dc);
    EXPECT_EQ(button, Button("ok"));
    EXPECT_EQ(Picture("red.bmp"), button->GetResourceAt(0));
}

TEST_F(MakeItemTest, ColonNamesAreCatalogImagesElseFonts)
{
    AddItem(1, "Interface", "panel");
    AddItem(17, "Fonts", "small");
    AddItem(17, "Interface", "both");
    AddItem(1, "Interface", "both");
    AddItem(3, "Sprites", "arrow");
    const auto pathOf = [&](int type, const char* section, const char* name) {
        for (POSITION at = m_catalog.GetItems()->GetHeadPosition(); at;) {
            YCatalogItem* item = m_catalog.GetItems()->GetNext(at);
            if (item->GetType() == type && item->GetSection() == section && item->GetName() == name)
                return std::string((const char*)item->ResolvePath(TRUE, TRUE, TRUE));
        }
        ADD_FAILURE() << section << ":" << name;
        return std::string();
    };
    const struct {
        const char* name;
        std::string path;
    } cases[] = {
        {"plain.bmp", "plain.bmp"},
        {"", ""},
        {"Interface:panel", pathOf(1, "Interface", "panel")},
        {"interface:PANEL:more", pathOf(1, "Interface", "panel")},
        {"Fonts:small", pathOf(17, "Fonts", "small")},
        {"Interface:both", pathOf(1, "Interface", "both")},
        // Neither an image nor a font: the path stays empty.
        {"Sprites:arrow", ""},
        {"Nowhere:thing", ""},
        {":", ""},
    };
    YLayoutItemMake item(YLayoutItemMake::Font);
    item.m_layout = m_layout.get();
    for (const auto& c : cases) {
        CString path;
        item.ResolveImagePath(c.name, path);
        EXPECT_EQ(c.path, std::string((const char*)path)) << c.name;
    }
    EXPECT_NE(std::string::npos, pathOf(1, "Interface", "panel").find("panel"));
}

TEST_F(MakeItemTest, AColonNameFoundNowhereLoadsNothing)
{
    Run("makefont(f, Nowhere:glyphs) makesprite(s, 0, 0, 0, 0, 0, Nowhere:red)");
    YFont* font = Font("f");
    ASSERT_NE(nullptr, font);
    EXPECT_EQ(nullptr, font->GetGlyphSurface());
    EXPECT_TRUE(font->GetImagePath().IsEmpty());
    YSprite* sprite = Sprite("s");
    ASSERT_NE(nullptr, sprite);
    ASSERT_EQ(1, sprite->GetFrameCount());
    EXPECT_EQ("0,0,0,0", RectText(sprite->GetFrame(0)->m_frameRect));
    EXPECT_EQ(nullptr, sprite->GetSurface());
}

TEST_F(MakeItemTest, ACatalogImageMakesAFontAndAFrame)
{
    m_scratch.Write("art/panel.bmp", SolidBmp(7, 2, 0x00FF00));
    m_scratch.Write("art/glyphs.bmp", fixture_font::Picture());
    YCatalogItem* panel = new YCatalogItem(1, "Interface", "panel", "art", 0, "", nullptr);
    YCatalogItem* glyphs = new YCatalogItem(1, "Interface", "glyphs", "art", 0, "", nullptr);
    m_catalog.AddItem(panel);
    m_catalog.AddItem(glyphs);
    ASSERT_FALSE(panel->ResolvePath(TRUE, TRUE, TRUE).IsEmpty());
    Run("makefont(f, Interface:glyphs) makesprite(s, 0, 0, 0, 0, 0, Interface:panel)");
    YFont* font = Font("f");
    ASSERT_NE(nullptr, font);
    EXPECT_NE(nullptr, font->GetGlyphSurface());
    EXPECT_EQ(64, font->GetImageWidth());
    YSprite* sprite = Sprite("s");
    ASSERT_NE(nullptr, sprite);
    EXPECT_EQ("0,0,7,2", RectText(sprite->GetFrame(0)->m_frameRect));
    EXPECT_NE(nullptr, sprite->GetSurface());
}

TEST_F(MakeItemTest, AButtonWhoseCaptionFontIsPurgedGoesWithIt)
{
    const struct {
        const char* make;
        const char* keep;
    } cases[] = {
        // The font goes while the pictures stay in use.
        {"makefont(f, glyphs.bmp) makebuttonwithfont(b, 0, 0, 0, red.bmp, f, 0, blue.bmp, f, 0)",
         "usedib(red.bmp, blue.bmp)"},
        {"makefont(f, glyphs.bmp) makebuttonwithfont(b, 0, 0, 0, red.bmp, g, 0, blue.bmp, f, 0)",
         "usedib(red.bmp, blue.bmp)"},
        // A picture that goes takes the button as well.
        {"makebutton(b, red.bmp, blue.bmp)", "usedib(red.bmp)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.make);
        m_layout = Layout();
        Run((std::string(c.make) + " take(b)").c_str());
        YLayoutGroup* root = static_cast<YLayoutGroup*>(m_layout->GetItems().GetHead());
        ASSERT_NE(nullptr, static_cast<ButtonTaker*>(root->GetChild(root->GetChildCount() - 1))->m_button);

        // The next script uses the button but neither its make nor its font.
        m_layout->SetScript((std::string("take(b) ") + c.keep).c_str());
        root = static_cast<YLayoutGroup*>(m_layout->GetItems().GetHead());
        ButtonTaker* taker = static_cast<ButtonTaker*>(root->GetChild(0));
        YDC dc;
        m_layout->Draw(&dc);
        EXPECT_EQ(nullptr, Font("f"));
        EXPECT_EQ(nullptr, Button("b"));
        EXPECT_EQ(0, taker->m_loaded);
        m_layout->Draw(&dc);
        EXPECT_EQ(nullptr, taker->m_button);
        EXPECT_EQ(2, taker->m_loads);
    }
}

TEST_F(MakeItemTest, ACatalogButtonOfTheNameIsCopiedInFirst)
{
    const struct {
        const char* script;
        bool catalogFontButton;
        bool fromCatalog;
        int typeCode;
    } cases[] = {
        {"makebutton(Buttons:ok, red.bmp, blue.bmp)", false, true, YButton::kTypeCode},
        {"makefontbutton(buttons:OK, f, 12)", true, true, YFontButton::kTypeCode},
        // A copy of another type is replaced at once.
        {"makebutton(Buttons:ok, red.bmp, blue.bmp)", true, false, YButton::kTypeCode},
        {"makefontbutton(Buttons:ok, f, 12)", false, false, YFontButton::kTypeCode},
        // Not in the catalog: a new button.
        {"makebutton(Buttons:other, red.bmp, blue.bmp)", false, false, YButton::kTypeCode},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        m_layout = Layout();
        YCatalog catalog;
        YCatalogItem* item = new YCatalogItem(9, "Buttons", "ok", "", 0, "", nullptr);
        catalog.AddItem(item);
        item->SetResource(c.catalogFontButton ? new YFontButton : new YButton);
        m_layout->m_catalog = &catalog;
        Run((std::string("makefont(f, glyphs.bmp) ") + c.script).c_str());
        ASSERT_EQ(1, m_layout->GetButtonList().GetCount());
        YLayoutRes* record = static_cast<YLayoutRes*>(m_layout->GetButtonList().GetHead());
        EXPECT_EQ(c.fromCatalog ? 1 : 0, record->m_fromCatalog);
        EXPECT_NE(item->GetResource(), record->m_resource);
        EXPECT_EQ(0, item->GetRefCount());
        YButton* button = dynamic_cast<YButton*>(record->m_resource);
        ASSERT_NE(nullptr, button);
        EXPECT_EQ(c.typeCode, static_cast<YResource*>(button)->GetId());
        if (c.typeCode == YButton::kTypeCode) {
            EXPECT_EQ(Picture("red.bmp"), button->GetResourceAt(0));
            EXPECT_EQ(Picture("blue.bmp"), button->GetResourceAt(1));
        } else {
            EXPECT_EQ(Font("f"), button->GetResourceAt(0));
        }
        m_layout.reset();
    }
}
