// One name/value pair of a data collection.
#pragma once

#include "foundation/YString.h"
#include "platform/mfc.h"

// The 8-bit name hash of data collections; letters fold to lower case.
uint8_t HashKey(const char* text);
// Keeps YString arguments away from the map classes' HashKey template.
inline uint8_t HashKey(const YString& text)
{
    return HashKey(static_cast<const char*>(text.GetBuffer()));
}

class YDataElement : public CObject {
    DECLARE_SERIAL(YDataElement)
public:
    YDataElement();
    YDataElement(const YDataElement& other);
    YDataElement& operator=(const YDataElement& other);
    ~YDataElement() override;

    void Serialize(CArchive& ar) override;

    virtual int Clear();
    virtual void Assign(const YDataElement& other);

    // Recomputes both cached hashes from the texts.
    void Rehash();

    uint8_t m_nameHash;
    uint8_t m_valueHash;
    YString m_name;
    YString m_value;
    uint32_t m_user;
};
