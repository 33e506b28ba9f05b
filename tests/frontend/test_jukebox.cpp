// The jukebox: five track slots of the sound manager's sounds, played
// looping while music is on, stopped, paused and resumed.
#include <gtest/gtest.h>

#include "SampleSoundFixture.h"
#include "foundation/YConfigData.h"
#include "frontend/YJukeBox.h"

#if defined(RCV_DATA_DIR)
namespace {
class JukeBox : public SampleSoundFixture {
protected:
    void SetUp() override
    {
        SampleSoundFixture::SetUp();
        m_music = &m_engine->m_configData->m_sound->m_music;
        m_savedMusic = *m_music;
        *m_music = 1;
    }
    void TearDown() override
    {
        m_box.Clear();
        *m_music = m_savedMusic;
        SampleSoundFixture::TearDown();
    }
    bool Heard() { return Rms(Listen(200)) > 100.0; }

    YJukeBox m_box;
    int32_t* m_music = nullptr;
    int32_t m_savedMusic = 0;
};
}  // namespace

TEST_F(JukeBox, TracksAreTheSoundsThatExist)
{
    for (int i = 0; i < YJukeBox::TrackCount; ++i) EXPECT_EQ(-1, m_box.GetTrack(i));
    EXPECT_EQ(-1, m_box.GetCurrentTrack());
    const struct {
        int index;
        const char* name;
        bool set;
    } cases[] = {
        {0, "Ambient:Water", true}, {4, "Sounds:engine", true}, {1, "Ambient:nothing", false},
        {2, nullptr, false},        {5, "Ambient:Water", false}, {-1, "Ambient:Water", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        m_box.SetTrack(c.index, c.name);
        EXPECT_EQ(c.set, m_box.GetTrack(c.index) > 0);
    }
    EXPECT_EQ(m_box.GetTrack(0), m_engine->m_sound->RegisterSound("Ambient:Water")) << "the manager's id";
    m_box.Clear();
    for (int i = 0; i < YJukeBox::TrackCount; ++i) EXPECT_EQ(-1, m_box.GetTrack(i));
}

TEST_F(JukeBox, PlaysLoopingOnlyWithMusicOn)
{
    m_box.SetTrack(0, "Ambient:Water");
    m_box.Play(0);
    EXPECT_EQ(0, m_box.GetCurrentTrack());
    EXPECT_TRUE(Heard());
    platform::Clock::Advance(3000);  // past the one-second sound: it loops
    EXPECT_TRUE(Heard());

    // An empty slot or an index out of range only stops.
    for (int index : {1, 5, -1}) {
        m_box.Play(0);
        m_box.Play(index);
        EXPECT_EQ(-1, m_box.GetCurrentTrack()) << index;
        EXPECT_FALSE(Heard()) << index;
    }
    *m_music = 0;
    m_box.Play(0);
    EXPECT_EQ(-1, m_box.GetCurrentTrack());
    EXPECT_FALSE(Heard());
}

TEST_F(JukeBox, PauseKeepsTheTrackForResumeAndStopDoesNot)
{
    m_box.SetTrack(2, "Ambient:Water");
    m_box.Play(2);
    m_box.Pause();
    EXPECT_EQ(2, m_box.GetCurrentTrack());
    EXPECT_FALSE(Heard());
    m_box.Resume();
    EXPECT_TRUE(Heard());
    m_box.Stop();
    EXPECT_EQ(-1, m_box.GetCurrentTrack());
    m_box.Resume();
    EXPECT_FALSE(Heard());
}
#endif
