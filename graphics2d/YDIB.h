// The catalog bitmap.  So far it carries its archive form: the colour-key
// values and the stored picture, a TGA image, kept as stored.
#pragma once

#include <vector>

#include "foundation/YResource.h"

class YDIB : public YResource {
    DECLARE_SERIAL(YDIB)
public:
    YDIB();

    void Serialize(CArchive& ar) override;
    int Accept(YResourceVisitor* visitor) override;

    LONG GetTransparentIndex() const { return m_transparentIndex; }
    void SetTransparentIndex(LONG index) { m_transparentIndex = index; }
    DWORD m_transparentColor;
    DWORD m_topDown;
    // The picture's bytes as the archive holds them.
    std::vector<BYTE> m_storedImage;

private:
    LONG m_transparentIndex;
};
