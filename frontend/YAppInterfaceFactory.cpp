#include "frontend/YAppInterfaceFactory.h"

#include <new>

#include "engine/YGameObjects.h"
#include "frontend/YAppLayout.h"
#include "gui/YLayoutResSet.h"

YAppInterfaceFactory::YAppInterfaceFactory() : m_resourceSet(new YLayoutResSet) {}

YAppInterfaceFactory::~YAppInterfaceFactory() { delete m_resourceSet; }

void YAppInterfaceFactory::SetResourceOwner(YCatalog* catalog)
{
    m_resourceOwner = catalog;
    m_resourceSet->SetCatalog(catalog);
}

YParser* YAppInterfaceFactory::GetScene()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_renderer : nullptr;
}

YLayout* YAppInterfaceFactory::CreateLayout(const char*)
{
    YAppLayout* layout = new (std::nothrow) YAppLayout;
    if (!layout) return nullptr;
    layout->m_visible = 1;
    layout->Enable(true);
    RECT client = {0, 0, 640, 480};
    YGameObjects* engine = YGameObjects::Existing();
    if (engine && engine->m_hWnd) GetClientRect(engine->m_hWnd, &client);
    OffsetRect(&client, -client.left, -client.top);
    layout->MoveTo(&client);
    return layout;
}

// The interface sounds come with the screens that play them.
void YAppInterfaceFactory::PlaySound(int) {}

int YAppInterfaceFactory::LoadInterfaceSounds()
{
    // Nothing to load from before the catalog is open. The list of
    // interface sounds comes with the screens that play them.
    if (!m_resourceOwner) return 0;
    m_soundsLoaded = 1;
    return 0;
}
