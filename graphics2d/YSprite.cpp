#include "graphics2d/YSprite.h"

#include "foundation/YResourceVisitor.h"
#include "graphics2d/YFrame.h"

IMPLEMENT_SERIAL(YSprite, YResource, VERSIONABLE_SCHEMA | 2)

YSprite::YSprite() : m_x(0), m_y(0), m_valueA(0), m_width(0), m_height(0), m_valueB(0), m_valueC(0), m_halfSize(0) {}

YSprite::~YSprite() { DeleteFrames(); }

void YSprite::DeleteFrames()
{
    while (!m_frames.IsEmpty()) delete m_frames.RemoveHead();
}

void YSprite::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        YResource::Serialize(ar);
        ar << m_name << m_x << m_y << m_valueA << m_width << m_height << m_valueB << m_valueC << m_halfSize;
        ar.WriteCount(m_frames.GetCount());
        for (POSITION pos = m_frames.GetHeadPosition(); pos;) ar.WriteObject(m_frames.GetNext(pos));
        return;
    }
    UINT schema = ar.GetObjectSchema();
    if (schema == (UINT)-1) schema = 2;
    if (schema > 2) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    YResource::Serialize(ar);
    if (schema >= 1) {
        ar >> m_name >> m_x >> m_y >> m_valueA >> m_width >> m_height >> m_valueB;
        if (schema >= 2) ar >> m_valueC >> m_halfSize;
    }
    DeleteFrames();
    DWORD count = ar.ReadCount();
    for (DWORD i = 0; i < count; ++i) {
        YFrame* frame = static_cast<YFrame*>(ar.ReadObject(RUNTIME_CLASS(YFrame)));
        if (frame && !m_frames.Find(frame)) m_frames.AddTail(frame);
    }
}

int YSprite::Accept(YResourceVisitor* visitor) { return visitor->VisitSprite(this); }
