// The map frame of the sample map "Meadow" on our device: a frame of the
// fixed camera path against its golden picture, and pixel probes of a
// close view of the willows standing in the lake.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "FrameFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "SampleCatalog.h"
#include "foundation/SaveDCBitmap.h"
#include "tools/map_frame/YMapFramePath.h"

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
    // Noon of the local day: the sun's light, whatever the time zone.
    parser->SetClock(2001, 3, 15, 12, 0, 0);
    path.Draw(40, *parser, kWidth, kHeight);
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
            const uint32_t c = parser->m_clearColour;
            if (y < kHeight / 5)
                sky += std::abs(r - Channel(c, 16)) < 8 && std::abs(g - Channel(c, 8)) < 8 && std::abs(b - Channel(c, 0)) < 8;
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
#endif
