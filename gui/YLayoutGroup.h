// A block of a layout script: group, if, depth, cache, font or fontwin.  It
// holds the items written inside it, evaluates its arguments every frame and
// decides whether they draw.
#pragma once

#include "gui/YLayoutItem.h"

class CFont;
class YFont;

class YLayoutGroup : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutGroup)
public:
    enum Kind { Group = 0, If = 1, Depth = 2, Cache = 3, Font = 4, FontWin = 5 };
    enum { kNoOperator = 10 };
    enum { kMagenta = 0x00FF00FF };

    YLayoutGroup();
    ~YLayoutGroup() override;

    int Draw(YDC* dc) override;
    void Load(YDC* dc) override;
    void Reload() override;
    void Hide() override;
    // 0 hides the children, 1 draws them, 2 does neither.
    virtual int Evaluate(YDC* dc);
    // Deletes the children and the GDI font.
    virtual void Clear();
    // The rectangle the children draw in.
    virtual RECT* GetRect(YDC* dc, RECT* out);

    void AddChild(YLayoutItem* item) { m_children.AddTail(item); }
    int GetChildCount() const { return static_cast<int>(m_children.GetCount()); }
    YLayoutItem* GetChild(int index) const;

    // "<", ">", "==", "!=", ">=", "<=", "&&", "||", "&", "|", then null.
    static const char* const kOperators[];
    // ",", then null.
    static const char* const kSeparators[];

    RECT m_rect;
    RECT m_cacheRect;
    uint8_t m_cacheDrawing;
    int32_t m_offsetX;
    int32_t m_offsetY;
    int32_t m_blockKind;
    CObList m_children;
    int32_t m_operator;
    CString m_name;
    COLORREF m_colour;
    YFont* m_font;
    CFont* m_gdiFont;
    int32_t m_value;

private:
    int Value(int index, YDC* dc, YLayoutGroup* group);
    CString Text(int index, YDC* dc);
    int DrawChildren(YDC* dc);
    void DrawCache(YDC* dc);
};
