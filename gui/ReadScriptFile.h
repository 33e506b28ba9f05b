// Readers of layout script files into a caller's buffer.
//
// A section is a named part of a script file: a line holding only "[name]"
// (blanks around it allowed, the name matched without regard to case) opens
// it, and it runs up to the next line whose first non-blank character is "["
// or to the end of the file. The header line is not part of the section.
#pragma once

enum ScriptReadResult {
    ScriptNotFound = 0,
    ScriptRead = 1,
    ScriptBufferTooSmall = 3,
};

// Flag: a missing file is replaced by the first file named like it with any
// extension ("name.*").
enum { ScriptAnyExtension = 1 };

// Reads the whole file as text, terminated, into the buffer; 3 when text and
// terminator do not fit (the buffer then holds an empty text).
int ReadScriptFile(const char* fileName, char* buffer, int bufferSize, int flags);
// The same for one section of the file; 0 also when the section is missing.
int ReadScriptSection(const char* fileName, const char* section, char* buffer, int bufferSize, int flags);
