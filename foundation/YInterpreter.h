// Base of the text command interpreters: the command being run, a table of
// named handlers, the argument reader, a trace switch and a log file.
#pragma once

#include "foundation/YString.h"
#include "platform/mfc.h"

class YInterpreter;

// mode 0 runs the command; mode 1 writes its description and usage.
typedef void (*YCommandHandler)(YInterpreter* interpreter, const char* name, int mode, YString* output);

struct YCommandRow {
    const char* name;  // upper case; null ends the table
    YCommandHandler handler;
};

class YInterpreter {
public:
    enum { CommandBufferSize = 1024 };

    YInterpreter();
    virtual ~YInterpreter();
    YInterpreter(const YInterpreter&) = delete;
    YInterpreter& operator=(const YInterpreter&) = delete;

    // Runs one command line; true when a handler took it.
    virtual bool ExecuteCommand(const YString& line, YString* output);
    // Next argument of the current command; quoted arguments lose their quotes.
    virtual void ReadArgument(CString& out, const char* delimiters);
    virtual void ReadArgument(YString& out, const char* delimiters);
    virtual const YCommandRow* GetCommandTable();
    virtual char* GetCommandBuffer();
    virtual bool* GetTraceSwitch();
    virtual YString* GetLogFileName();
    virtual void AppendToLog(const char* text);

    // Word splitting over the command buffer, strtok-style: the position is
    // kept by the interpreter, so handlers continue where it stopped.
    char* FirstToken(const char* delimiters);
    char* NextToken(const char* delimiters);
    // What follows the last token taken (empty when nothing is left); once
    // the command's own words are used up, the text argument.
    const char* GetRemainder() const;

protected:
    // Copies a piece into the command buffer, and a text after it that the
    // tokens give whole as one last argument, whatever it holds; false when
    // they do not fit.
    bool LoadCommand(const char* text, const char* argument = nullptr);

    char m_command[CommandBufferSize];
    const YCommandRow* m_commands;
    YString m_logFile;
    bool m_trace;

private:
    char* m_tokenPos;
    // The text argument in the buffer behind the command's end; null without one.
    char* m_argument;
    bool m_argumentTaken;
    // The last token was the text argument: it keeps its quotes.
    bool m_tookArgument;
};
