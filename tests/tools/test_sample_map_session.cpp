// A map session on the sample data: the sample map "Meadow" set up level
// by level through the renderer on our device with the sample catalog, what
// each level built, the session's end, and a headless frame of the loaded
// terrain and trees written as "map_session_frame.bmp".
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "SampleCatalog.h"
#include "ScratchFolder.h"
#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "foundation/SaveDCBitmap.h"
#include "foundation/YCatalog.h"
#include "graphics2d/Graphics2dFixture.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"
#include "renderer/YD3D6TextureItem.h"
#include "renderer/YMapVT3.h"
#include "assets3d/YSMObject.h"
#include "graphics2d/YModel.h"
#include "graphics2d/YModelFrame.h"
#include "tools/YCatalogText.h"
#include "tools/map_frame/YMapFramePath.h"

#if defined(RCV_DATA_DIR)
namespace {

const DDPIXELFORMAT k565 = RgbFormat(16, 0xF800, 0x07E0, 0x001F);
int g_keepAlives = 0;
void CountKeepAlive() { ++g_keepAlives; }
float Day100(LONG a, LONG b, LONG x)
{
    if (a <= b) return (a <= x && x <= b) ? 1.0f : 0.0f;
    return (x < b || x > a) ? 1.0f : 0.0f;
}

class SessionParser : public YD3D6Parser {
public:
    using YParser::m_modelOutputs;
    using YParser::m_models;
    using YParser::m_tags;
};

class SampleMapSession : public Graphics2dTest {
protected:
    void SetUp() override
    {
        Graphics2dTest::SetUp();
        catalog.reset(new SampleCatalog(RCV_DATA_DIR));
        engine = YGameObjects::Instance();
        g_keepAlives = 0;
        memset(&displayDesc, 0, sizeof displayDesc);
        displayDesc.word1 = 20;
        parser->AttachDisplay(&displayDesc);
        parser->SetWorldScale(16.0f);
        parser->SetLoadingKeepAlive(CountKeepAlive);
        parser->SetRangeTest(Day100);
    }
    void TearDown() override
    {
        parser.reset();
        catalog.reset();
        back.Release();
        primary.Release();
        Graphics2dTest::TearDown();
    }
    int MakeDevice(int width, int height)
    {
        EXPECT_EQ(1, primary.CreatePrimarySurface(&display, 2, 0));
        EXPECT_EQ(1, back.CreateSurface(&display, width, height, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, nullptr,
                                        0, &k565));
        memset(&caps, 0, sizeof caps);
        device = {44, 0, &display, primary.GetSurface(), back.GetSurface(), &caps, 0, 16, {0, 0, 0}};
        return parser->CreateDevice(&device);
    }
    YSessionDesc Session(const char* map)
    {
        YSessionDesc d;
        d.m_mapPath = map;
        const int32_t defaults[] = {25, 1, 1, 800, 100, 2, 1, 0, 1, 0, 16, 1, 1, 1, 1, 1, 0, 1,
                                    1, 0, 1, 0, 1, 1, 1, 0, 2, 0, 0, 0, 0, 0, 0, 0, 100, 0};
        for (int i = 0; i < YSessionDesc::ParameterCount; ++i) d.m_parameters[i] = defaults[i];
        return d;
    }
    int RunLevels(YSessionDesc& session)
    {
        for (int level = 0; level < parser->GetInitLevelCount(2); ++level)
            if (!parser->InitSession(2, level == 0 ? &session : nullptr, level)) return 0;
        return 1;
    }

    std::unique_ptr<SampleCatalog> catalog;
    YGameObjects* engine = nullptr;
    YDXSurface primary{"Primary"}, back{"Back"};
    D3DDEVICEDESC7 caps;
    YDeviceDescriptor device;
    YDisplayDescriptor displayDesc;
    std::unique_ptr<SessionParser> parser{new SessionParser};
};

std::string Reversed(const YString& name)
{
    std::string text(name.GetBuffer());
    return std::string(text.rbegin(), text.rend());
}

// The texture entry's request name.
std::string TextureName(const YD3D6Parser& parser, int16_t index)
{
    const YD3D6TextureItem* item = parser.GetTextureItem(index);
    return item ? Reversed(item->m_name) : std::string();
}

TEST_F(SampleMapSession, MeadowLoadsLevelByLevelAndEndsClean)
{
    ScratchFolder folder(ScratchFolder::Enter);
    ASSERT_EQ(1, MakeDevice(64, 48));
    parser->SetDebugLog(1);
    YSessionDesc session = Session(RCV_DATA_DIR "/maps/Meadow.zon");
    ASSERT_EQ(1, RunLevels(session));
    EXPECT_EQ(1, parser->IsReady());
    const std::string log = folder.Read("Debug.log");
    for (const char* line : {"[YD3D6Parser::Hunt_SizeBuffers] Starting...", "[YD3D6Parser::Hunt_SizeBuffers] Finished",
                             "[YD3D6Parser::Hunt_Init] Starting...",
                             "[YD3D6Parser::Hunt_Init] Loading Map:" RCV_DATA_DIR "/maps/Meadow.zon"})
        EXPECT_NE(std::string::npos, log.find(line)) << line;
    EXPECT_GT(g_keepAlives, 10);
    // View distance option 25: 22 cells.
    EXPECT_EQ(22, parser->m_viewCells);

    // Ground textures: the defaults, and per cell a variant of its handler.
    EXPECT_EQ(TextureName(*parser, parser->m_groundTexture), "file;" RCV_DATA_DIR "\\textures\\GroundTexture-JetBlack.ytx");
    EXPECT_EQ(TextureName(*parser, parser->m_waterTexture), "file;" RCV_DATA_DIR "\\textures\\GroundTexture-Water1.ytx");
    ASSERT_EQ(96u * 96u, parser->m_cells.size());
    std::set<std::string> groundNames;
    size_t water = 0;
    for (const YMapCell& cell : parser->m_cells) {
        EXPECT_EQ(-1, cell.m_index);
        for (const YCellPolygon* shared : cell.m_polygons) {
            const YCellPolygon& polygon = *shared;
            ASSERT_EQ(1u, polygon.m_layerTextures.size());
            const YD3D6TextureItem* item = parser->GetTextureItem(polygon.m_layerTextures[0]);
            ASSERT_NE(nullptr, item);
            EXPECT_GE(item->m_handler, 0) << "map textures come from the catalog's handlers";
            groundNames.insert(TextureName(*parser, polygon.m_layerTextures[0]));
            water += polygon.m_kind == YCellPolygon::kWater;
        }
    }
    EXPECT_GT(water, 0u);
    // Day 100: green grass, no dry grass or snow; rock, sand and water.
    EXPECT_EQ(1u, groundNames.count("file;" RCV_DATA_DIR "\\textures\\GroundTexture-Grass1.ytx"));
    EXPECT_EQ(0u, groundNames.count("file;" RCV_DATA_DIR "\\textures\\GroundTexture-DryGrass1.ytx"));
    EXPECT_EQ(4u, groundNames.size());

    // Sky: the flare, the moon's and the sun's sources, the cloud plane.
    EXPECT_GE(parser->m_flareTexture, 0);
    ASSERT_EQ(2, parser->GetFlareSourceCount());
    const YD3D6CelestialObject* moon = parser->GetCelestialObject(0);
    const YD3D6CelestialObject* sun = parser->GetCelestialObject(1);
    EXPECT_EQ(8u, moon->m_images.size());
    EXPECT_TRUE(moon->m_flags & YFlareElement::kFlagMoon);
    EXPECT_EQ(1u, sun->m_images.size());
    EXPECT_EQ(5, sun->ElementCount());
    EXPECT_EQ(720u, sun->m_elements[2].m_timeKey) << "noon";
    // Both are lights: their places in the raster's source-light list.
    ASSERT_EQ(2u, parser->GetRaster()->m_sessionLights.size());
    EXPECT_EQ(0, moon->m_light);
    EXPECT_EQ(1, sun->m_light);
    EXPECT_EQ(3u, parser->GetRaster()->m_sessionLights[1].type);
    EXPECT_EQ(-1.0f, parser->GetRaster()->m_sessionLights[1].direction[1]);
    ASSERT_EQ(1u, parser->m_clouds.size());
    EXPECT_GE(parser->m_clouds[0].texture, 0);

    // Trees: three sprite types (the willow translucent) and the tree model;
    // the trees of the ring and of the willows' row in the cells.
    EXPECT_EQ(3, parser->m_spriteTypeCount);
    ASSERT_EQ(1u, parser->m_treeModels.size());
    EXPECT_NE(nullptr, parser->m_treeModels[0]);
    size_t trees = 0, models = 0;
    for (const YMapCell& cell : parser->m_cells)
        for (const YCellItem& item : cell.m_items) {
            ++trees;
            models += item.m_type >= parser->m_spriteTypeCount;
            EXPECT_EQ(64u, item.m_work.size());
        }
    EXPECT_GT(trees, 12u);
    EXPECT_LE(trees, 24u + 4u);
    EXPECT_GT(models, 0u);
    size_t shaded = 0;
    for (uint8_t shade : parser->m_vertexShade) shaded += shade < 255;
    EXPECT_GT(shaded, 0u) << "ground under trees is shaded";

    // Shadow table: 56 slots and 3 work textures, all made.
    ASSERT_EQ(56u, parser->m_shadowSlots.size());
    for (size_t i = 0; i < parser->m_shadowSlots.size(); ++i) {
        const YD3D6Parser::ShadowSlot& slot = parser->m_shadowSlots[i];
        ASSERT_GE(slot.texture, 0) << i;
        char prefix[16];
        snprintf(prefix, sizeof prefix, "cmd;S%03zu;000;", i);
        EXPECT_EQ(0u, TextureName(*parser, int16_t(slot.texture)).find(prefix));
        EXPECT_EQ(slot.size, i < 8 ? 64 : i < 24 ? 32 : 16);
        EXPECT_EQ(slot.lock->GetWidth(), slot.size);
    }

    // Placed models: hangar, windsock, barn and the target of the second list.
    ASSERT_EQ(4, parser->GetPlacedObjectCount());
    const YMapVT3Model_Output* outputs[3] = {nullptr, nullptr, nullptr};
    for (const YMapVT3Model_Output* o : parser->m_modelOutputs)
        for (int k = 0; k < 3; ++k)
            if (std::string(o->m_name.GetBuffer()) ==
                std::string("Scenery-") + (k == 0 ? "Hangar" : k == 1 ? "Windsock" : "Barn") + "--19-0")
                outputs[k] = o;
    for (int k = 0; k < 3; ++k) {
        ASSERT_NE(nullptr, outputs[k]);
        const YRenderInstance* placed = parser->GetPlacedObject(k);
        ASSERT_NE(nullptr, placed->m_model);
        EXPECT_EQ(5, placed->m_kind);
        EXPECT_FLOAT_EQ(outputs[k]->m_x * 16.0f, placed->m_position[0]);
        EXPECT_FLOAT_EQ(outputs[k]->m_yaw, placed->m_angles[1]);
    }
    // The hangar stands upright; the barn follows the hill it stands on.
    EXPECT_EQ(0.0f, parser->GetPlacedObject(0)->m_angles[0]);
    EXPECT_EQ(1u, parser->GetPlacedObject(2)->m_model->m_groundAlign);
    const float* barn = parser->GetPlacedObject(2)->m_angles;
    EXPECT_GT(std::fabs(barn[0]) + std::fabs(barn[2]), 0.02f) << "on the flank of a hill";
    EXPECT_LT(std::fabs(barn[0]) + std::fabs(barn[2]), 1.0f);

    // Every handle the map set-up made shows frame 0 of its group "Normal"
    // at the render scale and is not played by an animation, though the
    // tree model has its sway.
    ASSERT_FALSE(parser->m_treeModels[0]->m_model->m_anims.empty());
    std::vector<const YSMHandle*> handles = {parser->m_treeModels[0]};
    for (int k = 0; k < 4; ++k) handles.push_back(parser->GetPlacedObject(k)->m_model);
    for (const YSMHandle* handle : handles) {
        EXPECT_FALSE(handle->IsAnimated());
        EXPECT_EQ(0, handle->GetShownFrame());
        EXPECT_GE(handle->GetActiveGroup(), 0);
        EXPECT_EQ(handle->FindGroup("Normal"), handle->GetActiveGroup());
        EXPECT_EQ(16.0f, handle->GetReferenceSize());
    }
    // The tree model's values: reach and height of its crown (0x10) and of
    // its shown groups (0x02), at the render scale.
    const size_t treeType = size_t(parser->m_spriteTypeCount);
    float treeValues[4];
    YD3D6Parser::TreeModelValues(*parser->m_treeModels[0], treeValues);
    EXPECT_EQ(treeValues[0], parser->m_treeFactorA[treeType]);
    EXPECT_EQ(treeValues[1], parser->m_treeFactorB[treeType]);
    EXPECT_EQ(treeValues[2], parser->m_treeFactorC[treeType]);
    EXPECT_EQ(treeValues[3], parser->m_treeFactorD[treeType]);
    EXPECT_NEAR(5.5f * 16.0f, parser->m_treeFactorB[treeType], 0.5f) << "5.5 units high";
    EXPECT_EQ(parser->m_treeFactorB[treeType], parser->m_treeFactorD[treeType]) << "the crown is the top";
    EXPECT_GT(parser->m_treeFactorA[treeType], 16.0f);

    // The sky boxes of the day with their fog: night, dawn, day, dusk, night.
    ASSERT_EQ(5u, parser->m_backgrounds.size());
    const int32_t spans[5][2] = {{0, 360}, {300, 480}, {420, 1080}, {1020, 1320}, {1260, 1440}};
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const YD3D6SkyPeriod& period = parser->m_backgrounds[i];
        for (YD3D6Lock* face : period.faces) EXPECT_NE(nullptr, face);
        EXPECT_EQ(1, period.valid);
        EXPECT_EQ(spans[i][0], period.start);
        EXPECT_EQ(spans[i][1], period.end);
    }
    EXPECT_EQ(parser->m_backgrounds[0].faces[0], parser->m_backgrounds[4].faces[0]) << "the night's box twice";
    const YD3D6Parser::Background& sky = parser->m_backgrounds[2];
    EXPECT_EQ(0xC8D7EBu, sky.fogColour);
    EXPECT_EQ(0x1E5AAAu, sky.waterColour);
    EXPECT_EQ(800.0f, sky.fogNear);
    EXPECT_EQ(6000.0f, sky.fogFar);
    DWORD fog = 0, colour = 0;
    parser->GetRaster()->GetDevice()->GetRenderState(D3DRENDERSTATE_FOGENABLE, &fog);
    parser->GetRaster()->GetDevice()->GetRenderState(D3DRENDERSTATE_FOGCOLOR, &colour);
    EXPECT_EQ(1u, fog);
    EXPECT_EQ(0x121628u, colour) << "the first period's fog until the first frame";
    EXPECT_EQ(nullptr, parser->m_map) << "level 3 let the map go";

    for (int i = 0; i < parser->GetEndLevelCount(2); ++i) parser->EndSession(i);
    EXPECT_EQ(0, parser->GetTextureCount());
    EXPECT_TRUE(parser->m_models.empty());
    EXPECT_TRUE(parser->m_catalogModels.empty());
    EXPECT_TRUE(parser->m_textureHandlers.empty());
    EXPECT_EQ(0, parser->GetPlacedObjectCount());
    EXPECT_TRUE(parser->m_cells.empty());
    EXPECT_TRUE(parser->GetRaster()->m_sessionLights.empty());
}

TEST_F(SampleMapSession, SkyOffUsesTheMapsSolidColour)
{
    ScratchFolder folder(ScratchFolder::Enter);
    ASSERT_EQ(1, MakeDevice(64, 48));
    YSessionDesc session = Session(RCV_DATA_DIR "/maps/Tiny.zon");
    session.m_parameters[YD3D6Parser::kSkyWord - 1] = 0;
    ASSERT_EQ(1, RunLevels(session));
    // "SolidColorRGB" "100 151 218".
    EXPECT_EQ(0x6497DAu, parser->m_clearColour);
    EXPECT_EQ(1, parser->m_backgroundsOn);
}

// ---------------------------------------------------------------------------
// The headless frame: the map frame of the loaded terrain and trees, along
// the map frame tool's camera path.

TEST_F(SampleMapSession, HeadlessFrameShowsTheLoadedTerrain)
{
    const int w = 320, h = 240;
    ASSERT_EQ(1, MakeDevice(w, h));
    YSessionDesc session = Session(RCV_DATA_DIR "/maps/Meadow.zon");
    ASSERT_EQ(1, RunLevels(session));
    const YMapFramePath path(*parser);
    path.Draw(0, *parser, w, h);
    EXPECT_GT(parser->m_frameCounters[YD3D6Parser::kOpaqueRecordCount], 100) << "terrain in view";
    EXPECT_GT(parser->m_frameCounters[YD3D6Parser::kBillboardCount], 0);

    // The upper part shows the sky colour, the lower the ground: green grass.
    std::vector<uint32_t> pixels = Read(back);
    ASSERT_EQ(size_t(w * h), pixels.size());
    auto rgb = [](uint32_t p) {
        return std::vector<int>{int((p >> 11) & 31) * 255 / 31, int((p >> 5) & 63) * 255 / 63, int(p & 31) * 255 / 31};
    };
    int green = 0;
    for (int y = h / 2; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::vector<int> c = rgb(pixels[size_t(y * w + x)]);
            green += c[1] > c[0] && c[1] > c[2];
        }
    EXPECT_GT(green, w * h / 8) << "grass covers much of the ground";

    HDC dc = nullptr;
    ASSERT_EQ(DD_OK, back.GetSurface()->GetDC(&dc));
    {
        CFile file("map_session_frame.bmp", CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        RECT all = {0, 0, w, h};
        SaveDCBitmap(&file, dc, all);
    }
    back.GetSurface()->ReleaseDC(dc);
}

// ---------------------------------------------------------------------------
// Texture handlers and models from the sample catalog.

int g_day = 100;
float NoDay(LONG, LONG, LONG) { return 0.0f; }
float OnDay(LONG a, LONG b, LONG) { return Day100(a, b, g_day); }

class SampleAssets : public SampleMapSession {
protected:
    void SetUp() override
    {
        SampleMapSession::SetUp();
        ASSERT_EQ(1, MakeDevice(64, 48));
        parser->BuildTextureClasses();
        parser->ChooseTextureFormats();
    }
};

TEST_F(SampleAssets, HandlersDrawTodaysVariantsByWeight)
{
    struct Case {
        YParser::RangeTest test;
        int day;
        std::set<std::string> expected;
    } cases[] = {
        {OnDay, 100, {"GroundTexture-Grass1.ytx"}},
        {OnDay, 250, {"GroundTexture-Grass1.ytx", "GroundTexture-DryGrass1.ytx"}},
        {OnDay, 20, {"GroundTexture-Snow1.ytx"}},
        {NoDay, 100, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.day);
        parser.reset(new SessionParser);
        parser->AttachDisplay(&displayDesc);
        ASSERT_EQ(1, parser->CreateDevice(&device));
        parser->BuildTextureClasses();
        parser->ChooseTextureFormats();
        parser->SetRangeTest(c.test);
        g_day = c.day;
        std::set<std::string> seen;
        for (int i = 0; i < 40; ++i) {
            const int index = parser->LoadCatalogTextures("GroundTexture-Grass1--24-0", 0, 1);
            if (c.expected.empty()) {
                ASSERT_EQ(-1, index);
                continue;
            }
            ASSERT_GE(index, 0);
            const std::string name = TextureName(*parser, int16_t(index));
            seen.insert(name.substr(name.find_last_of('\\') + 1));
            EXPECT_EQ(0, parser->GetTextureItem(int16_t(index))->m_handler);
        }
        EXPECT_EQ(c.expected, seen);
        ASSERT_EQ(1u, parser->m_textureHandlers.size()) << "one entry, kept for the session";
        EXPECT_EQ(c.expected.empty() ? 0 : 1, parser->m_textureHandlers[0]->valid);
        EXPECT_EQ(int(c.expected.size()), parser->m_textureHandlers[0]->count);
        EXPECT_EQ(int(c.expected.size()), parser->GetTextureCount()) << "each variant loads once";
    }
}

// The renderer's handles come prepared: the model's frame boxes widen once
// by 0.48 of the "Normal" group's edge length, however many handles follow.
TEST_F(SampleAssets, HandlesComeWithTheModelsBoxesWidenedOnce)
{
    const char* path = RCV_DATA_DIR "/models/biplane.ysm";
    YSMObject plain;
    ASSERT_TRUE(plain.LoadFile(path));
    const uint8_t permutation[3] = {1, 2, 0};
    const float signs[3] = {-1.0f, 1.0f, 1.0f};
    plain.RemapAxes(permutation, signs);
    plain.WeldAndComputeNormals();
    plain.BuildPreShell();
    plain.ComputeBounds();
    const int16_t normal = plain.FindGroup("Normal");
    ASSERT_GE(normal, 0);
    const float d = plain.m_frames[0]->poses[normal].v[9] * 0.5f * 0.96f;
    ASSERT_GT(d, 0.0f);

    YSMHandle* a = parser->CreateModelHandle(path);
    YSMHandle* b = parser->CreateModelHandle(path);
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(plain.m_frames.size(), a->m_model->m_frames.size());
    for (size_t f = 0; f < plain.m_frames.size(); ++f) {
        const YSMFrame& want = *plain.m_frames[f];
        const YSMFrame& got = *a->m_model->m_frames[f];
        for (int i = 0; i < 3; ++i) {
            EXPECT_FLOAT_EQ(want.boxAMin[i] - d, got.boxAMin[i]);
            EXPECT_FLOAT_EQ(want.boxAMax[i] + d, got.boxAMax[i]);
            EXPECT_FLOAT_EQ(want.boxBMin[i] - d, got.boxBMin[i]);
            EXPECT_FLOAT_EQ(want.boxBMax[i] + d, got.boxBMax[i]);
        }
    }
    delete a;
    delete b;
}

TEST_F(SampleAssets, ModelsLoadOnceAndFindTheirTextures)
{
    YSMHandle* a = parser->CreateModelHandle(RCV_DATA_DIR "/models/target.ysm");
    YSMHandle* b = parser->CreateModelHandle(RCV_DATA_DIR "/models/target.ysm");
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->m_model, b->m_model);
    EXPECT_EQ(1u, parser->m_models.size());
    EXPECT_EQ(nullptr, parser->CreateModelHandle(RCV_DATA_DIR "/models/none.ysm"));
    EXPECT_EQ(nullptr, parser->CreateModelHandle(""));
    EXPECT_EQ(1u, parser->m_models.size());
    delete a;
    delete b;

    // A seasonal texture missing from the catalog comes from the model's folder.
    ScratchFolder folder;
    std::unique_ptr<YSMObject> model(new YSMObject);
    ASSERT_TRUE(model->LoadFile(RCV_DATA_DIR "/models/target.ysm"));
    model->m_resources.clear();
    for (const char* name : {"SeasonalModels-oak--24-0", "SeasonalModels-elm--24-0", "file;bark.ytx"}) {
        model->m_resources.emplace_back(new YSMResource);
        model->m_resources.back()->name = name;
    }
    model->m_resourceCount = int16_t(model->m_resources.size());
    ASSERT_TRUE(model->SaveFile((folder / "tree.ysm").c_str()));
    std::filesystem::copy_file(RCV_DATA_DIR "/textures/GroundTexture-Grass1.ytx", folder / "oak.ytx");
    std::filesystem::copy_file(RCV_DATA_DIR "/textures/GroundTexture-Rock1.ytx", folder / "bark.ytx");
    YSMHandle* tree = parser->CreateModelHandle((folder / "tree.ysm").c_str());
    ASSERT_NE(nullptr, tree);
    const std::vector<std::unique_ptr<YSMResource>>& refs = tree->m_model->m_resources;
    ASSERT_EQ(3u, refs.size());
    EXPECT_EQ("file;" + folder.Path() + "/oak.ytx", TextureName(*parser, refs[0]->slot));
    EXPECT_EQ(-1, refs[1]->slot) << "no elm.ytx";
    EXPECT_EQ("file;" + folder.Path() + "/bark.ytx", TextureName(*parser, refs[2]->slot));
    ASSERT_EQ(3u, tree->m_resourceSlots.size());
    EXPECT_EQ(uint16_t(refs[0]->slot), tree->m_resourceSlots[0]);
    delete tree;
}

TEST_F(SampleAssets, CatalogModelsAreFoundByTheirKeys)
{
    EXPECT_EQ(0, parser->FindOrAddModel("Scenery-Hangar--19-0"));
    EXPECT_EQ(1, parser->FindOrAddModel("Scenery-Barn--19-0"));
    EXPECT_EQ(0, parser->FindOrAddModel("Scenery-Hangar--19-0"));
    EXPECT_EQ(-1, parser->FindOrAddModel("Scenery-Castle--19-0"));
    EXPECT_EQ(-1, parser->FindOrAddModel("GroundTexture-Grass1--24-0")) << "not a model";
    EXPECT_EQ(2u, parser->m_catalogModels.size());
    // A catalog model whose frames name no "YSM:" file is dropped at set-up.
    YModel* hangar = parser->m_catalogModels[0]->resource;
    const CString kept = hangar->GetFrames()[0]->m_name;
    hangar->GetFrames()[0]->m_name = "hangar";
    parser->SetupModels();
    hangar->GetFrames()[0]->m_name = kept;
    EXPECT_EQ(nullptr, parser->m_catalogModels[0]);
    ASSERT_NE(nullptr, parser->m_catalogModels[1]);
    EXPECT_EQ(1u, parser->m_catalogModels[1]->handles.size());
    EXPECT_EQ(1u, parser->m_catalogModels[1]->handles[0]->m_groundAlign);
    EXPECT_EQ(-1, parser->FindOrAddModel("Scenery-Mill--19-0"));
}

TEST_F(SampleAssets, ShadowTableNeedsTheSixteenBitAlphaFormat)
{
    parser->m_has16Alpha = 0;
    parser->CreateShadowTable();
    ASSERT_EQ(56u, parser->m_shadowSlots.size());
    for (const YD3D6Parser::ShadowSlot& slot : parser->m_shadowSlots) EXPECT_EQ(-1, slot.texture);
    parser->ChooseTextureFormats();
    parser->CreateShadowTable();
    for (const YD3D6ShadowWorkTexture& slot : parser->m_workSlots) EXPECT_GE(slot.texture, 0);
    EXPECT_EQ(59, parser->GetTextureCount());
}

}  // namespace
#endif
