// Every path the game builds reaches the file system through here.
#pragma once

#include <string>

namespace platform {
// Turns a game path into a host path:
// - backslashes become slashes and doubled separators collapse;
// - each component is matched without regard to case against what is on
//   disk (an exact-case entry wins); a component that does not exist keeps
//   its spelling, so that new files can be created;
// - a path starting with a single "\" (root of the current drive) or with a
//   drive prefix such as "C:\" is taken from the folder the program started in;
// - absolute host paths ("/tmp/x") stay absolute, relative ones stay relative;
// - "." and ".." are folded away where they can be.
// A trailing separator is kept.
std::string ResolvePath(const char* path);
inline std::string ResolvePath(const std::string& path) { return ResolvePath(path.c_str()); }

// The folder the program started in (recorded during static initialisation).
const std::string& GetStartFolder();
// Tests point the drive root somewhere else.
void SetStartFolder(const std::string& folder);

// Finds the entry of folder dir (a host path, "" for the current folder)
// whose name equals name without regard to case, an exact-case entry first.
// Returns false when there is none.
bool FindEntryNoCase(const std::string& dir, const std::string& name, std::string* onDisk);
}  // namespace platform
