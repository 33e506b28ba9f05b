#include "gui/ReadScriptFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const char kInclude[] = "#include ";

bool Open(const CString& pattern, CFile& file, CString& path)
{
    CFileFind finder;
    BOOL more = finder.FindFile(pattern);
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDirectory()) continue;
        path = finder.GetFilePath();
        return file.Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary) != FALSE;
    }
    return false;
}

void CutComment(CString& line, bool stripComments)
{
    if (!stripComments) return;
    int at = line.Find("//");
    if (at >= 0) line = line.Left(at);
}

// The caller's buffer, filled line by line.
class Output {
public:
    Output(char* buffer, int size) : m_buffer(buffer), m_size(size), m_used(0)
    {
        if (m_buffer && m_size > 0) m_buffer[0] = '\0';
    }
    // Appended only while the space left is more than the line and its end mark.
    bool Append(const CString& line)
    {
        const int length = line.GetLength();
        if (!m_buffer || m_size - m_used <= length + 1) return false;
        memcpy(m_buffer + m_used, (const char*)line, static_cast<size_t>(length));
        m_used += length;
        m_buffer[m_used] = '\0';
        return true;
    }
    // The end mark fits.
    bool Close() const { return m_buffer && m_used < m_size; }

private:
    char* m_buffer;
    int m_size;
    int m_used;
};

int ReadIncluded(const char* including, const char* line, char* buffer, int size, bool stripComments, int depth);

// A content line: an include is replaced by the included text, then the line
// is appended.  ScriptRead or the error that stops the reading.
int TakeLine(CString line, const CString& path, Output& out, std::vector<char>& scratch, bool stripComments, int depth)
{
    if (!line.IsEmpty() && line.Find(kInclude) >= 0) {
        int result = ReadIncluded(path, line, scratch.data(), static_cast<int>(scratch.size()), stripComments, depth + 1);
        if (result != ScriptRead) return result;
        line = scratch.data();
    }
    return out.Append(line) ? ScriptRead : ScriptBufferTooSmall;
}

int ReadSection(const char* fileName, const char* section, char* buffer, int size, bool stripComments, int depth)
{
    Output out(buffer, size);
    CFile file;
    CString path;
    if (!fileName || !FindScriptFile(fileName, file, path)) return ScriptRead;
    std::vector<char> scratch(static_cast<size_t>(size > 0 ? size : 1));
    int result = ScriptRead;
    bool found = false, inside = false, wanted = false;
    CString line, previous, name;
    try {
        while (result == ScriptRead && !found && ReadScriptLine(file, line)) {
            CutComment(line, stripComments);
            const CString read = line;
            if (!inside) {
                line.TrimLeft();
                line.TrimRight();
                int brace = line.Find('{');
                if (!line.IsEmpty() && line.Find("//") != 0 && brace >= 0) {
                    name = line.Left(brace);
                    name.TrimRight();
                    if (name.IsEmpty()) {
                        name = previous;
                        name.TrimLeft();
                        name.TrimRight();
                    }
                    inside = true;
                    wanted = section && name.CompareNoCase(section) == 0;
                    line = line.Mid(brace + 1);
                }
            }
            if (inside) {
                line.TrimRight();
                const bool ends = !line.IsEmpty() && line[line.GetLength() - 1] == '}';
                if (ends) line = line.Left(line.GetLength() - 1);
                if (wanted) result = TakeLine(line, path, out, scratch, stripComments, depth);
                if (ends) {
                    found = wanted;
                    inside = false;
                }
            }
            previous = read;
        }
    } catch (CFileException* e) {
        e->Delete();
        return ScriptSectionMissing;
    }
    if (!out.Close()) return ScriptBufferTooSmall;
    if (result == ScriptRead && !found) result = ScriptSectionMissing;
    return result;
}

int ReadFile(const char* fileName, char* buffer, int size, bool stripComments, int depth)
{
    Output out(buffer, size);
    CFile file;
    CString path;
    if (!fileName || !FindScriptFile(fileName, file, path)) return ScriptRead;
    std::vector<char> scratch(static_cast<size_t>(size > 0 ? size : 1));
    int result = ScriptRead;
    CString line;
    try {
        while (result == ScriptRead && ReadScriptLine(file, line)) {
            CutComment(line, stripComments);
            if (!line.IsEmpty()) result = TakeLine(line, path, out, scratch, stripComments, depth);
        }
    } catch (CFileException* e) {
        e->Delete();
        return ScriptSectionMissing;
    }
    if (!out.Close()) return ScriptBufferTooSmall;
    return result;
}

// The included name joined to the including file's folder; an absolute name
// stands alone.
CString IncludedPath(const char* including, const CString& name)
{
    if (name.IsEmpty() || name[0] == '\\' || name[0] == '/') return name;
    CString folder = including ? including : "";
    const int slash = std::max(folder.ReverseFind('\\'), folder.ReverseFind('/'));
    if (slash < 0) return name;
    return folder.Left(slash + 1) + name;
}

int ReadIncluded(const char* including, const char* line, char* buffer, int size, bool stripComments, int depth)
{
    if (buffer && size > 0) buffer[0] = '\0';
    const char* at = line ? strstr(line, kInclude) : nullptr;
    if (!at) return ScriptRead;
    if (depth > ScriptMaxIncludeDepth) {
        CString message;
        message.Format("Script includes nest deeper than %d: %s", ScriptMaxIncludeDepth, at);
        AfxMessageBox(message);
        return ScriptIncludeFailed;
    }
    CString name = at + strlen(kInclude);
    name.TrimLeft();
    name.TrimRight();
    int result;
    try {
        const int colon = name.Find(':');
        if (colon >= 0) {
            const CString file = IncludedPath(including, name.Left(colon));
            result = ReadSection(file, name.Mid(colon + 1), buffer, size, stripComments, depth);
        } else {
            result = ReadFile(IncludedPath(including, name), buffer, size, stripComments, depth);
        }
    } catch (CException* e) {
        e->Delete();
        return ScriptIncludeFailed;
    }
    return result == ScriptSectionMissing ? ScriptIncludeMissing : result;
}

}  // namespace

bool FindScriptFile(const char* name, CFile& file, CString& path)
{
    if (!name || !*name) return false;
    return Open(name, file, path) || Open(CString(name) + ".*", file, path);
}

bool ReadScriptLine(CFile& file, CString& line)
{
    std::string text;
    char chunk[512];
    bool any = false;
    for (;;) {
        const UINT got = file.Read(chunk, sizeof chunk);
        if (got == 0) break;
        any = true;
        const char* end = static_cast<const char*>(memchr(chunk, '\n', got));
        if (!end) {
            text.append(chunk, got);
            continue;
        }
        const UINT used = static_cast<UINT>(end - chunk);
        text.append(chunk, used);
        // The bytes after the line feed belong to the next line.
        if (used + 1 < got) file.Seek(static_cast<LONG>(used + 1) - static_cast<LONG>(got), CFile::current);
        if (!text.empty() && text.back() == '\r') text.pop_back();
        line = CString(text.data(), static_cast<int>(text.size()));
        return true;
    }
    // A last line without its line feed.
    line = CString(text.data(), static_cast<int>(text.size()));
    return any;
}

int ReadScriptSection(const char* fileName, const char* section, char* buffer, int bufferSize, bool stripComments)
{
    return ReadSection(fileName, section, buffer, bufferSize, stripComments, 0);
}

int ReadScriptFile(const char* fileName, char* buffer, int bufferSize, bool stripComments)
{
    return ReadFile(fileName, buffer, bufferSize, stripComments, 0);
}

int ReadIncludedFile(const char* including, const char* line, char* buffer, int bufferSize, bool stripComments)
{
    return ReadIncluded(including, line, buffer, bufferSize, stripComments, 1);
}
