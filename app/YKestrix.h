// The application: starts the engine, opens the first screen and runs the
// game loop inside its initialisation.
#pragma once

#include "platform/mfc.h"

class YKestrix : public CWinApp {
public:
    YKestrix() = default;
    BOOL InitInstance() override;
    // Deletes what the engine still owns while the display stand-ins live.
    int ExitInstance() override;

    // The program's resources: the icon 102 and the string table.
    static void RegisterResources();
};
