// The DirectSound device: the DirectSound object, its primary buffer and
// the sound drivers of the machine. The sound manager derives from it.
#pragma once

#include "platform/dsound.h"
#include "platform/mfc.h"

class DSDriver;

// Appends the name of a DirectSound result ("DSERR_BUFFERLOST\n", ...).
void DSErrorText(HRESULT result, CString& text);

class YDXSound : public CObject {
public:
    YDXSound();
    ~YDXSound() override;

    int Create(const GUID* guid, DWORD cooperativeLevel, int primary3D);
    // Create at the priority level, then SetFormat.
    int CreateEx(const GUID* guid, int primary3D, DWORD sampleRate, WORD bits, int stereo);
    int SetFormat(DWORD sampleRate, WORD bits, int stereo);
    void Cleanup();

    // One DSCAPS count by index 0..11 (hardware mixing, then hardware 3D
    // buffers: maximum all, static, streaming; free all, static, streaming).
    DWORD GetCapsValue(int index);

    int EnumerateDrivers();
    CString GetDriverDescription(int index);
    GUID GetDriverGuid(int index);
    DSDriver* GetDriverRecord(int index);
    int IndexOfDescription(const char* text);
    int IndexOfModule(const char* text);
    GUID GetGuidByDescription(const char* text);
    GUID GetGuidByModule(const char* text);
    int GetDriverCount() const { return m_drivers.GetCount(); }
    int FillDriverLists(CStringArray* descriptions, CStringArray* modules);
    // Adds every description to a combo box window (CB_ADDSTRING).
    int FillDriverComboBox(CWnd* comboBox);
    // The device's caps as a tree: "Flags" with the flags set, "Caps" with
    // each count and its value under it.
    int FillCapsTree(CTreeCtrl* tree);
    int DoesDriverSupport3DHW(const char* description);

    void GetErrorText(char* text, int size);
    // The error text of a result into text (at most size characters), also
    // appended to the error window when there is one.
    static void ReportError(HRESULT result, CWnd* window, char* text, int size);

    LPDIRECTSOUND GetDirectSound() const { return m_directSound; }
    LPDIRECTSOUNDBUFFER GetPrimaryBuffer() const { return m_primaryBuffer; }
    HRESULT GetLastResult() const { return m_result; }
    void SetErrorWindow(CWnd* window) { m_errorWindow = window; }

    // Added to every sound buffer's volume (hundredths of a decibel).
    static LONG s_globalVolumeOffset;

protected:
    LPDIRECTSOUND m_directSound;
    const GUID* m_driverGuid;  // recorded only
    CTypedPtrList<CObList, DSDriver*> m_drivers;
    DWORD m_sampleRate;
    DWORD m_stereo;
    WORD m_bits;
    HRESULT m_result;
    CWnd* m_errorWindow;
    LPDIRECTSOUNDBUFFER m_primaryBuffer;

private:
    void DeleteDrivers();
    static BOOL CALLBACK AddDriver(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context);
};
