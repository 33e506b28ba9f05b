// printf-style formatting with the Windows run-time's size modifiers.
// Each conversion is cut out of the format, its argument fetched at the
// width Windows gives it, and handed to the C library on its own.
#include "platform/win32.h"

#include <string>

namespace {
enum class Size { Default, Char, Short, Long32, Long64, SizeT, Wide };

struct Output {
    char* buffer;
    size_t size;
    size_t length = 0;

    void Put(const char* text, size_t n)
    {
        if (buffer && size && length < size - 1) {
            size_t room = size - 1 - length;
            std::memcpy(buffer + length, text, n < room ? n : room);
        }
        length += n;
    }
};

template <typename T>
void PutFormatted(Output& out, const std::string& spec, T value)
{
    char small[128];
    int n = std::snprintf(small, sizeof small, spec.c_str(), value);
    if (n < 0) return;
    if (static_cast<size_t>(n) < sizeof small) {
        out.Put(small, n);
        return;
    }
    std::string big(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(&big[0], big.size(), spec.c_str(), value);
    out.Put(big.data(), n);
}

std::string Narrow(const WCHAR* w)
{
    std::string s;
    for (; *w; ++w) s += (*w < 256) ? static_cast<char>(*w) : '?';
    return s;
}
}  // namespace

int rcv_vsnprintf(char* buffer, size_t size, const char* format, va_list args)
{
    Output out{buffer, size};
    if (!format) format = "";
    va_list ap;
    va_copy(ap, args);
    const char* p = format;
    while (*p) {
        if (*p != '%') {
            const char* q = p;
            while (*q && *q != '%') ++q;
            out.Put(p, q - p);
            p = q;
            continue;
        }
        ++p;
        if (*p == '%') {
            out.Put("%", 1);
            ++p;
            continue;
        }
        std::string spec = "%";
        while (*p && std::strchr("-+ #0", *p)) spec += *p++;
        if (*p == '*') {
            spec += std::to_string(va_arg(ap, int));
            ++p;
        } else {
            while (*p >= '0' && *p <= '9') spec += *p++;
        }
        if (*p == '.') {
            spec += *p++;
            if (*p == '*') {
                spec += std::to_string(va_arg(ap, int));
                ++p;
            } else {
                while (*p >= '0' && *p <= '9') spec += *p++;
            }
        }
        Size sz = Size::Default;
        if (p[0] == 'I' && p[1] == '6' && p[2] == '4') { sz = Size::Long64; p += 3; }
        else if (p[0] == 'I' && p[1] == '3' && p[2] == '2') { sz = Size::Long32; p += 3; }
        else if (p[0] == 'h' && p[1] == 'h') { sz = Size::Char; p += 2; }
        else if (p[0] == 'l' && p[1] == 'l') { sz = Size::Long64; p += 2; }
        else if (*p == 'h') { sz = Size::Short; ++p; }
        else if (*p == 'l' || *p == 'w') { sz = Size::Wide; ++p; }  // 32-bit for integers
        else if (*p == 'I' || *p == 'z' || *p == 't' || *p == 'j') { sz = Size::SizeT; ++p; }
        else if (*p == 'L' || *p == 'q') { sz = (*p == 'q') ? Size::Long64 : Size::Default; ++p; }
        else if (*p == 'F' || *p == 'N') { ++p; }
        char conv = *p;
        if (!conv) break;  // a lone '%' at the end
        ++p;
        switch (conv) {
        case 'd':
        case 'i':
            if (sz == Size::Long64) PutFormatted(out, spec + "ll" + conv, va_arg(ap, long long));
            else if (sz == Size::SizeT) PutFormatted(out, spec + "zd", va_arg(ap, ptrdiff_t));
            else if (sz == Size::Short) PutFormatted(out, spec + "h" + conv, va_arg(ap, int));
            else if (sz == Size::Char) PutFormatted(out, spec + "hh" + conv, va_arg(ap, int));
            else PutFormatted(out, spec + conv, va_arg(ap, int));
            break;
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            if (sz == Size::Long64) PutFormatted(out, spec + "ll" + conv, va_arg(ap, unsigned long long));
            else if (sz == Size::SizeT) PutFormatted(out, spec + "z" + conv, va_arg(ap, size_t));
            else if (sz == Size::Short) PutFormatted(out, spec + "h" + conv, va_arg(ap, unsigned));
            else if (sz == Size::Char) PutFormatted(out, spec + "hh" + conv, va_arg(ap, unsigned));
            else PutFormatted(out, spec + conv, va_arg(ap, unsigned));
            break;
        case 'c':
        case 'C': {
            int c = va_arg(ap, int);
            bool wide = (conv == 'C') ? sz != Size::Short : sz == Size::Wide;
            if (wide && c > 255) c = '?';
            PutFormatted(out, spec + "c", c);
            break;
        }
        case 's':
        case 'S': {
            bool wide = (conv == 'S') ? sz != Size::Short : sz == Size::Wide;
            if (wide) {
                const WCHAR* w = va_arg(ap, const WCHAR*);
                if (w) {
                    std::string n = Narrow(w);
                    PutFormatted(out, spec + "s", n.c_str());
                } else {
                    PutFormatted(out, spec + "s", "(null)");
                }
            } else {
                const char* s = va_arg(ap, const char*);
                PutFormatted(out, spec + "s", s ? s : "(null)");
            }
            break;
        }
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            PutFormatted(out, spec + conv, va_arg(ap, double));
            break;
        case 'p':
            PutFormatted(out, spec + "p", va_arg(ap, void*));
            break;
        case 'n': {
            int* target = va_arg(ap, int*);
            if (target) *target = static_cast<int>(out.length);
            break;
        }
        default:
            out.Put(&conv, 1);
            break;
        }
    }
    va_end(ap);
    if (buffer && size) buffer[out.length < size ? out.length : size - 1] = 0;
    return static_cast<int>(out.length);
}

int rcv_snprintf(char* buffer, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int n = rcv_vsnprintf(buffer, size, format, args);
    va_end(args);
    return n;
}

int _vsnprintf(char* buffer, size_t size, const char* format, va_list args)
{
    int n = rcv_vsnprintf(buffer, size, format, args);
    return (n < 0 || static_cast<size_t>(n) >= size) ? -1 : n;
}

int _snprintf(char* buffer, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int n = _vsnprintf(buffer, size, format, args);
    va_end(args);
    return n;
}
