// The engine object with fresh layouts, collections, world, rules and object
// parser for one test, in a scratch folder that is the current folder.
#pragma once

#include <memory>
#include <string>

#include "ScratchFolder.h"
#include "engine/EngineFixture.h"
#include "foundation/YObjectDefList.h"
#include "foundation/YObjectParser.h"
#include "frontend/YAppInterfaceFactory.h"
#include "gui/YInterfaceMgr.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"
#include "world/YGameRules.h"
#include "world/YGameServer.h"

class EngineCommandsTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_scratch.reset(new ScratchFolder(ScratchFolder::Enter));
        m_savedManager = m_engine->m_interfaceMgr;
        m_savedSettings = m_engine->m_settings;
        m_savedValues = m_engine->m_values;
        m_savedLayoutValues = m_engine->m_layoutValues;
        m_savedWorld = m_engine->m_world;
        m_savedRules = m_engine->m_rules;
        m_savedParser = m_engine->m_objectParser;
        m_savedDataDir = m_engine->m_dataDir;
        m_savedShowSound = m_engine->m_showSoundInfo;
        m_engine->m_interfaceMgr = &m_manager;
        m_engine->m_settings = &m_settings;
        m_engine->m_values = &m_values;
        m_engine->m_layoutValues = &m_layoutValues;
        m_engine->m_world = &m_world;
        m_engine->m_rules = nullptr;
        m_parser.SetDefinitionList(&m_definitions);
        m_engine->m_objectParser = &m_parser;
        m_engine->m_dataDir.Empty();
        m_interpreter->m_escapeRequest = false;
    }

    void TearDown() override
    {
        m_engine->m_interfaceMgr = m_savedManager;
        m_engine->m_settings = m_savedSettings;
        m_engine->m_values = m_savedValues;
        m_engine->m_layoutValues = m_savedLayoutValues;
        m_engine->m_world = m_savedWorld;
        m_engine->m_rules = m_savedRules;
        m_engine->m_objectParser = m_savedParser;
        m_engine->m_dataDir = m_savedDataDir;
        m_engine->m_showSoundInfo = m_savedShowSound;
        m_engine->m_gameServer->m_watchedActor = nullptr;
        m_interpreter->m_escapeRequest = false;
        m_definitions.DeleteAll();
        m_scratch.reset();
        EngineTest::TearDown();
    }

    // A named actor added to the test world.
    template <class T = YActor>
    T* AddActor(const char* name)
    {
        T* actor = new T;
        actor->m_name = name;
        m_world.AddActor(actor);
        return actor;
    }

    std::unique_ptr<ScratchFolder> m_scratch;
    YAppInterfaceFactory m_factory;
    YInterfaceMgr m_manager{&m_factory};
    YDataCollection m_settings{32, 32};
    YDataCollection m_values{32, 32};
    YDataCollection m_layoutValues{32, 32};
    YActorWorld m_world;
    YObjectDefList m_definitions;
    YObjectParser m_parser;

private:
    YInterfaceMgr* m_savedManager = nullptr;
    YDataCollection* m_savedSettings = nullptr;
    YDataCollection* m_savedValues = nullptr;
    YDataCollection* m_savedLayoutValues = nullptr;
    YActorWorld* m_savedWorld = nullptr;
    YGameRules* m_savedRules = nullptr;
    YObjectParser* m_savedParser = nullptr;
    YString m_savedDataDir;
    uint8_t m_savedShowSound = 0;
};
