// Sound on the headless backend with the clock stepped by hand: the tests
// play tones, step the clock and measure the mixed frames. SoundFixture
// drives a sound device, SoundManagerFixture the sound manager.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "WaveBytes.h"
#include "foundation/YCatalog.h"
#include "foundation/YSineTable.h"
#include "platform/backend/HeadlessBackend.h"
#include "sound/YDXSound.h"
#include "sound/YDXSoundBuffer.h"
#include "sound/YSound.h"
#include "sound/YSoundData.h"

class HeadlessAudioTest : public ::testing::Test {
protected:
    static constexpr uint32_t kRate = 22050;

    void SetUp() override
    {
        platform::Clock::SetManual(true);
        platform::Clock::Set(5000);
        ASSERT_NE(nullptr, platform::HeadlessBackend::Active());
    }

    void TearDown() override { platform::Clock::SetManual(false); }

    // A file in the scratch folder; its path.
    std::string File(const std::string& name, const std::string& bytes)
    {
        const std::string path = m_folder.Path() + "/" + name;
        wavebytes::WriteFile(path, bytes);
        return path;
    }

    // A mono 16-bit tone of the given length at the mixer's rate.
    std::string Tone(const std::string& name, double seconds, int peak = 8000, double hz = 441)
    {
        return File(name, wavebytes::PcmWave(kRate, 1, wavebytes::Sine(kRate, hz, seconds, peak)));
    }

    // The frames mixed since the last call.
    std::vector<int16_t> Output() { return platform::HeadlessBackend::Active()->Audio().Take(); }

    // Steps the clock and returns what was heard meanwhile.
    std::vector<int16_t> Listen(DWORD milliseconds)
    {
        Output();
        platform::Clock::Advance(milliseconds);
        return Output();
    }

    ScratchFolder m_folder;
};

class SoundFixture : public HeadlessAudioTest {
protected:
    void SetUp() override
    {
        HeadlessAudioTest::SetUp();
        ASSERT_TRUE(m_device.CreateEx(nullptr, 1, kRate, 16, 1));
        Output();
    }

    void TearDown() override
    {
        m_device.Cleanup();
        HeadlessAudioTest::TearDown();
    }

    // A half-second tone loaded into a buffer of the device.
    std::unique_ptr<YDXSoundBuffer> ToneBuffer(const char* name)
    {
        auto buffer =
            std::make_unique<YDXSoundBuffer>(&m_device, Tone(name, 0.5).c_str(), 1, YDXSoundBuffer::kDefaultFlags);
        EXPECT_EQ(1, buffer->m_created);
        return buffer;
    }

    YDXSound m_device;
};

// The sound manager, finding its sounds in the scratch folder.
class SoundManagerFixture : public HeadlessAudioTest {
protected:
    void SetUp() override
    {
        HeadlessAudioTest::SetUp();
        BuildSineTable();
        m_settings.m_8bitQuality = 0;
        m_catalog.GetSearchDirectories().Add(CString(m_folder.Path().c_str()));
    }

    void TearDown() override
    {
        m_sound.reset();
        HeadlessAudioTest::TearDown();
    }

    // A fresh manager started with the settings as they are now.
    YSound& StartManager()
    {
        m_sound.reset();
        m_sound = std::make_unique<YSound>();
        m_sound->Initialize(&m_catalog, &m_settings);
        return *m_sound;
    }

    YCatalog m_catalog;
    YSoundData m_settings;
    std::unique_ptr<YSound> m_sound;
};
