// Text and shape items: strings placed at a point (left, centred, right,
// centred both ways), text in a box, a ticker that shows its text a few
// characters at a time, and filled, framed, gridded rectangles and lines.
#pragma once

#include "gui/YLayoutItem.h"

class YFont;

class YLayoutItemDraw : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemDraw)
public:
    // "string", "cstring", "rstring", "istring", "bstring", "bstringtick",
    // "rect", "framerect", "grid", "line".
    enum Kind {
        TextAt = 0, TextCentred = 1, TextRight = 2, TextMiddle = 3, TextBox = 4, TextTicker = 5,
        FilledRect = 6, FramedRect = 7, GridRect = 8, LineShape = 9
    };
    enum { kWordBreak = 0x10, kDefaultRate = 5, kDefaultGridStep = 10 };

    explicit YLayoutItemDraw(int kind);

    // Reads the arguments into the fields; always marks the item loaded.
    void Load(YDC* dc) override;
    // 0.
    int Draw(YDC* dc) override;

    bool IsText() const { return m_kind >= TextAt && m_kind <= TextTicker; }

    CString m_text;
    // The keyword's variant.
    int32_t m_kind;
    RECT m_rect;
    // Chosen by name; null draws with the context's current font.
    YFont* m_font;
    int32_t m_spacing;
    // Ticker: characters a second (0 shows the whole text), restart when done.
    int32_t m_rate;
    uint8_t m_repeat;
    int32_t m_shown;
    int32_t m_gridStepX;
    int32_t m_gridStepY;
    DWORD m_tickStart;
    COLORREF m_colour;

private:
    int Value(int index, YDC* dc);
    CString Text(int index, YDC* dc);
    // The text of the font named by argument index.
    YFont* FontArg(int index, YDC* dc);
    void DrawString(YDC* dc, const RECT& group, const RECT& rect);
    void DrawShape(YDC* dc, const RECT& group, const RECT& rect);
};
