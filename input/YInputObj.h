// The input manager: the DirectInput devices, the binding table and its
// command queue, and the two analogue axes handed to the engine.
#pragma once

#include "foundation/YString.h"
#include "input/YDXEffect.h"
#include "input/YDXInput.h"
#include "input/YInputObjSettings.h"
#include "platform/mfc.h"

class YDXJoystick;

class YInputObj : public CObject {
    DECLARE_DYNAMIC(YInputObj)
public:
    typedef void (*CommandCallback)(const char* line);
    typedef void (*AxisCallback)(int32_t x, int32_t y);

    // The axes run from -AxisRange to AxisRange (0.45 x 12700).
    static const int32_t AxisRange = 5715;

    YInputObj(CommandCallback commandCallback = nullptr, AxisCallback axisCallback = nullptr);
    ~YInputObj() override;
    YInputObj(const YInputObj&) = delete;
    YInputObj& operator=(const YInputObj&) = delete;

    // Makes the devices; false only when DirectInput, the keyboard or the
    // mouse cannot be made. A missing joystick or light gun clears its
    // setting in the manager's copy.
    bool Create(const YInputObjSettings* settings);
    bool Destroy();
    void Update();
    void ProcessQueue(bool force);
    void ExecuteCommandString(const YString& text);
    bool AcquireMouse(bool skipMouse = false);
    void UnacquireMouse();
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool GetCursorClientPos(POINT* point);
    void Flush();

    // The binding table (forwarded to the settings copy).
    int32_t FindCommand(const char* name);
    int32_t SetCommand(const char* name, const char* description, int32_t type, int32_t key, int32_t mouseButton,
                       int32_t joyButton);
    bool SetAlias(int32_t index, const YString& text);
    void ClearAlias(int32_t index);
    int32_t GetAliasPartCount(int32_t index);
    YString GetAliasPart(int32_t index, int32_t part);
    YString GetAliasText(int32_t index);
    YString ListUnbound();
    int32_t FindCommandByCode(int32_t key, int32_t mouseButton, int32_t joyButton);
    YInputObjCommand* GetCommand(int32_t index);
    YInputObjCommand* GetCommandByName(const char* name);
    void SetCommandCount(int32_t count);
    // Returns the spared binding's index after nameless bindings left
    // without inputs were removed.
    int32_t ClearBinding(int32_t key, int32_t mouseButton, int32_t joyButton, int32_t sparedIndex);

    // Press, release and queries.
    void ExecuteBinding(int32_t index);
    void ReleaseBinding(int32_t index);
    void ReleaseBindingByName(const char* name);
    bool IsCommandActive(int32_t index);
    bool IsCommandActiveByName(const char* name);
    bool WasCommandActive(int32_t index);
    bool WasCommandActiveByName(const char* name);
    void ResetCommandState(int32_t index);
    bool ExpandAlias(const YString& word, YString& out);

    // Name tables: script name to code (-1 when none), code to display
    // name, code to script name, row index to script name.
    static int32_t KeyNameToCode(const char* name);
    static int32_t MouseNameToCode(const char* name);
    static int32_t JoyNameToCode(const char* name);
    static YString KeyCodeToName(int32_t code);
    static YString MouseCodeToName(int32_t code);
    static YString JoyCodeToName(int32_t code);
    static YString KeyCodeToScriptName(int32_t code);
    static YString MouseCodeToScriptName(int32_t code);
    static YString JoyCodeToScriptName(int32_t code);
    static YString KeyIndexToName(int32_t index);
    static YString MouseIndexToName(int32_t index);
    static YString JoyIndexToName(int32_t index);

    // The response curves.
    double MouseResponse(int32_t d) const;
    double JoystickResponse(int32_t d) const;

    int32_t m_activeMask;
    uint8_t m_enabled;
    double m_pointerX, m_pointerY;
    int32_t m_cursorX, m_cursorY;
    int32_t m_buttonLatch[3];
    YDXInput m_dxInput;
    YDXKeyboard m_keyboard;
    YDXMouse m_mouse;
    YDXJoystick* m_device;  // owned; null when none
    YDXEffect m_effect;
    uint8_t m_captured;
    uint8_t m_mouseAcquired;
    int32_t m_yAxis, m_xAxis, m_wheelAxis;
    uint8_t m_yDigital, m_xDigital;
    YInputObjSettings m_settings;
    CList<YString> m_queue;
    uint32_t m_waitUntil;
    CommandCallback m_commandCallback;
    AxisCallback m_axisCallback;

    // Limits that keep a cyclic alias table (one read from an archive skips
    // the cycle check) from running away.
    enum { MaxNesting = 16, MaxQueue = 256, MaxRunPerPass = 256, MaxExpansion = 10 };

private:
    bool ExpandAlias(const YString& word, YString& out, int depth);
    // Nesting of ProcessQueue and ExecuteBinding through the command callback.
    int32_t m_nesting;
};
