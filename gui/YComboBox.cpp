#include "gui/YComboBox.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YComboBox, YWindow, 1)

int YComboBox::Accept(YResourceVisitor* visitor) { return visitor->VisitComboBox(this); }
