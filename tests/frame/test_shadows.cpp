// The shadow pool's tick over frames on a stepped clock: who keeps, who
// gets and who loses a shadow, attached models, and the emitted triangles.
#include <gtest/gtest.h>

#include <memory>

#include "FrameFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "platform/win32.h"

namespace {
// Casting is counted, not done: each cast leaves two triangles.
class CountingParser : public YD3D6Parser {
public:
    void CastShadow(YD3D6ShadowCaster& caster, const float*, YD3D6ShadowWorkTexture* work, YD3D6ShadowEntry& entry,
                    int32_t number) override
    {
        casts.push_back(number);
        works.push_back(work);
        attachedAtCast.push_back(caster.m_attached);
        FreeShadowGeometry(entry);
        entry.triangleCount = 2;
        entry.vertices.assign(6, YD3D6ShadowEntry::Vertex());
        entry.triangles.assign(2, YD3D6ShadowEntry::Triangle());
        for (int i = 0; i < 6; ++i) {
            entry.vertices[size_t(i)].position[0] = float(number * 10 + i);
            entry.vertices[size_t(i)].normal[1] = 1.0f;
        }
        for (uint16_t t = 0; t < 2; ++t)
            for (int k = 0; k < 3; ++k) {
                entry.triangles[t].v[k] = uint16_t(t * 3 + k);
                entry.triangles[t].uv[2 * k] = 0.1f * float(k);
                entry.triangles[t].uv[2 * k + 1] = 0.2f * float(k);
            }
        SetCasterShadowSlot(caster, int16_t(number));
        caster.m_attached.clear();
    }
    std::vector<int32_t> casts;
    std::vector<YD3D6ShadowWorkTexture*> works;
    std::vector<std::vector<int16_t>> attachedAtCast;
};

class ShadowTick : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        parser.reset(counting = new CountingParser);
        parser->AttachDisplay(&m_display);
        ASSERT_EQ(1, MakeDevice());
        MapSession(8);
        platform::Clock::SetManual(true);
        platform::Clock::Set(5000);
        const int sizes[3] = {64, 32, 16}, ends[3] = {8, 24, 56};
        if (parser->m_shadowCasters.size() != 80) parser->m_shadowCasters.assign(80, YD3D6ShadowCaster());
        ASSERT_EQ(2, parser->GetSessionMode());
        parser->m_shadowSlots.assign(56, YD3D6ShadowEntry());
        parser->m_workSlots.assign(3, YD3D6ShadowWorkTexture());
        for (int i = 0, k = 0; i < 56; ++i) {
            if (i == ends[k]) ++k;
            YD3D6ShadowEntry& e = parser->m_shadowSlots[size_t(i)];
            e.texture = 200 + i, e.lock = &lock, e.size = sizes[k], e.sizeClass = k;
        }
        for (int k = 0; k < 3; ++k) {
            parser->m_workSlots[size_t(k)].texture = 100 + k;
            parser->m_workSlots[size_t(k)].lock = &lock;
            parser->m_workSlots[size_t(k)].size = sizes[k];
        }
        for (auto& h : handles) h.reset(new YSMHandle);
    }
    void TearDown() override
    {
        platform::Clock::SetManual(false);
        FrameTest::TearDown();
    }
    // The model pass's casters of one frame: n records, kind k.
    void Casters(int n, int16_t kind)
    {
        for (int i = 0; i < n; ++i) {
            YD3D6ShadowCaster& c = parser->m_shadowCasters[size_t(i)];
            c.m_model = handles[size_t(i)].get();
            c.m_kind = kind;
            c.m_drawItem = &items[i];
            c.m_childCount = 0;
            c.m_children = nullptr;
            c.m_vectors[0][0] = float(i);
        }
        parser->m_shadowCasterCount = n;
    }
    void Frame()
    {
        parser->ResetFrameCounters();
        parser->m_shadowCasterCount = casterCount;
        parser->UpdateShadows();
    }
    int32_t OpaqueCount() const { return parser->m_frameCounters[YD3D6Parser::kOpaqueRecordCount]; }
    CountingParser* counting = nullptr;
    YD3D6Lock lock;
    std::unique_ptr<YSMHandle> handles[80];
    YRenderInstance items[80];
    int casterCount = 0;
};
}  // namespace

TEST_F(ShadowTick, WithNoCastersEveryEntryIsReleased)
{
    for (int i : {0, 9, 40}) {
        YD3D6ShadowEntry& e = parser->m_shadowSlots[size_t(i)];
        e.state = YD3D6ShadowEntry::kInUse;
        e.triangleCount = 1;
        e.vertices.resize(3);
        e.triangles.resize(1);
    }
    Frame();
    for (const YD3D6ShadowEntry& e : parser->m_shadowSlots) {
        EXPECT_EQ(YD3D6ShadowEntry::kFree, e.state);
        EXPECT_EQ(0, e.triangleCount);
        EXPECT_TRUE(e.vertices.empty());
    }
    EXPECT_EQ(0, OpaqueCount());
    EXPECT_TRUE(counting->casts.empty());
}

TEST_F(ShadowTick, AKindOneCasterKeepsItsEntryAndIsRecastAboutEveryHundredMilliseconds)
{
    Casters(1, 1);
    casterCount = 1;
    std::vector<DWORD> castTimes;
    for (int frame = 0; frame < 50; ++frame) {
        const size_t before = counting->casts.size();
        Frame();
        if (counting->casts.size() > before) castTimes.push_back(platform::Clock::Now());
        EXPECT_EQ(0, handles[0]->m_shadowSlot);
        EXPECT_EQ(YD3D6ShadowEntry::kInUse, parser->m_shadowSlots[0].state);
        platform::Clock::Advance(20);
    }
    for (int32_t entry : counting->casts) EXPECT_EQ(0, entry);
    // Frames 20 ms apart: a shadow lives while its age is at most 100 ms.
    ASSERT_EQ(9u, castTimes.size());
    for (size_t i = 1; i < castTimes.size(); ++i) EXPECT_EQ(120u, castTimes[i] - castTimes[i - 1]);
}

TEST_F(ShadowTick, AKindZeroCasterIsRecastWheneverTheClockMoved)
{
    Casters(1, 0);
    casterCount = 1;
    const DWORD steps[5] = {0, 20, 0, 0, 1};
    const bool cast[5] = {true, true, false, false, true};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        platform::Clock::Advance(steps[i]);
        const size_t before = counting->casts.size();
        Frame();
        EXPECT_EQ(cast[i], counting->casts.size() > before);
        EXPECT_EQ(2, OpaqueCount()) << "two triangles a frame";
    }
}

TEST_F(ShadowTick, BeyondTheFiftySixthCasterNoneGetsAShadowAndEarlyOnesTakeLargeTextures)
{
    Casters(57, 1);
    casterCount = 57;
    Frame();
    ASSERT_EQ(56u, counting->casts.size());
    for (int i = 0; i < 56; ++i) {
        EXPECT_EQ(i, counting->casts[size_t(i)]);
        EXPECT_EQ(i, handles[size_t(i)]->m_shadowSlot);
        EXPECT_EQ(i, parser->m_shadowCasters[size_t(i)].m_entry);
        const int size = i < 8 ? 64 : i < 24 ? 32 : 16;
        EXPECT_EQ(size, parser->m_shadowCasters[size_t(i)].m_textureWidth) << i;
        EXPECT_EQ(&parser->m_workSlots[size_t(i < 8 ? 0 : i < 24 ? 1 : 2)], counting->works[size_t(i)]);
        EXPECT_EQ(float(i), parser->m_shadowSlots[size_t(i)].vectors[0][0]);
    }
    EXPECT_EQ(-1, handles[56]->m_shadowSlot);
    EXPECT_EQ(112, OpaqueCount());
}

TEST_F(ShadowTick, AnAttachedModelGetsMinusTwoAndEmitsNothing)
{
    Casters(3, 1);
    casterCount = 3;
    YRenderInstance* children[2] = {&items[2], &items[70]};  // the second has no record
    parser->m_shadowCasters[0].m_children = children;
    parser->m_shadowCasters[0].m_childCount = 2;
    Frame();
    EXPECT_EQ((std::vector<int32_t>{0, 1}), counting->casts);
    ASSERT_EQ(2u, counting->attachedAtCast.size());
    EXPECT_EQ((std::vector<int16_t>{2, -1}), counting->attachedAtCast[0]);
    EXPECT_EQ(-2, handles[2]->m_shadowSlot);
    EXPECT_EQ(-2, parser->m_shadowCasters[2].m_entry);
    EXPECT_EQ(4, OpaqueCount());  // two casters, two triangles each
    platform::Clock::Advance(20);
    Frame();
    EXPECT_EQ(-2, handles[2]->m_shadowSlot);
    EXPECT_EQ(2u, counting->casts.size());
}

TEST_F(ShadowTick, AClassWhoseWorkTextureFailedHandsOutNothing)
{
    parser->m_workSlots[0].lock = nullptr;
    parser->m_workSlots[0].texture = -1;
    Casters(3, 1);
    casterCount = 3;
    Frame();
    EXPECT_TRUE(counting->casts.empty());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(-1, handles[size_t(i)]->m_shadowSlot);
    EXPECT_EQ(0, OpaqueCount());
}

TEST_F(ShadowTick, EntriesWhoseTextureFailedArePassedBy)
{
    parser->m_shadowSlots[0].texture = -1;
    parser->m_shadowSlots[0].lock = nullptr;
    Casters(2, 1);
    casterCount = 2;
    Frame();
    EXPECT_EQ((std::vector<int32_t>{1, 2}), counting->casts);
}

TEST_F(ShadowTick, ClearFlaggedShadowsFreesTheEntriesInUse)
{
    YD3D6ShadowEntry& used = parser->m_shadowSlots[3];
    used.state = YD3D6ShadowEntry::kInUse;
    used.triangleCount = 1;
    used.vertices.resize(3);
    used.triangles.resize(1);
    YD3D6ShadowEntry& stale = parser->m_shadowSlots[4];
    stale.state = YD3D6ShadowEntry::kStale;
    parser->ClearFlaggedShadows();
    EXPECT_EQ(YD3D6ShadowEntry::kFree, used.state);
    EXPECT_EQ(0, used.triangleCount);
    EXPECT_TRUE(used.triangles.empty());
    EXPECT_EQ(YD3D6ShadowEntry::kStale, stale.state);
    parser->ClearFlaggedShadows();  // nothing in use: nothing happens
    EXPECT_EQ(YD3D6ShadowEntry::kStale, stale.state);
}

TEST_F(ShadowTick, TheEmittedTrianglesAreReadyVerticesKeyedByTheEntrysTexture)
{
    Casters(2, 1);
    casterCount = 2;
    Frame();
    ASSERT_EQ(4, OpaqueCount());
    for (int r = 0; r < 4; ++r) {
        const YOpaqueRecord& record = parser->OpaqueRecords()[r];
        EXPECT_EQ(YOpaqueRecord::kShadow, record.m_kind);
        EXPECT_EQ(r < 2 ? 200 : 201, record.m_texture);
        EXPECT_EQ(3, record.m_vertexCount);
        const YAlphaVertex* v = parser->AlphaVertices() + record.m_index;
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(0xFFFFFFFFu, v[k].diffuse);
            EXPECT_FLOAT_EQ(float((r / 2) * 10 + (r % 2) * 3 + k), v[k].x);
            EXPECT_FLOAT_EQ(1.0f, v[k].ny);
            EXPECT_FLOAT_EQ(0.1f * float(k), v[k].u0);
            EXPECT_FLOAT_EQ(v[k].u0, v[k].u1);
            EXPECT_FLOAT_EQ(v[k].v0, v[k].v1);
        }
    }
}

TEST_F(ShadowTick, ShadowTrianglesDrawAfterTheGroundWithFogOff)
{
    parser->m_fogOn = 1;
    Casters(1, 1);
    casterCount = 1;
    Frame();
    ASSERT_EQ(2, OpaqueCount());
    // A ground polygon under a lower texture index, listed after the shadow.
    YCellPolygon ground;
    ground.m_shape = YCellPolygon::kTriangle;
    ground.m_corners.resize(3);
    ground.m_planes.resize(1);
    ground.m_layerTextures = {5};
    ground.m_layerCoords = {std::vector<float>(6, 0.5f)};
    ground.m_layerAlpha = {std::vector<uint8_t>(3, 255)};
    YOpaqueRecord* g = parser->AddOpaqueRecord(5, 3, YOpaqueRecord::kTerrain, 0);
    ASSERT_NE(nullptr, g);
    g->m_polygon = &ground;
    parser->SortOpaqueRecords();
    EXPECT_EQ(YOpaqueRecord::kTerrain, parser->OpaqueRecords()[0].m_kind);
    EXPECT_EQ(YOpaqueRecord::kShadow, parser->OpaqueRecords()[1].m_kind);
    Record();
    parser->ForgetCachedStates();
    parser->DrawOpaqueRecords();
    const std::vector<std::string> draws = recorder->Only("DrawIndexedPrimitiveVB");
    ASSERT_EQ(2u, draws.size());
    EXPECT_EQ("DrawIndexedPrimitiveVB 4 6 6", draws[1]);
    const std::vector<std::string> fog = recorder->Only("SetRenderState 28 ");
    ASSERT_EQ(2u, fog.size());
    EXPECT_EQ("SetRenderState 28 0", fog[0]);
    EXPECT_EQ("SetRenderState 28 1", fog[1]);
}

TEST_F(ShadowTick, AHandleBackAfterFramesUnseenDoesNotTakeAnotherCastersEntry)
{
    Casters(3, 1);
    casterCount = 2;
    Frame();
    ASSERT_EQ(1, handles[1]->m_shadowSlot);
    // Caster 1 is not drawn: its entry goes free.
    casterCount = 1;
    platform::Clock::Advance(20);
    Frame();
    EXPECT_EQ(YD3D6ShadowEntry::kFree, parser->m_shadowSlots[1].state);
    // A new model in record 1 takes that entry.
    casterCount = 2;
    parser->m_shadowCasters[1].m_model = handles[2].get();
    platform::Clock::Advance(20);
    Frame();
    ASSERT_EQ(1, handles[2]->m_shadowSlot);
    // The old handle comes back in record 2, still naming entry 1.
    casterCount = 3;
    parser->m_shadowCasters[2].m_model = handles[1].get();
    platform::Clock::Advance(20);
    const size_t before = counting->casts.size();
    Frame();
    EXPECT_EQ(YD3D6ShadowEntry::kInUse, parser->m_shadowSlots[1].state);
    EXPECT_EQ(1, handles[2]->m_shadowSlot) << "the new model keeps its shadow";
    EXPECT_EQ(2, parser->m_shadowSlots[1].triangleCount);
    EXPECT_EQ(before + 1, counting->casts.size()) << "the returning handle is cast afresh";
    EXPECT_EQ(2, handles[1]->m_shadowSlot);
}
