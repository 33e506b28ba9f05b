// The combo box: press, move and release sequences over its button and its
// open list, keys and characters through its edit box, images attached in
// order, and its archive form.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/FixedFont.h"
#include "ArchiveBytes.h"
#include "RecordingDC.h"
#include "gui/YComboBox.h"
#include "gui/YEditBox.h"
#include "gui/YListBox.h"
#include "platform/win32_window.h"

namespace {

typedef std::vector<std::pair<int, int>> Notes;

class Owner : public YWindow {
public:
    void OnKeyDown(int key, int, int) override { m_keys.push_back(key); }
    void OnNotify(int id, int code) override { m_notes.push_back({id, code}); }
    std::vector<int> m_keys;
    Notes m_notes;
};

// An image of a given size.
class Image : public YResource {
public:
    Image(LONG width, LONG height) : m_width(width), m_height(height) {}
    LONG GetWidth() override { return m_width; }
    LONG GetHeight() override { return m_height; }
    LONG m_width, m_height;
};

std::string Text(YComboBox& combo)
{
    CString text;
    combo.GetName(text);
    return (const char*)text;
}

// Combo at (10, 10)-(110, 30) with a drop-down button at 90..110 and a
// 70-pixel list below its edit box (10..90): hover rows of 14 from y = 30.
struct Fixture {
    Owner owner;
    YComboBox* combo = new YComboBox;
    FixedFont tall{6, 30};
    Fixture()
    {
        RECT rect = {10, 10, 110, 30};
        EXPECT_EQ(combo->Create(1, &rect, &owner, 5), 1);
        combo->SetListHeight(70);
        for (const char* text : {"red", "green", "blue"}) combo->AddString(text);
    }
    void Send(UINT message, int x, int y) { owner.HandleMessage(message, 0, MAKELPARAM(x, y)); }
};

enum Act { Down, Up, Move, Reset, TallFont };

struct Step {
    Act act;
    int x, y;
};

}  // namespace

TEST(ComboBox, PressMoveAndReleaseSequences)
{
    struct Case {
        const char* name;
        std::vector<Step> steps;
        bool dropped;
        const char* text;
        int selected;
        Notes notes;
    };
    const int changed = YComboBox::kNotifySelectionChanged;
    const Case cases[] = {
        {"open, hover a row, pick it",
         {{Down, 100, 20}, {Up, 100, 20}, {Move, 50, 50}, {Down, 50, 50}, {Up, 50, 50}},
         false, "green", 1, {{5, changed}}},
        {"a release over the list without a selection notifies and stays open",
         {{Down, 100, 20}, {Move, 50, 95}, {Up, 50, 95}}, true, "", -1, {{5, changed}}},
        {"the button toggles", {{Down, 100, 20}, {Up, 100, 20}, {Down, 100, 20}, {Up, 100, 20}}, false, "", -1, {}},
        {"hover rows are 14 pixels whatever the font",
         {{TallFont, 0, 0}, {Down, 100, 20}, {Up, 100, 20}, {Move, 50, 45}, {Up, 50, 45}}, false, "green", 1,
         {{5, changed}}},
        {"emptied while open: nothing past the rows is copied",
         {{Down, 100, 20}, {Move, 50, 60}, {Reset, 0, 0}, {Up, 50, 60}}, true, "", -1, {{5, changed}}},
        {"a press on the closed combo's text opens nothing", {{Down, 40, 20}, {Up, 40, 20}}, false, "", -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        for (const Step& s : c.steps) {
            switch (s.act) {
            case Down: f.Send(WM_LBUTTONDOWN, s.x, s.y); break;
            case Up: f.Send(WM_LBUTTONUP, s.x, s.y); break;
            case Move: f.Send(WM_MOUSEMOVE, s.x, s.y); break;
            case Reset: f.combo->ResetContent(); break;
            case TallFont: f.combo->SetFont(&f.tall); break;
            }
        }
        EXPECT_EQ(f.combo->IsDropped(), c.dropped);
        EXPECT_EQ(Text(*f.combo), c.text);
        EXPECT_EQ(f.combo->GetCurSel(), c.selected);
        EXPECT_EQ(f.owner.m_notes, c.notes);
        EXPECT_EQ(YWindow::GetCaptureWindow(), nullptr);
        // The open combo covers its list; closed, only the edit box and button.
        EXPECT_EQ(f.combo->Rect().bottom, c.dropped ? 100 : 30);
    }
}

TEST(ComboBox, ClosesWhenDrawnWithoutTheFocusAndLendsItToTheEditBox)
{
    Fixture f;
    f.Send(WM_LBUTTONDOWN, 100, 20);
    f.Send(WM_LBUTTONUP, 100, 20);
    ASSERT_TRUE(f.combo->IsDropped());
    ASSERT_EQ(YWindow::GetFocusWindow(), f.combo);
    RecordingDC dc;
    f.combo->Draw(&dc);
    EXPECT_TRUE(f.combo->IsDropped());
    EXPECT_EQ(YWindow::GetFocusWindow(), f.combo);
    // No button image: a frame round the button.
    ASSERT_EQ(dc.m_framed.size(), 1u);
    EXPECT_TRUE(SameRect(dc.m_framed[0], RECT{90, 10, 110, 30}));
    f.owner.SetFocus();
    f.combo->Draw(&dc);
    EXPECT_FALSE(f.combo->IsDropped());
}

TEST(ComboBox, KeysAndCharactersGoThroughTheEditBox)
{
    Owner owner;
    YComboBox* combo = new YComboBox;
    RECT rect = {0, 0, 200, 20};
    combo->Create(0, &rect, &owner, 2);  // no button: the text can be typed
    for (int ch : {'a', 'b', 'c'}) combo->OnChar(ch, 1, 0);
    combo->OnKeyDown(VK_LEFT, 1, 0);
    combo->OnKeyDown(VK_BACK, 1, 0);
    EXPECT_EQ(Text(*combo), "ac");
    // Each key reaches the owner once.
    EXPECT_EQ(owner.m_keys, (std::vector<int>{VK_LEFT, VK_BACK}));
    // A combo with a button has a read-only edit box.
    Fixture f;
    f.combo->OnChar('x', 1, 0);
    EXPECT_EQ(Text(*f.combo), "");
    EXPECT_EQ(f.combo->SelectItem(2), -1);
    EXPECT_EQ(Text(*f.combo), "blue");
    EXPECT_EQ(f.combo->SelectItem(7), -1);
    EXPECT_EQ(Text(*f.combo), "blue");
}

TEST(ComboBox, ImagesAttachInOrderAndFontsOnlyAfterThem)
{
    YWindow::SetResourceCatalog(nullptr);  // the images are the test's and outlive the combo
    FixedFont font(6, 10);
    Image list(80, 60), button(16, 18), face(120, 24), back(100, 20);
    Fixture f;
    const int boxes = platform::MessageBoxCount();
    EXPECT_EQ(f.combo->AttachImage("font", &font), 0);
    EXPECT_EQ(platform::MessageBoxCount(), boxes + 1);
    EXPECT_NE(std::string(platform::LastMessageBox()).find("Please attach images before fonts"), std::string::npos);

    EXPECT_EQ(f.combo->AttachImage("list", &list), 1);
    EXPECT_EQ(f.combo->GetListBox()->GetResourceAt(0), &list);
    // The list spans the edit box below it, as high as its image.
    EXPECT_TRUE(SameRect(f.combo->GetListBox()->Rect(), RECT{10, 30, 90, 90}));
    EXPECT_EQ(f.combo->AttachImage("button", &button), 1);
    EXPECT_TRUE(SameRect(f.combo->GetButtonRect(), RECT{94, 10, 110, 28}));
    EXPECT_EQ(f.combo->AttachImage("face", &face), 1);
    EXPECT_TRUE(SameRect(f.combo->Rect(), RECT{10, 10, 130, 34}));  // takes its size
    EXPECT_EQ(f.combo->AttachImage("back", &back), 1);
    EXPECT_TRUE(SameRect(f.combo->Rect(), RECT{10, 10, 130, 34}));
    EXPECT_EQ(f.combo->AttachImage("font", &font), 1);
    EXPECT_EQ(f.combo->GetResourceCount(), 4);
    EXPECT_EQ(f.combo->GetResourceAt(3), &font);
}

TEST(ComboBox, ArchiveFindsItsEditBoxAndListAgain)
{
    Fixture f;
    f.combo->SetName("green");
    CObject* object = RoundTrip(f.combo);
    std::unique_ptr<CObject> owned(object);
    YComboBox* copy = dynamic_cast<YComboBox*>(object);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Text(*copy), "green");
    EXPECT_EQ(copy->GetCount(), 3);
    EXPECT_TRUE(SameRect(copy->GetButtonRect(), RECT{90, 10, 110, 30}));
    EXPECT_EQ(copy->GetEditBox()->GetParent(), copy);
    EXPECT_EQ(copy->GetListBox()->GetParent(), copy);
    // A combo described without them still has a pair to work with.
    YComboBox bare;
    CObject* read = RoundTrip(&bare);
    std::unique_ptr<CObject> owned2(read);
    YComboBox* empty = dynamic_cast<YComboBox*>(read);
    ASSERT_NE(empty, nullptr);
    ASSERT_NE(empty->GetEditBox(), nullptr);
    EXPECT_EQ(empty->AddString("x"), 0);
    EXPECT_EQ(empty->SelectItem(0), -1);
    EXPECT_EQ(Text(*empty), "x");
}

TEST(ComboBox, MovesItsEditBoxListAndButtonAlong)
{
    struct Case {
        bool dropped;
        RECT to, edit, list, button;
    };
    const Case cases[] = {
        {false, {50, 60, 170, 90}, {50, 60, 170, 90}, {50, 90, 170, 160}, {150, 60, 170, 80}},
        {true, {50, 60, 170, 150}, {50, 60, 170, 80}, {50, 80, 170, 150}, {150, 60, 170, 80}},
    };
    for (const Case& c : cases) {
        Fixture f;
        EXPECT_TRUE(f.combo->SetDropped(c.dropped) == c.dropped);
        EXPECT_FALSE(f.combo->SetDropped(c.dropped));  // no change the second time
        f.combo->MoveTo(&c.to);
        EXPECT_TRUE(SameRect(f.combo->Rect(), c.to)) << c.dropped;
        EXPECT_TRUE(SameRect(f.combo->GetEditBox()->Rect(), c.edit)) << c.dropped;
        EXPECT_TRUE(SameRect(f.combo->GetListBox()->Rect(), c.list)) << c.dropped;
        EXPECT_TRUE(SameRect(f.combo->GetButtonRect(), c.button)) << c.dropped;
    }
}
