#include "platform/backend/InputScript.h"

#include "platform/backend/KeyTable.h"

#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <sstream>

namespace platform {
namespace {
bool ParseInt(const std::string& word, long& value)
{
    if (word.empty()) return false;
    char* end = nullptr;
    value = std::strtol(word.c_str(), &end, 10);
    return *end == '\0';
}

std::string RestOf(std::istream& in)
{
    std::string rest;
    std::getline(in, rest);
    size_t first = rest.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : rest.substr(first);
}
}  // namespace

bool InputScript::ParseLine(const std::string& line, std::string& why)
{
    std::istringstream in(line);
    std::string when, what, how;
    in >> when >> what;
    Timed timed{};
    bool ms = when.size() > 2 && when.compare(when.size() - 2, 2, "ms") == 0;
    long at = 0;
    if (!ParseInt(ms ? when.substr(0, when.size() - 2) : when, at) || at < 0) {
        why = "bad time";
        return false;
    }
    timed.milliseconds = ms;
    timed.when = static_cast<uint32_t>(at);
    BackendEvent& e = timed.event;
    if (what == "key") {
        in >> how;
        std::string name = RestOf(in);
        if (how != "down" && how != "up") {
            why = "key needs down or up";
            return false;
        }
        if (!KeyCodesFromName(name.c_str(), e.key, e.scanCode)) {
            why = "unknown key";
            return false;
        }
        e.kind = how == "down" ? BackendEvent::KeyDown : BackendEvent::KeyUp;
    } else if (what == "mouse") {
        in >> how;
        if (how == "move") {
            std::string a, b;
            long dx = 0, dy = 0;
            in >> a >> b;
            if (!ParseInt(a, dx) || !ParseInt(b, dy) || !RestOf(in).empty()) {
                why = "mouse move needs DX DY";
                return false;
            }
            m_mouseX += static_cast<int>(dx);
            m_mouseY += static_cast<int>(dy);
            e.kind = BackendEvent::MouseMove;
            e.dx = static_cast<int>(dx);
            e.dy = static_cast<int>(dy);
        } else if (how == "button") {
            std::string n, state;
            long button = 0;
            in >> n >> state;
            if (!ParseInt(n, button) || button < 1 || button > 3 || (state != "down" && state != "up") ||
                !RestOf(in).empty()) {
                why = "mouse button needs 1-3 and down or up";
                return false;
            }
            e.kind = state == "down" ? BackendEvent::MouseDown : BackendEvent::MouseUp;
            e.button = static_cast<int>(button);
        } else {
            why = "mouse needs move or button";
            return false;
        }
        e.x = m_mouseX;
        e.y = m_mouseY;
    } else if (what == "joystick") {
        if (!ParseJoystick(in, timed, why)) return false;
    } else if (what == "text") {
        std::string text = RestOf(in);
        if (text.empty()) {
            why = "empty text";
            return false;
        }
        for (char c : text) {
            Timed one = timed;
            one.event.kind = BackendEvent::Text;
            one.event.text[0] = c;
            m_events.push_back(one);
        }
        return true;
    } else {
        why = "unknown event";
        return false;
    }
    m_events.push_back(timed);
    return true;
}

bool InputScript::ParseJoystick(std::istream& in, Timed& timed, std::string& why)
{
    BackendEvent& e = timed.event;
    std::string j, part;
    long joystick = 0;
    in >> j >> part;
    if (!ParseInt(j, joystick) || joystick < 0 || joystick > 15) {
        why = "joystick needs J (0-15)";
        return false;
    }
    e.joystick = static_cast<int>(joystick);
    if (part == "detach") {
        if (!RestOf(in).empty()) {
            why = "joystick detach takes nothing more";
            return false;
        }
        e.kind = BackendEvent::JoyDetached;
        return true;
    }
    if (part == "attach") {
        JoystickInfo& info = timed.joystick;
        info.id = e.joystick;
        info.axes = JoystickInfo::kMaxAxes;
        info.buttons = JoystickInfo::kMaxButtons;
        info.hats = 1;
        if (!(in >> std::quoted(info.name)) || info.name.empty()) {
            why = "joystick attach needs a \"NAME\"";
            return false;
        }
        std::string word;
        while (in >> word) {
            if (word == "ff") {
                info.forceFeedback = true;
                continue;
            }
            std::string count;
            long n = -1;
            in >> count;
            if (!ParseInt(count, n)) n = -1;
            if (word == "axes" && n >= 0 && n <= JoystickInfo::kMaxAxes) info.axes = static_cast<int>(n);
            else if (word == "buttons" && n >= 0 && n <= JoystickInfo::kMaxButtons) info.buttons = static_cast<int>(n);
            else if (word == "hats" && n >= 0 && n <= JoystickInfo::kMaxHats) info.hats = static_cast<int>(n);
            else {
                why = "joystick attach takes ff, axes 0-8, buttons 0-32 and hats 0-4";
                return false;
            }
        }
        e.kind = BackendEvent::JoyAttached;
        return true;
    }
    std::string n, last;
    long index = 0;
    in >> n >> last;
    if (!ParseInt(n, index) || index < 0 || !RestOf(in).empty()) {
        why = "joystick needs J, axis, button or hat, and N";
        return false;
    }
    if (part == "axis") {
        long value = 0;
        if (index > 7 || !ParseInt(last, value) || value < -32768 || value > 32767) {
            why = "joystick axis needs 0-7 and -32768..32767";
            return false;
        }
        e.kind = BackendEvent::JoyAxis;
        e.axis = static_cast<int>(index);
        e.value = static_cast<int>(value);
    } else if (part == "hat") {
        long value = 0;
        if (index >= JoystickInfo::kMaxHats || !ParseInt(last, value) || value < -1 || value >= 36000) {
            why = "joystick hat needs 0-3 and -1 or 0..35999";
            return false;
        }
        e.kind = BackendEvent::JoyHat;
        e.axis = static_cast<int>(index);
        e.value = static_cast<int>(value);
    } else if (part == "button" && index < 32 && (last == "down" || last == "up")) {
        e.kind = last == "down" ? BackendEvent::JoyButtonDown : BackendEvent::JoyButtonUp;
        e.value = static_cast<int>(index);
    } else {
        why = "joystick needs axis N VALUE, hat N VALUE or button N (0-31) down or up";
        return false;
    }
    return true;
}

bool InputScript::Parse(const std::string& text, std::string* error)
{
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        std::string why;
        if (!ParseLine(line.substr(first), why)) {
            if (error) *error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
    }
    return true;
}

bool InputScript::Load(const std::string& path, std::string* error)
{
    std::ifstream file(path);
    if (!file) {
        if (error) *error = "cannot open " + path;
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    return Parse(text.str(), error);
}

void InputScript::TakeDue(unsigned long pass, uint32_t now, std::vector<BackendEvent>& out)
{
    while (!m_events.empty()) {
        const Timed& next = m_events.front();
        bool due = next.milliseconds ? now >= next.when : pass >= next.when;
        if (!due) break;
        if (next.event.kind == BackendEvent::JoyAttached) m_attached[next.event.joystick] = next.joystick;
        if (next.event.kind == BackendEvent::JoyDetached) m_attached.erase(next.event.joystick);
        out.push_back(next.event);
        m_events.pop_front();
    }
}
}  // namespace platform
