#include "graphics2d/YDXClipper.h"

#include "graphics2d/YDXMethod.h"
#include "graphics2d/YDXSurface.h"

#include <vector>

IMPLEMENT_DYNAMIC(YDXClipper, CObject)

YDXClipper::YDXClipper()
{
    m_clipper = nullptr;
    Init();
}

YDXClipper::~YDXClipper()
{
    if (m_clipper) m_clipper->Release();
    m_clipper = nullptr;
}

void YDXClipper::Init()
{
    m_clipper = nullptr;
    m_lastResult = 0;
    m_errorText[0] = '\0';
    m_method[0] = '\0';
}

const char* YDXClipper::GetErrorText()
{
    rcv_snprintf(m_errorText, YDX_ERROR_TEXT - 36, "[YDXClipper::%s] : ", m_method);
    DDErrorName(m_lastResult, m_errorText);
    return m_errorText;
}

int YDXClipper::CreateClipper(YDXDraw* display)
{
    YDXMethod method(m_method, "CreateClipper");
    if (!display || !display->GetDirectDraw()) return 0;
    if (m_clipper) {
        m_clipper->Release();
        m_clipper = nullptr;
    }
    m_lastResult = display->GetDirectDraw()->CreateClipper(0, &m_clipper, nullptr);
    if (m_lastResult != DD_OK) {
        m_clipper = nullptr;
        GetErrorText();
        return 0;
    }
    return 1;
}

int YDXClipper::SetHwnd(HWND window)
{
    YDXMethod method(m_method, "SetHwnd");
    if (!m_clipper) return 0;
    m_lastResult = m_clipper->SetHWnd(0, window);
    if (m_lastResult != DD_OK) {
        GetErrorText();
        return 0;
    }
    return 1;
}

int YDXClipper::SetBlock(RGNDATA* block)
{
    m_lastResult = m_clipper->SetClipList(block, 0);
    if (m_lastResult != DD_OK) {
        GetErrorText();
        return 0;
    }
    return 1;
}

int YDXClipper::SetClipList(YDXSurface* surface, RGNDATA* regionData)
{
    YDXMethod method(m_method, "SetClipList");
    if ((!surface && !regionData) || !m_clipper) return 0;
    if (regionData) return SetBlock(regionData);
    LONG width = surface ? static_cast<LONG>(surface->GetWidth()) : 0;
    LONG height = surface ? static_cast<LONG>(surface->GetHeight()) : 0;
    // Header and one rectangle: 48 bytes, freed on return.
    std::vector<uint8_t> block(sizeof(RGNDATAHEADER) + sizeof(RECT), 0);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(block.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = 1;
    data->rdh.nRgnSize = sizeof(RECT);
    RECT whole = {0, 0, width, height};
    data->rdh.rcBound = whole;
    memcpy(data->Buffer, &whole, sizeof whole);
    return SetBlock(data);
}

int YDXClipper::SetClipList(void* owner, const RECT* rectangles, int count)
{
    YDXMethod method(m_method, "SetClipList");
    if (!owner || !rectangles || !m_clipper || count < 0) return 0;
    std::vector<uint8_t> block((static_cast<size_t>(count) + 2) * sizeof(RECT), 0);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(block.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(count);
    data->rdh.nRgnSize = static_cast<DWORD>(count) * sizeof(RECT);
    RECT bounds = {0, 0, 640, 480};
    data->rdh.rcBound = bounds;
    if (count) memcpy(data->Buffer, rectangles, static_cast<size_t>(count) * sizeof(RECT));
    return SetBlock(data);
}
