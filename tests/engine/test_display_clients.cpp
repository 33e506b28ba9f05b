// Around a display restart, display clients are told before and after, and
// surface drawing contexts lose their surface and get a new one of the same
// size; removed or null ones are left alone.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/DisplayFixture.h"
#include "foundation/YResource.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YSurfaceDC.h"

namespace {
// Writes "r" for a release and "c" for a creation with the graphics object.
class RecordingClient : public YResource {
public:
    explicit RecordingClient(YGraphics* graphics) : m_graphics(graphics) {}
    BOOL ReleaseSurfaces() override
    {
        m_log += "r";
        return TRUE;
    }
    BOOL CreateSurfaces(YDXDraw* display) override
    {
        m_log += display == m_graphics ? "c" : "?";
        return TRUE;
    }
    YGraphics* m_graphics;
    std::string m_log;
};

class DisplayClients : public StartedDisplay {};
}  // namespace

TEST_F(DisplayClients, ClientsAreToldAroundEachRestartUntilRemoved)
{
    RecordingClient first(m_graphics), second(m_graphics);
    m_graphics->AddDisplayClient(&first);
    m_graphics->AddDisplayClient(&second);
    m_graphics->AddDisplayClient(&first);  // once only
    m_graphics->AddDisplayClient(nullptr);
    ASSERT_EQ(m_graphics->StartDisplay(), 1);
    EXPECT_EQ(first.m_log, "rc");
    EXPECT_EQ(second.m_log, "rc");

    m_graphics->RemoveDisplayClient(&first);
    m_graphics->RemoveDisplayClient(&first);  // absent: nothing happens
    m_graphics->RemoveDisplayClient(nullptr);
    ASSERT_EQ(m_graphics->StartDisplay(), 1);
    EXPECT_EQ(first.m_log, "rc");
    EXPECT_EQ(second.m_log, "rcrc");
    m_graphics->RemoveDisplayClient(&second);
}

TEST_F(DisplayClients, ContextsAreRebuiltAtTheirSize)
{
    struct Case {
        int width, height;
        bool added;
    } cases[] = {{12, 7, true}, {1, 1, true}, {30, 20, false}};
    std::unique_ptr<YSurfaceDC> contexts[3];
    YDXSurface* before[3];
    for (int i = 0; i < 3; ++i) {
        contexts[i].reset(new YSurfaceDC(new YDXSurface("context"), 1));
        ASSERT_TRUE(contexts[i]->Create(cases[i].width, cases[i].height, m_graphics)) << i;
        before[i] = contexts[i]->GetSurface();
        if (cases[i].added) m_graphics->AddClient(contexts[i].get());
    }
    m_graphics->AddClient(nullptr);
    ASSERT_EQ(m_graphics->StartDisplay(), 1);
    for (int i = 0; i < 3; ++i) {
        YDXSurface* after = contexts[i]->GetSurface();
        ASSERT_NE(after, nullptr) << i;
        EXPECT_EQ(after->GetWidth(), static_cast<DWORD>(cases[i].width)) << i;
        EXPECT_EQ(after->GetHeight(), static_cast<DWORD>(cases[i].height)) << i;
        if (!cases[i].added) {
            EXPECT_EQ(after, before[i]) << "not a client: untouched";
        }
    }
    for (auto& context : contexts) m_graphics->RemoveClient(context.get());
    // Released while the display is still there.
    for (auto& context : contexts) context->ReleaseSurface();
}

TEST_F(DisplayClients, AContextOnTheBackSurfaceTakesItOnce)
{
    YSurfaceDC context;
    ASSERT_NE(m_graphics->m_back, nullptr);
    const DWORD width = m_graphics->m_back->GetWidth();
    context.SetSurface(m_graphics->m_back);
    m_graphics->AddClient(&context);
    ASSERT_EQ(m_graphics->StartDisplay(), 1);
    ASSERT_NE(context.GetSurface(), nullptr);
    EXPECT_EQ(context.GetSurface()->GetWidth(), width);
    ASSERT_NE(m_graphics->m_back, nullptr);
    EXPECT_NE(context.GetSurface(), m_graphics->m_back) << "the context has a surface of its own again";
    m_graphics->RemoveClient(&context);
    context.ReleaseSurface();
}
