// Cuts a line into words; a double-quoted word is kept whole.
#pragma once

#include "platform/mfc.h"

class YStringParser {
public:
    // Stores the text with its surrounding white space removed.
    void SetText(const char* text);
    // Returns the next word and removes it from the text.  `kind` receives
    // -1 when no word was left, 1 for a plain word and 2 for a quoted one.
    CString GetNextWord(int* kind);

    const CString& GetText() const { return m_text; }

private:
    CString m_text;
};
