// The game layout switches the game's keyboard: the key bindings stop while
// an edit box of a layout is open and work again once it closes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptedInput.h"
#include "engine/YGameObjects.h"
#include "frontend/YAppLayout.h"
#include "gui/YDC.h"
#include "gui/YEditBox.h"
#include "input/YInputObj.h"
#include "platform/mfc.h"

namespace {

std::vector<std::string>& KeyboardSent()
{
    static std::vector<std::string> lines;
    return lines;
}

void RecordKeyboardLine(const char* line) { KeyboardSent().push_back(line); }

// The game layout with its commands kept here.
class KeyboardLayout : public YAppLayout {
public:
    void ExecuteCommand(const char* text) override { m_ran.push_back(text); }
    void ExecuteCommandWithText(const char* command, const char* text) override
    {
        m_ran.push_back(std::string(command) + " <" + text + ">");
    }
    std::vector<std::string> m_ran;
};

// Drops the messages the played keys left.
void DropMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message == WM_PAINT) ValidateRect(message.hwnd, nullptr);
}

}  // namespace

TEST(AppLayoutKeyboard, BindingsStopWhileAnEditIsOpenAndComeBackAfter)
{
    YGameObjects* engine = YGameObjects::Instance();
    ASSERT_NE(nullptr, engine);
    platform::ResetDirectInput();
    CWinApp app;
    CFrameWnd* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "Keys", WS_OVERLAPPED | WS_CAPTION));
    frame->ShowWindow(SW_SHOWNORMAL);
    app.m_pMainWnd = frame;
    YInputObj input(RecordKeyboardLine);
    ASSERT_TRUE(input.Create(&input.m_settings));
    YInputObj* former = engine->m_input;
    engine->m_input = &input;
    input.Update();
    input.SetCommand("fire", "", 0, DIK_SPACE, -1, -1);
    KeyboardSent().clear();

    auto tap = [&]() {
        scripted::Play("0 key down Space\n0 key up Space\n");
        input.Update();
        input.Update();
    };
    tap();
    EXPECT_EQ((std::vector<std::string>{"+fire", "-fire"}), KeyboardSent());
    KeyboardSent().clear();

    struct Case {
        const char* key;  // closes the box; none: another script does
        const char* ran;
    } cases[] = {{"Return", "say <Ace>"}, {"Escape", "+exit"}, {nullptr, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key ? c.key : "new script");
        KeyboardLayout layout;
        RECT area = {0, 0, 200, 100};
        layout.MoveTo(&area);
        layout.SetScript("edit(1, 10, 10, 190, 30, say)");
        YDC dc;
        layout.Draw(&dc);
        YEditBox* box = dynamic_cast<YEditBox*>(layout.GetChild(0));
        ASSERT_NE(nullptr, box);
        ASSERT_EQ(1, box->m_visible);
        EXPECT_EQ(0, input.m_keyboard.m_active);
        KeyboardSent().clear();
        tap();
        EXPECT_TRUE(KeyboardSent().empty()) << KeyboardSent().front();

        box->SetName("Ace");
        if (c.key) {
            // The box tells the layout while the key's message is handled.
            scripted::Play(std::string("0 key down ") + c.key + "\n");
            DropMessages();
            layout.OnNotify(box->GetId(), YLayout::kNotifyEditBox);
            scripted::Play(std::string("0 key up ") + c.key + "\n");
            DropMessages();
            EXPECT_EQ(std::vector<std::string>{c.ran}, layout.m_ran);
        } else {
            layout.SetScript("string(x)");
        }
        EXPECT_EQ(1, input.m_keyboard.m_active);
        // The next frame takes the keyboard back; what was typed into the box
        // does not reach the bindings.
        input.Update();
        input.Update();
        EXPECT_TRUE(KeyboardSent().empty()) << KeyboardSent().front();
        tap();
        EXPECT_EQ((std::vector<std::string>{"+fire", "-fire"}), KeyboardSent());
    }

    engine->m_input = former;
    input.Destroy();
    app.m_pMainWnd = nullptr;
    DestroyWindow(frame->m_hWnd);
    platform::ResetDirectInput();
}
