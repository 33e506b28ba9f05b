// A sound device on the headless backend with the clock stepped by hand:
// the tests play buffers, step the clock and measure the mixed frames.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "WaveBytes.h"
#include "platform/backend/HeadlessBackend.h"
#include "sound/YDXSound.h"
#include "sound/YDXSoundBuffer.h"

class SoundFixture : public ::testing::Test {
protected:
    static constexpr uint32_t kRate = 22050;

    void SetUp() override
    {
        platform::Clock::SetManual(true);
        platform::Clock::Set(5000);
        ASSERT_NE(nullptr, platform::HeadlessBackend::Active());
        ASSERT_TRUE(m_device.CreateEx(nullptr, 1, kRate, 16, 1));
        Output();
    }

    void TearDown() override
    {
        m_device.Cleanup();
        platform::Clock::SetManual(false);
    }

    // A file in the scratch folder; its path.
    std::string File(const std::string& name, const std::string& bytes)
    {
        const std::string path = m_folder.Path() + "/" + name;
        wavebytes::WriteFile(path, bytes);
        return path;
    }

    // A mono 16-bit tone of the given length at the device's rate.
    std::string Tone(const std::string& name, double seconds, int peak = 8000, double hz = 441)
    {
        return File(name, wavebytes::PcmWave(kRate, 1, wavebytes::Sine(kRate, hz, seconds, peak)));
    }

    // A half-second tone loaded into a buffer of the device.
    std::unique_ptr<YDXSoundBuffer> ToneBuffer(const char* name)
    {
        auto buffer =
            std::make_unique<YDXSoundBuffer>(&m_device, Tone(name, 0.5).c_str(), 1, YDXSoundBuffer::kDefaultFlags);
        EXPECT_EQ(1, buffer->m_created);
        return buffer;
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
    YDXSound m_device;
};
