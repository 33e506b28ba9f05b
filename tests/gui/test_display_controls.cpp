// The display-only windows: the text control's format and first line, the
// multi-image's swap of one loaded picture, and the animation's frames by
// the clock.
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "ControlFixture.h"
#include "ScratchFolder.h"
#include "foundation/YCatalog.h"
#include "foundation/YResourceFactory.h"
#include "gui/YAnimation.h"
#include "gui/YButton.h"
#include "gui/YComboBox.h"
#include "gui/YEditBox.h"
#include "gui/YListBox.h"
#include "gui/YMultiImage.h"
#include "gui/YTextCtrl.h"

using namespace controls;

namespace {

int g_deleted = 0;

// A file holding "W H" loads as a picture named after the file; anything
// else is refused.
class ShownPicture : public Picture {
    DECLARE_DYNCREATE(ShownPicture)
public:
    ShownPicture() { m_deleted = &g_deleted; }
    BOOL LoadFromFile(CFile& file) override
    {
        char text[32] = {};
        file.Read(text, sizeof text - 1);
        const std::string path = (const char*)file.GetFilePath();
        m_name = path.substr(path.find_last_of("\\/") + 1);
        return sscanf(text, "%d %d", &m_w, &m_h) == 2;
    }
};
IMPLEMENT_DYNCREATE(ShownPicture, YResource)

// A font file: any file loads.
class FileFont : public TestFont {
    DECLARE_DYNCREATE(FileFont)
public:
    FileFont() : TestFont("file font") {}
    BOOL LoadFromFile(CFile&) override { return TRUE; }
};
IMPLEMENT_DYNCREATE(FileFont, YFont)

class LoadingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_image = YResourceFactory::GetRegisteredClass(1);
        YResourceFactory::RegisterType(1, RUNTIME_CLASS(ShownPicture));
        // It takes nothing back: what windows hand back is deleted.
        YWindow::SetResourceCatalog(&m_catalog);
        YWindow::SetBasePaths("", "");
        m_oldSource = YWindow::SetDefaultSource(nullptr);
        g_deleted = 0;
        m_scratch.Write("art/one.bmp", "10 11");
        m_scratch.Write("art/two.bmp", "20 21");
        m_scratch.Write("art/bad.bmp", "junk");
        m_scratch.Write("art/kid.bmp", "3 3");
    }
    void TearDown() override
    {
        YResourceFactory::RegisterType(1, m_image);
        YWindow::SetResourceCatalog(nullptr);
        YWindow::SetDefaultSource(m_oldSource);
    }
    // A multi-image of one.bmp, two.bmp, bad.bmp with a child that loads kid.bmp.
    std::unique_ptr<YMultiImage> Make()
    {
        std::unique_ptr<YMultiImage> multi(new YMultiImage);
        RECT r = {10, 10, 60, 60};
        multi->Create(0, "m", 0, &r, nullptr, 1, 0);
        for (const char* name : {"one.bmp", "two.bmp", "bad.bmp"}) multi->AddResourceName(name);
        YButton* child = new YButton;
        RECT inside = {1, 1, 4, 4};
        child->Create("kid", 0, &inside, multi.get(), 2);
        child->AddResourceName("kid.bmp");
        return multi;
    }
    static std::string Shown(YWindow& window)
    {
        return window.GetResourceCount() ? NameOf(window.GetResourceAt(0)) : std::string("none");
    }

    ScratchFolder m_scratch{ScratchFolder::Enter};
    YCatalog m_catalog;
    CRuntimeClass* m_image = nullptr;
    YDC* m_oldSource = nullptr;
};

}  // namespace

// ------------------------------------------------------------------ text control

TEST(TextControl, StyleBitsGiveTheFormat)
{
    struct Case {
        int style;
        UINT format;
    } cases[] = {
        {0, DT_WORDBREAK},
        {0x1, DT_CENTER | DT_WORDBREAK},
        {0x2, DT_RIGHT | DT_WORDBREAK},
        {0x3, DT_RIGHT | DT_WORDBREAK},
        {0x4, 0},
        {0x8, 0},
        {0x9, DT_CENTER},
        {0x10000, DT_WORDBREAK | DT_VCENTER},
        {0x10006, DT_RIGHT | DT_VCENTER},
    };
    for (const Case& c : cases) {
        YTextCtrl text;
        RECT r = {0, 0, 100, 40};
        text.Create("some words", c.style, &r, nullptr, 1);
        EXPECT_EQ(c.format, text.GetFormat()) << c.style;
        TestFont font("F");
        LogDC dc;
        dc.SwapFont(&font);
        text.Draw(&dc);
        ASSERT_EQ(1u, font.m_asked.size());
        EXPECT_EQ(c.format, font.m_asked[0].format) << c.style;
        EXPECT_EQ("drawtext 0,0,100,40 " + std::to_string(c.format) + " some words [F]", dc.Joined()) << c.style;
    }
}

TEST(TextControl, TheTextStartsAtTheFirstLineTheFontFinds)
{
    struct Case {
        const char* name;
        bool dcFont;
        int index;  // what the font answers
        const char* drawn;
    } cases[] = {
        {"line start", true, 5, "drawtext 5,5,95,35 16 words here [F]"},
        {"none", true, -1, "drawtext 5,5,95,35 16 some words here [F]"},
        {"past the end", true, 16, "drawtext 5,5,95,35 16 some words here [F]"},
        {"at the end", true, 15, "drawtext 5,5,95,35 16  [F]"},
        {"no font", false, 6, "drawtext 5,5,95,35 16 some words here"},
    };
    for (const Case& c : cases) {
        YTextCtrl text;
        RECT r = {5, 5, 95, 35};
        text.Create("some words here", 0, &r, nullptr, 1);
        text.SetFirstLine(2);
        TestFont font("F");
        font.m_index = c.index;
        LogDC dc;
        if (c.dcFont) dc.SwapFont(&font);
        text.Draw(&dc);
        EXPECT_EQ(c.drawn, dc.Joined()) << c.name;
        if (c.dcFont) {
            ASSERT_EQ(1u, font.m_asked.size());
            EXPECT_EQ(2, font.m_asked[0].line);
            EXPECT_EQ(0, font.m_asked[0].column);
        }
    }
}

TEST(TextControl, TheWindowFontIsUsedAndSwappedBack)
{
    TestFont own("own"), before("before");
    YTextCtrl text;
    RECT r = {0, 0, 50, 20};
    text.Create("hi", 0x4, &r, nullptr, 1);
    text.SetFont(&own);
    LogDC dc;
    text.Draw(&dc);
    EXPECT_EQ("drawtext 0,0,50,20 0 hi [own]", dc.Joined());
    EXPECT_EQ(nullptr, dc.GetFont());
    dc.SwapFont(&before);
    text.Draw(&dc);
    EXPECT_EQ(&before, dc.GetFont());
    EXPECT_EQ(2u, own.m_asked.size());  // asked once per draw
    text.m_visible = 0;
    dc.m_log.clear();
    text.Draw(&dc);
    EXPECT_EQ("", dc.Joined());
}

TEST_F(LoadingTest, ATextControlLoadsEveryTimeAndTakesAFontFromItsResources)
{
    YResourceFactory::RegisterType(1, RUNTIME_CLASS(FileFont));
    m_scratch.Write("fonts/small.fnt", "x");
    {
        YTextCtrl text;
        text.AddResourceName("small.fnt");
        text.AddResourceName("missing.fnt");
        const int before = platform::MessageBoxCount();
        text.LoadFromCatalog("fonts", 0);
        ASSERT_NE(nullptr, text.GetFont());
        EXPECT_EQ(text.GetResourceAt(0), text.GetFont());
        EXPECT_FALSE(text.ResourcesLoaded());  // the flag as it was
        EXPECT_EQ(before + 1, platform::MessageBoxCount());
        text.LoadFromCatalog("fonts", 0);  // runs again
        EXPECT_EQ(before + 2, platform::MessageBoxCount());
        EXPECT_EQ(text.GetResourceAt(0), text.GetFont());
    }
    {
        // A control with a font keeps it.
        TestFont own("own");
        YTextCtrl text;
        text.SetFont(&own);
        text.AddResourceName("small.fnt");
        text.LoadFromCatalog("fonts", 0);
        EXPECT_EQ(&own, text.GetFont());
    }
    {
        // Resource 0 that is no font is not taken.
        YResourceFactory::RegisterType(1, RUNTIME_CLASS(ShownPicture));
        YTextCtrl text;
        text.AddResourceName("one.bmp");
        CStringArray folders;
        folders.Add("art");
        text.LoadFromFile(folders, 0);
        EXPECT_EQ(1, text.GetResourceCount());
        EXPECT_EQ(nullptr, text.GetFont());
    }
}

TEST_F(LoadingTest, EveryReloadPutsTheNamedResourcesInTheirPlacesAgain)
{
    // Windows that load every time: the resources of the load before go
    // back (the catalog takes none, so they are deleted) and the names load
    // into the same places, after a font the window took from them too.
    std::vector<std::pair<const char*, std::function<YWindow*()>>> kinds = {
        {"text control", [] { return new YTextCtrl; }},
        {"edit box", [] { return new YEditBox; }},
        {"list box", [] { return new YListBox; }},
        {"combo box", [] { return new YComboBox; }},
    };
    CStringArray folders;
    folders.Add("art");
    for (auto& kind : kinds) {
        SCOPED_TRACE(kind.first);
        std::unique_ptr<YWindow> window(kind.second());
        window->AddResourceName("one.bmp");
        window->AddResourceName("two.bmp");
        g_deleted = 0;
        for (int load = 0; load < 4; ++load) {
            if (load % 2) window->LoadFromFile(folders, 0);
            else window->LoadFromCatalog("art", 0);
            ASSERT_EQ(2, window->GetResourceCount()) << load;
            EXPECT_EQ("one.bmp", NameOf(window->GetResourceAt(0)));
            EXPECT_EQ("two.bmp", NameOf(window->GetResourceAt(1)));
            EXPECT_EQ(2 * load, g_deleted);
        }
        window.reset();
        EXPECT_EQ(8, g_deleted);
    }

    YResourceFactory::RegisterType(1, RUNTIME_CLASS(FileFont));
    m_scratch.Write("fonts/small.fnt", "x");
    for (auto& kind : kinds) {
        SCOPED_TRACE(kind.first);
        std::unique_ptr<YWindow> window(kind.second());
        window->AddResourceName("small.fnt");
        for (int load = 0; load < 3; ++load) {
            window->LoadFromCatalog("fonts", 0);
            ASSERT_EQ(1, window->GetResourceCount());
            EXPECT_EQ(window->GetResourceAt(0), window->GetFont()) << load;
            LogDC dc;
            window->Draw(&dc);
        }
    }
}

// ------------------------------------------------------------------ multi-image

TEST_F(LoadingTest, AMultiImageLoadsOnlyTheSelectedImage)
{
    std::unique_ptr<YMultiImage> multi = Make();
    EXPECT_EQ(3, multi->GetImageCount());
    EXPECT_EQ(-1, multi->GetCurrentIndex());
    EXPECT_EQ(1, multi->LoadFromCatalog("art", 0));
    EXPECT_EQ("art", std::string((const char*)multi->GetDirectory()));
    EXPECT_EQ(0, multi->GetCurrentIndex());
    EXPECT_EQ(1, multi->GetResourceCount());
    EXPECT_EQ("one.bmp", Shown(*multi));
    EXPECT_EQ("kid.bmp", Shown(*multi->GetChild(0)));

    struct Step {
        int select;
        const char* shown;
        int deleted;  // pictures gone so far (a refused file's picture too)
        int messages;
    } steps[] = {
        {1, "two.bmp", 1, 0},
        {1, "two.bmp", 1, 0},  // the same image: no reload
        {0, "one.bmp", 2, 0},
        {-1, "one.bmp", 2, 0},  // none selected: the picture stays
        {7, "one.bmp", 2, 0},   // past the list: nothing to load
        {2, "null", 4, 1},      // refused: the old picture is gone, nothing left in its place
        {1, "two.bmp", 4, 1},
    };
    const int before = platform::MessageBoxCount();
    for (const Step& s : steps) {
        SCOPED_TRACE(s.select);
        multi->SelectImage(s.select);
        EXPECT_EQ(s.select, multi->GetCurrentIndex());
        EXPECT_EQ(s.shown, Shown(*multi));
        EXPECT_EQ(s.deleted, g_deleted);
        EXPECT_EQ(before + s.messages, platform::MessageBoxCount());
    }
}

TEST_F(LoadingTest, AFailedSelectionLeavesNothingToDraw)
{
    std::unique_ptr<YMultiImage> multi = Make();
    multi->LoadFromCatalog("art", 0);
    const int before = platform::MessageBoxCount();
    multi->SelectImage(2);
    ASSERT_EQ(before + 1, platform::MessageBoxCount());
    EXPECT_NE(std::string::npos, std::string(platform::LastMessageBox()).find("Failed to load file bad.bmp!"));
    EXPECT_EQ(nullptr, multi->GetResourceAt(0));
    LogDC dc;
    multi->Draw(&dc);
    // An empty slot, never the freed picture; then the child.
    EXPECT_EQ("res null 10,10,60,60 | res kid.bmp 11,11,14,14", dc.Joined());
}

TEST_F(LoadingTest, TheNewImageTakesThePlaceOfTheOldInTheSource)
{
    std::unique_ptr<YMultiImage> multi = Make();
    multi->LoadFromCatalog("art", 0);
    multi->GetResourceAt(0)->SetBounds(RECT{5, 6, 15, 17});
    LogDC source;
    YWindow::SetDefaultSource(&source);
    multi->SelectImage(1);
    EXPECT_EQ("res two.bmp 5,6,15,17", source.Joined());
    RECT bounds;
    multi->GetResourceAt(0)->GetBounds(bounds);
    EXPECT_EQ("5,6,15,17", Box(bounds));

    // Without a source nothing is remembered.
    YWindow::SetDefaultSource(nullptr);
    multi->SelectImage(0);
    multi->GetResourceAt(0)->GetBounds(bounds);
    EXPECT_EQ("0,0,0,0", Box(bounds));
    EXPECT_EQ(1u, source.m_log.size());
}

TEST_F(LoadingTest, AMultiImageDrawsItsPictureThenItsChildren)
{
    std::unique_ptr<YMultiImage> multi = Make();
    CStringArray folders;
    folders.Add("art");
    multi->SetDirectory("art");
    EXPECT_EQ(1, multi->LoadFromFile(folders, 0));
    LogDC dc;
    multi->Draw(&dc);
    EXPECT_EQ("res one.bmp 10,10,60,60 | res kid.bmp 11,11,14,14", dc.Joined());
    multi->m_visible = 0;
    dc.m_log.clear();
    multi->Draw(&dc);
    EXPECT_EQ("", dc.Joined());
}

TEST_F(LoadingTest, AMultiImageShowsItsImageAgainAfterHandingItBack)
{
    std::unique_ptr<YMultiImage> multi = Make();
    multi->LoadFromCatalog("art", 0);
    multi->Release();
    EXPECT_EQ(1, g_deleted);
    EXPECT_EQ(0, multi->GetResourceCount());
    multi->LoadFromCatalog("art", 0);
    EXPECT_EQ("one.bmp", Shown(*multi));
}

// ------------------------------------------------------------------ animation

TEST(Animation, FramesFollowTheClockWhileDrawn)
{
    struct Case {
        const char* name;
        int images;
        bool loop;
        std::vector<DWORD> waits;  // before each draw
        const char* drawn;
    } cases[] = {
        {"loop", 3, true, {0, 101, 101, 101, 101}, "f0 f1 f2 f0 f1"},
        {"once", 3, false, {0, 101, 101, 101, 101, 101}, "f0 f1 f2 - - -"},
        {"exactly the frame time waits", 3, true, {0, 100, 1, 100}, "f0 f0 f1 f1"},
        {"a long wait is one frame", 3, false, {5000, 0}, "f1 f1"},
        {"no images", 0, true, {0, 200}, "- -"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ManualClock clock(1000);
        std::vector<std::unique_ptr<Picture>> frames;
        YAnimation animation;
        for (int i = 0; i < c.images; ++i) {
            frames.emplace_back(new Picture(("f" + std::to_string(i)).c_str()));
            animation.AddResource(frames.back().get(), false);
        }
        animation.SetLoop(c.loop);
        RECT r = {0, 0, 8, 8};
        animation.Create(0, &r, nullptr, 1);
        std::string drawn;
        for (DWORD wait : c.waits) {
            clock.Advance(wait);
            LogDC dc;
            animation.Draw(&dc);
            std::string one = dc.m_log.empty() ? "-" : dc.m_log[0].substr(4, 2);
            drawn += (drawn.empty() ? "" : " ") + one;
        }
        EXPECT_EQ(c.drawn, drawn);
        for (int i = 0; i < c.images; ++i) animation.SetResourceAt(i, nullptr, false);
    }
}

TEST(Animation, AHiddenAnimationNeitherDrawsNorAdvances)
{
    ManualClock clock(50);
    Picture a("a"), b("b");
    YAnimation animation;
    animation.AddResource(&a, false);
    animation.AddResource(&b, false);
    RECT r = {0, 0, 8, 8};
    animation.Create(0, &r, nullptr, 1);
    animation.m_visible = 0;
    clock.Advance(150);
    LogDC dc;
    animation.Draw(&dc);
    EXPECT_EQ(0, animation.GetFrame());
    EXPECT_TRUE(dc.m_log.empty());
    animation.SetResourceAt(0, nullptr, false);
    animation.SetResourceAt(1, nullptr, false);
}

TEST(Animation, TheArchiveKeepsTheLoopAndStartsOver)
{
    ManualClock clock(0);
    Picture a("a"), b("b");
    YAnimation animation;
    animation.AddResource(&a, false);
    animation.AddResource(&b, false);
    RECT r = {0, 0, 8, 8};
    animation.Create(0, &r, nullptr, 1);
    animation.SetLoop(true);
    clock.Advance(101);
    animation.Draw(static_cast<YDC*>(nullptr));
    EXPECT_EQ(1, animation.GetFrame());
    std::vector<BYTE> bytes = Store(&animation);
    EXPECT_EQ(0, animation.GetFrame());  // storing starts it over too
    EXPECT_EQ(1u, WordAt(bytes, bytes.size() - 4));
    std::unique_ptr<CObject> loaded(LoadOrNull(bytes));
    YAnimation* copy = dynamic_cast<YAnimation*>(loaded.get());
    ASSERT_NE(nullptr, copy);
    EXPECT_TRUE(copy->GetLoop());
    EXPECT_EQ(-1, copy->GetFrame());  // loaded without resources: nothing to show
    animation.SetResourceAt(0, nullptr, false);
    animation.SetResourceAt(1, nullptr, false);
}
