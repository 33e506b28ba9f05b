#include "world/YActor.h"

#include <algorithm>

#include "platform/win32.h"
#include "world/YActorWorld.h"

namespace {
struct FlagName {
    const char* name;
    uint32_t bit;
};

// The named bits of flag word A.
const FlagName FlagNames[] = {
    {"Visible", YActor::FlagVisible},
    {"DestroyMe", YActor::FlagDestroyMe},
};

const FlagName* FindFlag(const char* name)
{
    if (!name) return nullptr;
    for (const FlagName& flag : FlagNames)
        if (_stricmp(flag.name, name) == 0) return &flag;
    return nullptr;
}
}  // namespace

YActor::~YActor()
{
    if (m_parent) m_parent->RemoveChild(this);
    for (YActor* child : m_children) child->m_parent = nullptr;
}

void YActor::SetFlag(const char* name, bool on)
{
    const FlagName* flag = FindFlag(name);
    if (!flag) return;
    if (on) m_flags |= flag->bit;
    else m_flags &= ~flag->bit;
}

int YActor::GetFlag(const char* name) const
{
    const FlagName* flag = FindFlag(name);
    return flag && (m_flags & flag->bit) ? 1 : 0;
}

int YActor::AddChild(YActor* child)
{
    if (!child || child == this || child->m_parent == this) return 0;
    for (YActor* above = m_parent; above; above = above->m_parent)
        if (above == child) return 0;
    if (child->m_parent) child->m_parent->RemoveChild(child);
    m_children.push_back(child);
    child->m_parent = this;
    return 1;
}

int YActor::RemoveChild(YActor* child)
{
    auto at = std::find(m_children.begin(), m_children.end(), child);
    if (at == m_children.end()) return 0;
    m_children.erase(at);
    child->m_parent = nullptr;
    return 1;
}

int YActor::PerformAction(const char*) { return 0; }

namespace {
const float kRenderScale = 16.0f;
const float kDegToRad = 0.017453292f;
const DWORD kRenderDrawn = 0x1;
}  // namespace

YRenderInstance* YActor::BuildRenderInstance()
{
    m_render.m_position[0] = m_position.x * kRenderScale;
    m_render.m_position[1] = m_position.y * kRenderScale;
    m_render.m_position[2] = m_position.z * kRenderScale;
    m_render.m_angles[0] = m_angles.x * kDegToRad;
    m_render.m_angles[1] = m_angles.y * kDegToRad;
    m_render.m_angles[2] = m_angles.z * kDegToRad;
    m_render.m_model = m_model;
    m_render.m_flags &= ~kRenderDrawn;
    if (m_model) {
        m_render.m_flags |= kRenderDrawn;
        // Not drawn when hidden, or when the camera sits inside it.
        bool viewInside = false;
        if (m_world) {
            const YVector& v = m_world->m_viewVector;
            viewInside = v.x * v.x + v.y * v.y + v.z * v.z < 0.001f && m_world->GetViewActor() == this;
        }
        if (!(m_flags & FlagVisible) || viewInside) m_render.m_flags &= ~kRenderDrawn;
        m_render.m_scale = m_scale;
    }
    return &m_render;
}
