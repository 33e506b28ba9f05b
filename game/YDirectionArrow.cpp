#include "game/YDirectionArrow.h"

IMPLEMENT_SERIAL(YDirectionArrow, YActor, 1)

YDirectionArrow::YDirectionArrow() : YDirectionArrow(0) {}

YDirectionArrow::YDirectionArrow(int kind) : m_kind(kind) { m_name = "DirectionArrow"; }
