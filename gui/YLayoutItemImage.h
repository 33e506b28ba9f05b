// Image items: one named picture placed at a point ("img"), moved along a
// circle ("imgdial"), tiled over a box from its bottom-left corner
// ("imgtile"), scaled to a width or height ("imgscale") or stretched over a
// box ("imgstretch").  Pictures come from the layout's resources.
#pragma once

#include "gui/YLayoutItem.h"

class YDXSurface;

class YLayoutItemImage : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemImage)
public:
    enum Kind { Plain = 0, Tile = 1, Dial = 2, Scale = 3, Stretch = 4 };
    enum { kKeyColour = 0x00FF00FF };

    explicit YLayoutItemImage(int kind);

    // Reads the arguments and fetches the picture, keyed on the key colour.
    void Load(YDC* dc) override;
    // 0.
    int Draw(YDC* dc) override;

    // The keyword's variant.
    int32_t m_kind;
    CString m_imageName;
    RECT m_rect;
    COLORREF m_keyColour;
    int32_t m_dialRadius;
    int32_t m_scaleSize;
    uint8_t m_sizeIsWidth;
    float m_dialAngle;
    int32_t m_centred;
    // Owned by the layout's resource set.
    YDXSurface* m_image;

private:
    int Value(int index, YDC* dc);
    void DrawPlaced(YDC* dc, const RECT& group, RECT rect);
    void DrawTiled(YDC* dc, const RECT& rect);
    void DrawStretched(YDC* dc, const RECT& group, const RECT& rect);
    // Alpha pictures blend at the destination's corner, the others are keyed.
    void Put(YDXSurface* target, RECT destination, RECT source);
};
