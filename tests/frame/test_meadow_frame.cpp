// The map frame of the sample map "Meadow" on our device: a frame of the
// fixed camera path against its golden picture, and pixel probes of a
// close view of the willows standing in the lake.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "FrameFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "SampleCatalog.h"
#include "foundation/SaveDCBitmap.h"
#include "tools/map_frame/YMapFramePath.h"
#include "assets3d/YSMHandle.h"
#include "world/YRenderInstance.h"

#if defined(RCV_DATA_DIR)
namespace {
const int kWidth = 320, kHeight = 240;

float Midsummer(LONG a, LONG b, LONG)
{
    const LONG day = 172;
    if (a <= b) return (a <= day && day <= b) ? 1.0f : 0.0f;
    return (day < b || day > a) ? 1.0f : 0.0f;
}

class MeadowFrame : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        catalog.reset(new SampleCatalog(RCV_DATA_DIR));
        parser->SetRangeTest(Midsummer);
        ASSERT_EQ(1, MakeDevice(kWidth, kHeight));
        YSessionDesc session;
        session.m_mapPath = RCV_DATA_DIR "/maps/Meadow.zon";
        YMapFramePath::SessionWords(session.m_parameters);
        for (int level = 0; level < parser->GetInitLevelCount(2); ++level)
            ASSERT_EQ(1, parser->InitSession(2, level == 0 ? &session : nullptr, level)) << level;
    }
    void TearDown() override
    {
        parser.reset();
        catalog.reset();
        FrameTest::TearDown();
    }
    // The back surface as 0xRRGGBB.
    std::vector<uint32_t> Pixels()
    {
        std::vector<uint32_t> out;
        for (uint32_t p : Read(back))
            out.push_back(((p >> 11) & 31) * 255 / 31 << 16 | ((p >> 5) & 63) * 255 / 63 << 8 | (p & 31) * 255 / 31);
        return out;
    }
    void Save(const std::string& path)
    {
        HDC dc = nullptr;
        ASSERT_EQ(DD_OK, back.GetSurface()->GetDC(&dc));
        {
            CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
            RECT all = {0, 0, kWidth, kHeight};
            SaveDCBitmap(&file, dc, all);
        }
        back.GetSurface()->ReleaseDC(dc);
    }

    std::unique_ptr<SampleCatalog> catalog;
};

// A 24-bit bottom-up BMP as 0xRRGGBB rows from the top.
std::vector<uint32_t> ReadBmp(const std::string& path, int* width, int* height)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto u32 = [&](size_t at) { return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24; };
    std::vector<uint32_t> out;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || (b[28] | b[29] << 8) != 24) return out;
    const uint32_t offset = u32(10);
    *width = int(u32(18)), *height = int(u32(22));
    const size_t stride = (size_t(*width) * 3 + 3) & ~size_t(3);
    if (*width <= 0 || *height <= 0 || offset + stride * size_t(*height) > b.size()) return out;
    for (int y = 0; y < *height; ++y) {
        const uint8_t* row = &b[offset + stride * size_t(*height - 1 - y)];
        for (int x = 0; x < *width; ++x) out.push_back(uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x]);
    }
    return out;
}

int Channel(uint32_t p, int shift) { return int((p >> shift) & 0xFF); }
}  // namespace

TEST_F(MeadowFrame, FrameOfThePathMatchesItsGolden)
{
    const YMapFramePath path(*parser);
    // The plane the map frame tool stands in the grid.
    std::unique_ptr<YSMHandle> model(parser->CreateModelHandle(RCV_DATA_DIR "/models/biplane.ysm"));
    ASSERT_NE(nullptr, model);
    model->SetActiveGroup(model->FindGroup("Camera"));
    model->SetReferenceSize(16.0f);
    YRenderInstance plane;
    plane.m_model = model.get();
    plane.m_flags = YD3D6Parser::kRecordVisible;
    path.ActorSpot(40, *parser, plane.m_position);
    plane.m_position[1] += 0.7f * 16.0f;
    plane.m_angles[1] = 50.0f * 3.14159265f / 180.0f;
    parser->AddActorAt(&plane, 0, plane.m_position[0], plane.m_position[2]);
    // Noon of the local day: the sun's light, whatever the time zone.
    parser->SetClock(2001, 3, 15, 12, 0, 0);
    path.Draw(40, *parser, kWidth, kHeight);
    parser->RemoveActorAt(&plane, plane.m_position[0], plane.m_position[2]);
    Save("meadow_frame.bmp");
    const std::vector<uint32_t> got = Pixels();
    const std::string golden = std::string(RCV_TESTS_DIR) + "/frame/golden/meadow_frame.bmp";
    if (getenv("RCV_UPDATE_GOLDEN")) Save(golden);
    int w = 0, h = 0;
    const std::vector<uint32_t> want = ReadBmp(golden, &w, &h);
    ASSERT_EQ(kWidth, w);
    ASSERT_EQ(kHeight, h);
    ASSERT_EQ(want.size(), got.size());
    size_t off = 0;
    for (size_t i = 0; i < got.size(); ++i)
        for (int s : {0, 8, 16}) off += std::abs(Channel(got[i], s) - Channel(want[i], s)) > 24 ? 1 : 0;
    EXPECT_LT(off, got.size() / 100) << "channels off by more than 24";

    // What a player sees: sky above, grass below, the lake between.
    int sky = 0, grass = 0, water = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t p = got[size_t(y * kWidth + x)];
            const int r = Channel(p, 16), g = Channel(p, 8), b = Channel(p, 0);
            // The noon sky box: blue over the haze of the horizon.
            if (y < kHeight / 5) sky += b > r + 30 && b > g + 10;
            if (y > kHeight * 3 / 4) grass += g > r + 20 && g > b + 20;
            water += b > r + 40 && b > g + 10 && y > kHeight / 5 && y < kHeight / 2;
        }
    EXPECT_GT(sky, kWidth * kHeight / 5 * 9 / 10);
    EXPECT_GT(grass, kWidth * kHeight / 4 * 9 / 10);
    EXPECT_GT(water, kWidth * 6) << "the lake shows";
}

// Seen from close by, a willow in the lake is darker below the water line
// than above it, and its leaves let the water behind show through.
TEST_F(MeadowFrame, AWillowInTheLakeIsDarkerBelowTheWaterLine)
{
    // The willows: the translucent sprite class.
    const YCellItem* willow = nullptr;
    for (const YMapCell& cell : parser->m_cells)
        for (const YCellItem& item : cell.m_items)
            if (item.m_type == 2 && !willow && cell.m_water) willow = &item;
    ASSERT_NE(nullptr, willow);
    const float* p = willow->m_position;
    // 40 m south of it, eye at the water, looking north at it.
    parser->SetCameraPosition(p[0], 40.0f, p[2] - 640.0f);
    parser->SetCameraAngles(0.0f, 0.0f, 0.0f);
    parser->SetViewRects(0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight);
    parser->SetProjection(60.0f, 60.0f, 16.0f, float(parser->m_popUpDistance));
    parser->ApplyView();
    parser->GetRaster()->ClearTarget(0xFF000000u | parser->m_clearColour);
    parser->BeginFrame();
    parser->RenderFrame();
    parser->EndFrame();
    Save("meadow_willow.bmp");

    // Its billboard: darker colour at the base than at the water line.
    const YBillboardRecord* record = nullptr;
    for (int i = 0; i < parser->m_frameCounters[YD3D6Parser::kBillboardCount]; ++i) {
        const YBillboardRecord& b = parser->BillboardRecords()[i];
        if (std::fabs(0.5f * (b.m_x0 + b.m_x1) - p[0]) < 1.0f && std::fabs(0.5f * (b.m_z0 + b.m_z1) - p[2]) < 1.0f)
            record = &b;
    }
    ASSERT_NE(nullptr, record);
    ASSERT_GT(record->m_water, 0.0f);
    EXPECT_LT(record->m_colours[0] & 0xFF, record->m_colours[1] & 0xFF);

    // On the screen: the trunk's column, just above and just below the line.
    const std::vector<uint32_t> pixels = Pixels();
    const float depth = 640.0f;
    const float focal = float(kWidth) * 0.5f / std::tan(30.0f * 3.14159265f / 180.0f);
    auto row = [&](float y) { return int(float(kHeight) * 0.5f - (y - 40.0f) / depth * focal); };
    const float line = record->m_base + record->m_water * record->m_height;
    const int above = row(line + 8.0f), below = row(line - 16.0f);
    ASSERT_GT(below, above);
    ASSERT_LT(below, kHeight);
    // The trunk's red in the middle column: brown above, dark and blue below.
    auto red = [&](int y) { return Channel(pixels[size_t(y * kWidth + kWidth / 2)], 16); };
    EXPECT_LT(red(below) + 30, red(above)) << above << " " << below;
}

namespace {
// A frame seen from 30 m south of a point, eye 6 m above it, looking north;
// the pixels and the screen row of a height there.
struct Probe {
    std::vector<uint32_t> pixels;
    float eye = 0.0f;
    int Row(float y) const
    {
        const float focal = float(kWidth) * 0.5f / std::tan(30.0f * 3.14159265f / 180.0f);
        return int(float(kHeight) * 0.5f - (y - eye) / 480.0f * focal);
    }
};

// Pixels of the box whose channels are all lower in a than in b, by more
// than 12 together.
int Darker(const Probe& a, const Probe& b, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, kHeight); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, kWidth); ++x) {
            const uint32_t p = a.pixels[size_t(y * kWidth + x)], q = b.pixels[size_t(y * kWidth + x)];
            int less = 0;
            bool all = true;
            for (int s : {0, 8, 16}) {
                less += Channel(q, s) - Channel(p, s);
                all = all && Channel(p, s) <= Channel(q, s);
            }
            n += all && less > 12;
        }
    return n;
}

// Pixels of the box (x0, y0)-(x1, y1) that differ by more than 24 in a channel.
int Changed(const Probe& a, const Probe& b, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, kHeight); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, kWidth); ++x) {
            const uint32_t p = a.pixels[size_t(y * kWidth + x)], q = b.pixels[size_t(y * kWidth + x)];
            bool off = false;
            for (int s : {0, 8, 16}) off = off || std::abs(Channel(p, s) - Channel(q, s)) > 24;
            n += off;
        }
    return n;
}
}  // namespace

class MeadowProbe : public MeadowFrame {
protected:
    Probe Look(const float* at, const char* file)
    {
        Probe probe;
        const float x = at[0], z = at[2] - 480.0f;
        probe.eye = std::max(at[1] + 96.0f, parser->GetGroundHeight(x, z) + 48.0f);
        parser->SetCameraPosition(x, probe.eye, z);
        parser->SetCameraAngles(0.0f, 0.0f, 0.0f);
        parser->SetViewRects(0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight);
        parser->SetProjection(60.0f, 60.0f, 16.0f, float(parser->m_popUpDistance));
        parser->ApplyView();
        parser->GetRaster()->ClearTarget(0xFF000000u | parser->m_clearColour);
        // The clouds stand still between the looks that are compared.
        for (YD3D6CloudPlane& cloud : parser->m_clouds) cloud.uOffset = cloud.vOffset = 0.0f;
        parser->BeginFrame();
        parser->RenderFrame();
        parser->EndFrame();
        Save(file);
        probe.pixels = Pixels();
        return probe;
    }
};

// The barn stands on the flank of the hill, tilted with it, and shows.
TEST_F(MeadowProbe, TheBarnStandsOnItsSlope)
{
    YRenderInstance* barn = nullptr;
    for (int i = 0; i < parser->GetPlacedObjectCount(); ++i)
        if (strcmp(parser->GetPlacedObject(i)->m_name.GetBuffer(), "Scenery-Barn--19-0") == 0) barn = parser->GetPlacedObject(i);
    ASSERT_NE(nullptr, barn);
    ASSERT_TRUE(barn->m_flags & YD3D6Parser::kRecordVisible);
    EXPECT_GT(std::fabs(barn->m_angles[0]) + std::fabs(barn->m_angles[2]), 0.02f);
    const Probe shown = Look(barn->m_position, "meadow_barn.bmp");
    barn->m_flags &= ~DWORD(YD3D6Parser::kRecordVisible);
    const Probe gone = Look(barn->m_position, "meadow_no_barn.bmp");
    barn->m_flags |= YD3D6Parser::kRecordVisible;
    // The barn is about 7.5 m wide and 7 m tall: 120 by 110 units at 30 m.
    const int top = shown.Row(barn->m_position[1] + 110.0f), base = shown.Row(barn->m_position[1]);
    EXPECT_GT(Changed(shown, gone, kWidth / 2 - 30, top, kWidth / 2 + 30, base), 60 * (base - top) / 3);
    // The light comes from +x, +y, +z: nothing changes on its lit side, and
    // its shadow falls on the ground to the left, darker than without it.
    EXPECT_EQ(0, Changed(shown, gone, kWidth / 2 + 80, 0, kWidth, kHeight)) << "nothing on its lit side";
    EXPECT_EQ(0, Changed(shown, gone, 0, 0, kWidth / 2 - 80, top)) << "nothing above it";
    EXPECT_GT(Darker(shown, gone, 0, base - 40, kWidth / 2 - 30, kHeight), 100) << "its shadow on the ground";
    // Its walls stand on the ground: the base row is barn, not grass, in the middle.
    const uint32_t wall = shown.pixels[size_t((base - 4) * kWidth + kWidth / 2)];
    EXPECT_FALSE(Channel(wall, 8) > Channel(wall, 16) + 40 && Channel(wall, 8) > Channel(wall, 0) + 40);
}

// A tree of the model class is drawn as a model while the level of detail
// is off: its crown and trunk, not a sprite.
TEST_F(MeadowProbe, AModelTreeIsDrawnAsAModel)
{
    ASSERT_EQ(0, parser->m_mapSettings[YD3D6Parser::kLevelOfDetailWord]);
    const YCellItem* tree = nullptr;
    for (const YMapCell& cell : parser->m_cells)
        for (const YCellItem& item : cell.m_items)
            if (!tree && !cell.m_water && item.m_type >= parser->m_spriteTypeCount) tree = &item;
    ASSERT_NE(nullptr, tree);
    const int model = tree->m_type - parser->m_spriteTypeCount;
    ASSERT_LT(size_t(model), parser->m_treeModels.size());
    const Probe shown = Look(tree->m_position, "meadow_model_tree.bmp");
    EXPECT_GT(parser->m_frameCounters[YD3D6Parser::kWorkCount4], 0) << "posed vertices";
    YSMHandle* handle = parser->m_treeModels[size_t(model)];
    parser->m_treeModels[size_t(model)] = nullptr;
    const Probe gone = Look(tree->m_position, "meadow_no_model_tree.bmp");
    parser->m_treeModels[size_t(model)] = handle;
    const int top = shown.Row(tree->m_position[1] + 60.0f), base = shown.Row(tree->m_position[1]);
    EXPECT_GT(Changed(shown, gone, kWidth / 2 - 10, top, kWidth / 2 + 10, base), 20);
}

// A plane model registered in the grid as an actor's record is drawn by the
// cell-object pass.
TEST_F(MeadowProbe, AnActorsPlaneModelIsDrawn)
{
    std::unique_ptr<YSMHandle> model(parser->CreateModelHandle(RCV_DATA_DIR "/models/biplane.ysm"));
    ASSERT_NE(nullptr, model);
    model->SetActiveGroup(model->FindGroup("Camera"));
    model->SetReferenceSize(16.0f);
    YRenderInstance record;
    record.m_model = model.get();
    record.m_flags = YD3D6Parser::kRecordVisible;
    const YMapFramePath path(*parser);
    path.ActorSpot(40, *parser, record.m_position);
    record.m_position[1] += 16.0f;
    record.m_scale = 2.0f;
    const Probe gone = Look(record.m_position, "meadow_no_actor.bmp");
    parser->AddActorAt(&record, 0, record.m_position[0], record.m_position[2]);
    const Probe shown = Look(record.m_position, "meadow_actor.bmp");
    parser->RemoveActorAt(&record, record.m_position[0], record.m_position[2]);
    // Wings of about 8 m at twice the size: 256 units across at 30 m.
    const int row = shown.Row(record.m_position[1]);
    EXPECT_GT(Changed(shown, gone, kWidth / 2 - 60, row - 20, kWidth / 2 + 60, row + 20), 200);
    EXPECT_GT(Changed(shown, gone, kWidth / 2 - 30, row - 5, kWidth / 2 + 30, row + 5), 30) << "the body";
}

// A model tree throws a shadow while the shadow switches are on: the
// ground beside its foot, away from the light, is darker than without.
TEST_F(MeadowProbe, AModelTreeThrowsAShadow)
{
    const YCellItem* tree = nullptr;
    for (const YMapCell& cell : parser->m_cells)
        for (const YCellItem& item : cell.m_items)
            if (!tree && !cell.m_water && item.m_type >= parser->m_spriteTypeCount) tree = &item;
    ASSERT_NE(nullptr, tree);
    ASSERT_NE(0, parser->m_mapSettings[YD3D6Parser::kShadowWord0]);
    ASSERT_NE(0, parser->m_mapSettings[YD3D6Parser::kShadowWord1]);
    const Probe shown = Look(tree->m_position, "meadow_tree_shadow.bmp");
    const int32_t words[2] = {parser->m_mapSettings[YD3D6Parser::kShadowWord0], parser->m_mapSettings[YD3D6Parser::kShadowWord1]};
    parser->m_mapSettings[YD3D6Parser::kShadowWord0] = parser->m_mapSettings[YD3D6Parser::kShadowWord1] = 0;
    const Probe gone = Look(tree->m_position, "meadow_tree_no_shadow.bmp");
    parser->m_mapSettings[YD3D6Parser::kShadowWord0] = words[0];
    parser->m_mapSettings[YD3D6Parser::kShadowWord1] = words[1];
    const int base = shown.Row(tree->m_position[1]);
    EXPECT_GT(Darker(shown, gone, 0, base - 30, kWidth, kHeight), 20) << "the tree's shadow";
    EXPECT_EQ(0, Darker(gone, shown, 0, base + 10, kWidth, kHeight)) << "nothing lighter on the ground";
}

// The map frame tool's path at four times of day: the sky at the top
// follows the periods, the clouds drift between frames and the far
// terrain takes the fog of the hour.
TEST_F(MeadowFrame, TheSkyFollowsTheTimeOfDay)
{
    const YMapFramePath path(*parser);
    struct Case {
        const char* what;
        int hour, minute;
        int minBlue, maxBlue;   // of the top rows' mean
        int blueOverRed;        // 1 yes, 0 no, -1 either
    } cases[] = {
        {"noon: the day's blue", 12, 0, 150, 255, 1},
        {"17:30: day blending into dusk", 17, 30, 60, 200, -1},
        {"midnight: the dark night", 0, 0, 0, 80, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        parser->SetClock(2001, 3, 15, c.hour, c.minute, 0);
        path.Draw(40, *parser, kWidth, kHeight);
        const std::vector<uint32_t> got = Pixels();
        long sums[3] = {0, 0, 0};
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < kWidth; ++x)
                for (int k = 0; k < 3; ++k) sums[k] += Channel(got[size_t(y * kWidth + x)], 16 - 8 * k);
        const long n = 20L * kWidth, r = sums[0] / n, b = sums[2] / n;
        EXPECT_GE(b, c.minBlue);
        EXPECT_LE(b, c.maxBlue);
        if (c.blueOverRed >= 0) EXPECT_EQ(c.blueOverRed == 1, b > r + 10) << r << " " << b;
    }
    // The dusk blend lies between the day and the dusk boxes: redder than noon.
    // The low sun's glare would wash the sky's top: the boxes alone are compared.
    parser->m_glareScales[0] = 0.0f;
    auto topRed = [&](int hour, int minute) {
        parser->SetClock(2001, 3, 15, hour, minute, 0);
        path.Draw(40, *parser, kWidth, kHeight);
        const std::vector<uint32_t> got = Pixels();
        long red = 0;
        for (int x = 0; x < kWidth; ++x) red += Channel(got[size_t(5 * kWidth + x)], 16);
        return red / kWidth;
    };
    EXPECT_LT(topRed(12, 0), topRed(17, 30));
    EXPECT_LT(topRed(17, 30), topRed(19, 0));
}

TEST_F(MeadowFrame, CloudsDriftBetweenFrames)
{
    const YMapFramePath path(*parser);
    parser->SetClock(2001, 3, 15, 12, 0, 0);
    ASSERT_FALSE(parser->m_clouds.empty());
    ASSERT_NE(YD3D6CloudPlane::kNoTexture, parser->m_clouds[0].texture);
    // Looking up at the clouds from the path's first point.
    float at[3], angles[2];
    path.At(0, at, angles, *parser);
    auto look = [&] {
        parser->SetCameraPosition(at[0], at[1], at[2]);
        parser->SetCameraAngles(0.7f, angles[1], 0.0f);
        parser->SetViewRects(0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight);
        parser->SetProjection(60.0f, 60.0f, 16.0f, float(parser->m_popUpDistance));
        parser->ApplyView();
        parser->BeginFrame();
        parser->RenderFrame();
        parser->EndFrame();
        return Pixels();
    };
    const float u = parser->m_clouds[0].uOffset;
    const std::vector<uint32_t> first = look();
    for (int i = 0; i < 30; ++i) look();
    const std::vector<uint32_t> later = look();
    Save("meadow_clouds.bmp");
    EXPECT_GT(parser->m_clouds[0].uOffset, u);
    int changed = 0;
    for (size_t i = 0; i < first.size(); ++i)
        for (int s : {0, 8, 16}) changed += std::abs(Channel(first[i], s) - Channel(later[i], s)) > 8 ? 1 : 0;
    EXPECT_GT(changed, 100) << "the clouds moved";
}
#endif
