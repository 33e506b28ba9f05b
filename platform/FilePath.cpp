#include "platform/FilePath.h"

#include <dirent.h>
#include <sys/stat.h>
#include <strings.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

namespace platform {
namespace {
std::string CurrentFolder()
{
    std::vector<char> buffer(4096);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) return "/";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::string& StartFolderStorage()
{
    static std::string folder = CurrentFolder();
    return folder;
}

// Touches the start folder before main runs, so a later chdir does not move it.
struct StartFolderRecorder {
    StartFolderRecorder() { StartFolderStorage(); }
} g_startFolderRecorder;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string JoinPath(const std::string& dir, const std::string& name)
{
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}
}  // namespace

const std::string& GetStartFolder()
{
    return StartFolderStorage();
}

void SetStartFolder(const std::string& folder)
{
    StartFolderStorage() = folder.empty() ? CurrentFolder() : folder;
}

bool FindEntryNoCase(const std::string& dir, const std::string& name, std::string* onDisk)
{
    struct stat st;
    if (lstat(JoinPath(dir, name).c_str(), &st) == 0) {
        if (onDisk) *onDisk = name;
        return true;
    }
    DIR* folder = opendir(dir.empty() ? "." : dir.c_str());
    if (!folder) return false;
    bool found = false;
    std::string best;
    while (struct dirent* entry = readdir(folder)) {
        if (strcasecmp(entry->d_name, name.c_str()) != 0) continue;
        // Several spellings: take the first in byte order, so the choice is stable.
        if (!found || std::strcmp(entry->d_name, best.c_str()) < 0) best = entry->d_name;
        found = true;
    }
    closedir(folder);
    if (found && onDisk) *onDisk = best;
    return found;
}

std::string ResolvePath(const char* path)
{
    if (!path || !*path) return std::string();
    const char* p = path;
    std::string root;  // empty for a relative path
    if (std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':') {
        p += 2;  // "C:\x" is the drive root, "C:x" relative to the current folder
        if (IsSeparator(*p)) root = GetStartFolder();
    } else if (*p == '\\') {
        root = GetStartFolder();
    } else if (*p == '/') {
        root = "/";
    }
    if (!root.empty() && root.back() != '/' && root.size() > 1) root += '/';

    std::vector<std::string> parts;
    const char* end = p + std::strlen(p);
    bool trailingSeparator = end > path && IsSeparator(end[-1]);
    while (p < end) {
        while (p < end && IsSeparator(*p)) ++p;
        const char* start = p;
        while (p < end && !IsSeparator(*p)) ++p;
        std::string part(start, p);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..") parts.pop_back();
            else if (root.empty()) parts.push_back(part);
            continue;  // above the root stays at the root
        }
        parts.push_back(part);
    }

    std::string out = root;
    bool exists = true;
    for (size_t i = 0; i < parts.size(); ++i) {
        std::string name = parts[i];
        if (exists && name != "..") {
            std::string onDisk;
            exists = FindEntryNoCase(out, name, &onDisk);
            if (exists) name = onDisk;
        }
        if (!out.empty() && out.back() != '/') out += '/';
        out += name;
    }
    if (out.empty()) out = ".";
    if (trailingSeparator && out.back() != '/') out += '/';
    return out;
}
}  // namespace platform
