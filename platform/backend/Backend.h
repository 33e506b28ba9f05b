// The one interface between the platform layer and the machine's window
// system. "sdl" shows a real window; "headless" keeps frames in memory.
// Later additions (events, input scripts, audio) extend this interface.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {
struct DisplayMode {
    int width;
    int height;
    int bitsPerPixel;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual const char* Name() const = 0;

    // The program's window, with a client area of width x height.
    virtual bool OpenWindow(const char* title, int width, int height, bool fullScreen) = 0;
    virtual void CloseWindow() = 0;
    virtual bool IsWindowOpen() const = 0;
    // Switches between windowed and full screen; full screen shows a
    // frame of width x height scaled to the display.
    virtual bool SetFullScreen(bool fullScreen, int width, int height) = 0;
    virtual bool IsFullScreen() const = 0;

    // Shows one frame of 0x00RRGGBB pixels, rows pitch pixels apart.
    virtual void Present(const uint32_t* pixels, int width, int height, int pitch) = 0;
    virtual unsigned long PresentedFrames() const = 0;

    // The display modes offered for full screen, in enumeration order.
    virtual std::vector<DisplayMode> DisplayModes() const = 0;
    // The desktop seen by a windowed program.
    virtual int DesktopBitsPerPixel() const = 0;
    virtual int DesktopWidth() const = 0;
    virtual int DesktopHeight() const = 0;

    // The backend chosen by RCV_BACKEND, made on first use.
    static Backend& Get();
    // Ends the current backend; the next Get makes a new one.
    static void Shutdown();

protected:
    // The modes both backends offer: three sizes in 8, 16, 24 and 32 bits,
    // or only the 24-bit ones when RCV_FORCE has only24.
    static std::vector<DisplayMode> StandardModes();
};
}  // namespace platform
