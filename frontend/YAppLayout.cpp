#include "frontend/YAppLayout.h"

#include <new>

#include "engine/YGameObjects.h"
#include "frontend/YAppLayoutItemRender.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/YDXSurface.h"
#include "gui/YDC.h"
#include "input/YInputObj.h"
#include "renderer/YGraphics.h"

IMPLEMENT_DYNAMIC(YAppLayout, YLayout)

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kBlue = RGB(0, 0, 255);
const int kFrameWidth = 92, kFrameHeight = 12;
const int kBarWidth = 98, kBarHeight = 10;
const int kDigitWidth = 16, kDigitHeight = 24;

YDXSurface* NewSystemSurface(YDXDraw* graphics, const char* name, int width, int height)
{
    if (!graphics) return nullptr;
    YDXSurface* surface = new (std::nothrow) YDXSurface(name);
    if (!surface) return nullptr;
    if (!surface->CreateSurface(graphics, static_cast<DWORD>(width), static_cast<DWORD>(height),
                                DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr)) {
        delete surface;
        return nullptr;
    }
    return surface;
}

// A rectangle from the left edge, filled and outlined in one colour.
void FillFromLeft(YDC* dc, int right, int bottom, COLORREF colour)
{
    const RECT rect = {0, 0, right, bottom};
    CBrush brush(colour);
    CPen pen(PS_SOLID, 1, colour);
    dc->Rectangle(&rect, &brush, &pen);
}

void DeleteSurface(YDXSurface*& surface)
{
    delete surface;
    surface = nullptr;
}

}  // namespace

YAppLayout::YAppLayout()
    : m_pGuageFrame(nullptr),
      m_pGuageBar(nullptr),
      m_nValueCalls(0),
      m_nValueTicks(0),
      m_nFloatCalls(0),
      m_nFloatTicks(0),
      m_nTextCalls(0),
      m_nTextTicks(0),
      m_vCameraAngles(0.0f, 0.0f, 0.0f),
      m_vCameraPos(0.0f, 0.0f, 0.0f)
{
    for (YDXSurface*& digit : m_pDigits) digit = nullptr;
}

YAppLayout::~YAppLayout()
{
    KeyboardOn(true);
    MarkResources(false);
    PurgeResources();
    DeleteHudImages();
}

void YAppLayout::DeleteHudImages()
{
    DeleteSurface(m_pGuageFrame);
    DeleteSurface(m_pGuageBar);
    for (YDXSurface*& digit : m_pDigits) DeleteSurface(digit);
}

BOOL YAppLayout::ReleaseSurfaces()
{
    DeleteHudImages();
    return YLayout::ReleaseSurfaces();
}

int YAppLayout::Draw(YDC* dc)
{
    UpdateCamera();
    m_nValueCalls = m_nValueTicks = 0;
    m_nFloatCalls = m_nFloatTicks = 0;
    m_nTextCalls = m_nTextTicks = 0;
    if (dc && (!m_pGuageFrame || !m_pGuageBar)) {
        YDXSurface* target = dc->GetSurface();
        if (!m_pGuageFrame) MakeGuageFrame(dc);
        if (!m_pGuageBar) MakeGuageBar(dc);
        if (!m_pDigits[0]) MakeDigits(dc);
        dc->SetSurface(target);
    }
    return YLayout::Draw(dc);
}

void YAppLayout::MakeGuageFrame(YDC* dc)
{
    m_pGuageFrame = NewSystemSurface(GetDisplay(), "GuageFrame", kFrameWidth, kFrameHeight);
    if (!m_pGuageFrame) return;
    m_pGuageFrame->SetTransparentColor(kMagenta);
    dc->SetSurface(m_pGuageFrame);
    FillFromLeft(dc, kFrameWidth, kFrameHeight, kMagenta);
    const RECT rect = {0, 0, kFrameWidth, kFrameHeight};
    CBrush blue(kBlue);
    dc->FrameRect(&rect, &blue);
}

void YAppLayout::MakeGuageBar(YDC* dc)
{
    m_pGuageBar = NewSystemSurface(GetDisplay(), "GuageBar", kBarWidth, kBarHeight);
    if (!m_pGuageBar) return;
    dc->SetSurface(m_pGuageBar);
    FillFromLeft(dc, kBarWidth, kBarHeight, RGB(31, 248, 96));
    FillFromLeft(dc, 25, kBarHeight, RGB(248, 253, 47));
    FillFromLeft(dc, 10, kBarHeight, RGB(253, 45, 25));
}

void YAppLayout::MakeDigits(YDC* dc)
{
    for (int n = 0; n < kDigitCount; ++n) {
        CString name;
        name.Format("Small %d", n);
        YDXSurface* digit = NewSystemSurface(GetDisplay(), name, kDigitWidth, kDigitHeight);
        m_pDigits[n] = digit;
        if (!digit) continue;
        digit->SetTransparentColor(kMagenta);
        dc->SetSurface(digit);
        FillFromLeft(dc, kDigitWidth, kDigitHeight, kMagenta);
        HDC hdc = nullptr;
        if (!digit->GetDC(&hdc) || !hdc) continue;
        SetBkMode(hdc, TRANSPARENT);
        CFont font;
        font.CreatePointFont(120, "arial black");
        HGDIOBJ previous = SelectObject(hdc, static_cast<HFONT>(font));
        SetTextColor(hdc, kBlue);
        const char character = static_cast<char>('0' + n);
        TextOutA(hdc, 0, 0, &character, 1);
        SelectObject(hdc, previous);
        digit->ReleaseDC(hdc);
        font.DeleteObject();
    }
}

void YAppLayout::SetRefresh() { YLayout::SetRefresh(); }

YDIB* YAppLayout::GetDIB(const char* name, bool* created)
{
    YDIB* dib = YLayout::GetDIB(name, created);
    if (dib && !dib->HasSurface())
        if (YDXDraw* display = GetDisplay()) dib->CreateSurfaces(display);
    return dib;
}

YCatalog* YAppLayout::GetCatalog()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_catalog : nullptr;
}

YGraphics* YAppLayout::GetGraphics()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_graphics : nullptr;
}

YLayoutItem* YAppLayout::CreateAppItem(const char* token)
{
    if (token && _stricmp(token, "renderframe") == 0) return new (std::nothrow) YAppLayoutItemRender;
    return nullptr;
}

void YAppLayout::ExecuteCommand(const char* text)
{
    if (YGameObjects* engine = YGameObjects::Existing()) engine->ExecuteCommand(text);
}

void YAppLayout::ExecuteCommandWithText(const char* command, const char* text)
{
    if (YGameObjects* engine = YGameObjects::Existing()) engine->ExecuteCommandWithText(command, text);
}

void YAppLayout::KeyboardOn(bool on)
{
    YGameObjects* engine = YGameObjects::Existing();
    if (engine && engine->m_input) engine->m_input->m_keyboard.SetActive(on);
}

void YAppLayout::OnIdle() {}
