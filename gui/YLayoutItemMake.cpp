#include "gui/YLayoutItemMake.h"

IMPLEMENT_DYNAMIC(YLayoutItemMake, YLayoutItem)
