// The software mixer: one 1024-frame block (46 ms at 22050 Hz) with N
// buffers playing, plain 2D ones and 3D ones placed around the listener.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/PcmFormat.h"
#include "platform/SoundMixer.h"
#include "platform/dsound.h"

namespace {
void MixVoices(benchmark::State& state, bool placed)
{
    LPDIRECTSOUND sound = nullptr;
    if (FAILED(DirectSoundCreate(nullptr, &sound, nullptr))) {
        state.SkipWithError("no sound device");
        return;
    }
    WAVEFORMATEX format = platform::PcmFormat::Make(22050, 16, 1);
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY | (placed ? DSBCAPS_CTRL3D : 0);
    desc.dwBufferBytes = 22050 * 2;
    desc.lpwfxFormat = &format;
    std::vector<LPDIRECTSOUNDBUFFER> buffers;
    for (int i = 0; i < state.range(0); ++i) {
        LPDIRECTSOUNDBUFFER buffer = nullptr;
        sound->CreateSoundBuffer(&desc, &buffer, nullptr);
        buffer->SetFrequency(11025 + 1000 * DWORD(i));
        if (placed) {
            LPDIRECTSOUND3DBUFFER placement = nullptr;
            buffer->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&placement));
            placement->SetPosition(float(std::cos(i)) * 20, 0, float(std::sin(i)) * 20, DS3D_IMMEDIATE);
            placement->SetVelocity(0, 0, 5, DS3D_IMMEDIATE);
            placement->Release();
        }
        buffer->Play(0, 0, DSBPLAY_LOOPING);
        buffers.push_back(buffer);
    }
    std::vector<int16_t> block(1024 * 2);
    for (auto _ : state) {
        platform::SoundMixer::Get().RenderAudio(block.data(), 1024);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * 1024 * state.range(0));
    for (LPDIRECTSOUNDBUFFER buffer : buffers) buffer->Release();
    sound->Release();
}

void BM_Mix2D(benchmark::State& state) { MixVoices(state, false); }
void BM_Mix3D(benchmark::State& state) { MixVoices(state, true); }
}  // namespace

BENCHMARK(BM_Mix2D)->Arg(1)->Arg(8)->Arg(32);
BENCHMARK(BM_Mix3D)->Arg(1)->Arg(8)->Arg(32);
BENCHMARK_MAIN();
