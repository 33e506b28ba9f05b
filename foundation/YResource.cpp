#include "foundation/YResource.h"

IMPLEMENT_SERIAL(YResource, CObject, 1)

YResource::YResource() : m_version(1), m_dependents(new YResourceArray), m_id(0), m_bounds{0, 0, 0, 0} {}

YResource::~YResource() { delete m_dependents; }

void YResource::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_version;
    else
        ar >> m_version;
}

void YResource::Unload() {}

YResource* YResource::CopyTo(YResource* target)
{
    if (!target) target = new YResource;
    target->m_id = m_id;
    target->m_bounds = m_bounds;
    target->m_version = m_version;
    return target;
}

void YResource::OnNotify(DWORD) {}

void YResource::OnNotify2(DWORD, DWORD) {}

int YResource::RemoveReference(YResource* resource)
{
    for (int i = 0; i < m_dependents->GetSize(); ++i) {
        if (m_dependents->GetAt(i) == resource) m_dependents->SetAt(i, nullptr);
    }
    return 1;
}

BOOL YResource::LoadFromDirectories(CStringArray*, DWORD_PTR) { return TRUE; }
BOOL YResource::LoadFromPath(const CString&, DWORD_PTR) { return TRUE; }
BOOL YResource::Draw(YDXSurface*) { return TRUE; }
BOOL YResource::SetColors(int, int, BYTE*) { return TRUE; }
BOOL YResource::GetColors(int, int, BYTE*) { return TRUE; }
LONG YResource::GetWidth() { return 0; }
LONG YResource::GetHeight() { return 0; }
LONG YResource::GetId() { return m_id; }
BOOL YResource::Restore(YDXDraw*) { return FALSE; }
BOOL YResource::ReleaseSurfaces() { return TRUE; }
BOOL YResource::CreateSurfaces(YDXDraw*) { return TRUE; }
BOOL YResource::LoadFromFile(CFile&) { return TRUE; }
int YResource::Accept(YResourceVisitor*) { return 0; }

int YResource::GetBounds(RECT& bounds) const
{
    bounds = m_bounds;
    return 1;
}
