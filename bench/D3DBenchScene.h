// The scenes the 3D benchmark draws through our device and through OpenGL
// in OSMesa: identical screen-space triangles (position, 1/w, colour, two
// texture coordinate sets), textures and states.
#pragma once

#include <cstdint>
#include <vector>

struct D3DBenchScene {
    enum Kind { kGouraud, kTextured, kTwoStage, kBlended, kFogged, kOverdraw, kKinds };
    static constexpr int kWidth = 640, kHeight = 480;
    static constexpr int kTextureSide = 256;

    struct Vertex {
        float x, y, z, rhw;
        uint32_t diffuse;  // 0xAARRGGBB
        float u0, v0, u1, v1;
    };

    Kind kind = kGouraud;
    std::vector<Vertex> vertices;  // a triangle list
    int textures = 0;              // stages with a texture: 0, 1 or 2
    bool blend = false;            // source alpha over the target
    bool fog = false;              // linear fog on eye depth (1/rhw)
    float fogStart = 0, fogEnd = 1;
    uint32_t fogColour = 0;
    double pixels = 0;             // pixels covered per frame

    static D3DBenchScene Make(Kind kind);
    static const char* Name(Kind kind);
    int Triangles() const { return static_cast<int>(vertices.size() / 3); }
    // The texels of texture 0 or 1 at a MIP level (side kTextureSide >> level), 0xAARRGGBB.
    static std::vector<uint32_t> Texture(int which, int level);
    static int Levels();
};
