// The console window: typed lines go to the engine's command interpreter
// and their answers are shown in the list.
#pragma once

#include "engine/YEditDialog.h"

class YCommandDialog : public YEditDialog {
public:
    explicit YCommandDialog(const char* background);

    void Submit(const char* text) override;
    void OnKeyDown(int key, int repeat, int keyFlags) override;
    // Ends the modal loop with result 1.
    virtual void Close();
};
