#include "platform/mfc/File.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FilePath.h"

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CMemFile, CFile)

static const UINT kNoFile = static_cast<UINT>(CFile::hFileNull);

static int Fd(UINT hFile) { return static_cast<int>(hFile); }

CFile::CFile() : m_hFile(kNoFile), m_bCloseOnDelete(FALSE) {}

CFile::CFile(int hFile) : m_hFile(static_cast<UINT>(hFile)), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_hFile(kNoFile), m_bCloseOnDelete(FALSE)
{
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e)) AfxThrowFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != kNoFile && m_bCloseOnDelete) Abort();
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (m_hFile != kNoFile && m_bCloseOnDelete) Abort();
    m_hFile = kNoFile;
    m_bCloseOnDelete = FALSE;
    m_strFileName = lpszFileName;

    int flags = 0;
    switch (nOpenFlags & 3) {
    case modeRead: flags = O_RDONLY; break;
    case modeWrite: flags = O_WRONLY; break;
    case modeReadWrite: flags = O_RDWR; break;
    default:
        if (pError) {
            pError->m_cause = CFileException::genericException;
            pError->m_lOsError = ERROR_INVALID_PARAMETER;
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    if (nOpenFlags & modeCreate) flags |= (nOpenFlags & modeNoTruncate) ? O_CREAT : (O_CREAT | O_TRUNC);
    flags |= O_CLOEXEC;

    int err = 0;
    int fd = -1;
    if (!lpszFileName || !*lpszFileName) {
        err = ENOENT;
    } else {
        std::string path = platform::ResolvePath(lpszFileName);
        fd = ::open(path.c_str(), flags, 0666);
        if (fd < 0) {
            err = errno;
        } else {
            struct stat st;
            if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
                ::close(fd);
                fd = -1;
                err = EISDIR;
            }
        }
        // A missing folder on the way is a bad path, as on Windows.
        if (err == ENOENT) {
            size_t slash = path.find_last_of('/');
            if (slash != std::string::npos && slash > 0) {
                struct stat st;
                std::string dir = path.substr(0, slash);
                if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) err = ENOTDIR;
            }
        }
    }
    if (fd < 0) {
        if (pError) {
            pError->m_cause = CFileException::ErrnoToException(err);
            pError->m_lOsError = CFileException::ErrnoToOsError(err);
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    m_hFile = static_cast<UINT>(fd);
    m_bCloseOnDelete = TRUE;
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0) return 0;
    if (m_hFile == kNoFile) AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    UINT done = 0;
    BYTE* p = static_cast<BYTE*>(lpBuf);
    while (done < nCount) {
        ssize_t n = ::read(Fd(m_hFile), p + done, nCount - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            CFileException::ThrowErrno(errno, m_strFileName);
        }
        if (n == 0) break;
        done += static_cast<UINT>(n);
    }
    return done;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0) return;
    if (m_hFile == kNoFile) AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    UINT done = 0;
    const BYTE* p = static_cast<const BYTE*>(lpBuf);
    while (done < nCount) {
        ssize_t n = ::write(Fd(m_hFile), p + done, nCount - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            // Not opened for writing: Windows calls that access denied.
            if (errno == EBADF) AfxThrowFileException(CFileException::accessDenied, ERROR_ACCESS_DENIED, m_strFileName);
            CFileException::ThrowErrno(errno, m_strFileName);
        }
        if (n == 0) AfxThrowFileException(CFileException::diskFull, 112, m_strFileName);
        done += static_cast<UINT>(n);
    }
}

LONG CFile::Seek(LONG lOff, UINT nFrom)
{
    if (m_hFile == kNoFile) AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    int whence = nFrom == begin ? SEEK_SET : nFrom == current ? SEEK_CUR : nFrom == end ? SEEK_END : -1;
    if (whence < 0) AfxThrowFileException(CFileException::badSeek, ERROR_INVALID_PARAMETER, m_strFileName);
    off_t pos = ::lseek(Fd(m_hFile), static_cast<off_t>(lOff), whence);
    if (pos < 0) {
        // EINVAL: before the start of the file.
        if (errno == EINVAL) AfxThrowFileException(CFileException::badSeek, 131, m_strFileName);
        CFileException::ThrowErrno(errno, m_strFileName);
    }
    if (pos > LONG_MAX) AfxThrowFileException(CFileException::badSeek, 25, m_strFileName);
    return static_cast<LONG>(pos);
}

DWORD CFile::GetPosition() const
{
    if (m_hFile == kNoFile) AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    off_t pos = ::lseek(Fd(m_hFile), 0, SEEK_CUR);
    if (pos < 0) CFileException::ThrowErrno(errno, m_strFileName);
    return static_cast<DWORD>(pos);
}

DWORD CFile::GetLength() const
{
    if (m_hFile == kNoFile) AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    struct stat st;
    if (::fstat(Fd(m_hFile), &st) != 0) CFileException::ThrowErrno(errno, m_strFileName);
    return static_cast<DWORD>(st.st_size);
}

void CFile::SetLength(DWORD dwNewLen)
{
    if (m_hFile == kNoFile) AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    if (::ftruncate(Fd(m_hFile), static_cast<off_t>(dwNewLen)) != 0) CFileException::ThrowErrno(errno, m_strFileName);
}

// Writes go straight to the system; there is nothing of ours to flush.
void CFile::Flush()
{
    if (m_hFile == kNoFile) return;
}

void CFile::Close()
{
    bool failed = false;
    int err = 0;
    if (m_hFile != kNoFile) {
        if (::close(Fd(m_hFile)) != 0) {
            failed = true;
            err = errno;
        }
    }
    m_hFile = kNoFile;
    m_bCloseOnDelete = FALSE;
    if (failed) CFileException::ThrowErrno(err, m_strFileName);
}

void CFile::Abort()
{
    if (m_hFile != kNoFile) ::close(Fd(m_hFile));
    m_hFile = kNoFile;
    m_bCloseOnDelete = FALSE;
}

// Ranges are not locked: the game's files are its own.
void CFile::LockRange(DWORD, DWORD) {}
void CFile::UnlockRange(DWORD, DWORD) {}

CString CFile::GetFileName() const
{
    int cut = -1;
    for (int i = 0; i < m_strFileName.GetLength(); ++i) {
        char c = m_strFileName[i];
        if (c == '\\' || c == '/' || c == ':') cut = i;
    }
    return m_strFileName.Mid(cut + 1);
}

CString CFile::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

CString CFile::GetFilePath() const { return m_strFileName; }

void CFile::SetFilePath(LPCTSTR lpszNewName) { m_strFileName = lpszNewName; }

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName)
{
    if (!lpszOldName || !lpszNewName) AfxThrowFileException(CFileException::fileNotFound, 2, lpszOldName);
    std::string from = platform::ResolvePath(lpszOldName);
    std::string to = platform::ResolvePath(lpszNewName);
    // Windows does not replace an existing file.
    struct stat st;
    if (::stat(from.c_str(), &st) != 0) CFileException::ThrowErrno(errno, lpszOldName);
    if (::stat(to.c_str(), &st) == 0) AfxThrowFileException(CFileException::accessDenied, 183, lpszOldName);
    if (::rename(from.c_str(), to.c_str()) != 0) CFileException::ThrowErrno(errno, lpszOldName);
}

void CFile::Remove(LPCTSTR lpszFileName)
{
    if (!lpszFileName) AfxThrowFileException(CFileException::fileNotFound, 2, lpszFileName);
    std::string path = platform::ResolvePath(lpszFileName);
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        AfxThrowFileException(CFileException::accessDenied, 5, lpszFileName);
    if (::unlink(path.c_str()) != 0) CFileException::ThrowErrno(errno, lpszFileName);
}

// ---------------------------------------------------------------- CMemFile
CMemFile::CMemFile(UINT nGrowBytes)
    : m_nGrowBytes(nGrowBytes), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0), m_lpBuffer(nullptr),
      m_bAutoDelete(TRUE)
{
}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
    : m_nGrowBytes(0), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0), m_lpBuffer(nullptr), m_bAutoDelete(FALSE)
{
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile()
{
    if (m_lpBuffer && m_bAutoDelete) Free(m_lpBuffer);
    m_lpBuffer = nullptr;
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    if (m_lpBuffer && m_bAutoDelete) Free(m_lpBuffer);
    m_lpBuffer = lpBuffer;
    m_nBufferSize = lpBuffer ? nBufferSize : 0;
    // A fixed buffer holds data; a growing one starts empty.
    m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
    m_nGrowBytes = nGrowBytes;
    m_nPosition = 0;
    m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach()
{
    BYTE* p = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    m_bAutoDelete = TRUE;  // memory grown from now on is ours
    return p;
}

BOOL CMemFile::Open(LPCTSTR, UINT, CFileException* pError)
{
    if (pError) pError->m_cause = CFileException::genericException;
    AfxThrowNotSupportedException();
}

BYTE* CMemFile::Alloc(DWORD nBytes) { return static_cast<BYTE*>(std::malloc(nBytes)); }
BYTE* CMemFile::Realloc(BYTE* lpMem, DWORD nBytes) { return static_cast<BYTE*>(std::realloc(lpMem, nBytes)); }
void CMemFile::Free(BYTE* lpMem) { std::free(lpMem); }

void CMemFile::GrowFile(DWORD dwNewLen)
{
    if (dwNewLen <= m_nBufferSize) return;
    if (m_nGrowBytes == 0) AfxThrowMemoryException();
    ULONGLONG size = m_nBufferSize;
    while (size < dwNewLen) size += m_nGrowBytes;
    if (size > 0xFFFFFFFFull) size = dwNewLen;
    BYTE* p = m_lpBuffer ? Realloc(m_lpBuffer, static_cast<DWORD>(size)) : Alloc(static_cast<DWORD>(size));
    if (!p) AfxThrowMemoryException();
    m_lpBuffer = p;
    m_nBufferSize = static_cast<DWORD>(size);
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0 || m_nPosition >= m_nFileSize) return 0;
    UINT n = m_nFileSize - m_nPosition;
    if (n > nCount) n = nCount;
    std::memcpy(lpBuf, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return n;
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0) return;
    if (nCount > 0xFFFFFFFFu - m_nPosition) AfxThrowFileException(CFileException::diskFull, 112);
    DWORD end = m_nPosition + nCount;
    if (end > m_nBufferSize) GrowFile(end);
    // A write after a seek past the end leaves zeros in the gap.
    if (m_nPosition > m_nFileSize) std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    std::memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = end;
    if (end > m_nFileSize) m_nFileSize = end;
}

LONG CMemFile::Seek(LONG lOff, UINT nFrom)
{
    LONGLONG base = nFrom == begin ? 0 : nFrom == current ? static_cast<LONGLONG>(m_nPosition)
                                     : nFrom == end   ? static_cast<LONGLONG>(m_nFileSize)
                                                      : -1;
    if (base < 0) AfxThrowFileException(CFileException::badSeek, ERROR_INVALID_PARAMETER);
    LONGLONG pos = base + lOff;
    if (pos < 0) AfxThrowFileException(CFileException::badSeek, 131);
    if (pos > LONG_MAX) AfxThrowFileException(CFileException::badSeek, 25);
    m_nPosition = static_cast<DWORD>(pos);
    return static_cast<LONG>(pos);
}

DWORD CMemFile::GetPosition() const { return m_nPosition; }
DWORD CMemFile::GetLength() const { return m_nFileSize; }

void CMemFile::SetLength(DWORD dwNewLen)
{
    if (dwNewLen > m_nBufferSize) GrowFile(dwNewLen);
    if (dwNewLen > m_nFileSize) std::memset(m_lpBuffer + m_nFileSize, 0, dwNewLen - m_nFileSize);
    if (dwNewLen < m_nPosition) m_nPosition = dwNewLen;
    m_nFileSize = dwNewLen;
}

void CMemFile::Flush() {}

void CMemFile::Close()
{
    m_nPosition = m_nFileSize = m_nBufferSize = 0;
    if (m_lpBuffer && m_bAutoDelete) Free(m_lpBuffer);
    m_lpBuffer = nullptr;
}

void CMemFile::Abort() { Close(); }

void CMemFile::LockRange(DWORD, DWORD) { AfxThrowNotSupportedException(); }
void CMemFile::UnlockRange(DWORD, DWORD) { AfxThrowNotSupportedException(); }
