// The environment variables that drive the platform layer (and nothing
// else reads): the backend, frame dumps and forced failures.
#pragma once

#include <string>

namespace platform {
struct Environment {
    // RCV_BACKEND: "headless" or "sdl" (the default).
    static std::string BackendName();
    // RCV_FRAME_DUMP: folder for headless frame dumps, empty when unset.
    static std::string FrameDumpFolder();
    // RCV_FRAME_DUMP_EVERY: dump every Nth frame (1 when unset or invalid).
    static int FrameDumpEvery();
    // RCV_FIXED_STEP_MS: milliseconds the clock advances per frame, 0 when unset.
    static int FixedStepMs();
    // RCV_MAX_FRAMES: frames after which the window closes, 0 when unset.
    static long MaxFrames();
    // RCV_AUDIO_DUMP: headless, the file the mixed audio is written to (as a
    // wave file) when the output closes; empty when unset.
    static std::string AudioDumpFile();
    // RCV_INPUT_SCRIPT: the headless backend's file of timed input events, empty when unset.
    static std::string InputScript();
    // RCV_SEED: true and the seed when set to a number.
    static bool Seed(unsigned int& seed);
    // RCV_FORCE=a,b,...: true when the named failure is forced. Read afresh
    // on each call, so tests can change it between cases.
    static bool Forced(const char* name);
};
}  // namespace platform
