#include "world/YScriptor.h"

#include <cmath>
#include <cstring>

#include "engine/YGameObjects.h"
#include "game/YGameActors.h"
#include "platform/FilePath.h"
#include "world/YActorWorld.h"
#include "world/YGameRules.h"

namespace {

const char* const kStartBanner = "Waypoint-start_banner--24-0";
const char* const kFinishBanner = "Waypoint-finish_banner--24-0";
const float kBannerScale = 40.5f;

bool Contains(const char* text, const char* part) { return std::strstr(text, part) != nullptr; }

YActorWorld* GameWorld()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_world : nullptr;
}

// True when the world took the actor; one it could not take is deleted.
bool Adopted(YActor* actor)
{
    YActorWorld* world = GameWorld();
    if (world && world->IndexOf(actor) >= 0) return true;
    delete actor;
    return false;
}

bool AdoptedBalloon(YBalloon* balloon)
{
    if (balloon->m_string && !Adopted(balloon->m_string)) balloon->m_string = nullptr;
    if (Adopted(balloon)) return true;
    return false;
}

uint32_t PowerUpType(const char* word)
{
    const struct {
        const char* word;
        uint32_t type;
    } kinds[] = {{"randomgood", YPowerUp::RandomGood}, {"randombad", YPowerUp::RandomBad},
                 {"disruptor", YPowerUp::Disruptor},   {"bbammo", YPowerUp::BBAmmo},
                 {"fuel", YPowerUp::Fuel},             {"tornado", YPowerUp::Tornado}};
    for (const auto& kind : kinds)
        if (Contains(word, kind.word)) return kind.type;
    return YPowerUp::Flash;
}

uint32_t Colour(const char* word)
{
    if (Contains(word, "blue")) return 0;
    if (Contains(word, "red")) return 1;
    return 2;
}

// Takes the flag: true the first time.
bool First(bool& flag)
{
    const bool first = flag;
    flag = false;
    return first;
}

}  // namespace

YScriptor::~YScriptor()
{
    if (!m_file) return;
    if (m_mode == ModeWrite) fputs("file done -1 -1 -1\nNULL\n", m_file);
    fclose(m_file);
}

bool YScriptor::Open(const char* name, int mode)
{
    m_mode = mode;
    if (m_file) fclose(m_file);
    m_file = nullptr;
    if (name && *name) {
        const std::string path = platform::ResolvePath(name);
        m_file = fopen(path.c_str(), mode == ModeWrite ? "w" : "r");
        if (m_file && mode == ModeWrite) fputs("120\n", m_file);
    }
    m_open = m_file ? 1 : 0;
    return m_open != 0;
}

bool YScriptor::ReadEntry(char* kind, char* word, YVector& position, char* label)
{
    float x = 0.0f, y = 0.0f, z = 0.0f;
    // An entry with fewer than five fields ends the script: nothing of the
    // previous entry is used again.
    if (fscanf(m_file, " %63s %63s %f %f %f", kind, word, &x, &y, &z) != 5) return false;
    position = YVector(x, y, z);
    int c;
    while ((c = fgetc(m_file)) != EOF && c != '\n') {
    }
    label[0] = '\0';
    if (!fgets(label, LabelLength + 1, m_file)) return true;
    const size_t length = std::strlen(label);
    // The rest of a longer label line is not the next entry.
    if (length == LabelLength && label[length - 1] != '\n')
        while ((c = fgetc(m_file)) != EOF && c != '\n') {
        }
    return true;
}

void YScriptor::ReadAndSpawn()
{
    if (!m_open || !m_file || m_mode != ModeRead) return;
    int seconds = 0;
    if (fscanf(m_file, "%d", &seconds) != 1) return;
    if (YGameObjects* engine = YGameObjects::Existing()) {
        engine->m_roundSeconds = seconds;
        if (engine->m_rules) engine->m_rules->m_roundSeconds = seconds;
    }
    char kind[WordLength + 1], word[WordLength + 1], label[LabelLength + 1];
    YVector position;
    while (ReadEntry(kind, word, position, label)) {
        if (!std::isfinite(position.x) || !std::isfinite(position.y) || !std::isfinite(position.z)) continue;
        Spawn(kind, word, position, label);
    }
}

void YScriptor::Spawn(const char* kind, const char* word, const YVector& position, const char* label)
{
    YGameObjects* engine = YGameObjects::Existing();
    if (!engine || !GameWorld()) return;
    if (Contains(kind, "balloon")) {
        YBalloon* balloon = new YBalloon(nullptr, position, Colour(word), First(m_firstBalloon), 0.0f);
        if (!AdoptedBalloon(balloon)) return;
        balloon->m_text = label;
        if (engine->m_balloons) engine->m_balloons->AddTail(balloon);
    } else if (Contains(kind, "tunnix")) {
        YTunnix* tunnix = new YTunnix(position, Colour(word), First(m_firstTunnix));
        if (!Adopted(tunnix)) return;
        tunnix->m_text = label;
        if (engine->m_tunnixes) engine->m_tunnixes->AddTail(tunnix);
    } else if (Contains(kind, "waypoint")) {
        YWaypoint* waypoint = new YWaypoint(position, Contains(word, "on") ? 1 : 0, "", First(m_firstWaypoint));
        if (!Adopted(waypoint)) return;
        waypoint->m_text = label;
        if (engine->m_waypoints) engine->m_waypoints->AddTail(waypoint);
    } else if (Contains(kind, "powerup")) {
        YPowerUp* powerUp = new YPowerUp(position, PowerUpType(word), First(m_firstPowerUp));
        if (!Adopted(powerUp)) return;
        powerUp->m_text = label;
        if (engine->m_powerUps) engine->m_powerUps->AddTail(powerUp);
    } else if (Contains(kind, "target")) {
        YTarget* target = new YTarget(position, First(m_firstTarget));
        if (!Adopted(target)) return;
        const struct {
            const char* word;
            float scale;
            int32_t points;
        } sizes[] = {{"1", 1.5f, 100}, {"2", 3.0f, 50}, {"3", 4.5f, 25}};
        for (const auto& size : sizes) {
            if (!Contains(word, size.word)) continue;
            target->m_scale = size.scale;
            target->m_points = size.points;
            break;
        }
        target->m_text = target->m_label = label;
        if (engine->m_targets) engine->m_targets->AddTail(target);
    } else if (Contains(kind, "goal")) {
        YGoal* goal = new YGoal(position, First(m_firstGoal));
        if (!Adopted(goal)) return;
        goal->m_text = label;
        if (engine->m_goals) engine->m_goals->AddTail(goal);
    } else if (Contains(kind, "start")) {
        YWaypoint* start = new YWaypoint(position, -1, kStartBanner, First(m_firstWaypoint));
        if (!Adopted(start)) return;
        start->m_flagsB &= ~YWaypoint::FlagWaypointKind;
        start->m_scale = kBannerScale;
        start->m_text = label;
        if (engine->m_waypoints) engine->m_waypoints->AddHead(start);
    } else if (Contains(kind, "end")) {
        YWaypoint* finish = new YWaypoint(position, -1, kFinishBanner, First(m_firstWaypoint));
        if (!Adopted(finish)) return;
        finish->m_text = label;
        if (engine->m_waypoints) engine->m_waypoints->AddTail(finish);
    }
}

void YScriptor::WriteLine(const char* kind, const char* word, const YVector& position)
{
    fprintf(m_file, "%s %s %f %f %f\n", kind, word, position.x, position.y, position.z);
    fputs("NULL\n", m_file);
}

void YScriptor::WriteBalloon(int colour, const YVector& position)
{
    if (!Writing()) return;
    const uint32_t made = colour == 0 ? 0 : colour == 1 ? 1 : 2;
    if (GameWorld()) AdoptedBalloon(new YBalloon(nullptr, position, made, false, 0.0f));
    WriteLine("balloon", colour == 0 ? "blue" : colour == 1 ? "red" : "orange", position);
}

void YScriptor::WriteTunnix(int colour, const YVector& position)
{
    if (!Writing()) return;
    const uint32_t made = colour == 0 ? 0 : colour == 1 ? 1 : 2;
    if (GameWorld()) Adopted(new YTunnix(position, made, false));
    WriteLine("tunnix", colour == 0 ? "blue" : colour == 1 ? "red" : "yellow", position);
}

void YScriptor::WriteWaypoint(int on, const YVector& position)
{
    if (!Writing()) return;
    if (GameWorld()) Adopted(new YWaypoint(position, on ? 1 : 0, "", false));
    WriteLine("waypoint", on ? "on" : "off", position);
}

void YScriptor::WritePowerUp(int kind, const YVector& position)
{
    if (!Writing()) return;
    const struct {
        const char* word;
        uint32_t type;
    } kinds[] = {{"randomgood", YPowerUp::RandomGood}, {"randombad", YPowerUp::RandomBad},
                 {"disruptor", YPowerUp::Disruptor},   {"bbammo", YPowerUp::BBAmmo},
                 {"fuel", YPowerUp::Fuel},             {"tornado", YPowerUp::Tornado}};
    const bool known = kind >= 0 && kind < 6;
    const uint32_t type = known ? kinds[kind].type : YPowerUp::Flash;
    if (GameWorld()) Adopted(new YPowerUp(position, type, false));
    WriteLine("powerup", known ? kinds[kind].word : "flash", position);
}

void YScriptor::WriteTarget(const YVector& position, int size)
{
    if (!Writing()) return;
    if (GameWorld()) {
        YTarget* target = new YTarget(position, false);
        if (Adopted(target)) {
            if (size == 1) target->m_scale = 1.5f, target->m_points = 300;
            else if (size == 2) target->m_scale = 3.0f, target->m_points = 200;
            else if (size == 3) target->m_scale = 4.5f, target->m_points = 100;
        }
    }
    WriteLine("target", size == 1 ? "1" : size == 2 ? "2" : "3", position);
}

void YScriptor::WriteGoal(const YVector& position)
{
    if (!Writing()) return;
    if (GameWorld()) Adopted(new YGoal(position, false));
    WriteLine("goal", "blah", position);
}

void YScriptor::WriteStart(const YVector& position)
{
    if (!Writing()) return;
    if (GameWorld()) Adopted(new YWaypoint(position, -1, kStartBanner, false));
    WriteLine("start", "blah", position);
}

void YScriptor::WriteEnd(const YVector& position)
{
    if (!Writing()) return;
    if (GameWorld()) Adopted(new YWaypoint(position, -1, kFinishBanner, false));
    WriteLine("end", "blah", position);
}
