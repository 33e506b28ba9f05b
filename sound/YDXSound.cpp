#include "sound/YDXSound.h"

#include "platform/mmsystem.h"
#include "sound/DSDriver.h"

LONG YDXSound::s_globalVolumeOffset = 0;

namespace {
struct ResultName {
    HRESULT result;
    const char* text;
};

const ResultName kResultNames[] = {
    {DSERR_ALLOCATED, "DSERR_ALLOCATED\n"},
    {DSERR_ALREADYINITIALIZED, "DSERR_ALREADYINITIALIZED\n"},
    {DSERR_BADFORMAT, "DSERR_BADFORMAT\n"},
    {DSERR_BUFFERLOST, "DSERR_BUFFERLOST\n"},
    {DSERR_CONTROLUNAVAIL, "DSERR_CONTROLUNAVAIL\n"},
    {DSERR_GENERIC, "DSERR_GENERIC\n"},
    {DSERR_INVALIDCALL, "DSERR_INVALIDCALL\n"},
    {DSERR_INVALIDPARAM, "DSERR_INVALIDPARAM\n"},
    {DSERR_NOAGGREGATION, "DSERR_NOAGGREGATION\n"},
    {DSERR_NODRIVER, "DSERR_NODRIVER\n"},
    {DSERR_NOINTERFACE, "DSERR_NOINTERFACE\n"},
    {DSERR_OTHERAPPHASPRIO, "DSERR_OTHERAPPHASPRIO\n"},
    {DSERR_OUTOFMEMORY, "DSERR_OUTOFMEMORY\n"},
    {DSERR_PRIOLEVELNEEDED, "DSERR_PRIOLEVELNEEDED\n"},
    {DSERR_UNINITIALIZED, "DSERR_UNINITIALIZED\n"},
    {DSERR_UNSUPPORTED, "DSERR_UNSUPPORTED\n"},
};

// DSCAPS counts by GetCapsValue index.
const size_t kCapsCounts[] = {
    offsetof(DSCAPS, dwMaxHwMixingAllBuffers),   offsetof(DSCAPS, dwMaxHwMixingStaticBuffers),
    offsetof(DSCAPS, dwMaxHwMixingStreamingBuffers), offsetof(DSCAPS, dwFreeHwMixingAllBuffers),
    offsetof(DSCAPS, dwFreeHwMixingStaticBuffers), offsetof(DSCAPS, dwFreeHwMixingStreamingBuffers),
    offsetof(DSCAPS, dwMaxHw3DAllBuffers),       offsetof(DSCAPS, dwMaxHw3DStaticBuffers),
    offsetof(DSCAPS, dwMaxHw3DStreamingBuffers), offsetof(DSCAPS, dwFreeHw3DAllBuffers),
    offsetof(DSCAPS, dwFreeHw3DStaticBuffers),   offsetof(DSCAPS, dwFreeHw3DStreamingBuffers),
};

// DSCAPS flags in the order the caps tree shows them.
const ResultName kCapsFlags[] = {
    {DSCAPS_CERTIFIED, "CERTIFIED"},         {DSCAPS_CONTINUOUSRATE, "CONTINUOUSRATE"},
    {DSCAPS_EMULDRIVER, "EMULDRIVER"},       {DSCAPS_PRIMARY16BIT, "PRIMARY16BIT"},
    {DSCAPS_PRIMARY8BIT, "PRIMARY8BIT"},     {DSCAPS_PRIMARYMONO, "PRIMARYMONO"},
    {DSCAPS_PRIMARYSTEREO, "PRIMARYSTEREO"}, {DSCAPS_SECONDARY16BIT, "SECONDARY16BIT"},
    {DSCAPS_SECONDARY8BIT, "SECONDARY8BIT"}, {DSCAPS_SECONDARYMONO, "SECONDARYMONO"},
    {DSCAPS_SECONDARYSTEREO, "SECONDARYSTEREO"},
};

// The caps tree's counts: the DSCAPS fields from the minimum secondary rate on.
const char* const kCapsNames[] = {
    "Min Secondary Sample Rate",        "Max Secondary Sample Rate",
    "Primary Buffers",                  "Max HW Mixing All Buffers",
    "Max HW Mixing Static Buffers",     "Max HW Mixing Streaming Buffers",
    "Free HW Mixing All Buffers",       "Free HW Mixing Static Buffers",
    "Free HW Mixing Streaming Buffers", "Max HW 3D All Buffers",
    "Max HW 3D Static Buffers",         "Max HW 3D Streaming Buffers",
    "Free HW 3D All Buffers",           "Free HW 3D Static Buffers",
    "Free HW 3D Streaming Buffers",     "Total Sound Card Memory",
    "Free Sound Card Memory",           "Max Free Block of Sound Card Memory",
    "Transfer Rate HW Buffers",         "CPU Overhead SW Buffers",
};
static_assert(offsetof(DSCAPS, dwMinSecondarySampleRate) + sizeof(kCapsNames) / sizeof(kCapsNames[0]) * 4 ==
                  offsetof(DSCAPS, dwReserved1),
              "one name per count");
}  // namespace

void DSErrorText(HRESULT result, CString& text)
{
    for (const ResultName& name : kResultNames) {
        if (name.result == result) {
            text += name.text;
            return;
        }
    }
    text += "Undefined DirectSound Error\n";
}

YDXSound::YDXSound()
    : m_directSound(nullptr), m_driverGuid(nullptr), m_sampleRate(22050), m_stereo(1), m_bits(8), m_result(DS_OK),
      m_errorWindow(nullptr), m_primaryBuffer(nullptr)
{
    s_globalVolumeOffset = 0;
}

YDXSound::~YDXSound()
{
    Cleanup();
    DeleteDrivers();
}

int YDXSound::Create(const GUID* guid, DWORD cooperativeLevel, int primary3D)
{
    ::PlaySoundA(nullptr, nullptr, SND_PURGE);
    if (m_directSound) Cleanup();
    m_sampleRate = 22050;
    m_stereo = 1;
    m_bits = 8;
    m_driverGuid = guid;
    m_result = DirectSoundCreate(nullptr, &m_directSound, nullptr);
    if (FAILED(m_result)) {
        m_directSound = nullptr;
        return 0;
    }
    CWnd* mainWindow = AfxGetMainWnd();
    m_result = m_directSound->SetCooperativeLevel(mainWindow ? mainWindow->m_hWnd : nullptr, cooperativeLevel);
    if (FAILED(m_result)) {
        Cleanup();
        return 0;
    }
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | (primary3D ? DSBCAPS_CTRL3D : 0);
    m_result = m_directSound->CreateSoundBuffer(&desc, &m_primaryBuffer, nullptr);
    if (FAILED(m_result)) {
        m_primaryBuffer = nullptr;
        return 0;
    }
    return 1;
}

int YDXSound::CreateEx(const GUID* guid, int primary3D, DWORD sampleRate, WORD bits, int stereo)
{
    if (!Create(guid, DSSCL_PRIORITY, primary3D)) return 0;
    return SetFormat(sampleRate, bits, stereo);
}

int YDXSound::SetFormat(DWORD sampleRate, WORD bits, int stereo)
{
    if (!m_directSound) return 0;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = stereo ? 2 : 1;
    format.nSamplesPerSec = sampleRate;
    format.wBitsPerSample = bits;
    format.nBlockAlign = WORD(format.nChannels * bits / 8);
    format.nAvgBytesPerSec = format.nBlockAlign * sampleRate;
    m_sampleRate = sampleRate;
    m_bits = bits;
    m_stereo = stereo ? 1 : 0;
    if (m_primaryBuffer) {
        m_result = m_primaryBuffer->SetFormat(&format);
        WAVEFORMATEX actual = {};
        m_primaryBuffer->GetFormat(&actual, 18, nullptr);
    }
    return 1;
}

void YDXSound::Cleanup()
{
    if (m_primaryBuffer) m_primaryBuffer->Release();
    m_primaryBuffer = nullptr;
    if (m_directSound) m_directSound->Release();
    m_directSound = nullptr;
}

DWORD YDXSound::GetCapsValue(int index)
{
    if (!m_directSound || index < 0 || index > 11) return 0;
    DSCAPS caps = {};
    caps.dwSize = sizeof(caps);
    m_result = m_directSound->GetCaps(&caps);
    if (FAILED(m_result)) return 0;
    DWORD value;
    memcpy(&value, reinterpret_cast<const BYTE*>(&caps) + kCapsCounts[index], sizeof(value));
    return value;
}

void YDXSound::DeleteDrivers()
{
    while (!m_drivers.IsEmpty()) delete m_drivers.RemoveHead();
}

BOOL CALLBACK YDXSound::AddDriver(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context)
{
    static_cast<YDXSound*>(context)->m_drivers.AddTail(new DSDriver(guid, description, module));
    return TRUE;
}

int YDXSound::EnumerateDrivers()
{
    DeleteDrivers();
    m_result = DirectSoundEnumerateA(&YDXSound::AddDriver, this);
    return SUCCEEDED(m_result);
}

DSDriver* YDXSound::GetDriverRecord(int index)
{
    if (index < 0 || index >= m_drivers.GetCount()) return nullptr;
    POSITION pos = m_drivers.GetHeadPosition();
    for (int i = 0; i < index; ++i) m_drivers.GetNext(pos);
    return m_drivers.GetAt(pos);
}

CString YDXSound::GetDriverDescription(int index)
{
    DSDriver* driver = GetDriverRecord(index);
    return driver ? driver->m_description : CString();
}

GUID YDXSound::GetDriverGuid(int index)
{
    DSDriver* driver = GetDriverRecord(index);
    return driver ? driver->m_guid : GUID_NULL;
}

int YDXSound::IndexOfDescription(const char* text)
{
    int index = 0;
    for (POSITION pos = m_drivers.GetHeadPosition(); pos; ++index)
        if (text && m_drivers.GetNext(pos)->m_description.CompareNoCase(text) == 0) return index;
    return -1;
}

int YDXSound::IndexOfModule(const char* text)
{
    int index = 0;
    for (POSITION pos = m_drivers.GetHeadPosition(); pos; ++index)
        if (text && m_drivers.GetNext(pos)->m_module.CompareNoCase(text) == 0) return index;
    return -1;
}

GUID YDXSound::GetGuidByDescription(const char* text) { return GetDriverGuid(IndexOfDescription(text)); }

GUID YDXSound::GetGuidByModule(const char* text) { return GetDriverGuid(IndexOfModule(text)); }

int YDXSound::FillDriverLists(CStringArray* descriptions, CStringArray* modules)
{
    if (m_drivers.IsEmpty()) return 0;
    for (POSITION pos = m_drivers.GetHeadPosition(); pos;) {
        DSDriver* driver = m_drivers.GetNext(pos);
        if (descriptions) descriptions->Add(driver->m_description);
        if (modules) modules->Add(driver->m_module);
    }
    return 1;
}

int YDXSound::FillDriverComboBox(CWnd* comboBox)
{
    if (m_drivers.IsEmpty() || !comboBox) return 0;
    for (POSITION pos = m_drivers.GetHeadPosition(); pos;) {
        const CString& description = m_drivers.GetNext(pos)->m_description;
        comboBox->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<const char*>(description)));
    }
    return 1;
}

int YDXSound::FillCapsTree(CTreeCtrl* tree)
{
    if (!m_directSound || !tree) return 0;
    DSCAPS caps = {};
    caps.dwSize = sizeof(caps);
    m_result = m_directSound->GetCaps(&caps);
    if (FAILED(m_result)) return 0;
    tree->DeleteAllItems();
    HTREEITEM flags = tree->InsertItem("Flags");
    for (const ResultName& flag : kCapsFlags)
        if (caps.dwFlags & DWORD(flag.result)) tree->InsertItem(flag.text, flags);
    HTREEITEM counts = tree->InsertItem("Caps");
    const BYTE* first = reinterpret_cast<const BYTE*>(&caps) + offsetof(DSCAPS, dwMinSecondarySampleRate);
    for (size_t i = 0; i < sizeof(kCapsNames) / sizeof(kCapsNames[0]); ++i) {
        DWORD value;
        memcpy(&value, first + i * sizeof(value), sizeof(value));
        CString text;
        text.Format("%d", int(value));
        tree->InsertItem(text, tree->InsertItem(kCapsNames[i], counts));
    }
    return 1;
}

int YDXSound::DoesDriverSupport3DHW(const char* description)
{
    const int index = IndexOfDescription(description);
    if (index < 0) return 0;
    const GUID guid = GetDriverGuid(index);
    IDirectSound* probe = nullptr;
    if (FAILED(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_ALL, IID_IDirectSound,
                                reinterpret_cast<void**>(&probe))) || !probe)
        return 0;
    int supported = 0;
    if (SUCCEEDED(probe->Initialize(IsEqualGUID(guid, GUID_NULL) ? nullptr : &guid))) {
        DSCAPS caps = {};
        caps.dwSize = sizeof(caps);
        if (SUCCEEDED(probe->GetCaps(&caps)))
            supported = caps.dwMaxHw3DAllBuffers != 0 && caps.dwMaxHw3DStaticBuffers != 0;
    }
    probe->Release();
    return supported;
}

void YDXSound::ReportError(HRESULT result, CWnd* window, char* text, int size)
{
    CString name;
    DSErrorText(result, name);
    if (text && size > 0) lstrcpynA(text, name, size);
    if (window) {
        window->SendMessage(EM_SETSEL, 65534, 65535);
        window->SendMessage(EM_SCROLLCARET);
        window->SendMessage(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(static_cast<const char*>(name)));
    }
}

void YDXSound::GetErrorText(char* text, int size) { ReportError(m_result, m_errorWindow, text, size); }
