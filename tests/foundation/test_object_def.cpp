#include <gtest/gtest.h>

#include "foundation/YObjectDef.h"
#include "foundation/YObjectDefList.h"
#include "foundation/test_catalog_bytes.h"

namespace {

std::string S(const CString& text) { return std::string((LPCTSTR)text); }

class CountedDef : public YObjectDef {
    DECLARE_SERIAL(CountedDef)
public:
    ~CountedDef() override { ++destroyed; }
    static int destroyed;
};
IMPLEMENT_SERIAL(CountedDef, YObjectDef, 1)
int CountedDef::destroyed = 0;

YObjectDef* Make(const char* name, YObjectDef* base = nullptr)
{
    YObjectDef* definition = base ? static_cast<YObjectDef*>(base->GetRuntimeClass()->CreateObject()) : new YObjectDef;
    if (base) definition->InheritFrom(base);
    definition->SetName(name);
    return definition;
}

TEST(ObjectDef, DerivedDefinitionCopiesPairsAndChildren)
{
    YObjectDef* base = new CountedDef;
    base->SetName("Toy");
    base->Set("mass", "2");
    YObjectDef* child = new CountedDef;
    child->SetName("Wheel");
    child->Set("size", "1");
    child->SetParent(base);
    base->GetChildren().AddTail(child);

    YObjectDef ball;
    ball.SetName("Ball");
    ball.InheritFrom(base);
    EXPECT_EQ(S(ball.GetName()), "Ball");
    EXPECT_EQ(S(ball.GetBaseName()), "Toy");
    EXPECT_EQ(ball.GetBase(), base);
    EXPECT_EQ(ball.GetInt("mass"), 2);
    ASSERT_EQ(ball.GetChildren().GetCount(), 1);
    YObjectDef* copy = ball.GetChildren().GetHead();
    EXPECT_NE(copy, child);
    EXPECT_EQ(copy->GetRuntimeClass(), RUNTIME_CLASS(CountedDef));
    EXPECT_EQ(copy->GetParent(), &ball);
    EXPECT_EQ(S(copy->GetName()), "Wheel");
    EXPECT_EQ(copy->GetInt("size"), 1);

    // Later changes of the base do not reach the copy.
    base->Set("mass", "5");
    EXPECT_EQ(ball.GetInt("mass"), 2);
    ball.Set("mass", "3");
    EXPECT_EQ(base->GetInt("mass"), 5);

    EXPECT_TRUE(ball.IsDerivedFrom(base));
    EXPECT_TRUE(ball.IsDerivedFrom(CString("TOY")));
    EXPECT_FALSE(base->IsDerivedFrom(CString("Toy")));
    delete base;
}

TEST(ObjectDef, ScriptTextOfADerivedDefinition)
{
    YObjectDef toy;
    toy.SetName("Toy");
    YObjectDef ball;
    ball.SetName("Ball");
    ball.InheritFrom(&toy);
    ball.Set("mass", "2");
    EXPECT_EQ(S(ball.ToScript(0)), "OBJECT Ball:Toy\n{\n    set mass \"2\"\n}\n");

    YObjectDef* wheel = new YObjectDef;
    wheel->SetName("Wheel");
    wheel->Set("size", "big one");
    ball.GetChildren().AddTail(wheel);
    EXPECT_EQ(S(ball.ToScript(2)),
              "  OBJECT Ball:Toy\n  {\n      set mass \"2\"\n      OBJECT Wheel\n      {\n          set size \"big one\"\n"
              "      }\n  }\n");
}

TEST(ObjectDef, DerivationFollowsTheChainWithoutRegardToCase)
{
    YObjectDef* a = Make("Vehicle");
    YObjectDef* b = Make("Plane", a);
    YObjectDef* c = Make("Biplane", b);
    struct Case {
        YObjectDef* definition;
        const char* name;
        BOOL derived;
    } cases[] = {
        {c, "plane", TRUE}, {c, "VEHICLE", TRUE}, {c, "Biplane", FALSE},
        {b, "vehicle", TRUE}, {a, "Vehicle", FALSE}, {c, "Boat", FALSE},
    };
    for (const Case& k : cases) EXPECT_EQ(k.definition->IsDerivedFrom(CString(k.name)), k.derived) << k.name;
    EXPECT_TRUE(c->IsDerivedFrom(a));
    EXPECT_FALSE(a->IsDerivedFrom(c));

    YObjectDefList list;
    list.AddTail(a);
    list.AddTail(b);
    list.AddTail(c);
    YObjectDefList derived;
    list.FindDerived("Vehicle", derived);
    ASSERT_EQ(derived.GetCount(), 2);
    EXPECT_EQ(derived.GetHead(), b);
    EXPECT_EQ(list.Find("BIPLANE"), c);
    EXPECT_EQ(list.Find("Boat"), nullptr);
    list.DeleteByBaseName("plane");
    EXPECT_EQ(list.GetCount(), 2);
    YObjectDef stranger;
    EXPECT_EQ(list.Remove(&stranger), 0);
    EXPECT_EQ(list.Remove(b), 1);
    EXPECT_EQ(list.GetCount(), 1);
    list.DeleteAll();
    EXPECT_TRUE(list.IsEmpty());
}

TEST(ObjectDef, ReleaseDeletesAtZero)
{
    CountedDef::destroyed = 0;
    CountedDef* definition = new CountedDef;
    EXPECT_EQ(definition->AddRef(), 2);
    EXPECT_EQ(definition->Release(), 1);
    EXPECT_EQ(CountedDef::destroyed, 0);
    EXPECT_EQ(definition->Release(), 0);
    EXPECT_EQ(CountedDef::destroyed, 1);

    YObjectDefList list;
    list.AddTail(new CountedDef);
    list.AddTail(new CountedDef);
    list.ReleaseAll();
    EXPECT_EQ(CountedDef::destroyed, 3);
    EXPECT_TRUE(list.IsEmpty());
}

TEST(ObjectDef, SavingAppendsToExistingFilesOnly)
{
    TempFolder folder;
    std::string existing = folder / "defs.txt";
    TempFolder::Write(existing, std::string("-- head\n"));
    YObjectDef ball;
    ball.SetName("Ball");
    ball.Set("mass", "2");
    ball.SaveToFile(existing.c_str());
    ball.SaveToFile(existing.c_str());
    const std::string once = "OBJECT Ball\r\n{\r\n    set mass \"2\"\r\n}\r\n";
    EXPECT_EQ(TempFolder::ReadText(existing), "-- head\n" + once + once);

    std::string missing = folder / "none.txt";
    ball.SaveToFile(missing.c_str());
    EXPECT_FALSE(fopen(missing.c_str(), "rb"));

    YObjectDefList list;
    list.AddTail(Make("A"));
    list.AddTail(Make("B"));
    EXPECT_EQ(S(list.Save(missing.c_str())), "OBJECT A\n{\n}\nOBJECT B\n{\n}\n");
    EXPECT_EQ(S(list.ToScript()), "OBJECT A\n{\n}\nOBJECT B\n{\n}\n");
    list.DeleteAll();
}

TEST(ObjectDef, ArchiveFormOfDefinitionsAndLists)
{
    ArchiveBytes golden;
    golden.I32(2);  // definitions in the list
    golden.Str("Ball").Str("Toy").U32(1).I32(0).U32(4).Raw("mass", 4).U32(1).Raw("2", 1).U32(7);
    golden.Str("Box").Str("").U32(0).I32(-1);

    CMemFile memory;
    memory.Write(golden.bytes.data(), (UINT)golden.bytes.size());
    memory.SeekToBegin();
    YObjectDefList list;
    {
        CArchive ar(&memory, CArchive::load);
        list.Serialize(ar);
    }
    ASSERT_EQ(list.GetCount(), 2);
    YObjectDef* ball = list.GetHead();
    EXPECT_EQ(S(ball->GetName()), "Ball");
    EXPECT_EQ(S(ball->GetBaseName()), "Toy");
    EXPECT_EQ(ball->GetBase(), nullptr);
    EXPECT_EQ(ball->GetInt("mass"), 2);
    EXPECT_EQ(ball->GetUser("mass"), 7u);
    // A base name without a base object is not written.
    EXPECT_EQ(S(ball->ToScript(0)), "OBJECT Ball\n{\n    set mass \"2\"\n}\n");

    CMemFile out;
    {
        CArchive ar(&out, CArchive::store);
        list.Serialize(ar);
    }
    std::vector<BYTE> stored(out.GetLength());
    out.SeekToBegin();
    out.Read(stored.data(), (UINT)stored.size());
    EXPECT_EQ(stored, golden.bytes);
    list.DeleteAll();
}

}  // namespace
