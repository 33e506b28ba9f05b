// Swaps fresh settings, verbs and a recording session into the engine object
// for one test, and puts the engine's own back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/YCommandInterpreter.h"
#include "engine/YGameConfig.h"
#include "engine/YGameObjects.h"
#include "foundation/YConfigData.h"
#include "foundation/YDataCollection.h"
#include "foundation/YGraphicsData.h"
#include "input/YInputObjSettings.h"
#include "sound/YSoundData.h"
#include "world/YGameSession.h"

struct VerbCall {
    int id;
    int kind;
    std::string text;
    bool operator==(const VerbCall& o) const { return id == o.id && kind == o.kind && text == o.text; }
};

inline std::ostream& operator<<(std::ostream& out, const VerbCall& call)
{
    return out << "{" << call.id << ", " << call.kind << ", \"" << call.text << "\"}";
}

class RecordingSession : public YGameSession {
public:
    int HandleVerb(int id, int kind, const char* text) override
    {
        m_calls.push_back({id, kind, text ? text : ""});
        return YGameSession::HandleVerb(id, kind, text);
    }
    std::vector<VerbCall> m_calls;
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_engine = YGameObjects::Instance();
        m_savedVerbs = m_engine->m_verbs;
        m_savedSession = m_engine->m_session;
        m_savedConfig = m_engine->m_configData;
        m_savedGame = m_engine->m_gameConfig;

        m_engine->m_verbs = new YDataCollection(32, 32);
        m_engine->m_session = &m_session;
        m_game = new YGameConfig;
        m_config = new YConfigData;
        m_config->m_game = m_game;
        m_config->m_input = &m_input;
        m_engine->m_configData = m_config;
        m_engine->m_gameConfig = m_game;
        m_interpreter = m_engine->m_interpreter;

        m_dir = std::filesystem::temp_directory_path() /
                ("rcv_engine_" + std::to_string(getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }

    void TearDown() override
    {
        delete m_engine->m_verbs;
        m_engine->m_verbs = m_savedVerbs;
        m_engine->m_session = m_savedSession;
        m_engine->m_configData = m_savedConfig;
        m_engine->m_gameConfig = m_savedGame;
        delete m_config;
        delete m_game;
        std::filesystem::remove_all(m_dir);
    }

    void AddVerb(int id, const char* name, const char* value) { m_engine->m_verbs->SetAt(id, name, value, 0); }

    std::string PathOf(const char* name) const { return (m_dir / name).string(); }

    std::string WriteFile(const char* name, const std::string& bytes) const
    {
        std::string path = PathOf(name);
        std::ofstream out(path, std::ios::binary);
        out << bytes;
        return path;
    }

    static std::string ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string Run(const std::string& line, bool* taken = nullptr)
    {
        YString output;
        bool result = m_interpreter->ExecuteCommand(line.c_str(), &output);
        if (taken) *taken = result;
        return std::string(output);
    }

    YGameObjects* m_engine = nullptr;
    YCommandInterpreter* m_interpreter = nullptr;
    RecordingSession m_session;
    YInputObjSettings m_input;
    YGameConfig* m_game = nullptr;
    YConfigData* m_config = nullptr;
    std::filesystem::path m_dir;

private:
    YDataCollection* m_savedVerbs = nullptr;
    YGameSession* m_savedSession = nullptr;
    YConfigData* m_savedConfig = nullptr;
    YGameConfig* m_savedGame = nullptr;
};
