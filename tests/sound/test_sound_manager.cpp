// The sound manager on the headless mixer with the clock stepped by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "SoundFixture.h"
#include "ScratchFolder.h"
#include "WaveBytes.h"
#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "foundation/YSineTable.h"
#include "foundation/YVector.h"
#include "platform/backend/HeadlessBackend.h"
#include "sound/YDXSound3DBuffer.h"
#include "sound/YDXSound3DListener.h"
#include "sound/YSound.h"
#include "sound/YSoundData.h"

using wavebytes::Rms;

namespace {
const double kToneRms = 8000 / std::sqrt(2.0);

std::vector<YDXSoundBuffer*> g_deleted;
void NoteDeletion(YDXSoundBuffer* buffer) { g_deleted.push_back(buffer); }

class SoundManager : public SoundManagerFixture {
protected:
    void SetUp() override
    {
        SoundManagerFixture::SetUp();
        g_deleted.clear();
    }

    // A fresh manager started with the settings as they are now.
    YSound& Start()
    {
        YSound& sound = StartManager();
        Output();
        return sound;
    }

    // A started manager that notes deletions, with a game buffer of the
    // 2 s tone "hum.wav" (its path in m_hum).
    YDXSoundBuffer* StartWithHum(int want3D)
    {
        YSound& sound = Start();
        sound.SetDeletionHook(NoteDeletion);
        m_hum = Tone("hum.wav", 2.0);
        return sound.CreateNewGameBuffer(m_hum.c_str(), want3D);
    }

    // Passes of the main loop's sound step, the clock moving between them.
    void Passes(int count, DWORD step)
    {
        for (int i = 0; i < count; ++i) {
            platform::Clock::Advance(step);
            Output();
            m_sound->Update();
        }
    }

    static DWORD Cursor(YDXSoundBuffer* buffer)
    {
        DWORD position = 0;
        buffer->GetPlayPosition(&position);
        return position;
    }

    static LONG Heard(YDXSoundBuffer* buffer)
    {
        LONG volume = 1;
        buffer->GetBuffer()->GetVolume(&volume);
        return volume;
    }

    std::string m_hum;
};
}  // namespace

TEST_F(SoundManager, SettingsAreClampedOnTheWayIn)
{
    struct Case {
        const char* key;
        const char* value;
        int32_t maxSame;
        DWORD idle;
        DWORD interval;
    };
    const Case cases[] = {
        {"snd_maxsamebuffers", "0", 1, 0, 0},       {"snd_maxsamebuffers", "40", 16, 0, 0},
        {"snd_idleremovetime", "900", 4, 600000, 0}, {"snd_idleremovetime", "-3", 4, 0, 0},
        {"SND_3DRESOLUTION", "-5", 4, 0, 500},       {"snd_3dresolution", "50", 4, 0, 250},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.value);
        m_settings = YSoundData();
        m_settings.m_8bitQuality = 0;
        ASSERT_EQ(1, m_settings.SetValue(c.key, c.value, 0));
        YSound& sound = Start();
        EXPECT_EQ(c.maxSame, sound.m_maxSameBuffers);
        EXPECT_EQ(c.idle, sound.m_idleRemoveTime);
        EXPECT_EQ(c.interval, YSound::CommitInterval(sound.m_3dResolution));
    }
}

TEST_F(SoundManager, StartsTheDeviceUnlessSoundIsOff)
{
    YSound& on = Start();
    EXPECT_NE(nullptr, on.GetDirectSound());
    EXPECT_NE(nullptr, on.GetListener());
    EXPECT_EQ(8, on.m_max3DBuffers);  // software 3D

    // A driver that is not found is replaced by the first one (the primary).
    struct Driver {
        const char* set;
        const char* kept;
    };
    const Driver drivers[] = {{"nosuch.dll", ""}, {"headless", "headless"}, {"HEADLESS", "HEADLESS"}};
    for (const Driver& d : drivers) {
        m_settings.m_driver = d.set;
        EXPECT_NE(nullptr, Start().GetDirectSound());
        EXPECT_STREQ(d.kept, m_settings.m_driver);
    }

    m_settings.m_enabled = 0;
    YSound& off = Start();
    EXPECT_EQ(nullptr, off.GetDirectSound());
    const std::string path = Tone("click.wav", 0.1);
    const int id = off.RegisterSound(path.c_str());
    EXPECT_EQ(1, id);
    EXPECT_EQ(0, off.CreateBufferById(id));
    EXPECT_EQ(0, off.PlayById(id, 0, 1, 0, 0));
    EXPECT_EQ(nullptr, off.CreateNewGameBuffer(path.c_str(), 0));

    YSound none;
    EXPECT_EQ(0, none.Initialize(nullptr, &m_settings));
}

TEST_F(SoundManager, SoundKeysAndHashes)
{
    struct Case {
        const char* path;
        const char* key;
        BYTE hash;
    };
    // hash: for each key character c at i, h ^= ((tolower(c) - 64) & 255) << (i % 6), kept to 8 bits.
    const Case cases[] = {
        {"", "", 0},
        {"AB.WAV", "ba", BYTE(34 ^ (33 << 1))},
        {"x/Ab.wav", "ba/x", BYTE(34 ^ (33 << 1) ^ ((47 - 64) & 255) << 2 ^ (56 << 3))},
        // Too short for an extension: kept whole, so short names stay apart.
        {"ab", "ba", BYTE(34 ^ (33 << 1))},
        {"abc", "cba", BYTE(35 ^ (34 << 1) ^ (33 << 2))},
        {".wav", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        YString key;
        BYTE hash = 99;
        YSound::MakeSoundKey(c.path, key, hash);
        EXPECT_STREQ(c.key, key);
        EXPECT_EQ(c.hash, hash);
    }
}

TEST_F(SoundManager, NamesResolveThroughTheCatalogOrAsPaths)
{
    Tone("is-mouse-over.wav", 0.1);
    m_catalog.AddItem(new YCatalogItem(2, "Interface", "is-mouse-over", "", 0, "", nullptr));
    m_catalog.AddItem(new YCatalogItem(1, "Pictures", "is-mouse-over", "", 0, "", nullptr));
    YSound& sound = Start();
    struct Case {
        const char* name;
        bool catalogFile;  // else expected is the name itself or empty
        const char* expected;
    };
    const Case cases[] = {
        {"Interface:is-mouse-over", true, nullptr},
        {"interface:IS-MOUSE-OVER", true, nullptr},
        {"Interface:is-mouse-over:extra", true, nullptr},
        {"Interface:nothing", false, ""},
        {"Pictures:is-mouse-over", false, ""},  // not a sound
        {"id;Interface", true, nullptr},  // the first item of the section
        {"id;Nothing", false, ""},
        {"Interface-is-mouse-over--2-0", true, nullptr},
        {"C:\\sounds\\a.wav", false, "C:\\sounds\\a.wav"},
        {"plain.wav", false, "plain.wav"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        YString path;
        sound.GetActualPath(c.name, path);
        if (c.catalogFile) {
            const DWORD attributes = ::GetFileAttributesA(path);
            EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes) << (const char*)path;
            EXPECT_NE(-1, YString(path).Find("is-mouse-over.wav"));
        } else {
            EXPECT_STREQ(c.expected, path);
        }
    }
    EXPECT_EQ(1, sound.GetActualPath("Interface:is-mouse-over"));
}

TEST_F(SoundManager, AppIdsAreTheSmallestFreeAndNeverCollide)
{
    YSound& sound = Start();
    const std::string a = Tone("a.wav", 0.1), b = Tone("b.wav", 0.1), c = Tone("c.wav", 0.1), d = Tone("d.wav", 0.1);
    EXPECT_EQ(1, sound.RegisterSound(a.c_str()));
    EXPECT_EQ(2, sound.RegisterSound(b.c_str()));
    EXPECT_EQ(3, sound.RegisterSound(c.c_str()));
    EXPECT_EQ(2, sound.RegisterSound(b.c_str()));
    std::string upper = b;
    upper.replace(upper.size() - 5, 5, "B.WAV");
    EXPECT_EQ(2, sound.RegisterSound(upper.c_str()));  // known path, other case
    EXPECT_EQ(-1, sound.RegisterSound((m_folder.Path() + "/missing.wav").c_str()));

    // Delete id 1: the next sound takes 1, not "count + 1" = 3 again.
    YDXSoundBuffer* first = sound.GetBufferFromID(1);
    ASSERT_EQ(1, sound.DeleteAppBuffer(first));
    EXPECT_EQ(nullptr, first);
    EXPECT_EQ(0, sound.DeleteAppBuffer(first));
    EXPECT_EQ(1, sound.RegisterSound(d.c_str()));
    std::vector<int> ids;
    for (YDXSoundBuffer* buffer : sound.GetAppBuffers()) ids.push_back(buffer->m_id);
    EXPECT_EQ((std::vector<int>{2, 3, 1}), ids);  // list order is not id order
    EXPECT_EQ(4, sound.GetFreeId());
    YDXSoundBuffer* made = sound.CreateAppBuffer(a.c_str(), YDXSoundBuffer::kDefaultFlags);
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(4, made->m_id);
    EXPECT_EQ(nullptr, sound.CreateAppBuffer((m_folder.Path() + "/missing.wav").c_str(), YDXSoundBuffer::kDefaultFlags));

    EXPECT_EQ(nullptr, sound.GetBufferFromID(-1));
    EXPECT_EQ(nullptr, sound.GetBufferFromID(9));
    EXPECT_EQ(0, sound.PlayById(9, 0, 1, -500, 0));
    EXPECT_EQ(0, sound.StopById(9));
    EXPECT_EQ(0, sound.IsPlayingById(9));
}

TEST_F(SoundManager, AppSoundsPlayById)
{
    YSound& sound = Start();
    const int id = sound.RegisterSound(Tone("tone.wav", 1.0).c_str());
    const int ids[] = {id, 0, 77};
    EXPECT_EQ(1, sound.CreateBuffersByIds(ids, 3));  // stops at the 0
    EXPECT_EQ(0, sound.CreateBuffersByIds(ids + 2, 1));
    EXPECT_EQ(1, sound.CreateBuffersByIds(ids, 0));
    EXPECT_EQ(1000u, sound.GetDurationById(id));

    ASSERT_EQ(1, sound.PlayById(id, 0, 1, 0, 0));
    EXPECT_EQ(1, sound.IsPlayingById(id));
    EXPECT_NEAR(kToneRms, Rms(Listen(200), 0), kToneRms * 0.03);
    // Volume and pan only when not zero.
    ASSERT_EQ(1, sound.PlayById(id, 0, 1, -2000, 0));
    EXPECT_NEAR(kToneRms * 0.1, Rms(Listen(200), 0), kToneRms * 0.02);
    ASSERT_EQ(1, sound.PlayById(id, 0, 0, 0, 10000));
    const auto panned = Listen(100);
    EXPECT_NEAR(0.0, Rms(panned, 0), 1.0);
    EXPECT_NEAR(kToneRms * 0.1, Rms(panned, 1), kToneRms * 0.02);
    EXPECT_EQ(1, sound.StopById(id));
    EXPECT_EQ(0.0, Rms(Listen(100), 1));

    // Released, the registration stays and the buffer can be made again.
    EXPECT_EQ(1, sound.ReleaseBuffersByIds(ids, 1));
    EXPECT_EQ(nullptr, sound.GetBufferFromID(id)->GetBuffer());
    EXPECT_EQ(0, sound.PlayById(id, 0, 1, 0, 0));
    EXPECT_EQ(id, sound.CreateBufferById(id));
    const int keep[] = {42};
    sound.ReleaseAllExcept(keep, 1);
    EXPECT_EQ(nullptr, sound.GetBufferFromID(id)->GetBuffer());

    // Play and Stop take app buffers only.
    YDXSoundBuffer* game = sound.CreateNewGameBuffer(Tone("game.wav", 0.5).c_str(), 0);
    ASSERT_NE(nullptr, game);
    EXPECT_EQ(0, sound.Play(game, 0, 1));
    EXPECT_EQ(0, sound.Stop(game));
}

TEST_F(SoundManager, TheRequestPastTheLimitRestartsTheOneShotThatPlayedFurthest)
{
    m_settings.m_maxSameBuffers = 4;
    YSound& sound = Start();
    const std::string shot = Tone("shot.wav", 2.0);
    std::vector<YDXSoundBuffer*> playing;
    for (int i = 0; i < 5; ++i) {
        YDXSoundBuffer* buffer = sound.CreateNewGameBuffer(shot.c_str(), 0);
        ASSERT_NE(nullptr, buffer);
        EXPECT_EQ(2, buffer->m_kind);
        EXPECT_EQ(i > 0, buffer->m_duplicate != 0);
        buffer->Play(0);
        playing.push_back(buffer);
        Listen(100);  // the first one started has played furthest
    }
    EXPECT_EQ(5u, sound.GetGameBuffers().size());
    const DWORD before = Cursor(playing[0]);
    EXPECT_GT(before, Cursor(playing[1]));
    YDXSoundBuffer* again = sound.CreateNewGameBuffer(shot.c_str(), 0);
    EXPECT_EQ(playing[0], again);
    EXPECT_LT(Cursor(again), before / 4);
    EXPECT_TRUE(again->IsPlaying());
    EXPECT_EQ(5u, sound.GetGameBuffers().size());

    // A silent buffer comes back untouched, not rewound.
    playing[3]->Stop();
    const DWORD stoppedAt = Cursor(playing[3]);
    ASSERT_GT(stoppedAt, 0u);
    EXPECT_EQ(playing[3], sound.CreateNewGameBuffer(shot.c_str(), 0));
    EXPECT_EQ(stoppedAt, Cursor(playing[3]));
}

TEST_F(SoundManager, AllLoopingGivesNoBufferPastTheLimit)
{
    m_settings.m_maxSameBuffers = 2;
    YSound& sound = Start();
    const std::string hum = Tone("hum.wav", 0.5);
    for (int i = 0; i < 3; ++i) {
        YDXSoundBuffer* buffer = sound.CreateNewGameBuffer(hum.c_str(), 0);
        ASSERT_NE(nullptr, buffer);
        buffer->Play(DSBPLAY_LOOPING);
    }
    EXPECT_EQ(nullptr, sound.CreateNewGameBuffer(hum.c_str(), 0));
    EXPECT_EQ(3u, sound.GetGameBuffers().size());
    // Another sound has its own count.
    EXPECT_NE(nullptr, sound.CreateNewGameBuffer(Tone("other.wav", 0.5).c_str(), 0));
    EXPECT_EQ(nullptr, sound.CreateNewGameBuffer((m_folder.Path() + "/missing.wav").c_str(), 0));
}

TEST_F(SoundManager, ThreeDRequestsFollowTheSettings)
{
    struct Case {
        int enabled3D;
        int expectedKind;
    };
    const Case cases[] = {{0, 2}, {1, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.enabled3D);
        m_settings.m_3dEnabled = c.enabled3D;
        YSound& sound = Start();
        YDXSoundBuffer* buffer = sound.CreateNewGameBuffer(Tone("engine.wav", 1.0).c_str(), 1);
        ASSERT_NE(nullptr, buffer);
        EXPECT_EQ(c.expectedKind, buffer->m_kind);
        EXPECT_EQ(c.expectedKind == 3, dynamic_cast<YDXSound3DBuffer*>(buffer) != nullptr);
        EXPECT_EQ(size_t(c.expectedKind == 3), sound.Get3DBuffers().size());
    }
}

TEST_F(SoundManager, ThreeDBuffersAreRecycledThenTwoDOnesMade)
{
    YSound& sound = Start();
    sound.m_max3DBuffers = 2;
    const std::string a = Tone("a.wav", 2.0), b = Tone("b.wav", 2.0), c = Tone("c.wav", 2.0);
    YDXSoundBuffer* first = sound.CreateNewGameBuffer(a.c_str(), 1);
    YDXSoundBuffer* second = sound.CreateNewGameBuffer(b.c_str(), 1);
    ASSERT_TRUE(first && second);
    second->Play(0);
    // The silent first one is recycled for a third sound.
    YDXSoundBuffer* third = sound.CreateNewGameBuffer(c.c_str(), 1);
    EXPECT_EQ(first, third);
    EXPECT_EQ(3, third->m_kind);
    EXPECT_EQ(2u, sound.Get3DBuffers().size());
    third->Play(0);
    // Every 3D buffer plays: a 2D one instead.
    YDXSoundBuffer* flat = sound.CreateNewGameBuffer(a.c_str(), 1);
    ASSERT_NE(nullptr, flat);
    EXPECT_EQ(2, flat->m_kind);
    EXPECT_EQ(3u, sound.GetGameBuffers().size());
    EXPECT_EQ(1, sound.Release3DBuffer(second));
    EXPECT_EQ(nullptr, second->GetBuffer());
    EXPECT_EQ(0, sound.Release3DBuffer(flat));
}

TEST_F(SoundManager, PauseAndResumeRestoreTheRequestedVolumes)
{
    YSound& sound = Start();
    YDXSoundBuffer* loud = sound.CreateNewGameBuffer(Tone("loud.wav", 3.0).c_str(), 0);
    YDXSoundBuffer* soft = sound.CreateNewGameBuffer(Tone("soft.wav", 3.0).c_str(), 0);
    ASSERT_TRUE(loud && soft);
    loud->SetVolume(0);
    soft->SetVolume(-600);
    loud->Play(DSBPLAY_LOOPING);
    soft->Play(DSBPLAY_LOOPING);
    const double playing = Rms(Listen(100), 0);
    ASSERT_GT(playing, kToneRms);

    struct Step {
        int pause;
        LONG loud;
        LONG soft;
        bool silent;
    };
    const Step steps[] = {
        {0, 0, -600, false},            // resume without a pause changes nothing
        {1, -10000, -10000, true},      {0, 0, -600, false},
        {1, -10000, -10000, true},      {1, -10000, -10000, true},  // twice paused
        {0, 0, -600, false},            {0, 0, -600, false},
    };
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(n++);
        sound.PauseAll(s.pause);
        EXPECT_EQ(s.loud, Heard(loud));
        EXPECT_EQ(s.soft, Heard(soft));
        EXPECT_EQ(0, loud->m_requestedVolume);
        EXPECT_EQ(-600, soft->m_requestedVolume);
        const double heard = Rms(Listen(100), 0);
        if (s.silent)
            EXPECT_EQ(0.0, heard);
        else
            EXPECT_NEAR(playing, heard, playing * 0.05);
    }
    EXPECT_EQ(0, YDXSound::s_globalVolumeOffset);
    sound.StopAll();
    EXPECT_FALSE(loud->IsPlaying());
}

TEST_F(SoundManager, IdleBuffersArePurgedExceptPriorityZero)
{
    m_settings.m_idleRemoveTime = 1;
    YSound& sound = Start();
    sound.SetDeletionHook(NoteDeletion);
    const std::string shot = Tone("shot.wav", 0.2);
    YDXSoundBuffer* master = sound.CreateNewGameBuffer(shot.c_str(), 0);
    master->Play(0);
    YDXSoundBuffer* copy = sound.CreateNewGameBuffer(shot.c_str(), 0);
    ASSERT_TRUE(master && copy && copy->m_duplicate);
    master->Stop();
    YDXSoundBuffer* kept = sound.CreateNewGameBuffer(Tone("kept.wav", 0.2).c_str(), 0);
    kept->m_priority = 0;
    YDXSoundBuffer* busy = sound.CreateNewGameBuffer(Tone("busy.wav", 0.5).c_str(), 0);
    busy->Play(DSBPLAY_LOOPING);
    const DWORD masterHandle = sound.GetHandle(master);
    const DWORD copyHandle = sound.GetHandle(copy);
    EXPECT_NE(0u, masterHandle);
    EXPECT_NE(masterHandle, copyHandle);
    EXPECT_EQ(0u, sound.GetHandle(nullptr));

    // Idle exactly 1000 ms is not yet too long.
    Passes(10, 100);
    EXPECT_EQ(4u, sound.GetGameBuffers().size());
    EXPECT_EQ(master, sound.FromHandle(masterHandle));
    Passes(1, 1);
    EXPECT_EQ(2u, sound.GetGameBuffers().size());
    EXPECT_EQ(nullptr, sound.FromHandle(masterHandle));
    EXPECT_EQ(nullptr, sound.FromHandle(copyHandle));
    EXPECT_EQ((std::vector<YDXSoundBuffer*>{copy, master}), g_deleted);  // reverse list order
    EXPECT_EQ((std::vector<YDXSoundBuffer*>{kept, busy}), sound.GetGameBuffers());

    // A new buffer never answers to an old handle.
    YDXSoundBuffer* fresh = sound.CreateNewGameBuffer(shot.c_str(), 0);
    ASSERT_NE(nullptr, fresh);
    EXPECT_NE(masterHandle, sound.GetHandle(fresh));
    EXPECT_EQ(fresh, sound.FromHandle(sound.GetHandle(fresh)));
    EXPECT_EQ(nullptr, sound.FromHandle(masterHandle));
    Passes(30, 100);
    EXPECT_EQ((std::vector<YDXSoundBuffer*>{kept, busy}), sound.GetGameBuffers());
}

TEST_F(SoundManager, APurgedMasterHandsItsRoleToADuplicate)
{
    m_settings.m_idleRemoveTime = 1;
    YSound& sound = Start();
    const std::string shot = Tone("shot.wav", 3.0);
    YDXSoundBuffer* master = sound.CreateNewGameBuffer(shot.c_str(), 0);
    master->Play(0);
    YDXSoundBuffer* copy = sound.CreateNewGameBuffer(shot.c_str(), 0);
    ASSERT_TRUE(copy->m_duplicate);
    master->Stop();
    copy->Play(DSBPLAY_LOOPING);
    Passes(11, 100);
    ASSERT_EQ((std::vector<YDXSoundBuffer*>{copy}), sound.GetGameBuffers());
    EXPECT_EQ(0, copy->m_duplicate);
    // The promoted one still sounds, and the next copy is made from it.
    EXPECT_NEAR(kToneRms, Rms(Listen(100), 0), kToneRms * 0.05);
    YDXSoundBuffer* next = sound.CreateNewGameBuffer(shot.c_str(), 0);
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(1, next->m_duplicate);
}

TEST_F(SoundManager, NoIdleTimeNeverPurges)
{
    m_settings.m_idleRemoveTime = 0;
    YSound& sound = Start();
    sound.CreateNewGameBuffer(Tone("a.wav", 0.1).c_str(), 0);
    Passes(5, 100000);
    EXPECT_EQ(1u, sound.GetGameBuffers().size());
}

TEST_F(SoundManager, ListenerCommitsFollowTheResolution)
{
    struct Case {
        int resolution;
        unsigned long commits;  // in 50 passes of 20 ms, the first at 20 ms
    };
    // 0 ms apart: every pass; 250 ms: at 20, 280, 540, 800; 500 ms: at 20, 520;
    // 50 ms: every third pass.
    const Case cases[] = {{100, 50}, {50, 4}, {0, 2}, {90, 17}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.resolution);
        m_settings.m_3dResolution = c.resolution;
        YSound& sound = Start();
        ASSERT_NE(nullptr, sound.GetListener());
        sound.m_nextCommit = GetTickCount() + 20;
        Passes(50, 20);
        EXPECT_EQ(c.commits, sound.m_commits);
        // A forced commit goes through at once and restarts the interval.
        sound.CommitListener(1);
        EXPECT_EQ(c.commits + 1, sound.m_commits);
    }
}

TEST_F(SoundManager, DeferredListenerMovesAreHeardOnlyAfterTheCommit)
{
    m_settings.m_3dResolution = 0;
    YSound& sound = Start();
    YDXSoundBuffer* buffer = sound.CreateNewGameBuffer(Tone("src.wav", 3.0).c_str(), 1);
    ASSERT_NE(nullptr, buffer);
    ASSERT_EQ(3, buffer->m_kind);
    YDXSound3DBuffer* placed = static_cast<YDXSound3DBuffer*>(buffer);
    placed->SetMinDistance(1, DS3D_IMMEDIATE);
    placed->SetPosition(10, 0, 0, DS3D_IMMEDIATE);  // to the right
    buffer->Play(DSBPLAY_LOOPING);
    sound.Update();  // commits, and waits 500 ms for the next
    const auto right = Listen(100);
    EXPECT_GT(Rms(right, 1), Rms(right, 0) * 1.5);

    // The listener turns round; not heard until the next commit.
    sound.SetListenerOrientation(0, 0, -1, 0, 1, 0);
    sound.SetListenerPosition(9, 0, 0);
    Passes(1, 100);
    const auto waiting = Listen(100);
    EXPECT_GT(Rms(waiting, 1), Rms(waiting, 0) * 1.5);
    EXPECT_NEAR(1.0, sound.GetListenerDistance(placed), 1e-6);  // the listener answers as set
    Passes(4, 100);
    const auto turned = Listen(100);
    EXPECT_GT(Rms(turned, 0), Rms(turned, 1) * 1.5);
    EXPECT_GT(Rms(turned, 0), Rms(right, 1));  // nearer now
}

TEST_F(SoundManager, ListenerSettersWithoutAListenerCacheAndSucceed)
{
    m_settings.m_3dEnabled = 0;
    YSound& sound = Start();
    EXPECT_EQ(nullptr, sound.GetListener());
    EXPECT_EQ(1, sound.SetListenerPosition(YVector(3, 4, 0)));
    EXPECT_EQ(1, sound.SetListenerVelocity(1, 2, 3));
    EXPECT_EQ(1, sound.SetListenerAngles(YVector(0, 90, 0)));
    EXPECT_EQ(1, sound.CommitListener(1));
    EXPECT_NEAR(1.0f, sound.m_listenerFront[0], 1e-3);  // yaw 90 faces +x
    EXPECT_NEAR(0.0f, sound.m_listenerFront[2], 1e-3);
    YDXSound3DBuffer loose;
    EXPECT_NEAR(5.0, sound.GetListenerDistance(&loose), 1e-6);
}

TEST_F(SoundManager, ListingNamesEachGameBufferAndTotals)
{
    YSound& sound = Start();
    sound.RegisterSound(Tone("music.wav", 1.0).c_str());  // 44100 bytes, not loaded
    const std::string shot = Tone("Shot.wav", 0.5);      // 22050 bytes
    YDXSoundBuffer* a = sound.CreateNewGameBuffer(shot.c_str(), 0);
    a->Play(DSBPLAY_LOOPING);
    YDXSoundBuffer* b = sound.CreateNewGameBuffer(shot.c_str(), 0);
    b->m_priority = 0;
    sound.CreateNewGameBuffer(Tone("wind.wav", 1.0).c_str(), 1);
    char text[512];
    ASSERT_EQ(1, sound.ListBuffers(text, sizeof(text)));
    EXPECT_STREQ("  shot [21 k] [X]\n"
                 "  shot [Dup] [  ] *\n"
                 "  wind [43 k] (3D) [  ]\n"
                 "Total Buffers: 4 [64 k]  App Buffers: 1 [0 k] (not loaded [43 k])\n"
                 "Game Buffers: 3 [64 k]  ( 3D: 1 [43 k] )\n",
                 text);
    char cut[8];
    sound.ListBuffers(cut, sizeof(cut));
    EXPECT_STREQ("  shot ", cut);
}

TEST_F(SoundManager, StopByFileNameRewindsTheFirstBufferOfTheSound)
{
    YSound& sound = Start();
    const std::string hum = Tone("hum.wav", 2.0);
    YDXSoundBuffer* buffer = sound.CreateNewGameBuffer(hum.c_str(), 0);
    buffer->Play(DSBPLAY_LOOPING);
    Listen(200);
    ASSERT_GT(Cursor(buffer), 0u);
    EXPECT_EQ(1, sound.StopByFileName(hum.c_str()));
    EXPECT_FALSE(buffer->IsPlaying());
    EXPECT_EQ(0u, Cursor(buffer));
    EXPECT_EQ(1, sound.StopByFileName("nothing.wav"));
}

TEST_F(SoundManager, ATwoDCopyOfAThreeDSourceIsRefilledAfterALoss)
{
    YDXSoundBuffer* placed = StartWithHum(1);
    ASSERT_NE(nullptr, placed);
    ASSERT_EQ(3, placed->m_kind);
    placed->Play(DSBPLAY_LOOPING);
    // The 2D request copies the 3D buffer's samples: no file was read for it.
    YDXSoundBuffer* flat = m_sound->CreateNewGameBuffer(m_hum.c_str(), 0);
    ASSERT_NE(nullptr, flat);
    ASSERT_EQ(2, flat->m_kind);
    ASSERT_EQ(0, flat->m_duplicate);
    placed->Stop();

    platform::LoseSoundBuffers();
    ASSERT_EQ(1, flat->Play(DSBPLAY_LOOPING));
    EXPECT_NEAR(kToneRms, Rms(Listen(200), 0), kToneRms * 0.02);
}

TEST_F(SoundManager, ABufferThatCannotBeRefilledDoesNotPlay)
{
    YDXSoundBuffer* flat = StartWithHum(0);
    ASSERT_NE(nullptr, flat);
    wavebytes::WriteFile(m_hum, "RIFF");  // the file went bad after the upload
    platform::LoseSoundBuffers();
    EXPECT_EQ(0, flat->Play(0));
    EXPECT_EQ(nullptr, flat->GetBuffer());
    EXPECT_EQ(0.0, Rms(Listen(100), 0));
    // The next request of the sound cannot make it again: it is gone.
    EXPECT_EQ(nullptr, m_sound->CreateNewGameBuffer(m_hum.c_str(), 0));
    EXPECT_TRUE(m_sound->GetGameBuffers().empty());
    EXPECT_EQ(std::vector<YDXSoundBuffer*>{flat}, g_deleted);
}

TEST_F(SoundManager, AReleasedThreeDBufferIsMadeAgainWhenHandedBack)
{
    YDXSoundBuffer* placed = StartWithHum(1);
    ASSERT_NE(nullptr, placed);
    YSound& sound = *m_sound;
    ASSERT_EQ(1, sound.Release3DBuffer(placed));
    ASSERT_EQ(nullptr, placed->GetBuffer());

    EXPECT_EQ(placed, sound.CreateNewGameBuffer(m_hum.c_str(), 1));
    ASSERT_NE(nullptr, placed->GetBuffer());
    EXPECT_EQ(3, placed->m_kind);
    YDXSound3DBuffer* sound3D = dynamic_cast<YDXSound3DBuffer*>(placed);
    ASSERT_NE(nullptr, sound3D);
    EXPECT_NE(nullptr, sound3D->Get3DBuffer());
    EXPECT_EQ(1, sound3D->SetPosition(0, 0, 1, DS3D_IMMEDIATE));
    ASSERT_EQ(1, placed->Play(0));
    EXPECT_GT(Rms(Listen(200), 0), kToneRms * 0.2);
    EXPECT_EQ(1u, sound.GetGameBuffers().size());
    EXPECT_TRUE(g_deleted.empty());
}
