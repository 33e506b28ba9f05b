#include "foundation/YStringParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Word {
    std::string text;
    int kind;
};

std::vector<Word> Split(const char* line)
{
    YStringParser parser;
    parser.SetText(line);
    std::vector<Word> words;
    for (int guard = 0; guard < 20; ++guard) {
        int kind = 99;
        CString w = parser.GetNextWord(&kind);
        words.push_back({std::string(static_cast<const char*>(w)), kind});
        if (kind == -1) break;
    }
    return words;
}

TEST(YStringParser, SplitsPlainAndQuotedWords)
{
    std::vector<Word> words = Split("set  name  \"a b \"");
    ASSERT_EQ(words.size(), 4u);
    EXPECT_EQ(words[0].text, "set");
    EXPECT_EQ(words[0].kind, 1);
    EXPECT_EQ(words[1].text, "name");
    EXPECT_EQ(words[1].kind, 1);
    EXPECT_EQ(words[2].text, "a b");
    EXPECT_EQ(words[2].kind, 2);
    EXPECT_EQ(words[3].text, "");
    EXPECT_EQ(words[3].kind, -1);
}

TEST(YStringParser, SeparatorsAndEmptyQuotes)
{
    std::vector<Word> words = Split("\t a\r\n\tb \"\" c ");
    ASSERT_EQ(words.size(), 5u);
    EXPECT_EQ(words[0].text, "a");
    EXPECT_EQ(words[1].text, "b");
    EXPECT_EQ(words[2].text, "");
    EXPECT_EQ(words[2].kind, 2);
    EXPECT_EQ(words[3].text, "c");
    EXPECT_EQ(words[4].kind, -1);
    EXPECT_EQ(Split("")[0].kind, -1);
}

TEST(YStringParser, UnclosedQuoteKeepsTheRest)
{
    YStringParser parser;
    parser.SetText("\"abc");
    int kind = 42;
    CString w = parser.GetNextWord(&kind);
    EXPECT_STREQ(w, "abc");
    EXPECT_EQ(kind, 42);  // not written
    EXPECT_STREQ(parser.GetText(), "abc");
    EXPECT_STREQ(parser.GetNextWord(nullptr), "abc");  // a null kind is allowed
}

}  // namespace
