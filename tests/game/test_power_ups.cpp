// Power-ups: the pick tables under the seeded rand(), pick-up and respawn,
// one held power-up, and their uses.
#include <map>
#include <set>

#include "game/ModeActorsFixture.h"

TEST_F(ModeActors, PickTablesPerMode)
{
    using P = YPowerUp;
    const struct {
        uint32_t type;
        int mode;
        std::set<uint32_t> kinds;  // every kind the table gives
        uint32_t often;            // one kind and its share, percent
        double share;
    } rows[] = {
        {P::RandomGood, 0, {3, 2, 5, 11, 12, 13, 4, 7, 6, 8}, P::BBAmmo, 16.0},
        {P::Fuel, 0, {3, 2, 5, 11, 12, 13, 4, 7, 6, 8}, P::AmplifiedDamage, 12.0},
        {P::RandomGood, 3, {2, 5, 9, 4, 7, 6, 8}, P::BalloonSteal, 26.4},
        {P::RandomGood, 2, {2, 5, 10, 4, 7, 6, 8}, P::StealTunnix, 64.0},
        {P::RandomGood, 1, {2, 5, 4, 7, 6, 8}, P::Disruptor, 40.0},
        {P::RandomGood, 4, {2, 5, 4, 7, 6, 8}, P::Reverse, 5.0},
        {P::RandomBad, 0, {6, 8, 4, 7, 1, 3, 2, 5, 11, 12, 13}, P::RandomBad, 5.0},
        {P::RandomBad, 2, {6, 8, 4, 7, 1, 2, 5, 10}, P::Reverse, 40.0},
        {P::Flash, 0, {5}, P::Flash, 100.0},
        {P::BBAmmo, 3, {3}, P::BBAmmo, 100.0},
    };
    const int draws = 20000;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "type " << row.type << " mode " << row.mode);
        srand(77);
        std::map<uint32_t, int> seen;
        for (int i = 0; i < draws; ++i) ++seen[YPowerUp::Resolve(row.type, row.mode)];
        std::set<uint32_t> kinds;
        for (const auto& kind : seen) kinds.insert(kind.first);
        EXPECT_EQ(kinds, row.kinds);
        EXPECT_NEAR(100.0 * seen[row.often] / draws, row.share, 1.5);
        // The same seed draws the same kinds.
        srand(77);
        for (int i = 0; i < 50; ++i) YPowerUp::Resolve(row.type, row.mode);
    }
}

TEST_F(ModeActors, PickUpHoldsOneAndTheWorldPowerUpComesBack)
{
    m_rules.m_mode = 0;
    YPlane* plane = Plane();
    const YVector home(40.0f, 15.0f, 40.0f);
    YPowerUp* first = new YPowerUp(home, YPowerUp::Tornado, true);
    YPowerUp* second = new YPowerUp(home + YVector(20.0f, 0.0f, 0.0f), YPowerUp::Flash, false);
    e->m_powerUps->AddTail(first);
    e->m_powerUps->AddTail(second);
    EXPECT_STREQ(first->m_name, "Powerup00");
    EXPECT_EQ(first->m_orientation, 3u);
    EXPECT_TRUE(first->m_flagsB & YActor::FlagPowerUpKind);

    first->Touch(plane);
    YPowerUp* held = dynamic_cast<YPowerUp*>(plane->m_heldPowerUp);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->m_type, YPowerUp::Tornado);
    EXPECT_EQ(held->m_owner, plane);
    EXPECT_FALSE(first->m_flagsA & YActor::FlagVisible);
    EXPECT_EQ(first->m_position, YVector());
    EXPECT_EQ(e->m_powerUps->GetHead(), nullptr) << "the entry is emptied";
    EXPECT_EQ(SoundsNamed("Impact:pi-powerup-taken"), 1);

    second->Touch(plane);  // one held already
    EXPECT_EQ(plane->m_heldPowerUp, held);
    EXPECT_TRUE(second->m_flagsA & YActor::FlagVisible);
    first->Touch(Plane());  // taken: invisible, nothing to take
    EXPECT_EQ(SoundsNamed("Impact:pi-powerup-taken"), 1);

    for (int i = 0; i < 1499; ++i) first->Update(0.02f);
    EXPECT_FALSE(first->m_flagsA & YActor::FlagVisible) << "29.98 s";
    first->Update(0.02f);
    first->Update(0.02f);
    EXPECT_TRUE(first->m_flagsA & YActor::FlagVisible);
    EXPECT_EQ(first->m_position, home);

    // The congrats power-up is never taken.
    YPowerUp* congrats = new YPowerUp(home, YPowerUp::Congrats, false);
    YPlane* other = Plane();
    congrats->Touch(other);
    EXPECT_EQ(other->m_heldPowerUp, nullptr);
}

TEST_F(ModeActors, ImmediateKindsStrikeTheCollector)
{
    // Random bad in dogfight: find seeds that draw reverse and control loss.
    for (uint32_t wanted : {YPowerUp::Reverse, YPowerUp::ControlLoss}) {
        SCOPED_TRACE(wanted);
        unsigned seed = 1;
        for (;; ++seed) {
            srand(seed);
            if (YPowerUp::Resolve(YPowerUp::RandomBad, 0) == wanted) break;
        }
        YPlane* plane = Plane();
        YPowerUp* old = new YPowerUp(YVector(), YPowerUp::Flash, false);
        plane->m_heldPowerUp = nullptr;
        YPowerUp* bad = new YPowerUp(YVector(5.0f, 5.0f, 5.0f), YPowerUp::RandomBad, false);
        srand(seed);
        bad->Touch(plane);
        EXPECT_EQ(plane->m_heldPowerUp, nullptr);
        EXPECT_EQ(plane->m_reversed, wanted == YPowerUp::Reverse ? 1 : 0);
        EXPECT_EQ(plane->m_disrupted, wanted == YPowerUp::ControlLoss ? 1 : 0);
        EXPECT_FLOAT_EQ(wanted == YPowerUp::Reverse ? plane->m_reversedTime : plane->m_disruptedTime, 15.0f);
        old->MarkForDestruction();
    }
}

class PowerUpUse : public ModeActors {
protected:
    void SetUp() override
    {
        ModeActors::SetUp();
        m_owner = LocalPlane();
        m_target = Plane();
        e->m_opponentPlane = m_target;
        // In the air: a plane on the ground refuses the tornado.
        m_owner->m_flagsB &= ~YActor::FlagOnGround;
        m_target->m_flagsB &= ~YActor::FlagOnGround;
    }
    YPowerUp* Held(uint32_t type, YPlane* owner)
    {
        YPowerUp* held = new YPowerUp(YVector(), type, false);
        owner->m_heldPowerUp = held;
        held->m_owner = owner;
        return held;
    }
    YPlane* m_owner = nullptr;
    YPlane* m_target = nullptr;
};

TEST_F(PowerUpUse, EachKindActsOnItsPlane)
{
    const struct {
        uint32_t type;
        uint8_t YPlane::*flag;
        bool onTarget;
        bool timed, consumed;
    } rows[] = {
        {YPowerUp::Disruptor, &YPlane::m_disrupted, true, true, false},
        {YPowerUp::Flash, &YPlane::m_flashed, true, true, false},
        {YPowerUp::Tornado, &YPlane::m_tornado, false, true, false},
        {YPowerUp::UnlimitedAmmo, &YPlane::m_unlimitedAmmo, false, true, false},
        {YPowerUp::MachineGun, &YPlane::m_machineGun, false, true, false},
        {YPowerUp::AmplifiedDamage, &YPlane::m_amplifiedDamage, false, true, false},
        {YPowerUp::BBAmmo, nullptr, false, false, true},
        {YPowerUp::RandomBad, nullptr, false, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        m_commands.m_sounds.clear();
        m_owner->m_ammo = 1;
        YPowerUp* held = Held(row.type, m_owner);
        held->ApplyEffect();
        if (row.flag) {
            YPlane* struck = row.onTarget ? m_target : m_owner;
            YPlane* spared = row.onTarget ? m_owner : m_target;
            EXPECT_EQ(struck->*row.flag, 1);
            EXPECT_EQ(spared->*row.flag, 0);
        }
        if (row.type == YPowerUp::MachineGun) EXPECT_EQ(m_owner->m_unlimitedAmmo, 1);
        if (row.type == YPowerUp::BBAmmo) EXPECT_EQ(m_owner->m_ammo, 5);
        EXPECT_EQ(held->m_effectRunning, row.timed ? 1 : 0);
        EXPECT_EQ(held->IsMarkedForDestruction(), row.consumed);
        EXPECT_EQ(m_owner->m_heldPowerUp == held, !row.consumed);
        EXPECT_EQ(SoundsNamed("Impact:pi-powerup"), 1);
        if (row.timed) {
            // A second use does nothing; the overlay flickers with a 0.5 s half period.
            held->ApplyEffect();
            EXPECT_EQ(SoundsNamed("Impact:pi-powerup"), 1);
            std::vector<int> flicker;
            for (int i = 0; i < 750; ++i) {
                held->Update(0.02f);
                if (i % 25 == 24) flicker.push_back(held->m_flicker);
            }
            EXPECT_EQ(flicker.size(), 30u);
            for (size_t i = 1; i < flicker.size(); ++i) EXPECT_NE(flicker[i], flicker[i - 1]) << i;
            EXPECT_FALSE(held->IsMarkedForDestruction());
            held->Update(0.02f);
            held->Update(0.02f);
            EXPECT_TRUE(held->IsMarkedForDestruction()) << "done after 15 s";
            EXPECT_EQ(m_owner->m_heldPowerUp, nullptr);
        }
        m_owner->m_heldPowerUp = nullptr;
        m_owner->ResetEffects();
        m_target->ResetEffects();
        m_owner->m_disrupted = m_target->m_disrupted = 0;
        m_owner->m_flashed = m_target->m_flashed = 0;
        Purge();
    }
}

TEST_F(PowerUpUse, StealPowerUpTakesTheOtherOnesWhileInRange)
{
    for (uint8_t inRange : {0, 1}) {
        SCOPED_TRACE(int(inRange));
        YPowerUp* steal = Held(YPowerUp::StealPowerUp, m_owner);
        YPowerUp* theirs = Held(YPowerUp::Tornado, m_target);
        m_owner->m_stealInRange = inRange;
        steal->ApplyEffect();
        EXPECT_TRUE(steal->IsMarkedForDestruction()) << "consumed either way";
        EXPECT_EQ(m_owner->m_heldPowerUp, inRange ? theirs : nullptr);
        EXPECT_EQ(m_target->m_heldPowerUp, inRange ? nullptr : theirs);
        EXPECT_EQ(theirs->m_owner, inRange ? m_owner : m_target);
        m_owner->m_heldPowerUp = m_target->m_heldPowerUp = nullptr;
        Purge();
    }
}

TEST_F(PowerUpUse, StealTunnixMovesFilledSlotsOnly)
{
    const struct {
        std::vector<int32_t> theirs;  // five slots
        std::vector<int32_t> mine;
        int32_t theirCount, myCount;
        int32_t movedSum;
        int32_t theirLeft, myAfter;
    } rows[] = {
        {{25, 50, 100, 0, 0}, {25, 25, 25, 25, 0}, 3, 4, 25, 2, 5},     // 3 balls while holding 4: one moves
        {{0, 50, 0, 100, 0}, {0, 0, 0, 0, 0}, 2, 0, 150, 0, 2},         // gaps left by an earlier steal
        {{0, 0, 0, 0, 100}, {50, 0, 0, 0, 0}, 1, 1, 100, 0, 2},
        {{25, 25, 0, 0, 0}, {100, 100, 100, 100, 100}, 2, 5, 0, 2, 5},  // full: nothing moves
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.movedSum);
        for (int i = 0; i < 5; ++i) {
            m_target->SetCarried(row.theirs[i], i);
            m_owner->SetCarried(row.mine[i], i);
        }
        m_target->m_tunnixCount = row.theirCount;
        m_owner->m_tunnixCount = row.myCount;
        const int32_t before = m_owner->GetCarried(-1), theirsBefore = m_target->GetCarried(-1);
        m_owner->m_stealInRange = 1;
        YPowerUp* steal = Held(YPowerUp::StealTunnix, m_owner);
        steal->ApplyEffect();
        EXPECT_EQ(m_owner->GetCarried(-1), before + row.movedSum);
        EXPECT_EQ(m_target->GetCarried(-1), theirsBefore - row.movedSum);
        EXPECT_EQ(m_target->m_tunnixCount, row.theirLeft);
        EXPECT_EQ(m_owner->m_tunnixCount, row.myAfter);
        int filled = 0;
        for (int i = 0; i < 5; ++i) filled += m_owner->GetCarried(i) != 0;
        EXPECT_EQ(filled, row.myAfter) << "the count matches the slots";
        EXPECT_TRUE(steal->IsMarkedForDestruction());
        Purge();
    }
}

TEST_F(PowerUpUse, BalloonStealMovesUpToFive)
{
    m_target->m_balloons = 7;
    m_owner->m_balloons = 1;
    YPowerUp* steal = Held(YPowerUp::BalloonSteal, m_owner);
    m_owner->m_stealInRange = 1;
    steal->ApplyEffect();
    EXPECT_EQ(m_target->m_balloons, 2);
    EXPECT_EQ(m_owner->m_balloons, 6);
    EXPECT_EQ(m_owner->m_heldPowerUp, steal) << "it stays held";
    steal->ApplyEffect();
    EXPECT_EQ(m_target->m_balloons, 0);
    EXPECT_EQ(m_owner->m_balloons, 8);
}

TEST_F(ModeActors, PurgedActorsLeaveNoReferences)
{
    YPlane* plane = Plane();
    YBalloon* balloon = new YBalloon(plane, YVector(1.0f, 10.0f, 1.0f), YBalloon::Blue, true, 0.0f);
    YPowerUp* held = new YPowerUp(YVector(), YPowerUp::Tornado, true);
    held->m_owner = plane;
    plane->m_heldPowerUp = held;
    YWaypoint* waypoint = new YWaypoint(YVector(), 1, "", true);
    e->m_waypoints->AddTail(waypoint);
    m_rules.m_currentWaypoint = waypoint;
    e->m_balloons->AddTail(balloon);

    plane->MarkForDestruction();
    waypoint->MarkForDestruction();
    Purge();
    EXPECT_EQ(balloon->m_lastPlane, nullptr);
    EXPECT_EQ(held->m_owner, nullptr);
    EXPECT_EQ(m_rules.m_currentWaypoint, nullptr);
    EXPECT_EQ(e->m_waypoints->GetCount(), 1);
    EXPECT_EQ(e->m_waypoints->GetHead(), nullptr) << "the list entry is emptied";

    YBalloonString* string = balloon->m_string;
    string->MarkForDestruction();
    Purge();
    EXPECT_EQ(balloon->m_string, nullptr);
    balloon->Pop();  // without its string
    balloon->MarkForDestruction();
    Purge();
    EXPECT_EQ(e->m_balloons->GetHead(), nullptr);
}
