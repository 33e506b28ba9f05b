#include "gui/YSlider.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YSlider, YWindow, 1)

int YSlider::Accept(YResourceVisitor* visitor) { return visitor->VisitSlider(this); }
