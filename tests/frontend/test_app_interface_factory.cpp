// The game's interface factory: the handler's layout class over the client area,
// one resource set shared by all of them and lent the engine's catalog.
#include <gtest/gtest.h>

#include <memory>

#include "foundation/YCatalog.h"
#include "frontend/YAppInterfaceFactory.h"
#include "frontend/YAppLayout.h"
#include "frontend/YLayoutGame.h"
#include "frontend/YLayoutGameSetup.h"
#include "frontend/YLayoutOptions.h"
#include "gui/YLayoutResSet.h"

TEST(AppInterfaceFactory, MakesTheHandlersLayoutClassShownOverTheClientArea)
{
    YAppInterfaceFactory factory;
    const struct {
        const char* handler;
        CRuntimeClass* kind;
    } cases[] = {
        {nullptr, RUNTIME_CLASS(YAppLayout)},        {"", RUNTIME_CLASS(YAppLayout)},
        {"main", RUNTIME_CLASS(YAppLayout)},         {"GAME", RUNTIME_CLASS(YLayoutGame)},
        {"game", RUNTIME_CLASS(YLayoutGame)},        {"GameSetup", RUNTIME_CLASS(YLayoutGameSetup)},
        {"options", RUNTIME_CLASS(YLayoutOptions)},  {"gamesetup2", RUNTIME_CLASS(YAppLayout)},
    };
    for (const auto& c : cases) {
        const char* name = c.handler ? c.handler : "null";
        std::unique_ptr<YLayout> layout(factory.CreateLayout(c.handler));
        ASSERT_NE(nullptr, layout) << name;
        EXPECT_STREQ(c.kind->m_lpszClassName, layout->GetRuntimeClass()->m_lpszClassName) << name;
        EXPECT_TRUE(layout->IsKindOf(RUNTIME_CLASS(YAppLayout))) << name;
        EXPECT_EQ(1, layout->m_visible);
        EXPECT_FALSE(layout->IsDisabled());
        EXPECT_EQ(0, layout->Rect().left);
        EXPECT_EQ(0, layout->Rect().top);
        EXPECT_GT(layout->Rect().right, 0);
        EXPECT_GT(layout->Rect().bottom, 0);
    }
}

TEST(AppInterfaceFactory, TheSharedSetTakesTheResourceOwnersCatalog)
{
    YAppInterfaceFactory factory;
    YLayoutResSet* set = factory.GetResourceSet();
    ASSERT_NE(nullptr, set);
    EXPECT_EQ(set, factory.GetResourceSet());
    EXPECT_EQ(nullptr, set->m_catalog);
    YCatalog catalog;
    factory.SetResourceOwner(&catalog);
    EXPECT_EQ(&catalog, set->m_catalog);
    EXPECT_EQ(&catalog, factory.GetResourceOwner());
}

TEST(AppLayout, QuotedTextsAndPlainNumbers)
{
    YAppLayout layout;
    const struct {
        const char* text;
        const char* want;
    } texts[] = {{"\"Start game\"", "Start game"}, {"\"open", "open"}, {"plain", "plain"},
                 {"two words", "two words"},      {"\"", ""},         {"", ""},
                 {nullptr, ""}};
    for (const auto& t : texts)
        EXPECT_STREQ(t.want, (const char*)layout.ResolveText(t.text, nullptr)) << (t.text ? t.text : "null");
    EXPECT_EQ(42, layout.ResolveValue("42", nullptr, nullptr));
    EXPECT_EQ(-7, layout.ResolveValue("-7", nullptr, nullptr));
    EXPECT_EQ(0, layout.ResolveValue(nullptr, nullptr, nullptr));
    EXPECT_FLOAT_EQ(1.5f, layout.ResolveFloat("1.5", nullptr, nullptr));
}
