// The game's interface factory: the interface manager owns it. Its
// resource owner is the catalog the engine opens. It plays the two
// interface sounds through the engine's sound manager.
#pragma once

#include <cstdint>

// PlaySound is a name of the multimedia API too: its macro is in force for
// the base class as for this one.
#include "platform/mmsystem.h"
#include "gui/YInterfaceMgr.h"

class YCatalog;

class YAppInterfaceFactory : public YInterfaceFactory {
public:
    enum { kClickSound = 0, kMouseOverSound = 1, kSoundCount = 6 };

    YAppInterfaceFactory();
    ~YAppInterfaceFactory() override = default;

    void SetResourceOwner(YCatalog* catalog) { m_resourceOwner = catalog; }
    YCatalog* GetResourceOwner() const { return m_resourceOwner; }
    // Registers the interface sounds and makes their buffers, once.
    int LoadInterfaceSounds();
    // Plays sound 0 (click) or 1 (mouse over) from the start, once.
    void PlaySound(int index);

    int32_t m_soundIds[kSoundCount];
    int32_t m_soundsLoaded = 0;

private:
    YCatalog* m_resourceOwner = nullptr;  // reference
};
