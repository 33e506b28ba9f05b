// The renderer's texture table by file and command names, the name forms
// themselves, tree placement over a hand-made grid and the shadow table
// without its overlay.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <cstring>
#include <memory>
#include <string>

#include "HandMadeGrid.h"
#include "ScratchFolder.h"
#include "assets3d/ModelFixture.h"
#include "assets3d/TextureFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "assets3d/YTexture2.h"
#include "graphics2d/Graphics2dFixture.h"
#include "gui/LayoutFixture.h"
#include "gui/YInterfaceMgr.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"
#include "renderer/YD3D6TextureItem.h"
#include "renderer/YMapVT3.h"

namespace {

TEST(MapAssetNames, FilePathsTakeTheTextureExtension)
{
    struct Case {
        const char* path;
        const char* expected;
    } cases[] = {
        {"tex.tga", "tex.ytx"},
        {"tex", "tex.ytx"},
        {"art\\tex.old.bmp", "art\\tex.old.ytx"},
        {"my.art\\tex", "my.art\\tex.ytx"},      // a dot in a folder name stays
        {"my.art/sub.d/tex", "my.art/sub.d/tex.ytx"},
        {"", ".ytx"},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.expected, YD3D6Parser::TexturePathOf(c.path).GetBuffer()) << c.path;
    EXPECT_STREQ("models\\trees\\", YD3D6Parser::FolderOf("models\\trees\\oak.ysm").GetBuffer());
    EXPECT_STREQ("a/b/", YD3D6Parser::FolderOf("a/b/c").GetBuffer());
    EXPECT_STREQ("", YD3D6Parser::FolderOf("oak.ysm").GetBuffer());
}

TEST(MapAssetNames, CommandTextsNeedFivePartsFormat000AndSizes)
{
    struct Case {
        const char* text;
        bool ok;
        int32_t width, height;
        const char* file;
    } cases[] = {
        {"WORK;000;64;64;shadow.ytx", true, 64, 64, "shadow.ytx"},
        {"S012;000;16;32;C:\\data\\a;b.ytx", true, 16, 32, "C:\\data\\a;b.ytx"},
        {"WORK;000;64;64;", true, 64, 64, ""},
        {"WORK;001;64;64;shadow.ytx", false, 0, 0, ""},
        {"WORK;00;64;64;shadow.ytx", false, 0, 0, ""},
        {"WORK;000;0;64;shadow.ytx", false, 0, 0, ""},
        {"WORK;000;64;-2;shadow.ytx", false, 0, 0, ""},
        {"WORK;000;64", false, 0, 0, ""},
        {"WORK;000;64;64", false, 0, 0, ""},
        {"", false, 0, 0, ""},
    };
    for (const Case& c : cases) {
        int32_t w = 0, h = 0;
        YString file;
        ASSERT_EQ(c.ok, YD3D6Parser::ParseCommandText(c.text, &w, &h, &file)) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(c.width, w);
        EXPECT_EQ(c.height, h);
        EXPECT_STREQ(c.file, file.GetBuffer());
    }
}

TEST(MapAssetNames, TagColoursAndTheTableHash)
{
    uint8_t rgb[3];
    ASSERT_TRUE(YD3D6Parser::ParseRGB("200 215 235", rgb));
    EXPECT_EQ(200, rgb[0]);
    EXPECT_EQ(235, rgb[2]);
    EXPECT_FALSE(YD3D6Parser::ParseRGB("200 215", rgb));
    EXPECT_FALSE(YD3D6Parser::ParseRGB(nullptr, rgb));
    EXPECT_EQ(0, YD3D6Parser::HashLowerName(""));
    EXPECT_EQ(YD3D6Parser::HashLowerName("Grass"), YD3D6Parser::HashLowerName("gRASS"));
    // 'a' - 64 = 33 at place 0, 'b' - 64 = 34 shifted by 1.
    EXPECT_EQ((33 ^ (34 << 1)) & 0xFF, YD3D6Parser::HashLowerName("ab"));
}

const DDPIXELFORMAT k565 = RgbFormat(16, 0xF800, 0x07E0, 0x001F);

class TexturedParser : public Graphics2dTest {
protected:
    void SetUp() override
    {
        Graphics2dTest::SetUp();
        memset(&displayDesc, 0, sizeof displayDesc);
        parser->AttachDisplay(&displayDesc);
        ASSERT_EQ(1, primary.CreatePrimarySurface(&display, 2, 0));
        ASSERT_EQ(1, back.CreateSurface(&display, 64, 48, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, nullptr, 0, &k565));
        memset(&caps, 0, sizeof caps);
        device = {44, 0, &display, primary.GetSurface(), back.GetSurface(), &caps, 0, 16, {0, 0, 0}};
        ASSERT_EQ(1, parser->CreateDevice(&device));
        parser->BuildTextureClasses();
        parser->ChooseTextureFormats();
    }
    void TearDown() override
    {
        parser.reset();
        back.Release();
        primary.Release();
        Graphics2dTest::TearDown();
    }
    // A 565 texture file with the given tags.
    void WriteTexture(const std::string& name, int size, std::initializer_list<std::pair<const char*, const char*>> tags)
    {
        std::unique_ptr<YTexture2> texture = texture_test::ImportedTexture(folder, "565", size, size);
        for (const auto& tag : tags) texture->SetTag(tag.first, tag.second);
        ASSERT_EQ(1, texture->SaveFile((folder / name).c_str())) << name;
    }
    std::string Name(int index)
    {
        const YD3D6TextureItem* item = parser->GetTextureItem(int16_t(index));
        if (!item) return "";
        std::string text(item->m_name.GetBuffer());
        return std::string(text.rbegin(), text.rend());
    }

    ScratchFolder folder{ScratchFolder::Enter};
    YDXSurface primary{"Primary"}, back{"Back"};
    D3DDEVICEDESC7 caps;
    YDeviceDescriptor device;
    YDisplayDescriptor displayDesc;
    std::unique_ptr<YD3D6Parser> parser{new YD3D6Parser};
};

TEST_F(TexturedParser, FileTexturesLoadOnceByTheirExactName)
{
    WriteTexture("tex.ytx", 32, {});
    std::filesystem::create_directories(folder / "my.art");
    WriteTexture("my.art/deep.ytx", 16, {});
    EXPECT_EQ(0, parser->LoadCatalogTextures("file;tex.tga", 0, 1));
    EXPECT_EQ(0, parser->LoadCatalogTextures("file;tex.tga", 7, 0)) << "found by name, whatever the arguments";
    EXPECT_EQ(1, parser->GetTextureCount());
    EXPECT_EQ(1, parser->LoadCatalogTextures("file;TEX.tga", 0, 1)) << "another spelling is another entry";
    EXPECT_EQ(2, parser->LoadCatalogTextures("file;my.art\\deep", 0, 1));
    EXPECT_EQ(16, parser->GetTextureLock(2)->GetWidth());
    EXPECT_EQ(-1, parser->LoadCatalogTextures("file;missing.tga", 0, 1));
    EXPECT_EQ(-1, parser->LoadCatalogTextures("NoSuchHandler--24-0", 0, 1)) << "no catalog";
    EXPECT_EQ(3, parser->GetTextureCount());
    EXPECT_EQ("file;tex.tga", Name(0));
    EXPECT_EQ(-1, parser->GetTextureItem(0)->m_handler);
}

TEST_F(TexturedParser, ParentClassRedirectsOnlyWhenAllowed)
{
    WriteTexture("parent.ytx", 32, {});
    WriteTexture("child.ytx", 16, {{"TXT-ParentClass", "file;parent.ytx"}});
    WriteTexture("orphan.ytx", 16, {{"TXT-ParentClass", "file;gone.ytx"}});
    const int parent = parser->LoadCatalogTextures("file;child.ytx", 0, 1);
    ASSERT_EQ(0, parent);
    EXPECT_EQ("file;parent.ytx", Name(parent));
    EXPECT_EQ(1, parser->GetTextureCount()) << "the child itself is not kept";
    const int own = parser->LoadCatalogTextures("file;child.ytx", 0, 0);
    EXPECT_EQ(1, own);
    EXPECT_EQ(16, parser->GetTextureLock(int16_t(own))->GetWidth());
    // A parent that does not load leaves the texture its own.
    EXPECT_EQ(2, parser->LoadCatalogTextures("file;orphan.ytx", 0, 1));
}

TEST_F(TexturedParser, TreeValuesComeFromTheTagsWithTheirLimits)
{
    WriteTexture("tree.ytx", 16,
                 {{"TREE-YoungScale", "3.5"}, {"TREE-Oscillator1", "12"}, {"TREE-Oscillator2", "4"},
                  {"TREE-ShadeLevel", "300"}});
    WriteTexture("plain.ytx", 16, {});
    const YD3D6TextureItem* tree = parser->GetTextureItem(int16_t(parser->LoadCatalogTextures("file;tree.ytx", 0, 1)));
    ASSERT_NE(nullptr, tree);
    EXPECT_EQ(3.5f, tree->m_youngScale);
    EXPECT_EQ(2.0f, tree->m_oldScale);
    EXPECT_EQ(9, tree->m_oscillator1);
    EXPECT_EQ(4, tree->m_oscillator2);
    EXPECT_EQ(300 & 0xFF, tree->m_shadeLevel);
    const YD3D6TextureItem* plain = parser->GetTextureItem(int16_t(parser->LoadCatalogTextures("file;plain.ytx", 0, 1)));
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(2.0f, plain->m_youngScale);
    EXPECT_EQ(0, plain->m_oscillator1);
    EXPECT_EQ(0, plain->m_shadeLevel);
}

TEST_F(TexturedParser, CommandTexturesHaveTheirOwnSize)
{
    WriteTexture("shadow.ytx", 64, {});
    ASSERT_EQ(1, parser->m_has16Alpha);
    struct Case {
        const char* name;
        int16_t size;  // 0: refused
    } cases[] = {
        {"cmd;A;000;64;64;shadow.tga", 64}, {"cmd;B;000;16;16;shadow.ytx", 16}, {"cmd;C;001;64;64;shadow.ytx", 0},
        {"cmd;D;000;0;64;shadow.ytx", 0},   {"cmd;E;000;64", 0},                {"cmd;F;000;8;8;none.ytx", 0},
    };
    for (const Case& c : cases) {
        const int index = parser->LoadCatalogTextures(c.name, 0, 1);
        if (!c.size) {
            EXPECT_EQ(-1, index) << c.name;
            continue;
        }
        ASSERT_GE(index, 0) << c.name;
        EXPECT_EQ(c.size, parser->GetTextureLock(int16_t(index))->GetWidth());
        EXPECT_EQ(c.name, Name(index));
    }
    EXPECT_EQ(2, parser->GetTextureCount());
    // Without a 16-bit alpha format no command texture is made.
    parser->m_has16Alpha = 0;
    EXPECT_EQ(-1, parser->LoadCatalogTextures("cmd;G;000;16;16;shadow.ytx", 0, 1));
}

// A layout shown in a texture layer draws into the texture the renderer
// hands out for its id.
TEST_F(TexturedParser, ATextureLayerDrawsIntoItsTexture)
{
    class ScreenLayout : public TestLayout {
    public:
        explicit ScreenLayout(YDXDraw* display) : m_display(display) {}
        YDXDraw* GetDisplay() override { return m_display; }
        YDXDraw* m_display;
    };
    class Factory : public YInterfaceFactory {
    public:
        Factory(YParser* scene, YDXDraw* display) : m_scene(scene), m_display(display) {}
        YParser* GetScene() override { return m_scene; }
        YLayout* CreateLayout(const char*) override { return new ScreenLayout(m_display); }
        YParser* m_scene;
        YDXDraw* m_display;
    };

    WriteTexture("screen.ytx", 16, {});
    const int16_t index = int16_t(parser->LoadCatalogTextures("file;screen.ytx", 0, 1));
    ASSERT_GE(index, 0);
    YTexLock* texture = parser->GetTexture(index);
    ASSERT_NE(nullptr, texture);
    EXPECT_EQ(texture, parser->GetTextureLock(index));
    EXPECT_EQ(16, texture->GetWidth());
    EXPECT_EQ(16, texture->GetHeight());

    Factory factory(parser.get(), &display);
    YInterfaceMgr manager(&factory);
    manager.SetTextureLayout(index, "rect(0, 0, 16, 16, 255, 0, 0)", YInterfaceMgr::LayoutShow, "");
    manager.RenderTextureLayers(nullptr);
    const YTextureLayout* record = manager.FindTextureLayout(index);
    ASSERT_NE(nullptr, record);
    ASSERT_NE(nullptr, record->m_surface) << "the layer got its surface";
    EXPECT_EQ(16u, record->m_surface->GetWidth());
    EXPECT_EQ(16u, record->m_surface->GetHeight());

    YDXSurface seen("Seen");
    ASSERT_EQ(1, seen.CreateSurface(&display, 16, 16, DDSCAPS_OFFSCREENPLAIN, nullptr, 0, &k565));
    Write(seen, std::vector<uint32_t>(256, 0));
    ASSERT_EQ(1, parser->BlitTextureToSurface(index, seen.GetSurface()));
    const std::vector<uint32_t> pixels = Read(seen);
    ASSERT_EQ(256u, pixels.size());
    for (size_t i : {size_t(0), size_t(17), size_t(255)}) EXPECT_EQ(0xF800u, pixels[i]) << i;
    // Neither a negative index nor one past the table has a texture.
    EXPECT_EQ(nullptr, parser->GetTexture(-1));
    EXPECT_EQ(nullptr, parser->GetTexture(int16_t(parser->GetTextureCount())));
}

TEST_F(TexturedParser, ShadowTableMarksMissingTexturesWithoutItsOverlay)
{
    parser->CreateShadowTable();
    ASSERT_EQ(56u, parser->m_shadowSlots.size());
    ASSERT_EQ(3u, parser->m_workSlots.size());
    for (const YD3D6Parser::ShadowSlot& slot : parser->m_shadowSlots) {
        EXPECT_EQ(-1, slot.texture);
        EXPECT_EQ(nullptr, slot.lock);
        EXPECT_EQ(0, slot.size);
        EXPECT_EQ(-1, slot.sizeClass);
    }
    EXPECT_EQ(0, parser->GetTextureCount());
}

// ---------------------------------------------------------------------------
// Tree placement over the hand-made grid (scale 1: render units = map units).

class TreeParser : public YD3D6Parser {
public:
    TreeParser()
    {
        SetWorldScale(1.0f);
        InitSession(2, nullptr, 99);
        m_map = new YMapVT3;
        handmade::Build(*m_map);
        BuildTerrainCells(*m_map, 1.0f);
        m_spriteTypeCount = 2;
        m_treeFactorA = {4.0f, 4.0f, 4.0f};
    }
    ~TreeParser() override
    {
        for (YSMHandle* h : m_treeModels) delete h;
        m_treeModels.clear();
    }
    using YParser::m_sessionMode;
};

YMapVT3Tree Row(std::initializer_list<YMapVT3TreePoint> points, WORD count)
{
    YMapVT3Tree row;
    row.m_kind = YMapVT3Tree::kPath;
    row.m_treeCount = count;
    row.m_seed = 77;
    row.m_orientation = 1;
    row.m_points = points;
    for (int k = 0; k < YMapVT3Tree::kTreeKinds; ++k) {
        row.m_bytesA[k] = row.m_bytesB[k] = 200;
        row.m_floatsA[k] = row.m_floatsB[k] = 5.0f;
        row.m_wordsA[k] = WORD(k % 2);
        row.m_wordsB[k] = 9;
    }
    return row;
}

std::vector<YCellItem> AllItems(const YD3D6Parser& parser)
{
    std::vector<YCellItem> items;
    for (const YMapCell& cell : parser.m_cells) items.insert(items.end(), cell.m_items.begin(), cell.m_items.end());
    return items;
}

TEST(TreePlacement, CountAndFillAgreeAndOnlyGridPointsCount)
{
    TreeParser parser;
    YMapVT3Tree row = Row({{5, 5}, {75, 5}, {75, 75}}, 30);
    row.m_value0 = 6;  // spread
    row.m_byte0 = 15;
    row.m_values[0] = 50, row.m_values[1] = 30, row.m_values[2] = 1;
    parser.m_map->m_trees = {row, Row({{-50, -50}, {-10, -10}}, 10), Row({{5, 5}}, 10), Row({{5, 5}, {6, 6}}, 0)};
    YMapVT3Tree single;
    single.m_kind = YMapVT3Tree::kSingle;
    single.m_singleValues[0] = single.m_singleValues[1] = 5;
    parser.m_map->m_trees.insert(parser.m_map->m_trees.begin(), single);
    parser.PlaceTrees(1);
    const std::vector<uint8_t> counted = parser.m_cellItemCounts;
    parser.PlaceTrees(0);
    for (size_t c = 0; c < parser.m_cells.size(); ++c) EXPECT_EQ(counted[c], parser.m_cells[c].m_items.size()) << c;
    const std::vector<YCellItem> first = AllItems(parser);
    EXPECT_GT(first.size(), 20u);
    EXPECT_LE(first.size(), 30u);
    // The same records place the same trees again.
    parser.PlaceTrees(1);
    parser.PlaceTrees(0);
    const std::vector<YCellItem> again = AllItems(parser);
    ASSERT_EQ(first.size(), again.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].m_position[0], again[i].m_position[0]);
        EXPECT_EQ(first[i].m_facing, again[i].m_facing);
    }
    for (const YCellItem& item : first) {
        EXPECT_EQ(200, item.m_size);
        EXPECT_EQ(5.0f, item.m_treeSize) << "equal sizes: no random part";
        EXPECT_EQ(9, item.m_farType);
        EXPECT_EQ(1.0f, item.m_fixedDistance);
        EXPECT_EQ(parser.GetGroundHeight(item.m_position[0], item.m_position[2]), item.m_position[1]);
    }
    // Sprites and models are numbered apart; this row has sprites only.
    std::vector<uint32_t> numbers;
    for (const YCellItem& item : first) numbers.push_back(item.m_flags);
    std::sort(numbers.begin(), numbers.end());
    for (size_t i = 0; i < numbers.size(); ++i) EXPECT_EQ(i + 1, numbers[i]) << "number 0 went to the single tree";
}

// The largest spread a record can hold still counts and places its trees.
TEST(TreePlacement, LargestSpreadStaysInRange)
{
    TreeParser parser;
    YMapVT3Tree row = Row({{5, 5}, {75, 5}}, 10);
    row.m_value0 = 0xFFFFFFFF;
    parser.m_map->m_trees = {row};
    parser.PlaceTrees(1);
    const std::vector<uint8_t> counted = parser.m_cellItemCounts;
    parser.PlaceTrees(0);
    for (size_t c = 0; c < parser.m_cells.size(); ++c) EXPECT_EQ(counted[c], parser.m_cells[c].m_items.size()) << c;
}

TEST(TreePlacement, NoSpreadPutsTreesOnThePathFacingOneSide)
{
    TreeParser parser;
    parser.m_map->m_trees = {Row({{5, 10}, {75, 10}, {75, 70}}, 12)};
    parser.PlaceTrees(1);
    parser.PlaceTrees(0);
    const std::vector<YCellItem> items = AllItems(parser);
    ASSERT_EQ(12u, items.size());
    for (const YCellItem& item : items) {
        const float x = item.m_position[0], z = item.m_position[2];
        const bool first = std::fabs(z - 10.0f) < 1e-3f && x >= 5.0f && x <= 75.0f;
        const bool second = std::fabs(x - 75.0f) < 1e-3f && z >= 10.0f && z <= 70.0f;
        ASSERT_TRUE(first || second) << x << ", " << z;
        // Mode 1: a quarter turn to one side of the segment's direction.
        const float segment = first ? 0.0f : 1.5707963f;
        EXPECT_NEAR(segment - 1.570795f, item.m_facing, 1e-4f);
    }
}

// Spreads from 2^31 on (the map stores them as 32-bit words) stay whole
// numbers; their trees land far off the grid and are left out.
TEST(TreePlacement, SpreadsPastTheIntRangeKeepTheirTreesOffTheGrid)
{
    for (DWORD spread : {DWORD(0x7FFFFFE7), DWORD(0x80000000), DWORD(0xFFFFFFFF), DWORD(2147483520)}) {
        SCOPED_TRACE(spread);
        TreeParser parser;
        YMapVT3Tree row = Row({{5, 10}, {75, 10}}, 40);
        row.m_value0 = spread;
        row.m_values[0] = 100;  // every tree shrinks towards the path, by nothing
        parser.m_map->m_trees = {row};
        parser.PlaceTrees(1);
        parser.PlaceTrees(0);
        const std::vector<YCellItem> items = AllItems(parser);
        EXPECT_LT(items.size(), 40u);
        for (const YCellItem& item : items) {
            EXPECT_GE(item.m_position[0], 0.0f);
            EXPECT_LE(item.m_position[0], 80.0f);
        }
    }
}

TEST(TreePlacement, ACellHoldsAtMost255TreesAndRangesAreOrdered)
{
    TreeParser parser;
    YMapVT3Tree row = Row({{1, 1}, {9, 9}}, 400);
    for (int k = 0; k < YMapVT3Tree::kTreeKinds; ++k) {
        row.m_bytesA[k] = 250, row.m_bytesB[k] = 100;  // reversed
        row.m_floatsA[k] = 8.0f, row.m_floatsB[k] = 3.0f;
    }
    parser.m_map->m_trees = {row};
    parser.PlaceTrees(1);
    EXPECT_EQ(255, parser.m_cellItemCounts[0]);
    parser.PlaceTrees(0);
    ASSERT_EQ(255u, parser.m_cells[0].m_items.size());
    EXPECT_EQ(255, parser.GetCellItemCount(0));
    for (const YCellItem& item : parser.m_cells[0].m_items) {
        EXPECT_GE(item.m_size, 100);
        EXPECT_LT(item.m_size, 250);
        EXPECT_GE(item.m_treeSize, 3.0f);
        EXPECT_LT(item.m_treeSize, 8.0f);
    }
    for (size_t c = 1; c < parser.m_cells.size(); ++c) EXPECT_TRUE(parser.m_cells[c].m_items.empty());
}

TEST(TreePlacement, ModelTreesClipToWaterByTheirElement)
{
    struct Case {
        const char* value;  // null: no element
        float height;
    } cases[] = {{"TRUE", 2.0f}, {"true", 2.0f}, {"False", -5.0f}, {nullptr, -5.0f}};
    for (const Case& c : cases) {
        TreeParser parser;
        std::unique_ptr<YSMObject> model(new YSMObject);
        if (c.value) {
            model->m_tags.emplace_back(new YSMTag);
            model->m_tags.back()->key = "ClipToWater";
            model->m_tags.back()->value = c.value;
        }
        parser.m_treeModels = {model->CreateHandle()};
        YMapVT3Tree row = Row({{50, 10}, {50, 70}}, 5);
        for (WORD& type : row.m_wordsA) type = 2;  // the model type
        parser.m_map->m_trees = {row};
        parser.PlaceTrees(1);
        parser.PlaceTrees(0);
        const std::vector<YCellItem> items = AllItems(parser);
        ASSERT_EQ(5u, items.size());
        for (const YCellItem& item : items) EXPECT_NEAR(c.height, item.m_position[1], 1e-3f) << (c.value ? c.value : "none");
        delete parser.m_treeModels[0];
        parser.m_treeModels.clear();
    }
}

// A tree of three flagged groups and a plain one, one triangle each:
// trunk (0x02) reach 0.5 and height 3, crown (0x10) reach 2 and height 5,
// a branch in both (0x12) reach 1.5 and height 4, a ground plate (no flag)
// reaching far.  With a marker first, its edge is 2 long.
void MakeTree(YSMObject& m, bool marker)
{
    using namespace modeltest;
    std::vector<float> p;
    auto triangle = [&](int group, std::initializer_list<float> corners) {
        const int first = int(p.size() / 3);
        p.insert(p.end(), corners);
        m.m_faces.push_back(Face(first, first + 1, first + 2, group));
    };
    int g = 0;
    if (marker) {
        m.m_groups.emplace_back(Group("Normal", 0x8));
        p.insert(p.end(), {0, 0, 0, 0, 2, 0, -1, 1, 0, 1, 1, 0});  // edge (0, 0, 0) - (0, 2, 0)
        m.m_faces.push_back(Face(2, 0, 1, g));
        m.m_faces.push_back(Face(1, 0, 3, g));
        ++g;
    }
    m.m_groups.emplace_back(Group("Trunk", 0x02));
    triangle(g++, {0.5f, 0, 0, -0.5f, 0, 0, 0, 3, 0.5f});
    m.m_groups.emplace_back(Group("Crown", 0x10));
    triangle(g++, {2, 4, 0, 0, 5, 1, -1, 3, 0});
    m.m_groups.emplace_back(Group("Branch", 0x12));
    triangle(g++, {0, 4, -1.5f, 0.9f, 3.5f, 1.2f, 0, 2, 0});
    m.m_groups.emplace_back(Group("Plate", 0));
    triangle(g++, {10, 0, 0, 0, 9, 0, 0, 0, 10});
    m.m_frames.emplace_back(Frame("still", p, m.m_groups.size()));
    Finish(m, int16_t(p.size() / 3));
    m.ComputeBounds();
}

TEST(TreeModelTypes, ValuesComeFromTheFlaggedGroupsAtTheDrawnSize)
{
    struct Case {
        bool marker;
        float reference, scale;  // scale: reference / the first element's size
    } cases[] = {{false, 16.0f, 16.0f}, {true, 16.0f, 8.0f}, {false, 1.0f, 1.0f}};
    for (const Case& c : cases) {
        YSMObject model;
        MakeTree(model, c.marker);
        ASSERT_EQ(c.marker ? 2.0f : 1.0f, model.m_frames[0]->poses[0].v[9]);
        std::unique_ptr<YSMHandle> handle(model.CreateHandle());
        handle->SetReferenceSize(c.reference);
        float values[4];
        YD3D6Parser::TreeModelValues(*handle, values);
        // Reach and height of the 0x10 groups (crown, branch), then of the 0x02 ones (trunk, branch).
        EXPECT_FLOAT_EQ(2.0f * c.scale, values[0]) << c.marker << " " << c.reference;
        EXPECT_FLOAT_EQ(5.0f * c.scale, values[1]);
        EXPECT_FLOAT_EQ(1.5f * c.scale, values[2]);
        EXPECT_FLOAT_EQ(4.0f * c.scale, values[3]);
    }
    // A model without frames, or one whose groups carry neither flag, has none.
    YSMObject empty;
    std::unique_ptr<YSMHandle> handle(empty.CreateHandle());
    float values[4] = {1, 1, 1, 1};
    YD3D6Parser::TreeModelValues(*handle, values);
    for (float v : values) EXPECT_EQ(0.0f, v);
    YSMObject plain;
    MakeTree(plain, false);
    for (auto& group : plain.m_groups) group->flags &= ~0x12u;
    std::unique_ptr<YSMHandle> plainHandle(plain.CreateHandle());
    YD3D6Parser::TreeModelValues(*plainHandle, values);
    for (float v : values) EXPECT_EQ(0.0f, v);
}

TEST(TreePlacement, VerticesListTheTreesInTheirReach)
{
    TreeParser parser;
    parser.m_map->m_trees = {Row({{5, 2}, {35, 2}}, 6)};
    parser.PlaceTrees(1);
    parser.PlaceTrees(0);
    parser.CollectItemsNearVertices(1);
    parser.CollectItemsNearVertices(0);
    ASSERT_EQ(parser.m_mapVertices.size(), parser.m_vertexItems.size());
    for (size_t v = 0; v < parser.m_mapVertices.size(); ++v) {
        const YMapVT3Vertex& p = parser.m_mapVertices[v];
        ASSERT_EQ(parser.m_vertexItemCounts[v], parser.m_vertexItems[v].size());
        for (const YCellItem* item : parser.m_vertexItems[v]) {
            const float dx = item->m_position[0] - p.m_x, dy = item->m_position[1] - p.m_y,
                        dz = item->m_position[2] - p.m_z;
            EXPECT_LT(std::sqrt(dx * dx + dy * dy + dz * dz), 4.0f * 200.0f / 255.0f);
        }
    }
    // The corner (0, 0, 0) is within 3.2 of the first trees only if they stand there; the far corner never.
    EXPECT_EQ(0u, parser.m_vertexItems[3].size());
}

}  // namespace
