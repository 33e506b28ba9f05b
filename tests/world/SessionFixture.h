// The engine object with a session of its own on the sample data: the
// catalog, a renderer without a device, fresh worlds, settings and
// population lists, the clock held by hand. Everything is put back after.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ScratchFolder.h"
#include "engine/YEngineCallbacks.h"
#include "engine/YGameConfig.h"
#include "engine/YGameObjects.h"
#include "foundation/YCatalog.h"
#include "game/YClientInfo.h"
#include "game/YPlane.h"
#include "renderer/YD3D6Parser.h"
#include "tools/YCatalogText.h"
#include "world/YActorWorld.h"
#include "world/YGameCommands.h"
#include "world/YGameRules.h"
#include "world/YGameServer.h"
#include "world/YGameSession.h"

#if defined(RCV_DATA_DIR)
class SessionFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        YCatalogText::RegisterResourceClasses();
        s_catalog = new YCatalog(RCV_DATA_DIR "/RC Volaro.cat");
        s_catalog->GetSearchDirectories().Add(RCV_DATA_DIR);
    }
    static void TearDownTestSuite()
    {
        delete s_catalog;
        s_catalog = nullptr;
    }

    void SetUp() override
    {
        e = YGameObjects::Instance();
        m_saved.catalog = e->m_catalog;
        m_saved.renderer = e->m_renderer;
        m_saved.world = e->m_world;
        m_saved.world2 = e->m_world2;
        m_saved.session = e->m_session;
        m_saved.config = e->m_gameConfig;
        m_saved.manager = e->m_interfaceMgr;
        m_saved.commands = e->m_gameCommands;
        m_saved.map = e->m_sessionDesc.m_mapPath;
        m_saved.dataDir = e->m_dataDir;
        m_saved.seconds = e->m_roundSeconds;
        e->m_catalog = s_catalog;
        m_parser.SetWorldScale(YActorWorld::kRenderScale);
        m_parser.SetObjectTest(ObjectTest);
        e->m_renderer = &m_parser;
        e->m_world = &m_world;
        e->m_world2 = &m_world2;
        e->m_session = &m_session;
        e->m_gameConfig = &m_config;
        e->m_interfaceMgr = nullptr;
        e->m_dataDir = RCV_DATA_DIR;
        m_config.m_gameType = "balloon";
        m_config.m_plane = "biplane";
        m_config.m_gameLevel = -1;
        e->CreatePopulationLists();
        e->m_gameClock = 0;
        e->m_frameCount = 0;
        e->m_frameTime = 0.0f;
        platform::Clock::SetManual(true);
        platform::Seed::Fix(7);
    }

    void TearDown() override
    {
        if (m_session.m_state != YGameSession::None) m_session.Action(YGameSession::ActionEnd);
        m_parser.EndSession(0);
        e->m_localClient->Reset();
        e->m_opponentPlane = nullptr;
        e->m_directionArrow = nullptr;
        delete e->m_rules;
        e->m_rules = nullptr;
        e->CreatePopulationLists();
        m_world.Clear();
        m_world2.Clear();
        e->m_catalog = m_saved.catalog;
        e->m_renderer = m_saved.renderer;
        e->m_world = m_saved.world;
        e->m_world2 = m_saved.world2;
        e->m_session = m_saved.session;
        e->m_gameConfig = m_saved.config;
        e->m_interfaceMgr = m_saved.manager;
        e->m_gameCommands = m_saved.commands;
        e->m_sessionDesc.m_mapPath = m_saved.map;
        e->m_dataDir = m_saved.dataDir;
        e->m_roundSeconds = m_saved.seconds;
        e->m_gameClock = 0;
        e->m_frameTime = 0.0f;
        platform::Clock::SetManual(false);
        platform::Seed::Release();
    }

    static std::string MapPath(const char* name) { return std::string(RCV_DATA_DIR "/maps/") + name + ".zon"; }

    // INIT then BEGIN on the sample map; true when the round plays.
    bool Start(const char* map)
    {
        e->m_sessionDesc.m_mapPath = MapPath(map).c_str();
        if (!m_session.Action(YGameSession::ActionInit)) return false;
        return m_session.Action(YGameSession::ActionBegin) == 1 && m_session.m_state == YGameSession::Playing;
    }

    YPlane* LocalPlane() const { return e->m_localClient->m_plane; }
    YGameCommands* SavedCommands() const { return m_saved.commands; }

    static YCatalog* s_catalog;
    YGameObjects* e = nullptr;
    YD3D6Parser m_parser;
    YActorWorld m_world;
    YActorWorld m_world2;
    YGameSession m_session;
    YGameConfig m_config;

private:
    struct {
        YCatalog* catalog;
        YParser* renderer;
        YActorWorld* world;
        YActorWorld* world2;
        YGameSession* session;
        YGameConfig* config;
        YInterfaceMgr* manager;
        YGameCommands* commands;
        YString map;
        YString dataDir;
        int32_t seconds;
    } m_saved = {};
};
#endif
