#include "graphics2d/YFont.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YFont, YResource, 1)

YFont::YFont() : m_columns(0) {}

void YFont::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_imageName << m_columns;
    else
        ar >> m_imageName >> m_columns;
}

int YFont::Accept(YResourceVisitor* visitor) { return visitor->VisitFont(this); }
