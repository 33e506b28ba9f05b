#include "foundation/YString.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {
char g_emptySentinel = 0;

int Length(const char* text)
{
    return (text && *text) ? static_cast<int>(std::strlen(text)) : 0;
}
}  // namespace

// ---------------------------------------------------------------- buffer

void YString::Release()
{
    if (m_text && m_text != &g_emptySentinel) delete[] m_text;
    m_text = &g_emptySentinel;
}

// Replaces the buffer with one of exactly `size` bytes (terminator included).
// Without a source the current text is kept as far as it fits.
void YString::SetBuffer(const char* source, int size)
{
    if (size < 2) {
        Release();
        return;
    }
    char* fresh = new char[size];
    if (source) {
        std::strncpy(fresh, source, size);
    } else {
        int length = GetLength();
        if (length < size) {
            std::memcpy(fresh, m_text, length + 1);
        } else {
            std::memcpy(fresh, m_text, size);
        }
    }
    fresh[size - 1] = 0;
    Release();
    m_text = fresh;
    if (source && !*m_text) Release();
}

void YString::Append(const char* text, int length)
{
    if (length <= 0) return;
    int old = GetLength();
    char* fresh = new char[old + length + 1];
    std::memcpy(fresh, m_text, old);
    std::memcpy(fresh + old, text, length);
    fresh[old + length] = 0;
    Release();
    m_text = fresh;
}

// ---------------------------------------------------------------- construction

YString::YString() : m_text(&g_emptySentinel) {}

YString::YString(const YString& other) : m_text(&g_emptySentinel)
{
    *this = other;
}

YString::YString(const CString& other) : m_text(&g_emptySentinel)
{
    *this = other;
}

YString::YString(const char* text) : m_text(&g_emptySentinel)
{
    *this = text;
}

YString::YString(const unsigned char* text) : m_text(&g_emptySentinel)
{
    *this = text;
}

YString::YString(char ch, int count) : m_text(&g_emptySentinel)
{
    if (ch == 0 || count <= 0) return;
    m_text = new char[count + 1];
    std::memset(m_text, ch, count);
    m_text[count] = 0;
}

YString::YString(const char* src, int count) : m_text(&g_emptySentinel)
{
    if (src && count > 0) SetBuffer(src, count + 1);
}

YString::~YString()
{
    Release();
}

void YString::Empty()
{
    Release();
}

int YString::GetLength() const
{
    return Length(m_text);
}

char YString::GetAt(int index) const
{
    return (index >= 0 && index < GetLength()) ? m_text[index] : 0;
}

void YString::SetAt(int index, char ch)
{
    if (index >= 0 && index < GetLength()) m_text[index] = ch;
}

// ---------------------------------------------------------------- assignment

YString& YString::operator=(const YString& other)
{
    if (this != &other) SetBuffer(other.m_text, other.GetLength() + 1);
    return *this;
}

YString& YString::operator=(const CString& other)
{
    SetBuffer(other, other.GetLength() + 1);
    return *this;
}

YString& YString::operator=(const char* text)
{
    if (!text) Release();
    else if (text != m_text) SetBuffer(text, Length(text) + 1);
    return *this;
}

YString& YString::operator=(const unsigned char* text)
{
    return *this = reinterpret_cast<const char*>(text);
}

YString& YString::operator=(char ch)
{
    char text[2] = {ch, 0};
    SetBuffer(text, 2);
    return *this;
}

// ---------------------------------------------------------------- comparison and search

int YString::Compare(const char* text) const
{
    const unsigned char* a = reinterpret_cast<const unsigned char*>(m_text);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(text ? text : "");
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a < *b ? -1 : (*a > *b ? 1 : 0);
}

int YString::CompareNoCase(const char* text) const
{
    return lstrcmpiA(m_text, text);
}

YString YString::Mid(int first) const
{
    if (first < 0 || first >= GetLength()) return YString();
    return YString(m_text + first);
}

YString YString::Mid(int first, int count) const
{
    return Mid(first).Left(count);
}

YString YString::Left(int count) const
{
    if (count >= 1 && count <= GetLength()) return YString(m_text, count);
    return *this;
}

YString YString::Right(int count) const
{
    int length = GetLength();
    if (count >= 0 && count <= length) return YString(m_text + length - count);
    return *this;
}

int YString::Find(char ch, int start) const
{
    if (start >= GetLength()) return -1;
    if (start < 0) start = 0;
    const char* hit = std::strchr(m_text + start, ch);
    return hit ? static_cast<int>(hit - m_text) : -1;
}

int YString::Find(const char* text, int start) const
{
    if (start >= GetLength() || !text) return -1;
    if (start < 0) start = 0;
    const char* hit = std::strstr(m_text + start, text);
    return hit ? static_cast<int>(hit - m_text) : -1;
}

int YString::ReverseFind(char ch) const
{
    const char* hit = std::strrchr(m_text, ch);
    return hit ? static_cast<int>(hit - m_text) : -1;
}

int YString::FindOneOf(const char* set, int start) const
{
    if (start >= GetLength() || !set) return -1;
    if (start < 0) start = 0;
    const char* hit = std::strpbrk(m_text + start, set);
    return hit ? static_cast<int>(hit - m_text) : -1;
}

// ---------------------------------------------------------------- editing

char* YString::MakeUpper()
{
    return _strupr(m_text);
}

char* YString::MakeLower()
{
    return _strlwr(m_text);
}

char* YString::MakeReverse()
{
    return _strrev(m_text);
}

void YString::TrimLeft()
{
    const char* p = m_text;
    while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
    if (p != m_text) {
        YString rest(p);
        *this = rest;
    }
}

void YString::TrimRight()
{
    int length = GetLength();
    int end = length;
    while (end > 0 && std::isspace(static_cast<unsigned char>(m_text[end - 1]))) --end;
    if (end != length) {
        YString kept(m_text, end);
        *this = kept;
    }
}

int YString::Insert(int index, const char* text)
{
    int length = GetLength();
    if (index < 0 || index > length || !text) return length;
    int extra = Length(text);
    if (extra == 0) return length;
    SetBuffer(nullptr, length + extra + 1);
    std::memmove(m_text + index + extra, m_text + index, length - index + 1);
    std::memcpy(m_text + index, text, extra);
    return length + extra;
}

int YString::Insert(int index, char ch)
{
    int length = GetLength();
    if (index < 0 || index >= length || ch == 0) return length;
    char text[2] = {ch, 0};
    return Insert(index, text);
}

YString& YString::operator+=(const YString& other)
{
    if (this == &other) {
        YString copy(other);
        Append(copy.m_text, copy.GetLength());
    } else {
        Append(other.m_text, other.GetLength());
    }
    return *this;
}

YString& YString::operator+=(const char* text)
{
    if (text) {
        std::string copy(text);  // the text may live in this string's own buffer
        Append(copy.c_str(), static_cast<int>(copy.size()));
    }
    return *this;
}

YString& YString::operator+=(const CString& other)
{
    Append(other, other.GetLength());
    return *this;
}

YString& YString::operator+=(char ch)
{
    if (ch) Append(&ch, 1);
    return *this;
}

YString operator+(const YString& a, const YString& b)
{
    YString r(a);
    r += b;
    return r;
}

YString operator+(const YString& a, const char* b)
{
    YString r(a);
    r += b;
    return r;
}

YString operator+(const YString& a, const CString& b)
{
    YString r(a);
    r += b;
    return r;
}

YString operator+(const YString& a, char b)
{
    YString r(a);
    r += b;
    return r;
}

// ---------------------------------------------------------------- formatting

// Walks the format once, stepping past the arguments each conversion takes,
// and adds up a generous length for every item.
int YString::EstimateFormatLength(const char* format, va_list argList)
{
    if (!format) return 0;
    va_list args;
    va_copy(args, argList);
    int total = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%' || *++p == '%') {
            total += 1;
            continue;
        }
        int item = 0;
        int width = 0;
        for (; *p; ++p) {
            if (*p == '#') total += 2;
            else if (*p == '*') width = va_arg(args, int);
            else if (*p != '-' && *p != '+' && *p != '0' && *p != ' ') break;
        }
        if (width == 0) {
            width = std::atoi(p);
            while (*p >= '0' && *p <= '9') ++p;
        }
        int precision = 0;
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                precision = va_arg(args, int);
                ++p;
            } else {
                precision = std::atoi(p);
                while (*p >= '0' && *p <= '9') ++p;
            }
        }
        enum { Plain, Int64, Narrow, Wide } modifier = Plain;
        if (p[0] == 'I' && p[1] == '6' && p[2] == '4') {
            modifier = Int64;
            p += 3;
        } else if (*p == 'h') {
            modifier = Narrow;
            ++p;
        } else if (*p == 'l') {
            modifier = Wide;
            ++p;
        } else if (*p == 'F' || *p == 'L' || *p == 'N') {
            ++p;
        }
        if (!*p) break;  // a lone '%' at the end
        switch (*p) {
        case 'c':
        case 'C':
            item = 2;
            (void)va_arg(args, int);
            break;
        case 's':
        case 'S': {
            bool wide = (*p == 'S') ? modifier != Narrow : modifier == Wide;
            if (wide) {
                const WCHAR* text = va_arg(args, const WCHAR*);
                item = text ? static_cast<int>(rcv_wcslen(text)) : 6;
            } else {
                const char* text = va_arg(args, const char*);
                item = text ? lstrlenA(text) : 6;
            }
            if (item < 1) item = 1;
            break;
        }
        case 'd':
        case 'i':
        case 'u':
        case 'x':
        case 'X':
        case 'o':
            if (modifier == Int64) (void)va_arg(args, long long);
            else (void)va_arg(args, int);
            item = std::max(32, width + precision);
            break;
        case 'e':
        case 'g':
        case 'G':
            (void)va_arg(args, double);
            item = std::max(128, width + precision);
            break;
        case 'f':
            (void)va_arg(args, double);
            item = std::max(128, 312 + precision);
            break;
        case 'p':
            (void)va_arg(args, void*);
            item = std::max(32, width + precision);
            break;
        case 'n':
            (void)va_arg(args, int*);
            item = 0;
            break;
        default:
            break;
        }
        if (*p == 'c' || *p == 'C' || *p == 's' || *p == 'S') {
            if (precision != 0 && item > precision) item = precision;
            if (item < width) item = width;
        }
        total += item;
    }
    va_end(args);
    return total;
}

// Formats with a bound; an estimate that proves too small grows the buffer.
void YString::FormatV(const char* format, va_list args)
{
    int estimate = EstimateFormatLength(format, args);
    if (estimate <= 0) {
        Release();
        return;
    }
    std::vector<char> buffer(static_cast<size_t>(estimate) + 1);
    va_list copy;
    va_copy(copy, args);
    int written = rcv_vsnprintf(buffer.data(), buffer.size(), format, copy);
    va_end(copy);
    if (written > estimate) {
        buffer.resize(static_cast<size_t>(written) + 1);
        va_copy(copy, args);
        rcv_vsnprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
    }
    if (written <= 0) {
        Release();
        return;
    }
    SetBuffer(buffer.data(), written + 1);
}

void YString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void YString::Format(unsigned int id, ...)
{
    YString format;
    format.LoadString(id, 1024);
    va_list args;
    va_start(args, id);
    FormatV(format, args);
    va_end(args);
}

BOOL YString::LoadString(unsigned int id, int maxLength)
{
    if (maxLength < 1) maxLength = 1;
    std::vector<char> buffer(static_cast<size_t>(maxLength), 0);
    int n = ::LoadStringA(nullptr, id, buffer.data(), maxLength);
    *this = buffer.data();
    return n > 0;
}

// ---------------------------------------------------------------- BSTR

BSTR YString::AllocSysString() const
{
    int length = GetLength();
    std::vector<WCHAR> wide(static_cast<size_t>(length) + 1, 0);
    if (length) MultiByteToWideChar(CP_ACP, 0, m_text, length, wide.data(), length);
    BSTR result = SysAllocStringLen(wide.data(), length);
    if (!result) AfxThrowMemoryException();
    return result;
}

BSTR YString::SetSysString(BSTR* bstr) const
{
    int length = GetLength();
    std::vector<WCHAR> wide(static_cast<size_t>(length) + 1, 0);
    if (length) MultiByteToWideChar(CP_ACP, 0, m_text, length, wide.data(), length);
    if (!SysReAllocStringLen(bstr, wide.data(), length)) AfxThrowMemoryException();
    return *bstr;
}

// ---------------------------------------------------------------- archive

CArchive& operator<<(CArchive& ar, const YString& text)
{
    DWORD length = static_cast<DWORD>(text.GetLength());
    ar << length;
    if (length) ar.Write(text.GetBuffer(), length);
    return ar;
}

CArchive& operator>>(CArchive& ar, YString& text)
{
    DWORD length = 0;
    ar >> length;
    if (length == 0) return ar;
    if (!ar.CanRead(length)) AfxThrowArchiveException(CArchiveException::endOfFile);
    std::vector<char> bytes(static_cast<size_t>(length) + 1, 0);
    if (ar.Read(bytes.data(), length) != length) AfxThrowArchiveException(CArchiveException::endOfFile);
    text = bytes.data();
    return ar;
}
