#include "frontend/YAppInterfaceFactory.h"

#include <new>

#include "engine/YGameObjects.h"
#include "frontend/YAppLayout.h"
#include "frontend/YAppLayoutResSet.h"
#include "frontend/YLayoutGame.h"
#include "frontend/YLayoutGameSetup.h"
#include "frontend/YLayoutOptions.h"
#include "sound/YSound.h"

YAppInterfaceFactory::YAppInterfaceFactory() : m_pResSet(new YAppLayoutResSet)
{
    for (int32_t& id : m_nSoundIds) id = -1;
}

YAppInterfaceFactory::~YAppInterfaceFactory() { delete m_pResSet; }

YLayoutResSet* YAppInterfaceFactory::GetResourceSet() { return m_pResSet; }

void YAppInterfaceFactory::SetResourceOwner(YCatalog* catalog)
{
    m_resourceOwner = catalog;
    m_pResSet->SetCatalog(catalog);
}

YParser* YAppInterfaceFactory::GetScene()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_renderer : nullptr;
}

YLayout* YAppInterfaceFactory::CreateLayout(const char* handler)
{
    YAppLayout* layout = nullptr;
    if (!handler) layout = new (std::nothrow) YAppLayout;
    else if (_stricmp(handler, "options") == 0) layout = new (std::nothrow) YLayoutOptions;
    else if (_stricmp(handler, "game") == 0) layout = new (std::nothrow) YLayoutGame;
    else if (_stricmp(handler, "gamesetup") == 0) layout = new (std::nothrow) YLayoutGameSetup;
    else layout = new (std::nothrow) YAppLayout;
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
    if (m_bSoundsLoaded || !sound) return 0;
    for (int32_t& id : m_nSoundIds) id = -1;
    m_nSoundIds[kMouseOverSound] = sound->GetActualPath("Interface:is-mouse-over");
    sound->CreateBufferById(m_nSoundIds[kMouseOverSound]);
    m_nSoundIds[kClickSound] = sound->GetActualPath("Interface:is-mouse-click");
    sound->CreateBufferById(m_nSoundIds[kClickSound]);
    m_bSoundsLoaded = 1;
    return 1;
}

void YAppInterfaceFactory::PlaySound(int index)
{
    if (!m_bSoundsLoaded) LoadInterfaceSounds();
    if (index < 0 || index >= kSoundCount) return;
    const int id = m_nSoundIds[index];
    YSound* sound = YGameObjects::Existing() ? YGameObjects::Existing()->m_sound : nullptr;
    if (id < 0 || !sound) return;
    sound->PlayById(id, 0, 1, 0, 0);
}
