// The silhouette rasteriser at 2 x 2 samples per pixel, box-filtered;
// it renders images of at most 64 x 64 pixels.
#pragma once

#include "renderer/CTexRen.h"

class CTex2XAARen : public CTexRen {
public:
    CTex2XAARen();
    ~CTex2XAARen() override;

private:
    enum { kBufferBytes = 16416 };
    explicit CTex2XAARen(uint8_t* buffer);

    uint8_t* m_buffer;
};
