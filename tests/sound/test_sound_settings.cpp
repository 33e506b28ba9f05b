#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "sound/YSoundData.h"

namespace {
std::string WriteSettings(YSoundData& sound)
{
    auto dir = std::filesystem::temp_directory_path() / ("rcv_sound_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string path = (dir / "sound.cfg").string();
    {
        CStdioFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        sound.WriteSettings(file);
        file.Close();
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
}  // namespace

TEST(SoundData, NumbersAreClampedToTheirRanges)
{
    struct Case {
        const char* key;
        const char* value;
        int32_t YSoundData::*field;
        int expected;
    };
    const Case cases[] = {
        {"snd_maxsamebuffers", "0", &YSoundData::m_maxSameBuffers, 1},
        {"snd_maxsamebuffers", "40", &YSoundData::m_maxSameBuffers, 16},
        {"snd_maxsamebuffers", "none", &YSoundData::m_maxSameBuffers, 1},
        {"snd_idleremovetime", "900", &YSoundData::m_idleRemoveTime, 600},
        {"snd_idleremovetime", "30", &YSoundData::m_idleRemoveTime, 30},
        {"snd_3dresolution", "-5", &YSoundData::m_3dResolution, 0},
        {"snd_3dresolution", "101", &YSoundData::m_3dResolution, 100},
        {"SND_ENABLED", "7", &YSoundData::m_enabled, 1},
        {"snd_enabled", "-1", &YSoundData::m_enabled, 0},
        {"snd_music", "word", &YSoundData::m_music, 0},
        {"Snd_Voice", "0", &YSoundData::m_voice, 0},
        {"snd_3dsoftware", "2", &YSoundData::m_3dSoftware, 1},
        {"snd_8bitquality", "0", &YSoundData::m_8bitQuality, 0},
        {"snd_3denabled", "0", &YSoundData::m_3dEnabled, 0},
        // Past 32 bits the value saturates: it never wraps round to the other side.
        {"snd_idleremovetime", "4294967296", &YSoundData::m_idleRemoveTime, 600},
        {"snd_enabled", "4294967296", &YSoundData::m_enabled, 1},
        {"snd_maxsamebuffers", "-4294967286", &YSoundData::m_maxSameBuffers, 1},
        {"snd_3dresolution", "8589934593", &YSoundData::m_3dResolution, 100},
    };
    YSoundData sound;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        EXPECT_EQ(1, sound.SetValue(c.key, c.value, 0));
        EXPECT_EQ(c.expected, sound.*(c.field));
        YString shown;
        EXPECT_EQ(1, sound.GetValue(c.key, shown, 0));
        EXPECT_EQ(std::to_string(c.expected), std::string(shown));
    }
}

TEST(SoundData, DriverTakesTextAndOtherKeysAreRefused)
{
    YSoundData sound;
    EXPECT_EQ(1, sound.SetValue("snd_driver", "Primary Sound Driver", 0));
    YString value;
    EXPECT_EQ(1, sound.GetValue("SND_DRIVER", value, 0));
    EXPECT_STREQ("Primary Sound Driver", value);
    EXPECT_EQ(1, sound.SetValue("snd_driver", "bad\"; quit", 0));
    EXPECT_STREQ("bad; quit", sound.m_driver);

    value = "kept";
    EXPECT_EQ(0, sound.SetValue("snd_volume", "3", 0));
    EXPECT_EQ(0, sound.GetValue("gfx_fog", value, 0));
    EXPECT_STREQ("kept", value);
}

TEST(SoundData, DetailLevelsSetQualityAndResolution)
{
    const std::pair<int, int> cases[] = {{1, 50}, {3, 50}, {4, 75}, {5, 100}, {0, 50}};
    for (const auto& c : cases) {
        YSoundData sound;
        sound.m_8bitQuality = 0;
        sound.m_3dEnabled = 0;
        sound.ApplyDetailLevel(c.first);
        EXPECT_EQ(1, sound.m_8bitQuality);
        EXPECT_EQ(1, sound.m_3dEnabled);
        EXPECT_EQ(c.second, sound.m_3dResolution);
    }
}

TEST(SoundData, ListingHasTheHeadingThenTheKeys)
{
    YSoundData sound;
    CArray<YString> names;
    sound.ListKeys(names, 0);
    const char* expected[] = {"\n-- Sound settings\n", "snd_enabled", "snd_3denabled", "snd_3dsoftware",
                              "snd_8bitquality", "snd_3dresolution", "snd_driver", "snd_maxsamebuffers",
                              "snd_idleremovetime", "snd_music", "snd_voice"};
    ASSERT_EQ(11, names.GetSize());
    for (int i = 0; i < 11; ++i) EXPECT_STREQ(expected[i], names[i]);
}

TEST(SoundData, WrittenBlockMatchesByteForByte)
{
    YSoundData sound;
    const std::string expected =
        "\r\n-- Sound settings\r\n\r\n"
        "set snd_enabled \"1\" \r\n"
        "set snd_3denabled \"1\" \r\n"
        "set snd_music \"1\" \r\n"
        "set snd_voice \"1\" \r\n"
        "set snd_3dsoftware \"1\" \r\n"
        "set snd_8bitquality \"1\" \r\n"
        "set snd_3dresolution \"100\" \r\n"
        "set snd_maxsamebuffers \"4\" \r\n"
        "set snd_idleremovetime \"0\" \r\n"
        "set snd_driver \"\"\r\n";
    EXPECT_EQ(expected, WriteSettings(sound));
}

TEST(SoundData, ArchiveKeepsTheStoredKeysOnly)
{
    YSoundData sound;
    sound.m_enabled = 0;
    sound.m_3dSoftware = 0;
    sound.m_driver = "Card";
    sound.m_3dResolution = 42;
    sound.m_maxSameBuffers = 9;
    sound.m_idleRemoveTime = 120;
    sound.m_music = 0;

    CMemFile memory;
    {
        CArchive ar(&memory, CArchive::store);
        sound.Serialize(ar);
        ar.Close();
    }
    EXPECT_EQ(4u * 4 + 4 + 4 + 3 * 4, memory.GetLength());
    memory.SeekToBegin();
    YSoundData loaded;
    {
        CArchive ar(&memory, CArchive::load);
        loaded.Serialize(ar);
        ar.Close();
    }
    EXPECT_EQ(0, loaded.m_enabled);
    EXPECT_EQ(0, loaded.m_3dSoftware);
    EXPECT_STREQ("Card", loaded.m_driver);
    EXPECT_EQ(42, loaded.m_3dResolution);
    EXPECT_EQ(9, loaded.m_maxSameBuffers);
    EXPECT_EQ(120, loaded.m_idleRemoveTime);
    EXPECT_EQ(1, loaded.m_music);
}

TEST(SoundData, ArchiveWithAnEmptyDriverClearsTheOldOne)
{
    YSoundData sound;
    CMemFile memory;
    {
        CArchive ar(&memory, CArchive::store);
        sound.Serialize(ar);
        ar.Close();
    }
    memory.SeekToBegin();
    YSoundData loaded;
    loaded.m_driver = "Old Card";
    CArchive ar(&memory, CArchive::load);
    loaded.Serialize(ar);
    EXPECT_STREQ("", loaded.m_driver);
}
