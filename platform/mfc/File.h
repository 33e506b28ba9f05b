// CFile: unbuffered binary files over a POSIX descriptor, and CMemFile, a
// file in memory.  Every name goes through platform::ResolvePath.
// Positions and lengths are 32-bit, as in the original interface.
#pragma once

#include "platform/win32.h"
#include "platform/mfc/Object.h"
#include "platform/mfc/Exceptions.h"
#include "platform/mfc/String.h"

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000
    };
    enum Attribute { normal = 0x00, readOnly = 0x01, hidden = 0x02, system = 0x04, volume = 0x08, directory = 0x10, archive = 0x20 };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };
    enum { hFileNull = -1 };

    CFile();
    // Attaches an open descriptor; the destructor leaves it open, Close closes it.
    explicit CFile(int hFile);
    // Opens the file; throws CFileException on failure.
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    ~CFile() override;

    // Share modes are accepted and not enforced.  A directory cannot be
    // opened (accessDenied).  On failure pError, when given, gets the cause.
    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);

    // Reads up to nCount bytes; fewer at the end of the file.
    virtual UINT Read(void* lpBuf, UINT nCount);
    // Writes all nCount bytes or throws (diskFull, accessDenied, ...).
    virtual void Write(const void* lpBuf, UINT nCount);
    // Returns the new position; a position before the start is badSeek.
    virtual LONG Seek(LONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    DWORD SeekToEnd() { return static_cast<DWORD>(Seek(0, end)); }
    virtual DWORD GetPosition() const;
    virtual DWORD GetLength() const;
    virtual void SetLength(DWORD dwNewLen);
    virtual void Flush();
    virtual void Close();
    // Closes, ignoring failures.
    virtual void Abort();
    virtual void LockRange(DWORD dwPos, DWORD dwCount);
    virtual void UnlockRange(DWORD dwPos, DWORD dwCount);

    // The name's last component; the same without its extension; the name
    // as it was opened.
    virtual CString GetFileName() const;
    virtual CString GetFileTitle() const;
    virtual CString GetFilePath() const;
    virtual void SetFilePath(LPCTSTR lpszNewName);

    static void Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);
    static void Remove(LPCTSTR lpszFileName);

    // The descriptor, or hFileNull.
    UINT m_hFile;

protected:
    BOOL m_bCloseOnDelete;
    CString m_strFileName;
};

class CMemFile : public CFile {
    DECLARE_DYNAMIC(CMemFile)
public:
    // A growing file that owns its memory (malloc'ed).
    explicit CMemFile(UINT nGrowBytes = 1024);
    // A file over the caller's buffer; nGrowBytes 0 makes it fixed-size
    // (writing past it throws CMemoryException), otherwise it is reallocated
    // with realloc and must come from malloc.
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    // Hands the memory to the caller (free with free()) and empties the file.
    BYTE* Detach();

    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    LONG Seek(LONG lOff, UINT nFrom) override;
    DWORD GetPosition() const override;
    DWORD GetLength() const override;
    void SetLength(DWORD dwNewLen) override;
    void Flush() override;
    void Close() override;
    void Abort() override;
    void LockRange(DWORD dwPos, DWORD dwCount) override;
    void UnlockRange(DWORD dwPos, DWORD dwCount) override;

protected:
    virtual BYTE* Alloc(DWORD nBytes);
    virtual BYTE* Realloc(BYTE* lpMem, DWORD nBytes);
    virtual void Free(BYTE* lpMem);
    virtual void GrowFile(DWORD dwNewLen);

    UINT m_nGrowBytes;
    DWORD m_nPosition;
    DWORD m_nBufferSize;
    DWORD m_nFileSize;
    BYTE* m_lpBuffer;
    BOOL m_bAutoDelete;
};
