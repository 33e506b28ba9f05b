#include "gui/YLayoutItemSlider.h"

IMPLEMENT_DYNAMIC(YLayoutItemSlider, YLayoutItem)
