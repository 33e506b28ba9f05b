#include "game/YPlane.h"

IMPLEMENT_SERIAL(YPlane, YActor, 1)

YPlane::YPlane() { m_name = "Plane"; }

int YPlane::OnCommand(int, const char*, int) { return 0; }
