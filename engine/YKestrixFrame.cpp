#include "engine/YKestrixFrame.h"

#include "engine/YGameObjects.h"
#include "engine/YMsgHandler.h"

LRESULT YKestrixFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    YMsgHandler* handler = YGameObjects::Instance()->m_msgHandler;
    if (!handler) return CFrameWnd::WindowProc(message, wParam, lParam);
    return handler->WindowProc(this, message, wParam, lParam);
}
