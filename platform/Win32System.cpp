// Errors, debugger output, the version query, system time, string
// resources and code-page conversion of the Win32 stand-in.
#include "platform/win32.h"

#include <cerrno>
#include <ctime>
#include <map>
#include <string>

namespace {
thread_local DWORD g_lastError = 0;
platform::DebugOutputHook g_debugHook = nullptr;

std::map<UINT, std::string>& StringTable()
{
    static std::map<UINT, std::string> table;
    return table;
}

const char* SystemMessage(DWORD id)
{
    switch (id) {
    case ERROR_SUCCESS: return "The operation completed successfully.";
    case ERROR_FILE_NOT_FOUND: return "The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND: return "The system cannot find the path specified.";
    case ERROR_ACCESS_DENIED: return "Access is denied.";
    case ERROR_INVALID_HANDLE: return "The handle is invalid.";
    case ERROR_NOT_ENOUGH_MEMORY: return "Not enough storage is available to process this command.";
    case ERROR_NO_MORE_FILES: return "There are no more files.";
    case ERROR_INVALID_PARAMETER: return "The parameter is incorrect.";
    default: return nullptr;
    }
}

void FillSystemTime(LPSYSTEMTIME out, bool local)
{
    if (!out) return;
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    time_t t = ts.tv_sec;
    struct tm tmv;
    if (local) localtime_r(&t, &tmv);
    else gmtime_r(&t, &tmv);
    out->wYear = static_cast<WORD>(tmv.tm_year + 1900);
    out->wMonth = static_cast<WORD>(tmv.tm_mon + 1);
    out->wDayOfWeek = static_cast<WORD>(tmv.tm_wday);
    out->wDay = static_cast<WORD>(tmv.tm_mday);
    out->wHour = static_cast<WORD>(tmv.tm_hour);
    out->wMinute = static_cast<WORD>(tmv.tm_min);
    out->wSecond = static_cast<WORD>(tmv.tm_sec);
    out->wMilliseconds = static_cast<WORD>(ts.tv_nsec / 1000000);
}
}  // namespace

DWORD GetLastError()
{
    return g_lastError;
}

void SetLastError(DWORD error)
{
    g_lastError = error;
}

HLOCAL LocalAlloc(UINT, size_t bytes)
{
    return std::calloc(1, bytes ? bytes : 1);
}

HLOCAL LocalFree(HLOCAL mem)
{
    std::free(mem);
    return nullptr;
}

DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD, LPSTR buffer, DWORD size, va_list*)
{
    std::string text;
    if (flags & FORMAT_MESSAGE_FROM_STRING) {
        text = source ? static_cast<const char*>(source) : "";
    } else {
        const char* known = SystemMessage(messageId);
        if (!known) {
            SetLastError(317);  // the message number is not known
            return 0;
        }
        text = known;
        text += "\r\n";
    }
    if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        if (!buffer) return 0;
        char* mem = static_cast<char*>(LocalAlloc(LMEM_FIXED, text.size() + 1));
        std::memcpy(mem, text.c_str(), text.size() + 1);
        *reinterpret_cast<char**>(buffer) = mem;
        return static_cast<DWORD>(text.size());
    }
    if (!buffer || size == 0) return 0;
    lstrcpynA(buffer, text.c_str(), static_cast<int>(size));
    return static_cast<DWORD>(std::strlen(buffer));
}

void OutputDebugStringA(LPCSTR text)
{
    if (g_debugHook) g_debugHook(text ? text : "");
}

namespace platform {
DebugOutputHook SetDebugOutputHook(DebugOutputHook hook)
{
    DebugOutputHook old = g_debugHook;
    g_debugHook = hook;
    return old;
}

void RegisterStringResource(UINT id, const char* text)
{
    StringTable()[id] = text ? text : "";
}
}  // namespace platform

// We present ourselves as Windows 2000: NT 5.0.
BOOL GetVersionExA(LPOSVERSIONINFOA info)
{
    if (!info) return FALSE;
    DWORD size = info->dwOSVersionInfoSize;
    if (size != sizeof(OSVERSIONINFOA) && size != sizeof(OSVERSIONINFOEXA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 0;
    info->dwBuildNumber = 2195;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    info->szCSDVersion[0] = 0;
    if (size == sizeof(OSVERSIONINFOEXA)) {
        OSVERSIONINFOEXA* ex = reinterpret_cast<OSVERSIONINFOEXA*>(info);
        ex->wServicePackMajor = ex->wServicePackMinor = ex->wSuiteMask = 0;
        ex->wProductType = 1;
        ex->wReserved = 0;
    }
    return TRUE;
}

void GetSystemTime(LPSYSTEMTIME time)
{
    FillSystemTime(time, false);
}

void GetLocalTime(LPSYSTEMTIME time)
{
    FillSystemTime(time, true);
}

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int bufferMax)
{
    if (!buffer || bufferMax <= 0) return 0;
    auto it = StringTable().find(id);
    if (it == StringTable().end()) {
        buffer[0] = 0;
        return 0;
    }
    lstrcpynA(buffer, it->second.c_str(), bufferMax);
    return static_cast<int>(std::strlen(buffer));
}

// The ANSI code page is taken as Latin-1: each byte is one character.
int MultiByteToWideChar(UINT, DWORD, LPCSTR src, int srcLength, LPWSTR dst, int dstLength)
{
    if (!src) return 0;
    int n = srcLength < 0 ? static_cast<int>(std::strlen(src)) + 1 : srcLength;
    if (dstLength == 0) return n;
    if (!dst || dstLength < n) {
        SetLastError(122);  // the buffer is too small
        return 0;
    }
    for (int i = 0; i < n; ++i) dst[i] = static_cast<unsigned char>(src[i]);
    return n;
}

int WideCharToMultiByte(UINT, DWORD, LPCWSTR src, int srcLength, LPSTR dst, int dstLength, LPCSTR defaultChar,
                        LPBOOL usedDefault)
{
    if (!src) return 0;
    int n = srcLength < 0 ? static_cast<int>(rcv_wcslen(src)) + 1 : srcLength;
    if (usedDefault) *usedDefault = FALSE;
    if (dstLength == 0) return n;
    if (!dst || dstLength < n) {
        SetLastError(122);
        return 0;
    }
    for (int i = 0; i < n; ++i) {
        if (src[i] < 256) {
            dst[i] = static_cast<char>(src[i]);
        } else {
            dst[i] = defaultChar ? *defaultChar : '?';
            if (usedDefault) *usedDefault = TRUE;
        }
    }
    return n;
}

// A BSTR keeps its byte length in the 32-bit word before the text.
BSTR SysAllocStringLen(const OLECHAR* src, UINT length)
{
    char* mem = static_cast<char*>(std::malloc(sizeof(uint32_t) + (static_cast<size_t>(length) + 1) * sizeof(OLECHAR)));
    if (!mem) return nullptr;
    uint32_t bytes = length * static_cast<uint32_t>(sizeof(OLECHAR));
    std::memcpy(mem, &bytes, sizeof bytes);
    BSTR text = reinterpret_cast<BSTR>(mem + sizeof(uint32_t));
    if (src) std::memcpy(text, src, length * sizeof(OLECHAR));
    else std::memset(text, 0, length * sizeof(OLECHAR));
    text[length] = 0;
    return text;
}

void SysFreeString(BSTR bstr)
{
    if (bstr) std::free(reinterpret_cast<char*>(bstr) - sizeof(uint32_t));
}

UINT SysStringLen(BSTR bstr)
{
    if (!bstr) return 0;
    uint32_t bytes;
    std::memcpy(&bytes, reinterpret_cast<char*>(bstr) - sizeof(uint32_t), sizeof bytes);
    return bytes / sizeof(OLECHAR);
}

int SysReAllocStringLen(BSTR* bstr, const OLECHAR* src, UINT length)
{
    if (!bstr) return FALSE;
    BSTR fresh = SysAllocStringLen(src, length);
    if (!fresh) return FALSE;
    SysFreeString(*bstr);
    *bstr = fresh;
    return TRUE;
}
