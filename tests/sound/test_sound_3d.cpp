#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "SoundFixture.h"
#include "sound/YDXSound3DBuffer.h"
#include "sound/YDXSound3DListener.h"

using wavebytes::Rms;

namespace {
const double kToneRms = 8000 / std::sqrt(2.0);
const DWORD k3DFlags = 0x200BA;  // static, 3D, frequency, volume, mute at max distance, software

class Sound3D : public SoundFixture {
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        m_listener = std::make_unique<YDXSound3DListener>(&m_device);
        ASSERT_NE(nullptr, m_listener->GetInterface());
        m_listener->SetOrientation(0, 0, 1, 0, 1, 0, DS3D_IMMEDIATE);
        m_listener->SetPosition(0, 0, 0, DS3D_IMMEDIATE);
    }

    void TearDown() override
    {
        m_listener.reset();
        SoundFixture::TearDown();
    }

    std::unique_ptr<YDXSound3DBuffer> Placed(double seconds = 2.0)
    {
        auto buffer = std::make_unique<YDXSound3DBuffer>(&m_device, Tone("tone.wav", seconds).c_str(), 1, k3DFlags);
        EXPECT_EQ(1, buffer->m_created);
        EXPECT_TRUE(buffer->Get3DInterface());
        return buffer;
    }

    std::unique_ptr<YDXSound3DListener> m_listener;
};
}  // namespace

TEST_F(Sound3D, LoudnessRollsOffWithDistance)
{
    struct Case {
        float distance;
        double gain;
    };
    // Minimum distance 10: full inside it, then min / d, held at the maximum 80, silent past it.
    const Case cases[] = {{0, 1}, {5, 1}, {10, 1}, {20, 0.5}, {40, 0.25}, {80, 0.125}, {81, 0}};
    auto buffer = Placed();
    buffer->SetMinDistance(10, DS3D_IMMEDIATE);
    buffer->SetMaxDistance(80, DS3D_IMMEDIATE);
    buffer->Play(DSBPLAY_LOOPING);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        ASSERT_TRUE(buffer->SetPosition(0, 0, c.distance, DS3D_IMMEDIATE));
        const auto frames = Listen(100);
        EXPECT_NEAR(kToneRms * c.gain, Rms(frames, 0), kToneRms * 0.02 + 1);
        EXPECT_NEAR(Rms(frames, 0), Rms(frames, 1), 1.0);  // straight ahead
    }
}

TEST_F(Sound3D, DirectionPansBetweenTheEars)
{
    struct Case {
        float x, y, z;
        double left, right;
    };
    const Case cases[] = {
        {5, 0, 0, 0, 1},        // right
        {-5, 0, 0, 1, 0},       // left
        {0, 0, -5, 1, 1},       // behind
        {0, 5, 0, 1, 1},        // above
        {3, 0, 3, 0.2929, 1},   // front right, 45 degrees
    };
    auto buffer = Placed();
    buffer->SetMinDistance(10, DS3D_IMMEDIATE);
    buffer->Play(DSBPLAY_LOOPING);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << "," << c.z);
        buffer->SetPosition(c.x, c.y, c.z, DS3D_IMMEDIATE);
        const auto frames = Listen(100);
        EXPECT_NEAR(kToneRms * c.left, Rms(frames, 0), kToneRms * 0.02 + 1);
        EXPECT_NEAR(kToneRms * c.right, Rms(frames, 1), kToneRms * 0.02 + 1);
    }

    // Turned to face +x, the listener hears a source at +x straight ahead
    // and one at +z on its left.
    m_listener->SetOrientation(1, 0, 0, 0, 1, 0, DS3D_IMMEDIATE);
    buffer->SetPosition(5, 0, 0, DS3D_IMMEDIATE);
    auto frames = Listen(100);
    EXPECT_NEAR(Rms(frames, 0), Rms(frames, 1), 1.0);
    buffer->SetPosition(0, 0, 5, DS3D_IMMEDIATE);
    frames = Listen(100);
    EXPECT_NEAR(kToneRms, Rms(frames, 0), kToneRms * 0.02);
    EXPECT_LT(Rms(frames, 1), 1.0);
}

TEST_F(Sound3D, DeferredSettingsWaitForTheCommit)
{
    auto buffer = Placed();
    buffer->SetMinDistance(1, DS3D_IMMEDIATE);
    buffer->SetPosition(0, 0, 1, DS3D_IMMEDIATE);
    buffer->Play(DSBPLAY_LOOPING);
    EXPECT_NEAR(kToneRms, Rms(Listen(100), 0), kToneRms * 0.02);

    buffer->SetPosition(0, 0, 4, DS3D_DEFERRED);
    m_listener->SetPosition(0, 0, -4, DS3D_DEFERRED);
    EXPECT_NEAR(kToneRms, Rms(Listen(100), 0), kToneRms * 0.02);
    D3DVECTOR position = {};
    m_listener->GetPosition(&position);
    EXPECT_EQ(-4.0f, position.z);  // what was set, before it is heard

    ASSERT_TRUE(m_listener->CommitDeferredSettings());
    EXPECT_NEAR(kToneRms / 8, Rms(Listen(100), 0), kToneRms * 0.02);
}

TEST_F(Sound3D, DopplerShiftsThePitchOfAMovingSource)
{
    struct Case {
        float velocity;  // along +z, the source in front at z = 10
        DWORD endsBeforeMs;
        DWORD playsPastMs;
    };
    // 343 / (343 - 34.3) = 1.11: the half second takes 450 ms; receding 343 / 377.3 = 0.91: 550 ms.
    const Case cases[] = {{0, 510, 490}, {-34.3f, 460, 440}, {34.3f, 560, 540}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.velocity);
        auto buffer = Placed(0.5);
        buffer->SetPosition(0, 0, 10, DS3D_IMMEDIATE);
        buffer->SetVelocity(0, 0, c.velocity, DS3D_IMMEDIATE);
        buffer->Play(0);
        Listen(c.playsPastMs);
        EXPECT_TRUE(buffer->IsPlaying());
        Listen(c.endsBeforeMs - c.playsPastMs);
        EXPECT_FALSE(buffer->IsPlaying());
    }
}

TEST_F(Sound3D, CachedValuesPresetTheGetters)
{
    YDXSound3DBuffer fresh;
    float distance = 0;
    EXPECT_FALSE(fresh.GetMaxDistance(&distance));
    EXPECT_EQ(1.0e9f, distance);
    EXPECT_FALSE(fresh.GetMinDistance(&distance));
    EXPECT_EQ(1.0f, distance);
    DWORD angle = 0;
    EXPECT_FALSE(fresh.GetConeOutsideAngle(&angle));
    EXPECT_EQ(360u, angle);
    EXPECT_EQ(1, fresh.Get3DInterface());  // nothing to ask without a DirectSound buffer

    // A refused setting still reaches the cache.
    auto buffer = Placed();
    EXPECT_FALSE(buffer->SetPosition(1, 2, 3, 7));
    EXPECT_EQ(2.0f, buffer->m_position.y);
    char text[64] = "";
    buffer->GetErrorText(text, sizeof(text));
    EXPECT_STREQ("DSERR_INVALIDPARAM\n", text);
    D3DVECTOR heard = {};
    EXPECT_TRUE(buffer->GetPosition(&heard));
    EXPECT_EQ(0.0f, heard.y);  // DirectSound kept its own
}

TEST_F(Sound3D, PlainBufferHasNo3DInterface)
{
    YDXSound3DBuffer buffer(&m_device, Tone("tone.wav", 0.2).c_str(), 1, YDXSoundBuffer::kDefaultFlags);
    EXPECT_FALSE(buffer.Get3DInterface());
    EXPECT_EQ(E_NOINTERFACE, buffer.m_3dResult);
    EXPECT_FALSE(buffer.SetPosition(1, 1, 1, DS3D_IMMEDIATE));
}

TEST_F(Sound3D, DuplicateOfADuplicateWithout3DIsRefused)
{
    auto source = Placed();
    YDXSound3DBuffer copy;
    copy.m_3dErrorWindow = reinterpret_cast<CWnd*>(0x1);
    ASSERT_TRUE(source->Duplicate(&copy));
    EXPECT_EQ(nullptr, copy.m_3dErrorWindow);
    EXPECT_EQ(1, copy.m_duplicate);
    YDXSound3DBuffer third;
    EXPECT_FALSE(copy.Duplicate(&third));
    ASSERT_TRUE(copy.Get3DInterface());
    EXPECT_TRUE(copy.Duplicate(&third));
}

TEST_F(Sound3D, ListenerNeedsAPrimaryBuffer)
{
    YDXSound bare;
    YDXSound3DListener none(&bare);
    EXPECT_EQ(nullptr, none.GetInterface());
    EXPECT_FALSE(none.SetPosition(1, 2, 3, DS3D_IMMEDIATE));
    D3DVECTOR position = {};
    none.GetPosition(&position);
    EXPECT_EQ(3.0f, position.z);  // the cache
    EXPECT_EQ(1, none.Requery());

    ASSERT_TRUE(m_listener->Requery());
    EXPECT_NE(nullptr, m_listener->GetInterface());
    float factor = 0;
    EXPECT_TRUE(m_listener->GetRolloffFactor(&factor));
    EXPECT_EQ(1.0f, factor);
}

TEST_F(Sound3D, ReleasingA3DBufferFreesItsDirectSoundObjects)
{
    const int before = platform::LiveSoundObjects();
    auto buffer = Placed();
    EXPECT_EQ(before + 1, platform::LiveSoundObjects());
    buffer->Release3D();
    EXPECT_EQ(nullptr, buffer->m_3dBuffer);
    EXPECT_EQ(nullptr, buffer->GetBuffer());
    EXPECT_EQ(before, platform::LiveSoundObjects());
}
