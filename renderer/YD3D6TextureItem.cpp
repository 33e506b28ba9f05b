#include "renderer/YD3D6TextureItem.h"

#include "assets3d/YD3D6Lock.h"
#include "assets3d/YTexture2.h"

YD3D6TextureItem::~YD3D6TextureItem()
{
    delete m_texture;
    delete m_lock;
    if (m_surface) m_surface->Release();
}
