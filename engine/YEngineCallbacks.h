// The plain functions through which the renderer, the input manager, the
// session and the console's modal run call back into the engine.
#pragma once

#include "platform/win32.h"

DWORD_PTR ObjectTest(void* object, DWORD flags);
void* ModelEnumerator(int* cursor);
void LoadingKeepAlive();
float RangeTest(LONG a, LONG b, LONG x);
void CommandCallback(const char* line);
void AxisCallback(int a, int b);
void CollisionCallback(DWORD_PTR a, DWORD_PTR b, DWORD_PTR c);
int ModalStep();
// Forgets the statics of the keep-alive and the axis callback (tests).
void ResetEngineCallbacks();
