#include "engine/YEngineCallbacks.h"

#include "engine/YCommandDialog.h"
#include "engine/YCommandInterpreter.h"
#include "engine/YGameObjects.h"
#include "game/YClientInfo.h"
#include "game/YPlane.h"
#include "gui/YInterfaceMgr.h"
#include "renderer/YGraphics.h"
#include "sound/YSound.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"
#include "world/YGameSession.h"

namespace {
DWORD g_lastKeepAlive = 0;
int g_lastAxis[2] = {0, 0};

void SendAxis(int index, int value, const YString& verb)
{
    if (value == g_lastAxis[index]) return;
    YString line;
    if (value == 0) line.Format("-%s", (const char*)verb);
    else line.Format("+%s %d", (const char*)verb, value);
    YGameObjects::Instance()->ExecuteCommand(line);
    g_lastAxis[index] = value;
}
}  // namespace

// The object is an actor; the answer is its render record.
DWORD_PTR ObjectTest(void* object, DWORD flags)
{
    if (!(flags & 0x2) || !object) return 0;
    return reinterpret_cast<DWORD_PTR>(static_cast<YActor*>(object)->BuildRenderInstance());
}

void* ModelEnumerator(int* cursor)
{
    YGameObjects* engine = YGameObjects::Instance();
    if (!cursor) return nullptr;
    if (engine->m_world && engine->m_localClient) {
        const YVector& view = engine->m_world->m_cameraOffset;
        float squared = view.x * view.x + view.y * view.y + view.z * view.z;
        if (!(squared <= 0.0001f) || engine->m_world->GetViewActor() != engine->m_localClient->m_plane) {
            *cursor = -1;
            return nullptr;
        }
    }
    if (!engine->m_world2 || !engine->m_localClient) {
        *cursor = -1;
        return nullptr;
    }
    // The cursor steps through the slots; one past the last ends it.
    if (*cursor < 0 || *cursor > engine->m_world2->GetHighestIndex()) {
        *cursor = -1;
        return nullptr;
    }
    YActor* actor = engine->m_world2->GetActor(*cursor);
    ++*cursor;
    if (!actor || !(actor->m_flagsA & YActor::FlagVisible) || actor->m_noRender) return nullptr;
    YRenderInstance* record = actor->BuildRenderInstance();
    return record && record->m_model ? record : nullptr;
}

void LoadingKeepAlive()
{
    DWORD now = GetTickCount();
    if (g_lastKeepAlive != 0 && !(now > g_lastKeepAlive + 1000)) return;
    YGameSession* session = YGameObjects::Instance()->m_session;
    if (session) session->AdvanceProgress();
    g_lastKeepAlive = now;
}

float RangeTest(LONG a, LONG b, LONG x)
{
    if (a <= b) return (a <= x && x <= b) ? 1.0f : 0.0f;
    return (x < b || x > a) ? 1.0f : 0.0f;
}

void CommandCallback(const char* line)
{
    YGameObjects* engine = YGameObjects::Instance();
    if (!engine->m_interpreter || !line) return;
    YString output;
    engine->m_interpreter->ExecuteCommand(line, &output);
}

void AxisCallback(int a, int b)
{
    YGameObjects* engine = YGameObjects::Instance();
    SendAxis(0, a, engine->m_yawVerb);
    SendAxis(1, b, engine->m_pitchVerb);
}

// The collision pass comes with the game actors.
void CollisionCallback(DWORD_PTR, DWORD_PTR, DWORD_PTR) {}

int ModalStep()
{
    YGameObjects* engine = YGameObjects::Instance();
    // Set again, the console moves to the end of the children and is drawn last.
    if (engine->m_console && engine->m_interfaceMgr) {
        YWindow* root = engine->m_interfaceMgr->GetRootWindow();
        if (engine->m_console->GetParent() == root) engine->m_console->SetParent(root);
    }
    if (engine->m_interfaceMgr) engine->m_interfaceMgr->Step();
    if (engine->m_sound) engine->m_sound->Update();
    if (engine->m_graphics) engine->m_graphics->RunFrame();
    if (engine->m_session) engine->m_session->Tick();
    return 0;
}

void ResetEngineCallbacks()
{
    g_lastKeepAlive = 0;
    g_lastAxis[0] = g_lastAxis[1] = 0;
}
