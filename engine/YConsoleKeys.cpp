#include "engine/YConsoleKeys.h"

#include <cstdlib>
#include <cstring>
#include <string>

void PostConsoleKeys(HWND window)
{
    const char* script = std::getenv("RCV_CONSOLE_KEYS");
    if (!script || !window) return;
    struct Named {
        const char* name;
        WPARAM key;
    };
    static const Named keys[] = {{"F2", VK_F2}, {"RETURN", VK_RETURN}, {"UP", VK_UP}, {"DOWN", VK_DOWN}};
    std::string item;
    for (const char* at = script;; ++at) {
        if (*at && *at != ',') {
            item += *at;
            continue;
        }
        bool named = false;
        for (const Named& k : keys) {
            if (item == k.name) {
                PostMessageA(window, WM_KEYDOWN, k.key, 0);
                named = true;
            }
        }
        if (!named)
            for (char c : item) PostMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 0);
        item.clear();
        if (!*at) break;
    }
}
