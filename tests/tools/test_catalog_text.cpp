#include <gtest/gtest.h>

#include <sstream>

#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "foundation/test_catalog_bytes.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/YMesh.h"
#include "graphics2d/YModel.h"
#include "graphics2d/YModelFrame.h"
#include "graphics2d/YSprite.h"
#include "tools/YCatalogText.h"

namespace {

const char* const kHeader =
    "catalog\n"
    "    header-word 9\n"
    "    label-a \"A \\\"quoted\\\" label\"\n"
    "    label-b \"tab\\x09end\"\n"
    "    base-directory-0 \"\"\n"
    "    base-directory-1 \"\"\n"
    "    embedded \"Interface\"\n"
    "end\n";

std::string Item(int id, int type, const char* section, const char* name, const std::string& extra = "",
                 int subType = 0)
{
    std::string text = "\nitem " + std::to_string(id) + "\n";
    text += "    type " + std::to_string(type) + "\n";
    text += std::string("    section \"") + section + "\"\n";
    text += std::string("    name \"") + name + "\"\n";
    text += "    tag \"\"\n";
    text += "    sub-type " + std::to_string(subType) + "\n";
    text += "    directory-0 \"\"\n    directory-1 \"\"\n    selector 0\n    word-a 0\n    word-b 0\n";
    return text + extra + "end\n";
}

std::string Description()
{
    std::string text = kHeader;
    text += Item(1, 4, "Meshes", "rock",
                 "    related 3\n"
                 "    body YMesh\n        version 1\n        file-name \"rock.msh\"\n        second-name \"stone\"\n"
                 "        flags 1 2 3\n        values 10 20 30 40 50 60\n    end\n");
    text += Item(2, 19, "Models", "plane",
                 "    string \"first\"\n    string \"second\"\n"
                 "    body YModel\n        version 1\n        name \"biplane\"\n        flags 0 1 0\n"
                 "        values 1 2 3 4\n        frame \"idle\" \"\" 1 0 0 0 0\n"
                 "        frame \"roll\" \"fast\" 0.125 5 6 7 8\n    end\n");
    text += Item(3, 3, "Sprites", "arrow",
                 "    related 1\n    related 2\n"
                 "    body YSprite\n        version 1\n        name \"arrow\"\n        position 4 5\n"
                 "        size 64 80\n        values 1 2 3\n        half-size 0\n"
                 "        frame \"a.bmp\" 1 0 0 0 32 32 16 16 0 0 32 32 0 \"\"\n"
                 "        frame \"b.bmp\" 1 7 0 32 64 48 0 0 1 1 2 2 1 \"_h\"\n    end\n");
    text += Item(4, 17, "Fonts", "Small", "    body YFont\n        image \"small.bmp\"\n        columns 8\n    end\n");
    text += Item(5, 9, "Interface", "Ok", "    body YButton\n        version 4\n    end\n", 9);
    text += Item(6, 20, "Emitters", "Wind", "    body YSoundEmitter\n        version 1\n    end\n");
    text += Item(7, 21, "Loaders", "YSM", "    body YSMLoader\n        version 1\n        file-name \"arrow.ysm\"\n    end\n");
    text += Item(8, 24, "Action", "BB", "    body YTextureHandler\n        version 1\n        variant \"bb.ytx\" 300 20 1 0.5\n"
                                  "        variant \"cc.ytx\" 1 365 2 1\n        value \"Key\" \"v\"\n    end\n");
    text += Item(9, 6, "World", "Tree");
    text += Item(10, 2, "Sounds", "click");
    text += Item(11, 2, "Interface", "beep", "    body YWave\n        version 1\n    end\n");
    return text;
}

class CatalogTextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { YCatalogText::RegisterResourceClasses(); }
};

TEST_F(CatalogTextTest, DescriptionSurvivesTheCatalogFile)
{
    TempFolder folder;
    std::string error;
    {
        YCatalog built;
        ASSERT_TRUE(YCatalogText::Read(Description(), built, error)) << error;
        built.Store((folder / "built.cat").c_str());
    }
    YCatalog loaded((folder / "built.cat").c_str());
    std::string dumped;
    ASSERT_TRUE(YCatalogText::Write(loaded, dumped, error)) << error;
    EXPECT_EQ(dumped, Description());

    YCatalogItem* rockItem = loaded.FindItem("Meshes", "rock", 4);
    ASSERT_NE(rockItem, nullptr);
    YMesh* rock = DYNAMIC_DOWNCAST(YMesh, rockItem->GetResource());
    ASSERT_NE(rock, nullptr);
    EXPECT_EQ(std::string((LPCTSTR)rock->GetFileName()), "rock.msh");
    EXPECT_EQ(rock->m_valueE, 50);
    EXPECT_EQ(rock->m_valueF, 60);
    YModel* plane = DYNAMIC_DOWNCAST(YModel, loaded.FindItem("Models", "plane", 19)->GetResource());
    ASSERT_NE(plane, nullptr);
    ASSERT_EQ(plane->GetFrames().GetSize(), 2);
    EXPECT_FLOAT_EQ(plane->GetFrames()[1]->m_valueK, 0.125f);
    EXPECT_EQ(plane->GetFrames()[1]->m_valueS, 8);
    YSprite* arrow = DYNAMIC_DOWNCAST(YSprite, loaded.FindItem("Sprites", "arrow", 3)->GetResource());
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow->GetFrames().GetCount(), 2);
    EXPECT_EQ(arrow->GetWidth(), 64);
    EXPECT_EQ(loaded.FindItem("Sprites", "arrow", 3)->GetRelated().GetCount(), 2);
}

TEST_F(CatalogTextTest, MistakesAreReportedWithTheirLine)
{
    struct Case {
        std::string text;
        const char* message;
    } cases[] = {
        {"catalog\n    colour 3\nend\n", "line 2: unknown catalog field 'colour'"},
        {"item 2\nend\n", "line 1: items are numbered 1, 2, 3... in order"},
        {"item 1\n    type 6\n    body YResource\n    end\nend\n", "line 3: type 6 has no class to carry a body"},
        {"item 1\n    type 4\n    body YModel\n    end\nend\n", "line 3: type 4 makes YMesh, not YModel"},
        {"item 1\n    type 4\n    body YMesh\n        colour 2\n    end\nend\n", "line 4: unknown mesh field 'colour'"},
        {"item 1\n    type x\nend\n", "line 2: not a number: x"},
        {"item 1\n    related 5\nend\n", "line 2: no item 5"},
        {"item 1\n    name \"open\n", "line 2: unclosed quote"},
        {"item 1\n    type 2\n", "line 2: missing 'end'"},
        {"hello\n", "line 1: expected 'catalog' or 'item N'"},
    };
    for (const Case& c : cases) {
        YCatalog catalog;
        std::string error;
        EXPECT_FALSE(YCatalogText::Read(c.text, catalog, error)) << c.text;
        EXPECT_EQ(error, c.message) << c.text;
    }
}

TEST_F(CatalogTextTest, PatternLinesMakeTheirPictures)
{
    struct Case {
        const char* line;
        int width, height;
        const char* message;
    } cases[] = {
        {"pattern keyed 16 8 24", 16, 8, ""},
        {"pattern bars 12 3 8", 12, 3, ""},
        {"pattern panel 9 9 32", 9, 9, ""},
        {"pattern nothing 4 4 24", 0, 0, "line 23: unknown pattern or size: nothing"},
        {"pattern keyed 0 4 24", 0, 0, "line 23: unknown pattern or size: keyed"},
        {"pattern keyed 4 4 16", 0, 0, "line 23: pattern bits must be 8, 24 or 32"},
        {"pattern keyed 4 4", 0, 0, "line 23: 'pattern' takes 4 value(s)"},
    };
    for (const Case& c : cases) {
        const std::string text = std::string(kHeader) +
                                 Item(1, 1, "Interface", "Made", std::string("    body YDIB\n        version 1\n        ") +
                                                                     c.line + "\n    end\n");
        YCatalog catalog;
        std::string error;
        const bool read = YCatalogText::Read(text, catalog, error);
        EXPECT_EQ(read, c.width > 0) << c.line;
        EXPECT_EQ(error, c.message) << c.line;
        if (!read) continue;
        YDIB* dib = dynamic_cast<YDIB*>(catalog.FindItem("Interface", "Made", 1)->GetResource());
        ASSERT_NE(dib, nullptr) << c.line;
        EXPECT_EQ(dib->GetWidth(), c.width) << c.line;
        EXPECT_EQ(dib->GetHeight(), c.height) << c.line;
    }
}

#if defined(RCV_SOURCE_DIR) && defined(RCV_DATA_DIR)
TEST_F(CatalogTextTest, TheBuiltSampleCatalogDumpsToItsDescription)
{
    std::string description = TempFolder::ReadText(std::string(RCV_SOURCE_DIR) + "/data/catalog.txt");
    ASSERT_FALSE(description.empty());
    YCatalog catalog((std::string(RCV_DATA_DIR) + "/RC Volaro.cat").c_str());
    std::string dumped;
    std::string error;
    ASSERT_TRUE(YCatalogText::Write(catalog, dumped, error)) << error;
    // Pictures made from a pattern line come back as the picture itself.
    std::string kept, dumpedKept;
    std::istringstream lines(description), dumpedLines(dumped);
    for (std::string line; std::getline(lines, line);)
        if (line.find("        pattern ") != 0) kept += line + "\n";
    for (std::string line; std::getline(dumpedLines, line);)
        if (line.find("        picture ") != 0 || description.find(line) != std::string::npos) dumpedKept += line + "\n";
    EXPECT_EQ(dumpedKept, kept);
    EXPECT_NE(catalog.GetResource(1, "Interface", "Zero", 0), nullptr);
    // And the pictures are the ones the description makes.
    YCatalog described;
    ASSERT_TRUE(YCatalogText::Read(description, described, error)) << error;
    std::string redumped;
    ASSERT_TRUE(YCatalogText::Write(described, redumped, error)) << error;
    EXPECT_EQ(dumped, redumped);
}
#endif

}  // namespace
