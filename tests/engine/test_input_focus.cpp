// The frame window and the input manager: every message passes the manager
// first, and the focus messages switch it off and on, taking the mouse back
// only when it was captured when the focus went.
#include <gtest/gtest.h>

#include "engine/YGameObjects.h"
#include "engine/YKestrixFrame.h"
#include "input/YInputObj.h"
#include "platform/dinput.h"
#include "platform/mfc.h"

TEST(InputFocus, FocusLossReleasesTheMouseAndItsReturnTakesItBack)
{
    YGameObjects* engine = YGameObjects::Instance();
    YInputObj* input = engine->m_input;
    ASSERT_NE(nullptr, input);
    CWinApp app;
    YKestrixFrame* frame = new YKestrixFrame;
    ASSERT_TRUE(frame->Create(nullptr, "RC Volaro", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU));
    frame->ShowWindow(SW_SHOWNORMAL);
    app.m_pMainWnd = frame;
    platform::ResetDirectInput();
    ASSERT_TRUE(input->Create(&input->m_settings));

    struct Case {
        bool playing;
        uint8_t capturedAfter, acquiredAfter;
    } cases[] = {{true, 1, 1}, {false, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.playing);
        engine->EnableInput(c.playing ? 1 : 0);
        EXPECT_EQ(c.playing ? 1 : 0, input->m_mouseAcquired);
        SendMessageA(frame->m_hWnd, WM_KILLFOCUS, 0, 0);
        EXPECT_EQ(0, input->m_enabled);
        EXPECT_EQ(0, input->m_captured);
        EXPECT_EQ(0, input->m_mouseAcquired);
        SendMessageA(frame->m_hWnd, WM_SETFOCUS, 0, 0);
        EXPECT_EQ(1, input->m_enabled);
        EXPECT_EQ(c.capturedAfter, input->m_captured);
        EXPECT_EQ(c.acquiredAfter, input->m_mouseAcquired);
    }

    SendMessageA(frame->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(12, 34));
    EXPECT_EQ(12, input->m_cursorX);
    EXPECT_EQ(34, input->m_cursorY);

    engine->EnableInput(0);
    input->Destroy();
    app.m_pMainWnd = nullptr;
    DestroyWindow(frame->m_hWnd);
}
