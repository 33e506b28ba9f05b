// The shadow pool's per-frame tick: which casters keep their shadow, which
// get a fresh one and which lose theirs, then the triangles of every live
// shadow into the frame's opaque list.
#include <algorithm>
#include <cstring>

#include "assets3d/YSMHandle.h"
#include "platform/mmsystem.h"
#include "renderer/YD3D6Parser.h"

const float YD3D6Parser::kShadowLight[3] = {0.5773502f, 0.5773502f, 0.5773502f};

namespace {
const int32_t kClassEnds[4] = {8, 24, 56, -1};
}  // namespace

uint32_t YD3D6Parser::ShadowClock() const
{
    return timeGetTime();
}

void YD3D6Parser::FreeShadowGeometry(YD3D6ShadowEntry& entry)
{
    if (entry.triangleCount == 0) return;
    entry.triangleCount = 0;
    std::vector<YD3D6ShadowEntry::Vertex>().swap(entry.vertices);
    std::vector<YD3D6ShadowEntry::Triangle>().swap(entry.triangles);
}

void YD3D6Parser::ClearFlaggedShadows()
{
    for (YD3D6ShadowEntry& entry : m_shadowSlots) {
        if (entry.state != YD3D6ShadowEntry::kInUse) continue;
        FreeShadowGeometry(entry);
        entry.state = YD3D6ShadowEntry::kFree;
    }
}

void YD3D6Parser::SetCasterShadowSlot(YD3D6ShadowCaster& caster, int16_t slot)
{
    if (caster.m_model) caster.m_model->m_shadowSlot = slot;
}

void YD3D6Parser::UpdateShadows()
{
    if (m_sessionMode != 2 || m_shadowSlots.size() != size_t(kShadowSlots)) return;
    const uint32_t now = ShadowClock();
    const int32_t n = std::min(std::max(m_shadowCasterCount, int32_t(0)), int32_t(m_shadowCasters.size()));
    auto slotOf = [](const YD3D6ShadowCaster& c) -> int16_t { return c.m_model ? c.m_model->m_shadowSlot : int16_t(0); };

    // 1. Every entry in use goes stale.
    for (YD3D6ShadowEntry& entry : m_shadowSlots)
        if (entry.state == YD3D6ShadowEntry::kInUse) entry.state = YD3D6ShadowEntry::kStale;

    // 2. The casters of this frame claim their entries or age out.
    for (int32_t i = 0; i < n; ++i) {
        YD3D6ShadowCaster& c = m_shadowCasters[size_t(i)];
        const int16_t slot = slotOf(c);
        if (!c.m_model || slot < 0 || slot >= kShadowSlots) continue;
        // A handle back after frames unseen names an entry its record no
        // longer holds (another caster may have it now): it starts afresh.
        if (c.m_entry != slot) {
            SetCasterShadowSlot(c, -1);
            c.m_entry = -1;
            continue;
        }
        YD3D6ShadowEntry& entry = m_shadowSlots[size_t(slot)];
        const int32_t age = int32_t(now - c.m_castTime);
        if ((c.m_kind == 1 && age > kShadowKindLimit1) || (c.m_kind == 0 && age > 0)) {
            FreeShadowGeometry(entry);
            entry.state = YD3D6ShadowEntry::kFree;
            SetCasterShadowSlot(c, -1);
            c.m_entry = -1;
        } else {
            entry.state = YD3D6ShadowEntry::kInUse;
        }
    }

    // 3. Entries nobody claimed are released.
    for (YD3D6ShadowEntry& entry : m_shadowSlots) {
        if (entry.state != YD3D6ShadowEntry::kStale) continue;
        FreeShadowGeometry(entry);
        entry.state = YD3D6ShadowEntry::kFree;
    }

    // 4. Attached models are part of their parent's shadow.
    for (int32_t i = 0; i < n; ++i) {
        YD3D6ShadowCaster& c = m_shadowCasters[size_t(i)];
        c.m_attached.clear();
        for (uint16_t j = 0; c.m_children && j < c.m_childCount; ++j) {
            int16_t found = -1;
            for (int32_t r = 0; r < n; ++r)
                if (m_shadowCasters[size_t(r)].m_drawItem == c.m_children[j]) {
                    found = int16_t(r);
                    break;
                }
            c.m_attached.push_back(found);
            if (found < 0) continue;
            YD3D6ShadowCaster& child = m_shadowCasters[size_t(found)];
            SetCasterShadowSlot(child, -2);
            child.m_entry = -2;
        }
    }

    // 5. Casters without a shadow take the next free entries; earlier ones
    // get the larger textures.  Entries whose texture failed are passed by.
    int32_t cursor = 0, sizeClass = 0;
    for (int32_t i = 0; i < n; ++i) {
        YD3D6ShadowCaster& c = m_shadowCasters[size_t(i)];
        if (!c.m_model || slotOf(c) != -1) continue;
        auto taken = [&](int32_t e) {
            const YD3D6ShadowEntry& entry = m_shadowSlots[size_t(e)];
            return entry.state == YD3D6ShadowEntry::kInUse || entry.texture < 0 || !entry.lock;
        };
        while (cursor < kShadowSlots && taken(cursor)) {
            ++cursor;
            if (kClassEnds[sizeClass] >= 0 && cursor >= kClassEnds[sizeClass]) ++sizeClass;
        }
        if (cursor >= kShadowSlots || sizeClass > 2) continue;
        YD3D6ShadowWorkTexture* work =
            size_t(sizeClass) < m_workSlots.size() && m_workSlots[size_t(sizeClass)].lock ? &m_workSlots[size_t(sizeClass)]
                                                                                          : nullptr;
        if (!work) continue;
        YD3D6ShadowEntry& entry = m_shadowSlots[size_t(cursor)];
        entry.state = YD3D6ShadowEntry::kInUse;
        c.m_entry = cursor;
        c.m_textureWidth = c.m_textureHeight = entry.size;
        CastShadow(c, kShadowLight, work, entry, cursor);
        c.m_castTime = now;
        SetCasterShadowSlot(c, int16_t(cursor));
        memcpy(entry.vectors, c.m_vectors, sizeof entry.vectors);
    }

    // 6. The live shadows' triangles, ready vertices keyed by their texture.
    for (int32_t i = 0; i < n; ++i) {
        const YD3D6ShadowCaster& c = m_shadowCasters[size_t(i)];
        if (c.m_entry < 0 || c.m_entry >= kShadowSlots) continue;
        const YD3D6ShadowEntry& entry = m_shadowSlots[size_t(c.m_entry)];
        if (entry.state != YD3D6ShadowEntry::kInUse) continue;
        const size_t triangles = std::min(size_t(std::max(entry.triangleCount, int32_t(0))), entry.triangles.size());
        for (size_t t = 0; t < triangles; ++t) {
            const YD3D6ShadowEntry::Triangle& tri = entry.triangles[t];
            bool ok = true;
            for (int k = 0; k < 3; ++k) ok = ok && tri.v[k] < entry.vertices.size();
            if (!ok) continue;
            uint32_t first = 0;
            YAlphaVertex* v = AddAlphaVertices(3, &first);
            if (!v) return;
            YOpaqueRecord* record = AddOpaqueRecord(int16_t(entry.texture & 0xFFFF), 3, YOpaqueRecord::kShadow, 0);
            if (!record) {
                m_frameCounters[kAlphaVertexCount] -= 3;
                return;
            }
            record->m_index = first;
            for (int k = 0; k < 3; ++k) {
                const YD3D6ShadowEntry::Vertex& s = entry.vertices[tri.v[k]];
                YAlphaVertex& out = v[k];
                out.x = s.position[0], out.y = s.position[1], out.z = s.position[2];
                out.nx = s.normal[0], out.ny = s.normal[1], out.nz = s.normal[2];
                out.diffuse = 0xFFFFFFFFu;
                out.u0 = out.u1 = tri.uv[2 * k];
                out.v0 = out.v1 = tri.uv[2 * k + 1];
            }
        }
    }
}
