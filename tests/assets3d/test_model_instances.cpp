// Model instances: groups, skins, frames, animation playback by time, and
// the handles' life with their model.
#include <gtest/gtest.h>

#include "ModelFixture.h"
#include "assets3d/YSMDecal.h"
#include "assets3d/YSMHandle.h"

using namespace modeltest;

namespace {
// Keys of 0.1 s and 0.2 s (0.3 s) showing frames 0 and 1.
class Instance : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakeSmall(model);
        model.m_anims[0]->flags = 0;
        model.m_anims.emplace_back(Anim("attack_01", {1, 0, 1}, {0.5f, 0.5f, 0.5f}));
        Finish(model, 8);
        model.m_resources[0]->slot = 40;
        model.m_resources[1]->slot = 41;
        handle = model.CreateHandle();
        handle->SetAnimated(true);
    }
    void TearDown() override { delete handle; }

    YSMObject model;
    YSMHandle* handle = nullptr;
};
}  // namespace

TEST_F(Instance, ForwardPlaybackStopsAndParksOnTheLastKey)
{
    handle->PlayAnimation(0, 1.0f, 0, 0, 0, 0);
    handle->UpdateAnimations(0.25f);
    EXPECT_EQ(1, handle->GetAnimationKey(0));
    EXPECT_NEAR(0.15f, handle->m_animStates[0].keyTime, 1e-6);
    EXPECT_EQ(0, handle->GetAnimationCycles(0));
    EXPECT_TRUE(handle->IsPlaying());
    EXPECT_EQ(1, handle->GetShownFrame());
    handle->UpdateAnimations(0.1f);
    EXPECT_EQ(1, handle->GetAnimationCycles(0));
    EXPECT_FALSE(handle->IsPlaying());
    EXPECT_EQ(1, handle->GetAnimationKey(0));
    // A stopped animation does not move.
    handle->UpdateAnimations(0.1f);
    EXPECT_EQ(1, handle->GetAnimationCycles(0));
}

TEST_F(Instance, LoopingAddsWholeCyclesAndTheRemainder)
{
    handle->PlayAnimation(0, 1.0f, YSMHandle::kPlayLoop, 0, 0, 0);
    handle->UpdateAnimations(0.7f);
    EXPECT_EQ(2, handle->GetAnimationCycles(0));
    // 0.1 s into the cycle: the end of key 0 or the start of key 1.
    const int key = handle->GetAnimationKey(0);
    EXPECT_NEAR(0.1f, (key == 1 ? 0.1f : 0.0f) + handle->m_animStates[0].keyTime, 1e-5);
    EXPECT_TRUE(handle->IsPlaying());
    // Speed 2: 0.1 s is two keys' worth of 0.1 s each.
    handle->PlayAnimation(0, 2.0f, YSMHandle::kPlayLoop, 0, 0, 0);
    handle->UpdateAnimations(0.1f);
    EXPECT_EQ(1, handle->GetAnimationKey(0));
    EXPECT_NEAR(0.1f, handle->m_animStates[0].keyTime, 1e-6);
}

TEST_F(Instance, ReversePlaybackStartsLastAndWraps)
{
    handle->PlayAnimation(0, 1.0f, YSMHandle::kPlayLoop | YSMHandle::kPlayReverse, 0, 0, 0);
    EXPECT_EQ(1, handle->GetAnimationKey(0));
    handle->UpdateAnimations(0.05f);  // leaves key 1 at once: its time was 0
    EXPECT_EQ(0, handle->GetAnimationKey(0));
    handle->UpdateAnimations(0.2f);  // below key 0: wraps to the last key
    EXPECT_EQ(1, handle->GetAnimationKey(0));
    EXPECT_EQ(1, handle->GetAnimationCycles(0));
    // One-shot reverse parks on key 0.
    handle->PlayAnimation(0, 1.0f, YSMHandle::kPlayReverse, 0, 0, 0);
    handle->UpdateAnimations(0.35f);
    EXPECT_FALSE(handle->IsPlaying());
    EXPECT_EQ(0, handle->GetAnimationKey(0));
}

TEST_F(Instance, TimeAndKeyPlacement)
{
    struct Case {
        float t;
        int key;
        float keyTime;
    } cases[] = {{0.0f, 0, 0.0f}, {0.05f, 0, 0.05f}, {0.1f, 1, 0.0f}, {0.25f, 1, 0.15f}, {0.35f, 0, 0.05f}};
    for (const Case& c : cases) {
        handle->SetAnimationTime(0, c.t);
        EXPECT_EQ(c.key, handle->GetAnimationKey(0)) << c.t;
        EXPECT_NEAR(c.keyTime, handle->m_animStates[0].keyTime, 1e-6) << c.t;
        EXPECT_TRUE(handle->IsPlaying());
    }
    handle->SetAnimationKey(1, 4);  // 4 mod 3
    EXPECT_EQ(1, handle->m_currentAnim);
    EXPECT_EQ(1, handle->GetAnimationKey(1));
    EXPECT_FLOAT_EQ(0.5f, handle->m_animStates[1].position);
    EXPECT_EQ(0, handle->GetAnimationKeyFrame(1, 1));
    EXPECT_FLOAT_EQ(1.5f, handle->GetAnimationDuration(1));
    EXPECT_EQ(3, handle->GetAnimationKeyCount(1));
    EXPECT_FLOAT_EQ(-1.0f, handle->GetAnimationKeyDuration(1, 3));
}

// An animation that takes no time (built in memory: files refuse it) is
// not advanced, and nothing loops.
TEST_F(Instance, NoUpdateWithoutDuration)
{
    model.m_anims[0]->keyDurations = {0.0f, 0.0f};
    model.m_anims[0]->total = 0.0f;
    handle->PlayAnimation(0, 1.0f, YSMHandle::kPlayLoop, 0, 0, 0);
    handle->UpdateAnimations(1.0f);
    EXPECT_EQ(0, handle->GetAnimationKey(0));
    EXPECT_EQ(0, handle->GetAnimationCycles(0));
    EXPECT_TRUE(handle->IsPlaying());
    handle->SetAnimationTime(0, 2.0f);
    EXPECT_EQ(0, handle->GetAnimationKey(0));
}

TEST_F(Instance, AnimationCallsNeedAnimatedHandles)
{
    handle->SetAnimated(false);
    handle->PlayAnimation(1, 1.0f, 0, 0, 0, 1);
    EXPECT_EQ(0, handle->m_currentAnim);
    EXPECT_FALSE(handle->IsPlaying());
    EXPECT_FLOAT_EQ(1.0f, handle->GetAnimationSpeed(1));
    EXPECT_EQ(1, handle->FindAnimation("ATTACK_01"));
    EXPECT_EQ(-1, handle->FindAnimation("attack_02"));
    handle->SetFrame(1);
    EXPECT_EQ(1, handle->GetShownFrame());
    handle->SetFrame(2);  // the frame count: ignored
    EXPECT_EQ(1, handle->GetFrame());
    handle->SetAnimated(true);
    handle->PlayAnimation(1, 1.0f, 0, 9, 0, 1);
    EXPECT_EQ(1, handle->m_currentAnim);
    EXPECT_EQ(1u, handle->m_animStates[1].callerB);
    EXPECT_EQ(1, handle->GetShownFrame());
    handle->StopAnimation();
    EXPECT_FALSE(handle->IsPlaying());
    EXPECT_FALSE(handle->IsAnimationFinished());
}

TEST_F(Instance, GroupsSkinsAndTextures)
{
    EXPECT_EQ(0, handle->FindGroup("normal"));
    EXPECT_EQ(-1, handle->FindGroup("Wheels"));
    EXPECT_TRUE(handle->SelectGroup("camera", 16.0f));
    EXPECT_EQ(1, handle->GetActiveGroup());
    EXPECT_FLOAT_EQ(16.0f, handle->GetReferenceSize());
    EXPECT_EQ(40, handle->m_groupStates[0].slot);  // the first skin's resource
    EXPECT_EQ(-1, handle->m_groupStates[2].slot);  // no skin
    EXPECT_TRUE(handle->IsGroupShown(0));
    handle->ShowGroup(0, false);
    EXPECT_FALSE(handle->IsGroupShown(0));
    EXPECT_TRUE(handle->IsGroupMarker(1));
    EXPECT_FALSE(handle->IsGroupMarker(0));
    EXPECT_EQ(1, handle->FindSkin(0, "RED"));
    handle->SetGroupSkin(0, 1);
    EXPECT_EQ(1, handle->GetGroupSkin(0));
    EXPECT_EQ(41, handle->m_groupStates[0].slot);
    handle->SetGroupSkin(2, 0);  // no skins: ignored
    EXPECT_EQ(0, handle->GetGroupSkin(2));
    handle->SetGroupTexture(0, 77);
    EXPECT_TRUE(handle->HasGroupTexture(0));
    EXPECT_EQ(77, handle->GetGroupSkin(0));
    handle->SetGroupSkin(0, 0);
    EXPECT_FALSE(handle->HasGroupTexture(0));
    EXPECT_EQ(41, handle->GetSkinTexture(1, 0));
    EXPECT_EQ(-1, handle->GetSkinTexture(1, 1));
    EXPECT_EQ(0, handle->FindGroupTag(0, "colour"));
    EXPECT_NE(nullptr, handle->GetGroupBounds(1, 0xFFFF));
    EXPECT_EQ(nullptr, handle->GetGroupBounds(3, 0));
    EXPECT_EQ(nullptr, handle->GetGroupBounds(0, 2));
}

TEST_F(Instance, ClonesDecalsAndTheModelsEnd)
{
    handle->PlayAnimation(1, 0.5f, YSMHandle::kPlayLoop, 0, 0, 0);
    handle->ShowGroup(0, false);
    YSMHandle* clone = model.CloneHandle(handle);
    EXPECT_EQ(1, clone->m_currentAnim);
    EXPECT_FALSE(clone->IsGroupShown(0));
    clone->SetAnimated(true);
    EXPECT_FLOAT_EQ(0.5f, clone->GetAnimationSpeed(1));
    EXPECT_EQ(3u, model.m_handles.size() + 1);
    YSMDecal* decal = new YSMDecal;
    EXPECT_EQ(-1, decal->m_texture);
    clone->AddDecal(decal);
    clone->AddDecal(new YSMDecal);
    EXPECT_EQ(2, clone->GetDecalCount());
    clone->RemoveDecal(0);
    EXPECT_EQ(1, clone->GetDecalCount());
    delete clone;
    EXPECT_EQ(1u, model.m_handles.size());
    // Clearing the model leaves the handle without one: calls fail quietly.
    model.Clear();
    EXPECT_FALSE(handle->HasModel());
    EXPECT_EQ(-1, handle->FindGroup("Normal"));
    EXPECT_EQ(-1, handle->GetFrameCount());
    handle->UpdateAnimations(1.0f);
}

TEST(InstancePreparation, WidensTheBoxesOnceByHalfTheNormalEdge)
{
    YSMObject model;
    MakeSmall(model);
    for (auto& frame : model.m_frames) {
        frame->poses[0].v[9] = 2.0f;
        for (int i = 0; i < 3; ++i) frame->boxAMin[i] = frame->boxBMin[i] = 0, frame->boxAMax[i] = frame->boxBMax[i] = 1;
    }
    YSMHandle* a = model.CreateHandle();
    YSMHandle* b = model.CreateHandle();
    a->PrepareInstance();
    b->PrepareInstance();
    EXPECT_EQ(0, model.m_shellPending);
    EXPECT_FLOAT_EQ(-0.96f, model.m_frames[1]->boxAMin[2]);
    EXPECT_FLOAT_EQ(1.96f, model.m_frames[0]->boxBMax[0]);
    delete a;
    delete b;
}
