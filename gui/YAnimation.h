// Cycles through its resource images at a fixed frame time while it is
// drawn, once (then it shows nothing) or in a loop.
#pragma once

#include "gui/YWindow.h"

class YAnimation : public YWindow {
    DECLARE_SERIAL(YAnimation)
public:
    enum { kDefaultFrameTime = 100 };

    YAnimation();

    using YWindow::Create;
    using YWindow::Draw;

    // The window part and the loop word; the animation starts over.
    void Serialize(CArchive& ar) override;
    int Accept(YResourceVisitor* visitor) override;
    int Draw(YDC* dc) override;

    virtual int Create(int style, const RECT* rect, YWindow* parent, int id);
    // Frame 0, or -1 (nothing) without resources.
    void Reset();

    int GetFrame() const { return m_frame; }
    void SetLoop(bool on) { m_loop = on ? 1 : 0; }
    bool GetLoop() const { return m_loop != 0; }
    void SetFrameTime(int milliseconds) { m_frameTime = milliseconds; }
    int GetFrameTime() const { return m_frameTime; }

protected:
    uint32_t m_lastFrameTime;
    int32_t m_frame;
    int32_t m_loop;
    int32_t m_reserved;
    int32_t m_frameTime;
};
