// The software cursor: the graphics step draws the attached sprite at the
// mouse, by its hot spot, while the mouse is over the client area (grown by
// 2 pixels) and the input does not hide it.
#include <gtest/gtest.h>

#include "ScratchFolder.h"
#include "engine/YGameObjects.h"
#include "engine/YKestrixFrame.h"
#include "graphics2d/YDXDrawDrivers.h"
#include "graphics2d/YFrame.h"
#include "graphics2d/YSprite.h"
#include "graphics2d/test_image_bytes.h"
#include "input/YInputObj.h"
#include "platform/backend/HeadlessBackend.h"
#include "renderer/YGraphics.h"

namespace {
const uint32_t kRed = 0xFF0000;

// An 8 x 8 red cursor with its hot spot at (3, 3).
YSprite* MakeCursor(const ScratchFolder& folder)
{
    Bytes red;
    for (int i = 0; i < 8; ++i) red.insert(red.end(), {0, 0, 255});
    folder.Write("pics/c.bmp", MakeBMP(24, 8, 8, std::vector<Bytes>(8, red)));
    YSprite* sprite = new YSprite;
    YFrame* frame = new YFrame;
    SetRect(&frame->m_frameRect, 0, 0, 8, 8);
    frame->SetHotSpot(3, 3);
    frame->m_imageName = "c.bmp";
    sprite->AddFrame(frame);
    sprite->m_width = 8;
    sprite->m_height = 8;
    sprite->SetImageDirectory("pics");
    return sprite;
}
}  // namespace

TEST(SoftwareCursor, DrawnAtTheMouseOverTheWindowOnly)
{
    ScratchFolder folder(ScratchFolder::Enter);
    YGameObjects* engine = YGameObjects::Instance();
    YKestrixFrame* frame = new YKestrixFrame;
    ASSERT_TRUE(frame->Create(nullptr, "RC Volaro", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU));
    frame->ShowWindow(SW_SHOWNORMAL);
    engine->m_hWnd = frame->m_hWnd;
    YGraphics* graphics = engine->m_graphics;
    ASSERT_EQ(YDXDrawDrivers::Enumerate(nullptr), 0);
    ASSERT_EQ(graphics->StartDisplay(), 1);

    YSprite* cursor = MakeCursor(folder);
    EXPECT_EQ(graphics->ExchangeAttached(cursor), nullptr);
    ASSERT_TRUE(cursor->CreateSurfaces(graphics));
    POINT origin = {0, 0};
    ClientToScreen(engine->m_hWnd, &origin);
    RECT client;
    GetClientRect(engine->m_hWnd, &client);
    const int right = client.right;  // the desktop may leave less than 640

    struct Case {
        int mouseX, mouseY;  // client coordinates
        bool hidden;
        int probeX, probeY;
        bool red;
    } cases[] = {
        {20, 30, false, 17, 27, true},   // the corner before the hot spot
        {20, 30, false, 24, 34, true},   // the far corner
        {20, 30, false, 25, 35, false},  // past it
        {20, 30, false, 16, 27, false},
        {20, 30, true, 17, 27, false},   // the mouse steers: no cursor
        {-2, 5, false, 0, 4, true},      // just left of the client area
        {-3, 5, false, 0, 4, false},     // too far left, though it would reach x = 0
        {right + 1, 100, false, right - 1, 99, true},
        {right + 2, 100, false, right - 1, 99, false},
    };
    platform::HeadlessBackend* backend = platform::HeadlessBackend::Active();
    ASSERT_NE(backend, nullptr);
    engine->m_input->Create(&engine->m_input->m_settings);
    for (const Case& c : cases) {
        if (c.hidden) engine->m_input->AcquireMouse(false);
        ASSERT_EQ(engine->m_input->m_captured != 0, c.hidden);
        SetCursorPos(origin.x + c.mouseX, origin.y + c.mouseY);
        graphics->ClearSurfaces(1);
        graphics->RunFrame();
        const platform::HeadlessBackend::Frame* shown = backend->LastFrame();
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->At(c.probeX, c.probeY) == kRed, c.red) << c.mouseX << ", " << c.mouseY;
        if (c.hidden) engine->m_input->UnacquireMouse();
    }

    // A display restart gives the cursor a new surface.
    ASSERT_EQ(graphics->StartDisplay(), 1);
    SetCursorPos(origin.x + 50, origin.y + 60);
    graphics->ClearSurfaces(1);
    graphics->RunFrame();
    EXPECT_EQ(backend->LastFrame()->At(47, 57), kRed);

    engine->m_input->Destroy();
    EXPECT_EQ(graphics->ExchangeAttached(nullptr), cursor);
    delete cursor;
    graphics->ReleaseSurfaces();
    engine->m_hWnd = nullptr;
    DestroyWindow(frame->m_hWnd);
}
