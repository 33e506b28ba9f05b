#include "engine/YConsoleCommands.h"

#include <cstdlib>
#include <cstring>

#include "engine/YCommandInterpreter.h"
#include "engine/YGameObjects.h"
#include "foundation/YConfigData.h"
#include "foundation/YDataCollection.h"
#include "input/YInputObj.h"
#include "input/YKeyNames.h"
#include "platform/win32.h"
#include "renderer/YD3D6Parser.h"

YString Usage(const char* format, const char* name)
{
    YString usage;
    usage.Format(format, name);
    return usage;
}

void Describe(YString* output, const char* description, const YString& usage)
{
    *output = description;
    *output += usage;
}

namespace {
// Refreshes the engine's copies of the diagnostic switches.
void RefreshAppSwitches(YGameObjects* engine)
{
    YDataCollection* switches = engine->m_appSwitches;
    engine->m_appFps = switches->GetInt("APP_FPS") != 0;
    engine->m_appInput = switches->GetInt("APP_INPUT") != 0;
    engine->m_appLayout = switches->GetInt("APP_LAYOUT") != 0;
    engine->m_appCursor = switches->GetInt("APP_CURSOR") != 0;
    engine->m_appScriptor = switches->GetInt("APP_SCRIPTOR") != 0;
    engine->m_appClient = switches->GetInt("APP_CLIENT");
    int32_t* parameters = engine->m_sessionDesc.m_parameters;
    parameters[YSessionDesc::ParamPTrees] = switches->GetInt("APP_PTREES");
    parameters[YSessionDesc::ParamSTrees] = switches->GetInt("APP_STREES");
    parameters[YSessionDesc::ParamLod] = switches->GetInt("APP_LOD");
    parameters[YSessionDesc::ParamBillboard] = switches->GetInt("APP_BILLBOARD");
    if (YD3D6Parser* renderer = dynamic_cast<YD3D6Parser*>(engine->m_renderer))
        renderer->SetSessionOptions(&engine->m_sessionDesc);
}

// The value of a name in the engine's collections, searched in order.
bool FindCollectionValue(YGameObjects* engine, const YString& name, YString& value)
{
    YDataCollection* collections[3] = {engine->m_settings, engine->m_values, engine->m_layoutValues};
    for (YDataCollection* collection : collections) {
        if (!collection) continue;
        int index = collection->IndexOf(name);
        if (index >= 0) {
            value = collection->GetValue(index);
            return true;
        }
    }
    return false;
}
}  // namespace

void ConsoleExec(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s file[.cfg] [show]", name);
    if (mode == 1) {
        Describe(output,
                 "Executes commands line by line from a saved text file. If no extension is provided, "
                 ".cfg is appended to the given filename. If the \"show\" parameter is provided, it "
                 "displays the commands being executed.\n",
                 usage);
        return;
    }
    const char* token = interpreter->NextToken(" ,");
    if (!token) {
        *output = usage;
        return;
    }
    YString fileName = token;
    if (fileName.Find('.') < 0) fileName += ".cfg";
    const char* option = interpreter->NextToken(" ,");
    bool show = option && _stricmp(option, "show") == 0;
    YCommandInterpreter* commands = dynamic_cast<YCommandInterpreter*>(interpreter);
    if (!commands) commands = YGameObjects::Instance()->m_interpreter;
    if (commands) commands->ExecFile(fileName, output, show);
}

void ConsoleHelp(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s [command]\nCommands: ", name);
    if (mode == 1) {
        Describe(output,
                 "Displays information about a given command if available.\nAlso lists available commands "
                 "if no command name is given\n",
                 usage);
        return;
    }
    const char* word = interpreter->NextToken(" ");
    const YCommandRow* table = interpreter->GetCommandTable();
    if (!word) {
        *output = usage;
        for (const YCommandRow* row = table; row && row->name; ++row) {
            if (row != table) *output += ", ";
            *output += row->name;
        }
        return;
    }
    for (const YCommandRow* row = table; row && row->name; ++row) {
        if (_stricmp(row->name, word) == 0) {
            row->handler(interpreter, row->name, 1, output);
            return;
        }
    }
}

void ConsoleSet(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s settingname [\"value\"]", name);
    if (mode == 1) {
        Describe(output,
                 "Sets certain options to new values. (see the LIST command) Unrecognized, or server "
                 "restricted setting changes will be ignored. If a value is not given, the current value "
                 "is displayed for you.\n",
                 usage);
        return;
    }
    YGameObjects* engine = YGameObjects::Instance();
    const char* token = interpreter->NextToken(" ");
    YString key = token ? token : "";
    YString value;
    interpreter->ReadArgument(value, "\"");

    if (key.IsEmpty() || !engine->m_configData) {
        *output += usage;
        return;
    }

    if (!value.IsEmpty()) {
        if (lstrcmpiA(key, "TRACE") == 0) {
            *interpreter->GetTraceSwitch() = rcv_atoi(value) != 0;
            return;
        }
        if (lstrcmpiA(key, "LOGFILE") == 0) {
            *interpreter->GetLogFileName() = value;
            return;
        }
        if (engine->m_configData->Set(key, value, 0)) return;
        if (engine->m_appSwitches) {
            int index = engine->m_appSwitches->IndexOf(key);
            if (index >= 0) {
                engine->m_appSwitches->SetAt(index, key, value, 0);
                RefreshAppSwitches(engine);
            }
        }
        YDataCollection* collections[3] = {engine->m_settings, engine->m_values, engine->m_layoutValues};
        for (YDataCollection* collection : collections) {
            if (!collection) continue;
            int index = collection->IndexOf(key);
            if (index >= 0) collection->SetAt(index, key, value, collection->GetUser(index));
        }
        return;
    }

    YString shown;
    bool found = true;
    if (lstrcmpiA(key, "TRACE") == 0)
        shown.Format("%d", *interpreter->GetTraceSwitch() ? 1 : 0);
    else if (lstrcmpiA(key, "LOGFILE") == 0)
        shown = *interpreter->GetLogFileName();
    else if (!engine->m_configData->Get(key, shown, 0))
        found = FindCollectionValue(engine, key, shown);
    if (found)
        output->Format("%s is \"%s\"", (const char*)key, (const char*)shown);
    else
        output->Format("%s not found.", (const char*)key);
}

namespace {
const char AvailableInfo[] = "Available Info: INPUTS CMDS MAPS SETTINGS FILES\n";

// Appends the name of every file matching the pattern, each followed by a
// blank, in the order the search gives them; returns how many there were.
int ListMatchingFiles(const char* pattern, YString* output, bool mapNames)
{
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile(pattern, &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        if (strcmp(data.cFileName, ".") == 0 || strcmp(data.cFileName, "..") == 0) continue;
        YString fileName = data.cFileName;
        if (mapNames) {
            fileName.MakeLower();
            int extension = fileName.Find(".zon");
            if (extension >= 0) fileName = fileName.Left(extension);
        }
        *output += fileName + " ";
        ++count;
    } while (FindNextFile(find, &data));
    FindClose(find);
    return count;
}

void ListInputs(YString* output)
{
    for (int i = 0; i < YKeyNames::KeyCount; ++i) *output += YKeyNames::KeyIndexToName(i) + " ";
    for (int i = 0; i < YKeyNames::MouseCount; ++i) *output += YKeyNames::MouseIndexToName(i) + " ";
    for (int i = 0; i < YKeyNames::JoyCount; ++i) *output += YKeyNames::JoyIndexToName(i) + " ";
}

void ListVerbs(YGameObjects* engine, YString* output)
{
    YDataCollection* verbs = engine->m_verbs;
    if (!verbs) return;
    for (int i = 0; i < verbs->GetSize(); ++i) {
        YString verb = verbs->GetName(i);
        verb.MakeLower();
        if (i > 0) *output += " ";
        *output += verb;
    }
}

void ListSettings(YGameObjects* engine, YString* output)
{
    if (engine->m_configData) {
        CArray<YString> names;
        engine->m_configData->ListKeys(names, 0);
        for (int i = 0; i < names.GetSize(); ++i) {
            if (i > 0) *output += " ";
            *output += names[i];
        }
    }
    YDataCollection* settings = engine->m_settings;
    if (!settings) return;
    for (int i = 0; i < settings->GetSize(); ++i) {
        if (settings->GetUser(i) != 0) continue;
        *output += " ";
        *output += settings->GetName(i);
    }
}

void ListMaps(YGameObjects* engine, YString* output)
{
    YString pattern = engine->m_dataDir + "\\maps\\*.zon";
    if (ListMatchingFiles(pattern, output, true) == 0) output->Format("No maps found at %s.", (const char*)pattern);
}

void ListFiles(YInterpreter* interpreter, YString* output)
{
    const char* token = interpreter->NextToken("\"");
    YString pattern = token ? token : "*.*";
    YString searched = pattern;
    if (pattern.GetLength() != 1 && pattern[1] != ':') {
        char folder[MAX_PATH];
        DWORD length = GetCurrentDirectory(sizeof(folder), folder);
        if (length == 0 || length >= sizeof(folder)) folder[0] = '\0';
        searched = YString(folder) + "\\" + pattern;
    }
    if (ListMatchingFiles(searched, output, false) == 0)
        output->Format("No files matching '%s' found.", (const char*)pattern);
}
}  // namespace

void ConsoleList(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s info [\"file pattern\"]", name);
    if (mode == 1) {
        *output = "Displays a list of available information for certain things.\nYou may also list filenames by "
                  "using the FILES option with your file pattern following in quotes.\n";
        *output += AvailableInfo;
        *output += usage;
        return;
    }
    const char* token = interpreter->NextToken(" ");
    if (!token) {
        *output = YString(AvailableInfo) + usage;
        return;
    }
    YString info = token;
    YGameObjects* engine = YGameObjects::Instance();
    output->Empty();
    if (info.CompareNoCase("INPUTS") == 0) {
        ListInputs(output);
    } else if (info.CompareNoCase("CMDS") == 0) {
        ListVerbs(engine, output);
    } else if (info.CompareNoCase("SETTINGS") == 0) {
        ListSettings(engine, output);
    } else if (info.CompareNoCase("MAPS") == 0) {
        ListMaps(engine, output);
    } else if (info.CompareNoCase("FILES") == 0) {
        ListFiles(interpreter, output);
    } else {
        output->Format("'%s' is not a recognized list of information.\n", (const char*)info);
        *output += AvailableInfo;
    }
}

namespace {
// The parts of a command text, split at every ";" (empty parts dropped).
void SplitCommands(const YString& text, CArray<YString>& parts)
{
    int start = 0;
    int length = text.GetLength();
    for (int i = 0; i <= length; ++i) {
        if (i < length && text[i] != ';') continue;
        if (i > start) parts.Add(text.Mid(start, i - start));
        start = i + 1;
    }
}

// The parts joined as the binding keeps them.
YString JoinCommands(const CArray<YString>& parts)
{
    YString text;
    for (int i = 0; i < parts.GetSize(); ++i) text += (i ? ";" : "") + parts[i];
    return text;
}

// A binding or alias that "config.cfg" could not hold on one line would come
// back different after a restart: it is refused.
bool RefusedAsTooLong(const YString& head, const YString& command, YString* output)
{
    if (YInputObjSettings::FitsScriptLine(head, command)) return false;
    output->Format("'%s' is too long to be saved (at most %d characters a line).", (const char*)head,
                   (int)YInputObjSettings::LongestScriptLine);
    return true;
}

// A word that names a control verb, with or without its sign.
bool IsControlVerb(YGameObjects* engine, const char* word)
{
    if (!engine->m_verbs) return false;
    if (*word == '-' || *word == '+') ++word;
    return *word && engine->m_verbs->IndexOf(word) >= 0;
}

// A binding as BIND and ALIAS show it: its parts (or else its name), after
// its display name.
YString DescribeBinding(YInputObj* input, int index, bool nameWhenNoParts)
{
    YInputObjCommand* command = input->GetCommand(index);
    YString shown = input->GetAliasText(index);
    if (shown.IsEmpty() && nameWhenNoParts) shown = command->m_name;
    if (!command->m_description.IsEmpty()) shown = command->m_description + ": " + shown;
    return shown;
}
}  // namespace

void ConsoleBind(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s input [\"command1;command2;...\"] [\"display name\"]", name);
    if (mode == 1) {
        output->Format("You may change what keys/mouse/joystick buttons are bound to which commands by using %s. Or "
                       "you may create new sets of commands to execute whenever the input is pressed. If a command "
                       "is not specified, the currently bound input, if any, will be displayed. The 'wait "
                       "[miliseconds]' command is special and available only within these types of setups.\n"
                       "Example: %s mouse3 \"+run;+forward;wait 200;jump;-run;-forward\" \"Run And Jump\"\n",
                       name, name);
        *output += usage;
        return;
    }
    YInputObj* input = YGameObjects::Instance()->m_input;
    const char* token = interpreter->NextToken(" ");
    if (!token || !input) {
        *output = usage;
        return;
    }
    YString inputName = token;
    int32_t key = YInputObj::KeyNameToCode(inputName);
    int32_t mouseButton = key < 0 ? YInputObj::MouseNameToCode(inputName) : -1;
    int32_t joyButton = key < 0 && mouseButton < 0 ? YInputObj::JoyNameToCode(inputName) : -1;
    bool recognized = key >= 0 || mouseButton >= 0 || joyButton >= 0;
    if (!recognized) output->Format("Input '%s' not recognized.", (const char*)inputName);

    YString commands;
    YString displayName;
    interpreter->ReadArgument(commands, "\"");
    if (!recognized) return;
    if (commands.IsEmpty()) {
        int index = input->FindCommandByCode(key, mouseButton, joyButton);
        *output = index >= 0 ? DescribeBinding(input, index, true) : usage;
        return;
    }
    interpreter->ReadArgument(displayName, "\"");
    CArray<YString> parts;
    SplitCommands(commands, parts);
    YString bindingName = parts.GetSize() == 1 ? parts[0] : YString();
    YString saved = key >= 0           ? YInputObj::KeyCodeToScriptName(key)
                    : mouseButton >= 0 ? YInputObj::MouseCodeToScriptName(mouseButton)
                                       : YInputObj::JoyCodeToScriptName(joyButton);
    if (RefusedAsTooLong("bind " + saved, JoinCommands(parts), output)) return;
    int index = input->SetCommand(bindingName, displayName, YInputObjCommand::Momentary, key, mouseButton, joyButton);
    for (int i = 0; i < parts.GetSize(); ++i) input->SetAlias(index, parts[i]);
}

void ConsoleAlias(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s commandname [\"command1;command2;...\"] [\"display name\"]", name);
    if (mode == 1) {
        output->Format("You may create new sets of commands by using %s. These commands may be bound to inputs, or "
                       "included within other sets of commands. If a command name is not specified, the existing "
                       "set, if any, will be displayed. The 'wait [miliseconds]' command is special and available "
                       "only within these types of setups.\nExample: %s runjump "
                       "\"+run;+forward;wait 200;jump;-run;-forward\" \"Run And Jump\"\n",
                       name, name);
        *output += usage;
        return;
    }
    YGameObjects* engine = YGameObjects::Instance();
    YInputObj* input = engine->m_input;
    const char* token = interpreter->NextToken(" ");
    if (!token || !input) {
        *output = usage;
        return;
    }
    YString aliasName = token;
    if (IsControlVerb(engine, aliasName)) {
        output->Format("Cannot override fundamental command [%s]", (const char*)aliasName);
        return;
    }
    int index = input->FindCommand(aliasName);
    YString commands;
    interpreter->ReadArgument(commands, "\"");
    if (commands.IsEmpty()) {
        *output = index >= 0 ? DescribeBinding(input, index, false) : usage;
        return;
    }
    YString displayName;
    interpreter->ReadArgument(displayName, "\"");
    CArray<YString> parts;
    SplitCommands(commands, parts);
    if (RefusedAsTooLong("alias " + aliasName, JoinCommands(parts), output)) return;
    if (index < 0) index = input->SetCommand(aliasName, displayName, YInputObjCommand::Momentary, -1, -1, -1);
    input->ClearAlias(index);
    YString refused;
    for (int i = 0; i < parts.GetSize(); ++i) {
        if (!input->SetAlias(index, parts[i])) refused += parts[i] + " ";
    }
    if (!refused.IsEmpty()) output->Format("Could not alias: %s", (const char*)refused);
}

void ConsoleUnbound(YInterpreter*, const char*, int mode, YString* output)
{
    if (mode == 1) {
        *output = "Lists all commands and aliases which are not bound to any inputs.";
        return;
    }
    YInputObj* input = YGameObjects::Instance()->m_input;
    if (!input) return;
    *output = input->ListUnbound();
    if (output->IsEmpty()) *output = "All commands and aliases are bound to inputs.";
}
