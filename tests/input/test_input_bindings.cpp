// The binding table through the input manager: binding and unbinding,
// aliases with their cycle check, the strings a press and a release send,
// and the command queue with its "wait" parts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/YInputObj.h"
#include "platform/win32.h"

namespace {
std::vector<std::string>& Sent()
{
    static std::vector<std::string> lines;
    return lines;
}

void Record(const char* line)
{
    Sent().push_back(line);
}

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sent().clear();
        platform::Clock::SetManual(true);
        platform::Clock::Set(1000);
    }
    void TearDown() override { platform::Clock::SetManual(false); }

    // A binding with alias parts put straight into the table, as an archive
    // would, past the cycle check.
    int AddRaw(const char* name, std::initializer_list<const char*> parts)
    {
        int index = m_input.GetCommandByName(name) ? m_input.FindCommand(name) : m_input.SetCommand(name, "", 0, -1, -1, -1);
        for (const char* part : parts) m_input.GetCommand(index)->AddAliasPart(part);
        return index;
    }

    YInputObj m_input{Record, nullptr};
};
}  // namespace

TEST_F(BindingTest, SetCommandAddsThenUpdatesAndCollectsInputs)
{
    EXPECT_EQ(0, m_input.SetCommand("forward", "Forward", 0, 17, -1, -1));
    EXPECT_EQ(1, m_input.SetCommand("fire", "Fire", YInputObjCommand::OneShot, -1, 0, -1));
    // The same name, in another case: updated in place, inputs collected.
    EXPECT_EQ(0, m_input.SetCommand("FORWARD", "", 0, -1, 1, 4));
    YInputObjCommand* forward = m_input.GetCommand(0);
    ASSERT_NE(nullptr, forward);
    EXPECT_STREQ("FORWARD", forward->m_name);
    EXPECT_STREQ("Forward", forward->m_description);  // an empty description keeps the old one
    EXPECT_EQ(YInputObjCommand::Momentary, forward->m_type);
    EXPECT_EQ(17, forward->m_key);
    EXPECT_EQ(1, forward->m_mouseButton);
    EXPECT_EQ(4, forward->m_joyButton);
    EXPECT_EQ(YInputObjCommand::OneShot, m_input.GetCommandByName("Fire")->m_type);

    struct Case {
        int key, mouse, joy;
        int found;
    } cases[] = {
        {17, -1, -1, 0}, {-1, 0, -1, 1}, {-1, -1, 4, 0}, {99, 2, 5, -1}, {-1, -1, -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.found, m_input.FindCommandByCode(c.key, c.mouse, c.joy)) << c.key << " " << c.mouse << " " << c.joy;
    }

    EXPECT_EQ(-1, m_input.FindCommand(""));
    EXPECT_EQ(-1, m_input.FindCommand(nullptr));
    EXPECT_EQ(nullptr, m_input.GetCommand(2));
    EXPECT_EQ(nullptr, m_input.GetCommand(-1));
    EXPECT_EQ(nullptr, m_input.GetCommandByName("jump"));
}

TEST_F(BindingTest, AnInputMovesToItsNewBindingAndTheOldOneStaysUnbound)
{
    m_input.SetCommand("jump", "", 0, 30, -1, -1);
    m_input.SetCommand("look", "", 0, -1, 3, -1);
    m_input.SetCommand("fire", "", 0, 30, 3, -1);
    EXPECT_EQ(-1, m_input.GetCommandByName("jump")->m_key);
    EXPECT_EQ(-1, m_input.GetCommandByName("look")->m_mouseButton);
    EXPECT_EQ(30, m_input.GetCommandByName("fire")->m_key);
    EXPECT_EQ(3, m_input.GetCommandByName("fire")->m_mouseButton);
    // Named bindings stay in the table and are listed as unbound, in order.
    EXPECT_EQ(3, m_input.m_settings.GetCommandCount());
    EXPECT_STREQ("jump look ", m_input.ListUnbound());
    // Unbinding one kind of input leaves the same number of another kind alone.
    m_input.SetCommand("pause", "", 0, -1, -1, 30);
    EXPECT_EQ(30, m_input.GetCommandByName("fire")->m_key);
}

TEST_F(BindingTest, NamelessBindingLosingItsLastInputIsRemoved)
{
    int combo = m_input.SetCommand("", "", 0, 30, -1, -1);
    ASSERT_TRUE(m_input.SetAlias(combo, "+jump"));
    ASSERT_TRUE(m_input.SetAlias(combo, "wait 200"));
    m_input.SetCommand("jump", "", 0, -1, -1, -1);
    // The key moves to "jump"; the nameless binding ahead of it goes, and
    // the index returned follows the binding down.
    EXPECT_EQ(0, m_input.SetCommand("jump", "", 0, 30, -1, -1));
    EXPECT_EQ(1, m_input.m_settings.GetCommandCount());
    EXPECT_EQ(30, m_input.GetCommand(0)->m_key);
    EXPECT_STREQ("", m_input.ListUnbound());

    // A nameless binding that keeps one input is kept.
    combo = m_input.SetCommand("", "", 0, 31, 1, -1);
    m_input.SetAlias(combo, "say hi");
    m_input.ClearBinding(31, -1, -1, -1);
    ASSERT_EQ(2, m_input.m_settings.GetCommandCount());
    EXPECT_EQ(1, m_input.GetCommand(1)->m_mouseButton);
    EXPECT_EQ(0, m_input.ClearBinding(-1, 1, -1, 0));  // spared index stays: the removal is behind it
    EXPECT_EQ(1, m_input.m_settings.GetCommandCount());
}

TEST_F(BindingTest, AliasPartsAreKeptInOrderAndJoined)
{
    int index = m_input.SetCommand("dash", "", 0, -1, -1, -1);
    for (const char* part : {"+run", "wait 200", "jump"}) EXPECT_TRUE(m_input.SetAlias(index, part));
    EXPECT_EQ(3, m_input.GetAliasPartCount(index));
    EXPECT_STREQ("wait 200", m_input.GetAliasPart(index, 1));
    EXPECT_STREQ("+run;wait 200;jump", m_input.GetAliasText(index));

    EXPECT_EQ(0, m_input.GetAliasPartCount(5));
    EXPECT_STREQ("", m_input.GetAliasPart(index, 3));
    EXPECT_STREQ("", m_input.GetAliasPart(7, 0));
    EXPECT_STREQ("", m_input.GetAliasText(-1));
    EXPECT_FALSE(m_input.SetAlias(1, "jump"));

    m_input.ClearAlias(index);
    EXPECT_EQ(0, m_input.GetAliasPartCount(index));
    EXPECT_STREQ("", m_input.GetAliasText(index));
}

TEST_F(BindingTest, PartsThatWouldRunTheirOwnBindingAreRefused)
{
    int a = m_input.SetCommand("a", "", 0, -1, -1, -1);
    int b = m_input.SetCommand("b", "", 0, -1, -1, -1);
    EXPECT_TRUE(m_input.SetAlias(a, "b"));
    EXPECT_FALSE(m_input.SetAlias(b, "a"));
    struct Case {
        const char* part;
        bool taken;
    } cases[] = {
        {"a", false},       // itself
        {"+a", false},      // itself, pressed
        {"+A 5", false},    // the interpreter runs the alias of the first word
        {"b", true},        // b holds no part that leads back
        {"-a", true},       // a release never runs an alias
        {"wait 10", true},
        {"c", true},        // no such binding
    };
    for (const Case& c : cases) EXPECT_EQ(c.taken, m_input.SetAlias(a, c.part)) << c.part;
    EXPECT_STREQ("b;b;-a;wait 10;c", m_input.GetAliasText(a));
}

TEST_F(BindingTest, AliasChainsAreRefusedFromTenLevelsOn)
{
    struct Case {
        int links;
        bool taken;
    } cases[] = {{1, true}, {10, true}, {11, false}};
    for (const Case& c : cases) {
        m_input.SetCommandCount(0);
        for (int i = 0; i < c.links; ++i) {
            std::string name = "c" + std::to_string(i), next = "c" + std::to_string(i + 1);
            int index = m_input.SetCommand(name.c_str(), "", 0, -1, -1, -1);
            if (i + 1 < c.links) {
                ASSERT_TRUE(m_input.SetAlias(index, next.c_str())) << c.links << " " << i;
            }
        }
        int top = m_input.SetCommand("top", "", 0, -1, -1, -1);
        EXPECT_EQ(c.taken, m_input.SetAlias(top, "c0")) << c.links;
    }
}

TEST_F(BindingTest, OnePartAliasesExpandWithTheirSign)
{
    AddRaw("a", {"b"});
    AddRaw("b", {"+strafe"});
    AddRaw("two", {"x", "y"});
    AddRaw("loop", {"+loop"});  // only an archive can hold this
    struct Case {
        const char* word;
        bool expanded;
        const char* out;
    } cases[] = {
        {"+a", true, "++strafe"}, {"b", true, "+strafe"}, {"-b", true, "-+strafe"}, {"two", false, "two"},
        {"+two", false, "+two"},  {"", false, ""},        {"zzz", false, "zzz"},    {"+loop", true, "+++++++++++loop"},
    };
    for (const Case& c : cases) {
        YString out;
        EXPECT_EQ(c.expanded, m_input.ExpandAlias(c.word, out)) << c.word;
        EXPECT_STREQ(c.out, out) << c.word;
    }
}

TEST_F(BindingTest, PressAndReleaseSendTheirStrings)
{
    struct Case {
        const char* name;
        int type;
        const char* parts;  // one part, or none
        std::vector<std::string> pressed, released;
    } cases[] = {
        {"run", YInputObjCommand::Momentary, nullptr, {"+run"}, {"-run"}},
        {"+run", YInputObjCommand::Momentary, nullptr, {"+run"}, {"-run"}},
        {"fire", YInputObjCommand::OneShot, nullptr, {"fire"}, {}},
        {"", YInputObjCommand::Momentary, nullptr, {}, {}},
        {"combo", YInputObjCommand::Momentary, "say go", {"say go"}, {}},
    };
    for (const Case& c : cases) {
        m_input.SetCommandCount(0);
        m_input.SetCommandCount(1);
        YInputObjCommand* cmd = m_input.GetCommand(0);
        cmd->m_name = c.name;
        cmd->m_type = c.type;
        if (c.parts) cmd->AddAliasPart(c.parts);
        Sent().clear();
        m_input.ExecuteBinding(0);
        m_input.ProcessQueue(false);
        EXPECT_EQ(c.pressed, Sent()) << c.name;
        EXPECT_EQ(2, cmd->m_state);
        Sent().clear();
        m_input.ReleaseBinding(0);
        EXPECT_EQ(c.released, Sent()) << c.name;
    }
    m_input.ExecuteBinding(3);  // out of range: nothing
    m_input.ReleaseBindingByName("nothing");
    EXPECT_TRUE(Sent().empty());
}

TEST_F(BindingTest, OneShotIsActiveOncePerPress)
{
    int fire = m_input.SetCommand("fire", "", YInputObjCommand::OneShot, -1, -1, -1);
    int run = m_input.SetCommand("run", "", YInputObjCommand::Momentary, -1, -1, -1);
    m_input.ExecuteBinding(fire);
    m_input.ExecuteBinding(run);
    EXPECT_TRUE(m_input.IsCommandActiveByName("FIRE"));
    EXPECT_FALSE(m_input.IsCommandActive(fire));
    EXPECT_TRUE(m_input.IsCommandActive(run));
    EXPECT_TRUE(m_input.IsCommandActive(run));
    EXPECT_FALSE(m_input.IsCommandActive(9));
    m_input.GetCommand(run)->m_prevState = 2;
    EXPECT_TRUE(m_input.WasCommandActiveByName("run"));
    m_input.ResetCommandState(run);
    EXPECT_FALSE(m_input.IsCommandActive(run));
    EXPECT_FALSE(m_input.WasCommandActive(run));
}

TEST_F(BindingTest, AliasPartsRunAheadOfTheQueueUpToTheirWait)
{
    int dash = m_input.SetCommand("dash", "", 0, -1, -1, -1);
    for (const char* part : {"+run", "wait 250 and more", "-run"}) m_input.SetAlias(dash, part);
    int hop = m_input.SetCommand("hop", "", 0, -1, -1, -1);
    for (const char* part : {"jump", "WAIT"}) m_input.SetAlias(hop, part);

    m_input.ExecuteBinding(dash);
    m_input.ProcessQueue(false);
    EXPECT_EQ((std::vector<std::string>{"+run"}), Sent());
    EXPECT_EQ(1250u, m_input.m_waitUntil);
    // A second alias goes ahead of what waits and restarts the queue at once.
    platform::Clock::Advance(10);
    m_input.ExecuteBinding(hop);
    m_input.ProcessQueue(false);
    EXPECT_EQ((std::vector<std::string>{"+run", "jump"}), Sent());
    EXPECT_EQ(1110u, m_input.m_waitUntil);  // "wait" alone: 100 ms
    platform::Clock::Advance(99);
    m_input.ProcessQueue(false);
    EXPECT_EQ(2u, Sent().size());
    platform::Clock::Advance(1);
    m_input.ProcessQueue(false);
    EXPECT_EQ((std::vector<std::string>{"+run", "jump", "-run"}), Sent());
    EXPECT_TRUE(m_input.m_queue.IsEmpty());
}

TEST_F(BindingTest, WaitLengths)
{
    struct Case {
        const char* text;
        uint32_t until;
    } cases[] = {
        {"wait", 1100}, {"wait 0", 1100}, {"wait soon", 1100}, {"Wait  250 x y", 1250}, {"wait 40", 1040},
    };
    for (const Case& c : cases) {
        m_input.ExecuteCommandString(c.text);
        EXPECT_EQ(c.until, m_input.m_waitUntil) << c.text;
    }
    // Forced, the queue runs past its waits.
    m_input.m_queue.AddTail("wait 500");
    m_input.m_queue.AddTail("say done");
    m_input.ProcessQueue(true);
    EXPECT_EQ((std::vector<std::string>{"say done"}), Sent());
}

TEST_F(BindingTest, QueuedTextNamingABindingRunsIt)
{
    m_input.SetCommand("+look", "", 0, -1, -1, -1);
    m_input.ExecuteCommandString("+LOOK");
    m_input.ExecuteCommandString("+look 5");
    EXPECT_EQ((std::vector<std::string>{"+look", "+look 5"}), Sent());
}

namespace {
YInputObj* g_interpreting = nullptr;
int g_calls = 0;

// What the interpreter does with a line: an alias named by the first word,
// with or without "+", runs its binding and then the queue.
void Interpret(const char* line)
{
    ++g_calls;
    std::string word = line;
    word = word.substr(0, word.find(' '));
    if (!word.empty() && word[0] == '+') word.erase(0, 1);
    int index = g_interpreting->FindCommand(word.c_str());
    if (index >= 0 && g_interpreting->GetAliasPartCount(index) > 0) {
        g_interpreting->ExecuteBinding(index);
        g_interpreting->ProcessQueue(false);
    }
}
}  // namespace

TEST_F(BindingTest, CyclicAliasesFromAnArchiveEndWithoutRunningAway)
{
    struct Case {
        std::initializer_list<const char*> parts;
    } cases[] = {
        {{"+a"}},             // through the interpreter, straight away
        {{"+a", "wait 10"}},  // through the interpreter, with a wait queued each time
        {{"a"}},              // through the queue alone
        {{"a", "a"}},         // through the queue, doubling
    };
    for (const Case& c : cases) {
        YInputObj input(Interpret, nullptr);
        g_interpreting = &input;
        g_calls = 0;
        input.SetCommandCount(1);
        input.GetCommand(0)->m_name = "a";
        for (const char* part : c.parts) input.GetCommand(0)->AddAliasPart(part);
        for (int frame = 0; frame < 3; ++frame) {
            Interpret("a");
            platform::Clock::Advance(20);
            EXPECT_LE(input.m_queue.GetCount(), (int)YInputObj::MaxQueue);
        }
        EXPECT_GT(g_calls, 1);
        g_interpreting = nullptr;
    }
}
