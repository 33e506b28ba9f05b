#include "gui/YLayoutItemMiscWindow.h"

IMPLEMENT_DYNAMIC(YLayoutItemMiscWindow, YLayoutItem)
