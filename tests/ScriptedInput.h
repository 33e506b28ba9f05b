// Helpers for tests that drive DirectInput through the headless backend's
// input script and message pump.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/backend/HeadlessBackend.h"
#include "platform/win32.h"
#include "platform/win32_window.h"

namespace scripted {
// A window handle for cooperative levels; DirectInput only stores it.
inline HWND FakeWindow()
{
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x4321));
}

// Runs script lines (all due at once) through the message pump.
inline void Play(const std::string& lines)
{
    platform::HeadlessBackend* headless = platform::HeadlessBackend::Active();
    ASSERT_NE(nullptr, headless);
    std::string error;
    ASSERT_TRUE(headless->Script().Parse(lines, &error)) << error;
    platform::PumpBackendEvents();
}

// Runs in a folder (that of the stand-in light-gun library), then goes back.
class InFolder {
public:
    explicit InFolder(const char* folder)
    {
        GetCurrentDirectoryA(sizeof m_previous, m_previous);
        m_entered = SetCurrentDirectoryA(folder) != FALSE;
    }
    ~InFolder() { SetCurrentDirectoryA(m_previous); }
    bool Entered() const { return m_entered; }

private:
    char m_previous[MAX_PATH] = {};
    bool m_entered = false;
};

// The program's window gains or loses the focus.
inline void Focus(bool gained)
{
    platform::BackendEvent e;
    e.kind = gained ? platform::BackendEvent::FocusGained : platform::BackendEvent::FocusLost;
    platform::Backend::Get().PushEvent(e);
    platform::PumpBackendEvents();
}
}  // namespace scripted
