#include "platform/backend/Backend.h"

#include "platform/backend/Environment.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/backend/SdlBackend.h"
#include "platform/win32.h"

namespace platform {
namespace {
std::unique_ptr<Backend>& Current()
{
    // Outlives static destruction: game objects may release into it then.
    static std::unique_ptr<Backend>* backend = new std::unique_ptr<Backend>;
    return *backend;
}
}  // namespace

Backend& Backend::Get()
{
    std::unique_ptr<Backend>& backend = Current();
    if (!backend) {
        if (Environment::BackendName() == "headless")
            backend.reset(new HeadlessBackend());
        else
            backend.reset(new SdlBackend());
        // A fixed step makes the clock move only with the frames.
        if (Environment::FixedStepMs() > 0) Clock::SetManual(true);
    }
    return *backend;
}

Backend* Backend::Existing() { return Current().get(); }

void Backend::Shutdown()
{
    Current().reset();
}

bool Backend::PollEvent(BackendEvent& event)
{
    if (m_events.empty()) return false;
    event = m_events.front();
    m_events.erase(m_events.begin());
    return true;
}

bool Backend::WaitEvent(int)
{
    return !m_events.empty();
}

void Backend::PushEvent(const BackendEvent& event)
{
    m_events.push_back(event);
}

void Backend::SetTitle(const char*) {}

void Backend::SetIcon(const uint32_t*, int, int) {}

void Backend::SetWindowSize(int, int) {}

void Backend::ConfineMouse(bool) {}

void Backend::SetRelativeMouse(bool) {}

std::vector<JoystickInfo> Backend::Joysticks() const
{
    return {};
}

int Backend::PlayJoystickEffect(int, const JoystickEffect&)
{
    return 0;
}

void Backend::StopJoystickEffect(int, int) {}

void Backend::FramePresented()
{
    m_presentedSinceDrain = true;
    CountPass();
}

void Backend::QueueDrained()
{
    // The pump drains once per pass, before the frame: a drain with no
    // frame since the previous one ends a pass that presented nothing.
    if (m_drained && !m_presentedSinceDrain) CountPass();
    m_drained = true;
    m_presentedSinceDrain = false;
}

void Backend::CountPass()
{
    ++m_passes;
    int step = Environment::FixedStepMs();
    if (step > 0) Clock::Advance(static_cast<DWORD>(step));
    long maxFrames = Environment::MaxFrames();
    if (maxFrames > 0 && m_passes == static_cast<unsigned long>(maxFrames)) {
        BackendEvent close;
        close.kind = BackendEvent::Close;
        PushEvent(close);
    }
}

std::vector<DisplayMode> Backend::StandardModes()
{
    static const int sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}};
    static const int depths[] = {8, 16, 24, 32};
    bool only24 = Environment::Forced("only24");
    // "no24" and "no32": a display without modes of that depth.
    bool no24 = Environment::Forced("no24"), no32 = Environment::Forced("no32");
    std::vector<DisplayMode> modes;
    for (const auto& size : sizes)
        for (int depth : depths)
            if ((!only24 || depth == 24) && !(no24 && depth == 24) && !(no32 && depth == 32))
                modes.push_back(DisplayMode{size[0], size[1], depth});
    return modes;
}
}  // namespace platform
