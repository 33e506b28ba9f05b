// "renderframe": the world drawn into a screen through the renderer's frame
// operations, the view set only when it differs and put back on request.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GameStateFixture.h"
#include "frontend/YAppLayoutItemRender.h"
#include "gui/YDC.h"

namespace {

using Calls = std::vector<std::string>;

const Calls kSetAndDraw = {"GetProjection", "GetViewRects", "SetViewRects", "SetProjection", "ApplyView",
                           "BeginFrame",    "RenderFrame",  "EndFrame",     "ClearVisitedMarks"};
const Calls kDrawOnly = {"GetProjection", "GetViewRects", "BeginFrame", "RenderFrame", "EndFrame",
                         "ClearVisitedMarks"};

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class RenderItem : public GameStateTest {
protected:
    void SetUp() override
    {
        GameStateTest::SetUp();
        m_renderer.SetSession(2, 1);
        m_renderer.SetView(kFullScreen, RECT{1, 2, 3, 4}, 50.0f);
    }
    // One draw of a layout over the screen with that script.
    Calls Draw(const char* script)
    {
        m_renderer.m_calls.clear();
        m_renderer.m_frameViews.clear();
        m_renderer.m_frameFovs.clear();
        m_renderer.m_readViews.clear();
        if (!m_layout) {
            m_layout.reset(new YAppLayout);
            m_layout->MoveTo(&kFullScreen);
        }
        if (m_layout->GetScript() != script) m_layout->SetScript(script);
        YDC dc;
        m_layout->Draw(&dc);
        return m_renderer.m_calls;
    }
    RECT View()
    {
        RECT view, second;
        m_renderer.YD3D6Parser::GetViewRects(&view, &second);
        return view;
    }
    float Fov()
    {
        float p[4];
        m_renderer.YD3D6Parser::GetProjection(&p[0], &p[1], &p[2], &p[3]);
        return p[0];
    }

    const RECT kFullScreen = {0, 0, 640, 480};
    std::unique_ptr<YAppLayout> m_layout;
};

}  // namespace

TEST_F(RenderItem, TheKeywordMakesTheItemInAnyCase)
{
    YAppLayout layout;
    for (const char* word : {"renderframe", "RenderFrame", "RENDERFRAME"}) {
        std::unique_ptr<YLayoutItem> item(layout.CreateAppItem(word));
        ASSERT_NE(nullptr, item) << word;
        EXPECT_TRUE(item->IsKindOf(RUNTIME_CLASS(YAppLayoutItemRender)));
        EXPECT_EQ(0, item->GetArgCount());
        EXPECT_EQ(0, static_cast<YAppLayoutItemRender*>(item.get())->m_bRestoreView);
    }
    EXPECT_EQ(nullptr, layout.CreateAppItem("render"));
    EXPECT_EQ(nullptr, layout.CreateAppItem(nullptr));
}

TEST_F(RenderItem, SetsTheViewOnceThenDrawsEveryFrameAt75Degrees)
{
    EXPECT_EQ(kSetAndDraw, Draw("renderframe(10, 20, 330, 260)"));
    ASSERT_EQ(1u, m_renderer.m_frameViews.size());
    EXPECT_TRUE(Same(RECT{10, 20, 330, 260}, m_renderer.m_frameViews[0]));
    EXPECT_FLOAT_EQ(75.0f, m_renderer.m_frameFovs[0]);
    // The second rectangle is the first; the other projection values stay.
    RECT view, second;
    m_renderer.YD3D6Parser::GetViewRects(&view, &second);
    EXPECT_TRUE(Same(view, second));
    float p[4];
    m_renderer.YD3D6Parser::GetProjection(&p[0], &p[1], &p[2], &p[3]);
    EXPECT_FLOAT_EQ(2.0f, p[1]);
    EXPECT_FLOAT_EQ(4.0f, p[3]);

    EXPECT_EQ(kDrawOnly, Draw("renderframe(10, 20, 330, 260)")) << "a steady view is not set again";
    // A field of view that differs sets it again.
    m_layout.reset();
    EXPECT_EQ(kSetAndDraw, Draw("renderframe(10, 20, 330, 260, 60)"));
    EXPECT_FLOAT_EQ(60.0f, m_renderer.m_frameFovs[0]);
}

TEST_F(RenderItem, TheRectangleLiesInItsGroup)
{
    EXPECT_EQ(kSetAndDraw, Draw("group(40, 30, 240, 130) renderframe(0, 0, 200, 100) endgroup"));
    EXPECT_TRUE(Same(RECT{40, 30, 240, 130}, m_renderer.m_frameViews[0]));
    m_layout.reset();
    const RECT before = View();
    for (const char* script : {"group(40, 30, 240, 130) renderframe(0, 0, 201, 100) endgroup",
                               "group(40, 30, 240, 130) renderframe(-1, 0, 200, 100) endgroup",
                               "renderframe(0, 0, 641, 480)", "renderframe(100, 100, 100, 200)"}) {
        m_layout.reset();
        EXPECT_EQ(Calls{}, Draw(script)) << script;
        EXPECT_TRUE(Same(before, View())) << script;
    }
}

TEST_F(RenderItem, NoSessionOrNotReadyOrNoRendererChangesNothing)
{
    const struct {
        int mode;
        int ready;
        bool renderer;
    } cases[] = {{0, 1, true}, {2, 0, true}, {0, 0, true}, {2, 1, false}};
    for (const auto& c : cases) {
        m_renderer.SetSession(c.mode, c.ready);
        e->m_renderer = c.renderer ? &m_renderer : nullptr;
        m_layout.reset();
        EXPECT_EQ(Calls{}, Draw("renderframe(10, 20, 330, 260)")) << c.mode << c.ready << c.renderer;
        EXPECT_TRUE(Same(kFullScreen, View()));
        EXPECT_FLOAT_EQ(50.0f, Fov());
    }
}

TEST_F(RenderItem, FewerThanFourArgumentsOrAFieldOfViewWithoutAProjectionDrawNothing)
{
    for (const char* script : {"renderframe(10, 20, 330)", "renderframe()", "renderframe(0, 0, 100, 100, 0)",
                               "renderframe(0, 0, 100, 100, -5)", "renderframe(0, 0, 100, 100, 180)",
                               "renderframe(0, 0, 100, 100, 500)"}) {
        m_layout.reset();
        EXPECT_EQ(Calls{}, Draw(script)) << script;
        EXPECT_TRUE(Same(kFullScreen, View())) << script;
        EXPECT_FLOAT_EQ(50.0f, Fov()) << script;
    }
    m_layout.reset();
    EXPECT_EQ(kSetAndDraw, Draw("renderframe(0, 0, 100, 100, 179.5)"));
}

TEST_F(RenderItem, TwoItemsTheFirstRestoringTheView)
{
    EXPECT_EQ((Calls{"GetProjection", "GetViewRects", "SetViewRects", "SetProjection", "ApplyView", "BeginFrame",
                     "RenderFrame", "EndFrame", "ClearVisitedMarks", "SetViewRects", "SetProjection", "ApplyView",
                     "GetProjection", "GetViewRects", "SetViewRects", "SetProjection", "ApplyView", "BeginFrame",
                     "RenderFrame", "EndFrame", "ClearVisitedMarks"}),
              Draw("renderframe(0, 0, 320, 240, 60, 1) renderframe(320, 240, 640, 480)"));
    ASSERT_EQ(2u, m_renderer.m_frameViews.size());
    EXPECT_TRUE(Same(RECT{0, 0, 320, 240}, m_renderer.m_frameViews[0]));
    EXPECT_FLOAT_EQ(60.0f, m_renderer.m_frameFovs[0]);
    EXPECT_TRUE(Same(RECT{320, 240, 640, 480}, m_renderer.m_frameViews[1]));
    EXPECT_FLOAT_EQ(75.0f, m_renderer.m_frameFovs[1]);
    // The second item found the view as it was before the first drew.
    ASSERT_EQ(2u, m_renderer.m_readViews.size());
    EXPECT_TRUE(Same(kFullScreen, m_renderer.m_readViews[1]));
    // The second stays: it does not restore.
    EXPECT_TRUE(Same(RECT{320, 240, 640, 480}, View()));

    // The first put the old view back, second rectangle and all.
    m_layout.reset();
    m_renderer.SetView(kFullScreen, RECT{1, 2, 3, 4}, 50.0f);
    Draw("renderframe(0, 0, 320, 240, 60, 1)");
    RECT view, second;
    m_renderer.YD3D6Parser::GetViewRects(&view, &second);
    EXPECT_TRUE(Same(kFullScreen, view));
    EXPECT_TRUE(Same(RECT{1, 2, 3, 4}, second));
    EXPECT_FLOAT_EQ(50.0f, Fov());
}
