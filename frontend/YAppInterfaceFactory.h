// The game's interface factory: the interface manager owns it. Its
// resource owner is the catalog the engine opens.
#pragma once

#include "gui/YInterfaceMgr.h"

class YCatalog;

class YAppInterfaceFactory : public YInterfaceFactory {
public:
    YAppInterfaceFactory() = default;
    ~YAppInterfaceFactory() override = default;

    void SetResourceOwner(YCatalog* catalog) { m_resourceOwner = catalog; }
    YCatalog* GetResourceOwner() const { return m_resourceOwner; }
    // Once at start-up; the number of interface sounds loaded.
    int LoadInterfaceSounds();

    int32_t m_soundsLoaded = 0;

private:
    YCatalog* m_resourceOwner = nullptr;  // reference
};
