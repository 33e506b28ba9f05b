// The real program, run headless, with bindings in "config.cfg" and a
// scripted keyboard: a key press runs what is bound to it, and what that
// changed is written back to "config.cfg" at exit.
#include "app/ProgramRun.h"

#include <string>

namespace {
class BoundKeysProgram : public ProgramTest {
protected:
    // The line of the file that starts with `start`, without its line end.
    std::string Line(const std::string& config, const std::string& start) const
    {
        size_t at = config.find("\n" + start);
        if (at == std::string::npos) return "";
        size_t end = config.find_first_of("\r\n", at + 1);
        return config.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
    }
};
}  // namespace

TEST_F(BoundKeysProgram, AKeyPressRunsItsBindingAndTheChangeIsWrittenBack)
{
    const std::string bindings = "alias both \"set gfx_treepop 66;set gfx_fog 1\" \"Both\"\n"
                                 "bind k \"set gfx_treepop 77\"\n"
                                 "bind j \"set gfx_fog 1;wait 100;set gfx_treepop 55\"\n"
                                 "bind l both\n"
                                 "set gfx_treepop \"40\"\nset gfx_fog \"0\"\n";
    struct Case {
        const char* keys;  // the input script
        const char* treepop;
        const char* fog;
    };
    const Case cases[] = {
        {"", "set gfx_treepop \"40\" ", "set gfx_fog \"0\" "},
        {"3 key down K\n6 key up K\n", "set gfx_treepop \"77\" ", "set gfx_fog \"0\" "},
        // A key bound to nothing changes nothing.
        {"3 key down H\n6 key up H\n", "set gfx_treepop \"40\" ", "set gfx_fog \"0\" "},
        // The parts of a nameless binding run in order, the last after the wait.
        {"3 key down J\n4 key up J\n", "set gfx_treepop \"55\" ", "set gfx_fog \"1\" "},
        {"3 key down L\n4 key up L\n", "set gfx_treepop \"66\" ", "set gfx_fog \"1\" "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        Write("config.cfg", bindings);
        Write("keys.txt", c.keys);
        ProgramResult result = RunWith("RCV_INPUT_SCRIPT=keys.txt", 30);
        EXPECT_EQ(0, result.exitCode) << result.err;
        EXPECT_EQ("", result.err);
        const std::string config = Read("config.cfg");
        EXPECT_EQ(c.treepop, Line(config, "set gfx_treepop ")) << config;
        EXPECT_EQ(c.fog, Line(config, "set gfx_fog ")) << config;
        EXPECT_EQ("bind k \"set gfx_treepop 77\" \"\"", Line(config, "bind k ")) << config;
        EXPECT_EQ("alias both \"set gfx_treepop 66;set gfx_fog 1\" \"Both\"", Line(config, "alias both ")) << config;
        EXPECT_EQ("bind l \"both\" \"Both\"", Line(config, "bind l ")) << config;
    }
}

TEST_F(BoundKeysProgram, AKeyReleasedBeforeTheWaitEndsStillRunsTheRest)
{
    // The queue keeps the parts after a wait; holding the key is not needed.
    Write("config.cfg", "bind j \"set gfx_fog 1;wait 200;set gfx_treepop 55\"\nset gfx_treepop \"40\"\n");
    Write("keys.txt", "3 key down J\n4 key up J\n");
    ProgramResult shortRun = RunWith("RCV_INPUT_SCRIPT=keys.txt", 8);
    EXPECT_EQ(0, shortRun.exitCode) << shortRun.err;
    EXPECT_EQ("set gfx_treepop \"40\" ", Line(Read("config.cfg"), "set gfx_treepop "));

    Write("config.cfg", "bind j \"set gfx_fog 1;wait 200;set gfx_treepop 55\"\nset gfx_treepop \"40\"\n");
    ProgramResult longRun = RunWith("RCV_INPUT_SCRIPT=keys.txt", 20);
    EXPECT_EQ(0, longRun.exitCode) << longRun.err;
    EXPECT_EQ("set gfx_treepop \"55\" ", Line(Read("config.cfg"), "set gfx_treepop "));
}
