#include "input/YInputObj.h"

#include "input/YInputObjSettings.h"

YInputObj::YInputObj()
    : m_settings(new YInputObjSettings), m_focus(0), m_devicesCreated(0), m_commandCallback(nullptr),
      m_axisCallback(nullptr), m_mouseCaptured(0), m_mouseAcquired(0)
{
}

YInputObj::~YInputObj()
{
    Destroy();
    delete m_settings;
}

int YInputObj::CreateDevices()
{
    m_devicesCreated = 1;
    return 1;
}

void YInputObj::Destroy()
{
    UnacquireMouse();
    m_devicesCreated = 0;
}

void YInputObj::OnWindowMessage(UINT message, WPARAM, LPARAM)
{
    if (message == WM_KILLFOCUS) m_mouseCaptured = 0;
}

void YInputObj::Update() {}

void YInputObj::AcquireMouse()
{
    if (m_devicesCreated) m_mouseAcquired = 1;
}

void YInputObj::UnacquireMouse()
{
    m_mouseAcquired = 0;
}
