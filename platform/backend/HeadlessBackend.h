// The backend without a window: presented frames stay in memory (the last
// few, for tests to read) and can be dumped to a folder as BMP files.
#pragma once

#include "platform/backend/Backend.h"
#include "platform/backend/InputScript.h"
#include "platform/backend/MemoryAudioOutput.h"

#include <deque>
#include <string>

namespace platform {
class HeadlessBackend : public Backend {
public:
    struct Frame {
        int width = 0;
        int height = 0;
        std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows width apart
        uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    };
    static const size_t kKeptFrames = 4;

    HeadlessBackend();
    const char* Name() const override { return "headless"; }
    bool OpenWindow(const char* title, int width, int height, bool fullScreen) override;
    void CloseWindow() override;
    bool IsWindowOpen() const override { return m_open; }
    bool SetFullScreen(bool fullScreen, int width, int height) override;
    bool IsFullScreen() const override { return m_fullScreen; }
    void Present(const uint32_t* pixels, int width, int height, int pitch) override;
    unsigned long PresentedFrames() const override { return m_presented; }
    std::vector<DisplayMode> DisplayModes() const override { return StandardModes(); }
    int DesktopBitsPerPixel() const override;
    int DesktopWidth() const override { return 640; }
    int DesktopHeight() const override { return 480; }
    void SetTitle(const char* title) override { m_title = title ? title : ""; }
    void SetWindowSize(int width, int height) override;
    void ShowMessageBox(const char* caption, const char* text) override;
    // Events of RCV_INPUT_SCRIPT join the queue when their time has come.
    bool PollEvent(BackendEvent& event) override;
    InputScript& Script() { return m_script; }
    void ConfineMouse(bool confine) override { m_mouseConfined = confine; }
    bool MouseConfined() const { return m_mouseConfined; }
    void SetRelativeMouse(bool relative) override { m_mouseRelative = relative; }
    bool MouseRelative() const { return m_mouseRelative; }
    // The joysticks the script has attached by now.
    std::vector<JoystickInfo> Joysticks() const override;
    // Effects are recorded, not felt: a joystick with force feedback plays any.
    int PlayJoystickEffect(int joystick, const JoystickEffect& effect) override;
    void StopJoystickEffect(int joystick, int handle) override;
    struct PlayedEffect {
        int joystick = 0;
        JoystickEffect effect;
        bool stopped = false;
    };
    // Every effect played so far, in order; handle h is entry h - 1.
    const std::vector<PlayedEffect>& PlayedEffects() const { return m_effects; }
    void ClearPlayedEffects() { m_effects.clear(); }

    // Audio is mixed into memory as the clock passes.
    bool OpenAudio(int rate, AudioSource* source) override { return m_audio.Open(rate, source); }
    // With RCV_AUDIO_DUMP, what was mixed is written out as the output closes.
    void CloseAudio() override;
    void PumpAudio() override { m_audio.Pump(); }
    std::string AudioDriverName() const override { return m_audio.IsOpen() ? "headless" : ""; }
    MemoryAudioOutput& Audio() { return m_audio; }

    // The message boxes shown so far, as "caption: text".
    const std::vector<std::string>& MessageBoxes() const { return m_messageBoxes; }

    // The window's title and size as last opened.
    const std::string& Title() const { return m_title; }
    int WindowWidth() const { return m_width; }
    int WindowHeight() const { return m_height; }
    // back = 0 is the last presented frame; null when there is none.
    const Frame* LastFrame(size_t back = 0) const;
    void ClearFrames() { m_frames.clear(); }

    // The current backend when it is the headless one, else null.
    static HeadlessBackend* Active();
    // Writes a frame as a 24-bit BMP file.
    static bool WriteBmp(const Frame& frame, const std::string& path);

private:
    std::deque<Frame> m_frames;
    unsigned long m_presented = 0;
    bool m_open = false;
    bool m_fullScreen = false;
    int m_width = 0;
    int m_height = 0;
    std::string m_title;
    std::string m_dumpFolder;
    int m_dumpEvery = 1;
    bool m_mouseConfined = false;
    bool m_mouseRelative = false;
    std::vector<std::string> m_messageBoxes;
    InputScript m_script;
    std::vector<PlayedEffect> m_effects;
    MemoryAudioOutput m_audio;
    std::string m_audioDump;
};
}  // namespace platform
