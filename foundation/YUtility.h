// Small shared helpers: the debug log, hexadecimal blocks, calendar
// functions for the game date and two system queries.
#pragma once

#include "foundation/YString.h"
#include "platform/mfc.h"

// Echoes the text to the debugger and appends it with CR LF to the named
// file; a new-file flag of 1 (or a name with a folder part) starts the file anew.
int DebugLog(const char* text, uint8_t newFile = 0, const char* fileName = "Debug.log");

void HexEncode(const uint8_t* bytes, int count, YString& out);
void HexDecode(uint8_t* bytes, int count, const YString& text);

CString GetLastErrorText();
int GetOsVersionCode();
int CountChar(const char* text, char ch);

// Game dates: February always has 28 days.
CTime ParseDate(const char* text);
int DayOfYear(const CTime& date);
CTime DateFromDayOfYear(int day);
// A day window first..last of days 1..365 wraps over the new year when
// first > last; equal days or a day outside 1..365 admit every day.
bool DayInWindow(int day, int first, int last);
// Minutes after local midnight.
void SunriseSunset(const CTime& date, int& sunrise, int& sunset);
