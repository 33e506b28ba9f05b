#include "world/YPracticeRules.h"

#include <cstring>

namespace {
int ModeOf(const char* type)
{
    static const struct {
        const char* text;
        int mode;
    } kModes[] = {
        {"dogfight", YGameRules::ModeDogfight},
        {"tunnix", YGameRules::ModeTunnix},
        {"balloon", YGameRules::ModeBalloonDrop},
        {"airrace", YGameRules::ModeAirRace},
    };
    for (const auto& row : kModes)
        if (type && strcmp(type, row.text) == 0) return row.mode;
    return YGameRules::ModePractice;
}
}  // namespace

YPracticeRules::YPracticeRules(const char* gameType)
{
    m_mode = ModeOf(gameType);
    m_practice = 1;
}

void YPracticeRules::Tick()
{
    if (m_state == StateRun) return;
    if (!PhaseOver()) return;
    if (m_state == StatePre) {
        EnterRun();
        m_phaseStart = Now();
    }
}

void YPracticeRules::EnterPre()
{
    SetOverlay(0.0f, 0.0f);
    StartPhase(StatePre, PreSeconds);
    ShowScreen("prepractice");
}

void YPracticeRules::EnterRun()
{
    StartPhase(StateRun, m_roundSeconds);
    ShowScreen("practice");
}

void YPracticeRules::EnterPost()
{
    StartPhase(StatePost, PostSeconds);
    ShowScreen("postdogfight");
}
