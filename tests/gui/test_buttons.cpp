// Buttons: press and release per style, radio groups, the image and caption
// font of each state, the hover notification and sound, the font button,
// copies and the archive form.
#include <memory>

#include "ControlFixture.h"
#include "LayoutFixture.h"
#include "gui/Sounder.h"
#include "gui/YButton.h"
#include "gui/YButtonOff.h"
#include "gui/YFontButton.h"
#include "gui/YDialog.h"
#include "gui/YScreen.h"
#include "gui/YSlider.h"
#include "sound/SoundFixture.h"
#include "sound/YDXSoundBuffer.h"

using namespace controls;

namespace {

YButton* MakeButton(YWindow* parent, int style, int id, RECT r = {10, 20, 50, 40})
{
    YButton* button = new YButton;
    button->Create("btn", style, &r, parent, id);
    return button;
}

// Hover goes to a window that is not under test.
void HoverElsewhere()
{
    static YWindow elsewhere;
    elsewhere.SetHover();
}

class LogScreen : public YScreen {
public:
    void OnNotify(int id, int code) override { m_notes.push_back({id, code}); }
    std::vector<std::pair<int, int>> m_notes;
};

class SoundLayout : public TestLayout {
public:
    void PlaySecondSound() override { ++m_played; }
    int m_played = 0;
};

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldSource = YWindow::SetDefaultSource(nullptr);
        HoverElsewhere();
    }
    void TearDown() override
    {
        YWindow::SetDefaultSource(m_oldSource);
        YWindow::SetCaptureWindow(nullptr);
    }
    YDC* m_oldSource = nullptr;
};

// Hover sounds through sound buffers on the headless device.
class ButtonSounds : public SoundFixture {
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        HoverElsewhere();
    }
};

}  // namespace

TEST_F(ButtonTest, PressAndReleasePerStyle)
{
    enum Action { Press, Release };
    struct Step {
        Action action;
        bool down;
        const char* log;  // what the parent saw during the step
    };
    const char* const kPress = "down, notify 5 -7";
    const char* const kRelease = "up, notify 5 -2";
    struct Case {
        const char* name;
        int style;
        std::vector<Step> steps;
    } cases[] = {
        {"push", 0, {{Press, true, kPress}, {Release, false, kRelease}, {Press, true, kPress}}},
        {"toggle",
         YButton::kToggleStyle,
         {{Press, true, kPress}, {Release, true, kRelease}, {Press, false, "down"}, {Release, false, kRelease}}},
        {"radio",
         YButton::kRadioStyle,
         {{Press, true, kPress}, {Release, true, kRelease}, {Press, true, kPress}, {Release, true, kRelease}}},
        {"radio toggle",
         YButton::kRadioStyle | YButton::kToggleStyle,
         {{Press, true, kPress}, {Release, true, kRelease}, {Press, false, "down"}}},
        {"disabled push", YWindow::kDisabledStyle, {{Press, false, ""}, {Release, false, ""}}},
        {"disabled toggle",
         YWindow::kDisabledStyle | YButton::kToggleStyle,
         {{Press, false, ""}, {Release, false, ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Parent parent;
        RECT all = {0, 0, 200, 200};
        parent.MoveTo(&all);
        YButton* button = MakeButton(&parent, c.style, 5);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE(i);
            const Step& step = c.steps[i];
            parent.m_log.clear();
            if (step.action == Press) button->OnLButtonDown(0, 17, 29);
            else button->OnLButtonUp(0, 17, 29);
            EXPECT_EQ(step.down, button->IsChecked());
            EXPECT_EQ(step.log, parent.Joined());
        }
    }
}

TEST_F(ButtonTest, APressMovesTheClickPointIntoTheButton)
{
    Parent parent;
    YButton* button = MakeButton(&parent, 0, 1, RECT{10, 20, 50, 40});
    parent.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(17, 29));
    EXPECT_TRUE(button->IsChecked());
    EXPECT_EQ(7, YWindow::GetLastClickPoint().x);
    EXPECT_EQ(9, YWindow::GetLastClickPoint().y);
    // Disabled: the router's point stays.
    button->Enable(false);
    parent.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(30, 35));
    EXPECT_EQ(30, YWindow::GetLastClickPoint().x);
    // A rectangle read from a description far out of range: the point stays in range.
    YButton* far = MakeButton(&parent, 0, 2, RECT{-0x7FFFFFFF - 1, 0x7FFFFFF0, 0, 0x7FFFFFFF});
    far->OnLButtonDown(0, 0x7FFFFF00, -100);
    EXPECT_EQ(0x7FFFFFFF, YWindow::GetLastClickPoint().x);
    EXPECT_EQ(-0x7FFFFFFF - 1, YWindow::GetLastClickPoint().y);
}

TEST_F(ButtonTest, ARadioButtonUnchecksItsGroupAmongItsSiblingsOnly)
{
    Parent parent, other;
    YButton* a = MakeButton(&parent, YButton::kRadioStyle, 1);
    YButton* b = MakeButton(&parent, YButton::kRadioStyle, 2);
    YButton* c = MakeButton(&parent, YButton::kRadioStyle, 3);
    YButton* push = MakeButton(&parent, 0, 4);
    YWindow* plain = new YWindow;
    plain->SetParent(&parent);
    YButton* d = MakeButton(&other, YButton::kRadioStyle, 5);
    a->SetGroup(1);
    b->SetGroup(1);
    c->SetGroup(2);
    push->SetGroup(1);
    d->SetGroup(1);
    for (YButton* button : {b, c, push, d}) button->SetCheck(true);

    a->OnLButtonDown(0, 15, 25);
    struct Case {
        const char* name;
        YButton* button;
        bool down;
    } cases[] = {{"pressed", a, true}, {"same group", b, false}, {"other group", c, true},
                 {"push button of the group", push, false}, {"other parent", d, true}};
    for (const Case& k : cases) EXPECT_EQ(k.down, k.button->IsChecked()) << k.name;

    // Checking by hand does the same; unchecking leaves the others.
    b->SetCheck(true);
    EXPECT_FALSE(a->IsChecked());
    b->SetCheck(false);
    EXPECT_FALSE(b->IsChecked());
    EXPECT_TRUE(c->IsChecked());

    // The visitor alone: only its group, and it answers 0.
    YButtonOff off(2);
    EXPECT_EQ(0, c->Accept(&off));
    EXPECT_FALSE(c->IsChecked());
    d->SetCheck(true);
    EXPECT_EQ(0, d->Accept(&off));
    EXPECT_TRUE(d->IsChecked());
}

TEST_F(ButtonTest, TheImageOfEachState)
{
    enum { Normal = 0, Down = 1, Hover = 2, Disabled = 4 };
    struct Case {
        int images;
        int style;
        int state;
        const char* drawn;
    } cases[] = {
        {1, YButton::kToggleStyle, Down | Hover, "res i0 10,20,50,40"},
        {2, YButton::kToggleStyle, Normal, "res i0 10,20,50,40"},
        {2, YButton::kToggleStyle, Down, "res i1 10,20,50,40"},
        {2, YButton::kToggleStyle, Hover, "res i0 10,20,50,40"},
        {3, YButton::kToggleStyle, Hover, "res i2 10,20,50,40"},
        {3, YButton::kToggleStyle, Down | Hover, "res i1 10,20,50,40"},
        {3, YButton::kToggleStyle, Disabled, "res i0 10,20,50,40"},
        {3, YButton::kToggleStyle, Disabled | Hover, "res i2 10,20,50,40"},
        {4, YButton::kToggleStyle, Disabled, "res i3 10,20,50,40"},
        {4, YButton::kToggleStyle, Disabled | Down, "res i3 10,20,50,40"},
        {4, YButton::kToggleStyle, Hover, "res i2 10,20,50,40"},
        // A push button away from the mouse goes up before it is drawn.
        {3, 0, Down, "res i0 10,20,50,40"},
        {3, 0, Down | Hover, "res i1 10,20,50,40"},
        // No images: background, then the text inside the corner.
        {0, 0, Normal, "text 13,23 btn"},
        // Image-only drawing: 2 disabled, 1 under the mouse with four images.
        {4, YButton::kImageOnlyStyle, Normal, "res i0 10,20,50,40"},
        {4, YButton::kImageOnlyStyle, Hover, "res i1 10,20,50,40"},
        {3, YButton::kImageOnlyStyle, Hover, "res i0 10,20,50,40"},
        {4, YButton::kImageOnlyStyle, Disabled | Hover, "res i2 10,20,50,40"},
        {2, YButton::kImageOnlyStyle, Disabled, "res i0 10,20,50,40"},
        {4, YButton::kImageOnlyStyle | YButton::kToggleStyle, Down, "res i0 10,20,50,40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.images) + " images, style " + std::to_string(c.style) + ", state " +
                     std::to_string(c.state));
        Parent parent;
        YButton* button = MakeButton(&parent, c.style, 1);
        std::vector<std::unique_ptr<Picture>> pictures;
        for (int i = 0; i < c.images; ++i) {
            pictures.emplace_back(new Picture(("i" + std::to_string(i)).c_str()));
            button->AddResource(pictures.back().get(), false);
        }
        if (c.state & Down) button->SetCheck(true);
        if (c.state & Hover) button->SetHover();
        else HoverElsewhere();
        if (c.state & Disabled) button->Enable(false);
        LogDC dc;
        button->Draw(&dc);
        EXPECT_EQ(c.drawn, dc.Joined());
        // Image-only drawing puts a button away from the mouse up.
        if ((c.style & YButton::kImageOnlyStyle) && !(c.state & Hover)) {
            EXPECT_FALSE(button->IsChecked());
        }
        for (int i = 0; i < button->GetResourceCount(); ++i) button->SetResourceAt(i, nullptr, false);
    }
}

TEST_F(ButtonTest, ImageOnlyDrawsFromTheDefaultSourceWhenThereIsOne)
{
    Parent parent;
    YButton* button = MakeButton(&parent, YButton::kImageOnlyStyle, 1);
    Picture picture("p");
    button->AddResource(&picture, false);
    LogDC source, dc;
    YWindow::SetDefaultSource(&source);
    button->Draw(&dc);
    EXPECT_EQ("src p 10,20,50,40", dc.Joined());
    button->SetResourceAt(0, nullptr, false);
}

TEST_F(ButtonTest, TheCaptionFontOfEachState)
{
    TestFont normal("N"), hover("H"), pressed("P"), disabled("D");
    enum { Hover = 1, Down = 2, Disabled = 4 };
    struct Case {
        int state;
        bool stateFonts;
        bool disabledFont;
        const char* drawn;
    } cases[] = {
        {0, true, true, "drawtext 16,18,52,41 5 GO [N]"},
        {Hover, true, true, "drawtext 16,18,52,41 5 GO [H]"},
        {Hover | Down, true, true, "drawtext 16,18,52,41 5 GO [P]"},
        {Hover | Down, false, true, "drawtext 16,18,52,41 5 GO [N]"},
        {Disabled | Hover, true, true, "drawtext 16,18,52,41 5 GO [D]"},
        {Disabled | Hover, true, false, "drawtext 16,18,52,41 5 GO [H]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        Parent parent;
        YButton* button = MakeButton(&parent, YButton::kToggleStyle, 1);
        Picture image("i0");
        button->AddResource(&image, false);
        button->SetCaption("GO");
        button->SetCaptionOffset(2, 1);
        button->SetStateFonts(c.stateFonts);
        button->SetCaptionFont(YButton::kNormalFont, &normal);
        button->SetCaptionFont(YButton::kHoverFont, &hover);
        button->SetCaptionFont(YButton::kPressedFont, &pressed);
        if (c.disabledFont) button->SetCaptionFont(YButton::kDisabledFont, &disabled);
        if (c.state & Down) button->SetCheck(true);
        if (c.state & Hover) button->SetHover();
        else HoverElsewhere();
        if (c.state & Disabled) button->Enable(false);
        LogDC dc;
        button->Draw(&dc);
        ASSERT_EQ(2u, dc.m_log.size());
        EXPECT_EQ(c.drawn, dc.m_log[1]);
        EXPECT_EQ(nullptr, dc.GetFont());  // swapped back
        button->SetResourceAt(0, nullptr, false);
    }
}

TEST_F(ButtonTest, NoCaptionWithoutFontTextOrWithImageOnlyDrawing)
{
    TestFont font("F");
    struct Case {
        const char* name;
        const char* caption;
        YFont* font;
        int style;
    } cases[] = {{"no font", "GO", nullptr, 0}, {"empty caption", "", &font, 0},
                 {"image only", "GO", &font, YButton::kImageOnlyStyle}};
    for (const Case& c : cases) {
        Parent parent;
        YButton* button = MakeButton(&parent, c.style, 1);
        button->SetCaption(c.caption);
        button->SetCaptionFont(YButton::kNormalFont, c.font);
        LogDC dc;
        EXPECT_EQ(0, button->DrawCaption(&dc));
        EXPECT_EQ("", dc.Joined()) << c.name;
    }
}

TEST_F(ButtonTest, HoverNotifiesOnceAndAgainAfterLeaving)
{
    Parent parent;
    YButton* button = MakeButton(&parent, 0, 3);
    LogDC dc;
    button->SetHover();
    button->SetHover();
    EXPECT_EQ("notify 3 -13", parent.Joined());
    EXPECT_EQ(button, YWindow::GetHoverWindow());
    button->Draw(&dc);  // still under the mouse
    button->SetHover();
    EXPECT_EQ("notify 3 -13", parent.Joined());
    HoverElsewhere();
    button->Draw(&dc);  // the mouse has left
    EXPECT_FALSE(button->HoverSoundPlayed());
    button->SetHover();
    EXPECT_EQ("notify 3 -13, notify 3 -13", parent.Joined());

    // Disabled or hidden: no notification, but it still becomes the hover window.
    HoverElsewhere();
    button->Draw(&dc);
    button->Enable(false);
    button->SetHover();
    button->Enable(true);
    button->m_visible = 0;
    button->SetHover();
    EXPECT_EQ(2u, parent.m_log.size());
    EXPECT_EQ(button, YWindow::GetHoverWindow());
}

TEST_F(ButtonSounds, HoverPlaysTheSecondSoundOfTheScreenDialogOrLayout)
{
    auto click = ToneBuffer("click.wav");
    auto second = ToneBuffer("second.wav");
    LogScreen screen;
    screen.SetSounds(click.get(), second.get());
    YButton* onScreen = MakeButton(&screen, 0, 8);
    onScreen->SetHover();
    EXPECT_TRUE(second->IsPlaying());
    EXPECT_FALSE(click->IsPlaying());
    ASSERT_EQ(1u, screen.m_notes.size());
    EXPECT_EQ(-13, screen.m_notes[0].second);
    // Played once until the mouse leaves.
    second->Stop();
    onScreen->SetHover();
    EXPECT_FALSE(second->IsPlaying());
    HoverElsewhere();
    onScreen->Draw(static_cast<YDC*>(nullptr));
    onScreen->SetHover();
    EXPECT_TRUE(second->IsPlaying());
    second->Stop();

    YDialog dialog;
    dialog.SetSounds(click.get(), second.get());
    YButton* onDialog = MakeButton(&dialog, 0, 9);
    onDialog->SetHover();
    EXPECT_TRUE(second->IsPlaying());
    second->Stop();

    SoundLayout layout;
    YButton* onLayout = MakeButton(&layout, 0, 10);
    onLayout->SetHover();
    EXPECT_EQ(1, layout.m_played);

    // A plain parent plays nothing; a screen without sounds neither, and still hears of the hover.
    Parent plain;
    MakeButton(&plain, 0, 11)->SetHover();
    EXPECT_FALSE(second->IsPlaying());
    LogScreen quiet;
    MakeButton(&quiet, 0, 12)->SetHover();
    EXPECT_EQ(1u, quiet.m_notes.size());
    EXPECT_FALSE(second->IsPlaying() || click->IsPlaying());
}

TEST_F(ButtonTest, TheSounderAnswersForScreensAndDialogsOnly)
{
    Sounder sounder;
    YScreen screen;
    YDialog dialog;
    YWindow window;
    YButton button;
    EXPECT_EQ(1, screen.Accept(&sounder));
    EXPECT_EQ(1, dialog.Accept(&sounder));
    EXPECT_EQ(0, window.Accept(&sounder));
    EXPECT_EQ(0, button.Accept(&sounder));
}

TEST_F(ButtonTest, AFontButtonDrawsItsTextInTheStateFontAndIsAsLargeAsIt)
{
    Parent parent;
    YFontButton* button = new YFontButton;
    RECT r = {10, 20, 200, 100};
    button->Create("PLAY", 0, &r, &parent, 4);
    // The resource id is the type code.
    EXPECT_EQ(YFontButton::kTypeCode, static_cast<YResource*>(button)->GetId());
    YButton plain;
    EXPECT_EQ(YButton::kTypeCode, static_cast<YResource*>(&plain)->GetId());
    RECT out;
    button->GetRect(&out);
    EXPECT_EQ("10,20,200,100", Box(out));  // no font yet
    TestFont normal("N"), down("D"), hover("H");
    button->AddResource(&normal, false);
    button->AddResource(&down, false);
    button->AddResource(&hover, false);
    button->GetRect(&out);
    EXPECT_EQ("10,20,30,29", Box(out));

    LogDC dc;
    const RECT at = {1, 2, 3, 4};
    EXPECT_EQ(1, button->DrawResource(&dc, &at, 1));
    EXPECT_EQ(0, button->DrawResource(&dc, &at, 3));
    EXPECT_EQ("text 1,2 PLAY [D]", dc.Joined());
    EXPECT_EQ(nullptr, dc.GetFont());

    dc.m_log.clear();
    button->SetCaption("caption");
    button->SetCaptionFont(YButton::kNormalFont, &normal);
    button->SetHover();
    button->Draw(&dc);
    EXPECT_EQ("text 10,20 PLAY [H]", dc.Joined());  // and no caption
    for (int i = 0; i < 3; ++i) button->SetResourceAt(i, nullptr, false);
}

TEST_F(ButtonTest, CopiesKeepTheButtonPartAndRefuseOtherClasses)
{
    TestFont font("F");
    YButton original;
    RECT r = {1, 2, 3, 4};
    original.Create("orig", YButton::kToggleStyle, &r, nullptr, 12);
    original.SetGroup(7);
    original.SetCheck(true);
    original.SetCaptionFont(YButton::kHoverFont, &font);
    original.SetCaptionFormat(DT_RIGHT);
    original.SetCaptionOffset(3, -2);

    std::unique_ptr<YResource> made(original.CopyTo(nullptr));
    YButton* copy = dynamic_cast<YButton*>(made.get());
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(7, copy->GetGroup());
    EXPECT_TRUE(copy->IsChecked());
    EXPECT_EQ(&font, copy->GetCaptionFont(YButton::kHoverFont));
    EXPECT_EQ(DT_RIGHT, copy->GetCaptionFormat());
    EXPECT_EQ(12, copy->GetId());

    YFontButton fontButton;
    std::unique_ptr<YResource> fontCopy(fontButton.CopyTo(nullptr));
    EXPECT_NE(nullptr, dynamic_cast<YFontButton*>(fontCopy.get()));
    YSlider slider;
    EXPECT_EQ(nullptr, original.CopyTo(&slider));
    EXPECT_EQ(nullptr, fontButton.CopyTo(&original));

    // The copy constructor: group and images kept, up and hover armed.
    YButton constructed(original);
    EXPECT_EQ(7, constructed.GetGroup());
    EXPECT_FALSE(constructed.IsChecked());
}

TEST_F(ButtonTest, TheGroupFollowsTheWindowInTheArchive)
{
    YButton button;
    RECT r = {4, 5, 6, 7};
    button.Create("b", 0, &r, nullptr, 3);
    button.SetGroup(0x01020304);
    std::vector<BYTE> bytes = Store(&button);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(0x01020304u, WordAt(bytes, bytes.size() - 4));  // the last word written
    std::unique_ptr<CObject> loaded(LoadOrNull(bytes));
    YButton* copy = dynamic_cast<YButton*>(loaded.get());
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(0x01020304, copy->GetGroup());
    EXPECT_EQ(3, copy->GetId());
    // Cut short, the group is missing and the load fails.
    bytes.pop_back();
    EXPECT_EQ(nullptr, LoadOrNull(bytes));
}
