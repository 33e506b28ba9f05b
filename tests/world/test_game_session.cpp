// The session's actions move it through its states; initialising needs the
// map file of the engine's session descriptor.
#include <gtest/gtest.h>

#include "ScratchFolder.h"
#include "engine/YGameObjects.h"
#include "world/YGameSession.h"

namespace {
typedef YGameSession S;

class GameSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = YGameObjects::Instance()->m_sessionDesc.m_mapPath;
        m_scratch.Write("maps/hills.zon", "YMAP");
        m_scratch.MakeFolder("maps/folder.zon");
    }
    void TearDown() override { YGameObjects::Instance()->m_sessionDesc.m_mapPath = m_saved; }

    ScratchFolder m_scratch{ScratchFolder::Enter};
    YString m_saved;
};
}  // namespace

TEST_F(GameSession, InitialisingNeedsTheMapFile)
{
    struct Case {
        const char* map;
        int result;
        int state;
    };
    const Case cases[] = {
        {"maps\\hills.zon", 1, S::Loaded}, {"MAPS\\HILLS.ZON", 1, S::Loaded}, {"\\maps\\hills.zon", 1, S::Loaded},
        {"maps\\dales.zon", 0, S::None},   {"maps\\folder.zon", 0, S::None},  {"", 0, S::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.map);
        YGameObjects::Instance()->m_sessionDesc.m_mapPath = c.map;
        S session;
        EXPECT_EQ(c.result, session.Action(S::ActionInit));
        EXPECT_EQ(c.state, session.m_state);
    }
}

TEST_F(GameSession, ActionsInEachState)
{
    YGameObjects::Instance()->m_sessionDesc.m_mapPath = "maps\\hills.zon";
    const int states[] = {S::None, S::Loading, S::Loaded, S::Beginning, S::Playing, S::Paused, S::Demo, S::Ending};
    struct Case {
        int action;
        int after[8];  // -1: refused, the state stays
    };
    const Case cases[] = {
        {S::ActionInit, {S::Loaded, -1, -1, -1, -1, -1, -1, -1}},
        {S::ActionBegin, {-1, -1, S::Playing, -1, -1, -1, -1, -1}},
        {S::ActionEnd, {-1, S::None, S::None, S::None, S::None, S::None, S::None, S::None}},
        {S::ActionPause, {-1, -1, -1, -1, S::Paused, S::Playing, -1, -1}},
        {S::ActionDemo, {-1, -1, S::Demo, -1, -1, -1, -1, -1}},
        {4, {-1, -1, -1, -1, -1, -1, -1, -1}},
        {-1, {-1, -1, -1, -1, -1, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        for (int state : states) {
            SCOPED_TRACE(std::to_string(c.action) + " in " + std::to_string(state));
            S session;
            session.m_state = state;
            int expected = c.after[state];
            EXPECT_EQ(expected < 0 ? 0 : 1, session.Action(c.action));
            EXPECT_EQ(expected < 0 ? state : expected, session.m_state);
        }
    }
}
