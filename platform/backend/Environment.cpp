#include "platform/backend/Environment.h"

#include <cstdlib>
#include <cstring>

namespace platform {
namespace {
std::string Read(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}
}  // namespace

std::string Environment::BackendName()
{
    std::string name = Read("RCV_BACKEND");
    return name == "headless" ? name : std::string("sdl");
}

std::string Environment::FrameDumpFolder()
{
    return Read("RCV_FRAME_DUMP");
}

std::string Environment::AudioDumpFile()
{
    return Read("RCV_AUDIO_DUMP");
}

std::string Environment::InputScript()
{
    return Read("RCV_INPUT_SCRIPT");
}

bool Environment::Seed(unsigned int& seed)
{
    const std::string text = Read("RCV_SEED");
    if (text.empty()) return false;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (!end || *end != '\0') return false;
    seed = static_cast<unsigned int>(value);
    return true;
}

int Environment::FrameDumpEvery()
{
    int every = std::atoi(Read("RCV_FRAME_DUMP_EVERY").c_str());
    return every > 0 ? every : 1;
}

int Environment::FixedStepMs()
{
    int step = std::atoi(Read("RCV_FIXED_STEP_MS").c_str());
    return step > 0 ? step : 0;
}

long Environment::MaxFrames()
{
    long frames = std::atol(Read("RCV_MAX_FRAMES").c_str());
    return frames > 0 ? frames : 0;
}

bool Environment::Forced(const char* name)
{
    std::string list = Read("RCV_FORCE");
    size_t length = std::strlen(name);
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        if (end - start == length && list.compare(start, length, name) == 0) return true;
        start = end + 1;
    }
    return false;
}
}  // namespace platform
