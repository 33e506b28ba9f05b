#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/YInterpreter.h"

namespace {

// An interpreter with a small table whose handlers record their arguments.
class TableInterpreter : public YInterpreter {
public:
    TableInterpreter() { m_commands = Rows; }
    static void Collect(YInterpreter* in, const char* name, int mode, YString* output)
    {
        YString argument;
        *output = YString(name) + (mode == 0 ? ":" : "?");
        for (in->ReadArgument(argument, " "); !argument.IsEmpty(); in->ReadArgument(argument, " "))
            *output += "[" + argument + "]";
    }
    static const YCommandRow Rows[];
};
const YCommandRow TableInterpreter::Rows[] = {{"ECHO", Collect}, {"SAY", Collect}, {nullptr, nullptr}};

// Loads a command and reads every argument with the given delimiters.
std::vector<std::string> Arguments(const char* line, const char* delimiters)
{
    TableInterpreter in;
    strcpy(in.GetCommandBuffer(), line);
    in.FirstToken(" ");
    std::vector<std::string> out;
    YString argument;
    for (int guard = 0; guard < 10; ++guard) {
        in.ReadArgument(argument, delimiters);
        if (argument.IsEmpty()) break;
        out.push_back(std::string(argument));
    }
    return out;
}

}  // namespace

TEST(Interpreter, ArgumentsWithBlankDelimiters)
{
    struct Case {
        const char* line;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"cmd", {}},
        {"cmd one two", {"one", "two"}},
        {"cmd \"two words\" next", {"two words", "next"}},
        {"cmd \"single\" next", {"single", "next"}},
        {"cmd \"a  b\"", {"a  b"}},
        {"cmd    spaced    out   ", {"spaced", "out"}},
        {"cmd \"unclosed quote", {"unclosed quote"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.expected, Arguments(c.line, " "));
    }
}

TEST(Interpreter, ArgumentsWithTheQuoteAsDelimiter)
{
    struct Case {
        const char* line;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"set \"two words\"", {"two words"}},
        {"set two words", {"two words"}},
        {"set \"a;b\" ", {"a;b"}},
        {"set \"first\" \"second\"", {"first", "second"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.expected, Arguments(c.line, "\""));
    }
}

TEST(Interpreter, AnEmptyQuotedArgumentIsTheEmptyText)
{
    // The text between the quotes, never a lone quote; reading goes on after it.
    struct Case {
        const char* line;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"bind k \"\"", {"k"}},
        {"bind \"\" k", {}},
        {"bind k \"\" \"x y\"", {"k"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.expected, Arguments(c.line, " "));
    }
}

TEST(Interpreter, ReadingPastTheEndKeepsGivingEmpty)
{
    TableInterpreter in;
    strcpy(in.GetCommandBuffer(), "cmd last");
    in.FirstToken(" ");
    YString argument;
    in.ReadArgument(argument, " ");
    EXPECT_STREQ("last", argument);
    for (int i = 0; i < 3; ++i) {
        in.ReadArgument(argument, " ");
        EXPECT_STREQ("", argument);
    }
    CString text = "x";
    in.ReadArgument(text, " ");
    EXPECT_STREQ("", text);
}

TEST(Interpreter, TableRowsAreFoundWithoutRegardToCase)
{
    struct Case {
        const char* line;
        bool taken;
        const char* output;
    };
    const Case cases[] = {
        {"echo a \"b c\"", true, "ECHO:[a][b c]"},
        {"Say", true, "SAY:"},
        {"   ", false, "untouched"},
        {"", false, "untouched"},
        {"shout x", false, "untouched"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        TableInterpreter in;
        YString output = "untouched";
        EXPECT_EQ(c.taken, in.ExecuteCommand(c.line, &output));
        EXPECT_STREQ(c.output, output);
    }
}

TEST(Interpreter, BaseTableIsEmpty)
{
    class Bare : public YInterpreter {};
    Bare in;
    ASSERT_NE(nullptr, in.GetCommandTable());
    EXPECT_EQ(nullptr, in.GetCommandTable()->name);
    YString output;
    EXPECT_FALSE(in.ExecuteCommand("HELP", &output));
    EXPECT_FALSE(*in.GetTraceSwitch());
    EXPECT_TRUE(in.GetLogFileName()->IsEmpty());
}

TEST(Interpreter, LogFileIsCreatedThenAppended)
{
    auto dir = std::filesystem::temp_directory_path() / ("rcv_interp_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string path = (dir / "commands.log").string();
    std::filesystem::remove(path);

    TableInterpreter in;
    YString output;
    in.ExecuteCommand("echo before", &output);
    EXPECT_FALSE(std::filesystem::exists(path));
    *in.GetLogFileName() = path.c_str();
    in.ExecuteCommand("echo one", &output);
    in.ExecuteCommand("nothing here", &output);
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ("echo one\r\nnothing here\r\n", text.str());

    *in.GetLogFileName() = (dir / "no_such_dir" / "x.log").string().c_str();
    EXPECT_TRUE(in.ExecuteCommand("echo still", &output));
}
