// Actor sounds on the headless mixer: range, volume and pan, one-shot,
// looping and repeating sounds, 3D buffers and buffers the manager drops.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "sound/SoundFixture.h"
#include "ScratchFolder.h"
#include "WaveBytes.h"
#include "foundation/YCatalog.h"
#include "foundation/YSineTable.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/dsound.h"
#include "sound/YDXSound3DBuffer.h"
#include "sound/YSound.h"
#include "sound/YSoundData.h"
#include "world/YActor.h"
#include "world/YActorSound.h"

namespace {

// Moves an actor as the mechanical pass does, its transform made stale.
void Place(YActor& actor, const YVector& position)
{
    actor.m_position = position;
    ++actor.m_transformStamp;
}

class ActorSound : public SoundManagerFixture {
protected:
    void SetUp() override
    {
        SoundManagerFixture::SetUp();
        m_settings.m_3dEnabled = 0;
        Place(m_listener, YVector(0, 0, 0));
        Place(m_owner, YVector(0, 0, 10));
    }

    void TearDown() override
    {
        while (!m_owner.m_sounds.IsEmpty()) delete m_owner.m_sounds.RemoveHead();
        SoundManagerFixture::TearDown();
    }

    YSound& Start() { return StartManager(); }

    // A sound of a tone attached to the owner.
    YActorSound* Attach(double seconds, float repeatMin, float repeatMax)
    {
        auto* sound = new YActorSound(m_sound.get(), &m_owner, Tone("tone.wav", seconds).c_str());
        sound->m_repeatMin = repeatMin;
        sound->m_repeatMax = repeatMax;
        m_owner.AddSound(sound);
        return sound;
    }

    // One frame of the sound pass with the clock moving as much.
    void Frame(int milliseconds)
    {
        platform::Clock::Advance(milliseconds);
        platform::HeadlessBackend::Active()->Audio().Take();
        m_owner.UpdateSounds(&m_listener, milliseconds / 1000.0f);
    }

    static bool Playing(YDXSoundBuffer* buffer)
    {
        DWORD status = 0;
        return buffer && buffer->GetStatus(&status, 1) && (status & DSBSTATUS_PLAYING);
    }

    YActor m_listener, m_owner;
};
}  // namespace

TEST_F(ActorSound, VolumeFallsLinearlyBetweenTheDistances)
{
    YActorSound sound;
    sound.m_minDistance = 10.0f;
    sound.m_maxDistance = 110.0f;
    const struct {
        float distance;
        LONG volume;
    } cases[] = {{0.0f, 0}, {10.0f, 0}, {35.0f, -2500}, {60.0f, -5000}, {109.0f, -9900}, {110.0f, -10000},
                 {110.5f, -10000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.distance);
        EXPECT_EQ(c.volume, sound.VolumeForDistance(c.distance));
    }
}

TEST_F(ActorSound, PanFollowsTheSideAndStaysCentredWhenQuiet)
{
    YActorSound sound;
    const YVector ahead(0, 0, 0);
    const struct {
        YVector source;
        float yaw;
        LONG volume;
        LONG pan;
    } cases[] = {
        {YVector(10, 0, 0), 0, 0, 4000},       {YVector(-10, 0, 0), 0, 0, -4000},
        {YVector(0, 0, 10), 0, 0, 0},          {YVector(10, 0, 0), 0, -4000, 2000},
        {YVector(-10, 0, 0), 0, -4000, -2000}, {YVector(10, 0, 0), 0, -8000, 0},
        {YVector(10, 0, 0), 0, -9000, 0},      {YVector(-10, 0, 0), 0, -9500, 0},
        {YVector(10, 0, 0), 90, 0, 0},         {YVector(0, 0, -10), 90, 0, 4000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source.x << "," << c.source.z << " yaw " << c.yaw << " at "
                                        << c.volume);
        sound.m_sourcePosition = c.source;
        EXPECT_NEAR(c.pan, sound.Pan(ahead, YVector(0, c.yaw, 0), c.volume), 2);
    }
}

TEST_F(ActorSound, OneShotLeavingTheRangeStopsAndIsDeleted)
{
    Start();
    YActorSound* sound = Attach(5.0, -1.0f, -1.0f);
    Frame(10);
    YDXSoundBuffer* buffer = sound->GetBuffer();
    ASSERT_TRUE(Playing(buffer));
    LONG volume = 1;
    buffer->GetVolume(&volume);
    EXPECT_EQ(sound->VolumeForDistance(10.0f), volume);

    Place(m_listener, YVector(0, 0, 200));
    Frame(10);
    EXPECT_FALSE(Playing(buffer));
    EXPECT_TRUE(m_owner.m_sounds.IsEmpty());
}

TEST_F(ActorSound, OneShotThatEndsIsDeleted)
{
    Start();
    Attach(0.1, -1.0f, -1.0f);
    Frame(10);
    Frame(10);
    EXPECT_EQ(1, m_owner.m_sounds.GetCount());
    Frame(300);
    EXPECT_TRUE(m_owner.m_sounds.IsEmpty());
}

TEST_F(ActorSound, LoopRestartsEachTimeTheListenerReturns)
{
    Start();
    YActorSound* sound = Attach(0.1, 0.0f, 0.0f);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        Place(m_listener, YVector(0, 0, 0));
        Frame(10);
        ASSERT_TRUE(Playing(sound->GetBuffer()));
        DWORD status = 0;
        sound->GetBuffer()->GetStatus(&status, 1);
        EXPECT_TRUE(status & DSBSTATUS_LOOPING);
        Frame(500);  // past the tone's end: still looping
        EXPECT_TRUE(Playing(sound->GetBuffer()));

        YDXSoundBuffer* buffer = sound->GetBuffer();
        Place(m_listener, YVector(0, 0, 150));
        Frame(10);
        EXPECT_FALSE(Playing(buffer));
        EXPECT_EQ(nullptr, sound->GetBuffer());
        ASSERT_EQ(1, m_owner.m_sounds.GetCount());
    }
}

TEST_F(ActorSound, RepeatStartsAgainTwoToFiveSecondsAfterEachEnd)
{
    Start();
    srand(7);
    YActorSound* sound = Attach(0.1, 2.0f, 5.0f);
    // The first start waits for the first schedule as well.
    int ended = 0, starts = 0;
    bool wasPlaying = false;
    for (int t = 0; t < 30000 && starts < 4; t += 50) {
        Frame(50);
        ASSERT_EQ(1, m_owner.m_sounds.GetCount());
        const bool playing = Playing(sound->GetBuffer());
        if (playing && !wasPlaying) {
            const int pause = t - ended;
            EXPECT_GE(pause, 2000) << "start " << starts;
            EXPECT_LE(pause, 5100) << "start " << starts;
            ++starts;
        }
        if (!playing && wasPlaying) ended = t;
        wasPlaying = playing;
    }
    EXPECT_EQ(4, starts);
}

TEST_F(ActorSound, ThirdSoundOfOneNameIsRefused)
{
    YActorSound* first = new YActorSound(nullptr, &m_owner, "engine");
    YActorSound* second = new YActorSound(nullptr, &m_owner, "engine");
    YActorSound* other = new YActorSound(nullptr, &m_owner, "Engine");
    YActorSound* third = new YActorSound(nullptr, &m_owner, "engine");
    m_owner.AddSound(first);
    m_owner.AddSound(second);
    m_owner.AddSound(other);
    m_owner.AddSound(third);
    EXPECT_EQ(nullptr, third);
    EXPECT_NE(nullptr, other);
    EXPECT_EQ(3, m_owner.m_sounds.GetCount());
    m_owner.RemoveSound("engine");
    EXPECT_EQ(1, m_owner.m_sounds.GetCount());
}

TEST_F(ActorSound, UnknownSoundOrNoSoundSystemFinishes)
{
    Start();
    YActorSound* missing = new YActorSound(m_sound.get(), &m_owner, "nothing.wav");
    YActorSound* mute = new YActorSound(nullptr, &m_owner, Tone("tone.wav", 0.1).c_str());
    mute->m_repeatMin = mute->m_repeatMax = 0.0f;
    m_owner.AddSound(missing);
    m_owner.AddSound(mute);
    EXPECT_FALSE(missing->Update(nullptr, 0.01f));
    Frame(10);
    EXPECT_TRUE(m_owner.m_sounds.IsEmpty());
}

TEST_F(ActorSound, SpatialBufferFollowsTheOwnerWithoutVerticalSpeed)
{
    m_settings.m_3dEnabled = 1;
    Start();
    m_owner.m_velocity = YVector(3, 4, 5);
    YActorSound* sound = Attach(1.0, 0.0f, 0.0f);
    sound->m_minDistance = 2.0f;
    sound->m_maxDistance = 50.0f;
    Frame(10);
    ASSERT_NE(nullptr, sound->GetBuffer());
    ASSERT_EQ(3, sound->GetBuffer()->GetKind());
    auto* spatial = static_cast<YDXSound3DBuffer*>(sound->GetBuffer());
    float distance = 0;
    spatial->GetMaxDistance(&distance);
    EXPECT_FLOAT_EQ(50.0f, distance);
    spatial->GetMinDistance(&distance);
    EXPECT_FLOAT_EQ(2.0f, distance);

    Place(m_owner, YVector(1, 2, 20));
    Frame(10);
    m_sound->CommitListener(1);
    D3DVECTOR at = {}, speed = {};
    spatial->GetPosition(&at);
    spatial->GetVelocity(&speed);
    EXPECT_FLOAT_EQ(20.0f, at.z);
    EXPECT_FLOAT_EQ(2.0f, at.y);
    EXPECT_FLOAT_EQ(3.0f, speed.x);
    EXPECT_FLOAT_EQ(0.0f, speed.y);
    EXPECT_FLOAT_EQ(5.0f, speed.z);
}

TEST_F(ActorSound, BufferTheManagerDroppedCountsAsEnded)
{
    ASSERT_EQ(1, m_settings.SetValue("snd_idleremovetime", "1", 0));
    Start();
    YActorSound* sound = Attach(0.1, -1.0f, -1.0f);
    Frame(10);
    ASSERT_NE(nullptr, sound->GetBuffer());
    // The owner is not updated while the tone ends and its buffer idles away.
    for (int i = 0; i < 30; ++i) {
        platform::Clock::Advance(100);
        platform::HeadlessBackend::Active()->Audio().Take();
        m_sound->Update();
    }
    ASSERT_TRUE(m_sound->GetGameBuffers().empty());
    Frame(10);
    EXPECT_TRUE(m_owner.m_sounds.IsEmpty());
}
