// Sprite items: a named sprite whose frame follows the clock ("anim") or an
// angle ("dial"), drawn with its frame's hot spot on the anchor.
#pragma once

#include "gui/YLayoutItem.h"

class YSprite;

class YLayoutItemSprite : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemSprite)
public:
    enum Kind { Anim = 0, Dial = 1 };
    enum { kKeyColour = 0x00FF00FF };

    explicit YLayoutItemSprite(int kind);

    void Load(YDC* dc) override;
    // 0.
    int Draw(YDC* dc) override;

    // The frame shown n frames into the sprite at this moment, or -1.
    int AnimFrame(int frames, DWORD now) const;
    // The frame of a dial of n frames at that angle in degrees, or -1.
    int DialFrame(int frames, int angle) const;

    // The keyword's variant.
    int32_t m_kind;
    CString m_spriteName;
    int32_t m_x;
    int32_t m_y;
    COLORREF m_keyColour;
    int32_t m_frameOffset;
    // Frames a second, and whether the animation starts over after its last frame.
    float m_speed;
    uint8_t m_loop;
    // Set at the first load only: a reload lets the animation run on.
    DWORD m_startTime;

private:
    int Value(int index, YDC* dc);

    uint8_t m_started;
};
