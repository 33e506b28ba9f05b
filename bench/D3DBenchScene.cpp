#include "D3DBenchScene.h"

#include <cmath>

namespace {
// A terrain of small triangles seen at a slant: rows shrink and recede
// towards the top (1/w from 1 at the bottom to 0.1 at the horizon).
void Terrain(D3DBenchScene& s, bool textured)
{
    const int columns = 80, rows = 60;
    const float cellW = static_cast<float>(D3DBenchScene::kWidth) / columns;
    const float cellH = static_cast<float>(D3DBenchScene::kHeight) / rows;
    auto vertex = [&](int i, int j) {
        D3DBenchScene::Vertex v;
        const float t = static_cast<float>(j) / rows;  // 0 at the top
        v.x = i * cellW + 1.3f * std::sin(i * 0.7f + j * 1.3f);
        v.y = j * cellH + 1.1f * std::cos(i * 1.1f + j * 0.5f);
        v.rhw = 0.1f + 0.9f * t;
        v.z = 1.0f - 0.9f * v.rhw;
        const int r = 96 + static_cast<int>(80 * std::sin(i * 0.3f)), g = 128 + static_cast<int>(100 * std::cos(j * 0.2f)),
                  b = 128 + static_cast<int>(60 * std::sin((i + j) * 0.15f));
        v.diffuse = 0xFF000000u | static_cast<uint32_t>(r << 16 | g << 8 | b);
        v.u0 = i * 0.5f;
        v.v0 = j * 0.5f;
        v.u1 = i * 0.125f + 0.3f;
        v.v1 = j * 0.125f;
        (void)textured;
        return v;
    };
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            D3DBenchScene::Vertex a = vertex(i, j), b = vertex(i + 1, j), c = vertex(i, j + 1), d = vertex(i + 1, j + 1);
            for (const D3DBenchScene::Vertex& v : {a, b, c, c, b, d}) s.vertices.push_back(v);
        }
    s.pixels = static_cast<double>(D3DBenchScene::kWidth) * D3DBenchScene::kHeight;
}

// Full-screen quads, each a little nearer than the last, translucent; flat
// on the screen (one 1/w per quad), as overlays are.
void Quads(D3DBenchScene& s, int count)
{
    const float w = D3DBenchScene::kWidth, h = D3DBenchScene::kHeight;
    for (int q = 0; q < count; ++q) {
        const float z = 0.8f - 0.1f * q;
        const uint32_t alpha = 0x60u + 0x20u * static_cast<uint32_t>(q);
        const float rhw = 1.0f / (1.0f + q);
        D3DBenchScene::Vertex v[4] = {
            {0, 0, z, rhw, alpha << 24 | 0xFF8040, 0, 0, 0, 0},
            {w, 0, z, rhw, alpha << 24 | 0x40FF80, 3, 0, 1, 0},
            {0, h, z, rhw, alpha << 24 | 0x8040FF, 0, 2, 0, 1},
            {w, h, z, rhw, alpha << 24 | 0xFFFFFF, 3, 2, 1, 1},
        };
        for (int i : {0, 1, 2, 2, 1, 3}) s.vertices.push_back(v[i]);
    }
    s.pixels = static_cast<double>(count) * w * h;
}

// Three layers over the whole screen in large triangles, the shape of a
// frame: a far sky, a terrain receding to the horizon and a translucent
// layer in front, each quad split into a fan of eight triangles.
void Layers(D3DBenchScene& s)
{
    const float w = D3DBenchScene::kWidth, h = D3DBenchScene::kHeight;
    struct Layer {
        float rhwTop, rhwBottom, z;
        uint32_t alpha, tint;
        float uScale, vScale;
    } layers[3] = {{0.12f, 0.15f, 0.9f, 0xFF, 0x8090FF, 0.2f, 0.1f},
                   {0.12f, 1.0f, 0.6f, 0xFF, 0xFFE0A0, 2.0f, 1.0f},
                   {0.5f, 0.5f, 0.3f, 0x70, 0xFFFFFF, 1.0f, 0.8f}};
    for (const Layer& l : layers) {
        auto vertex = [&](float x, float y) {
            D3DBenchScene::Vertex v;
            v.x = x;
            v.y = y;
            v.rhw = l.rhwTop + (l.rhwBottom - l.rhwTop) * (y / h);
            v.z = l.z;
            v.diffuse = l.alpha << 24 | l.tint;
            // Coordinates of a plane: u/w and v/w affine on the screen.
            v.u0 = (x / w - 0.5f) * l.uScale / v.rhw;
            v.v0 = (y / h + 0.1f) * l.vScale / v.rhw;
            v.u1 = v.u0 * 0.5f;
            v.v1 = v.v0 * 0.5f;
            return v;
        };
        const D3DBenchScene::Vertex centre = vertex(w * 0.45f, h * 0.55f);
        const D3DBenchScene::Vertex rim[8] = {vertex(0, 0), vertex(w / 2, 0), vertex(w, 0), vertex(w, h / 2),
                                              vertex(w, h), vertex(w / 2, h), vertex(0, h), vertex(0, h / 2)};
        for (int i = 0; i < 8; ++i)
            for (const D3DBenchScene::Vertex& v : {centre, rim[i], rim[(i + 1) % 8]}) s.vertices.push_back(v);
    }
    s.pixels = 3.0 * w * h;
}
}  // namespace

const char* D3DBenchScene::Name(Kind kind)
{
    static const char* names[kKinds] = {"gouraud", "textured", "twostage", "blended", "fogged", "overdraw3"};
    return names[kind];
}

int D3DBenchScene::Levels()
{
    int levels = 1;
    for (int side = kTextureSide; side > 1; side /= 2) ++levels;
    return levels;
}

std::vector<uint32_t> D3DBenchScene::Texture(int which, int level)
{
    const int side = kTextureSide >> level;
    std::vector<uint32_t> texels(static_cast<size_t>(side) * side);
    // Each level is the box-filtered level 0, so both renderers see the same chain.
    const int step = 1 << level;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (int dy = 0; dy < step; ++dy)
                for (int dx = 0; dx < step; ++dx) {
                    const int X = x * step + dx, Y = y * step + dy;
                    uint32_t c;
                    if (which == 0) {
                        const bool check = ((X / 32) + (Y / 32)) & 1;
                        const int grain = (X * 5 + Y * 3) % 32;
                        c = check ? 0xFF30A040u + static_cast<uint32_t>(grain << 16) : 0xC0E0C090u - static_cast<uint32_t>(grain);
                    } else {
                        const float u = X / static_cast<float>(kTextureSide), v = Y / static_cast<float>(kTextureSide);
                        const int l = 150 + static_cast<int>(100 * std::sin(u * 12.566f) * std::cos(v * 12.566f));
                        c = 0xFF000000u | static_cast<uint32_t>(l * 0x010101);
                    }
                    for (int k = 0; k < 4; ++k) sum[k] += (c >> (8 * k)) & 0xFF;
                }
            uint32_t out = 0;
            for (int k = 0; k < 4; ++k) out |= ((sum[k] + step * step / 2) / (step * step)) << (8 * k);
            texels[static_cast<size_t>(y) * side + x] = out;
        }
    return texels;
}

D3DBenchScene D3DBenchScene::Make(Kind kind)
{
    D3DBenchScene s;
    s.kind = kind;
    switch (kind) {
    case kGouraud: Terrain(s, false); break;
    case kTextured:
        Terrain(s, true);
        s.textures = 1;
        break;
    case kTwoStage:
        Terrain(s, true);
        s.textures = 2;
        break;
    case kBlended:
        Quads(s, 4);
        s.textures = 1;
        s.blend = true;
        break;
    case kFogged:
        Terrain(s, true);
        s.textures = 1;
        s.fog = true;
        s.fogStart = 2.0f;
        s.fogEnd = 9.0f;
        s.fogColour = 0xFFA0B0C0;
        break;
    case kOverdraw:
        Layers(s);
        s.textures = 1;
        s.blend = true;
        s.fog = true;
        s.fogStart = 1.5f;
        s.fogEnd = 8.0f;
        s.fogColour = 0xFFA0B0C0;
        break;
    default: break;
    }
    return s;
}
