#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include "foundation/YObjectDef.h"
#include "foundation/YObjectParser.h"
#include "foundation/test_catalog_bytes.h"

namespace {

std::string S(const CString& text) { return std::string((LPCTSTR)text); }

std::vector<std::string> g_messages;
void Record(const char* text) { g_messages.push_back(text); }

class ObjectParserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_messages.clear();
        previous = YObjectParser::SetMessageBoxHandler(Record);
        parser.SetDefinitionList(&definitions);
        // Game paths: the folder, then backslashes.
        root = folder.Path() + "\\";
    }
    void TearDown() override
    {
        YObjectParser::SetMessageBoxHandler(previous);
        definitions.DeleteAll();
    }
    void Lines(const std::vector<const char*>& lines)
    {
        for (const char* line : lines) parser.ParseLine(line);
    }
    TempFolder folder;
    std::string root;
    YObjectDefList definitions;
    YObjectParser parser;
    YObjectParser::MessageBoxHandler previous = nullptr;
};

TEST_F(ObjectParserTest, SyntaxErrorsStopTheLine)
{
    struct Case {
        std::vector<const char*> before;
        const char* line;
        const char* message;
    } cases[] = {
        {{}, "{", "Syntax Error: Invalid token '{'"},
        {{}, "}", "Syntax Error: Invalid token '}'"},
        {{"OBJECT A"}, "OBJECT B", "Syntax Error: Invalid token 'OBJECT'"},
        {{"OBJECT C"}, "set x 1", "Syntax Error: Invalid token 'SET'"},
        {{"OBJECT D", "{"}, "{", "Syntax Error: Invalid token '{'"},
    };
    for (const Case& c : cases) {
        YObjectParser fresh;
        fresh.SetDefinitionList(&definitions);
        for (const char* line : c.before) fresh.ParseLine(line);
        int state = fresh.GetState();
        YObjectDef* current = fresh.GetCurrent();
        g_messages.clear();
        EXPECT_EQ(fresh.ParseLine(c.line), 0) << c.line;
        ASSERT_EQ(g_messages.size(), 1u) << c.line;
        EXPECT_EQ(g_messages[0], c.message);
        EXPECT_EQ(fresh.GetState(), state);
        EXPECT_EQ(fresh.GetCurrent(), current);
    }
}

TEST_F(ObjectParserTest, DefinitionsWithKeywordsInAnyCaseCommentsAndChildren)
{
    Lines({"// a comment", "", "object Plane", "{", "  set speed \"12 knots\"", "  wings 2", "  //skip this",
           "  Object Wheel", "  {", "    SET size 3", "  }", "}"});
    EXPECT_EQ(parser.GetState(), 0);
    EXPECT_EQ(parser.GetCurrent(), nullptr);
    ASSERT_EQ(definitions.GetCount(), 1);
    YObjectDef* plane = definitions.Find("plane");
    ASSERT_NE(plane, nullptr);
    EXPECT_EQ(S(CString((const char*)plane->GetValue("SPEED"))), "12 knots");
    EXPECT_EQ(plane->GetInt("wings"), 2);
    ASSERT_EQ(plane->GetChildren().GetCount(), 1);
    YObjectDef* wheel = plane->GetChildren().GetHead();
    EXPECT_EQ(wheel->GetParent(), plane);
    EXPECT_EQ(wheel->GetInt("size"), 3);
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(ObjectParserTest, OpenFlagFollowsTheDefinition)
{
    EXPECT_EQ(parser.ParseLine("OBJECT A"), 1);
    EXPECT_EQ(parser.ParseLine("{"), 1);
    EXPECT_EQ(parser.ParseLine("   "), 1);
    EXPECT_EQ(parser.ParseLine("}"), 0);
    EXPECT_EQ(parser.ParseLine("OBJECT"), 0);  // no name: nothing opens
    EXPECT_EQ(parser.GetState(), 0);
}

TEST_F(ObjectParserTest, MissingBaseIsCreatedEmpty)
{
    Lines({"OBJECT Ball:Toy", "{", "mass 2", "}"});
    ASSERT_EQ(definitions.GetCount(), 2);
    YObjectDef* toy = definitions.GetHead();
    YObjectDef* ball = definitions.GetTail();
    EXPECT_EQ(S(toy->GetName()), "Toy");
    EXPECT_EQ(toy->GetLastIndex(), -1);
    EXPECT_EQ(S(ball->GetName()), "Ball");
    EXPECT_EQ(ball->GetBase(), toy);
    EXPECT_TRUE(ball->IsDerivedFrom(CString("toy")));
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(ObjectParserTest, InheritanceCopiesTheBaseAtCreation)
{
    Lines({"OBJECT Toy", "{", "mass 2", "color red", "OBJECT Wheel", "{", "size 1", "}", "}",
           "OBJECT Ball:Toy", "{", "color blue", "}", "OBJECT Toy", "{", "mass 9", "}"});
    ASSERT_EQ(definitions.GetCount(), 2);
    YObjectDef* ball = definitions.Find("Ball");
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->GetInt("mass"), 2);
    EXPECT_EQ(S(CString((const char*)ball->GetValue("color"))), "blue");
    ASSERT_EQ(ball->GetChildren().GetCount(), 1);
    EXPECT_EQ(ball->GetChildren().GetHead()->GetParent(), ball);
    EXPECT_EQ(definitions.Find("Toy")->GetInt("mass"), 9);
    EXPECT_EQ(S(parser.ToScript()),
              "OBJECT Toy\n{\n    set mass \"9\"\n    set color \"red\"\n    OBJECT Wheel\n    {\n        set size \"1\"\n"
              "    }\n}\n"
              "OBJECT Ball:Toy\n{\n    set mass \"2\"\n    set color \"blue\"\n    OBJECT Wheel\n    {\n"
              "        set size \"1\"\n    }\n}\n");
}

TEST_F(ObjectParserTest, ReopeningAddsAndReplacesPairs)
{
    Lines({"OBJECT Plane", "{", "speed 1", "}", "OBJECT plane", "{", "speed 2", "wings 4", "}"});
    ASSERT_EQ(definitions.GetCount(), 1);
    EXPECT_EQ(definitions.GetHead()->GetInt("speed"), 2);
    EXPECT_EQ(definitions.GetHead()->GetInt("wings"), 4);
    EXPECT_EQ(definitions.GetHead()->GetLastIndex(), 1);
}

TEST_F(ObjectParserTest, NestedIncludesResolveAgainstTheOutermostFolder)
{
    mkdir((folder / "sub").c_str(), 0755);
    TempFolder::Write(folder / "main.ods", std::string("#include sub\\a.ods\nOBJECT Main\n{\nx 1\n}\n"));
    TempFolder::Write(folder / "sub/a.ods", std::string("OBJECT A\r\n{\r\n}\r\n#include b.ods\r\n"));
    TempFolder::Write(folder / "b.ods", std::string("OBJECT B\n{\n}\n#include missing.ods\n"));
    TempFolder::Write(folder / "sub/b.ods", std::string("OBJECT Wrong\n{\n}\n"));

    parser.Include((root + "main.ods").c_str());
    std::vector<std::string> names;
    for (POSITION pos = definitions.GetHeadPosition(); pos;) names.push_back(S(definitions.GetNext(pos)->GetName()));
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "Main"}));
    EXPECT_EQ(YObjectParser::GetIncludeDepth(), 0);
    EXPECT_TRUE(g_messages.empty());

    // The top-level path is cleared afterwards: a second outermost file starts afresh.
    mkdir((folder / "other").c_str(), 0755);
    TempFolder::Write(folder / "other/c.ods", std::string("#include d.ods\n"));
    TempFolder::Write(folder / "other/d.ods", std::string("OBJECT D\n{\n}\n"));
    parser.Include((root + "other\\c.ods").c_str());
    EXPECT_NE(definitions.Find("D"), nullptr);
}

TEST_F(ObjectParserTest, IncludeCyclesStopWithAnError)
{
    TempFolder::Write(folder / "loop.ods", std::string("#include loop.ods\nOBJECT Once\n{\n}\n"));
    parser.Include((root + "loop.ods").c_str());
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0], "Script Error: loop.ods\nIncludes nested too deeply\n");
    EXPECT_EQ(YObjectParser::GetIncludeDepth(), 0);
    EXPECT_EQ(definitions.GetCount(), 1);
}

TEST_F(ObjectParserTest, IncludesAreBoundedInAllNotOnlyInDepth)
{
    struct Case {
        const char* name;
        std::string text;
        const char* message;
    };
    std::string wide;
    for (int i = 0; i < 300; ++i) wide += "#include leaf.ods\n";
    TempFolder::Write(folder / "leaf.ods", std::string("OBJECT Leaf\n{\n}\n"));
    // Twice itself within the depth limit would read 2^16 files.
    const Case cases[] = {
        {"twice.ods", "#include twice.ods\n#include twice.ods\nOBJECT Once\n{\n}\n",
         "Script Error: twice.ods\nIncludes nested too deeply\n"},
        {"wide.ods", wide, "Script Error: leaf.ods\nToo many included files\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_messages.clear();
        TempFolder::Write(folder / c.name, c.text);
        parser.Include((root + c.name).c_str());
        EXPECT_EQ(YObjectParser::GetIncludedFileCount(), (int)YObjectParser::kMaxIncludedFiles);
        EXPECT_EQ(YObjectParser::GetIncludeDepth(), 0);
        ASSERT_EQ(g_messages.size(), 1u);
        EXPECT_EQ(g_messages[0], c.message);
    }
    EXPECT_EQ(definitions.GetCount(), 2);

    // The next outermost include starts afresh.
    g_messages.clear();
    parser.Include((root + "leaf.ods").c_str());
    EXPECT_EQ(YObjectParser::GetIncludedFileCount(), 1);
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(ObjectParserTest, DefinitionsNestedTooDeeplyAreRefused)
{
    // A hundred thousand nested definitions would overflow the stack when
    // they are deleted; the parser stops opening them at its limit.
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "OBJECT n\n{\n";
    TempFolder::Write(folder / "deep.ods", text);
    {
        YObjectParser deep;
        deep.SetDefinitionList(&definitions);
        deep.Include((root + "deep.ods").c_str());
        int open = 0;
        for (YObjectDef* d = deep.GetCurrent(); d; d = d->GetParent()) ++open;
        EXPECT_EQ(open, (int)YObjectParser::kMaxNesting);
    }
    ASSERT_FALSE(g_messages.empty());
    EXPECT_EQ(g_messages[0], "Syntax Error: Definitions nested too deeply");

    // Within the limit nothing changes: the innermost closes into its parent.
    g_messages.clear();
    std::vector<const char*> lines;
    for (int i = 1; i < YObjectParser::kMaxNesting; ++i) {
        lines.push_back("OBJECT n");
        lines.push_back("{");
    }
    lines.push_back("OBJECT last");
    lines.push_back("{");
    for (int i = 0; i < YObjectParser::kMaxNesting; ++i) lines.push_back("}");
    Lines(lines);
    EXPECT_TRUE(g_messages.empty());
    ASSERT_NE(definitions.Find("n"), nullptr);
    EXPECT_EQ(parser.GetCurrent(), nullptr);
}

TEST_F(ObjectParserTest, DerivingStopsBeforeTreesGrowTooDeepOrTooLarge)
{
    struct Case {
        const char* what;
        std::function<std::string(int)> round;
    };
    // Each round a definition takes a copy of the one before as a child:
    // one level deeper each round, or (copying the whole) twice as large.
    const Case cases[] = {
        {"deeper each round",
         [](int i) {
             return "OBJECT D" + std::to_string(i + 1) + "\n{\nOBJECT x:D" + std::to_string(i) + "\n{\n}\n}\n";
         }},
        {"twice as large each round",
         [](int i) {
             const std::string b = "B" + std::to_string(i);
             return "OBJECT " + b + ":D0\n{\n}\nOBJECT D0\n{\nOBJECT c" + std::to_string(i) + ":" + b + "\n{\n}\n}\n";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_messages.clear();
        definitions.DeleteAll();
        std::string text = "OBJECT D0\n{\nx 1\n}\n";
        for (int i = 0; i < 200; ++i) text += c.round(i);
        TempFolder::Write(folder / "grow.ods", text);
        parser.Include((root + "grow.ods").c_str());
        ASSERT_FALSE(g_messages.empty());
        EXPECT_EQ(g_messages[0], "Syntax Error: Definition too large to derive");
        // Copies stop at the limit; past it each line makes one definition at most.
        const LONG lines = (LONG)std::count(text.begin(), text.end(), '\n');
        EXPECT_LE(YObjectDef::GetLiveCount(), (LONG)YObjectParser::kMaxLiveDefinitions + lines);
        // No tree is deeper than the nesting limit.
        std::function<int(const YObjectDef*)> depth = [&](const YObjectDef* d) {
            int deepest = 0;
            for (POSITION pos = d->GetChildren().GetHeadPosition(); pos;)
                deepest = std::max(deepest, depth(d->GetChildren().GetNext(pos)));
            return deepest + 1;
        };
        for (POSITION pos = definitions.GetHeadPosition(); pos;)
            EXPECT_LE(depth(definitions.GetNext(pos)), (int)YObjectParser::kMaxNesting);
    }
}

TEST_F(ObjectParserTest, LongLinesArriveInPiecesOf255)
{
    std::string first = "SET k1 " + std::string(248, 'x');
    std::string second = "k2 " + std::string(42, 'y');
    ASSERT_EQ(first.size(), 255u);
    ASSERT_EQ(second.size(), 45u);
    TempFolder::Write(folder / "long.ods", "OBJECT L\n{\n" + first + second + "\n}\n");
    parser.Include((root + "long.ods").c_str());
    YObjectDef* l = definitions.Find("L");
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->GetValue("k1").GetLength(), 248);
    EXPECT_EQ(l->GetValue("k2").GetLength(), 42);
}

TEST_F(ObjectParserTest, ParseFileIntoFillsOneDefinition)
{
    TempFolder::Write(folder / "props.ods", std::string("set speed 5\ncolor green\n"));
    std::string path = root + "props.ods";

    YObjectDef* fresh = parser.ParseFileInto(path.c_str(), nullptr);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->GetInt("speed"), 5);
    EXPECT_EQ(parser.GetCurrent(), nullptr);
    delete fresh;

    EXPECT_EQ(parser.ParseFileInto(path.c_str(), nullptr, "Vehicle"), nullptr);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0], "Script Error: " + path + "\nBase class not found: Vehicle\n");

    Lines({"OBJECT Vehicle", "{", "wheels 4", "}"});
    YObjectDef* car = parser.ParseFileInto(path.c_str(), nullptr, "vehicle");
    ASSERT_NE(car, nullptr);
    EXPECT_EQ(car->GetInt("wheels"), 4);
    EXPECT_EQ(S(CString((const char*)car->GetValue("color"))), "green");
    EXPECT_EQ(car->GetBase(), definitions.Find("Vehicle"));
    EXPECT_EQ(car->GetParent(), nullptr);
    delete car;

    YObjectDef own;
    EXPECT_TRUE(own.LoadScript(path.c_str(), &parser));
    EXPECT_EQ(own.GetInt("speed"), 5);
    EXPECT_EQ(definitions.GetCount(), 1);
}

TEST_F(ObjectParserTest, ParseFileIntoLeavesNothingOpenBehind)
{
    // The file ends inside a nested OBJECT: the half-read child is dropped,
    // and neither the target nor the child stays on the parser's stack.
    TempFolder::Write(folder / "open.ods", std::string("speed 5\nOBJECT Chi\n{\nx 1\nOBJECT Grand\n{\n"));
    std::string path = root + "open.ods";

    Lines({"OBJECT Outer", "{", "a 1"});
    YObjectDef* outer = parser.GetCurrent();
    YObjectDef* filled = parser.ParseFileInto(path.c_str(), nullptr);
    ASSERT_NE(filled, nullptr);
    EXPECT_EQ(filled->GetInt("speed"), 5);
    EXPECT_TRUE(filled->GetChildren().IsEmpty());
    delete filled;

    // What was open before goes on where it was.
    EXPECT_EQ(parser.GetCurrent(), outer);
    Lines({"b 2", "OBJECT Inner", "{", "}", "}", "OBJECT Later", "{", "}"});
    YObjectDef* found = definitions.Find("Outer");
    ASSERT_EQ(found, outer);
    EXPECT_EQ(found->GetInt("b"), 2);
    EXPECT_NE(found->GetChildren().Find("Inner"), nullptr);
    EXPECT_NE(definitions.Find("Later"), nullptr);
    EXPECT_EQ(parser.GetCurrent(), nullptr);
    EXPECT_EQ(parser.GetState(), 0);
}

TEST_F(ObjectParserTest, DefinitionsWriteBackAndReadAgain)
{
    Lines({"OBJECT Toy", "{", "mass 2", "OBJECT Part", "{", "set name \"left wing\"", "}", "}", "OBJECT Ball:Toy",
           "{", "}"});
    std::string saved = folder / "saved.ods";
    parser.Save(saved.c_str());
    std::string text = TempFolder::ReadText(saved);
    std::string expected = S(parser.ToScript());
    std::string crlf;
    for (char c : expected) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(text, crlf);

    YObjectDefList again;
    YObjectParser reader;
    reader.SetDefinitionList(&again);
    reader.Include((root + "saved.ods").c_str());
    EXPECT_EQ(S(again.ToScript()), expected);
    again.DeleteAll();
}

TEST(ObjectParserLifetime, OpenDefinitionsAreFreedWithTheParser)
{
    YObjectDefList definitions;
    {
        YObjectParser parser;
        parser.SetDefinitionList(&definitions);
        for (const char* line : {"OBJECT Outer", "{", "OBJECT Inner", "{", "x 1"}) parser.ParseLine(line);
        EXPECT_NE(parser.GetCurrent(), nullptr);
    }
    EXPECT_TRUE(definitions.IsEmpty());
}

TEST(ObjectParserLifetime, AReopenedChildIsNotTouchedAfterItsParentIsFreed)
{
    struct Case {
        std::vector<const char*> lines;
    } cases[] = {
        {{"OBJECT X", "{", "OBJECT Chi", "{", "}", "OBJECT Chi"}},
        {{"OBJECT X", "{", "OBJECT Chi", "{", "}", "OBJECT Chi", "{", "OBJECT Deeper", "{"}},
        {{"OBJECT X", "{", "OBJECT Chi", "{", "OBJECT G", "{", "}", "}", "OBJECT Chi", "{", "OBJECT G", "{"}},
    };
    for (const Case& c : cases) {
        YObjectDefList definitions;
        {
            YObjectParser parser;
            parser.SetDefinitionList(&definitions);
            for (const char* line : c.lines) parser.ParseLine(line);
            EXPECT_NE(parser.GetCurrent(), nullptr);
        }
        EXPECT_TRUE(definitions.IsEmpty());
    }
}

}  // namespace
