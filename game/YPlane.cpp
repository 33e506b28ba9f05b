#include "game/YPlane.h"

int YPlane::Command(int verb, const char*, int value)
{
    m_lastVerb = verb;
    m_lastValue = value;
    ++m_commands;
    return 1;
}
