#include "platform/mfc/Exceptions.h"

#include <cerrno>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)

// Copies text into the caller's buffer, truncating; FALSE without room.
static BOOL CopyMessage(LPCTSTR text, LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    if (pnHelpContext) *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0) return FALSE;
    lstrcpynA(lpszError, text, static_cast<int>(nMaxError));
    return TRUE;
}

void CException::Delete()
{
    if (m_bAutoDelete) delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    if (pnHelpContext) *pnHelpContext = 0;
    if (lpszError && nMaxError) *lpszError = '\0';
    return FALSE;
}

int CException::ReportError(UINT, UINT) { return 0; }

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    return CopyMessage("Out of memory.", lpszError, nMaxError, pnHelpContext);
}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    return CopyMessage("Unsupported operation was attempted.", lpszError, nMaxError, pnHelpContext);
}

// ---------------------------------------------------------------- CFileException
CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName)
{
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    static const char* const texts[] = {
        "No error occurred.",
        "An unspecified error occurred while accessing %1.",
        "%1 was not found.",
        "%1 contains an incorrect path.",
        "%1 could not be opened because there are too many open files.",
        "Access to %1 was denied.",
        "An incorrect file handle was associated with %1.",
        "%1 could not be removed because it is the current directory.",
        "%1 could not be created because the directory is full.",
        "Seek failed on %1",
        "A hardware I/O error was reported while accessing %1.",
        "A sharing violation occurred while accessing %1.",
        "A locking violation occurred while accessing %1.",
        "Disk full while accessing %1.",
        "An attempt was made to access %1 past its end.",
    };
    const char* text = (m_cause >= 0 && m_cause < static_cast<int>(sizeof texts / sizeof texts[0]))
                           ? texts[m_cause]
                           : texts[genericException];
    CString message(text);
    message.Replace("%1", m_strFileName.IsEmpty() ? "an unnamed file" : static_cast<LPCTSTR>(m_strFileName));
    return CopyMessage(message, lpszError, nMaxError, pnHelpContext);
}

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case 0: return none;
    case 2: return fileNotFound;       // ERROR_FILE_NOT_FOUND
    case 3: return badPath;            // ERROR_PATH_NOT_FOUND
    case 4: return tooManyOpenFiles;   // ERROR_TOO_MANY_OPEN_FILES
    case 5: return accessDenied;       // ERROR_ACCESS_DENIED
    case 6: return invalidFile;        // ERROR_INVALID_HANDLE
    case 16: return removeCurrentDir;  // ERROR_CURRENT_DIRECTORY
    case 19: return accessDenied;      // ERROR_WRITE_PROTECT
    case 25: return badSeek;           // ERROR_SEEK
    case 29: return hardIO;            // ERROR_WRITE_FAULT
    case 30: return hardIO;            // ERROR_READ_FAULT
    case 32: return sharingViolation;  // ERROR_SHARING_VIOLATION
    case 33: return lockViolation;     // ERROR_LOCK_VIOLATION
    case 38: return endOfFile;         // ERROR_HANDLE_EOF
    case 80: return accessDenied;      // ERROR_FILE_EXISTS
    case 82: return directoryFull;     // ERROR_CANNOT_MAKE
    case 112: return diskFull;         // ERROR_DISK_FULL
    case 123: return badPath;          // ERROR_INVALID_NAME
    case 131: return badSeek;          // ERROR_NEGATIVE_SEEK
    case 145: return accessDenied;     // ERROR_DIR_NOT_EMPTY
    case 183: return accessDenied;     // ERROR_ALREADY_EXISTS
    case 206: return badPath;          // ERROR_FILENAME_EXCED_RANGE
    default: return genericException;
    }
}

LONG CFileException::ErrnoToOsError(int nErrno)
{
    switch (nErrno) {
    case 0: return 0;
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case ENAMETOOLONG: return 206;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EEXIST: return 5;
    case EROFS: return 19;
    case EBADF: return 6;
    case EBUSY:
    case ETXTBSY: return 32;
    case EDEADLK:
    case ENOLCK: return 33;
    case ESPIPE: return 25;
    case EINVAL: return 87;
    case EIO: return 30;
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return 112;
    case ENOTEMPTY: return 145;
    case ENOMEM: return 8;
    default: return 31;  // ERROR_GEN_FAILURE
    }
}

int CFileException::ErrnoToException(int nErrno) { return OsErrorToException(ErrnoToOsError(nErrno)); }

void CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName)
{
    if (lOsError != 0) AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void CFileException::ThrowErrno(int nErrno, LPCTSTR lpszFileName)
{
    if (nErrno != 0) AfxThrowFileException(ErrnoToException(nErrno), ErrnoToOsError(nErrno), lpszFileName);
}

// ---------------------------------------------------------------- CArchiveException
CArchiveException::CArchiveException(int cause, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName)
{
}

BOOL CArchiveException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    static const char* const texts[] = {
        "No error occurred.",
        "An unexpected error occurred while reading %1.",
        "An attempt was made to write to %1 while it was opened for reading.",
        "An unexpected end of file was encountered while reading %1.",
        "An attempt was made to read from %1 while it was opened for writing.",
        "%1 has an invalid format.",
        "%1 contained an unexpected object.",
        "%1 contains an incorrect schema.",
    };
    const char* text = (m_cause >= 0 && m_cause < static_cast<int>(sizeof texts / sizeof texts[0]))
                           ? texts[m_cause]
                           : texts[genericException];
    CString message(text);
    message.Replace("%1", m_strFileName.IsEmpty() ? "an unnamed file" : static_cast<LPCTSTR>(m_strFileName));
    return CopyMessage(message, lpszError, nMaxError, pnHelpContext);
}

// ---------------------------------------------------------------- throwing
void AfxThrowMemoryException() { throw new CMemoryException; }
void AfxThrowNotSupportedException() { throw new CNotSupportedException; }
void AfxThrowUserException() { throw new CUserException; }

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}

void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName)
{
    throw new CArchiveException(cause, lpszArchiveName);
}
