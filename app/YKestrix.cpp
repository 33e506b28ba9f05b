#include "app/YKestrix.h"

#include <ctime>
#include <vector>

#include "engine/YGameObjects.h"
#include "frontend/YAppLayout.h"

namespace {
const UINT kIconResource = 102;
const int kIconSize = 32;

// The program's icon: a red model plane seen from above on sky blue.
std::vector<uint32_t> DrawIcon()
{
    std::vector<uint32_t> pixels(kIconSize * kIconSize, 0xFF3C8CDCu);
    auto put = [&](int x, int y, uint32_t colour) {
        if (x >= 0 && x < kIconSize && y >= 0 && y < kIconSize) pixels[y * kIconSize + x] = colour;
    };
    const uint32_t red = 0xFFD02020u, dark = 0xFF801010u;
    for (int y = 4; y < 28; ++y)
        for (int x = 14; x < 18; ++x) put(x, y, red);           // fuselage
    for (int y = 10; y < 15; ++y)
        for (int x = 3; x < 29; ++x) put(x, y, red);            // wings
    for (int y = 23; y < 26; ++y)
        for (int x = 10; x < 22; ++x) put(x, y, dark);          // tail
    for (int x = 12; x < 20; ++x) put(x, 3, dark);              // propeller
    return pixels;
}
}  // namespace

void YKestrix::RegisterResources()
{
    static const std::vector<uint32_t> icon = DrawIcon();
    platform::RegisterIconResource(kIconResource, icon.data(), kIconSize, kIconSize);
    platform::RegisterStringResource(AFX_IDS_APP_TITLE, "RC Volaro");
}

BOOL YKestrix::InitInstance()
{
    YGameObjects* engine = YGameObjects::Instance();
    srand(platform::Seed::Next());
    SetRegistryKey("Yorvane Interactive");
    if (!engine->Start(this)) return FALSE;
    YGameObjects::Instance()->ExecuteCommand("layout s screen:gamesetup screens.scr:InterfaceGameBD");
    engine->Run();
    return TRUE;
}

int YKestrix::ExitInstance()
{
    YGameObjects::Instance()->DestroyAll();
    return CWinApp::ExitInstance();
}
