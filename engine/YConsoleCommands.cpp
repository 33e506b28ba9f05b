#include "engine/YConsoleCommands.h"

#include <cstdlib>
#include <cstring>

#include "engine/YCommandInterpreter.h"
#include "engine/YGameObjects.h"
#include "foundation/YConfigData.h"
#include "foundation/YDataCollection.h"
#include "renderer/YD3D6Parser.h"

namespace {
YString Usage(const char* format, const char* name)
{
    YString usage;
    usage.Format(format, name);
    return usage;
}

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
        *output = "Executes commands line by line from a saved text file. If no extension is provided, .cfg is "
                  "appended to the given filename. If the \"show\" parameter is provided, it displays the commands "
                  "being executed.\n";
        *output += usage;
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
    bool show = option && strcmp(option, "show") == 0;
    YCommandInterpreter* commands = YGameObjects::Instance()->m_interpreter;
    if (commands) commands->ExecFile(fileName, output, show);
}

void ConsoleHelp(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s [command]\nCommands: ", name);
    if (mode == 1) {
        *output = "Displays information about a given command if available.\nAlso lists available commands if no "
                  "command name is given\n";
        *output += usage;
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
        *output = "Sets certain options to new values. (see the LIST command) Unrecognized, or server restricted "
                  "setting changes will be ignored. If a value is not given, the current value is displayed for "
                  "you.\n";
        *output += usage;
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
            *interpreter->GetTraceSwitch() = atoi(value) != 0;
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

// TEMPORARY until the input commands land: usage only.
void ConsoleBind(YInterpreter*, const char* name, int, YString* output) { *output = Usage("Usage: %s input [\"command1;command2;...\"] [\"display name\"]", name); }
void ConsoleAlias(YInterpreter*, const char* name, int, YString* output) { *output = Usage("Usage: %s commandname [\"command1;command2;...\"] [\"display name\"]", name); }
void ConsoleUnbound(YInterpreter*, const char*, int, YString*) {}
void ConsoleList(YInterpreter*, const char* name, int, YString* output) { *output = Usage("Usage: %s info [\"file pattern\"]", name); }
