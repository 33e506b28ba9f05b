#include "sound/YDXSound3DListener.h"

#include "sound/YDXSound.h"

YDXSound3DListener::YDXSound3DListener(YDXSound* device)
    : m_listener(nullptr), m_position{0, 0, 0}, m_listenerResult(DS_OK), m_listenerErrorWindow(nullptr)
{
    Create(device);
}

YDXSound3DListener::~YDXSound3DListener() { Release(); }

int YDXSound3DListener::ForwardListener(HRESULT result)
{
    m_listenerResult = result;
    return SUCCEEDED(result);
}

int YDXSound3DListener::Create(YDXSound* device)
{
    m_device = device;
    if (!device || !device->GetDirectSound() || !device->GetPrimaryBuffer()) return 0;
    void* object = nullptr;
    if (!ForwardListener(device->GetPrimaryBuffer()->QueryInterface(IID_IDirectSound3DListener, &object))) return 0;
    Release();
    m_listener = static_cast<LPDIRECTSOUND3DLISTENER>(object);
    return 1;
}

void YDXSound3DListener::Release()
{
    if (m_listener) m_listener->Release();
    m_listener = nullptr;
}

int YDXSound3DListener::Requery()
{
    if (!m_listener) return 1;
    void* object = nullptr;
    const int ok = ForwardListener(m_listener->QueryInterface(IID_IDirectSound3DListener, &object));
    // The interface asked again takes the place of the one held.
    Release();
    m_listener = ok ? static_cast<LPDIRECTSOUND3DLISTENER>(object) : nullptr;
    return ok;
}

int YDXSound3DListener::CommitDeferredSettings()
{
    return m_listener ? ForwardListener(m_listener->CommitDeferredSettings()) : 0;
}

void YDXSound3DListener::GetErrorText(char* text, int size)
{
    YDXSound::ReportError(m_listenerResult, m_listenerErrorWindow, text, size);
}

int YDXSound3DListener::GetAllParameters(DS3DLISTENER* parameters)
{
    return m_listener ? ForwardListener(m_listener->GetAllParameters(parameters)) : 0;
}

int YDXSound3DListener::GetDistanceFactor(float* factor)
{
    return m_listener ? ForwardListener(m_listener->GetDistanceFactor(factor)) : 0;
}

int YDXSound3DListener::GetDopplerFactor(float* factor)
{
    return m_listener ? ForwardListener(m_listener->GetDopplerFactor(factor)) : 0;
}

int YDXSound3DListener::GetOrientation(D3DVECTOR* front, D3DVECTOR* top)
{
    return m_listener ? ForwardListener(m_listener->GetOrientation(front, top)) : 0;
}

int YDXSound3DListener::GetPosition(D3DVECTOR* vector)
{
    if (vector) *vector = m_position;
    return m_listener ? ForwardListener(m_listener->GetPosition(vector)) : 0;
}

int YDXSound3DListener::GetRolloffFactor(float* factor)
{
    return m_listener ? ForwardListener(m_listener->GetRolloffFactor(factor)) : 0;
}

int YDXSound3DListener::GetVelocity(D3DVECTOR* vector)
{
    return m_listener ? ForwardListener(m_listener->GetVelocity(vector)) : 0;
}

int YDXSound3DListener::SetAllParameters(const DS3DLISTENER* parameters, DWORD apply)
{
    return m_listener ? ForwardListener(m_listener->SetAllParameters(parameters, apply)) : 0;
}

int YDXSound3DListener::SetDistanceFactor(float factor, DWORD apply)
{
    return m_listener ? ForwardListener(m_listener->SetDistanceFactor(factor, apply)) : 0;
}

int YDXSound3DListener::SetDopplerFactor(float factor, DWORD apply)
{
    return m_listener ? ForwardListener(m_listener->SetDopplerFactor(factor, apply)) : 0;
}

int YDXSound3DListener::SetOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ,
                                       DWORD apply)
{
    return m_listener ? ForwardListener(m_listener->SetOrientation(frontX, frontY, frontZ, topX, topY, topZ, apply))
                      : 0;
}

int YDXSound3DListener::SetPosition(float x, float y, float z, DWORD apply)
{
    m_position = {x, y, z};
    return m_listener ? ForwardListener(m_listener->SetPosition(x, y, z, apply)) : 0;
}

int YDXSound3DListener::SetRolloffFactor(float factor, DWORD apply)
{
    return m_listener ? ForwardListener(m_listener->SetRolloffFactor(factor, apply)) : 0;
}

int YDXSound3DListener::SetVelocity(float x, float y, float z, DWORD apply)
{
    return m_listener ? ForwardListener(m_listener->SetVelocity(x, y, z, apply)) : 0;
}
