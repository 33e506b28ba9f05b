// A model-group record of the frame lists: whose geometry an opaque model
// record draws (the instance, or one of its decals), the instance's block
// of transformed vertices and its distance from the camera.
#pragma once

struct YTransformedVertex;

struct YModelGroupRecord {
    const void* m_source;  // YSMHandle, or YSMDecal for a decal record
    const YTransformedVertex* m_vertices;
    float m_distance;
};
