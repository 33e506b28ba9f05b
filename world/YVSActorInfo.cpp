#include "world/YVSActorInfo.h"

#include <memory>

IMPLEMENT_SERIAL(YVSActorInfo, CObject, 1)

YVSActorInfo::YVSActorInfo() : m_properties(new YDataCollection) {}

YVSActorInfo::~YVSActorInfo()
{
    delete m_properties;
}

void YVSActorInfo::Serialize(CArchive& ar)
{
    if (!m_properties) return;
    CArray<float, float>* arrays[] = {&m_floatsA, &m_floatsB, &m_floatsC, &m_floatsD};
    if (ar.IsStoring()) {
        m_properties->Serialize(ar);
        ar << m_vector << DWORD(1);
        for (CArray<float, float>* array : arrays) {
            ar << DWORD(array->GetSize());
            for (int i = 0; i < array->GetSize(); ++i) ar << array->GetAt(i);
        }
        return;
    }
    // Everything is read aside first, so that a short record keeps the old one.
    std::unique_ptr<YDataCollection> properties(new YDataCollection);
    properties->Serialize(ar);
    YVector vector;
    DWORD version;
    ar >> vector >> version;
    CArray<float, float> read[4];
    for (CArray<float, float>& values : read) {
        DWORD count;
        ar >> count;
        // No more than the bytes left can hold.
        ar.EnsureCanRead(static_cast<ULONGLONG>(count) * sizeof(float));
        values.SetSize(static_cast<int>(count));
        for (DWORD i = 0; i < count; ++i) ar >> values[static_cast<int>(i)];
    }
    delete m_properties;
    m_properties = properties.release();
    m_vector = vector;
    for (int k = 0; k < 4; ++k) arrays[k]->Copy(read[k]);
}
