#include "platform/mfc/Time.h"

#include "platform/mfc/Archive.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {
// The original's time_t was 32 bits: 1970 .. 2038, anything else is -1.
time_t Checked(time_t t)
{
    return (t < 0 || t > INT32_MAX) ? static_cast<time_t>(-1) : t;
}

// Rewrites the Windows run-time's strftime forms for the C library.
std::string TranslateFormat(const char* format)
{
    std::string out;
    for (const char* p = format; *p; ++p) {
        if (*p != '%' || !p[1]) {
            out += *p;
            continue;
        }
        char c = *++p;
        bool alternate = false;
        if (c == '#' && p[1]) {
            alternate = true;
            c = *++p;
        }
        if (alternate) {
            switch (c) {
            case 'c': out += "%A, %B %-d, %Y %H:%M:%S"; break;
            case 'x': out += "%A, %B %-d, %Y"; break;
            case 'd': case 'H': case 'I': case 'j': case 'm': case 'M':
            case 'S': case 'U': case 'w': case 'W': case 'y': case 'Y':
                out += "%-";
                out += c;
                break;
            default:
                out += '%';
                out += c;
                break;
            }
            continue;
        }
        switch (c) {
        case 'c': out += "%m/%d/%y %H:%M:%S"; break;
        case 'z': out += "%Z"; break;
        default:
            out += '%';
            out += c;
            break;
        }
    }
    return out;
}

CString FormatTm(const char* format, const struct tm* t)
{
    if (!format || !*format || !t) return CString();
    std::string translated = TranslateFormat(format);
    std::vector<char> buffer(256);
    while (buffer.size() <= 65536) {
        size_t n = std::strftime(buffer.data(), buffer.size(), translated.c_str(), t);
        if (n > 0) return CString(buffer.data(), static_cast<int>(n));
        buffer.resize(buffer.size() * 4);
    }
    return CString();
}

struct tm* Broken(time_t t, struct tm* ptm, bool local)
{
    static thread_local struct tm buffer;
    struct tm* out = ptm ? ptm : &buffer;
    if (!(local ? localtime_r(&t, out) : gmtime_r(&t, out))) *out = tm();
    return out;
}
}  // namespace

// ---------------------------------------------------------------- CTimeSpan
CTimeSpan::CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
    : m_timeSpan(static_cast<time_t>(nSecs) + 60 * (static_cast<time_t>(nMins) +
                 60 * (static_cast<time_t>(nHours) + 24 * static_cast<time_t>(lDays))))
{
}

CString CTimeSpan::Format(LPCTSTR pFormat) const
{
    CString out;
    if (!pFormat) return out;
    for (const char* p = pFormat; *p; ++p) {
        if (*p != '%' || !p[1]) {
            out += *p;
            continue;
        }
        CString part;
        switch (*++p) {
        case 'D': part.Format("%ld", static_cast<long>(GetDays())); break;
        case 'H': part.Format("%02d", GetHours()); break;
        case 'M': part.Format("%02d", GetMinutes()); break;
        case 'S': part.Format("%02d", GetSeconds()); break;
        case '%': part = "%"; break;
        default:
            part = '%';
            part += *p;
            break;
        }
        out += part;
    }
    return out;
}

// ---------------------------------------------------------------- CTime
CTime CTime::GetCurrentTime()
{
    return CTime(std::time(nullptr));
}

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
{
    struct tm t = {};
    t.tm_year = nYear - 1900;
    t.tm_mon = nMonth - 1;
    t.tm_mday = nDay;
    t.tm_hour = nHour;
    t.tm_min = nMin;
    t.tm_sec = nSec;
    t.tm_isdst = nDST;
    m_time = Checked(std::mktime(&t));
}

CTime::CTime(WORD wDosDate, WORD wDosTime, int nDST)
    : CTime((wDosDate >> 9) + 1980, (wDosDate >> 5) & 0x0f, wDosDate & 0x1f, wDosTime >> 11,
            (wDosTime >> 5) & 0x3f, (wDosTime & 0x1f) * 2, nDST)
{
}

CTime::CTime(const SYSTEMTIME& sysTime, int nDST)
    : CTime(sysTime.wYear, sysTime.wMonth, sysTime.wDay, sysTime.wHour, sysTime.wMinute, sysTime.wSecond, nDST)
{
}

CTime::CTime(const FILETIME& fileTime, int)
    : m_time(Checked(static_cast<time_t>(platform::UnixFromFileTime(fileTime))))
{
}

struct tm* CTime::GetGmtTm(struct tm* ptm) const
{
    return Broken(m_time, ptm, false);
}

struct tm* CTime::GetLocalTm(struct tm* ptm) const
{
    return Broken(m_time, ptm, true);
}

BOOL CTime::GetAsSystemTime(SYSTEMTIME& timeDest) const
{
    struct tm t;
    if (!localtime_r(&m_time, &t)) return FALSE;
    timeDest.wYear = static_cast<WORD>(t.tm_year + 1900);
    timeDest.wMonth = static_cast<WORD>(t.tm_mon + 1);
    timeDest.wDayOfWeek = static_cast<WORD>(t.tm_wday);
    timeDest.wDay = static_cast<WORD>(t.tm_mday);
    timeDest.wHour = static_cast<WORD>(t.tm_hour);
    timeDest.wMinute = static_cast<WORD>(t.tm_min);
    timeDest.wSecond = static_cast<WORD>(t.tm_sec);
    timeDest.wMilliseconds = 0;
    return TRUE;
}

CString CTime::Format(LPCTSTR pFormat) const
{
    struct tm t;
    return FormatTm(pFormat, localtime_r(&m_time, &t));
}

CString CTime::FormatGmt(LPCTSTR pFormat) const
{
    struct tm t;
    return FormatTm(pFormat, gmtime_r(&m_time, &t));
}

// ---------------------------------------------------------------- archives
CArchive& operator<<(CArchive& ar, CTime time)
{
    return ar << static_cast<DWORD>(static_cast<uint32_t>(time.m_time));
}

CArchive& operator>>(CArchive& ar, CTime& rtime)
{
    DWORD stored = 0;
    ar >> stored;
    rtime = CTime(static_cast<time_t>(static_cast<int32_t>(stored)));
    return ar;
}

CArchive& operator<<(CArchive& ar, CTimeSpan span)
{
    return ar << static_cast<LONG>(span.m_timeSpan);
}

CArchive& operator>>(CArchive& ar, CTimeSpan& rspan)
{
    LONG stored = 0;
    ar >> stored;
    rspan = CTimeSpan(static_cast<time_t>(stored));
    return ar;
}
