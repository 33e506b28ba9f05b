// A frame window and a started windowed display on the engine's graphics
// object for one test; the surfaces are released and the window destroyed after.
#pragma once

#include <gtest/gtest.h>

#include "engine/YGameObjects.h"
#include "engine/YKestrixFrame.h"
#include "graphics2d/YDXDrawDrivers.h"
#include "renderer/YGraphics.h"

class StartedDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_engine = YGameObjects::Instance();
        m_frame = new YKestrixFrame;
        ASSERT_TRUE(m_frame->Create(nullptr, "RC Volaro", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU));
        m_engine->m_hWnd = m_frame->m_hWnd;
        m_graphics = m_engine->m_graphics;
        ASSERT_EQ(YDXDrawDrivers::Enumerate(nullptr), 0);
        ASSERT_EQ(m_graphics->StartDisplay(), 1);
    }
    void TearDown() override
    {
        m_graphics->ReleaseSurfaces();
        m_engine->m_hWnd = nullptr;
        DestroyWindow(m_frame->m_hWnd);
    }

    YGameObjects* m_engine = nullptr;
    YKestrixFrame* m_frame = nullptr;
    YGraphics* m_graphics = nullptr;
};
