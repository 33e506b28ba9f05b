// The engine's own string: one pointer to a NUL-terminated text, no stored
// length, exact-size buffers, and one shared empty sentinel.
#pragma once

#include "platform/mfc.h"

class YString {
public:
    YString();
    YString(const YString& other);
    YString(const CString& other);
    YString(const char* text);
    YString(const unsigned char* text);
    YString(char ch, int count);
    YString(const char* src, int count);
    ~YString();

    void Empty();
    char* GetBuffer() const { return m_text; }
    unsigned char* GetData() const { return reinterpret_cast<unsigned char*>(m_text); }
    operator const char*() const { return m_text; }
    int GetLength() const;
    bool IsEmpty() const { return GetLength() == 0; }

    char GetAt(int index) const;
    char operator[](int index) const { return GetAt(index); }
    void SetAt(int index, char ch);

    YString& operator=(const YString& other);
    YString& operator=(const CString& other);
    YString& operator=(const char* text);
    YString& operator=(const unsigned char* text);
    YString& operator=(char ch);

    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;

    YString Mid(int first) const;
    YString Mid(int first, int count) const;
    YString Left(int count) const;
    YString Right(int count) const;
    int Find(char ch, int start = 0) const;
    int Find(const char* text, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* set, int start = 0) const;

    char* MakeUpper();
    char* MakeLower();
    char* MakeReverse();
    void TrimLeft();
    void TrimRight();
    int Insert(int index, const char* text);
    int Insert(int index, char ch);

    YString& operator+=(const YString& other);
    YString& operator+=(const char* text);
    YString& operator+=(const CString& other);
    YString& operator+=(char ch);

    void Format(const char* format, ...);
    void Format(unsigned int id, ...);
    void FormatV(const char* format, va_list args);
    BOOL LoadString(unsigned int id, int maxLength = 1024);

    BSTR AllocSysString() const;
    BSTR SetSysString(BSTR* bstr) const;

    // The estimate of how many bytes a format produces; 0 formats nothing.
    static int EstimateFormatLength(const char* format, va_list args);

private:
    void SetBuffer(const char* source, int size);
    void Release();
    void Append(const char* text, int length);

    char* m_text;
};

// Texts compare with Compare or CompareNoCase; == would compare pointers.
bool operator==(const YString&, const YString&) = delete;
bool operator==(const YString&, const char*) = delete;
bool operator!=(const YString&, const YString&) = delete;
bool operator!=(const YString&, const char*) = delete;

YString operator+(const YString& a, const YString& b);
YString operator+(const YString& a, const char* b);
YString operator+(const YString& a, const CString& b);
YString operator+(const YString& a, char b);

CArchive& operator<<(CArchive& ar, const YString& text);
CArchive& operator>>(CArchive& ar, YString& text);
