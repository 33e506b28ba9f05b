// libFuzzer target for sprites: the input up to a "--8<--" line is the
// sprite file, the rest the frame picture "frame.bmp".  A sprite that loads
// is drawn whole, clipped and at the edges of a small surface.
#include "tools/fuzz/FuzzScratch.h"

#include "graphics2d/YSprite.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterScratch("sprite");
    std::string file, picture;
    fuzz::Split(data, size, file, picture);
    fuzz::WriteFile("fuzz.spr", file);
    fuzz::WriteFile("frame.bmp", picture);

    YSprite sprite;
    if (!sprite.Load("fuzz.spr", fuzz::Display())) return 0;
    std::unique_ptr<YDXSurface> target = fuzz::Target(48, 40);
    if (!target) return 0;
    sprite.DrawAt(target.get(), 10, 10);
    sprite.DrawAt(target.get(), -30, 35);
    RECT clip = {5, 5, 20, 20};
    POINT at = {12, 8};
    sprite.DrawClipped(target.get(), at, &clip);
    sprite.Draw(target.get(), &clip);
    return 0;
}
