#include "foundation/YCheats.h"

#include <gtest/gtest.h>

#include "RecordBytes.h"

namespace {

class CheatsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_toggle = m_cheats.Add(YCheats::Scramble("flyhigh"), YCheat::Toggle);
        m_once = m_cheats.Add(YCheats::Scramble("oneshot"), YCheat::OneShot);
        m_latch = m_cheats.Add(YCheats::Scramble("latch"), 7);
    }
    YCheats m_cheats;
    int m_toggle = -1, m_once = -1, m_latch = -1;
};

TEST_F(CheatsTest, NamesAreStoredScrambled)
{
    YString stored = YCheats::Scramble("ab");
    EXPECT_EQ(stored[0], 'a' + 2);
    EXPECT_EQ(stored[1], 'b' + 2);
    EXPECT_STREQ(YCheats::Unscramble(stored), "ab");
    EXPECT_EQ(m_cheats.IndexOf("flyhigh"), -1);  // the plain name is not the stored one
    EXPECT_EQ(m_cheats.IndexOf(YCheats::Scramble("flyhigh")), m_toggle);
}

TEST_F(CheatsTest, TypedTextSwitchesToggles)
{
    EXPECT_TRUE(m_cheats.Enter("FlyHigh"));
    EXPECT_EQ(m_cheats.IsOn(YCheats::Scramble("flyhigh")), 1);
    EXPECT_EQ(m_cheats.TakeLastValue(), 1);
    EXPECT_EQ(m_cheats.TakeLastValue(), 0);
    EXPECT_TRUE(m_cheats.Enter("flyhigh"));
    EXPECT_EQ(m_cheats.GetValue(m_toggle), 0);
    EXPECT_TRUE(m_cheats.HasChanged());
}

TEST_F(CheatsTest, UnknownTextChangesNothing)
{
    EXPECT_FALSE(m_cheats.Enter("nosuchcheat"));
    EXPECT_FALSE(m_cheats.Enter(YCheats::Scramble("flyhigh")));  // the stored form is not typed
    EXPECT_FALSE(m_cheats.HasChanged());
    for (int i = 0; i < m_cheats.GetCount(); ++i) EXPECT_EQ(m_cheats.GetValue(i), 0);
}

TEST_F(CheatsTest, OneShotReadsOnceAndLatchStaysOn)
{
    m_cheats.Enter("oneshot");
    EXPECT_EQ(m_cheats.GetValue(m_once), 1);
    EXPECT_EQ(m_cheats.GetValue(m_once), 0);
    m_cheats.Set(YCheats::Scramble("latch"));
    m_cheats.Set(YCheats::Scramble("latch"));
    EXPECT_EQ(m_cheats.GetValue(m_latch), 1);
    EXPECT_EQ(m_cheats.GetValue(m_latch), 1);
    EXPECT_EQ(m_cheats.GetValue(-1), 0);
    EXPECT_EQ(m_cheats.GetValue(99), 0);
}

TEST_F(CheatsTest, AddingAnExistingNameChangesOnlyItsType)
{
    m_cheats.Enter("flyhigh");
    EXPECT_EQ(m_cheats.Add(YCheats::Scramble("flyhigh"), YCheat::OneShot), m_toggle);
    EXPECT_EQ(m_cheats.GetCount(), 3);
    EXPECT_EQ(m_cheats.GetValue(m_toggle), 1);  // kept its value, now reads as one-shot
    EXPECT_EQ(m_cheats.GetValue(m_toggle), 0);
}

TEST_F(CheatsTest, ResetClearsEverything)
{
    m_cheats.Enter("flyhigh");
    m_cheats.Enter("latch");
    EXPECT_EQ(m_cheats.Reset(), 3);
    EXPECT_FALSE(m_cheats.HasChanged());
    EXPECT_EQ(m_cheats.TakeLastValue(), 0);
    for (int i = 0; i < m_cheats.GetCount(); ++i) EXPECT_EQ(m_cheats.GetValue(i), 0);
}

}  // namespace


TEST_F(CheatsTest, ArchiveHoldsTheCountThenEachRecord)
{
    m_cheats.Enter("flyhigh");
    const std::vector<uint8_t> bytes = Store(m_cheats);
    // A WORD count, then per record: the name's length and bytes, type, value.
    ASSERT_EQ(2u + (4 + 7 + 8) + (4 + 7 + 8) + (4 + 5 + 8), bytes.size());
    EXPECT_EQ(3, bytes[0] | bytes[1] << 8);
    EXPECT_EQ(7, bytes[2]);
    EXPECT_EQ(0, memcmp(&bytes[6], YCheats::Scramble("flyhigh").GetBuffer(), 7));
    EXPECT_EQ(YCheat::Toggle, bytes[13]);
    EXPECT_EQ(1, bytes[17]) << "its value";

    YCheats copy;
    copy.Add(YCheats::Scramble("gone"), YCheat::Toggle);
    ASSERT_TRUE(Load(copy, bytes));
    EXPECT_EQ(3, copy.GetCount()) << "loading replaces";
    EXPECT_EQ(-1, copy.IndexOf(YCheats::Scramble("gone")));
    EXPECT_EQ(1, copy.IsOn(YCheats::Scramble("flyhigh")));
    EXPECT_EQ(bytes, Store(copy));
}

TEST_F(CheatsTest, ShortOrLyingArchivesKeepTheList)
{
    const std::vector<uint8_t> bytes = Store(m_cheats);
    std::vector<std::vector<uint8_t>> bad;
    for (size_t cut : {size_t(1), size_t(9), bytes.size() - 1}) bad.emplace_back(bytes.begin(), bytes.end() - cut);
    std::vector<uint8_t> huge = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0, 'a', 0, 0, 0, 0, 0, 0, 0, 0};
    bad.push_back(huge);
    for (const std::vector<uint8_t>& b : bad) {
        YCheats kept;
        kept.Add(YCheats::Scramble("kept"), YCheat::Toggle);
        EXPECT_FALSE(Load(kept, b)) << b.size();
        EXPECT_EQ(1, kept.GetCount());
        EXPECT_EQ(0, kept.IndexOf(YCheats::Scramble("kept")));
    }
}
