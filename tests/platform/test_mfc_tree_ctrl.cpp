#include <gtest/gtest.h>

#include <string>

#include "platform/mfc.h"

namespace {
// The tree as text: each item's text, its children in brackets.
std::string Shape(const CTreeCtrl& tree, HTREEITEM first)
{
    std::string out;
    for (HTREEITEM item = first; item; item = tree.GetNextSiblingItem(item)) {
        if (!out.empty()) out += " ";
        out += static_cast<const char*>(tree.GetItemText(item));
        if (HTREEITEM child = tree.GetChildItem(item)) out += "[" + Shape(tree, child) + "]";
    }
    return out;
}
}  // namespace

TEST(TreeCtrl, ItemsGoWhereTheyAreAsked)
{
    CTreeCtrl tree;
    HTREEITEM b = tree.InsertItem("b");
    HTREEITEM a = tree.InsertItem("a", TVI_ROOT, TVI_FIRST);
    HTREEITEM b1 = tree.InsertItem("b1", b);
    tree.InsertItem("b3", b);
    tree.InsertItem("b2", b, b1);
    tree.InsertItem("a1", a);
    EXPECT_EQ("a[a1] b[b1 b2 b3]", Shape(tree, tree.GetRootItem()));
    EXPECT_EQ(6u, tree.GetCount());
    EXPECT_EQ(b, tree.GetParentItem(b1));
    EXPECT_EQ(nullptr, tree.GetParentItem(b));

    // Items of another tree, or deleted ones, are no items of this one.
    CTreeCtrl other;
    HTREEITEM foreign = other.InsertItem("x");
    EXPECT_EQ(nullptr, tree.InsertItem("y", foreign));
    EXPECT_STREQ("", tree.GetItemText(foreign));
    EXPECT_TRUE(tree.DeleteAllItems());
    EXPECT_EQ(0u, tree.GetCount());
    EXPECT_EQ(nullptr, tree.GetRootItem());
    EXPECT_EQ(nullptr, tree.GetChildItem(b));
    EXPECT_EQ(nullptr, tree.GetNextSiblingItem(a));
}
