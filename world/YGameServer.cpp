#include "world/YGameServer.h"

YGameServer::YGameServer() : m_watchedActor(nullptr) {}

YGameServer::~YGameServer() = default;
