#include "engine/EngineFixture.h"

#include <algorithm>

#include "ScratchFolder.h"

namespace {
const std::string AvailableInfo = "Available Info: INPUTS CMDS MAPS SETTINGS FILES\n";

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

std::vector<std::string> SortedWords(const std::string& text)
{
    std::vector<std::string> words = Words(text);
    std::sort(words.begin(), words.end());
    return words;
}

class ConsoleListTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_savedDataDir = m_engine->m_dataDir;
    }
    void TearDown() override
    {
        m_engine->m_dataDir = m_savedDataDir;
        EngineTest::TearDown();
    }

    YString m_savedDataDir;
};
}  // namespace

TEST_F(ConsoleListTest, WithoutAKnownWordNamesTheAvailableLists)
{
    struct Case {
        const char* line;
        std::string output;
    };
    const Case cases[] = {
        {"list", AvailableInfo + "Usage: LIST info [\"file pattern\"]"},
        {"LIST   ", AvailableInfo + "Usage: LIST info [\"file pattern\"]"},
        {"list verbs", "'verbs' is not a recognized list of information.\n" + AvailableInfo},
        {"list \"inputs\"", "'\"inputs\"' is not a recognized list of information.\n" + AvailableInfo},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        bool taken = false;
        EXPECT_EQ(c.output, Run(c.line, &taken));
        EXPECT_TRUE(taken);
    }
}

TEST_F(ConsoleListTest, InputsAreKeysThenMouseThenJoystickButtons)
{
    std::string output = Run("list Inputs");
    std::vector<std::string> words = Words(output);
    ASSERT_EQ(120u + 4u + 32u, words.size());
    EXPECT_EQ(' ', output.back());
    EXPECT_EQ("0", words[0]);
    EXPECT_EQ("a", words[10]);
    EXPECT_EQ("n", words[22]);
    EXPECT_EQ("m", words[23]);
    EXPECT_EQ("k+", words[36]);
    EXPECT_EQ("yen", words[119]);
    EXPECT_EQ("mouse1", words[120]);
    EXPECT_EQ("mousew", words[123]);
    EXPECT_EQ("joy1", words[124]);
    EXPECT_EQ("joy32", words[155]);
}

TEST_F(ConsoleListTest, CommandsAreTheVerbsLowerCasedWithBlankSlotsKept)
{
    AddVerb(1, "Forward", "0");
    AddVerb(3, "TLEFT", "0");
    int size = m_engine->m_verbs->GetSize();
    ASSERT_GE(size, 4);
    EXPECT_EQ(" forward  tleft" + std::string(size - 4, ' '), Run("list cmds"));
}

TEST_F(ConsoleListTest, SettingsAreTheChainThenTheSessionSettingsOfUserWordZero)
{
    YDataCollection* settings = m_engine->m_settings;
    ASSERT_NE(nullptr, settings);
    settings->Set("zz_listed", "1", 0);
    settings->Set("zz_hidden", "1", 2);

    std::string output = Run("list settings");
    std::vector<std::string> words = Words(output);
    for (const char* name : {"cfg_sysprofile", "gfx_fog", "snd_music", "inp_aiming", "sys_map", "zz_listed"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(words.end(), std::find(words.begin(), words.end(), name));
    }
    EXPECT_EQ(words.end(), std::find(words.begin(), words.end(), "zz_hidden"));
    EXPECT_EQ(0u, output.find("cfg_sysprofile "));
    EXPECT_LT(output.find("gfx_fog"), output.find("inp_aiming"));
    EXPECT_LT(output.find("inp_aiming"), output.find("zz_listed"));

    settings->RemoveByName("zz_listed");
    settings->RemoveByName("zz_hidden");
}

TEST_F(ConsoleListTest, MapsAreTheZoneFilesOfTheDataFolder)
{
    ScratchFolder data;
    m_engine->m_dataDir = data.Path().c_str();
    const std::string pattern = data.Path() + "\\maps\\*.zon";

    EXPECT_EQ("No maps found at " + pattern + ".", Run("list maps"));
    data.MakeFolder("maps");
    data.Write("maps/readme.txt", "not a map");
    EXPECT_EQ("No maps found at " + pattern + ".", Run("list maps"));

    data.Write("maps/Green Hills.ZON", "");
    data.Write("maps/canyon.zon", "");
    std::string output = Run("LIST MAPS");
    EXPECT_EQ(' ', output.back());
    EXPECT_EQ(std::vector<std::string>({"canyon", "green", "hills"}), SortedWords(output));
    EXPECT_NE(std::string::npos, output.find("green hills "));
}

TEST_F(ConsoleListTest, FilesMatchAPatternInTheCurrentFolder)
{
    ScratchFolder folder(ScratchFolder::Enter);
    folder.Write("alpha.cfg", "");
    folder.Write("beta.CFG", "");
    folder.Write("gamma.txt", "");
    folder.MakeFolder("sub");
    folder.Write("sub/delta.cfg", "");

    struct Case {
        const char* line;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"list files \"*.cfg\"", {"alpha.cfg", "beta.CFG"}},
        {"list files *.txt", {"gamma.txt"}},
        {"list files \"sub\\*.cfg\"", {"delta.cfg"}},
        {"list files \"*\"", {"alpha.cfg", "beta.CFG", "gamma.txt", "sub"}},
        {"list files", {"alpha.cfg", "beta.CFG", "gamma.txt", "sub"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.names, SortedWords(Run(c.line)));
    }
    EXPECT_EQ("No files matching '*.zon' found.", Run("list files \"*.zon\""));
    EXPECT_EQ("No files matching 'nothing\\*' found.", Run("list files \"nothing\\*\""));
}

TEST_F(ConsoleListTest, HelpDescribesEachCommandUnderTheNameItWasAskedBy)
{
    struct Case {
        const char* line;
        std::string output;
    };
    const Case cases[] = {
        {"help ?",
         "Displays information about a given command if available.\nAlso lists available commands if no command "
         "name is given\nUsage: ? [command]\nCommands: "},
        {"help list",
         "Displays a list of available information for certain things.\nYou may also list filenames by using the "
         "FILES option with your file pattern following in quotes.\n" +
             AvailableInfo + "Usage: LIST info [\"file pattern\"]"},
        {"? unbound", "Lists all commands and aliases which are not bound to any inputs."},
        {"help bind",
         "You may change what keys/mouse/joystick buttons are bound to which commands by using BIND. Or you may "
         "create new sets of commands to execute whenever the input is pressed. If a command is not specified, the "
         "currently bound input, if any, will be displayed. The 'wait [miliseconds]' command is special and "
         "available only within these types of setups.\nExample: BIND mouse3 "
         "\"+run;+forward;wait 200;jump;-run;-forward\" \"Run And Jump\"\nUsage: BIND input "
         "[\"command1;command2;...\"] [\"display name\"]"},
        {"help Alias",
         "You may create new sets of commands by using ALIAS. These commands may be bound to inputs, or included "
         "within other sets of commands. If a command name is not specified, the existing set, if any, will be "
         "displayed. The 'wait [miliseconds]' command is special and available only within these types of "
         "setups.\nExample: ALIAS runjump \"+run;+forward;wait 200;jump;-run;-forward\" \"Run And Jump\"\n"
         "Usage: ALIAS commandname [\"command1;command2;...\"] [\"display name\"]"},
        {"help +set", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.output, Run(c.line));
    }
}

TEST_F(ConsoleListTest, ExecKeepsANameWithADotAnywhereAndTakesShowInAnyCase)
{
    std::filesystem::create_directories(m_dir / "conf.d");
    std::string path = WriteFile("conf.d/startup", "set sys_map from_folder\n");
    WriteFile("conf.d/startup.cfg", "set sys_map wrong_file\n");
    EXPECT_EQ("Executed " + path + " [1 commands]", Run("exec " + path));
    EXPECT_STREQ("from_folder", m_game->m_map);

    std::string loud = WriteFile("loud.cfg", "set sys_map loud\n");
    EXPECT_EQ("\n>set sys_map loud\n\nExecuted " + loud + " [1 commands]", Run("exec " + loud + " SHOW"));
    EXPECT_STREQ("loud", m_game->m_map);
}
