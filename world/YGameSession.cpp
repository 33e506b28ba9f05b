#include "world/YGameSession.h"

YGameSession::YGameSession() : m_state(None) {}

YGameSession::~YGameSession() = default;

int YGameSession::OnVerb(int, int, const char*)
{
    if (m_state != Playing && m_state != Paused) return 1;
    // Handed on to the game commands once the session owns them.
    return 1;
}

void YGameSession::Tick()
{
    ++m_ticks;
}

void YGameSession::AdvanceProgress()
{
    ++m_progress;
}
