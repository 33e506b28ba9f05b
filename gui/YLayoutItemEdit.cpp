#include "gui/YLayoutItemEdit.h"

IMPLEMENT_DYNAMIC(YLayoutItemEdit, YLayoutItem)
