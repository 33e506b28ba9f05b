// One frame of a sprite: where it lies in the sprite surface, its hot spot
// and the bitmap it comes from.
#pragma once

#include "foundation/YResource.h"

class YFrame : public YResource {
    DECLARE_SERIAL(YFrame)
public:
    YFrame();

    void Serialize(CArchive& ar) override;
    int Accept(YResourceVisitor* visitor) override;
    LONG GetWidth() override;
    LONG GetHeight() override;

    RECT m_frameRect;
    LONG m_tag;
    POINT m_hotSpot;
    CString m_imageName;
    RECT m_focusRect;
    DWORD m_halfSize;
    CString m_halfSizeSuffix;
};
