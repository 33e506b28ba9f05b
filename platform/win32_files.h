// Files and folders of the Win32 stand-in: file search, attributes,
// directories, copying and moving, the current folder and the CRT names.
// Every path goes through platform::ResolvePath.  Paths handed back (current
// folder, full path names, the program's own path) are host paths with "/".
// Included at the end of platform/win32.h.
#pragma once

#include "platform/win32.h"

// ---------------------------------------------------------------- error codes
#ifndef ERROR_TOO_MANY_OPEN_FILES
#define ERROR_TOO_MANY_OPEN_FILES 4L
#endif
#ifndef ERROR_CURRENT_DIRECTORY
#define ERROR_CURRENT_DIRECTORY 16L
#endif
#ifndef ERROR_NOT_SAME_DEVICE
#define ERROR_NOT_SAME_DEVICE 17L
#endif
#ifndef ERROR_WRITE_PROTECT
#define ERROR_WRITE_PROTECT 19L
#endif
#ifndef ERROR_SHARING_VIOLATION
#define ERROR_SHARING_VIOLATION 32L
#endif
#ifndef ERROR_HANDLE_EOF
#define ERROR_HANDLE_EOF 38L
#endif
#ifndef ERROR_FILE_EXISTS
#define ERROR_FILE_EXISTS 80L
#endif
#ifndef ERROR_DISK_FULL
#define ERROR_DISK_FULL 112L
#endif
#ifndef ERROR_INSUFFICIENT_BUFFER
#define ERROR_INSUFFICIENT_BUFFER 122L
#endif
#ifndef ERROR_INVALID_NAME
#define ERROR_INVALID_NAME 123L
#endif
#ifndef ERROR_DIR_NOT_EMPTY
#define ERROR_DIR_NOT_EMPTY 145L
#endif
#ifndef ERROR_BAD_PATHNAME
#define ERROR_BAD_PATHNAME 161L
#endif
#ifndef ERROR_ALREADY_EXISTS
#define ERROR_ALREADY_EXISTS 183L
#endif
#ifndef ERROR_FILENAME_EXCED_RANGE
#define ERROR_FILENAME_EXCED_RANGE 206L
#endif
#ifndef ERROR_DIRECTORY
#define ERROR_DIRECTORY 267L
#endif

#ifndef INFINITE
#define INFINITE 0xFFFFFFFF
#endif

// ---------------------------------------------------------------- types
typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *LPFILETIME;
typedef const FILETIME* LPCFILETIME;

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

typedef struct _WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];  // left empty: there are no short names here
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;
typedef WIN32_FIND_DATAA WIN32_FIND_DATA;
typedef LPWIN32_FIND_DATAA LPWIN32_FIND_DATA;

// ---------------------------------------------------------------- search
// Patterns match without regard to case; '*' and '?' follow the system's
// rules ("*.*" also matches names without a dot, "*." only those, a '?'
// may match nothing before a dot or at the end).  Entries come sorted, "."
// and ".." first.
HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data);
BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data);
BOOL FindClose(HANDLE find);
#define FindFirstFile FindFirstFileA
#define FindNextFile FindNextFileA

// ---------------------------------------------------------------- files and folders
DWORD GetFileAttributesA(LPCSTR path);
// Only FILE_ATTRIBUTE_READONLY changes anything (the owner's write permission).
BOOL SetFileAttributesA(LPCSTR path, DWORD attributes);
BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectoryA(LPCSTR path);
BOOL DeleteFileA(LPCSTR path);
// Fails when the new name exists, except for a change of letter case only.
BOOL MoveFileA(LPCSTR existing, LPCSTR newName);
// MOVEFILE_REPLACE_EXISTING puts the file over an existing one in one step.
#define MOVEFILE_REPLACE_EXISTING 0x00000001
BOOL MoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags);
BOOL CopyFileA(LPCSTR existing, LPCSTR newName, BOOL failIfExists);
DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
BOOL SetCurrentDirectoryA(LPCSTR path);
DWORD GetFullPathNameA(LPCSTR path, DWORD bufferLength, LPSTR buffer, LPSTR* filePart);
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer);
#define GetFileAttributes GetFileAttributesA
#define SetFileAttributes SetFileAttributesA
#define CreateDirectory CreateDirectoryA
#define RemoveDirectory RemoveDirectoryA
#define DeleteFile DeleteFileA
#define MoveFile MoveFileA
#define MoveFileEx MoveFileExA
#define CopyFile CopyFileA
#define GetCurrentDirectory GetCurrentDirectoryA
#define SetCurrentDirectory SetCurrentDirectoryA
#define GetFullPathName GetFullPathNameA
#define GetModuleFileName GetModuleFileNameA
#define GetTempPath GetTempPathA

// File times count 100 ns from 1 January 1601, UTC.
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime);
BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime);
BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime);
LONG CompareFileTime(const FILETIME* a, const FILETIME* b);

// ---------------------------------------------------------------- C run-time names
char* _getcwd(char* buffer, int size);
int _chdir(const char* path);
int _mkdir(const char* path);
int _rmdir(const char* path);
// mode: 0 exists, 2 writable, 4 readable, 6 both.
int _access(const char* path, int mode);
int _unlink(const char* path);

namespace platform {
// The Win32 error code for a C library errno value.
DWORD Win32ErrorFromErrno(int error);
// The same, telling a missing file from a missing folder for a host path.
DWORD Win32ErrorForPath(int error, const char* hostPath);
// Converts between Unix seconds and file times.
FILETIME FileTimeFromUnix(int64_t seconds, int64_t nanoseconds);
int64_t UnixFromFileTime(const FILETIME& fileTime);
// The system's name matching for search patterns, without regard to case.
bool MatchesWildcard(const char* pattern, const char* name);
}  // namespace platform
