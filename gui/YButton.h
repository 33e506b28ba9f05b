// A push button.
#pragma once

#include "gui/YWindow.h"

class YButton : public YWindow {
    DECLARE_SERIAL(YButton)
public:
    YButton() = default;

    int Accept(YResourceVisitor* visitor) override;

    // The down bit (0x4) of the state.
    virtual void SetCheck(bool on);
    virtual bool IsChecked();

protected:
    int32_t m_state = 0;
};
