// The sample models the data builder writes: the groups the game looks up,
// every "YSMO" form, the preparation chain, the mesh sets' import, and
// hostile mesh-set files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "assets3d/YFMFMeshSet.h"
#include "assets3d/YFMFormat.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "tools/YFMFWriter.h"
#include "tools/YSampleModels.h"

namespace {
std::string ModelPath(const std::string& name) { return std::string(RCV_DATA_DIR) + "/models/" + name; }

std::vector<uint8_t> Bytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return bytes;
    int c;
    while ((c = fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    fclose(f);
    return bytes;
}

std::vector<std::string> YsmFiles()
{
    std::vector<std::string> files = {"arrow.ysm", "target.ysm"};
    for (const auto& plane : YSampleModels::Planes()) files.push_back(std::string(plane.key) + ".ysm");
    return files;
}

// The renderer's preparation, in its order.
void Prepare(YSMObject& model)
{
    const uint8_t permutation[3] = {1, 2, 0};
    const float signs[3] = {-1.0f, 1.0f, 1.0f};
    model.RemapAxes(permutation, signs);
    model.WeldAndComputeNormals();
    model.BuildPreShell();
    model.ComputeBounds();
}

void SetTag(YSMObject& model, const char* key, const char* value)
{
    int16_t at = model.FindTag(key);
    if (at < 0) {
        model.m_tags.emplace_back(new YSMTag);
        at = static_cast<int16_t>(model.m_tags.size() - 1);
        model.m_tags[at]->key = key;
    }
    model.m_tags[at]->value = value;
}
}  // namespace

TEST(SampleModels, PlanesHaveEveryGroupTheGameLooksUp)
{
    const char* groups[] = {"Normal", "Camera", "Normal_prop", "Propeller", "Normal_wheels", "Normal_wheel_left",
                            "Normal_wheel_right", "Normal_wing_left", "Normal_wing_right", "Normal_tail"};
    for (const auto& plane : YSampleModels::Planes()) {
        SCOPED_TRACE(plane.key);
        YSMObject model;
        ASSERT_TRUE(model.LoadFile(ModelPath(std::string(plane.key) + ".ysm").c_str()));
        for (const char* g : groups) EXPECT_GE(model.FindGroup(g), 0) << g;
        const int16_t livery = model.FindGroup(plane.livery);
        ASSERT_GE(livery, 0);
        EXPECT_EQ(2u, model.m_groups[livery]->skins.size());
        EXPECT_EQ(2, model.m_frameCount);
        Prepare(model);
        YSMHandle* handle = model.CreateHandle();
        EXPECT_TRUE(handle->SelectGroup("normal", 16.0f));
        // The camera is a marker quad with a real pose; the wheels hang below the body.
        const int16_t camera = model.FindGroup("Camera");
        EXPECT_TRUE(handle->IsGroupMarker(camera));
        EXPECT_GT(handle->GetGroupBounds(camera, 0)->v[9], 0.1f);
        handle->SetGroupSkin(livery, 1);
        EXPECT_EQ(1, handle->GetGroupSkin(livery));
        const YSMFrame& frame = *model.m_frames[0];
        EXPECT_LT(frame.boxAMin[1], frame.boxAMax[1]);
        EXPECT_LT(frame.boxAMin[1], frame.boxBMin[1]);  // box B leaves the wheels out
        handle->PrepareInstance();
        delete handle;
    }
}

TEST(SampleModels, EveryModelRoundTripsThroughEveryForm)
{
    const char* forms[4][2] = {{"No", "No"}, {"No", "Yes"}, {"G64", "No"}, {"G64", "Yes"}};
    const std::string path = "/tmp/rcv_sample_models_" + std::to_string(getpid()) + ".ysm";
    for (const std::string& file : YsmFiles()) {
        YSMObject original;
        ASSERT_TRUE(original.LoadFile(ModelPath(file).c_str())) << file;
        for (const auto& form : forms) {
            SCOPED_TRACE(file + " " + form[0] + "/" + form[1]);
            YSMObject model;
            ASSERT_TRUE(model.LoadFile(ModelPath(file).c_str()));
            SetTag(model, "VertCompress", form[0]);
            SetTag(model, "ZCompress", form[1]);
            ASSERT_TRUE(model.SaveFile(path.c_str()));
            YSMObject back;
            ASSERT_TRUE(back.LoadFile(path.c_str()));
            EXPECT_EQ(strcmp(form[0], "G64") == 0 ? 2 : 1, back.m_vertexFormat);
            EXPECT_EQ(strcmp(form[1], "Yes") == 0 ? 1 : 0, back.m_compression);
            ASSERT_EQ(original.m_faces.size(), back.m_faces.size());
            EXPECT_EQ(0, memcmp(original.m_faces.data(), back.m_faces.data(), back.m_faces.size() * sizeof(YSMFace)));
            ASSERT_EQ(original.m_groups.size(), back.m_groups.size());
            ASSERT_EQ(original.m_frames.size(), back.m_frames.size());
            for (size_t f = 0; f < back.m_frames.size(); ++f)
                for (size_t i = 0; i < back.m_frames[f]->positions.size(); ++i)
                    EXPECT_NEAR(original.m_frames[f]->positions[i], back.m_frames[f]->positions[i], 1.0f / 64);
        }
    }
    remove(path.c_str());
}

TEST(SampleModels, TheBearPlaysItsAnimationsAndTheTreeHasDetailLevels)
{
    YSMObject bear;
    ASSERT_TRUE(bear.LoadFile(ModelPath("bear.fmf").c_str()));
    EXPECT_NE(0, bear.m_sourceKind);
    EXPECT_GE(bear.FindGroup("Normal"), 0);
    Prepare(bear);
    YSMHandle* handle = bear.CreateHandle();
    handle->SetAnimated(true);
    for (const auto& a : YSampleModels::BearAnimations()) {
        const int16_t index = handle->FindAnimation(a.first);
        ASSERT_GE(index, 0) << a.first;
        EXPECT_EQ(a.second, handle->GetAnimationKeyCount(index));
    }
    // A one-shot "attack_02" reaches its key 6 and stops on its last key.
    const int16_t attack = handle->FindAnimation("attack_02");
    handle->PlayAnimation(attack, 1.0f, 0, 0, 0, 1);
    int keysSeen = 0;
    for (int tick = 0; tick < 100 && handle->IsPlaying(); ++tick) {
        handle->UpdateAnimations(0.02f);
        keysSeen |= 1 << handle->GetAnimationKey(attack);
    }
    EXPECT_FALSE(handle->IsPlaying());
    EXPECT_NE(0, keysSeen & (1 << 6));
    EXPECT_EQ(7, handle->GetAnimationKey(attack));
    delete handle;

    YSMObject tree;
    ASSERT_TRUE(tree.LoadFile(ModelPath("tree.fmf").c_str()));
    const int16_t crown = tree.FindGroup("Normal");
    ASSERT_GE(crown, 0);
    // 40 vertices from 40 %: 16 .. 40.
    EXPECT_EQ(25u, tree.m_groups[crown]->levels.size());
    EXPECT_LT(tree.m_groups[crown]->levels.front().faceCount, tree.m_groups[crown]->levels.back().faceCount);
    EXPECT_EQ(1u, tree.m_groups[tree.FindGroup("Trunk")]->levels.size());
    // The model keeps the mesh entries its levels are selected through:
    // the most vertices up close, the fewest far away.
    const float eye[3] = {0, 0, 0}, near[3] = {5, 0, 0}, far[3] = {5000, 0, 0};
    ASSERT_NE(nullptr, tree.GetDetailEntry(crown));
    EXPECT_EQ(24, YSMObject::SelectDetailLevel(eye, 45.0f, near, tree.GetDetailEntry(crown), 0, false));
    EXPECT_EQ(0, YSMObject::SelectDetailLevel(eye, 45.0f, far, tree.GetDetailEntry(crown), 0, false));
    EXPECT_EQ(nullptr, tree.GetDetailEntry(tree.m_groupCount));
    Prepare(tree);
}

TEST(SampleModels, MeshSetFilesRoundTripAndRefuseDamage)
{
    for (const char* name : {"tree.fmf", "bear.fmf"}) {
        const std::vector<uint8_t> bytes = Bytes(ModelPath(name));
        ASSERT_GT(bytes.size(), 400u);
        YFMFMeshSet set;
        ASSERT_TRUE(YFMFormat::LoadFromMemory(&set, bytes.data(), bytes.size())) << name;
        std::vector<uint8_t> again;
        YFMFWriter::Write(set, again);
        EXPECT_EQ(bytes, again) << name;
        // Shorter files are refused and leave the set as it was: every length
        // through the first mesh part's header, then every seventh.
        for (size_t n = 0; n < bytes.size(); n += n < 1024 ? 1 : 7) {
            YFMFMeshSet cut;
            ASSERT_FALSE(YFMFormat::LoadFromMemory(&cut, bytes.data(), n)) << name << " " << n;
            ASSERT_EQ(0, cut.GetMeshCount() + cut.GetGroupCount());
        }
    }
    // Counts that the file cannot hold.
    const std::vector<uint8_t> tree = Bytes(ModelPath("tree.fmf"));
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
    } cases[] = {
        {"mesh count", 12, 0x7FFFFFFF}, {"negative group count", 16, 0xFFFFFFFF}, {"part count", 24, 0xFFFFFFFF},
        {"refine records", 76, 0x10000000}, {"vertex count", 380, 0x40000000},
        {"texture pairs", 404, 0x40000000},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b = tree;
        for (int i = 0; i < 4; ++i) b[c.at + i] = static_cast<uint8_t>(c.value >> (8 * i));
        YFMFMeshSet set;
        EXPECT_FALSE(YFMFormat::LoadFromMemory(&set, b.data(), b.size())) << c.what;
    }
}
