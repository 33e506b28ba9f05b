// The list of pilots: the records of the players taking part, the local
// player's first.  It holds them, it does not own them.  One lock, shared by
// the whole program, guards every single list operation, so that a walk and
// an insertion never interleave.
#pragma once

#include "platform/mfc.h"

class YActor;
class YClientInfo;

class YClientInfoList : public CTypedPtrList<CObList, YClientInfo*> {
public:
    YClientInfoList() : CTypedPtrList<CObList, YClientInfo*>(10) {}
    ~YClientInfoList() override = default;

    // Each under the list lock, held for the call only.
    POSITION GetHeadPosition();
    // The record at pos; pos moves on (null after the last).
    YClientInfo* GetNext(POSITION& pos);
    POSITION AddTail(YClientInfo* record);

    // Every record drops its pointers to an actor that is going away.
    void ForgetActor(YActor* actor);
};
