// One item of a layout script: its keyword's context number, its argument
// texts (resolved every frame by the layout), the block that holds it and the
// layout that owns it.  Every item kind derives from it.
#pragma once

#include "platform/mfc.h"

class YDC;
class YLayout;
class YLayoutGroup;
class YWindow;

class YLayoutItem : public CObject {
    DECLARE_DYNAMIC(YLayoutItem)
public:
    YLayoutItem();
    ~YLayoutItem() override;

    // Loads the item while it is not loaded; 0.
    virtual int Draw(YDC* dc);
    // Reads the arguments and does the kind's per-frame work.
    virtual void Load(YDC* dc);
    // The next Draw loads again.
    virtual void Reload();
    // The item's block is not shown this frame.
    virtual void Hide();

    int GetArgCount() const { return static_cast<int>(m_args.GetSize()); }
    CString GetArg(int index) const { return m_args[index]; }
    // The enclosing block's rectangle on the surface (the layout's for a
    // root item), and rect moved onto it: by the block's origin, then by
    // its content offset.  Sums beyond 32 bits stop at the limits.
    RECT GetGroupRect(YDC* dc) const;
    RECT PlaceInGroup(YDC* dc, const RECT& rect, RECT* group) const;
    // rect lies wholly inside group.
    static bool Inside(const RECT& rect, const RECT& group);

    // N of "keyword:N"; -1 without.
    int32_t m_context;
    CStringArray m_args;
    YLayoutGroup* m_parentGroup;
    YLayout* m_layout;
    // The keyword was known only without a final "r": loads every frame.
    uint8_t m_trailingR;
    uint8_t m_loaded;
    // Milliseconds of the last Draw.
    int32_t m_cost;

protected:
    // The control while this item still holds it in the layout's resource
    // set, else null: a purge may have deleted it since the item loaded.
    YWindow* LoadedControl(YWindow* window) const;
    // rect placed in the block; the control moved there when its rectangle
    // differs (true), shown when it lies wholly inside the block.
    bool PlaceControl(YDC* dc, YWindow* window, const RECT& rect) const;

private:
    YLayoutItem(const YLayoutItem&) = delete;
    YLayoutItem& operator=(const YLayoutItem&) = delete;
};
