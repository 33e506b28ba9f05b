// Draws a benchmark scene through our Direct3D 7 device into a 640 x 480,
// 32-bit target with a 16-bit Z buffer.
#pragma once

#include "D3DBenchScene.h"

#include "platform/d3d.h"

#include <vector>

class D3DBenchDevice {
public:
    D3DBenchDevice();
    ~D3DBenchDevice();
    D3DBenchDevice(const D3DBenchDevice&) = delete;
    D3DBenchDevice& operator=(const D3DBenchDevice&) = delete;

    bool Ready() const { return m_device != nullptr; }
    void Setup(const D3DBenchScene& scene);
    void Draw(const D3DBenchScene& scene);
    // The target as 0x00RRGGBB, row by row.
    std::vector<uint32_t> Pixels() const;

private:
    IDirectDraw7* m_dd = nullptr;
    IDirect3D7* m_d3d = nullptr;
    IDirect3DDevice7* m_device = nullptr;
    IDirectDrawSurface7* m_target = nullptr;
    IDirectDrawSurface7* m_zbuffer = nullptr;
    IDirectDrawSurface7* m_textures[2] = {nullptr, nullptr};
};
