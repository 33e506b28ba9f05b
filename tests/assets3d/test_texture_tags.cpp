// Texture tags and regions: the tag family on every owner, its messages,
// and the even-odd hit test of regions.
#include <gtest/gtest.h>

#include <memory>

#include "TextureFixture.h"
#include "assets3d/YTexRegion.h"
#include "graphics2d/NameHash8.h"

namespace {

using namespace texture_test;

// The owners that keep an error text, behind one interface for the tests.
struct Owner {
    const char* what;
    YTextureTagList* tags;
    YTextureError* errors;
};

class TagOwners : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_format.SetErrorMode(1);
        m_texture.SetErrorMode(1);
    }
    std::vector<Owner> Owners() { return {{"format", &m_format, &m_format}, {"texture", &m_texture, &m_texture}}; }

    YTextureFormat m_format;
    YTexture2 m_texture;
};

TEST_F(TagOwners, SetFindAndReadBack)
{
    for (const Owner& o : Owners()) {
        YTextureTagList& t = *o.tags;
        EXPECT_EQ(t.SetTag("UpFilter", "Cubic"), 1) << o.what;
        EXPECT_EQ(t.SetTag("MIPLevels", "5x"), 2) << o.what;
        EXPECT_EQ(t.SetTag("Scale", "2.5"), 3) << o.what;
        // An existing name keeps the count and takes the new value.
        EXPECT_EQ(t.SetTag("UPFILTER", "Sinc"), 3) << o.what;
        EXPECT_EQ(t.FindTag("upfilter"), 0) << o.what;
        EXPECT_EQ(t.FindTag("nothing"), -1) << o.what;
        EXPECT_STREQ(t.GetTagName(0), "UpFilter") << o.what;
        EXPECT_STREQ(t.GetTagValue(0), "Sinc") << o.what;
        EXPECT_EQ(t.GetTagIntByName("MIPLevels", 10), 5) << o.what;
        EXPECT_EQ(t.GetTagIntByName("Missing", 10), 10) << o.what;
        EXPECT_FLOAT_EQ(t.GetTagFloatByName("Scale", 1.0f), 2.5f) << o.what;
        EXPECT_FLOAT_EQ(t.GetTagFloatByName("Missing", 1.5f), 1.5f) << o.what;
        EXPECT_STREQ(t.GetTagValueByName("missing", "dflt"), "dflt") << o.what;
        EXPECT_EQ(t.GetTagInt(1), 5) << o.what;
        EXPECT_FLOAT_EQ(t.GetTagFloat(2), 2.5f) << o.what;
        ASSERT_NE(t.GetTag(2), nullptr);
        EXPECT_EQ(t.GetTag(2)->m_hash, NameHash8("Scale")) << o.what;
    }
}

TEST_F(TagOwners, RenameRehashesAndRemoveKeepsOrder)
{
    for (const Owner& o : Owners()) {
        YTextureTagList& t = *o.tags;
        for (const char* name : {"a", "b", "c", "d"}) t.SetTag(name, name);
        ASSERT_EQ(t.SetTagName(1, "Bee"), 1);
        EXPECT_EQ(t.FindTag("bee"), 1) << o.what;
        EXPECT_EQ(t.FindTag("b"), -1) << o.what;
        ASSERT_EQ(t.SetTagValue(1, "value"), 1);
        ASSERT_EQ(t.RemoveTag(0), 1);
        EXPECT_EQ(t.GetNumTags(), 3);
        EXPECT_STREQ(t.GetTagName(0), "Bee") << o.what;
        EXPECT_STREQ(t.GetTagValue(0), "value") << o.what;
        EXPECT_STREQ(t.GetTagName(2), "d") << o.what;
        while (t.GetNumTags() > 0) ASSERT_EQ(t.RemoveTag(0), 1);
        EXPECT_EQ(t.FindTag("d"), -1);
    }
}

TEST_F(TagOwners, BadIndicesAnswerEmptyAndNameTheirCheck)
{
    struct Case {
        const char* call;
        int16_t index;
        const char* message;
    } cases[] = {
        {"name", -1, "Tag Index < 0"},         {"name", 1, "Tag Index >= m_iNumTags"},
        {"value", -1, "Tag Index < 0"},        {"value", 1, "Layer Index >= m_iNumTags"},
        {"int", 1, "Tag Index >= m_iNumTags"}, {"float", -3, "Tag Index < 0"},
        {"rename", 1, "Tag Index >= m_iNumTags"}, {"revalue", 5, "Tag Index >= m_iNumTags"},
        {"remove", 1, "Tag Index >= m_iNumTags"}, {"get", -1, "Tag Index < 0"},
    };
    for (const Owner& o : Owners()) {
        o.tags->SetTag("only", "7");
        for (const Case& c : cases) {
            YTextureTagList& t = *o.tags;
            std::string call = c.call;
            if (call == "name") {
                EXPECT_STREQ(t.GetTagName(c.index), "");
            }
            if (call == "value") {
                EXPECT_STREQ(t.GetTagValue(c.index), "");
            }
            if (call == "int") {
                EXPECT_EQ(t.GetTagInt(c.index), 0);
            }
            if (call == "float") {
                EXPECT_EQ(t.GetTagFloat(c.index), 0.0f);
            }
            if (call == "rename") {
                EXPECT_EQ(t.SetTagName(c.index, "x"), 0);
            }
            if (call == "revalue") {
                EXPECT_EQ(t.SetTagValue(c.index, "x"), 0);
            }
            if (call == "remove") {
                EXPECT_EQ(t.RemoveTag(c.index), 0);
            }
            if (call == "get") {
                EXPECT_EQ(t.GetTag(c.index), nullptr);
            }
            EXPECT_STREQ(o.errors->GetError(), c.message) << o.what << " " << c.call;
        }
        EXPECT_EQ(o.tags->GetNumTags(), 1);
        EXPECT_STREQ(o.tags->GetTagValue(0), "7");
    }
}

TEST_F(TagOwners, MessagesAreKeptOnlyInErrorModeOne)
{
    m_format.SetErrorMode(0);
    m_format.GetTagName(3);
    EXPECT_STREQ(m_format.GetError(), "");
    m_format.SetErrorMode(1);
    EXPECT_STREQ(m_format.GetError(), "");
}

TEST(TexRegion, TagsWithoutErrorText)
{
    YTexRegion region;
    EXPECT_EQ(region.SetTag("Hit", "Bonus"), 1);
    EXPECT_STREQ(region.GetTagValueByName("hit", ""), "Bonus");
    EXPECT_STREQ(region.GetTagName(4), "");
    EXPECT_EQ(region.RemoveTag(-1), 0);
}

TEST(TexRegion, PointsGrowShrinkAndCheckIndices)
{
    YTexRegion region;
    EXPECT_EQ(region.AddPoint(1, 2), 1);
    EXPECT_EQ(region.AddPoint(3, 4), 2);
    EXPECT_EQ(region.AddPoint(5, 6), 3);
    float x = 0, y = 0;
    ASSERT_EQ(region.GetPoint(2, &x, &y), 1);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 6);
    EXPECT_EQ(region.SetPoint(1, 9, 9), 1);
    EXPECT_EQ(region.SetPoint(3, 0, 0), 0);
    EXPECT_EQ(region.GetPoint(-1, &x, &y), 0);
    EXPECT_EQ(region.RemoveLastPoint(), 2);
    EXPECT_EQ(region.GetPoint(1, &x, &y), 1);
    EXPECT_EQ(x, 9);
    // Fewer than 2 points left: all go.
    EXPECT_EQ(region.RemoveLastPoint(), 1);
    EXPECT_EQ(region.RemoveLastPoint(), 0);
    EXPECT_EQ(region.GetPointCount(), 0);
}

TEST(TexRegion, EvenOddContainment)
{
    YTexRegion square, triangle, line, notch;
    for (auto p : {std::make_pair(0.f, 0.f), {1.f, 0.f}, {1.f, 1.f}, {0.f, 1.f}}) square.AddPoint(p.first, p.second);
    for (auto p : {std::make_pair(0.f, 0.f), {4.f, 0.f}, {0.f, 4.f}}) triangle.AddPoint(p.first, p.second);
    line.AddPoint(0, 0);
    line.AddPoint(1, 1);
    // A U shape: the gap between its arms is outside.
    for (auto p : {std::make_pair(0.f, 0.f), {3.f, 0.f}, {3.f, 3.f}, {2.f, 3.f}, {2.f, 1.f}, {1.f, 1.f}, {1.f, 3.f},
                   {0.f, 3.f}})
        notch.AddPoint(p.first, p.second);
    struct Case {
        const YTexRegion* region;
        float x, y;
        int inside;
    } cases[] = {
        {&square, 0.5f, 0.5f, 1}, {&square, 1.5f, 0.5f, 0}, {&square, 0.5f, -0.1f, 0}, {&square, -0.5f, 0.5f, 0},
        {&triangle, 1.f, 1.f, 1}, {&triangle, 2.5f, 2.5f, 0}, {&triangle, 3.9f, 0.05f, 1},
        {&line, 0.5f, 0.5f, 0},   {&notch, 0.5f, 2.f, 1},     {&notch, 1.5f, 2.f, 0}, {&notch, 1.5f, 0.5f, 1},
        {&notch, 2.5f, 2.5f, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.region->Contains(c.x, c.y), c.inside) << c.x << "," << c.y;
}

TEST(TexRegionList, FindAddRemoveAndHitTest)
{
    YTexture2 texture;
    texture.SetErrorMode(1);
    EXPECT_EQ(texture.HitTestRegions(0.5f, 0.5f), 0);
    EXPECT_EQ(texture.AddRegion(nullptr), 0);
    EXPECT_STREQ(texture.GetError(), "Reg is NULL");

    auto square = [](const char* name, float x0, float y0, float size) {
        YTexRegion* r = new YTexRegion;
        r->m_strName = name;
        r->AddPoint(x0, y0);
        r->AddPoint(x0 + size, y0);
        r->AddPoint(x0 + size, y0 + size);
        r->AddPoint(x0, y0 + size);
        return r;
    };
    EXPECT_EQ(texture.AddRegion(square("Left", 0, 0, 0.6f)), 1);
    EXPECT_EQ(texture.AddRegion(square("Right", 0.4f, 0.4f, 0.6f)), 2);
    EXPECT_EQ(texture.AddRegion(square("Far", 5, 5, 1)), 3);
    EXPECT_EQ(texture.FindRegion("right"), 1);
    EXPECT_EQ(texture.FindRegion("none"), -1);

    // The overlap marks both, the far region is marked not hit.
    texture.GetRegion(2)->SetHit(1);
    EXPECT_EQ(texture.HitTestRegions(0.5f, 0.5f), 1);
    EXPECT_EQ(texture.GetRegion(0)->GetHit(), 1);
    EXPECT_EQ(texture.GetRegion(1)->GetHit(), 1);
    EXPECT_EQ(texture.GetRegion(2)->GetHit(), 0);
    EXPECT_EQ(texture.HitTestRegions(3, 3), 0);

    EXPECT_EQ(texture.GetRegion(3), nullptr);
    EXPECT_STREQ(texture.GetError(), "Region Index >= m_iNumRegions");
    EXPECT_EQ(texture.RemoveRegion(-1), 0);
    EXPECT_STREQ(texture.GetError(), "Region Index < 0");
    EXPECT_EQ(texture.RemoveRegion(0), 1);
    EXPECT_EQ(texture.GetNumRegions(), 2);
    EXPECT_EQ(texture.FindRegion("far"), 1);
}

}  // namespace
