#include "engine/YEngineCommands.h"

// TEMPORARY until the engine commands land: they do nothing.
void ConsoleLayout(YInterpreter*, const char*, int, YString*) {}
void ConsoleSession(YInterpreter*, const char*, int, YString*) {}
void ConsoleSound(YInterpreter*, const char*, int, YString*) {}
void ConsoleObject(YInterpreter*, const char*, int, YString*) {}
void ConsoleParser(YInterpreter*, const char*, int, YString*) {}
void ConsoleGraphics(YInterpreter*, const char*, int, YString*) {}
void ConsoleExit(YInterpreter*, const char*, int, YString*) {}
void ConsoleQuit(YInterpreter*, const char*, int, YString*) {}
void ConsolePause(YInterpreter*, const char*, int, YString*) {}
void ConsoleEscape(YInterpreter*, const char*, int, YString*) {}
void ConsoleActor(YInterpreter*, const char*, int, YString*) {}
