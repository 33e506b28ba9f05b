// The interpreter's alias step: a word naming a binding of the input manager
// that holds alias parts runs the binding and then the manager's queue.
#include "engine/EngineFixture.h"

#include "input/YInputObj.h"
#include "platform/win32.h"

namespace {
class InterpreterAliasTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ASSERT_NE(nullptr, m_engine->m_input);
        m_inputObj = m_engine->m_input;
        m_inputObj->SetCommandCount(0);
        m_inputObj->m_queue.RemoveAll();
        platform::Clock::SetManual(true);
        platform::Clock::Set(5000);
        AddVerb(1, "forward", "0");
        AddVerb(7, "jump", "0");
    }
    void TearDown() override
    {
        m_inputObj->SetCommandCount(0);
        m_inputObj->m_queue.RemoveAll();
        m_inputObj->m_waitUntil = 0;
        platform::Clock::SetManual(false);
        EngineTest::TearDown();
    }

    int Alias(const char* name, std::initializer_list<const char*> parts)
    {
        int index = m_inputObj->SetCommand(name, "", 0, -1, -1, -1);
        for (const char* part : parts) m_inputObj->GetCommand(index)->AddAliasPart(part);
        return index;
    }

    YInputObj* m_inputObj = nullptr;
};
}  // namespace

TEST_F(InterpreterAliasTest, AnAliasRunsItsPartsUpToTheFirstWait)
{
    Alias("hop", {"+jump", "wait 200", "-jump", "forward"});
    struct Case {
        const char* line;
        bool taken;
    } cases[] = {{"hop", true}, {"+HOP extra", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        m_session.m_calls.clear();
        bool taken = false;
        EXPECT_EQ("", Run(c.line, &taken));
        EXPECT_EQ(c.taken, taken);
        EXPECT_EQ((std::vector<VerbCall>{{7, YGameSession::VerbPress, ""}}), m_session.m_calls);
        platform::Clock::Advance(200);
        m_inputObj->ProcessQueue(false);
        EXPECT_EQ((std::vector<VerbCall>{{7, YGameSession::VerbPress, ""},
                                         {7, YGameSession::VerbRelease, ""},
                                         {1, YGameSession::VerbPlain, ""}}),
                  m_session.m_calls);
    }
}

TEST_F(InterpreterAliasTest, ReleasesBindingsWithoutPartsAndVerbsAreNoAliases)
{
    Alias("hop", {"+jump"});
    m_inputObj->SetCommand("strafe", "", 0, -1, -1, -1);  // no parts: no alias
    Alias("forward", {"+jump"});                          // the verb of that name wins
    struct Case {
        const char* line;
        const char* output;
        std::vector<VerbCall> calls;
    } cases[] = {
        {"-hop", "'-hop' is not a recognized command.", {}},
        {"strafe", "'strafe' is not a recognized command.", {}},
        {"forward", "", {{1, YGameSession::VerbPlain, ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        m_session.m_calls.clear();
        EXPECT_EQ(c.output, Run(c.line));
        EXPECT_EQ(c.calls, m_session.m_calls);
    }
}

TEST_F(InterpreterAliasTest, SelfCallingAliasesAreRefusedOrEndWithoutRunningAway)
{
    int a = m_inputObj->SetCommand("a", "", 0, -1, -1, -1);
    EXPECT_FALSE(m_inputObj->SetAlias(a, "+a"));
    EXPECT_FALSE(m_inputObj->SetAlias(a, "a 10"));
    // A table that skipped the check, as an archive can.
    Alias("a", {"+a", "+jump"});
    bool taken = false;
    Run("a", &taken);
    EXPECT_TRUE(taken);
    EXPECT_LE(m_inputObj->m_queue.GetCount(), (int)YInputObj::MaxQueue);
    EXPECT_FALSE(m_session.m_calls.empty());
    for (const VerbCall& call : m_session.m_calls) EXPECT_EQ(7, call.id);
}
