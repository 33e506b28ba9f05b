// The active control verbs of a session.
#pragma once

class YGameCommands {
public:
    YGameCommands();
    virtual ~YGameCommands();

    int m_activeCount;
};
