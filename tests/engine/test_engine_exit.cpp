// The program's end: whatever the engine object still holds when static
// destruction reaches it, the platform's objects it releases are still there.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/YGameObjects.h"
#include "engine/YKestrixFrame.h"
#include "foundation/YCatalog.h"
#include "graphics2d/YDXDrawDrivers.h"
#include "platform/backend/HeadlessBackend.h"
#include "renderer/YGraphics.h"
#include "sound/YSound.h"
#include "sound/YSoundData.h"

namespace {
// The sound manager with its device open.
void OpenSound(YGameObjects* engine)
{
    static YCatalog* catalog = new YCatalog;  // outlives the engine, as the program's does
    YSoundData settings;
    settings.m_8bitQuality = 0;
    if (!engine->m_sound || !engine->m_sound->Initialize(catalog, &settings)) std::exit(2);
    if (!platform::HeadlessBackend::Active() || !platform::HeadlessBackend::Active()->Audio().IsOpen()) std::exit(3);
}

// The frame window and a windowed display with its surfaces.
void StartDisplay(YGameObjects* engine)
{
    static YKestrixFrame* frame = new YKestrixFrame;
    if (!frame->Create(nullptr, "RC Volaro", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU)) std::exit(4);
    engine->m_hWnd = frame->m_hWnd;
    if (YDXDrawDrivers::Enumerate(nullptr) != 0 || engine->m_graphics->StartDisplay() != 1) std::exit(5);
}
}  // namespace

// Each run starts what it names in a process of its own and leaves it all
// to static destruction.
TEST(EngineExit, ObjectsStillOpenAtStaticDestruction)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        const char* what;
        bool display, sound, backendEnded;
    } cases[] = {
        {"sound", false, true, false},
        {"display", true, false, false},
        {"display and sound", true, true, false},
        {"sound after the backend ended", false, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(
            {
                YGameObjects* engine = YGameObjects::Instance();
                if (c.display) StartDisplay(engine);
                if (c.sound) OpenSound(engine);
                if (c.backendEnded) platform::Backend::Shutdown();
                std::exit(0);
            },
            ::testing::ExitedWithCode(0), "")
            << c.what;
    }
}
