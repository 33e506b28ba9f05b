#include "frontend/YAppLayoutItemRender.h"

#include "engine/YGameObjects.h"
#include "gui/YLayout.h"
#include "renderer/YD3D6Parser.h"

IMPLEMENT_DYNAMIC(YAppLayoutItemRender, YLayoutItem)

YAppLayoutItemRender::YAppLayoutItemRender() : m_bRestoreView(0) {}

void YAppLayoutItemRender::Load(YDC* dc)
{
    m_bRestoreView = 0;
    if (GetArgCount() >= 6 && m_layout) m_bRestoreView = m_layout->ResolveValue(m_args[5], dc, m_parentGroup) != 0;
    m_loaded = 1;
}

int YAppLayoutItemRender::Draw(YDC* dc)
{
    const DWORD start = GetTickCount();
    if (!m_loaded) Load(dc);
    YGameObjects* engine = YGameObjects::Existing();
    YD3D6Parser* renderer = engine ? dynamic_cast<YD3D6Parser*>(engine->m_renderer) : nullptr;
    // The scripts always give the rectangle; without it there is nothing to draw.
    if (!renderer || !m_layout || GetArgCount() < 4) return 0;
    RECT rect;
    rect.left = m_layout->ResolveValue(m_args[0], dc, m_parentGroup);
    rect.top = m_layout->ResolveValue(m_args[1], dc, m_parentGroup);
    rect.right = m_layout->ResolveValue(m_args[2], dc, m_parentGroup);
    rect.bottom = m_layout->ResolveValue(m_args[3], dc, m_parentGroup);
    RECT group;
    rect = PlaceInGroup(dc, rect, &group);
    const float fov = GetArgCount() >= 5 ? m_layout->ResolveFloat(m_args[4], dc, m_parentGroup) : kDefaultFieldOfView;

    RECT inside;
    IntersectRect(&inside, &rect, &group);
    if (!EqualRect(&inside, &rect) || !renderer->GetSessionMode() || !renderer->IsReady()) return 0;
    // A field of view of 0 or less, or of 180 or more, has no projection.
    if (!(fov > 0.0f && fov < 180.0f)) return 0;

    float projection[4];
    renderer->GetProjection(&projection[0], &projection[1], &projection[2], &projection[3]);
    RECT view, second;
    renderer->GetViewRects(&view, &second);
    bool changed = false;
    if (!EqualRect(&rect, &view) || fov != projection[0]) {
        renderer->SetViewRects(rect.left, rect.top, rect.right, rect.bottom, rect.left, rect.top, rect.right,
                               rect.bottom);
        renderer->SetProjection(fov, projection[1], projection[2], projection[3]);
        renderer->ApplyView();
        changed = true;
    }
    renderer->BeginFrame();
    renderer->RenderFrame();
    renderer->EndFrame();
    renderer->ClearVisitedMarks();
    if (changed && m_bRestoreView) {
        renderer->SetViewRects(view.left, view.top, view.right, view.bottom, second.left, second.top, second.right,
                               second.bottom);
        renderer->SetProjection(projection[0], projection[1], projection[2], projection[3]);
        renderer->ApplyView();
    }
    m_cost = static_cast<int32_t>(GetTickCount() - start);
    return 0;
}
