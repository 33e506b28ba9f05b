// The portable form of every fast-math routine: the reference the other
// forms are held to.  The sine look-ups live with the table in YSineTable.cpp.
#include "foundation/YFastMathForms.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "foundation/YVector.h"

namespace fm_euler {
void RotationX(YMatrix* dst, float angle, SinCosFn sinCos)
{
    float s, c;
    sinCos(&s, &c, angle);
    fm_portable::MatrixIdentity(dst);
    dst->m[1][1] = c;
    dst->m[1][2] = -s;
    dst->m[2][1] = s;
    dst->m[2][2] = c;
}

void RotationY(YMatrix* dst, float angle, SinCosFn sinCos)
{
    float s, c;
    sinCos(&s, &c, angle);
    fm_portable::MatrixIdentity(dst);
    dst->m[0][0] = c;
    dst->m[0][2] = s;
    dst->m[2][0] = -s;
    dst->m[2][2] = c;
}

void RotationZ(YMatrix* dst, float angle, SinCosFn sinCos)
{
    float s, c;
    sinCos(&s, &c, angle);
    fm_portable::MatrixIdentity(dst);
    dst->m[0][0] = c;
    dst->m[0][1] = -s;
    dst->m[1][0] = s;
    dst->m[1][1] = c;
}

namespace {
// p x q for affine matrices
YMatrix Product(const YMatrix& p, const YMatrix& q)
{
    YMatrix r;
    fm_portable::MatrixMultiplyAffine(&r, &q, &p);
    return r;
}
}  // namespace

void Build(int builder, YMatrix* dst, float ax, float ay, float az, SinCosFn sinCos)
{
    // application order per builder, as axis letters
    static const char* const kOrder[7] = {"", "YXZ", "ZXY", "XYZ", "ZYX", "YXZ", "YZX"};
    YMatrix used[3];
    int count = 0;
    for (const char* axis = kOrder[builder]; *axis; ++axis) {
        float angle = *axis == 'X' ? ax : *axis == 'Y' ? ay : az;
        if (angle == 0.0f) continue;
        if (*axis == 'X') RotationX(&used[count], angle, sinCos);
        if (*axis == 'Y') RotationY(&used[count], angle, sinCos);
        if (*axis == 'Z') RotationZ(&used[count], angle, sinCos);
        ++count;
    }
    switch (count) {
    case 0: fm_portable::MatrixIdentity(dst); break;
    case 1: *dst = used[0]; break;
    case 2: *dst = Product(used[0], used[1]); break;
    default:
        *dst = builder == 5 ? Product(used[0], Product(used[1], used[2]))
                            : Product(Product(used[0], used[1]), used[2]);
        break;
    }
}
}  // namespace fm_euler

namespace fm_portable {
void MatrixZero(YMatrix* dst)
{
    for (auto& row : dst->m)
        for (float& e : row) e = 0.0f;
}

void MatrixIdentity(YMatrix* dst)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) dst->m[r][c] = r == c ? 1.0f : 0.0f;
}

void MatrixTranslation(YMatrix* dst, float x, float y, float z)
{
    fm_portable::MatrixIdentity(dst);
    dst->m[3][0] = x;
    dst->m[3][1] = y;
    dst->m[3][2] = z;
}

void MatrixTranslationV(YMatrix* dst, const YVector* v)
{
    fm_portable::MatrixTranslation(dst, v->x, v->y, v->z);
}

void MatrixScaling(YMatrix* dst, float sx, float sy, float sz)
{
    fm_portable::MatrixZero(dst);
    dst->m[0][0] = sx;
    dst->m[1][1] = sy;
    dst->m[2][2] = sz;
    dst->m[3][3] = 1.0f;
}

void MatrixTranspose(YMatrix* m)
{
    for (int r = 0; r < 3; ++r)
        for (int c = r + 1; c < 3; ++c) {
            float t = m->m[r][c];
            m->m[r][c] = m->m[c][r];
            m->m[c][r] = t;
        }
}

void MathNoOp() {}

void MatrixMultiply(YMatrix* dst, const YMatrix* a, const YMatrix* b)
{
    // dst = b x a
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = b->m[i][0] * a->m[0][j];
            sum += b->m[i][1] * a->m[1][j];
            sum += b->m[i][2] * a->m[2][j];
            sum += b->m[i][3] * a->m[3][j];
            dst->m[i][j] = sum;
        }
}

void MatrixMultiplyAffine(YMatrix* dst, const YMatrix* a, const YMatrix* b)
{
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            float sum = b->m[i][0] * a->m[0][j];
            sum += b->m[i][1] * a->m[1][j];
            sum += b->m[i][2] * a->m[2][j];
            if (i == 3) sum += a->m[3][j];
            dst->m[i][j] = sum;
        }
        dst->m[i][3] = i == 3 ? 1.0f : 0.0f;
    }
}

void MatrixRotationEuler1(YMatrix* dst, float ax, float ay, float az)
{
    fm_euler::Build(1, dst, ax, ay, az, FastSinCos);
}
void MatrixRotationEuler2(YMatrix* dst, float ax, float ay, float az)
{
    fm_euler::Build(2, dst, ax, ay, az, FastSinCos);
}
void MatrixRotationEuler3(YMatrix* dst, float ax, float ay, float az)
{
    fm_euler::Build(3, dst, ax, ay, az, FastSinCos);
}
void MatrixRotationEuler4(YMatrix* dst, float ax, float ay, float az)
{
    fm_euler::Build(4, dst, ax, ay, az, FastSinCos);
}
void MatrixRotationEuler5(YMatrix* dst, float ax, float ay, float az)
{
    fm_euler::Build(5, dst, ax, ay, az, FastSinCos);
}
void MatrixRotationEuler6(YMatrix* dst, float ax, float ay, float az)
{
    fm_euler::Build(6, dst, ax, ay, az, FastSinCos);
}

float FastSqrt(float a)
{
    return std::sqrt(a);
}

float ApproxSqrt(float a)
{
    uint32_t bits;
    std::memcpy(&bits, &a, 4);
    bits = 0x5f3759dfu - (bits >> 1);
    float y;
    std::memcpy(&y, &bits, 4);
    y = y * (1.5f - 0.5f * a * y * y);
    return a * y;
}

float VectorLengthSq(const YVector* v)
{
    return (v->x * v->x + v->y * v->y) + v->z * v->z;
}

float VectorLength(const YVector* v)
{
    return std::sqrt(fm_portable::VectorLengthSq(v));
}

float VectorFastLength(const YVector* v)
{
    return ApproxSqrt(fm_portable::VectorLengthSq(v));
}

float VectorDot(const YVector* a, const YVector* b)
{
    return (a->x * b->x + a->y * b->y) + a->z * b->z;
}

void VectorCross(YVector* dst, const YVector* a, const YVector* b)
{
    float x = a->y * b->z - a->z * b->y;
    float y = a->z * b->x - a->x * b->z;
    float z = a->x * b->y - a->y * b->x;
    dst->x = x;
    dst->y = y;
    dst->z = z;
}

void VectorAdd(YVector* dst, const YVector* a, const YVector* b)
{
    dst->x = a->x + b->x;
    dst->y = a->y + b->y;
    dst->z = a->z + b->z;
}

void VectorSubtract(YVector* dst, const YVector* a, const YVector* b)
{
    dst->x = a->x - b->x;
    dst->y = a->y - b->y;
    dst->z = a->z - b->z;
}

int32_t VectorCompareLength(const YVector* a, const YVector* b)
{
    float la = fm_portable::VectorLengthSq(a);
    float lb = fm_portable::VectorLengthSq(b);
    if (la == lb) return 0;
    return la > lb ? 1 : 2;
}

void VectorScale(YVector* dst, const YVector* a, float s)
{
    dst->x = a->x * s;
    dst->y = a->y * s;
    dst->z = a->z * s;
}

int32_t VectorDiffers(const YVector* a, const YVector* b)
{
    return (a->x != b->x || a->y != b->y || a->z != b->z) ? 1 : 0;
}

void VectorTransform(YVector* dst, const YVector* v, const YMatrix* m)
{
    float out[3];
    for (int j = 0; j < 3; ++j)
        out[j] = (v->x * m->m[0][j] + v->y * m->m[1][j]) + (v->z * m->m[2][j] + m->m[3][j]);
    dst->x = out[0];
    dst->y = out[1];
    dst->z = out[2];
}

void VectorNormalizeSafe(YVector* dst, const YVector* v)
{
    float s = fm_portable::VectorLengthSq(v);
    if (s == 0.0f) return;
    float k = 1.0f / std::sqrt(s);
    fm_portable::VectorScale(dst, v, k);
}

void VectorRotateByAngles(YVector* dst, const YVector* v, const YVector* angles)
{
    float s, c;
    float x = v->x, y = v->y, z = v->z;
    FastSinCosDeg(&s, &c, angles->z);
    float nx = x * c + y * s;
    float ny = y * c - x * s;
    FastSinCosDeg(&s, &c, angles->x);
    float y2 = ny * c + z * s;
    float nz = z * c - ny * s;
    FastSinCosDeg(&s, &c, angles->y);
    float x3 = nx * c + nz * s;
    float z3 = nz * c - nx * s;
    dst->y = y2;
    dst->x = x3;
    dst->z = z3;
}

void MemClearDwords(uint32_t* dst, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i) dst[i] = 0;
}

void MemFillDwords(uint32_t* dst, uint32_t count, uint32_t value)
{
    for (uint32_t i = 0; i < count; ++i) dst[i] = value;
}

void MemCopyDwords(uint32_t* dst, const uint32_t* src, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i) dst[i] = src[i];
}

int32_t MinInt(int32_t a, int32_t b)
{
    return b < a ? b : a;
}

int32_t MaxInt(int32_t a, int32_t b)
{
    return b > a ? b : a;
}

float MinFloat(float a, float b)
{
    return b < a ? b : a;
}

float MaxFloat(float a, float b)
{
    return b > a ? b : a;
}

int32_t FloatToInt(float f)
{
    // nearest, ties to even; out of range gives the x87 "integer indefinite"
    float r = std::nearbyint(f);
    if (!(r >= -2147483648.0f && r < 2147483648.0f)) return INT32_MIN;
    return static_cast<int32_t>(r);
}

float IntToFloat(int32_t i)
{
    return static_cast<float>(i);
}

float DivFloat(float a, float b)
{
    return a / b;
}

float FastDivFloat(float a, float b)
{
    return a / b;
}

float Reciprocal(float x)
{
    return 1.0f / x;
}

float FastReciprocal(float x)
{
    return 1.0f / x;
}

void AlphaBlendRect(const void* src, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
                    int32_t srcPitch, void* dst, int32_t dstX, int32_t dstY, int32_t dstWidth,
                    int32_t dstHeight, int32_t dstPitch, int32_t dstBitsPerPixel,
                    uint32_t dstRedMask)
{
    using namespace fm_blend;
    if (width > dstWidth - dstX) width = dstWidth - dstX;
    if (height > dstHeight - dstY) height = dstHeight - dstY;
    if (width <= 0 || height <= 0) return;
    const Format format = FormatOf(dstBitsPerPixel, dstRedMask);
    const int32_t dstBytes = format == k32 ? 4 : 2;
    const uint8_t* srow = static_cast<const uint8_t*>(src) + ptrdiff_t(srcY) * srcPitch + ptrdiff_t(srcX) * 4;
    uint8_t* drow = static_cast<uint8_t*>(dst) + ptrdiff_t(dstY) * dstPitch +
                    ptrdiff_t(dstX) * (dstBitsPerPixel / 8);
    for (int32_t row = 0; row < height; ++row, srow += srcPitch, drow += dstPitch) {
        for (int32_t i = 0; i < width; ++i) {
            uint32_t s;
            std::memcpy(&s, srow + 4 * i, 4);
            const uint32_t a = s >> 24;
            if (a == 0) continue;
            const uint32_t sr = (s >> 16) & 0xFF, sg = (s >> 8) & 0xFF, sb = s & 0xFF;
            uint8_t* d = drow + i * dstBytes;
            if (format == k32) {
                if (a != 255) {
                    uint32_t p;
                    std::memcpy(&p, d, 4);
                    const uint32_t r = (sr * a + ((p >> 16) & 0xFF) * (256 - a)) >> 8;
                    const uint32_t g = (sg * a + ((p >> 8) & 0xFF) * (256 - a)) >> 8;
                    const uint32_t b = (sb * a + (p & 0xFF) * (256 - a)) >> 8;
                    s = (p & 0xFF000000u) | (r << 16) | (g << 8) | b;
                }
                std::memcpy(d, &s, 4);
                continue;
            }
            uint16_t p16;
            std::memcpy(&p16, d, 2);
            uint32_t r = sr, g = sg, b = sb;
            if (a != 255) {
                uint32_t dr, dg, db;
                Expand(format, p16, dr, dg, db);
                r = (sr * a + dr * (256 - a)) >> 8;
                g = (sg * a + dg * (256 - a)) >> 8;
                b = (sb * a + db * (256 - a)) >> 8;
            }
            p16 = static_cast<uint16_t>(Pack(format, r, g, b));
            std::memcpy(d, &p16, 2);
        }
    }
}
}  // namespace fm_portable
