// A shown program window whose key messages reach a window tree, translated
// as the game's pump translates them.
#pragma once

#include <cstring>

#include "gui/YWindow.h"
#include "platform/backend/Backend.h"
#include "platform/win32_window.h"

class GuiMessagePump {
public:
    explicit GuiMessagePump(const char* className = "GuiMessagePump")
    {
        platform::ResetWindows();
        WNDCLASSA windowClass;
        memset(&windowClass, 0, sizeof windowClass);
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);
        m_window = CreateWindowExA(0, className, "RC Volaro", WS_OVERLAPPED, 0, 0, 640, 480, nullptr, nullptr,
                                   nullptr, nullptr);
        ShowWindow(m_window, SW_SHOWNORMAL);
    }
    ~GuiMessagePump()
    {
        DestroyWindow(m_window);
        platform::ResetWindows();
    }
    void Key(int key, int scanCode, bool down)
    {
        platform::BackendEvent e;
        e.kind = down ? platform::BackendEvent::KeyDown : platform::BackendEvent::KeyUp;
        e.key = key;
        e.scanCode = scanCode;
        platform::Backend::Get().PushEvent(e);
        platform::PumpBackendEvents();
    }
    void Deliver(YWindow& root)
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            // Painting belongs to the program window itself.
            if (message.message == WM_PAINT) DispatchMessageA(&message);
            else root.HandleMessage(message.message, message.wParam, message.lParam);
        }
    }
    // Down, delivered; up, delivered.
    void Press(YWindow& root, int key, int scanCode)
    {
        for (bool down : {true, false}) {
            Key(key, scanCode, down);
            Deliver(root);
        }
    }
    HWND m_window = nullptr;
};
