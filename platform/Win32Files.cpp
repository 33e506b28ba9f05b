// Files and folders of the Win32 stand-in, all through the path resolver.
#include "platform/win32.h"

#include "platform/FilePath.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {
const DWORD kGeneralFailure = 31;  // ERROR_GEN_FAILURE
const int64_t kTicksPerSecond = 10000000;
const int64_t kSecondsFrom1601To1970 = 11644473600LL;

struct FindState {
    std::string folder;  // host path, "" for the current folder
    std::vector<std::string> names;
    size_t next = 0;
};

std::string CurrentFolder()
{
    std::vector<char> buffer(4096);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) return std::string();
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::string JoinPath(const std::string& dir, const std::string& name)
{
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

std::string ParentOf(const std::string& hostPath)
{
    std::string p = hostPath;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    size_t slash = p.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return p.substr(0, slash);
}

std::string LastComponent(const std::string& path)
{
    size_t end = path.size();
    while (end > 0 && (path[end - 1] == '/' || path[end - 1] == '\\')) --end;
    size_t start = end;
    while (start > 0 && path[start - 1] != '/' && path[start - 1] != '\\' && path[start - 1] != ':') --start;
    return path.substr(start, end - start);
}

bool StatPath(const std::string& hostPath, struct stat* st)
{
    if (stat(hostPath.c_str(), st) == 0) return true;
    int error = errno;
    if (lstat(hostPath.c_str(), st) == 0) return true;  // a dangling link still exists
    errno = error;
    return false;
}

bool IsReadOnly(const struct stat& st)
{
    return (st.st_mode & S_IWUSR) == 0;
}

DWORD AttributesOf(const struct stat& st, const std::string& name)
{
    DWORD attributes = 0;
    if (S_ISDIR(st.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    else attributes |= FILE_ATTRIBUTE_ARCHIVE;
    if (IsReadOnly(st)) attributes |= FILE_ATTRIBUTE_READONLY;
    if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
    return attributes;
}

bool FillFindData(const std::string& folder, const std::string& name, LPWIN32_FIND_DATAA data)
{
    struct stat st;
    if (!StatPath(JoinPath(folder, name), &st)) return false;
    std::memset(data, 0, sizeof(*data));
    data->dwFileAttributes = AttributesOf(st, name);
    data->ftCreationTime = platform::FileTimeFromUnix(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    data->ftLastAccessTime = platform::FileTimeFromUnix(st.st_atim.tv_sec, st.st_atim.tv_nsec);
    data->ftLastWriteTime = platform::FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    if (!S_ISDIR(st.st_mode)) {
        uint64_t size = static_cast<uint64_t>(st.st_size);
        data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data->nFileSizeLow = static_cast<DWORD>(size & 0xffffffffu);
    }
    std::strncpy(data->cFileName, name.c_str(), MAX_PATH - 1);
    return true;
}

// Delivers the next entry that still exists; false at the end.
bool DeliverNext(FindState* state, LPWIN32_FIND_DATAA data)
{
    while (state->next < state->names.size()) {
        const std::string& name = state->names[state->next++];
        if (FillFindData(state->folder, name, data)) return true;
    }
    return false;
}

// "." and ".." first, then without regard to case, then byte order.
bool EntryLess(const std::string& a, const std::string& b)
{
    auto rank = [](const std::string& n) { return n == "." ? 0 : n == ".." ? 1 : 2; };
    if (rank(a) != rank(b)) return rank(a) < rank(b);
    int c = strcasecmp(a.c_str(), b.c_str());
    if (c != 0) return c < 0;
    return a < b;
}

// Host path of a game path given as a full path (the current folder prefixed).
std::string FullHostPath(const char* path)
{
    bool drive = std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
    if (path[0] == '\\' || path[0] == '/' || (drive && (path[2] == '\\' || path[2] == '/')))
        return platform::ResolvePath(path);
    std::string rest = drive ? path + 2 : path;
    return platform::ResolvePath(CurrentFolder() + "/" + rest);
}

DWORD CopyOut(const std::string& text, DWORD bufferLength, LPSTR buffer)
{
    if (!buffer || bufferLength <= text.size()) return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

bool CopyBytes(int from, int to)
{
    std::vector<char> buffer(1 << 16);
    for (;;) {
        ssize_t got = read(from, buffer.data(), buffer.size());
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            ssize_t put = write(to, buffer.data() + done, static_cast<size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            done += put;
        }
    }
}

// Copies a file's bytes, permissions and times; the error is left in errno.
bool CopyHostFile(const std::string& from, const std::string& to, bool failIfExists)
{
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st;
    fstat(in, &st);
    int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (failIfExists ? O_EXCL : 0);
    int out = open(to.c_str(), flags, 0600);
    if (out < 0) {
        int error = errno;
        close(in);
        errno = error;
        return false;
    }
    bool ok = CopyBytes(in, out);
    int error = errno;
    if (ok) {
        struct timespec times[2] = {st.st_atim, st.st_mtim};
        futimens(out, times);
        fchmod(out, st.st_mode & 07777);
    }
    close(in);
    if (close(out) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlink(to.c_str());
        errno = error;
    }
    return ok;
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// Pattern tokens of the system's matcher.
enum TokenKind { kLiteral, kStar, kDosStar, kDosDot, kDosQuestion };
struct Token {
    TokenKind kind;
    char c;
};

std::vector<Token> TokenizePattern(const char* pattern)
{
    std::vector<Token> tokens;
    for (const char* p = pattern; *p; ++p) {
        if (*p == '*') tokens.push_back({p[1] == '.' ? kDosStar : kStar, 0});
        else if (*p == '?') tokens.push_back({kDosQuestion, 0});
        else if (*p == '.' && (p[1] == '\0' || p[1] == '*' || p[1] == '?')) tokens.push_back({kDosDot, 0});
        else tokens.push_back({kLiteral, static_cast<char>(std::tolower(static_cast<unsigned char>(*p)))});
    }
    return tokens;
}

class WildcardMatcher {
public:
    WildcardMatcher(const std::vector<Token>& tokens, const char* name)
        : m_tokens(tokens), m_name(name), m_length(std::strlen(name)),
          m_memo((tokens.size() + 1) * (m_length + 1), -1)
    {
        const char* dot = std::strrchr(name, '.');
        m_lastDot = dot ? static_cast<size_t>(dot - name) : SIZE_MAX;
    }

    bool Match(size_t t, size_t n)
    {
        signed char& memo = m_memo[t * (m_length + 1) + n];
        if (memo < 0) memo = Compute(t, n) ? 1 : 0;
        return memo == 1;
    }

private:
    bool Compute(size_t t, size_t n)
    {
        if (t == m_tokens.size()) return n == m_length;
        const Token& token = m_tokens[t];
        bool atEnd = n == m_length;
        switch (token.kind) {
        case kLiteral:
            return !atEnd && std::tolower(static_cast<unsigned char>(m_name[n])) == token.c && Match(t + 1, n + 1);
        case kStar:
            return Match(t + 1, n) || (!atEnd && Match(t, n + 1));
        case kDosStar:  // anything, but not past the name's last dot
            return Match(t + 1, n) || (!atEnd && n != m_lastDot && Match(t, n + 1));
        case kDosDot:  // a dot, or nothing at the end of the name
            return atEnd ? Match(t + 1, n) : (m_name[n] == '.' && Match(t + 1, n + 1));
        case kDosQuestion:  // one character, or nothing at a dot or the end
            return (atEnd || m_name[n] == '.') ? Match(t + 1, n) : Match(t + 1, n + 1);
        }
        return false;
    }

    const std::vector<Token>& m_tokens;
    const char* m_name;
    size_t m_length;
    size_t m_lastDot;
    std::vector<signed char> m_memo;
};
}  // namespace

namespace platform {
DWORD Win32ErrorFromErrno(int error)
{
    switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    default: return kGeneralFailure;
    }
}

DWORD Win32ErrorForPath(int error, const char* hostPath)
{
    if (error == ENOENT || error == ENOTDIR) {
        struct stat st;
        std::string parent = ParentOf(hostPath ? hostPath : "");
        if (stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return ERROR_FILE_NOT_FOUND;
        return ERROR_PATH_NOT_FOUND;
    }
    return Win32ErrorFromErrno(error);
}

FILETIME FileTimeFromUnix(int64_t seconds, int64_t nanoseconds)
{
    int64_t ticks = (seconds + kSecondsFrom1601To1970) * kTicksPerSecond + nanoseconds / 100;
    if (ticks < 0) ticks = 0;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) & 0xffffffffu);
    ft.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
    return ft;
}

int64_t UnixFromFileTime(const FILETIME& fileTime)
{
    uint64_t ticks = (static_cast<uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
    return static_cast<int64_t>(ticks / kTicksPerSecond) - kSecondsFrom1601To1970;
}

bool MatchesWildcard(const char* pattern, const char* name)
{
    if (!pattern || !name) return false;
    std::vector<Token> tokens = TokenizePattern(pattern);
    WildcardMatcher matcher(tokens, name);
    return matcher.Match(0, 0);
}
}  // namespace platform

// ---------------------------------------------------------------- search
HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data)
{
    if (!pattern || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string text = pattern;
    size_t split = text.find_last_of("\\/");
    if (split == std::string::npos && text.size() >= 2 && text[1] == ':' &&
        std::isalpha(static_cast<unsigned char>(text[0])))
        split = 1;
    std::string folderPart = split == std::string::npos ? std::string() : text.substr(0, split + 1);
    std::string mask = split == std::string::npos ? text : text.substr(split + 1);
    if (mask.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }

    FindState* state = new FindState;
    state->folder = folderPart.empty() ? std::string() : platform::ResolvePath(folderPart.c_str());
    DIR* folder = opendir(state->folder.empty() ? "." : state->folder.c_str());
    if (!folder) {
        int error = errno;
        delete state;
        SetLastError(error == ENOENT || error == ENOTDIR ? ERROR_PATH_NOT_FOUND : platform::Win32ErrorFromErrno(error));
        return INVALID_HANDLE_VALUE;
    }
    std::vector<Token> tokens = TokenizePattern(mask.c_str());
    while (struct dirent* entry = readdir(folder)) {
        WildcardMatcher matcher(tokens, entry->d_name);
        if (matcher.Match(0, 0)) state->names.push_back(entry->d_name);
    }
    closedir(folder);
    std::sort(state->names.begin(), state->names.end(), EntryLess);
    if (!DeliverNext(state, data)) {
        delete state;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return static_cast<HANDLE>(state);
}

BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data)
{
    if (!find || find == INVALID_HANDLE_VALUE) return Fail(ERROR_INVALID_HANDLE);
    if (!data) return Fail(ERROR_INVALID_PARAMETER);
    if (!DeliverNext(static_cast<FindState*>(find), data)) return Fail(ERROR_NO_MORE_FILES);
    return TRUE;
}

BOOL FindClose(HANDLE find)
{
    if (!find || find == INVALID_HANDLE_VALUE) return Fail(ERROR_INVALID_HANDLE);
    delete static_cast<FindState*>(find);
    return TRUE;
}

// ---------------------------------------------------------------- files and folders
DWORD GetFileAttributesA(LPCSTR path)
{
    if (!path || !*path) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_FILE_ATTRIBUTES;
    }
    std::string host = platform::ResolvePath(path);
    struct stat st;
    if (!StatPath(host, &st)) {
        SetLastError(platform::Win32ErrorForPath(errno, host.c_str()));
        return INVALID_FILE_ATTRIBUTES;
    }
    return AttributesOf(st, LastComponent(host));
}

BOOL SetFileAttributesA(LPCSTR path, DWORD attributes)
{
    if (!path || !*path) return Fail(ERROR_INVALID_NAME);
    std::string host = platform::ResolvePath(path);
    struct stat st;
    if (stat(host.c_str(), &st) != 0) return Fail(platform::Win32ErrorForPath(errno, host.c_str()));
    mode_t mode = st.st_mode & 07777;
    if (attributes & FILE_ATTRIBUTE_READONLY) mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    else mode |= S_IWUSR;
    if (chmod(host.c_str(), mode) != 0) return Fail(platform::Win32ErrorFromErrno(errno));
    return TRUE;
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES)
{
    if (!path || !*path) return Fail(ERROR_PATH_NOT_FOUND);
    std::string host = platform::ResolvePath(path);
    if (mkdir(host.c_str(), 0777) != 0) return Fail(platform::Win32ErrorForPath(errno, host.c_str()));
    return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR path)
{
    if (!path || !*path) return Fail(ERROR_PATH_NOT_FOUND);
    std::string host = platform::ResolvePath(path);
    if (rmdir(host.c_str()) == 0) return TRUE;
    int error = errno;
    struct stat st;
    if (error == ENOTDIR && lstat(host.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
    if (error == EEXIST) return Fail(ERROR_DIR_NOT_EMPTY);
    return Fail(platform::Win32ErrorForPath(error, host.c_str()));
}

BOOL DeleteFileA(LPCSTR path)
{
    if (!path || !*path) return Fail(ERROR_PATH_NOT_FOUND);
    std::string host = platform::ResolvePath(path);
    struct stat st;
    if (lstat(host.c_str(), &st) != 0) return Fail(platform::Win32ErrorForPath(errno, host.c_str()));
    if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    if (S_ISREG(st.st_mode) && IsReadOnly(st)) return Fail(ERROR_ACCESS_DENIED);
    if (unlink(host.c_str()) != 0) return Fail(platform::Win32ErrorForPath(errno, host.c_str()));
    return TRUE;
}

BOOL MoveFileA(LPCSTR existing, LPCSTR newName)
{
    if (!existing || !*existing || !newName || !*newName) return Fail(ERROR_PATH_NOT_FOUND);
    std::string from = platform::ResolvePath(existing);
    struct stat source;
    if (lstat(from.c_str(), &source) != 0) return Fail(platform::Win32ErrorForPath(errno, from.c_str()));
    std::string to = platform::ResolvePath(newName);
    struct stat target;
    if (lstat(to.c_str(), &target) == 0) {
        if (target.st_dev != source.st_dev || target.st_ino != source.st_ino) return Fail(ERROR_ALREADY_EXISTS);
        // The same entry: only the letter case changes.
        std::string spelling = LastComponent(newName);
        to = JoinPath(to.find('/') == std::string::npos ? std::string() : ParentOf(to), spelling);
        if (to == from) return TRUE;
    }
    if (rename(from.c_str(), to.c_str()) == 0) return TRUE;
    int error = errno;
    if (error == EXDEV && S_ISREG(source.st_mode)) {
        if (!CopyHostFile(from, to, true)) return Fail(platform::Win32ErrorForPath(errno, to.c_str()));
        unlink(from.c_str());
        return TRUE;
    }
    return Fail(platform::Win32ErrorForPath(error, to.c_str()));
}

BOOL MoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags)
{
    if (!(flags & MOVEFILE_REPLACE_EXISTING)) return MoveFileA(existing, newName);
    if (!existing || !*existing || !newName || !*newName) return Fail(ERROR_PATH_NOT_FOUND);
    std::string from = platform::ResolvePath(existing);
    std::string to = platform::ResolvePath(newName);
    struct stat target;
    if (lstat(to.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    if (rename(from.c_str(), to.c_str()) == 0) return TRUE;
    return Fail(platform::Win32ErrorForPath(errno, to.c_str()));
}

BOOL CopyFileA(LPCSTR existing, LPCSTR newName, BOOL failIfExists)
{
    if (!existing || !*existing || !newName || !*newName) return Fail(ERROR_PATH_NOT_FOUND);
    std::string from = platform::ResolvePath(existing);
    struct stat source;
    if (stat(from.c_str(), &source) != 0) return Fail(platform::Win32ErrorForPath(errno, from.c_str()));
    if (S_ISDIR(source.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    std::string to = platform::ResolvePath(newName);
    struct stat target;
    if (stat(to.c_str(), &target) == 0) {
        if (failIfExists) return Fail(ERROR_FILE_EXISTS);
        if (target.st_dev == source.st_dev && target.st_ino == source.st_ino) return Fail(ERROR_SHARING_VIOLATION);
        if (S_ISDIR(target.st_mode) || IsReadOnly(target)) return Fail(ERROR_ACCESS_DENIED);
    }
    if (!CopyHostFile(from, to, failIfExists != FALSE)) {
        int error = errno;
        return Fail(error == EEXIST ? ERROR_FILE_EXISTS : platform::Win32ErrorForPath(error, to.c_str()));
    }
    return TRUE;
}

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer)
{
    std::string folder = CurrentFolder();
    if (folder.empty()) {
        SetLastError(platform::Win32ErrorFromErrno(errno));
        return 0;
    }
    return CopyOut(folder, bufferLength, buffer);
}

BOOL SetCurrentDirectoryA(LPCSTR path)
{
    if (!path || !*path) return Fail(ERROR_INVALID_NAME);
    std::string host = platform::ResolvePath(path);
    if (chdir(host.c_str()) != 0) return Fail(platform::Win32ErrorForPath(errno, host.c_str()));
    return TRUE;
}

DWORD GetFullPathNameA(LPCSTR path, DWORD bufferLength, LPSTR buffer, LPSTR* filePart)
{
    if (!path || !*path) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    std::string full = FullHostPath(path);
    DWORD result = CopyOut(full, bufferLength, buffer);
    if (filePart && result < bufferLength) {
        char* slash = std::strrchr(buffer, '/');
        *filePart = (slash && slash[1]) ? slash + 1 : nullptr;
    }
    return result;
}

DWORD GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size)
{
    std::vector<char> link(PATH_MAX + 1);
    ssize_t length = readlink("/proc/self/exe", link.data(), PATH_MAX);
    if (length < 0) {
        SetLastError(platform::Win32ErrorFromErrno(errno));
        return 0;
    }
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    size_t n = static_cast<size_t>(length);
    if (n >= size) {  // cut and terminated, as later systems do
        std::memcpy(buffer, link.data(), size - 1);
        buffer[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(buffer, link.data(), n);
    buffer[n] = '\0';
    return static_cast<DWORD>(n);
}

DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer)
{
    const char* env = std::getenv("TMPDIR");
    std::string folder = (env && *env) ? env : "/tmp";
    if (folder.back() != '/') folder += '/';
    return CopyOut(folder, bufferLength, buffer);
}

// ---------------------------------------------------------------- file times
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime)
{
    if (!fileTime || !localFileTime) return Fail(ERROR_INVALID_PARAMETER);
    uint64_t ticks = (static_cast<uint64_t>(fileTime->dwHighDateTime) << 32) | fileTime->dwLowDateTime;
    time_t seconds = static_cast<time_t>(platform::UnixFromFileTime(*fileTime));
    struct tm local;
    if (!localtime_r(&seconds, &local)) return Fail(ERROR_INVALID_PARAMETER);
    int64_t shifted = static_cast<int64_t>(ticks) + static_cast<int64_t>(local.tm_gmtoff) * kTicksPerSecond;
    if (shifted < 0) return Fail(ERROR_INVALID_PARAMETER);
    localFileTime->dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(shifted) & 0xffffffffu);
    localFileTime->dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(shifted) >> 32);
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime)
{
    if (!fileTime || !systemTime) return Fail(ERROR_INVALID_PARAMETER);
    uint64_t ticks = (static_cast<uint64_t>(fileTime->dwHighDateTime) << 32) | fileTime->dwLowDateTime;
    if (ticks >= 0x8000000000000000ULL) return Fail(ERROR_INVALID_PARAMETER);
    time_t seconds = static_cast<time_t>(platform::UnixFromFileTime(*fileTime));
    struct tm t;
    if (!gmtime_r(&seconds, &t)) return Fail(ERROR_INVALID_PARAMETER);
    systemTime->wYear = static_cast<WORD>(t.tm_year + 1900);
    systemTime->wMonth = static_cast<WORD>(t.tm_mon + 1);
    systemTime->wDayOfWeek = static_cast<WORD>(t.tm_wday);
    systemTime->wDay = static_cast<WORD>(t.tm_mday);
    systemTime->wHour = static_cast<WORD>(t.tm_hour);
    systemTime->wMinute = static_cast<WORD>(t.tm_min);
    systemTime->wSecond = static_cast<WORD>(t.tm_sec);
    systemTime->wMilliseconds = static_cast<WORD>((ticks % kTicksPerSecond) / 10000);
    return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime)
{
    if (!systemTime || !fileTime) return Fail(ERROR_INVALID_PARAMETER);
    const SYSTEMTIME& s = *systemTime;
    if (s.wYear < 1601 || s.wYear > 30827 || s.wMonth < 1 || s.wMonth > 12 || s.wDay < 1 || s.wDay > 31 ||
        s.wHour > 23 || s.wMinute > 59 || s.wSecond > 59 || s.wMilliseconds > 999)
        return Fail(ERROR_INVALID_PARAMETER);
    struct tm t = {};
    t.tm_year = s.wYear - 1900;
    t.tm_mon = s.wMonth - 1;
    t.tm_mday = s.wDay;
    t.tm_hour = s.wHour;
    t.tm_min = s.wMinute;
    t.tm_sec = s.wSecond;
    time_t seconds = timegm(&t);
    if (t.tm_mday != s.wDay) return Fail(ERROR_INVALID_PARAMETER);  // 31 April and the like
    *fileTime = platform::FileTimeFromUnix(seconds, static_cast<int64_t>(s.wMilliseconds) * 1000000);
    return TRUE;
}

LONG CompareFileTime(const FILETIME* a, const FILETIME* b)
{
    uint64_t x = (static_cast<uint64_t>(a->dwHighDateTime) << 32) | a->dwLowDateTime;
    uint64_t y = (static_cast<uint64_t>(b->dwHighDateTime) << 32) | b->dwLowDateTime;
    return x < y ? -1 : x > y ? 1 : 0;
}

// ---------------------------------------------------------------- C run-time names
char* _getcwd(char* buffer, int size)
{
    std::string folder = CurrentFolder();
    if (folder.empty()) return nullptr;
    size_t needed = folder.size() + 1;
    if (!buffer) {
        size_t bytes = std::max(needed, size > 0 ? static_cast<size_t>(size) : size_t(0));
        buffer = static_cast<char*>(std::malloc(bytes));
        if (!buffer) {
            errno = ENOMEM;
            return nullptr;
        }
    } else if (size < 0 || static_cast<size_t>(size) < needed) {
        errno = ERANGE;
        return nullptr;
    }
    std::memcpy(buffer, folder.c_str(), needed);
    return buffer;
}

int _chdir(const char* path)
{
    if (!path) {
        errno = EINVAL;
        return -1;
    }
    return chdir(platform::ResolvePath(path).c_str());
}

int _mkdir(const char* path)
{
    if (!path) {
        errno = EINVAL;
        return -1;
    }
    return mkdir(platform::ResolvePath(path).c_str(), 0777);
}

int _rmdir(const char* path)
{
    if (!path) {
        errno = EINVAL;
        return -1;
    }
    return rmdir(platform::ResolvePath(path).c_str());
}

int _unlink(const char* path)
{
    if (!path) {
        errno = EINVAL;
        return -1;
    }
    return unlink(platform::ResolvePath(path).c_str());
}

int _access(const char* path, int mode)
{
    if (!path || (mode & ~6) != 0) {
        errno = EINVAL;
        return -1;
    }
    std::string host = platform::ResolvePath(path);
    struct stat st;
    if (stat(host.c_str(), &st) != 0) return -1;
    if ((mode & 2) && IsReadOnly(st)) {  // the read-only attribute, even for the owner
        errno = EACCES;
        return -1;
    }
    return 0;
}
