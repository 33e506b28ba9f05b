#include "gui/YTextCtrl.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YTextCtrl, YWindow, 1)

int YTextCtrl::Accept(YResourceVisitor* visitor) { return visitor->VisitTextCtrl(this); }
