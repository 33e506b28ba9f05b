// A population script (".rcs"): the round time in its header, then one entry
// a actor (a data line "kind word x y z" and a label line). Reading makes
// the actors and lists them in the engine object; the writers record placed
// actors and make them at once.
#pragma once

#include <cstdint>
#include <cstdio>

#include "foundation/YVector.h"

class YScriptor {
public:
    enum { ModeRead = 0, ModeWrite = 1 };
    // The longest label kept, newline included; the rest of a longer line
    // is skipped.
    enum { LabelLength = 79, WordLength = 63 };

    YScriptor() = default;
    // A script opened for writing gets the trailer entry.
    virtual ~YScriptor();
    YScriptor(const YScriptor&) = delete;
    YScriptor& operator=(const YScriptor&) = delete;

    // True when the file opened; mode 1 writes the header "120".
    bool Open(const char* name, int mode);
    // The header's round time, then every entry as an actor.
    void ReadAndSpawn();

    void WriteBalloon(int colour, const YVector& position);
    void WriteTunnix(int colour, const YVector& position);
    void WriteWaypoint(int on, const YVector& position);
    void WritePowerUp(int kind, const YVector& position);
    void WriteTarget(const YVector& position, int size);
    void WriteGoal(const YVector& position);
    void WriteStart(const YVector& position);
    void WriteEnd(const YVector& position);

private:
    bool Writing() const { return m_open && m_file && m_mode == ModeWrite; }
    // One entry: false at the end of the script (or a broken entry).
    bool ReadEntry(char* kind, char* word, YVector& position, char* label);
    void Spawn(const char* kind, const char* word, const YVector& position, const char* label);
    void WriteLine(const char* kind, const char* word, const YVector& position);

    FILE* m_file = nullptr;
    uint8_t m_open = 0;
    int m_mode = ModeRead;
    // First-of-its-kind flags of the entries read.
    bool m_firstBalloon = true;
    bool m_firstTunnix = true;
    bool m_firstWaypoint = true;  // waypoints and both banners
    bool m_firstPowerUp = true;
    bool m_firstTarget = true;
    bool m_firstGoal = true;
};
