#include "gui/YInterfaceMgr.h"

#include "gui/YWindow.h"

YInterfaceMgr::YInterfaceMgr(YInterfaceFactory* factory)
    : m_redrawAll(0), m_clientRect{0, 0, 640, 480}, m_messages(0), m_steps(0), m_factory(factory)
{
}

YInterfaceMgr::~YInterfaceMgr() = default;

YInterfaceFactory* YInterfaceMgr::SetFactory(YInterfaceFactory* factory)
{
    YInterfaceFactory* previous = m_factory;
    m_factory = factory;
    return previous;
}

void YInterfaceMgr::OnMessage(UINT, WPARAM, LPARAM)
{
    ++m_messages;
}

void YInterfaceMgr::Step()
{
    ++m_steps;
}

void YInterfaceMgr::Draw(HDC)
{
    m_redrawAll = 0;
}

void YInterfaceMgr::SetClientRect(int left, int top, int right, int bottom)
{
    SetRect(&m_clientRect, left, top, right, bottom);
    m_redrawAll = 2;
}

int YInterfaceMgr::Refresh()
{
    m_redrawAll = 2;
    return 1;
}

YWindow* YInterfaceMgr::GetRootWindow()
{
    if (!m_rootWindow) {
        m_rootWindow.reset(new YWindow);
        RECT rect = m_clientRect;
        m_rootWindow->MoveTo(&rect);
    }
    return m_rootWindow.get();
}
