// libFuzzer target for command files: the input up to a "--8<--" line is
// "config.cfg", read as the game reads it at start-up, the rest "other.cfg",
// which "config.cfg" may exec and which is then run with its output shown.
// The settings are written back as the game does when it closes.
#include "tools/fuzz/FuzzScratch.h"

#include "engine/YCommandInterpreter.h"
#include "engine/YGameObjects.h"
#include "foundation/YConfigData.h"
#include "foundation/YObjectParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterScratch("command_file");
    YObjectParser::SetMessageBoxHandler(fuzz::Quiet);
    std::string config, other;
    fuzz::Split(data, size, config, other);
    fuzz::WriteFile("config.cfg", config);
    fuzz::WriteFile("other.cfg", other);

    YGameObjects* engine = YGameObjects::Instance();
    engine->LoadConfig();
    YString output;
    engine->m_interpreter->ExecFile("other.cfg", &output, true);
    engine->SaveConfig(engine->m_configData, "saved.cfg");
    return 0;
}
