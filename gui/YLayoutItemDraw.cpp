#include "gui/YLayoutItemDraw.h"

IMPLEMENT_DYNAMIC(YLayoutItemDraw, YLayoutItem)
