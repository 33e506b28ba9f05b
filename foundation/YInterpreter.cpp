#include "foundation/YInterpreter.h"

#include <cstring>

namespace {
const YCommandRow NoCommands[] = {{nullptr, nullptr}};
}

YInterpreter::YInterpreter() : m_commands(NoCommands), m_trace(false), m_tokenPos(nullptr)
{
    m_command[0] = '\0';
}

YInterpreter::~YInterpreter() { m_logFile.Empty(); }

const YCommandRow* YInterpreter::GetCommandTable() { return m_commands; }

char* YInterpreter::GetCommandBuffer() { return m_command; }

bool* YInterpreter::GetTraceSwitch() { return &m_trace; }

YString* YInterpreter::GetLogFileName() { return &m_logFile; }

bool YInterpreter::LoadCommand(const char* text)
{
    size_t length = strlen(text);
    if (length >= CommandBufferSize) {
        m_command[0] = '\0';
        m_tokenPos = nullptr;
        return false;
    }
    memcpy(m_command, text, length + 1);
    m_tokenPos = m_command;
    return true;
}

char* YInterpreter::FirstToken(const char* delimiters)
{
    m_tokenPos = m_command;
    return NextToken(delimiters);
}

char* YInterpreter::NextToken(const char* delimiters)
{
    char* start = m_tokenPos;
    if (!start) return nullptr;
    start += strspn(start, delimiters);
    if (!*start) {
        m_tokenPos = start;
        return nullptr;
    }
    char* end = start + strcspn(start, delimiters);
    if (*end) {
        *end = '\0';
        m_tokenPos = end + 1;
    } else {
        m_tokenPos = end;
    }
    return start;
}

const char* YInterpreter::GetRemainder() const { return m_tokenPos ? m_tokenPos : ""; }

bool YInterpreter::ExecuteCommand(const YString& line, YString* output)
{
    AppendToLog(line);
    if (!LoadCommand(line)) return false;
    const char* word = FirstToken(" ");
    if (!word) return false;
    for (const YCommandRow* row = GetCommandTable(); row && row->name; ++row) {
        if (_stricmp(row->name, word) == 0) {
            row->handler(this, row->name, 0, output);
            return true;
        }
    }
    return false;
}

void YInterpreter::ReadArgument(YString& out, const char* delimiters)
{
    out = " ";
    YString trimmed = out;
    trimmed.TrimLeft();
    trimmed.TrimRight();
    while (!out.IsEmpty() && trimmed.IsEmpty()) {
        const char* token = NextToken(delimiters);
        out = token ? token : "";
        if (out.GetLength() > 0 && out[0] == '"') {
            if (out.GetLength() >= 2 && out[out.GetLength() - 1] == '"') {
                // "" is the empty text, not the rest (Mid with a count of 0).
                out = out.GetLength() > 2 ? out.Mid(1, out.GetLength() - 2) : YString();
            } else {
                const char* rest = NextToken("\"");
                out = out.Mid(1) + " " + (rest ? rest : "");
            }
        }
        trimmed = out;
        trimmed.TrimLeft();
        trimmed.TrimRight();
    }
}

void YInterpreter::ReadArgument(CString& out, const char* delimiters)
{
    YString text;
    ReadArgument(text, delimiters);
    out = (const char*)text;
}

void YInterpreter::AppendToLog(const char* text)
{
    if (m_logFile.IsEmpty()) return;
    try {
        CStdioFile file;
        if (!file.Open(m_logFile, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite | CFile::typeText))
            return;
        file.SeekToEnd();
        file.WriteString(text);
        file.WriteString("\n");
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
    }
}
