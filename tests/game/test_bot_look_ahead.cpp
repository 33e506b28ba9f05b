// The bot's terrain look-ahead on the sample map "Meadow": a hillside ahead
// blocks the straight probe and asks for an evasive turn; open air does
// not; beyond 350 m of the planes (the near-target byte clear) it is off.
#include "game/PlaneFlightFixture.h"
#include "game/YBotAI.h"
#include "game/YBotPlane.h"

namespace {

class BotLookAhead : public PlaneFlight {
protected:
    void SetUp() override
    {
        Start("Meadow");
        m_bot = new YBotPlane(YBotAI::TaskAirRace);
        m_bot->m_flagsB &= ~YActor::FlagOnGround;
    }
    // A point and heading with the ground rising at least `rise` metres
    // within 25 m ahead; false when the map has none.
    bool FindSlope(float rise, YVector& at, float& yaw)
    {
        for (float x = 100.0f; x < m_world.MapWidth() - 100.0f; x += 16.0f)
            for (float z = 100.0f; z < m_world.MapHeight() - 100.0f; z += 16.0f)
                for (float y = 0.0f; y < 360.0f; y += 45.0f) {
                    const YVector d = YVector(0.0f, y, 0.0f).FromAngles();
                    const float here = m_world.TerrainHeightAt(x, z);
                    if (m_world.TerrainHeightAt(x + d.x * 25.0f, z + d.z * 25.0f) - here >= rise) {
                        at = YVector(x, here, z);
                        yaw = y;
                        return true;
                    }
                }
        return false;
    }
    void Put(const YVector& at, float yaw, float height)
    {
        m_world.UnplaceActor(m_bot);
        m_bot->m_position = m_bot->m_previousPosition = YVector(at.x, at.y + height, at.z);
        m_bot->m_angles = YVector(0.0f, yaw, 0.0f);
        m_world.PlaceActor(m_bot, &m_bot->m_position);
        m_bot->GetBrain()->m_evadeWanted = 0;
        m_bot->GetBrain()->m_altitude = height;
    }
    YBotPlane* m_bot = nullptr;
};

}  // namespace

TEST_F(BotLookAhead, AHillsideAheadAsksForAnEvasiveTurn)
{
    YVector at;
    float yaw = 0.0f;
    ASSERT_TRUE(FindSlope(6.0f, at, yaw)) << "Meadow has hills";
    YBotAI* brain = m_bot->GetBrain();
    m_bot->m_nearTarget = 1;
    Put(at, yaw, 2.5f);
    const uint32_t bits = brain->TerrainLookAhead();
    EXPECT_TRUE(bits & YBotAI::ObstacleAhead) << bits;
    EXPECT_EQ(brain->m_evadeWanted, 1);

    // Turned away from the hill, high above the ground: nothing.
    Put(at, WrapAngle360(yaw + 180.0f), 60.0f);
    EXPECT_EQ(brain->TerrainLookAhead(), 0u);
    EXPECT_EQ(brain->m_evadeWanted, 0);

    // Far from both planes the look-ahead is off.
    Put(at, yaw, 2.5f);
    m_bot->m_nearTarget = 0;
    EXPECT_EQ(brain->TerrainLookAhead(), 0u);
    EXPECT_EQ(brain->m_evadeWanted, 0);
}
