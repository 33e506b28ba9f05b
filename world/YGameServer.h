// The per-session world state of the game server.
#pragma once

class YActor;

class YGameServer {
public:
    YGameServer();
    virtual ~YGameServer();

    YActor* m_watchedActor;  // shown with its vectors; not owned
};
