// An actor world's slots, removal and the keep byte, the finders, model
// loading and its cache, the view actor, the tether, and the rule that no
// reference outlives its actor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LoadLog.h"
#include "engine/YGameObjects.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "assets3d/YTexLock.h"
#include "assets3d/YTexture2.h"
#include "renderer/YD3D6Parser.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"
#include "world/YGameRules.h"
#include "world/YGameServer.h"

namespace {
// Counts its deletions.
class CountedActor : public YActor {
public:
    explicit CountedActor(int* deleted = nullptr) : m_deleted(deleted) {}
    ~CountedActor() override
    {
        if (m_deleted) ++*m_deleted;
    }
    int* m_deleted;
};

class ActorWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_engine = YGameObjects::Instance();
        m_saved[0] = m_engine->m_world;
        m_saved[1] = m_engine->m_world2;
        m_engine->m_world = &m_world;
        m_engine->m_world2 = &m_world2;
    }
    void TearDown() override
    {
        m_world.Clear();
        m_world2.Clear();
        m_engine->m_world = m_saved[0];
        m_engine->m_world2 = m_saved[1];
    }
    CountedActor* Add(const char* name, YActorWorld* world = nullptr)
    {
        CountedActor* actor = new CountedActor(&m_deleted);
        actor->m_name = name;
        (world ? world : &m_world)->AddActor(actor);
        return actor;
    }
    // Every index FindActor yields from the start, following its own hits.
    std::vector<int> Walk(int start, const char* name, int limit = 10) const
    {
        std::vector<int> hits;
        int at = start;
        while (static_cast<int>(hits.size()) < limit) {
            at = m_world.FindActor(at, name);
            if (at < 0 || (!hits.empty() && at == hits.front())) break;
            hits.push_back(at);
        }
        return hits;
    }

    YGameObjects* m_engine = nullptr;
    YActorWorld* m_saved[2] = {};
    YActorWorld m_world, m_world2;
    int m_deleted = 0;
};
}  // namespace

TEST_F(ActorWorld, SlotsAreReusedAndTheTopIndexFollows)
{
    Add("a");
    YActor* middle = Add("b");
    Add("c");
    EXPECT_EQ(nullptr, m_world.RemoveActor(middle, 0));
    EXPECT_EQ(1, m_deleted);
    EXPECT_EQ(2, m_world.GetHighestIndex());
    EXPECT_EQ(2, m_world.GetCount());
    YActor* again = Add("d");
    EXPECT_EQ(1, m_world.IndexOf(again));
    EXPECT_EQ(2, m_world.GetHighestIndex());

    // The last slot going lowers the top to the next occupied one.
    m_world.RemoveActorAt(1, 0);
    m_world.RemoveActorAt(2, 0);
    EXPECT_EQ(0, m_world.GetHighestIndex());
    EXPECT_EQ(nullptr, m_world.GetActor(1));
    EXPECT_EQ(nullptr, m_world.RemoveActorAt(7, 0));

    // A given slot: an occupied one deletes its actor first, a far one grows the array.
    YActor* first = m_world.GetActor(0);
    CountedActor* replacing = new CountedActor(&m_deleted);
    EXPECT_EQ(0, m_world.AddActor(replacing, 0, 0));
    EXPECT_EQ(4, m_deleted);
    EXPECT_NE(first, m_world.GetActor(0));
    CountedActor* far = new CountedActor(&m_deleted);
    EXPECT_EQ(300, m_world.AddActor(far, 0, 300));
    EXPECT_EQ(300, m_world.GetHighestIndex());
    EXPECT_EQ(2, m_world.GetCount());
    EXPECT_EQ(&m_world, far->m_world);
    EXPECT_EQ(300, m_world.AddActor(far)) << "an actor held already keeps its slot";
    EXPECT_EQ(-1, m_world.AddActor(nullptr));

    m_world.Clear();
    EXPECT_EQ(6, m_deleted);
    EXPECT_EQ(-1, m_world.GetHighestIndex());
    EXPECT_EQ(0, m_world.GetCount());
}

TEST_F(ActorWorld, TheKeepByteSavesAnActorFromRemovalAndClear)
{
    CountedActor* kept = Add("kept");
    kept->m_keep = 1;
    EXPECT_EQ(kept, m_world.RemoveActor(kept, 0));
    EXPECT_EQ(0, m_deleted);
    EXPECT_EQ(-1, m_world.IndexOf(kept));
    m_world.AddActor(kept);
    Add("other");
    m_world.Clear();
    EXPECT_EQ(1, m_deleted);
    EXPECT_EQ(-1, m_world.IndexOf(kept));
    delete kept;
}

TEST_F(ActorWorld, FinderWalksMatchesFromAfterTheStartAndRoundTheEnd)
{
    const char* names[] = {"tree", "balloon", "camera", "Balloon", "tree", "BALLOON"};
    for (const char* name : names) Add(name);
    struct Case {
        int start;
        const char* name;
        std::vector<int> hits;
    };
    const Case cases[] = {
        {-1, "balloon", {1, 3, 5}}, {2, "balloon", {3, 5, 1}}, {5, "balloon", {1, 3, 5}},
        {3, "tree", {4, 0}},        {2, "camera", {2}},       {-1, "nobody", {}},
        {-7, "tree", {0, 4}},       {99, "tree", {0, 4}},     {0, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " from " + std::to_string(c.start));
        EXPECT_EQ(c.hits, Walk(c.start, c.name));
    }
    EXPECT_EQ(-1, m_world.FindActor(0, nullptr));
    m_world.GetActor(3)->MarkForDestruction();
    EXPECT_EQ((std::vector<int>{5, 1}), Walk(3, "balloon")) << "flagged actors are not found";
}

TEST_F(ActorWorld, NamesHeldWithoutRegardToCase)
{
    const char* names[] = {"Balloon01", "tree", "balloon02", "Arrow", "BALLOON03"};
    for (const char* name : names) Add(name);
    m_world.GetActor(0)->m_position = YVector(100, 0, 0);
    m_world.GetActor(2)->m_position = YVector(10, 0, 0);
    m_world.GetActor(4)->m_position = YVector(0, 0, -20);
    struct Case {
        int after;
        const char* text;
        int next;
    };
    const Case cases[] = {{-1, "balloon", 0}, {0, "balloon", 2}, {2, "LOON", 4}, {4, "balloon", -1},
                          {2, "tree", -1},    {-1, "row", 3},    {1, "", 2}};
    for (const Case& c : cases) EXPECT_EQ(c.next, m_world.FindNextByName(c.after, c.text)) << c.after << c.text;
    EXPECT_EQ(3, m_world.CountByName("balloon"));
    EXPECT_EQ(0, m_world.CountByName("plane"));
    // Nearest to the tree at the origin, then to the far balloon itself.
    EXPECT_EQ(2, m_world.FindNearestByName(1, "balloon"));
    EXPECT_EQ(0, m_world.FindNearestByName(0, "balloon"));
    EXPECT_EQ(-1, m_world.FindNearestByName(1, ""));
    EXPECT_EQ(m_world.GetActor(2), m_world.FindNearestActor(m_world.GetActor(1), 50, false, "BALLOON"));
    EXPECT_EQ(m_world.GetActor(1), m_world.FindNearestActor(m_world.GetActor(2), 50, false, nullptr))
        << "of two as near, the first";
    EXPECT_EQ(nullptr, m_world.FindNearestActor(m_world.GetActor(2), 50, false, "plane"));
    m_world.RemoveByName("LOON0");
    EXPECT_EQ(2, m_world.GetCount());
    // The power-up kind goes with RemoveMarked.
    m_world.GetActor(1)->m_flagsB = YActor::FlagPowerUpKind;
    m_world.RemoveMarked();
    EXPECT_EQ(1, m_world.GetCount());
    EXPECT_EQ(nullptr, m_world.GetActor(1));
}

TEST_F(ActorWorld, ModelNamesTakeTheirLoadingRoad)
{
    LoadLog scene;
    m_world.m_name = "maps\\meadow";
    m_world.GetScene() = &scene;
    struct Case {
        const char* name;
        const char* call;
    };
    const Case cases[] = {
        {"id;Scenery-Hangar--19-0", "file Scenery-Hangar--19-0"},
        {"Models:Scenery:hangar", "catalog Models/Scenery/hangar"},
        {"Dynamic:Planes:YSM:biplane", "catalog Dynamic/Planes/YSM:biplane"},
        {"Models:Scenery", "named Models/Scenery"},
        {"C:\\models\\plane.ysm", "file C:\\models\\plane.ysm"},
        {"\\\\server\\plane.ysm", "file \\\\server\\plane.ysm"},
        {"//server/plane.ysm", "file //server/plane.ysm"},
        {"models\\plane.ysm", "file maps\\meadow\\models\\plane.ysm"},
        {"\\models\\plane.ysm", "file maps\\meadow\\models\\plane.ysm"},
        {"plane.ysm", "file maps\\meadow\\plane.ysm"},
    };
    for (const Case& c : cases) {
        scene.m_calls.clear();
        EXPECT_EQ(nullptr, m_world.LoadModel(c.name));
        EXPECT_EQ(std::vector<std::string>{c.call}, scene.m_calls) << c.name;
    }
    scene.m_calls.clear();
    EXPECT_EQ(nullptr, m_world.LoadModel(""));
    EXPECT_TRUE(scene.m_calls.empty());

    // Indexes through the cache: one load per name, case counts.
    const int16_t tree = m_world.GetModelIndex("Tree");
    EXPECT_EQ(tree, m_world.GetModelIndex("Tree"));
    EXPECT_NE(tree, m_world.GetModelIndex("tree"));
    EXPECT_EQ((std::vector<std::string>{"index Tree", "index tree"}), scene.m_calls);

    // An actor's model names: a path tries loading, then an index; a plain
    // name is an index only; nothing is nothing.
    YActor* actor = Add("actor");
    struct Named {
        const char* name;
        std::vector<std::string> calls;
        bool indexed;
    };
    const Named named[] = {
        {"Models:Scenery:hangar", {"catalog Models/Scenery/hangar", "index Models:Scenery:hangar"}, true},
        {"Tree", {}, true},
        {"Rock", {"index Rock"}, true},
        {"", {}, false},
    };
    for (const Named& n : named) {
        scene.m_calls.clear();
        actor->SetModel(n.name);
        EXPECT_EQ(n.calls, scene.m_calls) << n.name;
        EXPECT_EQ(n.indexed, actor->m_modelIndex >= 0) << n.name;
        EXPECT_STREQ(n.name, actor->m_modelName);
        EXPECT_EQ(nullptr, actor->GetModelInstance());
    }
    actor->SetModel("Rock");
    YRenderInstance* record = actor->BuildRenderInstance();
    EXPECT_EQ(1, record->m_elementCount) << "drawn by index";
    EXPECT_EQ(scene.GetWorldModelRecord(), record->m_worldModel);
    EXPECT_NEAR(1.5707964f, record->m_angles[0], 1e-6f) << "PitchToSlope stands it up";
    // The cache empties with the world's reset, which Clear ends with.
    m_world.Clear();
    scene.m_calls.clear();
    m_world.GetModelIndex("Tree");
    EXPECT_EQ(std::vector<std::string>{"index Tree"}, scene.m_calls);
    m_world.Clear();
    m_world.GetScene() = nullptr;
}

TEST_F(ActorWorld, TheViewActorIsMarkedAndLetGoWithItsActor)
{
    YActor* view = Add("view");
    YActor* other = Add("other");
    EXPECT_EQ(nullptr, m_world.SetViewActor(view));
    EXPECT_EQ(YActor::RenderViewActor, view->m_render.m_flags & YActor::RenderViewActor);
    EXPECT_EQ(view, m_world.SetViewActor(other));
    EXPECT_EQ(0u, view->m_render.m_flags & YActor::RenderViewActor);
    YVector position, angles;
    other->m_position = YVector(1, 2, 3);
    ++other->m_transformStamp;  // a new frame: the cached transform is stale
    ASSERT_TRUE(m_world.GetCameraTransform(position, angles));
    EXPECT_EQ(YVector(1, 2.1f, 3), position) << "the aim height is added";
    m_world.RemoveActor(other, 0);
    EXPECT_EQ(nullptr, m_world.GetViewActor());
    EXPECT_FALSE(m_world.GetCameraTransform(position, angles));
}

TEST_F(ActorWorld, TheTetherHoldsTheFollowerBehindTheLeader)
{
    YActor* follower = Add("camera");
    YActor* leader = Add("plane");
    leader->m_position = YVector(100, 20, 100);
    follower->m_angles = YVector(0, 90, 0);  // looking along +x
    m_world.SetTether(0, 1, 30);
    m_world.Refresh();
    EXPECT_NEAR(70.0f, follower->m_position.x, 1e-2f);
    EXPECT_NEAR(20.0f, follower->m_position.y, 1e-2f);
    EXPECT_NEAR(100.0f, follower->m_position.z, 1e-2f);

    // The leader goes: the tether is let go, and a new actor in its slot is no leader.
    m_world.RemoveActor(leader, 0);
    EXPECT_EQ(-1, m_world.m_tetherLeader);
    YActor* newcomer = Add("newcomer");
    ASSERT_EQ(1, m_world.IndexOf(newcomer));
    newcomer->m_position = YVector(500, 0, 500);
    m_world.Refresh();
    EXPECT_NEAR(70.0f, follower->m_position.x, 1e-2f);

    // An empty slot found by ApplyTether lets it go as well.
    m_world.SetTether(0, 5, 10);
    m_world.ApplyTether();
    EXPECT_EQ(-1, m_world.m_tetherFollower);
}

TEST_F(ActorWorld, NoReferenceOutlivesItsActor)
{
    YGameServer server;
    YGameServer* savedServer = m_engine->m_gameServer;
    m_engine->m_gameServer = &server;
    YActor* hunter = Add("hunter");
    YActor* parent = Add("parent");
    YActor* other = Add("other", &m_world2);
    YActor* prey = Add("prey");
    parent->AddChild(prey);
    hunter->m_target = prey;
    other->m_target = prey;
    m_engine->m_gameServer->m_watchedActor = prey;
    YGameRules rules;
    YGameRules* savedRules = m_engine->m_rules;
    m_engine->m_rules = &rules;
    rules.m_celebration = prey;
    m_engine->m_directionArrow = prey;
    m_world.SetViewActor(prey);
    const int preySlot = m_world.IndexOf(prey);

    prey->MarkForDestruction();
    m_world.Refresh();
    EXPECT_EQ(1, m_deleted);
    EXPECT_EQ(nullptr, hunter->m_target);
    EXPECT_EQ(nullptr, other->m_target) << "actors of the second world forget it too";
    EXPECT_EQ(0, parent->GetChildCount());
    EXPECT_EQ(nullptr, parent->m_render.m_children);
    EXPECT_EQ(nullptr, m_engine->m_gameServer->m_watchedActor);
    EXPECT_EQ(nullptr, rules.m_celebration);
    EXPECT_EQ(nullptr, m_engine->m_directionArrow);
    EXPECT_EQ(nullptr, m_world.GetViewActor());

    // A new actor in the old slot, perhaps at the old address, is not the prey.
    YActor* newcomer = Add("newcomer");
    EXPECT_EQ(preySlot, m_world.IndexOf(newcomer));
    hunter->ResolvePendingAttachments();
    parent->BuildRenderInstance();
    EXPECT_EQ(nullptr, hunter->m_target);
    EXPECT_EQ(0, parent->GetChildCount());
    // A target kept by slot resolves to whoever holds the slot now.
    hunter->m_targetId = preySlot;
    hunter->ResolvePendingAttachments();
    EXPECT_EQ(newcomer, hunter->m_target);
    EXPECT_EQ(-1, hunter->m_targetId);
    m_engine->m_rules = savedRules;
    m_engine->m_gameServer = savedServer;
}

TEST_F(ActorWorld, PendingAttachmentsBindAndLetGoBySlot)
{
    YActor* parent = Add("parent");
    YActor* child = Add("child");
    parent->AddPendingAttachment(1);
    parent->AddPendingAttachment(7);  // nobody there yet: kept
    parent->ResolvePendingAttachments();
    EXPECT_EQ(parent, child->GetParent());
    ASSERT_NE(nullptr, parent->m_pendingAttachments);
    EXPECT_EQ(1, parent->m_pendingAttachments->GetSize());
    parent->m_pendingAttachments->RemoveAll();
    parent->AddPendingAttachment(1 | YActor::PendingDetach);
    parent->ResolvePendingAttachments();
    EXPECT_EQ(nullptr, child->GetParent());
    EXPECT_EQ(nullptr, parent->m_pendingAttachments);
}

TEST_F(ActorWorld, ClearLetsChildrenAndParentsGoInAnyOrder)
{
    YActor* child = Add("child");
    YActor* parent = Add("parent");
    YActor* grandchild = Add("grandchild");
    parent->AddChild(child);
    child->AddChild(grandchild);
    m_world.Clear();
    EXPECT_EQ(3, m_deleted);
}

TEST_F(ActorWorld, AChildStandsWhereItsParentsModelPutsIt)
{
    LoadLog scene;
    YSMObject shape;
    shape.m_frames.emplace_back(new YSMFrame);
    YActor* parent = Add("parent");
    YActor* child = Add("child");
    parent->SetModelObject(shape.CreateHandle());
    parent->m_position = YVector(10, 0, 20);
    parent->AddChild(child);
    child->m_position = YVector(3, 3, 3);
    YVector position, angles;
    // Without a renderer the child's own position stands.
    child->GetWorldTransform(position, angles);
    EXPECT_EQ(YVector(3, 3.1f, 3), position);
    m_world.GetScene() = &scene;
    ++child->m_transformStamp;
    child->GetWorldTransform(position, angles);
    EXPECT_NEAR(10.0f, position.x, 1e-4f);
    EXPECT_NEAR(0.0f, position.y, 1e-4f);
    EXPECT_NEAR(20.0f, position.z, 1e-4f);
    // Cached for the frame: the parent moving shows with the next stamp.
    parent->m_position = YVector(50, 0, 50);
    child->GetWorldTransform(position, angles);
    EXPECT_NEAR(10.0f, position.x, 1e-4f);
    ++child->m_transformStamp;
    child->GetWorldTransform(position, angles);
    EXPECT_NEAR(50.0f, position.x, 1e-4f);
    delete parent->GetModelInstance();
    parent->GetModelInstance() = nullptr;
    m_world.Clear();
    m_world.GetScene() = nullptr;
}

TEST_F(ActorWorld, TheNearestSeenActorIsAheadWithinReach)
{
    YActor* eye = Add("eye");
    YActor* behind = Add("behind");
    YActor* ahead = Add("ahead");
    YActor* far = Add("far ahead");
    behind->m_position = YVector(0, 0, -5);
    ahead->m_position = YVector(1, 0, 12);
    far->m_position = YVector(0, 0, 40);
    EXPECT_EQ(behind, m_world.FindNearestActor(eye, 30, false, nullptr));
    EXPECT_EQ(ahead, m_world.FindNearestActor(eye, 30, true, nullptr));
    EXPECT_EQ(nullptr, m_world.FindNearestActor(eye, 10, true, nullptr));
    EXPECT_EQ(far, m_world.FindNearestActor(eye, 50, true, "FAR"));

    // The view actor's distance and heading from each actor.
    m_world.SetViewActor(ahead);
    behind->UpdateViewDistance();
    behind->UpdateViewHeading();
    EXPECT_NEAR(17.03f, behind->m_viewDistance, 0.05f);
    EXPECT_NEAR(3.37f, behind->m_viewHeading, 0.05f);
}

TEST_F(ActorWorld, DescribeListsTheActorsState)
{
    YActor* actor = Add("Balloon07");
    actor->m_flagsB = YActor::FlagOnGround;
    actor->m_speedPercent = 0.5f;
    CStringList lines;
    actor->Describe(lines);
    ASSERT_EQ(12, lines.GetCount());
    EXPECT_STREQ("Actor: Balloon07", lines.GetHead());
    EXPECT_STREQ("Speed %: 0.500000 (Energy 100.000000)", lines.GetAt(lines.FindIndex(9)));
    EXPECT_STREQ("Grounded: Yes", lines.GetAt(lines.FindIndex(10)));
    EXPECT_STREQ("", lines.GetTail());
    EXPECT_STREQ("Position [M]:\t[   0.00000,    0.00000,    0.00000]", lines.GetAt(lines.FindIndex(1)));
}

namespace {
// A renderer with one texture of two tagged regions: the left half of the
// unit square says "Surface" = "Grass", the right half "Water".
class RegionTexture : public YD3D6Parser {
public:
    RegionTexture()
    {
        const char* values[2] = {"Grass", "Water"};
        for (int half = 0; half < 2; ++half) {
            YTexRegion* region = new YTexRegion;
            const float x0 = half * 0.5f, x1 = x0 + 0.5f;
            region->AddPoint(x0, 0), region->AddPoint(x1, 0), region->AddPoint(x1, 1), region->AddPoint(x0, 1);
            region->SetTag("Surface", values[half]);
            m_texture.AddRegion(region);
        }
    }
    YTexLock* GetTexture(int16_t texture) override { return texture == 3 ? &m_texture : nullptr; }
    struct RegionLock : YTexLock {
        int Upload(YTexture2*) override { return 0; }
        void ReleaseSurface() override {}
    } m_texture;
};
}  // namespace

TEST_F(ActorWorld, TextureRegionsAnswerTheirAttributes)
{
    RegionTexture scene;
    m_world.GetScene() = &scene;
    struct Case {
        int16_t texture;
        float u, v;
        const char* name;
        int size;
        int length;
        const char* text;
    };
    const Case cases[] = {
        {3, 0.25f, 0.5f, "Surface", 16, 5, "Grass"}, {3, 0.75f, 0.5f, "surface", 16, 5, "Water"},
        {3, 0.75f, 0.5f, "Surface", 3, 5, "Wa"},      {3, 1.5f, 0.5f, "Surface", 16, 0, "untouched"},
        {3, 0.25f, 0.5f, "Colour", 16, 0, "untouched"}, {4, 0.25f, 0.5f, "Surface", 16, 0, "untouched"},
        {-1, 0.25f, 0.5f, "Surface", 16, 0, "untouched"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.texture << " at " << c.u << " " << c.name);
        char buffer[16] = "untouched";
        EXPECT_EQ(c.length, m_world.TextureAttributeAt(c.texture, c.u, c.v, c.name, buffer, c.size));
        EXPECT_STREQ(c.text, buffer);
    }
    // Without a hit test the first region with the attribute answers.
    char buffer[16] = "";
    EXPECT_EQ(5, m_world.TextureAttribute(3, "Surface", buffer, sizeof buffer));
    EXPECT_STREQ("Grass", buffer);
    m_world.GetScene() = nullptr;
}

namespace {
// Writes down the decals asked of it.
class DecalLog : public LoadLog {
public:
    int AddModelDecal(YRenderInstance* instance, int16_t texture, const float* hit, const float* origin, float size,
                      float roll) override
    {
        m_handles.push_back(instance ? instance->m_model : nullptr);
        YModelDecalArgs args = {instance, texture, {hit[0], hit[1], hit[2]}, {origin[0], origin[1], origin[2]}, size, roll};
        m_decals.push_back(args);
        return 1;
    }
    std::vector<YSMHandle*> m_handles;
    std::vector<YModelDecalArgs> m_decals;
};
}  // namespace

TEST_F(ActorWorld, DecalsAreStampedOnceAtTheirPose)
{
    DecalLog scene;
    m_world.GetScene() = &scene;
    YSMObject shape;
    shape.m_frames.emplace_back(new YSMFrame);
    shape.m_frames.emplace_back(new YSMFrame);
    YActor* parent = Add("parent");
    YActor* actor = Add("painted");
    actor->SetModelObject(shape.CreateHandle());
    parent->AddChild(actor);
    actor->m_position = YVector(5, 6, 7);
    YActorDecal* decal = new YActorDecal;
    decal->m_name = "Splat";
    decal->m_position[0] = 1;
    decal->m_angles[0] = 90 * 128;
    decal->m_angles[3] = 2 * 128 + 64;  // scale 2.5
    decal->m_frame = 1;
    decal->m_placePosition = YVector(1, 2, 3);
    decal->m_placeDirection = YVector(0, 0, 1);
    decal->m_angleByte = 255;
    actor->m_decals.AddTail(decal);

    actor->DrawDecals();
    ASSERT_EQ(1u, scene.m_decals.size());
    const YModelDecalArgs& args = scene.m_decals[0];
    EXPECT_EQ(actor->GetModelInstance(), scene.m_handles[0]);
    EXPECT_EQ(&actor->m_render, args.record);
    EXPECT_EQ(std::vector<std::string>{"index Splat"}, std::vector<std::string>(scene.m_calls.end() - 1, scene.m_calls.end()));
    EXPECT_EQ(static_cast<int16_t>(scene.m_calls.size() + 40), args.texture);
    EXPECT_EQ(16.0f, args.position[0]);
    EXPECT_EQ(48.0f, args.position[2]);
    EXPECT_EQ(16.0f, args.direction[2]);
    EXPECT_EQ(30.0f, args.size);
    EXPECT_NEAR(2 * 3.14159265f, args.angle, 1e-3f) << "255 is a whole turn";
    EXPECT_EQ(1, decal->m_placed);
    // Back on its parent, at its own pose, showing its own frame.
    EXPECT_EQ(parent, actor->GetParent());
    EXPECT_EQ(80.0f, actor->m_render.m_position[0]);
    EXPECT_EQ(0, actor->GetModelInstance()->GetFrame());
    actor->DrawDecals();
    EXPECT_EQ(1u, scene.m_decals.size()) << "placed once";
    m_world.Clear();
    m_world.GetScene() = nullptr;
}
