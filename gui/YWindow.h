// Base of every 2D window and control.  A window has a rectangle in screen
// pixels, a parent and the children it owns, a font and a style word; it is
// drawn through a YDC and fed with the frame window's messages, which it
// routes to the capture window, the focus window or the window under the
// point.  Handlers that a window does not take pass to its parent.
#pragma once

#include "foundation/YResource.h"
#include "platform/mfc.h"

class YDC;
class YFont;

class YWindow : public YResource {
    DECLARE_SERIAL(YWindow)
public:
    enum { kDisabledStyle = 0x08000000, kTabStopStyle = 0x00010000 };
    enum { kNotifyClicked = -2, kNotifyRightClicked = -5 };

    YWindow();
    ~YWindow() override;

    using YResource::Draw;
    using YResource::OnNotify;

    // The rectangle is relative to the parent's top-left corner; with a
    // parent the window joins its children.
    virtual int Create(int reserved1, const char* text, int style, const RECT* rect, YWindow* parent, int id,
                       int reserved2);
    virtual void SetFocus();
    virtual int SetStyle(int style);
    // This window, or unless selfOnly one of its descendants, has the focus.
    virtual bool HasFocus(bool selfOnly);
    // Returns the previous font.
    virtual YFont* SetFont(YFont* font);
    virtual int Draw(YDC* dc);
    virtual void AddChild(YWindow* child);
    virtual RECT* GetRect(RECT* out);
    // Moves the window and all its descendants.
    virtual void MoveTo(const RECT* rect);
    virtual void GetName(CString& out);
    virtual void SetName(const char* text);
    // The first child in list order that holds the point, else this window
    // when the point lies in it, else null.
    virtual YWindow* ChildFromPoint(int x, int y, int flags);
    virtual YDC* GetLastDC();
    virtual void ReleaseDC(YDC* dc);
    virtual COLORREF GetForeColor();
    virtual int HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnMouseMove(int flags, int x, int y);
    virtual void OnLButtonDown(int flags, int x, int y);
    virtual void OnLButtonUp(int flags, int x, int y);
    virtual void OnKeyDown(int key, int repeat, int keyFlags);
    virtual void OnNotify(int id, int code);
    virtual int OnChar(int ch, int repeat, int keyFlags);
    virtual void DrawBackground(YDC* dc);
    virtual void DrawForeground(YDC* dc);

    YWindow* GetParent() const { return m_parent; }
    // Leaves the old parent's children, joins the new one's; the old parent.
    YWindow* SetParent(YWindow* parent);
    int GetStyle() const { return m_style; }
    bool IsDisabled() const { return (m_style & kDisabledStyle) != 0; }
    void Enable(bool on);
    YFont* GetFont() const { return m_font; }
    int GetChildCount() const { return static_cast<int>(m_children->GetCount()); }
    YWindow* GetChild(int index) const;
    const RECT& Rect() const { return m_rect; }
    void SetForeColor(COLORREF colour) { m_foreColour = colour; }

    static YWindow* GetFocusWindow() { return s_focus; }
    static YWindow* GetCaptureWindow() { return s_capture; }
    static void SetCaptureWindow(YWindow* window) { s_capture = window; }

    // 0 hides the window: it is neither drawn nor hit and gets no messages.
    int32_t m_visible;
    // Set on a dialog's parent while the dialog runs modally.
    uint8_t m_modal;

protected:
    COLORREF m_foreColour;
    int32_t m_style;
    RECT m_rect;
    CString m_text;
    YWindow* m_parent;
    CObList* m_children;
    int32_t m_created;
    int32_t m_windowId;
    uint8_t m_drawBackground;
    YDC* m_lastDC;
    YFont* m_font;

    static YWindow* s_focus;
    static YWindow* s_capture;
};
