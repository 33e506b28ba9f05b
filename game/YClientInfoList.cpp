#include "game/YClientInfoList.h"

#include "game/YClientInfo.h"

void YClientInfoList::Add(YClientInfo* client)
{
    CSingleLock lock(&m_lock, TRUE);
    m_clients.AddTail(client);
}

void YClientInfoList::ForgetActor(YActor* actor)
{
    CSingleLock lock(&m_lock, TRUE);
    for (POSITION pos = m_clients.GetHeadPosition(); pos;)
        static_cast<YClientInfo*>(m_clients.GetNext(pos))->ForgetActor(actor);
}
