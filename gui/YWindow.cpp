#include "gui/YWindow.h"

IMPLEMENT_SERIAL(YWindow, YResource, 1)
