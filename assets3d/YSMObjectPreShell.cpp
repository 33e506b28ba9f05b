// The pre-shell: groups flagged 0x400 get an inside-out copy of their
// surface pushed out along the normals, in "PreShell-AutoGen" groups.
#include <algorithm>
#include <cstdlib>

#include "assets3d/YSMObject.h"

namespace {
const size_t kRun = 500;
const size_t kMax16 = 32767;
}  // namespace

void YSMObject::BuildPreShell()
{
    bool asked = false;
    for (const auto& tag : m_tags) asked = asked || tag->key.CompareNoCase("PreShell") == 0;
    bool flagged = false;
    for (const auto& group : m_groups) flagged = flagged || (group->flags & kSMGroupPreShell);
    if (!asked || !flagged) return;

    const size_t G = m_groups.size(), F = m_faces.size();
    const size_t V = m_vertexCount > 0 ? static_cast<size_t>(m_vertexCount) : 0;
    for (const auto& frame : m_frames)
        if (frame->positions.size() < V * 3 || frame->normals.size() < V * 3) return;

    std::vector<bool> marked(F, false);
    for (const auto& group : m_groups)
        if (group->flags & kSMGroupPreShell)
            for (uint16_t f : group->faces)
                if (f < F) marked[f] = true;
    std::vector<uint16_t> list;
    std::vector<bool> usedVertex(V, false);
    for (size_t f = 0; f < F; ++f) {
        if (!marked[f]) continue;
        list.push_back(static_cast<uint16_t>(f));
        for (int16_t v : m_faces[f].v)
            if (v >= 0 && static_cast<size_t>(v) < V) usedVertex[static_cast<size_t>(v)] = true;
    }
    const size_t N = list.size();
    std::vector<int32_t> copyOf(V, -1);
    size_t M = 0;
    for (size_t v = 0; v < V; ++v)
        if (usedVertex[v]) copyOf[v] = static_cast<int32_t>(V + M++);
    const size_t runs = std::max<size_t>(1, (N + kRun - 1) / kRun);
    // Counts are 16-bit: a shell that does not fit is not built.
    if (F + N > kMax16 || V + M > kMax16 || G + runs > kMax16) return;

    for (uint16_t f : list) {
        YSMFace copy = m_faces[f];
        for (int16_t& v : copy.v)
            v = (v >= 0 && static_cast<size_t>(v) < V) ? static_cast<int16_t>(copyOf[static_cast<size_t>(v)]) : v;
        std::swap(copy.v[0], copy.v[1]);
        copy.group = static_cast<int16_t>(G);
        m_faces.push_back(copy);
    }
    for (auto& frame : m_frames) {
        frame->positions.resize((V + M) * 3, 0.0f);
        frame->normals.resize((V + M) * 3, 0.0f);
    }

    for (auto& group : m_groups) {
        if (!(group->flags & kSMGroupPreShell)) continue;
        group->flags &= ~kSMGroupPreShell;
        float s = 1.0f;
        for (const auto& tag : group->tags)
            if (tag->key.CompareNoCase("PreShellScale") == 0) s = static_cast<float>(atof(tag->value));
        for (uint16_t f : group->faces) {
            if (f >= F) continue;
            for (int16_t v : m_faces[f].v) {
                if (v < 0 || static_cast<size_t>(v) >= V) continue;
                const size_t from = static_cast<size_t>(v) * 3, to = static_cast<size_t>(copyOf[static_cast<size_t>(v)]) * 3;
                for (auto& frame : m_frames) {
                    for (int k = 0; k < 3; ++k) {
                        frame->normals[to + k] = frame->normals[from + k];
                        frame->positions[to + k] = frame->positions[from + k] + frame->normals[from + k] * s;
                    }
                }
            }
        }
    }

    int16_t skin = -1;
    for (const auto& group : m_groups)
        for (const auto& s : group->skins)
            if (s->name.CompareNoCase("PreShell") == 0) skin = s->resource;

    for (size_t k = 0; k < runs; ++k) {
        std::unique_ptr<YSMGroup> group(new YSMGroup);
        group->name = "PreShell-AutoGen";
        group->flags = kSMGroupShown;
        group->shellScale = 0.0f;
        for (size_t i = k * kRun; i < std::min(N, (k + 1) * kRun); ++i) {
            const uint16_t face = static_cast<uint16_t>(F + i);
            group->faces.push_back(face);
            m_faces[face].group = static_cast<int16_t>(G + k);
        }
        group->faceCount = static_cast<int16_t>(group->faces.size());
        if (skin != -1) {
            std::unique_ptr<YSMSkin> s(new YSMSkin);
            s->name = "PreShellFound";
            s->resource = skin;
            group->skins.push_back(std::move(s));
        }
        m_groups.push_back(std::move(group));
    }
    const YSMPose rest = {{0, 0, 0, 0, 0, 0, 0, 0, 0, 1.0f}};
    for (auto& frame : m_frames) {
        frame->present.resize(G, 0);
        frame->present.resize(G + runs, 1);
        frame->poses.resize(G + runs, rest);
    }
    m_faceCount = static_cast<int16_t>(m_faces.size());
    m_vertexCount = static_cast<int16_t>(V + M);
    m_groupCount = static_cast<int16_t>(m_groups.size());
}
