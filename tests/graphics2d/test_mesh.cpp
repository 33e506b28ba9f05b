#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>

#include "foundation/YResourceVisitor.h"
#include "foundation/test_catalog_bytes.h"
#include "graphics2d/YMesh.h"
#include "graphics2d/YModel.h"
#include "graphics2d/YModelFrame.h"

namespace {

struct Vertex {
    float x, y, z;
};

ArchiveBytes MeshFile(const std::vector<Vertex>& vertices, DWORD records, const char* magic = "D2MY")
{
    ArchiveBytes b;
    b.Raw(magic, 4).U32((DWORD)vertices.size()).U32(records);
    for (const Vertex& v : vertices) {
        for (float f : {v.x, v.y, v.z}) {
            DWORD bits;
            memcpy(&bits, &f, 4);
            b.U32(bits);
        }
    }
    for (DWORD r = 0; r < records * 32; ++r) b.U8((BYTE)r);
    return b;
}

class MeshTest : public ::testing::Test {
protected:
    std::string Write(const char* name, const ArchiveBytes& bytes)
    {
        TempFolder::Write(folder / name, bytes.bytes);
        return folder / name;
    }
    TempFolder folder;
};

TEST_F(MeshTest, RectangleOfFourVerticesIsItsOwnFootprint)
{
    YMesh mesh;
    std::string path = Write("box.msh", MeshFile({{-1, -2, 0}, {1, -2, 0}, {1, 2, 0}, {-1, 2, 0}}, 2));
    ASSERT_EQ(mesh.Load(path.c_str()), 1);
    EXPECT_EQ(mesh.GetVertexCount(), 4);
    EXPECT_EQ(mesh.GetRecordCount(), 2);
    EXPECT_EQ(mesh.GetRecords()[63], 63);
    const float expected[4][2] = {{-1, -2}, {1, -2}, {1, 2}, {-1, 2}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_FLOAT_EQ(mesh.GetFootprintX(k), expected[k][0]) << k;
        EXPECT_FLOAT_EQ(mesh.GetFootprintY(k), expected[k][1]) << k;
    }
    EXPECT_FLOAT_EQ(mesh.GetLowestZ(), 0.0f);
    EXPECT_FLOAT_EQ(mesh.GetHighestZ(), 0.0f);
}

TEST_F(MeshTest, TurnedRectangleIsFoundAtItsAngle)
{
    // A 4 x 1 rectangle turned by 44 degrees: the 44-degree trial fits it best.
    const float a = -44.0f * 3.141592f / 180.0f;
    std::vector<Vertex> vertices;
    const float corners[4][2] = {{-2, -0.5f}, {2, -0.5f}, {2, 0.5f}, {-2, 0.5f}};
    for (const auto& c : corners)
        vertices.push_back({c[0] * cosf(a) - c[1] * sinf(a), c[0] * sinf(a) + c[1] * cosf(a), 3});
    vertices.push_back({0, 0, -7});
    YMesh mesh;
    ASSERT_EQ(mesh.Load(Write("turned.msh", MeshFile(vertices, 0)).c_str()), 1);
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(mesh.GetFootprintX(k), vertices[k].x, 1e-4) << k;
        EXPECT_NEAR(mesh.GetFootprintY(k), vertices[k].y, 1e-4) << k;
    }
    EXPECT_FLOAT_EQ(mesh.GetLowestZ(), -7.0f);
    EXPECT_FLOAT_EQ(mesh.GetHighestZ(), 3.0f);
}

TEST_F(MeshTest, NoVerticesLeaveTheSentinels)
{
    YMesh mesh;
    ASSERT_EQ(mesh.Load(Write("empty.msh", MeshFile({}, 0)).c_str()), 1);
    EXPECT_FLOAT_EQ(mesh.GetLowestZ(), 2147483648.0f);
    EXPECT_FLOAT_EQ(mesh.GetHighestZ(), -2147483648.0f);
    EXPECT_FLOAT_EQ(mesh.GetFootprintX(0), 2147483648.0f);
    EXPECT_FLOAT_EQ(mesh.GetFootprintY(0), 2147483648.0f);
    EXPECT_FLOAT_EQ(mesh.GetFootprintX(2), -2147483648.0f);
}

TEST_F(MeshTest, SingleVertexGivesEqualHeights)
{
    YMesh mesh;
    ASSERT_EQ(mesh.Load(Write("one.msh", MeshFile({{1, 1, 5}}, 0)).c_str()), 1);
    EXPECT_FLOAT_EQ(mesh.GetLowestZ(), 5.0f);
    EXPECT_FLOAT_EQ(mesh.GetHighestZ(), 5.0f);
}

TEST_F(MeshTest, BadFilesAreRefusedAndKeepTheEarlierMesh)
{
    YMesh mesh;
    ASSERT_EQ(mesh.Load(Write("good.msh", MeshFile({{1, 2, 3}}, 1)).c_str()), 1);

    ArchiveBytes shortFile = MeshFile({{1, 2, 3}, {4, 5, 6}}, 1);
    shortFile.bytes.resize(shortFile.bytes.size() - 1);
    ArchiveBytes longFile = MeshFile({{1, 2, 3}}, 1);
    longFile.U8(0);
    ArchiveBytes hugeCounts;
    hugeCounts.Raw("D2MY", 4).U32(0xFFFFFFFF).U32(0xFFFFFFFF);
    ArchiveBytes headerOnly;
    headerOnly.Raw("D2MY", 4).U32(0);

    struct Case {
        const char* what;
        std::string path;
    } cases[] = {
        {"wrong magic", Write("magic.msh", MeshFile({{1, 2, 3}}, 0, "YM2D"))},
        {"short", Write("short.msh", shortFile)},
        {"padded", Write("long.msh", longFile)},
        {"huge counts", Write("huge.msh", hugeCounts)},
        {"cut header", Write("cut.msh", headerOnly)},
        {"missing", folder / "missing.msh"},
        {"empty path", ""},
        {"folder", folder.Path()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mesh.Load(c.path.c_str()), 0) << c.what;
        EXPECT_EQ(mesh.GetVertexCount(), 1) << c.what;
        EXPECT_EQ(mesh.GetRecordCount(), 1) << c.what;
        EXPECT_FLOAT_EQ(mesh.GetVertices()[2], 3.0f) << c.what;
    }
}

TEST_F(MeshTest, FolderAndFileNameMakeThePath)
{
    mkdir((folder / "data").c_str(), 0755);
    TempFolder::Write(folder / "data/rock", MeshFile({{0, 0, 1}}, 0).bytes);
    YMesh mesh;
    mesh.SetFileName("rock");
    EXPECT_EQ(mesh.LoadFromFile(CString((folder / "data").c_str())), 1);
    EXPECT_EQ(std::string((LPCTSTR)mesh.GetFolder()), folder / "data");
    EXPECT_EQ(mesh.LoadFromFile(CString("")), 0);  // "rock" in the current folder

    CStringArray directories;
    EXPECT_FALSE(mesh.LoadFromDirectories(&directories, 0));
    directories.Add((folder / "data").c_str());
    directories.Add("elsewhere");
    EXPECT_TRUE(mesh.LoadFromDirectories(&directories, 0));
    EXPECT_EQ(std::string((LPCTSTR)mesh.GetFolder()), folder / "data");
    EXPECT_TRUE(mesh.LoadFromPath(CString((folder / "data").c_str()), 0));
    EXPECT_FALSE(mesh.LoadFromPath(CString((folder / "nothing").c_str()), 0));
}

TEST(MeshArchive, FieldsInTheirStoredOrder)
{
    ArchiveBytes golden;
    golden.I32(1).I32(10).Str("rock").Str("stone").U8(1).U8(2).U8(3).I32(20).I32(30).I32(40).I32(60).I32(50);
    CMemFile memory;
    memory.Write(golden.bytes.data(), (UINT)golden.bytes.size());
    memory.SeekToBegin();
    YMesh mesh;
    {
        CArchive ar(&memory, CArchive::load);
        mesh.Serialize(ar);
    }
    EXPECT_EQ(mesh.m_valueA, 10);
    EXPECT_EQ(std::string((LPCTSTR)mesh.GetFileName()), "rock");
    EXPECT_EQ(mesh.m_flags[2], 3);
    EXPECT_EQ(mesh.m_valueF, 60);
    EXPECT_EQ(mesh.m_valueE, 50);

    CMemFile out;
    {
        CArchive ar(&out, CArchive::store);
        mesh.Serialize(ar);
    }
    ASSERT_EQ(out.GetLength(), golden.bytes.size());
    std::vector<BYTE> stored(golden.bytes.size());
    out.SeekToBegin();
    out.Read(stored.data(), (UINT)stored.size());
    EXPECT_EQ(stored, golden.bytes);
}

TEST(ModelArchive, FramesAreObjectsWithTheirValuesReordered)
{
    ArchiveBytes golden;
    golden.I32(1).Str("biplane").U8(0).U8(1).U8(0).I32(1).I32(2).I32(3).I32(4);
    golden.U16(2);
    DWORD half;
    float k = 0.5f;
    memcpy(&half, &k, 4);
    golden.NewClass(1, "YModelFrame").Str("idle").Str("").U32(0x3F800000).I32(9).I32(6).I32(7).I32(8);
    golden.ClassRef(1).Str("roll").Str("r").U32(half).I32(0).I32(0).I32(0).I32(0);

    CMemFile memory;
    memory.Write(golden.bytes.data(), (UINT)golden.bytes.size());
    memory.SeekToBegin();
    YModel model;
    {
        CArchive ar(&memory, CArchive::load);
        model.Serialize(ar);
    }
    ASSERT_EQ(model.GetFrames().GetSize(), 2);
    YModelFrame* idle = model.GetFrames()[0];
    EXPECT_FLOAT_EQ(idle->m_valueK, 1.0f);
    EXPECT_EQ(idle->m_valueS, 9);
    EXPECT_EQ(idle->m_valueP, 6);
    EXPECT_EQ(idle->m_valueR, 8);
    EXPECT_FLOAT_EQ(model.GetFrames()[1]->m_valueK, 0.5f);
    EXPECT_EQ(model.m_valueJ, 4);

    CMemFile out;
    {
        CArchive ar(&out, CArchive::store);
        model.Serialize(ar);
    }
    std::vector<BYTE> stored(out.GetLength());
    out.SeekToBegin();
    out.Read(stored.data(), (UINT)stored.size());
    EXPECT_EQ(stored, golden.bytes);
}

TEST(ModelArchive, AFrameOfAnotherModelIsRefused)
{
    // Two model bodies in one archive, as a catalog holds them: the second
    // lists the first one's frame (object 2), then its own twice.
    ArchiveBytes first;
    first.I32(1).Str("a").U8(0).U8(0).U8(0).I32(0).I32(0).I32(0).I32(0).U16(1);
    first.NewClass(1, "YModelFrame").Str("idle").Str("").U32(0).I32(0).I32(0).I32(0).I32(0);
    struct Case {
        const char* what;
        ArchiveBytes second;
    } cases[] = {
        {"another model's frame", ArchiveBytes().I32(1).Str("b").U8(0).U8(0).U8(0).I32(0).I32(0).I32(0).I32(0).U16(1).ObjectRef(2)},
        {"its own frame twice", ArchiveBytes().I32(1).Str("b").U8(0).U8(0).U8(0).I32(0).I32(0).I32(0).I32(0).U16(2)
                                    .ClassRef(1).Str("x").Str("").U32(0).I32(0).I32(0).I32(0).I32(0).ObjectRef(3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ArchiveBytes both = first;
        both.Add(c.second);
        YModel one, two;
        EXPECT_EQ(CArchiveException::badIndex, ReadBodies(both.bytes, one, two));
        ASSERT_EQ(one.GetFrames().GetSize(), 1);
        for (int i = 0; i < two.GetFrames().GetSize(); ++i) EXPECT_NE(two.GetFrames()[i], one.GetFrames()[0]);
    }
}

class KindVisitor : public YResourceVisitor {
public:
    LONG VisitMesh(YMesh*) override { return 4; }
    LONG VisitModel(YModel*) override { return 19; }
};

TEST(MeshAndModel, AcceptCallsTheirOwnVisits)
{
    KindVisitor visitor;
    YMesh mesh;
    YModel model;
    EXPECT_EQ(mesh.Accept(&visitor), 4);
    EXPECT_EQ(model.Accept(&visitor), 19);
    YResourceVisitor plain;
    EXPECT_EQ(mesh.Accept(&plain), 0);
}

}  // namespace
