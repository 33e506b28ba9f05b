#include "engine/EngineFixture.h"

#include "input/YInputObj.h"

namespace {
const std::string BindUsage = "Usage: BIND input [\"command1;command2;...\"] [\"display name\"]";
const std::string AliasUsage = "Usage: ALIAS commandname [\"command1;command2;...\"] [\"display name\"]";

// The engine's input manager with an empty binding table and queue.
class ConsoleBindingTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        AddVerb(1, "forward", "0");
        AddVerb(9, "tleft", "0");
        m_inputObj = m_engine->m_input;
        ASSERT_NE(nullptr, m_inputObj);
        Clear();
    }
    void TearDown() override
    {
        if (m_inputObj) Clear();
        EngineTest::TearDown();
    }

    void Clear()
    {
        m_inputObj->SetCommandCount(0);
        m_inputObj->m_queue.RemoveAll();
        m_inputObj->m_waitUntil = 0;
    }

    YInputObjCommand* ByKey(int key) { return m_inputObj->GetCommand(m_inputObj->FindCommandByCode(key, -1, -1)); }

    // Presses a binding and runs what it queued.
    void Press(int index)
    {
        m_session.m_calls.clear();
        m_inputObj->ExecuteBinding(index);
        m_inputObj->ProcessQueue(false);
    }

    YInputObj* m_inputObj = nullptr;
};
}  // namespace

TEST_F(ConsoleBindingTest, BindStoresAndShowsTheBindingOfAnInput)
{
    struct Case {
        const char* line;
        std::string output;
    };
    const Case cases[] = {
        {"bind", BindUsage},
        {"bind k", BindUsage},
        {"bind k forward", ""},
        {"bind K", "forward"},
        {"bind mouse2 \"+forward;wait 200;tleft\" \"Go Left\"", ""},
        {"BIND MOUSE2", "Go Left: +forward;wait 200;tleft"},
        {"bind joy3 \"tleft\" \"Turn\"", ""},
        {"bind joy3", "Turn: tleft"},
        {"bind nosuch forward", "Input 'nosuch' not recognized."},
        {"bind nosuch", "Input 'nosuch' not recognized."},
        // A nameless binding that loses its only input leaves the table.
        {"bind mouse2 \"tleft;+forward\"", ""},
        {"bind mouse2", "tleft;+forward"},
        {"bind mouse2 \"+forward\" \"Forward\"", ""},
        {"bind mouse2", "Forward: +forward"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        bool taken = false;
        EXPECT_EQ(c.output, Run(c.line, &taken));
        EXPECT_TRUE(taken);
    }
    // k and joy3 kept their bindings; mouse2's nameless binding lost its only
    // input and left the table.
    EXPECT_EQ(3, m_inputObj->m_settings.GetCommandCount());
    ASSERT_NE(nullptr, ByKey(37));
    EXPECT_STREQ("forward", ByKey(37)->m_name);
    EXPECT_EQ(1, ByKey(37)->m_type);
    EXPECT_EQ(-1, m_inputObj->FindCommand("nosuch"));
    YInputObjCommand* forward = m_inputObj->GetCommandByName("+forward");
    ASSERT_NE(nullptr, forward);
    EXPECT_EQ(1, forward->m_mouseButton);
}

TEST_F(ConsoleBindingTest, OnePartNamesTheBindingAndManyPartsRunInOrder)
{
    Run("bind b tleft");
    YInputObjCommand* named = ByKey(48);
    ASSERT_NE(nullptr, named);
    EXPECT_STREQ("tleft", named->m_name);
    EXPECT_EQ(0, named->GetAliasPartCount());
    Press(m_inputObj->FindCommandByCode(48, -1, -1));
    EXPECT_EQ(std::vector<VerbCall>({{9, YGameSession::VerbPress, ""}}), m_session.m_calls);

    Run("bind a \"+forward;tleft 5;-forward\"");
    YInputObjCommand* nameless = ByKey(30);
    ASSERT_NE(nullptr, nameless);
    EXPECT_STREQ("", nameless->m_name);
    EXPECT_EQ(3, nameless->GetAliasPartCount());
    Press(m_inputObj->FindCommandByCode(30, -1, -1));
    EXPECT_EQ(std::vector<VerbCall>({{1, YGameSession::VerbPress, ""},
                                     {9, YGameSession::VerbPlain, "5"},
                                     {1, YGameSession::VerbRelease, ""}}),
              m_session.m_calls);
}

TEST_F(ConsoleBindingTest, BindingAnInputTakesItFromItsFormerBinding)
{
    Run("bind k forward");
    Run("bind k tleft");
    EXPECT_EQ("tleft", Run("bind k"));
    EXPECT_EQ("forward ", Run("unbound"));
    EXPECT_EQ(-1, m_inputObj->GetCommandByName("forward")->m_key);
}

TEST_F(ConsoleBindingTest, UnboundListsNamedBindingsWithoutInputs)
{
    EXPECT_EQ("All commands and aliases are bound to inputs.", Run("unbound"));
    Run("bind k forward");
    Run("bind a \"tleft;forward\"");
    EXPECT_EQ("All commands and aliases are bound to inputs.", Run("UNBOUND"));
    Run("alias runjump \"+forward;wait 200;tleft\"");
    Run("alias look tleft");
    EXPECT_EQ("runjump look ", Run("unbound"));
    Run("bind mouse1 runjump");
    EXPECT_EQ("look ", Run("unbound"));
}

TEST_F(ConsoleBindingTest, AliasDefinesReplacesAndShowsItsParts)
{
    struct Case {
        const char* line;
        std::string output;
    };
    const Case cases[] = {
        {"alias", AliasUsage},
        {"alias runjump", AliasUsage},
        {"alias runjump \"+forward;wait 200;tleft\" \"Run And Jump\"", ""},
        {"alias RUNJUMP", "Run And Jump: +forward;wait 200;tleft"},
        // New parts replace the old ones; the display name stays.
        {"alias runjump \"tleft;-forward\" \"Other\"", ""},
        {"alias runjump", "Run And Jump: tleft;-forward"},
        {"alias plain forward", ""},
        {"alias plain", "forward"},
        {"alias forward tleft", "Cannot override fundamental command [forward]"},
        {"alias +TLEFT", "Cannot override fundamental command [+TLEFT]"},
        {"alias -tleft \"forward\"", "Cannot override fundamental command [-tleft]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        bool taken = false;
        EXPECT_EQ(c.output, Run(c.line, &taken));
        EXPECT_TRUE(taken);
    }
    EXPECT_EQ(-1, m_inputObj->FindCommand("forward"));
    EXPECT_EQ(-1, m_inputObj->FindCommand("tleft"));
    EXPECT_EQ(2, m_inputObj->m_settings.GetCommandCount());

    // The alias runs from the console, its parts in order.
    m_session.m_calls.clear();
    bool taken = false;
    EXPECT_EQ("", Run("runjump", &taken));
    EXPECT_TRUE(taken);
    EXPECT_EQ(std::vector<VerbCall>({{9, YGameSession::VerbPlain, ""}, {1, YGameSession::VerbRelease, ""}}),
              m_session.m_calls);
}

TEST_F(ConsoleBindingTest, AliasLoopsAreRefused)
{
    EXPECT_EQ("", Run("alias a b"));
    EXPECT_EQ("Could not alias: a ", Run("alias b a"));
    EXPECT_EQ("", Run("alias b"));
    EXPECT_EQ("Could not alias: c ", Run("alias c \"tleft;c\""));
    EXPECT_EQ("tleft", Run("alias c"));
}

TEST_F(ConsoleBindingTest, AnAliasOfItselfIsRefusedAndRunsNothingForever)
{
    struct Case {
        const char* line;
        std::string output;
        const char* shown;
    };
    const Case cases[] = {
        {"alias a \"+a\"", "Could not alias: +a ", ""},
        {"alias w \"+w;wait 10\"", "Could not alias: +w ", "wait 10"},
        {"alias s \"s 5\"", "Could not alias: s 5 ", ""},
        // A release never runs an alias, so it is no loop.
        {"alias m \"-m;tleft\"", "", "-m;tleft"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.output, Run(c.line));
        std::string name(c.line + 6, 1);
        EXPECT_EQ(c.shown, Run("alias " + name));
    }
    for (const char* line : {"a", "+a", "-a", "w", "+w", "s", "m", "+m"}) {
        SCOPED_TRACE(line);
        Run(line);
        m_inputObj->ProcessQueue(true);
        EXPECT_TRUE(m_inputObj->m_queue.IsEmpty());
    }
}

TEST_F(ConsoleBindingTest, WithoutAnInputManagerTheCommandsShowTheirUsage)
{
    m_engine->m_input = nullptr;
    EXPECT_EQ(BindUsage, Run("bind k forward"));
    EXPECT_EQ(AliasUsage, Run("alias runjump tleft"));
    EXPECT_EQ("", Run("unbound"));
    m_engine->m_input = m_inputObj;
    EXPECT_EQ(0, m_inputObj->m_settings.GetCommandCount());
}

TEST_F(ConsoleBindingTest, CommandFilesBindAndTheWrittenSectionReadsBackTheSame)
{
    std::string path = WriteFile("keys.cfg",
                                 "-- keys\n"
                                 "alias runjump \"+forward;wait 200;tleft\" \"Run And Jump\"\n"
                                 "bind k runjump\n"
                                 "bind mouse1 \"tleft;-forward\" \"Turn\"\n"
                                 "bind joy2 forward\n"
                                 "bind nosuch tleft\n"
                                 "alias tleft x\n"
                                 "alias spare forward\n");
    EXPECT_EQ("Input 'nosuch' not recognized.\nCannot override fundamental command [tleft]\nExecuted " + path +
                  " [8 commands]",
              Run("exec " + path));
    EXPECT_EQ("Run And Jump: +forward;wait 200;tleft", Run("bind k"));
    EXPECT_EQ("Turn: tleft;-forward", Run("bind mouse1"));
    EXPECT_EQ("forward", Run("bind joy2"));
    EXPECT_EQ("spare ", Run("unbound"));

    // What "config.cfg" gets, run into an empty table, gives the same section.
    std::string first = PathOf("first.cfg");
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open(first.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
        m_inputObj->m_settings.WriteScript(file);
    }
    Clear();
    Run("exec " + first);
    std::string second = PathOf("second.cfg");
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open(second.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
        m_inputObj->m_settings.WriteScript(file);
    }
    EXPECT_EQ(ReadFile(first), ReadFile(second));
    EXPECT_NE(std::string::npos, ReadFile(first).find("bind k \"runjump\" \"Run And Jump\""));
}

namespace {
// Command parts joined by ";", exactly length characters long.
std::string PartsOfLength(size_t length)
{
    std::string text;
    while (text.size() + 6 + 7 <= length) text += "tleft;";
    text += "wait ";
    text += std::string(length - text.size(), '1');
    return text;
}
}  // namespace

// Bindings and aliases longer than the settings' 200-character texts are
// written whole; one whose line would not fit the command-file reader is
// refused when it is entered, and nothing of it is kept.
TEST_F(ConsoleBindingTest, LongBindingsAndAliasesSaveWholeOrAreRefused)
{
    const size_t aliasFits = 254 - strlen("alias runjump \"\"");
    const size_t bindFits = 254 - strlen("bind mouse1 \"\"");
    const struct {
        const char* head;
        size_t length;
        bool kept;
    } cases[] = {
        {"alias runjump", 230, true},         {"alias runjump", aliasFits, true},
        {"alias runjump", aliasFits + 1, false}, {"bind mouse1", bindFits, true},
        {"bind mouse1", bindFits + 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.head) + " " + std::to_string(c.length));
        Clear();
        const std::string text = PartsOfLength(c.length);
        ASSERT_EQ(c.length, text.size());
        const std::string line = std::string(c.head) + " \"" + text + "\"";
        const std::string answer = Run(line);
        const bool isAlias = line[0] == 'a';
        const int index = isAlias ? m_inputObj->FindCommand("runjump") : m_inputObj->FindCommandByCode(-1, 0, -1);
        if (!c.kept) {
            EXPECT_EQ("'" + std::string(c.head) + "' is too long to be saved (at most 254 characters a line).",
                      answer);
            EXPECT_EQ(-1, index);
            continue;
        }
        EXPECT_EQ("", answer);
        ASSERT_GE(index, 0);
        EXPECT_EQ(text, std::string(m_inputObj->GetAliasText(index)));

        // Saved and read back, the binding is the same, and the line fits.
        std::string saved = PathOf("saved.cfg");
        {
            CStdioFile file;
            ASSERT_TRUE(file.Open(saved.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
            m_inputObj->m_settings.WriteScriptShort(file);
        }
        EXPECT_NE(std::string::npos, ReadFile(saved).find(line + "\r\n"));
        Clear();
        Run("exec " + saved);
        const int again = isAlias ? m_inputObj->FindCommand("runjump") : m_inputObj->FindCommandByCode(-1, 0, -1);
        ASSERT_GE(again, 0);
        EXPECT_EQ(text, std::string(m_inputObj->GetAliasText(again)));
    }
}
