#include "platform/DirectDrawObject.h"

#include "platform/DirectDrawClipper.h"
#include "platform/DirectDrawDirect3D.h"
#include "platform/DirectDrawPalette.h"
#include "platform/DirectDrawSurface.h"
#include "platform/backend/Backend.h"
#include "platform/backend/Environment.h"

#include <algorithm>

namespace platform {
namespace {
const DWORD kVideoMemory = 16u * 1024u * 1024u;
const DWORD kMaxSurfaceSide = 8192;

DDSURFACEDESC2 ModeDescription(int width, int height, int bits)
{
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.lPitch = ((width * ((bits + 7) / 8)) + 3) & ~3;
    desc.dwRefreshRate = 60;
    desc.ddpfPixelFormat = DirectDrawPixelFormat::FromDepth(bits).Describe();
    return desc;
}

void FillCaps(DDCAPS& caps)
{
    DWORD size = caps.dwSize;
    memset(&caps, 0, sizeof caps);
    caps.dwSize = size;
    caps.dwCaps = DDCAPS_3D | DDCAPS_BLT | DDCAPS_BLTSTRETCH | DDCAPS_PALETTE | DDCAPS_COLORKEY |
                  DDCAPS_BLTCOLORFILL | DDCAPS_CANCLIP | DDCAPS_CANCLIPSTRETCHED;
    caps.dwCaps2 = DDCAPS2_CANRENDERWINDOWED | DDCAPS2_WIDESURFACES | DDCAPS2_NOPAGELOCKREQUIRED;
    caps.dwCKeyCaps = DDCKEYCAPS_SRCBLT | DDCKEYCAPS_DESTBLT;
    caps.dwFXCaps = DDFXCAPS_BLTMIRRORLEFTRIGHT | DDFXCAPS_BLTMIRRORUPDOWN | DDFXCAPS_BLTSTRETCHX |
                    DDFXCAPS_BLTSTRETCHY;
    caps.dwPalCaps = DDPCAPS_8BIT;
    caps.dwZBufferBitDepths = DDBD_16 | DDBD_24 | DDBD_32;
    caps.dwVidMemTotal = kVideoMemory;
    caps.dwVidMemFree = kVideoMemory;
    caps.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER | DDSCAPS_COMPLEX | DDSCAPS_FLIP | DDSCAPS_FRONTBUFFER |
                          DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PALETTE | DDSCAPS_PRIMARYSURFACE |
                          DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY |
                          DDSCAPS_ZBUFFER | DDSCAPS_MIPMAP | DDSCAPS_LOCALVIDMEM | DDSCAPS_NONLOCALVIDMEM;
}
}  // namespace

DirectDrawObject::DirectDrawObject(const GUID& driver) : m_driver(driver)
{
    Backend& backend = Backend::Get();
    m_width = backend.DesktopWidth();
    m_height = backend.DesktopHeight();
    m_bits = backend.DesktopBitsPerPixel();
    Live().push_back(this);
    ++LiveCounter();
}

DirectDrawObject::~DirectDrawObject()
{
    for (DirectDrawSurface* surface : m_surfaces) surface->DetachOwner();
    if (FullScreen()) Backend::Get().SetFullScreen(false, 0, 0);
    std::vector<DirectDrawObject*>& live = Live();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    --LiveCounter();
}

std::vector<DirectDrawObject*>& DirectDrawObject::Live()
{
    static auto* live = new std::vector<DirectDrawObject*>;  // outlives static destruction
    return *live;
}

HRESULT& DirectDrawObject::CooperativeOverride()
{
    static HRESULT result = DD_OK;
    return result;
}

HRESULT DirectDrawObject::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectDraw7)) {
        AddRef();
        *object = static_cast<IDirectDraw7*>(this);
        return S_OK;
    }
    if (IsEqualGUID(iid, IID_IDirect3D7)) {
        *object = static_cast<IDirect3D7*>(new DirectDrawDirect3D(this));
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG DirectDrawObject::AddRef()
{
    return ++m_refs;
}

ULONG DirectDrawObject::Release()
{
    ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

HRESULT DirectDrawObject::CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer)
{
    if (!clipper || flags) return DDERR_INVALIDPARAMS;
    if (outer) return CLASS_E_NOAGGREGATION;
    *clipper = new DirectDrawClipper(this);
    return DD_OK;
}

HRESULT DirectDrawObject::CreatePalette(DWORD flags, LPPALETTEENTRY entries, LPDIRECTDRAWPALETTE* palette,
                                        IUnknown* outer)
{
    if (!palette || !entries || !(flags & DDPCAPS_8BIT)) return DDERR_INVALIDPARAMS;
    if (outer) return CLASS_E_NOAGGREGATION;
    *palette = new DirectDrawPalette(this, flags, entries);
    return DD_OK;
}

HRESULT DirectDrawObject::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface, IUnknown* outer)
{
    if (!desc || !surface || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    if (outer) return CLASS_E_NOAGGREGATION;
    *surface = nullptr;
    if (!(desc->dwFlags & DDSD_CAPS)) return DDERR_INVALIDPARAMS;
    if (!m_cooperative) return DDERR_NOCOOPERATIVELEVELSET;
    // A card whose 3D device cannot render into any surface.
    if ((desc->ddsCaps.dwCaps & DDSCAPS_3DDEVICE) && Environment::Forced("no3dsurface")) return DDERR_NO3D;

    DDSURFACEDESC2 made = *desc;
    made.lpSurface = nullptr;
    DWORD& caps = made.ddsCaps.dwCaps;
    DirectDrawPixelFormat format;

    if (caps & DDSCAPS_PRIMARYSURFACE) {
        if (desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) return DDERR_INVALIDPARAMS;
        for (DirectDrawSurface* s : m_surfaces)
            if (s->IsPrimary()) return DDERR_PRIMARYSURFACEALREADYEXISTS;
        if ((caps & DDSCAPS_FLIP) && !FullScreen()) return DDERR_NOEXCLUSIVEMODE;
        if ((desc->dwFlags & DDSD_BACKBUFFERCOUNT) &&
            (!(caps & DDSCAPS_COMPLEX) || desc->dwBackBufferCount != 1))
            return DDERR_INVALIDPARAMS;
        made.dwWidth = m_width;
        made.dwHeight = m_height;
        format = DirectDrawPixelFormat::FromDepth(m_bits);
        caps |= DDSCAPS_VISIBLE | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
        if (caps & DDSCAPS_FLIP) caps |= DDSCAPS_FRONTBUFFER;
    } else {
        if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
        if (made.dwWidth == 0 || made.dwHeight == 0) return DDERR_INVALIDPARAMS;
        if (made.dwWidth > kMaxSurfaceSide) return DDERR_TOOBIGWIDTH;
        if (made.dwHeight > kMaxSurfaceSide) return DDERR_TOOBIGHEIGHT;
        if (desc->dwFlags & DDSD_PIXELFORMAT) {
            if (desc->ddpfPixelFormat.dwSize != sizeof(DDPIXELFORMAT)) return DDERR_INVALIDPARAMS;
            format = DirectDrawPixelFormat(desc->ddpfPixelFormat);
            if (!format.Valid()) return DDERR_INVALIDPIXELFORMAT;
        } else if (caps & DDSCAPS_ZBUFFER) {
            return DDERR_INVALIDPIXELFORMAT;  // a Z buffer names its depth in a pixel format
        } else {
            format = DirectDrawPixelFormat::FromDepth(m_bits);
        }
        if ((caps & DDSCAPS_VIDEOMEMORY) && Environment::Forced("novideomemory")) return DDERR_OUTOFVIDEOMEMORY;
        if (!(caps & (DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY))) caps |= DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
        if ((caps & DDSCAPS_VIDEOMEMORY) && !(caps & DDSCAPS_NONLOCALVIDMEM)) caps |= DDSCAPS_LOCALVIDMEM;
    }
    made.dwFlags |= DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    made.ddpfPixelFormat = format.Describe();

    DirectDrawSurface* front = new DirectDrawSurface(this, made, format);
    if ((caps & DDSCAPS_PRIMARYSURFACE) && (desc->dwFlags & DDSD_BACKBUFFERCOUNT)) {
        DDSURFACEDESC2 backDesc = made;
        backDesc.dwFlags &= ~DDSD_BACKBUFFERCOUNT;
        backDesc.dwBackBufferCount = 0;
        backDesc.ddsCaps.dwCaps = (caps & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | DDSCAPS_VISIBLE)) |
                                  DDSCAPS_BACKBUFFER;
        front->AddChainSurface(new DirectDrawSurface(this, backDesc, format));
    }
    if ((caps & (DDSCAPS_MIPMAP | DDSCAPS_COMPLEX)) == (DDSCAPS_MIPMAP | DDSCAPS_COMPLEX)) AddMipLevels(front, made);
    *surface = front;
    return DD_OK;
}

HRESULT DirectDrawObject::DuplicateSurface(LPDIRECTDRAWSURFACE7, LPDIRECTDRAWSURFACE7* copy)
{
    if (copy) *copy = nullptr;
    return DDERR_CANTDUPLICATE;
}

HRESULT DirectDrawObject::EnumDisplayModes(DWORD, LPDDSURFACEDESC2 filter, LPVOID context,
                                           LPDDENUMMODESCALLBACK2 callback)
{
    if (!callback) return DDERR_INVALIDPARAMS;
    for (const DisplayMode& mode : Backend::Get().DisplayModes()) {
        if (filter) {
            if ((filter->dwFlags & DDSD_WIDTH) && filter->dwWidth != static_cast<DWORD>(mode.width)) continue;
            if ((filter->dwFlags & DDSD_HEIGHT) && filter->dwHeight != static_cast<DWORD>(mode.height)) continue;
            if ((filter->dwFlags & DDSD_PIXELFORMAT) &&
                filter->ddpfPixelFormat.dwRGBBitCount != static_cast<DWORD>(mode.bitsPerPixel))
                continue;
        }
        DDSURFACEDESC2 desc = ModeDescription(mode.width, mode.height, mode.bitsPerPixel);
        if (callback(&desc, context) == DDENUMRET_CANCEL) break;
    }
    return DD_OK;
}

HRESULT DirectDrawObject::EnumSurfaces(DWORD, LPDDSURFACEDESC2, LPVOID context, LPDDENUMSURFACESCALLBACK7 callback)
{
    if (!callback) return DDERR_INVALIDPARAMS;
    std::vector<DirectDrawSurface*> surfaces = m_surfaces;
    for (DirectDrawSurface* surface : surfaces) {
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        surface->GetSurfaceDesc(&desc);
        surface->AddRef();
        if (callback(surface, &desc, context) == DDENUMRET_CANCEL) break;
    }
    return DD_OK;
}

HRESULT DirectDrawObject::GetCaps(LPDDCAPS driverCaps, LPDDCAPS helCaps)
{
    if (!driverCaps && !helCaps) return DDERR_INVALIDPARAMS;
    if ((driverCaps && driverCaps->dwSize != sizeof(DDCAPS)) || (helCaps && helCaps->dwSize != sizeof(DDCAPS)))
        return DDERR_INVALIDPARAMS;
    if (driverCaps) FillCaps(*driverCaps);
    if (helCaps) FillCaps(*helCaps);
    return DD_OK;
}

HRESULT DirectDrawObject::GetDisplayMode(LPDDSURFACEDESC2 desc)
{
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    *desc = ModeDescription(m_width, m_height, m_bits);
    return DD_OK;
}

HRESULT DirectDrawObject::GetFourCCCodes(LPDWORD count, LPDWORD)
{
    if (!count) return DDERR_INVALIDPARAMS;
    *count = 0;
    return DD_OK;
}

HRESULT DirectDrawObject::GetGDISurface(LPDIRECTDRAWSURFACE7* surface)
{
    if (!surface) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    for (DirectDrawSurface* s : m_surfaces)
        if (s->IsPrimary()) {
            s->AddRef();
            *surface = s;
            return DD_OK;
        }
    return DDERR_NOTFOUND;
}

HRESULT DirectDrawObject::GetMonitorFrequency(LPDWORD frequency)
{
    if (!frequency) return DDERR_INVALIDPARAMS;
    *frequency = 60;
    return DD_OK;
}

HRESULT DirectDrawObject::GetScanLine(LPDWORD line)
{
    if (!line) return DDERR_INVALIDPARAMS;
    *line = 0;
    return DD_OK;
}

HRESULT DirectDrawObject::GetVerticalBlankStatus(LPBOOL inBlank)
{
    if (!inBlank) return DDERR_INVALIDPARAMS;
    *inBlank = FALSE;
    return DD_OK;
}

void DirectDrawObject::ChangeMode(int width, int height, int bits)
{
    if (width == m_width && height == m_height && bits == m_bits) return;
    m_width = width;
    m_height = height;
    m_bits = bits;
    ++m_modeGeneration;
    LoseSurfaces();
}

HRESULT DirectDrawObject::RestoreDisplayMode()
{
    Backend& backend = Backend::Get();
    ChangeMode(backend.DesktopWidth(), backend.DesktopHeight(), backend.DesktopBitsPerPixel());
    return DD_OK;
}

HRESULT DirectDrawObject::SetCooperativeLevel(HWND window, DWORD flags)
{
    bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0, fullScreen = (flags & DDSCL_FULLSCREEN) != 0;
    bool normal = (flags & DDSCL_NORMAL) != 0;
    if (exclusive != fullScreen || (normal && exclusive) || (!normal && !exclusive)) return DDERR_INVALIDPARAMS;
    if (exclusive && !window) return DDERR_INVALIDPARAMS;
    bool wasFullScreen = FullScreen();
    m_cooperative = flags;
    m_window = window;
    Backend& backend = Backend::Get();
    if (exclusive) {
        backend.SetFullScreen(true, m_width, m_height);
    } else if (wasFullScreen) {
        RestoreDisplayMode();
        backend.SetFullScreen(false, m_width, m_height);
    }
    return DD_OK;
}

HRESULT DirectDrawObject::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD, DWORD)
{
    if (!m_cooperative) return DDERR_NOCOOPERATIVELEVELSET;
    if (!FullScreen()) return DDERR_NOEXCLUSIVEMODE;
    for (const DisplayMode& mode : Backend::Get().DisplayModes()) {
        if (static_cast<DWORD>(mode.width) == width && static_cast<DWORD>(mode.height) == height &&
            static_cast<DWORD>(mode.bitsPerPixel) == bitsPerPixel) {
            ChangeMode(mode.width, mode.height, mode.bitsPerPixel);
            Backend::Get().SetFullScreen(true, m_width, m_height);
            return DD_OK;
        }
    }
    return DDERR_INVALIDMODE;
}

HRESULT DirectDrawObject::GetAvailableVidMem(LPDDSCAPS2 caps, LPDWORD total, LPDWORD free)
{
    if (!caps) return DDERR_INVALIDPARAMS;
    if (total) *total = kVideoMemory;
    if (free) *free = kVideoMemory;
    return DD_OK;
}

HRESULT DirectDrawObject::GetSurfaceFromDC(HDC dc, LPDIRECTDRAWSURFACE7* surface)
{
    if (!surface) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    for (DirectDrawSurface* s : m_surfaces)
        if (s->HasDC(dc)) {
            s->AddRef();
            *surface = s;
            return DD_OK;
        }
    return DDERR_NOTFOUND;
}

HRESULT DirectDrawObject::RestoreAllSurfaces()
{
    HRESULT result = DD_OK;
    std::vector<DirectDrawSurface*> surfaces = m_surfaces;
    for (DirectDrawSurface* surface : surfaces) {
        HRESULT one = surface->Restore();
        if (FAILED(one)) result = one;
    }
    return result;
}

HRESULT DirectDrawObject::TestCooperativeLevel()
{
    if (CooperativeOverride() != DD_OK) return CooperativeOverride();
    if (!m_cooperative) return DDERR_NOCOOPERATIVELEVELSET;
    return DD_OK;
}

HRESULT DirectDrawObject::GetDeviceIdentifier(LPDDDEVICEIDENTIFIER2 identifier, DWORD)
{
    if (!identifier) return DDERR_INVALIDPARAMS;
    memset(identifier, 0, sizeof *identifier);
    strcpy(identifier->szDriver, "rcvdd.drv");
    strcpy(identifier->szDescription, "RC Volaro software display");
    return DD_OK;
}

void DirectDrawObject::Attach(DirectDrawSurface* surface)
{
    m_surfaces.push_back(surface);
}

void DirectDrawObject::Detach(DirectDrawSurface* surface)
{
    m_surfaces.erase(std::remove(m_surfaces.begin(), m_surfaces.end(), surface), m_surfaces.end());
}

void DirectDrawObject::LoseSurfaces()
{
    for (DirectDrawSurface* surface : m_surfaces) surface->MarkLost();
}

void DirectDrawObject::Present(DirectDrawSurface* primary)
{
    Backend& backend = Backend::Get();
    if (!backend.IsWindowOpen()) backend.OpenWindow("RC Volaro", primary->Width(), primary->Height(), FullScreen());
    int width = primary->Width(), height = primary->Height();
    m_presentBuffer.resize(static_cast<size_t>(width) * height);
    const DirectDrawPixelFormat& format = primary->Format();
    const PALETTEENTRY* palette = primary->PaletteEntries();
    const uint8_t* bits = primary->Bits();
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = bits + static_cast<size_t>(y) * primary->Pitch();
        uint32_t* out = &m_presentBuffer[static_cast<size_t>(y) * width];
        for (int x = 0; x < width; ++x)
            out[x] = format.ToARGB(format.Read(row + static_cast<size_t>(x) * format.Bytes()), palette) & 0xFFFFFF;
    }
    backend.Present(m_presentBuffer.data(), width, height, width);
}

int& DirectDrawObject::LiveCounter()
{
    static int count = 0;
    return count;
}

void DDrawLoseAllSurfaces()
{
    for (DirectDrawObject* object : DirectDrawObject::Live()) object->LoseSurfaces();
}

void DDrawSetCooperativeResult(HRESULT result)
{
    DirectDrawObject::CooperativeOverride() = result;
}

int DDrawLiveObjects()
{
    return DirectDrawObject::LiveCounter();
}
// The smaller levels of a MIP-mapped texture, each attached to the one
// above it: the count asked for, or down to 1 x 1.
void DirectDrawObject::AddMipLevels(DirectDrawSurface* top, const DDSURFACEDESC2& made)
{
    DWORD levels = 0;
    for (DWORD w = made.dwWidth, h = made.dwHeight; w > 1 || h > 1; w = w > 1 ? w / 2 : 1, h = h > 1 ? h / 2 : 1)
        ++levels;
    ++levels;
    if ((made.dwFlags & DDSD_MIPMAPCOUNT) && made.dwMipMapCount > 0 && made.dwMipMapCount < levels)
        levels = made.dwMipMapCount;
    DDSURFACEDESC2 level = made;
    level.ddsCaps.dwCaps &= ~DDSCAPS_COMPLEX;
    DirectDrawSurface* above = top;
    for (DWORD i = 1; i < levels; ++i) {
        level.dwWidth = level.dwWidth > 1 ? level.dwWidth / 2 : 1;
        level.dwHeight = level.dwHeight > 1 ? level.dwHeight / 2 : 1;
        level.dwMipMapCount = levels - i;
        DirectDrawSurface* next = new DirectDrawSurface(this, level, above->Format());
        above->AddAttachedSurface(next);
        next->Release();  // the level above holds it
        above = next;
    }
}
}  // namespace platform
