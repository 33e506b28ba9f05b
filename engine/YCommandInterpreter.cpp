#include "engine/YCommandInterpreter.h"

#include <cstring>

#include "engine/YConsoleCommands.h"
#include "engine/YEngineCommands.h"
#include "engine/YGameObjects.h"
#include "foundation/YCheats.h"
#include "foundation/YDataCollection.h"
#include "foundation/YObjectParser.h"
#include "input/YInputObj.h"
#include "world/YGameSession.h"

const YCommandRow YCommandInterpreter::Commands[] = {
    {"ACTOR", ConsoleActor},
    {"ALIAS", ConsoleAlias},
    {"BIND", ConsoleBind},
    {"EXEC", ConsoleExec},
    {"GRAPHICS", ConsoleGraphics},
    {"HELP", ConsoleHelp},
    {"?", ConsoleHelp},
    {"LAYOUT", ConsoleLayout},
    {"LIST", ConsoleList},
    {"SESSION", ConsoleSession},
    {"SET", ConsoleSet},
    {"SOUND", ConsoleSound},
    {"UNBOUND", ConsoleUnbound},
    {"OBJECT", ConsoleObject},
    {"PARSER", ConsoleParser},
    {"EXIT", ConsoleExit},
    {"QUIT", ConsoleQuit},
    {"PAUSE", ConsolePause},
    {"ESCAPE", ConsoleEscape},
    {nullptr, nullptr},
};

YCommandInterpreter::YCommandInterpreter() : m_escapeRequest(false), m_fileDepth(0), m_filesThisRun(0) { m_commands = Commands; }

bool YCommandInterpreter::ExecuteCommand(const YString& line, YString* output)
{
    return Execute(line, nullptr, output);
}

bool YCommandInterpreter::ExecuteCommandWithText(const YString& line, const YString& text, YString* output)
{
    return Execute(line, &text, output);
}

bool YCommandInterpreter::Execute(const YString& line, const YString* text, YString* output)
{
    YString scratch;
    if (!output) output = &scratch;
    int length = line.GetLength();
    if (length == 0) return false;
    if (length >= 2 && ((line[0] == '-' && line[1] == '-') || (line[0] == '/' && line[1] == '/'))) return false;

    // Pieces before each ";" outside quotes run at once; their output is dropped.
    YString copy = line;
    int start = 0;
    bool quoted = false;
    for (int i = 0; i < length; ++i) {
        char ch = copy[i];
        if (ch == '"') {
            quoted = !quoted;
        } else if (!quoted && ch == ';') {
            // An empty piece runs nothing (Mid with a count of 0 keeps the rest).
            if (i > start) {
                YString dropped;
                ExecuteCommand(copy.Mid(start, i - start), &dropped);
            }
            start = i + 1;
        } else if (!quoted && ch == '\t') {
            copy.SetAt(i, ' ');
        }
    }
    return RunPiece(text ? line + " " + *text : line, copy.Mid(start), text, output);
}

bool YCommandInterpreter::RunPiece(const YString& line, const YString& piece, const YString* text,
                                   YString* output)
{
    if (!LoadCommand(piece, text ? (const char*)*text : nullptr)) {
        const int length = piece.GetLength() + (text ? text->GetLength() + 1 : 0);
        output->Format("Command too long (%d characters, at most %d).", length, CommandBufferSize - 1);
        return false;
    }
    const char* first = FirstToken(" ");
    if (!first) return false;
    YString word = first;

    YGameObjects* engine = YGameObjects::Instance();

    // While a definition is open its lines belong to the object parser;
    // they are taken without a message.
    if (engine->m_objectParser && engine->m_objectParser->GetCurrent()) {
        engine->m_objectParser->ParseLine(line);
        if (engine->m_cheats) engine->m_cheats->Enter(line);
        return true;
    }

    if (RunVerb(word)) return true;

    // Aliases are bindings of the input manager; they join here with it.
    if (word[0] != '-' && engine->m_input) {
        const char* alias = word;
        if (*alias == '+') ++alias;
        int index = engine->m_input->FindCommand(alias);
        if (index >= 0 && engine->m_input->GetAliasPartCount(index) > 0) {
            engine->m_input->ExecuteBinding(index);
            engine->m_input->ProcessQueue(false);
            return true;
        }
    }

    const char* name = word;
    if (*name == '+') ++name;
    for (const YCommandRow* row = GetCommandTable(); row && row->name; ++row) {
        if (_stricmp(row->name, name) == 0) {
            row->handler(this, row->name, 0, output);
            return true;
        }
    }

    if (engine->m_cheats && engine->m_cheats->Enter(line)) return true;
    output->Format("'%s' is not a recognized command.", (const char*)word);
    return false;
}

bool YCommandInterpreter::RunVerb(const char* word)
{
    YGameObjects* engine = YGameObjects::Instance();
    if (!engine->m_verbs) return false;
    int kind = YGameSession::VerbPlain;
    if (*word == '-') {
        kind = YGameSession::VerbRelease;
        ++word;
    } else if (*word == '+') {
        kind = YGameSession::VerbPress;
        ++word;
    }
    if (!*word) return false;
    int id = engine->m_verbs->IndexOf(word);
    if (id < 0) return false;
    if (kind == YGameSession::VerbPress && engine->m_verbs->GetInt(id) == 1) kind = YGameSession::VerbPlain;
    if (engine->m_session) engine->m_session->HandleVerb(id, kind, GetRemainder());
    return true;
}

bool YCommandInterpreter::ExecFile(const YString& fileName, YString* output, bool show)
{
    YString scratch;
    if (!output) output = &scratch;
    if (m_fileDepth == 0) m_filesThisRun = 0;
    if (m_fileDepth >= MaxFileDepth) {
        YString message;
        message.Format("%s not run: command files nested more than %d deep", (const char*)fileName, MaxFileDepth);
        *output += message;
        return false;
    }
    if (m_filesThisRun >= MaxFilesPerRun) {
        YString message;
        message.Format("%s not run: more than %d command files in one run", (const char*)fileName, MaxFilesPerRun);
        *output += message;
        return false;
    }

    CStdioFile file;
    if (!file.Open(fileName, CFile::modeRead | CFile::typeText)) {
        output->Format("%s not found", (const char*)fileName);
        return false;
    }
    if (show) *output = "\n";

    ++m_filesThisRun;
    ++m_fileDepth;
    int count = 0;
    char buffer[FileLineBuffer];
    YString message;
    try {
        while (file.ReadString(buffer, sizeof(buffer))) {
            size_t length = strlen(buffer);
            if (length >= 2 && buffer[length - 1] == '\n') buffer[length - 1] = '\0';
            YString text = buffer;
            text.TrimLeft();
            text.TrimRight();
            if (text.IsEmpty()) continue;
            ExecuteCommand(text, &message);
            if (show) *output += ">" + text + "\n";
            if (!message.IsEmpty()) {
                *output += message + "\n";
                message.Empty();
            }
            ++count;
        }
    } catch (CFileException* e) {
        e->Delete();
    }
    --m_fileDepth;
    file.Close();

    if (show) *output += "\n";
    YString summary;
    summary.Format("Executed %s [%d commands]", (const char*)fileName, count);
    *output += summary;
    return true;
}
