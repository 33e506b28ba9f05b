#include "frontend/YLayoutGame.h"

IMPLEMENT_DYNAMIC(YLayoutGame, YAppLayout)
