// Draws a benchmark scene through OpenGL 1.x fixed function in OSMesa
// (llvmpipe) into a 640 x 480 BGRA buffer with a 16-bit depth buffer: the
// same triangles, colours, textures, blending and fog as our device.
#pragma once

#include "D3DBenchScene.h"

#include <vector>

class D3DBenchMesa {
public:
    D3DBenchMesa();
    ~D3DBenchMesa();
    D3DBenchMesa(const D3DBenchMesa&) = delete;
    D3DBenchMesa& operator=(const D3DBenchMesa&) = delete;

    bool Ready() const { return m_context != nullptr; }
    void Setup(const D3DBenchScene& scene);
    void Draw(const D3DBenchScene& scene);
    std::vector<uint32_t> Pixels() const;

private:
    void* m_context = nullptr;
    std::vector<uint32_t> m_buffer;
    unsigned m_textures[2] = {0, 0};
    // The scene in GL's arrays: positions times w, colours as RGBA bytes, two
    // texture sets and the fog depth.
    std::vector<float> m_positions, m_tex0, m_tex1, m_fog;
    std::vector<unsigned char> m_colours;
};
