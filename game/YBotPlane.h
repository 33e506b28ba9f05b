// The computer-flown plane: a plane with a bot brain of the round's skill,
// the manoeuvre set through which the brain presses verbs and a pilot record
// of its own.  It flies a simplified air step and is drawn larger with
// distance so that it stays visible.
#pragma once

#include <cstdint>

#include "game/YPlane.h"

class YBotAI;
class YClientInfo;
class YManeuvers;

class YBotPlane : public YPlane {
    DECLARE_DYNCREATE(YBotPlane)
public:
    static const char* const kModels[5];

    YBotPlane();
    explicit YBotPlane(int task);
    ~YBotPlane() override;

    void Setup(int task);
    // The skill a new bot gets from the game configuration.
    static int SkillFromConfig();
    // The brain of a skill (0..4, anything above is hard).
    static YBotAI* MakeBrain(int skill, YActor* plane, int task, YManeuvers* maneuvers);

    void GetWorldTransform(YVector& position, YVector& angles) override;
    void Update(float dt) override;
    void Think() override;
    void PostMove(float dt) override;
    void Fly(float speed, float dt) override;
    void ForgetActor(YActor* actor) override;

    YBotAI* GetBrain() const { return m_brain; }
    int GetSkill() const;

    int32_t m_task = 0;
    YClientInfo* m_pilot = nullptr;  // owned
    YManeuvers* m_maneuvers = nullptr;  // owned
    YBotAI* m_brain = nullptr;  // owned
    uint32_t m_reservedWords[2] = {0, 0};
};
