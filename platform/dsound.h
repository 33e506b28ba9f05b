// DirectSound: a software mixer behind the DirectSound interfaces. Secondary
// buffers (and their duplicates, which share the samples) are mixed with
// their volume, pan and frequency, 3D buffers placed around the listener,
// into the primary format; the backend plays the result, or keeps it in
// memory when headless.
#pragma once

#include "platform/mmsystem.h"
#include "platform/unknwn.h"
#include "platform/win32.h"

#ifndef D3DVECTOR_DEFINED
#define D3DVECTOR_DEFINED
typedef float D3DVALUE;
typedef struct _D3DVECTOR {
    D3DVALUE x;
    D3DVALUE y;
    D3DVALUE z;
} D3DVECTOR, *LPD3DVECTOR;
#endif
typedef const D3DVECTOR* LPCD3DVECTOR;

// ---------------------------------------------------------------- results
#define DS_OK S_OK
#define DS_NO_VIRTUALIZATION ((HRESULT)0x0878000AL)
#define DSERR_ALLOCATED ((HRESULT)0x8878000AL)
#define DSERR_CONTROLUNAVAIL ((HRESULT)0x8878001EL)
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_INVALIDCALL ((HRESULT)0x88780032L)
#define DSERR_GENERIC E_FAIL
#define DSERR_PRIOLEVELNEEDED ((HRESULT)0x88780046L)
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_BADFORMAT ((HRESULT)0x88780064L)
#define DSERR_UNSUPPORTED E_NOTIMPL
#define DSERR_NODRIVER ((HRESULT)0x88780078L)
#define DSERR_ALREADYINITIALIZED ((HRESULT)0x88780082L)
#define DSERR_NOAGGREGATION CLASS_E_NOAGGREGATION
#define DSERR_BUFFERLOST ((HRESULT)0x88780096L)
#define DSERR_OTHERAPPHASPRIO ((HRESULT)0x887800A0L)
#define DSERR_UNINITIALIZED ((HRESULT)0x887800AAL)
#define DSERR_NOINTERFACE E_NOINTERFACE

// ---------------------------------------------------------------- flags
#define DSSCL_NORMAL 0x00000001
#define DSSCL_PRIORITY 0x00000002
#define DSSCL_EXCLUSIVE 0x00000003
#define DSSCL_WRITEPRIMARY 0x00000004

#define DSBCAPS_PRIMARYBUFFER 0x00000001
#define DSBCAPS_STATIC 0x00000002
#define DSBCAPS_LOCHARDWARE 0x00000004
#define DSBCAPS_LOCSOFTWARE 0x00000008
#define DSBCAPS_CTRL3D 0x00000010
#define DSBCAPS_CTRLFREQUENCY 0x00000020
#define DSBCAPS_CTRLPAN 0x00000040
#define DSBCAPS_CTRLVOLUME 0x00000080
#define DSBCAPS_CTRLPOSITIONNOTIFY 0x00000100
#define DSBCAPS_STICKYFOCUS 0x00004000
#define DSBCAPS_GLOBALFOCUS 0x00008000
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000
#define DSBCAPS_MUTE3DATMAXDISTANCE 0x00020000
#define DSBCAPS_LOCDEFER 0x00040000

#define DSBPLAY_LOOPING 0x00000001
#define DSBSTATUS_PLAYING 0x00000001
#define DSBSTATUS_BUFFERLOST 0x00000002
#define DSBSTATUS_LOOPING 0x00000004
#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER 0x00000002

#define DSBVOLUME_MIN (-10000)
#define DSBVOLUME_MAX 0
#define DSBPAN_LEFT (-10000)
#define DSBPAN_CENTER 0
#define DSBPAN_RIGHT 10000
#define DSBFREQUENCY_ORIGINAL 0
#define DSBFREQUENCY_MIN 100
#define DSBFREQUENCY_MAX 100000
#define DSBSIZE_MIN 4
#define DSBSIZE_MAX 0x0FFFFFFF

#define DSCAPS_PRIMARYMONO 0x00000001
#define DSCAPS_PRIMARYSTEREO 0x00000002
#define DSCAPS_PRIMARY8BIT 0x00000004
#define DSCAPS_PRIMARY16BIT 0x00000008
#define DSCAPS_CONTINUOUSRATE 0x00000010
#define DSCAPS_EMULDRIVER 0x00000020
#define DSCAPS_CERTIFIED 0x00000040
#define DSCAPS_SECONDARYMONO 0x00000100
#define DSCAPS_SECONDARYSTEREO 0x00000200
#define DSCAPS_SECONDARY8BIT 0x00000400
#define DSCAPS_SECONDARY16BIT 0x00000800

#define DS3D_IMMEDIATE 0x00000000
#define DS3D_DEFERRED 0x00000001
#define DS3DMODE_NORMAL 0x00000000
#define DS3DMODE_HEADRELATIVE 0x00000001
#define DS3DMODE_DISABLE 0x00000002
#define DS3D_MINDISTANCEFACTOR 0.0f
#define DS3D_MAXDISTANCEFACTOR 10.0f
#define DS3D_DEFAULTDISTANCEFACTOR 1.0f
#define DS3D_MINROLLOFFFACTOR 0.0f
#define DS3D_MAXROLLOFFFACTOR 10.0f
#define DS3D_DEFAULTROLLOFFFACTOR 1.0f
#define DS3D_MINDOPPLERFACTOR 0.0f
#define DS3D_MAXDOPPLERFACTOR 10.0f
#define DS3D_DEFAULTDOPPLERFACTOR 1.0f
#define DS3D_DEFAULTMINDISTANCE 1.0f
#define DS3D_DEFAULTMAXDISTANCE 1000000000.0f
#define DS3D_MINCONEANGLE 0
#define DS3D_MAXCONEANGLE 360
#define DS3D_DEFAULTCONEANGLE 360
#define DS3D_DEFAULTCONEOUTSIDEVOLUME DSBVOLUME_MAX

// ---------------------------------------------------------------- GUIDs
extern const GUID CLSID_DirectSound;
extern const GUID IID_IDirectSound;
extern const GUID IID_IDirectSoundBuffer;
extern const GUID IID_IDirectSound3DBuffer;
extern const GUID IID_IDirectSound3DListener;

// ---------------------------------------------------------------- records
typedef struct _DSCAPS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwMinSecondarySampleRate;
    DWORD dwMaxSecondarySampleRate;
    DWORD dwPrimaryBuffers;
    DWORD dwMaxHwMixingAllBuffers;
    DWORD dwMaxHwMixingStaticBuffers;
    DWORD dwMaxHwMixingStreamingBuffers;
    DWORD dwFreeHwMixingAllBuffers;
    DWORD dwFreeHwMixingStaticBuffers;
    DWORD dwFreeHwMixingStreamingBuffers;
    DWORD dwMaxHw3DAllBuffers;
    DWORD dwMaxHw3DStaticBuffers;
    DWORD dwMaxHw3DStreamingBuffers;
    DWORD dwFreeHw3DAllBuffers;
    DWORD dwFreeHw3DStaticBuffers;
    DWORD dwFreeHw3DStreamingBuffers;
    DWORD dwTotalHwMemBytes;
    DWORD dwFreeHwMemBytes;
    DWORD dwMaxContigFreeHwMemBytes;
    DWORD dwUnlockTransferRateHwBuffers;
    DWORD dwPlayCpuOverheadSwBuffers;
    DWORD dwReserved1;
    DWORD dwReserved2;
} DSCAPS, *LPDSCAPS;

typedef struct _DSBCAPS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwUnlockTransferRate;
    DWORD dwPlayCpuOverhead;
} DSBCAPS, *LPDSBCAPS;

typedef struct _DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    LPWAVEFORMATEX lpwfxFormat;
    GUID guid3DAlgorithm;
} DSBUFFERDESC, *LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

typedef struct _DS3DBUFFER {
    DWORD dwSize;
    D3DVECTOR vPosition;
    D3DVECTOR vVelocity;
    DWORD dwInsideConeAngle;
    DWORD dwOutsideConeAngle;
    D3DVECTOR vConeOrientation;
    LONG lConeOutsideVolume;
    D3DVALUE flMinDistance;
    D3DVALUE flMaxDistance;
    DWORD dwMode;
} DS3DBUFFER, *LPDS3DBUFFER;
typedef const DS3DBUFFER* LPCDS3DBUFFER;

typedef struct _DS3DLISTENER {
    DWORD dwSize;
    D3DVECTOR vPosition;
    D3DVECTOR vVelocity;
    D3DVECTOR vOrientFront;
    D3DVECTOR vOrientTop;
    D3DVALUE flDistanceFactor;
    D3DVALUE flRolloffFactor;
    D3DVALUE flDopplerFactor;
} DS3DLISTENER, *LPDS3DLISTENER;
typedef const DS3DLISTENER* LPCDS3DLISTENER;

// ---------------------------------------------------------------- interfaces
struct IDirectSoundBuffer;
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

struct IDirectSound : public IUnknown {
    virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) = 0;
    virtual HRESULT GetCaps(LPDSCAPS caps) = 0;
    virtual HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    virtual HRESULT Compact() = 0;
    virtual HRESULT GetSpeakerConfig(LPDWORD config) = 0;
    virtual HRESULT SetSpeakerConfig(DWORD config) = 0;
    virtual HRESULT Initialize(LPCGUID guid) = 0;
};
typedef IDirectSound* LPDIRECTSOUND;

struct IDirectSoundBuffer : public IUnknown {
    virtual HRESULT GetCaps(LPDSBCAPS caps) = 0;
    virtual HRESULT GetCurrentPosition(LPDWORD play, LPDWORD write) = 0;
    virtual HRESULT GetFormat(LPWAVEFORMATEX format, DWORD size, LPDWORD written) = 0;
    virtual HRESULT GetVolume(LPLONG volume) = 0;
    virtual HRESULT GetPan(LPLONG pan) = 0;
    virtual HRESULT GetFrequency(LPDWORD frequency) = 0;
    virtual HRESULT GetStatus(LPDWORD status) = 0;
    virtual HRESULT Initialize(LPDIRECTSOUND sound, LPCDSBUFFERDESC desc) = 0;
    virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2, LPDWORD bytes2,
                         DWORD flags) = 0;
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
    virtual HRESULT SetFormat(LPCWAVEFORMATEX format) = 0;
    virtual HRESULT SetVolume(LONG volume) = 0;
    virtual HRESULT SetPan(LONG pan) = 0;
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) = 0;
    virtual HRESULT Restore() = 0;
};

struct IDirectSound3DBuffer : public IUnknown {
    virtual HRESULT GetAllParameters(LPDS3DBUFFER parameters) = 0;
    virtual HRESULT GetConeAngles(LPDWORD inside, LPDWORD outside) = 0;
    virtual HRESULT GetConeOrientation(LPD3DVECTOR orientation) = 0;
    virtual HRESULT GetConeOutsideVolume(LPLONG volume) = 0;
    virtual HRESULT GetMaxDistance(D3DVALUE* distance) = 0;
    virtual HRESULT GetMinDistance(D3DVALUE* distance) = 0;
    virtual HRESULT GetMode(LPDWORD mode) = 0;
    virtual HRESULT GetPosition(LPD3DVECTOR position) = 0;
    virtual HRESULT GetVelocity(LPD3DVECTOR velocity) = 0;
    virtual HRESULT SetAllParameters(LPCDS3DBUFFER parameters, DWORD apply) = 0;
    virtual HRESULT SetConeAngles(DWORD inside, DWORD outside, DWORD apply) = 0;
    virtual HRESULT SetConeOrientation(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;
    virtual HRESULT SetConeOutsideVolume(LONG volume, DWORD apply) = 0;
    virtual HRESULT SetMaxDistance(D3DVALUE distance, DWORD apply) = 0;
    virtual HRESULT SetMinDistance(D3DVALUE distance, DWORD apply) = 0;
    virtual HRESULT SetMode(DWORD mode, DWORD apply) = 0;
    virtual HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;
    virtual HRESULT SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;
};
typedef IDirectSound3DBuffer* LPDIRECTSOUND3DBUFFER;

struct IDirectSound3DListener : public IUnknown {
    virtual HRESULT GetAllParameters(LPDS3DLISTENER parameters) = 0;
    virtual HRESULT GetDistanceFactor(D3DVALUE* factor) = 0;
    virtual HRESULT GetDopplerFactor(D3DVALUE* factor) = 0;
    virtual HRESULT GetOrientation(LPD3DVECTOR front, LPD3DVECTOR top) = 0;
    virtual HRESULT GetPosition(LPD3DVECTOR position) = 0;
    virtual HRESULT GetRolloffFactor(D3DVALUE* factor) = 0;
    virtual HRESULT GetVelocity(LPD3DVECTOR velocity) = 0;
    virtual HRESULT SetAllParameters(LPCDS3DLISTENER parameters, DWORD apply) = 0;
    virtual HRESULT SetDistanceFactor(D3DVALUE factor, DWORD apply) = 0;
    virtual HRESULT SetDopplerFactor(D3DVALUE factor, DWORD apply) = 0;
    virtual HRESULT SetOrientation(D3DVALUE frontX, D3DVALUE frontY, D3DVALUE frontZ, D3DVALUE topX, D3DVALUE topY,
                                   D3DVALUE topZ, DWORD apply) = 0;
    virtual HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;
    virtual HRESULT SetRolloffFactor(D3DVALUE factor, DWORD apply) = 0;
    virtual HRESULT SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;
    virtual HRESULT CommitDeferredSettings() = 0;
};
typedef IDirectSound3DListener* LPDIRECTSOUND3DLISTENER;

// ---------------------------------------------------------------- entry points
// The device is always the backend's audio output; DSERR_NODRIVER when it
// cannot be opened (or RCV_FORCE has "nodsound").
HRESULT DirectSoundCreate(LPCGUID guid, LPDIRECTSOUND* sound, LPUNKNOWN outer);
typedef BOOL(CALLBACK* LPDSENUMCALLBACKA)(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context);
// The primary driver (no GUID, no module), then the backend's output.
HRESULT DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context);
#define DirectSoundEnumerate DirectSoundEnumerateA
#define LPDSENUMCALLBACK LPDSENUMCALLBACKA

namespace platform {
// Tests: every secondary buffer alive is lost, as when another program
// takes the device; its samples are gone until restored and refilled.
void LoseSoundBuffers();
// The objects DirectSound has alive: DirectSound objects and buffers.
int LiveSoundObjects();
}  // namespace platform
