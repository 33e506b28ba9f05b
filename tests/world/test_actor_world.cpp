// Actors in a world: slots, the finder's walk, removal, view attachment,
// flags by name and parent-child binding.
#include <gtest/gtest.h>

#include <vector>

#include "world/YActor.h"
#include "world/YActorWorld.h"

namespace {
class ActorWorld : public ::testing::Test {
protected:
    YActor* Add(const char* name)
    {
        YActor* actor = new YActor;
        actor->m_name = name;
        m_world.AddActor(actor);
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

    YActorWorld m_world;
};
}  // namespace

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
        {-1, "balloon", {1, 3, 5}},
        {2, "balloon", {3, 5, 1}},
        {5, "balloon", {1, 3, 5}},
        {3, "tree", {4, 0}},
        {2, "camera", {2}},
        {-1, "nobody", {}},
        {-7, "tree", {0, 4}},
        {99, "tree", {0, 4}},
        {0, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " from " + std::to_string(c.start));
        EXPECT_EQ(c.hits, Walk(c.start, c.name));
    }
    EXPECT_EQ(-1, m_world.FindActor(0, nullptr));
    EXPECT_EQ(-1, YActorWorld().FindActor(-1, "tree"));
}

TEST_F(ActorWorld, RemovedActorsAreNotFoundAndGoWithThePurge)
{
    YActor* first = Add("a");
    YActor* view = Add("a");
    YActor* kept = Add("b");
    m_world.m_viewActor = view;
    ASSERT_EQ(1, m_world.AttachView(1, 2, 30));

    EXPECT_EQ(1, m_world.RemoveActor(view, 1));
    EXPECT_TRUE(view->IsMarkedForDestruction());
    EXPECT_EQ(1, m_world.IndexOf(view)) << "still in its slot until the purge";
    EXPECT_EQ(0, m_world.FindActor(-1, "a"));
    EXPECT_EQ(-1, m_world.m_viewAttachment.viewIndex);

    EXPECT_EQ(1, m_world.Purge());
    EXPECT_EQ(nullptr, m_world.m_viewActor);
    EXPECT_EQ(nullptr, m_world.GetActor(1));

    // Without destroy the slot empties and the caller owns the actor again.
    EXPECT_EQ(1, m_world.RemoveActor(first, 0));
    EXPECT_EQ(nullptr, first->m_world);
    EXPECT_EQ(-1, m_world.IndexOf(first));
    EXPECT_EQ(0, m_world.RemoveActor(first, 0));
    EXPECT_EQ(0, m_world.RemoveActor(nullptr, 1));
    // The first free slot is taken again.
    EXPECT_EQ(0, m_world.AddActor(first));
    EXPECT_EQ(&m_world, first->m_world);
    EXPECT_EQ(2, m_world.IndexOf(kept));
}

TEST_F(ActorWorld, ViewAttachesOnlyBetweenActors)
{
    Add("view");
    Add("target");
    struct Case {
        int view;
        int target;
        int result;
    };
    const Case cases[] = {{0, 1, 1}, {0, -1, 0}, {-1, 1, 0}, {0, 2, 0}, {1, 1, 1}};
    for (const Case& c : cases) {
        YActorWorld::ViewAttachment before = m_world.m_viewAttachment;
        EXPECT_EQ(c.result, m_world.AttachView(c.view, c.target, 45)) << c.view << "," << c.target;
        const YActorWorld::ViewAttachment& after = m_world.m_viewAttachment;
        EXPECT_EQ(c.result ? c.view : before.viewIndex, after.viewIndex);
        EXPECT_EQ(c.result ? c.target : before.targetIndex, after.targetIndex);
    }
    EXPECT_EQ(45, m_world.m_viewAttachment.distance);
}

TEST(Actor, FlagsByNameWithoutRegardToCase)
{
    YActor actor;
    struct Case {
        const char* name;
        bool on;
        uint32_t flags;  // word A afterwards
        int read;        // the flag read back by the same name
    };
    const Case cases[] = {
        {"Visible", true, 0x1, 1},  {"DESTROYME", true, 0x9, 1}, {"visible", false, 0x8, 0},
        {"Unknown", true, 0x8, 0},  {"destroyMe", false, 0x0, 0}, {"", true, 0x0, 0},
    };
    for (const Case& c : cases) {
        actor.SetFlag(c.name, c.on);
        EXPECT_EQ(c.flags, actor.m_flags) << c.name;
        EXPECT_EQ(c.read, actor.GetFlag(c.name)) << c.name;
    }
    actor.m_flags = YActor::FlagVisible | 0x4;
    EXPECT_EQ(1, actor.GetFlag("VISIBLE"));
    EXPECT_EQ(0, actor.GetFlag("DestroyMe"));
    EXPECT_EQ(0, actor.GetFlag(nullptr));
}

TEST(Actor, ChildrenCannotCloseALoop)
{
    YActor a, b, c;
    EXPECT_EQ(0, a.AddChild(nullptr));
    EXPECT_EQ(0, a.AddChild(&a));
    EXPECT_EQ(1, a.AddChild(&b));
    EXPECT_EQ(0, a.AddChild(&b)) << "held already";
    EXPECT_EQ(1, b.AddChild(&c));
    EXPECT_EQ(0, c.AddChild(&a)) << "a is above c";
    EXPECT_EQ(0, b.AddChild(&a));
    // A child bound elsewhere leaves its old parent.
    EXPECT_EQ(1, a.AddChild(&c));
    EXPECT_EQ(&a, c.GetParent());
    EXPECT_EQ(std::vector<YActor*>{}, b.GetChildren());
    EXPECT_EQ((std::vector<YActor*>{&b, &c}), a.GetChildren());
}

TEST(Actor, DeletingAnActorUnbindsItBothWays)
{
    YActor parent, child;
    YActor* middle = new YActor;
    parent.AddChild(middle);
    middle->AddChild(&child);
    delete middle;
    EXPECT_TRUE(parent.GetChildren().empty());
    EXPECT_EQ(nullptr, child.GetParent());
}
