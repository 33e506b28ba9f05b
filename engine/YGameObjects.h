// The engine object: owns the long-lived objects of the game and is the one
// place where the subsystems meet.
#pragma once

#include "foundation/YString.h"
#include "platform/win32.h"

class YCheats;
class YCommandInterpreter;
class YConfigData;
class YConfigObject;
class YDataCollection;
class YGameConfig;
class YGameSession;
class YObjectDefList;
class YObjectParser;

class YGameObjects {
public:
    static YGameObjects* Instance();
    virtual ~YGameObjects();
    YGameObjects(const YGameObjects&) = delete;
    YGameObjects& operator=(const YGameObjects&) = delete;

    // Runs "config.cfg", then the game type starts as "balloon".
    void LoadConfig();
    // Writes the object's settings to the file through a temporary file
    // that replaces the old one only once it is complete.
    void SaveConfig(YConfigObject* object, const char* fileName);
    void ExecuteCommand(const char* line);
    void RegisterAppSwitches();
    // Name of the first verb whose value is the text.
    void FindVerbName(const char* value, YString& name);
    void DestroyAll();

    YString m_startDir;
    YString m_dataDir;
    YConfigData* m_configData;
    YGameConfig* m_gameConfig;
    YCommandInterpreter* m_interpreter;
    YDataCollection* m_appSwitches;
    uint8_t m_appFps;
    uint8_t m_appInput;
    uint8_t m_appLayout;
    uint8_t m_appCursor;
    uint8_t m_appScriptor;
    int32_t m_appClient;
    YCheats* m_cheats;
    YGameSession* m_session;
    YDataCollection* m_values;
    YDataCollection* m_verbs;
    YDataCollection* m_settings;
    YDataCollection* m_layoutValues;
    YObjectDefList* m_objectDefs;
    YObjectParser* m_objectParser;
    int32_t m_running;
    uint8_t m_registering;

    // Suffix of the file SaveConfig writes before it replaces the old one.
    static const char* const SaveSuffix;

private:
    YGameObjects();
    void ClearMembers();
};
