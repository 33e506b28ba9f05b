#include "platform/mfc/WinApp.h"

#include <map>

IMPLEMENT_DYNAMIC(CWnd, CObject)
IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)
IMPLEMENT_DYNAMIC(CWinApp, CObject)

namespace {
const char* const kWindowClass = "AfxFrameOrView";

CWinApp*& TheApp()
{
    static CWinApp* app = nullptr;
    return app;
}

std::map<HWND, CWnd*>& Handles()
{
    static auto* handles = new std::map<HWND, CWnd*>;  // outlives static destruction
    return *handles;
}

// The window being created, until its first message attaches it.
CWnd*& Creating()
{
    static CWnd* creating = nullptr;
    return creating;
}

}  // namespace

LRESULT CALLBACK AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandle(window);
    if (!wnd && Creating()) {
        wnd = Creating();
        Creating() = nullptr;
        wnd->m_hWnd = window;
        Handles()[window] = wnd;
    }
    if (!wnd) return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        Handles().erase(window);
        wnd->m_hWnd = nullptr;
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd == wnd) {
            app->m_pMainWnd = nullptr;
            PostQuitMessage(0);
        }
        wnd->OnNcDestroy();
        wnd->PostNcDestroy();
    }
    return result;
}

namespace {
void RegisterWindowClass()
{
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = AfxWndProc;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
}
}  // namespace

// ---------------------------------------------------------------- CWnd
CWnd::CWnd() : m_hWnd(nullptr) {}

CWnd::~CWnd()
{
    if (m_hWnd) {
        HWND window = m_hWnd;
        Handles().erase(window);
        m_hWnd = nullptr;
        ::DestroyWindow(window);
    }
}

CWnd* CWnd::FromHandle(HWND window)
{
    auto it = Handles().find(window);
    return it == Handles().end() ? nullptr : it->second;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                    UINT id, LPVOID parameter)
{
    return CreateAt(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, id, parameter);
}

BOOL CWnd::CreateAt(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, int x, int y, int width,
                    int height, CWnd* parent, UINT id, LPVOID parameter)
{
    if (!className) {
        RegisterWindowClass();
        className = kWindowClass;
    }
    Creating() = this;
    HWND window = CreateWindowExA(exStyle, className, windowName, style, x, y, width, height,
                                  parent ? parent->m_hWnd : nullptr,
                                  reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), AfxGetInstanceHandle(),
                                  parameter);
    Creating() = nullptr;
    return window != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

int CWnd::MessageBox(LPCTSTR text, LPCTSTR caption, UINT type)
{
    CWinApp* app = AfxGetApp();
    return ::MessageBoxA(m_hWnd, text, caption ? caption : (app ? app->m_pszAppName : nullptr), type);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return Default(message, wParam, lParam);
}

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CWnd::PostNcDestroy() {}

void CWnd::OnNcDestroy() {}

// ---------------------------------------------------------------- CFrameWnd
const RECT CFrameWnd::rectDefault = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};

BOOL CFrameWnd::Create(LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                       LPCTSTR menuName, DWORD exStyle)
{
    (void)menuName;
    if (rect.left == CW_USEDEFAULT)
        return CreateAt(exStyle, className, windowName, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, parent, 0, nullptr);
    return CreateEx(exStyle, className, windowName, style, rect, parent, 0);
}

// A frame deletes itself with its window.
void CFrameWnd::PostNcDestroy()
{
    delete this;
}

// ---------------------------------------------------------------- CWinApp
CWinApp::CWinApp(LPCTSTR appName)
    : m_pMainWnd(nullptr), m_hInstance(nullptr), m_nCmdShow(SW_SHOWNORMAL), m_pszAppName(nullptr),
      m_pszRegistryKey(nullptr), m_exitCode(0)
{
    if (appName) {
        m_appName = appName;
        m_pszAppName = m_appName;
    }
    TheApp() = this;
}

CWinApp::~CWinApp()
{
    if (TheApp() == this) TheApp() = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    if (!m_pMainWnd) return ExitInstance();
    MSG message;
    for (;;) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            m_exitCode = static_cast<int>(message.wParam);
            break;
        }
        if (got == -1) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return m_exitCode;
}

// Only remembered: nothing here reads or writes a registry.
void CWinApp::SetRegistryKey(LPCTSTR key)
{
    m_registryKey = key ? key : "";
    m_pszRegistryKey = m_registryKey;
}

CWinApp* AfxGetApp()
{
    return TheApp();
}

CWnd* AfxGetMainWnd()
{
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    CWinApp* app = AfxGetApp();
    return app && app->m_hInstance ? app->m_hInstance : GetModuleHandleA(nullptr);
}

int AfxMessageBox(LPCTSTR text, UINT type, UINT)
{
    CWinApp* app = AfxGetApp();
    CWnd* main = AfxGetMainWnd();
    return MessageBoxA(main ? main->m_hWnd : nullptr, text, app ? app->m_pszAppName : nullptr, type);
}

int AfxWinMain()
{
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    app->m_hInstance = GetModuleHandleA(nullptr);
    app->m_nCmdShow = SW_SHOWNORMAL;
    static CString name;
    if (!app->m_pszAppName) {
        char title[256];
        name = LoadStringA(app->m_hInstance, AFX_IDS_APP_TITLE, title, sizeof title) > 0 ? title : "rcvolaro";
        app->m_pszAppName = name;
    }
    if (!app->InitInstance()) {
        if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
        app->ExitInstance();
        return 1;
    }
    return app->Run();
}
