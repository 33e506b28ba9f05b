#include "platform/FilePath.h"

namespace platform {
std::string ResolvePath(const char* path)
{
    std::string out = path ? path : "";
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}
}  // namespace platform
