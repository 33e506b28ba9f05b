#include "game/YDirectionArrow.h"

IMPLEMENT_SERIAL(YDirectionArrow, YActor, 1)

namespace {
const char* SpriteOf(int kind)
{
    switch (kind) {
    case YDirectionArrow::Up: return "TargetIndicator-Direction_arrow_u--24-0";
    case YDirectionArrow::Down: return "TargetIndicator-Direction_arrow_d--24-0";
    case YDirectionArrow::Left: return "TargetIndicator-Direction_arrow_l--24-0";
    case YDirectionArrow::Right: return "TargetIndicator-Direction_arrow_r--24-0";
    default: return "TargetIndicator-Direction_arrow_all--24-0";
    }
}
}  // namespace

// The class factory's arrow: no image and no world yet.
YDirectionArrow::YDirectionArrow() : YSpriteActor(10), m_kind(KindPlane) { m_name = "DirectionArrow"; }

YDirectionArrow::YDirectionArrow(int kind) : YDirectionArrow(YVector(), kind) {}

YDirectionArrow::YDirectionArrow(const YVector& position, int kind) : YDirectionArrow()
{
    Init(position, kind);
}

void YDirectionArrow::Init(const YVector& position, int kind)
{
    m_orientation = 10;
    m_kind = kind;
    m_spriteKey = SpriteOf(kind);
    SetSprite(position, m_spriteKey);
    m_flagsA &= ~FlagNoMech;
    m_scale = 15.0f;
}
