// The catalog bitmap font.  So far it carries its description: the name of
// the glyph picture and the number of glyph columns in it.
#pragma once

#include "foundation/YResource.h"

class YFont : public YResource {
    DECLARE_SERIAL(YFont)
public:
    YFont();

    // The ".fnt" layout: image name, column count.
    void Serialize(CArchive& ar) override;
    int Accept(YResourceVisitor* visitor) override;

    CString m_imageName;
    LONG m_columns;
};
