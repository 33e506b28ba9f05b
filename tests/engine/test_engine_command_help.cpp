// HELP shows each engine command's description and usage line under the name
// it was asked by.
#include "engine/EngineCommandsFixture.h"

namespace {
class EngineCommandHelp : public EngineCommandsTest {};

const char* const LayoutDescription =
    "Manages user interface and general layout visibility\n\naction-chars : s:show h:hide m:modal t:texture "
    "f:bring_to_front b:send_to_back d:debug_textures_toggle\nlayer : indicates which layer to work with (see "
    "below)\nhandler : (optional) indicates name of handler to run behind the layout\nscript[:namedtext] : file name "
    "of layout script, or can be any of the following\n     setting N, string N, layout N (where N is an index)\n     "
    "if a ':' is in the scriptname, it is interpreted as named text from script file\n     NOTE: if script file is "
    "not found, will use first matching 'script.*'\n\nLayer is for visiblity management only. Only one active layout "
    "per layer.\nIf texture layout is requested, the layer must be the registered texture id\n\nExamples:\nlayout s "
    "screen:mainmenu mainmenu.scr\nlayout st 231 setting 178\nlayout f dialog\n";

const char* const ActorDescription =
    "Gives control over individual actors.\n SUBCOMMANDS: \n  POSITION - Sets actor position (parm1 is x, parm2 is y, "
    "parm3 is z)\n  ORIENTION - Sets actor orientation (parm1 is pitch, parm2 is yaw, parm3 is roll)\n  VELOCITY - "
    "Sets actor velocity (parm1 is x, parm2 is y, parm3 is z)\n  SPIN - Sets actor orientation velocity (parm1 is "
    "pitch, parm2 is yaw, parm3 is roll)\n  WOBBLEEXTENTS - Sets actor wobble extents (parm1 is pitch, parm2 is yaw, "
    "parm3 is roll)\n  WOBBLEVELOCITY - Sets actor wobble velocity (parm1 is pitch, parm2 is yaw, parm3 is roll)\n  "
    "BOBBLEEXTENTS - Sets actor bobble extents (parm1 is x, parm2 is y, parm3 is z)\n  BOBBLEVELOCITY - Sets actor "
    "bobble extents (parm1 is x, parm2 is y, parm3 is z)\n  ANIM - plays an animation (looping) (parms is animation "
    "name)\n  SCALE - Sets actor scale (parm is float scale [0-1])\n  VELOCITYSCALE - Sets actor animvelocityscale "
    "(parm is float scale [0-1])\n  ATTACH - Locks an actor to another (for viewing purposes) (parm1 is attachee, "
    "[parm2 is distance (default 30)])\n  BIND - makes an actor a child of another [attachee attachgroup]\n  KILL - "
    "clears out all matching actors\n  FLAG - Sets an actor flag [flag value]\n  ACTION - Makes actor perform action "
    "[action]\n  WATCH - displays vectors for given actor\n";
}  // namespace

TEST_F(EngineCommandHelp, EachCommandDescribesItselfThenItsUsage)
{
    struct Case {
        const char* command;
        const char* description;
        const char* usage;
    };
    const Case cases[] = {
        {"ACTOR", ActorDescription, "Usage: ACTOR SUBCOMMAND ACTOR_IDENTIFIER [Parms...]"},
        {"SESSION",
         "Manages the current state of the game session.\nActions:\nSET session-property value\nINIT "
         "MapName\nPAUSE\nEND\n",
         "Usage: SESSION action [action-parms]"},
        {"SOUND",
         "Allows you to perform certain actions with the sound object\n SHOW - Shows info about current sound "
         "buffers\n",
         "Usage: SOUND [action]"},
        {"OBJECT", "Allows you to edit object definitions.\n", "Usage: OBJECT [objectscript]"},
        {"PARSER",
         "Allows you to perform operations with the 3D engine.\nParameters: \n LOG : Instructs the engine to save a "
         "log of current status\n SHOT : Moves the camera to an overhead position for a map screen shot\n SHOT Parms: "
         "[ViewDistance = 200], [Height = 1000], [FogStart = 2000], [FogEnd = 20000]\n",
         "Usage: PARSER [parameter]"},
        {"GRAPHICS", "Performs some rudimentary graphics commands.\nCommands:\nSETMODE - restarts graphics system\n",
         "Usage: GRAPHICS COMMAND"},
        {"EXIT", "Ends the game if currently playing.\n", "Usage: EXIT"},
        {"QUIT", "Shuts down the game.\n", "Usage: QUIT"},
        {"PAUSE", "Pauses the game if currently playing.\n", "Usage: PAUSE"},
        {"ESCAPE", "Used to escape out of the program.\n", "Usage: ESCAPE"},
        // LAYOUT describes itself without a usage line.
        {"LAYOUT", LayoutDescription, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        std::string lower = c.command;
        for (char& ch : lower) ch = static_cast<char>(tolower(ch));
        EXPECT_EQ(std::string(c.description) + c.usage, Run("help " + lower));
        EXPECT_EQ(std::string(c.description) + c.usage, Run("? " + std::string(c.command)));
    }
}

TEST_F(EngineCommandHelp, UsageLinesWhenTheCommandLacksItsWords)
{
    struct Case {
        const char* line;
        const char* output;
    };
    const Case cases[] = {
        {"layout", "Usage: LAYOUT action-chars layer[:handler] script"},
        {"Session", "Usage: SESSION action [action-parms]"},
        {"sound", "Usage: SOUND [action]"},
        {"parser", "Usage: PARSER [parameter]"},
        {"parser nonsense", "Usage: PARSER [parameter]"},
        {"graphics", "Graphics command '' not recognized."},
        {"graphics wobble", "Graphics command 'wobble' not recognized."},
        // ACTOR without a subcommand says nothing.
        {"actor", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        bool taken = false;
        EXPECT_EQ(c.output, Run(c.line, &taken));
        EXPECT_TRUE(taken);
    }
}

TEST_F(EngineCommandHelp, PauseSaysNothingWhileTheWinnersCelebrate)
{
    YGameRules rules;
    YActor celebration;
    rules.m_celebration = &celebration;
    m_engine->m_rules = &rules;
    EXPECT_EQ("", Run("help pause"));
    rules.m_celebration = nullptr;
    EXPECT_EQ("Pauses the game if currently playing.\nUsage: PAUSE", Run("help pause"));
    m_engine->m_rules = nullptr;
}
