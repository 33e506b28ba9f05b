// Timed input events for the headless backend. One event a line:
//   WHEN key down NAME | key up NAME | mouse move DX DY |
//        mouse button N down | mouse button N up | text STRING |
//        joystick J axis N VALUE | joystick J button N down | joystick J button N up |
//        joystick J hat N VALUE | joystick J attach "NAME" [ff] [axes N] [buttons N] [hats N] |
//        joystick J detach
// WHEN is a main-loop pass number ("12") or a clock time ("250ms").
// Blank lines and lines starting with '#' are skipped. Events come out in
// file order, each once its time has come and all before it are out.
// A joystick is attached from the time its attach line comes out until its
// detach line does; it has 8 axes, 32 buttons and 1 hat unless the line says
// otherwise, and "ff" gives it force feedback. A hat VALUE is in hundredths
// of a degree, -1 when centred.
#pragma once

#include "platform/backend/Backend.h"

#include <cstdint>
#include <deque>
#include <iosfwd>
#include <map>
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
    // The joysticks attached by the events taken so far, by number.
    const std::map<int, JoystickInfo>& Attached() const { return m_attached; }

private:
    struct Timed {
        bool milliseconds;
        uint32_t when;
        BackendEvent event;
        JoystickInfo joystick;  // JoyAttached
    };
    bool ParseLine(const std::string& line, std::string& why);
    bool ParseJoystick(std::istream& in, Timed& timed, std::string& why);

    std::deque<Timed> m_events;
    int m_mouseX = 0, m_mouseY = 0;  // where scripted motion has moved the mouse
    std::map<int, JoystickInfo> m_attached;
};
}  // namespace platform
