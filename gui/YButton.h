// The toolkit's button: an image per state (normal, down, hover, disabled),
// an optional caption drawn with a font per state, push, toggle and radio
// behaviour, a hover sound and notifications to the parent for press (-7),
// click (-2) and hover (-13).
#pragma once

#include "gui/YWindow.h"

class YButton : public YWindow {
    DECLARE_SERIAL(YButton)
public:
    enum { kTypeCode = 9 };
    // Style bits; with neither toggle nor radio the button is a push button.
    enum { kToggleStyle = 0x2, kRadioStyle = 0x4, kImageOnlyStyle = 0x10 };
    enum { kDownState = 0x4 };
    enum { kNotifyPressed = -7, kNotifyHover = -13 };
    // Caption fonts by state.
    enum { kNormalFont = 0, kHoverFont = 1, kPressedFont = 2, kDisabledFont = 3 };

    YButton();
    // Window part, group and image indexes; up, hover sound armed.
    YButton(const YButton& other);

    using YWindow::Create;
    using YWindow::Draw;

    void Serialize(CArchive& ar) override;
    // Into a given button or a new one of this class; null for another class.
    YResource* CopyTo(YResource* target) override;
    int Accept(YResourceVisitor* visitor) override;
    int Draw(YDC* dc) override;
    void OnLButtonDown(int flags, int x, int y) override;
    void OnLButtonUp(int flags, int x, int y) override;
    void SetHover() override;

    virtual int Create(const char* text, int style, const RECT* rect, YWindow* parent, int id);
    virtual int DrawCaption(YDC* dc);
    // Down; a radio button going down unchecks its group.
    virtual void SetCheck(bool on);
    virtual bool IsChecked();
    virtual void SetGroup(int group);
    virtual int GetGroup();

    // Every sibling button of the same group goes up.
    void UncheckGroup();

    void SetCaption(const char* text) { m_caption = text ? text : ""; }
    const CString& GetCaption() const { return m_caption; }
    void SetCaptionFont(int state, YFont* font)
    {
        if (state >= 0 && state < 4) m_captionFonts[state] = font;
    }
    YFont* GetCaptionFont(int state) const { return state >= 0 && state < 4 ? m_captionFonts[state] : nullptr; }
    void SetCaptionFormat(int format) { m_captionFormat = format; }
    int GetCaptionFormat() const { return m_captionFormat; }
    void SetCaptionOffset(int x, int y)
    {
        m_captionX = x;
        m_captionY = y;
    }
    void SetStateFonts(bool on) { m_stateFonts = on ? 1 : 0; }
    bool IsDown() const { return (m_state & kDownState) != 0; }
    bool HoverSoundPlayed() const { return m_hoverPlayed != 0; }

protected:
    bool IsPushButton() const { return (m_style & (kToggleStyle | kRadioStyle)) == 0; }
    void GoUp() { m_state &= ~static_cast<uint32_t>(kDownState); }
    void GoDown() { m_state |= kDownState; }
    void Notify(int code);

    uint32_t m_state;
    int32_t m_group;
    int32_t m_normalImage;
    int32_t m_downImage;
    int32_t m_hoverImage;
    int32_t m_hoverPlayed;
};
