#include "assets3d/YSMLoader.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YSMLoader, YResource, 1)

int YSMLoader::Accept(YResourceVisitor* visitor) { return visitor->VisitSMLoader(this); }
