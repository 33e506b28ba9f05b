#include "gui/YDialog.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YDialog, YWindow, 1)

int YDialog::Accept(YResourceVisitor* visitor) { return visitor->VisitDialog(this); }
