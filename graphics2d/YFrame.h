// One frame of a sprite: where it lies in the sprite surface, its hot spot,
// its focus rectangle and the bitmap it comes from.
#pragma once

#include "foundation/YResource.h"

class YFrame : public YResource {
    DECLARE_SERIAL(YFrame)
public:
    YFrame();

    void Serialize(CArchive& ar) override;
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
