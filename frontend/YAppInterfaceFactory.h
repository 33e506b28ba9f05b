// The game's interface factory: the interface manager owns it.  It owns
// the resource set every screen shares, whose catalog is the one the
// engine opens, makes the screens' layouts, hands out the renderer and
// plays the two interface sounds through the engine's sound manager.
#pragma once

#include <cstdint>

#include "gui/YInterfaceMgr.h"

class YAppLayoutResSet;
class YCatalog;

class YAppInterfaceFactory : public YInterfaceFactory {
public:
    enum { kClickSound = 0, kMouseOverSound = 1, kSoundCount = 6 };

    YAppInterfaceFactory();
    ~YAppInterfaceFactory() override;

    YLayoutResSet* GetResourceSet() override;
    YParser* GetScene() override;
    // The layout class of the handler ("options", "game", "gamesetup",
    // else the plain game layout) over the main window's client area, shown.
    YLayout* CreateLayout(const char* handler) override;
    // Plays sound 0 (click) or 1 (mouse over) from the start, once.
    void PlaySound(int index) override;

    void SetResourceOwner(YCatalog* catalog);
    YCatalog* GetResourceOwner() const { return m_resourceOwner; }
    // Registers the interface sounds and makes their buffers, once.
    int LoadInterfaceSounds();

    int32_t m_nSoundIds[kSoundCount];
    int32_t m_bSoundsLoaded = 0;

private:
    YAppLayoutResSet* m_pResSet;  // owned
    YCatalog* m_resourceOwner = nullptr;  // reference
};
