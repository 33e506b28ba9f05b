#include "gui/YEditBox.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YEditBox, YWindow, 1)

int YEditBox::Accept(YResourceVisitor* visitor) { return visitor->VisitEditBox(this); }
