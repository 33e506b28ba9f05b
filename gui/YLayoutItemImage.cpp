#include "gui/YLayoutItemImage.h"

IMPLEMENT_DYNAMIC(YLayoutItemImage, YLayoutItem)
