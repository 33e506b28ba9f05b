// Records a wrapper's method in progress for the length of a call and puts
// the previous name back on every exit.
#pragma once

#include "platform/win32.h"

class YDXMethod {
public:
    static const int kLength = 32;
    YDXMethod(char* field, const char* name) : m_field(field)
    {
        memcpy(m_saved, field, kLength);
        lstrcpynA(field, name, kLength);
    }
    ~YDXMethod() { memcpy(m_field, m_saved, kLength); }
    YDXMethod(const YDXMethod&) = delete;
    YDXMethod& operator=(const YDXMethod&) = delete;

private:
    char* m_field;
    char m_saved[kLength];
};
