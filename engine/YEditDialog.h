// A console-style dialog: a scrolling list of text lines above a one-line
// edit box, a history of typed lines, word wrapping and a queue of texts.
#pragma once

#include "gui/YDialog.h"
#include "platform/mfc.h"

class YDC;
class YDXSurface;
class YFont;

class YEditDialog : public YDialog {
public:
    // The one-line input with its prompt.
    struct EditLine {
        CString prompt = ">";
        CString text;
        int caret = 0;
        RECT rect = {0, 0, 0, 0};
        YFont* font = nullptr;
    };
    // The lines shown, with the first visible one and the selection.
    struct LineList {
        CStringArray lines;
        int top = 0;
        int selected = -1;
        int border = 1;
        int rowHeight = 0;
        RECT rect = {0, 0, 0, 0};
        int VisibleRows() const;
        int Width() const { return rect.right - rect.left; }
    };

    YEditDialog();
    ~YEditDialog() override;

    virtual void SetFont(YFont* font);
    virtual void SetTextColour(COLORREF colour) { m_textColour = colour; }
    virtual void SetBackColour(COLORREF colour) { m_backColour = colour; }
    virtual void SetDrawSeparator(bool on) { m_drawSeparator = on; }
    virtual void SetHistorySize(int size) { m_historySize = size; }
    virtual void SetListSize(int size) { m_listSize = size; }
    virtual void SetSpareSwitch(bool on) { m_spareSwitch = on; }
    virtual void SetBackground(const char* name);
    virtual CString GetHistoryLine(int index) const;
    virtual void QueueText(const char* text);
    virtual void AddText(const char* text, YFont* font);
    virtual void Submit(const char* text);
    virtual void WrapText(const char* text, CStringList& lines, YFont* font);

    // Window operations.
    virtual void OnKeyDown(UINT key);
    virtual void OnChar(UINT ch);
    virtual void OnLButtonUp(POINT point);
    virtual void Move(const RECT& rect);
    virtual void Draw(YDC* dc);
    virtual void PaintBackground(YDC* dc);
    virtual void ReleaseResources();
    virtual void ReloadResources();
    // Sets the font, lays out at the current rectangle and runs until EndDialog.
    virtual int RunModal(YDC* dc);
    void EndDialog(int result);
    bool IsModal() const { return m_modal; }

    YFont* GetFont() const { return m_font; }
    const RECT& GetRect() const { return m_rect; }
    int GetHistoryPosition() const { return m_historyPosition; }
    int GetHistoryCount() const { return static_cast<int>(m_history.GetCount()); }
    int GetQueueCount() const { return static_cast<int>(m_queue.GetCount()); }
    int GetLineHeight() const { return m_lineHeight; }
    bool GetSpareSwitch() const { return m_spareSwitch; }
    const CString& GetBackgroundName() const { return m_backgroundName; }
    YDXSurface* GetBackgroundSurface() const { return m_backgroundSurface; }
    EditLine& Edit() { return *m_editBox; }
    LineList& List() { return *m_listBox; }

protected:
    // One pass of the modal loop besides the console's own messages.
    virtual void ModalPass();
    void ShowInEdit(const CString& line);
    void Layout(const RECT& rect);

    RECT m_rect;
    YFont* m_font;
    int m_ended;
    int m_result;
    bool m_modal;

    YDialog* m_innerDialog;
    EditLine* m_editBox;
    LineList* m_listBox;
    YDXSurface* m_backgroundSurface;
    CString m_backgroundName;
    COLORREF m_backColour;
    COLORREF m_textColour;
    bool m_drawSeparator;
    int m_historySize;
    int m_listSize;
    int m_queueSize;
    CStringList m_history;
    int m_historyPosition;
    CStringList m_queue;
    int m_lineHeight;
    bool m_spareSwitch;
};
