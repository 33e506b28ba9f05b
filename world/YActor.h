// An actor of a world: so far its two flag words.
#pragma once

#include <cstdint>

class YActor {
public:
    // Flag word A.
    enum { FlagVisible = 0x1, FlagDestroyMe = 0x8 };
    // Flag word B.
    enum { FlagPowerUpKind = 0x20000 };

    YActor() = default;
    virtual ~YActor() = default;

    void MarkForDestruction() { m_flags |= FlagDestroyMe; }
    bool IsMarkedForDestruction() const { return (m_flags & FlagDestroyMe) != 0; }

    uint32_t m_flags = 0;
    uint32_t m_flagsB = 0;
};
