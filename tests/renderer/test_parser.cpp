// The renderer interface's own operations on the Direct3D renderer: names,
// scale table, point transform, picking, clock, overlay colours and the
// helpers the sessions use.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "foundation/YFastMath.h"
#include "foundation/YVector.h"
#include "renderer/CTexRen.h"
#include "engine/YGameObjects.h"
#include "renderer/YD3D6Parser.h"

namespace {
const float kPi = 3.14159265f;

struct Parser : ::testing::Test {
    YD3D6Parser parser;

    void Pick(int x, int y, float* d) { ASSERT_EQ(parser.GetPickDirection(x, y, d), 1); }
};

void ExpectDirection(const float* d, float x, float y, float z, const char* what)
{
    EXPECT_NEAR(d[0], x, 1e-3f) << what;
    EXPECT_NEAR(d[1], y, 1e-3f) << what;
    EXPECT_NEAR(d[2], z, 1e-3f) << what;
}
}  // namespace

TEST_F(Parser, NamesAndRunTimeClasses)
{
    EXPECT_STREQ(parser.GetName(), "VT3 D3D6 Parser");
    EXPECT_STREQ(parser.YParser::GetName(), "VT3 Generic Parser");
    EXPECT_STREQ(parser.GetRuntimeClass()->m_lpszClassName, "YD3D6Parser");
    EXPECT_TRUE(parser.IsKindOf(RUNTIME_CLASS(YParser)));
}

TEST_F(Parser, ScaleTableIgnoresIndexesOutsideIt)
{
    parser.SetScaleEntry(0, 1.5f, 7, 8);
    parser.SetScaleEntry(24, 2.5f, 9, 10);
    for (int16_t bad : {int16_t(-1), int16_t(25)}) parser.SetScaleEntry(bad, 9.0f, 1, 1);
    struct Case {
        int16_t index;
        float value;
        DWORD a, b;
    };
    const Case cases[] = {{0, 1.5f, 7, 8}, {24, 2.5f, 9, 10}, {1, 0.0f, 0, 0}, {-1, -5.0f, 5, 5}, {25, -5.0f, 5, 5}};
    for (const Case& c : cases) {
        float value = -5.0f;
        DWORD a = 5, b = 5;
        parser.GetScaleEntry(c.index, &value, &a, &b);
        EXPECT_EQ(value, c.value) << c.index;
        EXPECT_EQ(a, c.a) << c.index;
        EXPECT_EQ(b, c.b) << c.index;
    }
}

TEST_F(Parser, TransformPointUsesTheFourthRowAsTranslation)
{
    YMatrix m;
    MakeIdentityMatrix(&m);
    float p[3] = {1.0f, -2.0f, 3.5f};
    parser.TransformPoint(p, m);
    ExpectDirection(p, 1.0f, -2.0f, 3.5f, "identity");

    MatrixRotationY(&m, kPi / 2);
    m.m[3][0] = 10.0f;
    m.m[3][1] = 20.0f;
    m.m[3][2] = 30.0f;
    float q[3] = {1.0f, 2.0f, 0.0f};
    parser.TransformPoint(q, m);
    // x' = m00 x + m10 y + m20 z + m30, and so on.
    ExpectDirection(q, m.m[0][0] + 10.0f, 2.0f + 20.0f, m.m[0][2] + 30.0f, "rotated and moved");
}

// A pick at the screen centre looks along the camera; off-centre picks
// spread by the tangent of half the field of view over the half-width.
TEST_F(Parser, PickDirectionFollowsScreenAndCamera)
{
    parser.SetProjection(60.0f, 60.0f, 1.0f, 3000.0f);
    parser.SetViewRects(0, 0, 640, 480, 0, 0, 640, 480);
    const float t = std::tan(kPi / 6);
    float d[3];

    Pick(320, 240, d);
    ExpectDirection(d, 0.0f, 0.0f, 1.0f, "centre");

    Pick(640, 240, d);
    float n = std::sqrt(t * t + 1.0f);
    ExpectDirection(d, t / n, 0.0f, 1.0f / n, "right edge");

    Pick(320, 80, d);  // 160 pixels up of a 320-pixel half-width
    n = std::sqrt(0.25f * t * t + 1.0f);
    ExpectDirection(d, 0.0f, 0.5f * t / n, 1.0f / n, "up");

    for (float yaw : {kPi / 2, -kPi / 3, kPi}) {
        parser.SetCameraAngles(0.0f, yaw, 0.0f);
        Pick(320, 240, d);
        YVector forward = YVector(0.0f, yaw * 57.29578f, 0.0f).FromAngles();
        ExpectDirection(d, forward.x, forward.y, forward.z, "turned camera");
    }
}

// Before any view rectangle is set the half-width is 0: the pick looks
// straight along the camera instead of dividing by it.
TEST_F(Parser, PickBeforeTheViewIsSetLooksForward)
{
    parser.SetProjection(60.0f, 60.0f, 1.0f, 3000.0f);
    parser.SetCameraAngles(0.0f, kPi / 2, 0.0f);
    float d[3];
    Pick(100, 50, d);
    YVector forward = YVector(0.0f, 90.0f, 0.0f).FromAngles();
    ExpectDirection(d, forward.x, forward.y, forward.z, "no view");
    for (float v : d) EXPECT_TRUE(std::isfinite(v));

    float origin[3], ray[3], angles[3];
    parser.SetCameraPosition(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(parser.GetViewRay(10, 10, origin, ray), 1);
    ExpectDirection(origin, 1.0f, 2.0f, 3.0f, "ray origin");
    EXPECT_EQ(parser.GetViewAngles(10, 10, angles), 1);
    EXPECT_NEAR(angles[1], kPi / 2, 1e-3f);
}

TEST_F(Parser, CameraYCarriesTheEyeOffset)
{
    g_eyeOffset = 250;
    parser.SetCameraPosition(1.0f, 2.0f, 3.0f);
    g_eyeOffset = 0;
    float x, y, z;
    parser.GetCameraPosition(&x, &y, &z);
    EXPECT_EQ(y, 252.0f);
}

TEST_F(Parser, ClockFrameCountAndCallbacks)
{
    const time_t t = parser.SetClock(1999, 6, 21, 12, 30, 15);
    EXPECT_EQ(t, CTime(1999, 6, 21, 12, 30, 15).GetTime());
    EXPECT_EQ(parser.GetClock(), t);
    parser.CountFrame();
    parser.CountFrame();
    EXPECT_EQ(parser.GetFrameCount(), 2);
    EXPECT_EQ(parser.GetAmbientBlock()[5], 0u);
}

// Overlay colours keep their argument order; a push holds for its frames.
TEST_F(Parser, OverlayColourPushHoldsForItsFrames)
{
    float c[4];
    parser.SetOverlayColor(0.1f, 0.2f, 0.3f, 0.4f);
    parser.GetOverlayColor(&c[0], &c[1], &c[2], &c[3]);
    EXPECT_EQ(c[0], 0.1f);
    EXPECT_EQ(c[1], 0.2f);
    EXPECT_EQ(c[2], 0.3f);
    EXPECT_EQ(c[3], 0.4f);

    parser.PushOverlayColor(3, 1.0f, 0.0f, 0.0f, 0.5f);
    for (int frame = 1; frame <= 3; ++frame) {
        parser.GetOverlayColor(&c[0], &c[1], &c[2], &c[3]);
        EXPECT_EQ(c[0], 1.0f) << frame;
        parser.PopOverlayColor();
    }
    parser.GetOverlayColor(&c[0], &c[1], &c[2], &c[3]);
    EXPECT_EQ(c[0], 0.1f);

    // A second push while held replaces colour and count, keeps the first saved colour.
    parser.PushOverlayColor(2, 1.0f, 0.0f, 0.0f, 0.5f);
    parser.PushOverlayColor(1, 0.0f, 1.0f, 0.0f, 0.5f);
    parser.PopOverlayColor();
    parser.GetOverlayColor(&c[0], &c[1], &c[2], &c[3]);
    EXPECT_EQ(c[0], 0.1f);
}

TEST_F(Parser, ComposeItemMatrixPlacesAModelRecord)
{
    YSMHandle handle;
    YRenderInstance record;
    record.m_model = &handle;
    record.m_scale = 2.0f;
    record.m_position[0] = 5.0f;
    record.m_position[1] = 6.0f;
    record.m_position[2] = 7.0f;
    YMatrix m;
    MakeIdentityMatrix(&m);
    parser.ComposeItemMatrix(nullptr, &record, &m, 0);
    float p[3] = {1.0f, 0.0f, 0.0f};
    parser.TransformPoint(p, m);
    ExpectDirection(p, 7.0f, 6.0f, 7.0f, "scaled and moved");

    for (int16_t kind : {int16_t(YRenderInstance::KindTerrainDecal), int16_t(YRenderInstance::KindModel)}) {
        YRenderInstance other = record;
        other.m_kind = kind;
        if (kind == YRenderInstance::KindModel) other.m_model = nullptr;
        YMatrix u;
        MakeIdentityMatrix(&u);
        parser.ComposeItemMatrix(nullptr, &other, &u, 0);
        float q[3] = {1.0f, 0.0f, 0.0f};
        parser.TransformPoint(q, u);
        ExpectDirection(q, 1.0f, 0.0f, 0.0f, "not a model handle");
    }
}

// A part attached to a marker group of an animated parent (a muzzle that
// moves between two key frames): the point lands between the marker's two
// places by how far the key has run, and only with animate.
TEST_F(Parser, ComposeItemMatrixFollowsTheParentsAttachmentFrame)
{
    YSMObject model;
    for (float x : {2.0f, 4.0f}) {
        std::unique_ptr<YSMFrame> frame(new YSMFrame);
        // The pose record holds the negated ends of the marker's edge.
        frame->poses.push_back({{-x, -1.0f, -3.0f, -x, -1.0f, -5.0f, 0.0f, 0.0f, 0.0f, 2.0f}});
        model.m_frames.push_back(std::move(frame));
    }
    std::unique_ptr<YSMGroup> group(new YSMGroup);
    group->name = "Muzzle";
    model.m_groups.push_back(std::move(group));
    std::unique_ptr<YSMAnim> anim(new YSMAnim);
    anim->keyCount = 2;
    anim->keyFrames = {0, 1};
    anim->keyDurations = {1.0f, 1.0f};
    anim->total = 2.0f;
    model.m_anims.push_back(std::move(anim));
    model.m_frameCount = 2, model.m_groupCount = 1, model.m_animCount = 1;
    YSMHandle* handle = model.CreateHandle();
    handle->SetAnimated(true);
    handle->PlayAnimation(0, 1.0f, 0x1, 0, 0, 0);
    handle->UpdateAnimations(0.25f);

    YRenderInstance parent, part;
    parent.m_model = handle;
    parent.m_baseScale = 2.0f;
    YSMHandle partHandle;
    part.m_model = &partHandle;
    part.m_attachIndex = 0;
    part.m_blend2 = 0.5f;
    const struct {
        int animate;
        float x;
    } cases[] = {{1, 2.5f}, {0, 2.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.animate);
        YMatrix m;
        MakeIdentityMatrix(&m);
        parser.ComposeItemMatrix(&parent, &part, &m, c.animate);
        float p[3] = {0.0f, 0.0f, 0.0f};
        parser.TransformPoint(p, m);
        ExpectDirection(p, c.x, 1.0f, 4.0f, "at the muzzle");
        // The part keeps the attachment frame: the stored ends' mean, the frame's scale.
        EXPECT_FLOAT_EQ(-c.x, part.m_position[0]);
        EXPECT_FLOAT_EQ(-4.0f, part.m_position[2]);
        EXPECT_FLOAT_EQ(2.0f, part.m_scale);
    }
    delete handle;
}

TEST(ParserPaths, DirectoryAndFileName)
{
    struct Case {
        const char* path;
        const char* dir;
        const char* file;
    };
    const Case cases[] = {
        {"maps\\alps\\alps.zon", "maps\\alps\\", "alps.zon"},
        {"models/plane.ysm", "models/", "plane.ysm"},
        {"a\\b/c", "a\\b/", "c"},
        {"plane.ysm", "", "plane.ysm"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(YParser::GetPathDirectory(c.path).GetBuffer(), c.dir) << c.path;
        EXPECT_STREQ(YParser::GetPathFileName(c.path).GetBuffer(), c.file) << c.path;
    }
}

// The viewer of size n sets its far plane at (n - 2) x 128, which for small
// sizes would not lie beyond the near plane.
TEST(ParserHelpers, ViewerFarPlaneStaysBeyondNear)
{
    EXPECT_EQ(YD3D6Parser::ViewerFarPlane(30, 1.0f), 28.0f * 128.0f);
    for (int32_t size : {-5, 0, 1, 2}) EXPECT_GT(YD3D6Parser::ViewerFarPlane(size, 1.0f), 1.0f) << size;
    EXPECT_GT(YD3D6Parser::ViewerFarPlane(3, 200.0f), 200.0f);

    YD3D6Parser parser;
    parser.InitSession(1, nullptr, 0);
    float fov, fov2, nearPlane, farPlane;
    parser.GetProjection(&fov, &fov2, &nearPlane, &farPlane);
    EXPECT_GT(farPlane, nearPlane);
    EXPECT_EQ(parser.GetSessionMode(), 1);
}

TEST(ParserHelpers, SoftwareRasteriserByMode)
{
    const struct {
        int32_t mode;
        float scale;
    } cases[] = {{0, 1.0f}, {1, 2.0f}, {2, 4.0f}, {3, 1.0f}, {-1, 1.0f}, {0x10002, 4.0f}};
    for (const auto& c : cases) {
        std::unique_ptr<CTexRen> ren(YD3D6Parser::CreateSoftwareRasteriser(c.mode));
        EXPECT_EQ(ren->GetSampleScaleX(), c.scale) << c.mode;
    }
}

TEST(ParserHelpers, GreyRampRunsFromWhiteToBlack)
{
    uint16_t ramp[256];
    YD3D6Parser::BuildGreyRamp(ramp);
    EXPECT_EQ(ramp[0], 0xFFFF);
    EXPECT_EQ(ramp[255], 0x0000);
    EXPECT_EQ(ramp[128], (15 << 11) | (31 << 5) | 15);
    for (int k = 1; k < 256; ++k) EXPECT_LE(ramp[k] & 0x1F, ramp[k - 1] & 0x1F) << k;
}

namespace {
// Records the path it is asked for and hands out one handle.
class RecordingParser : public YD3D6Parser {
public:
    RecordingParser()
    {
        YSMAnim* anim = new YSMAnim;
        anim->name = "spin";
        anim->keyCount = 1;
        anim->keyFrames = {0};
        anim->keyDurations = {1.0f};
        anim->total = 1.0f;
        model.m_frames.emplace_back(new YSMFrame);
        model.m_anims.emplace_back(anim);
        handle = model.CreateHandle();
        handle->SetAnimated(true);
    }
    ~RecordingParser() override { delete handle; }
    YSMHandle* CreateModelHandle(const char* path) override
    {
        asked = path ? path : "(null)";
        return handle;
    }
    std::string asked;
    YSMObject model;
    YSMHandle* handle = nullptr;
};
}  // namespace

// Without the model in a catalog the handle is asked for an empty path; the
// catalog form also stops the new handle's animation.
TEST(ParserModels, HandlesByNameWithoutACatalogItem)
{
    RecordingParser parser;
    parser.asked = "unset";
    EXPECT_EQ(parser.CreateModelHandleByName("plane", "Models"), parser.handle);
    EXPECT_EQ(parser.asked, "");
    parser.handle->PlayAnimation(0, 1.0f, YSMHandle::kPlayLoop, 0, 0, 0);
    EXPECT_TRUE(parser.handle->IsPlaying());
    parser.asked = "unset";
    EXPECT_EQ(parser.CreateModelHandleFromCatalog("plane", "Models", "YFM"), parser.handle);
    EXPECT_EQ(parser.asked, "");
    EXPECT_FALSE(parser.handle->IsPlaying());
}

TEST(ParserSessions, LevelsModesAndTheSilhouetteRasteriser)
{
    YD3D6Parser parser;
    EXPECT_EQ(parser.GetInitLevelCount(2), 5);
    EXPECT_EQ(parser.GetInitLevelCount(7), 1);
    EXPECT_EQ(parser.GetEndLevelCount(2), 1);
    EXPECT_EQ(parser.InitSession(2, nullptr, 5), 1);
    EXPECT_EQ(parser.GetSessionMode(), 2);
    EXPECT_EQ(parser.m_softwareRasteriser, nullptr);

    // Map level 0 takes the anti-aliasing word of the engine's descriptor;
    // no map is loaded yet, so the level reports failure.
    YSessionDesc session;
    memset(session.m_parameters, 0, sizeof session.m_parameters);
    session.m_parameters[YD3D6Parser::kAntiAliasWord - 1] = 1;
    EXPECT_EQ(parser.InitSession(2, &session, 0), 0);
    ASSERT_NE(parser.m_softwareRasteriser, nullptr);
    EXPECT_EQ(parser.m_softwareRasteriser->GetSampleScaleX(), 2.0f);
    ASSERT_NE(parser.m_greyRamp, nullptr);
    EXPECT_EQ(parser.m_greyRamp[0], 0xFFFF);
    EXPECT_EQ(parser.EndSession(0), 1);
    EXPECT_EQ(parser.m_softwareRasteriser, nullptr);
    EXPECT_EQ(parser.m_greyRamp, nullptr);
    EXPECT_EQ(parser.GetSessionMode(), 0);

    // The viewer's far plane from word 0 of its descriptor.
    for (int32_t size : {30, 1}) {
        YSessionDesc words;
        words.m_mapPath = std::to_string(size).c_str();
        EXPECT_EQ(parser.InitSession(1, &words, 0), 1);
        float fov, fov2, nearPlane, farPlane;
        parser.GetProjection(&fov, &fov2, &nearPlane, &farPlane);
        EXPECT_EQ(fov, 60.0f);
        EXPECT_GT(farPlane, nearPlane) << size;
        if (size == 30) {
            EXPECT_EQ(farPlane, 28.0f * 128.0f);
        }
    }
}
