// The per-map state of a round kept apart from the actors: the player
// starts, the ambient sounds, the weather and its current element, the
// resources to preload, the map's placed sounds, the marks projectiles leave
// and the game time that advances the game date. Local bookkeeping: there is
// no network.
#pragma once

#include <cstdint>

#include "foundation/YDataCollection.h"
#include "game/YWeather.h"
#include "platform/mfc.h"
#include "world/YPlayerStart.h"

class YActor;
class YCommandInterpreter;
class YSoundAmbient;
class YWeatherElement;
struct YMapVT3Sound_Output;

class YGameServer {
public:
    YGameServer();
    virtual ~YGameServer();
    YGameServer(const YGameServer&) = delete;
    YGameServer& operator=(const YGameServer&) = delete;

    // The map of the round: ambient sounds, placed sounds, weather, player
    // starts; the preloads start empty.
    virtual void LoadFromMap();
    // One playing tick.
    virtual void Update();
    // With the console's trace switch on, the watched actor's vectors go to
    // the log file, one line a tick.
    void ShowWatchedActor(YCommandInterpreter* interpreter, uint32_t clock);
    virtual void AddPreload(const char* name, int kind);
    virtual void StartWeatherElement(const WeatherElementParams* parameters);
    virtual void StopWeatherElement();
    virtual void SetWeatherIntensity(float value);
    // The daylight factor of the game date; nothing is stored while the
    // renderer has no sky-light record.
    virtual float DayFactor();
    // The wind into the settings, then the weather's changes to its element.
    virtual void UpdateWind(int code);
    virtual void AdvanceGameTime();
    // A projectile's mark; the oldest goes once there are more than
    // "game_holes".
    virtual void AddHole(YActor* hole);
    // An actor is being deleted: the server forgets it.
    void ForgetActor(YActor* actor);

    // The factor for a time of day in minutes after midnight.
    static float DayFactorAt(int minutes, int sunrise, int sunset);
    // The sound of a map record when its day window admits the day.
    static bool SoundInSeason(const YMapVT3Sound_Output& record, int day);

    CTypedPtrList<CPtrList, YPlayerStart*> m_starts;  // owned
    YSoundAmbient* m_ambient;                         // owned
    YDataCollection m_preloads;                       // name -> kind
    YWeather m_weather;
    YWeatherElement* m_element;  // in the active world; not owned
    int32_t m_weatherWords[3];
    int32_t m_weatherZeros[4];
    int32_t m_gameTime;  // ms not yet added to the game date
    CTypedPtrArray<CPtrArray, YActor*> m_holes;
    YActor* m_watchedActor;  // shown with its vectors; not owned

private:
    void ReadPlayerStarts();
    void CreateMapSounds();
    void ClearStarts();
};
