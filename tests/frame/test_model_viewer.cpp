// The model viewer session: its texture formats over the device's formats,
// the clamps of its settings, its render states and lights, a frame of its
// actors and a frame into a texture.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "FrameFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "engine/YGameObjects.h"
#include "renderer/YD3D6TextureItem.h"
#include "world/YRenderInstance.h"

namespace {
// A renderer whose device takes exactly the formats named, by bit count
// and red mask.
class FakeFormats : public YD3D6Parser {
public:
    int FindTextureFormat(const DDPIXELFORMAT* f) override
    {
        return formats.count({f->dwRGBBitCount, f->dwRBitMask}) ? 1 : 0;
    }
    void ViewerMode() { m_sessionMode = 1; }
    std::set<std::pair<DWORD, DWORD>> formats;
};

const std::pair<DWORD, DWORD> k8888 = {32, 0xFF0000}, k888 = k8888, k565 = {16, 0xF800}, k555 = {16, 0x7C00},
                              k4444 = {16, 0xF00};

struct FormatCase {
    const char* what;
    std::set<std::pair<DWORD, DWORD>> formats;
    bool alphaWanted888;  // the 32-bit format listed has alpha
    int32_t quality;
    DWORD opaqueRed, opaqueBits, alphaRed, alphaMask;
};

class ViewerFormats : public FrameTest {
protected:
    void SetUp() override
    {
        parser.reset(fake = new FakeFormats);
        FrameTest::SetUp();
    }
    FakeFormats* fake = nullptr;
};

class Viewer : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_EQ(1, MakeDevice());
    }
    void Start()
    {
        YSessionDesc desc;
        desc.m_mapPath = "10";
        ASSERT_EQ(1, parser->InitSession(1, &desc, 0));
        ASSERT_EQ(1, parser->IsReady());
    }
};
}  // namespace

TEST_F(ViewerFormats, TheTableOverTheDevicesFormats)
{
    const FormatCase cases[] = {
        {"all, quality 2", {k8888, k565, k555, k4444}, true, 2, 0xFF0000, 32, 0xFF0000, 0xFF000000},
        {"all, quality 1", {k8888, k565, k555, k4444}, true, 1, 0xF800, 16, 0xF00, 0xF000},
        {"4444 without 5551", {k565, k4444}, false, 1, 0xF800, 16, 0xF00, 0xF000},
        {"5551 only", {k565, k555}, false, 1, 0xF800, 16, 0x7C00, 0x8000},
        {"quality 2 without 888 falls to 565", {k565, k555}, false, 2, 0xF800, 16, 0x7C00, 0x8000},
        {"then to 555", {k555}, false, 2, 0x7C00, 16, 0x7C00, 0x8000},
    };
    for (const FormatCase& c : cases) {
        fake->formats = c.formats;
        fake->ViewerMode();
        fake->m_iTexQuality = c.quality;
        fake->m_iSoftenLevel = 1;
        fake->YSMV_Init();
        EXPECT_EQ(c.opaqueRed, fake->m_opaqueFormat.dwRBitMask) << c.what;
        EXPECT_EQ(c.opaqueBits, fake->m_opaqueFormat.dwRGBBitCount) << c.what;
        EXPECT_EQ(c.alphaRed, fake->m_alphaFormat.dwRBitMask) << c.what;
        EXPECT_EQ(c.alphaMask, fake->m_alphaFormat.dwRGBAlphaBitMask) << c.what;
        EXPECT_EQ(0, memcmp(&fake->m_alphaFormat, &fake->m_defaultFormat, sizeof fake->m_alphaFormat))
            << c.what << ": alpha textures on";
    }
    // Nothing matches: the formats stay as they were.
    const DDPIXELFORMAT opaque = fake->m_opaqueFormat, alpha = fake->m_alphaFormat;
    fake->formats.clear();
    fake->YSMV_Init();
    EXPECT_EQ(0, memcmp(&opaque, &fake->m_opaqueFormat, sizeof opaque));
    EXPECT_EQ(0, memcmp(&alpha, &fake->m_alphaFormat, sizeof alpha));
}

TEST_F(ViewerFormats, SettingsAreClampedAndOneFormatServesAll)
{
    fake->formats = {k8888, k565, k4444};
    fake->ViewerMode();
    const struct {
        int32_t soften, quality, soften2, quality2;
    } clamps[] = {{-3, -3, 0, 0}, {7, 7, 1, 2}, {1, 1, 1, 1}};
    for (const auto& c : clamps) {
        fake->m_iSoftenLevel = c.soften, fake->m_iTexQuality = c.quality;
        fake->YSMV_Init();
        EXPECT_EQ(c.soften2, fake->m_iSoftenLevel);
        EXPECT_EQ(c.quality2, fake->m_iTexQuality);
    }
    fake->m_iSoftenLevel = 0;
    fake->YSMV_Init();
    EXPECT_EQ(0, memcmp(&fake->m_opaqueFormat, &fake->m_defaultFormat, sizeof fake->m_opaqueFormat));
    fake->m_iSoftenLevel = 1;
    fake->m_viewerSettings[YD3D6Parser::kSingleFormatWord] = 1;
    fake->YSMV_Init();
    EXPECT_EQ(0, memcmp(&fake->m_opaqueFormat, &fake->m_alphaFormat, sizeof fake->m_opaqueFormat));
    EXPECT_EQ(0, memcmp(&fake->m_opaqueFormat, &fake->m_defaultFormat, sizeof fake->m_opaqueFormat));
    EXPECT_EQ(0, fake->m_iSoftenLevel) << "alpha textures off";
}

TEST_F(Viewer, RenderStatesLeaveEveryCachedStateUnknown)
{
    Start();
    // A known state in the cache would be skipped.
    parser->SetRenderStateCached(D3DRENDERSTATE_ZENABLE, 1);
    Record();
    parser->SetViewerRenderStates();
    const std::vector<std::string> expected = {
        "SetRenderState 4 1",  "SetRenderState 8 3",  "SetRenderState 9 2",  "SetRenderState 11 0",
        "SetRenderState 26 1", "SetRenderState 29 0", "SetRenderState 31 1", "SetRenderState 139 16843009"};
    EXPECT_EQ(expected, recorder->Only("SetRenderState"));
    for (int64_t v : parser->m_renderStateCache) ASSERT_EQ(-1, v);
    for (const auto& stage : parser->m_stageStateCache)
        for (int64_t v : stage) ASSERT_EQ(-1, v);
    parser->SetRenderStateCached(D3DRENDERSTATE_ZENABLE, 1);
    EXPECT_EQ(1u, recorder->Count("SetRenderState 7 1")) << "reaches the device";
}

TEST_F(Viewer, ItsLightsAndItsFrame)
{
    Start();
    ASSERT_EQ(1, parser->GetLightCount()) << "the start clears to one light";
    Record();
    parser->BeginFrame();
    parser->RenderFrame();
    parser->EndFrame();
    const std::vector<std::string> expected = {"BeginScene", "LightEnable 0 on", "LightEnable 1 off",
                                               "LightEnable 2 off", "LightEnable 3 off", "LightEnable 4 off",
                                               "LightEnable 5 off"};
    std::vector<std::string> head;
    for (const std::string& line : recorder->lines)
        if (line.rfind("BeginScene", 0) == 0 || line.rfind("LightEnable", 0) == 0) head.push_back(line);
    EXPECT_EQ(expected, head);
    EXPECT_EQ(1u, recorder->Count("SetLight 0"));
    EXPECT_EQ(1u, recorder->Count("EndScene"));
    EXPECT_EQ(1u, recorder->Count("Clear target"));
}

TEST_F(Viewer, AnActorsModelIsDrawn)
{
    Start();
    YD3D6TextureItem* item = new YD3D6TextureItem;
    item->m_lock = new YD3D6Lock;
    item->m_lock->m_states.m_lighting = 0;
    item->m_lock->m_states.m_cullMode = D3DCULL_NONE;
    parser->m_textures.push_back(item);
    std::unique_ptr<YSMObject> model(new YSMObject);
    YSMFrame* frame = new YSMFrame;
    frame->positions = {-5, -5, 0, 5, -5, 0, 0, 5, 0};
    frame->normals = {0, 0, -1, 0, 0, -1, 0, 0, -1};
    frame->present = {1};
    frame->poses.assign(1, YSMPose{{0, 0, 0, 0, 0, 0, 0, 0, 0, 1}});
    model->m_frames.emplace_back(frame);
    YSMGroup* group = new YSMGroup;
    group->flags = 0x2;
    group->faces = {0};
    model->m_groups.emplace_back(group);
    YSMFace face = {};
    face.v[0] = 0, face.v[1] = 1, face.v[2] = 2;
    model->m_faces.push_back(face);
    model->m_vertexCount = 3;
    std::unique_ptr<YSMHandle> handle(model->CreateHandle());
    handle->m_groupStates[0].slot = int16_t(parser->m_textures.size() - 1);
    handle->m_groupStates[0].flags |= YSMHandle::kGroupShown;
    YRenderInstance record;
    record.m_model = handle.get();
    record.m_flags = YD3D6Parser::kRecordVisible;
    record.m_position[2] = 20.0f;
    parser->SetViewRects(0, 0, 64, 48, 0, 0, 64, 48);
    parser->SetCameraPosition(0, 0, 0);
    parser->SetCameraAngles(0, 0, 0);
    parser->AddActorAt(&record, 0, 0.0, 20.0);
    parser->RenderFrame();
    EXPECT_EQ(0xFFFFu, Read(back)[24 * 64 + 32]) << "the model's untextured white";
    record.m_flags = 0;
    parser->RenderFrame();
    EXPECT_EQ(0u, Read(back)[24 * 64 + 32]) << "a record not drawable is left out";
    parser->RemoveActorAt(&record, 0.0, 20.0);
}

TEST_F(Viewer, ATextureFrameRefusesAnIndexEqualToTheCountAndRestoresTheView)
{
    Start();
    const float fractions[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    parser->SetViewRects(0, 0, 64, 48, 0, 0, 64, 48);
    Record();
    EXPECT_EQ(0, parser->RenderTextureFrame(int16_t(parser->m_textures.size()), 60.0f, 60.0f, fractions));
    EXPECT_EQ(0, parser->RenderTextureFrame(-1, 60.0f, 60.0f, fractions));
    EXPECT_EQ(0u, recorder->Count("BeginScene")) << "nothing drawn";
    RECT screen, clip;
    parser->GetViewRects(&screen, &clip);
    EXPECT_EQ(64, screen.right);
    EXPECT_EQ(48, clip.bottom);
}
