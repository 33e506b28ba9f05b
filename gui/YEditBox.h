// A one-line (or word-wrapped) text input: the window text with a caret, a
// label drawn before it, a maximum length and copy, cut and paste of the
// whole text.  Every key it gets goes on to its parent with a notification,
// so the owner decides what Enter and Escape mean.
#pragma once

#include "foundation/YClipboard.h"
#include "gui/YWindow.h"

class YEditBox : public YWindow {
    DECLARE_SERIAL(YEditBox)
public:
    enum { kReadOnlyStyle = 0x800, kWordWrapStyle = 0x4, kNotifyChanged = 1024 };

    YEditBox();

    int Accept(YResourceVisitor* visitor) override;
    int Create(int style, const RECT* rect, YWindow* parent, int id);
    int Draw(YDC* dc) override;
    void GetName(CString& out) override;
    void SetName(const char* text) override;
    void OnKeyDown(int key, int repeat, int keyFlags) override;
    int OnChar(int ch, int repeat, int keyFlags) override;
    void DrawBackground(YDC* dc) override;

    // Clamped to 0 .. length.
    void SetCaret(int position);
    int GetCaret() const { return m_caret; }
    void SetMaxLength(int length) { m_maxLength = length; }
    void SetWordWrap(bool on);
    bool IsWordWrap() const { return (m_style & kWordWrapStyle) != 0; }
    void ShowCaret(bool on) { m_caretEnabled = on ? 1 : 0; }
    void SetLabel(const char* label) { m_label = label ? label : ""; }
    const CString& GetLabel() const { return m_label; }
    void SetLabelOffset(int x, int y);
    // Screen position of the caret before the character at index.
    POINT IndexToPoint(int index, YDC* dc);
    bool IsCaretShown() const { return m_caretShown; }

private:
    bool TakesInput() const { return !IsDisabled() && !(m_style & kReadOnlyStyle); }
    SIZE Extent(const CString& text, YDC* dc);
    // The parent hears that the text or the caret may have changed.
    void NotifyChanged();
    // The text no longer fits the box with this font.
    bool Overflows(YDC* dc);

    int32_t m_maxLength;
    int32_t m_caret;
    int32_t m_labelX;
    int32_t m_labelY;
    CString m_label;
    uint8_t m_caretEnabled;
    bool m_caretShown;
    YClipboard m_clipboard;
};
