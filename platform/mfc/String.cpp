#include "platform/mfc/String.h"

#include <cctype>
#include <climits>
#include <new>
#include <string>
#include <vector>

#include "platform/mfc/Exceptions.h"

static int ClampedLength(size_t n)
{
    if (n > static_cast<size_t>(INT_MAX - 1)) AfxThrowMemoryException();
    return static_cast<int>(n);
}

static int SafeLength(LPCSTR lpsz) { return lpsz ? ClampedLength(std::strlen(lpsz)) : 0; }

// ---------------------------------------------------------------- storage
void CString::Reserve(int nLength)
{
    if (nLength < 0) nLength = 0;
    if (m_pchData && nLength <= m_nAllocLength) return;
    if (nLength > INT_MAX - 1) AfxThrowMemoryException();
    int alloc = nLength;
    if (m_pchData && m_nAllocLength < INT_MAX / 2) {
        int grown = m_nAllocLength + m_nAllocLength / 2;
        if (grown > alloc) alloc = grown;
    }
    char* p = new (std::nothrow) char[static_cast<size_t>(alloc) + 1];
    if (!p) AfxThrowMemoryException();
    if (m_pchData) std::memcpy(p, m_pchData, static_cast<size_t>(m_nDataLength));
    p[m_nDataLength] = '\0';
    delete[] m_pchData;
    m_pchData = p;
    m_nAllocLength = alloc;
}

void CString::SetLength(int nLength)
{
    Reserve(nLength);
    m_nDataLength = nLength;
    m_pchData[nLength] = '\0';
}

void CString::Assign(LPCSTR lpch, int nLength)
{
    if (nLength <= 0 || !lpch) {
        Empty();
        return;
    }
    // lpch may point into our own text.
    if (m_pchData && lpch >= m_pchData && lpch <= m_pchData + m_nAllocLength) {
        std::memmove(m_pchData, lpch, static_cast<size_t>(nLength));
        SetLength(nLength);
        return;
    }
    m_nDataLength = 0;
    Reserve(nLength);
    std::memcpy(m_pchData, lpch, static_cast<size_t>(nLength));
    SetLength(nLength);
}

void CString::Append(LPCSTR lpch, int nLength)
{
    if (nLength <= 0 || !lpch) return;
    if (nLength > INT_MAX - 1 - m_nDataLength) AfxThrowMemoryException();
    if (m_pchData && lpch >= m_pchData && lpch <= m_pchData + m_nAllocLength) {
        std::string copy(lpch, static_cast<size_t>(nLength));
        Append(copy.data(), nLength);
        return;
    }
    int old = m_nDataLength;
    Reserve(old + nLength);
    std::memcpy(m_pchData + old, lpch, static_cast<size_t>(nLength));
    SetLength(old + nLength);
}

// ---------------------------------------------------------------- construction
CString::CString(const CString& src) { Assign(src.m_pchData, src.m_nDataLength); }

CString::CString(CString&& src) noexcept
    : m_pchData(src.m_pchData), m_nDataLength(src.m_nDataLength), m_nAllocLength(src.m_nAllocLength)
{
    src.m_pchData = nullptr;
    src.m_nDataLength = src.m_nAllocLength = 0;
}

CString::CString(LPCSTR lpsz) { Assign(lpsz, SafeLength(lpsz)); }

CString::CString(LPCSTR lpch, int nLength) { Assign(lpch, nLength); }

CString::CString(const unsigned char* lpsz) : CString(reinterpret_cast<LPCSTR>(lpsz)) {}

CString::CString(char ch, int nRepeat)
{
    if (nRepeat <= 0) return;
    SetLength(nRepeat);
    std::memset(m_pchData, ch, static_cast<size_t>(nRepeat));
}

CString::CString(LPCWSTR lpsz) { *this = lpsz; }

CString::~CString() { delete[] m_pchData; }

void CString::Empty()
{
    delete[] m_pchData;
    m_pchData = nullptr;
    m_nDataLength = m_nAllocLength = 0;
}

char CString::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nDataLength) return '\0';
    return m_pchData[nIndex];
}

void CString::SetAt(int nIndex, char ch)
{
    if (nIndex < 0 || nIndex >= m_nDataLength) return;
    m_pchData[nIndex] = ch;
}

// ---------------------------------------------------------------- assignment
const CString& CString::operator=(const CString& src)
{
    if (this != &src) Assign(src.m_pchData, src.m_nDataLength);
    return *this;
}

const CString& CString::operator=(CString&& src) noexcept
{
    if (this != &src) {
        delete[] m_pchData;
        m_pchData = src.m_pchData;
        m_nDataLength = src.m_nDataLength;
        m_nAllocLength = src.m_nAllocLength;
        src.m_pchData = nullptr;
        src.m_nDataLength = src.m_nAllocLength = 0;
    }
    return *this;
}

const CString& CString::operator=(LPCSTR lpsz)
{
    Assign(lpsz, SafeLength(lpsz));
    return *this;
}

const CString& CString::operator=(const unsigned char* lpsz) { return *this = reinterpret_cast<LPCSTR>(lpsz); }

const CString& CString::operator=(char ch)
{
    Assign(&ch, 1);
    return *this;
}

const CString& CString::operator=(LPCWSTR lpsz)
{
    Empty();
    if (!lpsz) return *this;
    int n = ClampedLength(rcv_wcslen(lpsz));
    if (n == 0) return *this;
    SetLength(n);
    WideCharToMultiByte(CP_ACP, 0, lpsz, n, m_pchData, n, nullptr, nullptr);
    m_pchData[n] = '\0';
    return *this;
}

const CString& CString::operator+=(const CString& src)
{
    Append(src.m_pchData, src.m_nDataLength);
    return *this;
}

const CString& CString::operator+=(LPCSTR lpsz)
{
    Append(lpsz, SafeLength(lpsz));
    return *this;
}

const CString& CString::operator+=(char ch)
{
    Append(&ch, 1);
    return *this;
}

CString operator+(const CString& a, const CString& b)
{
    CString s(a);
    s += b;
    return s;
}

CString operator+(const CString& a, LPCSTR b)
{
    CString s(a);
    s += b;
    return s;
}

CString operator+(LPCSTR a, const CString& b)
{
    CString s(a);
    s += b;
    return s;
}

CString operator+(const CString& a, char b)
{
    CString s(a);
    s += b;
    return s;
}

CString operator+(char a, const CString& b)
{
    CString s(a, 1);
    s += b;
    return s;
}

// ---------------------------------------------------------------- comparison
int CString::Compare(LPCTSTR lpsz) const { return std::strcmp(*this, lpsz ? lpsz : ""); }
int CString::CompareNoCase(LPCTSTR lpsz) const { return lstrcmpiA(*this, lpsz ? lpsz : ""); }
int CString::Collate(LPCTSTR lpsz) const { return std::strcoll(*this, lpsz ? lpsz : ""); }
int CString::CollateNoCase(LPCTSTR lpsz) const { return _stricmp(*this, lpsz ? lpsz : ""); }

bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
bool operator==(LPCSTR a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
bool operator!=(const CString& a, LPCSTR b) { return a.Compare(b) != 0; }
bool operator!=(LPCSTR a, const CString& b) { return b.Compare(a) != 0; }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, LPCSTR b) { return a.Compare(b) < 0; }
bool operator<(LPCSTR a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator>(const CString& a, LPCSTR b) { return a.Compare(b) > 0; }
bool operator>(LPCSTR a, const CString& b) { return b.Compare(a) < 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator<=(const CString& a, LPCSTR b) { return a.Compare(b) <= 0; }
bool operator<=(LPCSTR a, const CString& b) { return b.Compare(a) >= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
bool operator>=(const CString& a, LPCSTR b) { return a.Compare(b) >= 0; }
bool operator>=(LPCSTR a, const CString& b) { return b.Compare(a) <= 0; }

// ---------------------------------------------------------------- extraction
CString CString::Mid(int nFirst) const { return Mid(nFirst, m_nDataLength); }

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0) nFirst = 0;
    if (nCount < 0) nCount = 0;
    if (nFirst >= m_nDataLength) return CString();
    if (nCount > m_nDataLength - nFirst) nCount = m_nDataLength - nFirst;
    return CString(m_pchData + nFirst, nCount);
}

CString CString::Left(int nCount) const
{
    if (nCount <= 0) return CString();
    if (nCount > m_nDataLength) nCount = m_nDataLength;
    return CString(m_pchData, nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount <= 0) return CString();
    if (nCount > m_nDataLength) nCount = m_nDataLength;
    return CString(m_pchData + m_nDataLength - nCount, nCount);
}

CString CString::SpanIncluding(LPCTSTR lpszCharSet) const
{
    return Left(static_cast<int>(std::strspn(*this, lpszCharSet ? lpszCharSet : "")));
}

CString CString::SpanExcluding(LPCTSTR lpszCharSet) const
{
    return Left(static_cast<int>(std::strcspn(*this, lpszCharSet ? lpszCharSet : "")));
}

// ---------------------------------------------------------------- changes
void CString::MakeUpper()
{
    for (int i = 0; i < m_nDataLength; ++i)
        m_pchData[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(m_pchData[i])));
}

void CString::MakeLower()
{
    for (int i = 0; i < m_nDataLength; ++i)
        m_pchData[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(m_pchData[i])));
}

void CString::MakeReverse()
{
    for (int i = 0, j = m_nDataLength - 1; i < j; ++i, --j) {
        char c = m_pchData[i];
        m_pchData[i] = m_pchData[j];
        m_pchData[j] = c;
    }
}

int CString::Replace(char chOld, char chNew)
{
    if (chOld == chNew) return 0;
    int count = 0;
    for (int i = 0; i < m_nDataLength; ++i) {
        if (m_pchData[i] == chOld) {
            m_pchData[i] = chNew;
            ++count;
        }
    }
    return count;
}

int CString::Replace(LPCTSTR lpszOld, LPCTSTR lpszNew)
{
    int oldLen = SafeLength(lpszOld);
    if (oldLen == 0 || m_nDataLength == 0) return 0;
    std::string replacement = lpszNew ? lpszNew : "";
    std::string text(m_pchData, static_cast<size_t>(m_nDataLength));
    std::string out;
    int count = 0;
    size_t pos = 0;
    for (;;) {
        size_t hit = text.find(lpszOld, pos, static_cast<size_t>(oldLen));
        if (hit == std::string::npos) break;
        out.append(text, pos, hit - pos);
        out += replacement;
        pos = hit + static_cast<size_t>(oldLen);
        ++count;
    }
    if (count == 0) return 0;
    out.append(text, pos, std::string::npos);
    Assign(out.data(), ClampedLength(out.size()));
    return count;
}

int CString::Remove(char ch)
{
    int kept = 0;
    for (int i = 0; i < m_nDataLength; ++i)
        if (m_pchData[i] != ch) m_pchData[kept++] = m_pchData[i];
    int removed = m_nDataLength - kept;
    if (removed) SetLength(kept);
    return removed;
}

int CString::Insert(int nIndex, char ch) { return Insert(nIndex, CString(ch, 1)); }

int CString::Insert(int nIndex, LPCTSTR pstr)
{
    int n = SafeLength(pstr);
    if (nIndex < 0) nIndex = 0;
    if (nIndex > m_nDataLength) nIndex = m_nDataLength;
    if (n == 0) return m_nDataLength;
    std::string insert(pstr, static_cast<size_t>(n));  // pstr may be our own text
    if (n > INT_MAX - 1 - m_nDataLength) AfxThrowMemoryException();
    int old = m_nDataLength;
    Reserve(old + n);
    std::memmove(m_pchData + nIndex + n, m_pchData + nIndex, static_cast<size_t>(old - nIndex));
    std::memcpy(m_pchData + nIndex, insert.data(), static_cast<size_t>(n));
    SetLength(old + n);
    return m_nDataLength;
}

int CString::Delete(int nIndex, int nCount)
{
    if (nIndex < 0) nIndex = 0;
    if (nCount <= 0 || nIndex >= m_nDataLength) return m_nDataLength;
    if (nCount > m_nDataLength - nIndex) nCount = m_nDataLength - nIndex;
    std::memmove(m_pchData + nIndex, m_pchData + nIndex + nCount,
                 static_cast<size_t>(m_nDataLength - nIndex - nCount));
    SetLength(m_nDataLength - nCount);
    return m_nDataLength;
}

static bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

void CString::TrimLeft()
{
    int n = 0;
    while (n < m_nDataLength && IsSpace(m_pchData[n])) ++n;
    Delete(0, n);
}

void CString::TrimLeft(char chTarget)
{
    int n = 0;
    while (n < m_nDataLength && m_pchData[n] == chTarget) ++n;
    Delete(0, n);
}

void CString::TrimLeft(LPCTSTR lpszTargets)
{
    if (!lpszTargets) return;
    int n = 0;
    while (n < m_nDataLength && m_pchData[n] && std::strchr(lpszTargets, m_pchData[n])) ++n;
    Delete(0, n);
}

void CString::TrimRight()
{
    int n = m_nDataLength;
    while (n > 0 && IsSpace(m_pchData[n - 1])) --n;
    if (n != m_nDataLength) SetLength(n);
}

void CString::TrimRight(char chTarget)
{
    int n = m_nDataLength;
    while (n > 0 && m_pchData[n - 1] == chTarget) --n;
    if (n != m_nDataLength) SetLength(n);
}

void CString::TrimRight(LPCTSTR lpszTargets)
{
    if (!lpszTargets) return;
    int n = m_nDataLength;
    while (n > 0 && m_pchData[n - 1] && std::strchr(lpszTargets, m_pchData[n - 1])) --n;
    if (n != m_nDataLength) SetLength(n);
}

// ---------------------------------------------------------------- searching
int CString::Find(char ch) const { return Find(ch, 0); }

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0) nStart = 0;
    if (nStart >= m_nDataLength) return -1;
    const void* hit = std::memchr(m_pchData + nStart, ch, static_cast<size_t>(m_nDataLength - nStart));
    return hit ? static_cast<int>(static_cast<const char*>(hit) - m_pchData) : -1;
}

int CString::Find(LPCTSTR lpszSub) const { return Find(lpszSub, 0); }

int CString::Find(LPCTSTR lpszSub, int nStart) const
{
    if (nStart < 0) nStart = 0;
    if (!lpszSub || nStart > m_nDataLength) return -1;
    const char* hit = std::strstr(static_cast<LPCTSTR>(*this) + nStart, lpszSub);
    return hit ? static_cast<int>(hit - static_cast<LPCTSTR>(*this)) : -1;
}

int CString::ReverseFind(char ch) const
{
    for (int i = m_nDataLength - 1; i >= 0; --i)
        if (m_pchData[i] == ch) return i;
    return -1;
}

int CString::FindOneOf(LPCTSTR lpszCharSet) const
{
    if (!lpszCharSet) return -1;
    const char* hit = std::strpbrk(*this, lpszCharSet);
    return hit ? static_cast<int>(hit - static_cast<LPCTSTR>(*this)) : -1;
}

// ---------------------------------------------------------------- formatting
void CString::Format(LPCTSTR lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    FormatV(lpszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCTSTR lpszFormat, va_list argList)
{
    if (!lpszFormat) {
        Empty();
        return;
    }
    char small[256];
    va_list again;
    va_copy(again, argList);
    int need = rcv_vsnprintf(small, sizeof small, lpszFormat, argList);
    if (need < 0) {
        va_end(again);
        Empty();
        return;
    }
    if (static_cast<size_t>(need) < sizeof small) {
        Assign(small, need);
    } else {
        std::vector<char> big(static_cast<size_t>(need) + 1);
        rcv_vsnprintf(big.data(), big.size(), lpszFormat, again);
        Assign(big.data(), need);
    }
    va_end(again);
}

namespace {
// One %n or %n!spec! insert of a message format.
struct Insert {
    int index;
    std::string spec;  // printf conversion without the '%', "s" by default
};

enum class ArgKind { Text, Int, Int64, Double, Pointer };

ArgKind KindOf(const std::string& spec)
{
    char conv = spec.empty() ? 's' : spec.back();
    switch (conv) {
    case 's':
    case 'S': return ArgKind::Text;
    case 'f':
    case 'e':
    case 'E':
    case 'g':
    case 'G': return ArgKind::Double;
    case 'p': return ArgKind::Pointer;
    default: break;
    }
    if (spec.find("I64") != std::string::npos || spec.find("ll") != std::string::npos) return ArgKind::Int64;
    return ArgKind::Int;
}

std::string FormatOne(const std::string& spec, ArgKind kind, const void* p, long long i, double d)
{
    std::string format = "%" + spec;
    char buf[512];
    int need = 0;
    switch (kind) {
    case ArgKind::Text: need = rcv_snprintf(buf, sizeof buf, format.c_str(), static_cast<const char*>(p)); break;
    case ArgKind::Pointer: need = rcv_snprintf(buf, sizeof buf, format.c_str(), p); break;
    case ArgKind::Int: need = rcv_snprintf(buf, sizeof buf, format.c_str(), static_cast<int>(i)); break;
    case ArgKind::Int64: need = rcv_snprintf(buf, sizeof buf, format.c_str(), i); break;
    case ArgKind::Double: need = rcv_snprintf(buf, sizeof buf, format.c_str(), d); break;
    }
    if (need < 0) return std::string();
    if (static_cast<size_t>(need) < sizeof buf) return std::string(buf, static_cast<size_t>(need));
    std::vector<char> big(static_cast<size_t>(need) + 1);
    switch (kind) {
    case ArgKind::Text: rcv_snprintf(big.data(), big.size(), format.c_str(), static_cast<const char*>(p)); break;
    case ArgKind::Pointer: rcv_snprintf(big.data(), big.size(), format.c_str(), p); break;
    case ArgKind::Int: rcv_snprintf(big.data(), big.size(), format.c_str(), static_cast<int>(i)); break;
    case ArgKind::Int64: rcv_snprintf(big.data(), big.size(), format.c_str(), i); break;
    case ArgKind::Double: rcv_snprintf(big.data(), big.size(), format.c_str(), d); break;
    }
    return std::string(big.data(), static_cast<size_t>(need));
}
}  // namespace

// Message inserts: %1..%99 (with an optional !printf spec!), %n a line
// break, %0 ends the text, %% %. %! %space the character itself.
void CString::FormatMessage(LPCTSTR lpszFormat, ...)
{
    Empty();
    if (!lpszFormat) return;
    std::string fmt = lpszFormat;

    // First pass: the format of every insert, so the arguments can be fetched in order.
    std::vector<std::string> specs(100);
    int maxIndex = 0;
    for (size_t i = 0; i + 1 < fmt.size(); ++i) {
        if (fmt[i] != '%') continue;
        size_t j = i + 1;
        if (!std::isdigit(static_cast<unsigned char>(fmt[j])) || fmt[j] == '0') {
            i = j;
            continue;
        }
        int index = fmt[j++] - '0';
        if (j < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[j]))) index = index * 10 + (fmt[j++] - '0');
        std::string spec = "s";
        if (j < fmt.size() && fmt[j] == '!') {
            size_t close = fmt.find('!', j + 1);
            if (close != std::string::npos) {
                spec = fmt.substr(j + 1, close - j - 1);
                j = close + 1;
            }
        }
        specs[static_cast<size_t>(index)] = spec;
        if (index > maxIndex) maxIndex = index;
        i = j - 1;
    }

    struct Value {
        ArgKind kind;
        const void* p;
        long long i;
        double d;
    };
    std::vector<Value> values(static_cast<size_t>(maxIndex) + 1);
    va_list args;
    va_start(args, lpszFormat);
    for (int n = 1; n <= maxIndex; ++n) {
        const std::string& spec = specs[static_cast<size_t>(n)];
        Value v{spec.empty() ? ArgKind::Pointer : KindOf(spec), nullptr, 0, 0.0};
        switch (v.kind) {
        case ArgKind::Text:
        case ArgKind::Pointer: v.p = va_arg(args, const void*); break;
        case ArgKind::Int: v.i = va_arg(args, int); break;
        case ArgKind::Int64: v.i = va_arg(args, long long); break;
        case ArgKind::Double: v.d = va_arg(args, double); break;
        }
        values[static_cast<size_t>(n)] = v;
    }
    va_end(args);

    std::string out;
    for (size_t i = 0; i < fmt.size(); ++i) {
        char c = fmt[i];
        if (c != '%' || i + 1 >= fmt.size()) {
            out += c;
            continue;
        }
        char next = fmt[++i];
        if (next == '0') break;
        if (next == 'n') {
            out += "\r\n";
            continue;
        }
        if (!std::isdigit(static_cast<unsigned char>(next))) {
            out += next;
            continue;
        }
        int index = next - '0';
        if (i + 1 < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[i + 1]))) index = index * 10 + (fmt[++i] - '0');
        std::string spec = "s";
        if (i + 1 < fmt.size() && fmt[i + 1] == '!') {
            size_t close = fmt.find('!', i + 2);
            if (close != std::string::npos) {
                spec = fmt.substr(i + 2, close - i - 2);
                i = close;
            }
        }
        const Value& v = values[static_cast<size_t>(index)];
        if (v.kind == ArgKind::Text && !v.p) continue;
        out += FormatOne(spec, v.kind, v.p, v.i, v.d);
    }
    Assign(out.data(), ClampedLength(out.size()));
}

BOOL CString::LoadString(UINT nID)
{
    for (int size = 256; size <= 65536; size *= 4) {
        std::vector<char> buf(static_cast<size_t>(size));
        int n = ::LoadStringA(nullptr, nID, buf.data(), size);
        if (n < size - 1) {
            Assign(buf.data(), n);
            return n > 0;
        }
    }
    return FALSE;
}

// ---------------------------------------------------------------- buffers
LPTSTR CString::GetBuffer(int nMinBufLength)
{
    Reserve(nMinBufLength > m_nDataLength ? nMinBufLength : m_nDataLength);
    return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (!m_pchData) return;
    if (nNewLength < 0) {
        const void* end = std::memchr(m_pchData, '\0', static_cast<size_t>(m_nAllocLength) + 1);
        nNewLength = static_cast<int>(static_cast<const char*>(end) - m_pchData);
    }
    if (nNewLength > m_nAllocLength) nNewLength = m_nAllocLength;
    SetLength(nNewLength);
}

LPTSTR CString::GetBufferSetLength(int nNewLength)
{
    if (nNewLength < 0) nNewLength = 0;
    GetBuffer(nNewLength);
    SetLength(nNewLength);
    return m_pchData;
}

void CString::FreeExtra()
{
    if (!m_pchData || m_nAllocLength == m_nDataLength) return;
    if (m_nDataLength == 0) {
        Empty();
        return;
    }
    CString copy(m_pchData, m_nDataLength);
    *this = std::move(copy);
}

LPTSTR CString::LockBuffer() { return GetBuffer(0); }

BSTR CString::AllocSysString() const
{
    std::vector<WCHAR> wide(static_cast<size_t>(m_nDataLength) + 1);
    if (m_nDataLength) MultiByteToWideChar(CP_ACP, 0, m_pchData, m_nDataLength, wide.data(), m_nDataLength);
    BSTR b = SysAllocStringLen(wide.data(), static_cast<UINT>(m_nDataLength));
    if (!b) AfxThrowMemoryException();
    return b;
}

BSTR CString::SetSysString(BSTR* pbstr) const
{
    std::vector<WCHAR> wide(static_cast<size_t>(m_nDataLength) + 1);
    if (m_nDataLength) MultiByteToWideChar(CP_ACP, 0, m_pchData, m_nDataLength, wide.data(), m_nDataLength);
    if (!SysReAllocStringLen(pbstr, wide.data(), static_cast<UINT>(m_nDataLength))) AfxThrowMemoryException();
    return *pbstr;
}
