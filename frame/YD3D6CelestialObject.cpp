#include "frame/YD3D6CelestialObject.h"

YD3D6CelestialObject::YD3D6CelestialObject(const YFlareElement& first)
    : m_kind(first.m_kind), m_flags(first.m_flags), m_current(Stored(first))
{
    if (first.m_indexCount && first.m_indices) m_images.assign(first.m_indices, first.m_indices + first.m_indexCount);
    m_elements.push_back(m_current);
}

YFlareElement YD3D6CelestialObject::Stored(const YFlareElement& element)
{
    YFlareElement stored = element;
    stored.m_indexCount = 0;
    stored.m_indices = nullptr;
    return stored;
}
