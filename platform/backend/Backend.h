// The one interface between the platform layer and the machine's window
// system. "sdl" shows a real window; "headless" keeps frames in memory.
// Later additions (events, input scripts, audio) extend this interface.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {
struct DisplayMode {
    int width;
    int height;
    int bitsPerPixel;
};

// One event of the window system, before it becomes a window message.
struct BackendEvent {
    enum Kind {
        None, Close, KeyDown, KeyUp, Text, MouseMove, MouseDown, MouseUp, Wheel, FocusGained, FocusLost,
        JoyAxis, JoyButtonDown, JoyButtonUp, JoyHat, JoyAttached, JoyDetached
    };
    Kind kind = None;
    int key = 0;       // virtual-key code of KeyDown/KeyUp
    int scanCode = 0;  // DirectInput scan code of KeyDown/KeyUp
    int repeat = 0;    // 1 for an auto-repeated key
    char text[8] = {};  // Text: one character
    int x = 0, y = 0;  // client coordinates of mouse events
    int dx = 0, dy = 0;  // MouseMove: motion since the last one
    int button = 0;    // 1 left, 2 right, 3 middle
    int wheel = 0;     // Wheel: in steps of 120, positive away from the user
    int joystick = 0;  // Joy*: the device's number (JoystickInfo::id)
    int axis = 0;      // JoyAxis: the axis's index; JoyHat: the hat's index
    int value = 0;     // JoyAxis: -32768..32767; JoyButton*: the button's index;
                       // JoyHat: hundredths of a degree clockwise from up, -1 centred
};

// An attached joystick. Axes are numbered X, Y, Z, Rx, Ry, Rz, then two sliders.
struct JoystickInfo {
    static constexpr int kMaxAxes = 8;
    static constexpr int kMaxButtons = 32;
    static constexpr int kMaxHats = 4;

    int id = 0;  // the number its events carry
    std::string name;
    int axes = 0;
    int buttons = 0;
    int hats = 0;
    bool forceFeedback = false;
};

// One force-feedback effect. Times are microseconds, levels 0..10000.
struct JoystickEffect {
    enum Kind { Constant, Sine };
    static constexpr uint32_t kEndless = 0xFFFFFFFF;

    Kind kind = Constant;
    int magnitude = 0;  // Constant: -10000..10000; Sine: 0..10000
    uint32_t period = 0;       // Sine
    uint32_t duration = 0;     // kEndless plays until stopped
    uint32_t gain = 10000;
    uint32_t attackLevel = 0, attackTime = 0;
    uint32_t fadeLevel = 0, fadeTime = 0;
    int direction = 0;         // hundredths of a degree
    uint32_t iterations = 1;
};

// What the audio output plays: it asks for 16-bit stereo frames, from the
// audio thread (sdl) or from PumpAudio (headless).
class AudioSource {
public:
    virtual ~AudioSource() = default;
    virtual void RenderAudio(int16_t* frames, int count) = 0;
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

    // Events of the window system, oldest first; false when none waits.
    virtual bool PollEvent(BackendEvent& event);
    // Waits (at most the given time) until an event is there.
    virtual bool WaitEvent(int milliseconds);
    // Queues an event as if the window system had sent it.
    void PushEvent(const BackendEvent& event);
    virtual void SetTitle(const char* title);
    // The window icon, 0xAARRGGBB pixels.
    virtual void SetIcon(const uint32_t* pixels, int width, int height);
    // Resizes the client area of an open window.
    virtual void SetWindowSize(int width, int height);
    // A message box: headless writes it to standard error.
    virtual void ShowMessageBox(const char* caption, const char* text) = 0;
    // Confines the mouse to the window, or frees it.
    virtual void ConfineMouse(bool confine);
    // Relative mouse: the cursor hidden and motion reported without end at
    // the window's or the screen's edge; off gives both back.
    virtual void SetRelativeMouse(bool relative);

    // The joysticks attached now; their state arrives as Joy* events.
    virtual std::vector<JoystickInfo> Joysticks() const;
    // Plays an effect on a joystick with force feedback: a handle above 0,
    // or 0 when the joystick cannot play it.
    virtual int PlayJoystickEffect(int joystick, const JoystickEffect& effect);
    // Stops an effect that PlayJoystickEffect started.
    virtual void StopJoystickEffect(int joystick, int handle);

    // The audio output at rate frames per second, pulling from source;
    // false when there is no audio device. Opening again changes the rate.
    virtual bool OpenAudio(int rate, AudioSource* source);
    virtual void CloseAudio();
    // Headless: renders the frames due by the clock; sdl: nothing.
    virtual void PumpAudio();
    // The output's driver name ("headless", SDL's driver), empty when closed.
    virtual std::string AudioDriverName() const;

    // The message pump found the queue empty. A main-loop pass that
    // presented no frame (no display started) counts as a frame for the
    // fixed clock step and RCV_MAX_FRAMES, so such runs end too.
    void QueueDrained();
    // Main-loop passes so far: presented frames and passes without one.
    unsigned long Passes() const { return m_passes; }

    // The backend chosen by RCV_BACKEND, made on first use.
    static Backend& Get();
    // The backend in use, or null when none was made or it was shut down.
    static Backend* Existing();
    // Ends the current backend; the next Get makes a new one.
    static void Shutdown();

protected:
    // Every backend calls this once per presented frame.
    void FramePresented();

    std::vector<BackendEvent> m_events;

    // The modes both backends offer: three sizes in 8, 16, 24 and 32 bits,
    // or only the 24-bit ones when RCV_FORCE has only24.
    static std::vector<DisplayMode> StandardModes();

private:
    // One pass: the fixed clock step (RCV_FIXED_STEP_MS) and the close
    // after RCV_MAX_FRAMES passes.
    void CountPass();

    unsigned long m_passes = 0;
    bool m_drained = false;           // the queue has been found empty before
    bool m_presentedSinceDrain = false;
};
}  // namespace platform
