// The real program, run headless on a copy of the sample data, with a
// scripted keyboard that opens the console and types into it.
#include "app/ProgramRun.h"

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "assets3d/YAssets3DResources.h"
#include "foundation/YCatalog.h"
#include "graphics2d/YDXDraw.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFont.h"
#include "graphics2d/YGraphics2DResources.h"
#include "sound/YSoundResources.h"

namespace fs = std::filesystem;

namespace {
typedef ProgramResult Result;

class ConsoleProgram : public ProgramTest {
protected:
    // Keys are named ("F2", "Return") or typed text, comma separated; all of
    // them are pressed in order on the third pass of the main loop.
    static std::string Script(const std::string& keys)
    {
        std::string script;
        std::stringstream items(keys);
        std::string item;
        while (std::getline(items, item, ',')) {
            if (item == "F2" || item == "Return")
                script += "3 key down " + item + "\n3 key up " + item + "\n";
            else
                script += "3 text " + item + "\n";
        }
        return script;
    }

    Result Run(const std::string& keys, int frames)
    {
        Write("keys.txt", Script(keys));
        return RunWith("RCV_INPUT_SCRIPT=keys.txt", frames);
    }
};
}  // namespace

TEST_F(ConsoleProgram, TypedLinesRunInTheConsoleAndTheProgramEnds)
{
    struct Case {
        const char* keys;
        const char* fog;  // the setting the run leaves in config.cfg
    };
    const Case cases[] = {
        {"F2,help,Return,F2", "set gfx_fog \"0\""},
        {"F2,help,Return,set gfx_fog 1,Return,F2", "set gfx_fog \"1\""},
        // The console is closed before the line is typed: nothing runs.
        {"F2,F2,set gfx_fog 1,Return", "set gfx_fog \"0\""},
        // An F2 while open closes it; the next one opens it again.
        {"F2,F2,F2,set gfx_fog 1,Return,F2", "set gfx_fog \"1\""},
    };
    for (const Case& c : cases) {
        fs::remove(m_dir / "config.cfg");
        Write("config.cfg", "set gfx_fog \"0\"\n");
        Result result = Run(c.keys, 12);
        EXPECT_EQ(result.exitCode, 0) << c.keys << result.err;
        EXPECT_EQ(result.err, "") << c.keys;
        const std::string config = Read("config.cfg");
        EXPECT_NE(config.find(c.fog), std::string::npos) << c.keys << "\n" << config;
        EXPECT_NE(config.find("-- System settings"), std::string::npos) << c.keys;
    }
}

namespace {

// Which pixels of a picture are lit (text) and which are dark (background).
struct Mask {
    int width = 0, height = 0;
    std::vector<bool> lit;
    bool At(int x, int y) const { return lit[static_cast<size_t>(y) * width + x]; }
};

// Light text; the font picture's magenta key colour is not text.
bool Bright(int r, int g, int b) { return r + g + b > 300 && g > 100; }

// A 24-bit bitmap file, rows bottom-up.
Mask ReadFrame(const std::string& bytes)
{
    Mask mask;
    if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) return mask;
    auto u32 = [&](size_t at) {
        uint32_t v;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    };
    const uint32_t offset = u32(10);
    const int width = static_cast<int>(u32(18)), height = static_cast<int>(u32(22));
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    if (bytes.size() < offset + stride * height) return mask;
    mask.width = width;
    mask.height = height;
    mask.lit.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const unsigned char* row =
            reinterpret_cast<const unsigned char*>(bytes.data()) + offset + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x)
            mask.lit[static_cast<size_t>(y) * width + x] = Bright(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    }
    return mask;
}

// The word as the font's glyph cells hold it, copied straight out.
Mask Render(YFont& font, YDXDraw& display, const char* word)
{
    Mask mask;
    const SIZE size = font.TextExtent(word, -1);
    YDXSurface surface("word");
    if (size.cx <= 0 || size.cy <= 0 ||
        !surface.CreateSurface(&display, size.cx, size.cy, DDSCAPS_3DDEVICE, nullptr, 1, nullptr))
        return mask;
    RECT all = {0, 0, size.cx, size.cy};
    surface.Clear(&all, 0);
    font.TextOut(0, 0, word, -1, &surface, 1);
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    if (!surface.Lock(&desc)) return mask;
    const DDPIXELFORMAT& f = desc.ddpfPixelFormat;
    auto channel = [](uint32_t v, uint32_t m) {
        if (!m) return 0;
        int shift = 0;
        while (!((m >> shift) & 1)) ++shift;
        return static_cast<int>(((v & m) >> shift) * 255 / (m >> shift));
    };
    mask.width = size.cx;
    mask.height = size.cy;
    mask.lit.resize(static_cast<size_t>(size.cx) * size.cy);
    const int bytes = static_cast<int>(f.dwRGBBitCount / 8);
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            const unsigned char* p = static_cast<unsigned char*>(desc.lpSurface) + y * desc.lPitch + x * bytes;
            uint32_t v = 0;
            for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
            mask.lit[static_cast<size_t>(y) * size.cx + x] =
                Bright(channel(v, f.dwRBitMask), channel(v, f.dwGBitMask), channel(v, f.dwBBitMask));
        }
    surface.Unlock();
    return mask;
}

// The word stands somewhere in the frame, pixel for pixel, lit and dark.
bool Shows(const Mask& frame, const Mask& word)
{
    if (word.width == 0 || word.width > frame.width || word.height > frame.height) return false;
    // Lit pixels first: on the dark background most places fail at once.
    std::vector<std::pair<int, int>> order;
    for (int pass = 0; pass < 2; ++pass)
        for (int y = 0; y < word.height; ++y)
            for (int x = 0; x < word.width; ++x)
                if (word.At(x, y) == (pass == 0)) order.push_back({x, y});
    EXPECT_TRUE(!order.empty() && word.At(order[0].first, order[0].second)) << "a word drawn without a lit pixel";
    for (int top = 0; top + word.height <= frame.height; ++top)
        for (int left = 0; left + word.width <= frame.width; ++left) {
            bool same = true;
            for (size_t i = 0; i < order.size() && same; ++i)
                same = frame.At(left + order[i].first, top + order[i].second) == word.At(order[i].first, order[i].second);
            if (same) return true;
        }
    return false;
}

}  // namespace

TEST_F(ConsoleProgram, HelpListsEveryCommandOverTheConsoleBackground)
{
    fs::create_directories(m_dir / "frames");
    Write("keys.txt", Script("F2,help,Return"));
    WithoutSetupScreen();  // the lower half stays black
    Result result = RunWith("RCV_INPUT_SCRIPT=keys.txt RCV_FRAME_DUMP=frames", 12);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string last;
    for (const auto& entry : fs::directory_iterator(m_dir / "frames"))
        if (entry.path().filename().string() > last) last = entry.path().filename().string();
    ASSERT_FALSE(last.empty());
    std::ifstream in(m_dir / "frames" / last, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const Mask frame = ReadFrame(bytes.str());
    ASSERT_EQ(frame.width, 640);
    ASSERT_EQ(frame.height, 480);

    // The words as the game's interface font draws them; the catalog also
    // embeds the interface sounds and the texture handlers.
    YGraphics2DResources::Register();
    YSoundResources::Register();
    YAssets3DResources::Register();
    YCatalog catalog((m_dir / "RC Volaro.cat").string().c_str());
    catalog.GetSearchDirectories().Add(m_dir.string().c_str());
    YFont* font = dynamic_cast<YFont*>(catalog.GetResource(17, "Font", "small_yellow", 0));
    ASSERT_NE(font, nullptr);
    GUID primary;
    std::memset(&primary, 0, sizeof primary);
    YDXDraw display;
    ASSERT_EQ(display.Create(primary), 1);
    ASSERT_EQ(display.SetMode(0, nullptr), 1);
    ASSERT_TRUE(font->CreateSurfaces(&display));

    const char* shown[] = {">help", "ACTOR", "ALIAS", "BIND", "EXEC", "GRAPHICS", "HELP", "?", "LAYOUT", "LIST",
                           "SESSION", "SET", "SOUND", "UNBOUND", "OBJECT", "PARSER", "EXIT", "QUIT", "PAUSE",
                           "ESCAPE"};
    for (const char* word : shown) EXPECT_TRUE(Shows(frame, Render(*font, display, word))) << word;
    // A word the console never wrote is not found.
    EXPECT_FALSE(Shows(frame, Render(*font, display, "VOLARO")));

    // The console's text and lines stay in the top half and the font's height
    // (with the height's bits cleared), grown by less than a row.
    const LONG h = font->TextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZ", -1).cy;
    ASSERT_GT(h, 0);
    int lastRow = -1;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
            if (frame.At(x, y)) lastRow = y;
    EXPECT_GT(lastRow, 200);
    EXPECT_LT(lastRow, ((240 + h) & ~h) + h);
    catalog.ReleaseResource(font);
}
