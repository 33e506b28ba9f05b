// Plays the hover sound of the screen or dialog it visits: the screen's
// second sound.  Answers 1 for a screen or dialog, 0 for anything else.
#pragma once

#include "foundation/YResourceVisitor.h"

class Sounder : public YResourceVisitor {
public:
    LONG VisitDialog(YDialog* dialog) override;
    LONG VisitScreen(YScreen* screen) override;
};
