#include "world/YActor.h"

#include <cmath>

#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "platform/win32.h"
#include "renderer/YParser.h"
#include "world/YActorWorld.h"

IMPLEMENT_SERIAL(YActor, CObject, 1)

namespace {
const float kDegToRad = 0.017453292f;
const float kPointSightAngle = 30.0f;
const float kActorSightAngle = 35.0f;

struct FlagName {
    const char* name;
    bool wordB;
    uint32_t bit;
};

// Looked up in this order; the first match wins.
const FlagName FlagNames[] = {
    {"Visible", false, YActor::FlagVisible},
    {"ClipToGround", false, YActor::FlagClipToGround},
    {"ClipToWater", false, YActor::FlagClipToWater},
    {"ClipToWorld", false, YActor::FlagClipToWorld},
    {"CollidePush", false, YActor::FlagCollidePush},
    {"Collide", false, YActor::FlagCollide},
    {"DestroyMe", false, YActor::FlagDestroyMe},
    {"Trace", false, YActor::FlagTrace},
    {"Kicking", true, YActor::FlagKicking},
    {"Wobbling", true, YActor::FlagWobbling},
    {"Bobbing", true, YActor::FlagBobbing},
    {"Crouching", true, YActor::FlagCrouching},
    {"PitchToSlope", false, YActor::FlagPitchToSlope},
    {"Aquatic", false, YActor::FlagAquatic},
    {"Terrestrial", false, YActor::FlagTerrestrial},
    {"FaceVelocity", false, YActor::FlagFaceVelocity},
    {"OrientVelocity", false, YActor::FlagOrientVelocity},
    {"FollowTarget", false, YActor::FlagFollowTarget},
    {"IsChild", false, YActor::FlagIsChild},
    {"DescribeOffsets", false, YActor::FlagDescribeOffsets},
    {"Flying", true, YActor::FlagFlying},
    {"Running", true, YActor::FlagRunning},
    {"SlopeEffect", true, YActor::FlagSlopeEffect},
    {"Falling", true, YActor::FlagFalling},
    {"OnGround", true, YActor::FlagOnGround},
    {"Itterative", false, YActor::FlagItterative},
    {"NoUpdates", false, YActor::FlagNoUpdates},
    {"NoMech", false, YActor::FlagNoMech},
    {"SpriteActor", false, YActor::FlagSpriteActor},
};

const FlagName* FindFlag(const char* name)
{
    if (!name) return nullptr;
    for (const FlagName& flag : FlagNames)
        if (_stricmp(flag.name, name) == 0) return &flag;
    return nullptr;
}

void ToRender(const YVector& v, float scale, float out[3])
{
    out[0] = v.x * scale;
    out[1] = v.y * scale;
    out[2] = v.z * scale;
}

YActorWorld* ActiveWorld()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_world : nullptr;
}
}  // namespace

CCriticalSection& YActor::GetActorLock()
{
    // Kept to the very end: actors of the engine's worlds go at exit too.
    static CCriticalSection* lock = new CCriticalSection;
    return *lock;
}

YActor::YActor()
    : m_model(nullptr), m_parent(nullptr), m_children(nullptr), m_childRecords(nullptr)
{
    m_world = nullptr;
    m_inGrid = 0;
    m_owned = m_owned2 = nullptr;
    m_pendingAttachments = nullptr;
    m_render.m_owner = this;
    m_render.m_typeIndex = -1;
    m_render.m_scale = 1.0f;
    m_render.m_attachIndex = m_render.m_index2 = -1;
    Reset();
}

YActor::~YActor()
{
    m_destroying = true;
    RemoveAllChildren();
    delete m_model;
    m_model = nullptr;
    m_render.m_model = nullptr;
    while (!m_sounds.IsEmpty()) delete m_sounds.RemoveHead();
    while (!m_decals.IsEmpty()) delete m_decals.RemoveHead();
    delete m_owned;
    delete m_owned2;
    if (m_parent) m_parent->RemoveChild(this);
    delete m_pendingAttachments;
}

void YActor::Reset()
{
    // Children first let go, so that none keeps pointing here.
    RemoveAllChildren();
    m_points.RemoveAll();
    m_auxTag = -1;
    m_name = "Actor";
    m_parent = nullptr;
    m_target = nullptr;
    m_angles = m_position = m_previousPosition = m_vectorA = m_velocity = m_vectorB = YVector();
    m_offsetAngles = m_offsetPosition = YVector();
    m_vectorC = YVector(-1.0f, -1.0f, -1.0f);
    m_vectorD = YVector(1.0f, 1.0f, 1.0f);
    m_lockedAngles = YVector(-1.0f, -1.0f, 0.0f);
    m_lockedGive = YVector();
    m_length = 2.0f;
    m_auxSize = 2.0f;
    m_aimHeight = 0.1f;
    m_wadeDepth = 0.0f;
    m_auxFloatA = 0.5f;
    m_auxFloatB = 1600.0f;
    m_energy = 100.0f;
    m_scale = 1.0f;
    m_speedPercent = 1.0f;
    m_viewDistance = 0.0f;
    m_viewHeading = 0.0f;
    m_auxFloatC = -1.0f;
    m_auxFloatD = 360.0f;
    m_auxFloatE = 1.0f;
    m_nextThinkTime = 0;
    m_auxWord2 = 0;
    m_auxShortA = 25;
    m_auxShortB = 0;
    m_targetId = -1;
    m_flagsA = FlagsAReset;
    m_flagsB = 0;
    delete m_model;
    m_model = nullptr;
    m_render.m_model = nullptr;
    m_modelName = "";
    m_modelIndex = -1;
    m_keep = 0;
    m_noRender = 0;
    m_transformStamp = 0;
    m_cachedStamp = -1;
    m_auxWord = 0;
    m_text = "";
    m_auxWord3 = 0;
    delete m_pendingAttachments;
    m_pendingAttachments = nullptr;
}

void YActor::Serialize(CArchive& ar)
{
    YVector* vectors[] = {&m_position,  &m_vectorA,       &m_previousPosition, &m_angles,       &m_velocity,
                          &m_acceleration, &m_vectorC,    &m_vectorD,          &m_vectorB,      &m_offsetAngles,
                          &m_offsetPosition, &m_lockedAngles, &m_lockedGive,   &m_vectorE,      &m_vectorF};
    float* floats[] = {&m_length, &m_auxSize, &m_aimHeight, &m_energy, &m_wadeDepth, &m_auxFloatB, &m_scale};
    if (ar.IsStoring()) {
        ar << DWORD(2) << m_name << m_modelName;
        for (float* f : floats) ar << *f;
        ar << DWORD(m_flagsA) << DWORD(m_flagsB) << m_auxFloatC << m_auxFloatD;
        for (YVector* v : vectors) ar << *v;
        ar << LONG(m_targetId);
        return;
    }
    // Read whole before anything changes, so that a short record keeps the actor.
    DWORD version, flagsA, flagsB;
    YString name, modelName;
    float values[7], auxC, auxD;
    YVector read[15];
    LONG targetId = m_targetId;
    ar >> version >> name >> modelName;
    for (float& f : values) ar >> f;
    ar >> flagsA >> flagsB >> auxC >> auxD;
    for (YVector& v : read) ar >> v;
    if (version >= 2) ar >> targetId;
    m_name = name;
    m_modelName = modelName;
    for (int i = 0; i < 7; ++i) *floats[i] = values[i];
    m_flagsA = flagsA;
    m_flagsB = flagsB;
    m_auxFloatC = auxC;
    m_auxFloatD = auxD;
    for (int i = 0; i < 15; ++i) *vectors[i] = read[i];
    m_targetId = targetId;
}

void YActor::SetFlag(const char* name, bool on)
{
    const FlagName* flag = FindFlag(name);
    if (!flag) return;
    uint32_t& word = flag->wordB ? m_flagsB : m_flagsA;
    if (on) word |= flag->bit;
    else word &= ~flag->bit;
}

int YActor::GetFlag(const char* name) const
{
    const FlagName* flag = FindFlag(name);
    if (!flag) return 0;
    return ((flag->wordB ? m_flagsB : m_flagsA) & flag->bit) ? 1 : 0;
}

void YActor::Describe(CStringList& lines)
{
    CString line;
    auto add = [&](const char* format, const char* text) {
        line.Format(format, text);
        lines.AddTail(line);
    };
    add("Actor: %s", m_name);
    add("Position [M]:\t%s", m_position.ToString());
    add("Offset Position [M]: %s", m_offsetPosition.ToString());
    add("Velocity [M/s]: %s", m_velocity.ToString());
    add("Acceleration [M/s]: %s", m_acceleration.ToString());
    add("Orientation [A]: %s", m_angles.ToString());
    add("Offset Angles [A]: %s", m_offsetAngles.ToString());
    add("Locked Angles [A]: %s", m_lockedAngles.ToString());
    add("Locked Give [A]: %s", m_lockedGive.ToString());
    line.Format("Speed %%: %f (Energy %f)", m_speedPercent, m_energy);
    lines.AddTail(line);
    add("Grounded: %s", (m_flagsB & FlagOnGround) ? "Yes" : "No");
    lines.AddTail(CString());
}

void YActor::SetModelObject(YSMHandle* instance)
{
    if (!instance) return;
    if (instance != m_model) delete m_model;
    m_model = instance;
    m_render.m_model = instance;
    int16_t group = instance->FindGroup("Camera");
    if (group < 0) group = instance->FindGroup("Normal");
    if (group >= 0) instance->SetActiveGroup(group);
    instance->SetReferenceSize(16.0f);
    instance->SetAnimated(instance->GetFrameCount() >= 1);
}

void YActor::SetModel(const char* name)
{
    YActorWorld* world = m_world ? m_world : ActiveWorld();
    YString text(name ? name : "");
    delete m_model;
    m_model = nullptr;
    m_render.m_model = nullptr;
    m_modelIndex = -1;
    m_modelName = text;
    if (!world || text.IsEmpty()) return;
    if (text.FindOneOf(":.\\/") >= 0) {
        if (YSMHandle* instance = world->LoadModel(text)) {
            SetModelObject(instance);
            return;
        }
    }
    m_modelIndex = world->GetModelIndex(text);
}

void YActor::ReloadModel()
{
    YString name = m_modelName;
    SetModel(name);
}

void YActor::AddSound(YActorSound*& sound)
{
    if (!sound) return;
    const char* name = sound->GetName();
    int same = 0;
    for (POSITION at = m_sounds.GetHeadPosition(); at;) {
        YActorSound* held = m_sounds.GetNext(at);
        if (held && strcmp(held->GetName(), name ? name : "") == 0) ++same;
    }
    if (same >= 2) {
        delete sound;
        sound = nullptr;
        return;
    }
    m_sounds.AddTail(sound);
}

void YActor::RemoveSound(const char* name)
{
    for (POSITION at = m_sounds.GetHeadPosition(); at;) {
        POSITION here = at;
        YActorSound* sound = m_sounds.GetNext(at);
        if (sound && strcmp(sound->GetName(), name ? name : "") == 0) {
            m_sounds.RemoveAt(here);
            delete sound;
        }
    }
}

void YActor::UpdateSounds(YActor* listener, float dt)
{
    for (POSITION at = m_sounds.GetHeadPosition(); at;) {
        POSITION here = at;
        YActorSound* sound = m_sounds.GetNext(at);
        if (!sound) continue;
        sound->Update(listener, dt);
        if (sound->m_finished) {
            m_sounds.RemoveAt(here);
            delete sound;
        }
    }
}

int YActor::OnCommand(int, int, int) { return 0; }

YRenderInstance* YActor::BuildRenderInstance()
{
    CSingleLock lock(&GetActorLock());
    if (!lock.Lock(kLockTimeout)) return nullptr;
    YVector offset, offsetAngles;
    if (m_flagsA & FlagDescribeOffsets) {
        offset = m_offsetPosition;
        offsetAngles = m_offsetAngles;
    }
    YVector at = m_position;
    YActor* view = m_world ? m_world->GetViewActor() : nullptr;
    if ((m_flagsA & FlagNearView) && view && view != this) {
        YVector viewPosition, viewAngles;
        view->GetWorldTransform(viewPosition, viewAngles);
        at = m_position + (viewPosition - m_position) * 0.03f;
    }
    ToRender(at + offset, YActorWorld::kRenderScale, m_render.m_position);
    ToRender(offsetAngles + m_angles, kDegToRad, m_render.m_angles);
    if (m_model) {
        m_render.m_model = m_model;
        m_render.m_flags |= RenderDrawn;
        // Hidden, or the camera sits inside it.
        bool inside = m_world && m_world->m_cameraOffset.LengthSquared() < 0.001f && view == this;
        if (!(m_flagsA & FlagVisible) || inside) m_render.m_flags &= ~RenderDrawn;
        m_render.m_kind = 0;
        m_render.m_elementCount = 0;
        m_render.m_scale = m_scale;
    } else if (m_modelIndex >= 0) {
        YParser* scene = m_world ? m_world->m_scene : nullptr;
        YRenderInstance* shared = scene ? scene->GetWorldModelRecord() : nullptr;
        if (shared) shared->m_scale = m_scale;
        m_render.m_worldModel = shared;
        m_render.m_typeIndex = static_cast<int16_t>(m_modelIndex);
        m_render.m_kind = 1;
        m_render.m_elementCount = 1;
        if (m_flagsA & FlagPitchToSlope) {
            m_render.m_angles[0] = 1.5707964f;
            m_render.m_angles[1] = m_render.m_angles[2] = 0.0f;
        }
        m_render.m_flags |= RenderDrawn;
    } else {
        // Nothing left to draw (the model was let go).
        m_render.m_flags &= ~RenderDrawn;
        m_render.m_kind = 0;
        m_render.m_elementCount = 0;
    }
    CollectChildRecords();
    m_render.m_childCount = static_cast<uint16_t>(GetChildCount());
    m_render.m_children = m_childRecords;
    return &m_render;
}

void YActor::GetPosition(YVector& out)
{
    out = m_position + m_offsetPosition;
    out.y += m_aimHeight;
}

void YActor::GetAngles(YVector& out)
{
    out = m_angles + m_offsetAngles;
}

void YActor::GetWorldTransform(YVector& position, YVector& angles)
{
    if (m_cachedStamp == static_cast<int32_t>(m_transformStamp)) {
        position = m_cachedPosition;
        angles = m_cachedAngles;
        return;
    }
    GetPosition(position);
    GetAngles(angles);
    if (m_world && m_parent) {
        // Its own matrix: building the parents' records may ask again.
        YMatrix matrix;
        MakeIdentityMatrix(&matrix);
        m_world->BuildParentMatrix(this, &matrix);
        m_world->TransformPosition(this, position, &matrix);
        m_world->TransformAngles(this, angles, &matrix);
    }
    m_cachedPosition = position;
    m_cachedAngles = angles;
    m_cachedStamp = static_cast<int32_t>(m_transformStamp);
}

bool YActor::ClampAngleToLock(float centre, float give, float& angle)
{
    const float low = WrapAngle360(centre - give);
    const float high = WrapAngle360(centre + give);
    const float a = WrapAngle360(angle);
    const bool inside = low <= high ? (a >= low && a <= high) : (a >= low || a <= high);
    if (inside) return false;
    // The nearer end, by the distance between unit vectors of the yaws.
    const YVector here = YVector(0.0f, a, 0.0f).FromAngles();
    const float toLow = here.DistanceSquared(YVector(0.0f, low, 0.0f).FromAngles());
    const float toHigh = here.DistanceSquared(YVector(0.0f, high, 0.0f).FromAngles());
    angle = toLow <= toHigh ? low : high;
    return true;
}

void YActor::ApplyAngleLocks()
{
    float pitchYaw[2] = {m_angles.x, m_angles.y};
    ApplyAngleLocksTo(pitchYaw);
    m_angles.x = pitchYaw[0];
    m_angles.y = pitchYaw[1];
}

void YActor::ApplyAngleLocksTo(float pitchYaw[2])
{
    // The reset centre -1 locks nothing.
    if (m_lockedAngles.x >= 0.0f) ClampAngleToLock(m_lockedAngles.x, m_lockedGive.x, pitchYaw[0]);
    if (m_lockedAngles.y >= 0.0f) ClampAngleToLock(m_lockedAngles.y, m_lockedGive.y, pitchYaw[1]);
}

bool YActor::HasChild(const YActor* actor) const
{
    return m_children && actor && m_children->Find(const_cast<YActor*>(actor));
}

void YActor::RebuildChildRecords()
{
    delete[] m_childRecords;
    m_childRecords = nullptr;
    const int count = GetChildCount();
    if (count > 0) {
        m_childRecords = new YRenderInstance*[count];
        for (int i = 0; i < count; ++i) m_childRecords[i] = nullptr;
    }
    m_render.m_children = m_childRecords;
    m_render.m_childCount = static_cast<uint16_t>(count);
}

void YActor::AddChild(YActor* actor)
{
    if (!actor) return;
    // Itself or one of its own ancestors would close a loop.
    if (IsRelatedTo(actor, true, false)) return;
    if (!m_children) m_children = new YActorList(10);
    if (!HasChild(actor)) {
        if (actor->m_parent && actor->m_parent != this) actor->m_parent->RemoveChild(actor);
        m_children->AddTail(actor);
        actor->m_flagsA &= ~FlagsLostAsChild;
        actor->m_flagsA |= FlagIsChild;
        actor->m_parent = this;
        actor->m_flagsB |= FlagFlying;
        // Out of the grid of the world that placed it.
        YActorWorld* world = actor->m_world ? actor->m_world : m_world;
        if (actor->m_inGrid && world) world->UnplaceActor(actor);
        RebuildChildRecords();
    }
    BuildRenderInstance();
}

void YActor::RemoveChild(YActor* actor)
{
    if (!actor || !HasChild(actor)) return;
    m_children->RemoveAt(m_children->Find(actor));
    actor->m_parent = nullptr;
    actor->m_flagsA &= ~FlagIsChild;
    // Only a living actor that its world holds goes back into the grid.
    YActorWorld* world = actor->m_world;
    if (!actor->m_inGrid && !actor->m_destroying && world && world->IndexOf(actor) >= 0)
        world->PlaceActor(actor, &actor->m_position);
    RebuildChildRecords();
    if (!m_destroying) BuildRenderInstance();
}

void YActor::RemoveAllChildren()
{
    if (!m_children) return;
    while (!m_children->IsEmpty()) {
        YActor* child = m_children->GetHead();
        if (!child) {
            m_children->RemoveHead();
            continue;
        }
        child->m_previousPosition = m_position;
        RemoveChild(child);
    }
    delete m_children;
    m_children = nullptr;
    delete[] m_childRecords;
    m_childRecords = nullptr;
    m_render.m_children = nullptr;
    m_render.m_childCount = 0;
    if (!m_destroying) BuildRenderInstance();
}

void YActor::CollectChildRecords()
{
    if (!m_children) return;
    for (POSITION at = m_children->GetHeadPosition(); at;) {
        POSITION here = at;
        if (m_children->GetNext(at) == this) m_children->RemoveAt(here);
    }
    if (GetChildCount() != m_render.m_childCount || (!m_childRecords && GetChildCount() > 0)) RebuildChildRecords();
    int i = 0;
    for (POSITION at = m_children->GetHeadPosition(); at;) {
        YActor* child = m_children->GetNext(at);
        m_childRecords[i++] = child ? child->BuildRenderInstance() : nullptr;
    }
}

int YActor::QueryRoot(int value)
{
    return m_parent ? m_parent->QueryRoot(value) : 0;
}

void YActor::ForgetActor(YActor* actor)
{
    if (!actor) return;
    if (m_parent == actor) m_parent = nullptr;
    if (m_target == actor) m_target = nullptr;
    if (!HasChild(actor)) return;
    for (POSITION at = m_children->GetHeadPosition(); at;) {
        POSITION here = at;
        if (m_children->GetNext(at) == actor) m_children->RemoveAt(here);
    }
    RebuildChildRecords();
}

void YActor::Update(float) {}
void YActor::Think() {}
void YActor::Touch(YActor*) {}
void YActor::OnEvent(int, int) {}
void YActor::OnIdle() {}
int YActor::PerformAction(const char*) { return 0; }

bool YActor::IsRelatedTo(YActor* other, bool searchParents, bool searchChildren)
{
    if (other == this) return true;
    if (searchParents) {
        for (YActor* above = m_parent; above; above = above->m_parent)
            if (above->IsRelatedTo(other, true, false)) return true;
    }
    if (searchChildren && m_children) {
        for (POSITION at = m_children->GetHeadPosition(); at;) {
            YActor* child = m_children->GetNext(at);
            if (child && child != this && child->IsRelatedTo(other, false, true)) return true;
        }
    }
    return false;
}

void YActor::UpdateViewDistance()
{
    YActor* view = m_world ? m_world->GetViewActor() : nullptr;
    if (view) m_viewDistance = m_position.FastDistance(view->m_position);
}

void YActor::UpdateViewHeading()
{
    YActor* view = m_world ? m_world->GetViewActor() : nullptr;
    if (!view) return;
    YVector toward = view->m_position - m_position;
    m_viewHeading = toward.ToAngles().y;
}

float YActor::GetWorldFloat()
{
    return m_world ? m_world->m_worldFloat : 0.0f;
}

float YActor::GetHeadingTo(YVector& direction, const YVector* angles)
{
    // Turned by the heading's yaw about the vertical: the yaw difference.
    const float heading = angles ? angles->y : m_angles.y;
    const double x = direction.x, y = direction.y, z = direction.z;
    const double toDegrees = 180.0 / 3.14159265358979323846;
    const float pitch = x == 0.0 && z == 0.0 ? (y > 0.0 ? 90.0f : y < 0.0 ? 270.0f : 0.0f)
                                             : WrapAngle360(static_cast<float>(std::atan2(y, std::hypot(x, z)) * toDegrees));
    const float yaw = WrapAngle360(static_cast<float>(std::atan2(x, z) * toDegrees) - heading);
    direction = YVector(pitch, yaw, 0.0f);
    return yaw > 180.0f ? yaw - 360.0f : yaw;
}

bool YActor::CanSeePoint(const YVector& point, int range, DWORD flags)
{
    YVector eye, eyeAngles;
    GetWorldTransform(eye, eyeAngles);
    return CanSeePointFrom(eye, eyeAngles, point, range, flags);
}

bool YActor::CanSeeActor(YActor* actor, int range, DWORD flags)
{
    YVector eye, eyeAngles;
    GetWorldTransform(eye, eyeAngles);
    return CanSeeActorFrom(eye, eyeAngles, actor, range, flags);
}

bool YActor::CanSeePointFrom(const YVector& eye, const YVector& eyeAngles, const YVector& point, int range,
                             DWORD flags)
{
    if (!m_world) return false;
    YVector d = point - eye;
    const float limit = static_cast<float>(static_cast<int64_t>(range) * range);
    if (!(d.LengthSquared() < limit)) return false;
    if (!(std::fabs(GetHeadingTo(d, &eyeAngles)) < kPointSightAngle)) return false;
    YVector from = point;
    from.y += 1.0f;
    return m_world->LineTrace(this, from, eye, 0.0f, 0.0f, flags) != 0;
}

bool YActor::CanSeeActorFrom(const YVector& eye, const YVector& eyeAngles, YActor* actor, int range, DWORD flags)
{
    if (!m_world || !actor) return false;
    YVector d = actor->m_position - eye;
    YVector flat(d.x, 0.0f, d.z);
    const float limit = static_cast<float>(static_cast<int64_t>(range) * range);
    if (!(flat.LengthSquared() < limit)) return false;
    if (!(std::fabs(GetHeadingTo(d, &eyeAngles)) < kActorSightAngle)) return false;
    YVector from = actor->m_position;
    from.y += actor->m_aimHeight;
    return m_world->LineTrace(this, from, eye, 0.0f, 0.0f, flags) != 0;
}

float YActor::GetSlopePitch(float yawOffset)
{
    if (m_parent || !m_world) return 0.0f;
    YVector probe = YVector(0.0f, m_angles.y + yawOffset, 0.0f).FromAngles();
    probe.y = 0.0f;
    probe.SetLength(m_length * 0.5f);
    if (!(probe.LengthSquared() > 0.0f)) return 0.0f;
    YVector front = m_position + probe;
    YVector back = yawOffset != 0.0f ? m_position - probe : m_position;
    auto height = [&](YVector& point) {
        YActorWorld::GroundSample sample;
        m_world->TerrainSample(point.x, point.z, sample);
        double h = sample.ground;
        if ((m_flagsA & FlagClipToWater) && sample.water > h) h = sample.water;
        point.y = static_cast<float>(h);
    };
    height(front);
    height(back);
    YVector rise = front - back;
    float pitch = rise.ToAngles().x;
    return pitch;
}

void YActor::AddPendingAttachment(uint16_t entry)
{
    if (!m_pendingAttachments) m_pendingAttachments = new CWordArray;
    m_pendingAttachments->Add(entry);
}

void YActor::ResolvePendingAttachments()
{
    if (!m_world) return;
    bool changed = false;
    if (m_pendingAttachments) {
        for (int i = static_cast<int>(m_pendingAttachments->GetSize()) - 1; i >= 0; --i) {
            const uint16_t entry = m_pendingAttachments->GetAt(i);
            YActor* actor = m_world->GetActor(entry & PendingSlotMask);
            if (!actor) continue;
            if (entry & PendingDetach) RemoveChild(actor);
            else AddChild(actor);
            m_pendingAttachments->RemoveAt(i);
            changed = true;
        }
        if (m_pendingAttachments->GetSize() == 0) {
            delete m_pendingAttachments;
            m_pendingAttachments = nullptr;
        }
    }
    if (m_targetId >= 0 && m_world->GetActor(m_targetId)) {
        m_target = m_world->GetActor(m_targetId);
        m_targetId = -1;
        changed = true;
    } else if (m_target && m_world->IndexOf(m_target) < 0) {
        m_target = nullptr;
        changed = true;
    }
    if (changed) BuildRenderInstance();
}

void YActor::DrawDecals()
{
    YParser* scene = m_world ? m_world->m_scene : nullptr;
    if (m_decals.IsEmpty() || !scene || !m_model) return;
    for (POSITION at = m_decals.GetHeadPosition(); at;) {
        YActorDecal* decal = m_decals.GetNext(at);
        if (!decal || decal->m_placed) continue;
        YModelDecalArgs args;
        args.record = &m_render;
        args.texture = static_cast<int16_t>(scene->LoadCatalogTextures(decal->m_name, 0, 1));
        ToRender(decal->m_placePosition, YActorWorld::kRenderScale, args.position);
        ToRender(decal->m_placeDirection, YActorWorld::kRenderScale, args.direction);
        args.size = 30.0f;
        args.angle = decal->m_angleByte * 1.4117647f * kDegToRad;
        // The animation playing, or the frame shown, comes back afterwards.
        const int16_t animation = m_model->m_currentAnim;
        const bool looping = animation >= 0 && m_model->IsAnimationLooping(animation);
        const float speed = animation >= 0 ? m_model->GetAnimationSpeed(animation) : 1.0f;
        const int16_t frame = m_model->GetFrame();
        YActor* parent = m_parent;
        if (parent) parent->RemoveChild(this);
        for (int i = 0; i < 3; ++i) {
            m_render.m_position[i] = decal->m_position[i] * YActorWorld::kRenderScale;
            m_render.m_angles[i] = YActorDecal::FromFixed(decal->m_angles[i]) * kDegToRad;
        }
        m_render.m_scale = YActorDecal::FromFixed(decal->m_angles[3]);
        m_model->SetFrame(decal->m_frame);
        scene->AddModelDecal(args.record, args.texture, args.position, args.direction, args.size, args.angle);
        if (parent) parent->AddChild(this);
        if (animation >= 0) {
            m_model->PlayAnimation(animation, speed, looping ? YSMHandle::kPlayLoop : 0, 0, 0, 0);
        } else {
            m_model->SetFrame(frame);
        }
        BuildRenderInstance();
        decal->m_placed = 1;
    }
}
