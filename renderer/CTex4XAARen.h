// The silhouette rasteriser at 4 x 4 samples per pixel, box-filtered;
// it renders images of at most 64 x 64 pixels.
#pragma once

#include "renderer/CTexRen.h"

class CTex4XAARen : public CTexRen {
public:
    CTex4XAARen();
    ~CTex4XAARen() override;

private:
    enum { kBufferBytes = 65568 };
    explicit CTex4XAARen(uint8_t* buffer);

    uint8_t* m_buffer;
};
