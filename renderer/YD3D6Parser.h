// The Direct3D renderer. So far it takes the display and checks that the
// chosen 3D device renders into the back surface's format.
#pragma once

#include "platform/d3d.h"
#include "renderer/YParser.h"

class YCatalog;

// What the graphics object hands over when the display starts.
struct YDisplayDescriptor {
    YCatalog* catalog;
    DWORD_PTR word1;  // 20
    DWORD_PTR word2;
    DWORD_PTR filter;  // "gfx_filter", 0..4
    DWORD_PTR sessionWord;
};

struct YDeviceDescriptor {
    DWORD size;  // 44
    DWORD word1;
    void* graphics;
    IDirectDrawSurface7* primary;
    IDirectDrawSurface7* back;
    D3DDEVICEDESC7* device;
    DWORD word6;
    DWORD word7;  // 16
    DWORD spare[3];
};

class YD3D6Parser : public YParser {
public:
    YD3D6Parser();
    ~YD3D6Parser() override;

    int AttachDisplay(void* displayDescriptor) override;
    int CreateDevice(void* deviceDescriptor) override;
    void DestroyDevice() override;
    void ReleaseModels() override;
    void EvictTextures() override;
    void SetWorldScale(float scale) override { m_worldScale = scale; }

    float m_worldScale;
    int m_filter;
    YCatalog* m_catalog;
    int m_deviceCreated;
};
