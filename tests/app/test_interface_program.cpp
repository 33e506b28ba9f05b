// The real program opens, reorders, replaces and closes screen and texture
// layers from a command file, frame after frame, and ends cleanly.
#include "app/ProgramRun.h"

#include <string>

namespace fs = std::filesystem;

namespace {
const char* const kScreens =
    "main\r\n{\r\ngroup(10, 10, 200, 100)\r\nfont(Fonts:Small)\r\ncache(panel, 255, 0, 255)\r\nendcache\r\n"
    "endfont\r\nendgroup\r\n}\r\nother\r\n{\r\nif(1)\r\nendif\r\n}\r\n";

// Each line runs on its own frame (a "wait" between them).
const char* const kLayers[] = {
    "layout s screen:main screens.scr:main",
    "layout sm dialog:options screens.scr:other",
    "layout f screen",
    "layout b screen",
    "layout h dialog",
    "layout s screen:other screens.scr:other",
    "layout s screen:other screens.scr:main",
    "layout st 0:clock screens.scr:main",
    "layout d",
    "layout s hud screens.scr:main",
    "layout h screen",
    "layout th 0:clock",
    "layout h hud",
};
}  // namespace

class InterfaceProgram : public ProgramTest {};

TEST_F(InterfaceProgram, LayersOpenAndCloseFrameAfterFrame)
{
    Write("screens.scr", kScreens);
    std::string keys;
    int frame = 3;
    for (const char* line : kLayers) {
        keys += std::to_string(frame) + " key down F2\n" + std::to_string(frame) + " key up F2\n";
        keys += std::to_string(frame) + " text " + line + "\n";
        keys += std::to_string(frame) + " key down Return\n" + std::to_string(frame) + " key up Return\n";
        keys += std::to_string(frame + 1) + " key down F2\n" + std::to_string(frame + 1) + " key up F2\n";
        frame += 3;
    }
    Write("keys.txt", keys);
    fs::create_directories(m_dir / "frames");
    ProgramResult result =
        RunWith("RCV_INPUT_SCRIPT=keys.txt RCV_FRAME_DUMP=frames RCV_FRAME_DUMP_EVERY=10", frame + 10);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(Read("frames/frame000010.bmp").substr(0, 2), "BM");
}
