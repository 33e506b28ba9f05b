// String functions of the Win32 stand-in and the C run-time names Linux lacks.
#include "platform/win32.h"

#include <cctype>
#include <climits>
#include <string>

int lstrcmpiA(LPCSTR a, LPCSTR b)
{
    if (!a) a = "";
    if (!b) b = "";
    for (;; ++a, ++b) {
        int ca = std::tolower(static_cast<unsigned char>(*a));
        int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (!ca) return 0;
    }
}

int lstrcmpA(LPCSTR a, LPCSTR b)
{
    int r = std::strcmp(a ? a : "", b ? b : "");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int lstrlenA(LPCSTR s)
{
    return s ? static_cast<int>(std::strlen(s)) : 0;
}

LPSTR lstrcpyA(LPSTR dst, LPCSTR src)
{
    if (!dst) return nullptr;
    std::strcpy(dst, src ? src : "");
    return dst;
}

LPSTR lstrcpynA(LPSTR dst, LPCSTR src, int maxLength)
{
    if (!dst || maxLength <= 0) return dst;
    int i = 0;
    if (src) {
        for (; i < maxLength - 1 && src[i]; ++i) dst[i] = src[i];
    }
    dst[i] = 0;
    return dst;
}

LPSTR lstrcatA(LPSTR dst, LPCSTR src)
{
    if (!dst) return nullptr;
    std::strcat(dst, src ? src : "");
    return dst;
}

int wvsprintfA(LPSTR dst, LPCSTR format, va_list args)
{
    if (!dst) return 0;
    int n = rcv_vsnprintf(dst, 1024, format, args);
    return n < 0 ? 0 : (n > 1023 ? 1023 : n);
}

int wsprintfA(LPSTR dst, LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    int n = wvsprintfA(dst, format, args);
    va_end(args);
    return n;
}

char* _strupr(char* s)
{
    if (s)
        for (char* p = s; *p; ++p) *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    return s;
}

char* _strlwr(char* s)
{
    if (s)
        for (char* p = s; *p; ++p) *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    return s;
}

char* _strrev(char* s)
{
    if (!s) return s;
    size_t n = std::strlen(s);
    for (size_t i = 0; i < n / 2; ++i) std::swap(s[i], s[n - 1 - i]);
    return s;
}

int _stricmp(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        int ca = std::tolower(static_cast<unsigned char>(*a));
        int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb || !ca) return ca - cb;
    }
}

int _strnicmp(const char* a, const char* b, size_t n)
{
    for (; n; --n, ++a, ++b) {
        int ca = std::tolower(static_cast<unsigned char>(*a));
        int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb || !ca) return ca - cb;
    }
    return 0;
}

namespace {
char* UnsignedToText(unsigned long long value, bool negative, char* buffer, int radix)
{
    if (!buffer) return buffer;
    if (radix < 2 || radix > 36) {
        buffer[0] = 0;
        return buffer;
    }
    char tmp[72];
    int n = 0;
    do {
        int d = static_cast<int>(value % radix);
        tmp[n++] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
        value /= radix;
    } while (value);
    char* p = buffer;
    if (negative) *p++ = '-';
    while (n) *p++ = tmp[--n];
    *p = 0;
    return buffer;
}

// Only radix 10 shows a sign, as in the run-time; other radixes show the 32-bit pattern.
char* SignedToText(long long value, char* buffer, int radix)
{
    if (radix == 10 && value < 0)
        return UnsignedToText(0ull - static_cast<unsigned long long>(value), true, buffer, radix);
    return UnsignedToText(static_cast<uint32_t>(value), false, buffer, radix);
}
}  // namespace

char* _itoa(int value, char* buffer, int radix)
{
    return SignedToText(value, buffer, radix);
}

char* _ltoa(long value, char* buffer, int radix)
{
    return SignedToText(static_cast<int32_t>(value), buffer, radix);
}

char* _ultoa(unsigned long value, char* buffer, int radix)
{
    return UnsignedToText(static_cast<uint32_t>(value), false, buffer, radix);
}

int rcv_atoi(const char* text)
{
    if (!text) return 0;
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    // Counted past the limit of its side, the value stops there.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

size_t rcv_wcslen(const WCHAR* s)
{
    size_t n = 0;
    if (s)
        while (s[n]) ++n;
    return n;
}
