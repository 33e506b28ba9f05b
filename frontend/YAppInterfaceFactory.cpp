#include "frontend/YAppInterfaceFactory.h"

int YAppInterfaceFactory::LoadInterfaceSounds()
{
    // Nothing to load from before the catalog is open. The list of
    // interface sounds comes with the screens that play them.
    if (!m_resourceOwner) return 0;
    m_soundsLoaded = 1;
    return 0;
}
