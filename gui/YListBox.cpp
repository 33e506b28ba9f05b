#include "gui/YListBox.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YListBox, YWindow, 1)

int YListBox::Accept(YResourceVisitor* visitor) { return visitor->VisitListBox(this); }
