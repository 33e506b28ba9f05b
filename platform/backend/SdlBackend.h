// The backend with a real SDL2 window. SDL is started on first use, so a
// program that never opens a window never touches the display.
#pragma once

#include "platform/backend/Backend.h"
#include "platform/backend/SdlAudioOutput.h"

#include <map>
#include <string>

struct SDL_Window;
struct _SDL_Joystick;
struct _SDL_Haptic;
struct SDL_Renderer;
struct SDL_Texture;

namespace platform {
class SdlBackend : public Backend {
public:
    SdlBackend() = default;
    ~SdlBackend() override;
    const char* Name() const override { return "sdl"; }
    bool OpenWindow(const char* title, int width, int height, bool fullScreen) override;
    void CloseWindow() override;
    bool IsWindowOpen() const override { return m_window != nullptr; }
    bool SetFullScreen(bool fullScreen, int width, int height) override;
    bool IsFullScreen() const override { return m_fullScreen; }
    void Present(const uint32_t* pixels, int width, int height, int pitch) override;
    unsigned long PresentedFrames() const override { return m_presented; }
    std::vector<DisplayMode> DisplayModes() const override { return StandardModes(); }
    int DesktopBitsPerPixel() const override;
    int DesktopWidth() const override;
    int DesktopHeight() const override;
    bool PollEvent(BackendEvent& event) override;
    bool WaitEvent(int milliseconds) override;
    void SetTitle(const char* title) override;
    void SetIcon(const uint32_t* pixels, int width, int height) override;
    void SetWindowSize(int width, int height) override;
    void ShowMessageBox(const char* caption, const char* text) override;
    void ConfineMouse(bool confine) override;
    void SetRelativeMouse(bool relative) override;
    // Joysticks by SDL instance id, opened as they are plugged in; effects
    // through SDL's haptics, or its rumble where a device offers no more.
    std::vector<JoystickInfo> Joysticks() const override;
    int PlayJoystickEffect(int joystick, const JoystickEffect& effect) override;
    void StopJoystickEffect(int joystick, int handle) override;
    // The default audio device (SDL_AUDIODRIVER picks the driver).
    bool OpenAudio(int rate, AudioSource* source) override { return m_audio.Open(rate, source); }
    void CloseAudio() override { m_audio.Close(); }
    std::string AudioDriverName() const override { return m_audio.DriverName(); }

private:
    struct OpenJoystick {
        _SDL_Joystick* joystick = nullptr;
        _SDL_Haptic* haptic = nullptr;
        JoystickInfo info;
    };
    struct Effect {
        int joystick;
        int hapticEffect;  // -1 for rumble
    };

    bool StartVideo() const;
    bool StartJoysticks();
    void OpenJoystickAt(int deviceIndex);
    void CloseJoystick(int id);
    bool MakeTexture(int width, int height);

    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    int m_textureWidth = 0;
    int m_textureHeight = 0;
    int m_width = 640;
    int m_height = 480;
    bool m_fullScreen = false;
    mutable bool m_videoStarted = false;
    unsigned long m_presented = 0;
    bool m_joysticksStarted = false;
    std::map<int, OpenJoystick> m_joysticks;
    std::map<int, Effect> m_effects;
    int m_nextEffect = 1;
    SdlAudioOutput m_audio;
};
}  // namespace platform
