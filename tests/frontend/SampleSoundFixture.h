// The engine's sound manager on the sample catalog, with the headless mix
// to listen to.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "engine/YGameObjects.h"
#include "foundation/YCatalog.h"
#include "platform/backend/HeadlessBackend.h"
#include "sound/YSound.h"
#include "sound/YSoundData.h"

#if defined(RCV_DATA_DIR)
inline double Rms(const std::vector<int16_t>& frames)
{
    if (frames.empty()) return 0.0;
    double sum = 0;
    for (int16_t v : frames) sum += double(v) * v;
    return std::sqrt(sum / double(frames.size()));
}

// The engine's sound manager on the sample catalog, mixed headless on a
// clock held by hand.
class SampleSoundFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::Clock::SetManual(true);
        platform::Clock::Set(10000);
        ASSERT_NE(nullptr, platform::HeadlessBackend::Active());
        m_engine = YGameObjects::Instance();
        m_saved = m_engine->m_sound;
        m_engine->m_sound = new YSound;
        m_catalog.reset(new YCatalog(RCV_DATA_DIR "/RC Volaro.cat"));
        m_catalog->Mode() = 0;
        m_catalog->SetBaseDirectory(0, "");
        m_catalog->SetBaseDirectory(1, "");
        m_catalog->GetSearchDirectories().Add(RCV_DATA_DIR);
        m_engine->m_sound->Initialize(m_catalog.get(), &m_settings);
        Mix();
    }

    void TearDown() override
    {
        delete m_engine->m_sound;
        m_engine->m_sound = m_saved;
        platform::Clock::SetManual(false);
    }

    std::vector<int16_t> Mix() { return platform::HeadlessBackend::Active()->Audio().Take(); }

    std::vector<int16_t> Listen(DWORD milliseconds)
    {
        Mix();
        platform::Clock::Advance(milliseconds);
        return Mix();
    }

    YGameObjects* m_engine = nullptr;
    YSound* m_saved = nullptr;
    YSoundData m_settings;
    std::unique_ptr<YCatalog> m_catalog;
};
#endif
