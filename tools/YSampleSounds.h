// The sample data's sounds, synthesised, in "sounds\":
//   click.wav           a short tick (22050 Hz, 16-bit mono)
//   is-mouse-over.wav   a soft blip: the interface's mouse-over sound
//   is-mouse-click.wav  a falling chirp: the interface's mouse-click sound
//   engine.wav          one second of a model engine's buzz that loops
//                       seamlessly (mono, for 3D buffers)
//   wind.wav            two seconds of wind, IMA ADPCM compressed
//   Birds.wav, Water.wav the sample maps' placed sounds: chirps, lapping
//   as-*.wav, pi-*.wav  the sounds a round preloads: a short tone each
//   pl-*.wav            the planes' sounds: rising and falling tones, and
//                       the two running sounds as seamless one-second loops
#pragma once

#include <string>
#include <vector>

#include "platform/mmsystem.h"

class YSampleSounds {
public:
    static constexpr DWORD kRate = 22050;

    static bool WriteAll(const std::string& folder, std::string& error);
    // The samples of a sound by its file name ("engine"), empty if unknown.
    static std::vector<int16_t> Samples(const std::string& name);
    // A RIFF wave file of a format block and sample bytes.
    static std::string WaveFile(const void* format, DWORD formatSize, const std::vector<BYTE>& data);
};
