// The interface manager keeps one layout per layer and per texture id, and
// orders them back to front.
#include <gtest/gtest.h>

#include <string>

#include "gui/YInterfaceMgr.h"

namespace {
std::string Order(const YInterfaceMgr& manager)
{
    std::string text;
    for (const YInterfaceMgr::ActiveLayout& layout : manager.GetLayouts())
        text += (layout.texture ? "#" : "") + std::string((const char*)layout.layer) +
                (layout.texture ? std::to_string(layout.textureId) : "") + " ";
    return text;
}
}  // namespace

TEST(InterfaceLayouts, OneLayoutPerLayerAndTexture)
{
    YInterfaceMgr manager(nullptr);
    EXPECT_EQ(1, manager.SetLayout("screen", "a", YInterfaceMgr::LayoutShow, "main"));
    EXPECT_EQ(1, manager.SetLayout("SCREEN", "b", YInterfaceMgr::LayoutShow | YInterfaceMgr::LayoutModal, ""));
    EXPECT_EQ(1, manager.SetTextureLayout(7, "t", YInterfaceMgr::LayoutShow, nullptr));
    EXPECT_EQ(1, manager.SetLayout("7", "c", YInterfaceMgr::LayoutShow, nullptr));
    EXPECT_EQ("screen #7 7 ", Order(manager));
    const YInterfaceMgr::ActiveLayout* screen = manager.FindLayout("screen");
    ASSERT_NE(nullptr, screen);
    EXPECT_STREQ("b", screen->script);
    EXPECT_EQ(3, screen->flags);
    EXPECT_STREQ("", screen->handler);

    // Shown again without a script, a layout keeps its script.
    EXPECT_EQ(1, manager.SetLayout("screen", nullptr, YInterfaceMgr::LayoutShow, "h"));
    EXPECT_STREQ("b", manager.FindLayout("screen")->script);

    EXPECT_EQ(0, manager.SetLayout("", "x", YInterfaceMgr::LayoutShow, nullptr));
    EXPECT_EQ(0, manager.SetLayout("dialog", nullptr, 0, nullptr)) << "nothing to close";
    EXPECT_EQ(1, manager.SetTextureLayout(7, nullptr, 0, nullptr));
    EXPECT_EQ(nullptr, manager.FindTextureLayout(7));
    EXPECT_NE(nullptr, manager.FindLayout("7"));
    EXPECT_EQ("screen 7 ", Order(manager));
}

TEST(InterfaceLayouts, MovingToTheFrontAndTheBack)
{
    YInterfaceMgr manager(nullptr);
    for (const char* layer : {"a", "b", "c"}) manager.SetLayout(layer, "", YInterfaceMgr::LayoutShow, nullptr);
    struct Case {
        const char* layer;
        bool front;
        bool result;
        const char* order;
    };
    const Case cases[] = {
        {"a", true, true, "b c a "},  {"c", false, true, "c b a "}, {"A", false, true, "a c b "},
        {"b", true, true, "a c b "},  {"z", true, false, "a c b "}, {"", false, false, "a c b "},
    };
    for (const Case& c : cases) {
        manager.m_redrawAll = 0;
        EXPECT_EQ(c.result, manager.MoveLayout(c.layer, c.front)) << c.layer;
        EXPECT_EQ(c.order, Order(manager)) << c.layer;
        EXPECT_EQ(c.result ? 2 : 0, manager.m_redrawAll) << c.layer;
    }
}
