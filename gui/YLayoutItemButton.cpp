#include "gui/YLayoutItemButton.h"

IMPLEMENT_DYNAMIC(YLayoutItemButton, YLayoutItem)
