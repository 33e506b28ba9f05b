#include "graphics2d/YDIB.h"

#include <algorithm>
#include <new>

#include "foundation/YResourceVisitor.h"
#include "graphics2d/LoadImageFile.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YImage.h"

IMPLEMENT_SERIAL(YDIB, YResource, 1)

namespace {

const size_t kInfoSize = sizeof(BITMAPINFOHEADER);
const size_t kTableHeaderSize = kInfoSize + 256 * sizeof(RGBQUAD);
const DWORD kDefaultTransparentColor = 0x00FF00FF;

size_t Padded(size_t bytes) { return (bytes + 3) & ~static_cast<size_t>(3); }

// Clips a copy of width x height from (sx, sy) in a source of sw x sh to
// (dx, dy) in a target of dw x dh.  False when nothing is left.
bool ClipCopy(int& dx, int& dy, int& sx, int& sy, int& width, int& height, int sw, int sh, int dw, int dh)
{
    if (width <= 0 || height <= 0) return false;
    int shift = std::max({0, -dx, -sx});
    dx += shift;
    sx += shift;
    width -= shift;
    shift = std::max({0, -dy, -sy});
    dy += shift;
    sy += shift;
    height -= shift;
    width = std::min({width, dw - dx, sw - sx});
    height = std::min({height, dh - dy, sh - sy});
    return width > 0 && height > 0;
}

}  // namespace

YDIB::YDIB()
    : m_transparentColor(kDefaultTransparentColor), m_topDown(0), m_pSurface(nullptr), m_header(nullptr),
      m_headerSize(0), m_image(nullptr), m_bits(nullptr), m_ownsBits(1), m_transparentIndex(-1)
{
    Create(1, 1);
}

YDIB::~YDIB()
{
    ReleaseSurface();
    Clear();
}

bool YDIB::AllocateHeader(size_t size)
{
    delete[] m_header;
    m_header = new (std::nothrow) BYTE[size]();
    m_headerSize = m_header ? size : 0;
    return m_header != nullptr;
}

void YDIB::Clear()
{
    delete[] m_header;
    m_header = nullptr;
    m_headerSize = 0;
    if (m_ownsBits) delete[] m_bits;
    m_bits = nullptr;
    delete m_image;
    m_image = nullptr;
    m_ownsBits = 1;
    m_transparentIndex = -1;
    m_transparentColor = kDefaultTransparentColor;
    m_topDown = 0;
}

void YDIB::ReleaseSurface()
{
    delete m_pSurface;
    m_pSurface = nullptr;
}

int YDIB::Create(int width, int height)
{
    ReleaseSurface();
    Clear();
    if (!YImage::IsSaneSize(width, height)) return 0;
    const size_t size = Padded(static_cast<size_t>(width)) * static_cast<size_t>(height);
    if (!AllocateHeader(kTableHeaderSize)) return 0;
    m_bits = new (std::nothrow) BYTE[size]();
    if (!m_bits) {
        delete[] m_header;
        m_header = nullptr;
        m_headerSize = 0;
        return 0;
    }
    m_ownsBits = 1;
    BITMAPINFOHEADER* h = Header();
    h->biSize = static_cast<DWORD>(kInfoSize);
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = 8;
    h->biCompression = BI_RGB;
    h->biSizeImage = static_cast<DWORD>(size);
    RGBQUAD* table = ColorTable();
    for (int i = 0; i < 256; ++i) {
        table[i].rgbBlue = table[i].rgbGreen = table[i].rgbRed = static_cast<BYTE>(i);
        table[i].rgbReserved = 0;
    }
    return 1;
}

int YDIB::TakeImage(YImage* image)
{
    if (!image) return 0;
    m_image = image;
    const size_t size = image->m_palettised ? kTableHeaderSize : kInfoSize;
    if (!AllocateHeader(size)) {
        Clear();
        return 0;
    }
    const DWORD bits = image->m_palettised ? 8 : image->GetBitCount();
    BITMAPINFOHEADER* h = Header();
    // The size field tells a header with a colour table from one without.
    h->biSize = static_cast<DWORD>(size);
    h->biWidth = image->m_width;
    h->biHeight = image->m_height;
    h->biPlanes = 1;
    h->biBitCount = static_cast<WORD>(bits);
    h->biCompression = BI_RGB;
    h->biSizeImage = static_cast<DWORD>(Padded(static_cast<size_t>(bits) * image->m_width / 8) * image->m_height);
    if (image->m_palettised) memcpy(ColorTable(), image->m_palette, sizeof image->m_palette);
    m_bits = image->m_pixels;
    m_ownsBits = 0;
    return 1;
}

int YDIB::Load(CFile& file)
{
    Clear();
    if (!TakeImage(LoadImageByExtension(&file, IMAGE_LOAD_BOTTOMUP | IMAGE_LOAD_24BIT))) return 0;
    m_fileName = file.GetFilePath();
    return 1;
}

BOOL YDIB::LoadFromFile(CFile& file) { return Load(file); }

int YDIB::LoadFromFile(const char* name)
{
    if (!name) return 0;
    try {
        CFile file;
        if (!file.Open(name, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) return 0;
        int result = Load(file);
        file.Close();
        return result;
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
}

bool YDIB::StoreImage(std::vector<BYTE>& bytes)
{
    bytes.clear();
    CMemFile memory;
    if (!SaveTGA(memory)) return false;
    DWORD length = memory.GetLength();
    bytes.assign(length, 0);
    memory.SeekToBegin();
    return length == 0 || memory.Read(bytes.data(), length) == length;
}

bool YDIB::LoadStoredImage(const BYTE* bytes, size_t length)
{
    const LONG index = m_transparentIndex;
    const DWORD colour = m_transparentColor, topDown = m_topDown;
    ReleaseSurface();
    Clear();
    bool loaded = false;
    if (bytes && length > 0 && length <= 0xFFFFFFFFu) {
        // The archive holds a TGA as SaveTGA writes it, rows in the order in
        // which they were stored; the memory file has no name to go by.
        CMemFile memory(const_cast<BYTE*>(bytes), static_cast<UINT>(length));
        loaded = TakeImage(LoadTGA(memory, IMAGE_LOAD_24BIT)) != 0;
    }
    m_transparentIndex = index;
    m_transparentColor = colour;
    m_topDown = topDown;
    return loaded;
}

void YDIB::Serialize(CArchive& ar)
{
    YResource::Serialize(ar);
    if (ar.IsStoring()) {
        std::vector<BYTE> bytes;
        StoreImage(bytes);
        ar << m_transparentIndex << m_transparentColor << m_topDown;
        ar << static_cast<DWORD>(bytes.size());
        if (!bytes.empty()) ar.Write(bytes.data(), static_cast<UINT>(bytes.size()));
        return;
    }
    ReleaseSurface();
    Clear();
    DWORD length = 0;
    ar >> m_transparentIndex >> m_transparentColor >> m_topDown >> length;
    ar.EnsureCanRead(length);
    std::vector<BYTE> bytes(length, 0);
    if (length && ar.Read(bytes.data(), length) != length)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    LoadStoredImage(bytes.data(), bytes.size());
}

int YDIB::SaveTGA(CFile& file)
{
    const BITMAPINFOHEADER* h = GetHeader();
    if (!h || !m_bits) return 0;
    YImage image;
    image.m_kind = IMAGE_KIND_BITMAP;
    image.m_width = h->biWidth;
    image.m_height = h->biHeight;
    image.m_palettised = h->biBitCount == 8 ? 1 : 0;
    if (image.m_palettised && ColorTable()) memcpy(image.m_palette, ColorTable(), sizeof image.m_palette);
    image.SetPixelFormat(h->biBitCount);
    image.m_stride = static_cast<uint32_t>(RowBytes());
    // The record borrows the bits; they stay the bitmap's.
    image.m_pixels = m_bits;
    int result = 0;
    try {
        result = image.SaveTGA(file);
    } catch (...) {
        image.m_pixels = nullptr;
        throw;
    }
    image.m_pixels = nullptr;
    return result;
}

void YDIB::OnNotify(DWORD value)
{
    ReleaseSurface();
    YResource::OnNotify(value);
}

int YDIB::Accept(YResourceVisitor* visitor) { return visitor->VisitDIB(this); }

LONG YDIB::GetWidth()
{
    if (m_pSurface) return static_cast<LONG>(m_pSurface->GetWidth());
    return m_header ? Header()->biWidth : 0;
}

LONG YDIB::GetHeight()
{
    if (m_pSurface) return static_cast<LONG>(m_pSurface->GetHeight());
    return m_header ? Header()->biHeight : 0;
}

LONG YDIB::GetStride() { return (GetWidth() + 3) & ~3; }

size_t YDIB::RowBytes()
{
    if (!m_header) return 0;
    return Padded(static_cast<size_t>(Header()->biBitCount) / 8 * static_cast<size_t>(Header()->biWidth));
}

LONG YDIB::MemoryRow(LONG y) { return m_topDown ? y : Header()->biHeight - 1 - y; }

BOOL YDIB::SetColors(int first, int count, BYTE* out)
{
    return GetPaletteEntries(first, count, reinterpret_cast<PALETTEENTRY*>(out));
}

BOOL YDIB::GetColors(int first, int count, BYTE* out) { return GetColorTable(first, count, reinterpret_cast<RGBQUAD*>(out)); }

int YDIB::GetPaletteEntries(int first, int count, PALETTEENTRY* out)
{
    if (!out || first < 0 || count < 1 || first + count > 256 || !ColorTable()) return 0;
    const RGBQUAD* table = ColorTable();
    for (int i = 0; i < count; ++i) {
        out[i].peRed = table[first + i].rgbRed;
        out[i].peGreen = table[first + i].rgbGreen;
        out[i].peBlue = table[first + i].rgbBlue;
        out[i].peFlags = 0;
    }
    return 1;
}

int YDIB::GetColorTable(int first, int count, RGBQUAD* out)
{
    if (!out || first < 0 || count < 1 || first + count > 256 || !ColorTable()) return 0;
    memcpy(out, ColorTable() + first, static_cast<size_t>(count) * sizeof(RGBQUAD));
    return 1;
}

BYTE* YDIB::GetPixelAddress(int x, int y)
{
    if (!m_header || !m_bits || m_pSurface) return nullptr;
    if (x < 0 || y < 0 || x >= Header()->biWidth || y >= Header()->biHeight) return nullptr;
    return m_bits + static_cast<size_t>(MemoryRow(y)) * static_cast<size_t>(GetStride()) + static_cast<size_t>(x);
}

DWORD YDIB::GetPixel(int x, int y)
{
    if (!m_header || !m_bits) return 0;
    const BITMAPINFOHEADER* h = Header();
    if (x < 0 || y < 0 || x >= h->biWidth || y >= h->biHeight) return 0;
    const BYTE* row = m_bits + static_cast<size_t>(MemoryRow(y)) * RowBytes();
    switch (h->biBitCount) {
    case 8: {
        const RGBQUAD* table = ColorTable();
        if (!table) return 0;
        const RGBQUAD& q = table[row[x]];
        return static_cast<DWORD>(q.rgbBlue) | (static_cast<DWORD>(q.rgbGreen) << 8) |
               (static_cast<DWORD>(q.rgbRed) << 16) | (static_cast<DWORD>(q.rgbReserved) << 24);
    }
    case 24: {
        const BYTE* b = row + static_cast<size_t>(x) * 3;
        return (static_cast<DWORD>(b[0]) << 16) | (static_cast<DWORD>(b[1]) << 8) | b[2];
    }
    case 32: {
        const BYTE* b = row + static_cast<size_t>(x) * 4;
        return (static_cast<DWORD>(b[3]) << 24) | (static_cast<DWORD>(b[0]) << 16) | (static_cast<DWORD>(b[1]) << 8) |
               b[2];
    }
    default:
        return 0;
    }
}

COLORREF YDIB::GetTransparentColor()
{
    const RGBQUAD* table = ColorTable();
    if (!m_header || !table || m_transparentIndex < 0 || m_transparentIndex > 255) return 0;
    const RGBQUAD& q = table[m_transparentIndex];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

int YDIB::ColorCount(const BITMAPINFOHEADER* header)
{
    if (!header) return 0;
    int count = 0;
    switch (header->biBitCount) {
    case 1: count = 2; break;
    case 4: count = 16; break;
    case 8: count = 256; break;
    default: count = 0; break;
    }
    if (header->biSize == kInfoSize && header->biClrUsed != 0) count = static_cast<int>(std::min<DWORD>(header->biClrUsed, 256));
    return count;
}

int YDIB::Attach(const BITMAPINFO* info, BYTE* bits)
{
    ReleaseSurface();
    Clear();
    if (!info || !bits) return 0;
    if (!AllocateHeader(kTableHeaderSize)) return 0;
    memcpy(m_header, info, kInfoSize + static_cast<size_t>(ColorCount(&info->bmiHeader)) * sizeof(RGBQUAD));
    m_bits = bits;
    m_ownsBits = 0;
    return 1;
}

int YDIB::MapColorsToPalette(const PALETTEENTRY* palette)
{
    RGBQUAD* table = ColorTable();
    if (!palette || !table || !m_bits || Header()->biBitCount != 8) return 0;
    BYTE map[256];
    for (int i = 0; i < 256; ++i) {
        int best = 0x7FFFFFFF;
        map[i] = 0;
        for (int p = 0; p < 256; ++p) {
            int dr = table[i].rgbRed - palette[p].peRed, dg = table[i].rgbGreen - palette[p].peGreen,
                db = table[i].rgbBlue - palette[p].peBlue;
            int distance = dr * dr + dg * dg + db * db;
            if (distance < best) {
                best = distance;
                map[i] = static_cast<BYTE>(p);
            }
        }
    }
    const size_t size = static_cast<size_t>(GetStride()) * static_cast<size_t>(Header()->biHeight);
    for (size_t i = 0; i < size; ++i) m_bits[i] = map[m_bits[i]];
    for (int i = 0; i < 256; ++i) {
        table[i].rgbBlue = palette[i].peBlue;
        table[i].rgbGreen = palette[i].peGreen;
        table[i].rgbRed = palette[i].peRed;
        table[i].rgbReserved = 0;
    }
    Header()->biClrUsed = 256;
    return 1;
}

int YDIB::CopyRect(YDIB* target, int x, int y, int width, int height, int sourceX, int sourceY,
                   int transparentIndex)
{
    if (!target || width == 0 || height == 0) return 0;
    if (!m_header || !m_bits || !target->m_header || !target->m_bits) return 0;
    if (Header()->biBitCount != 8 || target->Header()->biBitCount != 8) return 0;
    if (!ClipCopy(x, y, sourceX, sourceY, width, height, Header()->biWidth, Header()->biHeight,
                  target->Header()->biWidth, target->Header()->biHeight))
        return 1;
    for (int row = 0; row < height; ++row) {
        const BYTE* from = GetPixelAddress(sourceX, sourceY + row);
        BYTE* to = target->GetPixelAddress(x, y + row);
        if (!from || !to) continue;
        if (transparentIndex == -1) {
            memmove(to, from, static_cast<size_t>(width));
            continue;
        }
        for (int i = 0; i < width; ++i)
            if (from[i] != transparentIndex) to[i] = from[i];
    }
    return 1;
}

int YDIB::CopyToLockedSurface(YDXSurface* surface, int x, int y)
{
    if (!surface || !m_header || !m_bits) return 0;
    const BITMAPINFOHEADER* h = Header();
    const int bytes = h->biBitCount / 8;
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    if (!surface->Lock(&desc)) return 0;
    int result = 0;
    if (desc.lpSurface && static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount) == h->biBitCount && bytes >= 1) {
        int sx = 0, sy = 0, width = h->biWidth, height = h->biHeight;
        if (ClipCopy(x, y, sx, sy, width, height, h->biWidth, h->biHeight, static_cast<int>(desc.dwWidth),
                     static_cast<int>(desc.dwHeight))) {
            // Picture row sy + i, counted from the top, lands on surface row y + i.
            for (int i = 0; i < height; ++i) {
                const BYTE* from = m_bits + static_cast<size_t>(MemoryRow(sy + i)) * RowBytes() +
                                   static_cast<size_t>(sx) * bytes;
                BYTE* to = static_cast<BYTE*>(desc.lpSurface) + static_cast<size_t>(y + i) * desc.lPitch +
                           static_cast<size_t>(x) * bytes;
                memcpy(to, from, static_cast<size_t>(width) * bytes);
            }
        }
        result = 1;
    }
    surface->Unlock();
    return result;
}

int YDIB::DrawToSurface(YDXSurface* surface, int x, int y)
{
    if (!surface) return 0;
    if (m_pSurface) {
        RECT rect = {x, y, x + GetWidth(), y + GetHeight()};
        if (m_pSurface->IsAlphaSource()) return surface->BltAlpha(m_pSurface, x, y, nullptr);
        return surface->Blt(m_pSurface, &rect, nullptr, 0, 0, 0);
    }
    if (!m_header || !m_bits) return 0;
    HDC dc = nullptr;
    if (!surface->GetDC(&dc) || !dc) return 0;
    const LONG width = Header()->biWidth, height = Header()->biHeight;
    StretchDIBits(dc, x, y, width, m_topDown ? -height : height, 0, 0, width, height, m_bits,
                  reinterpret_cast<const BITMAPINFO*>(m_header), DIB_RGB_COLORS, SRCCOPY);
    surface->ReleaseDC(dc);
    return 1;
}

BOOL YDIB::Draw(YDXSurface* target)
{
    DrawToSurface(target, 0, 0);
    return TRUE;
}

int YDIB::DrawToDC(HDC dc, int x, int y, DWORD rop)
{
    if (!dc) return 0;
    if (m_pSurface) {
        HDC own = nullptr;
        if (!m_pSurface->GetDC(&own) || !own) return 0;
        BitBlt(dc, x, y, GetWidth(), GetHeight(), own, 0, 0, rop);
        m_pSurface->ReleaseDC(own);
        return 1;
    }
    if (!m_header || !m_bits) return 0;
    const LONG width = Header()->biWidth, height = Header()->biHeight;
    StretchDIBits(dc, x, y, width, m_topDown ? -height : height, 0, 0, width, height, m_bits,
                  reinterpret_cast<const BITMAPINFO*>(m_header), DIB_RGB_COLORS, rop);
    return 1;
}

int YDIB::Draw(YDXSurface* surface, int x, int y, DWORD rop)
{
    if (!surface) return 0;
    if (m_pSurface) return DrawToSurface(surface, x, y);
    if (!m_header || !m_bits) return 0;
    if (Header()->biBitCount >= 24 && rop == SRCCOPY &&
        surface->GetDescription().ddpfPixelFormat.dwRGBBitCount == static_cast<DWORD>(Header()->biBitCount))
        return CopyToLockedSurface(surface, x, y);
    HDC dc = nullptr;
    if (!surface->GetDC(&dc) || !dc) return 0;
    int result = DrawToDC(dc, x, y, rop);
    surface->ReleaseDC(dc);
    return result;
}

BOOL YDIB::ReleaseSurfaces()
{
    ReleaseSurface();
    return TRUE;
}

BOOL YDIB::CreateSurfaces(YDXDraw* display)
{
    ReleaseSurface();
    if ((!m_header || !m_bits || Header()->biWidth == 1) && !m_fileName.IsEmpty()) {
        // The colour key and row order describe the picture: keep them.
        const LONG index = m_transparentIndex;
        const DWORD colour = m_transparentColor, topDown = m_topDown;
        CString name = m_fileName;
        LoadFromFile(static_cast<LPCTSTR>(name));
        m_transparentIndex = index;
        m_transparentColor = colour;
        m_topDown = topDown;
    }
    if (!m_header || !m_bits || !display) return TRUE;
    const BITMAPINFOHEADER* h = Header();
    YDXSurface* surface = new YDXSurface(static_cast<LPCTSTR>(m_fileName));
    int made;
    if (h->biBitCount == 32) {
        made = surface->CreateAlphaSource(display, static_cast<DWORD>(h->biWidth), static_cast<DWORD>(h->biHeight));
        // The rows go in upright, as CopyToLockedSurface puts them.
        if (made) CopyToLockedSurface(surface, 0, 0);
    } else {
        made = surface->CreateSurface(display, static_cast<DWORD>(h->biWidth), static_cast<DWORD>(h->biHeight),
                                      DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr);
        if (made) DrawToSurface(surface, 0, 0);
    }
    if (!made || !surface->GetSurface()) {
        delete surface;
        return TRUE;
    }
    const LONG index = m_transparentIndex;
    const DWORD colour = m_transparentColor, topDown = m_topDown;
    Clear();
    m_transparentIndex = index;
    m_transparentColor = colour;
    m_topDown = topDown;
    m_pSurface = surface;
    return TRUE;
}

YResource* YDIB::CopyTo(YResource* target)
{
    if (!target) target = new YDIB;
    YDIB* dib = DYNAMIC_DOWNCAST(YDIB, target);
    if (!dib) return target;
    YResource::CopyTo(dib);
    dib->ReleaseSurface();
    dib->Clear();
    if (m_pSurface) {
        const DDSURFACEDESC2& desc = m_pSurface->GetDescription();
        YDXSurface* surface = new YDXSurface(m_pSurface->GetName().GetBuffer());
        DDPIXELFORMAT format = desc.ddpfPixelFormat;
        int made = m_pSurface->IsAlphaSource()
                       ? surface->CreateAlphaSource(m_pSurface->GetDisplay(), m_pSurface->GetWidth(),
                                                    m_pSurface->GetHeight())
                       : surface->CreateSurface(m_pSurface->GetDisplay(), m_pSurface->GetWidth(),
                                                m_pSurface->GetHeight(), desc.ddsCaps.dwCaps, nullptr, 0, &format);
        if (made) {
            surface->Blt(m_pSurface, nullptr, nullptr, 0, 0, 0);
            dib->m_pSurface = surface;
        } else {
            delete surface;
        }
    } else if (m_header && m_bits) {
        if (dib->AllocateHeader(m_headerSize)) {
            memcpy(dib->m_header, m_header, m_headerSize);
            const size_t size = RowBytes() * static_cast<size_t>(Header()->biHeight);
            dib->m_bits = new (std::nothrow) BYTE[size];
            if (dib->m_bits) memcpy(dib->m_bits, m_bits, size);
            dib->m_ownsBits = 1;
        }
    }
    dib->m_transparentIndex = m_transparentIndex;
    dib->m_transparentColor = m_transparentColor;
    dib->m_topDown = m_topDown;
    dib->m_fileName = m_fileName;
    return dib;
}

int YDIB::LoadFromResource(UINT id, HMODULE module)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), RT_BITMAP);
    if (!found) return 0;
    HGLOBAL loaded = LoadResource(module, found);
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data) return 0;
    return LoadFromResourceData(data, SizeofResource(module, found));
}

int YDIB::LoadFromResourceData(const BYTE* data, size_t size)
{
    if (!data || size < kTableHeaderSize) return 0;
    BITMAPINFOHEADER h;
    memcpy(&h, data, sizeof h);
    if (h.biSize != kInfoSize || h.biBitCount != 8 || h.biCompression != BI_RGB) return 0;
    const int64_t height = h.biHeight < 0 ? -static_cast<int64_t>(h.biHeight) : h.biHeight;
    if (!YImage::IsSaneSize(h.biWidth, height)) return 0;
    size_t imageSize = h.biSizeImage;
    if (imageSize == 0) imageSize = Padded(static_cast<size_t>(h.biWidth)) * static_cast<size_t>(height);
    if (imageSize < Padded(static_cast<size_t>(h.biWidth)) * static_cast<size_t>(height) ||
        size - kTableHeaderSize < imageSize)
        return 0;
    BYTE* header = new (std::nothrow) BYTE[kTableHeaderSize];
    BYTE* bits = new (std::nothrow) BYTE[imageSize];
    if (!header || !bits) {
        delete[] header;
        delete[] bits;
        return 0;
    }
    memcpy(header, data, kTableHeaderSize);
    memcpy(bits, data + kTableHeaderSize, imageSize);
    ReleaseSurface();
    Clear();
    m_header = header;
    m_headerSize = kTableHeaderSize;
    Header()->biSizeImage = static_cast<DWORD>(imageSize);
    // A negative height marks rows stored top-down.
    if (Header()->biHeight < 0) {
        Header()->biHeight = static_cast<LONG>(height);
        m_topDown = 1;
    }
    m_bits = bits;
    m_ownsBits = 1;
    return 1;
}
