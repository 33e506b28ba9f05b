// A world on a sample map: the real renderer sets the map up level by level
// with the sample catalog (its placed models stand in the grid), as the
// session does, and the world takes it as its scene.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/YEngineCallbacks.h"
#include "engine/YGameObjects.h"
#include "foundation/YCatalog.h"
#include "renderer/YD3D6Parser.h"
#include "tools/YCatalogText.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"

#if defined(RCV_DATA_DIR)
class SampleMapWorld : public ::testing::Test {
protected:
    // Loads the map once for the whole suite; a map is read-only here but
    // for the actors registered, which every test takes out again.
    static void Load(const char* name)
    {
        YCatalogText::RegisterResourceClasses();
        s_catalog = new YCatalog(RCV_DATA_DIR "/RC Volaro.cat");
        s_catalog->GetSearchDirectories().Add(RCV_DATA_DIR);
        YGameObjects* engine = YGameObjects::Instance();
        YCatalog* saved = engine->m_catalog;
        engine->m_catalog = s_catalog;
        s_parser = new YD3D6Parser;
        s_parser->SetWorldScale(YActorWorld::kRenderScale);
        s_parser->SetObjectTest(ObjectTest);
        YSessionDesc desc;
        desc.m_mapPath = (std::string(RCV_DATA_DIR "/maps/") + name + ".zon").c_str();
        for (int i = 0; i < YSessionDesc::ParameterCount; ++i) desc.m_parameters[i] = engine->m_sessionDesc.m_parameters[i];
        s_loaded = true;
        for (int level = 0; level < s_parser->GetInitLevelCount(2); ++level)
            s_loaded = s_loaded && s_parser->InitSession(2, level == 0 ? &desc : nullptr, level);
        engine->m_catalog = saved;
    }
    static void TearDownTestSuite()
    {
        delete s_parser;
        s_parser = nullptr;
        delete s_catalog;
        s_catalog = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_loaded);
        m_engine = YGameObjects::Instance();
        m_savedRenderer = m_engine->m_renderer;
        m_savedWorlds[0] = m_engine->m_world;
        m_savedWorlds[1] = m_engine->m_world2;
        m_engine->m_renderer = s_parser;
        m_engine->m_world = &m_world;
        m_engine->m_world2 = nullptr;
        m_world.Init(nullptr, nullptr, "maps", YActorWorld::kDefaultCapacity);
        ASSERT_EQ(s_parser, m_world.m_scene);
    }
    void TearDown() override
    {
        m_world.Clear();
        m_engine->m_renderer = m_savedRenderer;
        m_engine->m_world = m_savedWorlds[0];
        m_engine->m_world2 = m_savedWorlds[1];
    }
    // The number of times the grid lists the actor, over every cell.
    static int Registrations(const YActor* actor)
    {
        int found = 0;
        for (uint32_t cell = 0; cell < s_parser->GetGridWidth() * s_parser->GetGridHeight(); ++cell)
            for (const YCellActor* node = s_parser->GetCellActors(cell); node; node = node->m_next)
                found += node->m_id == actor;
        return found;
    }
    // The grid lists the actor in the cell under the point.
    static bool ListedAt(const YActor* actor, const YVector& at)
    {
        const int32_t cell = s_parser->CellIndexOf(at.x * 16.0f, at.z * 16.0f);
        for (const YCellActor* node = s_parser->GetCellActors(static_cast<uint32_t>(cell)); node; node = node->m_next)
            if (node->m_id == actor) return true;
        return false;
    }
    float Size() const { return m_world.MapWidth(); }

    static YCatalog* s_catalog;
    static YD3D6Parser* s_parser;
    static bool s_loaded;
    YGameObjects* m_engine = nullptr;
    YParser* m_savedRenderer = nullptr;
    YActorWorld* m_savedWorlds[2] = {};
    YActorWorld m_world;
};
#endif
