#include "graphics2d/YFrame.h"

#include "foundation/YResourceVisitor.h"

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
