// A backend without audio output.
#include "platform/backend/Backend.h"

namespace platform {
bool Backend::OpenAudio(int, AudioSource*) { return false; }

void Backend::CloseAudio() {}

void Backend::PumpAudio() {}

std::string Backend::AudioDriverName() const { return std::string(); }
}  // namespace platform
