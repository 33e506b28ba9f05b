#include "frontend/YAppInterfaceFactory.h"

#include <new>

#include "engine/YGameObjects.h"
#include "frontend/YAppLayout.h"
#include "gui/YLayoutResSet.h"
#include "sound/YSound.h"

YAppInterfaceFactory::YAppInterfaceFactory() : m_resourceSet(new YLayoutResSet)
{
    for (int32_t& id : m_soundIds) id = -1;
}

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

int YAppInterfaceFactory::LoadInterfaceSounds()
{
    YSound* sound = YGameObjects::Existing() ? YGameObjects::Existing()->m_sound : nullptr;
    if (m_soundsLoaded || !sound) return 0;
    for (int32_t& id : m_soundIds) id = -1;
    m_soundIds[kMouseOverSound] = sound->GetActualPath("Interface:is-mouse-over");
    sound->CreateBufferById(m_soundIds[kMouseOverSound]);
    m_soundIds[kClickSound] = sound->GetActualPath("Interface:is-mouse-click");
    sound->CreateBufferById(m_soundIds[kClickSound]);
    m_soundsLoaded = 1;
    return 1;
}

void YAppInterfaceFactory::PlaySound(int index)
{
    if (!m_soundsLoaded) LoadInterfaceSounds();
    if (index < 0 || index >= kSoundCount) return;
    const int id = m_soundIds[index];
    YSound* sound = YGameObjects::Existing() ? YGameObjects::Existing()->m_sound : nullptr;
    if (id < 0 || !sound) return;
    sound->PlayById(id, 0, 1, 0, 0);
}
