// DirectInput 7: the system keyboard and mouse and the backend's joysticks,
// fed by the backend's events as the message pump takes them.
#pragma once

#include "platform/unknwn.h"
#include "platform/win32.h"

#include "platform/backend/Backend.h"

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0700
#endif

// ---------------------------------------------------------------- results
#define DI_OK S_OK
#define DI_NOTATTACHED S_FALSE
#define DI_BUFFEROVERFLOW S_FALSE
#define DI_PROPNOEFFECT S_FALSE
#define DI_NOEFFECT S_FALSE
#define DIERR_OLDDIRECTINPUTVERSION ((HRESULT)0x8007047EL)
#define DIERR_BETADIRECTINPUTVERSION ((HRESULT)0x80070481L)
#define DIERR_BADDRIVERVER ((HRESULT)0x80070077L)
#define DIERR_DEVICENOTREG REGDB_E_CLASSNOTREG
#define DIERR_NOTFOUND ((HRESULT)0x80070002L)
#define DIERR_OBJECTNOTFOUND ((HRESULT)0x80070002L)
#define DIERR_INVALIDPARAM E_INVALIDARG
#define DIERR_NOINTERFACE E_NOINTERFACE
#define DIERR_GENERIC E_FAIL
#define DIERR_OUTOFMEMORY E_OUTOFMEMORY
#define DIERR_UNSUPPORTED E_NOTIMPL
#define DIERR_NOTINITIALIZED ((HRESULT)0x80070015L)
#define DIERR_ALREADYINITIALIZED ((HRESULT)0x800704DFL)
#define DIERR_NOAGGREGATION CLASS_E_NOAGGREGATION
#define DIERR_OTHERAPPHASPRIO ((HRESULT)0x80070005L)
#define DIERR_INPUTLOST ((HRESULT)0x8007001EL)
#define DIERR_ACQUIRED ((HRESULT)0x800700AAL)
#define DIERR_NOTACQUIRED ((HRESULT)0x8007000CL)
#define DIERR_READONLY ((HRESULT)0x80070005L)
#define DIERR_HANDLEEXISTS ((HRESULT)0x80070005L)
#define DIERR_NOTBUFFERED ((HRESULT)0x80040207L)
#define DIERR_DEVICEFULL ((HRESULT)0x80040201L)
#define DIERR_MOREDATA ((HRESULT)0x80040202L)
#define DIERR_NOTDOWNLOADED ((HRESULT)0x80040203L)
#define DIERR_HASEFFECTS ((HRESULT)0x80040204L)
#define DIERR_NOTEXCLUSIVEACQUIRED ((HRESULT)0x80040205L)
#define DIERR_INCOMPLETEEFFECT ((HRESULT)0x80040206L)
#define DIERR_EFFECTPLAYING ((HRESULT)0x80040208L)
#define DI_POLLEDDEVICE ((HRESULT)2)
#define DI_DOWNLOADSKIPPED ((HRESULT)3)
#define DI_EFFECTRESTARTED ((HRESULT)4)
#define DI_TRUNCATED ((HRESULT)8)
#define DI_TRUNCATEDANDRESTARTED ((HRESULT)12)
#ifndef E_PENDING
#define E_PENDING ((HRESULT)0x8000000AL)
#endif

// ---------------------------------------------------------------- flags
#define DISCL_EXCLUSIVE 0x00000001
#define DISCL_NONEXCLUSIVE 0x00000002
#define DISCL_FOREGROUND 0x00000004
#define DISCL_BACKGROUND 0x00000008
#define DISCL_NOWINKEY 0x00000010

#define DIEDFL_ALLDEVICES 0x00000000
#define DIEDFL_ATTACHEDONLY 0x00000001
#define DIEDFL_FORCEFEEDBACK 0x00000100

#define DIENUM_STOP 0
#define DIENUM_CONTINUE 1

#define DIDEVTYPE_DEVICE 1
#define DIDEVTYPE_MOUSE 2
#define DIDEVTYPE_KEYBOARD 3
#define DIDEVTYPE_JOYSTICK 4
#define DIDEVTYPEJOYSTICK_TRADITIONAL 2
#define GET_DIDEVICE_TYPE(type) ((BYTE)(type))
#define GET_DIDEVICE_SUBTYPE(type) ((BYTE)((type) >> 8))

#define DIGDD_PEEK 0x00000001

#define DIPH_DEVICE 0
#define DIPH_BYOFFSET 1
#define DIPROPAXISMODE_ABS 0
#define DIPROPAXISMODE_REL 1

#define DIDC_ATTACHED 0x00000001
#define DIDC_POLLEDDEVICE 0x00000002
#define DIDC_FORCEFEEDBACK 0x00000100

// ---------------------------------------------------------------- GUIDs
extern const GUID IID_IDirectInput7A;
extern const GUID IID_IDirectInputDevice7A;
extern const GUID GUID_SysKeyboard;
extern const GUID GUID_SysMouse;
extern const GUID GUID_XAxis;
extern const GUID GUID_YAxis;
extern const GUID GUID_ZAxis;
extern const GUID GUID_Button;
extern const GUID GUID_Key;
#define IID_IDirectInput7 IID_IDirectInput7A
#define IID_IDirectInputDevice7 IID_IDirectInputDevice7A

// Properties, named by these objects.
extern const GUID DIPROP_BUFFERSIZE;
extern const GUID DIPROP_AXISMODE;

// ---------------------------------------------------------------- records
typedef struct DIOBJECTDATAFORMAT {
    const GUID* pguid;
    DWORD dwOfs;
    DWORD dwType;
    DWORD dwFlags;
} DIOBJECTDATAFORMAT, *LPDIOBJECTDATAFORMAT;
typedef const DIOBJECTDATAFORMAT* LPCDIOBJECTDATAFORMAT;

typedef struct DIDATAFORMAT {
    DWORD dwSize;
    DWORD dwObjSize;
    DWORD dwFlags;
    DWORD dwDataSize;
    DWORD dwNumObjs;
    LPDIOBJECTDATAFORMAT rgodf;
} DIDATAFORMAT, *LPDIDATAFORMAT;
typedef const DIDATAFORMAT* LPCDIDATAFORMAT;

#define DIDF_ABSAXIS 0x00000001
#define DIDF_RELAXIS 0x00000002

// The standard formats: 256 key bytes, and the mouse states below.
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse;
extern const DIDATAFORMAT c_dfDIMouse2;

typedef struct DIMOUSESTATE {
    LONG lX;
    LONG lY;
    LONG lZ;
    BYTE rgbButtons[4];
} DIMOUSESTATE, *LPDIMOUSESTATE;

typedef struct DIMOUSESTATE2 {
    LONG lX;
    LONG lY;
    LONG lZ;
    BYTE rgbButtons[8];
} DIMOUSESTATE2, *LPDIMOUSESTATE2;

#define DIMOFS_X 0
#define DIMOFS_Y 4
#define DIMOFS_Z 8
#define DIMOFS_BUTTON0 12
#define DIMOFS_BUTTON1 13
#define DIMOFS_BUTTON2 14
#define DIMOFS_BUTTON3 15

typedef struct DIDEVICEOBJECTDATA {
    DWORD dwOfs;
    DWORD dwData;
    DWORD dwTimeStamp;
    DWORD dwSequence;
} DIDEVICEOBJECTDATA, *LPDIDEVICEOBJECTDATA;
typedef const DIDEVICEOBJECTDATA* LPCDIDEVICEOBJECTDATA;

typedef struct DIPROPHEADER {
    DWORD dwSize;
    DWORD dwHeaderSize;
    DWORD dwObj;
    DWORD dwHow;
} DIPROPHEADER, *LPDIPROPHEADER;
typedef const DIPROPHEADER* LPCDIPROPHEADER;

typedef struct DIPROPDWORD {
    DIPROPHEADER diph;
    DWORD dwData;
} DIPROPDWORD, *LPDIPROPDWORD;

typedef struct DIDEVICEINSTANCEA {
    DWORD dwSize;
    GUID guidInstance;
    GUID guidProduct;
    DWORD dwDevType;
    CHAR tszInstanceName[MAX_PATH];
    CHAR tszProductName[MAX_PATH];
    GUID guidFFDriver;
    WORD wUsagePage;
    WORD wUsage;
} DIDEVICEINSTANCEA, *LPDIDEVICEINSTANCEA;
typedef const DIDEVICEINSTANCEA* LPCDIDEVICEINSTANCEA;
typedef DIDEVICEINSTANCEA DIDEVICEINSTANCE;
typedef LPDIDEVICEINSTANCEA LPDIDEVICEINSTANCE;
typedef LPCDIDEVICEINSTANCEA LPCDIDEVICEINSTANCE;

typedef struct DIDEVCAPS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwDevType;
    DWORD dwAxes;
    DWORD dwButtons;
    DWORD dwPOVs;
    DWORD dwFFSamplePeriod;
    DWORD dwFFMinTimeResolution;
    DWORD dwFirmwareRevision;
    DWORD dwHardwareRevision;
    DWORD dwFFDriverVersion;
} DIDEVCAPS, *LPDIDEVCAPS;

typedef BOOL(CALLBACK* LPDIENUMDEVICESCALLBACKA)(LPCDIDEVICEINSTANCEA, LPVOID);
typedef LPDIENUMDEVICESCALLBACKA LPDIENUMDEVICESCALLBACK;

// ---------------------------------------------------------------- joysticks
// The standard joystick state: 80 bytes.
typedef struct DIJOYSTATE {
    LONG lX;
    LONG lY;
    LONG lZ;
    LONG lRx;
    LONG lRy;
    LONG lRz;
    LONG rglSlider[2];
    DWORD rgdwPOV[4];
    BYTE rgbButtons[32];
} DIJOYSTATE, *LPDIJOYSTATE;
static_assert(sizeof(DIJOYSTATE) == 80, "DIJOYSTATE is 80 bytes");
extern const DIDATAFORMAT c_dfDIJoystick;

#define DIJOFS_X 0
#define DIJOFS_Y 4
#define DIJOFS_Z 8
#define DIJOFS_RX 12
#define DIJOFS_RY 16
#define DIJOFS_RZ 20
#define DIJOFS_SLIDER(n) (24 + (n) * 4)
#define DIJOFS_POV(n) (32 + (n) * 4)
#define DIJOFS_BUTTON(n) (48 + (n))

typedef struct DIPROPRANGE {
    DIPROPHEADER diph;
    LONG lMin;
    LONG lMax;
} DIPROPRANGE, *LPDIPROPRANGE;

extern const GUID DIPROP_RANGE;
extern const GUID DIPROP_DEADZONE;
extern const GUID DIPROP_AUTOCENTER;
extern const GUID DIPROP_CALIBRATIONMODE;
#define DIPROPAUTOCENTER_OFF 0
#define DIPROPAUTOCENTER_ON 1
#define DIPROPCALIBRATIONMODE_COOKED 0
#define DIPROPCALIBRATIONMODE_RAW 1

// The product GUID of a generic joystick.
extern const GUID GUID_Joystick;

// ---------------------------------------------------------------- effects
extern const GUID GUID_ConstantForce;
extern const GUID GUID_Sine;
extern const GUID GUID_CustomForce;

#define DI_FFNOMINALMAX 10000
#define DI_SECONDS 1000000
#define INFINITE_DURATION 0xFFFFFFFF
#define DIEB_NOTRIGGER 0xFFFFFFFF

#define DIEFF_OBJECTIDS 0x00000001
#define DIEFF_OBJECTOFFSETS 0x00000002
#define DIEFF_CARTESIAN 0x00000010
#define DIEFF_POLAR 0x00000020
#define DIEFF_SPHERICAL 0x00000040

#define DIEP_DURATION 0x00000001
#define DIEP_SAMPLEPERIOD 0x00000002
#define DIEP_GAIN 0x00000004
#define DIEP_TRIGGERBUTTON 0x00000008
#define DIEP_TRIGGERREPEATINTERVAL 0x00000010
#define DIEP_AXES 0x00000020
#define DIEP_DIRECTION 0x00000040
#define DIEP_ENVELOPE 0x00000080
#define DIEP_TYPESPECIFICPARAMS 0x00000100
#define DIEP_ALLPARAMS 0x000001FF
#define DIEP_START 0x20000000

#define DIES_SOLO 0x00000001
#define DIES_NODOWNLOAD 0x80000000

#define DISFFC_RESET 0x00000001
#define DISFFC_STOPALL 0x00000002
#define DISFFC_PAUSE 0x00000004
#define DISFFC_CONTINUE 0x00000008
#define DISFFC_SETACTUATORSON 0x00000010
#define DISFFC_SETACTUATORSOFF 0x00000020

typedef struct DIENVELOPE {
    DWORD dwSize;
    DWORD dwAttackLevel;
    DWORD dwAttackTime;  // microseconds
    DWORD dwFadeLevel;
    DWORD dwFadeTime;  // microseconds
} DIENVELOPE, *LPDIENVELOPE;
typedef const DIENVELOPE* LPCDIENVELOPE;

typedef struct DIPERIODIC {
    DWORD dwMagnitude;
    LONG lOffset;
    DWORD dwPhase;
    DWORD dwPeriod;  // microseconds
} DIPERIODIC, *LPDIPERIODIC;

typedef struct DICONSTANTFORCE {
    LONG lMagnitude;
} DICONSTANTFORCE, *LPDICONSTANTFORCE;

// The effect description; the pointers are 32-bit fields in the original
// 56-byte record and plain pointers here.
typedef struct DIEFFECT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwDuration;  // microseconds
    DWORD dwSamplePeriod;
    DWORD dwGain;
    DWORD dwTriggerButton;
    DWORD dwTriggerRepeatInterval;
    DWORD cAxes;
    LPDWORD rgdwAxes;
    LPLONG rglDirection;
    LPDIENVELOPE lpEnvelope;
    DWORD cbTypeSpecificParams;
    LPVOID lpvTypeSpecificParams;
} DIEFFECT, *LPDIEFFECT;
typedef const DIEFFECT* LPCDIEFFECT;

struct IDirectInputEffect : public IUnknown {
    virtual HRESULT GetEffectGuid(LPGUID guid) = 0;
    virtual HRESULT GetParameters(LPDIEFFECT parameters, DWORD flags) = 0;
    virtual HRESULT SetParameters(LPCDIEFFECT parameters, DWORD flags) = 0;
    virtual HRESULT Start(DWORD iterations, DWORD flags) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Download() = 0;
    virtual HRESULT Unload() = 0;
};
typedef IDirectInputEffect* LPDIRECTINPUTEFFECT;

// ---------------------------------------------------------------- interfaces
struct IDirectInputDevice7A : public IUnknown {
    virtual HRESULT GetCapabilities(LPDIDEVCAPS caps) = 0;
    virtual HRESULT GetProperty(REFGUID property, LPDIPROPHEADER header) = 0;
    virtual HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    virtual HRESULT GetDeviceState(DWORD size, LPVOID data) = 0;
    virtual HRESULT GetDeviceData(DWORD objectSize, LPDIDEVICEOBJECTDATA data, LPDWORD inOut, DWORD flags) = 0;
    virtual HRESULT SetDataFormat(LPCDIDATAFORMAT format) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT GetDeviceInfo(LPDIDEVICEINSTANCEA info) = 0;
    virtual HRESULT Poll() = 0;
    // Force feedback (DirectInput 5 and later); DIERR_UNSUPPORTED on
    // devices without it.
    virtual HRESULT CreateEffect(REFGUID effect, LPCDIEFFECT parameters, LPDIRECTINPUTEFFECT* out, LPUNKNOWN outer) = 0;
    virtual HRESULT SendForceFeedbackCommand(DWORD command) = 0;
};
// Version 2 of the device interface is the same interface here.
typedef IDirectInputDevice7A IDirectInputDevice2A;
typedef IDirectInputDevice7A IDirectInputDevice2;
typedef IDirectInputDevice7A* LPDIRECTINPUTDEVICE2A;
typedef IDirectInputDevice7A* LPDIRECTINPUTDEVICE2;
#define IID_IDirectInputDevice2A IID_IDirectInputDevice7A
#define IID_IDirectInputDevice2 IID_IDirectInputDevice7A
typedef IDirectInputDevice7A IDirectInputDevice7;
typedef IDirectInputDevice7A* LPDIRECTINPUTDEVICE7A;
typedef IDirectInputDevice7A* LPDIRECTINPUTDEVICE7;
typedef IDirectInputDevice7A* LPDIRECTINPUTDEVICE;

struct IDirectInput7A : public IUnknown {
    virtual HRESULT CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICE* device, LPUNKNOWN outer) = 0;
    virtual HRESULT EnumDevices(DWORD devType, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD flags) = 0;
    virtual HRESULT GetDeviceStatus(REFGUID instance) = 0;
    virtual HRESULT Initialize(HINSTANCE instance, DWORD version) = 0;
    virtual HRESULT CreateDeviceEx(REFGUID instance, REFIID iid, LPVOID* device, LPUNKNOWN outer) = 0;
};
typedef IDirectInput7A IDirectInput7;
typedef IDirectInput7A* LPDIRECTINPUT7A;
typedef IDirectInput7A* LPDIRECTINPUT7;

// The older entry: the DirectInput object of the given version.
HRESULT WINAPI DirectInputCreateA(HINSTANCE instance, DWORD version, LPDIRECTINPUT7A* object, LPUNKNOWN outer);
HRESULT WINAPI DirectInputCreateEx(HINSTANCE instance, DWORD version, REFIID iid, LPVOID* object, LPUNKNOWN outer);

// ---------------------------------------------------------------- key codes
#define DIK_ESCAPE 0x01
#define DIK_1 0x02
#define DIK_2 0x03
#define DIK_3 0x04
#define DIK_4 0x05
#define DIK_5 0x06
#define DIK_6 0x07
#define DIK_7 0x08
#define DIK_8 0x09
#define DIK_9 0x0A
#define DIK_0 0x0B
#define DIK_MINUS 0x0C
#define DIK_EQUALS 0x0D
#define DIK_BACK 0x0E
#define DIK_TAB 0x0F
#define DIK_Q 0x10
#define DIK_W 0x11
#define DIK_E 0x12
#define DIK_R 0x13
#define DIK_T 0x14
#define DIK_Y 0x15
#define DIK_U 0x16
#define DIK_I 0x17
#define DIK_O 0x18
#define DIK_P 0x19
#define DIK_LBRACKET 0x1A
#define DIK_RBRACKET 0x1B
#define DIK_RETURN 0x1C
#define DIK_LCONTROL 0x1D
#define DIK_A 0x1E
#define DIK_S 0x1F
#define DIK_D 0x20
#define DIK_F 0x21
#define DIK_G 0x22
#define DIK_H 0x23
#define DIK_J 0x24
#define DIK_K 0x25
#define DIK_L 0x26
#define DIK_SEMICOLON 0x27
#define DIK_APOSTROPHE 0x28
#define DIK_GRAVE 0x29
#define DIK_LSHIFT 0x2A
#define DIK_BACKSLASH 0x2B
#define DIK_Z 0x2C
#define DIK_X 0x2D
#define DIK_C 0x2E
#define DIK_V 0x2F
#define DIK_B 0x30
#define DIK_N 0x31
#define DIK_M 0x32
#define DIK_COMMA 0x33
#define DIK_PERIOD 0x34
#define DIK_SLASH 0x35
#define DIK_RSHIFT 0x36
#define DIK_MULTIPLY 0x37
#define DIK_LMENU 0x38
#define DIK_SPACE 0x39
#define DIK_CAPITAL 0x3A
#define DIK_F1 0x3B
#define DIK_F2 0x3C
#define DIK_F3 0x3D
#define DIK_F4 0x3E
#define DIK_F5 0x3F
#define DIK_F6 0x40
#define DIK_F7 0x41
#define DIK_F8 0x42
#define DIK_F9 0x43
#define DIK_F10 0x44
#define DIK_NUMLOCK 0x45
#define DIK_SCROLL 0x46
#define DIK_NUMPAD7 0x47
#define DIK_NUMPAD8 0x48
#define DIK_NUMPAD9 0x49
#define DIK_SUBTRACT 0x4A
#define DIK_NUMPAD4 0x4B
#define DIK_NUMPAD5 0x4C
#define DIK_NUMPAD6 0x4D
#define DIK_ADD 0x4E
#define DIK_NUMPAD1 0x4F
#define DIK_NUMPAD2 0x50
#define DIK_NUMPAD3 0x51
#define DIK_NUMPAD0 0x52
#define DIK_DECIMAL 0x53
#define DIK_F11 0x57
#define DIK_F12 0x58
#define DIK_NUMPADENTER 0x9C
#define DIK_RCONTROL 0x9D
#define DIK_DIVIDE 0xB5
#define DIK_RMENU 0xB8
#define DIK_PAUSE 0xC5
#define DIK_HOME 0xC7
#define DIK_UP 0xC8
#define DIK_PRIOR 0xC9
#define DIK_LEFT 0xCB
#define DIK_RIGHT 0xCD
#define DIK_END 0xCF
#define DIK_DOWN 0xD0
#define DIK_NEXT 0xD1
#define DIK_INSERT 0xD2
#define DIK_DELETE 0xD3

namespace platform {
// Hands one backend event to the DirectInput devices (the message pump
// calls this for every event it takes).
void FeedDirectInput(const BackendEvent& event);
// The name of a DirectInput result ("DI_OK", "DIERR_INPUTLOST", ...);
// "unknown" for one that is not DirectInput's.
const char* DirectInputResultName(HRESULT result);
// Forgets key and button states and gives the program the focus (tests).
void ResetDirectInput();
}  // namespace platform
