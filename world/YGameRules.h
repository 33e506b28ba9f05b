// The rules of the current round; one class per game type derives from it.
// All of them share one phase clock: a phase ends phase length seconds of
// game clock after its start, and Tick keeps the seconds left.
#pragma once

#include <cstdint>

#include "world/YActor.h"

class YGameObjects;
class YPlane;
class YWaypoint;

class YGameRules {
public:
    enum State {
        StateCreated = 0,
        StatePre = 1,
        StateRun = 2,
        StateMid = 3,        // balloon drop, between the two runs
        StateSecondRun = 4,  // balloon drop
        StatePost = 5,
        StateOver = 6,
    };
    enum Mode { ModeNone = -1, ModeDogfight = 0, ModeAirRace = 1, ModeTunnix = 2, ModeBalloonDrop = 3, ModePractice = 4 };
    // High-score tables.
    enum { TableBalloonDrop = 0, TableDogfight = 1, TableAirRace = 2, TableTunnix = 3 };
    // Voice-over events of a round.
    enum { EventPreRound = 0, EventRoundStart = 1, EventPlayerWon = 2, EventPlayerLost = 3 };
    enum {
        ResultRecordCount = 100,
        PhaseSeconds = 3,       // pre-round, post-round, mid-round
        RoundOverSeconds = 120,
        TimesUpSeconds = 40,
        LowGasSeconds = 10,
    };

    struct ResultRecord {
        int32_t m_word = 0;
        int32_t m_words[6] = {};
    };

    YGameRules() = default;
    virtual ~YGameRules();
    YGameRules(const YGameRules&) = delete;
    YGameRules& operator=(const YGameRules&) = delete;

    virtual void Tick() {}
    // The pre-round phase.
    virtual void EnterPre() {}
    virtual void EnterRun() {}
    virtual void EnterPost() {}
    virtual void RoundOver() {}
    virtual void ModeEvent() {}
    // Places the bot's and then the player's score in table 0..3 of the
    // game settings; the player's row gets an empty name for the score screen.
    virtual void UpdateHighScores(int table, int botScore, int playerScore);

    // Flags the celebration, when there is one, for destruction.
    void FlagRemoval()
    {
        if (m_celebration) m_celebration->MarkForDestruction();
    }

    // The pilots the bot of each game level flies as, with their pictures.
    static const char* const BotNames[5];
    static const char* const BotPictures[5];
    static const char* const PlayerPicture;
    static const char* const LowGasSound;
    static const char* const RoundOverScreen;

    int32_t m_practice = 0;
    int32_t m_mode = ModeNone;
    uint32_t m_phaseStart = 0;   // game clock, ms
    int32_t m_phaseLength = 0;   // seconds
    int32_t m_roundSeconds = 120;
    int32_t m_secondsLeft = 0;   // whole seconds to the end of the phase
    YWaypoint* m_currentWaypoint = nullptr;  // the air race's next gate; reference
    int32_t m_state = StateCreated;
    ResultRecord m_results[ResultRecordCount];
    int32_t m_spareWords[2] = {};
    uint32_t m_roundStart = 0;   // game clock, ms
    uint8_t m_spareByte = 0;
    uint8_t m_celebrated = 0;    // the win of this round has been handled
    // The end-of-round celebration while it runs, else null; not owned.
    YActor* m_celebration = nullptr;
    int32_t m_timesUpPending = 0;

protected:
    static YGameObjects* Engine();
    static uint32_t Now();
    // The plane of the first pilot record, or null.
    static YPlane* LocalPlane();
    static YPlane* Opponent();
    // The balloon units the view plane carries: the view actor's when it is
    // a plane, else the local plane's; nothing without either.
    static int32_t ViewBalloons();
    // Down after a crash: restart pending and back on the ground.
    static bool IsDown(const YPlane* plane);
    static bool Celebrating();

    // A new phase of the state, starting now.
    void StartPhase(int state, int seconds);
    // True when the phase has run out; otherwise the seconds left are kept.
    bool PhaseOver();
    // "layout s screen screens.scr:" + name.
    static void ShowScreen(const char* name);
    static void Command(const char* line);
    static void VoiceEvent(int code);
    static void Announce(const char* category);
    static void SetOverlay(float a, float d);
    static void PlayMusic();
    static void StopMusic();
    // Resets the jukebox with the music of the round as track 0.
    static void SetMusic(const char* name);

    // The in-round warnings: "TimesUp" once at 40 seconds left (when asked),
    // the low-gas sound at the local plane from 10 seconds down to 1.
    void Warnings(bool timesUp);
    // The post-round fade toward red while no celebration runs.
    void Fade();
    // The win of the local player. False when it had been handled before:
    // the round's result then ends without high scores.
    bool Celebrate();
    // The common round over; the balloon drop and the dogfight add to it.
    void EnterRoundOver();

    // The common phases of the competitive types: screens by name.
    void CommonPre(const char* screen);
    // False when the round ended at once (no time left to run).
    bool CommonRun(const char* screen, bool timesUp);
    void CommonPostStart();
    void CommonPostScreen(const char* screen);
};
