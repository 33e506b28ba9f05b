// The game session: its state, its actions, its properties and the entry of
// the control verbs.
//
// Until maps load, a session's actions only move it through its states:
// initialising checks that the map file of the engine's session descriptor
// exists (loaded, 2) or fails back to none (0); begin plays a loaded map;
// end returns any session to none; pause toggles playing and paused; demo
// plays a loaded map as a demo.
#pragma once

#include "foundation/YDataCollection.h"

class YGameSession {
public:
    enum State { None = 0, Loading, Loaded, Beginning, Playing, Paused, Demo, Ending };
    enum VerbKind { VerbPress = 0, VerbRelease = 1, VerbPlain = 2 };
    enum ActionId { ActionInit = 0, ActionBegin = 1, ActionEnd = 2, ActionPause = 3, ActionDemo = 5 };

    YGameSession();
    virtual ~YGameSession();

    // A control verb from the command interpreter; acts only while playing
    // or paused. Returns 1 in every case.
    virtual int OnVerb(int id, int kind, const char* text);
    // One session step per pass of the main loop.
    virtual void Tick();
    // One step of the loading progress.
    virtual void AdvanceProgress();
    // 1 when the action changed the state, 0 when the state refused it.
    virtual int Action(int action, int parameter = 0);

    int m_state;
    unsigned long m_ticks = 0;
    int m_progress = 0;
    YDataCollection m_properties;
};
