// A renderer on our device in a ready map session over the hand-made grid
// (8 x 8 cells of 10 units), with its frame buffers sized for a view
// distance, and a camera to place.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "RecordingDevice.h"
#include "foundation/YCpuInfo.h"
#include "foundation/YFastMath.h"
#include "foundation/YSineTable.h"
#include "graphics2d/Graphics2dFixture.h"
#include "renderer/HandMadeGrid.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"

class FrameTest : public Graphics2dTest {
protected:
    void SetUp() override
    {
        Graphics2dTest::SetUp();
        // The math forms and sine table the engine object installs.
        InitMathDispatch(DetectCpuFeatures());
        BuildSineTable();
        memset(&m_display, 0, sizeof m_display);
        m_display.word1 = 20;
        parser->AttachDisplay(&m_display);
        parser->SetWorldScale(16.0f);
    }
    void TearDown() override
    {
        recorder.reset();
        parser.reset();
        back.Release();
        primary.Release();
        Graphics2dTest::TearDown();
    }
    int MakeDevice(int width = 64, int height = 48)
    {
        const DDPIXELFORMAT k565 = RgbFormat(16, 0xF800, 0x07E0, 0x001F);
        if (!primary.GetSurface()) {
            EXPECT_EQ(1, primary.CreatePrimarySurface(&display, 2, 0));
        }
        back.Release();
        EXPECT_EQ(1, back.CreateSurface(&display, width, height, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, nullptr, 0,
                                        &k565));
        memset(&m_caps, 0, sizeof m_caps);
        m_device = {44, 0, &display, primary.GetSurface(), back.GetSurface(), &m_caps, 0, 16, {0, 0, 0}};
        return parser->CreateDevice(&m_device);
    }
    // A ready map session over the hand-made grid, view distance d.
    void MapSession(int32_t d = 8)
    {
        parser->InitSession(2, nullptr, 4);
        YMapVT3 map;
        handmade::Build(map);
        parser->BuildTerrainCells(map, 1.0f);
        parser->m_viewCells = d;
        parser->m_popUpDistance = int32_t(float(d - 2) * 128.0f * 0.9f);
        parser->ResizeFrameBuffers(d);
    }
    // Camera at (x, y, z) with pitch and yaw in radians, field of view in degrees.
    void Camera(float x, float y, float z, float pitch, float yaw, float fov = 60.0f)
    {
        parser->SetCameraPosition(x, y, z);
        parser->SetCameraAngles(pitch, yaw, 0.0f);
        parser->SetProjection(fov, fov, 1.0f, 1000.0f);
    }
    void Record()
    {
        recorder.reset();  // the old one hands the device back first
        recorder.reset(new RecordingDevice(parser->GetRaster()));
    }
    std::vector<uint16_t> VisibleCells(int list = 0) const
    {
        return std::vector<uint16_t>(parser->m_visibleCells[list].begin(),
                                     parser->m_visibleCells[list].begin() + parser->m_visibleCounts[list]);
    }

    YDXSurface primary{"Primary"}, back{"Back"};
    D3DDEVICEDESC7 m_caps;
    YDeviceDescriptor m_device;
    YDisplayDescriptor m_display;
    std::unique_ptr<YD3D6Parser> parser{new YD3D6Parser};
    std::unique_ptr<RecordingDevice> recorder;
};
