// A sound buffer placed in the world through its IDirectSound3DBuffer. The
// last values set through it are cached and preset the getters' outputs.
#pragma once

#include "sound/YDXSoundBuffer.h"

class YDXSound3DBuffer : public YDXSoundBuffer {
    DECLARE_SERIAL(YDXSound3DBuffer)
public:
    YDXSound3DBuffer();
    YDXSound3DBuffer(YDXSound* device, const char* path, int load, DWORD flags);
    ~YDXSound3DBuffer() override;

    int Get3DInterface();
    void Release3D();
    int Duplicate(YDXSoundBuffer* target) override;
    void GetErrorText(char* text, int size) override;
    LPDIRECTSOUND3DBUFFER Get3DBuffer() const { return m_3dBuffer; }

    int GetAllParameters(DS3DBUFFER* parameters);
    int GetConeInsideAngle(DWORD* angle);
    int GetConeOutsideAngle(DWORD* angle);
    int GetConeOrientation(D3DVECTOR* vector);
    int GetConeOutsideVolume(LONG* volume);
    int GetMaxDistance(float* distance);
    int GetMinDistance(float* distance);
    int GetMode(DWORD* mode);
    int GetPosition(D3DVECTOR* vector);
    int GetVelocity(D3DVECTOR* vector);
    int SetAllParameters(const DS3DBUFFER* parameters, DWORD apply);
    int SetConeAngles(DWORD inside, DWORD outside, DWORD apply);
    int SetConeOrientation(float x, float y, float z, DWORD apply);
    int SetConeOutsideVolume(LONG volume, DWORD apply);
    int SetMaxDistance(float distance, DWORD apply);
    int SetMinDistance(float distance, DWORD apply);
    int SetMode(DWORD mode, DWORD apply);
    int SetPosition(float x, float y, float z, DWORD apply);
    int SetVelocity(float x, float y, float z, DWORD apply);

    LPDIRECTSOUND3DBUFFER m_3dBuffer;
    HRESULT m_3dResult;
    CWnd* m_3dErrorWindow;
    DWORD m_coneInside;
    DWORD m_coneOutside;
    LONG m_coneOutsideVolume;
    float m_maxDistance;
    float m_minDistance;
    D3DVECTOR m_position;

private:
    // Stores a 3D result; 1 when it is a success.
    int Forward3D(HRESULT result);
};
