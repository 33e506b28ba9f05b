// A one-line (or word-wrapped) text input: the window text with a flashing
// caret, a mouse selection, a label drawn before the text, a maximum length
// and copy, cut and paste of the whole text.  Every key it gets goes on to
// its parent with a notification, so the owner decides what Enter and
// Escape mean.
#pragma once

#include "foundation/YClipboard.h"
#include "gui/YWindow.h"

class YEditBox : public YWindow {
    DECLARE_SERIAL(YEditBox)
public:
    enum { kReadOnlyStyle = 0x800, kWordWrapStyle = 0x4 };
    enum { kNotifyPressed = 256, kNotifyChanged = 1024 };

    YEditBox();
    ~YEditBox() override;

    using YWindow::LoadFromFile;

    void Serialize(CArchive& ar) override;
    int LoadFromFile(const CStringArray& directories, int flag) override;
    int LoadFromCatalog(const char* directory, int flag) override;
    int Accept(YResourceVisitor* visitor) override;
    int Create(int style, const RECT* rect, YWindow* parent, int id);
    int Draw(YDC* dc) override;
    void GetName(CString& out) override;
    void SetName(const char* text) override;
    void OnMouseMove(int flags, int x, int y) override;
    void OnLButtonDown(int flags, int x, int y) override;
    void OnLButtonUp(int flags, int x, int y) override;
    void OnKeyDown(int key, int repeat, int keyFlags) override;
    int OnChar(int ch, int repeat, int keyFlags) override;
    void DrawBackground(YDC* dc) override;

    // Clamped to 0 .. length.
    void SetCaret(int position);
    int GetCaret() const { return m_caret.position; }
    void SetMaxLength(int length) { m_maxLength = length; }
    int GetMaxLength() const { return m_maxLength; }
    void SetWordWrap(bool on);
    bool IsWordWrap() const { return (m_style & kWordWrapStyle) != 0; }
    void ShowCaret(bool on);
    void SetLabel(const char* label) { m_label = label ? label : ""; }
    const CString& GetLabel() const { return m_label; }
    void SetLabelOffset(int x, int y);
    int GetLabelX() const { return m_labelX; }
    int GetLabelY() const { return m_labelY; }
    int GetSelectionStart() const { return m_selStart; }
    int GetSelectionEnd() const { return m_selEnd; }
    // Both ends within 0 .. length.
    void SetSelection(int start, int end);
    // The character position under a screen point (may pass the text's end).
    int PointToIndex(int x, int y);
    // Screen position of the caret before the character at index.
    POINT IndexToPoint(int index, YDC* dc);
    // The caret's flash state: it is drawn only while this is set.
    bool IsCaretVisible() const { return m_caret.visible != 0; }

private:
    struct Caret {
        int32_t position;
        int32_t visible;
        DWORD lastToggle;
    };

    bool TakesInput() const { return !IsDisabled() && !(m_style & kReadOnlyStyle); }
    // The flash interval has passed since the caret last changed.
    bool FlashDue() const;
    SIZE Extent(const CString& text, YDC* dc);
    // The parent hears that the text or the caret may have changed.
    void NotifyChanged();
    // The text no longer fits the box with this font (never without one).
    bool Overflows(YFont* font);
    // Keeps the caret and the selection inside the text after it changed.
    void ClampToText();
    int IndexAt(int x, int y);
    // The text that replaces the box's on a paste: printable, not too long.
    CString Pastable(const CString& text) const;
    int LoadFont(int result);

    int32_t m_maxLength;
    Caret m_caret;
    int32_t m_selStart;
    int32_t m_selEnd;
    int32_t m_labelX;
    int32_t m_labelY;
    CString m_label;
    uint8_t m_caretEnabled;
    YClipboard m_clipboard;
    // Without a font of its own: the font the context held at the last draw.
    YFont* m_drawnFont;
};
