#include "renderer/YD3D6Parser.h"

#include <cstring>

#include "engine/YGameObjects.h"
#include "foundation/YUtility.h"
#include "renderer/CTex2XAARen.h"
#include "renderer/CTex4XAARen.h"
#include "renderer/CTexRen.h"
#include "renderer/YD3D6Raster.h"

IMPLEMENT_DYNAMIC(YD3D6Parser, YParser)

namespace {
inline void Store3(float* dst, float a, float b, float c)
{
    dst[0] = a;
    dst[1] = b;
    dst[2] = c;
}

inline void Load3(const float* src, float* a, float* b, float* c)
{
    *a = src[0];
    *b = src[1];
    *c = src[2];
}
}  // namespace

static_assert(sizeof(YD3D6Parser::m_sessionOptions) == sizeof(YSessionDesc::m_parameters),
              "the renderer keeps every session parameter");

YD3D6Parser::YD3D6Parser()
    : m_filter(0), m_catalog(nullptr), m_mapShot{0, 0, 0.0f, 0, 0}, m_textureCount(0),
      m_textureBytes(0), m_raster(nullptr), m_softwareRasteriser(nullptr), m_greyRamp(nullptr),
      m_savedOverlay{0.0f, 0.0f, 0.0f, 0.0f}, m_overlayDepth(0)
{
    memset(m_sessionOptions, 0, sizeof m_sessionOptions);
}

YD3D6Parser::~YD3D6Parser()
{
    DestroyDevice();
    delete m_softwareRasteriser;
    delete[] m_greyRamp;
}

int YD3D6Parser::AttachDisplay(void* displayDescriptor)
{
    YDisplayDescriptor* display = static_cast<YDisplayDescriptor*>(displayDescriptor);
    m_display = display;
    if (!display) return 0;
    m_catalog = display->catalog;
    m_filter = static_cast<int>(display->filter);
    return 1;
}

int YD3D6Parser::CreateDevice(void* deviceDescriptor)
{
    m_deviceDescriptor = deviceDescriptor;
    DestroyDevice();
    m_raster = new YD3D6Raster;
    if (!m_raster->Init(deviceDescriptor)) {
        delete m_raster;
        m_raster = nullptr;
        return 0;
    }
    return 1;
}

int YD3D6Parser::DestroyDevice()
{
    delete m_raster;
    m_raster = nullptr;
    return 1;
}

int YD3D6Parser::ReleaseModels() { return 1; }

void YD3D6Parser::EvictTextures()
{
    if (m_raster && m_raster->GetDirect3D()) m_raster->GetDirect3D()->EvictManagedTextures();
}

int YD3D6Parser::SetSessionOptions(YSessionDesc* desc)
{
    if (!desc) return 0;
    memcpy(m_sessionOptions, desc->m_parameters, sizeof m_sessionOptions);
    return 1;
}

// The viewer's descriptor is a block of 36 words, word 0 its size; the map
// session's is the engine's session descriptor.  Loading the map and the
// viewer's models come with the map session and the frame road: until then
// map level 0 sets up the silhouette rasteriser and reports that no map
// was loaded.
int YD3D6Parser::InitSession(int mode, void* descriptor, int level)
{
    m_sessionMode = mode;
    if (mode == 1) {
        if (level != 0) return 1;
        m_ready = 0;
        const int32_t* words = static_cast<const int32_t*>(descriptor);
        SetProjection(60.0f, 60.0f, 1.0f, ViewerFarPlane(words ? words[0] : 0, 1.0f));
        m_ready = 1;
        return 1;
    }
    if (mode != 2 || level > 4) return 1;
    if (level == 0) {
        m_ready = 0;
        YSessionDesc* session = static_cast<YSessionDesc*>(descriptor);
        if (session) SetSessionOptions(session);
        delete m_softwareRasteriser;
        m_softwareRasteriser = CreateSoftwareRasteriser(m_sessionOptions[kAntiAliasOption]);
        if (!m_greyRamp) m_greyRamp = new uint16_t[256];
        BuildGreyRamp(m_greyRamp);
        return 0;
    }
    if (level == 4) {
        EvictTextures();
        m_ready = 1;
    }
    return 1;
}

int YD3D6Parser::EndSession(int)
{
    m_ready = 0;
    m_sessionMode = 0;
    delete m_softwareRasteriser;
    m_softwareRasteriser = nullptr;
    DestroyZones();
    delete[] m_greyRamp;
    m_greyRamp = nullptr;
    return 1;
}

void YD3D6Parser::SetCameraPosition(float x, float y, float z)
{
    m_cameraPosition[0] = x;
    m_cameraPosition[1] = y + float(g_eyeOffset);
    m_cameraPosition[2] = z;
    if (m_raster) m_raster->SetCameraPosition(x, y, z);
}

void YD3D6Parser::SetCameraAngles(float a, float b, float c)
{
    Store3(m_cameraAngles, a, b, c);
    if (m_raster) m_raster->SetCameraAngles(a, b, c);
}

void YD3D6Parser::SetProjection(float fov, float fov2, float nearPlane, float farPlane)
{
    m_projection[0] = fov;
    m_projection[1] = fov2;
    m_projection[2] = nearPlane;
    m_projection[3] = farPlane;
    if (m_raster) m_raster->SetProjection(fov, nearPlane, farPlane);
}

void YD3D6Parser::SetViewScale(float x, float y, float z)
{
    Store3(m_viewScale, x, y, z);
    if (m_raster) m_raster->SetViewScale(x, y, z);
}

int YD3D6Parser::SetViewRects(int l1, int t1, int r1, int b1, int l2, int t2, int r2, int b2)
{
    m_screenRect = {l1, t1, r1, b1};
    m_clipRect = {l2, t2, r2, b2};
    if (!m_raster) return 0;
    return m_raster->SetViewRects(l1, t1, r1, b1, l2, t2, r2, b2) ? 1 : 0;
}

void YD3D6Parser::SetOverlayColor(float a, float b, float c, float d)
{
    m_overlayColor[0] = c;
    m_overlayColor[1] = b;
    m_overlayColor[2] = a;
    m_overlayColor[3] = d;
}

void YD3D6Parser::GetOverlayColor(float* a, float* b, float* c, float* d)
{
    *a = m_overlayColor[2];
    *b = m_overlayColor[1];
    *c = m_overlayColor[0];
    *d = m_overlayColor[3];
}

void YD3D6Parser::GetCameraPosition(float* x, float* y, float* z)
{
    Load3(m_cameraPosition, x, y, z);
}

void YD3D6Parser::GetCameraAngles(float* a, float* b, float* c)
{
    Load3(m_cameraAngles, a, b, c);
}

void YD3D6Parser::GetProjection(float* fov, float* fov2, float* nearPlane, float* farPlane)
{
    *fov = m_projection[0];
    *fov2 = m_projection[1];
    *nearPlane = m_projection[2];
    *farPlane = m_projection[3];
}

void YD3D6Parser::GetViewScale(float* x, float* y, float* z)
{
    Load3(m_viewScale, x, y, z);
}

void YD3D6Parser::GetViewRects(RECT* screen, RECT* clip)
{
    *screen = m_screenRect;
    *clip = m_clipRect;
}

void YD3D6Parser::SetViewRectsAndApply(int left, int top, int right, int bottom)
{
    SetViewRects(left, top, right, bottom, m_clipRect.left, m_clipRect.top, m_clipRect.right, m_clipRect.bottom);
    ApplyView();
}

int YD3D6Parser::ApplyView()
{
    if (!m_raster) return 0;
    m_raster->CalcCamera();
    return 1;
}

void YD3D6Parser::PushOverlayColor(int frames, float a, float b, float c, float d)
{
    if (m_overlayDepth == 0)
        GetOverlayColor(&m_savedOverlay[0], &m_savedOverlay[1], &m_savedOverlay[2], &m_savedOverlay[3]);
    SetOverlayColor(a, b, c, d);
    m_overlayDepth = frames;
}

void YD3D6Parser::PopOverlayColor()
{
    if (m_overlayDepth == 0) return;
    if (--m_overlayDepth == 0) SetOverlayColor(m_savedOverlay[0], m_savedOverlay[1], m_savedOverlay[2], m_savedOverlay[3]);
}

int YD3D6Parser::LogStatus()
{
    GetTextureMemoryStats();
    return 1;
}

namespace {
const DWORD kFormatFound = 0x400;

HRESULT CALLBACK MatchTextureFormat(LPDDPIXELFORMAT format, LPVOID context)
{
    DDPIXELFORMAT* wanted = static_cast<DDPIXELFORMAT*>(context);
    const DWORD flags = wanted->dwFlags & ~kFormatFound;
    bool match = (format->dwFlags & flags) == flags;
    if (match && (flags & DDPF_RGB))
        match = format->dwRGBBitCount == wanted->dwRGBBitCount && format->dwRBitMask == wanted->dwRBitMask &&
                format->dwGBitMask == wanted->dwGBitMask && format->dwBBitMask == wanted->dwBBitMask;
    if (match && (flags & DDPF_ALPHAPIXELS)) match = format->dwRGBAlphaBitMask == wanted->dwRGBAlphaBitMask;
    if (!match) {
        wanted->dwFlags &= ~kFormatFound;
        return D3DENUMRET_OK;
    }
    wanted->dwFlags |= kFormatFound;
    return D3DENUMRET_CANCEL;
}
}  // namespace

int YD3D6Parser::FindTextureFormat(const DDPIXELFORMAT* format)
{
    if (!format || !m_raster || !m_raster->GetDevice()) return 0;
    DDPIXELFORMAT wanted = *format;
    if (FAILED(m_raster->GetDevice()->EnumTextureFormats(MatchTextureFormat, &wanted))) return 0;
    return (wanted.dwFlags & kFormatFound) ? 1 : 0;
}

float YD3D6Parser::ViewerFarPlane(int32_t size, float nearPlane)
{
    const float farPlane = float(size - 2) * 128.0f;
    return farPlane > nearPlane ? farPlane : nearPlane + 128.0f;
}

CTexRen* YD3D6Parser::CreateSoftwareRasteriser(int32_t mode)
{
    switch (static_cast<int16_t>(mode)) {
    case 1: return new CTex2XAARen;
    case 2: return new CTex4XAARen;
    default: return new CTexRen;
    }
}

void YD3D6Parser::BuildGreyRamp(uint16_t ramp[256])
{
    for (int k = 0; k < 256; ++k) {
        const int intensity = 255 - k;
        const int five = intensity / 8, six = intensity / 4;
        ramp[k] = static_cast<uint16_t>((five << 11) | (six << 5) | five);
    }
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
