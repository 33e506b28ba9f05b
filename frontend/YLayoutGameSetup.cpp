#include "frontend/YLayoutGameSetup.h"

IMPLEMENT_DYNAMIC(YLayoutGameSetup, YAppLayout)
