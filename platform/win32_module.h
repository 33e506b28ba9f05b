// Libraries loaded at run time. A library name without a folder is looked
// for next to the program, then in the current folder; a missing library
// is an ordinary result (null), not an error shown to anyone.
#pragma once

#include "platform/win32.h"

typedef intptr_t(WINAPI* FARPROC)();

HMODULE LoadLibraryA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);
