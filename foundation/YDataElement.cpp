#include "foundation/YDataElement.h"

IMPLEMENT_SERIAL(YDataElement, CObject, 1)

uint8_t HashKey(const char* text)
{
    uint8_t h = 0;
    if (!text) return 0;
    for (int i = 0; text[i]; ++i) {
        unsigned c = static_cast<unsigned char>(text[i]);
        if (c >= 'A' && c <= 'Z') c += 32;
        h ^= static_cast<uint8_t>(((c - 0x40) & 0xFF) << (i % 3));
    }
    return h;
}

YDataElement::YDataElement() : m_nameHash(0), m_valueHash(0), m_user(0) {}

YDataElement::YDataElement(const YDataElement& other) : CObject(), m_nameHash(0), m_valueHash(0), m_user(0)
{
    Assign(other);
}

YDataElement& YDataElement::operator=(const YDataElement& other)
{
    if (this != &other) Assign(other);
    return *this;
}

YDataElement::~YDataElement() {}

void YDataElement::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_name << m_value << static_cast<DWORD>(m_user);
    } else {
        // A stored empty string leaves the old text, so start from blank.
        Clear();
        DWORD user = 0;
        ar >> m_name >> m_value >> user;
        m_user = user;
    }
    Rehash();
}

int YDataElement::Clear()
{
    m_name.Empty();
    m_value.Empty();
    m_user = 0;
    m_nameHash = 0;
    m_valueHash = 0;
    return 0;
}

void YDataElement::Assign(const YDataElement& other)
{
    m_name = other.m_name;
    m_value = other.m_value;
    m_user = other.m_user;
    Rehash();
}

void YDataElement::Rehash()
{
    m_nameHash = HashKey(m_name);
    m_valueHash = HashKey(m_value);
}
