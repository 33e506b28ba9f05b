#include "gui/YScreen.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YScreen, YWindow, 1)

int YScreen::Accept(YResourceVisitor* visitor) { return visitor->VisitScreen(this); }
