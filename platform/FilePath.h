// Every path the game builds reaches the file system through here.
#pragma once

#include <string>

namespace platform {
// Turns a game path (backslashes, any letter case, a leading single "\" for
// the root of the folder the program started in) into a host path.
std::string ResolvePath(const char* path);
}  // namespace platform
