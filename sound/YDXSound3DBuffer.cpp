#include "sound/YDXSound3DBuffer.h"

#include "sound/YDXSound.h"

IMPLEMENT_SERIAL(YDXSound3DBuffer, YDXSoundBuffer, 1)

YDXSound3DBuffer::YDXSound3DBuffer()
    : m_3dBuffer(nullptr), m_3dResult(DS_OK), m_3dErrorWindow(nullptr), m_coneInside(360), m_coneOutside(360),
      m_coneOutsideVolume(0), m_maxDistance(1.0e9f), m_minDistance(1.0f), m_position{0, 0, 0}
{
}

YDXSound3DBuffer::YDXSound3DBuffer(YDXSound* device, const char* path, int load, DWORD flags)
    : YDXSoundBuffer(device, path, load, flags), m_3dBuffer(nullptr), m_3dResult(DS_OK), m_3dErrorWindow(nullptr),
      m_coneInside(360), m_coneOutside(360), m_coneOutsideVolume(0), m_maxDistance(1.0e9f), m_minDistance(1.0f),
      m_position{0, 0, 0}
{
}

YDXSound3DBuffer::~YDXSound3DBuffer() { Release3D(); }

int YDXSound3DBuffer::Forward3D(HRESULT result)
{
    m_3dResult = result;
    return SUCCEEDED(result);
}

int YDXSound3DBuffer::Get3DInterface()
{
    if (!m_buffer) return 1;
    void* object = nullptr;
    const int ok = Forward3D(m_buffer->QueryInterface(IID_IDirectSound3DBuffer, &object));
    if (m_3dBuffer) m_3dBuffer->Release();
    m_3dBuffer = ok ? static_cast<LPDIRECTSOUND3DBUFFER>(object) : nullptr;
    return ok;
}

void YDXSound3DBuffer::Release3D()
{
    if (m_3dBuffer) m_3dBuffer->Release();
    m_3dBuffer = nullptr;
    Cleanup();
}

int YDXSound3DBuffer::Duplicate(YDXSoundBuffer* target)
{
    if (m_duplicate && !m_3dBuffer) return 0;
    if (YDXSound3DBuffer* placed = dynamic_cast<YDXSound3DBuffer*>(target)) placed->m_3dErrorWindow = nullptr;
    return YDXSoundBuffer::Duplicate(target);
}

void YDXSound3DBuffer::GetErrorText(char* text, int size)
{
    YDXSound::ReportError(m_3dResult, m_3dErrorWindow, text, size);
}

int YDXSound3DBuffer::GetAllParameters(DS3DBUFFER* parameters)
{
    return m_3dBuffer ? Forward3D(m_3dBuffer->GetAllParameters(parameters)) : 0;
}

int YDXSound3DBuffer::GetConeInsideAngle(DWORD* angle)
{
    if (angle) *angle = m_coneInside;
    return m_3dBuffer ? Forward3D(m_3dBuffer->GetConeAngles(angle, nullptr)) : 0;
}

int YDXSound3DBuffer::GetConeOutsideAngle(DWORD* angle)
{
    if (angle) *angle = m_coneOutside;
    return m_3dBuffer ? Forward3D(m_3dBuffer->GetConeAngles(nullptr, angle)) : 0;
}

int YDXSound3DBuffer::GetConeOrientation(D3DVECTOR* vector)
{
    return m_3dBuffer ? Forward3D(m_3dBuffer->GetConeOrientation(vector)) : 0;
}

int YDXSound3DBuffer::GetConeOutsideVolume(LONG* volume)
{
    if (volume) *volume = m_coneOutsideVolume;
    return m_3dBuffer ? Forward3D(m_3dBuffer->GetConeOutsideVolume(volume)) : 0;
}

int YDXSound3DBuffer::GetMaxDistance(float* distance)
{
    if (distance) *distance = m_maxDistance;
    return m_3dBuffer ? Forward3D(m_3dBuffer->GetMaxDistance(distance)) : 0;
}

int YDXSound3DBuffer::GetMinDistance(float* distance)
{
    if (distance) *distance = m_minDistance;
    return m_3dBuffer ? Forward3D(m_3dBuffer->GetMinDistance(distance)) : 0;
}

int YDXSound3DBuffer::GetMode(DWORD* mode) { return m_3dBuffer ? Forward3D(m_3dBuffer->GetMode(mode)) : 0; }

int YDXSound3DBuffer::GetPosition(D3DVECTOR* vector)
{
    if (vector) *vector = m_position;
    return m_3dBuffer ? Forward3D(m_3dBuffer->GetPosition(vector)) : 0;
}

int YDXSound3DBuffer::GetVelocity(D3DVECTOR* vector)
{
    return m_3dBuffer ? Forward3D(m_3dBuffer->GetVelocity(vector)) : 0;
}

int YDXSound3DBuffer::SetAllParameters(const DS3DBUFFER* parameters, DWORD apply)
{
    return m_3dBuffer ? Forward3D(m_3dBuffer->SetAllParameters(parameters, apply)) : 0;
}

int YDXSound3DBuffer::SetConeAngles(DWORD inside, DWORD outside, DWORD apply)
{
    m_coneInside = inside;
    m_coneOutside = outside;
    return m_3dBuffer ? Forward3D(m_3dBuffer->SetConeAngles(inside, outside, apply)) : 0;
}

int YDXSound3DBuffer::SetConeOrientation(float x, float y, float z, DWORD apply)
{
    return m_3dBuffer ? Forward3D(m_3dBuffer->SetConeOrientation(x, y, z, apply)) : 0;
}

int YDXSound3DBuffer::SetConeOutsideVolume(LONG volume, DWORD apply)
{
    m_coneOutsideVolume = volume;
    return m_3dBuffer ? Forward3D(m_3dBuffer->SetConeOutsideVolume(volume, apply)) : 0;
}

int YDXSound3DBuffer::SetMaxDistance(float distance, DWORD apply)
{
    m_maxDistance = distance;
    return m_3dBuffer ? Forward3D(m_3dBuffer->SetMaxDistance(distance, apply)) : 0;
}

int YDXSound3DBuffer::SetMinDistance(float distance, DWORD apply)
{
    m_minDistance = distance;
    return m_3dBuffer ? Forward3D(m_3dBuffer->SetMinDistance(distance, apply)) : 0;
}

int YDXSound3DBuffer::SetMode(DWORD mode, DWORD apply)
{
    return m_3dBuffer ? Forward3D(m_3dBuffer->SetMode(mode, apply)) : 0;
}

int YDXSound3DBuffer::SetPosition(float x, float y, float z, DWORD apply)
{
    m_position = {x, y, z};
    return m_3dBuffer ? Forward3D(m_3dBuffer->SetPosition(x, y, z, apply)) : 0;
}

int YDXSound3DBuffer::SetVelocity(float x, float y, float z, DWORD apply)
{
    return m_3dBuffer ? Forward3D(m_3dBuffer->SetVelocity(x, y, z, apply)) : 0;
}
