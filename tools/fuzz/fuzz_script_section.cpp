// libFuzzer target for the layout script readers: the input's first line
// names the section, the rest is the file, read whole and by section into
// buffers of a few sizes.
#include "tools/fuzz/FuzzScratch.h"

#include <vector>

#include "gui/ReadScriptFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterScratch("script_section");
    std::string all(reinterpret_cast<const char*>(data), size);
    size_t end = all.find('\n');
    std::string section = all.substr(0, end);
    std::string text = end == std::string::npos ? std::string() : all.substr(end + 1);
    fuzz::WriteFile("layout.scr", text);

    const int sizes[] = {0, 1, 16, static_cast<int>(text.size()), static_cast<int>(text.size()) + 1, 4096};
    for (int bytes : sizes) {
        std::vector<char> buffer(static_cast<size_t>(bytes), 'x');  // exactly, so overruns show
        char* into = bytes ? buffer.data() : nullptr;
        ReadScriptFile("layout.scr", into, bytes, false);
        ReadScriptSection("layout.scr", section.c_str(), into, bytes, false);
        ReadScriptSection("layout", section.c_str(), into, bytes, true);  // found as "layout.*"
    }
    return 0;
}
