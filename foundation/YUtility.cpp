#include "foundation/YUtility.h"

#include <cstdlib>
#include <string>

namespace {
const int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool FileExistsByName(const YString& upperName)
{
    CFileFind finder;
    BOOL more = finder.FindFile(upperName);
    while (more) {
        more = finder.FindNextFile();
        CString found = finder.GetFileName();
        found.MakeUpper();
        if (upperName.Compare(found) == 0) return true;
    }
    return false;
}
}  // namespace

int DebugLog(const char* text, uint8_t newFile, const char* fileName)
{
    YString line(text);
    YString echo = line + "\n";
    OutputDebugStringA(echo);

    YString name(fileName);
    name.MakeUpper();
    bool exists = newFile == 0 && FileExistsByName(name);
    try {
        CFile file;
        UINT mode = exists ? (CFile::modeWrite | CFile::typeBinary)
                           : (CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        CFileException error;
        if (!file.Open(fileName, mode, &error)) return 1;
        if (exists) file.SeekToEnd();
        if (line.GetLength()) file.Write(line.GetBuffer(), line.GetLength());
        file.Write("\r\n", 2);
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
    }
    return 1;
}

void HexEncode(const uint8_t* bytes, int count, YString& out)
{
    out.Empty();
    if (!bytes || count <= 0) return;
    std::string text;
    text.reserve(static_cast<size_t>(count) * 2);
    static const char kDigits[] = "0123456789ABCDEF";
    for (int i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    out = text.c_str();
}

void HexDecode(uint8_t* bytes, int count, const YString& text)
{
    if (!bytes) return;
    for (int i = 0; i < count; ++i) {
        YString pair = text.Mid(2 * i, 2);
        bytes[i] = static_cast<uint8_t>(std::strtol(pair, nullptr, 16));
    }
}

CString GetLastErrorText()
{
    char* buffer = nullptr;
    CString text;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                                 FORMAT_MESSAGE_FROM_SYSTEM,
                             nullptr, GetLastError(), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    if (n && buffer) text.Format("%s", buffer);
    if (buffer) LocalFree(buffer);
    return text;
}

int GetOsVersionCode()
{
    OSVERSIONINFOEXA ex;
    std::memset(&ex, 0, sizeof ex);
    ex.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    OSVERSIONINFOA* info = reinterpret_cast<OSVERSIONINFOA*>(&ex);
    if (!GetVersionExA(info)) {
        ex.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(info)) return 0;
    }
    DWORD major = info->dwMajorVersion;
    DWORD minor = info->dwMinorVersion;
    switch (info->dwPlatformId) {
    case VER_PLATFORM_WIN32s:
        return 32;
    case VER_PLATFORM_WIN32_WINDOWS:
        return (major > 4 || (major == 4 && minor != 0)) ? 98 : 95;
    case VER_PLATFORM_WIN32_NT:
        if (major < 5) return 4;
        return major == 5 ? 2000 : -1;
    default:
        return -1;
    }
}

int CountChar(const char* text, char ch)
{
    int count = 0;
    if (text)
        for (; *text; ++text)
            if (*text == ch) ++count;
    return count;
}

CTime ParseDate(const char* text)
{
    CString date(text ? text : "");
    int month = 0, day = 0;
    int first = date.Find('/');
    CString rest = date;
    if (first > 0) month = rcv_atoi(date.Left(first));
    if (first >= 0) {
        rest = date.Mid(first + 1);
        int second = rest.Find('/');
        if (second > 0) day = rcv_atoi(rest.Left(second));
        if (second >= 0) rest = rest.Mid(second + 1);
    }
    int year = rcv_atoi(rest);
    if (year < 50) year += 2000;
    else if (year < 100) year += 1900;
    if (month < 1 || month > 12) month = 1;
    if (day < 1 || day > 31) day = 1;
    if (year < 1971 || year > 2038) year = 1971;
    return CTime(year, month, day, 0, 0, 0, -1);
}

int DayOfYear(const CTime& date)
{
    int month = date.GetMonth();
    int day = date.GetDay();
    for (int m = 1; m < month && m <= 12; ++m) day += kMonthDays[m - 1];
    return day;
}

bool DayInWindow(int day, int first, int last)
{
    if (first == last || first < 1 || first > 365 || last < 1 || last > 365) return true;
    if (first < last) return day >= first && day <= last;
    return day >= first || day <= last;
}

CTime DateFromDayOfYear(int day)
{
    if (day < 1) day = 1;
    if (day > 365) day = 365;
    int month = 0;
    while (month < 11 && day > kMonthDays[month]) {
        day -= kMonthDays[month];
        ++month;
    }
    SYSTEMTIME now;
    GetSystemTime(&now);
    return CTime(now.wYear, month + 1, day, 0, 0, 0, -1);
}

void SunriseSunset(const CTime& date, int& sunrise, int& sunset)
{
    int x = std::abs(180 - DayOfYear(date));
    sunrise = 300 + x;
    sunset = 1200 - x;
}
