#include "gui/YAnimation.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YAnimation, YWindow, 1)

int YAnimation::Accept(YResourceVisitor* visitor) { return visitor->VisitAnimation(this); }
