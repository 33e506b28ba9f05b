#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "WaveBytes.h"
#include "foundation/YResourceVisitor.h"
#include "sound/YSoundEmitter.h"

namespace {
std::vector<BYTE> Stored(CObject& object)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        object.Serialize(ar);
        ar.Close();
    }
    std::vector<BYTE> bytes(size_t(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), UINT(bytes.size()));
    return bytes;
}

void Load(CObject& object, std::vector<BYTE> bytes)
{
    CMemFile file(bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    object.Serialize(ar);
}

int32_t Word(const std::vector<BYTE>& bytes, size_t at)
{
    int32_t value;
    memcpy(&value, bytes.data() + at, 4);
    return value;
}

float Float(const std::vector<BYTE>& bytes, size_t at)
{
    float value;
    memcpy(&value, bytes.data() + at, 4);
    return value;
}

void Fill(YSoundEmitterInfo& info)
{
    info.m_value1 = 101;
    info.m_value2 = 102;
    info.m_value3 = 103;
    info.m_value4 = 104;
    info.m_value5 = 105;
    info.m_value6 = 106;
    info.m_coneInside = 30.5f;
    info.m_coneOutside = 90.25f;
    info.m_value9 = 109;
    info.m_maxDistance = 400.0f;
    info.m_minDistance = 2.5f;
    info.m_value12 = 112;
    info.m_value13 = -113;
}

class Visits : public YResourceVisitor {
public:
    LONG VisitSoundEmitter(YSoundEmitter* emitter) override
    {
        m_seen = emitter;
        return 7;
    }
    YSoundEmitter* m_seen = nullptr;
};
}  // namespace

TEST(SoundEmitter, InfoStartsFromItsDefaults)
{
    YSoundEmitterInfo info;
    Fill(info);
    EXPECT_EQ(0, info.Reset());
    const int32_t values[] = {info.m_value1, info.m_value2, info.m_value3,  info.m_value4, info.m_value5,
                              info.m_value6, info.m_value9, info.m_value12, info.m_value13};
    for (int32_t value : values) EXPECT_EQ(0, value);
    EXPECT_EQ(360.0f, info.m_coneInside);
    EXPECT_EQ(360.0f, info.m_coneOutside);
    EXPECT_EQ(200.0f, info.m_maxDistance);
    EXPECT_EQ(5.0f, info.m_minDistance);
}

TEST(SoundEmitter, InfoIsStoredInItsOwnOrder)
{
    YSoundEmitterInfo info;
    Fill(info);
    const std::vector<BYTE> bytes = Stored(info);
    ASSERT_EQ(13u * 4, bytes.size());
    struct Slot {
        int32_t word;
        float number;
    };
    // value 4, inside, outside, 9, 12, 13, 2, 5, 1, 6, 3, minimum, maximum.
    const Slot slots[] = {{104, 0}, {0, 30.5f}, {0, 90.25f}, {109, 0},  {112, 0}, {-113, 0}, {102, 0},
                          {105, 0}, {101, 0},   {106, 0},    {103, 0}, {0, 2.5f}, {0, 400.0f}};
    for (size_t i = 0; i < 13; ++i) {
        SCOPED_TRACE(i);
        if (slots[i].number != 0)
            EXPECT_EQ(slots[i].number, Float(bytes, i * 4));
        else
            EXPECT_EQ(slots[i].word, Word(bytes, i * 4));
    }
    YSoundEmitterInfo back;
    Load(back, bytes);
    EXPECT_EQ(bytes, Stored(back));
    YSoundEmitterInfo copy;
    copy.CopyFrom(back);
    EXPECT_EQ(bytes, Stored(copy));
}

TEST(SoundEmitter, ArchiveRoundTripsFilesAndInfo)
{
    YSoundEmitter emitter("birds1.wav");
    emitter.m_soundFiles.Add("birds2.wav");
    Fill(emitter.m_info);
    const std::vector<BYTE> bytes = Stored(emitter);
    // Version, the record, then the string array.
    ASSERT_GT(bytes.size(), 4u + 52u);
    EXPECT_EQ(104, Word(bytes, 4));

    YSoundEmitter back;
    Load(back, bytes);
    ASSERT_EQ(2, back.m_soundFiles.GetSize());
    YString name;
    back.GetSoundFilePath(name, 1);
    EXPECT_STREQ("birds2.wav", name);
    EXPECT_EQ(-113, back.m_info.m_value13);
    EXPECT_EQ(400.0f, back.m_info.m_maxDistance);
    EXPECT_EQ(bytes, Stored(back));

    // A cut archive throws rather than reading past its end.
    std::vector<BYTE> cut(bytes.begin(), bytes.end() - 3);
    YSoundEmitter broken;
    bool threw = false;
    try {
        Load(broken, cut);
    } catch (CException* e) {
        e->Delete();
        threw = true;
    }
    EXPECT_TRUE(threw);
}

TEST(SoundEmitter, FilePathsOutsideTheListAreEmpty)
{
    YSoundEmitter emitter("a.wav");
    emitter.m_soundFiles.Add("b.wav");
    struct Case {
        int index;
        const char* expected;
    };
    const Case cases[] = {{-1, ""}, {0, "a.wav"}, {1, "b.wav"}, {2, ""}, {1000, ""}};
    for (const Case& c : cases) {
        YString text("old");
        emitter.GetSoundFilePath(text, c.index);
        EXPECT_STREQ(c.expected, text) << c.index;
    }
}

TEST(SoundEmitter, LoadsFromTheFirstFolderHoldingTheFirstFile)
{
    ScratchFolder root;
    const std::string near = root.Path() + "/near", far = root.Path() + "/far";
    std::filesystem::create_directories(near);
    std::filesystem::create_directories(far);
    wavebytes::WriteFile(far + "/birds.wav", wavebytes::PcmWave(22050, 1, wavebytes::Sine(22050, 441, 0.01, 100)));
    wavebytes::WriteFile(near + "/other.wav", "x");
    YSoundEmitter emitter("birds.wav");
    EXPECT_FALSE(emitter.LoadFromPath(near.c_str(), 0));
    EXPECT_TRUE(emitter.m_folder.IsEmpty());

    CStringArray folders;
    EXPECT_FALSE(emitter.LoadFromDirectories(&folders, 0));
    EXPECT_FALSE(emitter.LoadFromDirectories(nullptr, 0));
    folders.Add(near.c_str());
    folders.Add(far.c_str());
    EXPECT_TRUE(emitter.LoadFromDirectories(&folders, 0));
    EXPECT_STREQ(far.c_str(), emitter.m_folder);

    YSoundEmitter empty;
    EXPECT_FALSE(empty.LoadFromPath(far.c_str(), 0));
    EXPECT_FALSE(empty.LoadFromDirectories(&folders, 0));
}

TEST(SoundEmitter, AssignTakesFolderAndInfoButNotFiles)
{
    YSoundEmitter from("a.wav");
    from.m_folder = "sounds";
    Fill(from.m_info);
    YSoundEmitter to("b.wav");
    to.Assign(from);
    EXPECT_STREQ("sounds", to.m_folder);
    EXPECT_EQ(Stored(from.m_info), Stored(to.m_info));
    ASSERT_EQ(1, to.m_soundFiles.GetSize());
    EXPECT_STREQ("b.wav", to.m_soundFiles[0]);

    Visits visitor;
    EXPECT_EQ(7, to.Accept(&visitor));
    EXPECT_EQ(&to, visitor.m_seen);
}
