#include "gui/YMultiImage.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YMultiImage, YWindow, 1)

int YMultiImage::Accept(YResourceVisitor* visitor) { return visitor->VisitMultiImage(this); }
