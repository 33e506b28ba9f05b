#include "foundation/YString.h"
