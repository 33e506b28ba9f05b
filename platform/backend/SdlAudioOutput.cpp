#include "platform/backend/SdlAudioOutput.h"

#include <SDL.h>

namespace platform {
SdlAudioOutput::~SdlAudioOutput()
{
    Close();
    if (m_started) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlAudioOutput::Open(int rate, AudioSource* source)
{
    Close();
    if (rate <= 0 || !source) return false;
    if (!m_started) m_started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!m_started) return false;
    SDL_AudioSpec wanted = {};
    wanted.freq = rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = &SdlAudioOutput::Callback;
    wanted.userdata = this;
    SDL_AudioSpec obtained = {};
    m_source = source;
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);  // SDL converts to the device
    if (m_device == 0) {
        m_source = nullptr;
        return false;
    }
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void SdlAudioOutput::Close()
{
    if (m_device != 0) SDL_CloseAudioDevice(m_device);  // waits for a running callback
    m_device = 0;
    m_source = nullptr;
}

std::string SdlAudioOutput::DriverName() const
{
    const char* name = m_device != 0 ? SDL_GetCurrentAudioDriver() : nullptr;
    return name ? name : "";
}

void SdlAudioOutput::Callback(void* user, uint8_t* stream, int length)
{
    SdlAudioOutput* output = static_cast<SdlAudioOutput*>(user);
    output->m_source->RenderAudio(reinterpret_cast<int16_t*>(stream), length / 4);
}
}  // namespace platform
