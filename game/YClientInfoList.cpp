#include "game/YClientInfoList.h"

#include "game/YClientInfo.h"

namespace {
// Made before the program's main code runs, gone at exit.
CCriticalSection g_clientListLock;
}  // namespace

POSITION YClientInfoList::GetHeadPosition()
{
    CSingleLock lock(&g_clientListLock, TRUE);
    return CTypedPtrList<CObList, YClientInfo*>::GetHeadPosition();
}

YClientInfo* YClientInfoList::GetNext(POSITION& pos)
{
    CSingleLock lock(&g_clientListLock, TRUE);
    return CTypedPtrList<CObList, YClientInfo*>::GetNext(pos);
}

POSITION YClientInfoList::AddTail(YClientInfo* record)
{
    CSingleLock lock(&g_clientListLock, TRUE);
    return CTypedPtrList<CObList, YClientInfo*>::AddTail(record);
}

void YClientInfoList::ForgetActor(YActor* actor)
{
    for (POSITION pos = GetHeadPosition(); pos;)
        if (YClientInfo* record = GetNext(pos)) record->ForgetActor(actor);
}
