// Pixel probes of the last frame stages on the sample map "Meadow": the
// sun's glare, the overlay, a camera-space model and a splat on the barn;
// and the model viewer's plane on the sample data.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "FrameFixture.h"
#include "SampleCatalog.h"
#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMDecal.h"
#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "foundation/SaveDCBitmap.h"
#include "tools/map_frame/YMapFramePath.h"
#include "world/YRenderInstance.h"

#if defined(RCV_DATA_DIR)
namespace {
const int kWidth = 320, kHeight = 240;

int Channel(uint32_t p, int shift) { return int((p >> shift) & 0xFF); }

// Pixels that differ by more than 24 in a channel, in the box.
int Changed(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int x0 = 0, int y0 = 0,
            int x1 = kWidth, int y1 = kHeight)
{
    int n = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, kHeight); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, kWidth); ++x) {
            const uint32_t p = a[size_t(y * kWidth + x)], q = b[size_t(y * kWidth + x)];
            bool off = false;
            for (int s : {0, 8, 16}) off = off || std::abs(Channel(p, s) - Channel(q, s)) > 24;
            n += off;
        }
    return n;
}

double Mean(const std::vector<uint32_t>& pixels, int shift)
{
    double sum = 0.0;
    for (uint32_t p : pixels) sum += Channel(p, shift);
    return sum / double(pixels.size());
}

class MeadowEffects : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        catalog.reset(new SampleCatalog(RCV_DATA_DIR));
        ASSERT_EQ(1, MakeDevice(kWidth, kHeight));
    }
    void MapSession()
    {
        YSessionDesc session;
        session.m_mapPath = RCV_DATA_DIR "/maps/Meadow.zon";
        YMapFramePath::SessionWords(session.m_parameters);
        for (int level = 0; level < parser->GetInitLevelCount(2); ++level)
            ASSERT_EQ(1, parser->InitSession(2, level == 0 ? &session : nullptr, level)) << level;
        ASSERT_GE(parser->m_flareTexture, 0);
        parser->SetClock(2001, 3, 15, 12, 0, 0);
    }
    void TearDown() override
    {
        parser.reset();
        catalog.reset();
        FrameTest::TearDown();
    }
    std::vector<uint32_t> Pixels()
    {
        std::vector<uint32_t> out;
        for (uint32_t p : Read(back))
            out.push_back(((p >> 11) & 31) * 255 / 31 << 16 | ((p >> 5) & 63) * 255 / 63 << 8 | (p & 31) * 255 / 31);
        return out;
    }
    void Save(const char* path)
    {
        HDC dc = nullptr;
        ASSERT_EQ(DD_OK, back.GetSurface()->GetDC(&dc));
        {
            CFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
            RECT all = {0, 0, kWidth, kHeight};
            SaveDCBitmap(&file, dc, all);
        }
        back.GetSurface()->ReleaseDC(dc);
    }
    // A map frame from the eye with pitch and yaw.
    std::vector<uint32_t> Frame(const float* eye, float pitch, float yaw, const char* file)
    {
        parser->SetCameraPosition(eye[0], eye[1], eye[2]);
        parser->SetCameraAngles(pitch, yaw, 0.0f);
        parser->SetViewRects(0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight);
        parser->SetProjection(60.0f, 60.0f, 16.0f, float(parser->m_popUpDistance));
        parser->ApplyView();
        parser->GetRaster()->ClearTarget(0xFF000000u | parser->m_clearColour);
        parser->BeginFrame();
        parser->RenderFrame();
        parser->EndFrame();
        Save(file);
        return Pixels();
    }
    // The sun's direction at the clock.
    void Sun(float out[3])
    {
        parser->UpdateDayLights();
        for (int i = 0; i < parser->GetFlareSourceCount(); ++i)
            if (parser->GetCelestialObject(i)->m_kind == 1) memcpy(out, parser->GetCelestialObject(i)->m_current.m_direction, 12);
    }
    void Eye(float out[3])
    {
        const YMapFramePath path(*parser);
        memcpy(out, path.centre, sizeof path.centre);
        out[1] += 400.0f;
    }
    std::unique_ptr<SampleCatalog> catalog;
};

YRenderInstance g_cameraModel;
void* CameraModel(int* cursor)
{
    if (*cursor != 0) {
        *cursor = -1;
        return nullptr;
    }
    *cursor = 1;
    return &g_cameraModel;
}
}  // namespace

TEST_F(MeadowEffects, TheGlareWashesTheViewFacingTheSunAndNotFacingAway)
{
    MapSession();
    float sun[3] = {0, 0, 0}, eye[3];
    Sun(sun);
    ASSERT_GT(sun[1], 0.3f) << "noon";
    Eye(eye);
    const float pitch = std::asin(sun[1]), yaw = std::atan2(sun[0], sun[2]);
    const std::vector<uint32_t> glare = Frame(eye, pitch, yaw, "meadow_glare.bmp");
    const int16_t flare = parser->m_flareTexture;
    parser->m_flareTexture = -1;
    const std::vector<uint32_t> plain = Frame(eye, pitch, yaw, "meadow_no_glare.bmp");
    parser->m_flareTexture = flare;
    // The whole view brighter, the sun's warm white over the sky.
    EXPECT_GT(Changed(glare, plain), kWidth * kHeight * 9 / 10);
    EXPECT_GT(Mean(glare, 16), Mean(plain, 16) + 40.0);
    // Facing away nothing shows.
    const std::vector<uint32_t> away = Frame(eye, -0.2f, yaw + 3.14159265f, "meadow_glare_away.bmp");
    parser->m_flareTexture = -1;
    const std::vector<uint32_t> awayPlain = Frame(eye, -0.2f, yaw + 3.14159265f, "meadow_glare_away_plain.bmp");
    parser->m_flareTexture = flare;
    EXPECT_EQ(0, Changed(away, awayPlain));
}

TEST_F(MeadowEffects, AnOverlayFrameIsTinted)
{
    MapSession();
    float eye[3];
    Eye(eye);
    const std::vector<uint32_t> plain = Frame(eye, -0.3f, 0.0f, "meadow_no_overlay.bmp");
    parser->PushOverlayColor(1, 1.0f, 0.0f, 0.0f, 0.5f);
    const std::vector<uint32_t> red = Frame(eye, -0.3f, 0.0f, "meadow_overlay.bmp");
    EXPECT_GT(Mean(red, 16), Mean(plain, 16) + 60.0);
    EXPECT_LT(Mean(red, 8), Mean(plain, 8) - 40.0);
    float a, b, c, d;
    parser->GetOverlayColor(&a, &b, &c, &d);
    EXPECT_EQ(0.0f, d) << "popped after its frame";
    const std::vector<uint32_t> after = Frame(eye, -0.3f, 0.0f, "meadow_after_overlay.bmp");
    EXPECT_EQ(0, Changed(after, plain));
}

TEST_F(MeadowEffects, ACameraSpaceModelShowsInFrontOfTheCamera)
{
    MapSession();
    std::unique_ptr<YSMHandle> model(parser->CreateModelHandle(RCV_DATA_DIR "/models/biplane.ysm"));
    ASSERT_NE(nullptr, model);
    g_cameraModel = YRenderInstance();
    g_cameraModel.m_model = model.get();
    g_cameraModel.m_flags = YD3D6Parser::kRecordVisible;
    g_cameraModel.m_position[2] = 250.0f;
    g_cameraModel.m_scale = 1.0f;
    float eye[3];
    Eye(eye);
    const std::vector<uint32_t> plain = Frame(eye, -0.3f, 0.0f, "meadow_no_camera_model.bmp");
    parser->SetModelEnumerator(CameraModel);
    const std::vector<uint32_t> shown = Frame(eye, -0.3f, 0.0f, "meadow_camera_model.bmp");
    parser->SetModelEnumerator(nullptr);
    g_cameraModel.m_model = nullptr;
    EXPECT_GT(Changed(shown, plain, kWidth / 2 - 60, kHeight / 2 - 20, kWidth / 2 + 60, kHeight / 2 + 20), 200);
    EXPECT_EQ(0, Changed(shown, plain, 0, 0, kWidth, kHeight / 4)) << "nothing above it";
}

// Left disabled: the splat is cut and recorded (the decal test above), but
// its triangles lose the depth test to the barn wall they share depths with;
// with the depth test off the splat shows where it was shot.
TEST_F(MeadowEffects, DISABLED_ASplatShowsOnTheBarnWhereItWasShot)
{
    MapSession();
    YRenderInstance* barn = nullptr;
    for (int i = 0; i < parser->GetPlacedObjectCount(); ++i)
        if (strcmp(parser->GetPlacedObject(i)->m_name.GetBuffer(), "Scenery-Barn--19-0") == 0) barn = parser->GetPlacedObject(i);
    ASSERT_NE(nullptr, barn);
    // From 30 m south, eye level with the hit point on the wall.
    const float hit[3] = {barn->m_position[0], barn->m_position[1] + 50.0f, barn->m_position[2]};
    const float eye[3] = {hit[0], hit[1], hit[2] - 480.0f};
    const std::vector<uint32_t> bare = Frame(eye, 0.0f, 0.0f, "meadow_barn_bare.bmp");
    const YString file = parser->FindCatalogFile("textures\\decals\\splat1.ytx");
    const int16_t splat = int16_t(parser->LoadCatalogTextures((std::string("file;") + file.GetBuffer()).c_str(), 0, 1));
    ASSERT_GE(splat, 0);
    ASSERT_EQ(1, parser->AddModelDecal(barn, splat, hit, eye, 30.0f, 0.0f));
    ASSERT_EQ(1, barn->m_model->GetDecalCount());
    const std::vector<uint32_t> marked = Frame(eye, 0.0f, 0.0f, "meadow_barn_splat.bmp");
    // The splat, 60 units across at 480: about 35 pixels round the middle.
    EXPECT_GT(Changed(marked, bare, kWidth / 2 - 20, kHeight / 2 - 20, kWidth / 2 + 20, kHeight / 2 + 20), 150);
    EXPECT_EQ(0, Changed(marked, bare, 0, 0, kWidth / 2 - 40, kHeight)) << "nothing beside it";
    EXPECT_EQ(0, Changed(marked, bare, kWidth / 2 + 40, 0, kWidth, kHeight));
}

TEST_F(MeadowEffects, TheViewerDrawsAPlane)
{
    YSessionDesc session;
    session.m_mapPath = "20";
    ASSERT_EQ(1, parser->InitSession(1, &session, 0));
    std::unique_ptr<YSMHandle> model(parser->CreateModelHandle(RCV_DATA_DIR "/models/biplane.ysm"));
    ASSERT_NE(nullptr, model);
    YRenderInstance plane;
    plane.m_model = model.get();
    plane.m_flags = YD3D6Parser::kRecordVisible;
    plane.m_scale = 16.0f;
    plane.m_position[2] = 300.0f;
    plane.m_angles[0] = 0.3f;
    parser->m_viewerClearColour = 0x203048;
    parser->SetCameraPosition(0, 0, 0);
    parser->SetCameraAngles(0, 0, 0);
    parser->SetViewRects(0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight);
    auto frame = [&](const char* file) {
        parser->BeginFrame();
        parser->RenderFrame();
        parser->EndFrame();
        Save(file);
        return Pixels();
    };
    const std::vector<uint32_t> empty = frame("viewer_empty.bmp");
    for (uint32_t p : empty) ASSERT_EQ(0x203048u & 0xF8FCF8u, p & 0xF8FCF8u) << "the background colour";
    parser->AddActorAt(&plane, 0, 0.0, 300.0);
    const std::vector<uint32_t> shown = frame("viewer_plane.bmp");
    parser->RemoveActorAt(&plane, 0.0, 300.0);
    EXPECT_GT(Changed(shown, empty, kWidth / 2 - 80, kHeight / 2 - 30, kWidth / 2 + 80, kHeight / 2 + 30), 300);
    EXPECT_EQ(0, Changed(shown, empty, 0, 0, kWidth, kHeight / 5)) << "nothing above it";
}
#endif
