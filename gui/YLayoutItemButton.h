// Button items: a button of the layout's resource set, found by name, placed
// relative to the item's block every frame and configured from the script:
// image or text buttons, plain, check or radio.
#pragma once

#include "gui/YLayoutItem.h"

class YButton;

class YLayoutItemButton : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemButton)
public:
    enum { kPlain = 0, kCheck = 0x2, kRadio = 0x4 };

    YLayoutItemButton(int text, int buttonStyle);

    // Reads the arguments and sets the button up; nothing read with too few.
    void Load(YDC* dc) override;
    // Places the button, reads the per-frame arguments and draws it; the
    // name stands in for a missing button.  0.
    int Draw(YDC* dc) override;
    // The block is not shown: the button hides.
    void Hide() override;

    // Set by Load; belongs to the resource set.
    YButton* m_window;
    int32_t m_x;
    int32_t m_y;
    CString m_name;
    CString m_caption;
    CString m_command;
    CString m_toolTip;
    uint8_t m_silent;
    // 1 for the text buttons.
    int32_t m_text;
    // Radio buttons: the value the button stands for.
    int32_t m_value;
    // kPlain, kCheck or kRadio.
    int32_t m_buttonStyle;

private:
    // Index of the first per-frame argument (silent).
    int FrameArgs() const;
};
