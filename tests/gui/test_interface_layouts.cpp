// The interface manager: one layout per layer and per texture id, drawn
// back to front, each opened layout told once when its resources settled,
// closed layouts deleted at the next step, a modal layer taking every
// message and the two interface sounds.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "LayoutFixture.h"
#include "graphics2d/YDXDraw.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YSurfaceDC.h"
#include "gui/YInterfaceMgr.h"
#include "gui/YLayoutResSet.h"

namespace {

class CountingLayout : public TestLayout {
public:
    CountingLayout(const std::string& name, std::vector<std::string>* events) : m_name(name), m_events(events) {}
    ~CountingLayout() override { m_events->push_back("delete " + m_name); }
    void OnOpen() override { m_events->push_back("open " + m_name); }
    void OnClose() override { m_events->push_back("close " + m_name); }
    void OnStep() override
    {
        ++m_steps;
        if (m_onStep) m_onStep();
    }
    int Draw(YDC* dc) override
    {
        m_events->push_back("draw " + m_name);
        if (m_onDraw) m_onDraw();
        return TestLayout::Draw(dc);
    }
    int HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_messages.push_back(message);
        return TestLayout::HandleMessage(message, wParam, lParam);
    }
    int ResolveValue(const char* text, YDC* dc, YLayoutGroup* group) override
    {
        if (m_onValue && std::string(text) == "refresh") m_onValue();
        return TestLayout::ResolveValue(text, dc, group);
    }
    void ExecuteCommand(const char* text) override
    {
        if (m_onCommand) m_onCommand(text);
        // Still here after the command: the layout must still be alive.
        m_commands.push_back(text);
    }

    std::string m_name;
    std::vector<std::string>* m_events;
    int m_steps = 0;
    std::vector<UINT> m_messages;
    std::function<void()> m_onStep, m_onDraw, m_onValue;
    std::function<void(const char*)> m_onCommand;
};

class TestFactory : public YInterfaceFactory {
public:
    YLayoutResSet* GetResourceSet() override { return &m_set; }
    YLayout* CreateLayout(const char* handler) override
    {
        CountingLayout* layout =
            new CountingLayout(std::string(handler ? handler : "") + std::to_string(++m_made), &m_events);
        RECT rect = {0, 0, 100, 100};
        layout->MoveTo(&rect);
        return layout;
    }
    void PlaySound(int index) override { m_sounds.push_back(index); }

    YLayoutResSet m_set;
    int m_made = 0;
    std::vector<std::string> m_events;
    std::vector<int> m_sounds;
};

CountingLayout* LayoutOf(const YActiveLayout* record)
{
    return record ? static_cast<CountingLayout*>(record->m_layout) : nullptr;
}

// Screen layers back to front: "layer(handler)"; texture layers "#id(handler)".
std::string Order(const YInterfaceMgr& manager)
{
    std::string text;
    for (POSITION at = manager.GetScreenLayers().GetHeadPosition(); at;) {
        const YActiveLayout* record = static_cast<const YActiveLayout*>(manager.GetScreenLayers().GetNext(at));
        text += std::string(text.empty() ? "" : " ") + (const char*)record->m_layer + "(" +
                (const char*)record->m_handler + ")";
    }
    for (POSITION at = manager.GetTextureLayers().GetHeadPosition(); at;) {
        const YTextureLayout* record = static_cast<const YTextureLayout*>(manager.GetTextureLayers().GetNext(at));
        text += std::string(text.empty() ? "" : " ") + "#" + std::to_string(record->m_textureId) + "(" +
                (const char*)record->m_handler + ")";
    }
    return text;
}

// The manager's child windows, back to front, by layout name.
std::string Children(const YInterfaceMgr& manager)
{
    std::string text;
    for (int i = 0; i < manager.GetChildCount(); ++i) {
        CountingLayout* layout = dynamic_cast<CountingLayout*>(manager.GetChild(i));
        text += std::string(text.empty() ? "" : " ") + (layout ? layout->m_name : "?");
    }
    return text;
}

std::string Join(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

// "s layer[:handler]" shows, "sm" shows modal, "h" hides, "ts"/"th" the same
// for a texture id, "f"/"b" move, "draw", "step".
void Apply(YInterfaceMgr& manager, const std::string& op)
{
    std::istringstream in(op);
    std::string action, target;
    in >> action >> target;
    std::string layer = target, handler;
    const size_t colon = target.find(':');
    if (colon != std::string::npos) {
        layer = target.substr(0, colon);
        handler = target.substr(colon + 1);
    }
    YDC dc;
    if (action == "draw") manager.Draw(&dc);
    else if (action == "step") manager.Step();
    else if (action == "f" || action == "b") manager.MoveLayout(layer.c_str(), action == "f");
    else if (action[0] == 't') {
        const int flags = action == "ts" ? YInterfaceMgr::LayoutShow : 0;
        EXPECT_TRUE(manager.SetTextureLayout(atoi(layer.c_str()), "", flags, handler.c_str()));
    } else {
        int flags = action[0] == 's' ? YInterfaceMgr::LayoutShow : 0;
        if (action == "sm") flags |= YInterfaceMgr::LayoutModal;
        EXPECT_TRUE(manager.SetLayout(layer.c_str(), "", flags, handler.c_str()));
    }
}

}  // namespace

TEST(InterfaceManager, LayerSequences)
{
    struct Case {
        const char* name;
        std::vector<std::string> ops;
        const char* order;
        const char* children;
        const char* events;
    } cases[] = {
        {"open", {"s screen:main", "draw"}, "screen(main)", "main1", "draw main1, open main1"},
        {"opened once however often drawn",
         {"s screen:main", "draw", "draw"},
         "screen(main)",
         "main1",
         "draw main1, open main1, draw main1"},
        {"shown again: one layout, closed and opened again",
         {"s screen:main", "draw", "s SCREEN:MAIN", "draw"},
         "SCREEN(MAIN)",
         "main1",
         "draw main1, open main1, close main1, draw main1, open main1"},
        {"another handler replaces the layout",
         {"s screen:main", "draw", "s screen:options", "draw", "step"},
         "screen(options)",
         "options2",
         "draw main1, open main1, close main1, draw options2, open options2, delete main1"},
        {"hidden: closed now, deleted at the next step",
         {"s a", "s b", "draw", "h a", "draw", "step"},
         "b()",
         "2",
         "draw 1, draw 2, open 1, open 2, close 1, draw 2, delete 1"},
        {"hiding a layer that is not open", {"s a", "h zz", "step"}, "a()", "1", ""},
        {"closed before its first frame: never opened", {"s a", "h a", "draw", "step"}, "", "", "close 1, delete 1"},
        {"front and back", {"s a", "s b", "s c", "f a", "b c", "draw"}, "c() b() a()", "3 2 1",
         "draw 3, draw 2, draw 1, open 1, open 2, open 3"},
        {"moving a layer that is not open", {"s a", "s b", "f c", "b z"}, "a() b()", "1 2", ""},
        {"texture layers are not children and not drawn on screen",
         {"ts 7:clock", "s a", "draw", "ts 7:clock", "th 7:clock", "step"},
         "a()",
         "2",
         "draw 2, open clock1, open 2, close clock1, close clock1, delete clock1"},
        {"texture and screen layers with the same name are apart",
         {"ts 7", "s 7", "th 7"},
         "7()",
         "2",
         "close 1"},
    };
    for (const Case& c : cases) {
        TestFactory factory;
        {
            YInterfaceMgr manager(&factory);
            EXPECT_EQ(&factory.m_set, manager.GetSharedSet());
            for (const std::string& op : c.ops) Apply(manager, op);
            EXPECT_EQ(c.order, Order(manager)) << c.name;
            EXPECT_EQ(c.children, Children(manager)) << c.name;
            EXPECT_EQ(c.events, Join(factory.m_events)) << c.name;
        }
    }
}

TEST(InterfaceManager, StepsEveryScreenLayerAndClosesAllAtTheEnd)
{
    TestFactory factory;
    {
        YInterfaceMgr manager(&factory);
        Apply(manager, "s a");
        Apply(manager, "ts 3");
        manager.Step();
        manager.Step();
        EXPECT_EQ(2, LayoutOf(manager.FindLayout("a"))->m_steps);
        EXPECT_EQ(0, LayoutOf(manager.FindTextureLayout(3))->m_steps);
        factory.m_events.clear();
    }
    EXPECT_EQ("close 1, close 2, delete 1, delete 2", Join(factory.m_events));
}

TEST(InterfaceManager, ALayoutClosedByItsOwnCommandLivesUntilTheNextStep)
{
    TestFactory factory;
    YInterfaceMgr manager(&factory);
    Apply(manager, "s screen:main");
    Apply(manager, "draw");
    CountingLayout* main = LayoutOf(manager.FindLayout("screen"));
    // The layout's command opens another screen in its layer.
    main->m_onCommand = [&](const char*) { manager.SetLayout("screen", "", YInterfaceMgr::LayoutShow, "next"); };
    main->ExecuteCommand("layout s screen:next");
    ASSERT_EQ(1u, main->m_commands.size());
    EXPECT_EQ("screen(next)", Order(manager));
    EXPECT_EQ(std::string::npos, Join(factory.m_events).find("delete main1"));
    manager.Step();
    EXPECT_NE(std::string::npos, Join(factory.m_events).find("delete main1"));
}

TEST(InterfaceManager, ALayerClosedWhileTheFrameIsDrawnIsSkipped)
{
    TestFactory factory;
    YInterfaceMgr manager(&factory);
    for (const char* op : {"s a", "s b", "s c", "draw"}) Apply(manager, op);
    factory.m_events.clear();
    // Drawing a closes b (drawn next) and re-opens itself on top with
    // another handler.
    LayoutOf(manager.FindLayout("a"))->m_onDraw = [&]() {
        manager.SetLayout("b", nullptr, 0, "");
        manager.SetLayout("a", "", YInterfaceMgr::LayoutShow, "again");
    };
    Apply(manager, "draw");
    EXPECT_EQ("draw 1, close 2, close 1, draw 3, open again4", Join(factory.m_events));
    EXPECT_EQ("c() a(again)", Order(manager));
    // A step that closes a layer still steps the others.
    LayoutOf(manager.FindLayout("c"))->m_onStep = [&]() { manager.SetLayout("a", nullptr, 0, "again"); };
    manager.Step();
    EXPECT_EQ("c()", Order(manager));
}

TEST(InterfaceManager, ALayoutRefreshedFromInsideItsOwnDrawKeepsDrawingItsOldItems)
{
    TestFactory factory;
    YInterfaceMgr manager(&factory);
    manager.SetLayout("a", "probe(one) if(refresh) probe(two) endif probe(three)", YInterfaceMgr::LayoutShow, "");
    CountingLayout* layout = LayoutOf(manager.FindLayout("a"));
    layout->m_onValue = [&]() {
        layout->m_onValue = nullptr;
        manager.SetLayout("a", "probe(new)", YInterfaceMgr::LayoutShow, "");
    };
    Apply(manager, "draw");
    EXPECT_EQ(layout, LayoutOf(manager.FindLayout("a"))) << "the same layout, refreshed";
    Apply(manager, "draw");
    EXPECT_EQ((std::vector<std::string>{"draw one", "hide two", "draw three", "draw new"}), layout->m_log);
}

TEST(InterfaceManager, ModalLayerTakesEveryMessage)
{
    TestFactory factory;
    YInterfaceMgr manager(&factory);
    Apply(manager, "s back");
    Apply(manager, "sm dialog");
    CountingLayout* dialog = LayoutOf(manager.FindLayout("dialog"));
    CountingLayout* back = LayoutOf(manager.FindLayout("back"));
    RECT small = {10, 10, 20, 20};
    dialog->MoveTo(&small);
    EXPECT_EQ(manager.FindLayout("dialog"), manager.GetModalLayer());
    const LPARAM outside = MAKELPARAM(300, 300);
    manager.HandleMessage(WM_LBUTTONDOWN, 0, outside);
    manager.HandleMessage(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ((std::vector<UINT>{WM_LBUTTONDOWN, WM_KEYDOWN}), dialog->m_messages);
    EXPECT_TRUE(back->m_messages.empty());

    // Hidden, the modality ends.
    Apply(manager, "h dialog");
    EXPECT_EQ(nullptr, manager.GetModalLayer());
    Apply(manager, "s dialog");
    EXPECT_EQ(nullptr, manager.GetModalLayer()) << "shown again without the modal flag";
}

TEST(InterfaceManager, SoundsForClicksAndHovers)
{
    TestFactory factory;
    // Controls are the set's: they outlive the layout.
    std::unique_ptr<YWindow> loud(new YWindow), quiet(new YWindow);
    YInterfaceMgr manager(&factory);
    Apply(manager, "s a");
    YWindow* layout = manager.FindLayout("a")->m_layout;
    RECT rect = {0, 0, 5, 5};
    loud->Create(0, "", 0, &rect, layout, 11, 0);
    quiet->Create(0, "", 0, &rect, layout, 12, 0);
    quiet->m_clickSound = 0;
    struct Case {
        int id, code;
        std::vector<int> sounds;
    } cases[] = {
        {11, YWindow::kNotifyClicked, {0}},  {12, YWindow::kNotifyClicked, {}}, {99, YWindow::kNotifyClicked, {}},
        {12, YInterfaceMgr::kNotifyHover, {1}}, {99, YInterfaceMgr::kNotifyHover, {}}, {11, 5, {}},
    };
    for (const Case& c : cases) {
        factory.m_sounds.clear();
        manager.OnNotify(c.id, c.code);
        EXPECT_EQ(c.sounds, factory.m_sounds) << c.id << " " << c.code;
    }
}

TEST(InterfaceManager, TheFrameIsBlackWhenNoLayerShows)
{
    GUID primary;
    memset(&primary, 0, sizeof primary);
    YDXDraw display;
    ASSERT_EQ(1, display.Create(primary));
    ASSERT_EQ(1, display.SetMode(0, nullptr));
    YSurfaceDC dc(new YDXSurface, 1);
    ASSERT_EQ(1, dc.Create(8, 6, &display));
    auto corner = [&]() {
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        if (!dc.GetSurface()->Lock(&desc)) return 0xDEADBEEFu;
        const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
        const uint8_t* p = static_cast<uint8_t*>(desc.lpSurface) + 5 * desc.lPitch + 7 * bytes;
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(p[i]) << (8 * i);
        dc.GetSurface()->Unlock();
        return value;
    };
    TestFactory factory;
    YInterfaceMgr manager(&factory);
    struct Case {
        const char* op;
        bool black;
    } cases[] = {{"none", true}, {"s a", false}, {"hide the layout", true}, {"h a", true}};
    for (const Case& c : cases) {
        if (std::string(c.op) == "hide the layout") manager.FindLayout("a")->m_layout->m_visible = 0;
        else if (std::string(c.op) != "none") Apply(manager, c.op);
        dc.GetSurface()->Clear(nullptr, 0x00FFFFFF);
        manager.Draw(&dc);
        EXPECT_EQ(c.black, corner() == 0) << c.op;
    }
}

TEST(InterfaceManager, ReleasingSurfacesReloadsEveryLayout)
{
    TestFactory factory;
    YInterfaceMgr manager(&factory);
    Apply(manager, "s a");
    CountingLayout* layout = LayoutOf(manager.FindLayout("a"));
    layout->SetScript("probe(x)");
    Apply(manager, "draw");
    factory.m_set.Add(factory.m_set.m_surfaces, "cache", new YResource, nullptr);
    ASSERT_EQ(1u, layout->m_log.size());
    EXPECT_TRUE(manager.ReleaseSurfaces());
    EXPECT_EQ(0, static_cast<int>(factory.m_set.m_surfaces.GetCount()));
    // Every item loads again on the next draw.
    const auto* root = static_cast<const YLayoutItem*>(layout->GetItems().GetHead());
    EXPECT_EQ(0, root->m_loaded);
}

TEST(InterfaceManager, WithoutAFactoryNothingOpens)
{
    YInterfaceMgr manager(nullptr);
    EXPECT_EQ(nullptr, manager.GetSharedSet());
    EXPECT_TRUE(manager.SetLayout("a", "x", YInterfaceMgr::LayoutShow, nullptr));
    EXPECT_EQ("", Order(manager));
    EXPECT_EQ(&manager, manager.GetRootWindow());
}
