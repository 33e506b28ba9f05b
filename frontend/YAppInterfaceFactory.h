// The game's interface factory: the interface manager owns it.  It owns
// the resource set every screen shares, whose catalog is the one the
// engine opens, makes the screens' layouts and hands out the renderer.
#pragma once

#include "gui/YInterfaceMgr.h"

class YCatalog;

class YAppInterfaceFactory : public YInterfaceFactory {
public:
    YAppInterfaceFactory();
    ~YAppInterfaceFactory() override;

    YLayoutResSet* GetResourceSet() override { return m_resourceSet; }
    YParser* GetScene() override;
    // A YAppLayout over the main window's client area, shown.
    YLayout* CreateLayout(const char* handler) override;
    void PlaySound(int index) override;

    void SetResourceOwner(YCatalog* catalog);
    YCatalog* GetResourceOwner() const { return m_resourceOwner; }
    // Once at start-up; the number of interface sounds loaded.
    int LoadInterfaceSounds();

    int32_t m_soundsLoaded = 0;

private:
    YLayoutResSet* m_resourceSet;
    YCatalog* m_resourceOwner = nullptr;  // reference
};
