// The game's command interpreter: control verbs, aliases, console commands,
// cheats, and command files.
#pragma once

#include "foundation/YInterpreter.h"

class YCommandInterpreter : public YInterpreter {
public:
    // Command files running inside each other stop at this depth.
    enum { MaxFileDepth = 8 };
    // Command files are read in pieces of at most 255 characters.
    enum { FileLineBuffer = 256 };

    YCommandInterpreter();

    bool ExecuteCommand(const YString& line, YString* output) override;
    // Runs a command file line by line; false only when it cannot be run.
    virtual bool ExecFile(const YString& fileName, YString* output, bool show);

    // The console command table.
    static const YCommandRow Commands[];

    bool m_escapeRequest;

private:
    bool RunPiece(const YString& line, const YString& piece, YString* output);
    bool RunVerb(const char* word);

    int m_fileDepth;
};
