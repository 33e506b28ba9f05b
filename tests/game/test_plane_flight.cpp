#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "game/PlaneFlightFixture.h"

std::string PlaneFlight::s_map;

TEST_F(PlaneFlight, Probe)
{
    Start("Meadow");
    YVector at;
    float yaw = 0;
    ASSERT_TRUE(PlayerStart(at, yaw));
    Place(at, yaw);
    Throttle(ThrottleHigh);
    for (int i = 0; i < 1500; ++i) {
        if (i == 300) Hold({VerbDown});
        if (i == 400) Hold({});
        Tick();
        if (i % 25 == 0)
            printf("%4d pos %.2f %.2f %.2f h %.2f ang %.1f %.1f %.1f v %.2f %.2f %.2f sp %.2f ground %d ready %d crash %d lvl %d\n", i,
                   m_plane->m_position.x, m_plane->m_position.y, m_plane->m_position.z, Height(), m_plane->m_angles.x,
                   m_plane->m_angles.y, m_plane->m_angles.z, m_plane->m_velocity.x, m_plane->m_velocity.y,
                   m_plane->m_velocity.z, m_plane->GetSpeed(), m_plane->IsOnGround(),
                   (m_plane->m_flagsB & YPlane::FlagLiftOffReady) != 0, m_plane->m_crashState, m_plane->m_engineLevel);
    }
}
