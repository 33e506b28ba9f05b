#include "tools/YSampleSounds.h"

#include <sys/stat.h>

#include <cmath>
#include <fstream>

#include "platform/ImaAdpcm.h"
#include "platform/PcmFormat.h"

namespace {
const double kPi = 3.14159265358979;

std::string Le32(uint32_t v)
{
    return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char((v >> 24) & 0xFF)};
}

std::string Chunk(const char* id, const std::string& body)
{
    std::string out = std::string(id, 4) + Le32(uint32_t(body.size())) + body;
    if (body.size() & 1) out += '\0';
    return out;
}

int16_t Clip(double v) { return int16_t(std::lround(v > 32767 ? 32767 : (v < -32768 ? -32768 : v))); }

// A repeatable noise in -1..1.
struct Noise {
    uint32_t state = 0x1234567;
    double Next()
    {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) / double(1 << 23) - 1.0;
    }
};

std::vector<int16_t> Click()
{
    std::vector<int16_t> out(size_t(YSampleSounds::kRate * 0.04));
    Noise noise;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / YSampleSounds::kRate;
        out[i] = Clip(14000 * std::exp(-t * 150) * (0.6 * std::sin(2 * kPi * 1500 * t) + 0.4 * noise.Next()));
    }
    return out;
}

std::vector<int16_t> Blip()
{
    std::vector<int16_t> out(size_t(YSampleSounds::kRate * 0.06));
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / YSampleSounds::kRate;
        const double envelope = std::sin(kPi * double(i) / double(out.size()));
        out[i] = Clip(9000 * envelope * std::sin(2 * kPi * 880 * t));
    }
    return out;
}

std::vector<int16_t> Chirp()
{
    std::vector<int16_t> out(size_t(YSampleSounds::kRate * 0.08));
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / YSampleSounds::kRate;
        phase += 2 * kPi * (1200 - 7500 * t) / YSampleSounds::kRate;
        out[i] = Clip(12000 * std::exp(-t * 30) * std::sin(phase));
    }
    return out;
}

// 110 Hz and its harmonics: 110 whole periods in the second, so it loops.
std::vector<int16_t> Engine()
{
    std::vector<int16_t> out(YSampleSounds::kRate);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / YSampleSounds::kRate;
        double v = 0;
        for (int h = 1; h <= 6; ++h) v += std::sin(2 * kPi * 110 * h * t) / h;
        out[i] = Clip(7000 * v * (0.8 + 0.2 * std::sin(2 * kPi * 5 * t)));
    }
    return out;
}

// A loop of whole periods of the fundamental and its harmonics: one second
// that repeats without a seam (the plane engines' running sounds).
std::vector<int16_t> RunLoop(int hertz, int harmonics)
{
    std::vector<int16_t> out(YSampleSounds::kRate);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / YSampleSounds::kRate;
        double v = 0;
        for (int h = 1; h <= harmonics; ++h) v += std::sin(2 * kPi * hertz * h * t) / h;
        out[i] = Clip(6000 * v);
    }
    return out;
}

// Noise through a slowly swept low-pass, rising and falling.
std::vector<int16_t> Wind()
{
    std::vector<int16_t> out(YSampleSounds::kRate * 2);
    Noise noise;
    double low = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / YSampleSounds::kRate;
        const double cut = 0.02 + 0.03 * (1 + std::sin(2 * kPi * 0.7 * t));
        low += cut * (noise.Next() - low);
        out[i] = Clip(60000 * low * std::sin(kPi * t / 2));
    }
    return out;
}

// A short tone of the pitch, rising by the sweep in hertz over its length,
// faded in and out.
std::vector<int16_t> Tone(double pitch, double sweep, double seconds)
{
    std::vector<int16_t> out(size_t(YSampleSounds::kRate * seconds));
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / YSampleSounds::kRate;
        const double envelope = std::sin(kPi * double(i) / double(out.size()));
        phase += 2 * kPi * (pitch + sweep * t / seconds) / YSampleSounds::kRate;
        out[i] = Clip(8000 * envelope * std::sin(phase));
    }
    return out;
}

// Three quick chirps.
std::vector<int16_t> Birds()
{
    std::vector<int16_t> out;
    for (double pitch : {2600.0, 3100.0, 2800.0}) {
        std::vector<int16_t> chirp = Tone(pitch, 900, 0.07);
        out.insert(out.end(), chirp.begin(), chirp.end());
        out.insert(out.end(), size_t(YSampleSounds::kRate * 0.05), 0);
    }
    return out;
}

// Lapping water: low-passed noise swelling twice.
std::vector<int16_t> Water()
{
    std::vector<int16_t> out(YSampleSounds::kRate);
    Noise noise;
    double low = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / YSampleSounds::kRate;
        low += 0.08 * (noise.Next() - low);
        out[i] = Clip(40000 * low * (0.5 + 0.5 * std::sin(2 * kPi * 2 * t - kPi / 2)));
    }
    return out;
}

// Two short high beeps: the low-gas warning.
std::vector<int16_t> LowGas()
{
    std::vector<int16_t> out = Tone(1760.0, 0, 0.08);
    out.insert(out.end(), size_t(YSampleSounds::kRate * 0.06), 0);
    std::vector<int16_t> second = Tone(1760.0, 0, 0.08);
    out.insert(out.end(), second.begin(), second.end());
    return out;
}

// The round music: four notes of a major arpeggio over the root, one
// second, silent at both ends so that it loops without a click.
std::vector<int16_t> MusicLoop(double root)
{
    std::vector<int16_t> out;
    for (double step : {0.0, 4.0, 7.0, 12.0}) {
        std::vector<int16_t> note = Tone(root * std::pow(2.0, step / 12.0), 0, 0.25);
        out.insert(out.end(), note.begin(), note.end());
    }
    return out;
}

const struct {
    const char* name;
    double root;
} kMusicLoops[] = {
    {"Airrace-loop", 262.0},
    {"Balloon-loop", 294.0},
    {"Dogfight-loop", 220.0},
    {"Tunnix-loop", 330.0},
};

// The round's preloaded sounds: a short tone each, a different pitch for
// each name.
const char* const kToneNames[] = {
    "as-bird01",        "as-bird02",        "as-bird03",        "as-bird04",         "as-bird05",
    "as-bird06",        "as-carnival-loop", "as-children",      "as-city-loop",      "as-city-loop2",
    "as-dog",           "as-fountain",      "as-wildlife-loop", "as-windloop",       "pi-powerup",
    "pi-powerup-taken", "pi-waypoint",      "pi-bb-fire",       "pi-Tunnix-stolen",  "pi-balloon-release",
    "pi-balloon-pop",   "pi-balloon-splat", "pi-balloon-splat2",
};

// The planes' one-shot sounds: a tone each, rising or falling.
const struct {
    const char* name;
    double pitch, sweep, seconds;
} kPlaneTones[] = {
    {"pl-crash", 160, -120, 0.6},  {"pl-start", 220, 440, 0.5},     {"pl-stop", 440, -330, 0.4},
    {"pl-warn-low-gas", 1320, 0, 0.2}, {"pl-jet-start", 300, 900, 0.8}, {"pl-jet-stop", 900, -700, 0.8},
};

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(out);
}

std::string PcmFile(const std::vector<int16_t>& samples)
{
    const WAVEFORMATEX format = platform::PcmFormat::Make(YSampleSounds::kRate, 16, 1);
    std::vector<BYTE> data(samples.size() * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        data[2 * i] = BYTE(samples[i] & 0xFF);
        data[2 * i + 1] = BYTE((samples[i] >> 8) & 0xFF);
    }
    return YSampleSounds::WaveFile(&format, 16, data);
}

std::string AdpcmFile(const std::vector<int16_t>& samples)
{
    IMAADPCMWAVEFORMAT format = {};
    format.wfx.wFormatTag = WAVE_FORMAT_IMA_ADPCM;
    format.wfx.nChannels = 1;
    format.wfx.nSamplesPerSec = YSampleSounds::kRate;
    format.wfx.wBitsPerSample = 4;
    format.wfx.nBlockAlign = platform::ImaAdpcm::BlockAlignFor(YSampleSounds::kRate, 1);
    format.wfx.cbSize = 2;
    format.wSamplesPerBlock = platform::ImaAdpcm::SamplesPerBlock(format.wfx.nBlockAlign, 1);
    format.wfx.nAvgBytesPerSec = YSampleSounds::kRate * format.wfx.nBlockAlign / format.wSamplesPerBlock;
    const size_t blocks = (samples.size() + format.wSamplesPerBlock - 1) / format.wSamplesPerBlock;
    std::vector<BYTE> data(blocks * format.wfx.nBlockAlign);
    data.resize(platform::ImaAdpcm::Encode(samples.data(), samples.size(), 1, format.wfx.nBlockAlign, data.data()));
    return YSampleSounds::WaveFile(&format, sizeof(format), data);
}
}  // namespace

std::vector<int16_t> YSampleSounds::Samples(const std::string& name)
{
    if (name == "click") return Click();
    if (name == "is-mouse-over") return Blip();
    if (name == "is-mouse-click") return Chirp();
    if (name == "engine") return Engine();
    if (name == "wind") return Wind();
    if (name == "Birds") return Birds();
    if (name == "Water") return Water();
    if (name == "pl-warn-low-gas") return LowGas();
    for (const auto& loop : kMusicLoops)
        if (name == loop.name) return MusicLoop(loop.root);
    for (size_t i = 0; i < sizeof kToneNames / sizeof kToneNames[0]; ++i)
        if (name == kToneNames[i]) return Tone(330.0 * std::pow(2.0, double(i) / 12.0), 0, 0.15);
    if (name == "pl-run-hi") return RunLoop(90, 5);
    if (name == "pl-jet-run") return RunLoop(150, 8);
    for (const auto& tone : kPlaneTones)
        if (name == tone.name) return Tone(tone.pitch, tone.sweep, tone.seconds);
    return {};
}

std::string YSampleSounds::WaveFile(const void* format, DWORD formatSize, const std::vector<BYTE>& data)
{
    const std::string fmt(static_cast<const char*>(format), formatSize);
    return Chunk("RIFF", "WAVE" + Chunk("fmt ", fmt) + Chunk("data", std::string(data.begin(), data.end())));
}

bool YSampleSounds::WriteAll(const std::string& folder, std::string& error)
{
    mkdir((folder + "/sounds").c_str(), 0755);
    std::vector<std::string> names = {"click", "is-mouse-over", "is-mouse-click", "engine", "Birds", "Water"};
    names.insert(names.end(), std::begin(kToneNames), std::end(kToneNames));
    names.push_back("pl-warn-low-gas");
    for (const auto& loop : kMusicLoops) names.push_back(loop.name);
    names.insert(names.end(), {"pl-run-hi", "pl-jet-run"});
    for (const auto& tone : kPlaneTones) names.push_back(tone.name);
    for (const std::string& name : names) {
        if (!WriteBytes(folder + "/sounds/" + name + ".wav", PcmFile(Samples(name)))) {
            error = std::string("cannot write sounds/") + name + ".wav";
            return false;
        }
    }
    if (!WriteBytes(folder + "/sounds/wind.wav", AdpcmFile(Samples("wind")))) {
        error = "cannot write sounds/wind.wav";
        return false;
    }
    return true;
}
