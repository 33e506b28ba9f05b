#include "assets3d/YSMHandle.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "assets3d/YSMDecal.h"
#include "assets3d/YSMObject.h"

YSMHandle::~YSMHandle()
{
    if (m_model) m_model->RemoveHandle(this);
    ClearState();
}

void YSMHandle::Attach(YSMObject* model, const YSMHandle* source)
{
    ClearState();
    m_model = model;
    m_currentFrame = 0;
    m_flags = 0;
    if (!model) return;
    if (source) {
        m_groupStates = source->m_groupStates;
        m_animStates = source->m_animStates;
        m_resourceSlots = source->m_resourceSlots;
        m_currentAnim = source->m_currentAnim;
        return;
    }
    for (const auto& group : model->m_groups) {
        YSMGroupHandle state;
        state.flags = group->flags;
        state.word = group->word;
        state.skin = 0;
        state.slot = -1;
        if (!group->skins.empty()) {
            int16_t r = group->skins[0]->resource;
            if (r >= 0 && static_cast<size_t>(r) < model->m_resources.size()) state.slot = model->m_resources[r]->slot;
        }
        m_groupStates.push_back(state);
    }
    for (const auto& anim : model->m_anims) {
        YSMAnimHandle state;
        state.state = anim->flags;
        state.word = anim->word;
        m_animStates.push_back(state);
    }
    m_currentAnim = model->m_anims.empty() ? -1 : 0;
    for (const auto& resource : model->m_resources) m_resourceSlots.push_back(static_cast<uint16_t>(resource->slot));
}

void YSMHandle::ClearState()
{
    m_currentAnim = m_currentFrame = m_activeGroup = -1;
    m_drawFrame = m_drawNextFrame = nullptr;
    m_drawBlend = 0.0f;
    m_drawResult[0] = m_drawResult[1] = m_drawResult[2] = 0.0f;
    m_resourceSlots.clear();
    m_groupStates.clear();
    m_animStates.clear();
    for (YSMDecal* decal : m_decals) delete decal;
    m_decals.clear();
}

void YSMHandle::Detach()
{
    ClearState();
    m_model = nullptr;
}

bool YSMHandle::ValidGroup(int16_t group) const
{
    return m_model && group >= 0 && static_cast<size_t>(group) < m_groupStates.size() &&
           static_cast<size_t>(group) < m_model->m_groups.size();
}

int16_t YSMHandle::Anim(int16_t anim) const
{
    if (!m_model) return -1;
    if (anim == kCurrent) anim = m_currentAnim;
    if (anim < 0 || static_cast<size_t>(anim) >= m_animStates.size() ||
        static_cast<size_t>(anim) >= m_model->m_anims.size())
        return -1;
    return anim;
}

// ---- groups, frames and skins

int16_t YSMHandle::FindGroup(const char* name) const { return m_model && name ? m_model->FindGroup(name) : -1; }

void YSMHandle::SetActiveGroup(int16_t group)
{
    if (ValidGroup(group)) m_activeGroup = group;
}

int16_t YSMHandle::GetActiveGroup() const { return m_model ? m_activeGroup : -1; }

bool YSMHandle::SelectGroup(const char* name, float size)
{
    int16_t group = FindGroup(name);
    if (!ValidGroup(group)) return false;
    m_activeGroup = group;
    m_referenceSize = size;
    return true;
}

void YSMHandle::SetAnimated(bool on)
{
    if (!m_model) return;
    m_flags = on ? (m_flags | kAnimated) : (m_flags & ~kAnimated);
}

void YSMHandle::SetFrame(int16_t frame)
{
    if (m_model && frame >= 0 && static_cast<size_t>(frame) < m_model->m_frames.size()) m_currentFrame = frame;
}

int16_t YSMHandle::GetFrame() const { return m_model ? m_currentFrame : -1; }

int16_t YSMHandle::GetFrameCount() const { return m_model ? static_cast<int16_t>(m_model->m_frames.size()) : -1; }

int16_t YSMHandle::GetShownFrame() const
{
    if (!m_model) return -1;
    int16_t anim = Anim(kCurrent);
    if (IsAnimated() && anim >= 0) {
        const YSMAnim& a = *m_model->m_anims[anim];
        uint16_t key = m_animStates[anim].key;
        return key < a.keyFrames.size() ? static_cast<int16_t>(a.keyFrames[key]) : -1;
    }
    return m_currentFrame;
}

void YSMHandle::RefreshDrawFrames(bool animate)
{
    m_drawFrame = m_drawNextFrame = nullptr;
    m_drawBlend = 0.0f;
    if (!m_model) return;
    const int16_t shown = GetShownFrame();
    if (shown < 0 || static_cast<size_t>(shown) >= m_model->m_frames.size()) return;
    m_drawFrame = m_model->m_frames[shown].get();
    const int16_t anim = Anim(kCurrent);
    if (!animate || !IsAnimated() || anim < 0) return;
    const YSMAnim& a = *m_model->m_anims[anim];
    const YSMAnimHandle& state = m_animStates[anim];
    const int keys = static_cast<int>(a.keyFrames.size());
    if (state.key >= keys || state.key >= static_cast<int>(a.keyDurations.size())) return;
    const bool reverse = (state.playFlags & 0x10) != 0, loop = (state.playFlags & 0x1) != 0;
    int next = state.key + (reverse ? -1 : 1);
    if (next < 0 || next >= keys) {
        if (!loop) return;
        next = reverse ? keys - 1 : 0;
    }
    const float duration = a.keyDurations[state.key];
    if (!(duration > 0.0f) || a.keyFrames[next] >= m_model->m_frames.size()) return;
    const float run = reverse ? duration - state.keyTime : state.keyTime;
    m_drawNextFrame = m_model->m_frames[a.keyFrames[next]].get();
    m_drawBlend = std::min(std::max(run / duration, 0.0f), 1.0f);
}

void YSMHandle::ShowGroup(int16_t group, bool show)
{
    if (!ValidGroup(group)) return;
    uint32_t& f = m_groupStates[group].flags;
    f = show ? (f | kGroupShown) : (f & ~kGroupShown);
}

bool YSMHandle::IsGroupShown(int16_t group) const
{
    return ValidGroup(group) && (m_groupStates[group].flags & kGroupShown) != 0;
}

bool YSMHandle::IsGroupMarker(int16_t group) const
{
    return ValidGroup(group) && (m_groupStates[group].flags & kSMGroupMarker) != 0 &&
           m_model->m_groups[group]->faceCount == 2;
}

int16_t YSMHandle::FindSkin(int16_t group, const char* name) const
{
    if (!ValidGroup(group) || !name) return -1;
    const auto& skins = m_model->m_groups[group]->skins;
    for (size_t s = 0; s < skins.size(); ++s)
        if (skins[s]->name.CompareNoCase(name) == 0) return static_cast<int16_t>(s);
    return -1;
}

int16_t YSMHandle::GetSkinTexture(int16_t group, int16_t skin) const
{
    if (!ValidGroup(group)) return -1;
    const auto& skins = m_model->m_groups[group]->skins;
    if (skin < 0 || static_cast<size_t>(skin) >= skins.size()) return -1;
    int16_t r = skins[skin]->resource;
    if (r < 0 || static_cast<size_t>(r) >= m_resourceSlots.size()) return -1;
    return static_cast<int16_t>(m_resourceSlots[r]);
}

void YSMHandle::SetGroupSkin(int16_t group, int16_t skin)
{
    if (!ValidGroup(group)) return;
    const auto& skins = m_model->m_groups[group]->skins;
    if (skin < 0 || static_cast<size_t>(skin) >= skins.size()) return;
    YSMGroupHandle& state = m_groupStates[group];
    state.skin = skin;
    state.slot = GetSkinTexture(group, skin);
    state.flags &= ~kGroupTexture;
}

void YSMHandle::SetGroupTexture(int16_t group, int16_t slot)
{
    if (!ValidGroup(group)) return;
    YSMGroupHandle& state = m_groupStates[group];
    state.skin = -1;
    state.slot = slot;
    state.flags |= kGroupTexture;
}

bool YSMHandle::HasGroupTexture(int16_t group) const
{
    return ValidGroup(group) && (m_groupStates[group].flags & kGroupTexture) != 0;
}

int16_t YSMHandle::GetGroupSkin(int16_t group) const
{
    if (!ValidGroup(group)) return -1;
    const YSMGroupHandle& state = m_groupStates[group];
    return static_cast<int16_t>((state.flags & kGroupTexture) ? state.slot : state.skin);
}

const YSMPose* YSMHandle::GetGroupBounds(int16_t group, uint16_t frame) const
{
    if (!ValidGroup(group)) return nullptr;
    int32_t f = frame >= 0xFFFF ? GetShownFrame() : frame;
    if (f < 0 || static_cast<size_t>(f) >= m_model->m_frames.size()) return nullptr;
    const YSMFrame& fr = *m_model->m_frames[f];
    if (static_cast<size_t>(group) >= fr.poses.size()) return nullptr;
    return &fr.poses[group];
}

bool YSMHandle::GetGroupBox(int16_t group, float low[3], float high[3]) const
{
    if (!ValidGroup(group)) return false;
    const int32_t f = GetShownFrame();
    if (f < 0 || static_cast<size_t>(f) >= m_model->m_frames.size()) return false;
    const std::vector<float>& positions = m_model->m_frames[f]->positions;
    bool any = false;
    for (uint16_t face : m_model->m_groups[group]->faces) {
        if (face >= m_model->m_faces.size()) continue;
        for (int16_t v : m_model->m_faces[face].v) {
            const size_t at = static_cast<size_t>(v) * 3;
            if (v < 0 || at + 2 >= positions.size()) continue;
            for (int i = 0; i < 3; ++i) {
                low[i] = any ? std::min(low[i], positions[at + i]) : positions[at + i];
                high[i] = any ? std::max(high[i], positions[at + i]) : positions[at + i];
            }
            any = true;
        }
    }
    return any;
}

float YSMHandle::GetGroupHeight(int16_t group) const
{
    float low[3], high[3];
    return GetGroupBox(group, low, high) ? high[1] - low[1] : -1.0f;
}

uint32_t YSMHandle::GetGroupFlags(int16_t group) const { return ValidGroup(group) ? m_groupStates[group].flags : 0; }

void YSMHandle::SetGroupFlags(int16_t group, uint32_t flags)
{
    if (ValidGroup(group)) m_groupStates[group].flags = flags;
}

uint32_t YSMHandle::GetGroupWord(int16_t group) const { return ValidGroup(group) ? m_groupStates[group].word : 0; }

void YSMHandle::SetGroupWord(int16_t group, uint32_t word)
{
    if (ValidGroup(group)) m_groupStates[group].word = word;
}

void YSMHandle::ClearDrawMarks()
{
    if (!m_model) return;
    for (YSMGroupHandle& state : m_groupStates) state.flags &= ~kGroupMarked;
}

void YSMHandle::SetGroupMarked(int16_t group, bool marked)
{
    if (!ValidGroup(group)) return;
    uint32_t& f = m_groupStates[group].flags;
    f = marked ? (f | kGroupMarked) : (f & ~kGroupMarked);
}

bool YSMHandle::IsGroupMarked(int16_t group) const
{
    return ValidGroup(group) && (m_groupStates[group].flags & kGroupMarked) != 0;
}

int16_t YSMHandle::FindGroupTag(int16_t group, const char* key) const
{
    if (!ValidGroup(group) || !key) return -1;
    const auto& tags = m_model->m_groups[group]->tags;
    for (size_t t = 0; t < tags.size(); ++t)
        if (tags[t]->key.CompareNoCase(key) == 0) return static_cast<int16_t>(t);
    return -1;
}

bool YSMHandle::GetGroupTag(int16_t group, int16_t index, CString* key, CString* value, uint8_t* type) const
{
    if (!ValidGroup(group)) return false;
    const auto& tags = m_model->m_groups[group]->tags;
    if (index < 0 || static_cast<size_t>(index) >= tags.size()) return false;
    if (key) *key = tags[index]->key;
    if (value) *value = tags[index]->value;
    if (type) *type = tags[index]->type;
    return true;
}

void YSMHandle::GetDrawState(float* factor, uint16_t* slot, uint32_t* colour) const
{
    if (!m_model) return;
    if (factor) *factor = m_drawFactor;
    if (slot) *slot = m_drawSlot;
    if (colour) *colour = m_drawColour;
}

void YSMHandle::SetDrawState(float factor, uint16_t slot, uint32_t colour)
{
    if (!m_model) return;
    m_drawFactor = factor;
    m_drawSlot = slot;
    m_drawColour = colour;
}

void YSMHandle::AddDecal(YSMDecal* decal)
{
    if (m_model && decal) m_decals.push_back(decal);
}

int16_t YSMHandle::GetDecalCount() const { return m_model ? static_cast<int16_t>(m_decals.size()) : 0; }

void YSMHandle::RemoveDecal(int16_t index)
{
    if (!m_model || index < 0 || static_cast<size_t>(index) >= m_decals.size()) return;
    delete m_decals[index];
    m_decals.erase(m_decals.begin() + index);
}

// ---- animations

int16_t YSMHandle::FindAnimation(const char* name) const
{
    if (!m_model || !name) return -1;
    for (size_t i = 0; i < m_model->m_anims.size(); ++i)
        if (m_model->m_anims[i]->name.CompareNoCase(name) == 0) return static_cast<int16_t>(i);
    return -1;
}

void YSMHandle::PlayAnimation(int16_t anim, float speed, uint8_t flags, uint32_t word, uint16_t a, uint16_t b)
{
    if (!AnimCall(anim)) return;
    anim = Anim(anim);
    YSMAnimHandle& s = m_animStates[anim];
    s.state |= 1u;
    s.speed = speed;
    s.playFlags = flags;
    s.finished = 0;
    s.callerWord = word;
    s.callerA = a;
    s.callerB = b;
    s.key = 0;
    s.cycles = 0;
    s.position = 0.0f;
    s.keyTime = 0.0f;
    int16_t keys = m_model->m_anims[anim]->keyCount;
    if ((flags & kPlayReverse) && keys > 0) s.key = static_cast<uint16_t>(keys - 1);
    m_currentAnim = anim;
}

void YSMHandle::SetAnimationTime(int16_t anim, float t)
{
    if (!AnimCall(anim)) return;
    anim = Anim(anim);
    const YSMAnim& a = *m_model->m_anims[anim];
    if (!(a.total > 0.0f) || !std::isfinite(t) || a.keyDurations.empty()) return;
    YSMAnimHandle& s = m_animStates[anim];
    s.state |= 1u;
    s.speed = 1.0f;
    s.playFlags = 0;
    s.callerWord = 0;
    s.callerA = s.callerB = 0;
    s.cycles = 0;
    float position = std::fmod(t, a.total);
    if (position < 0.0f) position += a.total;
    s.position = position;
    float left = position;
    size_t key = 0;
    while (key + 1 < a.keyDurations.size() && !(a.keyDurations[key] > left)) left -= a.keyDurations[key++];
    s.key = static_cast<uint16_t>(key);
    s.keyTime = left;
    m_currentAnim = anim;
}

void YSMHandle::SetAnimationKey(int16_t anim, int16_t key)
{
    if (!AnimCall(anim)) return;
    anim = Anim(anim);
    const YSMAnim& a = *m_model->m_anims[anim];
    int n = static_cast<int>(std::min(a.keyFrames.size(), a.keyDurations.size()));
    if (n <= 0) return;
    YSMAnimHandle& s = m_animStates[anim];
    s.state |= 1u;
    s.speed = 1.0f;
    s.playFlags = 0;
    s.callerWord = 0;
    s.callerA = s.callerB = 0;
    s.cycles = 0;
    s.keyTime = 0.0f;
    int k = ((key % n) + n) % n;
    s.key = static_cast<uint16_t>(k);
    float position = 0.0f;
    for (int i = 0; i < k; ++i) position += a.keyDurations[i];
    s.position = position;
    m_currentAnim = anim;
}

void YSMHandle::SetAnimationSpeed(int16_t anim, float speed)
{
    if (AnimCall(anim)) m_animStates[Anim(anim)].speed = speed;
}

float YSMHandle::GetAnimationSpeed(int16_t anim) const { return AnimCall(anim) ? m_animStates[Anim(anim)].speed : 1.0f; }

void YSMHandle::SetAnimationLoop(int16_t anim, bool loop)
{
    const uint8_t f = GetAnimationFlags(anim);
    SetAnimationFlags(anim, loop ? static_cast<uint8_t>(f | kPlayLoop) : static_cast<uint8_t>(f & ~kPlayLoop));
}

bool YSMHandle::IsAnimationLooping(int16_t anim) const { return (GetAnimationFlags(anim) & kPlayLoop) != 0; }

void YSMHandle::SetAnimationReverse(int16_t anim, bool reverse)
{
    const uint8_t f = GetAnimationFlags(anim);
    SetAnimationFlags(anim, reverse ? static_cast<uint8_t>(f | kPlayReverse) : static_cast<uint8_t>(f & ~kPlayReverse));
}

bool YSMHandle::IsAnimationReverse(int16_t anim) const { return (GetAnimationFlags(anim) & kPlayReverse) != 0; }

void YSMHandle::SetAnimationFlags(int16_t anim, uint8_t flags)
{
    if (AnimCall(anim)) m_animStates[Anim(anim)].playFlags = flags;
}

uint8_t YSMHandle::GetAnimationFlags(int16_t anim) const { return AnimCall(anim) ? m_animStates[Anim(anim)].playFlags : 0; }

void YSMHandle::SetAnimationParameters(uint8_t flags, uint32_t word, uint16_t a, uint16_t b)
{
    if (!AnimCall(kCurrent)) return;
    YSMAnimHandle& s = m_animStates[Anim(kCurrent)];
    s.playFlags = flags;
    s.finished = 0;
    s.callerWord = word;
    s.callerA = a;
    s.callerB = b;
}

bool YSMHandle::IsAnimationFinished() const
{
    if (!AnimCall(kCurrent)) return false;
    const YSMAnimHandle& s = m_animStates[Anim(kCurrent)];
    return !(s.state & 1u) && s.finished;
}

bool YSMHandle::IsPlaying() const { return AnimCall(kCurrent) && (m_animStates[Anim(kCurrent)].state & 1u); }

void YSMHandle::StopAnimation()
{
    if (AnimCall(kCurrent)) m_animStates[Anim(kCurrent)].state &= ~1u;
}

void YSMHandle::UpdateAnimations(float elapsed)
{
    if (!AnimCall(kCurrent)) return;
    const int16_t index = Anim(kCurrent);
    YSMAnimHandle& s = m_animStates[index];
    if (!(s.state & 1u)) return;
    const YSMAnim& anim = *m_model->m_anims[index];
    const float duration = anim.total;
    const int keys = static_cast<int>(std::min(anim.keyFrames.size(), anim.keyDurations.size()));
    // An animation that takes no time has nothing to advance.
    if (!(duration > 0.0f) || !std::isfinite(duration)) return;
    const double turns = static_cast<double>(elapsed) * s.speed / duration;
    if (!std::isfinite(turns)) return;
    double whole;
    const float step = static_cast<float>(std::modf(turns, &whole)) * duration;
    const double wrapped = std::fmod(whole, 65536.0);
    s.cycles = static_cast<int16_t>(static_cast<uint16_t>(static_cast<int32_t>(wrapped) + s.cycles));
    const bool reverse = (s.playFlags & kPlayReverse) != 0;
    s.keyTime += reverse ? -step : step;
    if (s.key >= keys) return;
    // Each pass leaves a key; a step shorter than the whole cycle leaves
    // every key at most twice.
    int passes = 2 * keys + 2;
    if (!reverse) {
        while (passes-- > 0 && s.keyTime >= anim.keyDurations[s.key]) {
            s.keyTime -= anim.keyDurations[s.key];
            if (++s.key >= keys) {
                s.key = 0;
                ++s.cycles;
            }
        }
    } else {
        int key = s.key;
        while (passes-- > 0 && s.keyTime < 0.0f) {
            s.keyTime += anim.keyDurations[key];
            if (--key < 0) {
                key = keys - 1;
                ++s.cycles;
            }
        }
        s.key = static_cast<uint16_t>(key);
    }
    if (!(s.playFlags & kPlayLoop) && s.cycles >= 1) {
        s.state &= ~1u;
        s.key = reverse ? 0 : static_cast<uint16_t>(keys - 1);
    }
}

int16_t YSMHandle::GetAnimationCycles(int16_t anim) const
{
    int16_t a = Anim(anim);
    return a >= 0 ? m_animStates[a].cycles : -1;
}

int16_t YSMHandle::GetAnimationKey(int16_t anim) const
{
    int16_t a = Anim(anim);
    return a >= 0 ? static_cast<int16_t>(m_animStates[a].key) : -1;
}

int16_t YSMHandle::GetAnimationKeyFrame(int16_t anim, int16_t key) const
{
    int16_t a = Anim(anim);
    if (a < 0) return -1;
    const YSMAnim& an = *m_model->m_anims[a];
    if (key < 0 || static_cast<size_t>(key) >= an.keyFrames.size()) return -1;
    return static_cast<int16_t>(an.keyFrames[key]);
}

float YSMHandle::GetAnimationDuration(int16_t anim) const
{
    int16_t a = Anim(anim);
    return a >= 0 ? m_model->m_anims[a]->total : -1.0f;
}

int16_t YSMHandle::GetAnimationKeyCount(int16_t anim) const
{
    int16_t a = Anim(anim);
    return a >= 0 ? m_model->m_anims[a]->keyCount : -1;
}

float YSMHandle::GetAnimationKeyDuration(int16_t anim, int16_t key) const
{
    int16_t a = Anim(anim);
    if (a < 0) return -1.0f;
    const YSMAnim& an = *m_model->m_anims[a];
    if (key < 0 || static_cast<size_t>(key) >= an.keyDurations.size()) return -1.0f;
    return an.keyDurations[key];
}

void YSMHandle::PrepareInstance()
{
    if (!m_model || !m_model->m_shellPending) return;
    m_model->m_shellPending = 0;
    int16_t normal = m_model->FindGroup("Normal");
    if (normal < 0 || m_model->m_frames.empty()) return;
    const YSMFrame& first = *m_model->m_frames[0];
    if (static_cast<size_t>(normal) >= first.poses.size()) return;
    const float d = first.poses[normal].v[9] * 0.5f * 0.96f;
    for (auto& frame : m_model->m_frames) {
        for (int i = 0; i < 3; ++i) {
            frame->boxAMin[i] -= d;
            frame->boxAMax[i] += d;
            frame->boxBMin[i] -= d;
            frame->boxBMax[i] += d;
        }
    }
}
