// Opens the 640 x 480 "RC Volaro" window, acquires the mouse exclusively as
// the game does for play, and prints the motion it reads:
//
//   input_probe SECONDS
//
// It prints "acquired" once it holds the mouse; after SECONDS it unacquires
// it and prints "motion DX DY", the sum of every poll.  Run it under Xvfb:
// scripts/xvfb_mouse_check.sh.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend/Backend.h"
#include "platform/dinput.h"
#include "platform/win32_window.h"

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    platform::Backend& backend = platform::Backend::Get();
    if (!backend.OpenWindow("RC Volaro", 640, 480, false)) {
        std::fprintf(stderr, "input_probe: no window\n");
        return 1;
    }
    HWND window = reinterpret_cast<HWND>(1);
    LPDIRECTINPUT7 input = nullptr;
    LPDIRECTINPUTDEVICE7 mouse = nullptr;
    if (DirectInputCreateEx(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput7, reinterpret_cast<LPVOID*>(&input),
                            nullptr) != DI_OK ||
        input->CreateDeviceEx(GUID_SysMouse, IID_IDirectInputDevice7, reinterpret_cast<LPVOID*>(&mouse), nullptr) !=
            DI_OK ||
        mouse->SetDataFormat(&c_dfDIMouse) != DI_OK ||
        mouse->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_FOREGROUND) != DI_OK) {
        std::fprintf(stderr, "input_probe: no mouse\n");
        return 1;
    }
    long dx = 0, dy = 0;
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    bool announced = false;
    while (static_cast<LONG>(GetTickCount() - end) < 0) {
        platform::PumpBackendEvents();
        if (mouse->Acquire() == DI_OK && !announced) {
            std::printf("acquired\n");
            std::fflush(stdout);
            announced = true;
        }
        DIMOUSESTATE state;
        if (mouse->GetDeviceState(sizeof state, &state) == DI_OK) {
            dx += state.lX;
            dy += state.lY;
        }
        Sleep(10);
    }
    mouse->Unacquire();
    std::printf("motion %ld %ld\n", dx, dy);
    mouse->Release();
    input->Release();
    platform::Backend::Shutdown();
    return 0;
}
