#include "engine/EngineFixture.h"

namespace {
class CommandFileTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        AddVerb(1, "forward", "0");
        AddVerb(9, "tleft", "0");
    }

    std::string Exec(const std::string& path, bool show, bool* result = nullptr)
    {
        YString output;
        bool ok = m_interpreter->ExecFile(path.c_str(), &output, show);
        if (result) *result = ok;
        return std::string(output);
    }
};
}  // namespace

TEST_F(CommandFileTest, MixedFileRunsLineByLine)
{
    const std::string longLine = "set sys_data \"" + std::string(290, 'd') + "\"";
    const std::string bytes = "-- settings for the test\r\n"
                              "// another comment\n"
                              "\r\n"
                              "set sys_map \"island;two\"\r\n"
                              "set sys_plane \"biplane\"; set sys_opponent \"Varnel\"\n"
                              "\n"
                              "+forward\r\n"
                              "-forward ; +tleft 25\n"
                              "   -- indented comment\t\n"
                              "nonsense words\n" +
                              longLine + "\n";
    std::string path = WriteFile("mixed.cfg", bytes);
    bool result = false;
    std::string output = Exec(path, false, &result);
    EXPECT_TRUE(result);

    EXPECT_STREQ("island;two", m_game->m_map);
    EXPECT_STREQ("biplane", m_game->m_plane);
    EXPECT_STREQ("Varnel", m_game->m_opponent);
    const std::vector<VerbCall> verbs = {
        {1, YGameSession::VerbPress, ""}, {1, YGameSession::VerbRelease, ""}, {9, YGameSession::VerbPress, "25"}};
    EXPECT_EQ(verbs, m_session.m_calls);

    // The long line arrives in two reads of at most 255 characters.
    const int firstRead = 255 - (int)strlen("set sys_data \"");
    EXPECT_EQ(YConfigObject::MaxTextValue, m_game->m_dataDir.GetLength());
    ASSERT_GT(firstRead, YConfigObject::MaxTextValue);
    const std::string tail = std::string(290 - firstRead, 'd') + "\"";
    EXPECT_EQ("'nonsense' is not a recognized command.\n"
              "'" + tail + "' is not a recognized command.\n"
              "Executed " + path + " [10 commands]",
              output);
}

TEST_F(CommandFileTest, CountIncludesCommentsButNotBlankLines)
{
    std::string path = WriteFile("count.cfg", "set sys_map a\n\n// note\nset sys_plane b\r\n\r\nset sys_ui 3\n");
    EXPECT_EQ("Executed " + path + " [4 commands]", Exec(path, false));
    EXPECT_EQ(3, m_game->m_ui);
}

TEST_F(CommandFileTest, ShowEchoesEveryLineWithItsMessage)
{
    std::string path = WriteFile("show.cfg", "set sys_map a\nbogus\n  set sys_map\n");
    EXPECT_EQ("\n>set sys_map a\n>bogus\n'bogus' is not a recognized command.\n>set sys_map\nsys_map is \"a\"\n\n"
              "Executed " + path + " [3 commands]",
              Exec(path, true));
}

TEST_F(CommandFileTest, FailingLinesAreListedAndTheRunStillSucceeds)
{
    std::string path = WriteFile("bad.cfg", "one\ntwo\nthree\n");
    YString output = "earlier ";
    EXPECT_TRUE(m_interpreter->ExecFile(path.c_str(), &output, false));
    EXPECT_EQ("earlier 'one' is not a recognized command.\n'two' is not a recognized command.\n"
              "'three' is not a recognized command.\nExecuted " + path + " [3 commands]",
              std::string(output));
}

TEST_F(CommandFileTest, MissingFileIsReported)
{
    bool result = true;
    std::string path = PathOf("absent.cfg");
    EXPECT_EQ(path + " not found", Exec(path, false, &result));
    EXPECT_FALSE(result);
}

TEST_F(CommandFileTest, ExecAppendsTheExtensionOnlyWithoutADot)
{
    std::string path = WriteFile("plain.cfg", "set sys_map from_plain\n");
    std::string base = path.substr(0, path.size() - 4);
    ASSERT_EQ(std::string::npos, base.find('.'));
    bool taken = false;
    EXPECT_EQ("Executed " + path + " [1 commands]", Run("exec " + base, &taken));
    EXPECT_TRUE(taken);
    EXPECT_STREQ("from_plain", m_game->m_map);

    std::string other = WriteFile("other.txt", "set sys_map from_txt\n");
    EXPECT_EQ("\n>set sys_map from_txt\n\nExecuted " + other + " [1 commands]", Run("EXEC " + other + ",show"));
    EXPECT_EQ("Executed " + other + " [1 commands]", Run("exec " + other + " loud"));
    EXPECT_EQ("Usage: EXEC file[.cfg] [show]", Run("exec"));
}

TEST_F(CommandFileTest, FilesRunningEachOtherStopAtTheDepthLimit)
{
    std::string first = PathOf("first.cfg");
    std::string second = PathOf("second.cfg");
    WriteFile("first.cfg", "set sys_ui 1\nexec " + second + "\n");
    WriteFile("second.cfg", "exec " + first + "\n");
    bool result = false;
    std::string output = Exec(first, false, &result);
    EXPECT_TRUE(result);
    EXPECT_EQ(1, m_game->m_ui);
    EXPECT_NE(std::string::npos, output.find("not run: command files nested more than 8 deep"));

    std::string self = WriteFile("self.cfg", "exec " + PathOf("self.cfg") + "\n");
    output = Exec(self, false, &result);
    EXPECT_TRUE(result);
    EXPECT_NE(std::string::npos, output.find(self + " not run: command files nested more than 8 deep"));
    // A later run is not affected by the earlier nesting.
    std::string plain = WriteFile("later.cfg", "set sys_ui 2\n");
    EXPECT_EQ("Executed " + plain + " [1 commands]", Exec(plain, false));
}

TEST_F(CommandFileTest, LinesOfBareSemicolonsRunNothing)
{
    // A "config.cfg" holding ";" once overflowed the stack at start-up; the
    // second line is a 255-character read that starts with ";".
    const std::string chunk = ";" + std::string(254, 'x');
    std::string path = WriteFile("semicolons.cfg", ";\n;;\n" + chunk + "set sys_map after\nset sys_ui 2;;\n");
    bool result = false;
    std::string output = Exec(path, false, &result);
    EXPECT_TRUE(result);
    EXPECT_STREQ("after", m_game->m_map);
    EXPECT_EQ(2, m_game->m_ui);
    EXPECT_NE(std::string::npos, output.find("[5 commands]"));
}

TEST_F(CommandFileTest, FilesRunningThemselvesManyTimesAreBoundedInAll)
{
    // Six lines of "exec" of itself stay within the depth but would run 6^8 files.
    std::string self = PathOf("six.cfg");
    std::string text = "set sys_ui 7\n";
    for (int i = 0; i < 6; ++i) text += "exec " + self + "\n";
    WriteFile("six.cfg", text);

    bool result = false;
    std::string output = Exec(self, false, &result);
    EXPECT_TRUE(result);
    EXPECT_EQ(7, m_game->m_ui);
    size_t runs = 0;
    for (size_t at = output.find("Executed "); at != std::string::npos; at = output.find("Executed ", at + 1)) ++runs;
    EXPECT_EQ((size_t)YCommandInterpreter::MaxFilesPerRun, runs);
    EXPECT_NE(std::string::npos, output.find(self + " not run: more than 64 command files in one run"));

    // The bound is per outermost file: the next run starts afresh.
    std::string plain = WriteFile("after.cfg", "set sys_ui 3\n");
    EXPECT_EQ("Executed " + plain + " [1 commands]", Exec(plain, false));
    EXPECT_EQ(3, m_game->m_ui);
}
