#include "assets3d/YTextureHandler.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YTextureHandler, YResource, 1)

int YTextureHandler::Accept(YResourceVisitor* visitor) { return visitor->VisitTextureHandler(this); }
