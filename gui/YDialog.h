// A screen that runs modally: DoModal runs its own message loop, draws its
// owner and itself in every pass and returns the result EndDialog gave it.
// Enter ends it with 1, Escape with 2, a click on a child with id 1 or 2
// with that id.  A quit message ends it too and is posted again for the
// loop outside.
#pragma once

#include "gui/YScreen.h"

class YDialog : public YScreen {
    DECLARE_SERIAL(YDialog)
public:
    typedef void (*StepCallback)(YDialog* dialog, int value);

    YDialog();
    ~YDialog() override;

    YWindow* Release() override;
    // Into a given dialog or a new one; null for a target that is no dialog.
    YResource* CopyTo(YResource* target) override;
    int Accept(YResourceVisitor* visitor) override;
    // Drawn displaced by the offset, from its own source when it has one.
    int Draw(YDC* dc) override;
    void OnKeyDown(int key, int repeat, int keyFlags) override;
    void OnNotify(int id, int code) override;
    void DrawBackground(YDC* dc) override;

    // Runs until EndDialog; the result, -1 when a quit message ended it.  A
    // dialog already running answers 0.
    virtual int DoModal(YDC* target);
    // The context the dialog's resources are packed into and drawn from.
    virtual void SetSource(YDC* source);
    void EndDialog(int result);
    // Packs the resources into the own source and keeps the current default
    // source; the packing result.
    int PrepareSources();
    // A context holding a copy of the background image, drawn into it here;
    // 1 without resources.
    int SetBackgroundSource(YDC* source);
    bool IsModal() const { return m_running != 0; }
    bool IsEnded() const { return m_ended != 0; }
    int GetResult() const { return m_result; }
    void SetStepCallback(StepCallback step) { m_step = step; }
    void SetDrawOwner(int on) { m_drawOwner = on; }
    void SetDrawOwnerOverlay(int on) { m_drawOwnerOverlay = on; }
    void SetOffset(int x, int y);
    YDC* GetSource() const { return m_ownSource; }

protected:
    // The work of one pass besides messages and drawing: the step callback,
    // when the tick has moved on by more than 1 since its last call.
    virtual void ModalPass();

    int32_t m_result;
    int32_t m_ended;
    YDC* m_ownSource;
    YDC* m_savedSource;
    StepCallback m_step;
    YDC* m_backgroundSource;
    int32_t m_drawOwner;
    int32_t m_drawOwnerOverlay;
    int32_t m_offsetX;
    int32_t m_offsetY;
    int32_t m_running;
};
