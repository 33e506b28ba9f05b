#include "platform/backend/HeadlessBackend.h"

#include "platform/backend/Environment.h"
#include "platform/win32.h"

#include <cstdio>

namespace platform {
namespace {
void PutLE(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
}  // namespace

HeadlessBackend::HeadlessBackend()
    : m_dumpFolder(Environment::FrameDumpFolder()), m_dumpEvery(Environment::FrameDumpEvery()),
      m_audioDump(Environment::AudioDumpFile())
{
    std::string script = Environment::InputScript();
    std::string error;
    if (!script.empty() && !m_script.Load(script, &error))
        std::fprintf(stderr, "RCV_INPUT_SCRIPT: %s\n", error.c_str());
}

bool HeadlessBackend::PollEvent(BackendEvent& event)
{
    m_script.TakeDue(Passes(), Clock::Now(), m_events);
    return Backend::PollEvent(event);
}

std::vector<JoystickInfo> HeadlessBackend::Joysticks() const
{
    // Lines that are due count even before the pump takes them, so that a
    // joystick the script attaches at the start is there for start-up.
    HeadlessBackend* self = const_cast<HeadlessBackend*>(this);
    self->m_script.TakeDue(Passes(), Clock::Now(), self->m_events);
    std::vector<JoystickInfo> joysticks;
    for (const auto& entry : m_script.Attached()) joysticks.push_back(entry.second);
    return joysticks;
}

int HeadlessBackend::PlayJoystickEffect(int joystick, const JoystickEffect& effect)
{
    auto found = m_script.Attached().find(joystick);
    if (found == m_script.Attached().end() || !found->second.forceFeedback) return 0;
    m_effects.push_back(PlayedEffect{joystick, effect, false});
    return static_cast<int>(m_effects.size());
}

void HeadlessBackend::StopJoystickEffect(int joystick, int handle)
{
    if (handle < 1 || static_cast<size_t>(handle) > m_effects.size()) return;
    PlayedEffect& played = m_effects[static_cast<size_t>(handle) - 1];
    if (played.joystick == joystick) played.stopped = true;
}

void HeadlessBackend::CloseAudio()
{
    const bool wasOpen = m_audio.IsOpen();
    m_audio.Close();
    if (wasOpen && !m_audioDump.empty() && !m_audio.WriteWave(m_audioDump))
        std::fprintf(stderr, "RCV_AUDIO_DUMP: cannot write %s\n", m_audioDump.c_str());
}

bool HeadlessBackend::OpenWindow(const char* title, int width, int height, bool fullScreen)
{
    m_title = title ? title : "";
    m_width = width;
    m_height = height;
    m_fullScreen = fullScreen;
    m_open = true;
    return true;
}

void HeadlessBackend::CloseWindow()
{
    m_open = false;
}

bool HeadlessBackend::SetFullScreen(bool fullScreen, int width, int height)
{
    m_fullScreen = fullScreen;
    if (width > 0 && height > 0) {
        m_width = width;
        m_height = height;
    }
    return true;
}

void HeadlessBackend::Present(const uint32_t* pixels, int width, int height, int pitch)
{
    if (!pixels || width <= 0 || height <= 0) return;
    Frame frame;
    frame.width = width;
    frame.height = height;
    frame.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame.pixels[static_cast<size_t>(y) * width + x] = pixels[static_cast<size_t>(y) * pitch + x] & 0xFFFFFF;
    ++m_presented;
    if (!m_dumpFolder.empty() && m_presented % m_dumpEvery == 0) {
        char name[64];
        std::snprintf(name, sizeof name, "/frame%06lu.bmp", m_presented);
        WriteBmp(frame, m_dumpFolder + name);
    }
    m_frames.push_back(std::move(frame));
    while (m_frames.size() > kKeptFrames) m_frames.pop_front();
    FramePresented();
}

void HeadlessBackend::SetWindowSize(int width, int height)
{
    m_width = width;
    m_height = height;
}

void HeadlessBackend::ShowMessageBox(const char* caption, const char* text)
{
    std::string shown = std::string(caption ? caption : "") + ": " + (text ? text : "");
    m_messageBoxes.push_back(shown);
    std::fprintf(stderr, "%s\n", text ? text : "");
}

int HeadlessBackend::DesktopBitsPerPixel() const
{
    return Environment::Forced("bpp8") ? 8 : 32;
}

const HeadlessBackend::Frame* HeadlessBackend::LastFrame(size_t back) const
{
    if (back >= m_frames.size()) return nullptr;
    return &m_frames[m_frames.size() - 1 - back];
}

HeadlessBackend* HeadlessBackend::Active()
{
    return dynamic_cast<HeadlessBackend*>(&Backend::Get());
}

bool HeadlessBackend::WriteBmp(const Frame& frame, const std::string& path)
{
    uint32_t rowBytes = (static_cast<uint32_t>(frame.width) * 3 + 3) & ~3u;
    uint32_t imageSize = rowBytes * frame.height;
    std::vector<uint8_t> out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    PutLE(out, 54 + imageSize, 4);
    PutLE(out, 0, 4);
    PutLE(out, 54, 4);
    PutLE(out, 40, 4);
    PutLE(out, frame.width, 4);
    PutLE(out, frame.height, 4);
    PutLE(out, 1, 2);
    PutLE(out, 24, 2);
    PutLE(out, 0, 4);
    PutLE(out, imageSize, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 0, 4);
    PutLE(out, 0, 4);
    for (int y = frame.height - 1; y >= 0; --y) {
        size_t start = out.size();
        for (int x = 0; x < frame.width; ++x) {
            uint32_t p = frame.At(x, y);
            out.push_back(static_cast<uint8_t>(p));
            out.push_back(static_cast<uint8_t>(p >> 8));
            out.push_back(static_cast<uint8_t>(p >> 16));
        }
        while (out.size() - start < rowBytes) out.push_back(0);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    ok = std::fclose(file) == 0 && ok;
    return ok;
}
}  // namespace platform
