#include "graphics2d/YModelFrame.h"

IMPLEMENT_SERIAL(YModelFrame, CObject, 1)

YModelFrame::YModelFrame() : m_unused(0), m_valueK(1.0f), m_valueP(0), m_valueQ(0), m_valueR(0), m_valueS(0) {}

void YModelFrame::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_name << m_secondName << m_valueK << m_valueS << m_valueP << m_valueQ << m_valueR;
    else
        ar >> m_name >> m_secondName >> m_valueK >> m_valueS >> m_valueP >> m_valueQ >> m_valueR;
}
