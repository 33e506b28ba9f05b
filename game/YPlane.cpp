#include "game/YPlane.h"

#include "game/YClientPhysics.h"

IMPLEMENT_SERIAL(YPlane, YActor, 1)

YPlane::YPlane() : m_handling(new YClientPhysics)
{
    m_name = "Plane";
}

YPlane::~YPlane() { delete m_handling; }

int YPlane::OnCommand(int, const char*, int) { return 0; }
