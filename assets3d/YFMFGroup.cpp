#include "assets3d/YFMFGroup.h"

#include "assets3d/YFMFMeshSet.h"

YFMFFrame::YFMFFrame() = default;
YFMFFrame::~YFMFFrame() = default;

int YFMFFrame::AddNode(YFMFMeshNode* node)
{
    if (!node) return -1;
    m_nodes.emplace_back(node);
    return static_cast<int>(m_nodes.size());
}

int YFMFFrame::RemoveNodeAt(int index)
{
    if (index < 0 || index >= GetNodeCount()) return -1;
    m_nodes.erase(m_nodes.begin() + index);
    return GetNodeCount();
}

int YFMFFrame::FindNode(uint32_t id) const
{
    for (size_t i = 0; i < m_nodes.size(); ++i)
        if (m_nodes[i]->id == id) return static_cast<int>(i);
    return -1;
}

YFMFMeshNode* YFMFFrame::GetNodeAt(int index) const
{
    return index >= 0 && index < GetNodeCount() ? m_nodes[static_cast<size_t>(index)].get() : nullptr;
}

YFMFGroup::YFMFGroup() = default;
YFMFGroup::~YFMFGroup() = default;

int YFMFGroup::AddFrame(YFMFFrame* frame)
{
    if (!frame) return -1;
    m_frames.emplace_back(frame);
    return GetFrameCount();
}

int YFMFGroup::RemoveFrameAt(int index)
{
    if (index < 0 || index >= GetFrameCount()) return -1;
    m_frames.erase(m_frames.begin() + index);
    return GetFrameCount();
}

int YFMFGroup::FindFrame(const char* name) const
{
    for (size_t i = 0; i < m_frames.size(); ++i)
        if (name && m_frames[i]->GetName() == std::string(name)) return static_cast<int>(i);
    return -1;
}

YFMFFrame* YFMFGroup::GetFrameAt(int index) const
{
    return index >= 0 && index < GetFrameCount() ? m_frames[static_cast<size_t>(index)].get() : nullptr;
}

float YFMFGroup::TotalTime() const
{
    float total = 0.0f;
    for (const auto& frame : m_frames) total += frame->GetTime();
    return total;
}
