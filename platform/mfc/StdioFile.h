// CStdioFile: a buffered CFile.  Text mode (typeText, the default) writes
// "\n" as CR LF and reads CR LF and LF alike as "\n" (a Ctrl-Z ends the
// text); typeBinary passes bytes through.  Positions are byte offsets in the
// file.  m_pStream is a stdio stream over the same buffer, so fprintf and
// fgets on it see the same text translation.
#pragma once

#include "platform/win32.h"
#include "platform/mfc/File.h"

#include <cstdio>

namespace platform {
class StdioBuffer;
}

class CStdioFile : public CFile {
    DECLARE_DYNAMIC(CStdioFile)
public:
    CStdioFile();
    // Wraps a stream opened elsewhere (no translation); the destructor
    // leaves it open, Close closes it.
    explicit CStdioFile(FILE* pOpenStream);
    // Opens the file; throws CFileException on failure.
    CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    ~CStdioFile() override;

    // modeWrite without modeCreate, and modeCreate with modeNoTruncate,
    // append: every write goes to the end of the file.
    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;

    // Writes the text; in text mode each "\n" becomes CR LF.
    virtual void WriteString(LPCTSTR lpsz);
    // Reads up to nMax - 1 characters, through the first "\n" (which is
    // kept); null at the end of the file.
    virtual LPTSTR ReadString(LPTSTR lpsz, UINT nMax);
    // Reads a whole line without its "\n"; FALSE at the end of the file.
    BOOL ReadString(CString& rString);

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    LONG Seek(LONG lOff, UINT nFrom) override;
    DWORD GetPosition() const override;
    DWORD GetLength() const override;
    void SetLength(DWORD dwNewLen) override;
    void Flush() override;
    void Close() override;
    void Abort() override;

    FILE* m_pStream;

private:
    void Release();

    platform::StdioBuffer* m_pBuffer;  // null for a wrapped stream
};
