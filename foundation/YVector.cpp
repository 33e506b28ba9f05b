#include "foundation/YVector.h"

#include <cmath>

#include "foundation/YFastMath.h"
#include "platform/mfc.h"

namespace {
constexpr float kDegToRad = 0.017453292f;
constexpr float kRadToDeg = 57.29578f;
constexpr double kAtanToDeg = 57.29577951308232;
}  // namespace

float FoldAngle180(float angle)
{
    angle = WrapAngle360(angle);
    return angle > 180.0f ? angle - 360.0f : angle;
}

float WrapAngle360(float angle)
{
    if (!std::isfinite(angle)) return 0.0f;
    if (angle >= 360.0f || angle <= -360.0f) {
        // exact remainder first, so huge values need no steps; a multiple of
        // a turn lands on +0 as the stepping would
        angle = std::fmod(angle, 360.0f);
        if (angle == 0.0f) angle = 0.0f;
    }
    while (angle < 0.0f) angle += 360.0f;
    while (angle >= 360.0f) angle -= 360.0f;
    return angle;
}

YVector YVector::operator+(const YVector& v) const
{
    YVector r;
    VectorAdd(&r, this, &v);
    return r;
}

YVector& YVector::operator+=(const YVector& v)
{
    VectorAdd(this, this, &v);
    return *this;
}

YVector YVector::operator-(const YVector& v) const
{
    YVector r;
    VectorSubtract(&r, this, &v);
    return r;
}

YVector& YVector::operator-=(const YVector& v)
{
    VectorSubtract(this, this, &v);
    return *this;
}

YVector YVector::operator*(float s) const
{
    YVector r;
    VectorScale(&r, this, s);
    return r;
}

YVector& YVector::operator*=(float s)
{
    VectorScale(this, this, s);
    return *this;
}

YVector YVector::operator/(float d) const
{
    YVector r;
    VectorScale(&r, this, Reciprocal(d));
    return r;
}

YVector& YVector::operator/=(float d)
{
    VectorScale(this, this, Reciprocal(d));
    return *this;
}

YVector YVector::operator*(const YMatrix& m) const
{
    YVector r;
    VectorTransform(&r, this, &m);
    return r;
}

YVector& YVector::operator*=(const YMatrix& m)
{
    VectorTransform(this, this, &m);
    return *this;
}

void YVector::TransformFrom(const YVector& v, const YMatrix& m)
{
    const float nx = (v.x * m.m[0][0] + v.y * m.m[1][0]) + (v.z * m.m[2][0] + m.m[3][0]);
    const float ny = (v.x * m.m[0][1] + v.y * m.m[1][1]) + (v.z * m.m[2][1] + m.m[3][1]);
    const float nz = (v.x * m.m[0][2] + v.y * m.m[1][2]) + (v.z * m.m[2][2] + m.m[3][2]);
    x = nx;
    y = ny;
    z = nz;
}

void YVector::TransformBy(const YMatrix& m)
{
    TransformFrom(*this, m);
}

bool YVector::operator==(const YVector& v) const
{
    return VectorDiffers(this, &v) == 0;
}

bool YVector::operator!=(const YVector& v) const
{
    return VectorDiffers(this, &v) != 0;
}

void YVector::Negate()
{
    x = -x;
    y = -y;
    z = -z;
}

float YVector::Dot(const YVector& v) const
{
    return VectorDot(this, &v);
}

YVector YVector::Cross(const YVector& a, const YVector& b)
{
    YVector r;
    VectorCross(&r, &a, &b);
    return r;
}

YVector YVector::Cross(const YVector& v) const
{
    return Cross(*this, v);
}

void YVector::CrossWith(const YVector& v)
{
    VectorCross(this, this, &v);
}

void YVector::Interpolate(const YVector& a, const YVector& b, float t0, float t1, float t)
{
    if (t0 == t1) {
        *this = a;
        return;
    }
    const float f = (t - t0) / (t1 - t0);
    const YVector from = a, to = b;
    x = from.x + (to.x - from.x) * f;
    y = from.y + (to.y - from.y) * f;
    z = from.z + (to.z - from.z) * f;
}

float YVector::LengthSquared() const
{
    return VectorLengthSq(this);
}

float YVector::Length() const
{
    return VectorLength(this);
}

float YVector::FastLength() const
{
    return VectorFastLength(this);
}

float YVector::DistanceSquared(const YVector& v) const
{
    YVector d;
    VectorSubtract(&d, this, &v);
    return VectorLengthSq(&d);
}

float YVector::FastDistance(const YVector& v) const
{
    YVector d;
    VectorSubtract(&d, this, &v);
    return VectorFastLength(&d);
}

void YVector::Normalize()
{
    VectorNormalizeSafe(this, this);
}

void YVector::SetLength(float len)
{
    Normalize();
    VectorScale(this, this, len);
}

bool YVector::IsNonZero() const
{
    return x + y + z != 0.0f;
}

YVector YVector::FromAngles() const
{
    float sp, cp, sw, cw;
    FastSinCosDeg(&sp, &cp, x);
    FastSinCosDeg(&sw, &cw, y);
    return YVector(sw * cp, sp, cw * cp);
}

void YVector::SetAngles(const YVector& angles)
{
    const float len = Length();
    *this = angles.FromAngles();
    SetLength(len);
}

YVector YVector::ToAngles()
{
    const float len = Length();
    Normalize();
    YVector angles;
    if (x == 0.0f && z == 0.0f) {
        angles = YVector(y > 0.0f ? 90.0f : 270.0f, 0.0f, 0.0f);
    } else {
        const float h = ApproxSqrt(x * x + z * z);
        float yaw = static_cast<float>(std::atan2(double(x), double(z)) * kAtanToDeg);
        float pitch = static_cast<float>(std::atan2(double(y), double(h)) * kAtanToDeg);
        if (yaw < 0.0f) yaw += 360.0f;
        if (pitch < 0.0f) pitch += 360.0f;
        angles = YVector(pitch, yaw, 0.0f);
    }
    SetLength(len);
    angles.WrapAngles360();
    return angles;
}

float YVector::PitchRadians()
{
    return ToAngles().x * kDegToRad;
}

float YVector::YawRadians()
{
    return ToAngles().y * kDegToRad;
}

float YVector::RollRadians()
{
    return ToAngles().z * kDegToRad;
}

void YVector::WrapAngles360()
{
    x = WrapAngle360(x);
    y = WrapAngle360(y);
    z = WrapAngle360(z);
}

void YVector::WrapAngles180()
{
    if (x > 180.0f) x -= 360.0f;
    if (y > 180.0f) y -= 360.0f;
    if (z > 180.0f) z -= 360.0f;
}

void YVector::ToRadians()
{
    x *= kDegToRad;
    y *= kDegToRad;
    z *= kDegToRad;
}

void YVector::ToDegrees()
{
    x *= kRadToDeg;
    y *= kRadToDeg;
    z *= kRadToDeg;
}

void YVector::Rotate(const YVector& angles)
{
    VectorRotateByAngles(this, this, &angles);
}

void YVector::RotateX(float angle)
{
    Rotate(YVector(angle * kRadToDeg, 0.0f, 0.0f));
}

void YVector::RotateY(float angle)
{
    Rotate(YVector(0.0f, angle * kRadToDeg, 0.0f));
}

void YVector::RotateZ(float angle)
{
    Rotate(YVector(0.0f, 0.0f, angle * kRadToDeg));
}

void YVector::TurnBy(const YVector& delta)
{
    const float len = Length();
    Normalize();
    const float yaw = ToAngles().y;
    Rotate(YVector(0.0f, -yaw, 0.0f));
    Rotate(YVector(delta.x, 0.0f, 0.0f));
    Rotate(YVector(0.0f, yaw + delta.y, 0.0f));
    SetLength(len);
}

void YVector::TurnTowards(const YVector& target, float rate, float dt)
{
    const float step = rate * dt;
    const YVector a = ToAngles();
    YVector t = target;
    t.Normalize();
    t.TurnBy(YVector(-a.x, -a.y, 0.0f));
    YVector d = t.ToAngles();
    d.WrapAngles180();

    YVector turn;
    bool clamped = false;
    if (std::fabs(d.y) > step) {
        turn.y = d.y > 0.0f ? step : -step;
        clamped = true;
    }
    if (std::fabs(d.x) > step) {
        turn.x = d.x > 0.0f ? step : -step;
        clamped = true;
    }
    if (clamped) {
        TurnBy(turn);
        return;
    }
    const float len = Length();
    *this = target;
    SetLength(len);
}

CString YVector::ToString() const
{
    CString text;
    text.Format("[%10.05f, %10.05f, %10.05f]", x, y, z);
    return text;
}

void YVector::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << x << y << z;
    else
        ar >> x >> y >> z;
}

CArchive& operator<<(CArchive& ar, const YVector& v)
{
    return ar << v.x << v.y << v.z;
}

CArchive& operator>>(CArchive& ar, YVector& v)
{
    return ar >> v.x >> v.y >> v.z;
}
