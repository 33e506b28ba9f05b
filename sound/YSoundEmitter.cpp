#include "sound/YSoundEmitter.h"

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YSoundEmitter, YResource, 1)

int YSoundEmitter::Accept(YResourceVisitor* visitor) { return visitor->VisitSoundEmitter(this); }
