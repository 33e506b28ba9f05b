// The list of pilots, guarded by its critical section.
#pragma once

#include "platform/mfc.h"

class YActor;
class YClientInfo;

class YClientInfoList {
public:
    YClientInfoList() = default;
    virtual ~YClientInfoList() = default;

    void Add(YClientInfo* client);
    // Every record drops its pointers to an actor that is going away.
    void ForgetActor(YActor* actor);
    int GetCount() const { return static_cast<int>(m_clients.GetCount()); }

    CPtrList m_clients;  // references
    CCriticalSection m_lock;
};
