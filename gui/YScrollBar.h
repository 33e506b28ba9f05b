// A vertical (style bit 0) or horizontal bar with two arrows, two page
// areas and a draggable thumb.  Arrows step by a hundredth of the range,
// page areas by a tenth; the parent is told which part was pressed.
#pragma once

#include "gui/YWindow.h"

class YScrollBar : public YWindow {
    DECLARE_SERIAL(YScrollBar)
public:
    typedef void (*ChangeCallback)(int position);
    enum { kVerticalStyle = 0x1 };
    // Parts, numbered as their notification codes: the bottom (or right)
    // arrow, the top (or left) arrow, the page areas below and above the
    // thumb, and the thumb.
    enum { kNoPart = -1, kArrowEnd = 0, kArrowStart = 1, kPageEnd = 2, kPageStart = 3, kThumb = 4 };
    enum { kDefaultArrow = 12, kDefaultHalfThumb = 6 };

    YScrollBar();

    using YWindow::Create;
    using YWindow::Draw;

    void Serialize(CArchive& ar) override;
    int Accept(YResourceVisitor* visitor) override;
    int Draw(YDC* dc) override;
    void OnMouseMove(int flags, int x, int y) override;
    void OnLButtonDown(int flags, int x, int y) override;
    int OnLButtonDblClk(int flags, int x, int y) override;
    void OnLButtonUp(int flags, int x, int y) override;
    void DrawBackground(YDC* dc) override;

    int Create(int style, const RECT* rect, YWindow* parent, int id);
    void SetRange(int minimum, int maximum, int redraw);
    void GetRange(int* minimum, int* maximum);
    // Stored as given.
    void SetPos(int position, int redraw);
    int GetPos();
    // False for a part number outside 0 .. 4.
    bool GetPartRect(int part, RECT* out);
    // The part under the point, or -1.
    int PartFromPoint(int x, int y);

    bool IsVertical() const { return (m_style & kVerticalStyle) != 0; }
    int GetPressedPart() const { return m_pressedPart; }
    bool IsArrowDown(int arrow) const { return (arrow == 0 ? m_arrow0Down : m_arrow1Down) != 0; }
    void SetChangeCallback(ChangeCallback callback) { m_callback = callback; }

protected:
    // Size along the axis of resource index, or the fallback without it.
    int PartSize(int index, int fallback);
    // Within minimum .. maximum.
    int InRange(long long position) const;

    int32_t m_pos;
    int32_t m_min;
    int32_t m_max;
    int32_t m_pressedPart;
    POINT m_pressPoint;
    int32_t m_arrow0Down;
    int32_t m_arrow1Down;
    ChangeCallback m_callback;
    int32_t m_posAtPress;
};
