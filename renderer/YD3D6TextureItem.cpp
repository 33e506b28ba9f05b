#include "renderer/YD3D6TextureItem.h"

#include "assets3d/YD3D6Lock.h"

YD3D6TextureItem::~YD3D6TextureItem()
{
    delete m_lock;
    if (m_surface) m_surface->Release();
}
