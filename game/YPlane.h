// The plane actor: so far the command operation that control verbs reach.
#pragma once

class YPlane {
public:
    YPlane() = default;
    virtual ~YPlane() = default;

    // A control verb with its argument text and value.
    virtual int Command(int verb, const char* text, int value);

    int m_lastVerb = 0;
    int m_lastValue = 0;
    int m_commands = 0;
};
