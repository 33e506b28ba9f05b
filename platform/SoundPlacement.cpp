#include "platform/SoundPlacement.h"

#include <cmath>

namespace platform {
namespace {
const float kSpeedOfSound = 343.0f;  // metres per second

float Dot(const D3DVECTOR& a, const D3DVECTOR& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
D3DVECTOR Sub(const D3DVECTOR& a, const D3DVECTOR& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
D3DVECTOR Scale(const D3DVECTOR& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
D3DVECTOR Cross(const D3DVECTOR& a, const D3DVECTOR& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Length(const D3DVECTOR& a) { return std::sqrt(Dot(a, a)); }
D3DVECTOR Unit(const D3DVECTOR& a, const D3DVECTOR& fallback)
{
    const float length = Length(a);
    return length > 1e-6f ? Scale(a, 1.0f / length) : fallback;
}
}  // namespace

float SoundPlacement::Gain(LONG hundredthsOfDecibel)
{
    if (hundredthsOfDecibel <= DSBVOLUME_MIN) return 0.0f;
    if (hundredthsOfDecibel >= 0) return 1.0f;
    return std::pow(10.0f, float(hundredthsOfDecibel) / 2000.0f);
}

SoundPlacement SoundPlacement::Compute(const DS3DBUFFER& buffer, const DS3DLISTENER& listener, bool muteAtMax)
{
    SoundPlacement placement;
    if (buffer.dwMode == DS3DMODE_DISABLE) return placement;
    const bool headRelative = buffer.dwMode == DS3DMODE_HEADRELATIVE;

    // The source in the listener's frame: x right, y up, z front.
    const D3DVECTOR relative = headRelative ? buffer.vPosition : Sub(buffer.vPosition, listener.vPosition);
    D3DVECTOR local = relative;
    if (!headRelative) {
        const D3DVECTOR front = Unit(listener.vOrientFront, {0, 0, 1});
        const D3DVECTOR top = Unit(Sub(listener.vOrientTop, Scale(front, Dot(listener.vOrientTop, front))), {0, 1, 0});
        const D3DVECTOR right = Cross(top, front);
        local = {Dot(relative, right), Dot(relative, top), Dot(relative, front)};
    }
    const float distance = Length(relative);

    // Roll-off: full inside the minimum distance, then (min / d) ^ rolloff,
    // held at the maximum distance.
    float gain = 1.0f;
    const float minimum = buffer.flMinDistance;
    const float maximum = buffer.flMaxDistance > minimum ? buffer.flMaxDistance : minimum;
    if (muteAtMax && distance > maximum) {
        gain = 0.0f;
    } else if (distance > minimum && minimum > 0.0f) {
        const float held = distance < maximum ? distance : maximum;
        gain = std::pow(minimum / held, listener.flRolloffFactor);
    }

    // Sound cone: full inside half the inside angle, the outside volume past
    // half the outside angle, between them the decibels blend.
    const float coneLength = Length(buffer.vConeOrientation);
    if ((buffer.dwInsideConeAngle < 360 || buffer.dwOutsideConeAngle < 360) && coneLength > 1e-6f && distance > 1e-6f) {
        const D3DVECTOR toListener = Scale(relative, -1.0f / distance);
        float cosine = Dot(buffer.vConeOrientation, toListener) / coneLength;
        cosine = cosine > 1.0f ? 1.0f : (cosine < -1.0f ? -1.0f : cosine);
        const float angle = std::acos(cosine) * 360.0f / 3.14159265f;  // doubled, to compare with the full angles
        LONG decibels = 0;
        if (angle >= float(buffer.dwOutsideConeAngle)) {
            decibels = buffer.lConeOutsideVolume;
        } else if (angle > float(buffer.dwInsideConeAngle)) {
            const float span = float(buffer.dwOutsideConeAngle) - float(buffer.dwInsideConeAngle);
            decibels = LONG(buffer.lConeOutsideVolume * (angle - float(buffer.dwInsideConeAngle)) / span);
        }
        gain *= Gain(decibels);
    }

    // Panning: the far ear loses what the source leans to the other side.
    float lateral = distance > 1e-6f ? local.x / distance : 0.0f;
    lateral = lateral > 1.0f ? 1.0f : (lateral < -1.0f ? -1.0f : lateral);
    placement.left = gain * (lateral > 0.0f ? 1.0f - lateral : 1.0f);
    placement.right = gain * (lateral < 0.0f ? 1.0f + lateral : 1.0f);

    // Doppler: speeds along the line between them, in metres per second.
    if (listener.flDopplerFactor > 0.0f && distance > 1e-6f) {
        const D3DVECTOR toSource = Scale(relative, 1.0f / distance);
        const float metres = listener.flDistanceFactor > 0.0f ? listener.flDistanceFactor : 1.0f;
        const float towardSource = headRelative ? 0.0f : Dot(listener.vVelocity, toSource) * metres;
        const float away = Dot(buffer.vVelocity, toSource) * metres;
        const float factor = listener.flDopplerFactor;
        const float below = kSpeedOfSound + factor * away;
        float pitch = below > 1.0f ? (kSpeedOfSound + factor * towardSource) / below : 4.0f;
        placement.pitch = pitch < 0.25f ? 0.25f : (pitch > 4.0f ? 4.0f : pitch);
    }
    return placement;
}
}  // namespace platform
