#include "engine/YGameObjects.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "engine/YCommandInterpreter.h"
#include "engine/YGameConfig.h"
#include "foundation/YCheats.h"
#include "foundation/YConfigData.h"
#include "foundation/YDataCollection.h"
#include "foundation/YObjectDefList.h"
#include "foundation/YObjectParser.h"
#include "world/YGameSession.h"

const char* const YGameObjects::SaveSuffix = ".tmp";

namespace {
// The two cheats of the start-up list, in stored form.
const char* const StartCheats[] = {
    "\x7A\x72\x80\x6F\x76\x76\x72",
    "\x6E\x7D\x74\x74\x7C\x69\x76\x73",
};
}  // namespace

YGameObjects* YGameObjects::Instance()
{
    static std::unique_ptr<YGameObjects> instance;
    if (!instance) instance.reset(new YGameObjects);
    return instance.get();
}

YGameObjects::YGameObjects()
{
    ClearMembers();
    DestroyAll();

    m_gameConfig = new YGameConfig;
    m_configData = new YConfigData;
    m_configData->m_game = m_gameConfig;
    m_interpreter = new YCommandInterpreter;
    m_appSwitches = new YDataCollection(0, 1);

    m_cheats = new YCheats;
    for (const char* cheat : StartCheats) m_cheats->Add(cheat, 1);

    m_values = new YDataCollection(32, 32);
    m_verbs = new YDataCollection(32, 32);
    m_settings = new YDataCollection(32, 32);
    m_layoutValues = new YDataCollection(32, 32);

    m_objectParser = new YObjectParser;
    m_objectDefs = new YObjectDefList;
    m_objectParser->SetDefinitionList(m_objectDefs);

    m_session = new YGameSession;
    m_registering = 1;

    char cwd[2048];
    m_startDir = _getcwd(cwd, sizeof(cwd)) ? cwd : "";
    RegisterAppSwitches();
}

YGameObjects::~YGameObjects() { DestroyAll(); }

void YGameObjects::ClearMembers()
{
    m_configData = nullptr;
    m_gameConfig = nullptr;
    m_interpreter = nullptr;
    m_appSwitches = nullptr;
    m_cheats = nullptr;
    m_session = nullptr;
    m_values = m_verbs = m_settings = m_layoutValues = nullptr;
    m_objectDefs = nullptr;
    m_objectParser = nullptr;
    m_appFps = m_appInput = m_appLayout = m_appCursor = m_appScriptor = 0;
    m_appClient = 0;
    m_registering = 0;
}

void YGameObjects::DestroyAll()
{
    delete m_cheats;
    m_cheats = nullptr;
    delete m_gameConfig;
    m_gameConfig = nullptr;
    delete m_configData;
    m_configData = nullptr;
    delete m_interpreter;
    m_interpreter = nullptr;
    delete m_appSwitches;
    m_appSwitches = nullptr;
    YDataCollection** collections[4] = {&m_values, &m_verbs, &m_settings, &m_layoutValues};
    for (YDataCollection** collection : collections) {
        delete *collection;
        *collection = nullptr;
    }
    delete m_objectParser;
    m_objectParser = nullptr;
    if (m_objectDefs) m_objectDefs->DeleteAll();
    delete m_objectDefs;
    m_objectDefs = nullptr;
    delete m_session;
    m_session = nullptr;
    m_running = 1;
    m_startDir.Empty();
    m_dataDir.Empty();
}

void YGameObjects::RegisterAppSwitches()
{
    if (!m_appSwitches) return;
    static const char* const names[] = {"APP_FPS",     "APP_INPUT",  "APP_FLAT_SKIN", "APP_LAYOUT",
                                        "APP_CURSOR",  "APP_SCRIPTOR", "APP_CLIENT",  "APP_PTREES",
                                        "APP_STREES",  "APP_LOD",    "APP_BILLBOARD"};
    for (const char* name : names) m_appSwitches->Set(name, strcmp(name, "APP_CLIENT") == 0 ? "-1" : "0", 0);
}

void YGameObjects::FindVerbName(const char* value, YString& name)
{
    if (!m_verbs) return;
    YString wanted = value ? value : "";
    for (int i = 0; i <= m_verbs->GetLastIndex(); ++i) {
        if (m_verbs->GetName(i).IsEmpty()) continue;
        if (strcmp(m_verbs->GetValue(i), wanted) == 0) {
            name = m_verbs->GetName(i);
            return;
        }
    }
}

void YGameObjects::ExecuteCommand(const char* line)
{
    if (!m_interpreter || !line) return;
    YString output;
    m_interpreter->ExecuteCommand(line, &output);
}

void YGameObjects::LoadConfig()
{
    if (!m_interpreter) return;
    // A save that stopped between removing the old file and moving the new
    // one into place leaves only the complete temporary file.
    YString pending = YString("config.cfg") + SaveSuffix;
    if (GetFileAttributesA("config.cfg") == INVALID_FILE_ATTRIBUTES &&
        GetFileAttributesA(pending) != INVALID_FILE_ATTRIBUTES)
        MoveFileA(pending, "config.cfg");

    if (m_configData) m_configData->OnBeforeLoad();
    YString output;
    m_interpreter->ExecFile("config.cfg", &output, false);
    if (m_gameConfig) m_gameConfig->m_gameType = "balloon";
}

void YGameObjects::SaveConfig(YConfigObject* object, const char* fileName)
{
    if (!object || !fileName) return;
    YString temporary = YString(fileName) + SaveSuffix;
    try {
        CStdioFile file(temporary, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        object->Save(file);
        file.Close();
    } catch (CFileException* e) {
        YString message;
        message.Format("[YGameObjects::SaveConfig] Could not save to %s  [%d]", fileName, e->m_cause);
        e->Delete();
        DeleteFileA(temporary);
        // Shown in a message box once the frame window exists.
        fprintf(stderr, "%s\n", (const char*)message);
        return;
    }
    // Only a complete file replaces the old one.
    if (GetFileAttributesA(fileName) != INVALID_FILE_ATTRIBUTES) DeleteFileA(fileName);
    MoveFileA(temporary, fileName);
}
