// A ring of the air-race course. The rules' current waypoint flashes; flying
// through it scores, counts laps and moves the rules on to the next one.
// The engine's waypoint list holds the course: the start banner, the
// waypoints by index, the finish banner.
#pragma once

#include <cstdint>

#include "game/YSpriteActor.h"

class YPlane;

class YWaypoint : public YSpriteActor {
public:
    enum : uint32_t { FlagWaypointKind = 0x100000 };
    static const int kLaps = 3;
    static constexpr float kFlashSeconds = 0.5f;

    YWaypoint();
    // An empty key takes the "on" or "off" image by the state.
    YWaypoint(const YVector& position, int32_t state, const char* key, bool resetNames);

    virtual void Init(const YVector& position, int32_t state, const char* key, bool resetNames);
    void Update(float dt) override;
    void Touch(YActor* other) override;

    uint32_t m_active;
    int32_t m_index;  // place on the course; -1 for a banner made with a reset
    int32_t m_state;  // 1 on, 0 off; -1 and -2 the banner's pulse
    float m_timer;    // seconds
    uint8_t m_registered;

    static int s_counter;

private:
    // The course's waypoint of the index (list element index + 1), or null.
    static YWaypoint* ByIndex(int index);
    static int CourseLength();
    // Lap counting and the race's end, shared by the player and the bots.
    void CountLap(YPlane* plane, int length);
};
