#include "assets3d/YTexLock.h"

#include <cstring>

YTexLock::YTexLock() : YTextureTagList(this), YTexRegionList(this) { std::memset(m_palette, 0, sizeof m_palette); }

YTexLock::~YTexLock() { YTexLock::Release(); }

void YTexLock::Release()
{
    ClearTags();
    ClearRegions();
}
