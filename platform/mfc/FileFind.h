// CFileFind: walks the entries matching a pattern ("*.*" by default).
//   BOOL more = finder.FindFile("maps\\*.zon");
//   while (more) { more = finder.FindNextFile(); ... finder.GetFilePath() ... }
// Names keep their spelling on disk.  The root is the folder part of the
// pattern as given (the current folder when the pattern has none), and
// GetFilePath joins it to the name with "\".
#pragma once

#include "platform/win32.h"
#include "platform/mfc/Object.h"
#include "platform/mfc/String.h"
#include "platform/mfc/Time.h"

class CFileFind : public CObject {
    DECLARE_DYNAMIC(CFileFind)
public:
    CFileFind();
    ~CFileFind() override;

    // FALSE when nothing matches (GetLastError tells why).
    virtual BOOL FindFile(LPCTSTR pstrName = nullptr, DWORD dwUnused = 0);
    // Moves to the next match; nonzero while more remain after it.  The
    // first call after FindFile moves to the first match.
    virtual BOOL FindNextFile();
    void Close();

    // ---- the current match (empty or zero before the first FindNextFile)
    DWORD GetLength() const;
    virtual CString GetFileName() const;
    virtual CString GetFilePath() const;
    // The name without its extension.
    virtual CString GetFileTitle() const;
    virtual CString GetFileURL() const;
    virtual CString GetRoot() const;

    virtual BOOL GetLastWriteTime(FILETIME* pTimeStamp) const;
    virtual BOOL GetLastAccessTime(FILETIME* pTimeStamp) const;
    virtual BOOL GetCreationTime(FILETIME* pTimeStamp) const;
    virtual BOOL GetLastWriteTime(CTime& refTime) const;
    virtual BOOL GetLastAccessTime(CTime& refTime) const;
    virtual BOOL GetCreationTime(CTime& refTime) const;

    // Whether any of the FILE_ATTRIBUTE_* bits of dwMask is set.
    virtual BOOL MatchesMask(DWORD dwMask) const;
    // "." or "..".
    virtual BOOL IsDots() const;
    BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL IsSystem() const { return MatchesMask(FILE_ATTRIBUTE_SYSTEM); }
    BOOL IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
    BOOL IsTemporary() const { return MatchesMask(FILE_ATTRIBUTE_TEMPORARY); }
    BOOL IsNormal() const { return MatchesMask(FILE_ATTRIBUTE_NORMAL); }
    BOOL IsArchived() const { return MatchesMask(FILE_ATTRIBUTE_ARCHIVE); }

protected:
    virtual void CloseContext();

    WIN32_FIND_DATAA* m_pFoundInfo;
    WIN32_FIND_DATAA* m_pNextInfo;
    HANDLE m_hContext;
    CString m_strRoot;
    char m_chDirSeparator;

private:
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;
};
