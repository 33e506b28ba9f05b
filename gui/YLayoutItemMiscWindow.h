// List window items: a text field (0), list box (1) or list control (2) of
// the layout, looked up under the item's generated name and kept placed in
// the item's block.
#pragma once

#include "gui/YLayoutItem.h"

class YFont;
class YWindow;

class YLayoutItemMiscWindow : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemMiscWindow)
public:
    enum Kind { TextField = 0, ListBox = 1, ListCtrl = 2 };
    // Generated names repeat after this many items.
    enum { kNameCycle = 1000 };

    explicit YLayoutItemMiscWindow(int kind);

    // Reads the arguments and sets the window up; nothing read with too few.
    void Load(YDC* dc) override;
    // 0.
    int Draw(YDC* dc) override;
    // The block is not shown: the window hides.
    void Hide() override;

    // "~Misc_Window_" and a number 0..999.
    CString m_name;
    // Set by Load; belongs to the resource set.
    YWindow* m_window;
    RECT m_rect;
    YFont* m_font;
    int32_t m_spacing;
    // The keyword's variant.
    int32_t m_kind;

private:
    static int s_count;
};
