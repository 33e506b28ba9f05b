// Game-side state of the engine object that the session, the rules and the
// front end read and write: flags, the one word that rests at -1, and texts.
#pragma once

#include "platform/mfc.h"

struct YGameState {
    enum { FlagCount = 6, TextCount = 15 };

    YGameState() { Reset(); }
    // Flags 0 and the word -1; the texts are kept.
    void Reset()
    {
        for (uint8_t& flag : m_flags) flag = 0;
        m_word = -1;
    }

    uint8_t m_flags[FlagCount];
    int32_t m_word;
    CString m_texts[TextCount];
};
