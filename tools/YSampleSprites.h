// The sample data's sprite pictures, white and coloured shapes on magenta:
//   "sprites\cursor.bmp"          the software cursor, a black-edged white
//                                 arrow whose tip is at (0, 0)
//   "sprites\busy0.bmp" .. busy3  a ring with a red dot at the top, right,
//                                 bottom and left: the frames of "Busy"
#pragma once

#include <string>

#include "platform/win32.h"

class YSampleSprites {
public:
    enum { kCursorSize = 32, kBusySize = 32, kBusyFrames = 4 };

    static bool WriteAll(const std::string& folder, std::string& error);
    // Colours of the pictures, as Windows colour values.
    static COLORREF CursorPixel(int x, int y);
    static COLORREF BusyPixel(int frame, int x, int y);
};
