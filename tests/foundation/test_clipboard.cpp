#include "foundation/YClipboard.h"

#include <gtest/gtest.h>

namespace {

TEST(YClipboard, TextGoesThereAndBack)
{
    YClipboard clipboard;
    ASSERT_TRUE(clipboard.SetText("first"));
    ASSERT_TRUE(clipboard.SetText("second line"));  // replaces, never appends
    CString text("old");
    ASSERT_TRUE(clipboard.GetText(text));
    EXPECT_STREQ(text, "second line");
    ASSERT_TRUE(clipboard.SetText(""));
    ASSERT_TRUE(clipboard.GetText(text));
    EXPECT_STREQ(text, "");
}

TEST(YClipboard, EmptyClipboardLeavesTheStringAlone)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    YClipboard clipboard;
    CString text("kept");
    EXPECT_FALSE(clipboard.GetText(text));
    EXPECT_STREQ(text, "kept");
}

TEST(YClipboard, BusyClipboardIsRefusedAndBlockWithoutTerminatorIsBounded)
{
    YClipboard clipboard;
    ASSERT_TRUE(OpenClipboard(nullptr));  // somebody else holds it open
    EXPECT_FALSE(clipboard.SetText("lost"));
    CString text("kept");
    EXPECT_FALSE(clipboard.GetText(text));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_DDESHARE, 3);
    std::memcpy(GlobalLock(block), "abc", 3);  // no terminating zero
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    ASSERT_TRUE(clipboard.GetText(text));
    EXPECT_STREQ(text, "abc");
}

}  // namespace
