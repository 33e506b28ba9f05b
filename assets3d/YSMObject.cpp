#include "assets3d/YSMObject.h"

IMPLEMENT_DYNCREATE(YSMObject, CObject)
