// The real program, run headless on a copy of the sample data, with a
// scripted keyboard that opens the console and types into it.
#include "app/ProgramRun.h"

#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {
typedef ProgramResult Result;

class ConsoleProgram : public ProgramTest {
protected:
    // Keys are named ("F2", "Return") or typed text, comma separated; all of
    // them are pressed in order on the third pass of the main loop.
    static std::string Script(const std::string& keys)
    {
        std::string script;
        std::stringstream items(keys);
        std::string item;
        while (std::getline(items, item, ',')) {
            if (item == "F2" || item == "Return")
                script += "3 key down " + item + "\n3 key up " + item + "\n";
            else
                script += "3 text " + item + "\n";
        }
        return script;
    }

    Result Run(const std::string& keys, int frames)
    {
        Write("keys.txt", Script(keys));
        return RunWith("RCV_INPUT_SCRIPT=keys.txt", frames);
    }
};
}  // namespace

TEST_F(ConsoleProgram, TypedLinesRunInTheConsoleAndTheProgramEnds)
{
    struct Case {
        const char* keys;
        const char* fog;  // the setting the run leaves in config.cfg
    };
    const Case cases[] = {
        {"F2,help,Return,F2", "set gfx_fog \"0\""},
        {"F2,help,Return,set gfx_fog 1,Return,F2", "set gfx_fog \"1\""},
        // The console is closed before the line is typed: nothing runs.
        {"F2,F2,set gfx_fog 1,Return", "set gfx_fog \"0\""},
        // An F2 while open closes it; the next one opens it again.
        {"F2,F2,F2,set gfx_fog 1,Return,F2", "set gfx_fog \"1\""},
    };
    for (const Case& c : cases) {
        fs::remove(m_dir / "config.cfg");
        Write("config.cfg", "set gfx_fog \"0\"\n");
        Result result = Run(c.keys, 12);
        EXPECT_EQ(result.exitCode, 0) << c.keys << result.err;
        EXPECT_EQ(result.err, "") << c.keys;
        const std::string config = Read("config.cfg");
        EXPECT_NE(config.find(c.fog), std::string::npos) << c.keys << "\n" << config;
        EXPECT_NE(config.find("-- System settings"), std::string::npos) << c.keys;
    }
}
