// One variant of a texture handler: a texture file, the days of the year
// it is valid for and two scale values, with the texture once loaded.
#pragma once

#include "platform/mfc.h"

class YTexture2;

class YTextureData : public CObject {
    DECLARE_SERIAL(YTextureData)
public:
    YTextureData() = default;
    ~YTextureData() override;
    YTextureData(const YTextureData&) = delete;
    YTextureData& operator=(const YTextureData&) = delete;

    // File name, first day, last day, scale 1, scale 2.
    void Serialize(CArchive& ar) override;

    YTexture2* m_pTexture = nullptr;  // owned; null until the variant is loaded
    CString m_strFileName;            // relative to the handler's folder
    LONG m_iFirstDay = 1;
    LONG m_iLastDay = 365;
    float m_fScale1 = 1.0f;
    float m_fScale2 = 1.0f;
};
