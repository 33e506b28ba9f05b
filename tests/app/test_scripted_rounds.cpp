// Scripted rounds of every game type on the real program, headless: the
// engine starts as the program starts it, StartGame begins the round on
// "Meadow" as the setup screen will, and a round script sets at chosen game
// times what the planes, balloons, balls and targets will set once they fly.
// Each round reaches one of its ends; the dumped frames show its screens in
// turn, and "config.cfg" keeps the high scores after the shut-down.
#include "FrameBmp.h"
#include "ProgramRun.h"

#include <map>

#include "engine/YGameConfig.h"
#include <regex>
#include <string>
#include <vector>

#if defined(ROUND_SCRIPT_BIN)
namespace {
// The screens' background colours, one per phase.
const uint32_t kPre = Rgb(0, 40, 80);
const uint32_t kRun = Rgb(0, 70, 20);
const uint32_t kMid = Rgb(70, 70, 0);
const uint32_t kPost = Rgb(80, 20, 0);
const uint32_t kOver = Rgb(20, 20, 20);
const int kEvery = 5;  // every fifth frame is dumped

struct Round {
    std::string trace;
    std::map<std::string, std::string> scores;  // "hs_..." key -> value, from config.cfg
    std::string phases;                          // the screens seen in turn: p r m o x
};

class ScriptedRound : public ProgramTest {
protected:
    // Plays the script with round time `seconds` for `frames` frames of 50 ms.
    Round Play(const std::string& type, int seconds, const std::string& script, int frames)
    {
        for (int n = 0; n < 10; ++n) Write((type + std::to_string(n) + ".rcs").c_str(), std::to_string(seconds) + "\n");
        // Each round starts from the sample settings.
        if (m_settings.empty()) m_settings = Read("config.cfg");
        Write("config.cfg", m_settings + "\nset sys_map \"Meadow\"\n");
        Write("round.txt", script);
        std::filesystem::remove_all(m_dir / "frames");
        std::filesystem::create_directories(m_dir / "frames");
        const std::string command = "cd '" + m_dir.string() +
                                    "' && RCV_BACKEND=headless RCV_FIXED_STEP_MS=50 RCV_SEED=9 RCV_MAX_FRAMES=" +
                                    std::to_string(frames) + " RCV_FRAME_DUMP=frames RCV_FRAME_DUMP_EVERY=" +
                                    std::to_string(kEvery) + " timeout 600 '" ROUND_SCRIPT_BIN
                                    "' round.txt > trace.txt 2> stderr.txt";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << Read("stderr.txt");
        Round round;
        round.trace = Read("trace.txt");
        const std::string saved = Read("config.cfg");
        const std::regex line("set (hs_[a-z]+_e[0-9]_s[0-9]) \"([^\"]*)\"");
        for (std::sregex_iterator it(saved.begin(), saved.end(), line), end; it != end; ++it)
            round.scores[(*it)[1]] = (*it)[2];
        for (int i = kEvery; i <= frames; i += kEvery) {
            char name[32];
            snprintf(name, sizeof name, "frame%06d.bmp", i);
            const Frame f = ReadBmpFile(m_dir / "frames" / name);
            if (f.width == 0) break;
            const uint32_t c = f.At(5, 5);
            char phase = 0;
            if (Near(c, kPre)) phase = 'p';
            else if (Near(c, kRun)) phase = 'r';
            else if (Near(c, kMid)) phase = 'm';
            else if (Near(c, kPost)) phase = 'o';
            else if (Near(c, kOver)) phase = 'x';
            if (phase && (round.phases.empty() || round.phases.back() != phase)) round.phases += phase;
        }
        return round;
    }

    std::string m_settings;

    static bool Has(const Round& r, const std::string& text) { return r.trace.find(text) != std::string::npos; }
    // The rules' states in turn, from the trace.
    static std::string States(const Round& r)
    {
        std::string states;
        const std::regex line("state ([0-9])");
        for (std::sregex_iterator it(r.trace.begin(), r.trace.end(), line), end; it != end; ++it) states += (*it)[1];
        return states;
    }
    // The game clock at which the rules entered the state.
    static long ClockOf(const Round& r, int state)
    {
        std::smatch m;
        const std::regex line("state " + std::to_string(state) + " clock ([0-9]+)");
        return std::regex_search(r.trace, m, line) ? std::stol(m[1]) : -1;
    }
    // The row of table t as "name|value|picture".
    static std::string Row(const Round& r, int t, int row)
    {
        const std::string suffix = std::to_string(t) + "_s" + std::to_string(row);
        auto get = [&](const char* prefix) {
            auto it = r.scores.find(std::string(prefix) + suffix);
            return it == r.scores.end() ? std::string("?") : it->second;
        };
        return get("hs_nam_e") + "|" + get("hs_val_e") + "|" + get("hs_pic_e");
    }
    // Every table but `changed` as the default tables hold it.
    static void ExpectOtherTablesUnchanged(const Round& r, int changed)
    {
        const YGameConfig defaults;
        for (int t = 0; t < YGameConfig::GameTypes; ++t) {
            if (t == changed) continue;
            for (int i = 0; i < YGameConfig::ScoreRows; ++i) {
                YHighScore row;
                defaults.GetHighScore(t, i, row);
                const std::string expected = std::string(row.m_name) + "|" + (const char*)row.m_value + "|" +
                                             (const char*)row.m_picture;
                EXPECT_EQ(expected, Row(r, t, i)) << "table " << t << " row " << i;
            }
        }
    }
};
}  // namespace

TEST_F(ScriptedRound, AirRaceWonByThePlayer)
{
    const Round r = Play("airrace", 90, "start 2 1 0\n5000 raceended local\n", 260);
    EXPECT_TRUE(Has(r, "started playing rules 1")) << r.trace;
    EXPECT_EQ("1256", States(r)) << r.trace;
    EXPECT_TRUE(Has(r, "outcome won 1 tie 0 winner local newentry 5")) << r.trace;
    EXPECT_TRUE(Has(r, "session 6")) << "session demo at round over";
    EXPECT_EQ("prox", r.phases);
    // 88 seconds left at the finish, 2 s into the run: the player's row at place 5.
    EXPECT_EQ("|88|Interface2:char_icon_user", Row(r, 2, 4));
    EXPECT_EQ("Tailspin Halvorn|100|Interface2:char_icon_halvorn", Row(r, 2, 3));
    ExpectOtherTablesUnchanged(r, 2);
}

TEST_F(ScriptedRound, AirRaceLostTiedAndTimedOut)
{
    Round r = Play("airrace", 90, "start 2 4 0\n5000 raceended bot\n", 260);
    EXPECT_TRUE(Has(r, "outcome won 0 tie 0 winner bot newentry 0 word 2")) << r.trace;
    EXPECT_EQ("Rocket Kordel|88|Interface2:char_icon_kordel", Row(r, 2, 4));
    ExpectOtherTablesUnchanged(r, 2);

    r = Play("airrace", 90, "start 2 0 0\n5000 raceended local\n5000 raceended bot\n", 260);
    EXPECT_TRUE(Has(r, "outcome won 0 tie 1 winner none newentry 0 word 2")) << r.trace;
    ExpectOtherTablesUnchanged(r, -1);

    r = Play("airrace", 45, "start 2 0 0\n", 1100);
    EXPECT_EQ("1256", States(r));
    EXPECT_EQ(45000, ClockOf(r, 5) - ClockOf(r, 2)) << r.trace;
    EXPECT_TRUE(Has(r, "outcome won 0 tie 0 winner none newentry 0")) << r.trace;
    EXPECT_EQ("prox", r.phases);
}

TEST_F(ScriptedRound, DogfightByAPlaneDownAndByTime)
{
    Round r = Play("dogfight", 60, "start 1 0 0\n0 hits local 2\n0 hits bot 1\n6000 down bot\n", 260);
    EXPECT_EQ("1256", States(r)) << r.trace;
    EXPECT_TRUE(Has(r, "outcome won 1 tie 0")) << r.trace;
    // (s + (5 - 2) * 4) * 5, s the seconds left at the decision, 3 s into the
    // run; the bot, not down, scores nothing.
    const int expected = (57 + 12) * 5;
    bool found = false;
    for (int i = 0; i < 5; ++i) {
        found |= Row(r, 1, i) == "|" + std::to_string(expected) + "|Interface2:char_icon_user";
        EXPECT_EQ(std::string::npos, Row(r, 1, i).find("|0|"));
    }
    EXPECT_TRUE(found) << "the player's row";
    ExpectOtherTablesUnchanged(r, 1);

    r = Play("dogfight", 20, "start 1 0 0\n", 600);
    EXPECT_EQ("1256", States(r));
    EXPECT_EQ(20000, ClockOf(r, 5) - ClockOf(r, 2));
    EXPECT_TRUE(Has(r, "outcome won 0 tie 0 winner none newentry 0 word 2")) << r.trace;
    EXPECT_EQ("prox", r.phases);
    ExpectOtherTablesUnchanged(r, -1);
}

TEST_F(ScriptedRound, BalloonDropThroughBothRuns)
{
    const Round r = Play("balloon", 60,
                         "start 0 2 0\n0 balloon\n0 target\n0 target\n4000 balloons local 2\n4000 score local 900\n"
                         "5000 emptyballoons\n14000 hittargets\n",
                         460);
    EXPECT_EQ("123456", States(r)) << r.trace;
    EXPECT_TRUE(Has(r, "outcome won 1 tie 0")) << r.trace;
    EXPECT_EQ("prmrox", r.phases);
    // 900 + 2 x 10 for the player.
    EXPECT_EQ("|920|Interface2:char_icon_user", Row(r, 0, 0));
    ExpectOtherTablesUnchanged(r, 0);
}

TEST_F(ScriptedRound, BalloonDropEndingAfterTheMidRound)
{
    const Round r = Play("balloon", 60, "start 0 0 0\n0 balloon\n5000 emptyballoons\n", 300);
    EXPECT_EQ("1236", States(r)) << r.trace;
    EXPECT_TRUE(Has(r, "outcome won 0")) << r.trace;
    EXPECT_TRUE(Has(r, "session 6"));
    EXPECT_EQ("prmx", r.phases);
    ExpectOtherTablesUnchanged(r, -1);
}

TEST_F(ScriptedRound, TunnixByTheLastBallAndByTime)
{
    Round r = Play("tunnix", 60,
                   "start 3 3 0\n0 ball\n0 ball\n4000 score local 700\n4000 score bot 300\n6000 emptyballs\n", 300);
    EXPECT_EQ("1256", States(r)) << r.trace;
    EXPECT_TRUE(Has(r, "outcome won 1 tie 0")) << r.trace;
    EXPECT_EQ("prox", r.phases);
    EXPECT_NE(std::string::npos, r.trace.find("newentry"));
    bool player = false, bot = false;
    for (int i = 0; i < 5; ++i) {
        player |= Row(r, 3, i) == "|700|Interface2:char_icon_user";
        bot |= Row(r, 3, i) == "Jetspeed Varnel|300|Interface2:char_icon_varnel";
    }
    EXPECT_TRUE(player) << Row(r, 3, 0);
    EXPECT_TRUE(bot) << Row(r, 3, 0);
    ExpectOtherTablesUnchanged(r, 3);

    r = Play("tunnix", 20, "start 3 0 0\n0 ball\n", 600);
    EXPECT_EQ("1256", States(r));
    EXPECT_EQ(20000, ClockOf(r, 5) - ClockOf(r, 2)) << r.trace;
    EXPECT_TRUE(Has(r, "outcome won 1 tie 0 winner none newentry 0 word 2")) << "0 to 0 is the player's";
}

TEST_F(ScriptedRound, PracticeRunsUntilThePlayerEndsIt)
{
    const Round r = Play("airrace", 5, "start 2 0 1\n60000 post\n61000 command session end\n", 1400);
    EXPECT_TRUE(Has(r, "started playing rules 1")) << r.trace;
    EXPECT_EQ("125", States(r)) << r.trace;
    EXPECT_GE(ClockOf(r, 5) - ClockOf(r, 2), 50000) << "no end by itself";
    EXPECT_TRUE(Has(r, "script 61000 command  session end"));
    const size_t ended = r.trace.find("script 61000");
    ASSERT_NE(std::string::npos, ended);
    EXPECT_NE(std::string::npos, r.trace.find("session 0", ended)) << r.trace;
    ExpectOtherTablesUnchanged(r, -1);
}
#endif
