// A horizontal track with a thumb dragged over an integer range.  Every
// change goes to the change callback; a press is notified to the parent
// (-7), a release as value set (4) and clicked (-2).
#pragma once

#include "gui/YWindow.h"

class YSlider : public YWindow {
    DECLARE_SERIAL(YSlider)
public:
    typedef void (*ChangeCallback)(int value);
    enum { kDraggingState = 0x4 };
    enum { kNotifyPressed = -7, kNotifyValueSet = 4 };
    enum { kDefaultThumbWidth = 10 };

    YSlider();

    using YWindow::Create;
    using YWindow::Draw;

    void Serialize(CArchive& ar) override;
    YResource* CopyTo(YResource* target) override;
    int Accept(YResourceVisitor* visitor) override;
    int Draw(YDC* dc) override;
    void OnMouseMove(int flags, int x, int y) override;
    void OnLButtonDown(int flags, int x, int y) override;
    void OnLButtonUp(int flags, int x, int y) override;

    virtual int Create(const char* text, int style, const RECT* rect, YWindow* parent, int id);
    virtual void SetDragging(bool on);

    // Clamped into minimum .. maximum, then given to the callback.
    void SetValue(int value);
    void SetMin(int minimum);
    void SetMax(int maximum);
    int ValueToX(int value);
    int XToValue(int x);
    // The thumb where the value puts it, kept inside the slider.
    RECT ThumbRect();

    int GetPos() const { return m_value; }
    int GetMin() const { return m_min; }
    int GetMax() const { return m_max; }
    bool IsDragging() const { return (m_state & kDraggingState) != 0; }
    void SetChangeCallback(ChangeCallback callback) { m_callback = callback; }
    // Stored, saved and copied; nothing reads it.
    void SetStep(int step) { m_step = step; }
    int GetStep() const { return m_step; }
    POINT GetPressPoint() const { return m_pressPoint; }

protected:
    void Notify(int code);

    uint32_t m_state;
    int32_t m_step;
    int32_t m_min;
    int32_t m_max;
    int32_t m_value;
    ChangeCallback m_callback;
    POINT m_pressPoint;
};
