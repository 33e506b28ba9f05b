#include "world/YActorWorld.h"

YActorWorld::YActorWorld() : m_highest(-1), m_viewActor(nullptr) {}

YActorWorld::~YActorWorld() = default;

int YActorWorld::Purge()
{
    return 0;
}
