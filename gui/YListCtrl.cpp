#include "gui/YListCtrl.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YListCtrl, YWindow, 1)

int YListCtrl::Accept(YResourceVisitor* visitor) { return visitor->VisitListCtrl(this); }
