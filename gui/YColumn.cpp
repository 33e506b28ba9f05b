#include "gui/YColumn.h"

IMPLEMENT_SERIAL(YColumn, CObject, 1)

YColumn::YColumn() : m_width(kDefaultWidth), m_format(kDefaultFormat) {}

void YColumn::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_header;
        ar << static_cast<WORD>(m_width);
    } else {
        WORD width;
        ar >> m_header;
        ar >> width;
        m_width = static_cast<int16_t>(width);
    }
    m_cells.Serialize(ar);
}
