// The actor base: flags by name, models, children, sight, headings, angle
// locks, the render record, the actor lock and the archive form.
#include <gtest/gtest.h>

#include <cmath>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "RecordBytes.h"
#include "platform/mfc.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"

namespace {
const float kPi = 3.14159265358979f;

YVector AtYaw(float degrees, float distance)
{
    const double r = degrees * 3.14159265358979 / 180.0;
    return YVector(static_cast<float>(std::sin(r) * distance), 0.0f, static_cast<float>(std::cos(r) * distance));
}

}  // namespace

TEST(Actor, FlagsOfBothWordsByNameInAnyCase)
{
    YActor actor;
    EXPECT_EQ(0x802B1u, actor.m_flagsA);
    EXPECT_EQ(0u, actor.m_flagsB);
    struct Case {
        const char* name;
        bool on;
        uint32_t a;  // words afterwards
        uint32_t b;
    };
    const Case cases[] = {
        {"visible", false, 0x802B0, 0},        {"DESTROYME", true, 0x802B8, 0},
        {"flying", true, 0x802B8, 0x1},        {"OnGround", true, 0x802B8, 0x41},
        {"bobbing", true, 0x802B8, 0x241},     {"ITTERATIVE", true, 0x802BA, 0x241},
        {"NoMech", true, 0x4802BA, 0x241},     {"noupdates", true, 0xC802BA, 0x241},
        {"SpriteActor", true, 0x2C802BA, 0x241}, {"Unknown", true, 0x2C802BA, 0x241},
        {"", true, 0x2C802BA, 0x241},          {"FLYING", false, 0x2C802BA, 0x240},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        actor.SetFlag(c.name, c.on);
        EXPECT_EQ(c.a, actor.m_flagsA);
        EXPECT_EQ(c.b, actor.m_flagsB);
        const bool known = std::string(c.name) != "Unknown" && *c.name;
        EXPECT_EQ(known && c.on ? 1 : 0, actor.GetFlag(c.name));
    }
    actor.SetFlag(nullptr, true);
    EXPECT_EQ(0, actor.GetFlag(nullptr));
    // "Collide" does not catch "CollidePush": names match whole.
    actor.m_flagsA = YActor::FlagCollidePush;
    EXPECT_EQ(0, actor.GetFlag("collide"));
    EXPECT_EQ(1, actor.GetFlag("collidepush"));
}

TEST(Actor, ChildrenLoseTheirGroundBitsAndAreHeldOnce)
{
    YActor parent, child, grandchild;
    child.SetFlag("Trace", true);
    parent.AddChild(&child);
    parent.AddChild(&child);
    ASSERT_NE(nullptr, parent.GetChildren());
    EXPECT_EQ(1, parent.GetChildCount());
    EXPECT_EQ(&parent, child.GetParent());
    // Collide, ClipToGround, ClipToWorld and PitchToSlope go; IsChild and Flying come.
    EXPECT_EQ((YActor::FlagsAReset & ~YActor::FlagsLostAsChild) | YActor::FlagTrace | YActor::FlagIsChild,
              child.m_flagsA);
    EXPECT_EQ(YActor::FlagFlying, child.m_flagsB);
    // The render record lists the child's record.
    EXPECT_EQ(1, parent.m_render.m_childCount);
    ASSERT_NE(nullptr, parent.m_render.m_children);
    EXPECT_EQ(&child.m_render, parent.m_render.m_children[0]);

    // No loops: itself and its ancestors are refused.
    child.AddChild(&grandchild);
    grandchild.AddChild(&parent);
    child.AddChild(&child);
    EXPECT_EQ(nullptr, parent.GetParent());
    EXPECT_FALSE(child.HasChild(&child));
    EXPECT_TRUE(parent.IsRelatedTo(&grandchild, false, true));
    EXPECT_TRUE(grandchild.IsRelatedTo(&parent, true, false));
    EXPECT_FALSE(grandchild.IsRelatedTo(&parent, false, true));

    // Letting go clears IsChild only: the lost bits stay lost.
    parent.RemoveChild(&child);
    EXPECT_EQ(nullptr, child.GetParent());
    EXPECT_EQ(0u, child.m_flagsA & (YActor::FlagIsChild | YActor::FlagsLostAsChild));
    EXPECT_EQ(0, parent.GetChildCount());
    EXPECT_EQ(0, parent.m_render.m_childCount);
}

TEST(Actor, DeletingAnActorUnbindsItBothWays)
{
    YActor parent, child;
    YActor* middle = new YActor;
    parent.AddChild(middle);
    middle->AddChild(&child);
    delete middle;
    EXPECT_EQ(0, parent.GetChildCount());
    EXPECT_EQ(nullptr, parent.m_render.m_children);
    EXPECT_EQ(nullptr, child.GetParent());
}

TEST(Actor, SightStopsAtItsAnglesRangeAndBehind)
{
    YActorWorld world;  // no renderer: every line is clear
    YActor eye;
    world.AddActor(&eye);
    struct Case {
        float yaw;
        float distance;
        bool point;  // as a point (30 degrees) or an actor (35)
        bool seen;
    };
    const Case cases[] = {
        {29.9f, 10, true, true},   {30.01f, 10, true, false},  {-29.9f, 10, true, true}, {35.0f, 10, true, false},
        {34.9f, 10, false, true},  {35.0f, 10, false, false}, {180.0f, 1, true, false}, {180.0f, 1, false, false},
        {0.0f, 19.9f, true, true}, {0.0f, 20.0f, true, false}, {0.0f, 20.5f, false, false},
    };
    // Exactly 30 degrees as floats: sqrt(3) rounds below, the angle above.
    EXPECT_FALSE(eye.CanSeePointFrom(YVector(), YVector(), YVector(1, 0, std::sqrt(3.0f)), 20, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.yaw << " degrees, " << c.distance << " m, point " << c.point);
        if (c.point) {
            EXPECT_EQ(c.seen, eye.CanSeePointFrom(YVector(), YVector(), AtYaw(c.yaw, c.distance), 20, 0));
        } else {
            YActor other;
            other.m_position = AtYaw(c.yaw, c.distance);
            EXPECT_EQ(c.seen, eye.CanSeeActorFrom(YVector(), YVector(), &other, 20, 0));
        }
    }
    // Actors are measured flat: 30 m up does not put one out of range.
    YActor above;
    above.m_position = YVector(0, 30, 5);
    EXPECT_TRUE(eye.CanSeeActorFrom(YVector(), YVector(), &above, 20, 0));
    // Without a world nothing is seen.
    YActor lone;
    EXPECT_FALSE(lone.CanSeePointFrom(YVector(), YVector(), YVector(0, 0, 5), 20, 0));
    world.Detach(&eye, 1);
}

TEST(Actor, HeadingToIsSignedAndOverwritesTheDirection)
{
    YActor actor;
    struct Case {
        float direction;  // yaw of the direction
        float heading;    // the actor's yaw
        float expected;
    };
    const Case cases[] = {{270, 0, -90}, {90, 0, 90}, {10, 350, 20}, {350, 10, -20}, {179, 0, 179}, {45, 45, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.direction << " from " << c.heading);
        actor.m_angles = YVector(0, c.heading, 0);
        YVector direction = AtYaw(c.direction, 5.0f);
        const float yaw = actor.GetHeadingTo(direction);
        EXPECT_NEAR(c.expected, yaw, 0.05f);
        EXPECT_NEAR(0.0f, std::remainder(direction.y - c.expected, 360.0f), 0.05f) << "direction holds angles";
    }
}

TEST(Actor, LockArcsAcross360)
{
    YActor actor;
    struct Case {
        float centre, give, angle;
        bool moved;
        float result;
    };
    const Case cases[] = {
        {0, 20, 10, false, 10},   {0, 20, 350, false, 350}, {0, 20, 30, true, 20},   {0, 20, 330, true, 340},
        {0, 20, 185, true, 340},  {0, 20, 175, true, 20},   {90, 10, 85, false, 85}, {90, 10, 265, true, 100},
        {350, 20, 5, false, 5},   {350, 20, 15, true, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.centre << " +- " << c.give << " at " << c.angle);
        float angle = c.angle;
        EXPECT_EQ(c.moved, actor.ClampAngleToLock(c.centre, c.give, angle));
        EXPECT_NEAR(c.result, angle, 1e-3f);
    }
    // The reset centres lock nothing; a set one holds pitch and yaw.
    actor.m_angles = YVector(123, 321, 7);
    actor.ApplyAngleLocks();
    EXPECT_EQ(YVector(123, 321, 7), actor.m_angles);
    actor.m_lockedAngles = YVector(0, 180, 0);
    actor.m_lockedGive = YVector(10, 30, 0);
    actor.ApplyAngleLocks();
    EXPECT_NEAR(10, actor.m_angles.x, 1e-3f);
    EXPECT_NEAR(210, actor.m_angles.y, 1e-3f);
}

TEST(Actor, RenderRecordInRenderUnitsRadiansAndOffsets)
{
    YActor actor;
    YSMObject shape;
    shape.m_frames.emplace_back(new YSMFrame);
    actor.SetModelObject(shape.CreateHandle());
    actor.m_position = YVector(1, 2, 3);
    actor.m_angles = YVector(90, 180, 0);
    actor.m_offsetPosition = YVector(1, 0, 0);
    actor.m_scale = 2.5f;
    YRenderInstance* record = actor.BuildRenderInstance();
    ASSERT_EQ(&actor.m_render, record);
    EXPECT_EQ(32.0f, record->m_position[0]) << "offsets count under DescribeOffsets";
    EXPECT_EQ(48.0f, record->m_position[2]);
    EXPECT_NEAR(kPi / 2, record->m_angles[0], 1e-6f);
    EXPECT_NEAR(kPi, record->m_angles[1], 1e-6f);
    EXPECT_EQ(2.5f, record->m_scale);
    EXPECT_EQ(1u, record->m_flags & YActor::RenderDrawn);
    actor.SetFlag("DescribeOffsets", false);
    actor.SetFlag("Visible", false);
    actor.BuildRenderInstance();
    EXPECT_EQ(16.0f, record->m_position[0]);
    EXPECT_EQ(0u, record->m_flags & YActor::RenderDrawn);
    // A model let go leaves nothing drawn.
    actor.SetFlag("Visible", true);
    actor.SetModel("");
    EXPECT_EQ(nullptr, record->m_model);
    actor.BuildRenderInstance();
    EXPECT_EQ(0u, record->m_flags & YActor::RenderDrawn);
}

TEST(Actor, RenderRecordWaitsForTheActorLock)
{
    YActor actor;
    std::promise<void> held, release;
    std::future<void> released = release.get_future();
    std::thread holder([&] {
        CSingleLock lock(&YActor::GetActorLock(), TRUE);
        held.set_value();
        released.wait();
    });
    held.get_future().wait();
    const DWORD before = GetTickCount();
    EXPECT_EQ(nullptr, actor.BuildRenderInstance());
    const DWORD waited = GetTickCount() - before;
    release.set_value();
    holder.join();
    EXPECT_GE(waited, 150u);
    EXPECT_EQ(&actor.m_render, actor.BuildRenderInstance());
}

TEST(Actor, ArchiveRecordVersionsOneAndTwo)
{
    YActor actor;
    actor.m_name = "Balloon01";
    actor.m_position = YVector(1, 2, 3);
    actor.m_lockedGive = YVector(4, 5, 6);
    actor.m_targetId = 7;
    actor.m_flagsB = 0x41;
    const std::vector<uint8_t> bytes = Store(actor);
    // Version, two strings, seven floats, two words, two floats, fifteen vectors, the target.
    ASSERT_EQ(4u + (4 + 9) + (4 + 0) + 7 * 4 + 2 * 4 + 2 * 4 + 15 * 12 + 4, bytes.size());
    EXPECT_EQ(2u, bytes[0]);
    EXPECT_EQ(9u, bytes[4]);
    EXPECT_EQ(0, memcmp(&bytes[8], "Balloon01", 9));
    float x;
    memcpy(&x, &bytes[4 + 13 + 4 + 28 + 16], 4);  // position.x
    EXPECT_EQ(1.0f, x);

    YActor copy;
    ASSERT_TRUE(Load(copy, bytes));
    EXPECT_STREQ("Balloon01", copy.m_name);
    EXPECT_EQ(YVector(1, 2, 3), copy.m_position);
    EXPECT_EQ(YVector(4, 5, 6), copy.m_lockedGive);
    EXPECT_EQ(7, copy.m_targetId);
    EXPECT_EQ(0x41u, copy.m_flagsB);
    EXPECT_EQ(bytes, Store(copy));

    // Version 1 has no target id: the one held stays.
    std::vector<uint8_t> first(bytes.begin(), bytes.end() - 4);
    first[0] = 1;
    YActor older;
    older.m_targetId = 12;
    ASSERT_TRUE(Load(older, first));
    EXPECT_EQ(12, older.m_targetId);
    EXPECT_EQ(YVector(1, 2, 3), older.m_position);

    // A short record fails whole: nothing of it is kept.
    std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 10);
    YActor kept;
    kept.m_name = "Kept";
    EXPECT_FALSE(Load(kept, cut));
    EXPECT_STREQ("Kept", kept.m_name);
    EXPECT_EQ(YVector(), kept.m_position);
}
