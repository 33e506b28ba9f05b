// ACTOR against a small world: the camera, three balloons around it, a plane
// with a model and a box.
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "engine/EngineCommandsFixture.h"

namespace {
class ActingActor : public YActor {
public:
    int PerformAction(const char* action) override
    {
        m_actions.push_back(action);
        return 1;
    }
    std::vector<std::string> m_actions;
};

class ActorCommand : public EngineCommandsTest {
protected:
    void SetUp() override
    {
        EngineCommandsTest::SetUp();
        m_balloons[0] = AddActor("balloon");
        m_camera = AddActor("camera");
        m_balloons[1] = AddActor("Balloon");
        m_plane = AddActor("plane");
        m_box = AddActor<ActingActor>("box");
        m_balloons[2] = AddActor("BALLOON");
        m_world.m_viewActor = m_camera;
        // A model of one frame with two one-key animations and two groups.
        m_shape.m_frames.emplace_back(new YSMFrame);
        for (const char* name : {"loop", "roll"}) {
            YSMAnim* anim = new YSMAnim;
            anim->name = name;
            anim->keyCount = 1;
            anim->keyFrames = {0};
            anim->keyDurations = {0.5f};
            anim->total = 0.5f;
            m_shape.m_anims.emplace_back(anim);
        }
        for (const char* name : {"wing", "tail"}) {
            m_shape.m_groups.emplace_back(new YSMGroup);
            m_shape.m_groups.back()->name = name;
        }
        m_model = m_shape.CreateHandle();
        m_model->SetAnimated(true);
        m_plane->GetModelInstance() = m_model;
    }

    void TearDown() override
    {
        // The handle goes before the model it shows.
        delete m_plane->GetModelInstance();
        m_plane->GetModelInstance() = nullptr;
        EngineCommandsTest::TearDown();
    }

    YActor* m_camera = nullptr;
    YActor* m_balloons[3] = {};
    YActor* m_plane = nullptr;
    ActingActor* m_box = nullptr;
    YSMObject m_shape;
    YSMHandle* m_model = nullptr;
};

void ExpectVector(const YVector& v, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(x, v.x);
    EXPECT_FLOAT_EQ(y, v.y);
    EXPECT_FLOAT_EQ(z, v.z);
}
}  // namespace

TEST_F(ActorCommand, VectorSubcommandsSetTheirField)
{
    struct Case {
        const char* subcommand;
        YVector YActor::*field;
    };
    const Case cases[] = {
        {"POSITION", &YActor::m_position},
        {"orientation", &YActor::m_angles},
        {"Velocity", &YActor::m_velocity},
        {"SPIN", &YActor::m_vectorB},
        {"WOBBLEEXTENTS", &YActor::m_wobbleExtents},
        {"wobblevelocity", &YActor::m_wobbleVelocity},
        {"BOBBLEEXTENTS", &YActor::m_bobbleExtents},
        {"BOBBLEVELOCITY", &YActor::m_bobbleVelocity},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.subcommand);
        EXPECT_EQ("", Run(std::string("actor ") + c.subcommand + " box 1.5,-2 3e1"));
        ExpectVector(m_box->*c.field, 1.5f, -2.0f, 30.0f);
        // Missing parameters read as 0.
        Run(std::string("actor ") + c.subcommand + " box 4");
        ExpectVector(m_box->*c.field, 4.0f, 0.0f, 0.0f);
        // The camera stands for the view actor; nobody is silently ignored.
        Run(std::string("actor ") + c.subcommand + " [camera] 7 8 9");
        ExpectVector(m_camera->*c.field, 7.0f, 8.0f, 9.0f);
        EXPECT_EQ("", Run(std::string("actor ") + c.subcommand + " nobody 5 5 5"));
    }
    ExpectVector(m_plane->m_position, 0.0f, 0.0f, 0.0f);
}

TEST_F(ActorCommand, ScalesAndActions)
{
    Run("actor scale box 0.25");
    Run("actor velocityscale box 0.75");
    Run("actor action box wave");
    Run("actor action plane wave");
    EXPECT_FLOAT_EQ(0.25f, m_box->m_scale);
    EXPECT_FLOAT_EQ(0.75f, m_box->m_auxFloatC);
    EXPECT_EQ(std::vector<std::string>{"wave"}, m_box->m_actions);
}

TEST_F(ActorCommand, KillRemovesEveryMatchOnBothSidesOfTheCamera)
{
    EXPECT_EQ("", Run("actor kill balloon"));
    EXPECT_EQ(-1, m_world.FindActor(-1, "balloon"));
    for (YActor* balloon : m_balloons) EXPECT_EQ(-1, m_world.IndexOf(balloon));
    EXPECT_EQ(3, m_world.GetCount());
    for (YActor* kept : {m_camera, m_plane, static_cast<YActor*>(m_box)}) EXPECT_GE(m_world.IndexOf(kept), 0);
    EXPECT_EQ(m_box, m_world.GetActor(m_world.FindActor(-1, "box")));
}

TEST_F(ActorCommand, KillForgetsTheWatchedActor)
{
    Run("actor watch box");
    EXPECT_EQ(m_box, m_engine->m_gameServer->m_watchedActor);
    Run("actor kill box");
    EXPECT_EQ(nullptr, m_engine->m_gameServer->m_watchedActor);
    Run("actor watch plane");
    Run("actor watch nobody");
    EXPECT_EQ(nullptr, m_engine->m_gameServer->m_watchedActor);
}

TEST_F(ActorCommand, FlagsShowAndSet)
{
    struct Case {
        const char* line;
        const char* output;
    };
    const Case cases[] = {
        {"actor flag box Visible", "box : Visible = 1"},
        {"actor flag box visible 0", ""},
        {"actor flag box Visible", "box : Visible = 0"},
        {"actor flag box Visible", "box : Visible = 0"},
        {"actor flag [camera] VISIBLE", "camera : VISIBLE = 1"},
        {"actor flag box FLYING 1", ""},
        {"actor flag box flying", "box : flying = 1"},
        {"actor flag box Sparkly 1", ""},
        {"actor flag box Sparkly", "box : Sparkly = 0"},
        {"actor flag nobody Visible", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.output, Run(c.line)) << c.line;
    EXPECT_EQ(YActor::FlagsAReset & ~YActor::FlagVisible, m_box->m_flagsA);
    EXPECT_EQ(YActor::FlagFlying, m_box->m_flagsB);
}

TEST_F(ActorCommand, AnimPlaysFoundAnimationsLooping)
{
    EXPECT_EQ("", Run("actor anim plane ROLL"));
    EXPECT_EQ(1, m_model->m_currentAnim);
    EXPECT_TRUE(m_model->IsPlaying());
    EXPECT_FLOAT_EQ(1.0f, m_model->GetAnimationSpeed(1));
    EXPECT_TRUE(m_model->IsAnimationLooping(1));
    EXPECT_EQ(0, m_model->GetAnimationKey(1));
    EXPECT_EQ("Animation dive not found in the model.", Run("actor anim plane dive"));
    EXPECT_EQ(1, m_model->m_currentAnim);
    EXPECT_EQ("", Run("actor anim box roll"));
}

TEST_F(ActorCommand, AttachFollowsTheTargetOrRefuses)
{
    int camera = m_world.IndexOf(m_camera);
    int plane = m_world.IndexOf(m_plane);
    struct Case {
        const char* line;
        const char* output;
        int target;
        int distance;
    };
    const Case cases[] = {
        {"actor attach box plane 50", "", plane, 50},
        {"actor attach box plane", "", plane, 30},
        {"actor attach box nobody 40", "Actor 'nobody' not found.", plane, 30},
        {"actor attach nobody plane 40", "", plane, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.output, Run(c.line));
        EXPECT_EQ(camera, m_world.m_tetherFollower);
        EXPECT_EQ(c.target, m_world.m_tetherLeader);
        EXPECT_EQ(c.distance, m_world.m_tetherDistance);
    }
    m_world.m_viewActor = nullptr;
    EXPECT_EQ("There is no view to attach.", Run("actor attach box plane 10"));
    EXPECT_EQ(30, m_world.m_tetherDistance);
}

TEST_F(ActorCommand, BindMakesAChildOfAModelledActor)
{
    m_box->m_position = YVector(1, 2, 3);
    m_box->m_angles = YVector(4, 5, 6);
    m_box->m_velocity = YVector(7, 8, 9);
    m_box->m_vectorB = YVector(1, 1, 1);
    EXPECT_EQ("", Run("actor bind box plane tail"));
    EXPECT_EQ(m_plane, m_box->GetParent());
    EXPECT_EQ(1, m_box->m_attachGroup);
    ExpectVector(m_box->m_position, 0, 0, 0);
    ExpectVector(m_box->m_angles, 0, 0, 0);
    ExpectVector(m_box->m_velocity, 0, 0, 0);
    ExpectVector(m_box->m_vectorB, 1, 1, 1);

    // A parent without a model takes no child; nothing changes.
    m_camera->m_position = YVector(1, 1, 1);
    EXPECT_EQ("", Run("actor bind camera balloon wing"));
    EXPECT_EQ(nullptr, m_camera->GetParent());
    ExpectVector(m_camera->m_position, 1, 1, 1);
}

TEST_F(ActorCommand, BindRefusesLoops)
{
    m_plane->m_position = YVector(1, 1, 1);
    EXPECT_EQ("Cannot make plane a child of plane.", Run("actor bind plane plane wing"));
    EXPECT_EQ(nullptr, m_plane->GetParent());
    EXPECT_EQ(-1, m_plane->m_attachGroup);
    ExpectVector(m_plane->m_position, 1, 1, 1);

    YSMHandle boxModel;
    m_box->GetModelInstance() = &boxModel;
    Run("actor bind box plane wing");
    EXPECT_EQ("Cannot make plane a child of box.", Run("actor bind plane box wing"));
    EXPECT_EQ(nullptr, m_plane->GetParent());
    EXPECT_EQ(m_plane, m_box->GetParent());
    m_box->GetModelInstance() = nullptr;
}

TEST_F(ActorCommand, NothingWithoutAGameServer)
{
    YGameServer* server = m_engine->m_gameServer;
    m_engine->m_gameServer = nullptr;
    Run("actor position box 1 2 3");
    Run("actor kill balloon");
    m_engine->m_gameServer = server;
    ExpectVector(m_box->m_position, 0, 0, 0);
    EXPECT_FALSE(m_balloons[0]->IsMarkedForDestruction());
}
