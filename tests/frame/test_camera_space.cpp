// The camera-space model pass, the frame selection it shares with the
// model draw and the decals, and the immediate triangles.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "FrameFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "engine/YGameObjects.h"
#include "renderer/YD3D6TextureItem.h"
#include "world/YRenderInstance.h"

namespace {
// One triangle group over three frames (frame k at x = 10 k) and one
// animation over them, a second a key.
std::unique_ptr<YSMObject> ThreeFrameModel()
{
    std::unique_ptr<YSMObject> m(new YSMObject);
    for (int k = 0; k < 3; ++k) {
        YSMFrame* frame = new YSMFrame;
        const float x = 10.0f * float(k);
        frame->positions = {x - 1, -1, 0, x + 1, -1, 0, x, 1, 0};
        frame->normals = {0, 0, -1, 0, 0, -1, 0, 0, -1};
        frame->present = {1};
        frame->poses.assign(1, YSMPose{{0, 0, 0, 0, 0, 0, 0, 0, 0, 1}});
        m->m_frames.emplace_back(frame);
    }
    YSMGroup* group = new YSMGroup;
    group->flags = 0x2;
    group->faces = {0};
    m->m_groups.emplace_back(group);
    YSMFace face = {};
    face.v[0] = 0, face.v[1] = 2, face.v[2] = 1;
    m->m_faces.push_back(face);
    YSMAnim* anim = new YSMAnim;
    anim->keyFrames = {0, 1, 2};
    anim->keyDurations = {1.0f, 1.0f, 2.0f};
    anim->keyCount = 3;
    m->m_anims.emplace_back(anim);
    m->m_vertexCount = 3;
    return m;
}

struct SelectionCase {
    const char* what;
    bool animated;
    uint16_t key;
    bool loop;
    bool interpolate;
    int frame, next;  // -1 no next frame
    float blend;
};

TEST(FrameSelection, KeysAndBlendsAsTheAnimationStands)
{
    std::unique_ptr<YSMObject> model = ThreeFrameModel();
    const SelectionCase cases[] = {
        {"fixed frame", false, 0, false, true, 2, -1, 0.0f},
        {"first key", true, 0, false, true, 0, 1, 0.25f},
        {"last key, not looping", true, 2, false, true, 2, -1, 0.0f},
        {"last key, looping", true, 2, true, true, 2, 0, 0.125f},
        {"interpolation off", true, 0, true, false, 0, -1, 0.0f},
    };
    for (const SelectionCase& c : cases) {
        std::unique_ptr<YSMHandle> h(model->CreateHandle());
        h->m_currentFrame = 2;
        h->SetAnimated(c.animated);
        h->m_currentAnim = 0;
        h->m_animStates[0].key = c.key;
        h->m_animStates[0].keyTime = 0.25f;
        h->m_animStates[0].playFlags = c.loop ? YSMHandle::kPlayLoop : 0;
        YD3D6Parser::FrameChoice pose;
        ASSERT_TRUE(YD3D6Parser::SelectModelFrame(*h, c.interpolate, &pose)) << c.what;
        EXPECT_EQ(model->m_frames[size_t(c.frame)].get(), pose.frame) << c.what;
        EXPECT_EQ(c.next < 0 ? nullptr : model->m_frames[size_t(c.next)].get(), pose.next) << c.what;
        EXPECT_FLOAT_EQ(c.blend, pose.blend) << c.what;
    }
    std::unique_ptr<YSMHandle> h(model->CreateHandle());
    h->SetAnimated(true);
    YD3D6Parser::FrameChoice pose;
    h->m_currentAnim = 1;
    EXPECT_FALSE(YD3D6Parser::SelectModelFrame(*h, true, &pose)) << "animation index = count";
    h->m_currentAnim = -1;
    EXPECT_FALSE(YD3D6Parser::SelectModelFrame(*h, true, &pose));
}

// The records the test's enumerator gives, and how often it was called.
std::vector<YRenderInstance*> g_listed;
int g_calls = 0;

void* Listed(int* cursor)
{
    ++g_calls;
    if (*cursor < 0 || size_t(*cursor) >= g_listed.size()) {
        *cursor = -1;
        return nullptr;
    }
    return g_listed[size_t((*cursor)++)];
}

class CameraSpace : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_EQ(1, MakeDevice());
        MapSession(8);
        parser->SetViewRects(0, 0, 64, 48, 0, 0, 64, 48);
        YD3D6TextureItem* item = new YD3D6TextureItem;
        item->m_lock = new YD3D6Lock;
        item->m_lock->m_states.m_lighting = 0;
        item->m_lock->m_states.m_cullMode = D3DCULL_NONE;
        item->m_width = item->m_height = 4;
        parser->m_textures.push_back(item);
        model = ThreeFrameModel();
        handle.reset(model->CreateHandle());
        handle->m_groupStates[0].slot = int16_t(parser->m_textures.size() - 1);
        handle->m_groupStates[0].flags |= YSMHandle::kGroupShown;
        record.m_model = handle.get();
        record.m_kind = YRenderInstance::KindModel;
        record.m_flags = YD3D6Parser::kRecordVisible;
        record.m_scale = 2.0f;
        record.m_position[2] = 50.0f;
        g_listed.clear();
        g_calls = 0;
        parser->SetModelEnumerator(Listed);
    }
    void TearDown() override
    {
        g_listed.clear();
        handle.reset();
        model.reset();
        FrameTest::TearDown();
    }
    std::unique_ptr<YSMObject> model;
    std::unique_ptr<YSMHandle> handle;
    YRenderInstance record;
};
}  // namespace

TEST_F(CameraSpace, AnEnumeratorThatEndsAtOnceDrawsNothingAndChangesNothing)
{
    Camera(10.0f, 20.0f, 10.0f, 0.2f, 0.3f);
    parser->ApplyView();
    parser->m_fogOn = 1;
    float before[4], after[4];
    parser->GetProjection(&before[0], &before[1], &before[2], &before[3]);
    const YD3D6Raster::Camera camera = parser->GetRaster()->GetCamera();
    const YMatrix projection = parser->GetRaster()->GetProjectionMatrix();
    Record();
    parser->RenderCameraSpaceModels();
    EXPECT_EQ(1, g_calls);
    EXPECT_EQ(0u, recorder->Count("Draw"));
    const std::vector<std::string> fog = recorder->Only("SetRenderState " + std::to_string(int(D3DRENDERSTATE_FOGENABLE)));
    ASSERT_EQ(2u, fog.size());
    EXPECT_EQ("SetRenderState 28 1", fog.back()) << "fog on again";
    parser->GetProjection(&after[0], &after[1], &after[2], &after[3]);
    EXPECT_EQ(0, memcmp(before, after, sizeof before));
    const YD3D6Raster::Camera now = parser->GetRaster()->GetCamera();
    EXPECT_EQ(0, memcmp(&camera, &now, sizeof camera));
    EXPECT_EQ(0, memcmp(&projection, &parser->GetRaster()->GetProjectionMatrix(), sizeof projection));
}

TEST_F(CameraSpace, RecordsWithoutModelsAreSkippedAndTheScaleComesBack)
{
    YRenderInstance empty;
    g_listed = {nullptr, &empty, &record};
    Camera(10.0f, 20.0f, 10.0f, 0.0f, 0.0f);
    Record();
    parser->RenderCameraSpaceModels();
    EXPECT_EQ(4, g_calls);
    EXPECT_EQ(1u, recorder->Count("DrawIndexedPrimitive")) << "the one model";
    EXPECT_FLOAT_EQ(2.0f, record.m_scale);
    // Drawn at ten times its scale, in front of the camera.
    const float* m = handle->m_drawMatrix;
    EXPECT_FLOAT_EQ(20.0f, m[0]);
    EXPECT_FLOAT_EQ(50.0f, m[14]);
}

TEST_F(CameraSpace, AModelInFrontOfNearerWorldShows)
{
    // A white world model 8 units ahead fills the view; the camera-space
    // model, blended to black, stands 50 units ahead.
    Camera(40.0f, 20.0f, 10.0f, 0.0f, 0.0f);
    std::unique_ptr<YSMHandle> wall(model->CreateHandle());
    wall->m_groupStates[0].slot = handle->m_groupStates[0].slot;
    wall->m_groupStates[0].flags |= YSMHandle::kGroupShown;
    YRenderInstance blocker;
    blocker.m_model = wall.get();
    blocker.m_flags = YD3D6Parser::kRecordVisible;
    blocker.m_scale = 10.0f;
    blocker.m_position[0] = 40.0f, blocker.m_position[1] = 20.0f, blocker.m_position[2] = 18.0f;
    parser->AddActorAt(&blocker, 0, 40.0, 18.0);
    YD3D6TextureItem* black = new YD3D6TextureItem;
    black->m_lock = new YD3D6Lock;
    YTexStates& states = black->m_lock->m_states;
    states.m_cullMode = D3DCULL_NONE;
    states.m_lighting = 0;
    states.m_alphaBlendEnable = 1;
    states.m_srcBlend = states.m_destBlend = D3DBLEND_ZERO;
    parser->m_textures.push_back(black);
    handle->m_groupStates[0].slot = int16_t(parser->m_textures.size() - 1);
    auto frame = [&] {
        parser->GetRaster()->ClearTarget(0);
        parser->ApplyView();
        parser->BeginFrame();
        parser->RenderFrame();
        parser->EndFrame();
        return Read(back);
    };
    const std::vector<uint32_t> world = frame();
    g_listed = {&record};
    const std::vector<uint32_t> shown = frame();
    parser->RemoveActorAt(&blocker, 40.0, 18.0);
    const size_t centre = 24 * 64 + 32;
    ASSERT_EQ(0xFFFFu, world[centre]) << "the world model fills the view";
    EXPECT_EQ(0u, shown[centre]) << "the camera-space model lies over it";
    EXPECT_EQ(0xFFFFu, world[46 * 64 + 1]);
    EXPECT_EQ(0xFFFFu, shown[46 * 64 + 1]) << "beside it the world stays";
}

TEST_F(CameraSpace, TheImmediateBufferIsDrawnAsItIsAndLeftUnchanged)
{
    YGameObjects* engine = YGameObjects::Instance();
    const float triangle[3][3] = {{0, 0, 5}, {1, 0, 5}, {0, 1, 5}};
    for (int v = 0; v < 3; ++v) {
        memcpy(&engine->m_debugVertices[4 * v], triangle[v], sizeof triangle[v]);
        engine->m_debugVertices[4 * v + 3] = int32_t(0xFF00FF00u);
    }
    std::vector<int32_t> saved(engine->m_debugVertices, engine->m_debugVertices + YGameObjects::DebugVertexWords);
    const struct {
        int32_t count;
        size_t draws;
        std::string line;
    } cases[] = {{0, 0, ""}, {-3, 0, ""}, {3, 1, "DrawPrimitive 4 3"}, {6000, 1, "DrawPrimitive 4 1000"}};
    for (const auto& c : cases) {
        engine->m_debugVertexCount = c.count;
        Record();
        parser->DrawImmediateTriangles();
        const std::vector<std::string> draws = recorder->Only("DrawPrimitive");
        ASSERT_EQ(c.draws, draws.size()) << c.count;
        if (c.draws) {
            EXPECT_EQ(c.line, draws[0]);
            EXPECT_EQ(0xFF00FF00u, recorder->colours[0]);
        }
        EXPECT_EQ(c.count, engine->m_debugVertexCount) << "game code resets the count";
        EXPECT_TRUE(std::equal(saved.begin(), saved.end(), engine->m_debugVertices));
        recorder.reset();
    }
    engine->m_debugVertexCount = 0;
}
