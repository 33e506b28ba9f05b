#include "assets3d/YTextureData.h"

#include "assets3d/YTexture2.h"

IMPLEMENT_SERIAL(YTextureData, CObject, 1)

YTextureData::~YTextureData() { delete m_pTexture; }

void YTextureData::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_strFileName << m_iFirstDay << m_iLastDay << m_fScale1 << m_fScale2;
    else
        ar >> m_strFileName >> m_iFirstDay >> m_iLastDay >> m_fScale1 >> m_fScale2;
}
