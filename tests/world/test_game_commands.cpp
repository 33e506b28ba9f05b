// The game commands: firing codes of held, pressed and released verbs, the
// editor's pick text, settings, named sounds and the clear start search.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SampleMapWorld.h"
#include "engine/YGameObjects.h"
#include "game/YClientInfo.h"
#include "foundation/YDataCollection.h"
#include "world/YActorSound.h"
#include "world/YGameCommands.h"

namespace {
// Records every dispatch of a control verb.
class RecordingCommands : public YGameCommands {
public:
    struct Call {
        int id;
        int code;
        std::string text;
    };
    std::vector<Call> m_calls;

protected:
    void RunControlVerb(int id, uint32_t, float, YClientInfo*, const char* text, int code) override
    {
        m_calls.push_back({id, code, text ? text : ""});
    }
};

class GameCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_engine = YGameObjects::Instance();
        ASSERT_NE(nullptr, m_engine->m_clientPhysics);
        m_engine->m_verbs->SetAt(7, "turn", "0", 0);   // held verb
        m_engine->m_verbs->SetAt(8, "shoot", "1", 0);  // fired once
    }
    std::string Codes()
    {
        std::string out;
        for (const auto& call : m_commands.m_calls) out += std::to_string(call.code);
        m_commands.m_calls.clear();
        return out;
    }
    YGameObjects* m_engine = nullptr;
    RecordingCommands m_commands;
};
}  // namespace

TEST_F(GameCommands, FiringCodesOfEachPressPattern)
{
    // p press, r release, t tick.
    const struct {
        int id;
        const char* steps;
        const char* codes;
    } cases[] = {
        {7, "ptttrt", "1223"}, {7, "prt", "3"}, {7, "ptrt", "13"}, {7, "rt", ""},
        {8, "pttt", "13"},      {8, "prt", "3"}, {7, "ptptrt", "113"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.steps) + " on " + std::to_string(c.id));
        uint32_t clock = 100;
        for (const char* s = c.steps; *s; ++s) {
            clock += 10;
            if (*s == 'p') m_commands.HandleVerb(c.id, "arg", 0, clock);
            if (*s == 'r') m_commands.HandleVerb(c.id, "", 1, clock);
            if (*s == 't') m_commands.RunActiveVerbs();
        }
        EXPECT_EQ(c.codes, Codes());
        EXPECT_TRUE(m_commands.m_verbs.IsEmpty());
    }
}

TEST_F(GameCommands, PressAgainRestartsWithTheNewTextAndTime)
{
    m_commands.HandleVerb(7, "first", 0, 10);
    m_commands.RunActiveVerbs();
    m_commands.HandleVerb(7, "second", 0, 50);
    ASSERT_EQ(1, m_commands.m_verbs.GetCount());
    const YActiveVerb* verb = m_commands.m_verbs.GetHead();
    EXPECT_EQ(YActiveVerb::Pressed, verb->m_phase);
    EXPECT_EQ(50u, verb->m_pressTime);
    EXPECT_STREQ("second", verb->m_text);
    m_commands.RunActiveVerbs();
    ASSERT_EQ(2u, m_commands.m_calls.size());
    EXPECT_EQ(1, m_commands.m_calls[1].code);
    EXPECT_EQ("second", m_commands.m_calls[1].text);
    m_commands.HandleVerb(7, "", 1, 60);
    m_commands.RunActiveVerbs();
}

TEST_F(GameCommands, NothingRunsWithoutThePilotControls)
{
    YClientPhysicsArray* saved = m_engine->m_clientPhysics;
    m_engine->m_clientPhysics = nullptr;
    m_commands.HandleVerb(7, "", 0, 10);
    m_commands.RunActiveVerbs();
    m_engine->m_clientPhysics = saved;
    EXPECT_TRUE(m_commands.m_verbs.IsEmpty());
    EXPECT_TRUE(m_commands.m_calls.empty());
}

TEST(GameCommandsEditor, PickTextNeedsFiveNumbers)
{
    const struct {
        const char* text;
        bool taken;
    } cases[] = {
        {"1,2,3,4,5", true}, {" 1.5, -2 ,3,4,5", true}, {"1,2,3,4", false}, {"1,2,3,4,", false},
        {"", false},         {"a,b,c,d,e", false},      {"1,2,,4,5", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        YVector position(-1, -1, -1), second(-1, -1, -1);
        EXPECT_EQ(c.taken, YGameCommands::ParseEditorPick(c.text, position, second));
        if (c.taken) {
            EXPECT_FLOAT_EQ(3.0f, position.z);
            EXPECT_FLOAT_EQ(5.0f, second.y);
            EXPECT_FLOAT_EQ(0.0f, second.z);
        } else {
            EXPECT_FLOAT_EQ(-1.0f, position.x);
        }
    }
    YVector a, b;
    EXPECT_FALSE(YGameCommands::ParseEditorPick(nullptr, a, b));
}

TEST_F(GameCommands, SettingsGoToTheCollectionOfTheCode)
{
    const struct {
        int code;
        YDataCollection* YGameObjects::*collection;
    } cases[] = {{0, &YGameObjects::m_values}, {1, &YGameObjects::m_settings}, {2, &YGameObjects::m_settings},
                 {4, &YGameObjects::m_verbs}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const std::string value = "v" + std::to_string(c.code);
        m_commands.SetSetting(c.code, -1, "test_setting", value.c_str(), 0);
        EXPECT_STREQ(value.c_str(), (m_engine->*c.collection)->GetValue("test_setting"));
    }
    m_commands.SetSetting(3, -1, "test_other", "x", 0);
    EXPECT_EQ(-1, m_engine->m_settings->IndexOf("test_other"));
}

TEST_F(GameCommands, ActorSoundFlags)
{
    YActor parent, actor;
    parent.AddChild(&actor);
    m_commands.PlayActorSound(&actor, "engine", 5.0f, 50.0f, YGameCommands::SoundLoop | YGameCommands::SoundOnce);
    ASSERT_EQ(1, actor.m_sounds.GetCount());
    const YActorSound* sound = actor.m_sounds.GetHead();
    EXPECT_TRUE(sound->Loops());
    EXPECT_EQ(1, sound->m_once);
    EXPECT_EQ(5.0f, sound->m_minDistance);
    EXPECT_EQ(50.0f, sound->m_maxDistance);
    m_commands.PlayActorSound(&actor, "engine", 5.0f, 50.0f, 0);
    EXPECT_FALSE(actor.m_sounds.GetTail()->Loops());
    m_commands.PlayActorSound(&actor, "engine", 5.0f, 50.0f, 0);  // a third is refused
    EXPECT_EQ(2, actor.m_sounds.GetCount());
    parent.m_sounds.AddTail(new YActorSound(nullptr, &parent, "engine"));
    m_commands.PlayActorSound(&actor, "engine", 1.0f, 2.0f, YGameCommands::SoundStopFirst);
    EXPECT_EQ(1, actor.m_sounds.GetCount());
    EXPECT_TRUE(parent.m_sounds.IsEmpty());
    parent.RemoveChild(&actor);
}

#if defined(RCV_DATA_DIR)
namespace {
class MeadowStart : public SampleMapWorld {
protected:
    static void SetUpTestSuite() { Load("Meadow"); }
};
}  // namespace

TEST_F(MeadowStart, ClearStartStaysOrWalksTheSquare)
{
    YGameCommands commands;
    const YVector open(Size() * 0.5f, 0, Size() * 0.5f);
    YVector at = open;
    commands.FindClearStart(at);
    EXPECT_FLOAT_EQ(open.x, at.x);
    EXPECT_FLOAT_EQ(m_world.GroundHeightAt(open.x, open.z), at.y);

    // An actor on the spot: the first move, +x by 5, is still within 16 m;
    // the walk goes on until a spot 16 m away.
    YActor* blocker = new YActor;
    blocker->m_position = open;
    m_world.AddActor(blocker);
    at = open;
    commands.FindClearStart(at);
    EXPECT_GE(at.DistanceSquared(YVector(open.x, at.y, open.z)), 16.0f * 16.0f);
    // Planes do not block.
    blocker->m_flagsB |= YActor::FlagPlaneKind;
    at = open;
    commands.FindClearStart(at);
    EXPECT_FLOAT_EQ(open.x, at.x);
    EXPECT_FLOAT_EQ(open.z, at.z);
}
#endif
