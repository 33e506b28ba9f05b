// Small models built in memory for the model tests.
#pragma once

#include <string>
#include <vector>

#include "assets3d/YSMObject.h"

namespace modeltest {

inline YSMTag* Tag(const char* key, const char* value, uint8_t type = 0)
{
    YSMTag* tag = new YSMTag;
    tag->key = key;
    tag->value = value;
    tag->type = type;
    return tag;
}

inline YSMFace Face(int a, int b, int c, int group, float u0 = 0, float v0 = 0)
{
    YSMFace face = {};
    face.v[0] = static_cast<int16_t>(a);
    face.v[1] = static_cast<int16_t>(b);
    face.v[2] = static_cast<int16_t>(c);
    face.uv[0] = u0;
    face.uv[1] = v0;
    face.uv[2] = 1.0f;
    face.uv[5] = 1.0f;
    face.group = static_cast<int16_t>(group);
    return face;
}

inline YSMGroup* Group(const char* name, uint32_t flags, std::vector<YSMSkin*> skins = {})
{
    YSMGroup* group = new YSMGroup;
    group->name = name;
    group->flags = flags;
    for (YSMSkin* s : skins) group->skins.emplace_back(s);
    return group;
}

inline YSMSkin* Skin(const char* name, int16_t resource)
{
    YSMSkin* skin = new YSMSkin;
    skin->name = name;
    skin->resource = resource;
    return skin;
}

inline YSMAnim* Anim(const char* name, std::vector<uint16_t> frames, std::vector<float> durations, uint32_t flags = 0)
{
    YSMAnim* anim = new YSMAnim;
    anim->name = name;
    anim->flags = flags;
    anim->keyCount = static_cast<int16_t>(frames.size());
    anim->keyFrames = frames;
    anim->keyDurations = durations;
    for (float d : durations) anim->total += d;
    return anim;
}

inline YSMFrame* Frame(const char* name, std::vector<float> positions, size_t groups)
{
    YSMFrame* frame = new YSMFrame;
    frame->name = name;
    frame->words[0] = 7;
    frame->words[1] = 0xABCDEF01u;
    frame->positions = positions;
    frame->present.assign(groups, 1);
    return frame;
}

// Sets the counts from the arrays, with the face lists built as a load does.
inline void Finish(YSMObject& m, int16_t vertices)
{
    m.m_vertexCount = vertices;
    m.m_faceCount = static_cast<int16_t>(m.m_faces.size());
    m.m_groupCount = static_cast<int16_t>(m.m_groups.size());
    m.m_frameCount = static_cast<int16_t>(m.m_frames.size());
    m.m_animCount = static_cast<int16_t>(m.m_anims.size());
    m.m_resourceCount = static_cast<int16_t>(m.m_resources.size());
    m.m_tagCount = static_cast<int16_t>(m.m_tags.size());
    for (size_t g = 0; g < m.m_groups.size(); ++g) {
        m.m_groups[g]->faces.clear();
        for (size_t f = 0; f < m.m_faces.size(); ++f)
            if (m.m_faces[f].group == static_cast<int16_t>(g)) m.m_groups[g]->faces.push_back(static_cast<uint16_t>(f));
        m.m_groups[g]->faceCount = static_cast<int16_t>(m.m_groups[g]->faces.size());
    }
    YSMPose rest = {{0, 0, 0, 0, 0, 0, 0, 0, 0, 1.0f}};
    for (auto& frame : m.m_frames) frame->poses.assign(m.m_groups.size(), rest);
}

// A wing (two triangles), a marker quad and an empty group; two frames;
// two resources; one animation; model tags.
inline void MakeSmall(YSMObject& m)
{
    for (const char* name : {"wing.ytx", "marker.ytx"}) {
        YSMResource* r = new YSMResource;
        r->name = name;
        r->word = 0x11223344u;
        m.m_resources.emplace_back(r);
    }
    m.m_faces = {Face(0, 1, 2, 0, 0.25f, 0.5f), Face(2, 1, 3, 0), Face(4, 5, 6, 1), Face(6, 5, 7, 1)};
    m.m_faces[0].spare0[0] = 0x5A;
    m.m_faces[3].spare1[1] = 0xA5;
    m.m_groups.emplace_back(Group("Normal", 0x2, {Skin("blue", 0), Skin("red", 1)}));
    m.m_groups.back()->tags.emplace_back(Tag("Colour", "Blue", 3));
    m.m_groups.emplace_back(Group("Camera", 0x8 | 0x2, {Skin("mark", 1)}));
    m.m_groups.emplace_back(Group("Empty", 0x2));
    std::vector<float> a = {0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 1, 0, 2, 0, 1, 2, 0, 0, 3, 0, 1, 3, 0};
    std::vector<float> b = a;
    for (size_t i = 0; i < b.size(); ++i) b[i] += 0.5f * static_cast<float>(i % 3);
    m.m_frames.emplace_back(Frame("rest", a, 3));
    m.m_frames.emplace_back(Frame("moved", b, 3));
    m.m_frames.back()->present[2] = 0;
    m.m_anims.emplace_back(Anim("wiggle", {0, 1}, {0.1f, 0.2f}, 1));
    m.m_tags.emplace_back(Tag("Author", "rcv", 1));
    Finish(m, 8);
}

}  // namespace modeltest
