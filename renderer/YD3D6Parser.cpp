#include "renderer/YD3D6Parser.h"

#include <cstring>

#include "engine/YGameObjects.h"
#include "foundation/YUtility.h"

static_assert(sizeof(YD3D6Parser::m_sessionOptions) == sizeof(YSessionDesc::m_parameters),
              "the renderer keeps every session parameter");

YD3D6Parser::YD3D6Parser()
    : m_worldScale(1.0f), m_filter(0), m_catalog(nullptr), m_deviceCreated(0), m_mapShot{0, 0, 0.0f, 0, 0},
      m_textureCount(0), m_textureBytes(0)
{
    memset(m_sessionOptions, 0, sizeof m_sessionOptions);
}

YD3D6Parser::~YD3D6Parser()
{
    DestroyDevice();
}

int YD3D6Parser::AttachDisplay(void* displayDescriptor)
{
    YDisplayDescriptor* display = static_cast<YDisplayDescriptor*>(displayDescriptor);
    if (!display) return 0;
    m_catalog = display->catalog;
    m_filter = static_cast<int>(display->filter);
    return 1;
}

// The device must render at the back surface's depth.
int YD3D6Parser::CreateDevice(void* deviceDescriptor)
{
    YDeviceDescriptor* device = static_cast<YDeviceDescriptor*>(deviceDescriptor);
    if (!device || !device->back || !device->device) return 0;
    DDPIXELFORMAT format;
    memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    if (FAILED(device->back->GetPixelFormat(&format))) return 0;
    DWORD depthFlag = 0;
    switch (format.dwRGBBitCount) {
    case 16: depthFlag = DDBD_16; break;
    case 24: depthFlag = DDBD_24; break;
    case 32: depthFlag = DDBD_32; break;
    default: return 0;
    }
    if (!(device->device->dwDeviceRenderBitDepth & depthFlag)) return 0;
    m_deviceCreated = 1;
    return 1;
}

void YD3D6Parser::DestroyDevice()
{
    m_deviceCreated = 0;
}

void YD3D6Parser::ReleaseModels() {}

void YD3D6Parser::EvictTextures() {}

void YD3D6Parser::SetSessionOptions(const YSessionDesc* desc)
{
    if (!desc) return;
    memcpy(m_sessionOptions, desc->m_parameters, sizeof m_sessionOptions);
}

void YD3D6Parser::GetTextureMemoryStats()
{
    char line[128];
    DebugLog("[YD3D6Parser::GetTextureMemoryStats] Starting...");
    snprintf(line, sizeof line, "[YD3D6Parser::GetTextureMemoryStats] Textures in use: %u, %u bytes", m_textureCount,
             m_textureBytes);
    DebugLog(line);
    DebugLog("[YD3D6Parser::GetTextureMemoryStats] Finished");
}

void YD3D6Parser::SetMapShotView(int32_t viewDistance, float height, int32_t fogStart, int32_t fogEnd)
{
    m_mapShot = {1, viewDistance, height, fogStart, fogEnd};
}
