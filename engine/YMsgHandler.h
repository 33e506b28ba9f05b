// The message pump object: drains the queue once per frame, handing each
// message to the interface manager too, and the engine's window procedure.
#pragma once

#include "platform/mfc.h"

class YMsgHandler {
public:
    YMsgHandler() : m_inputAcquiredAtFocusLoss(0) {}
    virtual ~YMsgHandler() = default;

    // Drains the queue; 0 when the quit message was taken, else 1.
    int PumpMessages(int& anyMessage);
    // The frame window's procedure.
    LRESULT WindowProc(CWnd* frame, UINT message, WPARAM wParam, LPARAM lParam);
    // F2: the console over the upper half of the client area.
    void OpenConsole(CWnd* frame);

    uint8_t m_inputAcquiredAtFocusLoss;
};
