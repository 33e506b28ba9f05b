#include "assets3d/YSMLoader.h"

#include <sys/stat.h>

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YSMLoader, YResource, 1)

void YSMLoader::Serialize(CArchive& ar)
{
    YResource::Serialize(ar);
    if (ar.IsStoring())
        ar << m_fileName;
    else
        ar >> m_fileName;
}

BOOL YSMLoader::LoadFromDirectories(CStringArray* directories, DWORD_PTR)
{
    m_directory.Empty();
    m_directories = directories;
    return TRUE;
}

BOOL YSMLoader::LoadFromPath(const CString& directory, DWORD_PTR)
{
    m_directory = directory;
    m_directories = nullptr;
    return TRUE;
}

int YSMLoader::Accept(YResourceVisitor* visitor) { return visitor->VisitSMLoader(this); }

CString YSMLoader::GetPath(bool search)
{
    if (!search) return m_fileName;
    if (m_directory.IsEmpty() && m_directories) {
        for (int i = 0; i < m_directories->GetSize(); ++i) {
            CString path = m_directories->GetAt(i) + "/" + m_fileName;
            struct stat info;
            if (stat(path, &info) == 0 && S_ISREG(info.st_mode)) {
                m_directory = m_directories->GetAt(i);
                break;
            }
        }
    }
    if (!m_directory.IsEmpty()) return m_directory + "/" + m_fileName;
    return m_fileName;
}
