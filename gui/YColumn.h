// One column of a list control: a header, a width, a text format and one
// cell string per row.
#pragma once

#include "platform/mfc.h"

class YColumn : public CObject {
    DECLARE_SERIAL(YColumn)
public:
    enum { kDefaultWidth = 50, kDefaultFormat = DT_CENTER };

    YColumn();

    // Header, width and cells; the format is not stored.
    void Serialize(CArchive& ar) override;

    CString m_header;
    int16_t m_width;
    CStringArray m_cells;
    uint32_t m_format;
};
