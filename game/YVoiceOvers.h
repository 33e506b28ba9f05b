// The voice-over events of a round: the operations the session, the game
// start and the rules call. Nothing is spoken yet.
#pragma once

class YVoiceOvers {
public:
    YVoiceOvers() = default;
    virtual ~YVoiceOvers() = default;

    // Plays the delayed clips that are due.
    virtual void Update() {}
    // Resets, then loads the clips of the current game type.
    virtual void LoadForSession() {}
    // A pilot line of the category.
    virtual void Say(const char*, int, int, int) {}
    // An announcer line of the category.
    virtual void PlayNow(const char*, int, int) {}
    virtual void OnEvent(int) {}
    virtual void Reset() {}
};
