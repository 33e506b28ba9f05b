// libFuzzer target for the map session set-up: the input is a "YMAP" stream
// written as "map.zon" and set up level by level by the renderer without a
// device or catalog (textures and models are then missing), so that cells,
// layer textures, tree types and placement, the trees near each vertex, the
// placed-model lists and the sky tags run on any map; then the visible
// cells of a few cameras, the terrain pass and the scene-object pass with
// the sorts; the placed models and a primitive set standing in the grid go
// through the cell-object pass and the model drawing; the flare sources over a
// day of the day-light stage, and marks from above and oriented marks laid on
// the terrain; the sky periods made of the bytes picked at times of the day,
// and a box's shadow cast over the terrain.  The name forms of the asset
// requests are fed the raw bytes too.  Runs in a folder of its own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "engine/YGameObjects.h"
#include "foundation/YCpuInfo.h"
#include "foundation/YFastMath.h"
#include "foundation/YSineTable.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "renderer/YD3D6Parser.h"
#include "world/YRenderInstance.h"

namespace {
// A placed model of one triangle for the grid: the map's own need a catalog.
YSMObject* PlacedModel()
{
    static YSMObject* model = nullptr;
    if (model) return model;
    model = new YSMObject;
    YSMFrame* frame = new YSMFrame;
    frame->positions = {0, 0, 0, 2, 0, 0, 0, 3, 0};
    frame->normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    frame->present = {1};
    frame->poses.assign(1, YSMPose{{0, 0, 0, 0, 0, 0, 0, 0, 0, 1}});
    model->m_frames.emplace_back(frame);
    YSMGroup* group = new YSMGroup;
    group->name = "Normal";
    group->flags = 0x2;
    group->faces = {0};
    model->m_groups.emplace_back(group);
    YSMFace face = {};
    face.v[1] = 1, face.v[2] = 2;
    model->m_faces.push_back(face);
    model->m_vertexCount = 3;
    return model;
}
}  // namespace
#include "renderer/YD3D6TextureItem.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static char folder[] = "/tmp/rcv_fuzz_map_setup_XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) abort();
    InitMathDispatch(DetectCpuFeatures());
    BuildSineTable();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    int32_t w = 0, h = 0;
    YString file;
    YD3D6Parser::ParseCommandText(text.c_str(), &w, &h, &file);
    YD3D6Parser::TexturePathOf(text.c_str());
    YD3D6Parser::FolderOf(text.c_str());
    uint8_t rgb[3];
    YD3D6Parser::ParseRGB(text.c_str(), rgb);

    std::ofstream("map.zon", std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    YSessionDesc session;
    session.m_mapPath = "map.zon";
    for (int i = 0; i < YSessionDesc::ParameterCount; ++i) session.m_parameters[i] = 1;
    session.m_parameters[YD3D6Parser::kRenderRecordsWord] = 3;  // a ring of three marks
    YD3D6Parser parser;
    parser.SetWorldScale(16.0f);
    if (parser.InitSession(2, &session, 0))
        for (int level = 1; level < parser.GetInitLevelCount(2); ++level) parser.InitSession(2, nullptr, level);
    // The frame's stages that need no device: inside, at the edge looking
    // out, far outside, and with every detail class and far classes on.
    const float side = float(parser.GridColumns()) * parser.CellSize();
    const float cameras[4][5] = {{0.5f * side, 300.0f, 0.5f * side, -0.2f, 0.7f},
                                 {side, 100.0f, 0.5f * side, 0.0f, 1.5708f},
                                 {-1e6f, 0.0f, -1e6f, 0.0f, 0.785f},
                                 {0.3f * side, 1e4f, 0.2f * side, -1.0f, -2.5f}};
    // A placed model on the ground and a primitive set in the grid.
    YSMHandle* handle = PlacedModel()->CreateHandle();
    handle->m_groupStates[0].slot = 0;
    handle->SetActiveGroup(0);
    handle->SetReferenceSize(16.0f);
    YRenderInstance placed, quads;
    const float quad[4] = {0.0f, 10.0f, 0.0f, 4.0f};
    placed.m_model = handle;
    placed.m_kind = YD3D6Parser::kPlacedKind;
    quads.m_kind = YD3D6Parser::kPrimitiveKind;
    quads.m_geometry = const_cast<float*>(quad);
    quads.m_elementCount = 1;
    quads.m_textureIndex = 0;
    for (YRenderInstance* r : {&placed, &quads}) {
        r->m_flags = YD3D6Parser::kRecordVisible;
        r->m_position[0] = 0.45f * side, r->m_position[2] = 0.55f * side;
        r->m_position[1] = parser.GetGroundHeight(r->m_position[0], r->m_position[2]);
        if (parser.HasGrid()) parser.AddActorAt(r, 0, r->m_position[0], r->m_position[2]);
    }
    for (int c = 0; c < 4 && parser.HasGrid(); ++c) {
        parser.m_mapSettings[YD3D6Parser::kLevelOfDetailWord] = c & 1;
        parser.m_mapSettings[YD3D6Parser::kDistanceCacheWord] = c >> 1;
        parser.m_mapSettings[YD3D6Parser::kBillboardDetailWord] = parser.m_mapSettings[YD3D6Parser::kModelDetailWord] = 5;
        parser.SetCameraPosition(cameras[c][0], cameras[c][1], cameras[c][2]);
        parser.SetCameraAngles(cameras[c][3], cameras[c][4], 0.0f);
        parser.ComputeVisibleCells();
        parser.ResetFrameCounters();
        parser.CollectTerrainPolygons();
        parser.DrawSceneObjects();
        parser.m_mapSettings[YD3D6Parser::kBlendWord] = c & 1;
        parser.DrawCellObjects();
        parser.SortOpaqueRecords();
        parser.SortAlphaRecords();
        parser.ClearVisitedMarks();
    }
    // Each source drives a light of its place (none exists without a device).
    for (int j = 0; j < parser.GetFlareSourceCount(); ++j) parser.GetCelestialObject(j)->m_light = j;
    for (int minute = 0; minute < 1440; minute += 97) {
        parser.SetClock(1995 + minute % 20, 1 + minute % 12, 1 + minute % 28, minute / 60, minute % 60, 0);
        parser.UpdateDayLights();
    }
    // Sky periods from the bytes: the pair always names rows of the table.
    if (size >= 4) {
        parser.m_backgrounds.clear();
        for (size_t i = 0; i + 3 < size && i < 40; i += 4) {
            YD3D6SkyPeriod period;
            period.start = int32_t(data[i]) * 6 + int8_t(data[i + 1]);
            period.end = int32_t(data[i + 2]) * 6 + int8_t(data[i + 3]);
            parser.m_backgrounds.push_back(period);
        }
        for (int minute = 0; minute < 1440; minute += 37) {
            parser.SetClock(2001, 3, 15, minute / 60, minute % 60, minute % 60);
            uint8_t blend = 0;
            int32_t pair[2] = {-1, -1};
            parser.FindTimeOfDayPeriods(&blend, pair);
            const int32_t rows = int32_t(parser.m_backgrounds.size());
            if (pair[0] < 0 || pair[0] >= rows || pair[1] < pair[0] || pair[1] >= rows) abort();
            if (pair[0] == pair[1] && blend != 0) abort();
        }
        parser.m_backgrounds.clear();
    }
    // A box standing on the terrain casts its shadow: no NaN reaches the
    // entry and every silhouette point lies inside the texture.
    if (parser.HasGrid() && size >= 6) {
        static YSMObject* box = nullptr;
        if (!box) {
            box = new YSMObject;
            YSMGroup* group = new YSMGroup;
            group->flags = 0x2;
            const int faces[12][3] = {{0, 1, 3}, {0, 3, 2}, {4, 6, 7}, {4, 7, 5}, {0, 4, 5}, {0, 5, 1},
                                      {2, 3, 7}, {2, 7, 6}, {0, 2, 6}, {0, 6, 4}, {1, 5, 7}, {1, 7, 3}};
            for (int f = 0; f < 12; ++f) {
                YSMFace face = {};
                for (int k = 0; k < 3; ++k) face.v[k] = int16_t(faces[f][k]);
                box->m_faces.push_back(face);
                group->faces.push_back(uint16_t(f));
            }
            box->m_groups.emplace_back(group);
            box->m_vertexCount = 8;
        }
        YSMHandle* boxHandle = box->CreateHandle();
        boxHandle->m_groupStates[0].flags |= YSMHandle::kGroupShown;
        boxHandle->m_groupStates[0].slot = 0;
        YD3D6ShadowCaster caster;
        caster.m_model = boxHandle;
        const float x = side * float(data[size - 1]) / 255.0f, z = side * float(data[size - 2]) / 255.0f;
        const float ground = parser.GetGroundHeight(x, z);
        const float extent[3] = {float(data[size - 3] % 64), float(data[size - 4] % 64), float(data[size - 5] % 64)};
        YTransformedVertex corners[8];
        for (int k = 0; k < 8; ++k)
            corners[k] = {x + ((k & 1) ? extent[0] : 0.0f), ground + 1.0f + ((k & 2) ? extent[1] : 0.0f),
                          z + ((k & 4) ? extent[2] : 0.0f), 0.0f, 1.0f, 0.0f};
        caster.m_vertices = corners;
        caster.m_position[0] = x, caster.m_position[1] = ground, caster.m_position[2] = z;
        caster.m_textureWidth = caster.m_textureHeight = 16 << (data[size - 6] % 3);
        YD3D6ShadowEntry entry;
        YD3D6ShadowWorkTexture work;  // no surface without a device
        parser.CastShadow(caster, YD3D6Parser::kShadowLight, &work, entry, 0);
        for (const YD3D6ShadowEntry::Triangle& t : entry.triangles)
            for (float uv : t.uv)
                if (uv != uv) abort();
        if (entry.triangleCount > 0) {
            std::vector<int32_t> points, triangles;
            int32_t base = 0, count = 0;
            parser.ProjectCasterGeometry(caster, points, triangles, &base, &count, caster.m_projection, 1.0f, 1.0f);
            for (int32_t p : points)
                if (p < 0 || p >= caster.m_textureWidth) abort();
        }
        delete boxHandle;
    }
    if (parser.HasGrid() && size >= 8) {
        YD3D6TextureItem* item = new YD3D6TextureItem;
        item->m_width = int16_t(data[0] % 128 + 1);
        item->m_height = int16_t(data[1] % 128 + 1);
        parser.m_textures.push_back(item);
        for (int m = 0; m < 6; ++m) {
            YRenderInstance r;
            r.m_typeIndex = int16_t(parser.m_textures.size() - 1);
            r.m_position[0] = side * float(data[(2 + m) % size]) / 255.0f;
            r.m_position[2] = side * float(data[(3 + m) % size]) / 255.0f;
            r.m_position[1] = parser.GetGroundHeight(r.m_position[0], r.m_position[2]) + 50.0f;
            r.m_scale = 0.25f + float(data[(4 + m) % size] % 64);
            r.m_angles[1] = m == 3 ? 3.1415927f : float(data[(5 + m) % size]) * 0.05f;
            r.m_index2 = int16_t(m % 3 == 2 ? int8_t(data[(6 + m) % size]) : -1);
            for (int k = 0; k < 3; ++k) r.m_decalTarget[k] = r.m_position[k];
            r.m_decalTarget[1] -= 100.0f;
            r.m_decalTarget[0] += float(int8_t(data[(7 + m) % size]));
            r.m_decalRoll = float(data[m % size]) * 3.0f;
            if (m & 1) parser.ProjectOntoSurface(&r);
            else parser.ProjectOntoTerrain(&r);
        }
    }
    for (YRenderInstance* r : {&placed, &quads})
        if (parser.HasGrid()) parser.RemoveActorAt(r, r->m_position[0], r->m_position[2]);
    delete handle;
    parser.LoadCatalogTextures(text.c_str(), 0, 1);
    parser.EndSession(0);
    return 0;
}
