// Sprite actors: entering the world, and turning toward the camera by their
// orientation mode.
#include <cmath>

#include "game/ModeActorsFixture.h"
#include "game/YBalloonString.h"
#include "game/YCompass.h"
#include "game/YDirectionArrow.h"

TEST_F(ModeActors, SetSpriteEntersTheActiveWorldAsAFlyingSprite)
{
    YBalloonString* string = new YBalloonString(YVector(10.0f, 20.0f, 30.0f));
    EXPECT_GE(m_world.IndexOf(string), 0);
    EXPECT_EQ(string->m_position, YVector(10.0f, 20.0f, 30.0f));
    EXPECT_STREQ(string->m_modelName, "Balloon-string--24-0");
    EXPECT_TRUE(string->m_flagsB & YActor::FlagFlying);
    EXPECT_FALSE(string->m_flagsA & YActor::FlagPitchToSlope);
    EXPECT_TRUE(string->m_flagsA & YActor::FlagSpriteActor);
    EXPECT_TRUE(string->m_flagsA & YActor::FlagNoMech);
    EXPECT_EQ(string->m_soundNear, 25);
    EXPECT_EQ(string->m_soundFar, 400);
}

TEST_F(ModeActors, SpritesTurnTowardTheCameraByTheirMode)
{
    YActor* camera = new YActor;
    m_world.AddActor(camera);
    camera->m_position = YVector(0.0f, 50.0f, 0.0f);
    camera->m_angles = YVector(20.0f, 0.0f, 0.0f);
    const YVector at(30.0f, 10.0f, 40.0f);
    YVector toward = at - camera->m_position;
    toward.Normalize();
    const float yaw = toward.ToAngles().y;
    const YVector own(5.0f, 6.0f, 7.0f);
    const struct {
        uint32_t mode;
        YVector angles;
    } rows[] = {
        {0, YVector(-20.0f, yaw, 0.0f)}, {2, YVector(-20.0f, yaw, 0.0f)}, {10, YVector(-20.0f, yaw, 0.0f)},
        {9, YVector(0.0f, yaw, 0.0f)},   {3, own},                        {7, own},
        {42, own},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mode);
        YSpriteActor sprite(row.mode);
        sprite.m_world = &m_world;
        sprite.m_position = at;
        sprite.m_angles = own;
        m_world.SetViewActor(nullptr);
        sprite.BuildRenderInstance();
        EXPECT_EQ(sprite.m_angles, own) << "no camera: the angles stay";
        m_world.SetViewActor(camera);
        sprite.BuildRenderInstance();
        EXPECT_NEAR(sprite.m_angles.x, row.angles.x, 1e-4f);
        EXPECT_NEAR(sprite.m_angles.y, row.angles.y, 1e-4f);
        EXPECT_NEAR(sprite.m_angles.z, row.angles.z, 1e-4f);
    }
    m_world.SetViewActor(nullptr);
}

TEST_F(ModeActors, DirectionArrowsTakeTheirImageAndMove)
{
    const char* const keys[] = {"TargetIndicator-Direction_arrow_u--24-0", "TargetIndicator-Direction_arrow_d--24-0",
                                "TargetIndicator-Direction_arrow_l--24-0", "TargetIndicator-Direction_arrow_r--24-0",
                                "TargetIndicator-Direction_arrow_all--24-0", "TargetIndicator-Direction_arrow_all--24-0"};
    for (int kind = 0; kind < 6; ++kind) {
        YDirectionArrow* arrow = new YDirectionArrow(YVector(1.0f, 2.0f, 3.0f), kind);
        EXPECT_STREQ(arrow->m_modelName, keys[kind]) << kind;
        EXPECT_GE(m_world.IndexOf(arrow), 0);
        EXPECT_FALSE(arrow->m_flagsA & YActor::FlagNoMech) << "the mechanical pass moves it";
        EXPECT_EQ(arrow->m_scale, 15.0f);
        EXPECT_EQ(arrow->m_orientation, 10u);
    }
}

TEST_F(ModeActors, CompassMarkersOfOneHeadingAreOnePlacing)
{
    YCompass compass;
    const float r = compass.m_radius;
    auto same = [](const YCompass& a, const YCompass& b) {
        for (int i = 0; i < 4; ++i)
            if (a.m_markers[i].x != b.m_markers[i].x || a.m_markers[i].y != b.m_markers[i].y) return false;
        return true;
    };
    const float pairs[][2] = {{270.0f, -90.0f}, {0.0f, 360.0f}, {45.0f, -315.0f}, {180.0f, 540.0f}, {89.5f, 449.5f}};
    for (const auto& pair : pairs) {
        YCompass a, b;
        a.PlaceMarkers(pair[0]);
        b.PlaceMarkers(pair[1]);
        EXPECT_TRUE(same(a, b)) << pair[0] << " and " << pair[1];
    }
    // Every marker lies on the dial, a quarter turn from the next.
    compass.PlaceMarkers(30.0f);
    for (const auto& marker : compass.m_markers) {
        const float dx = static_cast<float>(marker.x - compass.m_centreX), dy = static_cast<float>(marker.y - compass.m_centreY);
        EXPECT_NEAR(std::sqrt(dx * dx + dy * dy), r, 1.5f);
    }
    // Slots 1 and 2 (from 0: 0 and 1) are half a turn apart.
    EXPECT_NEAR(compass.m_markers[0].x + compass.m_markers[1].x, 2 * compass.m_centreX, 2);
    EXPECT_NEAR(compass.m_markers[0].y + compass.m_markers[1].y, 2 * compass.m_centreY, 2);
    // The needles sit 65 from the centre, mirrored about the vertical.
    for (const auto& needle : compass.m_needles) {
        const float dx = static_cast<float>(needle.x - compass.m_centreX), dy = static_cast<float>(needle.y - compass.m_centreY);
        EXPECT_NEAR(std::sqrt(dx * dx + dy * dy), 65.0f, 1.5f);
    }
    EXPECT_EQ(compass.m_needles[0].y, compass.m_needles[1].y);
    EXPECT_NEAR(compass.m_needles[0].x - 540, 540 - compass.m_needles[1].x, 1) << "the sums are truncated";
}
