#include "world/YActorWorld.h"

#include <cfloat>
#include <cstring>

#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "platform/win32.h"
#include "renderer/YParser.h"
#include "world/YActor.h"

IMPLEMENT_SERIAL(YActorWorld, CObject, 1)

namespace {
const float kDegToRad = 0.017453292f;

// The name holds the text, without regard to case.
bool NameHolds(const YString& name, const char* text)
{
    YString upperName(name), upperText(text ? text : "");
    upperName.MakeUpper();
    upperText.MakeUpper();
    return upperName.Find(upperText) >= 0;
}
}  // namespace

YActorWorld::YActorWorld() : m_scene(nullptr), m_sound(nullptr), m_viewActor(nullptr)
{
    ResetFields();
}

YActorWorld::~YActorWorld()
{
    Clear();
    // Without a renderer nothing can hold them any more.
    if (!m_scene) {
        while (m_pendingDelete.GetSize() > 0) {
            YActor* actor = m_pendingDelete[m_pendingDelete.GetSize() - 1];
            m_pendingDelete.RemoveAt(m_pendingDelete.GetSize() - 1);
            DestroyActor(actor);
        }
    }
    for (int i = 0; i < m_modelCache.GetSize(); ++i) delete m_modelCache[i];
}

void YActorWorld::Serialize(CArchive&) {}

void YActorWorld::Reset() { ResetFields(); }

void YActorWorld::ResetFields()
{
    m_count = 0;
    m_topIndex = -1;
    if (m_viewActor) m_viewActor->m_render.m_flags &= ~YActor::RenderViewActor;
    m_viewActor = nullptr;
    m_useGrid = 1;
    m_auxFloat = 1.0f;
    m_words[0] = m_words[1] = m_words[2] = 0;
    m_worldFloat = 0.0f;
    m_traceMilliseconds = 0;
    m_traceCount = 0;
    m_moveCallback = nullptr;
    m_tetherFollower = m_tetherLeader = -1;
    m_tetherDistance = 0;
    m_cameraOffset = YVector();
    m_cameraAngleOffset = YVector();
    for (int i = 0; i < m_modelCache.GetSize(); ++i) delete m_modelCache[i];
    m_modelCache.RemoveAll();
}

void YActorWorld::Init(YParser*, void* sound, const char* name, int capacity)
{
    Clear();
    YGameObjects* engine = YGameObjects::Existing();
    m_scene = engine ? engine->m_renderer : nullptr;
    m_sound = sound;
    m_name = name ? name : "";
    m_actors.SetSize(capacity > 0 ? capacity : 0, kGrowBy);
    for (int i = 0; i < m_actors.GetSize(); ++i) m_actors[i] = nullptr;
}

YSMHandle* YActorWorld::LoadModel(const char* name)
{
    if (!m_scene || !name) return nullptr;
    if (strncmp(name, "id;", 3) == 0) return m_scene->CreateModelHandle(name + 3);
    YString text(name), group, category, rest;
    const int first = text.Find(':');
    if (first < 0) {
        group = text;
    } else {
        group = text.Left(first);
        const int second = text.Find(':', first + 1);
        if (second < 0) {
            category = text.Mid(first + 1);
        } else {
            category = text.Mid(first + 1, second - first - 1);
            rest = text.Mid(second + 1);
        }
    }
    // A drive letter.
    if (group.GetLength() == 1 && first >= 0) {
        group = group + ":" + category;
        category = rest;
        rest = "";
    }
    if (!group.IsEmpty() && !category.IsEmpty() && !rest.IsEmpty())
        return m_scene->CreateModelHandleFromCatalog(category, group, rest);
    if (!group.IsEmpty() && !category.IsEmpty()) return m_scene->CreateModelHandleByName(category, group);
    if (group.IsEmpty()) return nullptr;
    const char* path = group;
    const bool absolute = (path[0] == '/' && path[1] == '/') || (path[0] == '\\' && path[1] == '\\') ||
                          (path[0] && path[1] == ':');
    if (absolute) return m_scene->CreateModelHandle(path);
    YString full = m_name;
    if (path[0] != '\\' && path[0] != '/') full = full + "\\";
    full = full + path;
    return m_scene->CreateModelHandle(full);
}

int16_t YActorWorld::GetModelIndex(const char* name)
{
    const char* key = name ? name : "";
    for (int i = 0; i < m_modelCache.GetSize(); ++i)
        if (strcmp(m_modelCache[i]->m_name, key) == 0) return m_modelCache[i]->m_index;
    if (!m_scene) return -1;
    const int16_t index = static_cast<int16_t>(m_scene->LoadCatalogTextures(key, 0, 1));
    m_modelCache.Add(new YCacheTexture(key, index));
    return index;
}

void YActorWorld::StoreAt(int slot, YActor* actor)
{
    if (slot >= m_actors.GetSize()) {
        const int old = static_cast<int>(m_actors.GetSize());
        m_actors.SetSize(slot + 1, kGrowBy);
        for (int i = old; i < m_actors.GetSize(); ++i) m_actors[i] = nullptr;
    }
    m_actors[slot] = actor;
    if (slot > m_topIndex) m_topIndex = slot;
    ++m_count;
}

int YActorWorld::AddActor(YActor* actor, int place, int slot)
{
    if (!actor || slot < -1) return -1;
    const int held = IndexOf(actor);
    if (held >= 0) return held;
    if (slot == -1) {
        for (int i = 0; i <= m_topIndex && slot < 0; ++i)
            if (!m_actors[i]) slot = i;
        if (slot < 0) slot = m_topIndex + 1;
    } else if (GetActor(slot)) {
        RemoveActorAt(slot, 0);
        // The grid would not let the old actor go: it keeps its slot.
        if (GetActor(slot)) return -1;
    }
    StoreAt(slot, actor);
    actor->m_world = this;
    if (place) {
        PlaceActor(actor, &actor->m_position);
        actor->m_previousPosition = actor->m_position;
    }
    return slot;
}

int YActorWorld::IndexOf(const YActor* actor) const
{
    if (!actor) return -1;
    for (int i = 0; i <= m_topIndex && i < m_actors.GetSize(); ++i)
        if (m_actors[i] == actor) return i;
    return -1;
}

YActor* YActorWorld::GetActor(int index) const
{
    if (index < 0 || index > m_topIndex || index >= m_actors.GetSize()) return nullptr;
    return m_actors[index];
}

void YActorWorld::EmptySlot(int index)
{
    YActor* actor = m_actors[index];
    m_actors[index] = nullptr;
    --m_count;
    if (actor && actor == m_viewActor) {
        actor->m_render.m_flags &= ~YActor::RenderViewActor;
        m_viewActor = nullptr;
    }
    // A slot used again never passes for the tether's old end.
    if (index == m_tetherFollower || index == m_tetherLeader) m_tetherFollower = m_tetherLeader = -1;
    RecomputeTopIndex();
}

YActor* YActorWorld::DetachAt(int index, int force)
{
    YActor* actor = GetActor(index);
    return actor ? Detach(actor, force) : nullptr;
}

YActor* YActorWorld::Detach(YActor* actor, int force)
{
    const int index = IndexOf(actor);
    if (index < 0) return nullptr;
    UnplaceActor(actor);
    if (actor->m_inGrid && !force) return nullptr;
    EmptySlot(index);
    if (actor->m_inGrid) return nullptr;
    actor->m_world = nullptr;
    return actor;
}

void YActorWorld::UnplaceAll()
{
    for (int i = m_topIndex; i >= 0; --i) {
        YActor* actor = GetActor(i);
        if (actor && UnplaceActor(actor)) EmptySlot(i);
    }
}

void YActorWorld::PlaceAll()
{
    for (int i = 0; i <= m_topIndex; ++i)
        if (YActor* actor = GetActor(i)) PlaceActor(actor, &actor->m_position);
}

void YActorWorld::UnplaceEach(int)
{
    for (int i = 0; i <= m_topIndex; ++i)
        if (YActor* actor = GetActor(i)) UnplaceActor(actor);
}

YActor* YActorWorld::RemoveActorAt(int index, int force)
{
    YActor* actor = GetActor(index);
    return actor ? RemoveActor(actor, force) : nullptr;
}

YActor* YActorWorld::RemoveActor(YActor* actor, int force)
{
    if (!actor || IndexOf(actor) < 0) return nullptr;
    if (actor->GetParent()) actor->GetParent()->RemoveChild(actor);
    YActor* detached = Detach(actor, force);
    if (!detached) {
        // Out of its slot but still in the grid: deleted once the grid lets go.
        if (force && !actor->m_keep && IndexOf(actor) < 0) m_pendingDelete.Add(actor);
        return nullptr;
    }
    if (detached->m_keep) return detached;
    DestroyActor(detached);
    return nullptr;
}

void YActorWorld::Clear()
{
    // Those the grid still held: deleted once it lets them go.
    for (int i = static_cast<int>(m_pendingDelete.GetSize()) - 1; i >= 0; --i) {
        YActor* actor = m_pendingDelete[i];
        if (!UnplaceActor(actor) && actor->m_inGrid) continue;
        m_pendingDelete.RemoveAt(i);
        DestroyActor(actor);
    }
    UnplaceEach(0);
    if (m_topIndex >= 0) {
        for (int i = 0; i <= m_topIndex; ++i) {
            YActor* actor = m_actors[i];
            if (!actor) continue;
            UnplaceActor(actor);
            m_actors[i] = nullptr;
            --m_count;
            if (actor == m_viewActor) {
                actor->m_render.m_flags &= ~YActor::RenderViewActor;
                m_viewActor = nullptr;
            }
            if (actor->m_keep) continue;
            actor->m_sounds.ForgetBuffers();
            if (actor->m_inGrid) m_pendingDelete.Add(actor);
            else DestroyActor(actor);
        }
    }
    UnplaceAll();
    ResetFields();
}

void YActorWorld::RemoveMarked()
{
    for (int i = 0; i < m_actors.GetSize(); ++i) {
        YActor* actor = GetActor(i);
        if (actor && (actor->m_flagsB & YActor::FlagPowerUpKind)) RemoveActorAt(i, 1);
    }
}

void YActorWorld::PurgeDestroyed()
{
    for (int i = 0; i <= m_topIndex; ++i) {
        YActor* actor = GetActor(i);
        if (actor && (actor->m_flagsA & YActor::FlagDestroyMe)) RemoveActorAt(i, 0);
    }
}

void YActorWorld::RemoveByName(const char* text)
{
    for (int i = 0; i <= m_topIndex; ++i) {
        YActor* actor = GetActor(i);
        if (actor && NameHolds(actor->m_name, text)) RemoveActor(actor, 0);
    }
}

void YActorWorld::ForgetHere(YActor* actor)
{
    for (int i = 0; i <= m_topIndex && i < m_actors.GetSize(); ++i)
        if (m_actors[i] && m_actors[i] != actor) m_actors[i]->ForgetActor(actor);
    for (int i = 0; i < m_pendingDelete.GetSize(); ++i)
        if (m_pendingDelete[i] != actor) m_pendingDelete[i]->ForgetActor(actor);
    if (m_viewActor == actor) m_viewActor = nullptr;
}

void YActorWorld::ForgetEverywhere(YActor* actor)
{
    YGameObjects* engine = YGameObjects::Existing();
    if (!engine) return;
    if (engine->m_world) engine->m_world->ForgetHere(actor);
    if (engine->m_world2 && engine->m_world2 != engine->m_world) engine->m_world2->ForgetHere(actor);
    engine->ForgetActor(actor);
}

void YActorWorld::DestroyActor(YActor* actor)
{
    ForgetHere(actor);
    ForgetEverywhere(actor);
    delete actor;
}

void YActorWorld::UpdateCamera(float value)
{
    if (!m_viewActor) return;
    YVector position, angles;
    GetCameraTransform(position, angles);
    position *= kRenderScale;
    angles *= kDegToRad;
    angles.z = -angles.z;
    SetCamera(position, angles, -1.0f, -1.0f, value);
}

YActor* YActorWorld::SetViewActor(YActor* actor)
{
    YActor* old = m_viewActor;
    if (old) old->m_render.m_flags &= ~YActor::RenderViewActor;
    m_viewActor = actor;
    if (actor) {
        actor->m_cachedStamp = -1;
        actor->m_render.m_flags |= YActor::RenderViewActor;
    }
    UpdateCamera(-1.0f);
    return old;
}

bool YActorWorld::GetCameraTransform(YVector& position, YVector& angles)
{
    if (!m_viewActor) return false;
    m_viewActor->GetWorldTransform(position, angles);
    if (m_cameraOffset.LengthSquared() > 0.0001f) {
        const YActor* parent = m_viewActor->GetParent();
        if (parent && (parent->m_flagsA & YActor::FlagPitchToSlope)) {
            angles.y += m_cameraAngleOffset.y;
            angles.x = m_cameraAngleOffset.x + m_viewActor->m_angles.x;
            angles.z = m_cameraAngleOffset.z + m_viewActor->m_angles.z;
        } else {
            angles += m_cameraAngleOffset;
        }
        YVector offset = m_cameraOffset;
        offset.TurnBy(YVector(-angles.x, angles.y, 0.0f));
        position += offset;
        ClipToSurface(position, true, true, true);
        position.y += 0.2f;
    }
    return true;
}

void YActorWorld::GetCameraAngles(float* a, float* b, float* c)
{
    if (!m_scene) {
        *a = *b = *c = 0.0f;
        return;
    }
    m_scene->GetCameraAngles(a, b, c);
}

void YActorWorld::SetCamera(const YVector& position, const YVector& angles, float p1, float p2, float p3)
{
    if (!m_scene) return;
    // p1..p3: field of view, near and far plane; -1 keeps the renderer's.
    float fov, fov2, nearPlane, farPlane;
    m_scene->GetProjection(&fov, &fov2, &nearPlane, &farPlane);
    if (p1 != -1.0f) fov = p1;
    if (p2 != -1.0f) nearPlane = p2;
    if (p3 != -1.0f) farPlane = p3;
    m_scene->SetProjection(fov, fov2, nearPlane, farPlane);
    m_scene->SetCameraPosition(position.x, position.y, position.z);
    m_scene->SetCameraAngles(angles.x, angles.y, angles.z);
    m_scene->ApplyView();
}

void YActorWorld::ReloadAllModels()
{
    for (int i = 0; i <= m_topIndex; ++i)
        if (YActor* actor = GetActor(i)) actor->ReloadModel();
}

int YActorWorld::FindNearestByName(int fromIndex, const char* text)
{
    if (!text || !*text) return -1;
    YVector from, angles;
    if (YActor* actor = GetActor(fromIndex)) actor->GetWorldTransform(from, angles);
    float best = HasMap() ? MapWidth() * MapHeight() * 2.0f : FLT_MAX;
    int found = -1;
    for (int i = 0; i <= m_topIndex; ++i) {
        YActor* actor = GetActor(i);
        if (!actor || !NameHolds(actor->m_name, text)) continue;
        YVector at, turn;
        actor->GetWorldTransform(at, turn);
        const float d = from.DistanceSquared(at);
        if (d < best) {
            best = d;
            found = i;
        }
    }
    return found;
}

YActor* YActorWorld::FindNearestActor(YActor* from, float maxDistance, bool mustSee, const char* text)
{
    if (!from) return nullptr;
    YVector eye, eyeAngles;
    if (mustSee) from->GetWorldTransform(eye, eyeAngles);
    float best = 100000.0f;
    YActor* nearest = nullptr;
    for (int i = 0; i <= m_topIndex; ++i) {
        YActor* actor = GetActor(i);
        if (!actor || actor == from) continue;
        if (text && *text && !NameHolds(actor->m_name, text)) continue;
        const YVector flat(actor->m_position.x, from->m_position.y, actor->m_position.z);
        const float d = from->m_position.FastDistance(flat);
        if (!(d < best)) continue;
        if (mustSee && (d > maxDistance ||
                        !from->CanSeeActorFrom(eye, eyeAngles, actor, static_cast<int>(maxDistance), 0)))
            continue;
        best = d;
        nearest = actor;
    }
    return nearest;
}

int YActorWorld::FindNextByName(int afterIndex, const char* text)
{
    for (int i = afterIndex < -1 ? 0 : afterIndex + 1; i <= m_topIndex; ++i) {
        YActor* actor = GetActor(i);
        if (actor && NameHolds(actor->m_name, text)) return i;
    }
    return -1;
}

int YActorWorld::CountByName(const char* text)
{
    int count = 0;
    for (int i = 0; i <= m_topIndex; ++i) {
        YActor* actor = GetActor(i);
        if (actor && NameHolds(actor->m_name, text)) ++count;
    }
    return count;
}

int YActorWorld::FindActor(int start, const char* identifier) const
{
    const int count = m_topIndex + 1;
    if (!identifier || count <= 0) return -1;
    if (start < -1 || start >= count) start = -1;
    for (int step = 1; step <= count; ++step) {
        const int index = (start + step) % count;
        const YActor* actor = GetActor(index);
        if (actor && !actor->IsMarkedForDestruction() && actor->m_name.CompareNoCase(identifier) == 0) return index;
    }
    return -1;
}

void YActorWorld::SetTether(int follower, int leader, int distance)
{
    m_tetherFollower = follower;
    m_tetherLeader = leader;
    m_tetherDistance = distance;
}

void YActorWorld::ApplyTether()
{
    if (m_tetherFollower < 0 || m_tetherLeader < 0) return;
    YActor* follower = GetActor(m_tetherFollower);
    YActor* leader = GetActor(m_tetherLeader);
    if (!follower || !leader) {
        m_tetherFollower = m_tetherLeader = -1;
        return;
    }
    follower->m_position = leader->m_position - follower->m_angles.FromAngles() * static_cast<float>(m_tetherDistance);
}

void YActorWorld::Refresh()
{
    PurgeDestroyed();
    ApplyTether();
    UpdateCamera(-1.0f);
}

void YActorWorld::OnEvent(int) {}

void YActorWorld::RecomputeTopIndex()
{
    int top = m_topIndex < m_actors.GetSize() ? m_topIndex : static_cast<int>(m_actors.GetSize()) - 1;
    while (top >= 0 && !m_actors[top]) --top;
    m_topIndex = top;
}
