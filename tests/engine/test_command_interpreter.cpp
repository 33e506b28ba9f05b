#include "engine/EngineFixture.h"

#include "foundation/YCheats.h"
#include "foundation/YObjectDef.h"
#include "foundation/YObjectDefList.h"
#include "foundation/YObjectParser.h"

namespace {
class CommandInterpreterTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        AddVerb(1, "forward", "0");
        AddVerb(9, "tleft", "0");
        AddVerb(12, "look", "1");
        AddVerb(90, "pitch", "2");
    }
};
}  // namespace

TEST_F(CommandInterpreterTest, CommentsAndEmptyLinesDoNothing)
{
    struct Case {
        const char* line;
        bool taken;
        const char* output;
    };
    const Case cases[] = {
        {"", false, ""},
        {"-- a comment", false, ""},
        {"// set sys_map x", false, ""},
        {"--", false, ""},
        {" -- not a comment", false, "'--' is not a recognized command."},
        {" // neither", false, "'//' is not a recognized command."},
        {"   ", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        bool taken = true;
        EXPECT_EQ(c.output, Run(c.line, &taken));
        EXPECT_EQ(c.taken, taken);
    }
    EXPECT_STREQ("", m_game->m_map);
}

TEST_F(CommandInterpreterTest, VerbsReachTheSessionWithTheirKind)
{
    struct Case {
        const char* line;
        VerbCall call;
    };
    const Case cases[] = {
        {"+forward", {1, YGameSession::VerbPress, ""}},
        {"-FORWARD", {1, YGameSession::VerbRelease, ""}},
        {"forward", {1, YGameSession::VerbPlain, ""}},
        {"+look", {12, YGameSession::VerbPlain, ""}},
        {"-look", {12, YGameSession::VerbRelease, ""}},
        {"+tleft 25 more", {9, YGameSession::VerbPress, "25 more"}},
        {"pitch\t-0.5", {90, YGameSession::VerbPlain, "-0.5"}},
        {"tleft \"a;b\"", {9, YGameSession::VerbPlain, "\"a;b\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        m_session.m_calls.clear();
        bool taken = false;
        EXPECT_EQ("", Run(c.line, &taken));
        EXPECT_TRUE(taken);
        ASSERT_EQ(1u, m_session.m_calls.size());
        EXPECT_EQ(c.call, m_session.m_calls[0]);
    }
}

TEST_F(CommandInterpreterTest, SignsAreNoVerbsOnTheirOwn)
{
    for (const char* line : {"+", "-", "+ forward"}) {
        SCOPED_TRACE(line);
        bool taken = true;
        std::string output = Run(line, &taken);
        EXPECT_FALSE(taken);
        EXPECT_EQ(std::string("'") + (line[0] == '+' ? "+" : "-") + "' is not a recognized command.", output);
    }
    EXPECT_TRUE(m_session.m_calls.empty());
}

TEST_F(CommandInterpreterTest, ConsoleCommandsTakeAPlusButNotAMinus)
{
    bool taken = false;
    std::string plain = Run("help", &taken);
    EXPECT_TRUE(taken);
    EXPECT_EQ(plain, Run("+HELP", &taken));
    EXPECT_TRUE(taken);
    EXPECT_EQ("'-help' is not a recognized command.", Run("-help", &taken));
    EXPECT_FALSE(taken);
}

TEST_F(CommandInterpreterTest, AVerbHidesAConsoleCommandOfTheSameName)
{
    AddVerb(20, "set", "0");
    bool taken = false;
    EXPECT_EQ("", Run("set sys_map island", &taken));
    EXPECT_TRUE(taken);
    EXPECT_STREQ("", m_game->m_map);
    ASSERT_EQ(1u, m_session.m_calls.size());
    EXPECT_EQ((VerbCall{20, YGameSession::VerbPlain, "sys_map island"}), m_session.m_calls[0]);
}

TEST_F(CommandInterpreterTest, SemicolonsSplitOutsideQuotesOnly)
{
    bool taken = false;
    std::string output = Run("set sys_map \"a;b\";set sys_plane jet;set sys_opponent", &taken);
    EXPECT_TRUE(taken);
    EXPECT_STREQ("a;b", m_game->m_map);
    EXPECT_STREQ("jet", m_game->m_plane);
    EXPECT_EQ("sys_opponent is \"\"", output);

    // Only the last piece reports to the caller.
    EXPECT_EQ("", Run("nonsense; set sys_map x", &taken));
    EXPECT_TRUE(taken);
    EXPECT_EQ("'nonsense' is not a recognized command.", Run("set sys_map y; nonsense", &taken));
    EXPECT_FALSE(taken);
    EXPECT_STREQ("y", m_game->m_map);
    EXPECT_EQ("", Run("set sys_map z;", &taken));
    EXPECT_FALSE(taken);
    EXPECT_STREQ("z", m_game->m_map);
}

TEST_F(CommandInterpreterTest, ATextArgumentIsOneArgumentWhateverItHolds)
{
    // What a player typed into a layout's edit box follows its command.
    struct Case {
        const char* line;
        const char* text;
        const char* map;    // sys_map afterwards
        const char* plane;  // sys_plane afterwards
    };
    const Case cases[] = {
        {"set sys_map", "Ace;set sys_plane jet", "Ace;set sys_plane jet", "before"},
        // The setting drops quotes itself, as "config.cfg" holds it in quotes.
        {"set sys_map", "\"quoted\" and \"not;quit", "quoted and not;quit", "before"},
        {"set sys_map", " two  blanks ", " two  blanks ", "before"},
        // The line's own ";" still separates; the text goes with the last piece.
        {"set sys_plane jet;set sys_map", "x;quit", "x;quit", "jet"},
        {"set sys_map \"a;b\"", "ignored", "a;b", "before"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Run("set sys_map before");
        Run("set sys_plane before");
        YString output;
        EXPECT_TRUE(m_interpreter->ExecuteCommandWithText(c.line, c.text, &output));
        EXPECT_STREQ(c.map, m_game->m_map);
        EXPECT_STREQ(c.plane, m_game->m_plane);
    }
    // A verb gets it as the rest of its line.
    m_session.m_calls.clear();
    YString output;
    EXPECT_TRUE(m_interpreter->ExecuteCommandWithText("+tleft", "a;b \"c", &output));
    ASSERT_EQ(1u, m_session.m_calls.size());
    EXPECT_EQ((VerbCall{9, YGameSession::VerbPress, "a;b \"c"}), m_session.m_calls[0]);
    // The command and its text share the command buffer.
    Run("set sys_map before");
    const std::string longText(YInterpreter::CommandBufferSize - 12, 'x');
    EXPECT_FALSE(m_interpreter->ExecuteCommandWithText("set sys_map", longText.c_str(), &output));
    EXPECT_EQ(0, output.Find("Command too long"));
    EXPECT_STREQ("before", m_game->m_map);
}

TEST_F(CommandInterpreterTest, EmptyPiecesRunNothing)
{
    struct Case {
        std::string line;
        const char* map;
        bool taken;
    };
    // Each of these once recursed on the whole rest of the line.
    const Case cases[] = {
        {";", "", false},
        {";;", "", false},
        {"set sys_map a;;set sys_plane b", "a", true},
        {";set sys_map c", "c", true},
        {"set sys_map d;;", "d", false},
        {"; ;\t;set sys_map e", "e", true},
        {";" + std::string(254, ' '), "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        m_game->m_map = "";
        m_game->m_plane = "";
        bool taken = !c.taken;
        Run(c.line, &taken);
        EXPECT_EQ(c.taken, taken);
        EXPECT_STREQ(c.map, m_game->m_map);
    }
    Run("set sys_map a;;set sys_plane b");
    EXPECT_STREQ("b", m_game->m_plane);
    EXPECT_TRUE(m_session.m_calls.empty());
}

TEST_F(CommandInterpreterTest, TabsOutsideQuotesSeparateWords)
{
    Run("set\tsys_map\t\"tab\there\"");
    EXPECT_STREQ("tab\there", m_game->m_map);
}

TEST_F(CommandInterpreterTest, OverLongPiecesAreRefused)
{
    std::string longValue(1100, 'x');
    bool taken = true;
    std::string output = Run("set sys_map " + longValue, &taken);
    EXPECT_FALSE(taken);
    EXPECT_EQ("Command too long (1112 characters, at most 1023).", output);
    EXPECT_STREQ("", m_game->m_map);

    // Each piece fits although the whole line does not.
    std::string piece = "set sys_map " + std::string(600, 'm');
    Run(piece + ";set sys_plane " + std::string(600, 'p'), &taken);
    EXPECT_TRUE(taken);
    EXPECT_EQ(YConfigObject::MaxTextValue, m_game->m_map.GetLength());
    EXPECT_EQ(YConfigObject::MaxTextValue, m_game->m_plane.GetLength());

    std::string fits = "set sys_opponent " + std::string(1023 - 17, 'o');
    ASSERT_EQ(1023u, fits.size());
    Run(fits, &taken);
    EXPECT_TRUE(taken);
}

TEST_F(CommandInterpreterTest, CheatsTakeWhatNothingElseTakes)
{
    YCheats* cheats = m_engine->m_cheats;
    ASSERT_NE(nullptr, cheats);
    YString stored = YCheats::Scramble("skyhook");
    int before = cheats->IsOn(stored);
    bool taken = false;
    EXPECT_EQ("", Run("SkyHook", &taken));
    EXPECT_TRUE(taken);
    EXPECT_NE(before, cheats->IsOn(stored));
    Run("skyhook");
    EXPECT_EQ(before, cheats->IsOn(stored));
    EXPECT_EQ("'skyhooks' is not a recognized command.", Run("skyhooks", &taken));
    EXPECT_FALSE(taken);
}

TEST_F(CommandInterpreterTest, HelpListsTheTableAndDescribesACommand)
{
    const std::string names = "ACTOR, ALIAS, BIND, EXEC, GRAPHICS, HELP, ?, LAYOUT, LIST, SESSION, SET, SOUND, "
                              "UNBOUND, OBJECT, PARSER, EXIT, QUIT, PAUSE, ESCAPE";
    EXPECT_EQ("Usage: HELP [command]\nCommands: " + names, Run("HELP"));
    EXPECT_EQ("Usage: ? [command]\nCommands: " + names, Run("?"));
    std::string set = Run("help set");
    EXPECT_EQ(0u, set.find("Sets certain options to new values."));
    EXPECT_NE(std::string::npos, set.find("\nUsage: SET settingname [\"value\"]"));
    EXPECT_EQ("", Run("help nosuch"));
}

TEST_F(CommandInterpreterTest, LinesOfAnOpenDefinitionGoToTheObjectParser)
{
    YObjectParser* parser = m_engine->m_objectParser;
    ASSERT_NE(nullptr, parser);
    ASSERT_EQ(nullptr, parser->GetCurrent());
    parser->ParseLine("OBJECT TestGlider");
    ASSERT_NE(nullptr, parser->GetCurrent());

    const char* lines[] = {"{", "set sys_map \"inside\"", "wingspan 12", "+forward", "}"};
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        bool taken = false;
        EXPECT_EQ("", Run(line, &taken));
        EXPECT_TRUE(taken);
    }
    EXPECT_EQ(nullptr, parser->GetCurrent());
    EXPECT_STREQ("", m_game->m_map);
    EXPECT_TRUE(m_session.m_calls.empty());

    YObjectDef* glider = m_engine->m_objectDefs->Find("TestGlider");
    ASSERT_NE(nullptr, glider);
    EXPECT_STREQ("inside", glider->GetValue("sys_map"));
    EXPECT_STREQ("12", glider->GetValue("wingspan"));
    EXPECT_EQ(1, m_engine->m_objectDefs->Remove(glider));

    // Once closed, lines are commands again.
    Run("set sys_map outside");
    EXPECT_STREQ("outside", m_game->m_map);
}

TEST_F(CommandInterpreterTest, ObjectScriptErrorsAreTheProgramsMessageBoxes)
{
    YObjectParser* parser = m_engine->m_objectParser;
    ASSERT_NE(nullptr, parser);
    struct Case {
        const char* line;
        const char* shown;
    };
    const Case cases[] = {
        {"{", "Syntax Error: Invalid token '{'"},
        {"}", "Syntax Error: Invalid token '}'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const int before = platform::MessageBoxCount();
        EXPECT_EQ(0, parser->ParseLine(c.line));
        ASSERT_EQ(before + 1, platform::MessageBoxCount());
        EXPECT_NE(std::string::npos, std::string(platform::LastMessageBox()).find(c.shown));
    }
    // A script with a missing base says so in the box as well.
    EXPECT_EQ(nullptr, parser->ParseFileInto("absent.ods", nullptr, "NoSuchBase"));
    EXPECT_NE(std::string::npos, std::string(platform::LastMessageBox()).find("Base class not found: NoSuchBase"));
}
