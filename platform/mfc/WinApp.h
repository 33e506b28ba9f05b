// The application and window classes: CWnd over a window handle with its
// virtual window procedure, CFrameWnd, CWinApp and the program's entry.
#pragma once

#include "platform/mfc/Object.h"
#include "platform/mfc/String.h"
#include "platform/win32.h"

class CWnd;
// The window procedure of every CWnd: hands each message to the object.
LRESULT CALLBACK AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class CWnd : public CObject {
    DECLARE_DYNAMIC(CWnd)
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);

public:
    CWnd();
    ~CWnd() override;

    BOOL CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id, LPVOID parameter = nullptr);
    virtual BOOL DestroyWindow();
    HWND GetSafeHwnd() const { return m_hWnd; }
    static CWnd* FromHandle(HWND window);

    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    HICON SetIcon(HICON icon, BOOL big)
    {
        return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                                                      reinterpret_cast<LPARAM>(icon)));
    }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    int MessageBox(LPCTSTR text, LPCTSTR caption = nullptr, UINT type = MB_OK);

    // Every message of the window comes here.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd;

protected:
    BOOL CreateAt(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, int x, int y, int width,
                  int height, CWnd* parent, UINT id, LPVOID parameter);
    // After the last message of the window; frames delete themselves here.
    virtual void PostNcDestroy();
    virtual void OnNcDestroy();
};

class CFrameWnd : public CWnd {
    DECLARE_DYNAMIC(CFrameWnd)

public:
    static const RECT rectDefault;
    CFrameWnd() = default;
    BOOL Create(LPCTSTR className, LPCTSTR windowName, DWORD style = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* parent = nullptr, LPCTSTR menuName = nullptr,
                DWORD exStyle = 0);

protected:
    void PostNcDestroy() override;
};

class CWinApp : public CObject {
    DECLARE_DYNAMIC(CWinApp)

public:
    explicit CWinApp(LPCTSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    // Pumps messages until the quit message, or ends at once without a main window.
    virtual int Run();
    virtual int ExitInstance();
    void SetRegistryKey(LPCTSTR key);
    HICON LoadIcon(UINT id) const { return ::LoadIconA(m_hInstance, MAKEINTRESOURCEA(id)); }

    CWnd* m_pMainWnd;
    HINSTANCE m_hInstance;
    int m_nCmdShow;
    LPCTSTR m_pszAppName;
    LPCTSTR m_pszRegistryKey;
    int m_exitCode;

private:
    CString m_appName;
    CString m_registryKey;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
int AfxMessageBox(LPCTSTR text, UINT type = MB_OK, UINT helpId = 0);
// The program's entry: initialises the one application object and runs it.
// Returns the exit code: failure when the initialisation fails.
int AfxWinMain();

// The string resource of the application's title.
#define AFX_IDS_APP_TITLE 0xE000
