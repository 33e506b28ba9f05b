// One drawn instance of a shared model: the frame shown or the animation
// playing, which groups are shown with which skin, the decals stuck on it
// and the values the frame renderer keeps while drawing it.
#pragma once

#include <cstdint>
#include <vector>

#include "assets3d/YSMRecords.h"
#include "platform/mfc.h"

class YSMObject;
class YSMDecal;

struct YSMGroupHandle {
    uint32_t flags = 0;  // 0x2 shown, 0x4 explicit texture, 0x8, 0x10, 0x4000 drawn this frame
    uint32_t word = 0;
    int32_t skin = 0;
    int32_t slot = -1;
};

struct YSMAnimHandle {
    uint32_t state = 0;  // bit 0 playing
    uint32_t word = 0;
    uint8_t playFlags = 0;  // 0x1 loop, 0x10 reverse
    uint8_t finished = 0;
    float speed = 1.0f;
    uint16_t key = 0;
    float position = 0.0f;
    float keyTime = 0.0f;
    int16_t cycles = 0;
    uint32_t callerWord = 0;
    uint16_t callerA = 0;
    uint16_t callerB = 0;
};

class YSMHandle {
public:
    enum : uint32_t { kAnimated = 0x1 };
    enum : uint32_t { kGroupShown = 0x2, kGroupTexture = 0x4, kGroupMarked = 0x4000 };
    enum : uint8_t { kPlayLoop = 0x1, kPlayReverse = 0x10 };
    static const int16_t kCurrent = -1;  // 0xFFFF: the current animation

    YSMHandle() = default;
    virtual ~YSMHandle();

    // Made only by the model; source (may be null) gives the states to copy.
    void Attach(YSMObject* model, const YSMHandle* source);
    // Forgets the states (and the decals); the model stays.
    void ClearState();
    // ClearState and forget the model too.
    void Detach();

    // Groups, frames and skins.
    int16_t FindGroup(const char* name) const;
    void SetActiveGroup(int16_t group);
    int16_t GetActiveGroup() const;
    bool SelectGroup(const char* name, float size);
    void SetReferenceSize(float size) { m_referenceSize = size; }
    float GetReferenceSize() const { return m_referenceSize; }
    void SetAnimated(bool on);
    bool IsAnimated() const { return (m_flags & kAnimated) != 0; }
    void SetFrame(int16_t frame);
    int16_t GetFrame() const;
    int16_t GetFrameCount() const;
    // The frame the handle shows now.
    int16_t GetShownFrame() const;
    void ShowGroup(int16_t group, bool show);
    bool IsGroupShown(int16_t group) const;
    bool IsGroupMarker(int16_t group) const;
    int16_t FindSkin(int16_t group, const char* name) const;
    void SetGroupSkin(int16_t group, int16_t skin);
    void SetGroupTexture(int16_t group, int16_t slot);
    bool HasGroupTexture(int16_t group) const;
    int16_t GetGroupSkin(int16_t group) const;
    int16_t GetSkinTexture(int16_t group, int16_t skin) const;
    // Sets the draw frames from the animation: the shown frame, and with
    // animate the next key's frame and how far the current key has run
    // towards it (none at the end of a one-shot animation).
    void RefreshDrawFrames(bool animate);
    // Frame 0xFFFF (or above) is the shown frame; null out of range.
    const YSMPose* GetGroupBounds(int16_t group, uint16_t frame) const;
    // Vertical extent of a group's faces in the shown frame; -1 when the
    // group has none.
    float GetGroupHeight(int16_t group) const;
    // The box of a group's faces in the shown frame, model space; false
    // when the group has none.
    bool GetGroupBox(int16_t group, float low[3], float high[3]) const;
    uint32_t GetGroupFlags(int16_t group) const;
    void SetGroupFlags(int16_t group, uint32_t flags);
    uint32_t GetGroupWord(int16_t group) const;
    void SetGroupWord(int16_t group, uint32_t word);
    void ClearDrawMarks();
    void SetGroupMarked(int16_t group, bool marked);
    bool IsGroupMarked(int16_t group) const;
    int16_t FindGroupTag(int16_t group, const char* key) const;
    bool GetGroupTag(int16_t group, int16_t index, CString* key, CString* value, uint8_t* type) const;
    void GetDrawState(float* factor, uint16_t* slot, uint32_t* colour) const;
    void SetDrawState(float factor, uint16_t slot, uint32_t colour);
    void AddDecal(YSMDecal* decal);
    int16_t GetDecalCount() const;
    void RemoveDecal(int16_t index);
    bool HasModel() const { return m_model != nullptr; }

    // Animations.
    int16_t FindAnimation(const char* name) const;
    void PlayAnimation(int16_t anim, float speed, uint8_t flags, uint32_t word, uint16_t a, uint16_t b);
    void SetAnimationTime(int16_t anim, float t);
    void SetAnimationKey(int16_t anim, int16_t key);
    void SetAnimationSpeed(int16_t anim, float speed);
    float GetAnimationSpeed(int16_t anim) const;
    void SetAnimationLoop(int16_t anim, bool loop);
    bool IsAnimationLooping(int16_t anim) const;
    void SetAnimationReverse(int16_t anim, bool reverse);
    bool IsAnimationReverse(int16_t anim) const;
    void SetAnimationFlags(int16_t anim, uint8_t flags);
    uint8_t GetAnimationFlags(int16_t anim) const;
    void SetAnimationParameters(uint8_t flags, uint32_t word, uint16_t a, uint16_t b);
    bool IsAnimationFinished() const;
    bool IsPlaying() const;
    void StopAnimation();
    void UpdateAnimations(float elapsed);
    int16_t GetAnimationCycles(int16_t anim) const;
    int16_t GetAnimationKey(int16_t anim) const;
    int16_t GetAnimationKeyFrame(int16_t anim, int16_t key) const;
    float GetAnimationDuration(int16_t anim) const;
    int16_t GetAnimationKeyCount(int16_t anim) const;
    float GetAnimationKeyDuration(int16_t anim, int16_t key) const;

    // Once per model: widens the frame boxes by half the "Normal" group's edge.
    void PrepareInstance();

    YSMObject* m_model = nullptr;
    int16_t m_currentAnim = -1;
    int16_t m_currentFrame = 0;
    int16_t m_activeGroup = -1;
    uint32_t m_flags = 0;
    uint32_t m_groundAlign = 0;  // 1: placed on a map, it follows the ground slope
    std::vector<YSMGroupHandle> m_groupStates;
    std::vector<YSMAnimHandle> m_animStates;
    std::vector<YSMDecal*> m_decals;  // owned
    std::vector<uint16_t> m_resourceSlots;
    // The frame renderer's work fields.
    const YSMFrame* m_drawFrame = nullptr;
    const YSMFrame* m_drawNextFrame = nullptr;
    float m_drawBlend = 0.0f;
    float m_drawResult[3] = {0, 0, 0};
    float m_referenceSize = 1.0f;
    float m_drawFactor = 1.0f;
    uint16_t m_drawSlot = 0xFFFF;
    uint32_t m_drawColour = 0xFF000000u;
    // The inflated shell: how far its vertices stand out, and its texture.
    float m_shellWidth = 0.0f;
    int16_t m_shellTexture = -1;
    // An instance that follows another takes the leader's world matrix and
    // scale, which the model drawing leaves in every instance it poses.
    YSMHandle* m_leader = nullptr;
    uint8_t m_providesMatrix = 0;
    float m_drawMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float m_drawScale = 1.0f;
    // The renderer's shadow pool entry of this instance: -1 none, -2 shadowed
    // as part of the model it is attached to.
    int16_t m_shadowSlot = -1;

private:
    bool ValidGroup(int16_t group) const;
    // The animation an index names (kCurrent: the current one), or -1.
    int16_t Anim(int16_t anim) const;
    bool AnimCall(int16_t anim) const { return IsAnimated() && Anim(anim) >= 0; }
    YSMHandle(const YSMHandle&) = delete;
    YSMHandle& operator=(const YSMHandle&) = delete;
};
