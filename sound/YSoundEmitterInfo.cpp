#include "sound/YSoundEmitterInfo.h"

int YSoundEmitterInfo::Reset()
{
    m_value1 = m_value2 = m_value3 = m_value4 = m_value5 = m_value6 = 0;
    m_coneInside = 360.0f;
    m_coneOutside = 360.0f;
    m_value9 = 0;
    m_maxDistance = 200.0f;
    m_minDistance = 5.0f;
    m_value12 = m_value13 = 0;
    return 0;
}

void YSoundEmitterInfo::CopyFrom(const YSoundEmitterInfo& other)
{
    m_value1 = other.m_value1;
    m_value2 = other.m_value2;
    m_value3 = other.m_value3;
    m_value4 = other.m_value4;
    m_value5 = other.m_value5;
    m_value6 = other.m_value6;
    m_coneInside = other.m_coneInside;
    m_coneOutside = other.m_coneOutside;
    m_value9 = other.m_value9;
    m_maxDistance = other.m_maxDistance;
    m_minDistance = other.m_minDistance;
    m_value12 = other.m_value12;
    m_value13 = other.m_value13;
}

namespace {
void Exchange(CArchive& ar, int32_t& value)
{
    if (ar.IsStoring()) {
        ar << LONG(value);
    } else {
        LONG read = 0;
        ar >> read;
        value = int32_t(read);
    }
}

void Exchange(CArchive& ar, float& value)
{
    if (ar.IsStoring())
        ar << value;
    else
        ar >> value;
}
}  // namespace

void YSoundEmitterInfo::Serialize(CArchive& ar)
{
    Exchange(ar, m_value4);
    Exchange(ar, m_coneInside);
    Exchange(ar, m_coneOutside);
    Exchange(ar, m_value9);
    Exchange(ar, m_value12);
    Exchange(ar, m_value13);
    Exchange(ar, m_value2);
    Exchange(ar, m_value5);
    Exchange(ar, m_value1);
    Exchange(ar, m_value6);
    Exchange(ar, m_value3);
    Exchange(ar, m_minDistance);
    Exchange(ar, m_maxDistance);
}
