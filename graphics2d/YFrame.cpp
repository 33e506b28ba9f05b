#include "graphics2d/YFrame.h"

#include <algorithm>

#include "foundation/YResourceVisitor.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/YDXSurface.h"

IMPLEMENT_SERIAL(YFrame, YResource, VERSIONABLE_SCHEMA | 3)

namespace {
void StoreRect(CArchive& ar, const RECT& rect) { ar << rect.left << rect.top << rect.right << rect.bottom; }
void LoadRect(CArchive& ar, RECT& rect) { ar >> rect.left >> rect.top >> rect.right >> rect.bottom; }
}  // namespace

YFrame::YFrame() : m_frameRect{0, 0, 0, 0}, m_tag(0), m_hotSpot{0, 0}, m_focusRect{0, 0, 0, 0}, m_halfSize(0) {}

void YFrame::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        YResource::Serialize(ar);
        ar << m_imageName << m_tag;
        StoreRect(ar, m_frameRect);
        ar << m_hotSpot.x << m_hotSpot.y;
        StoreRect(ar, m_focusRect);
        ar << m_halfSize << m_halfSizeSuffix;
        return;
    }
    UINT schema = ar.GetObjectSchema();
    if (schema == (UINT)-1) schema = 3;
    if (schema < 1 || schema > 3) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    YResource::Serialize(ar);
    ar >> m_imageName >> m_tag;
    LoadRect(ar, m_frameRect);
    ar >> m_hotSpot.x >> m_hotSpot.y;
    if (schema >= 2) LoadRect(ar, m_focusRect);
    if (schema >= 3) ar >> m_halfSize >> m_halfSizeSuffix;
    if (!IsSane()) AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
}

bool YFrame::IsSane() const
{
    const RECT& r = m_frameRect;
    const RECT& f = m_focusRect;
    for (LONG value : {r.left, r.top, r.right, r.bottom, m_hotSpot.x, m_hotSpot.y, f.left, f.top, f.right, f.bottom})
        if (!InExtent(value)) return false;
    return r.right >= r.left && r.bottom >= r.top;
}

YResource* YFrame::CopyTo(YResource* target)
{
    if (!target) target = new YFrame;
    YFrame* frame = DYNAMIC_DOWNCAST(YFrame, target);
    if (!frame) return target;
    YResource::CopyTo(frame);
    frame->m_frameRect = m_frameRect;
    frame->m_tag = m_tag;
    frame->m_hotSpot = m_hotSpot;
    frame->m_imageName = m_imageName;
    frame->m_focusRect = m_focusRect;
    frame->m_halfSize = m_halfSize;
    frame->m_halfSizeSuffix = m_halfSizeSuffix;
    return frame;
}

int YFrame::Accept(YResourceVisitor* visitor) { return visitor->VisitFrame(this); }

LONG YFrame::GetWidth()
{
    LONG width = m_frameRect.right - m_frameRect.left;
    return m_halfSize ? width * 2 : width;
}

LONG YFrame::GetHeight()
{
    LONG height = m_frameRect.bottom - m_frameRect.top;
    return m_halfSize ? height * 2 : height;
}

int YFrame::DrawImageToSurface(YDXSurface* surface, const char* dir)
{
    if (!surface) return 0;
    CString name = m_imageName;
    if (m_halfSize) {
        // The half-resolution picture carries the suffix before ".bmp".
        name.MakeLower();
        const int at = name.Find(".bmp");
        if (at >= 0) name.Insert(at, m_halfSizeSuffix);
    }
    CString path = name;
    const CString folder = dir ? dir : "";
    if (!folder.IsEmpty()) {
        const char last = folder[folder.GetLength() - 1];
        path = folder + (last == '\\' || last == '/' ? "" : "\\") + name;
    }
    YDIB dib;
    if (!dib.LoadFromFile(static_cast<LPCTSTR>(path))) return 0;

    // A picture larger than its slot is cut to the slot.
    const LONG slotWidth = m_frameRect.right - m_frameRect.left, slotHeight = m_frameRect.bottom - m_frameRect.top;
    const LONG width = std::min(dib.GetWidth(), slotWidth), height = std::min(dib.GetHeight(), slotHeight);
    if (width <= 0 || height <= 0) return 1;
    if (width == dib.GetWidth() && height == dib.GetHeight()) {
        dib.Draw(surface, m_frameRect.left, m_frameRect.top, SRCCOPY);
        return 1;
    }
    YDXSurface whole("frame picture");
    const DDSURFACEDESC2& desc = surface->GetDescription();
    const bool alpha = surface->IsAlphaSource();
    if (!(alpha ? whole.CreateAlphaSource(surface->GetDisplay(), dib.GetWidth(), dib.GetHeight())
                : whole.CreateSurface(surface->GetDisplay(), dib.GetWidth(), dib.GetHeight(), DDSCAPS_SYSTEMMEMORY,
                                      nullptr, 0, &desc.ddpfPixelFormat)))
        return 0;
    if (surface->GetSurface() && whole.GetSurface()) {
        IDirectDrawPalette* palette = nullptr;
        if (surface->GetSurface()->GetPalette(&palette) == DD_OK && palette) {
            whole.GetSurface()->SetPalette(palette);
            palette->Release();
        }
    }
    dib.Draw(&whole, 0, 0, SRCCOPY);
    RECT from = {0, 0, width, height};
    RECT to = {m_frameRect.left, m_frameRect.top, m_frameRect.left + width, m_frameRect.top + height};
    surface->Blt(&whole, &to, &from, 0, 0, 0);
    return 1;
}
