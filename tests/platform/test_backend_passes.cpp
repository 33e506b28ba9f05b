// Main-loop passes of the backend: presented frames and passes that drew
// nothing both count towards the close after RCV_MAX_FRAMES.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/backend/HeadlessBackend.h"

namespace {
class BackendPasses : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("RCV_MAX_FRAMES");
        m_hadMax = old != nullptr;
        if (old) m_oldMax = old;
        setenv("RCV_MAX_FRAMES", "3", 1);
    }
    void TearDown() override
    {
        if (m_hadMax) setenv("RCV_MAX_FRAMES", m_oldMax.c_str(), 1);
        else unsetenv("RCV_MAX_FRAMES");
    }

    bool m_hadMax = false;
    std::string m_oldMax;
};

int CloseEvents(platform::Backend& backend)
{
    int closes = 0;
    platform::BackendEvent event;
    while (backend.PollEvent(event))
        if (event.kind == platform::BackendEvent::Close) ++closes;
    return closes;
}
}  // namespace

TEST_F(BackendPasses, DrainsAndFramesCountAsPasses)
{
    // d: the pump found the queue empty; p: a frame was presented.
    struct Case {
        const char* steps;
        unsigned long passes;
        unsigned long frames;
        int closes;
    } cases[] = {
        {"", 0, 0, 0},
        {"d", 0, 0, 0},          // the first drain ends no pass
        {"ppp", 3, 3, 1},
        {"dpdpdp", 3, 3, 1},     // one drain before each frame: passes are frames
        {"dpdp", 2, 2, 0},
        {"dddd", 3, 0, 1},       // no display: every later drain is a pass
        {"ddddddd", 6, 0, 1},    // the close comes once
        {"dpddp", 3, 2, 1},
        {"dddddp", 5, 1, 1},
    };
    const uint32_t pixel = 0x123456;
    for (const Case& c : cases) {
        platform::HeadlessBackend backend;
        for (const char* s = c.steps; *s; ++s) {
            if (*s == 'd') backend.QueueDrained();
            else backend.Present(&pixel, 1, 1, 1);
        }
        EXPECT_EQ(backend.Passes(), c.passes) << c.steps;
        EXPECT_EQ(backend.PresentedFrames(), c.frames) << c.steps;
        EXPECT_EQ(CloseEvents(backend), c.closes) << c.steps;
    }
}

TEST_F(BackendPasses, TheCloseFollowsTheThirdBlankPass)
{
    platform::HeadlessBackend backend;
    backend.QueueDrained();
    backend.QueueDrained();
    backend.QueueDrained();
    EXPECT_EQ(CloseEvents(backend), 0);
    backend.QueueDrained();
    EXPECT_EQ(CloseEvents(backend), 1);
}
