#include "engine/YEngineCommands.h"

#include <cstdlib>
#include <memory>

#include "assets3d/YSMHandle.h"
#include "engine/YCommandInterpreter.h"
#include "engine/YConsoleCommands.h"
#include "engine/YGameObjects.h"
#include "foundation/YDataCollection.h"
#include "foundation/YObjectParser.h"
#include "gui/ReadScriptFile.h"
#include "gui/YInterfaceMgr.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YGraphics.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"
#include "world/YGameRules.h"
#include "world/YGameServer.h"
#include "world/YGameSession.h"

namespace {
const int kDefaultAttachDistance = 30;

const char* const kLayoutHelp =
    "Manages user interface and general layout visibility\n\naction-chars : s:show h:hide m:modal t:texture "
    "f:bring_to_front b:send_to_back d:debug_textures_toggle\nlayer : indicates which layer to work with (see "
    "below)\nhandler : (optional) indicates name of handler to run behind the layout\nscript[:namedtext] : file "
    "name of layout script, or can be any of the following\n     setting N, string N, layout N (where N is an "
    "index)\n     if a ':' is in the scriptname, it is interpreted as named text from script file\n     NOTE: if "
    "script file is not found, will use first matching 'script.*'\n\nLayer is for visiblity management only. Only "
    "one active layout per layer.\nIf texture layout is requested, the layer must be the registered texture "
    "id\n\nExamples:\nlayout s screen:mainmenu mainmenu.scr\nlayout st 231 setting 178\nlayout f dialog\n";

const char* const kActorHelp =
    "Gives control over individual actors.\n SUBCOMMANDS: \n  POSITION - Sets actor position (parm1 is x, parm2 is "
    "y, parm3 is z)\n  ORIENTION - Sets actor orientation (parm1 is pitch, parm2 is yaw, parm3 is roll)\n  "
    "VELOCITY - Sets actor velocity (parm1 is x, parm2 is y, parm3 is z)\n  SPIN - Sets actor orientation velocity "
    "(parm1 is pitch, parm2 is yaw, parm3 is roll)\n  WOBBLEEXTENTS - Sets actor wobble extents (parm1 is pitch, "
    "parm2 is yaw, parm3 is roll)\n  WOBBLEVELOCITY - Sets actor wobble velocity (parm1 is pitch, parm2 is yaw, "
    "parm3 is roll)\n  BOBBLEEXTENTS - Sets actor bobble extents (parm1 is x, parm2 is y, parm3 is z)\n  "
    "BOBBLEVELOCITY - Sets actor bobble extents (parm1 is x, parm2 is y, parm3 is z)\n  ANIM - plays an animation "
    "(looping) (parms is animation name)\n  SCALE - Sets actor scale (parm is float scale [0-1])\n  VELOCITYSCALE - "
    "Sets actor animvelocityscale (parm is float scale [0-1])\n  ATTACH - Locks an actor to another (for viewing "
    "purposes) (parm1 is attachee, [parm2 is distance (default 30)])\n  BIND - makes an actor a child of another "
    "[attachee attachgroup]\n  KILL - clears out all matching actors\n  FLAG - Sets an actor flag [flag value]\n  "
    "ACTION - Makes actor perform action [action]\n  WATCH - displays vectors for given actor\n";

bool Is(const YString& word, const char* name) { return word.CompareNoCase(name) == 0; }

YGameSession* Session() { return YGameObjects::Instance()->m_session; }

int SessionState()
{
    YGameSession* session = Session();
    return session ? session->m_state : YGameSession::None;
}

void RunSessionAction(int action)
{
    if (YGameSession* session = Session()) session->Action(action);
}

enum ScriptOutcome { ScriptLoaded, ScriptTooLarge };

// A script file read whole or one section of it ("file:section"), into a
// buffer that grows while the reader asks for more.
ScriptOutcome ReadLayoutScript(const YString& script, YString& text)
{
    YString file = script;
    YString section;
    int colon = script.Find(':');
    if (colon >= 0) {
        file = YString(script, colon);
        section = script.Mid(colon + 1);
    }
    for (int size = LayoutScriptBuffer; size <= LayoutScriptLimit; size *= 2) {
        std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(size)]);
        buffer[0] = '\0';
        int result = colon >= 0 ? ReadScriptSection(file, section, buffer.get(), size, true)
                                : ReadScriptFile(file, buffer.get(), size, true);
        if (result == ScriptBufferTooSmall) continue;
        text = buffer.get();
        return ScriptLoaded;
    }
    return ScriptTooLarge;
}
}  // namespace

void ConsoleLayout(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s action-chars layer[:handler] script", name);
    if (mode == 1) {
        *output = kLayoutHelp;
        return;
    }
    YGameObjects* engine = YGameObjects::Instance();
    YString actions, layer, script;
    interpreter->ReadArgument(actions, " ");
    interpreter->ReadArgument(layer, " ");
    interpreter->ReadArgument(script, " ");
    if (actions.IsEmpty()) {
        *output += usage;
        return;
    }
    YInterfaceMgr* manager = engine->m_interfaceMgr;

    actions.MakeLower();
    int flags = 0;
    bool texture = false, toFront = false, toBack = false;
    if (actions.Find('s') >= 0) flags |= YInterfaceMgr::LayoutShow;
    if (actions.Find('h') >= 0) flags &= ~YInterfaceMgr::LayoutShow;
    if (actions.Find('m') >= 0) flags |= YInterfaceMgr::LayoutModal;
    if (actions.Find('t') >= 0) texture = true;
    if (actions.Find('f') >= 0) toFront = true;
    if (actions.Find('b') >= 0) toBack = true;
    if (actions.Find('d') >= 0 && manager) manager->m_debugTextures = !manager->m_debugTextures;

    if (layer.IsEmpty()) return;
    YString handler;
    int colon = layer.Find(':');
    if (colon >= 0) {
        handler = layer.Mid(colon + 1);
        layer = YString(layer, colon);
    }
    int32_t textureId = texture ? rcv_atoi(layer) : 0;

    if (toFront || toBack) {
        if (manager) manager->MoveLayout(layer, toFront);
        return;
    }

    // Shown layouts get their script text; a missing file gives an empty one.
    YString text;
    bool hasText = (flags & YInterfaceMgr::LayoutShow) != 0;
    if (hasText) {
        if (Is(script, "layout") || Is(script, "string") || Is(script, "setting")) {
            YDataCollection* collection = Is(script, "layout")   ? engine->m_layoutValues
                                          : Is(script, "string") ? engine->m_values
                                                                 : engine->m_settings;
            YString index;
            interpreter->ReadArgument(index, " ");
            // The whole value, however long.
            if (collection) text = collection->GetValue(rcv_atoi(index));
        } else if (!script.IsEmpty() && ReadLayoutScript(script, text) == ScriptTooLarge) {
            output->Format("Layout script %s is too large.", (const char*)script);
            return;
        }
    }

    if (!manager) return;
    const char* scriptText = hasText ? (const char*)text : nullptr;
    if (texture) manager->SetTextureLayout(textureId, scriptText, flags, handler);
    else manager->SetLayout(layer, scriptText, flags, handler);
}

void ConsoleSession(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s action [action-parms]", name);
    if (mode == 1) {
        Describe(output, "Manages the current state of the game session.\nActions:\nSET session-property value\nINIT "
                         "MapName\nPAUSE\nEND\n",
                 usage);
        return;
    }
    const char* word = interpreter->NextToken(" ");
    YString action = word ? word : "";
    YString first, second;
    interpreter->ReadArgument(first, "\" ");
    interpreter->ReadArgument(second, "\" ");
    if (action.IsEmpty()) {
        *output += usage;
        return;
    }
    YGameObjects* engine = YGameObjects::Instance();
    YGameSession* session = engine->m_session;
    if (!session) return;

    if (Is(action, "INIT")) {
        engine->ExecuteCommand("session end");
        if (session->m_state != YGameSession::None) return;
        YString map = first;
        map.MakeLower();
        if (map.Find("maps") < 0) map = YString("maps\\") + map;
        map = engine->m_dataDir + "\\" + map;
        if (map.Find(".zon") < 0) map += ".zon";
        engine->m_sessionDesc.m_mapPath = map;
        session->Action(YGameSession::ActionInit);
        // A round that fails to begin has been torn down again.
        const bool begun = session->m_state == YGameSession::Loaded && session->Action(YGameSession::ActionBegin);
        if (!begun) *output = "Failed to initialize session";
    } else if (Is(action, "PAUSE")) {
        session->Action(YGameSession::ActionPause);
    } else if (Is(action, "END")) {
        int state = session->m_state;
        if (state == YGameSession::Playing || state == YGameSession::Paused || state == YGameSession::Demo)
            session->Action(YGameSession::ActionEnd);
    } else if (Is(action, "SET")) {
        if (!first.IsEmpty()) session->m_properties.Set(first, second, 0);
    } else if (Is(action, "DEMO")) {
        session->Action(YGameSession::ActionDemo);
    }
}

void ConsoleSound(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s [action]", name);
    if (mode == 1) {
        Describe(output, "Allows you to perform certain actions with the sound object\n SHOW - Shows info about "
                         "current sound buffers\n",
                 usage);
        return;
    }
    const char* word = interpreter->NextToken(" ");
    if (!word) {
        *output += usage;
        return;
    }
    YGameObjects* engine = YGameObjects::Instance();
    if (_stricmp(word, "SHOW") == 0) engine->m_showSoundInfo = !engine->m_showSoundInfo;
}

void ConsoleObject(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s [objectscript]", name);
    if (mode == 1) {
        Describe(output, "Allows you to edit object definitions.\n", usage);
        return;
    }
    const char* word = interpreter->NextToken(" ");
    YString line = YString(name) + " " + (word ? word : "");
    YObjectParser* parser = YGameObjects::Instance()->m_objectParser;
    if (parser) parser->ParseLine(line);
}

void ConsoleParser(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s [parameter]", name);
    if (mode == 1) {
        Describe(output, "Allows you to perform operations with the 3D engine.\nParameters: \n LOG : Instructs the "
                         "engine to save a log of current status\n SHOT : Moves the camera to an overhead position "
                         "for a map screen shot\n SHOT Parms: [ViewDistance = 200], [Height = 1000], [FogStart = "
                         "2000], [FogEnd = 20000]\n",
                 usage);
        return;
    }
    YString parms[5];
    for (YString& parm : parms) interpreter->ReadArgument(parm, " ,");
    YGameObjects* engine = YGameObjects::Instance();
    YD3D6Parser* renderer = dynamic_cast<YD3D6Parser*>(engine->m_renderer);
    if (Is(parms[0], "LOG")) {
        if (renderer) renderer->GetTextureMemoryStats();
    } else if (Is(parms[0], "SHOT")) {
        int32_t viewDistance = 200;
        float height = 1000.0f;
        int32_t fogStart = 2000;
        int32_t fogEnd = 20000;
        if (!parms[1].IsEmpty()) viewDistance = rcv_atoi(parms[1]);
        if (!parms[2].IsEmpty()) height = static_cast<float>(atof(parms[2]));
        if (!parms[3].IsEmpty()) fogStart = rcv_atoi(parms[3]);
        if (!parms[4].IsEmpty()) fogEnd = rcv_atoi(parms[4]);
        if (renderer) renderer->SetMapShotView(viewDistance, height, fogStart, fogEnd);
        if (engine->m_graphics) engine->m_graphics->SaveScreenShot();
    } else {
        *output = usage;
    }
}

void ConsoleGraphics(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s COMMAND", name);
    if (mode == 1) {
        Describe(output, "Performs some rudimentary graphics commands.\nCommands:\nSETMODE - restarts graphics system\n",
                 usage);
        return;
    }
    YString command;
    interpreter->ReadArgument(command, " \t\n\r,");
    if (Is(command, "SETMODE")) YGameObjects::Instance()->RestartGraphics();
    else output->Format("Graphics command '%s' not recognized.", (const char*)command);
}

void ConsoleExit(YInterpreter*, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s", name);
    if (mode == 1) {
        Describe(output, "Ends the game if currently playing.\n", usage);
        return;
    }
    RunSessionAction(YGameSession::ActionEnd);
}

void ConsoleQuit(YInterpreter*, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s", name);
    if (mode == 1) {
        Describe(output, "Shuts down the game.\n", usage);
        return;
    }
    // The frame window shuts the program down when it closes.
    HWND window = YGameObjects::Instance()->m_hWnd;
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
}

void ConsolePause(YInterpreter*, const char* name, int mode, YString* output)
{
    // No pausing while the winners celebrate; no rules, no celebration.
    YGameRules* rules = YGameObjects::Instance()->m_rules;
    if (rules && rules->m_celebration) return;
    YString usage = Usage("Usage: %s", name);
    if (mode == 1) {
        Describe(output, "Pauses the game if currently playing.\n", usage);
        return;
    }
    RunSessionAction(YGameSession::ActionPause);
}

void ConsoleEscape(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s", name);
    if (mode == 1) {
        Describe(output, "Used to escape out of the program.\n", usage);
        return;
    }
    switch (SessionState()) {
    case YGameSession::Playing: RunSessionAction(YGameSession::ActionPause); break;
    case YGameSession::Paused:
    case YGameSession::Demo: RunSessionAction(YGameSession::ActionEnd); break;
    case YGameSession::None:
        if (YCommandInterpreter* commands = dynamic_cast<YCommandInterpreter*>(interpreter))
            commands->m_escapeRequest = true;
        break;
    default: break;
    }
}

namespace {
YVector Vector(const YString parms[3])
{
    return YVector(static_cast<float>(atof(parms[0])), static_cast<float>(atof(parms[1])),
                   static_cast<float>(atof(parms[2])));
}

// The subcommands that set one of the actor's vectors.
struct VectorField {
    const char* subcommand;
    YVector YActor::*field;
};
const VectorField VectorFields[] = {
    {"POSITION", &YActor::m_position},
    {"ORIENTATION", &YActor::m_angles},
    {"VELOCITY", &YActor::m_velocity},
    {"SPIN", &YActor::m_vectorB},
    {"WOBBLEEXTENTS", &YActor::m_wobbleExtents},
    {"WOBBLEVELOCITY", &YActor::m_wobbleVelocity},
    {"BOBBLEEXTENTS", &YActor::m_bobbleExtents},
    {"BOBBLEVELOCITY", &YActor::m_bobbleVelocity},
};
}  // namespace

void ConsoleActor(YInterpreter* interpreter, const char* name, int mode, YString* output)
{
    YString usage = Usage("Usage: %s SUBCOMMAND ACTOR_IDENTIFIER [Parms...]", name);
    if (mode == 1) {
        Describe(output, kActorHelp, usage);
        return;
    }
    YGameObjects* engine = YGameObjects::Instance();
    YString subcommand;
    interpreter->ReadArgument(subcommand, " ,");
    if (!engine->m_gameServer || subcommand.IsEmpty()) return;
    YString identifier;
    YString parms[3];
    interpreter->ReadArgument(identifier, " ,");
    for (YString& parm : parms) interpreter->ReadArgument(parm, " ,");

    YActorWorld* world = engine->m_world;
    if (!world) return;
    YActor* view = world->GetViewActor();
    int viewIndex = world->IndexOf(view);
    if (Is(identifier, "[camera]") && view) identifier = view->m_name;
    int index = world->FindActor(viewIndex, identifier);
    YActor* actor = world->GetActor(index);

    if (Is(subcommand, "WATCH")) {
        engine->m_gameServer->m_watchedActor = actor;
        return;
    }
    if (!actor) return;

    for (const VectorField& vector : VectorFields) {
        if (Is(subcommand, vector.subcommand)) {
            actor->*vector.field = Vector(parms);
            return;
        }
    }
    if (Is(subcommand, "SCALE")) {
        actor->m_scale = static_cast<float>(atof(parms[0]));
    } else if (Is(subcommand, "VELOCITYSCALE")) {
        actor->m_auxFloatC = static_cast<float>(atof(parms[0]));
    } else if (Is(subcommand, "ANIM")) {
        YSMHandle* model = actor->GetModelInstance();
        if (!model) return;
        int16_t animation = model->FindAnimation((const char*)parms[0]);
        if (animation < 0) output->Format("Animation %s not found in the model.", (const char*)parms[0]);
        else model->PlayAnimation(animation, 1.0f, YSMHandle::kPlayLoop, 0, 0, 1);
    } else if (Is(subcommand, "ACTION")) {
        actor->PerformAction(parms[0]);
    } else if (Is(subcommand, "ATTACH")) {
        int target = world->FindActor(viewIndex, parms[0]);
        if (target < 0) {
            output->Format("Actor '%s' not found.", (const char*)parms[0]);
            return;
        }
        if (!view) {
            *output = "There is no view to attach.";
            return;
        }
        int distance = parms[1].IsEmpty() ? kDefaultAttachDistance : rcv_atoi(parms[1]);
        world->SetTether(viewIndex, target, distance);
    } else if (Is(subcommand, "BIND")) {
        YActor* parent = world->GetActor(world->FindActor(viewIndex, parms[0]));
        if (!parent || !parent->GetModelInstance()) return;
        // The actor itself, or one above the parent, would close a loop.
        if (parent->IsRelatedTo(actor, true, false)) {
            output->Format("Cannot make %s a child of %s.", (const char*)identifier, (const char*)parms[0]);
            return;
        }
        parent->AddChild(actor);
        actor->m_attachGroup = parent->GetModelInstance()->FindGroup((const char*)parms[1]);
        actor->m_position = YVector();
        actor->m_angles = YVector();
        actor->m_velocity = YVector();
    } else if (Is(subcommand, "KILL")) {
        // Each removal takes the actor out of its slot, so the walk ends.
        while (actor) {
            world->RemoveActor(actor, 1);
            if (world->IndexOf(actor) >= 0) break;
            index = world->FindActor(index, identifier);
            actor = world->GetActor(index);
        }
    } else if (Is(subcommand, "FLAG")) {
        if (!parms[1].IsEmpty()) actor->SetFlag(parms[0], rcv_atoi(parms[1]) != 0);
        else output->Format("%s : %s = %d", (const char*)identifier, (const char*)parms[0], actor->GetFlag(parms[0]));
    }
}
