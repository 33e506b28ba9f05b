// Draws a test pattern through the DirectDraw wrappers and GDI and presents
// it in the 640 x 480 "RC Volaro" window (or headless, where RCV_FRAME_DUMP
// keeps the frame as a BMP). Usage: ddraw_pattern [seconds] [fullscreen]
#include "graphics2d/YDXClipper.h"
#include "graphics2d/YDXDraw.h"
#include "graphics2d/YDXSurface.h"
#include "platform/backend/Backend.h"

#include <cstdio>
#include <cstdlib>

namespace {
const int kWidth = 640, kHeight = 480;

void Fill(YDXSurface& s, LONG l, LONG t, LONG r, LONG b, COLORREF colour)
{
    RECT rect = {l, t, r, b};
    DDPIXELFORMAT f;
    memset(&f, 0, sizeof f);
    f.dwSize = sizeof f;
    s.GetSurface()->GetPixelFormat(&f);
    // COLORREF to a 5-6-5 or 8-8-8 pixel.
    DWORD red = GetRValue(colour), green = GetGValue(colour), blue = GetBValue(colour);
    DWORD pixel = f.dwRGBBitCount == 16 ? (((red & 0xF8) << 8) | ((green & 0xFC) << 3) | (blue >> 3))
                                        : ((red << 16) | (green << 8) | blue);
    DDBLTFX fx;
    memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = pixel;
    s.GetSurface()->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

void DrawPattern(YDXDraw& display, YDXSurface& back)
{
    // Eight colour bars across the top.
    const COLORREF bars[8] = {RGB(255, 255, 255), RGB(255, 255, 0), RGB(0, 255, 255), RGB(0, 255, 0),
                              RGB(255, 0, 255),   RGB(255, 0, 0),   RGB(0, 0, 255),   RGB(0, 0, 0)};
    for (int i = 0; i < 8; ++i) Fill(back, i * 80, 0, (i + 1) * 80, 160, bars[i]);
    Fill(back, 0, 160, kWidth, kHeight, RGB(32, 32, 48));

    // A keyed sprite: a yellow diamond on magenta, drawn plain, stretched and mirrored.
    YDXSurface sprite("sprite");
    sprite.CreateSurface(&display, 32, 32, DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr);
    sprite.SetTransparentColor(RGB(255, 0, 255));
    Fill(sprite, 0, 0, 32, 32, RGB(255, 0, 255));
    for (int y = 0; y < 32; ++y) {
        int half = y < 16 ? y : 31 - y;
        Fill(sprite, 16 - half, y, 16 + half, y + 1, RGB(255, 220, 0));
    }
    Fill(sprite, 0, 0, 8, 8, RGB(255, 0, 0));  // marks the top-left corner
    RECT at = {20, 180, 52, 212}, big = {70, 180, 198, 308}, mirrored = {220, 180, 284, 244};
    back.Blt(&sprite, &at, nullptr, 1, 0, 0);
    back.Blt(&sprite, &big, nullptr, 1, 0, 0);
    back.Blt(&sprite, &mirrored, nullptr, 1, 1, 1);

    // An alpha ramp from transparent to opaque green.
    YDXSurface ramp("ramp");
    ramp.CreateAlphaSource(&display, 256, 40);
    DDSURFACEDESC2 desc;
    if (ramp.Lock(&desc)) {
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 256; ++x)
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch)[x] =
                    (static_cast<uint32_t>(x) << 24) | 0x0000FF00;
        ramp.Unlock();
    }
    back.BltAlpha(&ramp, 320, 190, nullptr);

    // GDI: a framed box, a diagonal, and text in the built-in face and in Arial.
    HDC dc = nullptr;
    if (back.GetDC(&dc)) {
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
        HBRUSH brush = CreateSolidBrush(RGB(0, 96, 160));
        HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
        Rectangle(dc, 320, 250, 600, 320);
        MoveToEx(dc, 20, 460, nullptr);
        LineTo(dc, 300, 330);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        TextOutA(dc, 330, 260, "RC Volaro 640 x 480", 19);
        HFONT arial = CreateFontA(-MulDiv(12, 96, 72), 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
        HGDIOBJ oldFont = SelectObject(dc, arial);
        SetTextColor(dc, RGB(255, 220, 0));
        RECT box = {320, 280, 600, 320};
        DrawTextA(dc, "DirectDraw test pattern", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, oldFont);
        DeleteObject(arial);
        RECT merge = {320, 340, 600, 380};
        SetROP2(dc, R2_MERGEPEN);
        HBRUSH grey = CreateSolidBrush(0x003F7F7F);
        SelectObject(dc, grey);
        SelectObject(dc, GetStockObject(NULL_PEN));
        Rectangle(dc, merge.left, merge.top, merge.right, merge.bottom);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(pen);
        DeleteObject(brush);
        DeleteObject(grey);
        back.ReleaseDC(dc);
    }
}
}  // namespace

int main(int argc, char** argv)
{
    double seconds = argc > 1 ? atof(argv[1]) : 0.0;
    bool fullScreen = argc > 2 && strcmp(argv[2], "fullscreen") == 0;
    platform::Backend& backend = platform::Backend::Get();
    if (!backend.OpenWindow("RC Volaro", kWidth, kHeight, fullScreen)) {
        fprintf(stderr, "ddraw_pattern: no window\n");
        return 1;
    }
    HWND window = reinterpret_cast<HWND>(1);
    YDXDraw display;
    GUID primaryDriver;
    memset(&primaryDriver, 0, sizeof primaryDriver);
    if (!display.Create(primaryDriver) || !display.SetMode(fullScreen ? 1 : 0, window)) {
        fprintf(stderr, "ddraw_pattern: %s", display.GetErrorText());
        return 1;
    }
    if (fullScreen && !display.SetDisplayMode(kWidth, kHeight, 16, 0, 0)) {
        fprintf(stderr, "ddraw_pattern: %s", display.GetLastErrorText());
        return 1;
    }
    YDXSurface primary("Primary"), back("Back");
    YDXClipper clipper;
    if (!primary.CreatePrimarySurface(&display, 1, DDSCAPS_3DDEVICE) ||
        !back.CreateSurface(&display, kWidth, kHeight, DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr)) {
        fprintf(stderr, "ddraw_pattern: %s", primary.GetLastErrorText());
        return 1;
    }
    clipper.CreateClipper(&display);
    clipper.SetHwnd(window);
    primary.SetClipper(&clipper);
    DrawPattern(display, back);
    RECT screen = {0, 0, kWidth, kHeight};
    int frames = seconds > 0 ? static_cast<int>(seconds * 20) : 1;
    for (int i = 0; i < frames; ++i) {
        primary.Blt(&back, &screen, nullptr, 0, 0, 0);
        if (i + 1 < frames) Sleep(50);
    }
    printf("ddraw_pattern: %lu frames presented by the %s backend\n", backend.PresentedFrames(), backend.Name());
    primary.Release();
    back.Release();
    platform::Backend::Shutdown();
    return 0;
}
