#include "platform/mfc/FileFind.h"

#include <cstring>
#include <string>

IMPLEMENT_DYNAMIC(CFileFind, CObject)

namespace {
// The folder part of a pattern as the game wrote it.
CString RootOf(const char* pattern)
{
    const char* back = std::strrchr(pattern, '\\');
    const char* front = std::strrchr(pattern, '/');
    const char* last = back > front ? back : front;
    if (!last) {
        char folder[4096];
        DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
        return (length > 0 && length < sizeof folder) ? CString(folder) : CString();
    }
    if (last == pattern) return CString(pattern, 1);  // the root of the drive
    return CString(pattern, static_cast<int>(last - pattern));
}
}  // namespace

CFileFind::CFileFind()
    : m_pFoundInfo(nullptr), m_pNextInfo(nullptr), m_hContext(nullptr), m_chDirSeparator('\\')
{
}

CFileFind::~CFileFind()
{
    Close();
}

void CFileFind::Close()
{
    delete m_pFoundInfo;
    m_pFoundInfo = nullptr;
    delete m_pNextInfo;
    m_pNextInfo = nullptr;
    if (m_hContext) {
        CloseContext();
        m_hContext = nullptr;
    }
}

void CFileFind::CloseContext()
{
    if (m_hContext && m_hContext != INVALID_HANDLE_VALUE) ::FindClose(m_hContext);
}

BOOL CFileFind::FindFile(LPCTSTR pstrName, DWORD)
{
    Close();
    const char* pattern = (pstrName && *pstrName) ? pstrName : "*.*";
    m_pNextInfo = new WIN32_FIND_DATAA;
    HANDLE found = ::FindFirstFileA(pattern, m_pNextInfo);
    if (found == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        Close();
        SetLastError(error);
        return FALSE;
    }
    m_hContext = found;
    m_strRoot = RootOf(pattern);
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_hContext || !m_pNextInfo) return FALSE;
    if (!m_pFoundInfo) m_pFoundInfo = new WIN32_FIND_DATAA;
    WIN32_FIND_DATAA* swap = m_pFoundInfo;
    m_pFoundInfo = m_pNextInfo;
    m_pNextInfo = swap;
    return ::FindNextFileA(m_hContext, m_pNextInfo);
}

DWORD CFileFind::GetLength() const
{
    return m_pFoundInfo ? m_pFoundInfo->nFileSizeLow : 0;
}

CString CFileFind::GetFileName() const
{
    return m_pFoundInfo ? CString(m_pFoundInfo->cFileName) : CString();
}

CString CFileFind::GetFilePath() const
{
    CString path = m_strRoot;
    int length = path.GetLength();
    if (length > 0 && path[length - 1] != '\\' && path[length - 1] != '/') path += m_chDirSeparator;
    path += GetFileName();
    return path;
}

CString CFileFind::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}

CString CFileFind::GetFileURL() const
{
    CString path = GetFilePath();
    path.Replace('\\', '/');
    return CString("file://") + path;
}

CString CFileFind::GetRoot() const
{
    return m_strRoot;
}

BOOL CFileFind::GetLastWriteTime(FILETIME* pTimeStamp) const
{
    if (!m_pFoundInfo || !pTimeStamp) return FALSE;
    *pTimeStamp = m_pFoundInfo->ftLastWriteTime;
    return TRUE;
}

BOOL CFileFind::GetLastAccessTime(FILETIME* pTimeStamp) const
{
    if (!m_pFoundInfo || !pTimeStamp) return FALSE;
    *pTimeStamp = m_pFoundInfo->ftLastAccessTime;
    return TRUE;
}

BOOL CFileFind::GetCreationTime(FILETIME* pTimeStamp) const
{
    if (!m_pFoundInfo || !pTimeStamp) return FALSE;
    *pTimeStamp = m_pFoundInfo->ftCreationTime;
    return TRUE;
}

BOOL CFileFind::GetLastWriteTime(CTime& refTime) const
{
    if (!m_pFoundInfo) return FALSE;
    refTime = CTime(m_pFoundInfo->ftLastWriteTime);
    return TRUE;
}

BOOL CFileFind::GetLastAccessTime(CTime& refTime) const
{
    if (!m_pFoundInfo) return FALSE;
    refTime = CTime(m_pFoundInfo->ftLastAccessTime);
    return TRUE;
}

BOOL CFileFind::GetCreationTime(CTime& refTime) const
{
    if (!m_pFoundInfo) return FALSE;
    refTime = CTime(m_pFoundInfo->ftCreationTime);
    return TRUE;
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const
{
    return m_pFoundInfo && (m_pFoundInfo->dwFileAttributes & dwMask) != 0;
}

BOOL CFileFind::IsDots() const
{
    if (!m_pFoundInfo || !IsDirectory()) return FALSE;
    const char* name = m_pFoundInfo->cFileName;
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}
