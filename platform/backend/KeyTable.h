// The one table of keys: the backend's scancodes with their Windows
// virtual keys and DirectInput scan codes.
#pragma once

namespace platform {
// Codes of a key by the backend's (SDL) scancode number; false for a key not in the table.
bool KeyCodesFromScancode(int sdlScancode, int& virtualKey, int& scanCode);
// Codes of a key by its name ("A", "Space", "Left Shift", "Up"; any case).
bool KeyCodesFromName(const char* name, int& virtualKey, int& scanCode);
}  // namespace platform
