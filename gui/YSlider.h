// A slider.
#pragma once

#include "gui/YWindow.h"

class YSlider : public YWindow {
    DECLARE_SERIAL(YSlider)
public:
    YSlider() = default;

    int Accept(YResourceVisitor* visitor) override;

    int GetPos() const { return m_pos; }
    void SetPos(int pos) { m_pos = pos; }

protected:
    int32_t m_pos = 0;
};
