#include "foundation/YInterpreter.h"

#include <cstring>

namespace {
const YCommandRow NoCommands[] = {{nullptr, nullptr}};
}

YInterpreter::YInterpreter()
    : m_commands(NoCommands), m_trace(false), m_tokenPos(nullptr), m_argument(nullptr), m_argumentTaken(false),
      m_tookArgument(false)
{
    m_command[0] = '\0';
}

YInterpreter::~YInterpreter() { m_logFile.Empty(); }

const YCommandRow* YInterpreter::GetCommandTable() { return m_commands; }

char* YInterpreter::GetCommandBuffer() { return m_command; }

bool* YInterpreter::GetTraceSwitch() { return &m_trace; }

YString* YInterpreter::GetLogFileName() { return &m_logFile; }

bool YInterpreter::LoadCommand(const char* text, const char* argument)
{
    m_argument = nullptr;
    m_argumentTaken = m_tookArgument = false;
    const size_t length = strlen(text);
    // An empty argument is none.
    const size_t extra = argument && *argument ? strlen(argument) + 1 : 0;
    if (length >= CommandBufferSize || extra >= CommandBufferSize - length) {
        m_command[0] = '\0';
        m_tokenPos = nullptr;
        return false;
    }
    memcpy(m_command, text, length + 1);
    // Behind the command's end, where no delimiter search reaches.
    if (extra) {
        m_argument = m_command + length + 1;
        memcpy(m_argument, argument, extra);
    }
    m_tokenPos = m_command;
    return true;
}

char* YInterpreter::FirstToken(const char* delimiters)
{
    m_tokenPos = m_command;
    m_argumentTaken = false;
    return NextToken(delimiters);
}

char* YInterpreter::NextToken(const char* delimiters)
{
    m_tookArgument = false;
    char* start = m_tokenPos;
    if (!start) return nullptr;
    if (m_argument && start >= m_argument) start = m_argument + strlen(m_argument);
    start += strspn(start, delimiters);
    if (!*start) {
        m_tokenPos = start;
        if (!m_argument || m_argumentTaken || start > m_argument) return nullptr;
        // The command's words are used up: the argument comes whole.
        m_argumentTaken = m_tookArgument = true;
        m_tokenPos = m_argument + strlen(m_argument);
        return m_argument;
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

const char* YInterpreter::GetRemainder() const
{
    if (!m_tokenPos) return "";
    if (*m_tokenPos || !m_argument || m_argumentTaken || m_tokenPos > m_argument) return m_tokenPos;
    return m_argument;
}

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
        if (!m_tookArgument && out.GetLength() > 0 && out[0] == '"') {
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
