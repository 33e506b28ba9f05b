// Timed input events for the headless backend. One event a line:
//   WHEN key down NAME | key up NAME | mouse move DX DY |
//        mouse button N down | mouse button N up | text STRING |
//        joystick J axis N VALUE | joystick J button N down | joystick J button N up
// WHEN is a main-loop pass number ("12") or a clock time ("250ms").
// Blank lines and lines starting with '#' are skipped. Events come out in
// file order, each once its time has come and all before it are out.
#pragma once

#include "platform/backend/Backend.h"

#include <cstdint>
#include <deque>
#include <string>

namespace platform {
class InputScript {
public:
    // Adds the events of a script text; false (and the line in error) at a bad line.
    bool Parse(const std::string& text, std::string* error = nullptr);
    bool Load(const std::string& path, std::string* error = nullptr);
    // Moves the events due at this pass and clock time to out, in order.
    void TakeDue(unsigned long pass, uint32_t now, std::vector<BackendEvent>& out);
    size_t Pending() const { return m_events.size(); }

private:
    struct Timed {
        bool milliseconds;
        uint32_t when;
        BackendEvent event;
    };
    bool ParseLine(const std::string& line, std::string& why);

    std::deque<Timed> m_events;
    int m_mouseX = 0, m_mouseY = 0;  // where scripted motion has moved the mouse
};
}  // namespace platform
