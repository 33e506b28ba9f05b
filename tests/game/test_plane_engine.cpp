// The engine on a sample map: the walk through the throttle bands with the
// slot durations, the propeller, the audible level and the running loop's
// frequency in the headless mix.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "PlaneFlightFixture.h"
#include "assets3d/YSMHandle.h"
#include "foundation/YSineTable.h"
#include "game/YPropeller.h"
#include "platform/backend/HeadlessBackend.h"
#include "sound/YDXSoundBuffer.h"
#include "sound/YSound.h"
#include "sound/YSoundData.h"

namespace {

enum { ThrottleLow = 15, ThrottleMed = 16, ThrottleUp = 43, ThrottleDown = 44, Tornado = 0 };

// The sample sounds played through the sound manager on the headless mixer.
class PlaneEngine : public PlaneFlight {
protected:
    void Start(const char* key)
    {
        PlaneFlight::Start("Meadow", key);
        YVector at;
        float yaw = 0.0f;
        ASSERT_TRUE(PlayerStart(at, yaw));
        Place(at, yaw);
        m_plane->m_startPosition = m_plane->m_position;
    }
    void WithSound()
    {
        BuildSineTable();
        m_settings.m_8bitQuality = 0;
        m_sound = std::make_unique<YSound>();
        m_sound->Initialize(s_catalog, &m_settings);
        m_savedSound = m_engine->m_sound;
        m_engine->m_sound = m_sound.get();
    }
    void TearDown() override
    {
        if (m_sound) {
            // The plane's sounds go before the manager.
            m_world.Clear();
            m_engine->m_sound = m_savedSound;
            m_sound.reset();
        }
        PlaneFlight::TearDown();
    }
    // The states the engine passes through with the clock at each change,
    // until the state is the last or the time runs out.
    std::vector<std::pair<int, uint32_t>> Walk(int last, float seconds)
    {
        std::vector<std::pair<int, uint32_t>> walk{{m_plane->m_engineState, m_engine->m_gameClock}};
        for (int i = 0; i < static_cast<int>(seconds / kStep) && m_plane->m_engineState != last; ++i) {
            Tick();
            if (m_plane->m_engineState != walk.back().first) {
                walk.push_back({m_plane->m_engineState, m_engine->m_gameClock});
                EXPECT_EQ(m_plane->m_engineLevel, m_plane->m_throttle) << "state " << m_plane->m_engineState;
            }
        }
        return walk;
    }
    YSoundData m_settings;
    std::unique_ptr<YSound> m_sound;
    YSound* m_savedSound = nullptr;
};

}  // namespace

TEST_F(PlaneEngine, StoppedToHighWalksTheBandsWithTheSlotDurations)
{
    struct Row {
        const char* key;
        uint32_t start;  // ms of the start sound
        bool propeller;
    } rows[] = {{"p40plane", 850, true}, {"f15plane", 2000, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        Start(row.key);
        EXPECT_EQ(m_plane->m_engineState, YPlane::EngineStopped);
        Throttle(ThrottleHigh);
        EXPECT_EQ(m_plane->m_engineState, YPlane::EngineStarting);
        EXPECT_EQ(m_plane->m_throttle, 255);
        EXPECT_EQ(m_plane->m_engineLevel, 0) << "the engine waits for its start sound";
        const auto walk = Walk(YPlane::EngineHigh, 10.0f);
        ASSERT_EQ(walk.size(), 4u);
        const int states[] = {YPlane::EngineStarting, YPlane::EngineRising, YPlane::EngineRisingHigh,
                              YPlane::EngineHigh};
        const uint32_t lasts[] = {row.start, YPlane::PlaneSoundDuration(3), YPlane::PlaneSoundDuration(4)};
        for (size_t i = 0; i < walk.size(); ++i) EXPECT_EQ(walk[i].first, states[i]);
        for (size_t i = 0; i < 3; ++i) {
            const uint32_t lasted = walk[i + 1].second - walk[i].second;
            EXPECT_GE(lasted, lasts[i]) << "state " << states[i];
            EXPECT_LE(lasted, lasts[i] + 2 * static_cast<uint32_t>(kStep * 1000.0f)) << "state " << states[i];
        }
        EXPECT_EQ(m_plane->m_engineLevel, 255);
        EXPECT_EQ(m_plane->m_propeller != nullptr, row.propeller);
        // Off: the stop sound, then stopped, and the propeller goes.
        Throttle(ThrottleOff);
        EXPECT_EQ(m_plane->m_engineState, YPlane::EngineStopping);
        EXPECT_EQ(m_plane->m_propeller, nullptr);
        Walk(YPlane::EngineStopped, 6.0f);
        EXPECT_EQ(m_plane->m_engineState, YPlane::EngineStopped);
        EXPECT_EQ(m_plane->m_engineLevel, 0);
        TearDown();
    }
}

TEST_F(PlaneEngine, StepsMoveBetweenBandsAtTheBandLimits)
{
    Start("p40plane");
    Throttle(ThrottleUp);  // 50: start into the low band
    EXPECT_EQ(m_plane->m_targetBand, YPlane::BandLow);
    Walk(YPlane::EngineLow, 3.0f);
    ASSERT_EQ(m_plane->m_engineState, YPlane::EngineLow);
    EXPECT_EQ(m_plane->m_engineLevel, 50);
    Throttle(ThrottleUp);  // 75
    Throttle(ThrottleUp);  // 100: above 85, on to medium
    EXPECT_EQ(m_plane->m_engineState, YPlane::EngineRising);
    EXPECT_EQ(m_plane->m_targetBand, YPlane::BandMedium);
    Walk(YPlane::EngineMedium, 4.0f);
    ASSERT_EQ(m_plane->m_engineState, YPlane::EngineMedium);
    EXPECT_EQ(m_plane->m_engineLevel, 100);
    Throttle(ThrottleDown);  // 75: at or below 85, back to low
    EXPECT_EQ(m_plane->m_engineState, YPlane::EngineFallingLow);
    Walk(YPlane::EngineLow, 4.0f);
    EXPECT_EQ(m_plane->m_engineState, YPlane::EngineLow);
    EXPECT_EQ(m_plane->m_engineLevel, 75);
}

TEST_F(PlaneEngine, TornadoAndDisruptorKeepTheThrottle)
{
    Start("p40plane");
    m_plane->m_disrupted = 1;
    Throttle(ThrottleHigh);
    EXPECT_EQ(m_plane->m_throttle, 0);
    EXPECT_EQ(m_plane->m_engineState, YPlane::EngineStopped);
    m_plane->m_disrupted = 0;
    m_plane->m_tornado = 1;
    Throttle(ThrottleUp);
    EXPECT_EQ(m_plane->m_throttle, 0);
    EXPECT_EQ(m_plane->m_engineState, YPlane::EngineStopped);
}

// The running loop is heard, its frequency follows the audible level up to
// base x 0.95 (0.975 while turning), and it goes at throttle 0.
TEST_F(PlaneEngine, TheLoopFrequencyFollowsTheAudibleLevel)
{
    Start("p40plane");
    WithSound();
    Throttle(ThrottleHigh);
    Walk(YPlane::EngineHigh, 10.0f);
    ASSERT_EQ(m_plane->m_engineState, YPlane::EngineHigh);
    Run(3.0f);
    ASSERT_EQ(m_plane->m_audibleLevel, 255);
    YActorSound* loop = m_plane->EngineLoop();
    ASSERT_NE(loop, nullptr);
    ASSERT_NE(loop->GetBuffer(), nullptr);
    DWORD frequency = 0;
    loop->GetBuffer()->GetFrequency(&frequency);
    EXPECT_EQ(m_plane->m_engineBaseFrequency, 44100u) << "the 22050 Hz sample is raised";
    EXPECT_EQ(frequency, static_cast<DWORD>(44100 * 0.95f));
    // Turning.
    m_plane->m_yawRate = 10.0f;
    m_plane->EngineToneStep(kStep);
    loop->GetBuffer()->GetFrequency(&frequency);
    EXPECT_EQ(frequency, static_cast<DWORD>(44100 * 0.975f));
    m_plane->m_yawRate = 0.0f;
    // Throttle 0 takes the loop away.
    Throttle(ThrottleOff);
    Tick();
    EXPECT_EQ(m_plane->EngineLoop(), nullptr);
    EXPECT_EQ(m_plane->m_throttle, 0);
}

TEST_F(PlaneEngine, TheAudibleLevelRisesByTheToneScale)
{
    Start("p40plane");
    Throttle(ThrottleMed);
    Walk(YPlane::EngineMedium, 5.0f);
    const int before = m_plane->m_audibleLevel;
    m_plane->EngineToneStep(0.05f);
    EXPECT_EQ(m_plane->m_audibleLevel, std::min(175, before + 5));
    EXPECT_NEAR(m_plane->EngineToneFactor(), m_plane->m_audibleLevel / 255.0f * 0.5f + 0.45f, 1e-6f);
}

// The propeller spins as the plane's child and leaves only through its
// detach and the world's purge.
TEST_F(PlaneEngine, ThePropellerComesAndGoesWithTheEngine)
{
    Start("p40plane");
    YSMHandle* model = m_plane->GetModelInstance();
    ASSERT_NE(model, nullptr);
    const int16_t group = model->FindGroup("Propeller");
    m_plane->SetEngineLevel(100);
    YPropeller* propeller = m_plane->m_propeller;
    ASSERT_NE(propeller, nullptr);
    EXPECT_EQ(propeller->GetParent(), m_plane);
    EXPECT_GE(m_world.IndexOf(propeller), 0);
    if (group >= 0) EXPECT_FALSE(model->IsGroupShown(group));
    const float roll = propeller->m_angles.z;
    for (int i = 0; i < 5; ++i) propeller->Update(0.05f);
    EXPECT_NE(propeller->m_angles.z, roll) << "it spins";

    m_plane->StopPropeller();
    EXPECT_EQ(m_plane->m_propeller, nullptr);
    EXPECT_EQ(propeller->GetParent(), nullptr);
    EXPECT_TRUE(propeller->IsMarkedForDestruction());
    EXPECT_GE(m_world.IndexOf(propeller), 0) << "still in its slot until the purge";
    if (group >= 0) EXPECT_TRUE(model->IsGroupShown(group));
    m_world.PurgeDestroyed();
    EXPECT_EQ(m_world.CountByName("Propeller"), 0);
}
