// The console window: a dialog with the command line and the output list,
// drawn over its background resource.
#pragma once

#include "gui/YDialog.h"

class YCommandDialog : public YDialog {
public:
    explicit YCommandDialog(const char* background);

    CString m_background;
};
