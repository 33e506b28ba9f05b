// The sample screen scripts: every ".scr" file of the source folder written
// into the data folder with CR LF line ends, as the game's files have them,
// and the command files (".cfg") that open them, copied as they are.
#pragma once

#include <string>

class YSampleScreens {
public:
    static bool WriteAll(const std::string& source, const std::string& folder, std::string& error);
    // The text with every line ended by CR LF (existing CR LF pairs kept).
    static std::string WithCrLf(const std::string& text);
};
