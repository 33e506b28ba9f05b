// Readers of layout script files into a caller's buffer.
//
// A file holds named sections: a line with the name, "{" and optionally the
// first content (the name may also stand alone on the line before the "{"),
// content lines, and a line whose last non-blank character is "}".  The
// readers join the lines of a section, or of a whole file, into one text
// without line breaks, cut "//" comments when asked, and splice in the text
// of "#include name" or "#include name:section", the name taken relative to
// the including file's folder.
#pragma once

#include "platform/mfc.h"

enum ScriptReadResult {
    ScriptRead = 0,            // also for a file that does not exist (empty text)
    ScriptSectionMissing = 1,  // the section was not found or not closed, or a file error
    ScriptIncludeMissing = 2,  // an included section was not found
    ScriptBufferTooSmall = 3,  // the text did not fit: the buffer holds the lines that did
    ScriptIncludeFailed = 4,   // an included file could not be read, or includes nest too deep
};

// Includes nested deeper than this are refused.
enum { ScriptMaxIncludeDepth = 8 };

// Opens the first file matching the name (a file-search pattern), else the
// first matching name + ".*"; false when none.  path gets its full path.
bool FindScriptFile(const char* name, CFile& file, CString& path);
// The next line without its line end (LF or CR LF), read whole however long;
// false at the end of the file.
bool ReadScriptLine(CFile& file, CString& line);
int ReadScriptSection(const char* fileName, const char* section, char* buffer, int bufferSize, bool stripComments);
int ReadScriptFile(const char* fileName, char* buffer, int bufferSize, bool stripComments);
// The text of the "#include" in line, for a file whose path is including.
int ReadIncludedFile(const char* including, const char* line, char* buffer, int bufferSize, bool stripComments);
