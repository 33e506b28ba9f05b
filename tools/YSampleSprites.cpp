#include "tools/YSampleSprites.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <sys/stat.h>

#include "graphics2d/YImage.h"
#include "tools/YImageWriter.h"

namespace {
const COLORREF kKey = RGB(255, 0, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(220, 32, 32);
const COLORREF kBlue = RGB(40, 80, 200);

bool InArrow(int x, int y)
{
    if (x < 0 || y < 0) return false;
    // A triangle from the tip down to row 17, and a stem below it.
    if (y < 18 && x <= y * 2 / 3) return true;
    return y >= 12 && y < 24 && x >= 3 && x <= 6;
}

bool Write(const std::string& path, int size, const std::function<COLORREF(int, int)>& paint)
{
    std::unique_ptr<YImage> image(new YImage);
    image->m_width = image->m_height = size;
    image->m_kind = IMAGE_KIND_BITMAP;
    image->SetPixelFormat(32);
    if (!image->AllocatePixels(static_cast<uint32_t>(size) * 4)) return false;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const COLORREF c = paint(x, y);
            BYTE* at = image->m_pixels + static_cast<size_t>(y) * image->m_stride + static_cast<size_t>(x) * 4;
            at[0] = GetBValue(c), at[1] = GetGValue(c), at[2] = GetRValue(c), at[3] = 255;
        }
    return YImageWriter::WriteBMP(*image, path, 24);
}
}  // namespace

COLORREF YSampleSprites::CursorPixel(int x, int y)
{
    if (!InArrow(x, y)) return kKey;
    const bool edge = !InArrow(x - 1, y) || !InArrow(x + 1, y) || !InArrow(x, y - 1) || !InArrow(x, y + 1);
    return edge ? kBlack : kWhite;
}

COLORREF YSampleSprites::BusyPixel(int frame, int x, int y)
{
    const int dx = 2 * x + 1 - kBusySize, dy = 2 * y + 1 - kBusySize;  // doubled distances from the centre
    const int d2 = dx * dx + dy * dy;
    // The dot sits on the ring at a quarter turn per frame.
    static const int dotX[kBusyFrames] = {0, 20, 0, -20}, dotY[kBusyFrames] = {-20, 0, 20, 0};
    const int ex = dx - dotX[frame % kBusyFrames], ey = dy - dotY[frame % kBusyFrames];
    if (ex * ex + ey * ey <= 64) return kRed;
    if (d2 >= 16 * 16 && d2 <= 24 * 24) return kBlue;
    return kKey;
}

bool YSampleSprites::WriteAll(const std::string& folder, std::string& error)
{
    mkdir((folder + "/sprites").c_str(), 0755);
    if (!Write(folder + "/sprites/cursor.bmp", kCursorSize, CursorPixel)) {
        error = "cannot write sprites/cursor.bmp";
        return false;
    }
    for (int frame = 0; frame < kBusyFrames; ++frame) {
        char name[32];
        snprintf(name, sizeof name, "/sprites/busy%d.bmp", frame);
        if (!Write(folder + name, kBusySize, [frame](int x, int y) { return BusyPixel(frame, x, y); })) {
            error = std::string("cannot write sprites") + name;
            return false;
        }
    }
    return true;
}
