// The console's background: an image of the engine's catalog copied into a
// surface and tiled over the console from the bottom edge up.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/YEditDialog.h"
#include "engine/YGameObjects.h"
#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YSurfaceDC.h"
#include "renderer/YGraphics.h"

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// 3 x 2, every pixel a different colour that every pixel format keeps.
const int kTileWidth = 3, kTileHeight = 2;
const Rgb kTile[kTileHeight][kTileWidth] = {
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}},
    {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}},
};

void Put16(std::string& out, uint16_t v) { out.append(reinterpret_cast<const char*>(&v), 2); }
void Put32(std::string& out, uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); }

// A 24-bit bitmap file of the tile, rows bottom-up, padded to 4 bytes.
std::string TileBitmap()
{
    const int stride = (kTileWidth * 3 + 3) & ~3;
    std::string pixels;
    for (int y = kTileHeight - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < kTileWidth; ++x) row += {char(kTile[y][x].b), char(kTile[y][x].g), char(kTile[y][x].r)};
        row.resize(stride, '\0');
        pixels += row;
    }
    std::string file = "BM";
    Put32(file, 54 + static_cast<uint32_t>(pixels.size()));
    Put32(file, 0);
    Put32(file, 54);
    Put32(file, 40);
    Put32(file, kTileWidth);
    Put32(file, kTileHeight);
    Put16(file, 1);
    Put16(file, 24);
    for (int i = 0; i < 6; ++i) Put32(file, 0);
    return file + pixels;
}

class ConsoleBackgroundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_engine = YGameObjects::Instance();
        m_savedCatalog = m_engine->m_catalog;
        m_savedGraphics = m_engine->m_graphics;
        m_folder = std::filesystem::temp_directory_path() / ("rcv_console_bg_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
        std::ofstream(m_folder / "tile.bmp", std::ios::binary) << TileBitmap();

        GUID primary;
        std::memset(&primary, 0, sizeof primary);
        ASSERT_EQ(m_graphics.Create(primary), 1);
        ASSERT_EQ(m_graphics.SetMode(0, nullptr), 1);
        m_catalog.GetSearchDirectories().Add(m_folder.string().c_str());
        m_item = new YCatalogItem(1, "Art", "tile", "", 0, "", nullptr);
        m_catalog.AddItem(m_item);
        m_engine->m_catalog = &m_catalog;
        m_engine->m_graphics = &m_graphics;
    }
    void TearDown() override
    {
        m_engine->m_catalog = m_savedCatalog;
        m_engine->m_graphics = m_savedGraphics;
        std::filesystem::remove_all(m_folder);
    }

    // Pixels of a surface in its own format.
    static std::vector<uint32_t> Read(YDXSurface& surface, DDPIXELFORMAT* format)
    {
        DDSURFACEDESC2 desc;
        std::memset(&desc, 0, sizeof desc);
        std::vector<uint32_t> out;
        if (!surface.Lock(&desc)) return out;
        const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            for (DWORD x = 0; x < desc.dwWidth; ++x) {
                const uint8_t* p = static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes;
                uint32_t v = 0;
                for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
                out.push_back(v);
            }
        if (format) *format = desc.ddpfPixelFormat;
        surface.Unlock();
        return out;
    }
    // A colour of full or no intensity per channel in that format.
    static uint32_t Pixel(const DDPIXELFORMAT& f, Rgb c)
    {
        return (c.r ? f.dwRBitMask : 0) | (c.g ? f.dwGBitMask : 0) | (c.b ? f.dwBBitMask : 0);
    }

    YGameObjects* m_engine = nullptr;
    YGraphics m_graphics;
    YCatalog m_catalog;
    YCatalogItem* m_item = nullptr;
    std::filesystem::path m_folder;

private:
    YCatalog* m_savedCatalog = nullptr;
    YGraphics* m_savedGraphics = nullptr;
};

}  // namespace

TEST_F(ConsoleBackgroundTest, CopiesTheCatalogImageIntoASurfaceOfItsSize)
{
    struct Case {
        const char* name;
        bool found;
    };
    const Case cases[] = {
        {"Art:tile", true},  {"art:TILE", true}, {"Art:none", false},
        {"Other:tile", false}, {"tile", false}, {"", false},
    };
    for (const Case& c : cases) {
        YEditDialog console;
        console.SetBackground(c.name);
        EXPECT_STREQ(console.GetBackgroundName(), c.name);
        YDXSurface* surface = console.GetBackgroundSurface();
        ASSERT_EQ(surface != nullptr, c.found) << c.name;
        // The image goes back to the catalog once copied.
        EXPECT_EQ(m_item->GetRefCount(), 0) << c.name;
        if (!surface) continue;
        ASSERT_EQ(surface->GetWidth(), static_cast<DWORD>(kTileWidth));
        ASSERT_EQ(surface->GetHeight(), static_cast<DWORD>(kTileHeight));
        DDPIXELFORMAT format = {};
        const std::vector<uint32_t> pixels = Read(*surface, &format);
        ASSERT_EQ(pixels.size(), static_cast<size_t>(kTileWidth * kTileHeight));
        for (int y = 0; y < kTileHeight; ++y)
            for (int x = 0; x < kTileWidth; ++x)
                EXPECT_EQ(pixels[y * kTileWidth + x], Pixel(format, kTile[y][x])) << x << "," << y;
    }
}

TEST_F(ConsoleBackgroundTest, TilesFromTheBottomEdgeOrFillsWithTheBackColour)
{
    struct Case {
        const char* name;
        RECT rect;
    };
    // Widths and heights that leave a cut tile at the right and at the top.
    const Case cases[] = {
        {"Art:tile", {2, 1, 12, 8}},
        {"Art:tile", {0, 0, 6, 4}},
        {"Art:tile", {5, 3, 6, 4}},
        {"Art:none", {2, 1, 12, 8}},
    };
    for (const Case& c : cases) {
        YEditDialog console;
        console.SetDrawSeparator(false);
        console.SetBackColour(RGB(0, 0, 255));
        console.SetBackground(c.name);
        console.MoveTo(&c.rect);
        ASSERT_TRUE(EqualRect(&console.Rect(), &c.rect));

        YSurfaceDC dc(new YDXSurface("target"), 1);
        ASSERT_EQ(dc.Create(16, 10, &m_graphics), 1);
        DDPIXELFORMAT format = {};
        const std::vector<uint32_t> before = Read(*dc.GetSurface(), nullptr);
        console.DrawBackground(&dc);
        const std::vector<uint32_t> pixels = Read(*dc.GetSurface(), &format);
        ASSERT_EQ(pixels.size(), 160u);
        const bool tiled = console.GetBackgroundSurface() != nullptr;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 16; ++x) {
                const POINT at = {x, y};
                uint32_t expected = before[y * 16 + x];
                if (PtInRect(&c.rect, at)) {
                    const int tx = (x - c.rect.left) % kTileWidth;
                    const int ty = ((y - (c.rect.bottom - kTileHeight)) % kTileHeight + kTileHeight) % kTileHeight;
                    expected = tiled ? Pixel(format, kTile[ty][tx]) : Pixel(format, {0, 0, 255});
                }
                EXPECT_EQ(pixels[y * 16 + x], expected) << c.name << " at " << x << "," << y;
            }
    }
}

TEST_F(ConsoleBackgroundTest, GoesWithTheSurfacesAndComesBackUnderItsName)
{
    YEditDialog console;
    console.SetBackground("Art:tile");
    ASSERT_NE(console.GetBackgroundSurface(), nullptr);
    // The graphics object tells the console when the display changes.
    EXPECT_NE(m_graphics.m_displayClients.Find(&console), nullptr);
    console.ReleaseSurfaces();
    EXPECT_EQ(console.GetBackgroundSurface(), nullptr);
    console.CreateSurfaces(&m_graphics);
    EXPECT_NE(console.GetBackgroundSurface(), nullptr);
    EXPECT_STREQ(console.GetBackgroundName(), "Art:tile");
    EXPECT_EQ(m_item->GetRefCount(), 0);
}
