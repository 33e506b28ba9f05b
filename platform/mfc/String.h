// CString: the class library's 8-bit string.  Each string owns its own
// buffer (no sharing), so a pointer from GetBuffer stays valid until the
// string is next changed.
#pragma once

#include "platform/win32.h"

// The original passes CString objects straight to printf-style "..."
// arguments; here that would pass a hidden reference and print garbage.
// Make every such call a warning, so that it gets its (LPCTSTR) cast.
#pragma GCC diagnostic warning "-Wconditionally-supported"

class CString {
public:
    CString() = default;
    CString(const CString& src);
    CString(CString&& src) noexcept;
    CString(LPCSTR lpsz);
    CString(LPCSTR lpch, int nLength);
    CString(const unsigned char* lpsz);
    CString(char ch, int nRepeat = 1);
    CString(LPCWSTR lpsz);
    ~CString();

    // ---- attributes
    int GetLength() const { return m_nDataLength; }
    BOOL IsEmpty() const { return m_nDataLength == 0; }
    void Empty();
    // Index arguments outside the text read as 0 and change nothing.
    char GetAt(int nIndex) const;
    char operator[](int nIndex) const { return GetAt(nIndex); }
    void SetAt(int nIndex, char ch);
    operator LPCTSTR() const { return m_pchData ? m_pchData : ""; }

    // ---- assignment and concatenation
    const CString& operator=(const CString& src);
    const CString& operator=(CString&& src) noexcept;
    const CString& operator=(LPCSTR lpsz);
    const CString& operator=(const unsigned char* lpsz);
    const CString& operator=(char ch);
    const CString& operator=(LPCWSTR lpsz);
    const CString& operator+=(const CString& src);
    const CString& operator+=(LPCSTR lpsz);
    const CString& operator+=(char ch);

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCSTR b);
    friend CString operator+(LPCSTR a, const CString& b);
    friend CString operator+(const CString& a, char b);
    friend CString operator+(char a, const CString& b);

    // ---- comparison
    int Compare(LPCTSTR lpsz) const;
    int CompareNoCase(LPCTSTR lpsz) const;
    int Collate(LPCTSTR lpsz) const;
    int CollateNoCase(LPCTSTR lpsz) const;

    // ---- extraction (counts and positions are clamped to the text)
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCTSTR lpszCharSet) const;
    CString SpanExcluding(LPCTSTR lpszCharSet) const;

    // ---- changes
    void MakeUpper();
    void MakeLower();
    void MakeReverse();
    int Replace(char chOld, char chNew);
    int Replace(LPCTSTR lpszOld, LPCTSTR lpszNew);
    int Remove(char ch);
    int Insert(int nIndex, char ch);
    int Insert(int nIndex, LPCTSTR pstr);
    int Delete(int nIndex, int nCount = 1);
    void TrimLeft();
    void TrimLeft(char chTarget);
    void TrimLeft(LPCTSTR lpszTargets);
    void TrimRight();
    void TrimRight(char chTarget);
    void TrimRight(LPCTSTR lpszTargets);

    // ---- searching: positions, or -1
    int Find(char ch) const;
    int Find(char ch, int nStart) const;
    int Find(LPCTSTR lpszSub) const;
    int Find(LPCTSTR lpszSub, int nStart) const;
    int ReverseFind(char ch) const;
    int FindOneOf(LPCTSTR lpszCharSet) const;

    // ---- formatting (printf forms with the Windows size modifiers, any length)
    void Format(LPCTSTR lpszFormat, ...);
    void FormatV(LPCTSTR lpszFormat, va_list argList);
    // Inserts %1 .. %99 (optionally %1!fmt!) from the arguments, all taken as texts
    // unless a !fmt! says otherwise.
    void FormatMessage(LPCTSTR lpszFormat, ...);
    BOOL LoadString(UINT nID);

    // ---- raw buffer access
    // A writable buffer of at least nMinBufLength characters plus the
    // terminator, holding the current text.
    LPTSTR GetBuffer(int nMinBufLength);
    // Ends a GetBuffer: the length becomes nNewLength, or the length of the
    // terminated text when -1 (never more than the buffer holds).
    void ReleaseBuffer(int nNewLength = -1);
    LPTSTR GetBufferSetLength(int nNewLength);
    void FreeExtra();
    LPTSTR LockBuffer();
    void UnlockBuffer() {}

    BSTR AllocSysString() const;
    BSTR SetSysString(BSTR* pbstr) const;

private:
    void Assign(LPCSTR lpch, int nLength);
    void Append(LPCSTR lpch, int nLength);
    // Makes room for nLength characters and the terminator, keeping the text.
    void Reserve(int nLength);
    void SetLength(int nLength);

    char* m_pchData = nullptr;
    int m_nDataLength = 0;
    int m_nAllocLength = 0;  // characters, without the terminator
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCSTR b);
bool operator==(LPCSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCSTR b);
bool operator!=(LPCSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, LPCSTR b);
bool operator<(LPCSTR a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, LPCSTR b);
bool operator>(LPCSTR a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator<=(const CString& a, LPCSTR b);
bool operator<=(LPCSTR a, const CString& b);
bool operator>=(const CString& a, const CString& b);
bool operator>=(const CString& a, LPCSTR b);
bool operator>=(LPCSTR a, const CString& b);
