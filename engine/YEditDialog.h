// A console-style dialog: a scrolling list box of text lines above a one-line
// edit box, a history of typed lines, word wrapping, a queue of texts to show
// and an optional background image tiled from the bottom.
#pragma once

#include "gui/YDialog.h"
#include "platform/mfc.h"

class YDC;
class YDXSurface;
class YEditBox;
class YFont;
class YGraphics;
class YListBox;

class YEditDialog : public YDialog {
public:
    YEditDialog();
    ~YEditDialog() override;

    // Window operations.
    BOOL ReleaseSurfaces() override;
    // Loads the background again from its remembered name.
    BOOL CreateSurfaces(YDXDraw* display) override;
    int Draw(YDC* dc) override;
    // Lays the children out; grows by what the list box's rows leave over.
    void MoveTo(const RECT* rect) override;
    void OnLButtonUp(int flags, int x, int y) override;
    void OnKeyDown(int key, int repeat, int keyFlags) override;
    void DrawBackground(YDC* dc) override;
    // Sets the font, lays out at the current rectangle and runs until EndDialog.
    int DoModal(YDC* target) override;

    // The line height follows the font; the edit box gets it and is emptied.
    YFont* SetFont(YFont* font) override;
    virtual void SetTextColour(COLORREF colour);
    virtual void SetBackColour(COLORREF colour) { m_backColour = colour; }
    virtual void SetDrawSeparator(bool on) { m_drawSeparator = on; }
    virtual void SetHistorySize(int size) { m_historySize = size; }
    virtual void SetListSize(int size) { m_listSize = size; }
    virtual void SetSpareSwitch(bool on) { m_spareSwitch = on; }
    // "catalog:entry" of an image in the engine's catalog.
    virtual void SetBackground(const char* name);
    virtual CString GetHistoryLine(int index) const;
    virtual void QueueText(const char* text);
    virtual void AddText(const char* text, YFont* font);
    virtual void Submit(const char* text);
    virtual void WrapText(const char* text, CStringList& lines, YFont* font);

    YEditBox* GetEditBox() const { return m_editBox; }
    YListBox* GetListBox() const { return m_listBox; }
    YDialog* GetInnerDialog() const { return m_innerDialog; }
    int GetHistoryPosition() const { return m_historyPosition; }
    int GetHistoryCount() const { return static_cast<int>(m_history.GetCount()); }
    int GetQueueCount() const { return static_cast<int>(m_queue.GetCount()); }
    int GetLineHeight() const { return m_lineHeight; }
    bool GetSpareSwitch() const { return m_spareSwitch; }
    const CString& GetBackgroundName() const { return m_backgroundName; }
    YDXSurface* GetBackgroundSurface() const { return m_backgroundSurface; }
    // The edit box's text.
    CString GetEditText() const;

protected:
    // The engine's step keeps the game running under the console.
    void ModalPass() override;
    void ShowInEdit(const CString& line);
    void Layout(const RECT& rect);

    YDialog* m_innerDialog;
    YEditBox* m_editBox;
    YListBox* m_listBox;
    YDXSurface* m_backgroundSurface;
    // The graphics object that tells the console about display changes.
    YGraphics* m_display;
    CString m_backgroundName;
    COLORREF m_backColour;
    COLORREF m_textColour;
    bool m_drawSeparator;
    int32_t m_historySize;
    int32_t m_listSize;
    int32_t m_queueSize;
    CStringList m_history;
    int32_t m_historyPosition;
    CStringList m_queue;
    int32_t m_lineHeight;
    bool m_spareSwitch;
};
