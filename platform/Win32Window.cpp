// Windows and the message queue over the backend: window records with their
// procedures and geometry, the posted-message queue, the backend's events
// turned into messages, key state, the cursor and its clip, message boxes,
// icons and COM start-up.
#include "platform/win32.h"

#include "platform/backend/Backend.h"
#include "platform/backend/Environment.h"
#include "platform/ddraw.h"
#include "platform/dinput.h"
#include "platform/DirectSoundObject.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {
const int kCaption = 19;
const int kFixedFrame = 3;
const int kThickFrame = 4;
const int kDesktopWidth = 1024;
const int kDesktopHeight = 768;
const int kTaskBar = 30;

struct Icon {
    UINT id;
    std::vector<uint32_t> pixels;
    int width;
    int height;
};

struct Resource {
    UINT type;
    UINT id;
    std::vector<uint8_t> data;
};

struct Window {
    HWND handle = nullptr;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect = {0, 0, 0, 0};
    std::string title;
    bool visible = false;
    bool invalid = false;
    bool destroying = false;
    HMENU menu = nullptr;
    HICON icons[2] = {nullptr, nullptr};
    LONG userData = 0;
    HWND parent = nullptr;
};

// The keyboard as a message saw it when it was posted.
struct KeySnapshot {
    bool keys[256] = {};
    bool toggled[256] = {};
};

struct Queued {
    MSG message;
    KeySnapshot keys;
};

struct State {
    std::map<std::string, WNDPROC> classes;
    std::map<uintptr_t, std::unique_ptr<Window>> windows;
    uintptr_t nextHandle = 0x100;
    std::deque<Queued> queue;
    // The keyboard as of the message last taken from the queue (GetKeyState).
    KeySnapshot messageKeys;
    HWND shown = nullptr;  // the window the backend shows
    HWND focus = nullptr;
    HWND foreground = nullptr;
    bool keys[256] = {};
    bool toggled[256] = {};
    bool scanCodes[256] = {};
    POINT cursor = {0, 0};
    HCURSOR cursorShape = nullptr;
    int cursorCount = 0;
    bool clipped = false;
    RECT clip = {0, 0, 0, 0};
    std::map<UINT, std::unique_ptr<Icon>> icons;
    std::map<std::pair<UINT, UINT>, std::unique_ptr<Resource>> resources;  // by type and id
    int comCount = 0;
    std::vector<std::string> boxes;
    // The last left press, for double clicks.
    DWORD lastPressTime = 0;
    POINT lastPress = {0, 0};
    bool pressPending = false;
};

State& S()
{
    static State* state = new State;  // windows may be destroyed during static destruction
    return *state;
}

std::string Lower(const char* text)
{
    std::string out = text ? text : "";
    for (char& c : out) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return out;
}

Window* Find(HWND handle)
{
    auto it = S().windows.find(reinterpret_cast<uintptr_t>(handle));
    return it == S().windows.end() ? nullptr : it->second.get();
}

// Width of the frame on each side, and the height of the caption.
void FrameSize(DWORD style, DWORD exStyle, int& border, int& caption)
{
    caption = (style & WS_CAPTION) == WS_CAPTION ? kCaption : 0;
    if (style & WS_THICKFRAME)
        border = kThickFrame;
    else if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        border = kFixedFrame;
    else if (style & WS_BORDER)
        border = 1;
    else
        border = 0;
    if (exStyle & WS_EX_CLIENTEDGE) border += 2;
}

RECT ClientOnScreen(const Window& w)
{
    int border, caption;
    FrameSize(w.style, w.exStyle, border, caption);
    RECT r = w.rect;
    r.left += border;
    r.right -= border;
    r.top += border + caption + (w.menu ? kCaption : 0);
    r.bottom -= border;
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

bool TopLevel(const Window& w)
{
    return !(w.style & WS_CHILD);
}

// The backend's window follows the shown top-level window's client area.
void ShowOnBackend(Window& w)
{
    if (!TopLevel(w)) return;
    platform::Backend& backend = platform::Backend::Get();
    RECT client = ClientOnScreen(w);
    int width = client.right - client.left, height = client.bottom - client.top;
    if (!backend.IsWindowOpen()) {
        backend.OpenWindow(w.title.c_str(), width, height, false);
    } else {
        backend.SetTitle(w.title.c_str());
        if (!backend.IsFullScreen()) backend.SetWindowSize(width, height);
    }
    S().shown = w.handle;
}

void ApplyIcon(Window& w)
{
    HICON icon = w.icons[ICON_BIG] ? w.icons[ICON_BIG] : w.icons[ICON_SMALL];
    if (!icon || S().shown != w.handle) return;
    const Icon* record = reinterpret_cast<const Icon*>(icon);
    platform::Backend::Get().SetIcon(record->pixels.data(), record->width, record->height);
}

void SetFocusTo(HWND handle)
{
    HWND previous = S().focus;
    if (previous == handle) return;
    S().focus = handle;
    if (previous && Find(previous)) SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    if (handle) SendMessageA(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
}

void Activate(HWND handle, bool active)
{
    if (active) {
        S().foreground = handle;
        SendMessageA(handle, WM_ACTIVATEAPP, TRUE, 0);
        SetFocusTo(handle);
    } else {
        SetFocusTo(nullptr);
        SendMessageA(handle, WM_ACTIVATEAPP, FALSE, 0);
        S().foreground = nullptr;
    }
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG m;
    m.hwnd = window;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetTickCount();
    m.pt = S().cursor;
    Queued queued;
    queued.message = m;
    memcpy(queued.keys.keys, S().keys, sizeof queued.keys.keys);
    memcpy(queued.keys.toggled, S().toggled, sizeof queued.keys.toggled);
    S().queue.push_back(queued);
}

WPARAM MouseKeys()
{
    WPARAM flags = 0;
    if (S().keys[VK_LBUTTON]) flags |= MK_LBUTTON;
    if (S().keys[VK_RBUTTON]) flags |= MK_RBUTTON;
    if (S().keys[VK_MBUTTON]) flags |= MK_MBUTTON;
    if (S().keys[VK_SHIFT]) flags |= MK_SHIFT;
    if (S().keys[VK_CONTROL]) flags |= MK_CONTROL;
    return flags;
}

// Pixels a double click's second press may lie from the first.
const int kDoubleClickSlop = 2;

void KeyMessage(HWND window, const platform::BackendEvent& e, bool down)
{
    State& s = S();
    int key = e.key & 0xFF;
    bool wasDown = s.keys[key];
    if (down && !wasDown) s.toggled[key] = !s.toggled[key];
    s.keys[key] = down;
    s.scanCodes[e.scanCode & 0xFF] = down;
    DWORD lParam = 1u | (static_cast<DWORD>(e.scanCode & 0x7F) << 16);
    if (e.scanCode & 0x80) lParam |= 1u << 24;
    bool alt = s.keys[VK_MENU];
    if (alt) lParam |= 1u << 29;
    if (!down || wasDown) lParam |= 1u << 30;
    if (!down) lParam |= 1u << 31;
    bool system = alt || key == VK_MENU;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    Post(window, message, static_cast<WPARAM>(key), static_cast<LPARAM>(lParam));
}

void MouseMessage(HWND window, const platform::BackendEvent& e)
{
    State& s = S();
    Window* w = Find(window);
    if (w) {
        RECT client = ClientOnScreen(*w);
        s.cursor.x = client.left + e.x;
        s.cursor.y = client.top + e.y;
    }
    LPARAM at = MAKELPARAM(e.x, e.y);
    static const int buttonKeys[4] = {0, VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    static const UINT downMessages[4] = {0, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const UINT upMessages[4] = {0, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    switch (e.kind) {
    case platform::BackendEvent::MouseMove:
        SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        Post(window, WM_MOUSEMOVE, MouseKeys(), at);
        break;
    case platform::BackendEvent::MouseDown:
    case platform::BackendEvent::MouseUp: {
        int b = e.button >= 1 && e.button <= 3 ? e.button : 1;
        bool down = e.kind == platform::BackendEvent::MouseDown;
        s.keys[buttonKeys[b]] = down;
        UINT message = down ? downMessages[b] : upMessages[b];
        if (down && b == 1) {
            // A second press soon enough and near enough is a double click;
            // a third one starts over.
            DWORD now = GetTickCount();
            bool twice = s.pressPending && now - s.lastPressTime <= GetDoubleClickTime() &&
                         std::abs(e.x - s.lastPress.x) <= kDoubleClickSlop &&
                         std::abs(e.y - s.lastPress.y) <= kDoubleClickSlop;
            if (twice) message = WM_LBUTTONDBLCLK;
            s.pressPending = !twice;
            s.lastPressTime = now;
            s.lastPress = POINT{e.x, e.y};
        }
        Post(window, message, MouseKeys(), at);
        break;
    }
    case platform::BackendEvent::Wheel:
        Post(window, WM_MOUSEWHEEL, MAKEWPARAM(MouseKeys(), e.wheel), MAKELPARAM(s.cursor.x, s.cursor.y));
        break;
    default: break;
    }
}

// Windows hands out WM_PAINT only when nothing else waits.
bool TakePaint(MSG* message)
{
    for (auto& entry : S().windows) {
        Window& w = *entry.second;
        if (w.visible && w.invalid && !w.destroying) {
            message->hwnd = w.handle;
            message->message = WM_PAINT;
            message->wParam = 0;
            message->lParam = 0;
            message->time = GetTickCount();
            message->pt = S().cursor;
            return true;
        }
    }
    return false;
}

bool Matches(const MSG& m, HWND window, UINT first, UINT last)
{
    if (window && m.hwnd != window) return false;
    if (first == 0 && last == 0) return true;
    return m.message >= first && m.message <= last;
}
}  // namespace

namespace platform {
void PumpBackendEvents()
{
    Backend& backend = Backend::Get();
    BackendEvent e;
    while (backend.PollEvent(e)) {
        FeedDirectInput(e);
        HWND window = S().shown;
        if (!window || !Find(window)) continue;
        switch (e.kind) {
        case BackendEvent::Close: Post(window, WM_CLOSE, 0, 0); break;
        case BackendEvent::KeyDown: KeyMessage(window, e, true); break;
        case BackendEvent::KeyUp: KeyMessage(window, e, false); break;
        case BackendEvent::Text:
            Post(window, WM_CHAR, static_cast<unsigned char>(e.text[0]), 1);
            break;
        case BackendEvent::MouseMove:
        case BackendEvent::MouseDown:
        case BackendEvent::MouseUp:
        case BackendEvent::Wheel: MouseMessage(window, e); break;
        case BackendEvent::FocusGained: Activate(window, true); break;
        case BackendEvent::FocusLost: Activate(window, false); break;
        default: break;
        }
    }
}

void RegisterIconResource(UINT id, const uint32_t* pixels, int width, int height)
{
    std::unique_ptr<Icon> icon(new Icon);
    icon->id = id;
    icon->pixels.assign(pixels, pixels + static_cast<size_t>(width) * height);
    icon->width = width;
    icon->height = height;
    S().icons[id] = std::move(icon);
}

void RegisterBitmapResource(UINT id, const void* data, size_t size)
{
    std::unique_ptr<Resource> resource(new Resource);
    resource->type = static_cast<UINT>(reinterpret_cast<uintptr_t>(RT_BITMAP));
    resource->id = id;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (bytes) resource->data.assign(bytes, bytes + size);
    S().resources[std::make_pair(resource->type, id)] = std::move(resource);
}

void ResetWindows()
{
    State& s = S();
    s.windows.clear();
    s.queue.clear();
    s.messageKeys = KeySnapshot();
    s.shown = s.focus = s.foreground = nullptr;
    memset(s.keys, 0, sizeof s.keys);
    memset(s.toggled, 0, sizeof s.toggled);
    memset(s.scanCodes, 0, sizeof s.scanCodes);
    s.clipped = false;
    s.comCount = 0;
    s.boxes.clear();
}

const char* LastMessageBox()
{
    return S().boxes.empty() ? "" : S().boxes.back().c_str();
}

int MessageBoxCount()
{
    return static_cast<int>(S().boxes.size());
}

int WindowCount()
{
    return static_cast<int>(S().windows.size());
}

bool IsScanCodeDown(int scanCode)
{
    return S().scanCodes[scanCode & 0xFF];
}
}  // namespace platform

// ---------------------------------------------------------------- windows
BOOL RegisterClassA(const WNDCLASSA* windowClass)
{
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return FALSE;
    S().classes[Lower(windowClass->lpszClassName)] = windowClass->lpfnWndProc;
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menu, HINSTANCE, LPVOID parameter)
{
    if (!className || IS_INTRESOURCE(className)) return nullptr;
    auto found = S().classes.find(Lower(className));
    if (found == S().classes.end()) return nullptr;
    std::unique_ptr<Window> w(new Window);
    w->handle = reinterpret_cast<HWND>(S().nextHandle);
    S().nextHandle += 4;
    w->procedure = found->second;
    w->style = style;
    w->exStyle = exStyle;
    w->title = title ? title : "";
    w->menu = menu;
    w->parent = parent;
    // The default place of a new top-level window.
    if (x == CW_USEDEFAULT) x = y = 26;
    if (width == CW_USEDEFAULT) {
        width = kDesktopWidth * 3 / 4;
        height = kDesktopHeight * 3 / 4;
    }
    SetRect(&w->rect, x, y, x + width, y + height);
    HWND handle = w->handle;
    S().windows[reinterpret_cast<uintptr_t>(handle)] = std::move(w);

    CREATESTRUCTA create;
    memset(&create, 0, sizeof create);
    create.lpCreateParams = parameter;
    create.hMenu = menu;
    create.hwndParent = parent;
    create.x = x;
    create.y = y;
    create.cx = width;
    create.cy = height;
    create.style = static_cast<LONG>(style);
    create.lpszName = title;
    create.lpszClass = className;
    create.dwExStyle = exStyle;
    if (!SendMessageA(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) ||
        SendMessageA(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    Window* made = Find(handle);
    if (made && (style & WS_VISIBLE)) {
        made->style &= ~WS_VISIBLE;
        ShowWindow(handle, SW_SHOW);
    }
    return handle;
}

BOOL DestroyWindow(HWND handle)
{
    Window* w = Find(handle);
    if (!w || w->destroying) return FALSE;
    w->destroying = true;
    // Children go first.
    std::vector<HWND> children;
    for (auto& entry : S().windows)
        if (entry.second->parent == handle) children.push_back(entry.second->handle);
    for (HWND child : children) DestroyWindow(child);
    if (S().focus == handle) S().focus = nullptr;
    if (S().foreground == handle) S().foreground = nullptr;
    SendMessageA(handle, WM_DESTROY, 0, 0);
    SendMessageA(handle, WM_NCDESTROY, 0, 0);
    if (S().shown == handle) {
        S().shown = nullptr;
        platform::Backend::Get().CloseWindow();
    }
    S().windows.erase(reinterpret_cast<uintptr_t>(handle));
    return TRUE;
}

BOOL IsWindow(HWND handle)
{
    return Find(handle) != nullptr;
}

BOOL IsWindowVisible(HWND handle)
{
    Window* w = Find(handle);
    return w && w->visible;
}

BOOL ShowWindow(HWND handle, int command)
{
    Window* w = Find(handle);
    if (!w) return FALSE;
    bool was = w->visible;
    bool show = command != SW_HIDE && command != SW_MINIMIZE;
    w->visible = show;
    if (show) w->style |= WS_VISIBLE;
    else w->style &= ~WS_VISIBLE;
    if (show && !was) {
        SendMessageA(handle, WM_SHOWWINDOW, TRUE, 0);
        w = Find(handle);
        if (!w) return FALSE;
        w->invalid = true;
        if (TopLevel(*w)) {
            ShowOnBackend(*w);
            ApplyIcon(*w);
            Activate(handle, true);
        }
    } else if (!show && was) {
        SendMessageA(handle, WM_SHOWWINDOW, FALSE, 0);
    }
    return was ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND handle)
{
    Window* w = Find(handle);
    if (!w) return FALSE;
    if (w->visible && w->invalid) SendMessageA(handle, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL SetWindowTextA(HWND handle, LPCSTR text)
{
    Window* w = Find(handle);
    if (!w) return FALSE;
    w->title = text ? text : "";
    if (S().shown == handle) platform::Backend::Get().SetTitle(w->title.c_str());
    return TRUE;
}

int GetWindowTextA(HWND handle, LPSTR text, int size)
{
    Window* w = Find(handle);
    if (!w || !text || size <= 0) return 0;
    lstrcpynA(text, w->title.c_str(), size);
    return lstrlenA(text);
}

LONG GetWindowLongA(HWND handle, int index)
{
    Window* w = Find(handle);
    if (!w) return 0;
    switch (index) {
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWL_USERDATA: return w->userData;
    default: return 0;
    }
}

LONG SetWindowLongA(HWND handle, int index, LONG value)
{
    Window* w = Find(handle);
    if (!w) return 0;
    LONG previous = GetWindowLongA(handle, index);
    switch (index) {
    case GWL_STYLE: w->style = static_cast<DWORD>(value); break;
    case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(value); break;
    case GWL_USERDATA: w->userData = value; break;
    default: return 0;
    }
    return previous;
}

BOOL GetWindowRect(HWND handle, LPRECT rect)
{
    Window* w = Find(handle);
    if (!w || !rect) return FALSE;
    *rect = w->rect;
    return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect)
{
    Window* w = Find(handle);
    if (!w || !rect) return FALSE;
    RECT client = ClientOnScreen(*w);
    SetRect(rect, 0, 0, client.right - client.left, client.bottom - client.top);
    return TRUE;
}

BOOL ClientToScreen(HWND handle, LPPOINT point)
{
    Window* w = Find(handle);
    if (!w || !point) return FALSE;
    RECT client = ClientOnScreen(*w);
    point->x += client.left;
    point->y += client.top;
    return TRUE;
}

BOOL ScreenToClient(HWND handle, LPPOINT point)
{
    Window* w = Find(handle);
    if (!w || !point) return FALSE;
    RECT client = ClientOnScreen(*w);
    point->x -= client.left;
    point->y -= client.top;
    return TRUE;
}

BOOL SetWindowPos(HWND handle, HWND, int x, int y, int width, int height, UINT flags)
{
    Window* w = Find(handle);
    if (!w) return FALSE;
    RECT before = w->rect;
    RECT clientBefore = ClientOnScreen(*w);
    if (flags & SWP_NOMOVE) {
        x = before.left;
        y = before.top;
    }
    if (flags & SWP_NOSIZE) {
        width = before.right - before.left;
        height = before.bottom - before.top;
    }
    SetRect(&w->rect, x, y, x + width, y + height);
    RECT client = ClientOnScreen(*w);
    int cw = client.right - client.left, ch = client.bottom - client.top;
    if (S().shown == handle && !platform::Backend::Get().IsFullScreen()) platform::Backend::Get().SetWindowSize(cw, ch);
    if (client.left != clientBefore.left || client.top != clientBefore.top)
        SendMessageA(handle, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
    w = Find(handle);
    if (w && (cw != clientBefore.right - clientBefore.left || ch != clientBefore.bottom - clientBefore.top)) {
        w->invalid = true;
        SendMessageA(handle, WM_SIZE, 0, MAKELPARAM(cw, ch));
    }
    if (flags & SWP_SHOWWINDOW) ShowWindow(handle, SW_SHOW);
    return TRUE;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint)
{
    if (!SetWindowPos(handle, nullptr, x, y, width, height, SWP_NOZORDER)) return FALSE;
    if (repaint) InvalidateRect(handle, nullptr, TRUE);
    return TRUE;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle)
{
    if (!rect) return FALSE;
    int border, caption;
    FrameSize(style, exStyle, border, caption);
    rect->top -= caption + (menu ? kCaption : 0);
    InflateRect(rect, border, border);
    return TRUE;
}

BOOL InvalidateRect(HWND handle, const RECT*, BOOL)
{
    if (!handle) {
        for (auto& entry : S().windows) entry.second->invalid = true;
        return TRUE;
    }
    Window* w = Find(handle);
    if (!w) return FALSE;
    w->invalid = true;
    return TRUE;
}

BOOL ValidateRect(HWND handle, const RECT*)
{
    Window* w = Find(handle);
    if (!w) return FALSE;
    w->invalid = false;
    return TRUE;
}

BOOL RedrawWindow(HWND handle, const RECT*, HRGN, UINT flags)
{
    // The desktop (null) has nothing of ours to draw.
    if (!handle || handle == GetDesktopWindow()) return TRUE;
    Window* w = Find(handle);
    if (!w) return FALSE;
    if (flags & (RDW_INVALIDATE | RDW_INTERNALPAINT)) w->invalid = true;
    if (flags & RDW_VALIDATE) w->invalid = false;
    if ((flags & RDW_UPDATENOW) && w->visible && w->invalid) SendMessageA(handle, WM_PAINT, 0, 0);
    return TRUE;
}

HDC BeginPaint(HWND handle, LPPAINTSTRUCT paint)
{
    Window* w = Find(handle);
    if (!w || !paint) return nullptr;
    memset(paint, 0, sizeof *paint);
    GetClientRect(handle, &paint->rcPaint);
    w->invalid = false;
    paint->hdc = GetDC(handle);
    return paint->hdc;
}

BOOL EndPaint(HWND handle, const PAINTSTRUCT* paint)
{
    if (paint && paint->hdc) ReleaseDC(handle, paint->hdc);
    return TRUE;
}

HMENU GetMenu(HWND handle)
{
    Window* w = Find(handle);
    return w ? w->menu : nullptr;
}

BOOL SetMenu(HWND handle, HMENU menu)
{
    Window* w = Find(handle);
    if (!w) return FALSE;
    w->menu = menu;
    return TRUE;
}

HWND GetDesktopWindow()
{
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10));
}

HWND GetForegroundWindow()
{
    return S().foreground;
}

BOOL SetForegroundWindow(HWND handle)
{
    if (!Find(handle)) return FALSE;
    if (S().foreground != handle) Activate(handle, true);
    return TRUE;
}

HWND GetActiveWindow()
{
    return S().foreground;
}

HWND GetFocus()
{
    return S().focus;
}

HWND SetFocus(HWND handle)
{
    HWND previous = S().focus;
    if (handle && !Find(handle)) return nullptr;
    SetFocusTo(handle);
    return previous;
}

int GetSystemMetrics(int index)
{
    bool fullScreen = platform::Backend::Get().IsFullScreen();
    switch (index) {
    case SM_CXSCREEN: return fullScreen ? 640 : kDesktopWidth;
    case SM_CYSCREEN: return fullScreen ? 480 : kDesktopHeight;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME: return kFixedFrame;
    case SM_CXFRAME:
    case SM_CYFRAME: return kThickFrame;
    case SM_CYCAPTION: return kCaption;
    default: return 0;
    }
}

BOOL SystemParametersInfoA(UINT action, UINT, LPVOID data, UINT)
{
    if (action != SPI_GETWORKAREA || !data) return FALSE;
    SetRect(static_cast<LPRECT>(data), 0, 0, GetSystemMetrics(SM_CXSCREEN),
            GetSystemMetrics(SM_CYSCREEN) - (platform::Backend::Get().IsFullScreen() ? 0 : kTaskBar));
    return TRUE;
}

// ---------------------------------------------------------------- the queue
BOOL PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT remove)
{
    if (!message) return FALSE;
    platform::PumpBackendEvents();
    std::deque<Queued>& queue = S().queue;
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (!Matches(it->message, window, first, last)) continue;
        *message = it->message;
        if (remove & PM_REMOVE) {
            S().messageKeys = it->keys;
            queue.erase(it);
        }
        return TRUE;
    }
    if (TakePaint(message) && Matches(*message, window, first, last)) return TRUE;
    // The whole queue is empty: one pass of a message loop is over.
    if (!window && first == 0 && last == 0) platform::Backend::Get().QueueDrained();
    return FALSE;
}

BOOL GetMessageA(LPMSG message, HWND window, UINT first, UINT last)
{
    if (!message) return -1;
    platform::Backend& backend = platform::Backend::Get();
    for (;;) {
        if (PeekMessageA(message, window, first, last, PM_REMOVE)) return message->message == WM_QUIT ? FALSE : TRUE;
        // Headless, nothing arrives while we wait.
        if (!backend.WaitEvent(100) && strcmp(backend.Name(), "headless") == 0) {
            memset(message, 0, sizeof *message);
            return -1;
        }
    }
}

BOOL TranslateMessage(const MSG* message)
{
    if (!message || (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN)) return FALSE;
    int key = static_cast<int>(message->wParam & 0xFF);
    int character = 0;
    if (key == VK_BACK || key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE)
        character = key;
    else if (S().messageKeys.keys[VK_CONTROL] && key >= 'A' && key <= 'Z')
        character = key - 'A' + 1;
    if (character) {
        // The character message comes next, ahead of later input, with the
        // key state of its key message.
        Queued queued;
        queued.message = *message;
        queued.message.message = message->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
        queued.message.wParam = static_cast<WPARAM>(character);
        queued.keys = S().messageKeys;
        S().queue.push_front(queued);
    }
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* message)
{
    if (!message) return 0;
    Window* w = Find(message->hwnd);
    if (!w || !w->procedure) return 0;
    return w->procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window && !Find(window)) return FALSE;
    Post(window, message, wParam, lParam);
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* w = Find(window);
    if (!w || !w->procedure) return 0;
    return w->procedure(window, message, wParam, lParam);
}

LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* w = Find(window);
    switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (BeginPaint(window, &paint)) EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SETICON: {
        if (!w) return 0;
        int which = wParam == ICON_BIG ? ICON_BIG : ICON_SMALL;
        HICON previous = w->icons[which];
        w->icons[which] = reinterpret_cast<HICON>(lParam);
        ApplyIcon(*w);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON:
        if (!w) return 0;
        return reinterpret_cast<LRESULT>(w->icons[wParam == ICON_BIG ? ICON_BIG : ICON_SMALL]);
    case WM_SETCURSOR: return 0;
    default: return 0;
    }
}

void PostQuitMessage(int exitCode)
{
    Post(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

BOOL WaitMessage()
{
    platform::PumpBackendEvents();
    if (!S().queue.empty()) return TRUE;
    platform::Backend::Get().WaitEvent(100);
    return TRUE;
}

// ---------------------------------------------------------------- keyboard and cursor
// As of the message last taken from the queue: a press and release pumped
// together still show the key down to the press's messages.
SHORT GetKeyState(int virtualKey)
{
    int key = virtualKey & 0xFF;
    const KeySnapshot& seen = S().messageKeys;
    SHORT state = seen.keys[key] ? static_cast<SHORT>(0x8000) : 0;
    if (seen.toggled[key]) state |= 1;
    return state;
}

UINT GetDoubleClickTime() { return 500; }

UINT GetCaretBlinkTime() { return 530; }

SHORT GetAsyncKeyState(int virtualKey)
{
    return S().keys[virtualKey & 0xFF] ? static_cast<SHORT>(0x8000) : 0;
}

BOOL GetCursorPos(LPPOINT point)
{
    if (!point) return FALSE;
    *point = S().cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    POINT p = {x, y};
    if (S().clipped) {
        p.x = std::max(S().clip.left, std::min(p.x, S().clip.right - 1));
        p.y = std::max(S().clip.top, std::min(p.y, S().clip.bottom - 1));
    }
    S().cursor = p;
    return TRUE;
}

void mouse_event(DWORD flags, DWORD dx, DWORD dy, DWORD, ULONG_PTR)
{
    State& s = S();
    if (flags & MOUSEEVENTF_MOVE)
        SetCursorPos(s.cursor.x + static_cast<LONG>(dx), s.cursor.y + static_cast<LONG>(dy));
    HWND window = s.shown;
    Window* w = window ? Find(window) : nullptr;
    if (!w) return;
    RECT client = ClientOnScreen(*w);
    LPARAM at = MAKELPARAM(s.cursor.x - client.left, s.cursor.y - client.top);
    if (flags & MOUSEEVENTF_MOVE) Post(window, WM_MOUSEMOVE, MouseKeys(), at);
    static const struct {
        DWORD flag;
        int key;
        UINT message;
        bool down;
    } buttons[] = {
        {MOUSEEVENTF_LEFTDOWN, VK_LBUTTON, WM_LBUTTONDOWN, true},
        {MOUSEEVENTF_LEFTUP, VK_LBUTTON, WM_LBUTTONUP, false},
        {MOUSEEVENTF_RIGHTDOWN, VK_RBUTTON, WM_RBUTTONDOWN, true},
        {MOUSEEVENTF_RIGHTUP, VK_RBUTTON, WM_RBUTTONUP, false},
        {MOUSEEVENTF_MIDDLEDOWN, VK_MBUTTON, WM_MBUTTONDOWN, true},
        {MOUSEEVENTF_MIDDLEUP, VK_MBUTTON, WM_MBUTTONUP, false},
    };
    for (const auto& button : buttons) {
        if (!(flags & button.flag)) continue;
        s.keys[button.key] = button.down;
        Post(window, button.message, MouseKeys(), at);
    }
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR previous = S().cursorShape;
    S().cursorShape = cursor;
    return previous;
}

int ShowCursor(BOOL show)
{
    S().cursorCount += show ? 1 : -1;
    return S().cursorCount;
}

BOOL ClipCursor(const RECT* rect)
{
    State& s = S();
    s.clipped = rect != nullptr;
    if (rect) s.clip = *rect;
    platform::Backend::Get().ConfineMouse(s.clipped);
    return TRUE;
}

BOOL GetClipCursor(LPRECT rect)
{
    if (!rect) return FALSE;
    if (S().clipped)
        *rect = S().clip;
    else
        SetRect(rect, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return TRUE;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR)
{
    static int arrow;
    return reinterpret_cast<HCURSOR>(&arrow);
}

// ---------------------------------------------------------------- icons
HICON LoadIconA(HINSTANCE, LPCSTR name)
{
    if (!IS_INTRESOURCE(name)) return nullptr;
    auto it = S().icons.find(static_cast<UINT>(reinterpret_cast<uintptr_t>(name)));
    return it == S().icons.end() ? nullptr : reinterpret_cast<HICON>(it->second.get());
}

// ---------------------------------------------------------------- resource data
// Resource types named by text ("WAVE") get numbers past the 16-bit ones.
static UINT NamedResourceType(LPCSTR type, bool add)
{
    static std::map<std::string, UINT> types;
    std::string key(type);
    for (char& c : key) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    auto it = types.find(key);
    if (it != types.end()) return it->second;
    if (!add) return 0;
    const UINT number = 0x10000 + static_cast<UINT>(types.size());
    types[key] = number;
    return number;
}

namespace platform {
void RegisterNamedResource(const char* type, UINT id, const void* data, size_t size)
{
    std::unique_ptr<Resource> resource(new Resource);
    resource->type = NamedResourceType(type, true);
    resource->id = id;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (bytes) resource->data.assign(bytes, bytes + size);
    S().resources[std::make_pair(resource->type, id)] = std::move(resource);
}
}  // namespace platform

HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type)
{
    if (!name || !type || !IS_INTRESOURCE(name)) return nullptr;
    const UINT typeKey =
        IS_INTRESOURCE(type) ? static_cast<UINT>(reinterpret_cast<uintptr_t>(type)) : NamedResourceType(type, false);
    if (typeKey == 0) return nullptr;
    auto key = std::make_pair(typeKey, static_cast<UINT>(reinterpret_cast<uintptr_t>(name)));
    auto it = S().resources.find(key);
    return it == S().resources.end() ? nullptr : reinterpret_cast<HRSRC>(it->second.get());
}

// The data handle is the record itself; it lives as long as the program.
HGLOBAL LoadResource(HMODULE, HRSRC resource)
{
    return reinterpret_cast<HGLOBAL>(resource);
}

LPVOID LockResource(HGLOBAL data)
{
    Resource* resource = static_cast<Resource*>(data);
    if (!resource || resource->data.empty()) return nullptr;
    return resource->data.data();
}

DWORD SizeofResource(HMODULE, HRSRC resource)
{
    const Resource* record = reinterpret_cast<const Resource*>(resource);
    return record ? static_cast<DWORD>(record->data.size()) : 0;
}

HINSTANCE GetModuleHandleA(LPCSTR)
{
    static int module;
    return reinterpret_cast<HINSTANCE>(&module);
}

// ---------------------------------------------------------------- message boxes
int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type)
{
    const char* title = caption ? caption : "Error";
    S().boxes.push_back(std::string(title) + ": " + (text ? text : ""));
    platform::Backend::Get().ShowMessageBox(title, text ? text : "");
    return (type & 0xF) == MB_YESNO ? IDYES : IDOK;
}

// ---------------------------------------------------------------- COM
HRESULT CoInitialize(LPVOID)
{
    if (platform::Environment::Forced("nocom")) return E_UNEXPECTED;
    return S().comCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (S().comCount > 0) --S().comCount;
}

HRESULT CoCreateInstance(const GUID& classId, IUnknown* outer, DWORD, const GUID& iid, LPVOID* object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (S().comCount == 0) return CO_E_NOTINITIALIZED;
    if (IsEqualGUID(classId, CLSID_DirectDraw) || IsEqualGUID(classId, CLSID_DirectDraw7))
        return DirectDrawCreateEx(nullptr, object, iid, outer);
    if (IsEqualGUID(classId, CLSID_DirectSound)) return platform::DirectSoundObject::CreateInstance(iid, object, outer);
    return REGDB_E_CLASSNOTREG;
}
