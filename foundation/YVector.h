// The engine's three-float value: a position or offset in metres, a direction,
// or an Euler-angle triple in degrees (x pitch, y yaw, z roll).
#pragma once

#include "foundation/YMatrix.h"

class CArchive;
class CString;

class YVector {
public:
    float x;
    float y;
    float z;

    YVector() : x(0.0f), y(0.0f), z(0.0f) {}
    YVector(float ax, float ay, float az) : x(ax), y(ay), z(az) {}

    // Arithmetic
    YVector operator+(const YVector& v) const;
    YVector& operator+=(const YVector& v);
    YVector operator-(const YVector& v) const;
    YVector& operator-=(const YVector& v);
    YVector operator*(float s) const;
    YVector& operator*=(float s);
    YVector operator/(float d) const;
    YVector& operator/=(float d);
    YVector operator*(const YMatrix& m) const;
    YVector& operator*=(const YMatrix& m);
    void TransformFrom(const YVector& v, const YMatrix& m);
    void TransformBy(const YMatrix& m);
    bool operator==(const YVector& v) const;
    bool operator!=(const YVector& v) const;
    void Negate();
    float Dot(const YVector& v) const;
    static YVector Cross(const YVector& a, const YVector& b);
    YVector Cross(const YVector& v) const;
    void CrossWith(const YVector& v);
    void Interpolate(const YVector& a, const YVector& b, float t0, float t1, float t);

    // Lengths and distances
    float LengthSquared() const;
    float Length() const;
    float FastLength() const;
    float DistanceSquared(const YVector& v) const;
    float FastDistance(const YVector& v) const;
    void Normalize();
    void SetLength(float len);
    bool IsNonZero() const;

    // Angles (degrees unless named otherwise)
    YVector FromAngles() const;
    void SetAngles(const YVector& angles);
    YVector ToAngles();
    float PitchRadians();
    float YawRadians();
    float RollRadians();
    void WrapAngles360();
    void WrapAngles180();
    void ToRadians();
    void ToDegrees();
    void Rotate(const YVector& angles);
    void RotateX(float angle);
    void RotateY(float angle);
    void RotateZ(float angle);
    void TurnBy(const YVector& delta);
    void TurnTowards(const YVector& target, float rate, float dt);

    // Text and archives
    CString ToString() const;
    void Serialize(CArchive& ar);
};

static_assert(sizeof(YVector) == 12, "YVector is three floats");

CArchive& operator<<(CArchive& ar, const YVector& v);
CArchive& operator>>(CArchive& ar, YVector& v);

// One angle brought into [0, 360); 0 for a value that is not finite.
float WrapAngle360(float angle);
// One angle folded into (-180, 180]; 0 for a value that is not finite.
float FoldAngle180(float angle);
