#include "graphics2d/YDIB.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YDIB, YResource, 1)

YDIB::YDIB() : m_transparentColor(0x00FF00FF), m_topDown(0), m_transparentIndex(-1) {}

void YDIB::Serialize(CArchive& ar)
{
    YResource::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_transparentIndex << m_transparentColor << m_topDown;
        ar << (DWORD)m_storedImage.size();
        if (!m_storedImage.empty()) ar.Write(m_storedImage.data(), (UINT)m_storedImage.size());
        return;
    }
    DWORD length = 0;
    ar >> m_transparentIndex >> m_transparentColor >> m_topDown >> length;
    ar.EnsureCanRead(length);
    m_storedImage.assign(length, 0);
    if (length && ar.Read(m_storedImage.data(), length) != length)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
}

int YDIB::Accept(YResourceVisitor* visitor) { return visitor->VisitDIB(this); }
