#include "platform/backend/InputScript.h"

#include "platform/backend/KeyTable.h"

#include <cstdlib>
#include <fstream>
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

std::string RestOf(std::istringstream& in)
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
        std::string j, part, n, last;
        long joystick = 0, index = 0;
        in >> j >> part >> n >> last;
        if (!ParseInt(j, joystick) || joystick < 0 || joystick > 15 || !ParseInt(n, index) || index < 0 ||
            !RestOf(in).empty()) {
            why = "joystick needs J, axis or button, and N";
            return false;
        }
        e.joystick = static_cast<int>(joystick);
        if (part == "axis") {
            long value = 0;
            if (index > 7 || !ParseInt(last, value) || value < -32768 || value > 32767) {
                why = "joystick axis needs 0-7 and -32768..32767";
                return false;
            }
            e.kind = BackendEvent::JoyAxis;
            e.axis = static_cast<int>(index);
            e.value = static_cast<int>(value);
        } else if (part == "button" && index < 32 && (last == "down" || last == "up")) {
            e.kind = last == "down" ? BackendEvent::JoyButtonDown : BackendEvent::JoyButtonUp;
            e.value = static_cast<int>(index);
        } else {
            why = "joystick needs axis N VALUE or button N (0-31) down or up";
            return false;
        }
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
        out.push_back(next.event);
        m_events.pop_front();
    }
}
}  // namespace platform
