#include "assets3d/YSMDecal.h"

YSMDecal::~YSMDecal() = default;
