// Handlers of the console commands on help, command files, inputs, lists
// and settings.
#pragma once

#include "foundation/YInterpreter.h"

// A handler's usage line: the format with the row name in it.
YString Usage(const char* format, const char* name);
// Mode 1: the description, then the usage line.
void Describe(YString* output, const char* description, const YString& usage);

void ConsoleExec(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleHelp(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleSet(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleBind(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleAlias(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleUnbound(YInterpreter* interpreter, const char* name, int mode, YString* output);
void ConsoleList(YInterpreter* interpreter, const char* name, int mode, YString* output);
