// The real program, headless, flies a round as a player would: Start on the
// setup screen, the console's "actor watch [camera]" with the trace switch on
// (the watched plane's vectors go to the log file once a tick), then the
// sample bindings: throttle high, the stick back, a bank to the right.
#include "ProgramRun.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const kInput =
    "5 mouse move 320 292\n"
    "6 mouse button 1 down\n"
    "7 mouse button 1 up\n"
    "30 key down F2\n30 key up F2\n"
    "31 text actor watch [camera]\n"
    "32 key down Return\n32 key up Return\n"
    "33 key down F2\n33 key up F2\n"
    "40 key down 4\n41 key up 4\n"         // throttle high
    "260 key down Down\n335 key up Down\n"  // nose up
    "520 key down Right\n550 key up Right\n";

struct Watch {
    unsigned clock;
    float x, y, z, pitch, yaw, roll;
};

class FlightProgram : public ProgramTest {
protected:
    std::vector<Watch> Fly(const char* seed, int frames = 700)
    {
        std::string config = Read("config.cfg");
        config += "set sys_plane \"p40plane\"\nset sys_game_type \"practice\"\n"
                  "set logfile \"watch.log\"\nset trace 1\n";
        Write("config.cfg", config);
        Write("keys.txt", kInput);
        std::remove((m_dir / "watch.log").c_str());
        ProgramResult result = RunWith(std::string("RCV_INPUT_SCRIPT=keys.txt RCV_SEED=") + seed, frames, 300);
        EXPECT_EQ(0, result.exitCode) << result.err;
        m_log = Read("watch.log");
        std::vector<Watch> watches;
        std::istringstream lines(m_log);
        std::string line;
        while (std::getline(lines, line)) {
            Watch w;
            if (sscanf(line.c_str(), "WATCH P40 %u pos %f %f %f ang %f %f %f", &w.clock, &w.x, &w.y, &w.z, &w.pitch,
                       &w.yaw, &w.roll) == 7)
                watches.push_back(w);
        }
        return watches;
    }
    static const Watch& At(const std::vector<Watch>& watches, unsigned clock)
    {
        for (const Watch& w : watches)
            if (w.clock >= clock) return w;
        return watches.back();
    }
    std::string m_log;
};

}  // namespace

TEST_F(FlightProgram, TakesOffClimbsAndTurnsFromScriptedKeys)
{
    const std::vector<Watch> w = Fly("4");
    ASSERT_GT(w.size(), 500u) << m_log.substr(0, 400);
    const Watch& start = w.front();
    // At rest on its start until the throttle; rolling along its heading after.
    EXPECT_LT(At(w, 4000).y - start.y, 0.05f) << "still on its wheels";
    EXPECT_GT(std::hypot(At(w, 4000).x - start.x, At(w, 4000).z - start.z), 2.0f) << "rolling";
    // The stick back lifts the nose and the plane off the ground; it climbs on.
    EXPECT_GT(At(w, 6500).pitch, 10.0f);
    EXPECT_GT(At(w, 9500).y - start.y, 3.0f);
    EXPECT_GT(At(w, 10000).y, At(w, 9500).y) << "climbing";
    // Before the bank the heading holds; the bank to the right turns it right.
    EXPECT_NEAR(At(w, 10000).yaw, start.yaw, 0.5f);
    EXPECT_GT(w.back().yaw - start.yaw, 15.0f);
    for (const Watch& each : w) ASSERT_TRUE(std::isfinite(each.x + each.y + each.z)) << each.clock;
}

TEST_F(FlightProgram, TheSameSeedFliesTheSameWay)
{
    Fly("9", 300);
    const std::string first = m_log;
    Fly("9", 300);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, m_log);
}
