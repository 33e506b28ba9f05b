// The world's questions about ground, water, grid cells, sight lines and
// free places, the actors' registration in the renderer's actor grid and the
// parent transforms: metres here, render units (x 16) at the renderer.
#include <cmath>
#include <cstring>

#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "assets3d/YTexLock.h"
#include "platform/win32.h"
#include "renderer/YParser.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"

namespace {
// Where the actor stands this frame, its parents' models counted.
YVector PlaceOf(YActor* actor)
{
    YVector position, angles;
    actor->GetWorldTransform(position, angles);
    return position;
}

const float kPlaceStep = 32.0f;   // spiral ring step, metres
const float kPlaceTurn = 22.0f;   // spiral turn, degrees
const float kPlaceClear = 5.0f;   // free radius around a placement, metres
const int kNearCapacity = 512;    // render records collected around a point
}  // namespace

bool YActorWorld::HasMap() const
{
    return m_scene && m_scene->GetSessionMode() == 2;
}

float YActorWorld::CellSize() const
{
    return m_scene ? m_scene->GetCellSize() : 0.0f;
}

float YActorWorld::MapWidth() const
{
    return HasMap() ? static_cast<float>(m_scene->GetGridWidth()) * CellSize() : 0.0f;
}

float YActorWorld::MapHeight() const
{
    return HasMap() ? static_cast<float>(m_scene->GetGridHeight()) * CellSize() : 0.0f;
}

float YActorWorld::TerrainHeightUnder(YActor* actor)
{
    return actor ? TerrainHeightAtPoint(PlaceOf(actor)) : 0.0f;
}

float YActorWorld::TerrainHeightAtPoint(const YVector& point) { return TerrainHeightAt(point.x, point.z); }

float YActorWorld::TerrainHeightAt(float x, float z)
{
    if (!HasMap() || !(x >= 0.0f && x <= MapWidth() && z >= 0.0f && z <= MapHeight())) return 0.0f;
    return m_scene->GetGroundHeight(x * kRenderScale, z * kRenderScale) * kMetresPerUnit;
}

float YActorWorld::GroundHeightUnder(YActor* actor)
{
    return actor ? GroundHeightAtPoint(PlaceOf(actor)) : 0.0f;
}

float YActorWorld::GroundHeightAtPoint(const YVector& point) { return GroundHeightAt(point.x, point.z); }

float YActorWorld::GroundHeightAt(float x, float z)
{
    if (!HasMap() || !(x >= 0.0f && x <= MapWidth() && z >= 0.0f && z <= MapHeight())) return 0.0f;
    return static_cast<float>(m_scene->GetSurfaceHeight(x * kRenderScale, z * kRenderScale)) * kMetresPerUnit;
}

void YActorWorld::SampleUnder(YActor* actor, GroundSample& sample)
{
    if (!actor || actor->GetParent()) {
        memset(&sample, 0, sizeof sample);
        return;
    }
    SampleAtPoint(PlaceOf(actor), sample);
}

void YActorWorld::SampleAtPoint(const YVector& point, GroundSample& sample) { TerrainSample(point.x, point.z, sample); }

void YActorWorld::TerrainSample(float x, float z, GroundSample& sample)
{
    memset(&sample, 0, sizeof sample);
    if (!HasMap() || !(x >= 0.0f && x <= MapWidth() && z >= 0.0f && z <= MapHeight())) return;
    m_scene->GetGroundInfo(x * kRenderScale, z * kRenderScale, &sample.ground);
    sample.ground *= kMetresPerUnit;
    sample.water *= kMetresPerUnit;
}

int YActorWorld::GridX(const YVector& point)
{
    const float cell = CellSize();
    return cell > 0.0f ? static_cast<int>(point.x / cell) : 0;
}

int YActorWorld::GridZ(const YVector& point)
{
    const float cell = CellSize();
    return cell > 0.0f ? static_cast<int>(point.z / cell) : 0;
}

int YActorWorld::GridXOf(YActor* actor) { return actor ? GridX(PlaceOf(actor)) : 0; }

int YActorWorld::GridZOf(YActor* actor) { return actor ? GridZ(PlaceOf(actor)) : 0; }

int YActorWorld::CellIndex(int column, int row)
{
    return m_scene ? static_cast<int>(m_scene->GetGridWidth()) * row + column : 0;
}

int YActorWorld::CellIndexAt(const YVector& point) { return CellIndex(GridX(point), GridZ(point)); }

int YActorWorld::CellIndexOf(YActor* actor) { return CellIndex(GridXOf(actor), GridZOf(actor)); }

bool YActorWorld::IsWaterNear(const YVector& position, float radius)
{
    if (!HasMap()) return false;
    const float cell = CellSize();
    const int n = static_cast<int>(radius / cell);
    const int column = GridX(position), row = GridZ(position);
    for (int c = column - n; c <= column + n; ++c) {
        for (int r = row - n; r <= row + n; ++r) {
            GroundSample sample;
            TerrainSample(c * cell - cell * 0.5f, r * cell - cell * 0.5f, sample);
            if (sample.water - sample.ground > 0.0001) return true;
        }
    }
    return false;
}

bool YActorWorld::IsWaterNearActor(YActor* actor, float radius)
{
    return actor && IsWaterNear(PlaceOf(actor), radius);
}

int YActorWorld::SurfaceAttributeUnder(YActor* actor, const char* name, char* buffer, int size)
{
    return actor ? SurfaceAttributeAtPoint(PlaceOf(actor), name, buffer, size) : 0;
}

int YActorWorld::SurfaceAttributeAtPoint(const YVector& point, const char* name, char* buffer, int size)
{
    return SurfaceAttributeAt(point.x, point.z, name, buffer, size);
}

int YActorWorld::SurfaceAttributeAt(float x, float z, const char* name, char* buffer, int size)
{
    if (!HasMap()) return 0;
    const int16_t item = m_scene->PickCellItem(x * kRenderScale, z * kRenderScale);
    return TextureAttributeAt(item, z * kRenderScale, x * kRenderScale, name, buffer, size);
}

namespace {
// The first region (hit by the last test, when asked) with the attribute:
// its text copied into the buffer, and its length.
int CopyRegionAttribute(YTexRegionList* texture, bool hitOnly, const char* name, char* buffer, int size)
{
    if (!texture || !name || !buffer || size <= 0) return 0;
    for (int16_t i = 0; i < texture->GetNumRegions(); ++i) {
        YTexRegion* region = texture->GetRegion(i);
        if (!region || (hitOnly && !region->GetHit()) || region->FindTag(name) < 0) continue;
        const YString value = region->GetTagValueByName(name, "");
        const int length = value.GetLength();
        const int copied = length < size ? length : size - 1;
        memcpy(buffer, static_cast<const char*>(value), static_cast<size_t>(copied));
        buffer[copied] = '\0';
        return length;
    }
    return 0;
}
}  // namespace

int YActorWorld::TextureAttribute(int16_t texture, const char* name, char* buffer, int size)
{
    if (!m_scene || texture < 0) return 0;
    return CopyRegionAttribute(m_scene->GetTexture(texture), false, name, buffer, size);
}

int YActorWorld::TextureAttributeAt(int16_t texture, float u, float v, const char* name, char* buffer, int size)
{
    if (!m_scene || texture < 0) return 0;
    YTexRegionList* object = m_scene->GetTexture(texture);
    if (!object || !object->HitTestRegions(u, v)) return 0;
    return CopyRegionAttribute(object, true, name, buffer, size);
}

bool YActorWorld::FindPlacement(YActor* actor, YVector* position, float maxDistance)
{
    if (!position && !actor) return false;
    const YVector start = position ? *position : actor->m_position;
    const float wade = actor ? actor->m_wadeDepth : 0.0f;
    auto shallow = [&](const YVector& at) {
        GroundSample sample;
        SampleAtPoint(at, sample);
        return sample.water - sample.ground <= 2.0 * wade;
    };
    const float limit = MapWidth() * MapHeight() * 0.25f;
    float yaw = 0.0f, length = kPlaceStep;
    // Every candidate is looked at once: the spiral always turns on.
    while (length * length < limit) {
        YVector candidate = start + YVector(0.0f, yaw, 0.0f).FromAngles() * length;
        candidate.y = start.y;
        if (shallow(candidate)) {
            YVector step = candidate - start;
            while (step.LengthSquared() > 1.0f) {
                step *= 0.5f;
                const YVector nearer = candidate - step;
                if (shallow(nearer)) candidate = nearer;
            }
            const bool nearEnough = maxDistance <= 0.0f || candidate.DistanceSquared(start) <= maxDistance * maxDistance;
            if (nearEnough && IsLocationClear(candidate, kPlaceClear)) {
                if (position) *position = candidate;
                else actor->m_position = candidate;
                return true;
            }
        }
        yaw += kPlaceTurn;
        if (yaw >= 360.0f) yaw -= 360.0f;
        if (yaw < kPlaceTurn) length += kPlaceStep;
    }
    return false;
}

int YActorWorld::LineTrace(YActor* ignore, YVector& from, const YVector& to, float lengthA, float lengthB, DWORD flags)
{
    const DWORD started = GetTickCount();
    YActor* target = ignore ? ignore->m_target : nullptr;
    const DWORD ignoreFlags = ignore ? ignore->m_render.m_flags : 0;
    const DWORD targetFlags = target ? target->m_render.m_flags : 0;
    if (ignore) ignore->m_render.m_flags &= ~YActor::RenderTraceable;
    if (target) target->m_render.m_flags |= YActor::RenderTarget;
    if (HasMap()) {
        // The start comes into the inner band along the line; a line running
        // along the border only has that coordinate clamped.
        const float cell = CellSize();
        auto clip = [&](float YVector::*along, float YVector::*other, float extent) {
            const float low = 2.0f * cell, high = extent - 2.0f * cell;
            const float value = from.*along;
            if (value >= low && value <= high) return;
            const float edge = value < low ? low : high;
            const float run = to.*along - value;
            if (run != 0.0f) from.*other += (to.*other - from.*other) * (edge - value) / run;
            from.*along = edge;
        };
        clip(&YVector::x, &YVector::z, MapWidth());
        clip(&YVector::z, &YVector::x, MapHeight());
    }
    int clear = 1;
    if (m_scene) {
        const float start[3] = {from.x * kRenderScale, from.y * kRenderScale, from.z * kRenderScale};
        const float end[3] = {to.x * kRenderScale, to.y * kRenderScale, to.z * kRenderScale};
        clear = m_scene->TraceWorld(start, end, lengthA * kRenderScale, lengthB * kRenderScale, flags);
    }
    m_traceMilliseconds += GetTickCount() - started;
    ++m_traceCount;
    if (ignore) ignore->m_render.m_flags = (ignore->m_render.m_flags & ~YActor::RenderTraceable) |
                                          (ignoreFlags & YActor::RenderTraceable);
    if (target) target->m_render.m_flags = (target->m_render.m_flags & ~YActor::RenderTarget) |
                                          (targetFlags & YActor::RenderTarget);
    return clear;
}

bool YActorWorld::IsLocationClear(const YVector& position, float radius)
{
    if (!HasMap()) return true;
    const float cell = CellSize();
    const int n = static_cast<int>(radius / cell);
    const float r2 = radius * radius;
    const int column = GridX(position), row = GridZ(position);
    const int width = static_cast<int>(m_scene->GetGridWidth()), height = static_cast<int>(m_scene->GetGridHeight());
    // Actors and placed objects registered around the point.
    if (column >= 0 && row >= 0 && column <= 255 && row <= 255 && n <= 255) {
        DWORD_PTR records[kNearCapacity];
        const int found = m_scene->CollectActorsNear(static_cast<uint8_t>(column), static_cast<uint8_t>(row),
                                                     static_cast<uint8_t>(n), records, kNearCapacity, 0);
        for (int i = 0; i < found; ++i) {
            const YRenderInstance* record = reinterpret_cast<const YRenderInstance*>(records[i]);
            if (!record || !(record->m_owner || record->m_model || record->m_elementCount)) continue;
            const YVector at(record->m_position[0] * kMetresPerUnit, record->m_position[1] * kMetresPerUnit,
                             record->m_position[2] * kMetresPerUnit);
            if (at.DistanceSquared(position) < r2) return false;
        }
    }
    // The items standing in the cells.
    for (int r = row - n; r <= row + n; ++r) {
        for (int c = column - n; c <= column + n; ++c) {
            if (c < 0 || r < 0 || c >= width || r >= height) continue;
            const DWORD index = static_cast<DWORD>(CellIndex(c, r));
            const int items = m_scene->GetCellItemCount(index);
            for (int i = 0; i < items; ++i) {
                float x = 0.0f, z = 0.0f;
                m_scene->GetCellItemPosition(index, static_cast<DWORD>(i), &x, &z);
                const float dx = x * kMetresPerUnit - position.x, dz = z * kMetresPerUnit - position.z;
                if (dx * dx + dz * dz < r2) return false;
            }
        }
    }
    return true;
}

YTraceResult* YActorWorld::GetTraceHit()
{
    return m_scene ? m_scene->GetTraceResult() : nullptr;
}

void YActorWorld::ClipActorToSurface(YActor* actor)
{
    if (!actor || actor->GetParent()) return;
    ClipToSurface(actor->m_position, (actor->m_flagsB & YActor::FlagFlying) != 0,
                  (actor->m_flagsA & YActor::FlagClipToGround) != 0, (actor->m_flagsA & YActor::FlagClipToWater) != 0);
}

void YActorWorld::ClipToSurface(YVector& position, bool flying, bool clipGround, bool clipWater)
{
    GroundSample sample;
    TerrainSample(position.x, position.z, sample);
    // A water sheet under the ground (a shore cell) is no surface to stand on.
    const float ground = static_cast<float>(sample.ground);
    const float water = static_cast<float>(sample.water > sample.ground ? sample.water : sample.ground);
    if (clipWater && (!flying || position.y < water)) {
        position.y = water;
        return;
    }
    if (clipGround && (!flying || position.y < ground)) position.y = ground;
}

void YActorWorld::BuildParentMatrix(YActor* actor, YMatrix* matrix)
{
    if (!actor || !matrix) return;
    YActor* chain[32];
    int count = 0;
    for (YActor* link = actor; link && count < 32; link = link->GetParent()) chain[count++] = link;
    YActor* root = chain[count - 1];
    root->BuildRenderInstance();
    if (count < 2 || !m_scene) return;
    m_scene->ComposeItemMatrix(nullptr, &root->m_render, matrix, 1);
    for (int i = count - 1; i > 0; --i) {
        YRenderInstance& next = chain[i - 1]->m_render;
        float position[3], angles[3];
        memcpy(position, next.m_position, sizeof position);
        memcpy(angles, next.m_angles, sizeof angles);
        memset(next.m_position, 0, sizeof position);
        memset(next.m_angles, 0, sizeof angles);
        m_scene->ComposeItemMatrix(&chain[i]->m_render, &next, matrix, 1);
        memcpy(next.m_position, position, sizeof position);
        memcpy(next.m_angles, angles, sizeof angles);
    }
}

YMatrix YActorWorld::ParentMatrix(YActor* actor, const YMatrix* matrix)
{
    YMatrix m;
    if (matrix) return *matrix;
    MakeIdentityMatrix(&m);
    BuildParentMatrix(actor, &m);
    return m;
}

void YActorWorld::TransformPosition(YActor* actor, YVector& position, const YMatrix* matrix)
{
    // Without a renderer there is no model transform: the position stays.
    if (!actor || !m_scene) return;
    YMatrix m = ParentMatrix(actor, matrix);
    if (actor->GetModelInstance()) {
        YRenderInstance blank;
        m_scene->ComposeItemMatrix(&actor->m_render, &blank, &m, 1);
    }
    position = YVector(m.m[3][0], m.m[3][1], m.m[3][2]) * kMetresPerUnit;
}

void YActorWorld::TransformAngles(YActor* actor, YVector& angles, const YMatrix* matrix)
{
    YSMHandle* model = actor ? actor->GetModelInstance() : nullptr;
    if (!model || !model->m_model || !m_scene) return;
    YMatrix m = ParentMatrix(actor, matrix);
    const int16_t frame = model->GetFrame();
    const YSMPose* pose = model->GetGroupBounds(model->GetActiveGroup(), static_cast<uint16_t>(frame));
    if (frame < 0 || !pose) return;
    YVector first(pose->v[0], pose->v[1], pose->v[2]), second(pose->v[3], pose->v[4], pose->v[5]);
    first *= m;
    second *= m;
    YVector direction = second - first;
    if (!(direction.LengthSquared() > 0.0f)) return;
    direction.Normalize();
    angles += direction.ToAngles();
}

void YActorWorld::PlaceActor(YActor* actor, const YVector* position)
{
    if (!actor || actor->m_inGrid) return;
    if (position) actor->m_position = *position;
    if (m_scene && m_useGrid)
        m_scene->AddActorAt(actor, 3, actor->m_position.x * kRenderScale, actor->m_position.z * kRenderScale);
    actor->m_previousPosition = actor->m_position;
    actor->m_inGrid = 1;
}

bool YActorWorld::UnplaceByIdentity(YActor* actor)
{
    if (!HasMap()) return false;
    const int width = static_cast<int>(m_scene->GetGridWidth()), height = static_cast<int>(m_scene->GetGridHeight());
    bool removed = false;
    for (int r = 0; r < height && r < 32768; ++r)
        for (int c = 0; c < width && c < 32768; ++c)
            for (int copies = 0; copies < 16 && m_scene->RemoveActorFromCell(actor, static_cast<int16_t>(c),
                                                                              static_cast<int16_t>(r));
                 ++copies)
                removed = true;
    return removed;
}

bool YActorWorld::UnplaceActor(YActor* actor)
{
    if (!actor) return true;
    if (!actor->m_inGrid) return !m_scene;
    if (!m_scene || !m_useGrid) {
        actor->m_inGrid = 0;
        return true;
    }
    const float* render = actor->m_render.m_position;
    const YVector& previous = actor->m_previousPosition;
    bool removed = m_scene->RemoveActorAt(actor, actor->m_position.x * kRenderScale, actor->m_position.z * kRenderScale) ||
                   m_scene->RemoveActorAt(actor, render[0], render[2]) ||
                   m_scene->RemoveActorAt(actor, previous.x * kRenderScale, previous.z * kRenderScale);
    // Not where it was thought to be: looked for in every cell, so that the
    // grid never keeps an actor the world lets go.
    if (!removed) removed = UnplaceByIdentity(actor);
    if (removed) actor->m_inGrid = 0;
    return removed;
}

void YActorWorld::MoveActor(YActor* actor, const YVector& newPosition)
{
    if (!m_scene || !actor) return;
    const YVector previous = actor->m_previousPosition;
    if (!((newPosition - previous).LengthSquared() > 0.0001f)) return;
    if (m_moveCallback && previous.LengthSquared() > 0.1f && previous.DistanceSquared(YVector(16.0f, 0.0f, 16.0f)) > 0.1f)
        m_moveCallback(actor, newPosition, previous);
    if (!actor->m_inGrid || !m_useGrid) {
        actor->m_previousPosition = newPosition;
        return;
    }
    if (m_scene->MoveActorTo(actor, previous.x * kRenderScale, previous.z * kRenderScale,
                             newPosition.x * kRenderScale, newPosition.z * kRenderScale))
        actor->m_previousPosition = newPosition;
    else
        actor->m_position = previous;
}

void YActorWorld::UpdateActorCell(YActor* actor)
{
    if (!actor || !actor->m_inGrid || !m_useGrid || !m_scene) return;
    const YVector& previous = actor->m_previousPosition;
    m_scene->MoveActorTo(actor, previous.x * kRenderScale, previous.z * kRenderScale,
                         actor->m_position.x * kRenderScale, actor->m_position.z * kRenderScale);
    actor->m_previousPosition = actor->m_position;
}
