// Handlers of the console commands on command files, help and settings.
#pragma once

#include "foundation/YInterpreter.h"

void ConsoleExec(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleHelp(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleSet(YInterpreter* interpreter, const char* name, int mode, YString* output);
