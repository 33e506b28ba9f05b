#include <gtest/gtest.h>

#include <cmath>

#include "assets3d/YSMHandle.h"
#include "game/PlaneFlightFixture.h"

namespace {

// A plane that notes which parts the pass had marked when it was touched.
class TouchedPlane : public YPlane {
public:
    using YPlane::YPlane;
    void Touch(YActor*) override
    {
        ++m_touches;
        for (int i = 0; i < PartCount; ++i) m_touchedParts[i] |= m_partHit[i];
    }
    int m_touches = 0;
    uint8_t m_touchedParts[PartCount] = {};
};

// A plane's model standing still in the air as an obstacle, fuselage along z.
class CollisionPass : public PlaneFlight {
protected:
    void SetUp() override
    {
        Start("Meadow");
        YVector at;
        float yaw = 0.0f;
        ASSERT_TRUE(PlayerStart(at, yaw));
        m_wall = new YActor;
        m_wall->SetModelObject(m_world.LoadModel("Dynamic:Planes:YSM:f15plane"));
        ASSERT_NE(m_wall->GetModelInstance(), nullptr);
        m_at = YVector(at.x, m_world.TerrainHeightAt(at.x, at.z) + 40.0f, at.z);
        m_world.AddActor(m_wall);
        m_world.PlaceActor(m_wall, &m_at);
        m_wall->BuildRenderInstance();
        m_engine->m_frameTime = kStep;
    }
    // A plane heading along +x, its centre line the offset beside the
    // obstacle in z, about to pass it: new is half a metre short of it.
    TouchedPlane* Approach(float offset)
    {
        TouchedPlane* plane = new TouchedPlane("p40plane");
        m_world.AddActor(plane);
        plane->m_angles = YVector(0.0f, 90.0f, 0.0f);
        plane->m_position = m_at + YVector(-0.5f, 0.0f, offset);
        plane->BuildRenderInstance();
        return plane;
    }
    YActor* m_wall = nullptr;
    YVector m_at;
};

}  // namespace

TEST_F(CollisionPass, WingClippingReportsThatWing)
{
    struct Row {
        float offset;  // of the plane's centre line from the obstacle's
        uint8_t bot, nearTarget;
        int part;      // the part that strikes, -1 none
    } rows[] = {
        {-0.2f, 0, 0, YPlane::PartLeftWing},  // the fuselage passes clear, the left wing does not
        {0.2f, 0, 0, YPlane::PartRightWing},
        {-0.6f, 0, 0, -1},
        {-0.2f, 1, 0, -1},  // a bot far from its target is swept as one point
        {-0.2f, 1, 1, YPlane::PartLeftWing},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.offset << " bot " << int(row.bot) << " near " << int(row.nearTarget));
        TouchedPlane* plane = Approach(row.offset);
        plane->m_botFlown = row.bot;
        plane->m_nearTarget = row.nearTarget;
        const YVector now = plane->m_position, before = now - YVector(1.0f, 0.0f, 0.0f);
        CollideActorParts(plane, now, before);
        for (int part = 0; part < YPlane::PartCount; ++part)
            EXPECT_EQ(plane->m_touchedParts[part], part == row.part) << "part " << part;
        EXPECT_EQ(plane->m_touches > 0, row.part >= 0);
        if (!row.bot) EXPECT_NEAR(plane->m_motionDirection.x, 1.0f, 1e-5f);
        m_world.RemoveActor(plane, 1);
    }
}

TEST_F(CollisionPass, LookAheadSkipPassesThrough)
{
    for (uint8_t skip : {0, 1}) {
        SCOPED_TRACE(int(skip));
        TouchedPlane* plane = Approach(0.0f);
        plane->m_lookAheadSkip = skip;
        const YVector now = plane->m_position;
        // Straight through the obstacle's fuselage.
        CollideActorParts(plane, now + YVector(1.0f, 0.0f, 0.0f), now);
        EXPECT_EQ(plane->m_touches > 0, !skip);
        m_world.RemoveActor(plane, 1);
    }
}

TEST_F(CollisionPass, FrameOfZeroLeavesPositionsFinite)
{
    // A pushing actor is pulled back to the contact and slid along; with no
    // time passed there is no velocity to slide by.
    for (float dt : {0.0f, kStep}) {
        SCOPED_TRACE(dt);
        m_engine->m_frameTime = dt;
        YActor* pusher = new YActor;
        pusher->m_flagsA |= YActor::FlagCollide | YActor::FlagCollidePush;
        m_world.AddActor(pusher);
        const YVector before = m_at + YVector(-0.5f, 0.03f, 0.0f), after = m_at + YVector(0.5f, 0.03f, 0.0f);
        pusher->m_position = after;
        CollideActorParts(pusher, after, before);
        const YVector& p = pusher->m_position;
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
        EXPECT_LT(p.x, after.x) << "held back at the obstacle";
        EXPECT_GE(p.x, before.x - 0.01f);
        m_world.RemoveActor(pusher, 1);
    }
}

TEST_F(CollisionPass, APlaneNeverStrikesItsOwnModel)
{
    // Far from the obstacle, registered in the grid where its sweeps pass.
    TouchedPlane* plane = Approach(-5.0f);
    m_world.PlaceActor(plane, &plane->m_position);
    plane->BuildRenderInstance();
    const YVector now = plane->m_position;
    CollideActorParts(plane, now, now - YVector(0.3f, 0.0f, 0.0f));
    EXPECT_EQ(plane->m_touches, 0);
    EXPECT_EQ(plane->m_position.x, now.x);
}
