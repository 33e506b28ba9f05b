// The player's ears: the device's one IDirectSound3DListener, taken from
// the primary buffer. It never makes a DirectSound buffer of its own.
#pragma once

#include "sound/YDXSoundBuffer.h"

class YDXSound3DListener : public YDXSoundBuffer {
public:
    explicit YDXSound3DListener(YDXSound* device);
    ~YDXSound3DListener() override;

    using YDXSoundBuffer::Create;
    int Create(YDXSound* device);
    void Release();
    int Requery();
    int CommitDeferredSettings();
    void GetErrorText(char* text, int size) override;
    LPDIRECTSOUND3DLISTENER GetInterface() const { return m_listener; }

    int GetAllParameters(DS3DLISTENER* parameters);
    int GetDistanceFactor(float* factor);
    int GetDopplerFactor(float* factor);
    int GetOrientation(D3DVECTOR* front, D3DVECTOR* top);
    int GetPosition(D3DVECTOR* vector);
    int GetRolloffFactor(float* factor);
    int GetVelocity(D3DVECTOR* vector);
    int SetAllParameters(const DS3DLISTENER* parameters, DWORD apply);
    int SetDistanceFactor(float factor, DWORD apply);
    int SetDopplerFactor(float factor, DWORD apply);
    int SetOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ, DWORD apply);
    int SetPosition(float x, float y, float z, DWORD apply);
    int SetRolloffFactor(float factor, DWORD apply);
    int SetVelocity(float x, float y, float z, DWORD apply);

    LPDIRECTSOUND3DLISTENER m_listener;
    D3DVECTOR m_position;
    HRESULT m_listenerResult;
    CWnd* m_listenerErrorWindow;

private:
    int ForwardListener(HRESULT result);
};
