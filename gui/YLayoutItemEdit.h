// Edit items.  "edit" (kind 0) opens an edit box while its condition is
// non-zero, empty and with the focus; the layout turns its Enter and Escape
// into commands.  "editfield" (kind 1) keeps a box placed in its block.
// The box is the layout's, looked up under the item's generated name.
#pragma once

#include "gui/YLayoutItem.h"

class YEditBox;
class YFont;

class YLayoutItemEdit : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemEdit)
public:
    enum Kind { Edit = 0, EditField = 1 };
    enum { kBoxStyle = 4 };

    explicit YLayoutItemEdit(int kind);

    // Reads the arguments and sets the box up; nothing read with too few.
    void Load(YDC* dc) override;
    // 0.
    int Draw(YDC* dc) override;
    // The block is not shown: the box closes.
    void Hide() override;

    // "Edit" and the number of edit items made before this one.
    CString m_name;
    // Set by Load; belongs to the resource set.
    YEditBox* m_window;
    RECT m_rect;
    CString m_command;
    CString m_initialText;
    YFont* m_font;
    int32_t m_spacing;
    // The keyword's variant.
    int32_t m_kind;
    // Enter closes the box.
    uint8_t m_hideOnEnter;

private:
    void DrawEdit(YDC* dc);
    // An open box closes: hidden, and the game's keys work again.
    void Close();

    static int s_count;
};
