// 4 x 4 float matrix, row-major: element (r, c) is m[r][c], flat index 4r + c.
// Points are row vectors (p x M); row 3 holds the translation.
#pragma once

struct alignas(16) YMatrix {
    float m[4][4];

    float* Data() { return &m[0][0]; }
    const float* Data() const { return &m[0][0]; }
};

static_assert(sizeof(YMatrix) == 64, "YMatrix is 16 floats");

// Wrappers: each builds into one static scratch matrix through the fast-math
// table and copies it out, so out may also be an operand.  They return out.
YMatrix* MakeZeroMatrix(YMatrix* out);
YMatrix* MakeIdentityMatrix(YMatrix* out);
YMatrix* MatrixRotationX(YMatrix* out, float angle);
YMatrix* MatrixRotationY(YMatrix* out, float angle);
YMatrix* MatrixRotationZ(YMatrix* out, float angle);
YMatrix* MatrixTranslationOut(YMatrix* out, float x, float y, float z);
YMatrix* MatrixScalingOut(YMatrix* out, float sx, float sy, float sz);
YMatrix* MatrixMultiplyAffineOut(YMatrix* out, const YMatrix* a, const YMatrix* b);

// Single-axis rotations (radians) from the table's sine look-up.
void MatrixRotationXRaw(YMatrix* dst, float angle);
void MatrixRotationYRaw(YMatrix* dst, float angle);
void MatrixRotationZRaw(YMatrix* dst, float angle);
