#include "gui/ReadScriptFile.h"

#include <cstring>
#include <string>

#include "platform/mfc.h"

namespace {
// The file as named or, when allowed, the first "name.*".
bool ReadWhole(const char* fileName, int flags, std::string& text)
{
    if (!fileName || !*fileName) return false;
    CString path = fileName;
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES && (flags & ScriptAnyExtension)) {
        CString pattern = path;
        int slash = pattern.ReverseFind('\\');
        int dot = pattern.ReverseFind('.');
        if (dot > slash) pattern = pattern.Left(dot);
        pattern += ".*";
        CFileFind finder;
        BOOL more = finder.FindFile(pattern);
        while (more) {
            more = finder.FindNextFile();
            if (finder.IsDirectory()) continue;
            path = finder.GetFilePath();
            break;
        }
    }
    try {
        CFile file;
        if (!file.Open(path, CFile::modeRead | CFile::typeBinary)) return false;
        char chunk[4096];
        UINT got;
        while ((got = file.Read(chunk, sizeof chunk)) > 0) text.append(chunk, got);
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
        return false;
    }
    return true;
}

int CopyOut(const std::string& text, char* buffer, int bufferSize)
{
    if (!buffer || bufferSize <= 0) return ScriptBufferTooSmall;
    if (text.size() + 1 > static_cast<size_t>(bufferSize)) {
        buffer[0] = '\0';
        return ScriptBufferTooSmall;
    }
    memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return ScriptRead;
}

std::string Trimmed(const std::string& line)
{
    size_t first = line.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    size_t last = line.find_last_not_of(" \t\r\n");
    return line.substr(first, last - first + 1);
}
}  // namespace

int ReadScriptFile(const char* fileName, char* buffer, int bufferSize, int flags)
{
    std::string text;
    if (!ReadWhole(fileName, flags, text)) return ScriptNotFound;
    return CopyOut(text, buffer, bufferSize);
}

int ReadScriptSection(const char* fileName, const char* section, char* buffer, int bufferSize, int flags)
{
    std::string text;
    if (!section || !ReadWhole(fileName, flags, text)) return ScriptNotFound;
    std::string header = std::string("[") + section + "]";
    size_t at = 0;
    bool inside = false;
    size_t begin = 0;
    while (at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = Trimmed(text.substr(at, end - at));
        if (inside && !line.empty() && line[0] == '[')
            return CopyOut(text.substr(begin, at - begin), buffer, bufferSize);
        if (!inside && _stricmp(line.c_str(), header.c_str()) == 0) {
            inside = true;
            begin = end < text.size() ? end + 1 : end;
        }
        if (end == text.size()) break;
        at = end + 1;
    }
    if (!inside) return ScriptNotFound;
    return CopyOut(text.substr(begin), buffer, bufferSize);
}
