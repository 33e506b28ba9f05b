// The loading screen: each step of the session's progress draws and
// presents one frame with the bar at its width; the renderer's keep-alive
// steps it at most once a second.
#include <gtest/gtest.h>

#include "engine/DisplayFixture.h"
#include "engine/YEngineCallbacks.h"
#include "gui/YInterfaceMgr.h"
#include "platform/backend/HeadlessBackend.h"
#include "world/YGameSession.h"

namespace {
class SessionProgress : public StartedDisplay {
protected:
    void SetUp() override
    {
        StartedDisplay::SetUp();
        m_saved = m_engine->m_session;
        m_engine->m_session = &m_session;
        // The frames are the point here, not the loading screen's layout.
        m_savedManager = m_engine->m_interfaceMgr;
        m_engine->m_interfaceMgr = nullptr;
        platform::Clock::SetManual(true);
        ResetEngineCallbacks();
    }
    void TearDown() override
    {
        m_engine->m_session = m_saved;
        m_engine->m_interfaceMgr = m_savedManager;
        platform::Clock::SetManual(false);
        ResetEngineCallbacks();
        StartedDisplay::TearDown();
    }
    unsigned long Presented() const { return platform::HeadlessBackend::Active()->PresentedFrames(); }

    YGameSession m_session;
    YGameSession* m_saved = nullptr;
    YInterfaceMgr* m_savedManager = nullptr;
};
}  // namespace

TEST_F(SessionProgress, EachStepPresentsAFrame)
{
    const struct {
        int percent, width;
    } steps[] = {{1, 4}, {5, 23}, {15, 69}, {30, 138}, {45, 207}, {60, 276}, {70, 322}, {80, 368}, {100, 460}};
    for (const auto& s : steps) {
        const unsigned long before = Presented();
        m_session.SetProgress(s.percent);
        EXPECT_EQ(before + 1, Presented()) << s.percent;
        EXPECT_EQ(s.percent, m_session.m_progress);
        EXPECT_EQ(s.width, m_session.m_barWidth);
    }
    const unsigned long before = Presented();
    m_session.AdvanceProgress();
    EXPECT_EQ(before + 1, Presented());
    EXPECT_EQ(101, m_session.m_progress);
}

TEST_F(SessionProgress, KeepAliveStepsAtMostOnceASecond)
{
    m_session.SetProgress(10);
    const struct {
        DWORD advance;
        int progress;
    } steps[] = {{0, 11}, {500, 11}, {500, 11}, {1, 12}, {999, 12}, {1001, 13}, {5000, 14}};
    int last = m_session.m_progress;
    for (const auto& s : steps) {
        platform::Clock::Advance(s.advance);
        const unsigned long before = Presented();
        LoadingKeepAlive();
        EXPECT_EQ(s.progress, m_session.m_progress) << s.advance;
        EXPECT_EQ(before + (s.progress != last ? 1 : 0), Presented()) << "a frame for each step";
        last = s.progress;
    }
}
