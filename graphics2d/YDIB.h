// The catalog bitmap: a Windows bitmap header with its colour table and the
// pixel rows (bottom-up, each padded to 4 bytes) in memory, loaded from an
// image file, a bitmap resource of the program or a catalog archive.  Once
// uploaded into a surface it drops the memory copy and draws from the
// surface; it reloads from its file when the surface is made again.
#pragma once

#include <string>
#include <vector>

#include "foundation/YResource.h"
#include "graphics2d/YDXSurfaceSource.h"

struct YImage;

class YDIB : public YResource, public YDXSurfaceSource {
    DECLARE_SERIAL(YDIB)
public:
    YDIB();
    ~YDIB() override;

    // Transparency values, the top-down flag, then the picture as a TGA.
    void Serialize(CArchive& ar) override;
    void OnNotify(DWORD value) override;
    // Into a new YDIB when target is null; nothing when it is no YDIB.
    YResource* CopyTo(YResource* target) override;
    // Draws at the origin.
    BOOL Draw(YDXSurface* target) override;
    // The resource slots of GetPaletteEntries and GetColorTable.
    BOOL SetColors(int first, int count, BYTE* out) override;
    BOOL GetColors(int first, int count, BYTE* out) override;
    LONG GetWidth() override;
    LONG GetHeight() override;
    BOOL ReleaseSurfaces() override;
    BOOL CreateSurfaces(YDXDraw* display) override;
    BOOL LoadFromFile(CFile& file) override;
    int Accept(YResourceVisitor* visitor) override;

    // Entries first .. first + count - 1 of the colour table as red, green,
    // blue, 0; 0 for a range outside the table.
    int GetPaletteEntries(int first, int count, PALETTEENTRY* out) override;
    // The same entries as they stand (blue, green, red, reserved).
    int GetColorTable(int first, int count, RGBQUAD* out);

    // 8-bit copy of a rectangle into target at (x, y), clipped to both
    // bitmaps; source bytes equal to transparentIndex are skipped (-1: none).
    virtual int CopyRect(YDIB* target, int x, int y, int width, int height, int sourceX, int sourceY,
                         int transparentIndex);
    // A blank 8-bit bitmap with a grey colour table.
    virtual int Create(int width, int height);
    // An 8-bit bitmap resource of the program; 0 when there is no such
    // resource or it is not an uncompressed 8-bit bitmap.
    virtual int LoadFromResource(UINT id, HMODULE module);
    // The bitmap of a resource's bytes: a 40-byte header of 8 bits a pixel
    // without compression, a full 256-entry colour table and the rows.
    int LoadFromResourceData(const BYTE* data, size_t size);
    virtual int LoadFromFile(const char* name);
    virtual int SaveTGA(CFile& file);
    int DrawToSurface(YDXSurface* surface, int x, int y) override;
    virtual int DrawToDC(HDC dc, int x, int y, DWORD rop);
    virtual int Draw(YDXSurface* surface, int x, int y, DWORD rop);
    // Copies the rows upright into the locked target at (x, y), clipped to it;
    // the target must have the bitmap's bit depth.
    virtual int CopyToLockedSurface(YDXSurface* surface, int x, int y);
    virtual int HasSurface() { return m_pSurface != nullptr; }
    virtual YDXSurface* GetSurface() { return m_pSurface; }
    // Frees header, own bits and image record; resets the transparency and
    // top-down values.
    virtual void Clear();
    virtual void ReleaseSurface();

    // Reads an image file (BMP, TGA or JPEG by its name) into the bitmap.
    int Load(CFile& file);
    // The picture as the archive holds it, and back.  Loading keeps the
    // transparency values and the top-down flag; no bytes clear the bitmap.
    bool StoreImage(std::vector<BYTE>& bytes);
    bool LoadStoredImage(const BYTE* bytes, size_t length);

    // (width + 3) rounded down to a multiple of 4: the 8-bit row stride.
    LONG GetStride();
    // 8-bit addressing, row 0 at the top of the picture; none outside it.
    BYTE* GetPixelAddress(int x, int y);
    DWORD GetPixel(int x, int y);
    // The colour-table entry at the transparent index as a COLORREF.
    COLORREF GetTransparentColor();
    LONG GetTransparentIndex() const { return m_transparentIndex; }
    void SetTransparentIndex(LONG index) { m_transparentIndex = index; }
    void SetTopDown(DWORD topDown) { m_topDown = topDown; }
    void SetOwnsBits(DWORD owns) { m_ownsBits = owns; }
    // Takes a copy of the header and colour table; borrows the bits.
    int Attach(const BITMAPINFO* info, BYTE* bits);
    // Rewrites the bits through the nearest entries of a 256-entry palette,
    // which becomes the colour table.
    int MapColorsToPalette(const PALETTEENTRY* palette);
    static int ColorCount(const BITMAPINFOHEADER* header);

    const BITMAPINFOHEADER* GetHeader() const { return reinterpret_cast<const BITMAPINFOHEADER*>(m_header); }
    const BYTE* GetBits() const { return m_bits; }
    DWORD OwnsBits() const { return m_ownsBits; }
    const CString& GetFileName() const { return m_fileName; }

    // Colour key as a Windows colour value (0x00BBGGRR).
    DWORD m_transparentColor;
    DWORD m_topDown;

private:
    BITMAPINFOHEADER* Header() { return reinterpret_cast<BITMAPINFOHEADER*>(m_header); }
    RGBQUAD* ColorTable() { return m_headerSize > sizeof(BITMAPINFOHEADER) ? reinterpret_cast<RGBQUAD*>(m_header + sizeof(BITMAPINFOHEADER)) : nullptr; }
    // Bytes of one row of the bits at the header's bit count.
    size_t RowBytes();
    // Memory row of picture row y (0 at the top).
    LONG MemoryRow(LONG y);
    bool AllocateHeader(size_t size);
    int TakeImage(YImage* image);

    YDXSurface* m_pSurface;
    BYTE* m_header;
    size_t m_headerSize;
    YImage* m_image;
    BYTE* m_bits;
    DWORD m_ownsBits;
    LONG m_transparentIndex;
    CString m_fileName;
};
