#include "world/YGameSession.h"

#include "engine/YGameObjects.h"

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

int YGameSession::Action(int action, int)
{
    switch (action) {
    case ActionInit: {
        if (m_state != None) return 0;
        const YString& map = YGameObjects::Instance()->m_sessionDesc.m_mapPath;
        DWORD attributes = map.IsEmpty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(map);
        bool found = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        m_state = found ? Loaded : None;
        return found ? 1 : 0;
    }
    case ActionBegin:
        if (m_state != Loaded) return 0;
        m_state = Playing;
        return 1;
    case ActionEnd:
        if (m_state == None) return 0;
        m_state = None;
        return 1;
    case ActionPause:
        if (m_state == Playing) m_state = Paused;
        else if (m_state == Paused) m_state = Playing;
        else return 0;
        return 1;
    case ActionDemo:
        if (m_state != Loaded) return 0;
        m_state = Demo;
        return 1;
    default: return 0;
    }
}
