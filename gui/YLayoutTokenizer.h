// Cuts a layout script into tokens at separator characters, as strtok does,
// but keeps its position in the object, so that readers may nest.
#pragma once

#include "platform/mfc.h"

class YLayoutTokenizer {
public:
    explicit YLayoutTokenizer(const char* text);

    // The next token, untrimmed, skipping tokens made only of blanks; empty at
    // the end.  followers gets the run of separators after it in the text.
    CString Next(const char* separators, CString* followers = nullptr);
    bool AtEnd() const { return m_at >= m_text.GetLength(); }

private:
    CString m_text;
    int m_at;
};
