// Handlers of the console commands on screens, the game session and the
// engine.
#pragma once

#include "foundation/YInterpreter.h"

// LAYOUT reads a script file into a buffer of the first size, doubled while
// it is too small, up to the limit; a larger script is refused.
enum { LayoutScriptBuffer = 4096, LayoutScriptLimit = 16 * 1024 * 1024 };

void ConsoleLayout(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleSession(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleSound(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleObject(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleParser(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleGraphics(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleExit(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleQuit(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsolePause(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleEscape(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleActor(YInterpreter* interpreter, const char* name, int mode, YString* output);
