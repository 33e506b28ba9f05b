#include "world/YGameServer.h"

#include <cmath>
#include <cstdio>

#include "engine/YCommandInterpreter.h"
#include "engine/YGameObjects.h"
#include "foundation/YUtility.h"
#include "game/YWeatherElement.h"
#include "renderer/YMapVT3Model_Output.h"
#include "renderer/YMapVT3Sound_Output.h"
#include "renderer/YParser.h"
#include "world/YActor.h"
#include "world/YActorSound.h"
#include "world/YActorWorld.h"
#include "world/YGameCommands.h"
#include "world/YGameSession.h"
#include "world/YSoundAmbient.h"

namespace {
const float kDegreesPerRadian = 57.29578f;
const float kMilesPerHourPerMps = 2.2369363f;
int s_soundCounter = 0;
}  // namespace

YGameServer::YGameServer()
    : m_ambient(new YSoundAmbient), m_preloads(0, 1), m_element(nullptr), m_weatherWords{-1, 0, -1},
      m_weatherZeros{0, 0, 0, 0}, m_gameTime(0), m_watchedActor(nullptr)
{
}

YGameServer::~YGameServer()
{
    delete m_ambient;
    ClearStarts();
    m_holes.RemoveAll();
}

void YGameServer::ClearStarts()
{
    while (!m_starts.IsEmpty()) delete m_starts.RemoveHead();
}

void YGameServer::LoadFromMap()
{
    m_ambient->Load();
    CreateMapSounds();
    m_weather.Load();
    ReadPlayerStarts();
    m_preloads.Reset();
}

void YGameServer::ReadPlayerStarts()
{
    YGameObjects* engine = YGameObjects::Existing();
    YParser* renderer = engine ? engine->m_renderer : nullptr;
    if (!renderer) return;
    for (int16_t i = 0; i < renderer->GetMapRecordCount(); ++i) {
        const auto* record = static_cast<const YMapVT3Model_Output*>(renderer->GetMapRecord(i));
        if (!record || record->m_name.Find("PlayerStart") < 0) continue;
        m_starts.AddTail(new YPlayerStart(YVector(record->m_x, 0.0f, record->m_z),
                                          YVector(0.0f, record->m_yaw * kDegreesPerRadian, 0.0f)));
    }
}

bool YGameServer::SoundInSeason(const YMapVT3Sound_Output& record, int day)
{
    return DayInWindow(day, static_cast<int>(record.m_d), static_cast<int>(record.m_e));
}

void YGameServer::CreateMapSounds()
{
    YGameObjects* engine = YGameObjects::Existing();
    YParser* renderer = engine ? engine->m_renderer : nullptr;
    YActorWorld* world = engine ? engine->m_world : nullptr;
    if (!renderer || !world) return;
    const int day = DayOfYear(engine->m_gameDate);
    for (int16_t i = 0; i < renderer->GetMapSoundCount(); ++i) {
        const auto* record = static_cast<const YMapVT3Sound_Output*>(renderer->GetMapSound(i));
        if (!record || !SoundInSeason(*record, day)) continue;
        char name[32];
        snprintf(name, sizeof name, "Sound%d", s_soundCounter++);
        YActor* actor = new YActor;
        actor->m_name = name;
        const float x = static_cast<float>(record->m_a), z = static_cast<float>(record->m_c);
        YActorSound* sound = new YActorSound(engine->m_sound, actor, record->m_firstName);
        sound->m_minDistance = static_cast<float>(record->m_f);
        sound->m_maxDistance = static_cast<float>(record->m_g);
        sound->m_repeatMin = static_cast<float>(record->m_h) / 1000.0f;
        sound->m_repeatMax = static_cast<float>(record->m_i) / 1000.0f;
        sound->m_once = record->m_j == 1 ? 1 : 0;
        actor->AddSound(sound);
        if (!sound) {
            delete actor;
            continue;
        }
        actor->m_position = YVector(x, world->GroundHeightAt(x, z) + static_cast<float>(record->m_b), z);
        actor->SetFlag("NoMech", true);
        actor->SetFlag("Flying", true);
        world->AddActor(actor);
    }
}

void YGameServer::Update()
{
    YGameObjects* engine = YGameObjects::Existing();
    m_ambient->Update();
    if (m_weather.m_changed) UpdateWind(-1);
    m_weather.Update(engine ? engine->m_frameTime : 0.0f);
    AdvanceGameTime();
    if (engine) ShowWatchedActor(engine->m_interpreter, engine->m_gameClock);
}

void YGameServer::ShowWatchedActor(YCommandInterpreter* interpreter, uint32_t clock)
{
    if (!m_watchedActor || !interpreter || !*interpreter->GetTraceSwitch()) return;
    const YActor& a = *m_watchedActor;
    char line[320];
    snprintf(line, sizeof line, "WATCH %.64s %u pos %.3f %.3f %.3f ang %.2f %.2f %.2f vel %.3f %.3f %.3f",
             (const char*)a.m_name, unsigned(clock), double(a.m_position.x), double(a.m_position.y),
             double(a.m_position.z), double(a.m_angles.x), double(a.m_angles.y), double(a.m_angles.z),
             double(a.m_velocity.x), double(a.m_velocity.y), double(a.m_velocity.z));
    interpreter->AppendToLog(line);
}

void YGameServer::AddPreload(const char* name, int kind)
{
    m_preloads.Set(name, std::to_string(kind).c_str());
}

void YGameServer::AdvanceGameTime()
{
    YGameObjects* engine = YGameObjects::Existing();
    if (!engine) return;
    const bool playing = engine->m_session && engine->m_session->m_state == YGameSession::Playing;
    if (!playing) {
        if (m_gameTime < 0) m_gameTime = 0;
        return;
    }
    const int rate = engine->m_settings ? engine->m_settings->GetInt("game_timerate") : 0;
    m_gameTime += static_cast<int32_t>(rate * engine->m_frameTime * 1000.0f);
    while (m_gameTime > 1000) {
        int32_t seconds = m_gameTime / 1000;
        if (seconds < 1) seconds = 1;
        engine->m_gameDate += CTimeSpan(seconds / 86400, (seconds / 3600) % 24, (seconds / 60) % 60, seconds % 60);
        m_gameTime -= seconds * 1000;
    }
}

void YGameServer::UpdateWind(int code)
{
    YGameObjects* engine = YGameObjects::Existing();
    if (engine && engine->m_gameCommands) {
        YGameCommands* commands = engine->m_gameCommands;
        YVector wind = m_weather.m_wind;
        const float speed = wind.Length();
        const int direction = speed > 0.0f ? static_cast<int>(std::lround(wind.ToAngles().y)) % 360 : 0;
        char text[32];
        snprintf(text, sizeof text, "%d", direction);
        commands->SetSetting(1, -1, "game_wind_dir", text, 0);
        snprintf(text, sizeof text, "%ld", std::lround(speed));
        commands->SetSetting(1, -1, "game_wind_mps", text, 0);
        snprintf(text, sizeof text, "%ld mph", std::lround(speed * kMilesPerHourPerMps));
        commands->SetSetting(1, -1, "game_wind_mph", text, 0);
    }
    if ((code != -1 || m_weather.m_intensityChanged) && m_element) m_element->m_intensity = m_weather.m_intensity;
    if (m_weather.m_elementChanged) {
        if (m_weather.m_elementParams) StartWeatherElement(m_weather.m_elementParams);
        else StopWeatherElement();
    }
}

void YGameServer::StartWeatherElement(const WeatherElementParams* parameters)
{
    YGameObjects* engine = YGameObjects::Existing();
    YActorWorld* world = engine ? engine->m_world : nullptr;
    if (m_element) {
        m_element->Silence();
        if (world) delete world->Detach(m_element, 1);
        m_element = nullptr;
    }
    if (!world || !parameters) return;
    m_element = new YWeatherElement;
    m_element->m_params = *parameters;
    m_element->Start();
    world->AddActor(m_element);
}

void YGameServer::StopWeatherElement()
{
    if (!m_element) return;
    m_element->m_intensity = 0.0f;
    m_element->m_stop = 1;
    m_element = nullptr;
}

void YGameServer::SetWeatherIntensity(float value)
{
    if (m_element) m_element->m_intensity = value;
}

float YGameServer::DayFactorAt(int minutes, int sunrise, int sunset)
{
    if (minutes < sunrise || minutes > sunset) return 0.25f;
    float factor = 1.0f;
    const int remaining = sunset - minutes;
    if (remaining < 100) factor -= (100 - remaining) * 0.006f;
    const int since = minutes - sunrise;
    if (since < 100) factor -= (100 - since) * 0.009f;
    return factor < 0.03f ? 0.03f : factor;
}

float YGameServer::DayFactor()
{
    YGameObjects* engine = YGameObjects::Existing();
    if (!engine) return 1.0f;
    int sunrise = 0, sunset = 0;
    SunriseSunset(engine->m_gameDate, sunrise, sunset);
    const CTime& now = engine->m_gameDate;
    return DayFactorAt(now.GetHour() * 60 + now.GetMinute(), sunrise, sunset);
}

void YGameServer::AddHole(YActor* hole)
{
    if (!hole) return;
    for (int i = 0; i < m_holes.GetSize(); ++i)
        if (m_holes[i] == hole) return;
    m_holes.Add(hole);
    YGameObjects* engine = YGameObjects::Existing();
    const int cap = engine && engine->m_settings ? engine->m_settings->GetInt("game_holes") : 0;
    while (m_holes.GetSize() > cap && m_holes.GetSize() > 0) {
        m_holes[0]->SetFlag("DestroyMe", true);
        m_holes.RemoveAt(0);
    }
}

void YGameServer::ForgetActor(YActor* actor)
{
    if (m_watchedActor == actor) m_watchedActor = nullptr;
    if (static_cast<YActor*>(m_element) == actor) m_element = nullptr;
    for (int i = m_holes.GetSize() - 1; i >= 0; --i)
        if (m_holes[i] == actor) m_holes.RemoveAt(i);
}
