// Our own stand-in for the Win32 services the game calls on: basic types,
// rectangles, the C run-time names Linux lacks, the clock and rand/srand.
// Later families (windows, messages, GDI, files) add their declarations here.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------- types
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int32_t INT;
typedef uint32_t UINT;
typedef int32_t BOOL;
typedef uint8_t BOOLEAN;
typedef char CHAR;
typedef unsigned char UCHAR;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef float FLOAT;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef int64_t __int64;
typedef char16_t WCHAR;
typedef int32_t HRESULT;
typedef DWORD COLORREF;

typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef uintptr_t UINT_PTR;
typedef intptr_t INT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;

typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef char* LPTSTR;
typedef const char* LPCTSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef BYTE* LPBYTE;
typedef WORD* LPWORD;
typedef DWORD* LPDWORD;
typedef LONG* LPLONG;
typedef BOOL* LPBOOL;
typedef char TCHAR;
typedef WCHAR OLECHAR;
typedef OLECHAR* BSTR;

typedef void* HANDLE;
#define RCV_DECLARE_HANDLE(name) \
    struct name##__ { int unused; }; \
    typedef struct name##__* name
RCV_DECLARE_HANDLE(HWND);
RCV_DECLARE_HANDLE(HINSTANCE);
RCV_DECLARE_HANDLE(HDC);
RCV_DECLARE_HANDLE(HICON);
RCV_DECLARE_HANDLE(HCURSOR);
RCV_DECLARE_HANDLE(HMENU);
RCV_DECLARE_HANDLE(HBITMAP);
RCV_DECLARE_HANDLE(HBRUSH);
RCV_DECLARE_HANDLE(HPEN);
RCV_DECLARE_HANDLE(HFONT);
RCV_DECLARE_HANDLE(HPALETTE);
RCV_DECLARE_HANDLE(HRGN);
RCV_DECLARE_HANDLE(HKEY);
RCV_DECLARE_HANDLE(HMONITOR);
typedef HINSTANCE HMODULE;
typedef void* HGDIOBJ;
typedef void* HLOCAL;
typedef void* HGLOBAL;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define MAX_PATH 260
#define _MAX_PATH 260
#define _MAX_DRIVE 3
#define _MAX_DIR 256
#define _MAX_FNAME 256
#define _MAX_EXT 256

#define CALLBACK
#define WINAPI
#define APIENTRY
#define PASCAL
#define FAR
#define NEAR
#define CONST const
#define VOID void

#define MAKEWORD(a, b) ((WORD)(((BYTE)((DWORD_PTR)(a) & 0xff)) | ((WORD)((BYTE)((DWORD_PTR)(b) & 0xff))) << 8))
#define MAKELONG(a, b) ((LONG)(((WORD)((DWORD_PTR)(a) & 0xffff)) | ((DWORD)((WORD)((DWORD_PTR)(b) & 0xffff))) << 16))
#define LOWORD(l) ((WORD)((DWORD_PTR)(l) & 0xffff))
#define HIWORD(l) ((WORD)(((DWORD_PTR)(l) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)((DWORD_PTR)(w) & 0xff))
#define HIBYTE(w) ((BYTE)(((DWORD_PTR)(w) >> 8) & 0xff))
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))

typedef union _LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
} LARGE_INTEGER;

// ---------------------------------------------------------------- results
#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define MAKE_HRESULT(sev, fac, code) \
    ((HRESULT)(((uint32_t)(sev) << 31) | ((uint32_t)(fac) << 16) | ((uint32_t)(code))))

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L

// ---------------------------------------------------------------- geometry
typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *LPRECT;
typedef const RECT* LPCRECT;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *LPPOINT;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE, *LPSIZE;

BOOL SetRect(LPRECT rc, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT rc);
BOOL CopyRect(LPRECT dst, const RECT* src);
BOOL IsRectEmpty(const RECT* rc);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rc, POINT pt);
BOOL OffsetRect(LPRECT rc, int dx, int dy);
BOOL InflateRect(LPRECT rc, int dx, int dy);
BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b);
BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b);
BOOL SubtractRect(LPRECT dst, const RECT* a, const RECT* b);

// ---------------------------------------------------------------- strings
int lstrcmpiA(LPCSTR a, LPCSTR b);
int lstrcmpA(LPCSTR a, LPCSTR b);
int lstrlenA(LPCSTR s);
LPSTR lstrcpyA(LPSTR dst, LPCSTR src);
LPSTR lstrcpynA(LPSTR dst, LPCSTR src, int maxLength);
LPSTR lstrcatA(LPSTR dst, LPCSTR src);
#define lstrcmpi lstrcmpiA
#define lstrcmp lstrcmpA
#define lstrlen lstrlenA
#define lstrcpy lstrcpyA
#define lstrcpyn lstrcpynA
#define lstrcat lstrcatA

// wsprintf writes at most 1024 bytes, as the system's does.
int wsprintfA(LPSTR dst, LPCSTR format, ...);
int wvsprintfA(LPSTR dst, LPCSTR format, va_list args);
#define wsprintf wsprintfA
#define wvsprintf wvsprintfA

char* _strupr(char* s);
char* _strlwr(char* s);
char* _strrev(char* s);
int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, size_t n);
#define stricmp _stricmp
#define strnicmp _strnicmp
#define strupr _strupr
#define strlwr _strlwr
#define strrev _strrev
char* _itoa(int value, char* buffer, int radix);
char* _ltoa(LONG value, char* buffer, int radix);
char* _ultoa(DWORD value, char* buffer, int radix);
#define itoa _itoa
#define ltoa _ltoa
// The Windows run-time's atoi: blanks, a sign, decimal digits; a value past
// the 32-bit range saturates at INT_MAX or INT_MIN instead of wrapping.
int rcv_atoi(const char* text);

// Bounded formatting with the Windows meaning of the size modifiers: "l" is
// 32 bits, "I64" and "ll" 64, "%hs" is narrow text and "%ls"/"%S" 16-bit
// text.  Returns the length the whole text needs, like C99 snprintf.
int rcv_vsnprintf(char* buffer, size_t size, const char* format, va_list args);
int rcv_snprintf(char* buffer, size_t size, const char* format, ...);
// Windows' _snprintf: -1 when the text does not fit (the buffer is still terminated).
int _snprintf(char* buffer, size_t size, const char* format, ...);
int _vsnprintf(char* buffer, size_t size, const char* format, va_list args);

size_t rcv_wcslen(const WCHAR* s);

// ---------------------------------------------------------------- code pages and BSTR
#define CP_ACP 0
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcLength, LPWSTR dst, int dstLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcLength, LPSTR dst, int dstLength,
                        LPCSTR defaultChar, LPBOOL usedDefault);
BSTR SysAllocStringLen(const OLECHAR* src, UINT length);
int SysReAllocStringLen(BSTR* bstr, const OLECHAR* src, UINT length);
void SysFreeString(BSTR bstr);
UINT SysStringLen(BSTR bstr);

// ---------------------------------------------------------------- errors and system
DWORD GetLastError();
void SetLastError(DWORD error);
#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_STRING 0x00000400
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000
#define LANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))
DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer, DWORD size,
                     va_list* args);
#define FormatMessage FormatMessageA
#define LMEM_FIXED 0
HLOCAL LocalAlloc(UINT flags, size_t bytes);
HLOCAL LocalFree(HLOCAL mem);

// Debugger output goes nowhere unless a hook is set (tests set one).
void OutputDebugStringA(LPCSTR text);
#define OutputDebugString OutputDebugStringA
namespace platform {
typedef void (*DebugOutputHook)(const char* text);
DebugOutputHook SetDebugOutputHook(DebugOutputHook hook);
}

typedef struct _OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
} OSVERSIONINFOA, *LPOSVERSIONINFOA;
typedef struct _OSVERSIONINFOEXA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
} OSVERSIONINFOEXA;
typedef OSVERSIONINFOA OSVERSIONINFO;
typedef OSVERSIONINFOEXA OSVERSIONINFOEX;
#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2
BOOL GetVersionExA(LPOSVERSIONINFOA info);
#define GetVersionEx GetVersionExA

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME, *LPSYSTEMTIME;
void GetSystemTime(LPSYSTEMTIME time);
void GetLocalTime(LPSYSTEMTIME time);

// String resources of the program: the program registers its table at start.
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax);
#define LoadString LoadStringA
namespace platform {
void RegisterStringResource(UINT id, const char* text);
}

// ---------------------------------------------------------------- clock
// One clock stands behind GetTickCount and timeGetTime: wrapping 32-bit
// milliseconds of the monotonic clock, or a stepped clock that tests and
// the fixed-step mode advance by hand.
DWORD GetTickCount();
void Sleep(DWORD milliseconds);
namespace platform {
struct Clock {
    static DWORD Now();
    // Manual mode freezes the clock; only Advance and Set move it.
    static void SetManual(bool manual);
    static bool IsManual();
    static void Advance(DWORD milliseconds);
    static void Set(DWORD milliseconds);
};
}  // namespace platform

// ---------------------------------------------------------------- rand
// The Windows run-time's generator: 15-bit results, seeded runs repeat.
// Our definitions of rand and srand take the place of the C library's.
#undef RAND_MAX
#define RAND_MAX 0x7fff
namespace platform {
// The seed where the game reseeds rand() from the time: the fixed seed
// (a test's, else RCV_SEED) when there is one, else the calendar time.
struct Seed {
    static unsigned int Next();
    static void Fix(unsigned int seed);
    // Back to RCV_SEED or the time.
    static void Release();
};
}  // namespace platform
#include "platform/win32_files.h"

#include "platform/win32_gdi.h"

#include "platform/win32_window.h"

#include "platform/win32_clipboard.h"

#include "platform/win32_module.h"
