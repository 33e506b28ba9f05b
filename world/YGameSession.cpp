#include "world/YGameSession.h"

YGameSession::YGameSession() : m_state(None) {}

YGameSession::~YGameSession() = default;

int YGameSession::OnVerb(int, int, const char*)
{
    if (m_state != Playing && m_state != Paused) return 1;
    // The active verbs of the game commands take it from here.
    return 1;
}
