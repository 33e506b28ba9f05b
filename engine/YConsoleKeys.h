// Test hook: RCV_CONSOLE_KEYS names keys and typed words, comma separated
// ("F2,help,RETURN,F2"), posted to the main window once the engine has started.
#pragma once

#include "platform/win32.h"

void PostConsoleKeys(HWND window);
