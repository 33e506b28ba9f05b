// One frame of a sprite: where it lies in the sprite surface, its hot spot,
// its focus rectangle and the bitmap it comes from.
#pragma once

#include "foundation/YResource.h"

class YFrame : public YResource {
    DECLARE_SERIAL(YFrame)
public:
    // Coordinates of frames and sprites read from files lie within
    // -kMaxExtent..kMaxExtent, so that sizes, doubled half sizes and
    // positions minus hot spots never overflow.
    enum { kMaxExtent = 1 << 16 };
    static bool InExtent(LONG value) { return value >= -kMaxExtent && value <= kMaxExtent; }

    YFrame();

    // Loading refuses a record whose coordinates leave the extent or whose
    // frame rectangle is inside out.
    void Serialize(CArchive& ar) override;
    bool IsSane() const;
    // Every field into target (a new frame when null).
    YResource* CopyTo(YResource* target) override;
    int Accept(YResourceVisitor* visitor) override;
    // The frame rectangle's size, doubled for a half-size frame.
    LONG GetWidth() override;
    LONG GetHeight() override;

    void SetHotSpot(LONG x, LONG y) { m_hotSpot = POINT{x, y}; }
    POINT GetHotSpot() const { return m_hotSpot; }
    CString GetImageName() const { return m_imageName; }
    // Loads the frame's bitmap from dir and draws it at the frame
    // rectangle's top-left corner, cut to the rectangle.
    int DrawImageToSurface(YDXSurface* surface, const char* dir);

    RECT m_frameRect;
    LONG m_tag;
    POINT m_hotSpot;
    CString m_imageName;
    RECT m_focusRect;
    DWORD m_halfSize;
    CString m_halfSizeSuffix;
};
