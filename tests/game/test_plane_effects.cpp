// Timed effects, hits and carried slots; the plane's commands: view, fire,
// use, restock and the editor's recording.
#include <gtest/gtest.h>

#include <cstdio>

#include "PlaneFlightFixture.h"
#include "foundation/YDataCollection.h"
#include "game/YClientPhysics.h"
#include "world/YGameRules.h"

namespace {

enum { View = 40, Fire = 41, Use = 42, Restock = 59 };

class PlaneEffects : public PlaneFlight {
protected:
    void StartFlying(const char* key = "p40plane")
    {
        Start("Meadow", key);
        YVector at;
        float yaw = 0.0f;
        ASSERT_TRUE(PlayerStart(at, yaw));
        Place(at, yaw, 30.0f, 6.0f);
        m_plane->m_startPosition = at;
    }
    void StartOnGround()
    {
        Start("Meadow");
        YVector at;
        float yaw = 0.0f;
        ASSERT_TRUE(PlayerStart(at, yaw));
        Place(at, yaw);
        m_plane->m_startPosition = at;
        Run(0.5f);
        ASSERT_TRUE(m_plane->IsOnGround());
    }
    // Rules of the mode for the test's length.
    void Rules(int mode)
    {
        m_rules.m_mode = mode;
        m_savedRules = m_engine->m_rules;
        m_engine->m_rules = &m_rules;
    }
    void TearDown() override
    {
        if (m_savedRules || m_engine->m_rules == &m_rules) m_engine->m_rules = m_savedRules;
        PlaneFlight::TearDown();
    }
    YGameRules m_rules;
    YGameRules* m_savedRules = nullptr;
};

}  // namespace

TEST(PlaneTimers, EachSetterStoresItsFlagAndTime)
{
    using Setter = void (YPlane::*)(bool, float);
    struct Row {
        const char* name;
        Setter set;
        uint8_t YPlane::*flag;
        float YPlane::*time;
    } rows[] = {
        {"disrupted", &YPlane::SetDisrupted, &YPlane::m_disrupted, &YPlane::m_disruptedTime},
        {"flashed", &YPlane::SetFlashed, &YPlane::m_flashed, &YPlane::m_flashedTime},
        {"reversed", &YPlane::SetReversed, &YPlane::m_reversed, &YPlane::m_reversedTime},
        {"unlimited", &YPlane::SetUnlimitedAmmo, &YPlane::m_unlimitedAmmo, &YPlane::m_unlimitedAmmoTime},
        {"machine gun", &YPlane::SetMachineGun, &YPlane::m_machineGun, &YPlane::m_machineGunTime},
        {"amplified", &YPlane::SetAmplifiedDamage, &YPlane::m_amplifiedDamage, &YPlane::m_amplifiedDamageTime},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        YPlane plane;
        plane.m_botFlown = 1;  // no overlay
        plane.m_ammo = 1;
        (plane.*row.set)(true, 12.5f);
        EXPECT_EQ(plane.*row.flag, 1);
        EXPECT_FLOAT_EQ(plane.*row.time, 12.5f);
        (plane.*row.set)(false, 12.5f);
        EXPECT_EQ(plane.*row.flag, 0);
        EXPECT_FLOAT_EQ(plane.*row.time, 0.0f);
    }
    YPlane plane;
    plane.m_ammo = 1;
    plane.SetUnlimitedAmmo(true, 5.0f);
    EXPECT_EQ(plane.m_ammo, 5);
}

TEST(PlaneTimers, CarriedSlots)
{
    YPlane plane;
    const int held[] = {1, 0, 2, 0, 0};
    for (int i = 0; i < 5; ++i) plane.SetCarried(held[i], i);
    EXPECT_EQ(plane.GetCarried(-1), 3);
    EXPECT_EQ(plane.GetCarried(2), 2);
    EXPECT_EQ(plane.GetCarried(5), 0);
    EXPECT_EQ(plane.GetCarried(-2), 0);
    plane.SetCarried(7, -1);
    EXPECT_EQ(plane.GetCarried(1), 7) << "the first empty slot";
    plane.SetCarried(9, 6);
    EXPECT_EQ(plane.GetCarried(-1), 10) << "another slot number stores nothing";
    for (int i = 0; i < 5; ++i) plane.SetCarried(1, i);
    plane.SetCarried(4, -1);
    EXPECT_EQ(plane.GetCarried(-1), 5) << "five full slots drop the value";
    plane.SetCarried(0, -1);
    EXPECT_EQ(plane.GetCarried(-1), 0);
}

TEST_F(PlaneEffects, TheTornadoStartsOnlyInTheAir)
{
    StartOnGround();
    const float top = m_plane->GetHandling()->m_topAirSpeed;
    m_plane->m_velocity = m_plane->m_forward * 1.0f;
    m_plane->SetTornado(true, 10.0f);
    EXPECT_EQ(m_plane->m_tornado, 0);
    EXPECT_EQ(m_plane->m_throttle, 255);
    EXPECT_NEAR(m_plane->GetSpeed(), top, 1e-3f);
    TearDown();

    StartFlying();
    m_plane->SetTornado(true, 0.5f);
    EXPECT_EQ(m_plane->m_tornado, 1);
    EXPECT_EQ(m_plane->m_throttle, 765);
    EXPECT_EQ(m_plane->m_engineLevel, 765);
    EXPECT_NEAR(m_plane->GetSpeed(), 3.0f * top, 1e-3f);
    Throttle(ThrottleOff);
    EXPECT_EQ(m_plane->m_throttle, 765) << "throttle commands wait for the tornado";
    Run(0.6f);
    EXPECT_EQ(m_plane->m_tornado, 0);
    EXPECT_EQ(m_plane->m_throttle, 255) << "the end restores the full throttle";
}

TEST_F(PlaneEffects, TheFlashOverlayFades)
{
    StartFlying();
    m_plane->SetFlashed(true, 10.0f);
    float c[4];
    s_parser->GetOverlayColor(&c[0], &c[1], &c[2], &c[3]);
    EXPECT_FLOAT_EQ(c[0], 1.0f);
    EXPECT_FLOAT_EQ(c[3], 1.0f);
    Run(6.0f);
    s_parser->GetOverlayColor(&c[0], &c[1], &c[2], &c[3]);
    EXPECT_NEAR(c[0], m_plane->m_flashedTime * 0.13333334f, 1e-4f);
    EXPECT_LT(c[0], 1.0f);
    EXPECT_FLOAT_EQ(c[1], 0.0f);
    Run(4.5f);
    s_parser->GetOverlayColor(&c[0], &c[1], &c[2], &c[3]);
    EXPECT_EQ(m_plane->m_flashed, 0);
    EXPECT_FLOAT_EQ(c[0], 0.0f);
    EXPECT_FLOAT_EQ(c[3], 0.0f);
}

TEST_F(PlaneEffects, TheFifthHitKnocksOutUntilItLandsFrozen)
{
    StartFlying();
    Throttle(ThrottleHigh);
    for (int i = 0; i < 4; ++i) m_plane->OnProjectileHit();
    EXPECT_EQ(m_plane->m_pendingRestart, 0);
    EXPECT_FLOAT_EQ(m_plane->m_smokeTime, 5.0f);
    m_plane->OnProjectileHit();
    EXPECT_EQ(m_plane->m_engineLevel, 0);
    EXPECT_EQ(m_plane->m_disrupted, 1);
    EXPECT_FLOAT_EQ(m_plane->m_disruptedTime, 100.0f);
    EXPECT_FLOAT_EQ(m_plane->m_smokeTime, 100.0f);
    EXPECT_EQ(m_plane->m_pendingRestart, 1);
    // Glides down; on the ground it stays where it is.
    for (int i = 0; i < 3000 && !m_plane->m_restartReady; ++i) Tick();
    ASSERT_EQ(m_plane->m_restartReady, 1);
    const YVector landed = m_plane->m_position;
    Run(1.0f);
    EXPECT_NEAR((m_plane->m_position - landed).Length(), 0.0f, 0.05f);
    for (int i = 0; i < 10; ++i) m_plane->OnProjectileHit();
    EXPECT_EQ(m_plane->m_fifteenHits, 1);
}

TEST_F(PlaneEffects, ViewCyclesThroughTheModes)
{
    StartFlying();
    const int expected[] = {0, 1, 3, 0};
    EXPECT_EQ(m_plane->m_cameraMode, 3);
    for (int mode : expected) {
        m_engine->m_gameClock += 10;
        EXPECT_EQ(m_plane->OnCommand(View, "", 1), 1);
        EXPECT_EQ(m_plane->m_cameraMode, mode);
        EXPECT_EQ(m_plane->m_cameraBlendStart, m_engine->m_gameClock);
    }
}

TEST_F(PlaneEffects, FireByTheRulesMode)
{
    StartFlying();
    // Without rules fire does nothing.
    m_plane->OnCommand(Fire, "", 1);
    EXPECT_EQ(m_plane->m_ammo, 5);
    Rules(YPlane::GameDogfight);
    m_plane->OnCommand(Fire, "", 1);
    EXPECT_EQ(m_plane->m_ammo, 4);
    EXPECT_EQ(m_plane->m_paintballsFired, 1);
    // The 500 ms gate.
    m_engine->m_gameClock += 499;
    m_plane->OnCommand(Fire, "", 1);
    EXPECT_EQ(m_plane->m_ammo, 4);
    m_engine->m_gameClock += 1;
    m_plane->OnCommand(Fire, "", 1);
    EXPECT_EQ(m_plane->m_ammo, 3);
    // Unlimited ammunition keeps the count.
    m_plane->SetUnlimitedAmmo(true, 10.0f);
    m_engine->m_gameClock += 500;
    m_plane->OnCommand(Fire, "", 1);
    EXPECT_EQ(m_plane->m_ammo, 5);
    EXPECT_EQ(m_plane->m_paintballsFired, 3);
    m_plane->SetUnlimitedAmmo(false, 0.0f);
    // Without ammunition nothing leaves.
    m_plane->m_ammo = 0;
    m_engine->m_gameClock += 500;
    m_plane->OnCommand(Fire, "", 1);
    EXPECT_EQ(m_plane->m_paintballsFired, 3);
    // Disrupted: nothing.
    m_plane->m_ammo = 5;
    m_plane->SetDisrupted(true, 1.0f);
    m_engine->m_gameClock += 500;
    m_plane->OnCommand(Fire, "", 1);
    EXPECT_EQ(m_plane->m_ammo, 5);
    // The shot leaves along the nose at the speed + 100.
    m_plane->SetDisrupted(false, 0.0f);
    m_plane->OnCommand(Fire, "", 1);
    EXPECT_NEAR(m_plane->m_shotVelocity.Length(), m_plane->GetSpeed() + 100.0f, 1e-2f);
}

TEST_F(PlaneEffects, MachineGunFiresEveryTenthOfASecondWhileHeld)
{
    StartFlying();
    Rules(YPlane::GameDogfight);
    m_plane->SetMachineGun(true, 10.0f);
    m_plane->SetUnlimitedAmmo(true, 10.0f);
    m_plane->OnCommand(Fire, "", 1);
    EXPECT_EQ(m_plane->m_autoFire, 1);
    Run(1.0f);
    EXPECT_GE(m_plane->m_paintballsFired, 9);
    EXPECT_LE(m_plane->m_paintballsFired, 11);
    m_plane->OnCommand(Fire, "", 3);
    const int fired = m_plane->m_paintballsFired;
    Run(0.5f);
    EXPECT_EQ(m_plane->m_paintballsFired, fired);
}

TEST_F(PlaneEffects, BalloonDropHoldsAndDrops)
{
    StartFlying();
    Rules(YPlane::GameBalloonDrop);
    m_plane->OnCommand(Restock, "", 1);
    EXPECT_EQ(m_plane->m_balloons, 5);
    m_plane->OnCommand(Fire, "", 1);
    EXPECT_EQ(m_plane->m_balloons, 4);
    m_plane->OnCommand(Fire, "", 1);
    EXPECT_EQ(m_plane->m_balloons, 4) << "the 500 ms gate";
    m_plane->OnCommand(Use, "", 1);
    EXPECT_EQ(m_plane->m_dropHold, 1);
    m_plane->OnCommand(Use, "", 3);
    EXPECT_EQ(m_plane->m_dropHold, 0);
}

TEST_F(PlaneEffects, RestockAndRecording)
{
    StartFlying();
    m_plane->m_fuel = 10.0f;
    m_plane->m_ammo = 0;
    m_plane->m_balloons = 1;
    EXPECT_EQ(m_plane->OnCommand(Restock, "", 1), 1);
    EXPECT_FLOAT_EQ(m_plane->m_fuel, 255.0f);
    EXPECT_EQ(m_plane->m_ammo, 5);
    EXPECT_EQ(m_plane->m_balloons, 5);

    ASSERT_NE(m_engine->m_settings, nullptr);
    const int saved = m_engine->m_settings->GetInt("game_editmode");
    std::remove("script.rcs");
    m_engine->m_settings->Set("game_editmode", "1");
    m_plane->OnCommand(Restock, "", 1);
    EXPECT_EQ(m_plane->m_recording, 1);
    EXPECT_NE(m_plane->m_script, nullptr);
    EXPECT_EQ(m_plane->OnCommand(18, "", 1), 1) << "a placement verb while recording";
    m_engine->m_settings->Set("game_editmode", "0");
    m_plane->OnCommand(Restock, "", 1);
    EXPECT_EQ(m_plane->m_recording, 0);
    EXPECT_EQ(m_plane->m_script, nullptr);
    EXPECT_EQ(m_plane->OnCommand(18, "", 1), 0);
    FILE* file = std::fopen("script.rcs", "r");
    EXPECT_NE(file, nullptr) << "the recording wrote script.rcs";
    if (file) std::fclose(file);
    std::remove("script.rcs");
    m_engine->m_settings->Set("game_editmode", saved ? "1" : "0");
}
