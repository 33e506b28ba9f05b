#include "gui/YButton.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YButton, YWindow, 1)

int YButton::Accept(YResourceVisitor* visitor) { return visitor->VisitButton(this); }
