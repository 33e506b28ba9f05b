#include "gui/ReadScriptFile.h"

#include <cstring>
#include <string>

#include "platform/mfc.h"

namespace {
// The file as named or, when allowed, the first "name.*".
CString FindScript(const char* fileName, int flags)
{
    CString path = fileName;
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES || !(flags & ScriptAnyExtension)) return path;
    CString pattern = path;
    int slash = pattern.ReverseFind('\\');
    int dot = pattern.ReverseFind('.');
    if (dot > slash) pattern = pattern.Left(dot);
    pattern += ".*";
    CFileFind finder;
    BOOL more = finder.FindFile(pattern);
    while (more) {
        more = finder.FindNextFile();
        if (!finder.IsDirectory()) return finder.GetFilePath();
    }
    return path;
}

// Reads the script; with a limit, a longer file is only measured. The
// file's length, or -1 when it cannot be read.
long ReadWhole(const char* fileName, int flags, std::string& text, long limit = -1)
{
    if (!fileName || !*fileName) return -1;
    try {
        CFile file;
        if (!file.Open(FindScript(fileName, flags), CFile::modeRead | CFile::typeBinary)) return -1;
        long length = static_cast<long>(file.GetLength());
        if (limit >= 0 && length > limit) return length;
        text.resize(static_cast<size_t>(length));
        UINT got = length > 0 ? file.Read(&text[0], static_cast<UINT>(length)) : 0;
        text.resize(got);
        file.Close();
        return static_cast<long>(got);
    } catch (CFileException* e) {
        e->Delete();
        return -1;
    }
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
    // Too long for the buffer: known without reading it.
    long length = ReadWhole(fileName, flags, text, bufferSize > 0 ? bufferSize - 1 : 0);
    if (length < 0) return ScriptNotFound;
    if (length >= bufferSize) {
        if (buffer && bufferSize > 0) buffer[0] = '\0';
        return ScriptBufferTooSmall;
    }
    return CopyOut(text, buffer, bufferSize);
}

int ReadScriptSection(const char* fileName, const char* section, char* buffer, int bufferSize, int flags)
{
    std::string text;
    if (!section || ReadWhole(fileName, flags, text) < 0) return ScriptNotFound;
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
