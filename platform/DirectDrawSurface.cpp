#include "platform/DirectDrawSurface.h"

#include "platform/DirectDrawClipper.h"
#include "platform/DirectDrawObject.h"
#include "platform/DirectDrawPalette.h"
#include "platform/GdiDeviceContext.h"
#include "platform/backend/Environment.h"

#include <algorithm>

namespace platform {
namespace {
bool Inside(const RECT& r, int width, int height)
{
    return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && r.left <= r.right &&
           r.top <= r.bottom;
}

bool Empty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

RECT Whole(int width, int height)
{
    RECT r = {0, 0, width, height};
    return r;
}
}  // namespace

DirectDrawSurface::DirectDrawSurface(DirectDrawObject* owner, const DDSURFACEDESC2& desc,
                                     const DirectDrawPixelFormat& format)
    : m_owner(owner), m_desc(desc), m_format(format), m_generation(owner->ModeGeneration())
{
    m_owner->AddRef();
    m_owner->Attach(this);
    ++DirectDrawObject::LiveCounter();
    m_desc.lPitch = (static_cast<int>(m_desc.dwWidth) * m_format.Bytes() + 3) & ~3;
    m_memory.assign(static_cast<size_t>(m_desc.lPitch) * m_desc.dwHeight, 0);
    if (desc.dwFlags & DDSD_CKSRCBLT) {
        m_hasSourceKey = true;
        m_sourceKey = desc.ddckCKSrcBlt;
    }
    if (desc.dwFlags & DDSD_CKDESTBLT) {
        m_hasDestKey = true;
        m_destKey = desc.ddckCKDestBlt;
    }
    m_lostOnFirstBlt = Environment::Forced("surfacelost");
}

DirectDrawSurface::~DirectDrawSurface()
{
    if (m_dc) GdiDeviceContext::Destroy(m_dc);
    for (DirectDrawSurface* surface : m_attached) surface->Release();
    if (m_chain) {
        m_chain->m_front = nullptr;
        m_chain->Release();
    }
    if (m_palette) m_palette->Release();
    if (m_clipper) m_clipper->Release();
    --DirectDrawObject::LiveCounter();
    if (m_owner) {
        m_owner->Detach(this);
        m_owner->Release();
    }
}

HRESULT DirectDrawSurface::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectDrawSurface7)) {
        AddRef();
        *object = static_cast<IDirectDrawSurface7*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG DirectDrawSurface::AddRef()
{
    return ++m_refs;
}

ULONG DirectDrawSurface::Release()
{
    ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

void DirectDrawSurface::AddChainSurface(DirectDrawSurface* back)
{
    m_chain = back;
    back->m_front = this;
}

const PALETTEENTRY* DirectDrawSurface::PaletteEntries() const
{
    return m_palette ? m_palette->Entries() : nullptr;
}

BlitImage DirectDrawSurface::Image()
{
    BlitImage image;
    image.bits = m_memory.data();
    image.width = Width();
    image.height = Height();
    image.pitch = Pitch();
    image.format = &m_format;
    image.palette = PaletteEntries();
    return image;
}

HRESULT DirectDrawSurface::Busy() const
{
    return (m_locked || m_dc) ? DDERR_SURFACEBUSY : DD_OK;
}

bool DirectDrawSurface::ClipRects(const RECT& dest, std::vector<RECT>& out, HRESULT& error) const
{
    out.clear();
    if (!m_clipper) {
        if (!Inside(dest, Width(), Height())) {
            error = DDERR_INVALIDRECT;
            return false;
        }
        out.push_back(dest);
        return true;
    }
    std::vector<RECT> clips;
    if (!m_clipper->Rects(Width(), Height(), clips)) {
        error = DDERR_NOCLIPLIST;
        return false;
    }
    RECT bounds = Whole(Width(), Height());
    for (const RECT& clip : clips) {
        RECT part, inside;
        if (IntersectRect(&part, &clip, &dest) && IntersectRect(&inside, &part, &bounds)) out.push_back(inside);
    }
    return true;
}

void DirectDrawSurface::AfterDraw()
{
    if (IsPrimary() && m_owner) m_owner->Present(this);
}

HRESULT DirectDrawSurface::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD flags,
                               LPDDBLTFX fx)
{
    ++m_contentVersion;
    if (m_lostOnFirstBlt) {
        m_lostOnFirstBlt = false;
        m_lost = true;
    }
    if (m_lost) return DDERR_SURFACELOST;
    if (Busy() != DD_OK) return Busy();
    const DWORD needFx = DDBLT_COLORFILL | DDBLT_DEPTHFILL | DDBLT_DDFX | DDBLT_ROP | DDBLT_KEYSRCOVERRIDE |
                         DDBLT_KEYDESTOVERRIDE;
    if ((flags & needFx) && (!fx || fx->dwSize != sizeof(DDBLTFX))) return DDERR_INVALIDPARAMS;

    RECT dest = destRect ? *destRect : Whole(Width(), Height());
    if (dest.left > dest.right || dest.top > dest.bottom) return DDERR_INVALIDRECT;
    if (Empty(dest)) return DD_OK;
    std::vector<RECT> clips;
    HRESULT clipError = DD_OK;
    if (!ClipRects(dest, clips, clipError)) return clipError;

    bool fill = false;
    uint32_t fillValue = 0;
    if (flags & (DDBLT_COLORFILL | DDBLT_DEPTHFILL)) {
        fill = true;
        fillValue = (flags & DDBLT_COLORFILL) ? fx->dwFillColor : fx->dwFillDepth;
    } else if (flags & DDBLT_ROP) {
        if (fx->dwROP == BLACKNESS || fx->dwROP == WHITENESS) {
            fill = true;
            fillValue = fx->dwROP == WHITENESS ? m_format.ColourMask() : 0;
        } else if (fx->dwROP != SRCCOPY) {
            return DDERR_NORASTEROPHW;
        }
    }
    if (fill) {
        if (m_format.Bytes() < 4) fillValue &= (1u << (8 * m_format.Bytes())) - 1;
        BlitImage image = Image();
        for (const RECT& clip : clips) DirectDrawBlitter::Fill(image, clip, fillValue);
        return DD_OK;
    }

    if (!source) return DDERR_INVALIDPARAMS;
    DirectDrawSurface* src = static_cast<DirectDrawSurface*>(source);
    if (src->m_lost) return DDERR_SURFACELOST;
    if (src != this && src->Busy() != DD_OK) return src->Busy();
    RECT from = sourceRect ? *sourceRect : Whole(src->Width(), src->Height());
    if (!Inside(from, src->Width(), src->Height())) return DDERR_INVALIDRECT;
    if (Empty(from)) return DD_OK;

    BlitParams params;
    params.dest = dest;
    params.source = from;
    if ((flags & DDBLT_KEYSRCOVERRIDE) || ((flags & DDBLT_KEYSRC) && src->m_hasSourceKey)) {
        params.sourceKey = true;
        params.sourceKeyRange = (flags & DDBLT_KEYSRCOVERRIDE) ? fx->ddckSrcColorkey : src->m_sourceKey;
    }
    if ((flags & DDBLT_KEYDESTOVERRIDE) || ((flags & DDBLT_KEYDEST) && m_hasDestKey)) {
        params.destKey = true;
        params.destKeyRange = (flags & DDBLT_KEYDESTOVERRIDE) ? fx->ddckDestColorkey : m_destKey;
    }
    if (flags & DDBLT_DDFX) {
        params.mirrorLeftRight = (fx->dwDDFX & DDBLTFX_MIRRORLEFTRIGHT) != 0;
        params.mirrorUpDown = (fx->dwDDFX & DDBLTFX_MIRRORUPDOWN) != 0;
    }

    BlitImage to = Image();
    BlitImage in = src->Image();
    std::vector<uint8_t> copy;
    if (src == this) {
        copy = m_memory;
        in.bits = copy.data();
    }
    for (const RECT& clip : clips) DirectDrawBlitter::Blit(to, in, params, clip);
    AfterDraw();
    return DD_OK;
}

HRESULT DirectDrawSurface::BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD flags)
{
    ++m_contentVersion;
    if (m_lost) return DDERR_SURFACELOST;
    if (Busy() != DD_OK) return Busy();
    if (!source) return DDERR_INVALIDPARAMS;
    if (m_clipper) return DDERR_BLTFASTCANTCLIP;
    DirectDrawSurface* src = static_cast<DirectDrawSurface*>(source);
    if (src->m_lost) return DDERR_SURFACELOST;
    if (src != this && src->Busy() != DD_OK) return src->Busy();
    RECT from = sourceRect ? *sourceRect : Whole(src->Width(), src->Height());
    if (!Inside(from, src->Width(), src->Height())) return DDERR_INVALIDRECT;
    if (Empty(from)) return DD_OK;
    if (x > static_cast<DWORD>(Width()) || y > static_cast<DWORD>(Height())) return DDERR_INVALIDRECT;
    RECT dest = {static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x) + (from.right - from.left),
                 static_cast<LONG>(y) + (from.bottom - from.top)};
    if (!Inside(dest, Width(), Height())) return DDERR_INVALIDRECT;

    BlitParams params;
    params.dest = dest;
    params.source = from;
    if ((flags & DDBLTFAST_SRCCOLORKEY) && src->m_hasSourceKey) {
        params.sourceKey = true;
        params.sourceKeyRange = src->m_sourceKey;
    }
    if ((flags & DDBLTFAST_DESTCOLORKEY) && m_hasDestKey) {
        params.destKey = true;
        params.destKeyRange = m_destKey;
    }
    BlitImage to = Image();
    BlitImage in = src->Image();
    std::vector<uint8_t> copy;
    if (src == this) {
        copy = m_memory;
        in.bits = copy.data();
    }
    DirectDrawBlitter::Blit(to, in, params, dest);
    AfterDraw();
    return DD_OK;
}

HRESULT DirectDrawSurface::AddAttachedSurface(LPDIRECTDRAWSURFACE7 surface)
{
    if (!surface) return DDERR_INVALIDPARAMS;
    DirectDrawSurface* other = static_cast<DirectDrawSurface*>(surface);
    if (other == this || other == m_chain) return DDERR_CANNOTATTACHSURFACE;
    if (std::find(m_attached.begin(), m_attached.end(), other) != m_attached.end())
        return DDERR_SURFACEALREADYATTACHED;
    other->AddRef();
    m_attached.push_back(other);
    return DD_OK;
}

HRESULT DirectDrawSurface::DeleteAttachedSurface(DWORD, LPDIRECTDRAWSURFACE7 surface)
{
    if (!surface) {
        for (DirectDrawSurface* s : m_attached) s->Release();
        m_attached.clear();
        return DD_OK;
    }
    auto it = std::find(m_attached.begin(), m_attached.end(), static_cast<DirectDrawSurface*>(surface));
    if (it == m_attached.end()) return DDERR_SURFACENOTATTACHED;
    DirectDrawSurface* s = *it;
    m_attached.erase(it);
    s->Release();
    return DD_OK;
}

HRESULT DirectDrawSurface::Flip(LPDIRECTDRAWSURFACE7 target, DWORD)
{
    if (!IsPrimary() || !(m_desc.ddsCaps.dwCaps & DDSCAPS_FLIP) || !m_chain) return DDERR_NOTFLIPPABLE;
    if (target && target != m_chain) return DDERR_INVALIDPARAMS;
    if (m_lost || m_chain->m_lost) return DDERR_SURFACELOST;
    if (Busy() != DD_OK) return Busy();
    if (m_chain->Busy() != DD_OK) return m_chain->Busy();
    m_memory.swap(m_chain->m_memory);
    AfterDraw();
    return DD_OK;
}

HRESULT DirectDrawSurface::GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE7* surface)
{
    if (!caps || !surface) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    std::vector<DirectDrawSurface*> candidates;
    if (m_chain) candidates.push_back(m_chain);
    candidates.insert(candidates.end(), m_attached.begin(), m_attached.end());
    for (DirectDrawSurface* s : candidates) {
        if ((s->m_desc.ddsCaps.dwCaps & caps->dwCaps) == caps->dwCaps &&
            (s->m_desc.ddsCaps.dwCaps2 & caps->dwCaps2) == caps->dwCaps2) {
            s->AddRef();
            *surface = s;
            return DD_OK;
        }
    }
    return DDERR_NOTFOUND;
}

HRESULT DirectDrawSurface::GetCaps(LPDDSCAPS2 caps)
{
    if (!caps) return DDERR_INVALIDPARAMS;
    *caps = m_desc.ddsCaps;
    return DD_OK;
}

HRESULT DirectDrawSurface::GetClipper(LPDIRECTDRAWCLIPPER* clipper)
{
    if (!clipper) return DDERR_INVALIDPARAMS;
    *clipper = m_clipper;
    if (!m_clipper) return DDERR_NOCLIPPERATTACHED;
    m_clipper->AddRef();
    return DD_OK;
}

HRESULT DirectDrawSurface::GetColorKey(DWORD flags, LPDDCOLORKEY key)
{
    if (!key) return DDERR_INVALIDPARAMS;
    if (flags == DDCKEY_SRCBLT) {
        if (!m_hasSourceKey) return DDERR_NOCOLORKEY;
        *key = m_sourceKey;
        return DD_OK;
    }
    if (flags == DDCKEY_DESTBLT) {
        if (!m_hasDestKey) return DDERR_NOCOLORKEY;
        *key = m_destKey;
        return DD_OK;
    }
    return DDERR_INVALIDPARAMS;
}

HRESULT DirectDrawSurface::SetColorKey(DWORD flags, LPDDCOLORKEY key)
{
    ++m_contentVersion;
    DWORD which = flags & ~DDCKEY_COLORSPACE;
    if (which != DDCKEY_SRCBLT && which != DDCKEY_DESTBLT) {
        if (which == DDCKEY_SRCOVERLAY || which == DDCKEY_DESTOVERLAY) return DDERR_UNSUPPORTED;
        return DDERR_INVALIDPARAMS;
    }
    bool& has = which == DDCKEY_SRCBLT ? m_hasSourceKey : m_hasDestKey;
    DDCOLORKEY& stored = which == DDCKEY_SRCBLT ? m_sourceKey : m_destKey;
    DWORD descFlag = which == DDCKEY_SRCBLT ? DDSD_CKSRCBLT : DDSD_CKDESTBLT;
    if (!key) {
        has = false;
        stored.dwColorSpaceLowValue = stored.dwColorSpaceHighValue = 0;
        m_desc.dwFlags &= ~descFlag;
        return DD_OK;
    }
    has = true;
    stored.dwColorSpaceLowValue = key->dwColorSpaceLowValue;
    stored.dwColorSpaceHighValue = (flags & DDCKEY_COLORSPACE) ? key->dwColorSpaceHighValue : key->dwColorSpaceLowValue;
    m_desc.dwFlags |= descFlag;
    if (which == DDCKEY_SRCBLT) m_desc.ddckCKSrcBlt = stored;
    else m_desc.ddckCKDestBlt = stored;
    return DD_OK;
}

HRESULT DirectDrawSurface::GetDC(HDC* dc)
{
    if (!dc) return DDERR_INVALIDPARAMS;
    *dc = nullptr;
    if (m_lost) return DDERR_SURFACELOST;
    if (m_dc) return DDERR_DCALREADYCREATED;
    if (m_locked) return DDERR_SURFACEBUSY;
    if (m_format.IsZBuffer()) return DDERR_CANTCREATEDC;
    GdiPixels pixels;
    pixels.bits = m_memory.data();
    pixels.width = Width();
    pixels.height = Height();
    pixels.pitch = Pitch();
    pixels.format = m_format;
    pixels.palette = PaletteEntries();
    m_dc = GdiDeviceContext::CreateOver(pixels);
    if (!m_dc) return DDERR_CANTCREATEDC;
    *dc = m_dc;
    return DD_OK;
}

HRESULT DirectDrawSurface::ReleaseDC(HDC dc)
{
    ++m_contentVersion;
    if (!m_dc) return DDERR_NODC;
    if (dc != m_dc) return DDERR_INVALIDPARAMS;
    GdiDeviceContext::Destroy(m_dc);
    m_dc = nullptr;
    return DD_OK;
}

HRESULT DirectDrawSurface::GetPalette(LPDIRECTDRAWPALETTE* palette)
{
    if (!palette) return DDERR_INVALIDPARAMS;
    *palette = m_palette;
    if (!m_palette) return DDERR_NOPALETTEATTACHED;
    m_palette->AddRef();
    return DD_OK;
}

HRESULT DirectDrawSurface::SetPalette(LPDIRECTDRAWPALETTE palette)
{
    if (m_lost) return DDERR_SURFACELOST;
    if (m_dc) return DDERR_SURFACEBUSY;
    if (palette && !m_format.Palettised()) return DDERR_INVALIDPIXELFORMAT;
    DirectDrawPalette* next = static_cast<DirectDrawPalette*>(palette);
    if (next) next->AddRef();
    if (m_palette) m_palette->Release();
    m_palette = next;
    return DD_OK;
}

HRESULT DirectDrawSurface::SetClipper(LPDIRECTDRAWCLIPPER clipper)
{
    DirectDrawClipper* next = static_cast<DirectDrawClipper*>(clipper);
    if (next) next->AddRef();
    if (m_clipper) m_clipper->Release();
    m_clipper = next;
    return DD_OK;
}

HRESULT DirectDrawSurface::GetPixelFormat(LPDDPIXELFORMAT format)
{
    if (!format || format->dwSize != sizeof(DDPIXELFORMAT)) return DDERR_INVALIDPARAMS;
    *format = m_format.Describe();
    return DD_OK;
}

HRESULT DirectDrawSurface::GetSurfaceDesc(LPDDSURFACEDESC2 desc)
{
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    *desc = m_desc;
    desc->lpSurface = nullptr;
    return DD_OK;
}

HRESULT DirectDrawSurface::IsLost()
{
    return m_lost ? DDERR_SURFACELOST : DD_OK;
}

HRESULT DirectDrawSurface::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD, HANDLE)
{
    ++m_contentVersion;
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    if (m_lost) return DDERR_SURFACELOST;
    if (Busy() != DD_OK) return Busy();
    RECT area = rect ? *rect : Whole(Width(), Height());
    if (!Inside(area, Width(), Height())) return DDERR_INVALIDRECT;
    *desc = m_desc;
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = m_memory.data() + static_cast<size_t>(area.top) * Pitch() +
                      static_cast<size_t>(area.left) * m_format.Bytes();
    m_locked = true;
    return DD_OK;
}

HRESULT DirectDrawSurface::Unlock(LPRECT)
{
    ++m_contentVersion;
    if (!m_locked) return DDERR_NOTLOCKED;
    m_locked = false;
    return DD_OK;
}

HRESULT DirectDrawSurface::Restore()
{
    ++m_contentVersion;
    if (!m_lost) return DD_OK;
    if (m_owner && m_generation != m_owner->ModeGeneration()) return DDERR_WRONGMODE;
    m_lost = false;
    std::fill(m_memory.begin(), m_memory.end(), 0);
    if (m_chain) m_chain->Restore();
    return DD_OK;
}

HRESULT DirectDrawSurface::GetDDInterface(LPVOID* directDraw)
{
    if (!directDraw) return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (!m_owner) return DDERR_INVALIDOBJECT;
    m_owner->AddRef();
    *directDraw = static_cast<IDirectDraw7*>(m_owner);
    return DD_OK;
}
}  // namespace platform
