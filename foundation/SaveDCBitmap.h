// Writes a rectangle of a device context to an open file as a BMP.
#pragma once

#include "platform/mfc.h"
#include "platform/win32.h"

void SaveDCBitmap(CFile* file, HDC dc, RECT rect);
