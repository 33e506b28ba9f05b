// libFuzzer target for bitmap fonts: the input up to a "--8<--" line is the
// ".fnt" description, the rest the glyph picture "glyphs.bmp".  A font that
// loads draws text, wrapped and cut, into a small surface.
#include "tools/fuzz/FuzzScratch.h"

#include "graphics2d/YFont.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterScratch("font");
    std::string description, picture;
    fuzz::Split(data, size, description, picture);
    fuzz::WriteFile("face.fnt", description);
    fuzz::WriteFile("glyphs.bmp", picture);

    YDXDraw* display = fuzz::Display();
    YFont font;
    int loaded = 0;
    try {
        loaded = font.Load("face", display);
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
    if (!loaded) return 0;
    std::unique_ptr<YDXSurface> target = fuzz::Target(64, 32);
    if (!target) return 0;
    font.TextOut(-3, 2, "Volaro 1999 \xFF\x01~", -1, target.get());
    RECT box = {2, 2, 60, 30};
    font.DrawText("Radio controlled model planes", &box, DT_WORDBREAK, target.get());
    return 0;
}
