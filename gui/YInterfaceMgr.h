// The interface manager: holds the layers of the screen, sees every window
// message, removes layers flagged for removal and draws them each frame.
#pragma once

#include <memory>

#include "platform/win32.h"

class YInterfaceFactory;
class YWindow;

class YInterfaceMgr {
public:
    explicit YInterfaceMgr(YInterfaceFactory* factory);
    virtual ~YInterfaceMgr();

    YInterfaceFactory* SetFactory(YInterfaceFactory* factory);
    YInterfaceFactory* GetFactory() const { return m_factory; }
    // Every message the pump takes from the queue.
    virtual void OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The per-frame step.
    virtual void Step();
    virtual void Draw(HDC dc);
    void SetClientRect(int left, int top, int right, int bottom);
    int Refresh();

    int m_redrawAll;
    RECT m_clientRect;
    unsigned long m_messages;
    unsigned long m_steps;

    // The window that windows attached to the manager (the console) hang from.
    YWindow* GetRootWindow();

private:
    YInterfaceFactory* m_factory;
    std::unique_ptr<YWindow> m_rootWindow;
};

// The factory of the game's layouts and items; the front end derives from it.
class YInterfaceFactory {
public:
    virtual ~YInterfaceFactory() = default;
};
