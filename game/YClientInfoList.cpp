#include "game/YClientInfoList.h"

void YClientInfoList::Add(YClientInfo* client)
{
    CSingleLock lock(&m_lock, TRUE);
    m_clients.AddTail(client);
}
