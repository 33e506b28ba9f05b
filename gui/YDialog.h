// A window that runs modally: DoModal runs its own message loop, draws its
// owner and itself in every pass and returns the result EndDialog gave it.
// Enter ends it with 1, Escape with 2, a click on a child with id 1 or 2
// with that id.
#pragma once

#include "gui/YScreen.h"

class YDialog : public YScreen {
    DECLARE_SERIAL(YDialog)
public:
    typedef void (*StepCallback)(YDialog* dialog, int value);

    YDialog();

    int Accept(YResourceVisitor* visitor) override;
    int Draw(YDC* dc) override;
    void OnKeyDown(int key, int repeat, int keyFlags) override;
    void OnNotify(int id, int code) override;

    // Runs until EndDialog; the result.  A dialog already running answers 0.
    virtual int DoModal(YDC* target);
    void EndDialog(int result);
    bool IsModal() const { return m_running != 0; }
    int GetResult() const { return m_result; }
    void SetStepCallback(StepCallback step) { m_step = step; }
    void SetDrawOwner(int on) { m_drawOwner = on; }

protected:
    // The work of one pass besides messages and drawing: the step callback,
    // at most once a tick.
    virtual void ModalPass();

    int32_t m_result;
    int32_t m_ended;
    StepCallback m_step;
    int32_t m_drawOwner;
    int32_t m_offsetX;
    int32_t m_offsetY;
    int32_t m_running;
};
