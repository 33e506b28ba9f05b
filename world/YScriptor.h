// A population script (".rcs"): the round time in its header, then the
// actors of the round. For now only the header is read.
#pragma once

#include <cstdint>
#include <cstdio>

class YScriptor {
public:
    enum { ModeRead = 0, ModeWrite = 1 };

    YScriptor() = default;
    virtual ~YScriptor();
    YScriptor(const YScriptor&) = delete;
    YScriptor& operator=(const YScriptor&) = delete;

    // True when the file opened; mode 1 writes the header "120".
    bool Open(const char* name, int mode);
    // The header's round time into the engine object.
    void ReadAndSpawn();

private:
    FILE* m_file = nullptr;
    uint8_t m_open = 0;
    int m_mode = ModeRead;
};
