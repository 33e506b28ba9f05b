#include "renderer/YD3D6Raster.h"

#include <cmath>
#include <cstring>

#include "foundation/YFastMath.h"
#include "graphics2d/YDXDraw.h"
#include "graphics2d/YDXSurface.h"

namespace {
inline void Store3(float* dst, float a, float b, float c)
{
    dst[0] = a;
    dst[1] = b;
    dst[2] = c;
}

const float kPi = 3.14159265f;
const DWORD kVertexBufferCaps = D3DVBCAPS_WRITEONLY | D3DVBCAPS_SYSTEMMEMORY;

// The Z-buffer search: depth at least the best so far and below 32 bits,
// no stencil, exactly 16 bits when asked.
struct ZSearch {
    DDPIXELFORMAT format;
    int found;
    int z16Only;
};

HRESULT CALLBACK AcceptZFormat(LPDDPIXELFORMAT format, LPVOID context)
{
    ZSearch* search = static_cast<ZSearch*>(context);
    const DWORD depth = format->dwZBufferBitDepth;
    if (depth >= search->format.dwZBufferBitDepth && depth < 32 && format->dwStencilBitDepth == 0 &&
        !(format->dwFlags & DDPF_STENCILBUFFER) && (!search->z16Only || depth == 16)) {
        search->format.dwZBufferBitDepth = depth;
        search->format.dwZBitMask = format->dwZBitMask;
        search->format.dwFlags = format->dwFlags;
        search->found = 1;
    }
    return D3DENUMRET_OK;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool EmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// Standard product a x b of row-vector matrices (a applies first).
void Multiply(YMatrix* out, const YMatrix& a, const YMatrix& b) { MatrixMultiplyAffineOut(out, &b, &a); }

D3DMATRIX ToD3D(const YMatrix& m)
{
    D3DMATRIX d;
    static_assert(sizeof d == sizeof m, "16 floats");
    memcpy(&d, &m, sizeof d);
    return d;
}
}  // namespace

YD3D6Raster::YD3D6Raster()
    : m_lightsActive(0), m_cameraPosition{0.0f, 0.0f, 0.0f}, m_cameraAngles{0.0f, 0.0f, 0.0f},
      m_projection{0.0f, 1.0f, 3000.0f}, m_viewScale{1.0f, 1.0f, 1.0f}, m_direct3D(nullptr), m_device(nullptr),
      m_zBuffer(nullptr), m_viewportRect{0, 0, 0, 0}, m_clipRect{0, 0, 0, 0}, m_vertexBuffer(nullptr),
      m_screenVertexBuffer(nullptr), m_directDraw(nullptr), m_display(nullptr), m_primary(nullptr), m_back(nullptr),
      m_reserved(0), m_deviceGuid(), m_deviceGuidPointer(nullptr), m_words{0, 0}, m_z16Only(0),
      m_projectionCache{0.0f, 0.0f, 0.0f, 0.0f, 0.0f}
{
    memset(&m_textureFormat, 0, sizeof m_textureFormat);
    memset(&m_zFormat, 0, sizeof m_zFormat);
    memset(&m_descriptor, 0, sizeof m_descriptor);
    MakeIdentityMatrix(&m_worldMatrix);
    MakeIdentityMatrix(&m_projectionMatrix);
}

YD3D6Raster::~YD3D6Raster()
{
    Release();
}

int YD3D6Raster::Init(void* deviceDescriptor)
{
    const YDeviceDescriptor* desc = static_cast<const YDeviceDescriptor*>(deviceDescriptor);
    if (desc) m_descriptor = *desc;
    m_direct3D = nullptr;
    m_device = nullptr;
    m_directDraw = nullptr;
    m_display = nullptr;
    m_primary = nullptr;
    m_back = nullptr;
    if (!desc || !desc->graphics || !desc->graphics->GetDirectDraw() || !desc->primary || !desc->back ||
        !desc->device)
        return 0;
    m_display = desc->graphics;
    m_directDraw = m_display->GetDirectDraw();
    m_primary = desc->primary;
    m_back = desc->back;

    m_deviceGuid = IID_IDirect3DHALDevice;
    m_deviceGuidPointer = &m_deviceGuid;
    if (FAILED(m_directDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&m_direct3D)))) {
        m_direct3D = nullptr;
        return 0;
    }

    bool made = CreateZBuffer() && SUCCEEDED(m_direct3D->CreateDevice(m_deviceGuid, m_back, &m_device));
    if (!made) {
        // A second try with the other Z-depth rule.
        if (!DeleteZBuffer()) {
            Release();
            return 0;
        }
        m_z16Only = !m_z16Only;
        made = CreateZBuffer() && SUCCEEDED(m_direct3D->CreateDevice(m_deviceGuid, m_back, &m_device));
        if (!made) {
            Release();
            return 0;
        }
    }
    if (!CreateViewport()) {
        Release();
        return 0;
    }

    D3DDEVICEDESC7 caps;
    memset(&caps, 0, sizeof caps);
    m_device->GetCaps(&caps);
    memset(&m_textureFormat, 0, sizeof m_textureFormat);
    m_textureFormat.dwSize = sizeof m_textureFormat;
    m_textureFormat.dwFlags = DDPF_RGB;
    m_textureFormat.dwRGBBitCount = 16;
    m_textureFormat.dwRBitMask = 0xF800;
    m_textureFormat.dwGBitMask = 0x07E0;
    m_textureFormat.dwBBitMask = 0x001F;
    m_device->SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF);

    D3DVERTEXBUFFERDESC vb;
    memset(&vb, 0, sizeof vb);
    vb.dwSize = sizeof vb;
    vb.dwCaps = kVertexBufferCaps;
    vb.dwFVF = kVertexFormat;
    vb.dwNumVertices = kVertexCount;
    if (FAILED(m_direct3D->CreateVertexBuffer(&vb, &m_vertexBuffer, 0))) {
        m_vertexBuffer = nullptr;
        return 0;
    }
    vb.dwCaps = D3DVBCAPS_WRITEONLY;
    vb.dwFVF = kScreenVertexFormat;
    if (FAILED(m_direct3D->CreateVertexBuffer(&vb, &m_screenVertexBuffer, 0))) {
        m_screenVertexBuffer = nullptr;
        m_vertexBuffer->Release();
        m_vertexBuffer = nullptr;
        return 0;
    }
    return 1;
}

int YD3D6Raster::CreateZBuffer()
{
    if (!m_direct3D) return 0;
    ZSearch search;
    memset(&search, 0, sizeof search);
    search.format.dwSize = sizeof search.format;
    search.format.dwZBufferBitDepth = 16;
    search.z16Only = m_z16Only;
    m_direct3D->EnumZBufferFormats(m_deviceGuid, AcceptZFormat, &search);
    if (!search.found) return 0;
    m_zFormat = search.format;
    m_zFormat.dwFlags |= DDPF_ZBUFFER;

    DDSURFACEDESC2 back;
    memset(&back, 0, sizeof back);
    back.dwSize = sizeof back;
    if (!m_back || FAILED(m_back->GetSurfaceDesc(&back))) return 0;
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = back.dwWidth;
    desc.dwHeight = back.dwHeight;
    desc.ddpfPixelFormat = m_zFormat;
    const bool hal = IsEqualGUID(m_deviceGuid, IID_IDirect3DHALDevice);
    desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_3DDEVICE | (hal ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);

    delete m_zBuffer;
    m_zBuffer = new YDXSurface("3D ZBuffer");
    if (!m_zBuffer->CreateSurfaceFromDesc(&desc, m_display) ||
        FAILED(m_back->AddAttachedSurface(m_zBuffer->GetSurface()))) {
        delete m_zBuffer;
        m_zBuffer = nullptr;
        return 0;
    }
    return 1;
}

int YD3D6Raster::DeleteZBuffer()
{
    if (!m_zBuffer) return 1;
    if (!m_back) return 0;
    m_back->DeleteAttachedSurface(0, m_zBuffer->GetSurface());
    delete m_zBuffer;
    m_zBuffer = nullptr;
    return 1;
}

void YD3D6Raster::GetClearRect(D3DRECT* rect)
{
    D3DVIEWPORT7 vp;
    memset(&vp, 0, sizeof vp);
    GetViewportDesc(&vp);
    rect->x1 = LONG(vp.dwX);
    rect->y1 = LONG(vp.dwY);
    rect->x2 = LONG(vp.dwX + vp.dwWidth);
    rect->y2 = LONG(vp.dwY + vp.dwHeight);
}

int YD3D6Raster::GetViewportDesc(D3DVIEWPORT7* viewport)
{
    if (!m_device) return 0;
    return SUCCEEDED(m_device->GetViewport(viewport)) ? 1 : 0;
}

bool YD3D6Raster::ClearZBuffer()
{
    if (!m_device) return false;
    D3DRECT rect;
    GetClearRect(&rect);
    return SUCCEEDED(m_device->Clear(1, &rect, D3DCLEAR_ZBUFFER, 0, 1.0f, 0));
}

bool YD3D6Raster::ClearTarget(D3DCOLOR colour)
{
    if (!m_device) return false;
    D3DRECT rect;
    GetClearRect(&rect);
    return SUCCEEDED(m_device->Clear(1, &rect, D3DCLEAR_TARGET, colour, 1.0f, 0));
}

void YD3D6Raster::SetWords(DWORD a, DWORD b)
{
    m_words[0] = a;
    m_words[1] = b;
}

bool YD3D6Raster::DrawTriangles(void* vertices, DWORD count)
{
    if (!m_device) return false;
    return SUCCEEDED(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_LVERTEX, vertices, count * 3, 0));
}

void YD3D6Raster::SetCameraPosition(float x, float y, float z)
{
    Store3(m_cameraPosition, x, y, z);
}

void YD3D6Raster::SetCameraAngles(float a, float b, float c)
{
    Store3(m_cameraAngles, a, b, c);
}

void YD3D6Raster::SetProjection(float fov, float nearPlane, float farPlane)
{
    Store3(m_projection, fov, nearPlane, farPlane);
}

void YD3D6Raster::SetViewScale(float x, float y, float z)
{
    Store3(m_viewScale, x, y, z);
}

void YD3D6Raster::CalcCamera()
{
    if (!m_device) return;
    MakeIdentityMatrix(&m_worldMatrix);
    D3DMATRIX d = ToD3D(m_worldMatrix);
    if (FAILED(m_device->SetTransform(D3DTRANSFORMSTATE_WORLD, &d))) return;

    YMatrix t, r, s, rs, view;
    MatrixTranslationOut(&t, -m_cameraPosition[0], -m_cameraPosition[1], -m_cameraPosition[2]);
    MatrixRotationEuler1(&r, -m_cameraAngles[0], m_cameraAngles[1], -m_cameraAngles[2]);
    MatrixScalingOut(&s, m_viewScale[0], m_viewScale[1], m_viewScale[2]);
    Multiply(&rs, r, s);
    Multiply(&view, t, rs);
    d = ToD3D(view);
    if (FAILED(m_device->SetTransform(D3DTRANSFORMSTATE_VIEW, &d))) return;

    const float height = float(m_viewportRect.bottom - m_viewportRect.top);
    const float width = float(m_viewportRect.right - m_viewportRect.left);
    const float fov = m_projection[0], nearPlane = m_projection[1], farPlane = m_projection[2];
    const float key[5] = {height, width, fov, farPlane, nearPlane};
    if (memcmp(key, m_projectionCache, sizeof key) != 0) {
        YMatrix projection;
        MakeIdentityMatrix(&projection);
        const float aspect = width != 0.0f ? height / width : 1.0f;
        const float q = farPlane / (farPlane - nearPlane);
        projection.m[0][0] = 1.0f / std::tan(fov * kPi / 360.0f);
        projection.m[1][1] = 1.0f / std::tan(fov * aspect * kPi / 360.0f);
        projection.m[2][2] = q;
        projection.m[2][3] = 1.0f;
        projection.m[3][2] = -q * nearPlane;
        projection.m[3][3] = 0.0f;
        // Planes that meet, or a field of view of 0, give no projection:
        // the last good one stays.
        bool finite = true;
        for (const auto& row : projection.m)
            for (float v : row) finite = finite && std::isfinite(v);
        if (finite) {
            memcpy(m_projectionCache, key, sizeof key);
            m_projectionMatrix = projection;
        }
    }
    d = ToD3D(m_projectionMatrix);
    m_device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &d);
}

int YD3D6Raster::SetDeviceViewport(const RECT& rect)
{
    if (!m_direct3D || !m_device) return 0;
    D3DVIEWPORT7 vp;
    vp.dwX = DWORD(rect.left);
    vp.dwY = DWORD(rect.top);
    vp.dwWidth = DWORD(rect.right - rect.left);
    vp.dwHeight = DWORD(rect.bottom - rect.top);
    vp.dvMinZ = 0.0f;
    vp.dvMaxZ = 1.0f;
    return SUCCEEDED(m_device->SetViewport(&vp)) ? 1 : 0;
}

int YD3D6Raster::CreateViewport()
{
    LightsOff();
    DDSURFACEDESC2 back;
    memset(&back, 0, sizeof back);
    back.dwSize = sizeof back;
    if (!m_back || FAILED(m_back->GetSurfaceDesc(&back))) return 0;
    m_viewportRect = {0, 0, LONG(back.dwWidth), LONG(back.dwHeight)};
    m_clipRect = m_viewportRect;
    return SetDeviceViewport(m_viewportRect);
}

int YD3D6Raster::SetViewport(int left, int top, int right, int bottom)
{
    const RECT rect = {left, top, right, bottom};
    if (SameRect(rect, m_viewportRect)) return 1;
    m_viewportRect = rect;
    m_clipRect = rect;
    LightsOff();
    if (!SetDeviceViewport(rect)) return 0;
    SetAllLights();
    EnableAllLights();
    EnableSessionLights();
    CalcCamera();
    return 1;
}

int YD3D6Raster::SetViewRects(int l1, int t1, int r1, int b1, int l2, int t2, int r2, int b2)
{
    const RECT viewport = {l1, t1, r1, b1};
    const RECT clip = {l2, t2, r2, b2};
    if (EmptyRect(viewport) || EmptyRect(clip)) return 0;
    // The viewport must lie inside the clip rectangle.
    if (viewport.left < clip.left || viewport.top < clip.top || viewport.right > clip.right ||
        viewport.bottom > clip.bottom)
        return 0;
    if (SameRect(viewport, clip)) return SetViewport(l1, t1, r1, b1);
    if (SameRect(viewport, m_viewportRect) && SameRect(clip, m_clipRect)) return 1;
    m_viewportRect = viewport;
    m_clipRect = clip;
    LightsOff();
    SetDeviceViewport(viewport);
    SetAllLights();
    EnableAllLights();
    EnableSessionLights();
    CalcCamera();
    return 1;
}

IDirectDrawSurface7* YD3D6Raster::SetRenderTarget(IDirectDrawSurface7* target)
{
    if (!target || !m_device) return nullptr;
    if (FAILED(m_device->SetRenderTarget(target, 0))) return nullptr;
    IDirectDrawSurface7* previous = m_back;
    m_back = target;
    return previous;
}

int YD3D6Raster::DisableAllLights()
{
    if (!m_lightsActive) return 1;
    if (!m_device) return 0;
    for (size_t i = 0; i < m_globalLights.size(); ++i) m_device->LightEnable(DWORD(i), FALSE);
    return 1;
}

int YD3D6Raster::DisableSessionLights()
{
    if (!m_lightsActive) return 1;
    if (!m_device) return 0;
    const size_t base = m_globalLights.size();
    for (size_t i = 0; i < m_sessionLights.size(); ++i) m_device->LightEnable(DWORD(base + i), FALSE);
    return 1;
}

int YD3D6Raster::EnableAllLights()
{
    if (!m_device) return 0;
    for (size_t i = 0; i < m_globalLights.size(); ++i) {
        if (m_globalLights[i].light) m_device->SetLight(DWORD(i), m_globalLights[i].light);
        m_device->LightEnable(DWORD(i), TRUE);
    }
    return 1;
}

int YD3D6Raster::EnableSessionLights()
{
    if (!m_device) return 0;
    const size_t base = m_globalLights.size();
    for (size_t i = 0; i < m_sessionLights.size(); ++i) {
        if (m_sessionLights[i].light) m_device->SetLight(DWORD(base + i), m_sessionLights[i].light);
        m_device->LightEnable(DWORD(base + i), TRUE);
    }
    return 1;
}

int YD3D6Raster::SetAllLights()
{
    if (!m_device) return 0;
    const size_t base = m_globalLights.size();
    for (size_t i = 0; i < m_globalLights.size(); ++i)
        if (m_globalLights[i].light) m_device->SetLight(DWORD(i), m_globalLights[i].light);
    for (size_t i = 0; i < m_sessionLights.size(); ++i)
        if (m_sessionLights[i].light) m_device->SetLight(DWORD(base + i), m_sessionLights[i].light);
    return 1;
}

int YD3D6Raster::LightsOff()
{
    if (!m_lightsActive) return 1;
    if (!m_device) return 0;
    DisableAllLights();
    DisableSessionLights();
    return 1;
}

void YD3D6Raster::FreeLights(std::vector<YRasterLight>& lights)
{
    for (YRasterLight& l : lights) delete l.light;
    lights.clear();
}

void YD3D6Raster::FreeSessionLights()
{
    DisableSessionLights();
    FreeLights(m_sessionLights);
}

void YD3D6Raster::Release()
{
    LightsOff();
    FreeLights(m_globalLights);
    FreeLights(m_sessionLights);
    if (m_vertexBuffer) m_vertexBuffer->Release();
    if (m_screenVertexBuffer) m_screenVertexBuffer->Release();
    m_vertexBuffer = nullptr;
    m_screenVertexBuffer = nullptr;
    if (!DeleteZBuffer()) {
        delete m_zBuffer;
        m_zBuffer = nullptr;
    }
    if (m_device) m_device->Release();
    if (m_direct3D) m_direct3D->Release();
    m_device = nullptr;
    m_direct3D = nullptr;
    m_directDraw = nullptr;
    m_primary = nullptr;
    m_back = nullptr;
    m_reserved = 0;
    m_deviceGuidPointer = nullptr;
}
