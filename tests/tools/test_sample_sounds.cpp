#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "sound/YWave.h"
#include "tools/YCatalogText.h"
#include "tools/YSampleSounds.h"

#if defined(RCV_DATA_DIR)
// Every sound of the sample catalog resolves to its file, loads as PCM and
// holds the synthesised samples (the compressed one within the codec's error).
TEST(SampleSounds, CatalogSoundsLoadAsTheSynthesisedSamples)
{
    struct Case {
        const char* section;
        const char* name;
        const char* file;
        double allowedError;  // relative to the signal's energy
    };
    const Case cases[] = {
        {"Sounds", "click", "click", 0},
        {"Interface", "is-mouse-over", "is-mouse-over", 0},
        {"Interface", "is-mouse-click", "is-mouse-click", 0},
        {"Sounds", "engine", "engine", 0},
        {"Sounds", "wind", "wind", 0.02},
    };
    YCatalogText::RegisterResourceClasses();
    YCatalog catalog(RCV_DATA_DIR "/RC Volaro.cat");
    catalog.GetSearchDirectories().Add(RCV_DATA_DIR);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        YCatalogItem* item = catalog.FindItem(c.section, c.name, 2);
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(2, item->GetType());
        const CString path = item->ResolvePath(TRUE, TRUE, TRUE);
        YWave wave;
        ASSERT_TRUE(wave.LoadFromFile(path, 1)) << (const char*)path;
        EXPECT_EQ(WAVE_FORMAT_PCM, wave.GetFormat()->wFormatTag);
        EXPECT_EQ(YSampleSounds::kRate, wave.GetFormat()->nSamplesPerSec);
        EXPECT_EQ(1, wave.GetFormat()->nChannels);

        const std::vector<int16_t> expected = YSampleSounds::Samples(c.file);
        ASSERT_GE(wave.GetDataLength() / 2, expected.size());
        const int16_t* samples = reinterpret_cast<const int16_t*>(wave.GetData());
        double error = 0, signal = 0;
        for (size_t i = 0; i < expected.size(); ++i) {
            error += std::pow(double(samples[i]) - expected[i], 2.0);
            signal += std::pow(double(expected[i]), 2.0);
        }
        EXPECT_GT(signal, 0.0);
        EXPECT_LE(error, signal * c.allowedError);
    }
}
#endif

TEST(SampleSounds, EngineLoopsWithoutAJump)
{
    const std::vector<int16_t> engine = YSampleSounds::Samples("engine");
    ASSERT_EQ(size_t(YSampleSounds::kRate), engine.size());
    int largestStep = 0;
    for (size_t i = 1; i < engine.size(); ++i) largestStep = std::max(largestStep, std::abs(engine[i] - engine[i - 1]));
    EXPECT_LE(std::abs(engine.front() - engine.back()), largestStep);
}
