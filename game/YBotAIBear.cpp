#include "game/YBotAIBear.h"

#include <cstdlib>

#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "world/YActor.h"
#include "world/YGameCommands.h"

namespace {
const float kSoundNear = 25.0f;
const float kSoundFar = 200.0f;
const int kSoundOnce = 2;
const char* const kAttackSound = "bear-attack01.wav";
const char* const kSwipeSound = "bear-attack02.wav";
const char* const kIdleSound = "bear.wav";
const char* const kIdle2Sound = "bear2.wav";
}  // namespace

const char* const YBotAIBear::kAnimations[5] = {"attack_01", "attack_02", "attack_03", "idle_one", "idle_two"};
uint8_t YBotAIBear::s_idling = 0;

YBotAIBear::YBotAIBear(YActor* bear, YManeuvers* maneuvers) { InitBear(bear, maneuvers); }

void YBotAIBear::InitBear(YActor* bear, YManeuvers* maneuvers)
{
    m_maneuvers = maneuvers;
    m_turnSide = m_manoeuvreSide = m_lastRandomSide = -1;
    m_takingOff = m_recovering = m_turnAroundWanted = m_randomWanted = m_evadeWanted = 0;
    m_pitchLevel = m_turning = m_wingsLevel = 1;
    m_pitchToAim = m_yawToAim = m_rollToAim = 0.0f;
    m_plane = bear;
    m_target = bear ? bear->m_target : nullptr;
    m_animation = AnimNone;
    m_lastKey = -1;
}

void YBotAIBear::Think(float)
{
    if (!m_plane) return;
    // A target the bear was given after the brain was made.
    if (!m_target) m_target = m_plane->m_target;
    YActor* target = GetTarget();
    if (!target || target == m_plane) return;
    if (m_activeCount && *m_activeCount < 1) return;
    const float d = m_plane->m_position.FastDistance(target->m_position);
    const int r = rand() % 100;
    if (d < kAttackRange && CanSee(target)) {
        if (s_idling) StopAnimation();
        s_idling = 0;
        if (!IsAnimating()) {
            m_lastKey = -1;
            if (r < 33) {
                StartAnimation(kAnimations[AnimAttack1]);
                PlaySound(kAttackSound);
                m_animation = AnimAttack1;
            } else if (r < 66) {
                StartAnimation(kAnimations[AnimAttack2]);
                m_animation = AnimAttack2;
            } else {
                StartAnimation(kAnimations[AnimAttack3]);
                m_animation = AnimAttack3;
            }
        }
        if (m_animation == AnimAttack2) SoundAtKey(kAnimations[AnimAttack2], 6, kSwipeSound);
        if (m_animation == AnimAttack3) SoundAtKey(kAnimations[AnimAttack3], 10, kSwipeSound);
        return;
    }
    s_idling = 1;
    if (!IsAnimating()) {
        m_lastKey = -1;
        if (r < 50) {
            StartAnimation(kAnimations[AnimIdle1]);
            PlaySound(kIdleSound);
            m_animation = AnimIdle1;
        } else {
            StartAnimation(kAnimations[AnimIdle2]);
            m_animation = AnimIdle2;
        }
    }
    if (m_animation == AnimIdle2) SoundAtKey(kAnimations[AnimIdle2], 23, kIdle2Sound);
}

void YBotAIBear::SoundAtKey(const char* name, int key, const char* sound)
{
    const int now = AnimationKey(name);
    if (now == key && m_lastKey != key) PlaySound(sound);
    m_lastKey = now;
}

bool YBotAIBear::IsAnimating()
{
    YSMHandle* model = m_plane ? m_plane->GetModelInstance() : nullptr;
    return model && model->IsPlaying();
}

void YBotAIBear::StartAnimation(const char* name)
{
    YSMHandle* model = m_plane ? m_plane->GetModelInstance() : nullptr;
    const int16_t anim = model ? model->FindAnimation(name) : -1;
    if (anim >= 0) model->PlayAnimation(anim, 1.0f, 0, 0, 0, 0);
}

void YBotAIBear::StopAnimation()
{
    if (YSMHandle* model = m_plane ? m_plane->GetModelInstance() : nullptr) model->StopAnimation();
}

int YBotAIBear::AnimationKey(const char* name)
{
    YSMHandle* model = m_plane ? m_plane->GetModelInstance() : nullptr;
    const int16_t anim = model ? model->FindAnimation(name) : -1;
    return anim >= 0 && model->IsPlaying() ? model->GetAnimationKey(anim) : -1;
}

bool YBotAIBear::CanSee(YActor* target)
{
    return m_plane->CanSeeActor(target, static_cast<int>(kAttackRange), kSightMask);
}

void YBotAIBear::PlaySound(const char* name)
{
    YGameObjects* engine = YGameObjects::Existing();
    if (engine && engine->m_gameCommands && m_plane)
        engine->m_gameCommands->PlayActorSound(m_plane, name, kSoundNear, kSoundFar, kSoundOnce);
}
