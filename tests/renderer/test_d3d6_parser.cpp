// The Direct3D renderer on our device: session stages of the model viewer
// and of a map with their Debug.log lines, the filter level the device caps
// allow, frames by mode, view and projection, overlay colours, light modes
// and the texture, name-pair and model tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "MapStreamBytes.h"
#include "ScratchFolder.h"
#include "assets3d/YSMObject.h"
#include "engine/YGameObjects.h"
#include "graphics2d/Graphics2dFixture.h"
#include "renderer/CTexRen.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"
#include "renderer/YD3D6TextureItem.h"
#include "renderer/YMapVT3.h"
#include "renderer/YMapVT3Model_Output.h"
#include "renderer/YParseModelItem.h"

namespace {
const DDPIXELFORMAT k565 = RgbFormat(16, 0xF800, 0x07E0, 0x001F);
const DDPIXELFORMAT kX888 = RgbFormat(32, 0xFF0000, 0x00FF00, 0x0000FF);

int g_keepAlives = 0;
void CountKeepAlive() { ++g_keepAlives; }

// A 3 x 2 map with two tags and one placed model of each list.
std::string TinyMap()
{
    MapStreamBytes tags;
    tags.U32(2).U16(4).U16(3).Raw("skyA").Raw("blu").U16(3).U16(0).Raw("fog");
    auto models = [](const char* name) {
        MapStreamBytes m;
        m.U32(1).Str(name);
        for (int i = 0; i < 7; ++i) m.F32(1.0f);
        return m.U32(0).U32(0).U8(0).U32(0).U32(0).U32(0).U32(0);
    };
    MapStreamBytes stream = MapStreamBytes::Header(3, 2, 3, 0, 4, 10.0f);
    stream.Block(1, tags).Block(5, models("barn")).Block(5, models("mill"));
    const std::vector<uint8_t>& bytes = stream.Bytes();
    return std::string(bytes.begin(), bytes.end());
}

// The renderer with its base's tables in reach of the tests.
class TableParser : public YD3D6Parser {
public:
    using YParser::m_modelOutputs;
    using YParser::m_models;
};

class D3D6Parser : public Graphics2dTest {
protected:
    void SetUp() override
    {
        Graphics2dTest::SetUp();
        g_keepAlives = 0;
        memset(&m_display, 0, sizeof m_display);
        m_display.word1 = 20;
        parser->AttachDisplay(&m_display);
        parser->SetWorldScale(16.0f);
        parser->SetLoadingKeepAlive(CountKeepAlive);
    }
    void TearDown() override
    {
        parser.reset();
        back.Release();
        primary.Release();
        Graphics2dTest::TearDown();
    }
    // A windowed display whose back surface the device renders into.
    int MakeDevice(const DDPIXELFORMAT& format = k565, int width = 64, int height = 48)
    {
        if (!primary.GetSurface()) {
            EXPECT_EQ(1, primary.CreatePrimarySurface(&display, 2, 0));
        }
        back.Release();
        EXPECT_EQ(1, back.CreateSurface(&display, width, height, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, nullptr,
                                        0, &format));
        memset(&m_caps, 0, sizeof m_caps);
        m_device = {44, 0, &display, primary.GetSurface(), back.GetSurface(), &m_caps, 0, 16, {0, 0, 0}};
        return parser->CreateDevice(&m_device);
    }
    IDirect3DDevice7* Device() { return parser->GetRaster() ? parser->GetRaster()->GetDevice() : nullptr; }
    YSessionDesc Session(const std::string& map)
    {
        YSessionDesc d;
        d.m_mapPath = map.c_str();
        for (int i = 0; i < YSessionDesc::ParameterCount; ++i) d.m_parameters[i] = 1000 + i + 1;  // word i + 1
        d.m_parameters[YD3D6Parser::kAntiAliasWord - 1] = 1;
        d.m_parameters[YD3D6Parser::kRenderRecordsWord - 1] = 40;
        return d;
    }
    std::vector<std::string> LogLines(const ScratchFolder& folder)
    {
        std::vector<std::string> lines;
        std::string text = folder.Read("Debug.log");
        for (size_t at = 0; at < text.size();) {
            size_t end = text.find("\r\n", at);
            if (end == std::string::npos) end = text.size();
            lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }

    YDXSurface primary{"Primary"}, back{"Back"};
    D3DDEVICEDESC7 m_caps;
    YDeviceDescriptor m_device;
    YDisplayDescriptor m_display;
    std::unique_ptr<TableParser> parser{new TableParser};
};
}  // namespace

TEST_F(D3D6Parser, MapSessionRunsItsFiveLevelsWithTheirLogLines)
{
    ScratchFolder folder(ScratchFolder::Enter);
    folder.Write("maps/tiny.zon", TinyMap());
    ASSERT_EQ(1, MakeDevice());
    parser->SetDebugLog(1);
    YSessionDesc session = Session("maps\\tiny.zon");

    ASSERT_EQ(1, parser->InitSession(2, &session, 0));
    EXPECT_EQ(parser->GetSessionMode(), 2);
    EXPECT_EQ(parser->IsReady(), 0);
    const std::vector<std::string> expected = {
        "[YD3D6Parser::Hunt_SizeBuffers] Starting...", "[YD3D6Parser::Hunt_SizeBuffers] Finished",
        "[YD3D6Parser::Hunt_Init] Starting...", "[YD3D6Parser::Hunt_Init] Loading Map:maps\\tiny.zon"};
    EXPECT_EQ(LogLines(folder), expected);
    // The copied words; 5 stays the renderer's own, 19 is cleared, 1 (the
    // view distance, at most 255) comes back in cells.
    struct Word {
        int word;
        int32_t value;
    } words[] = {{1, 50}, {4, 40}, {5, 100}, {8, 0}, {19, 0}, {21, 1021}, {26, 1}, {27, 0}, {31, 1031}, {35, 1035}};
    for (const Word& w : words) EXPECT_EQ(parser->m_mapSettings[w.word], w.value) << "word " << w.word;
    EXPECT_STREQ(parser->m_mapPath.GetBuffer(), "maps\\tiny.zon");
    EXPECT_EQ(m_display.sessionWord, 1021u);
    float fov, fov2, nearPlane, farPlane;
    parser->GetProjection(&fov, &fov2, &nearPlane, &farPlane);
    EXPECT_EQ(fov, 60.0f);
    EXPECT_EQ(nearPlane, 1.0f);
    // The far plane is the far distance of the view distance (50 cells),
    // not the renderer's word 5.
    EXPECT_EQ(farPlane, float(parser->m_popUpDistance));
    EXPECT_EQ(farPlane, float(int32_t(48.0f * 128.0f * 0.9f)));
    ASSERT_NE(parser->m_softwareRasteriser, nullptr);
    EXPECT_EQ(parser->m_softwareRasteriser->GetSampleScaleX(), 2.0f);
    EXPECT_EQ(parser->m_renderRecordCount, 40);
    EXPECT_EQ(parser->m_modelOutputs.size(), 1u) << "the last model block counts";
    EXPECT_STREQ(parser->m_modelOutputs[0]->m_name.GetBuffer(), "mill");
    EXPECT_NE(parser->m_map, nullptr);
    EXPECT_EQ(parser->m_farCorner[0], int32_t(3 * 160.0f - 5.0f * 16.0f));

    ASSERT_EQ(1, parser->InitSession(2, nullptr, 1));
    ASSERT_EQ(parser->GetNamePairCount(), 2);
    EXPECT_GE(g_keepAlives, 1);

    ASSERT_EQ(1, parser->InitSession(2, nullptr, 2));
    DWORD ambient = 0;
    Device()->GetRenderState(D3DRENDERSTATE_AMBIENT, &ambient);
    EXPECT_EQ(ambient, 0x01010101u);

    ASSERT_EQ(1, parser->InitSession(2, nullptr, 3));
    EXPECT_EQ(parser->m_map, nullptr) << "level 3 lets the map go";
    EXPECT_EQ(parser->IsReady(), 0);
    ASSERT_EQ(1, parser->InitSession(2, nullptr, 4));
    EXPECT_EQ(parser->IsReady(), 1);
    EXPECT_EQ(1, parser->InitSession(2, nullptr, 5));
    EXPECT_EQ(parser->IsReady(), 1) << "levels above 4 do nothing";

    for (int i = 0; i < parser->GetEndLevelCount(2); ++i) EXPECT_EQ(1, parser->EndSession(i));
    EXPECT_EQ(parser->GetSessionMode(), 0);
    EXPECT_EQ(parser->IsReady(), 0);
    EXPECT_EQ(parser->GetNamePairCount(), 0);
    EXPECT_TRUE(parser->m_modelOutputs.empty());
    EXPECT_EQ(parser->m_softwareRasteriser, nullptr);
    EXPECT_EQ(parser->m_greyRamp, nullptr);
    EXPECT_EQ(LogLines(folder).size(), expected.size()) << "the later levels write no lines";
}

// Level 0 copies the map's height table twice (the second copy is what
// GetMapRecordBase hands out) and its corner heights; level 1 writes each
// cell's water height into the latter; the end of the session frees them.
TEST_F(D3D6Parser, MapLevelZeroCopiesTheHeightTablesAndTheCornerHeights)
{
    ScratchFolder folder(ScratchFolder::Enter);
    folder.Write("maps/tiny.zon", TinyMap());
    ASSERT_EQ(1, MakeDevice());
    EXPECT_EQ(nullptr, parser->GetMapRecordBase());
    YSessionDesc session = Session("maps\\tiny.zon");
    ASSERT_EQ(1, parser->InitSession(2, &session, 0));
    ASSERT_NE(nullptr, parser->m_map);
    const float* copy = static_cast<const float*>(parser->GetMapRecordBase());
    ASSERT_NE(nullptr, copy);
    ASSERT_EQ(65536u, parser->m_heightCopy.size());
    EXPECT_EQ(parser->m_map->m_heightTable, parser->m_heightCopy);
    EXPECT_EQ(parser->m_map->m_heightTable, parser->m_heightTable);
    EXPECT_NE(copy, parser->m_heightTable.data()) << "two tables";
    EXPECT_EQ(0.0f, parser->GetHeightSample(65535)) << "the table is there from level 0";
    EXPECT_EQ(parser->m_map->m_vertexHeights, parser->m_waterHeights);
    EXPECT_EQ(size_t(4 * 3), parser->m_waterHeights.size());

    parser->m_waterHeights.assign(12, 9.0f);
    ASSERT_EQ(1, parser->InitSession(2, nullptr, 1));
    for (size_t cell = 0; cell < 6; ++cell) EXPECT_EQ(0.0f, parser->m_waterHeights[cell]) << "no water in " << cell;
    EXPECT_EQ(9.0f, parser->m_waterHeights[6]) << "past the cells";
    ASSERT_EQ(1, parser->InitSession(2, nullptr, 3));
    EXPECT_NE(nullptr, parser->GetMapRecordBase()) << "the copies outlive the map object";

    parser->EndSession(0);
    EXPECT_EQ(nullptr, parser->GetMapRecordBase());
    EXPECT_TRUE(parser->m_waterHeights.empty());
}

TEST_F(D3D6Parser, MapSessionSizesItsFrameBuffersOnceAndFreesThemAtItsEnd)
{
    ScratchFolder folder(ScratchFolder::Enter);
    folder.Write("maps/tiny.zon", TinyMap());
    ASSERT_EQ(1, MakeDevice());
    // View distance option -> cells -> entries of the visible-cell lists,
    // ceil((d + 4)^2 x 3.141592 x 0.26315789803903855).
    struct Case {
        int32_t option, cells;
        size_t entries;
    } cases[] = {{0, 20, 477}, {25, 22, 559}, {255, 50, 2411}};
    const uint32_t bytes[] = {720896, 196608, 2883584, 1572864, 393216, 196608, 393216, 393216};
    for (const Case& c : cases) {
        YSessionDesc session = Session("maps\\tiny.zon");
        session.m_parameters[YD3D6Parser::kViewDistanceWord - 1] = c.option;
        ASSERT_EQ(1, parser->InitSession(2, &session, 0)) << c.option;
        EXPECT_EQ(c.cells, parser->m_viewCells);
        EXPECT_EQ(c.cells, parser->m_mapSettings[YD3D6Parser::kViewDistanceWord]);
        EXPECT_EQ(int32_t((c.cells - 2) * 128 * 0.9f), parser->m_popUpDistance);
        for (const auto& list : parser->m_visibleCells) EXPECT_EQ(c.entries, list.size());
        for (const auto& list : parser->m_visibleRecords) EXPECT_EQ(4 * c.entries, list.size());
        for (int i = 0; i < YD3D6Parser::kFrameBuffers; ++i) {
            EXPECT_EQ(bytes[i], parser->m_frameBuffers[i].size) << "work buffer " << i;
            EXPECT_NE(nullptr, parser->m_frameBuffers[i].bytes) << "work buffer " << i;
        }
        EXPECT_EQ(1441792u, parser->m_vertexScratch.size);
        for (uint8_t* pointer : parser->m_scratch) EXPECT_EQ(parser->m_vertexScratch.bytes.get(), pointer);
        EXPECT_NE(nullptr, parser->m_scratch[0]);
        EXPECT_EQ(131072u, parser->m_indexScratch.size);
        ASSERT_EQ(80u, parser->m_shadowCasters.size());
        for (const YD3D6ShadowCaster& caster : parser->m_shadowCasters) EXPECT_EQ(-1, caster.m_entry);

        // The later levels keep the buffers as they are.
        const uint8_t* alphaVertices = parser->m_frameBuffers[2].bytes.get();
        parser->m_shadowCasters[5].m_entry = 3;
        for (int level = 1; level < 5; ++level) ASSERT_EQ(1, parser->InitSession(2, nullptr, level));
        EXPECT_EQ(alphaVertices, parser->m_frameBuffers[2].bytes.get());
        EXPECT_EQ(3, parser->m_shadowCasters[5].m_entry);
        EXPECT_EQ(c.entries, parser->m_visibleCells[0].size());

        for (int i = 0; i < parser->GetEndLevelCount(2); ++i) parser->EndSession(i);
        for (const auto& list : parser->m_visibleCells) EXPECT_EQ(0u, list.capacity());
        for (const auto& list : parser->m_visibleRecords) EXPECT_EQ(0u, list.capacity());
        for (const auto& buffer : parser->m_frameBuffers) {
            EXPECT_EQ(nullptr, buffer.bytes);
            EXPECT_EQ(0u, buffer.size);
        }
        EXPECT_EQ(nullptr, parser->m_vertexScratch.bytes);
        EXPECT_EQ(nullptr, parser->m_scratch[6]);
        EXPECT_EQ(nullptr, parser->m_indexScratch.bytes);
        EXPECT_EQ(0u, parser->m_shadowCasters.capacity());
    }
}

TEST_F(D3D6Parser, DefaultRenderStatesForgetWhatTheStateCachesKnew)
{
    ScratchFolder folder(ScratchFolder::Enter);
    folder.Write("maps/tiny.zon", TinyMap());
    ASSERT_EQ(1, MakeDevice());
    YSessionDesc session = Session("maps\\tiny.zon");
    ASSERT_EQ(1, parser->InitSession(2, &session, 0));
    ASSERT_EQ(1, parser->InitSession(2, nullptr, 1));
    IDirect3DDevice7* device = Device();
    auto renderState = [&](D3DRENDERSTATETYPE state) {
        DWORD value = 0x12345678u;
        device->GetRenderState(state, &value);
        return value;
    };
    auto stageState = [&](DWORD stage, D3DTEXTURESTAGESTATETYPE state) {
        DWORD value = 0x12345678u;
        device->GetTextureStageState(stage, state, &value);
        return value;
    };
    EXPECT_EQ(D3D_OK, parser->SetRenderStateCached(D3DRENDERSTATE_ZFUNC, D3DCMP_LESS));
    EXPECT_EQ(D3D_OK, parser->SetRenderStateCached(D3DRENDERSTATE_TEXTUREFACTOR, 0xFFFFFFFFu));
    EXPECT_EQ(D3D_OK, parser->SetTextureStageStateCached(1, D3DTSS_COLOROP, D3DTOP_ADD));
    EXPECT_EQ(DWORD(D3DCMP_LESS), renderState(D3DRENDERSTATE_ZFUNC));
    EXPECT_EQ(DWORD(D3DTOP_ADD), stageState(1, D3DTSS_COLOROP));
    // The device changes behind the caches: the values they know are not sent again.
    device->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_ALWAYS);
    device->SetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, 0);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    EXPECT_EQ(D3D_OK, parser->SetRenderStateCached(D3DRENDERSTATE_ZFUNC, D3DCMP_LESS));
    EXPECT_EQ(D3D_OK, parser->SetRenderStateCached(D3DRENDERSTATE_TEXTUREFACTOR, 0xFFFFFFFFu));
    EXPECT_EQ(D3D_OK, parser->SetTextureStageStateCached(1, D3DTSS_COLOROP, D3DTOP_ADD));
    EXPECT_EQ(DWORD(D3DCMP_ALWAYS), renderState(D3DRENDERSTATE_ZFUNC));
    EXPECT_EQ(0u, renderState(D3DRENDERSTATE_TEXTUREFACTOR));
    EXPECT_EQ(DWORD(D3DTOP_DISABLE), stageState(1, D3DTSS_COLOROP));

    // Level 2 ends with the default render states: after them every change
    // reaches the device, equal to the last one sent or not (0xFFFFFFFF too).
    ASSERT_EQ(1, parser->InitSession(2, nullptr, 2));
    EXPECT_EQ(3u, renderState(D3DRENDERSTATE_FILLMODE));
    EXPECT_EQ(2u, renderState(D3DRENDERSTATE_SHADEMODE));
    EXPECT_EQ(1u, renderState(D3DRENDERSTATE_DITHERENABLE));
    EXPECT_EQ(0u, renderState(D3DRENDERSTATE_SPECULARENABLE));
    EXPECT_EQ(D3D_OK, parser->SetRenderStateCached(D3DRENDERSTATE_ZFUNC, D3DCMP_LESS));
    EXPECT_EQ(D3D_OK, parser->SetRenderStateCached(D3DRENDERSTATE_TEXTUREFACTOR, 0xFFFFFFFFu));
    EXPECT_EQ(D3D_OK, parser->SetTextureStageStateCached(1, D3DTSS_COLOROP, D3DTOP_ADD));
    EXPECT_EQ(DWORD(D3DCMP_LESS), renderState(D3DRENDERSTATE_ZFUNC));
    EXPECT_EQ(0xFFFFFFFFu, renderState(D3DRENDERSTATE_TEXTUREFACTOR));
    EXPECT_EQ(DWORD(D3DTOP_ADD), stageState(1, D3DTSS_COLOROP));
    // A state beyond the caches always goes, and a refusal is the device's.
    for (int i = 0; i < 2; ++i) EXPECT_NE(D3D_OK, parser->SetTextureStageStateCached(9, D3DTSS_COLOROP, D3DTOP_ADD));
    for (int i = 0; i < parser->GetEndLevelCount(2); ++i) parser->EndSession(i);
}

TEST_F(D3D6Parser, MapLevelZeroFailsWithoutItsMapAndLogsOnlyWhenAsked)
{
    struct Case {
        int debug;
        size_t lines;
    } cases[] = {{1, 4}, {0, 0}};
    for (const Case& c : cases) {
        ScratchFolder folder(ScratchFolder::Enter);
        parser->SetDebugLog(c.debug);
        YSessionDesc session = Session("maps\\none.zon");
        EXPECT_EQ(0, parser->InitSession(2, &session, 0));
        EXPECT_EQ(parser->IsReady(), 0);
        EXPECT_EQ(parser->m_map, nullptr);
        EXPECT_EQ(LogLines(folder).size(), c.lines) << c.debug;
        parser->EndSession(0);
    }
}

TEST_F(D3D6Parser, ViewerSessionCopiesItsWordsAndLogs)
{
    ScratchFolder folder(ScratchFolder::Enter);
    parser->SetDebugLog(1);
    // The viewer's size stands in the path word.
    YSessionDesc words;
    words.m_mapPath = "30";
    for (int i = 1; i < 36; ++i) words.m_parameters[i - 1] = 100 + i;
    EXPECT_EQ(1, parser->InitSession(1, &words, 0));
    EXPECT_EQ(parser->GetSessionMode(), 1);
    EXPECT_EQ(parser->IsReady(), 1);
    const std::vector<std::string> expected = {"[YD3D6Parser::InitSession] YSMVLevel 0 Start",
                                               "[YD3D6Parser::YSMV_Init] Starting...",
                                               "[YD3D6Parser::YSMV_Init] Finished",
                                               "[YD3D6Parser::InitSession] YSMVLevel 0 End"};
    EXPECT_EQ(LogLines(folder), expected);
    float fov, fov2, nearPlane, farPlane;
    parser->GetProjection(&fov, &fov2, &nearPlane, &farPlane);
    EXPECT_EQ(farPlane, 28.0f * 128.0f);
    EXPECT_EQ(m_display.sessionWord, 115u);
    for (int word : {1, 3, 5, 7, 11, 14, 16, 19}) EXPECT_EQ(parser->m_viewerSettings[word], 100 + word) << word;
    for (int word : {2, 6, 12, 13, 17, 18}) EXPECT_EQ(parser->m_viewerSettings[word], 0) << word;
    EXPECT_EQ(1, parser->InitSession(1, &words, 1));
    EXPECT_EQ(LogLines(folder).size(), expected.size()) << "only level 0 works";

    // Options in viewer mode: words 3, 4, 5 and 14 of the engine's descriptor.
    YSessionDesc session = Session("");
    EXPECT_EQ(1, parser->SetSessionOptions(&session));
    for (int word : {3, 5, 14}) EXPECT_EQ(parser->m_viewerSettings[word], 1000 + word) << word;
    EXPECT_EQ(parser->m_viewerSettings[4], 40);
    EXPECT_EQ(parser->m_viewerSettings[7], 107);
    EXPECT_EQ(parser->m_mapSettings[31], 0) << "the map's copy is left alone";
}

// The engine's descriptor, as the session hands it over, is read the same
// way by the viewer's set-up and by its options: the path word is no size.
TEST_F(D3D6Parser, ViewerReadsTheEngineDescriptorLikeItsOptions)
{
    struct Case {
        const char* path;
        float farPlane;
    } cases[] = {{"maps\\Meadow.zon", 1.0f + 128.0f}, {"", 1.0f + 128.0f}, {"12", 10.0f * 128.0f},
                 {"99999999999999999999", float(INT32_MAX - 2) * 128.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        YSessionDesc session = Session(c.path);
        ASSERT_EQ(1, parser->InitSession(1, &session, 0));
        float fov, fov2, nearPlane, farPlane;
        parser->GetProjection(&fov, &fov2, &nearPlane, &farPlane);
        EXPECT_EQ(farPlane, c.farPlane);
        const std::vector<int32_t> before(parser->m_viewerSettings, parser->m_viewerSettings + 20);
        for (int word : {3, 4, 5, 14}) EXPECT_EQ(parser->m_viewerSettings[word], session.m_parameters[word - 1]);
        ASSERT_EQ(1, parser->SetSessionOptions(&session));
        EXPECT_EQ(before, std::vector<int32_t>(parser->m_viewerSettings, parser->m_viewerSettings + 20));
        parser->EndSession(0);
    }
}

TEST_F(D3D6Parser, FilterLevelIsLoweredToWhatTheDeviceDraws)
{
    struct Case {
        DWORD asked;
        const char* force;
        DWORD level;
        DWORD second[3];
        DWORD anisotropy;
    } cases[] = {
        {4, "", 4, {3, 3, 5}, 2},
        {4, "noanisotropy", 3, {3, 2, 2}, 1},
        {4, "noanisotropy,nomiplinear", 2, {2, 2, 2}, 1},
        {4, "nomiplinear", 4, {3, 3, 5}, 2},
        {3, "nomiplinear", 2, {2, 2, 2}, 1},
        {3, "noanisotropy", 3, {3, 2, 2}, 1},
        {2, "", 2, {2, 2, 2}, 1},
        {1, "", 1, {3, 1, 1}, 1},
        {0, "", 0, {2, 1, 1}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.asked) + " " + c.force);
        ScopedForce force(c.force);
        m_display.filter = c.asked;
        ASSERT_EQ(1, MakeDevice());
        EXPECT_EQ(m_display.filter, c.level);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(parser->m_filters[1][i], c.second[i]) << i;
        EXPECT_EQ(parser->m_filters[0][0], c.level == 0 ? 2u : 3u);
        DWORD anisotropy = 0;
        Device()->GetTextureStageState(0, D3DTSS_MAXANISOTROPY, &anisotropy);
        EXPECT_EQ(anisotropy, c.anisotropy);
        EXPECT_EQ(parser->m_deviceCaps.dpcTriCaps.dwRasterCaps & D3DPRASTERCAPS_ANISOTROPY,
                  strstr(c.force, "noanisotropy") ? 0u : DWORD(D3DPRASTERCAPS_ANISOTROPY));
    }
}

TEST_F(D3D6Parser, FramesRunOnlyInAReadySessionOfTheirMode)
{
    ScratchFolder folder(ScratchFolder::Enter);
    ASSERT_EQ(1, MakeDevice());
    parser->SetDebugLog(1);
    YSessionDesc viewer = Session("30");
    struct Case {
        const char* what;
        int mode;
        int level;  // the last level run, -1 none
        bool scene;
        bool mapFrame;
    } cases[] = {
        {"no session", 0, -1, false, false},
        {"map, not ready", 2, 3, false, false},
        {"map, ready", 2, 4, true, true},
        {"viewer, ready", 1, 0, false, false},
        {"other mode", 3, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        parser->EndSession(0);
        folder.Write("Debug.log", "");
        if (c.level >= 0) parser->InitSession(c.mode, c.mode == 1 ? static_cast<void*>(&viewer) : nullptr, c.level);
        parser->SetOverlayColor(0.1f, 0.2f, 0.3f, 0.4f);
        parser->PushOverlayColor(1, 1.0f, 0.0f, 0.0f, 1.0f);

        parser->BeginFrame();
        const HRESULT again = Device()->BeginScene();
        EXPECT_EQ(again, c.scene ? D3DERR_SCENE_IN_SCENE : D3D_OK);
        if (!c.scene) Device()->EndScene();
        parser->RenderFrame();
        const float all[4] = {0.0f, 0.0f, 1.0f, 1.0f};
        EXPECT_EQ(parser->RenderTextureFrame(0, 60.0f, 60.0f, all), 0) << "no texture 0";
        parser->EndFrame();
        EXPECT_EQ(Device()->EndScene(), D3DERR_SCENE_NOT_IN_SCENE) << "the scene is ended";

        float a, b, cc, d;
        parser->GetOverlayColor(&a, &b, &cc, &d);
        EXPECT_EQ(a, c.mapFrame ? 0.1f : 1.0f) << "a map frame pops the overlay colour";
        const std::vector<std::string> frameLines = {"[YD3D6Parser::Hunt_RenderFrame] Starting...",
                                                     "[YD3D6Parser::Hunt_RenderFrame] Finished"};
        std::vector<std::string> lines = LogLines(folder);
        if (c.mapFrame) {
            EXPECT_EQ(lines, frameLines);
        } else {
            EXPECT_TRUE(lines.empty() || lines.back().find("Hunt_RenderFrame") == std::string::npos);
        }
        parser->PopOverlayColor();
    }
}

// A colour pushed for 3 frames over A shows on frames 1 and 2; the pop at
// the end of the third map frame brings A back.
TEST_F(D3D6Parser, PushedOverlayColourHoldsForItsMapFrames)
{
    ASSERT_EQ(1, MakeDevice());
    parser->InitSession(2, nullptr, 4);
    parser->SetOverlayColor(0.5f, 0.5f, 0.5f, 0.0f);
    parser->PushOverlayColor(3, 1.0f, 0.0f, 0.0f, 0.5f);
    const float shown[] = {1.0f, 1.0f, 1.0f, 0.5f};
    for (int frame = 0; frame < 4; ++frame) {
        float a, b, c, d;
        parser->GetOverlayColor(&a, &b, &c, &d);
        EXPECT_EQ(a, shown[frame]) << "before frame " << frame + 1;
        parser->BeginFrame();
        parser->RenderFrame();
        parser->EndFrame();
    }
}

TEST_F(D3D6Parser, ViewRectanglesAndProjectionReachTheDevice)
{
    ASSERT_EQ(1, MakeDevice(k565, 64, 48));
    parser->SetProjection(90.0f, 90.0f, 2.0f, 500.0f);
    EXPECT_EQ(1, parser->SetViewRects(8, 8, 40, 32, 0, 0, 64, 48));
    EXPECT_EQ(1, parser->ApplyView());
    D3DVIEWPORT7 vp;
    Device()->GetViewport(&vp);
    EXPECT_EQ(vp.dwX, 8u);
    EXPECT_EQ(vp.dwWidth, 32u);
    EXPECT_EQ(vp.dwHeight, 24u);
    D3DMATRIX m;
    Device()->GetTransform(D3DTRANSFORMSTATE_PROJECTION, &m);
    const float* e = reinterpret_cast<const float*>(&m);
    EXPECT_NEAR(e[0], 1.0f, 1e-5f) << "1 / tan(45 degrees)";
    EXPECT_NEAR(e[10], 500.0f / 498.0f, 1e-5f);
    EXPECT_NEAR(e[14], -500.0f / 498.0f * 2.0f, 1e-4f);

    // The apply form keeps the clip rectangle.
    parser->SetViewRectsAndApply(0, 0, 32, 24);
    RECT screen, clip;
    parser->GetViewRects(&screen, &clip);
    EXPECT_EQ(screen.right, 32);
    EXPECT_EQ(clip.right, 64);
    Device()->GetViewport(&vp);
    EXPECT_EQ(vp.dwWidth, 32u);
    // A viewport outside its clip rectangle is refused by the device but kept.
    EXPECT_EQ(0, parser->SetViewRects(0, 0, 80, 48, 0, 0, 64, 48));
    parser->GetViewRects(&screen, &clip);
    EXPECT_EQ(screen.right, 80);
}

// A pick through a point of the centre row, projected by the device's view
// and projection, lands on that point. (Off the centre row it does not
// quite: the pick scales both axes by the half-width.)
TEST_F(D3D6Parser, PickRayProjectsBackOntoItsScreenPoint)
{
    ASSERT_EQ(1, MakeDevice(k565, 64, 48));
    parser->SetProjection(60.0f, 60.0f, 1.0f, 3000.0f);
    parser->SetViewRects(0, 0, 64, 48, 0, 0, 64, 48);
    parser->SetCameraPosition(10.0f, 20.0f, 30.0f);
    parser->SetCameraAngles(0.2f, 0.7f, 0.0f);
    parser->ApplyView();
    D3DMATRIX view, projection;
    Device()->GetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    Device()->GetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    auto apply = [](const D3DMATRIX& m, const float in[4], float out[4]) {
        const float* e = reinterpret_cast<const float*>(&m);
        for (int c = 0; c < 4; ++c) out[c] = in[0] * e[c] + in[1] * e[4 + c] + in[2] * e[8 + c] + in[3] * e[12 + c];
    };
    const int points[][2] = {{32, 24}, {10, 24}, {60, 24}, {0, 24}};
    for (const auto& p : points) {
        float origin[3], direction[3];
        ASSERT_EQ(1, parser->GetViewRay(p[0], p[1], origin, direction));
        EXPECT_EQ(origin[0], 10.0f);
        const float world[4] = {origin[0] + 100 * direction[0], origin[1] + 100 * direction[1],
                                origin[2] + 100 * direction[2], 1.0f};
        float eye[4], clip[4];
        apply(view, world, eye);
        apply(projection, eye, clip);
        const float sx = (clip[0] / clip[3] + 1.0f) * 32.0f, sy = (1.0f - clip[1] / clip[3]) * 24.0f;
        EXPECT_NEAR(sx, p[0], 0.05f) << p[0] << "," << p[1];
        EXPECT_NEAR(sy, p[1], 0.05f) << p[0] << "," << p[1];
    }
}

namespace {
// Records the light and texture requests of the light modes.
class LightParser : public YD3D6Parser {
public:
    int AddLight(const void* record) override
    {
        added.push_back(*static_cast<const YRasterLight*>(record));
        return int(added.size()) + 6;
    }
    void RemoveLight(int index) override { removed.push_back(index); }
    int LoadCatalogTextures(const char* name, DWORD, int) override
    {
        loads.push_back(name);
        return 12;
    }
    float Ambient(int i)
    {
        float v;
        memcpy(&v, &GetAmbientBlock()[5 + i], sizeof v);
        return v;
    }
    std::vector<YRasterLight> added;
    std::vector<int> removed;
    std::vector<std::string> loads;
};
}  // namespace

TEST(D3D6ParserModes, LightModeAndThermalViewSwapLightAndAmbient)
{
    LightParser parser;
    const float before[3] = {0.25f, 0.5f, 0.75f};
    memcpy(&parser.GetAmbientBlock()[5], before, sizeof before);
    struct Case {
        bool thermal;
        float light[3];
        float ambient[3];
    } cases[] = {{false, {0.3f, 1.0f, 0.3f}, {0.0f, 1.0f, 0.0f}}, {true, {0.3f, 0.3f, 1.0f}, {0.0f, 0.0f, 1.0f}},
                 {true, {0.3f, 0.3f, 1.0f}, {0.0f, 0.0f, 1.0f}}};
    for (const Case& c : cases) {
        c.thermal ? parser.EnterThermalView() : parser.EnterLightMode();
        EXPECT_EQ(c.thermal ? parser.m_thermal : parser.m_lightMode, 1);
        const YRasterLight& light = parser.added.back();
        EXPECT_EQ(light.type, 3u);
        EXPECT_EQ(light.direction[1], -1.0f);
        EXPECT_EQ(light.range, 1000.0f);
        EXPECT_EQ(light.words[1], 1u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(light.color[i], c.light[i]);
            EXPECT_EQ(parser.Ambient(i), c.ambient[i]);
        }
        EXPECT_EQ(parser.m_lightIntensity, 0.0f);
        c.thermal ? parser.LeaveThermalView(9) : parser.LeaveLightMode(9);
        EXPECT_EQ(parser.removed.back(), 9);
        EXPECT_EQ(c.thermal ? parser.m_thermal : parser.m_lightMode, 0);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(parser.Ambient(i), before[i]);
        EXPECT_EQ(parser.m_lightIntensity, 0.5f);
    }
    ASSERT_EQ(parser.loads.size(), 1u) << "the thermal texture loads once";
    EXPECT_EQ(parser.loads[0], "MiscTextures-thermal--24-0");
    EXPECT_EQ(parser.m_thermalTexture, 12);
}

TEST_F(D3D6Parser, TextureTableAnswersByIndexAndNamesAreAlwaysTerminated)
{
    YD3D6TextureItem* item = new YD3D6TextureItem;
    item->m_name = "tab";  // "bat" reversed
    parser->m_textures.push_back(item);
    parser->m_textures.push_back(nullptr);
    EXPECT_EQ(parser->GetTexture(-1), nullptr);
    EXPECT_EQ(parser->GetTexture(2), nullptr);
    EXPECT_EQ(parser->GetTexture(1), nullptr);
    struct Case {
        int16_t index;
        int16_t length;
        int result;
        const char* text;
    } cases[] = {{0, 10, 1, "bat"}, {0, 4, 1, "bat"}, {0, 3, 1, "ba"}, {0, 1, 1, ""},
                 {0, 0, 0, "xxxx"}, {-1, 10, 0, "xxxx"}, {2, 10, 0, "xxxx"}, {1, 10, 0, "xxxx"}};
    for (const Case& c : cases) {
        char buffer[16] = "xxxx";
        EXPECT_EQ(parser->GetTextureNameReversed(c.index, buffer, c.length), c.result) << c.index << " " << c.length;
        EXPECT_STREQ(buffer, c.text) << c.index << " " << c.length;
    }
    EXPECT_EQ(0, parser->GetTextureNameReversed(0, nullptr, 4));
}

TEST_F(D3D6Parser, TexturePixelsGoToAndFromASurface)
{
    YDXSurface screen("Screen"), picture("Texture");
    ASSERT_EQ(1, screen.CreateSurface(&display, 8, 8, DDSCAPS_OFFSCREENPLAIN, nullptr, 0, &kX888));
    ASSERT_EQ(1, picture.CreateSurface(&display, 4, 4, DDSCAPS_OFFSCREENPLAIN, nullptr, 0, &kX888));
    std::vector<uint32_t> pixels(64);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0x010203u * uint32_t(i + 1);
    Write(screen, pixels);
    Write(picture, std::vector<uint32_t>(16, 0));

    YD3D6TextureItem* item = new YD3D6TextureItem;
    item->m_surface = picture.GetSurface();
    item->m_surface->AddRef();
    item->m_width = 4;
    item->m_height = 4;
    parser->m_textures.push_back(item);
    parser->m_textures.push_back(new YD3D6TextureItem);  // no surface

    ASSERT_EQ(1, parser->BlitSurfaceToTexture(screen.GetSurface(), 0));
    std::vector<uint32_t> got = Read(picture);
    EXPECT_EQ(got[0] & 0xFFFFFF, pixels[0]);
    EXPECT_EQ(got[5] & 0xFFFFFF, pixels[9]) << "row 1, column 1 of the 8-wide screen";

    Write(screen, std::vector<uint32_t>(64, 0));
    ASSERT_EQ(1, parser->BlitTextureToSurface(0, screen.GetSurface()));
    got = Read(screen);
    EXPECT_EQ(got[9] & 0xFFFFFF, pixels[9]);
    EXPECT_EQ(got[4] & 0xFFFFFF, 0u) << "only the texture's 4 x 4 is copied";

    for (int16_t bad : {int16_t(-1), int16_t(1), int16_t(2)}) {
        EXPECT_EQ(0, parser->BlitSurfaceToTexture(screen.GetSurface(), bad)) << bad;
        EXPECT_EQ(0, parser->BlitTextureToSurface(bad, screen.GetSurface())) << bad;
    }
    EXPECT_EQ(0, parser->BlitSurfaceToTexture(nullptr, 0));
    parser.reset();  // the entry lets its surface go
    picture.Release();
    screen.Release();
}

TEST_F(D3D6Parser, NamePairsAreFoundByTheirFirstName)
{
    YMapVT3Tag record;
    uint8_t byte = 0;
    char buffer[YD3D6Parser::kMaxNameText + 1];
    EXPECT_EQ(0, parser->FindNamePair("sky", &record)) << "empty table";
    YMapVT3Tag sky, empty;
    sky.m_name = "sky";
    sky.m_value = "blue";
    sky.m_flag = 7;
    empty.m_value = "nameless";
    parser->m_namePairs = {sky, empty};

    struct Case {
        const char* name;
        int found;
        const char* second;
    } cases[] = {{"sky", 1, "blue"}, {"SKY", 0, ""}, {"", 1, "nameless"}, {nullptr, 1, "nameless"}, {"sk", 0, ""}};
    for (const Case& c : cases) {
        record = YMapVT3Tag();
        EXPECT_EQ(parser->FindNamePair(c.name, &record), c.found) << (c.name ? c.name : "null");
        EXPECT_STREQ(record.m_value.GetBuffer(), c.second);
        buffer[0] = 0;
        EXPECT_EQ(parser->LookupNamePair(c.name, &byte, buffer, nullptr), c.found);
        EXPECT_STREQ(buffer, c.second);
    }
    EXPECT_EQ(byte, 0);
    EXPECT_EQ(1, parser->LookupNamePair("sky", &byte, buffer, nullptr));
    EXPECT_EQ(byte, 7);
    EXPECT_EQ(0, parser->LookupNamePair("sky", nullptr, buffer, nullptr));
    EXPECT_EQ(0, parser->LookupNamePair("sky", &byte, nullptr, nullptr));

    char first[YD3D6Parser::kMaxNameText + 1] = "", second[YD3D6Parser::kMaxNameText + 1] = "";
    byte = 0;
    EXPECT_EQ(1, parser->GetNamePairText(0, &byte, first, nullptr, second, nullptr));
    EXPECT_STREQ(first, "sky");
    EXPECT_STREQ(second, "blue");
    EXPECT_EQ(byte, 7);
    EXPECT_EQ(1, parser->GetNamePairText(1, nullptr, nullptr, nullptr, second, nullptr));
    EXPECT_STREQ(second, "nameless");
    EXPECT_EQ(0, parser->GetNamePairText(2, &byte, first, nullptr, second, nullptr));
    EXPECT_EQ(1, parser->GetNamePair(0, &record));
    EXPECT_STREQ(record.m_name.GetBuffer(), "sky");
    EXPECT_EQ(0, parser->GetNamePair(-1, &record));
    EXPECT_EQ(parser->GetNamePairCount(), 2);
}

namespace {
int g_modelsDeleted = 0;
class CountedModel : public YSMObject {
public:
    ~CountedModel() override { ++g_modelsDeleted; }
};

YParseModelItem* ModelItem(const char* name, bool loaded)
{
    YParseModelItem* item = new YParseModelItem;
    item->m_name = name;
    if (loaded) item->m_model = new CountedModel;
    return item;
}
}  // namespace

TEST_F(D3D6Parser, ModelTableFindsByNameAndReleasesEveryModel)
{
    g_modelsDeleted = 0;
    EXPECT_EQ(parser->FindModelByName("plane"), -1) << "empty table";
    parser->m_models = {ModelItem("plane", true), ModelItem("tree", false), ModelItem("", true),
                        ModelItem("tree", true)};
    struct Case {
        const char* name;
        int16_t index;
    } cases[] = {{"plane", 0}, {"tree", 3}, {"", 2}, {nullptr, 2}, {"Plane", -1}, {"barn", -1}};
    for (const Case& c : cases) EXPECT_EQ(parser->FindModelByName(c.name), c.index) << (c.name ? c.name : "null");
    const struct {
        int16_t index;
        bool loaded;
    } loaded[] = {{0, true}, {1, false}, {3, true}, {4, false}, {-1, false}};
    for (const auto& l : loaded) EXPECT_EQ(parser->IsModelLoaded(l.index), l.loaded) << l.index;

    EXPECT_EQ(1, parser->ReleaseModels());
    EXPECT_EQ(g_modelsDeleted, 3) << "the last model goes too";
    EXPECT_FALSE(parser->IsModelLoaded(3));
    EXPECT_EQ(parser->FindModelByName("plane"), -1);
    parser.reset();
    EXPECT_EQ(g_modelsDeleted, 3) << "nothing is deleted twice";
}

namespace {
// Flat ground at height 0.
class FlatParser : public YD3D6Parser {
public:
    float GetGroundHeight(double, double) override { return 0.0f; }
};
}  // namespace

// Each tree within reach darkens a vertex by up to 80 by its distance from
// the segment from the tree to the ground 120 units on.
TEST(D3D6ParserShade, TreesDarkenTheVerticesInTheirReach)
{
    FlatParser parser;
    const YD3D6Parser::TreeShadeSource tree = {{0.0f, 10.0f, 0.0f}, 10.0f};
    const YD3D6Parser::TreeShadeSource wide = {{0.0f, 10.0f, 0.0f}, 20.0f};
    const YD3D6Parser::TreeShadeSource thin = {{0.0f, 10.0f, 0.0f}, 1.0f};
    const YD3D6Parser::TreeShadeSource four[] = {tree, tree, tree, tree};
    struct Case {
        const char* what;
        float vertex[3];
        const YD3D6Parser::TreeShadeSource* trees;
        int count;
        uint8_t shade;
    } cases[] = {
        {"no trees", {0, 0, 0}, nullptr, 0, 255},
        {"at the tree", {0, 10, 0}, &tree, 1, 175},
        {"out of reach", {0, 10, 50}, &tree, 1, 255},
        {"before the tree", {-5, 10, 0}, &tree, 1, 215},
        {"on the segment", {60, 5, 60}, &thin, 1, 175},
        {"past the ground end", {130, 0, 130}, &wide, 1, 232},
        {"more shade than there is light", {0, 10, 0}, four, 4, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(parser.ShadeByTrees(c.vertex, c.trees, c.count, 120.0f), c.shade) << c.what;
}
