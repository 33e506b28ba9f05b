#include "frontend/YLayoutOptions.h"

IMPLEMENT_DYNAMIC(YLayoutOptions, YAppLayout)
