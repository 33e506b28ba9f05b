// The game's command interpreter: control verbs, aliases, console commands,
// cheats, and command files.
#pragma once

#include "foundation/YInterpreter.h"

class YCommandInterpreter : public YInterpreter {
public:
    // Command files running inside each other stop at this depth.
    enum { MaxFileDepth = 8 };
    // One outermost command file runs at most this many files in all: six
    // lines running their own file would otherwise run 6^8 files.
    enum { MaxFilesPerRun = 64 };
    // Command files are read in pieces of at most 255 characters.
    enum { FileLineBuffer = 256 };

    YCommandInterpreter();

    bool ExecuteCommand(const YString& line, YString* output) override;
    // Runs a command line whose last command gets text as one more argument,
    // taken whole whatever it holds (blanks, ";", quotes).
    bool ExecuteCommandWithText(const YString& line, const YString& text, YString* output);
    // Runs a command file line by line; false only when it cannot be run.
    virtual bool ExecFile(const YString& fileName, YString* output, bool show);

    // The console command table.
    static const YCommandRow Commands[];

    bool m_escapeRequest;

private:
    bool Execute(const YString& line, const YString* text, YString* output);
    bool RunPiece(const YString& line, const YString& piece, const YString* text, YString* output);
    bool RunVerb(const char* word);

    int m_fileDepth;
    int m_filesThisRun;
};
