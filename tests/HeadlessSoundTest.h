// A sound manager on the headless mixer with the clock stepped by hand, and
// sine tones written as wave files into a scratch folder the catalog searches.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ScratchFolder.h"
#include "WaveBytes.h"
#include "foundation/YCatalog.h"
#include "foundation/YSineTable.h"
#include "platform/backend/HeadlessBackend.h"
#include "sound/YSound.h"
#include "sound/YSoundData.h"

class HeadlessSoundTest : public ::testing::Test {
protected:
    static constexpr uint32_t kRate = 22050;

    void SetUp() override
    {
        platform::Clock::SetManual(true);
        platform::Clock::Set(5000);
        ASSERT_NE(nullptr, platform::HeadlessBackend::Active());
        BuildSineTable();
        m_settings.m_8bitQuality = 0;
        m_catalog.GetSearchDirectories().Add(CString(m_folder.Path().c_str()));
    }

    void TearDown() override
    {
        m_sound.reset();
        platform::Clock::SetManual(false);
    }

    // A fresh manager started with the settings as they are now.
    YSound& StartManager()
    {
        m_sound.reset();
        m_sound = std::make_unique<YSound>();
        m_sound->Initialize(&m_catalog, &m_settings);
        return *m_sound;
    }

    // A 441 Hz mono tone of the given length and peak; its path.
    std::string Tone(const std::string& name, double seconds, int peak = 8000)
    {
        const std::string path = m_folder.Path() + "/" + name;
        wavebytes::WriteFile(path, wavebytes::PcmWave(kRate, 1, wavebytes::Sine(kRate, 441, seconds, peak)));
        return path;
    }

    ScratchFolder m_folder;
    YCatalog m_catalog;
    YSoundData m_settings;
    std::unique_ptr<YSound> m_sound;
};
