// The per-session world state of the game server.
#pragma once

class YGameServer {
public:
    YGameServer();
    virtual ~YGameServer();

    void* m_watchedActor;
};
