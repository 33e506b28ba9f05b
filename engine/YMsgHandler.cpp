#include "engine/YMsgHandler.h"

#include "engine/YCommandDialog.h"
#include "engine/YGameObjects.h"
#include "graphics2d/YFont.h"
#include "graphics2d/YSurfaceDC.h"
#include "gui/YInterfaceMgr.h"
#include "input/YInputObj.h"
#include "renderer/YGraphics.h"

namespace {
const UINT kRedrawFrame = RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_NOERASE | RDW_NOCHILDREN | RDW_UPDATENOW | RDW_FRAME;
const int kVerbThrottleUp = 43;
const int kVerbThrottleDown = 44;

void RedrawAndRunFrame(YGameObjects* engine)
{
    if (engine->m_interfaceMgr) engine->m_interfaceMgr->m_redrawAll = 2;
    engine->m_graphics->RunFrame();
}
}  // namespace

int YMsgHandler::PumpMessages(int& anyMessage)
{
    anyMessage = 0;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        anyMessage = 1;
        if (GetMessageA(&message, nullptr, 0, 0) == 0) return 0;
        TranslateMessage(&message);
        DispatchMessageA(&message);
        YInterfaceMgr* manager = YGameObjects::Instance()->m_interfaceMgr;
        if (manager) manager->OnMessage(message.message, message.wParam, message.lParam);
    }
    return 1;
}

LRESULT YMsgHandler::WindowProc(CWnd* frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    YGameObjects* engine = YGameObjects::Instance();
    YGraphics* graphics = engine->m_graphics;
    YInputObj* input = engine->m_input;
    HWND window = frame->m_hWnd;
    if (input) input->OnWindowMessage(message, wParam, lParam);
    bool started = graphics && graphics->m_started;
    bool windowed = graphics && !graphics->m_fullScreen;

    switch (message) {
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_COMMAND: return DefWindowProcA(window, message, wParam, lParam);
    case WM_MOVE:
        if (started && windowed) {
            POINT origin = {0, 0};
            ClientToScreen(window, &origin);
            graphics->SetOrigin(origin.x, origin.y);
            RedrawWindow(window, nullptr, nullptr, kRedrawFrame);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETFOCUS:
        if (input) input->m_enabled = 1;
        if (m_inputAcquiredAtFocusLoss) engine->EnableInput(1);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_KILLFOCUS:
        m_inputAcquiredAtFocusLoss = input && (input->m_captured || input->m_mouseAcquired) ? 1 : 0;
        engine->EnableInput(0);
        if (input) input->m_enabled = 0;
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_PAINT:
        if (!started) {
            RECT client;
            GetClientRect(window, &client);
            HDC dc = GetDC(window);
            HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
            FillRect(dc, &client, black);
            DeleteObject(black);
            ReleaseDC(window, dc);
        } else if (windowed) {
            RedrawAndRunFrame(engine);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_ERASEBKGND:
        if (started) return 1;
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_ACTIVATEAPP:
        if (wParam) {
            if (started && windowed) RedrawAndRunFrame(engine);
            return DefWindowProcA(window, message, wParam, lParam);
        }
        if (graphics && graphics->m_fullScreen) {
            CWnd* main = AfxGetMainWnd();
            if (main) SetForegroundWindow(main->m_hWnd);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETCURSOR: {
        POINT cursor;
        RECT client;
        GetCursorPos(&cursor);
        ScreenToClient(window, &cursor);
        GetClientRect(window, &client);
        InflateRect(&client, 2, 2);
        if (PtInRect(&client, cursor)) {
            SetCursor(nullptr);
            return 1;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_NCPAINT:
        if (started && !windowed) return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_KEYDOWN:
        if (wParam == VK_F2) OpenConsole(frame);
        else if (wParam == VK_F12 && graphics) graphics->SaveScreenShot();
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        if (wParam == VK_TAB || wParam == VK_MENU) return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_MOUSEWHEEL: {
        // While the mouse is acquired the plane reads the notch from the
        // input object's wheel axis; one notch is one throttle step.
        int delta = static_cast<short>(HIWORD(wParam));
        if (!engine->m_input || !engine->m_input->m_mouseAcquired)
            engine->SendPlaneVerb(delta > 0 ? kVerbThrottleUp : kVerbThrottleDown, "", 1);
        return 0;
    }
    default: return frame->CWnd::WindowProc(message, wParam, lParam);
    }
}

void YMsgHandler::OpenConsole(CWnd* frame)
{
    YGameObjects* engine = YGameObjects::Instance();
    YGraphics* graphics = engine->m_graphics;
    // The console writes in the interface font; without one there is no console.
    YFont* font = graphics ? dynamic_cast<YFont*>(graphics->m_font) : nullptr;
    if (!font || !engine->m_console) return;
    // An F2 that reaches the window while the console runs does not open it again.
    if (engine->m_console->IsModal()) return;
    const LONG h = font->TextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZ", -1).cy;
    // Registered, the context loses its surface with the display and gets one back after it.
    YSurfaceDC* context = new YSurfaceDC(graphics->m_back, 0);
    graphics->AddClient(context);
    context->SwapFont(font);
    RECT rect = {0, 0, graphics->m_width, graphics->m_height};
    if (frame && frame->m_hWnd) {
        if (engine->m_borderless) GetWindowRect(frame->m_hWnd, &rect);
        else GetClientRect(frame->m_hWnd, &rect);
    }
    rect.bottom = ((rect.bottom - rect.top) / 2 + h) & ~h;
    engine->m_console->SetFont(font);
    engine->AttachConsole(&rect, context);
    graphics->RemoveClient(context);
    delete context;
}
