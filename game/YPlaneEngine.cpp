// The plane's engine: the requested and effective levels, the audible level
// and the loop's tone, the sequencer of one-shot sounds between the three
// throttle bands, and the propeller that spins while the engine runs.
#include <algorithm>

#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "game/YPlane.h"
#include "game/YPropeller.h"
#include "sound/YDXSoundBuffer.h"
#include "world/YGameCommands.h"
#include "world/YGameServer.h"

namespace {

const uint32_t kMinBaseFrequency = 44100;
const float kToneBase = 0.45f;
const float kToneSpan = 0.5f;
const float kTurningTone = 0.025f;

// Sound slots the sequencer walks through; 1..7 are silent pacing slots.
enum { SlotFall = 1, SlotToLow = 2, SlotToMedium = 3, SlotToHigh = 4, SlotFallLow = 5, SlotRise = 6, SlotRiseMed = 7 };

enum { CommandOff = 14, CommandLow = 15, CommandMedium = 16, CommandHigh = 17, CommandUp = 43, CommandDown = 44,
       CommandAltUp = 45, CommandAltDown = 46, CommandZero = 47 };

uint32_t Clock()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_gameClock : 0;
}

YGameCommands* Commands()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_gameCommands : nullptr;
}

}  // namespace

bool YPlane::s_soundsPreloaded = false;

uint32_t YPlane::PlaneSoundDuration(int slot)
{
    switch (slot) {
    case 1: return 1877;
    case 3: return 1694;
    case 4: return 1874;
    case 5: return 2258;
    case 9: return 850;
    case 10: return 532;
    case 11: case 12: case 13: return 3000;
    case 16: return 2000;
    case 17: return 3015;
    case 18: return 5086;
    default: return 1108;
    }
}

void YPlane::PreloadPlaneSounds()
{
    if (s_soundsPreloaded) return;
    s_soundsPreloaded = true;
    YGameObjects* engine = YGameObjects::Existing();
    YGameServer* server = engine ? engine->m_gameServer : nullptr;
    if (!server) return;
    for (int slot = 0; slot < SoundCount; ++slot)
        if (!m_soundNames[slot].IsEmpty())
            server->AddPreload(m_soundNames[slot], slot == SoundLowFuel ? 0 : 1);
}

const char* YPlane::EngineLoopKey() const { return m_soundNames[m_isJet ? SoundJetRun : SoundRunHigh]; }

YActorSound* YPlane::EngineLoop()
{
    const YString key = EngineLoopKey();
    for (POSITION at = m_sounds.GetHeadPosition(); at;) {
        YActorSound* sound = m_sounds.GetNext(at);
        if (sound && sound->GetName().Compare(key) == 0 && !sound->m_finished) return sound;
    }
    return nullptr;
}

float YPlane::EngineToneFactor() const
{
    return static_cast<float>(m_audibleLevel) * (1.0f / 255.0f) * kToneSpan + kToneBase +
           (m_rotating ? kTurningTone : 0.0f);
}

void YPlane::SetEngineLevel(int level)
{
    if (level > 0) {
        // A restarted plane takes touches again once its engine runs.
        m_touchDisabled = 0;
        if (m_engineLevel == 0) StartPropeller();
        m_engineLevel = m_throttle = level;
        return;
    }
    if (m_audibleLevel != 0) m_soundSlot = SlotFall;
    StopPropeller();
    StopEngineSound();
    m_engineLevel = m_throttle = 0;
}

void YPlane::PlaySlot(int slot, int primary)
{
    if ((slot >= 1 && slot <= 7) || slot == m_soundSlot) return;
    if (slot < 0 || slot >= SoundCount) return;
    if (m_soundSlot >= 0 && m_soundSlot < SoundCount && !m_soundNames[m_soundSlot].IsEmpty())
        RemoveSound(m_soundNames[m_soundSlot]);
    if (YGameCommands* commands = Commands(); commands && !m_soundNames[slot].IsEmpty())
        commands->PlayActorSound(this, m_soundNames[slot], static_cast<float>(m_soundVolumeLow),
                                 static_cast<float>(m_soundVolumeHigh),
                                 primary ? YGameCommands::SoundOnce : YGameCommands::SoundLoop);
    m_soundSlot = slot;
}

void YPlane::StartEngineSound()
{
    if (m_engineLevel <= 0) return;
    YGameCommands* commands = Commands();
    if (!commands) return;
    commands->PlayActorSound(this, EngineLoopKey(), static_cast<float>(m_soundVolumeLow),
                             static_cast<float>(m_soundVolumeHigh),
                             YGameCommands::SoundLoop | YGameCommands::SoundOnce);
    YActorSound* loop = EngineLoop();
    if (!loop) return;
    // The once byte would end a loop after one pass.
    loop->m_once = 0;
    if (YDXSoundBuffer* buffer = loop->GetBuffer()) {
        if (!m_engineBaseFrequency) {
            DWORD base = 0;
            buffer->GetFrequency(&base);
            m_engineBaseFrequency = std::max<uint32_t>(base, kMinBaseFrequency);
        }
        m_engineFrequency = static_cast<uint32_t>(static_cast<float>(m_engineBaseFrequency) * EngineToneFactor());
        buffer->SetFrequency(m_engineFrequency);
    }
}

void YPlane::StopEngineSound() { RemoveSound(EngineLoopKey()); }

void YPlane::StartPropeller()
{
    if (m_isJet || m_modelKey.Compare("f15plane") == 0 || m_propeller) return;
    YGameObjects* engine = YGameObjects::Existing();
    YSMHandle* model = GetModelInstance();
    YVector at = m_position;
    if (engine && model) engine->ModelPointPosition(this, model->FindGroup("Normal_prop"), at);
    if (!engine || !engine->m_world) return;
    m_propeller = new YPropeller(this, at, 1);
    m_propeller->m_angles = YVector();
    if (model) {
        const int16_t group = model->FindGroup("Propeller");
        if (group >= 0) model->ShowGroup(group, false);
    }
}

void YPlane::StopPropeller()
{
    if (m_propeller) {
        m_propeller->Detach();
        m_propeller = nullptr;
    }
    if (YSMHandle* model = GetModelInstance()) {
        const int16_t group = model->FindGroup("Propeller");
        if (group >= 0) model->ShowGroup(group, true);
    }
    m_throttle = 0;
}

void YPlane::EngineToneStep(float dt)
{
    if (m_engineState == EngineStarting) return;
    const bool rotating = m_pitchRate != 0.0f || m_yawRate != 0.0f || m_rollRate != 0.0f;
    if (m_audibleLevel == m_throttle && !rotating && !m_rotating) return;
    const int step = static_cast<int>(dt * m_engineToneScale);
    if (m_audibleLevel < m_throttle)
        m_audibleLevel = std::min(m_throttle, m_audibleLevel + step);
    else if (m_audibleLevel > m_throttle)
        m_audibleLevel = std::max(m_throttle, m_audibleLevel - step);
    m_rotating = rotating ? 1 : 0;
    YActorSound* loop = EngineLoop();
    if (m_throttle > 0 && loop) {
        if (YDXSoundBuffer* buffer = loop->GetBuffer()) {
            if (!m_engineBaseFrequency) {
                DWORD base = 0;
                buffer->GetFrequency(&base);
                m_engineBaseFrequency = std::max<uint32_t>(base, kMinBaseFrequency);
            }
            m_engineFrequency =
                static_cast<uint32_t>(static_cast<float>(m_engineBaseFrequency) * EngineToneFactor());
            buffer->SetFrequency(m_engineFrequency);
        }
    } else if (m_throttle > 0 && !loop) {
        if (YGameCommands* commands = Commands()) {
            commands->PlayActorSound(this, EngineLoopKey(), static_cast<float>(m_soundVolumeLow),
                                     static_cast<float>(m_soundVolumeHigh),
                                     YGameCommands::SoundLoop | YGameCommands::SoundOnce);
            if (YActorSound* started = EngineLoop()) {
                started->m_once = 0;
                if (!started->GetBuffer() && started->m_finished) StopEngineSound();
            }
        }
    }
    if ((m_audibleLevel == 0 || m_throttle == 0) && EngineLoop()) {
        StopEngineSound();
        m_audibleLevel = 0;
    }
}

void YPlane::EngineSequencerStep()
{
    const uint32_t clock = Clock();
    if (clock >= m_soundEndTime && !m_lookAheadSkip) {
        if (m_nextSlot >= 0) PlaySlot(m_nextSlot, 0);
        m_nextSlot = -1;
        m_soundEndTime = 0;
    }
    const bool ended = m_soundEndTime == 0;
    auto next = [&](int state, int slot, int durationSlot) {
        m_engineState = state;
        m_nextSlot = slot;
        m_soundEndTime = durationSlot < 0 ? kNothingPending : clock + PlaneSoundDuration(durationSlot);
    };
    switch (m_engineState) {
    case EngineStopping:
        if (ended) m_engineState = EngineStopped;
        break;
    case EngineStarting:
        if (!ended) break;
        if (m_targetBand == BandLow) next(EngineLow, -1, -1);
        else if (m_targetBand == BandMedium) next(EngineRising, SlotRiseMed, SlotToMedium);
        else if (m_targetBand == BandHigh) next(EngineRising, SlotToHigh, SlotToMedium);
        SetEngineLevel(m_throttle);
        break;
    case EngineRising:
        if (!ended) break;
        if (m_targetBand == BandHigh) next(EngineRisingHigh, SlotRise, SlotToHigh);
        else if (m_targetBand == BandMedium) next(EngineMedium, -1, -1);
        SetEngineLevel(m_throttle);
        break;
    case EngineFallingLow:
        if (!ended) break;
        if (m_targetBand == BandLow) next(EngineLow, -1, -1);
        SetEngineLevel(m_throttle);
        break;
    case EngineRisingHigh:
        if (!ended) break;
        if (m_targetBand == BandHigh) {
            m_engineState = EngineHigh;
            m_nextSlot = -1;
            m_soundEndTime = 0;
        }
        SetEngineLevel(m_throttle);
        break;
    case EngineFallingMedium:
        if (!ended) break;
        if (m_targetBand == BandMedium) next(EngineMedium, -1, -1);
        else if (m_targetBand == BandLow) next(EngineFallingLow, SlotToLow, SlotFallLow);
        SetEngineLevel(m_throttle);
        break;
    default: break;
    }
    // A loop that has finished is forgotten.
    if (YActorSound* loop = EngineLoop(); loop && loop->m_finished) StopEngineSound();
}

void YPlane::ThrottleBands(int id)
{
    const uint32_t clock = Clock();
    const int startSlot = m_isJet ? SoundJetStart : SoundStart;
    // Plays the slot, times it and moves on.
    auto go = [&](int slot, int next, int state, int band) {
        PlaySlot(slot, 1);
        m_soundEndTime = clock + PlaneSoundDuration(slot);
        m_nextSlot = next;
        m_engineState = state;
        m_targetBand = band;
    };
    auto off = [&]() {
        if (m_engineState == EngineStopping || m_engineState == EngineStopped) return;
        const int stop = m_isJet ? SoundJetStop : SoundStop;
        PlaySlot(stop, 1);
        m_soundEndTime = clock + PlaneSoundDuration(stop);
        m_nextSlot = -1;
        SetEngineLevel(0);
        m_engineState = EngineStopping;
    };
    const int state = m_engineState;
    switch (id) {
    case CommandOff: case CommandZero: off(); return;
    case CommandLow: case 48: case 49: case 50:
        if (state == EngineStopped) go(startSlot, SlotToLow, EngineStarting, BandLow);
        else if (state == EngineMedium) go(SlotFallLow, SlotToLow, EngineFallingLow, BandLow);
        else if (state == EngineHigh) go(SlotFall, SlotFallLow, EngineFallingMedium, BandLow);
        else SetEngineLevel(m_throttle);
        return;
    case CommandMedium: case 51: case 52: case 53:
        if (state == EngineStopped) go(startSlot, SlotToMedium, EngineStarting, BandMedium);
        else if (state == EngineLow) go(SlotToMedium, SlotRiseMed, EngineRising, BandMedium);
        else if (state == EngineHigh) go(SlotFall, SlotRiseMed, EngineFallingMedium, BandMedium);
        else SetEngineLevel(m_throttle);
        return;
    case CommandHigh: case 54: case 55: case 56:
        if (state == EngineStopped) go(startSlot, SlotToHigh, EngineStarting, BandHigh);
        else if (state == EngineLow) go(SlotToMedium, SlotToHigh, EngineRising, BandHigh);
        else if (state == EngineMedium) go(SlotToHigh, SlotRise, EngineRisingHigh, BandHigh);
        else SetEngineLevel(m_throttle);
        return;
    case CommandUp: case CommandAltUp:
        if (state == EngineStopped) go(startSlot, SlotToLow, EngineStarting, BandLow);
        else if (state == EngineLow && m_throttle > m_bandLimits[0])
            go(SlotToMedium, SlotRiseMed, EngineRising, BandMedium);
        else if (state == EngineMedium && m_throttle > m_bandLimits[1])
            go(SlotToHigh, SlotRise, EngineRisingHigh, BandHigh);
        else SetEngineLevel(m_throttle);
        return;
    case CommandDown: case CommandAltDown:
        if (m_throttle == 0) off();
        else if (state == EngineMedium && m_throttle <= m_bandLimits[0])
            go(SlotFallLow, SlotToLow, EngineFallingLow, BandLow);
        else if (state == EngineHigh && m_throttle <= m_bandLimits[1])
            go(SlotFall, SlotRiseMed, EngineFallingMedium, BandMedium);
        else SetEngineLevel(m_throttle);
        return;
    default: return;
    }
}
