#include "renderer/YParser.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "foundation/YCatalog.h"
#include "foundation/YFastMath.h"
#include "foundation/YFileHandler.h"
#include "foundation/YResource.h"
#include "foundation/YVector.h"
#include "renderer/YParserZone.h"

IMPLEMENT_DYNAMIC(YParser, CObject)

int32_t g_eyeOffset = 0;

namespace {
const float kRadToDeg = 57.29578f;
const float kPi = 3.14159265f;
const int kFileHandlerType = 22;
}  // namespace

YParser::YParser()
    : m_display(nullptr), m_deviceDescriptor(nullptr), m_reserved0(0), m_sessionMode(0), m_reserved1(0),
      m_errorText("No Error"), m_cameraPosition{0.0f, 0.0f, 0.0f}, m_cameraAngles{0.0f, 0.0f, 0.0f},
      m_viewScale{1.0f, 1.0f, 1.0f}, m_projection{0.0f, 0.0f, 1.0f, 3000.0f}, m_overlayColor{0.0f, 0.0f, 0.0f, 0.0f},
      m_screenRect{0, 0, 0, 0}, m_clipRect{0, 0, 0, 0}, m_ready(0), m_debugLog(0), m_frameCount(0), m_gridWidth(0),
      m_gridHeight(0), m_cellSize(0.0f), m_cellSizeRender(0.0f), m_clock(0), m_worldScale(1.0f),
      m_flareSourceCount(0), m_flareSources(nullptr), m_renderRecords(nullptr), m_objectTest(nullptr),
      m_keepAlive(nullptr), m_modelEnumerator(nullptr), m_rangeTest(nullptr)
{
    memset(m_scaleTable, 0, sizeof m_scaleTable);
    memset(m_ambient, 0, sizeof m_ambient);
    m_renderRecord.m_typeIndex = -1;
    m_renderRecord.m_attachIndex = -1;
    m_renderRecord.m_index2 = -1;
}

YParser::~YParser()
{
    m_modelItems.clear();
    m_models.clear();
    m_viewers.clear();
    DestroyZones();
    m_modelOutputs.clear();
    m_tags.clear();
    m_actorDescs.clear();
}

const char* YParser::GetName() { return "VT3 Generic Parser"; }

void YParser::CountFrame() { ++m_frameCount; }

// Before the view rectangles are set there is no screen to pick on: the
// pick then looks straight ahead.
int YParser::GetPickDirection(int x, int y, float* direction)
{
    float a, b, c, fov, fov2, nearPlane, farPlane;
    RECT screen, clip;
    GetCameraAngles(&a, &b, &c);
    GetProjection(&fov, &fov2, &nearPlane, &farPlane);
    GetViewRects(&screen, &clip);

    YVector d(0.0f, 0.0f, 1.0f);
    const float halfWidth = float(screen.right - screen.left) * 0.5f;
    if (halfWidth != 0.0f) {
        const float t = std::tan(fov * kPi / 360.0f);
        const int cx = (screen.left + screen.right) / 2;
        const int cy = (screen.top + screen.bottom) / 2;
        const float dx = float(x - cx) / halfWidth;
        const float dy = float(y - cy) / -halfWidth;
        d = YVector(t * dx, t * dy, 1.0f);
        if (d.Length() != 0.0f) d.Normalize();
    }
    d.Rotate(YVector(a * kRadToDeg, 0.0f, 0.0f));
    d.Rotate(YVector(0.0f, b * kRadToDeg, 0.0f));
    direction[0] = d.x;
    direction[1] = d.y;
    direction[2] = d.z;
    return 1;
}

int YParser::GetViewRay(int x, int y, float* origin, float* direction)
{
    GetCameraPosition(&origin[0], &origin[1], &origin[2]);
    return GetPickDirection(x, y, direction);
}

int YParser::GetViewAngles(int x, int y, float* angles)
{
    float d[3];
    GetPickDirection(x, y, d);
    YVector v = YVector(d[0], d[1], d[2]).ToAngles();
    v.ToRadians();
    angles[0] = v.x;
    angles[1] = v.y;
    angles[2] = v.z;
    return 1;
}

time_t YParser::SetClock(int year, int month, int day, int hour, int minute, int second)
{
    m_clock = CTime(year, month, day, hour, minute, second, -1).GetTime();
    return m_clock;
}

void YParser::SetWorldScale(float scale) { m_worldScale = scale; }

void YParser::SetScaleEntry(int16_t index, float value, DWORD a, DWORD b)
{
    if (index < 0 || index >= kScaleEntries) return;
    m_scaleTable[index] = {value, a, b};
}

void YParser::GetScaleEntry(int16_t index, float* value, DWORD* a, DWORD* b)
{
    if (index < 0 || index >= kScaleEntries) return;
    *value = m_scaleTable[index].value;
    *a = m_scaleTable[index].a;
    *b = m_scaleTable[index].b;
}

// The path of a model's file of the given kind, as the file handler of the
// catalog names it; empty when the catalog has no such item.
static CString FindModelFile(const char* model, const char* group, const char* finder)
{
    CString path;
    YCatalog* catalog = YGameObjects::Instance()->m_catalog;
    YResource* item = catalog && model && group
                          ? catalog->GetResource(kFileHandlerType, CString(group), CString(model), 0)
                          : nullptr;
    if (YFileHandler* files = dynamic_cast<YFileHandler*>(item)) files->FindFile(CString(finder ? finder : ""), path);
    if (item) catalog->ReleaseResource(item);
    return path;
}

YSMHandle* YParser::CreateModelHandleFromCatalog(const char* model, const char* group, const char* finder)
{
    YSMHandle* handle = CreateModelHandle(FindModelFile(model, group, finder));
    if (handle) handle->StopAnimation();
    return handle;
}

YSMHandle* YParser::CreateModelHandleByName(const char* model, const char* group)
{
    return CreateModelHandle(FindModelFile(model, group, "YSM"));
}

namespace {
bool IsModelHandle(const YRenderInstance* r)
{
    return r && r->m_kind == YRenderInstance::KindModel && (r->m_subKind == 0 || r->m_subKind == 1) && r->m_model;
}

// M := M x (scale, rotations about z, x and y, translation): a point goes
// through the list in that order, then through M.
void MultiplyPlacement(YMatrix* m, float scale, float z, float x, float y, const float* position)
{
    // The affine product (out, a, b) applies b first, then a.
    YMatrix local, part;
    MatrixScalingOut(&local, scale, scale, scale);
    MatrixMultiplyAffineOut(&local, MatrixRotationZ(&part, z), &local);
    MatrixMultiplyAffineOut(&local, MatrixRotationX(&part, x), &local);
    MatrixMultiplyAffineOut(&local, MatrixRotationY(&part, y), &local);
    MatrixMultiplyAffineOut(&local, MatrixTranslationOut(&part, position[0], position[1], position[2]), &local);
    MatrixMultiplyAffineOut(m, m, &local);
}

// An attachment frame: a group's pose record in the parent's draw frame,
// moved towards the next key frame by the parent's blend.
bool AttachmentFrame(const YSMHandle& parent, int16_t group, YSMPose* out)
{
    const YSMFrame* frame = parent.m_drawFrame;
    if (group < 0 || !frame || static_cast<size_t>(group) >= frame->poses.size()) return false;
    *out = frame->poses[group];
    const YSMFrame* next = parent.m_drawNextFrame;
    if (next && static_cast<size_t>(group) < next->poses.size() && parent.m_drawBlend != 0.0f)
        for (int i = 0; i < 10; ++i) out->v[i] += (next->poses[group].v[i] - out->v[i]) * parent.m_drawBlend;
    return true;
}
}  // namespace

// Finds where a point of an item lies, for example the muzzle of a plane:
// the parent's attachment frame and then the item's own placement go in
// front of the matrix.
void YParser::ComposeItemMatrix(YRenderInstance* parent, YRenderInstance* record, YMatrix* matrix, int animate)
{
    if (!record || !matrix) return;
    const bool handle = IsModelHandle(record);
    if (!handle && record->m_kind != YRenderInstance::KindAttachment) return;

    // The parent's frame: the record's attachment group, else the parent's active group.
    bool attached = false;
    float position[3] = {0, 0, 0}, angles[3] = {0, 0, 0}, scale = 1.0f;
    if (IsModelHandle(parent)) {
        YSMHandle& p = *parent->m_model;
        p.RefreshDrawFrames(animate != 0);
        YSMPose pose;
        const int16_t group = record->m_attachIndex >= 0 ? record->m_attachIndex : p.GetActiveGroup();
        if (AttachmentFrame(p, group, &pose)) {
            // Between the two ends of the group's edge, by the record's own factor.
            for (int i = 0; i < 3; ++i) {
                position[i] = pose.v[i] + (pose.v[3 + i] - pose.v[i]) * record->m_blend2;
                angles[i] = pose.v[6 + i];
            }
            scale = pose.v[9];
            const float base = parent->m_baseScale != 0.0f ? parent->m_baseScale : 1.0f;
            const float back[3] = {-position[0], -position[1], -position[2]};
            MultiplyPlacement(matrix, scale / base, angles[2], -angles[0], angles[1], back);
            attached = record->m_attachIndex >= 0;
        }
    }
    if (!handle) return;
    record->m_model->RefreshDrawFrames(animate != 0);
    if (attached) {
        // The attachment frame placed it already; the record keeps where.
        for (int i = 0; i < 3; ++i) {
            record->m_position[i] = position[i];
            record->m_angles[i] = angles[i];
        }
        record->m_scale = scale;
        return;
    }
    if (record->m_attachIndex != -1) return;
    MultiplyPlacement(matrix, record->m_scale, -record->m_angles[2], record->m_angles[0], -record->m_angles[1],
                      record->m_position);
}

float* YParser::TransformPoint(float* point, YMatrix m)
{
    const float x = point[0], y = point[1], z = point[2];
    point[0] = m.m[0][0] * x + m.m[1][0] * y + m.m[2][0] * z + m.m[3][0];
    point[1] = m.m[0][1] * x + m.m[1][1] * y + m.m[2][1] * z + m.m[3][1];
    point[2] = m.m[0][2] * x + m.m[1][2] * y + m.m[2][2] * z + m.m[3][2];
    return point;
}

DWORD* YParser::GetAmbientBlock() { return m_ambient; }

void YParser::AddTerrainDecal(int16_t index, float x, float y, float z, DWORD flip, DWORD a, DWORD b, int16_t second,
                              DWORD, DWORD, DWORD)
{
    YRenderInstance decal;
    decal.m_kind = YRenderInstance::KindTerrainDecal;
    decal.m_subKind = 4;
    decal.m_typeIndex = index;
    decal.m_position[0] = x;
    decal.m_position[1] = y;
    decal.m_position[2] = z;
    decal.m_angles[1] = flip ? kPi : 0.0f;
    decal.m_words[0] = a;
    decal.m_words[1] = b;
    decal.m_index2 = second;
    // The map session keeps what it makes of the copy in its decal ring.
    if (m_sessionMode != 2) return;
    ProjectOntoTerrain(&decal);
}

void YParser::SetObjectTest(ObjectTest test) { m_objectTest = test; }

void YParser::SetLoadingKeepAlive(KeepAlive keepAlive) { m_keepAlive = keepAlive; }

void YParser::SetModelEnumerator(ModelEnumerator enumerator) { m_modelEnumerator = enumerator; }

void YParser::SetRangeTest(RangeTest test) { m_rangeTest = test; }

YString YParser::GetPathDirectory(const char* path)
{
    if (!path) return YString();
    const char* slash = strrchr(path, '\\');
    const char* other = strrchr(path, '/');
    if (!slash || (other && other > slash)) slash = other;
    if (!slash) return YString();
    std::string head(path, slash + 1);
    return YString(head.c_str());
}

YString YParser::GetPathFileName(const char* path)
{
    if (!path) return YString();
    const char* slash = strrchr(path, '\\');
    const char* other = strrchr(path, '/');
    if (!slash || (other && other > slash)) slash = other;
    return YString(slash ? slash + 1 : path);
}

void YParser::DestroyItem(YParserZone* zone)
{
    if (!zone) return;
    free(zone->m_buffer);
    zone->m_buffer = nullptr;
    delete zone->m_object;
    zone->m_object = nullptr;
    zone->m_name = YString();
}

void YParser::AppendZone(YParserZone* zone)
{
    if (zone) m_zones.push_back(zone);
}

YParserZone* YParser::GetZone(int index) const
{
    return index >= 0 && index < GetZoneCount() ? m_zones[static_cast<size_t>(index)] : nullptr;
}

void YParser::DestroyZones()
{
    for (YParserZone* zone : m_zones) {
        DestroyItem(zone);
        delete zone;
    }
    m_zones.clear();
}
