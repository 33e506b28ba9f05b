// Shows a one-line text above the window under the mouse once the mouse has
// rested on it for half a second.  Keeps a list of tips, each binding a
// window to a text, and draws in the overlay pass so the tip lies above
// every window.
#pragma once

#include "gui/YWindow.h"

class YToolTipCtrl : public YWindow {
public:
    enum { kDelay = 500 };

    // A tip: a window (not owned) and its text.
    class Tip : public CObject {
    public:
        Tip(YWindow* window, const char* text) : m_window(window), m_text(text ? text : "") {}
        YWindow* m_window;
        CString m_text;
    };
    // The tips, owned through the control.
    class YTipList : public CObList {
    public:
        YTipList() : CObList(10) {}
        Tip* GetNextTip(POSITION& at) { return static_cast<Tip*>(GetNext(at)); }
    };

    // White boxes.
    YToolTipCtrl();
    explicit YToolTipCtrl(COLORREF background);
    ~YToolTipCtrl() override;

    using YWindow::Create;

    int DrawOverlay(YDC* dc) override;

    // An empty rectangle and id 0.
    virtual int Create(YWindow* parent, int style);

    // Replaces the window's tip; always 1.  Delay and duration are not used.
    int AddTip(YWindow* window, const char* text, int delay, int duration);
    void SetTip(YWindow* window, const char* text);
    // 1 when the window had a tip.
    int RemoveTip(YWindow* window);
    void SetBackground(COLORREF colour);

    // The window's tip, or null.
    Tip* FindTip(YWindow* window);
    int GetTipCount() const { return static_cast<int>(m_tips->GetCount()); }
    // The window of the tip at index (in the order added), or null.
    YWindow* GetTipWindow(int index) const;
    YWindow* GetCurrentWindow() const { return m_current; }
    DWORD GetHoverStart() const { return m_hoverStart; }
    CBrush* GetBackground() const { return m_background; }

protected:
    YTipList* m_tips;
    DWORD m_hoverStart;
    YWindow* m_current;
    CBrush* m_background;

private:
    YToolTipCtrl(const YToolTipCtrl&) = delete;
    YToolTipCtrl& operator=(const YToolTipCtrl&) = delete;
};
