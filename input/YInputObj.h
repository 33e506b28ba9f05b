// The input manager: its settings, the window messages it watches, the
// mouse acquisition and the two callbacks into the engine.
#pragma once

#include "platform/win32.h"

class YInputObjSettings;

class YInputObj {
public:
    typedef void (*CommandCallback)(const char* line);
    typedef void (*AxisCallback)(int a, int b);

    YInputObj();
    virtual ~YInputObj();
    YInputObj(const YInputObj&) = delete;
    YInputObj& operator=(const YInputObj&) = delete;

    void SetCommandCallback(CommandCallback callback) { m_commandCallback = callback; }
    void SetAxisCallback(AxisCallback callback) { m_axisCallback = callback; }
    CommandCallback GetCommandCallback() const { return m_commandCallback; }
    AxisCallback GetAxisCallback() const { return m_axisCallback; }

    // Creates the devices the settings ask for; 1 on success.
    int CreateDevices();
    void Destroy();
    // Every message of the frame window passes here first.
    void OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Once per pass of the main loop.
    void Update();

    void AcquireMouse();
    void UnacquireMouse();
    int IsMouseCaptured() const { return m_mouseCaptured; }
    int IsMouseAcquired() const { return m_mouseAcquired; }
    // The software cursor is hidden while the mouse steers.
    int HidesCursor() const { return m_mouseAcquired; }

    YInputObjSettings* m_settings;  // owned
    uint8_t m_focus;
    int m_devicesCreated;

private:
    CommandCallback m_commandCallback;
    AxisCallback m_axisCallback;
    int m_mouseCaptured;
    int m_mouseAcquired;
};
