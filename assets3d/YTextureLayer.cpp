#include "assets3d/YTextureLayer.h"

#include <cstring>

size_t YTextureLayer::RGBSize() const
{
    if (m_iPitch <= 0 || m_iHeight <= 0) return 0;
    return static_cast<size_t>(m_iPitch) * static_cast<size_t>(m_iHeight);
}

size_t YTextureLayer::AlphaSize() const
{
    if (m_iWidth <= 0 || m_iHeight <= 0) return 0;
    return static_cast<size_t>(m_iWidth) * static_cast<size_t>(m_iHeight);
}

bool YTextureLayer::AllocateRGB()
{
    delete[] m_pRGB;
    m_pRGB = nullptr;
    size_t size = RGBSize();
    if (size == 0) return false;
    m_pRGB = new BYTE[size]();
    return true;
}

bool YTextureLayer::AllocateAlpha(BYTE value)
{
    delete[] m_pAlpha;
    m_pAlpha = nullptr;
    size_t size = AlphaSize();
    if (size == 0) return false;
    m_pAlpha = new BYTE[size];
    std::memset(m_pAlpha, value, size);
    return true;
}

void YTextureLayer::FreePixels()
{
    delete[] m_pRGB;
    delete[] m_pAlpha;
    m_pRGB = nullptr;
    m_pAlpha = nullptr;
}
