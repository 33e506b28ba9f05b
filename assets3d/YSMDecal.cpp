#include "assets3d/YSMDecal.h"

YSMDecal::~YSMDecal()
{
    for (auto& array : m_arrays) array.clear();
    m_index = -1;
}
