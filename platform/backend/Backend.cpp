#include "platform/backend/Backend.h"

#include "platform/backend/Environment.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/backend/SdlBackend.h"

namespace platform {
namespace {
std::unique_ptr<Backend>& Current()
{
    static std::unique_ptr<Backend> backend;
    return backend;
}
}  // namespace

Backend& Backend::Get()
{
    std::unique_ptr<Backend>& backend = Current();
    if (!backend) {
        if (Environment::BackendName() == "headless")
            backend.reset(new HeadlessBackend());
        else
            backend.reset(new SdlBackend());
    }
    return *backend;
}

void Backend::Shutdown()
{
    Current().reset();
}

std::vector<DisplayMode> Backend::StandardModes()
{
    static const int sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}};
    static const int depths[] = {8, 16, 24, 32};
    bool only24 = Environment::Forced("only24");
    std::vector<DisplayMode> modes;
    for (const auto& size : sizes)
        for (int depth : depths)
            if (!only24 || depth == 24) modes.push_back(DisplayMode{size[0], size[1], depth});
    return modes;
}
}  // namespace platform
