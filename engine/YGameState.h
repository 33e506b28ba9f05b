// Game-side state of the engine object that the session, the rules and the
// front end hand over to each other: which in-game screen to show, the
// high-score entry under way, the flags of the round's end and the values and
// texts the settings and score screens show.
#pragma once

#include "platform/mfc.h"

struct YGameState {
    enum { ScoreRows = 5 };
    // The in-game screen request.
    enum { ScreenNone = -1, ScreenPause = 0, ScreenHighScore = 1, ScreenRoundOver = 2, ScreenPracticePause = 3,
           ScreenOpponent = 4 };

    YGameState() { Reset(); }
    // Flags and values back to their start; the texts are kept.
    void Reset()
    {
        m_showScoresOnReturn = 0;
        m_celebration = 0;
        m_portraitFlash = 0;
        m_screenRequest = ScreenNone;
        m_scoreRank = 0;
        m_pilotTeaser = 0;
        m_settingsDisplay = 0;
        m_settingsDetail = 0;
        m_settingsMusic = 0;
        m_settingsJoystick = 0;
    }

    uint8_t m_showScoresOnReturn;  // the round ended with a new high-score entry
    uint8_t m_celebration;         // the end-of-round celebration runs
    uint8_t m_portraitFlash;       // a pilot's voice clip started: flash the portrait
    int32_t m_screenRequest;       // the screen the "game" layout opens with
    int32_t m_scoreRank;           // rank + 1 of the score being entered, 0 none
    int32_t m_pilotTeaser;         // a level index + 1
    int32_t m_settingsDisplay;
    int32_t m_settingsDetail;
    int32_t m_settingsMusic;
    int32_t m_settingsJoystick;
    CString m_scoreNames[ScoreRows];
    CString m_scoreValues[ScoreRows];
    CString m_scorePictures[ScoreRows];
};
