// The lens-flare sources: their store of time-keyed elements, the current
// element at a time of day and the moon's image by the phase on the
// renderer's date.
#include <cmath>

#include "foundation/YFastMath.h"
#include "foundation/YVector.h"
#include "renderer/YD3D6Parser.h"

namespace {
void AddScaled(float* to, const float* from, const float* next, float f)
{
    for (int i = 0; i < 3; ++i) to[i] += (next[i] - from[i]) * f;
}
}  // namespace

YD3D6CelestialObject* YD3D6Parser::GetCelestialObject(int source) const
{
    if (source < 0 || size_t(source) >= m_celestials.size()) return nullptr;
    return m_celestials[size_t(source)].get();
}

int YD3D6Parser::InsertFlareElement(int source, const void* element)
{
    if (!element || source < -1 || source >= int(m_celestials.size())) return -1;
    const YFlareElement& e = *static_cast<const YFlareElement*>(element);
    if (source == -1) {
        m_celestials.emplace_back(new YD3D6CelestialObject(e));
        m_flareSourceCount = int32_t(m_celestials.size());
        return m_flareSourceCount;
    }
    YD3D6CelestialObject& s = *m_celestials[size_t(source)];
    s.m_elements.push_back(YD3D6CelestialObject::Stored(e));
    return s.ElementCount();
}

int YD3D6Parser::GetFlareElementCount(int source)
{
    const YD3D6CelestialObject* s = GetCelestialObject(source);
    return s ? s->ElementCount() : -1;
}

void* YD3D6Parser::GetFlareElement(int source, int element)
{
    YD3D6CelestialObject* s = GetCelestialObject(source);
    if (!s) return nullptr;
    if (element == -1) return &s->m_current;
    if (element < 0 || element >= s->ElementCount()) return nullptr;
    return &s->m_elements[size_t(element)];
}

int YD3D6Parser::RemoveFlareElement(int source, int element)
{
    YD3D6CelestialObject* s = GetCelestialObject(source);
    if (!s || element < 0 || element >= s->ElementCount()) return -1;
    if (s->ElementCount() < 2) {
        RemoveFlareSource(source);
        return -2;
    }
    s->m_elements.erase(s->m_elements.begin() + element);
    return s->ElementCount();
}

int YD3D6Parser::RemoveFlareSource(int source)
{
    if (!GetCelestialObject(source)) return -1;
    m_celestials.erase(m_celestials.begin() + source);
    if (m_celestials.empty()) std::vector<std::unique_ptr<YD3D6CelestialObject>>().swap(m_celestials);
    m_flareSourceCount = int32_t(m_celestials.size());
    return m_flareSourceCount;
}

void YD3D6Parser::FreeFlareSources()
{
    std::vector<std::unique_ptr<YD3D6CelestialObject>>().swap(m_celestials);
    m_flareSourceCount = 0;
}

void YD3D6Parser::UpdateFlareSource(int source, int seconds, void* target)
{
    YD3D6CelestialObject* s = GetCelestialObject(source);
    if (!s || s->m_elements.empty()) return;
    YFlareElement& out = target ? *static_cast<YFlareElement*>(target) : s->m_current;
    const int64_t t = seconds;
    const YFlareElement *previous = nullptr, *next = nullptr;
    int64_t previousKey = -1, nextKey = 90000;
    for (const YFlareElement& e : s->m_elements) {
        const int64_t key = int64_t(e.m_timeKey) * 60;
        if (key <= t && (!previous || key > previousKey)) previous = &e, previousKey = key;
        if (key >= t && key < nextKey) next = &e, nextKey = key;
    }
    if (!previous) previous = next, previousKey = nextKey;
    if (!next) next = previous, nextKey = previousKey;
    if (!previous) previous = next = &s->m_elements[0], previousKey = nextKey = int64_t(previous->m_timeKey) * 60;
    const int64_t span = nextKey - previousKey;
    const float f = span != 0 ? float(t - previousKey) / float(span) : 0.0f;

    out = *previous;
    AddScaled(out.m_valuesC, previous->m_valuesC, next->m_valuesC, f);
    AddScaled(out.m_valuesB, previous->m_valuesB, next->m_valuesB, f);
    AddScaled(out.m_valuesA, previous->m_valuesA, next->m_valuesA, f);
    AddScaled(out.m_direction, previous->m_direction, next->m_direction, f);
    const YVector d(out.m_direction[0], out.m_direction[1], out.m_direction[2]);
    const float length = VectorFastLength(&d);
    if (length != 0.0f)
        for (float& c : out.m_direction) c /= length;

    // The whole second of the day: 16 bits would wrap in the evening.
    out.m_timeKey = uint32_t(seconds);
    out.m_indexCount = uint8_t(s->m_images.size());
    out.m_flags = s->m_flags;
    out.m_indices = s->m_images.empty() ? nullptr : s->m_images.data();
    if (!s->m_images.empty()) s->m_currentImage = s->m_images[0];
    if (s->m_flags & YFlareElement::kFlagMoon) ApplyMoonPhase(*s, out);
}

int YD3D6Parser::MoonPhaseDay(int year, int month, int day)
{
    int r = (year % 100) % 19;
    if (r > 9) r -= 19;
    r = (r * 11) % 30;
    if (month <= 1) month += 2;
    const int p = r + month + day - (year < 2000 ? 4 : 8);
    return p % 30;
}

void YD3D6Parser::ApplyMoonPhase(YD3D6CelestialObject& moon, YFlareElement& out)
{
    const CTime date(m_clock);
    const int p = MoonPhaseDay(date.GetYear(), date.GetMonth(), date.GetDay());
    const int count = int(moon.m_images.size());
    // Without images the moon keeps no image.
    if (count > 0) {
        float i = float(p) * (1.0f / 29.0f) * float(count);
        if (i >= float(count)) i = float(count - 1);
        if (i < 0.0f) i = 0.0f;
        moon.m_currentImage = moon.m_images[size_t(int(i))];
    }
    for (const std::unique_ptr<YD3D6CelestialObject>& s : m_celestials) {
        if (s->m_light != 1 || s->m_images.size() != 1) continue;
        for (int k = 0; k < 3; ++k) m_rememberedSun[k] = s->m_current.m_direction[k];
        break;
    }
    out.m_rotation = std::atan2(out.m_direction[0] - m_rememberedSun[0], out.m_direction[1] - m_rememberedSun[1]) +
                     1.57075f + (p > 14 ? 3.14159f : 0.0f);
}
