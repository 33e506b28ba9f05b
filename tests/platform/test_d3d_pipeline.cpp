// The software device's pipeline against a plain reference written here:
// coverage and Gouraud colours, perspective-correct texturing at each
// filter and address mode, MIP levels, stage operations, blend factors,
// fog, alpha and Z tests, colour keys, wireframe, culling, near-plane
// clipping and lighting.
#include "D3DTestScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <set>

namespace {
using namespace d3dtest;

constexpr int W = 32, H = 32;

D3DTLVERTEX TL(float x, float y, float z, float rhw, DWORD colour, float u = 0, float v = 0, DWORD specular = 0xFF000000)
{
    D3DTLVERTEX t;
    t.sx = x;
    t.sy = y;
    t.sz = z;
    t.rhw = rhw;
    t.color = colour;
    t.specular = specular;
    t.tu = u;
    t.tv = v;
    return t;
}

// Both faces, in the diffuse colour and alpha alone.
void DrawDiffuseOnly(IDirect3DDevice7* dev)
{
    dev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
}

// ---------------------------------------------------------------- the reference
// Pixel centres on whole coordinates; a pixel is in when its centre is
// strictly inside, out when strictly outside, undecided within eps of an edge.
enum Coverage { kOut, kIn, kEdge };

struct Reference {
    const D3DTLVERTEX* v[3];
    double area;

    explicit Reference(const D3DTLVERTEX* a, const D3DTLVERTEX* b, const D3DTLVERTEX* c)
    {
        v[0] = a;
        v[1] = b;
        v[2] = c;
        area = Edge(*a, *b, c->sx, c->sy);
    }
    static double Edge(const D3DTLVERTEX& a, const D3DTLVERTEX& b, double x, double y)
    {
        return (b.sx - a.sx) * (y - a.sy) - (b.sy - a.sy) * (x - a.sx);
    }
    // Barycentric weights of (x, y); false outside.
    Coverage Weights(double x, double y, double* w) const
    {
        Coverage result = kIn;
        for (int i = 0; i < 3; ++i) {
            const D3DTLVERTEX& a = *v[(i + 1) % 3];
            const D3DTLVERTEX& b = *v[(i + 2) % 3];
            double e = Edge(a, b, x, y) / area;
            double length = std::hypot(b.sx - a.sx, b.sy - a.sy);
            double distance = e * std::fabs(area) / length;
            if (distance < -1e-3) return kOut;
            if (distance < 1e-3) result = kEdge;
            w[i] = e;
        }
        return result;
    }
    // Perspective-correct value of a per-vertex quantity.
    double Perspective(const double* w, const std::function<double(const D3DTLVERTEX&)>& f) const
    {
        double num = 0, den = 0;
        for (int i = 0; i < 3; ++i) {
            num += w[i] * f(*v[i]) * v[i]->rhw;
            den += w[i] * v[i]->rhw;
        }
        return num / den;
    }
    double Linear(const double* w, const std::function<double(const D3DTLVERTEX&)>& f) const
    {
        return w[0] * f(*v[0]) + w[1] * f(*v[1]) + w[2] * f(*v[2]);
    }
};

double Channel(DWORD colour, int shift)
{
    return static_cast<double>((colour >> shift) & 0xFF);
}

int ChannelOf(uint32_t colour, int shift)
{
    return static_cast<int>((colour >> shift) & 0xFF);
}

bool Near(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift : {0, 8, 16})
        if (std::abs(ChannelOf(a, shift) - ChannelOf(b, shift)) > tolerance) return false;
    return true;
}

// A reference texture: point and bilinear sampling with the three address modes.
struct RefTexture {
    int width, height;
    std::vector<uint32_t> texels;

    static int Address(int i, int size, int mode)
    {
        if (mode == D3DTADDRESS_CLAMP) return std::max(0, std::min(size - 1, i));
        int period = mode == D3DTADDRESS_MIRROR ? 2 * size : size;
        int m = ((i % period) + period) % period;
        if (mode == D3DTADDRESS_MIRROR && m >= size) m = 2 * size - 1 - m;
        return m;
    }
    uint32_t At(int x, int y, int mode) const
    {
        return texels[static_cast<size_t>(Address(y, height, mode)) * width + Address(x, width, mode)];
    }
    uint32_t Sample(double u, double v, bool linear, int mode) const
    {
        double tu = u * width, tv = v * height;
        if (!linear) return At(static_cast<int>(std::floor(tu)), static_cast<int>(std::floor(tv)), mode);
        tu -= 0.5;
        tv -= 0.5;
        int x = static_cast<int>(std::floor(tu)), y = static_cast<int>(std::floor(tv));
        double fx = tu - x, fy = tv - y;
        uint32_t out = 0;
        for (int shift : {0, 8, 16, 24}) {
            double c = (1 - fx) * (1 - fy) * Channel(At(x, y, mode), shift) + fx * (1 - fy) * Channel(At(x + 1, y, mode), shift) +
                       (1 - fx) * fy * Channel(At(x, y + 1, mode), shift) + fx * fy * Channel(At(x + 1, y + 1, mode), shift);
            out |= static_cast<uint32_t>(std::lround(c)) << shift;
        }
        return out;
    }
};

class PipelineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("RCV_FORCE");
        ASSERT_EQ(D3D_OK, scene.Open(W, H, kX888));
        dev = scene.device;
        ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0));
        DrawDiffuseOnly(dev);  // unless a test says otherwise
    }

    void Draw(D3DPRIMITIVETYPE type, D3DTLVERTEX* v, DWORD count)
    {
        ASSERT_EQ(D3D_OK, dev->BeginScene());
        ASSERT_EQ(D3D_OK, dev->DrawPrimitive(type, D3DFVF_TLVERTEX, v, count, 0));
        ASSERT_EQ(D3D_OK, dev->EndScene());
    }

    // A quad over the whole target with texture coordinates u0..u1, v0..v1
    // and the same rhw everywhere.
    void Quad(DWORD colour, float u0 = 0, float v0 = 0, float u1 = 1, float v1 = 1, float z = 0.5f, DWORD specular = 0xFF000000)
    {
        D3DTLVERTEX v[4] = {TL(0, 0, z, 1, colour, u0, v0, specular), TL(W, 0, z, 1, colour, u1, v0, specular),
                            TL(0, H, z, 1, colour, u0, v1, specular), TL(W, H, z, 1, colour, u1, v1, specular)};
        Draw(D3DPT_TRIANGLESTRIP, v, 4);
    }

    // Compares every pixel the reference decides against the target; pixels
    // the reference leaves undecided (centres on an edge) are skipped.
    void Check(const Reference& ref, const std::function<uint32_t(const double*)>& inside, int tolerance)
    {
        int bad = 0, covered = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                double w[3];
                Coverage c = ref.Weights(x, y, w);
                if (c == kEdge) continue;
                uint32_t expected = c == kIn ? inside(w) : kBackground;
                covered += c == kIn;
                uint32_t got = scene.Pixel(x, y);
                if (!Near(got, expected, tolerance) && ++bad <= 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << " got " << std::hex << got << " expected " << expected;
            }
        EXPECT_EQ(0, bad);
        EXPECT_GT(covered, 0);
    }

    // A source and a destination vertex buffer for ProcessVertices.
    void CreateBuffers(DWORD srcFvf, DWORD srcCount, DWORD dstFvf, DWORD dstCount, IDirect3DVertexBuffer7** src,
                       IDirect3DVertexBuffer7** dst)
    {
        D3DVERTEXBUFFERDESC srcDesc = {sizeof(D3DVERTEXBUFFERDESC), 0, srcFvf, srcCount};
        D3DVERTEXBUFFERDESC dstDesc = {sizeof(D3DVERTEXBUFFERDESC), 0, dstFvf, dstCount};
        ASSERT_EQ(D3D_OK, scene.d3d->CreateVertexBuffer(&srcDesc, src, 0));
        ASSERT_EQ(D3D_OK, scene.d3d->CreateVertexBuffer(&dstDesc, dst, 0));
    }

    static constexpr DWORD kBackground = 0x00102030;
    Scene scene;
    IDirect3DDevice7* dev = nullptr;
};

TEST_F(PipelineTest, GouraudTrianglesMatchTheReference)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coord(-8.0f, 40.0f);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0));
        D3DTLVERTEX v[3] = {TL(coord(random), coord(random), 0.5f, 1, 0xFFFF0000),
                            TL(coord(random), coord(random), 0.5f, 1, 0xFF00FF00),
                            TL(coord(random), coord(random), 0.5f, 1, 0xFF0000FF)};
        Draw(D3DPT_TRIANGLELIST, v, 3);
        Reference ref(&v[0], &v[1], &v[2]);
        if (std::fabs(ref.area) < 1) continue;
        Check(ref, [&](const double* w) {
            uint32_t out = 0;
            for (int shift : {0, 8, 16})
                out |= static_cast<uint32_t>(std::lround(ref.Linear(w, [&](const D3DTLVERTEX& p) { return Channel(p.color, shift); })))
                       << shift;
            return out;
        }, 1);
    }
}

TEST_F(PipelineTest, SharedEdgesAreDrawnOnce)
{
    // Two triangles of a quad, added: a pixel drawn twice would come out brighter.
    dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0));
    D3DTLVERTEX v[4] = {TL(3.3f, 2.7f, 0, 1, 0xFF404040), TL(27.5f, 4.1f, 0, 1, 0xFF404040),
                        TL(5.2f, 29.9f, 0, 1, 0xFF404040), TL(30.1f, 26.6f, 0, 1, 0xFF404040)};
    Draw(D3DPT_TRIANGLESTRIP, v, 4);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            uint32_t p = scene.Pixel(x, y);
            EXPECT_TRUE(p == 0 || p == 0x404040) << x << "," << y << " " << std::hex << p;
        }
}

TEST_F(PipelineTest, TexturedQuadAtEachFilterAndAddressMode)
{
    // 4 x 4 texture of distinct colours, on a tilted quad with perspective.
    RefTexture tex{4, 4, {}};
    for (int i = 0; i < 16; ++i) tex.texels.push_back(0xFF000000u | static_cast<uint32_t>((i * 16) << 16 | (255 - i * 16) << 8 | (i * 37) % 256));
    IDirectDrawSurface7* surface = scene.Texture(4, 4, kA888, tex.texels.data());
    ASSERT_EQ(D3D_OK, dev->SetTexture(0, surface));
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    for (bool linear : {false, true})
        for (int mode : {D3DTADDRESS_WRAP, D3DTADDRESS_MIRROR, D3DTADDRESS_CLAMP}) {
            SCOPED_TRACE(std::to_string(linear) + " " + std::to_string(mode));
            dev->SetTextureStageState(0, D3DTSS_MAGFILTER, linear ? D3DTFG_LINEAR : D3DTFG_POINT);
            dev->SetTextureStageState(0, D3DTSS_MINFILTER, linear ? D3DTFN_LINEAR : D3DTFN_POINT);
            dev->SetTextureStageState(0, D3DTSS_ADDRESS, mode);
            ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0));
            D3DTLVERTEX v[3] = {TL(1.5f, 2.25f, 0.2f, 1.0f, 0xFFFFFFFF, -1.0f, -0.5f),
                                TL(30.7f, 4.1f, 0.2f, 0.25f, 0xFFFFFFFF, 2.0f, -0.5f),
                                TL(6.3f, 31.4f, 0.2f, 0.5f, 0xFFFFFFFF, 0.25f, 2.5f)};
            Draw(D3DPT_TRIANGLELIST, v, 3);
            Reference ref(&v[0], &v[1], &v[2]);
            // Point sampling lands near texel borders in a few places; allow a
            // sample from the neighbour there by checking against both.
            int bad = 0;
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    double w[3];
                    if (ref.Weights(x, y, w) != kIn) continue;
                    double u = ref.Perspective(w, [](const D3DTLVERTEX& p) { return p.tu; });
                    double t = ref.Perspective(w, [](const D3DTLVERTEX& p) { return p.tv; });
                    uint32_t got = scene.Pixel(x, y);
                    bool ok = Near(got, tex.Sample(u, t, linear, mode), linear ? 3 : 0);
                    if (!ok && !linear) {
                        const double e = 1e-3;
                        ok = Near(got, tex.Sample(u + e, t, false, mode), 0) || Near(got, tex.Sample(u - e, t, false, mode), 0) ||
                             Near(got, tex.Sample(u, t + e, false, mode), 0) || Near(got, tex.Sample(u, t - e, false, mode), 0);
                    }
                    if (!ok && ++bad <= 5) ADD_FAILURE() << x << "," << y << " got " << std::hex << got;
                }
            EXPECT_EQ(0, bad);
        }
}

// One-float texture coordinates: u only, v reads as 0, and nothing is read
// or written beyond the set (the vertices lie back to back on the heap, the
// last at the end of its block).
TEST_F(PipelineTest, OneFloatTextureCoordinatesReadAndWriteOneFloat)
{
    // Four columns of distinct colours in the first row, blue below it.
    std::vector<uint32_t> texels(16, 0xFF0000FF);
    const uint32_t firstRow[4] = {0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF00FFFF};
    std::copy(firstRow, firstRow + 4, texels.begin());
    ASSERT_EQ(D3D_OK, dev->SetTexture(0, scene.Texture(4, 4, kA888, texels.data())));
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP);
    struct Screen {
        float x, y, z, rhw;
        DWORD diffuse;
        float u;
    };
    const DWORD fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1 | D3DFVF_TEXCOORDSIZE1(0);
    const Screen quad[4] = {{0, 0, 0.5f, 1, 0xFFFFFFFF, 0}, {W, 0, 0.5f, 1, 0xFFFFFFFF, 1},
                            {0, H, 0.5f, 1, 0xFFFFFFFF, 0}, {W, H, 0.5f, 1, 0xFFFFFFFF, 1}};
    static_assert(sizeof(Screen) == 24, "six floats");
    std::unique_ptr<Screen[]> vertices(new Screen[4]);
    std::copy(quad, quad + 4, vertices.get());
    ASSERT_EQ(D3D_OK, dev->BeginScene());
    ASSERT_EQ(D3D_OK, dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, fvf, vertices.get(), 4, 0));
    ASSERT_EQ(D3D_OK, dev->EndScene());
    for (int column = 0; column < 4; ++column)
        for (int y : {1, H / 2, H - 2})
            EXPECT_EQ(firstRow[column] & 0xFFFFFF, scene.Pixel(column * W / 4 + W / 8, y)) << column << "," << y;

    // ProcessVertices: one float in, one float out, the next vertex untouched.
    const DWORD modelFvf = D3DFVF_XYZ | D3DFVF_TEX2 | D3DFVF_TEXCOORDSIZE1(0) | D3DFVF_TEXCOORDSIZE2(1);
    const DWORD screenFvf = D3DFVF_XYZRHW | D3DFVF_TEX1 | D3DFVF_TEXCOORDSIZE1(0);
    IDirect3DVertexBuffer7 *src = nullptr, *dst = nullptr;
    ASSERT_NO_FATAL_FAILURE(CreateBuffers(modelFvf, 1, screenFvf, 2, &src, &dst));
    void* data = nullptr;
    DWORD size = 0;
    ASSERT_EQ(D3D_OK, src->Lock(0, &data, &size));
    EXPECT_EQ(12u + 4 + 8, size);
    const float source[6] = {0, 0, 5, 0.625f, 0.5f, 0.75f};
    memcpy(data, source, sizeof source);
    src->Unlock();
    ASSERT_EQ(D3D_OK, dst->Lock(0, &data, &size));
    EXPECT_EQ(2u * 20, size);
    const float sentinel[5] = {-7, -8, -9, -10, -11};
    memcpy(static_cast<uint8_t*>(data) + 20, sentinel, sizeof sentinel);
    dst->Unlock();
    ASSERT_EQ(D3D_OK, dst->ProcessVertices(D3DVOP_TRANSFORM, 0, 1, src, 0, dev, 0));
    ASSERT_EQ(D3D_OK, dst->Lock(0, &data, nullptr));
    float out[10];
    memcpy(out, data, sizeof out);
    dst->Unlock();
    EXPECT_EQ(0.625f, out[4]);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(sentinel[k], out[5 + k]) << k;
    src->Release();
    dst->Release();
}

TEST_F(PipelineTest, TextureFormatsReadBackTheirColours)
{
    struct Case {
        const DDPIXELFORMAT* format;
        uint32_t argb;
        uint32_t expected;  // as the format keeps it, widened again
    } cases[] = {
        {&k565, 0xFFFF8040, 0xFF8242}, {&k555, 0xFFFF8040, 0xFF8442}, {&k1555, 0xFFFF8040, 0xFF8442},
        {&k4444, 0xFFFF8040, 0xFF8844}, {&kA888, 0xFFFF8040, 0xFF8040}, {&kX888, 0x00FF8040, 0xFF8040},
    };
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format->dwRGBBitCount);
        std::vector<uint32_t> texels(4, c.argb);
        IDirectDrawSurface7* surface = scene.Texture(2, 2, *c.format, texels.data());
        ASSERT_EQ(D3D_OK, dev->SetTexture(0, surface));
        Quad(0xFFFFFFFF);
        EXPECT_EQ(c.expected, scene.Pixel(5, 5));
    }
}

TEST_F(PipelineTest, TextureChangesAreSeenByTheNextDraw)
{
    std::vector<uint32_t> red(4, 0xFFFF0000), blue(4, 0xFF0000FF);
    IDirectDrawSurface7* surface = scene.Texture(2, 2, k565, red.data());
    ASSERT_EQ(D3D_OK, dev->SetTexture(0, surface));
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    Quad(0xFFFFFFFF);
    EXPECT_EQ(0xFF0000u, scene.Pixel(3, 3));
    Scene::Fill(surface, k565, blue.data());
    Quad(0xFFFFFFFF);
    EXPECT_EQ(0x0000FFu, scene.Pixel(3, 3));
}

TEST_F(PipelineTest, MipLevelFollowsScreenDerivativesAndBias)
{
    // 32 x 32 texture with 6 levels, each a flat colour of its own.
    const uint32_t colours[6] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF};
    IDirectDrawSurface7* surface = scene.Texture(32, 32, kX888, nullptr, 6);
    IDirectDrawSurface7* level = surface;
    level->AddRef();
    for (int i = 0; i < 6 && level; ++i) {
        const int side = 32 >> i;
        std::vector<uint32_t> texels(static_cast<size_t>(side * side), colours[i]);
        Scene::Fill(level, kX888, texels.data());
        DDSCAPS2 caps = {DDSCAPS_TEXTURE | DDSCAPS_MIPMAP, 0, 0, {0}};
        IDirectDrawSurface7* next = nullptr;
        level->GetAttachedSurface(&caps, &next);
        level->Release();
        level = next;
    }
    ASSERT_EQ(D3D_OK, dev->SetTexture(0, surface));
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTFP_POINT);
    struct Case {
        float repeats;  // texture repeats across the 32-pixel quad
        float bias;
        DWORD maxLevel;
        uint32_t expected;
    } cases[] = {
        {1, 0, 0, colours[0]}, {4, 0, 0, colours[2]}, {4, 1.0f, 0, colours[3]},
        {4, -1.0f, 0, colours[1]}, {32, 0, 0, colours[5]}, {0.5f, 0, 0, colours[0]}, {1, 0, 2, colours[2]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.repeats);
        dev->SetTextureStageState(0, D3DTSS_MIPMAPLODBIAS, FloatBits(c.bias));
        dev->SetTextureStageState(0, D3DTSS_MAXMIPLEVEL, c.maxLevel);
        Quad(0xFFFFFFFF, 0, 0, c.repeats, c.repeats);
        EXPECT_EQ(c.expected, scene.Pixel(16, 16));
    }
    // Linear MIP filtering halfway between levels 1 and 2 (repeats 2^1.5).
    dev->SetTextureStageState(0, D3DTSS_MIPMAPLODBIAS, FloatBits(0));
    dev->SetTextureStageState(0, D3DTSS_MAXMIPLEVEL, 0);
    dev->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTFP_LINEAR);
    Quad(0xFFFFFFFF, 0, 0, 2.8284271f, 2.8284271f);
    uint32_t p = scene.Pixel(16, 16);
    EXPECT_NEAR(0, ChannelOf(p, 16), 2);
    EXPECT_NEAR(128, ChannelOf(p, 8), 12);
    EXPECT_NEAR(128, ChannelOf(p, 0), 12);
}

// The stage operations on two constant arguments: arg1 the diffuse colour,
// arg2 the texture factor.
TEST_F(PipelineTest, EveryStageOperationOnChosenTexels)
{
    const DWORD a = 0xC0A04020, b = 0x6080C0F0;
    auto ch = [](DWORD c, int k) { return static_cast<int>((c >> (8 * k)) & 0xFF); };
    auto clamp = [](double v) { return static_cast<int>(std::lround(std::max(0.0, std::min(255.0, v)))); };
    struct Case {
        D3DTEXTUREOP op;
        std::function<int(int x, int y, int ax, int by)> f;  // channel of arg1, arg2, alphas of arg1, arg2
    } cases[] = {
        {D3DTOP_SELECTARG1, [](int x, int, int, int) { return x; }},
        {D3DTOP_SELECTARG2, [](int, int y, int, int) { return y; }},
        {D3DTOP_MODULATE, [&](int x, int y, int, int) { return clamp(x * y / 255.0); }},
        {D3DTOP_MODULATE2X, [&](int x, int y, int, int) { return clamp(2 * x * y / 255.0); }},
        {D3DTOP_MODULATE4X, [&](int x, int y, int, int) { return clamp(4 * x * y / 255.0); }},
        {D3DTOP_ADD, [&](int x, int y, int, int) { return clamp(x + y); }},
        {D3DTOP_ADDSIGNED, [&](int x, int y, int, int) { return clamp(x + y - 128); }},
        {D3DTOP_ADDSIGNED2X, [&](int x, int y, int, int) { return clamp(2.0 * (x + y - 128)); }},
        {D3DTOP_SUBTRACT, [&](int x, int y, int, int) { return clamp(x - y); }},
        {D3DTOP_ADDSMOOTH, [&](int x, int y, int, int) { return clamp(x + y - x * y / 255.0); }},
        {D3DTOP_BLENDDIFFUSEALPHA, [&](int x, int y, int ax, int) { return clamp((x * ax + y * (255 - ax)) / 255.0); }},
        {D3DTOP_BLENDFACTORALPHA, [&](int x, int y, int, int by) { return clamp((x * by + y * (255 - by)) / 255.0); }},
        {D3DTOP_BLENDCURRENTALPHA, [&](int x, int y, int ax, int) { return clamp((x * ax + y * (255 - ax)) / 255.0); }},
        {D3DTOP_MODULATEALPHA_ADDCOLOR, [&](int x, int y, int ax, int) { return clamp(x + ax * y / 255.0); }},
        {D3DTOP_MODULATEINVALPHA_ADDCOLOR, [&](int x, int y, int ax, int) { return clamp(x + (255 - ax) * y / 255.0); }},
        {D3DTOP_MODULATECOLOR_ADDALPHA, [&](int x, int y, int ax, int) { return clamp(x * y / 255.0 + ax); }},
        {D3DTOP_MODULATEINVCOLOR_ADDALPHA, [&](int x, int y, int ax, int) { return clamp((255 - x) * y / 255.0 + ax); }},
    };
    dev->SetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, b);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.op);
        dev->SetTextureStageState(0, D3DTSS_COLOROP, c.op);
        Quad(a);
        uint32_t p = scene.Pixel(8, 8);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(c.f(ch(a, k), ch(b, k), ch(a, 3), ch(b, 3)), ChannelOf(p, 8 * k), 1) << k;
    }
    // Modifiers: the complement of arg1 and arg2's alpha replicated.
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE | D3DTA_COMPLEMENT);
    dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR | D3DTA_ALPHAREPLICATE);
    Quad(a);
    uint32_t p = scene.Pixel(8, 8);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(clamp(255 - ch(a, k) + ch(b, 3)), ChannelOf(p, 8 * k), 1) << k;
    // Dot product: 4 x the signed sum, in every channel.
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DOTPRODUCT3);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    Quad(a);
    double dot = 0;
    for (int k = 0; k < 3; ++k) dot += (ch(a, k) - 128) / 127.5 * (ch(b, k) - 128) / 127.5;
    p = scene.Pixel(8, 8);
    EXPECT_NEAR(clamp(dot * 255.0), ChannelOf(p, 0), 3);
}

TEST_F(PipelineTest, SecondStageCombinesWithTheFirst)
{
    std::vector<uint32_t> grey(4, 0x80808080), red(4, 0xFFFF0000);
    IDirectDrawSurface7* t0 = scene.Texture(2, 2, kA888, grey.data());
    IDirectDrawSurface7* t1 = scene.Texture(2, 2, kA888, red.data());
    dev->SetTexture(0, t0);
    dev->SetTexture(1, t1);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    dev->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    dev->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    Quad(0xFF4080C0);
    // (0x40, 0x80, 0xC0) x 0x80/255, then red added.
    EXPECT_TRUE(Near(0xFF4060u, scene.Pixel(4, 4), 1)) << std::hex << scene.Pixel(4, 4);
}

// A stage without a texture: D3DTA_TEXTURE reads white as a colour and the
// diffuse alpha as an alpha, so untextured translucent geometry keeps its
// vertex colour and alpha (here blended over the background).
TEST_F(PipelineTest, UntexturedStageReadsWhiteColourAndDiffuseAlpha)
{
    const DWORD diffuse = 0x80FF8040, factor = 0xFF204060;
    const int alpha = 0x80;
    struct Case {
        const char* name;
        DWORD colourOp, colourArg1, colourArg2, alphaOp, alphaArg1, alphaArg2;
        DWORD colour;  // what the stage gives, 0x00RRGGBB
        int alpha;
    } cases[] = {
        {"defaults", D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT,
         0xFF8040, alpha},
        {"texture alone", D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TEXTURE,
         D3DTA_CURRENT, 0xFFFFFF, alpha},
        {"alpha squared", D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE,
         D3DTA_DIFFUSE, 0xFF8040, alpha * alpha / 255},
        {"blended by texture alpha", D3DTOP_BLENDTEXTUREALPHA, D3DTA_DIFFUSE, D3DTA_TFACTOR, D3DTOP_SELECTARG2,
         D3DTA_TEXTURE, D3DTA_TEXTURE, 0x906050, alpha},
        {"alpha replicated", D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE, D3DTA_CURRENT,
         D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, 0x808080, alpha},
    };
    dev->SetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, factor);
    dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dev->SetTextureStageState(0, D3DTSS_COLOROP, c.colourOp);
        dev->SetTextureStageState(0, D3DTSS_COLORARG1, c.colourArg1);
        dev->SetTextureStageState(0, D3DTSS_COLORARG2, c.colourArg2);
        dev->SetTextureStageState(0, D3DTSS_ALPHAOP, c.alphaOp);
        dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, c.alphaArg1);
        dev->SetTextureStageState(0, D3DTSS_ALPHAARG2, c.alphaArg2);
        ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0));
        Quad(diffuse);
        const uint32_t got = scene.Pixel(9, 9);
        for (int shift : {0, 8, 16}) {
            const double expected = (Channel(c.colour, shift) * c.alpha + Channel(kBackground, shift) * (255 - c.alpha)) / 255;
            EXPECT_NEAR(expected, ChannelOf(got, shift), 1) << shift;
        }
    }
}

// Each blend factor as source (destination zero) and as destination
// (source zero) at one pixel, with a translucent source over a known target.
TEST_F(PipelineTest, EveryBlendFactorOnChosenPixels)
{
    const DWORD src = 0x60C08040;  // alpha 0x60
    const DWORD dst = 0x003070A0;  // the target has no alpha: reads as 0xFF
    auto ch = [](DWORD c, int k) { return static_cast<int>((c >> (8 * k)) & 0xFF); };
    const int sa = 0x60, da = 0xFF;
    struct Case {
        D3DBLEND factor;
        std::function<int(int k)> f;  // factor for colour channel k (0..255)
    } cases[] = {
        {D3DBLEND_ZERO, [](int) { return 0; }},
        {D3DBLEND_ONE, [](int) { return 255; }},
        {D3DBLEND_SRCCOLOR, [&](int k) { return ch(src, k); }},
        {D3DBLEND_INVSRCCOLOR, [&](int k) { return 255 - ch(src, k); }},
        {D3DBLEND_SRCALPHA, [&](int) { return sa; }},
        {D3DBLEND_INVSRCALPHA, [&](int) { return 255 - sa; }},
        {D3DBLEND_DESTALPHA, [&](int) { return da; }},
        {D3DBLEND_INVDESTALPHA, [&](int) { return 255 - da; }},
        {D3DBLEND_DESTCOLOR, [&](int k) { return ch(dst, k); }},
        {D3DBLEND_INVDESTCOLOR, [&](int k) { return 255 - ch(dst, k); }},
        {D3DBLEND_SRCALPHASAT, [&](int) { return std::min(sa, 255 - da); }},
    };
    dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    for (bool asSource : {true, false})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(asSource) + " " + std::to_string(c.factor));
            dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, asSource ? c.factor : D3DBLEND_ZERO);
            dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, asSource ? D3DBLEND_ZERO : c.factor);
            ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET, dst, 1.0f, 0));
            Quad(src);
            uint32_t p = scene.Pixel(10, 10);
            for (int k = 0; k < 3; ++k) {
                int expected = (asSource ? ch(src, k) : ch(dst, k)) * c.f(k) / 255;
                EXPECT_NEAR(expected, ChannelOf(p, 8 * k), 1) << k;
            }
        }
    // Both-source-alpha forms set the destination too.
    dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_BOTHSRCALPHA);
    dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO);
    ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET, dst, 1.0f, 0));
    Quad(src);
    uint32_t p = scene.Pixel(10, 10);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR((ch(src, k) * sa + ch(dst, k) * (255 - sa)) / 255, ChannelOf(p, 8 * k), 1);
}

TEST_F(PipelineTest, FogTableLinearOnEyeDepthAndVertexFog)
{
    dev->SetRenderState(D3DRENDERSTATE_FOGENABLE, TRUE);
    dev->SetRenderState(D3DRENDERSTATE_FOGCOLOR, 0x00FFFFFF);
    dev->SetRenderState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
    dev->SetRenderState(D3DRENDERSTATE_FOGSTART, FloatBits(10.0f));
    dev->SetRenderState(D3DRENDERSTATE_FOGEND, FloatBits(50.0f));
    struct Case {
        float depth;
        int expected;  // red channel of a black quad in white fog
    } cases[] = {{5, 0}, {10, 0}, {20, 64}, {30, 128}, {50, 255}, {80, 255}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.depth);
        D3DTLVERTEX v[4] = {TL(0, 0, 0.5f, 1 / c.depth, 0xFF000000), TL(W, 0, 0.5f, 1 / c.depth, 0xFF000000),
                            TL(0, H, 0.5f, 1 / c.depth, 0xFF000000), TL(W, H, 0.5f, 1 / c.depth, 0xFF000000)};
        Draw(D3DPT_TRIANGLESTRIP, v, 4);
        EXPECT_NEAR(c.expected, ChannelOf(scene.Pixel(7, 7), 16), 1);
    }
    // Vertex fog: the factor in the specular alpha.
    dev->SetRenderState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_NONE);
    Quad(0xFF000000, 0, 0, 1, 1, 0.5f, 0x40000000);
    EXPECT_NEAR(255 - 0x40, ChannelOf(scene.Pixel(7, 7), 16), 1);
}

TEST_F(PipelineTest, AlphaBlendedAndFoggedQuadOverAGradient)
{
    // A golden image: a Gouraud quad, then a half-transparent quad in linear fog over it.
    D3DTLVERTEX under[4] = {TL(0, 0, 0.9f, 1, 0xFFFF0000), TL(W, 0, 0.9f, 1, 0xFF00FF00), TL(0, H, 0.9f, 1, 0xFF0000FF),
                            TL(W, H, 0.9f, 1, 0xFFFFFFFF)};
    Draw(D3DPT_TRIANGLESTRIP, under, 4);
    std::vector<uint32_t> before;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) before.push_back(scene.Pixel(x, y));
    dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev->SetRenderState(D3DRENDERSTATE_FOGENABLE, TRUE);
    dev->SetRenderState(D3DRENDERSTATE_FOGCOLOR, 0x00808080);
    dev->SetRenderState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
    dev->SetRenderState(D3DRENDERSTATE_FOGSTART, FloatBits(0.0f));
    dev->SetRenderState(D3DRENDERSTATE_FOGEND, FloatBits(4.0f));
    // Depth 1 at the left, 3 at the right: fog factor 0.75 .. 0.25.
    D3DTLVERTEX over[4] = {TL(0, 0, 0.5f, 1.0f, 0x80FFFF00), TL(W, 0, 0.5f, 1 / 3.0f, 0x80FFFF00),
                           TL(0, H, 0.5f, 1.0f, 0x80FFFF00), TL(W, H, 0.5f, 1 / 3.0f, 0x80FFFF00)};
    Draw(D3DPT_TRIANGLESTRIP, over, 4);
    int bad = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double t = x / static_cast<double>(W);
            double rhw = 1.0 + (1 / 3.0 - 1.0) * t;
            double fog = std::max(0.0, std::min(1.0, (4.0 - 1.0 / rhw) / 4.0));
            uint32_t expected = 0;
            for (int shift : {0, 8, 16}) {
                double source = Channel(0xFFFF00, shift) * fog + 128 * (1 - fog);
                double out = source * (128 / 255.0) + Channel(before[static_cast<size_t>(y * W + x)], shift) * (1 - 128 / 255.0);
                expected |= static_cast<uint32_t>(std::lround(out)) << shift;
            }
            if (!Near(scene.Pixel(x, y), expected, 2) && ++bad <= 5)
                ADD_FAILURE() << x << "," << y << std::hex << " got " << scene.Pixel(x, y) << " expected " << expected;
        }
    EXPECT_EQ(0, bad);
}

TEST_F(PipelineTest, ZAndAlphaTestsCompare)
{
    struct Case {
        D3DCMPFUNC func;
        bool nearerDrawn, equalDrawn, fartherDrawn;
    } cases[] = {
        {D3DCMP_NEVER, false, false, false},   {D3DCMP_LESS, true, false, false},
        {D3DCMP_EQUAL, false, true, false},    {D3DCMP_LESSEQUAL, true, true, false},
        {D3DCMP_GREATER, false, false, true},  {D3DCMP_NOTEQUAL, true, false, true},
        {D3DCMP_GREATEREQUAL, false, true, true}, {D3DCMP_ALWAYS, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.func);
        // Z: the quad at 0.5 first, then at 0.25, 0.5 and 0.75 in three columns.
        dev->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_ALWAYS);
        ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0));
        Quad(0xFF000000, 0, 0, 1, 1, 0.5f);
        dev->SetRenderState(D3DRENDERSTATE_ZFUNC, c.func);
        const float depths[3] = {0.25f, 0.5f, 0.75f};
        const bool drawn[3] = {c.nearerDrawn, c.equalDrawn, c.fartherDrawn};
        for (int i = 0; i < 3; ++i) {
            float x0 = i * 10.0f, x1 = x0 + 10.0f;
            D3DTLVERTEX v[4] = {TL(x0, 0, depths[i], 1, 0xFFFFFFFF), TL(x1, 0, depths[i], 1, 0xFFFFFFFF),
                                TL(x0, H, depths[i], 1, 0xFFFFFFFF), TL(x1, H, depths[i], 1, 0xFFFFFFFF)};
            Draw(D3DPT_TRIANGLESTRIP, v, 4);
            EXPECT_EQ(drawn[i] ? 0xFFFFFFu : 0u, scene.Pixel(i * 10 + 5, 5)) << i;
        }
        // Alpha test of the reference 0x80 against alphas 0x40, 0x80, 0xC0.
        dev->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_ALWAYS);
        Quad(0xFF000000);
        dev->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, TRUE);
        dev->SetRenderState(D3DRENDERSTATE_ALPHAREF, 0x80);
        dev->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, c.func);
        const DWORD alphas[3] = {0xC0, 0x80, 0x40};  // "nearer" means alpha above the reference here
        for (int i = 0; i < 3; ++i) {
            float x0 = i * 10.0f, x1 = x0 + 10.0f;
            DWORD colour = (alphas[i] << 24) | 0xFFFFFF;
            D3DTLVERTEX v[4] = {TL(x0, 0, 0.5f, 1, colour), TL(x1, 0, 0.5f, 1, colour), TL(x0, H, 0.5f, 1, colour),
                                TL(x1, H, 0.5f, 1, colour)};
            Draw(D3DPT_TRIANGLESTRIP, v, 4);
        }
        dev->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, FALSE);
        // Greater alpha passes where a smaller Z passes: the table's columns swap.
        const bool alphaDrawn[3] = {c.fartherDrawn, c.equalDrawn, c.nearerDrawn};
        for (int i = 0; i < 3; ++i) EXPECT_EQ(alphaDrawn[i] ? 0xFFFFFFu : 0u, scene.Pixel(i * 10 + 5, 5)) << "alpha " << i;
    }
}

TEST_F(PipelineTest, ZWriteAndZBias)
{
    Quad(0xFF0000FF, 0, 0, 1, 1, 0.5f);
    dev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    Quad(0xFF00FF00, 0, 0, 1, 1, 0.6f);  // behind: hidden
    EXPECT_EQ(0x0000FFu, scene.Pixel(3, 3));
    Quad(0xFFFF0000, 0, 0, 1, 1, 0.4f);  // in front but leaves Z alone
    EXPECT_EQ(0xFF0000u, scene.Pixel(3, 3));
    Quad(0xFF00FF00, 0, 0, 1, 1, 0.45f);  // still in front of the 0.5 in the buffer
    EXPECT_EQ(0x00FF00u, scene.Pixel(3, 3));
    // Z bias pulls a coplanar quad in front under LESS.
    dev->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESS);
    Quad(0xFFFFFFFF, 0, 0, 1, 1, 0.5f);
    EXPECT_EQ(0x00FF00u, scene.Pixel(3, 3));
    dev->SetRenderState(D3DRENDERSTATE_ZBIAS, 2);
    Quad(0xFFFFFFFF, 0, 0, 1, 1, 0.5f);
    EXPECT_EQ(0xFFFFFFu, scene.Pixel(3, 3));
}

TEST_F(PipelineTest, ColourKeyedSpriteLeavesKeyedTexelsOut)
{
    // 4 x 4 sprite: magenta key around a white 2 x 2 centre.
    std::vector<uint32_t> texels(16, 0xFFFF00FF);
    for (int i : {5, 6, 9, 10}) texels[static_cast<size_t>(i)] = 0xFFFFFFFF;
    IDirectDrawSurface7* surface = scene.Texture(4, 4, k565, texels.data());
    DDCOLORKEY key = {0xF81F, 0xF81F};
    ASSERT_EQ(DD_OK, surface->SetColorKey(DDCKEY_SRCBLT, &key));
    ASSERT_EQ(D3D_OK, dev->SetTexture(0, surface));
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    for (bool enabled : {false, true})
        for (bool linear : {false, true}) {
            SCOPED_TRACE(std::to_string(enabled) + " " + std::to_string(linear));
            dev->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, enabled);
            dev->SetTextureStageState(0, D3DTSS_MAGFILTER, linear ? D3DTFG_LINEAR : D3DTFG_POINT);
            ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0));
            Quad(0xFFFFFFFF);
            for (int y = 0; y < H; y += 3)
                for (int x = 0; x < W; x += 3) {
                    const bool centre = x >= 8 && x < 24 && y >= 8 && y < 24;
                    uint32_t p = scene.Pixel(x, y);
                    if (centre && (!linear || (x >= 12 && x <= 20 && y >= 12 && y <= 20))) {
                        EXPECT_EQ(0xFFFFFFu, p) << x << "," << y;
                    }
                    if (!centre && enabled) {
                        EXPECT_EQ(kBackground, p) << x << "," << y;
                    }
                    if (!centre && !enabled && !linear) {
                        EXPECT_EQ(0xFF00FFu, p) << x << "," << y;
                    }
                }
        }
}

TEST_F(PipelineTest, CullingByWinding)
{
    // On the screen (y down) this triangle runs clockwise.
    D3DTLVERTEX cw[3] = {TL(2, 2, 0.5f, 1, 0xFFFFFFFF), TL(28, 2, 0.5f, 1, 0xFFFFFFFF), TL(2, 28, 0.5f, 1, 0xFFFFFFFF)};
    D3DTLVERTEX ccw[3] = {cw[0], cw[2], cw[1]};
    struct Case {
        D3DCULL cull;
        bool cwDrawn, ccwDrawn;
    } cases[] = {{D3DCULL_NONE, true, true}, {D3DCULL_CW, false, true}, {D3DCULL_CCW, true, false}};
    for (const Case& c : cases) {
        dev->SetRenderState(D3DRENDERSTATE_CULLMODE, c.cull);
        for (bool clockwise : {true, false}) {
            ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0));
            Draw(D3DPT_TRIANGLELIST, clockwise ? cw : ccw, 3);
            EXPECT_EQ((clockwise ? c.cwDrawn : c.ccwDrawn) ? 0xFFFFFFu : kBackground, scene.Pixel(6, 6))
                << c.cull << " " << clockwise;
        }
    }
}

TEST_F(PipelineTest, WireframeDrawsTheEdgesOnly)
{
    dev->SetRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_WIREFRAME);
    D3DTLVERTEX v[3] = {TL(2, 2, 0.5f, 1, 0xFFFFFFFF), TL(28, 2, 0.5f, 1, 0xFFFFFFFF), TL(2, 28, 0.5f, 1, 0xFFFFFFFF)};
    Draw(D3DPT_TRIANGLELIST, v, 3);
    for (int i = 2; i <= 28; ++i) {
        EXPECT_EQ(0xFFFFFFu, scene.Pixel(i, 2)) << i;      // top edge
        EXPECT_EQ(0xFFFFFFu, scene.Pixel(2, i)) << i;      // left edge
        EXPECT_EQ(0xFFFFFFu, scene.Pixel(i, 30 - i)) << i;  // the diagonal
    }
    EXPECT_EQ(kBackground, scene.Pixel(8, 8));
    EXPECT_EQ(kBackground, scene.Pixel(20, 20));
    // Lines are drawn in every fill mode.
    dev->SetRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID);
    D3DTLVERTEX line[2] = {TL(4, 20, 0.5f, 1, 0xFFFF0000), TL(20, 20, 0.5f, 1, 0xFFFF0000)};
    Draw(D3DPT_LINELIST, line, 2);
    EXPECT_EQ(0xFF0000u, scene.Pixel(12, 20));
}

// ---------------------------------------------------------------- through the transforms
D3DMATRIX Identity()
{
    D3DMATRIX m;
    memset(&m, 0, sizeof m);
    m._11 = m._22 = m._33 = m._44 = 1;
    return m;
}

// Left-handed perspective with the raster device's layout: m23 = 1, m32 = -q near.
D3DMATRIX Projection(float fovDegrees, float aspect, float zn, float zf)
{
    D3DMATRIX m;
    memset(&m, 0, sizeof m);
    m._11 = 1.0f / std::tan(fovDegrees * 3.14159265f / 360.0f);
    m._22 = 1.0f / std::tan(fovDegrees * aspect * 3.14159265f / 360.0f);
    float q = zf / (zf - zn);
    m._33 = q;
    m._34 = 1.0f;
    m._43 = -q * zn;
    return m;
}

TEST_F(PipelineTest, TriangleThroughTheNearPlaneIsClipped)
{
    D3DMATRIX world = Identity(), view = Identity(), projection = Projection(90, 1, 1, 100);
    dev->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    dev->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    dev->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    dev->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    // One corner behind the eye, two in front.
    D3DLVERTEX v[3] = {};
    v[0] = {-2, -1, 4, 0, 0xFFFF0000, 0, 0, 0};
    v[1] = {2, -1, 4, 0, 0xFF00FF00, 0, 0, 0};
    v[2] = {0, 3, -4, 0, 0xFF0000FF, 0, 0, 0};
    ASSERT_EQ(D3D_OK, dev->BeginScene());
    ASSERT_EQ(D3D_OK, dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_LVERTEX, v, 3, 0));
    ASSERT_EQ(D3D_OK, dev->EndScene());
    // The reference: the part with z >= near, in eye space (here world = eye),
    // projected by hand and each pixel tested against the clipped polygon.
    auto project = [](double x, double y, double z, double* sx, double* sy) {
        *sx = (1 + x / z) * 0.5 * W;
        *sy = (1 - y / z) * 0.5 * H;
    };
    std::vector<std::array<double, 6>> poly;  // x, y, z, r, g, b
    const double corners[3][6] = {{-2, -1, 4, 255, 0, 0}, {2, -1, 4, 0, 255, 0}, {0, 3, -4, 0, 0, 255}};
    for (int i = 0; i < 3; ++i) {
        const double* p = corners[i];
        const double* q = corners[(i + 1) % 3];
        if (p[2] >= 1) poly.push_back({p[0], p[1], p[2], p[3], p[4], p[5]});
        if ((p[2] >= 1) != (q[2] >= 1)) {
            double t = (1 - p[2]) / (q[2] - p[2]);
            std::array<double, 6> m;
            for (int k = 0; k < 6; ++k) m[k] = p[k] + (q[k] - p[k]) * t;
            poly.push_back(m);
        }
    }
    ASSERT_EQ(4u, poly.size());
    std::vector<D3DTLVERTEX> screen;
    for (const auto& p : poly) {
        double sx, sy;
        project(p[0], p[1], p[2], &sx, &sy);
        DWORD colour = 0xFF000000u | static_cast<DWORD>(std::lround(p[3])) << 16 |
                       static_cast<DWORD>(std::lround(p[4])) << 8 | static_cast<DWORD>(std::lround(p[5]));
        screen.push_back(TL(static_cast<float>(sx), static_cast<float>(sy), 0.5f, static_cast<float>(1 / p[2]), colour));
    }
    int bad = 0, covered = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double w[3];
            Coverage c1 = Reference(&screen[0], &screen[1], &screen[2]).Weights(x, y, w);
            Coverage c2 = Reference(&screen[0], &screen[2], &screen[3]).Weights(x, y, w);
            if (c1 == kEdge || c2 == kEdge) continue;
            bool inside = c1 == kIn || c2 == kIn;
            covered += inside;
            uint32_t p = scene.Pixel(x, y);
            if (inside == (p == kBackground) && ++bad <= 5) ADD_FAILURE() << x << "," << y << " " << inside;
        }
    EXPECT_EQ(0, bad);
    EXPECT_GT(covered, 100);
}

TEST_F(PipelineTest, LitCubeShowsItsFacesByTheLight)
{
    // A unit cube 4 units in front of the eye, turned 45 degrees about y;
    // a white directional light along +z (from the viewer), grey ambient.
    D3DMATRIX world = Identity(), view = Identity(), projection = Projection(60, 1, 1, 100);
    const float c = std::cos(3.14159265f / 4), s = std::sin(3.14159265f / 4);
    world._11 = c;
    world._13 = -s;
    world._31 = s;
    world._33 = c;
    world._43 = 4;
    dev->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    dev->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    dev->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    dev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
    dev->SetRenderState(D3DRENDERSTATE_AMBIENT, 0x00202020);
    D3DMATERIAL7 material;
    memset(&material, 0, sizeof material);
    material.diffuse = {1.0f, 0.5f, 0.25f, 1.0f};
    material.ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    dev->SetMaterial(&material);
    D3DLIGHT7 light;
    memset(&light, 0, sizeof light);
    light.dltType = D3DLIGHT_DIRECTIONAL;
    light.dcvDiffuse = {1, 1, 1, 1};
    light.dvDirection = {0, 0, 1};
    dev->SetLight(0, &light);
    dev->LightEnable(0, TRUE);
    // Six faces, each two triangles wound clockwise seen from outside.
    std::vector<D3DVERTEX> vertices;
    const float n[6][3] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}};
    for (const auto& f : n) {
        // Two axes across the face, b = normal x a, so that the corners run clockwise seen from outside.
        float a[3] = {f[1] != 0 ? 1.0f : 0.0f, f[1] != 0 ? 0.0f : 1.0f, 0};
        float b[3] = {f[1] * a[2] - f[2] * a[1], f[2] * a[0] - f[0] * a[2], f[0] * a[1] - f[1] * a[0]};
        auto corner = [&](float i, float j) {
            D3DVERTEX v;
            v.x = 0.5f * (f[0] + i * a[0] + j * b[0]);
            v.y = 0.5f * (f[1] + i * a[1] + j * b[1]);
            v.z = 0.5f * (f[2] + i * a[2] + j * b[2]);
            v.nx = f[0];
            v.ny = f[1];
            v.nz = f[2];
            v.tu = v.tv = 0;
            return v;
        };
        D3DVERTEX q[4] = {corner(-1, -1), corner(1, -1), corner(1, 1), corner(-1, 1)};
        for (int i : {0, 1, 2, 0, 2, 3}) vertices.push_back(q[i]);
    }
    ASSERT_EQ(D3D_OK, dev->BeginScene());
    ASSERT_EQ(D3D_OK, dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, vertices.data(),
                                         static_cast<DWORD>(vertices.size()), 0));
    ASSERT_EQ(D3D_OK, dev->EndScene());
    // The two front faces (normals -z and -x turned by 45 degrees) face the viewer at 45 degrees:
    // N.L = cos 45; colour = ambient 0x20/255 + diffuse x cos 45.
    const double k = std::cos(3.14159265 / 4);
    const double expected[3] = {0.25 * k + 0x20 / 255.0, 0.5 * k + 0x20 / 255.0, 1.0 * k + 0x20 / 255.0};  // b g r
    for (int x : {W / 2 - 2, W / 2 + 2}) {
        uint32_t p = scene.Pixel(x, H / 2);
        for (int ch = 0; ch < 3; ++ch)
            EXPECT_NEAR(std::min(255.0, 255 * expected[ch]), ChannelOf(p, 8 * ch), 2) << x << " " << ch;
    }
    EXPECT_EQ(kBackground, scene.Pixel(W / 2 - 6, H / 2));
    EXPECT_EQ(kBackground, scene.Pixel(W / 2, H / 2 - 6));
}

TEST_F(PipelineTest, PointLightFallsOffWithAttenuationAndRange)
{
    D3DMATRIX world = Identity(), projection = Projection(90, 1, 1, 100);
    dev->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    dev->SetTransform(D3DTRANSFORMSTATE_VIEW, &world);
    dev->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    D3DMATERIAL7 material;
    memset(&material, 0, sizeof material);
    material.diffuse = {1, 1, 1, 1};
    dev->SetMaterial(&material);
    struct Case {
        float distance, range, a0, a1;
        double expected;  // N.L is 1: 1 / (a0 + a1 d), 0 beyond the range
    } cases[] = {{2, 10, 1, 0, 1.0}, {2, 10, 0, 1, 0.5}, {4, 10, 0, 1, 0.25}, {4, 3, 1, 0, 0.0}};
    for (const Case& c : cases) {
        D3DLIGHT7 light;
        memset(&light, 0, sizeof light);
        light.dltType = D3DLIGHT_POINT;
        light.dcvDiffuse = {1, 1, 1, 1};
        light.dvPosition = {0, 0, 5 - c.distance};
        light.dvRange = c.range;
        light.dvAttenuation0 = c.a0;
        light.dvAttenuation1 = c.a1;
        dev->SetLight(3, &light);
        dev->LightEnable(3, TRUE);
        // The lit vertex in front of the light, through ProcessVertices.
        IDirect3DVertexBuffer7 *src = nullptr, *dst = nullptr;
        ASSERT_NO_FATAL_FAILURE(CreateBuffers(D3DFVF_VERTEX, 1, D3DFVF_TLVERTEX, 1, &src, &dst));
        void* data = nullptr;
        src->Lock(0, &data, nullptr);
        D3DVERTEX centre = {0, 0, 5, 0, 0, -1, 0.25f, 0.75f};
        memcpy(data, &centre, sizeof centre);
        src->Unlock();
        ASSERT_EQ(D3D_OK, dst->ProcessVertices(D3DVOP_TRANSFORM | D3DVOP_LIGHT, 0, 1, src, 0, dev, 0));
        dst->Lock(0, &data, nullptr);
        D3DTLVERTEX out;
        memcpy(&out, data, sizeof out);
        dst->Unlock();
        EXPECT_NEAR(c.expected * 255, ChannelOf(out.color, 16), 1) << c.distance << " " << c.range;
        EXPECT_FLOAT_EQ(W / 2.0f, out.sx);
        EXPECT_FLOAT_EQ(H / 2.0f, out.sy);
        EXPECT_NEAR(1.0f / 5.0f, out.rhw, 1e-5f);
        EXPECT_EQ(0.25f, out.tu);
        EXPECT_EQ(0.75f, out.tv);
        EXPECT_EQ(D3DERR_INVALIDVERTEXTYPE, src->ProcessVertices(D3DVOP_TRANSFORM, 0, 1, dst, 0, dev, 0));
        EXPECT_EQ(DDERR_INVALIDPARAMS, dst->ProcessVertices(D3DVOP_TRANSFORM, 0, 2, src, 0, dev, 0));
        src->Release();
        dst->Release();
    }
}

TEST(PipelineTargets, SixteenAndTwentyFourBitTargetsHoldTheColour)
{
    unsetenv("RCV_FORCE");
    struct Case {
        const DDPIXELFORMAT* format;
        uint32_t expected;  // raw pixel of 0xFF8040
    } cases[] = {{&k565, 0xFC08}, {&k555, 0x7E08}, {&k888, 0xFF8040}, {&kA888, 0x80FF8040}};
    for (const Case& c : cases) {
        Scene scene;
        ASSERT_EQ(D3D_OK, scene.Open(8, 8, *c.format, 24));
        IDirect3DDevice7* dev = scene.device;
        DrawDiffuseOnly(dev);
        ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0));
        D3DTLVERTEX v[3] = {TL(0, 0, 0.5f, 1, 0x80FF8040), TL(8, 0, 0.5f, 1, 0x80FF8040), TL(0, 8, 0.5f, 1, 0x80FF8040)};
        ASSERT_EQ(D3D_OK, dev->BeginScene());
        ASSERT_EQ(D3D_OK, dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 3, 0));
        ASSERT_EQ(D3D_OK, dev->EndScene());
        EXPECT_EQ(c.expected, Scene::Raw(scene.target, 2, 2)) << c.format->dwRGBBitCount;
        EXPECT_EQ(0u, Scene::Raw(scene.target, 7, 7));
        // The 24-bit Z buffer took the depth.
        EXPECT_EQ(static_cast<uint32_t>(0.5 * 0xFFFFFF), Scene::Raw(scene.zbuffer, 2, 2));
    }
}

// The pixel steps are built for the baseline processor and for AVX2; a busy
// scene (perspective terrain under two trilinear stages, fog, then blended
// and alpha-tested quads) must come out byte for byte the same from both,
// in every target and Z format. (Without AVX2 both runs take the baseline.)
std::vector<uint8_t> SurfaceBytes(IDirectDrawSurface7* surface)
{
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    std::vector<uint8_t> bytes;
    if (surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) != DD_OK) return bytes;
    const size_t row = desc.dwWidth * ((desc.ddpfPixelFormat.dwRGBBitCount + 7) / 8);
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        const uint8_t* p = static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch;
        bytes.insert(bytes.end(), p, p + row);
    }
    surface->Unlock(nullptr);
    return bytes;
}

// 16-bit targets with D3DRENDERSTATE_DITHERENABLE: an ordered 4 x 4 pattern
// tied to the screen, so that every aligned 4 x 4 block of a flat colour
// averages back to the colour itself; without it (or on 32 bits) every pixel
// is the colour cut to the target's bits.
std::vector<uint8_t> DrawFlat(const DDPIXELFORMAT& format, bool dither, uint32_t colour, bool blend = false)
{
    const int w = 16, h = 12;
    Scene scene;
    EXPECT_EQ(D3D_OK, scene.Open(w, h, format, 16));
    if (!scene.device) return {};
    IDirect3DDevice7* dev = scene.device;
    DrawDiffuseOnly(dev);
    dev->SetRenderState(D3DRENDERSTATE_DITHERENABLE, dither);
    dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, blend);
    dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    EXPECT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0));
    // Three triangles from odd corners, so that runs start at every column phase.
    D3DTLVERTEX v[5] = {TL(0, 0, 0.5f, 1, colour), TL(w, 0, 0.5f, 1, colour), TL(5.3f, 7.7f, 0.5f, 1, colour),
                        TL(0, h, 0.5f, 1, colour), TL(w, h, 0.5f, 1, colour)};
    const WORD indices[9] = {0, 1, 2, 0, 2, 3, 1, 4, 3};
    const WORD rest[3] = {2, 1, 3};
    EXPECT_EQ(D3D_OK, dev->BeginScene());
    EXPECT_EQ(D3D_OK, dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 5, const_cast<WORD*>(indices), 9, 0));
    EXPECT_EQ(D3D_OK, dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 5, const_cast<WORD*>(rest), 3, 0));
    EXPECT_EQ(D3D_OK, dev->EndScene());
    return SurfaceBytes(scene.target);
}

TEST(PipelineTargets, SixteenBitTargetsDitherWhenAsked)
{
    unsetenv("RCV_FORCE");
    struct Format {
        const DDPIXELFORMAT* format;
        int redShift, greenShift, greenBits;
    } formats[] = {{&k565, 11, 5, 6}, {&k555, 10, 5, 5}};
    // Channels between two levels, on a level, and near the top.
    const uint32_t colours[] = {0xFF847A3D, 0xFF104020, 0xFFF4F1F6, 0xFF0B0203};
    for (const Format& f : formats)
        for (uint32_t colour : colours) {
            SCOPED_TRACE(std::to_string(f.redShift) + " " + std::to_string(colour));
            const std::vector<uint8_t> dithered = DrawFlat(*f.format, true, colour), plain = DrawFlat(*f.format, false, colour);
            ASSERT_EQ(16u * 12 * 2, dithered.size());
            auto pixel = [](const std::vector<uint8_t>& bytes, int x, int y) { return bytes[(y * 16 + x) * 2] | bytes[(y * 16 + x) * 2 + 1] << 8; };
            const int bits[3] = {5, f.greenBits, 5}, shifts[3] = {0, f.greenShift, f.redShift};
            for (int k = 0; k < 3; ++k) {
                const int value = static_cast<int>((colour >> (8 * k)) & 0xFF), cut = 8 - bits[k], top = (1 << bits[k]) - 1;
                for (int by = 0; by < 12; by += 4)
                    for (int bx = 0; bx < 16; bx += 4) {
                        int sum = 0;
                        for (int y = by; y < by + 4; ++y)
                            for (int x = bx; x < bx + 4; ++x) {
                                const int level = (pixel(dithered, x, y) >> shifts[k]) & top;
                                EXPECT_TRUE(level == value >> cut || level == (value >> cut) + 1) << x << "," << y;
                                sum += level;
                                EXPECT_EQ(value >> cut, (pixel(plain, x, y) >> shifts[k]) & top);
                            }
                        // The block's mean, in the colour's 8 bits, is the colour.
                        EXPECT_EQ(value * 16, sum << cut) << "channel " << k << " block " << bx << "," << by;
                    }
            }
            // The pattern is the same however the surface was covered, and in both builds.
            EXPECT_TRUE(dithered == DrawFlat(*f.format, true, colour));
            ScopedForce force("noavx2");
            EXPECT_TRUE(dithered == DrawFlat(*f.format, true, colour));
        }
    // Adding blended pixels onto a black target dithers the blend's result the same way.
    EXPECT_TRUE(DrawFlat(k565, true, 0xFF847A3D) == DrawFlat(k565, true, 0xFF847A3D, true));
    // Targets of 24 and 32 bits hold every colour as it is.
    EXPECT_TRUE(DrawFlat(kX888, true, 0xFF847A3D) == DrawFlat(kX888, false, 0xFF847A3D));
}

void DrawBusyScene(const DDPIXELFORMAT& format, int zbits, std::vector<uint8_t>& colour, std::vector<uint8_t>& depth)
{
    const int w = 96, h = 64;
    Scene scene;
    ASSERT_EQ(D3D_OK, scene.Open(w, h, format, zbits));
    IDirect3DDevice7* dev = scene.device;
    IDirectDrawSurface7* textures[2];
    for (int t = 0; t < 2; ++t) {
        textures[t] = scene.Texture(32, 32, kA888, nullptr, 6);
        IDirectDrawSurface7* level = textures[t];
        level->AddRef();
        for (int side = 32; level; side /= 2) {
            std::vector<uint32_t> texels;
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    texels.push_back(t == 0 ? (((x * 32 / side / 4 + y * 32 / side / 4) & 1) ? 0xFF30A040u : 0xC0E0C090u) -
                                                  static_cast<uint32_t>(side)
                                            : 0xFF000000u | static_cast<uint32_t>((100 + (x * 7 + y * 13) % 150) * 0x010101));
            Scene::Fill(level, kA888, texels.data());
            DDSCAPS2 caps = {DDSCAPS_TEXTURE | DDSCAPS_MIPMAP, 0, 0, {0}};
            IDirectDrawSurface7* next = nullptr;
            level->GetAttachedSurface(&caps, &next);
            level->Release();
            level = next;
        }
    }
    dev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    for (DWORD s = 0; s < 2; ++s) {
        dev->SetTexture(s, textures[s]);
        dev->SetTextureStageState(s, D3DTSS_COLOROP, D3DTOP_MODULATE);
        dev->SetTextureStageState(s, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        dev->SetTextureStageState(s, D3DTSS_COLORARG2, s == 0 ? D3DTA_DIFFUSE : D3DTA_CURRENT);
        dev->SetTextureStageState(s, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        dev->SetTextureStageState(s, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        dev->SetTextureStageState(s, D3DTSS_ALPHAARG2, s == 0 ? D3DTA_DIFFUSE : D3DTA_CURRENT);
        dev->SetTextureStageState(s, D3DTSS_TEXCOORDINDEX, s);
        dev->SetTextureStageState(s, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
        dev->SetTextureStageState(s, D3DTSS_MINFILTER, D3DTFN_LINEAR);
        dev->SetTextureStageState(s, D3DTSS_MIPFILTER, D3DTFP_LINEAR);
    }
    dev->SetRenderState(D3DRENDERSTATE_FOGENABLE, TRUE);
    dev->SetRenderState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
    dev->SetRenderState(D3DRENDERSTATE_FOGSTART, FloatBits(1.5f));
    dev->SetRenderState(D3DRENDERSTATE_FOGEND, FloatBits(8.0f));
    dev->SetRenderState(D3DRENDERSTATE_FOGCOLOR, 0xFFA0B0C0);
    ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00203040, 1.0f, 0));
    ASSERT_EQ(D3D_OK, dev->BeginScene());
    struct V {
        float x, y, z, rhw;
        DWORD diffuse;
        float u0, v0, u1, v1;
    };
    std::vector<V> grid;
    const int columns = 12, rows = 8;
    auto at = [&](int i, int j) {
        const float t = static_cast<float>(j) / rows, rhw = 0.1f + 0.9f * t;
        return V{i * w / float(columns) + 0.7f * std::sin(i * 0.9f + j), j * h / float(rows) + 0.6f * std::cos(i + j * 0.4f),
                 1.0f - 0.9f * rhw, rhw, 0xFF000000u | static_cast<DWORD>((90 + 12 * i) << 16 | (200 - 9 * j) << 8 | (60 + 15 * j)),
                 i * 0.6f, j * 0.6f, i * 0.2f + 0.3f, j * 0.2f};
    };
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i)
            for (const V& v : {at(i, j), at(i + 1, j), at(i, j + 1), at(i, j + 1), at(i + 1, j), at(i + 1, j + 1)})
                grid.push_back(v);
    ASSERT_EQ(D3D_OK, dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX2, grid.data(),
                                         static_cast<DWORD>(grid.size()), 0));
    // Blended, alpha-tested quads over it, through the generic blend too.
    dev->SetRenderState(D3DRENDERSTATE_FOGENABLE, FALSE);
    dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, TRUE);
    dev->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATER);
    dev->SetRenderState(D3DRENDERSTATE_ALPHAREF, 0x30);
    dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    const DWORD blends[2][2] = {{D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA}, {D3DBLEND_DESTCOLOR, D3DBLEND_SRCCOLOR}};
    for (int q = 0; q < 2; ++q) {
        dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, blends[q][0]);
        dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, blends[q][1]);
        const float z = 0.3f - 0.1f * q, x0 = 5.0f + 20 * q, x1 = w - 3.0f - 10 * q;
        const DWORD c = (0x70u + 0x40u * q) << 24 | 0xFF8040;
        V quad[4] = {{x0, 4, z, 1, c, 0, 0, 0, 0}, {x1, 2, z, 0.5f, c, 2.5f, 0, 1, 0}, {x0, h - 5.0f, z, 1, c, 0, 1.7f, 0, 1},
                     {x1, h - 1.0f, z, 0.5f, c ^ 0x00FFFFFF, 2.5f, 1.7f, 1, 1}};
        ASSERT_EQ(D3D_OK, dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX2, quad, 4, 0));
    }
    ASSERT_EQ(D3D_OK, dev->EndScene());
    colour = SurfaceBytes(scene.target);
    depth = SurfaceBytes(scene.zbuffer);
}

TEST(PipelineSteps, BothInstructionSetsDrawTheSamePixels)
{
    struct Case {
        const DDPIXELFORMAT* format;
        int zbits;
    } cases[] = {{&k565, 16}, {&k888, 24}, {&kX888, 16}, {&kA888, 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format->dwRGBBitCount);
        std::vector<uint8_t> colour, depth, baseColour, baseDepth;
        unsetenv("RCV_FORCE");
        DrawBusyScene(*c.format, c.zbits, colour, depth);
        {
            ScopedForce force("noavx2");
            DrawBusyScene(*c.format, c.zbits, baseColour, baseDepth);
        }
        ASSERT_FALSE(colour.empty());
        EXPECT_TRUE(colour == baseColour);
        EXPECT_TRUE(depth == baseDepth);
        // The scene drew something of each kind: not just the clear colour.
        std::set<uint32_t> distinct;
        for (size_t i = 0; i + 2 < colour.size(); i += 3) distinct.insert(colour[i] | colour[i + 1] << 8 | colour[i + 2] << 16);
        EXPECT_GT(distinct.size(), 200u);
    }
}

// The common states draw each run in one routine; the same triangles drawn
// with the specular add switched on (black specular, so no change to the
// colours) take the steps one by one. Both must give the same Z and the
// same colours (within the rounding of fog and blending at a run's last
// pixels), and the AVX2 and baseline builds the very same bits, on small
// triangles, partial groups and runs ending at the target's right edge.
struct SpanCase {
    const char* name;
    int textures;
    bool fog, blend;
    D3DCMPFUNC zfunc;
    bool zwrite;
    const DDPIXELFORMAT* format;
};

struct SpanFrame {
    std::vector<uint32_t> colour, depth;
};

SpanFrame DrawSpanCase(const SpanCase& c, bool specular, const char* force)
{
    ScopedForce forced(force);
    Scene scene;
    SpanFrame frame;
    EXPECT_EQ(D3D_OK, scene.Open(37, 29, *c.format));
    if (!scene.device) return frame;
    IDirect3DDevice7* dev = scene.device;
    std::vector<uint32_t> texels(16 * 16);
    for (int i = 0; i < 256; ++i)
        texels[static_cast<size_t>(i)] = 0x80000000u | static_cast<uint32_t>((i * 7) % 256) << 16 |
                                         static_cast<uint32_t>((i * 13) % 256) << 8 | static_cast<uint32_t>(255 - i) |
                                         static_cast<uint32_t>(i % 4) << 29;
    IDirectDrawSurface7* texture = scene.Texture(16, 16, kA888, texels.data());
    dev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    dev->SetRenderState(D3DRENDERSTATE_ZFUNC, c.zfunc);
    dev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, c.zwrite);
    dev->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, specular);
    dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, c.blend);
    dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev->SetRenderState(D3DRENDERSTATE_FOGENABLE, c.fog);
    dev->SetRenderState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
    float start = 1.5f, end = 6.0f;
    DWORD bits;
    memcpy(&bits, &start, 4);
    dev->SetRenderState(D3DRENDERSTATE_FOGSTART, bits);
    memcpy(&bits, &end, 4);
    dev->SetRenderState(D3DRENDERSTATE_FOGEND, bits);
    dev->SetRenderState(D3DRENDERSTATE_FOGCOLOR, 0xFF406080);
    for (DWORD s = 0; s < 2; ++s) {
        const bool on = static_cast<int>(s) < c.textures;
        dev->SetTexture(s, on ? texture : nullptr);
        dev->SetTextureStageState(s, D3DTSS_COLOROP, on ? D3DTOP_MODULATE : D3DTOP_DISABLE);
        dev->SetTextureStageState(s, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        dev->SetTextureStageState(s, D3DTSS_COLORARG2, s == 0 ? D3DTA_DIFFUSE : D3DTA_CURRENT);
        dev->SetTextureStageState(s, D3DTSS_ALPHAOP, on ? D3DTOP_MODULATE : D3DTOP_DISABLE);
        dev->SetTextureStageState(s, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        dev->SetTextureStageState(s, D3DTSS_ALPHAARG2, s == 0 ? D3DTA_DIFFUSE : D3DTA_CURRENT);
        dev->SetTextureStageState(s, D3DTSS_TEXCOORDINDEX, 0);
        dev->SetTextureStageState(s, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
        dev->SetTextureStageState(s, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    }
    if (c.textures == 0) DrawDiffuseOnly(dev);
    EXPECT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x80102030, 0.75f, 0));
    // Random small and middling triangles, some past the right and bottom
    // edges, at depths that cross, twice over so that Z decides.
    std::mt19937 random(11);
    std::uniform_real_distribution<float> x(-4.0f, 44.0f), y(-4.0f, 34.0f), size(1.0f, 12.0f), depth(0.1f, 0.9f),
        rhw(0.2f, 1.0f), uv(-2.0f, 3.0f);
    std::uniform_int_distribution<uint32_t> colour(0, 0xFFFFFFFFu);
    std::vector<D3DTLVERTEX> v;
    for (int t = 0; t < 120; ++t) {
        const float cx = x(random), cy = y(random), r = size(random);
        for (int k = 0; k < 3; ++k)
            v.push_back(TL(cx + r * std::cos(k * 2.1f + t), cy + r * std::sin(k * 2.1f + t), depth(random), rhw(random),
                           colour(random), uv(random), uv(random), 0x00000000));
    }
    EXPECT_EQ(D3D_OK, dev->BeginScene());
    EXPECT_EQ(D3D_OK, dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v.data(), static_cast<DWORD>(v.size()), 0));
    EXPECT_EQ(D3D_OK, dev->EndScene());
    for (int py = 0; py < 29; ++py)
        for (int px = 0; px < 37; ++px) {
            frame.colour.push_back(Scene::Raw(scene.target, px, py));
            frame.depth.push_back(Scene::Raw(scene.zbuffer, px, py));
        }
    return frame;
}

TEST(SpanRoutine, MatchesTheStepsOneByOneAndBothBuilds)
{
    const SpanCase cases[] = {
        {"gouraud", 0, false, false, D3DCMP_LESSEQUAL, true, &kX888},
        {"gouraud less", 0, false, false, D3DCMP_LESS, true, &kX888},
        {"one texture", 1, false, false, D3DCMP_LESSEQUAL, true, &kX888},
        {"two textures", 2, false, false, D3DCMP_LESSEQUAL, true, &kA888},
        {"fog", 1, true, false, D3DCMP_LESSEQUAL, true, &kX888},
        {"blend", 1, false, true, D3DCMP_LESSEQUAL, false, &kA888},
        {"fog and blend", 2, true, true, D3DCMP_LESS, false, &kX888},
    };
    for (const SpanCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SpanFrame span = DrawSpanCase(c, false, "");
        const SpanFrame baseline = DrawSpanCase(c, false, "noavx2");
        const SpanFrame steps = DrawSpanCase(c, true, "");
        ASSERT_EQ(span.colour.size(), steps.colour.size());
        ASSERT_FALSE(span.colour.empty());
        EXPECT_TRUE(span.colour == baseline.colour) << "AVX2 and baseline differ";
        EXPECT_TRUE(span.depth == baseline.depth);
        EXPECT_TRUE(span.depth == steps.depth) << "Z differs";
        const int tolerance = c.fog || c.blend ? 2 : 0;
        int bad = 0, drawn = 0;
        for (size_t i = 0; i < span.colour.size(); ++i) {
            drawn += span.colour[i] != 0x102030u && span.colour[i] != 0x80102030u;
            bool near = true;
            for (int shift : {0, 8, 16, 24})
                near = near && std::abs(ChannelOf(span.colour[i], shift) - ChannelOf(steps.colour[i], shift)) <= tolerance;
            if (!near && ++bad <= 5)
                ADD_FAILURE() << "pixel " << i % 37 << "," << i / 37 << std::hex << " span " << span.colour[i] << " steps "
                              << steps.colour[i];
        }
        EXPECT_EQ(0, bad);
        EXPECT_GT(drawn, 37 * 29 / 2);
    }
}
}  // namespace
