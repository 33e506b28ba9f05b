#include "gui/YLayoutItemSprite.h"

IMPLEMENT_DYNAMIC(YLayoutItemSprite, YLayoutItem)
