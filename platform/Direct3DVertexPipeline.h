// The per-vertex half of the software device: reads vertices of any
// flexible format, transforms them (row vectors: p x World x View x
// Projection), lights them with the fixed-function model, computes vertex
// fog, assembles primitives, clips them against the near and far planes
// and a guard band, projects them to the viewport, culls and hands them to
// the rasteriser.
#pragma once

#include "platform/Direct3DRasterizer.h"
#include "platform/d3d.h"

#include <cstdint>
#include <vector>

namespace platform {
class Direct3DVertexPipeline {
public:
    // Where each part of a vertex of a flexible format lies.
    struct Layout {
        DWORD fvf = 0;
        int stride = 0;
        bool transformed = false;  // XYZRHW: already on the screen
        int rhw = -1, normal = -1, diffuse = -1, specular = -1;
        int texCount = 0;
        int tex[8] = {};
        int texFloats[8] = {};  // 1 to 4 floats a set
        // Reads coordinate set i as (u, v): v is 0 for a one-float set.
        void ReadCoordinates(const uint8_t* vertex, int i, float* uv) const;
        // Writes u (and v where the set has room for it).
        void WriteCoordinates(uint8_t* vertex, int i, const float* uv) const;
        // False for formats the device does not draw (blend weights, no position).
        static bool Decode(DWORD fvf, Layout& layout);
    };

    struct Light {
        D3DLIGHT7 light;
        bool enabled = false;
    };

    // What a draw call reads of the device.
    struct State {
        const D3DMATRIX* world = nullptr;
        const D3DMATRIX* view = nullptr;
        const D3DMATRIX* projection = nullptr;
        D3DVIEWPORT7 viewport = {0, 0, 0, 0, 0, 1};
        const DWORD* renderStates = nullptr;
        const std::vector<Light>* lights = nullptr;
        const D3DMATERIAL7* material = nullptr;
    };

    // A vertex in clip space with its lit colours.
    struct ClipVertex {
        float pos[4] = {0, 0, 0, 1};
        float diffuse[4] = {0, 0, 0, 0};
        float specular[4] = {0, 0, 0, 0};
        float tex[2][2] = {{0, 0}, {0, 0}};
    };

    explicit Direct3DVertexPipeline(Direct3DRasterizer& rasterizer) : m_rasterizer(rasterizer) {}

    // Transforms and lights count vertices (or takes screen vertices as they are).
    void Process(const State& state, const Layout& layout, const uint8_t* vertices, int count, bool light);
    // Draws primitives over the processed vertices; indices (null: in order)
    // must be below the processed count. False for an unknown type.
    bool Draw(const State& state, D3DPRIMITIVETYPE type, const WORD* indices, int count);
    // Writes the processed vertices as screen vertices of the given layout.
    void Store(const State& state, const Layout& layout, uint8_t* out, int count) const;

    int Processed() const { return static_cast<int>(m_clip.size()); }

private:
    // A light as the lighting loop uses it: in eye space.
    struct EyeLight {
        const D3DLIGHT7* light;
        float position[3];
        float direction[3];  // towards the light for directional lights
        float cosTheta, cosPhi;
    };

    void Triangle(const State& state, int a, int b, int c);
    void Line(const State& state, int a, int b);
    void Point(const State& state, int a);
    Direct3DScreenVertex Project(const State& state, const ClipVertex& v) const;
    void DrawPolygon(const State& state, std::vector<ClipVertex>& polygon);
    void LightVertex(const State& state, const float* position, const float* normal, const uint8_t* vertex,
                     const Layout& layout, ClipVertex& out) const;

    Direct3DRasterizer& m_rasterizer;
    bool m_transformed = false;
    std::vector<ClipVertex> m_clip;
    std::vector<Direct3DScreenVertex> m_screen;  // for screen vertices
    std::vector<uint8_t> m_outcode;
    std::vector<ClipVertex> m_polygon, m_scratch;
    std::vector<Direct3DScreenVertex> m_projected;  // the clipped polygon on the screen
    std::vector<EyeLight> m_eyeLights;
    int m_cull = D3DCULL_CCW;
    int m_fill = D3DFILL_SOLID;
};
}  // namespace platform
