// libFuzzer target for the headless input script: the input is the script
// text; its events are then taken out over a few passes and clock times.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend/InputScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    platform::InputScript script;
    std::string error;
    script.Parse(std::string(reinterpret_cast<const char*>(data), size), &error);
    std::vector<platform::BackendEvent> events;
    const uint32_t times[] = {0, 20, 250, 100000, 0xFFFFFFFFu};
    unsigned long pass = 0;
    for (uint32_t now : times) script.TakeDue(pass += 7, now, events);
    script.TakeDue(~0ul, 0xFFFFFFFFu, events);
    return 0;
}
