#include "foundation/SaveDCBitmap.h"

#include <new>
#include <vector>

namespace {
void Put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutInfoHeader(std::vector<uint8_t>& out, const BITMAPINFOHEADER& h)
{
    Put32(out, h.biSize);
    Put32(out, static_cast<uint32_t>(h.biWidth));
    Put32(out, static_cast<uint32_t>(h.biHeight));
    Put16(out, h.biPlanes);
    Put16(out, h.biBitCount);
    Put32(out, h.biCompression);
    Put32(out, h.biSizeImage);
    Put32(out, static_cast<uint32_t>(h.biXPelsPerMeter));
    Put32(out, static_cast<uint32_t>(h.biYPelsPerMeter));
    Put32(out, h.biClrUsed);
    Put32(out, h.biClrImportant);
}
}  // namespace

void SaveDCBitmap(CFile* file, HDC dc, RECT rect)
{
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (!file || !dc || width <= 0 || height <= 0) return;
    HDC memoryDC = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    if (!memoryDC || !bitmap) {
        if (bitmap) DeleteObject(bitmap);
        if (memoryDC) DeleteDC(memoryDC);
        return;
    }
    HGDIOBJ previous = SelectObject(memoryDC, bitmap);
    BitBlt(memoryDC, 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY);
    SelectObject(memoryDC, previous);

    BITMAPINFOHEADER query;
    memset(&query, 0, sizeof query);
    query.biSize = sizeof query;
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), nullptr, reinterpret_cast<BITMAPINFO*>(&query),
              DIB_RGB_COLORS);
    if (query.biBitCount > 8 && query.biBitCount != 24) {
        query.biBitCount = 24;
        query.biCompression = BI_RGB;
    }
    const uint32_t rowBytes = ((static_cast<uint32_t>(query.biBitCount) * width / 8) + 3) & ~3u;
    const uint32_t imageSize = rowBytes * static_cast<uint32_t>(height);
    const uint32_t headerSize = query.biBitCount <= 8 ? 1064 : 40;
    query.biSizeImage = imageSize;

    std::vector<uint8_t> header, pixels;
    try {
        header.assign(headerSize, 0);
        pixels.assign(imageSize, 0);
    } catch (const std::bad_alloc&) {
        DeleteObject(bitmap);
        DeleteDC(memoryDC);
        return;
    }
    memcpy(header.data(), &query, sizeof query);
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(header.data());
    int lines = GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memoryDC);
    if (lines <= 0) return;

    std::vector<uint8_t> out;
    out.reserve(14 + headerSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + headerSize + imageSize);
    Put32(out, 0);
    Put32(out, 14 + headerSize);
    PutInfoHeader(out, info->bmiHeader);
    for (uint32_t i = 0; headerSize > 40 && i < 256; ++i) {
        const RGBQUAD& q = info->bmiColors[i];
        out.push_back(q.rgbBlue);
        out.push_back(q.rgbGreen);
        out.push_back(q.rgbRed);
        out.push_back(q.rgbReserved);
    }
    file->Write(out.data(), static_cast<UINT>(out.size()));
    file->Write(pixels.data(), imageSize);
}
