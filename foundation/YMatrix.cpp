#include "foundation/YMatrix.h"

#include "foundation/YFastMath.h"
#include "foundation/YFastMathForms.h"

namespace {
YMatrix g_scratch;

YMatrix* CopyOut(YMatrix* out)
{
    *out = g_scratch;
    return out;
}
}  // namespace

void MatrixRotationXRaw(YMatrix* dst, float angle)
{
    fm_euler::RotationX(dst, angle, g_fastMath.FastSinCos);
}

void MatrixRotationYRaw(YMatrix* dst, float angle)
{
    fm_euler::RotationY(dst, angle, g_fastMath.FastSinCos);
}

void MatrixRotationZRaw(YMatrix* dst, float angle)
{
    fm_euler::RotationZ(dst, angle, g_fastMath.FastSinCos);
}

YMatrix* MakeZeroMatrix(YMatrix* out)
{
    MatrixZero(&g_scratch);
    return CopyOut(out);
}

YMatrix* MakeIdentityMatrix(YMatrix* out)
{
    MatrixIdentity(&g_scratch);
    return CopyOut(out);
}

YMatrix* MatrixRotationX(YMatrix* out, float angle)
{
    MatrixRotationXRaw(&g_scratch, angle);
    return CopyOut(out);
}

YMatrix* MatrixRotationY(YMatrix* out, float angle)
{
    MatrixRotationYRaw(&g_scratch, angle);
    return CopyOut(out);
}

YMatrix* MatrixRotationZ(YMatrix* out, float angle)
{
    MatrixRotationZRaw(&g_scratch, angle);
    return CopyOut(out);
}

YMatrix* MatrixTranslationOut(YMatrix* out, float x, float y, float z)
{
    MatrixTranslation(&g_scratch, x, y, z);
    return CopyOut(out);
}

YMatrix* MatrixScalingOut(YMatrix* out, float sx, float sy, float sz)
{
    MatrixScaling(&g_scratch, sx, sy, sz);
    return CopyOut(out);
}

YMatrix* MatrixMultiplyAffineOut(YMatrix* out, const YMatrix* a, const YMatrix* b)
{
    MatrixMultiplyAffine(&g_scratch, a, b);
    return CopyOut(out);
}
