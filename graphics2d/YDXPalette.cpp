#include "graphics2d/YDXPalette.h"

#include "graphics2d/YDXMethod.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YDXSurfaceSource.h"

IMPLEMENT_DYNAMIC(YDXPalette, CObject)

namespace {
// The twenty colours Windows keeps at both ends of the palette.
const BYTE kLowSystemColours[10][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},     {128, 128, 0},
                                       {0, 0, 128},     {128, 0, 128}, {0, 128, 128},   {192, 192, 192},
                                       {192, 220, 192}, {166, 202, 240}};
const BYTE kHighSystemColours[10][3] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},
                                        {0, 255, 0},     {255, 255, 0},   {0, 0, 255},     {255, 0, 255},
                                        {0, 255, 255},   {255, 255, 255}};
}  // namespace

YDXPalette::YDXPalette() : m_palette(nullptr), m_unused(0), m_lastResult(0)
{
    memset(m_entries, 0, sizeof m_entries);
    m_errorText[0] = '\0';
    m_method[0] = '\0';
}

YDXPalette::~YDXPalette()
{
    if (m_palette) m_palette->Release();
    m_palette = nullptr;
}

const char* YDXPalette::GetErrorText()
{
    rcv_snprintf(m_errorText, YDX_ERROR_TEXT - 36, "[YDXPalette::%s] : ", m_method);
    DDErrorName(m_lastResult, m_errorText);
    return m_errorText;
}

int YDXPalette::CreatePalette(YDXSurfaceSource* bitmap, YDXDraw* display, int setSystemColours)
{
    YDXMethod method(m_method, "CreatePalette");
    if (!bitmap || !display || !display->GetDirectDraw()) return 0;
    bitmap->GetPaletteEntries(0, 256, m_entries);
    for (PALETTEENTRY& entry : m_entries) entry.peFlags = 0;
    if (display->GetMode() == 1 && setSystemColours) {
        for (int i = 0; i < 10; ++i) {
            m_entries[i].peRed = kLowSystemColours[i][0];
            m_entries[i].peGreen = kLowSystemColours[i][1];
            m_entries[i].peBlue = kLowSystemColours[i][2];
            m_entries[246 + i].peRed = kHighSystemColours[i][0];
            m_entries[246 + i].peGreen = kHighSystemColours[i][1];
            m_entries[246 + i].peBlue = kHighSystemColours[i][2];
        }
    }
    if (display->GetMode() == 0) {
        for (PALETTEENTRY& entry : m_entries) entry.peFlags = PC_NOCOLLAPSE;
        for (int k = 0; k < 256; ++k) {
            if (k >= 10 && k < 246) continue;
            m_entries[k].peRed = static_cast<BYTE>(k);
            m_entries[k].peGreen = 0;
            m_entries[k].peBlue = 0;
            m_entries[k].peFlags = PC_EXPLICIT;
        }
    }
    if (m_palette) {
        m_palette->Release();
        m_palette = nullptr;
    }
    m_lastResult = display->GetDirectDraw()->CreatePalette(DDPCAPS_8BIT, m_entries, &m_palette, nullptr);
    if (m_lastResult != DD_OK) {
        m_palette = nullptr;
        GetErrorText();
        return 0;
    }
    return 1;
}

int YDXPalette::Draw(YDXSurface* surface)
{
    YDXMethod method(m_method, "Draw");
    if (!surface || !surface->GetSurface() || !m_palette) return 0;
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    m_lastResult = surface->GetSurface()->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (m_lastResult != DD_OK) {
        GetErrorText();
        return 0;
    }
    if (desc.dwWidth < 256 || desc.dwHeight < 256) {
        surface->GetSurface()->Unlock(nullptr);
        return 0;
    }
    uint8_t* bits = static_cast<uint8_t*>(desc.lpSurface);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) bits[static_cast<size_t>(y) * desc.lPitch + x] = static_cast<uint8_t>((y / 16) * 16 + x / 16);
    surface->GetSurface()->Unlock(nullptr);
    return 1;
}
