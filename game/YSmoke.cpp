#include "game/YSmoke.h"

IMPLEMENT_SERIAL(YSmoke, YActor, 1)

YSmoke::YSmoke() : YSmoke(YVector(), 1.0f) {}

YSmoke::YSmoke(const YVector& position, float size) : m_size(size)
{
    m_name = "Smoke";
    m_position = m_previousPosition = position;
}
