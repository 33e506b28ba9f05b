// The interface factory plays the sample data's interface sounds through the
// engine's sound manager; they are measured in the headless mix.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "SampleSoundFixture.h"
#include "engine/YGameObjects.h"
#include "foundation/YCatalog.h"
#include "frontend/YAppInterfaceFactory.h"
#include "platform/backend/HeadlessBackend.h"
#include "sound/YDXSoundBuffer.h"
#include "sound/YSound.h"
#include "sound/YSoundData.h"

#if defined(RCV_DATA_DIR)
namespace {
class InterfaceSounds : public SampleSoundFixture {};
}  // namespace

TEST_F(InterfaceSounds, ClickAndMouseOverAreHeardOnceEach)
{
    YAppInterfaceFactory factory;
    for (int32_t id : factory.m_nSoundIds) EXPECT_EQ(-1, id);
    EXPECT_EQ(0.0, Rms(Listen(100)));

    // Playing before loading loads first.
    factory.PlaySound(YAppInterfaceFactory::kClickSound);
    ASSERT_EQ(1, factory.m_bSoundsLoaded);
    const int click = factory.m_nSoundIds[YAppInterfaceFactory::kClickSound];
    const int over = factory.m_nSoundIds[YAppInterfaceFactory::kMouseOverSound];
    EXPECT_GT(click, 0);
    EXPECT_GT(over, 0);
    EXPECT_NE(click, over);
    for (int i = 2; i < YAppInterfaceFactory::kSoundCount; ++i) EXPECT_EQ(-1, factory.m_nSoundIds[i]);
    YSound* sound = m_engine->m_sound;
    ASSERT_NE(nullptr, sound->GetBufferFromID(click)->GetBuffer());  // made ahead of use
    ASSERT_NE(nullptr, sound->GetBufferFromID(over)->GetBuffer());

    const DWORD clickLength = sound->GetDurationById(click);
    ASSERT_GT(clickLength, 20u);
    EXPECT_GT(Rms(Listen(20)), 300.0);
    Listen(clickLength);
    EXPECT_EQ(0.0, Rms(Listen(100)));  // once, not looping

    factory.PlaySound(YAppInterfaceFactory::kMouseOverSound);
    EXPECT_EQ(1, sound->IsPlayingById(over));
    EXPECT_EQ(0, sound->IsPlayingById(click));
    EXPECT_GT(Rms(Listen(20)), 300.0);
    Listen(sound->GetDurationById(over));
    EXPECT_EQ(0.0, Rms(Listen(100)));

    // Another load changes nothing; index 2 and out-of-range ones play nothing.
    EXPECT_EQ(0, factory.LoadInterfaceSounds());
    EXPECT_EQ(click, factory.m_nSoundIds[YAppInterfaceFactory::kClickSound]);
    factory.PlaySound(2);
    factory.PlaySound(-1);
    factory.PlaySound(6);
    EXPECT_EQ(0.0, Rms(Listen(100)));
}

TEST_F(InterfaceSounds, AClickRestartsFromTheBeginning)
{
    YAppInterfaceFactory factory;
    factory.LoadInterfaceSounds();
    YSound* sound = m_engine->m_sound;
    const int click = factory.m_nSoundIds[YAppInterfaceFactory::kClickSound];
    factory.PlaySound(YAppInterfaceFactory::kClickSound);
    Listen(30);
    DWORD played = 0;
    sound->GetBufferFromID(click)->GetPlayPosition(&played);
    ASSERT_GT(played, 0u);
    factory.PlaySound(YAppInterfaceFactory::kClickSound);
    DWORD restarted = 1;
    sound->GetBufferFromID(click)->GetPlayPosition(&restarted);
    EXPECT_LT(restarted, played);
}

TEST_F(InterfaceSounds, NoSoundObjectPlaysNothing)
{
    YSound* sound = m_engine->m_sound;
    m_engine->m_sound = nullptr;
    YAppInterfaceFactory factory;
    EXPECT_EQ(0, factory.LoadInterfaceSounds());
    factory.PlaySound(YAppInterfaceFactory::kClickSound);
    EXPECT_EQ(0, factory.m_bSoundsLoaded);
    m_engine->m_sound = sound;
    EXPECT_EQ(0.0, Rms(Listen(100)));
}
#endif
