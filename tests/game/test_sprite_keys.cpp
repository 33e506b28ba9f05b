// Every sprite key of the mode actors names a type-24 item of the sample
// catalog whose texture file is in the sample data; the actors take their
// keys; the target loads its world model.
#include <cstdio>
#include <filesystem>
#include <string>

#include "assets3d/YTextureHandler.h"
#include "foundation/YResource.h"

#include "game/PlaneFlightFixture.h"
#include "game/YGameActors.h"
#include "game/YDirectionArrow.h"

namespace {
class SpriteKeys : public PlaneFlight {};
}  // namespace

TEST_F(SpriteKeys, EveryKeyResolvesOnASampleMap)
{
    Start("Meadow");
    const struct {
        const char* section;
        const char* name;
    } items[] = {
        {"Balloon", "balloonblue"},       {"Balloon", "balloonred"},          {"Balloon", "balloonorange"},
        {"Balloon", "string"},            {"Tunnix", "tunnix_blue_25"},       {"Tunnix", "tunnix_red_50"},
        {"Tunnix", "tunnix_yellow_100"},  {"goal", "goal"},                   {"Waypoint", "waypoint_on"},
        {"Waypoint", "waypoint_off"},     {"Waypoint", "start_banner"},       {"Waypoint", "finish_banner"},
        {"TargetIndicator", "Direction_arrow_u"}, {"TargetIndicator", "Direction_arrow_d"},
        {"TargetIndicator", "Direction_arrow_l"}, {"TargetIndicator", "Direction_arrow_r"},
        {"TargetIndicator", "Direction_arrow_all"}, {"Powerup", "wildcard_powerup"},
        {"Powerup", "signal_disruptor"},  {"Powerup", "bb_powerup"},          {"Powerup", "tornado_powerup"},
        {"Powerup", "flash_powerup"},     {"Powerup", "congrats_powerup"},    {"Powerup", "fuel_powerup"},
    };
    std::set<std::string> files;
    for (const auto& item : items) {
        char key[128];
        snprintf(key, sizeof key, "%s-%s-%s-%d-%d", item.section, item.name, "", 24, 0);
        YResource* resource = s_catalog->GetResource(24, CString(key), 0);
        YTextureHandler* handler = dynamic_cast<YTextureHandler*>(resource);
        ASSERT_NE(handler, nullptr) << key;
        ASSERT_EQ(handler->GetCount(), 1);
        CString file;
        handler->GetFileName(file, 0);
        std::string path = (const char*)file;  // found in the data folder
        for (char& c : path)
            if (c == '\\') c = '/';
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
        files.insert(path);
        s_catalog->ReleaseResource(resource);
    }
    EXPECT_EQ(files.size(), sizeof items / sizeof items[0]) << "each image its own";

    // The actors take them.
    YVector at;
    float yaw = 0.0f;
    ASSERT_TRUE(PlayerStart(at, yaw));
    YActor* actors[] = {new YBalloon(nullptr, at, YBalloon::Orange, true, 0.0f), new YTunnix(at, YTunnix::Red, true),
                        new YGoal(at, true),                new YWaypoint(at, 0, "", true),
                        new YPowerUp(at, YPowerUp::Fuel, true), new YDirectionArrow(at, YDirectionArrow::Left)};
    const char* const keys[] = {"Balloon-balloonorange--24-0", "Tunnix-tunnix_red_50--24-0", "goal-goal--24-0",
                                "Waypoint-waypoint_off--24-0", "Powerup-fuel_powerup--24-0",
                                "TargetIndicator-Direction_arrow_l--24-0"};
    for (int i = 0; i < 6; ++i) EXPECT_STREQ(actors[i]->m_modelName, keys[i]);
    YTarget* target = new YTarget(at, true);
    EXPECT_NE(target->GetModelInstance(), nullptr);
    EXPECT_STREQ(target->m_name, "Target00");
    EXPECT_TRUE(target->m_flagsB & YTarget::FlagTargetKind);
    EXPECT_TRUE(target->m_flagsA & YActor::FlagNoMech);
}
