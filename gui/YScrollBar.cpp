#include "gui/YScrollBar.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YScrollBar, YWindow, 1)

int YScrollBar::Accept(YResourceVisitor* visitor) { return visitor->VisitScrollBar(this); }
