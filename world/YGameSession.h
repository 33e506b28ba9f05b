// The game session: its state and the entry of the control verbs.
#pragma once

class YGameSession {
public:
    enum State { None = 0, Loading, Loaded, Beginning, Playing, Paused, Demo, Ending };
    enum VerbKind { VerbPress = 0, VerbRelease = 1, VerbPlain = 2 };

    YGameSession();
    virtual ~YGameSession();

    // A control verb from the command interpreter; acts only while playing
    // or paused. Returns 1 in every case.
    virtual int OnVerb(int id, int kind, const char* text);
    // One session step per pass of the main loop.
    virtual void Tick();
    // One step of the loading progress.
    virtual void AdvanceProgress();

    int m_state;
    unsigned long m_ticks = 0;
    int m_progress = 0;
};
