// The frame window: every message goes through the engine's window procedure.
#pragma once

#include "platform/mfc.h"

class YKestrixFrame : public CFrameWnd {
public:
    YKestrixFrame() = default;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
