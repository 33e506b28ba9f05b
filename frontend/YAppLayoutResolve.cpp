// YAppLayout: the expression vocabulary of the scripts and the camera
// snapshot and queries it reads.
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/YGameConfig.h"
#include "engine/YGameObjects.h"
#include "foundation/YConfigData.h"
#include "foundation/YDataCollection.h"
#include "frontend/YAppLayout.h"
#include "game/YClientInfo.h"
#include "game/YCompass.h"
#include "game/YPlane.h"
#include "graphics2d/YDXSurface.h"
#include "gui/YDC.h"
#include "gui/YLayoutGroup.h"
#include "renderer/YParser.h"
#include "renderer/YTraceResult.h"
#include "world/YActorWorld.h"
#include "world/YGameRules.h"
#include "world/YGameSession.h"

namespace {

const char* const kCompassPoints[16] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                        "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};

// Default marker positions of the throttle and fuel bars.
const int kThrottleMarker = 10;
const int kFuelMarker = 530;
const int kMarkerTravel = 100;
const float kMarkerScale = 0.39f;

bool Is(const char* word, const char* keyword) { return _stricmp(word, keyword) == 0; }

// Sums wrap rather than overflow, as 32-bit machine arithmetic does.
int Add(int a, int b) { return static_cast<int>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
int Signed(int sign, int value) { return sign < 0 ? static_cast<int>(0u - static_cast<uint32_t>(value)) : value; }

// Truncation toward zero; out of range it stops at the limits, NaN is 0.
int ToInt(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return static_cast<int>(value);
}

// A heap copy of the argument, split at blanks as it is read; every
// resolver call has its own, so that resolvers may nest.
class Words {
public:
    explicit Words(const char* text) : m_copy(text, text + strlen(text) + 1) {}
    const char* First() { return strtok_r(m_copy.data(), " ", &m_save); }
    // The next word, or null.
    const char* Next() { return strtok_r(nullptr, " ", &m_save); }
    // The text after the last word read and its blank.
    const char* Rest() const { return m_save ? m_save : ""; }

private:
    std::vector<char> m_copy;
    char* m_save = nullptr;
};

YGameObjects* Engine() { return YGameObjects::Existing(); }

YPlane* LocalPlane()
{
    YGameObjects* engine = Engine();
    return engine && engine->m_localClient ? engine->m_localClient->m_plane : nullptr;
}

YDataCollection* Store(const char* keyword)
{
    YGameObjects* engine = Engine();
    if (!engine) return nullptr;
    if (Is(keyword, "str")) return engine->m_values;
    if (Is(keyword, "setting")) return engine->m_settings;
    if (Is(keyword, "layout")) return engine->m_layoutValues;
    return nullptr;
}

bool IsStoreWord(const char* word) { return Is(word, "str") || Is(word, "setting") || Is(word, "layout"); }

CString ConfigText(const char* name)
{
    YGameObjects* engine = Engine();
    YString value;
    if (engine && engine->m_configData && name) engine->m_configData->Get(YString(name), value, 0);
    return CString((const char*)value);
}

RECT ViewRect()
{
    RECT view = {0, 0, 0, 0}, second = {0, 0, 0, 0};
    YGameObjects* engine = Engine();
    if (engine && engine->m_renderer) engine->m_renderer->GetViewRects(&view, &second);
    return view;
}

RECT ReferenceRect(YDC* dc, YLayoutGroup* group)
{
    RECT rect = {0, 0, 0, 0};
    if (group) {
        group->GetRect(dc, &rect);
    } else if (YDXSurface* surface = dc ? dc->GetSurface() : nullptr) {
        rect.right = static_cast<LONG>(surface->GetWidth());
        rect.bottom = static_cast<LONG>(surface->GetHeight());
    }
    return rect;
}

int Width(const RECT& r) { return ToInt(static_cast<double>(r.right) - r.left); }
int Height(const RECT& r) { return ToInt(static_cast<double>(r.bottom) - r.top); }

// The view actor as a plane, or null.
YPlane* ViewPlane(bool& anyActor)
{
    YGameObjects* engine = Engine();
    YActor* actor = engine && engine->m_world ? engine->m_world->GetViewActor() : nullptr;
    anyActor = actor != nullptr;
    if (!actor || !(actor->m_flagsB & YActor::FlagPlaneKind)) return nullptr;
    return dynamic_cast<YPlane*>(actor);
}

int Episode()
{
    YGameObjects* engine = Engine();
    if (!engine || !engine->m_gameConfig) return 0;
    static const char* const kTypes[] = {"balloon", "dogfight", "airrace", "tunnix"};
    for (int i = 0; i < 4; ++i)
        if (strcmp(engine->m_gameConfig->m_gameType, kTypes[i]) == 0) return i + 1;
    return 0;
}

// Counts a resolver's calls and, past the early exits, its milliseconds;
// refuses expressions nested deeper than the limit.
class ResolveScope {
public:
    ResolveScope(int32_t& calls, int32_t& ticks, int32_t& depth) : m_ticks(ticks), m_depth(depth)
    {
        ++calls;
    }
    bool Enter(const char* text)
    {
        if (!text || !*text || m_depth >= YAppLayout::kMaxResolveDepth) return false;
        ++m_depth;
        m_entered = true;
        m_start = GetTickCount();
        return true;
    }
    ~ResolveScope()
    {
        if (!m_entered) return;
        --m_depth;
        m_ticks += static_cast<int32_t>(GetTickCount() - m_start);
    }

private:
    int32_t& m_ticks;
    int32_t& m_depth;
    bool m_entered = false;
    DWORD m_start = 0;
};

}  // namespace

int AngleToSector(int angle, int count)
{
    if (count <= 0) return 0;
    const int step = 360 / count;
    if (step <= 0) return 0;
    int index = angle / step;
    const int remainder = angle % step;
    if (remainder > step / 2) ++index;
    // Wrapped whole: a single turn off would index past the table.
    index %= count;
    if (index < 0) index += count;
    return index;
}

int YAppLayout::ResolveValue(const char* text, YDC* dc, YLayoutGroup* group)
{
    ResolveScope scope(m_nValueCalls, m_nValueTicks, m_resolveDepth);
    if (!scope.Enter(text)) return 0;
    Words words(text);
    const char* first = words.First();
    if (!first) return 0;
    int sign = 1;
    if (*first == '-') {
        sign = -1;
        ++first;
    }
    const char* word = first;
    YGameObjects* engine = Engine();
    auto rest = [&]() { return ResolveValue(words.Rest(), dc, group); };
    auto restFloat = [&]() { return ResolveFloat(words.Rest(), dc, group); };
    int value = 0;

    if (Is(word, "xr")) value = 640;
    else if (Is(word, "xc")) value = 320;
    else if (Is(word, "yb")) value = 480;
    else if (Is(word, "yc")) value = 240;
    else if (Is(word, "xs")) value = ToInt(static_cast<double>(restFloat()) * Width(ReferenceRect(dc, group)));
    else if (Is(word, "ys")) value = ToInt(static_cast<double>(restFloat()) * Height(ReferenceRect(dc, group)));
    else if (Is(word, "vl")) value = Add(ViewRect().left, rest());
    else if (Is(word, "vr")) value = Add(ViewRect().right, rest());
    else if (Is(word, "vt")) value = Add(ViewRect().top, rest());
    else if (Is(word, "vb")) value = Add(ViewRect().bottom, rest());
    else if (Is(word, "vxc")) {
        const RECT v = ViewRect();
        value = Add(static_cast<int>((static_cast<int64_t>(v.left) + v.right) / 2), rest());
    } else if (Is(word, "vyc")) {
        const RECT v = ViewRect();
        value = Add(static_cast<int>((static_cast<int64_t>(v.top) + v.bottom) / 2), rest());
    } else if (Is(word, "vxs")) value = ToInt(static_cast<double>(restFloat()) * Width(ViewRect()));
    else if (Is(word, "vys")) value = ToInt(static_cast<double>(restFloat()) * Height(ViewRect()));
    else if (IsStoreWord(word)) {
        YDataCollection* store = Store(word);
        const char* key = words.Next();
        if (key) {
            if (isalpha(static_cast<unsigned char>(*key))) {
                const CString name = ResolveText(key, dc);
                value = store ? store->GetInt(name) : 0;
            } else {
                const int index = ResolveValue(key, dc, group);
                value = store ? store->GetInt(index) : 0;
            }
        }
        value = Add(value, rest());
    } else if (Is(word, "config")) {
        const char* key = words.Next();
        if (key) value = atoi(ConfigText(ResolveText(key, dc)));
        value = Add(value, rest());
    } else if (Is(word, "cyaw")) value = Add(rest(), ToInt(m_vCameraAngles.y));
    else if (Is(word, "cpitch")) value = Add(rest(), ToInt(m_vCameraAngles.x));
    else if (Is(word, "crange")) value = ToInt(GetCameraRange());
    else if (Is(word, "cthirdperson")) value = IsThirdPerson() ? 1 : 0;
    else if (Is(word, "cy")) value = Add(rest(), ToInt(m_vCameraPos.x));
    else if (Is(word, "cx")) value = Add(rest(), ToInt(m_vCameraPos.y));
    else if (Is(word, "cz")) value = Add(rest(), ToInt(m_vCameraPos.z));
    else if (Is(word, "calt") || Is(word, "clat") || Is(word, "clon")) value = 0;
    else if (Is(word, "cheading")) value = LocalPlane() ? ToInt(m_vCameraAngles.y) : 0;
    else if (Is(word, "xprogress")) value = Add(engine && engine->m_session ? engine->m_session->m_barWidth : 0, rest());
    else if (Is(word, "xthrottle")) {
        bool any = false;
        value = kThrottleMarker;
        if (YPlane* plane = ViewPlane(any))
            value += plane->m_throttle == 255 ? kMarkerTravel : ToInt(plane->m_throttle * kMarkerScale);
    } else if (Is(word, "xfuel")) {
        bool any = false;
        value = kFuelMarker;
        if (YPlane* plane = ViewPlane(any)) {
            const int fuel = ToInt(plane->m_fuel);
            value += fuel == 255 ? kMarkerTravel : ToInt(fuel * kMarkerScale);
        }
    } else if (Is(word, "compassx")) value = engine && engine->m_compass ? engine->m_compass->m_centreX : 540;
    else if (Is(word, "compassy")) value = engine && engine->m_compass ? engine->m_compass->m_centreY : 375;
    else if (Is(word, "interfacecharteaser")) value = engine ? engine->m_gameState.m_pilotTeaser : 0;
    else if (Is(word, "interfacedonextlevel"))
        value = engine && engine->m_gameConfig && engine->m_gameConfig->m_levelIndex < 4 ? engine->m_won : 0;
    else if (Is(word, "interfaceepisode")) value = Episode();
    else if (Is(word, "interfaceeditscore")) value = engine ? engine->m_gameState.m_scoreRank : 0;
    else value = Add(atoi(word), rest());
    return Signed(sign, value);
}

float YAppLayout::ResolveFloat(const char* text, YDC* dc, YLayoutGroup* group)
{
    ResolveScope scope(m_nFloatCalls, m_nFloatTicks, m_resolveDepth);
    if (!scope.Enter(text)) return 0.0f;
    Words words(text);
    const char* first = words.First();
    if (!first) return 0.0f;
    float sign = 1.0f;
    if (*first == '-') {
        sign = -1.0f;
        ++first;
    }
    const char* word = first;
    auto rest = [&]() { return ResolveFloat(words.Rest(), dc, group); };
    float value = 0.0f;

    if (Is(word, "xr")) value = 640.0f;
    else if (Is(word, "xc")) value = 320.0f;
    else if (Is(word, "yb")) value = 480.0f;
    else if (Is(word, "yc")) value = 240.0f;
    else if (Is(word, "xs") || Is(word, "ys") || Is(word, "vl") || Is(word, "vr") || Is(word, "vt") ||
             Is(word, "vb") || Is(word, "vxc") || Is(word, "vyc") || Is(word, "vxs") || Is(word, "vys") ||
             Is(word, "cheading"))
        // The sign is the integer resolver's.
        return static_cast<float>(ResolveValue(text, dc, group));
    else if (IsStoreWord(word)) {
        YDataCollection* store = Store(word);
        const char* key = words.Next();
        if (key && store) {
            if (isalpha(static_cast<unsigned char>(*key)))
                value = static_cast<float>(store->GetFloat(ResolveText(key, dc)));
            else
                value = static_cast<float>(store->GetFloat(ResolveValue(key, dc, group)));
        }
        value += rest();
    } else if (Is(word, "config")) {
        const char* key = words.Next();
        if (key) value = static_cast<float>(atof(ConfigText(ResolveText(key, dc))));
        value += rest();
    } else if (Is(word, "crange")) value = GetCameraRange();
    else if (Is(word, "cthirdperson")) value = IsThirdPerson() ? 1.0f : 0.0f;
    else if (Is(word, "cyaw")) value = rest() + m_vCameraAngles.y;
    else if (Is(word, "cpitch")) value = rest() + m_vCameraAngles.x;
    else if (Is(word, "cy")) value = rest() + m_vCameraPos.x;
    else if (Is(word, "cx")) value = rest() + m_vCameraPos.y;
    else if (Is(word, "cz")) value = rest() + m_vCameraPos.z;
    else if (Is(word, "calt") || Is(word, "clat") || Is(word, "clon")) value = 0.0f;
    else value = static_cast<float>(atof(word)) + rest();
    return sign * value;
}

CString YAppLayout::ResolveText(const char* text, YDC*)
{
    ResolveScope scope(m_nTextCalls, m_nTextTicks, m_resolveDepth);
    if (!scope.Enter(text)) return CString();
    if (*text == '"') {
        CString inner(text + 1);
        const int length = inner.GetLength();
        if (length > 0 && inner[length - 1] == '"') inner = inner.Left(length - 1);
        return inner;
    }
    Words words(text);
    const char* first = words.First();
    if (!first) return CString(text);
    const char* second = words.Next();
    YGameObjects* engine = Engine();
    CString out;

    if (IsStoreWord(first)) {
        YDataCollection* store = Store(first);
        if (!second || !store) return out;
        if (isalpha(static_cast<unsigned char>(*second))) return CString((const char*)store->GetValue(second));
        return CString((const char*)store->GetValue(atoi(second)));
    }
    if (Is(first, "config")) return second ? ConfigText(second) : out;
    if (Is(first, "cpos") || Is(first, "cvel") || Is(first, "corient") || Is(first, "cslow") || Is(first, "cping")) {
        YPlane* plane = LocalPlane();
        if (!plane) return out;
        if (Is(first, "cpos")) return plane->m_position.ToString();
        if (Is(first, "cvel")) return plane->m_velocity.ToString();
        if (Is(first, "corient")) return plane->m_angles.ToString();
        if (Is(first, "cslow")) out.Format("%f", plane->m_speedPercent);
        else out.Format("%d", engine->m_localClient->GetAveragePing());
        return out;
    }
    if (Is(first, "calt")) {
        YParser* renderer = engine ? engine->m_renderer : nullptr;
        // Without a map grid there is no cell under the camera.
        if (!renderer || !renderer->GetGridWidth() || !renderer->GetGridHeight()) return CString(text);
        const int column = ToInt(m_vCameraPos.x * kRenderScale / static_cast<double>(renderer->GetGridWidth()));
        const int row = ToInt(m_vCameraPos.z * kRenderScale / static_cast<double>(renderer->GetGridHeight()));
        const uint32_t index = static_cast<uint32_t>(row) * 256u + static_cast<uint32_t>(column);
        out.Format("%0.0f ft", renderer->GetHeightSample(index));
        return out;
    }
    if (Is(first, "cyaw")) out.Format("%.0f", m_vCameraAngles.y);
    else if (Is(first, "cpitch")) out.Format("%.0f", m_vCameraAngles.x);
    else if (Is(first, "cy")) out.Format("%.0f", m_vCameraPos.x);
    else if (Is(first, "cx")) out.Format("%.0f", m_vCameraPos.y);
    else if (Is(first, "cz")) out.Format("%.0f", m_vCameraPos.z);
    else if (Is(first, "crange")) {
        const float range = GetCameraRange();
        if (range > -1.0f) out.Format("%.2f m", range);
        else out = "Undefined";
    } else if (Is(first, "cthirdperson")) out.Format("%d", IsThirdPerson() ? 1 : 0);
    else if (Is(first, "clat") || Is(first, "clon")) return out;
    else if (Is(first, "cheading")) out = kCompassPoints[AngleToSector(ToInt(m_vCameraAngles.y), 16)];
    else if (Is(first, "countdown")) {
        // No rules between rounds nor while the loading screen draws.
        if (!engine || !engine->m_rules) return out;
        const int seconds = engine->m_rules->m_secondsLeft;
        if (seconds < 0) return out;
        const int minutes = seconds / 60, rest = seconds % 60;
        if (minutes > 0 && rest > 9) out.Format("%d:%d", minutes, rest);
        else if (minutes > 0) out.Format("%d:0%d", minutes, rest);
        else out.Format("%d", seconds);
    } else if (Is(first, "interfacebg")) {
        if (!engine) return out;
        YString name;
        engine->GameTypeBackground(name);
        out = (const char*)name;
    } else {
        static const char* const kScoreWords[] = {"interfacescorename", "interfacescorevalue", "interfacescorepicture"};
        for (int kind = 0; kind < 3; ++kind)
            for (int row = 0; row < YGameState::ScoreRows; ++row) {
                CString name;
                name.Format("%s%d", kScoreWords[kind], row + 1);
                if (!Is(first, name)) continue;
                if (!engine) return out;
                const CString* texts = kind == 0   ? engine->m_gameState.m_scoreNames
                                       : kind == 1 ? engine->m_gameState.m_scoreValues
                                                   : engine->m_gameState.m_scorePictures;
                return texts[row];
            }
        return CString(text);
    }
    return out;
}

void YAppLayout::UpdateCamera()
{
    YGameObjects* engine = Engine();
    YActorWorld* world = engine ? engine->m_world : nullptr;
    YPlane* plane = LocalPlane();
    if (!world || !plane || world->IndexOf(plane) < 0) return;
    plane->GetWorldTransform(m_vCameraPos, m_vCameraAngles);
}

namespace {
float g_cameraRange = -1.0f;
uint32_t g_cameraRangeTick = 0;
}  // namespace

void YAppLayout::ResetCameraRange()
{
    g_cameraRange = -1.0f;
    g_cameraRangeTick = 0;
}

float YAppLayout::GetCameraRange()
{
    const uint32_t now = GetTickCount();
    if (now - g_cameraRangeTick <= kRangeRefreshMs) return g_cameraRange;
    g_cameraRange = -1.0f;
    g_cameraRangeTick = now;
    YActor* camera = LocalPlane();
    if (!camera || !camera->m_world) return g_cameraRange;
    YVector position, angles;
    camera->GetWorldTransform(position, angles);
    const YVector end = position + angles.FromAngles() * kRangeReach;
    YActor* top = camera;
    while (top->GetParent()) top = top->GetParent();
    YActorWorld* world = top->m_world ? top->m_world : camera->m_world;
    YVector start = position;
    if (world->LineTrace(top, start, end, 0.0f, 0.0f, kRangeTraceFlags) != 0) return g_cameraRange;
    const YTraceResult* hit = world->GetTraceHit();
    if (!hit || (hit->m_hitCode & kRangeIgnoredHit)) return g_cameraRange;
    const YVector point(hit->m_hitPoint[0] / kRenderScale, hit->m_hitPoint[1] / kRenderScale,
                        hit->m_hitPoint[2] / kRenderScale);
    g_cameraRange = position.FastDistance(point);
    return g_cameraRange;
}

bool YAppLayout::IsThirdPerson()
{
    YGameObjects* engine = Engine();
    if (!engine || !engine->m_localClient || !engine->m_world) return false;
    YActorWorld* world = engine->m_world;
    YActor* view = world->GetViewActor();
    if (!view) return false;
    return world->m_cameraOffset.LengthSquared() > 0.0001f || view != LocalPlane();
}
