// The Direct3D renderer. So far it takes the display, checks that the
// chosen 3D device renders into the back surface's format, keeps the
// session options and the map-shot view, and logs its texture memory.
#pragma once

#include "platform/d3d.h"
#include "renderer/YParser.h"

class YCatalog;
struct YSessionDesc;

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

    // Takes over the session parameters of the engine's descriptor.
    void SetSessionOptions(const YSessionDesc* desc);
    // Appends the texture memory sums to the renderer's log.
    void GetTextureMemoryStats();
    // Puts the camera overhead for a shot of the whole map.
    void SetMapShotView(int32_t viewDistance, float height, int32_t fogStart, int32_t fogEnd);

    // The overhead view of a map shot; active once set.
    struct MapShotView {
        int32_t active;
        int32_t viewDistance;
        float height;
        int32_t fogStart;
        int32_t fogEnd;
    };

    float m_worldScale;
    int m_filter;
    YCatalog* m_catalog;
    int m_deviceCreated;
    int32_t m_sessionOptions[36];
    MapShotView m_mapShot;
    // Textures the device holds and their bytes; none until textures load.
    uint32_t m_textureCount;
    uint32_t m_textureBytes;
};
