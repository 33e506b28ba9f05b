// The "YSMO" model file: every vertex form with and without zlib, the tags
// that choose them, and files that must be refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ModelFixture.h"
#include "ScratchFolder.h"
#include "assets3d/YSMHandle.h"

using namespace modeltest;

namespace {
std::vector<uint8_t> Store(YSMObject& model)
{
    CMemFile memory;
    {
        CArchive ar(&memory, CArchive::store);
        model.Serialize(ar);
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(memory.GetLength()));
    memory.SeekToBegin();
    if (!bytes.empty()) memory.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

// Loads the bytes; false when the model refuses them.
bool Load(YSMObject& model, std::vector<uint8_t> bytes)
{
    bytes.push_back(0);
    CMemFile memory(bytes.data(), static_cast<UINT>(bytes.size() - 1));
    try {
        CArchive ar(&memory, CArchive::load);
        model.Serialize(ar);
    } catch (CException* e) {
        e->Delete();
        return false;
    }
    return true;
}

void SetTag(YSMObject& m, const char* key, const char* value) { m.m_tags.emplace_back(Tag(key, value)); }

void Put16(std::vector<uint8_t>& b, size_t at, int16_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8);
}

void ExpectSameModel(const YSMObject& a, const YSMObject& b, float tolerance)
{
    ASSERT_EQ(a.m_faces.size(), b.m_faces.size());
    EXPECT_EQ(0, memcmp(a.m_faces.data(), b.m_faces.data(), a.m_faces.size() * sizeof(YSMFace)));
    ASSERT_EQ(a.m_resources.size(), b.m_resources.size());
    for (size_t i = 0; i < a.m_resources.size(); ++i) {
        EXPECT_EQ(a.m_resources[i]->name, b.m_resources[i]->name);
        EXPECT_EQ(a.m_resources[i]->word, b.m_resources[i]->word);
    }
    ASSERT_EQ(a.m_frames.size(), b.m_frames.size());
    for (size_t f = 0; f < a.m_frames.size(); ++f) {
        const YSMFrame &x = *a.m_frames[f], &y = *b.m_frames[f];
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(x.words[0], y.words[0]);
        EXPECT_EQ(x.words[1], y.words[1]);
        EXPECT_EQ(x.present, y.present);
        ASSERT_EQ(x.positions.size(), y.positions.size());
        for (size_t i = 0; i < x.positions.size(); ++i) EXPECT_NEAR(x.positions[i], y.positions[i], tolerance);
        ASSERT_EQ(a.m_groups.size(), y.poses.size());
        EXPECT_EQ(1.0f, y.poses[0].v[9]);
    }
    ASSERT_EQ(a.m_anims.size(), b.m_anims.size());
    for (size_t i = 0; i < a.m_anims.size(); ++i) {
        EXPECT_EQ(a.m_anims[i]->name, b.m_anims[i]->name);
        EXPECT_EQ(a.m_anims[i]->flags, b.m_anims[i]->flags);
        EXPECT_EQ(a.m_anims[i]->keyFrames, b.m_anims[i]->keyFrames);
        EXPECT_EQ(a.m_anims[i]->keyDurations, b.m_anims[i]->keyDurations);
        EXPECT_FLOAT_EQ(a.m_anims[i]->total, b.m_anims[i]->total);
    }
    ASSERT_EQ(a.m_groups.size(), b.m_groups.size());
    for (size_t g = 0; g < a.m_groups.size(); ++g) {
        const YSMGroup &x = *a.m_groups[g], &y = *b.m_groups[g];
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(x.flags, y.flags);
        EXPECT_EQ(x.faces, y.faces);
        ASSERT_EQ(x.skins.size(), y.skins.size());
        for (size_t s = 0; s < x.skins.size(); ++s) {
            EXPECT_EQ(x.skins[s]->name, y.skins[s]->name);
            EXPECT_EQ(x.skins[s]->resource, y.skins[s]->resource);
        }
        ASSERT_EQ(x.tags.size(), y.tags.size());
    }
    ASSERT_EQ(a.m_tags.size(), b.m_tags.size());
    EXPECT_EQ(b.m_tagCount, static_cast<int16_t>(b.m_tags.size()));
}
}  // namespace

TEST(ModelStream, EveryFormRoundTrips)
{
    struct Case {
        const char* vert;
        const char* zip;
        int16_t format, compression;
        float tolerance;
    } cases[] = {
        {"No", "No", 1, 0, 0.0f},
        {"n", "Yes", 1, 1, 0.0f},
        {"G64", "n", 2, 0, 1.0f / 64},
        {"grid64", "y", 2, 1, 1.0f / 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.vert) + "/" + c.zip);
        YSMObject model;
        MakeSmall(model);
        SetTag(model, "VertCompress", c.vert);
        SetTag(model, "ZCompress", c.zip);
        std::vector<uint8_t> bytes = Store(model);
        EXPECT_EQ(0, memcmp(bytes.data(), "YSMO", 4));
        EXPECT_EQ(c.format, bytes[4]);
        EXPECT_EQ(c.compression, bytes[6]);
        YSMObject loaded;
        ASSERT_TRUE(Load(loaded, bytes));
        EXPECT_EQ(c.format, loaded.m_vertexFormat);
        EXPECT_EQ(c.compression, loaded.m_compression);
        EXPECT_EQ(8, loaded.m_vertexCount);
        EXPECT_EQ(4, loaded.m_faceCount);
        EXPECT_EQ(0, loaded.m_sourceKind);
        ExpectSameModel(model, loaded, c.tolerance);
        // Stored again, the loaded model gives the same bytes.
        EXPECT_EQ(bytes, Store(loaded));
    }
}

TEST(ModelStream, TagsChooseTheFormsLaterTagsWin)
{
    struct Case {
        std::vector<std::pair<const char*, const char*>> tags;
        uint8_t format, compression;
    } cases[] = {
        {{}, 1, 0},
        {{{"VertCompress", "maybe"}}, 1, 0},
        {{{"VertCompress", "G64"}, {"VertCompress", "N"}}, 1, 0},
        {{{"VertCompress", "g64"}, {"ZCompress", "Y"}, {"ZCompress", "perhaps"}}, 2, 1},
        {{{"vertcompress", "G64"}}, 1, 0},  // keys are compared exactly
    };
    for (const Case& c : cases) {
        YSMObject model;
        MakeSmall(model);
        for (auto& t : c.tags) SetTag(model, t.first, t.second);
        std::vector<uint8_t> bytes = Store(model);
        EXPECT_EQ(c.format, bytes[4]);
        EXPECT_EQ(c.compression, bytes[6]);
    }
}

TEST(ModelStream, Grid64ClampsAndTruncates)
{
    YSMObject model;
    MakeSmall(model);
    model.m_frames[0]->positions[0] = 600.0f;
    model.m_frames[0]->positions[1] = -600.0f;
    model.m_frames[0]->positions[2] = 0.02f;
    model.m_frames[0]->positions[3] = -0.02f;
    SetTag(model, "VertCompress", "G64");
    YSMObject loaded;
    ASSERT_TRUE(Load(loaded, Store(model)));
    const std::vector<float>& p = loaded.m_frames[0]->positions;
    EXPECT_EQ(511.875f, p[0]);
    EXPECT_EQ(-511.875f, p[1]);
    EXPECT_EQ(0.015625f, p[2]);
    EXPECT_EQ(-0.015625f, p[3]);
    for (float v : p) EXPECT_EQ(v, std::trunc(v * 64.0f) / 64.0f);
}

TEST(ModelStream, IncompressibleBodyIsStoredRaw)
{
    YSMObject model;
    model.m_resources.emplace_back(new YSMResource);
    // A name of random bytes makes a body zlib cannot shrink.
    std::string noise;
    uint32_t seed = 12345;
    for (int i = 0; i < 600; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise += static_cast<char>((seed >> 16) & 0xFF);
    }
    model.m_resources[0]->name = CString(noise.data(), static_cast<int>(noise.size()));
    SetTag(model, "ZCompress", "Yes");
    std::vector<uint8_t> bytes = Store(model);
    ASSERT_GT(bytes.size(), 30u);
    EXPECT_EQ(1, bytes[6]);
    EXPECT_EQ(0, memcmp(&bytes[22], &bytes[26], 4));  // unpacked == stored
    YSMObject loaded;
    ASSERT_TRUE(Load(loaded, bytes));
    EXPECT_EQ(model.m_resources[0]->name, loaded.m_resources[0]->name);
}

// Every obvious fault of a file is refused, and leaves the model empty.
TEST(ModelStream, HostileFilesAreRefused)
{
    YSMObject good;
    MakeSmall(good);
    const std::vector<uint8_t> plain = Store(good);
    auto patched = [&](size_t at, int16_t value) {
        std::vector<uint8_t> b = plain;
        Put16(b, at, value);
        return b;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases = {
        {"wrong magic", [&] { auto b = plain; b[3] = 'X'; return b; }()},
        {"empty file", {}},
        {"header cut", std::vector<uint8_t>(plain.begin(), plain.begin() + 10)},
        {"format 3", patched(4, 3)},
        {"compression 2", patched(6, 2)},
        {"negative vertex count", patched(8, -1)},
        {"negative face count", patched(10, -4)},
        {"negative group count", patched(18, -3)},
        {"more faces than the body holds", patched(10, 300)},
        {"face vertex past the count", patched(22 + 36 + 2, 8)},
        {"negative face vertex", patched(22, -1)},
        {"face group past the count", patched(22 + 32, 3)},
        {"negative face group", patched(22 + 36 * 2 + 32, -1)},
        {"fewer vertices than faces use", patched(8, 7)},
    };
    {
        YSMObject m;
        MakeSmall(m);
        m.m_groups[0]->skins[1]->resource = 2;
        cases.push_back({"skin resource past the count", Store(m)});
    }
    {
        YSMObject m;
        MakeSmall(m);
        m.m_anims[0]->keyFrames[1] = 2;
        cases.push_back({"key frame past the count", Store(m)});
    }
    for (float bad : {0.0f, -0.1f, std::nanf("")}) {
        YSMObject m;
        MakeSmall(m);
        m.m_anims[0]->keyDurations[0] = bad;
        cases.push_back({"key duration not above 0", Store(m)});
    }
    {
        YSMObject m;
        MakeSmall(m);
        m.m_anims[0]->keyFrames.clear();
        m.m_anims[0]->keyDurations.clear();
        cases.push_back({"animation without keys", Store(m)});
    }
    YSMObject zipped;
    MakeSmall(zipped);
    SetTag(zipped, "ZCompress", "Yes");
    const std::vector<uint8_t> packed = Store(zipped);
    ASSERT_NE(0, memcmp(&packed[22], &packed[26], 4));
    cases.push_back({"inflate fails", [&] { auto b = packed; b[34] ^= 0xFF; b[40] ^= 0x55; return b; }()});
    cases.push_back({"unpacked size wrong", [&] { auto b = packed; b[22] += 1; return b; }()});
    cases.push_back({"stored bytes cut", std::vector<uint8_t>(packed.begin(), packed.end() - 5)});
    cases.push_back({"huge unpacked size", [&] { auto b = packed; b[25] = 0x7F; return b; }()});

    for (const Case& c : cases) {
        YSMObject model;
        MakeSmall(model);
        YSMHandle* handle = model.CreateHandle();
        EXPECT_FALSE(Load(model, c.bytes)) << c.what;
        EXPECT_EQ(0u, model.m_faces.size() + model.m_groups.size() + model.m_frames.size()) << c.what;
        EXPECT_EQ(0, model.m_vertexCount) << c.what;
        EXPECT_FALSE(handle->HasModel()) << c.what;
        delete handle;
    }
    // Every shorter body is refused too.
    for (size_t n = 22; n < plain.size(); ++n) {
        YSMObject model;
        EXPECT_FALSE(Load(model, std::vector<uint8_t>(plain.begin(), plain.begin() + n))) << n;
    }
}

TEST(ModelStream, FilesLoadShellScalesAndRefuseOnFailure)
{
    YSMObject model;
    MakeSmall(model);
    model.m_groups[0]->tags.emplace_back(Tag("ShellScale", "2.5"));
    model.m_groups[0]->tags.emplace_back(Tag("shellscale", "0.75"));
    ScratchFolder folder;
    const std::string path = folder / "shell.ysm";
    ASSERT_TRUE(model.SaveFile(path.c_str()));
    YSMObject loaded;
    ASSERT_TRUE(loaded.LoadFile(path.c_str()));
    EXPECT_FLOAT_EQ(0.75f, loaded.m_groups[0]->shellScale);
    EXPECT_FLOAT_EQ(1.0f, loaded.m_groups[1]->shellScale);
    EXPECT_TRUE(loaded.m_groups[2]->faces.empty());
    EXPECT_EQ(0, loaded.FindTag("AUTHOR"));
    EXPECT_EQ(-1, loaded.FindTag("Nobody"));
    CString key, value;
    uint8_t type = 0;
    EXPECT_TRUE(loaded.GetTag(0, &key, &value, &type));
    EXPECT_EQ(CString("rcv"), value);
    EXPECT_EQ(1, type);
    EXPECT_FALSE(loaded.GetTag(1, &key, &value, &type));

    std::string bytes = folder.Read("shell.ysm");
    bytes[0] = 'Z';
    folder.Write("shell.ysm", bytes);
    EXPECT_FALSE(loaded.LoadFile(path.c_str()));
    EXPECT_EQ(0, loaded.m_groupCount);
    EXPECT_FALSE(loaded.LoadFile((folder / "missing.ysm").c_str()));
    // Any case of ".fmf" takes the mesh-set road; this one is no mesh set.
    folder.Write("model.FmF", bytes);
    EXPECT_FALSE(loaded.LoadFile((folder / "model.FmF").c_str()));
}
