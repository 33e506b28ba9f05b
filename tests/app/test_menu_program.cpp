// The real program, headless, opens the sample menu from its start-up command
// file; scripted mouse clicks and keys work its controls, and the settings
// they change are in "config.cfg" after the Quit button ends the game.
#include "ProgramRun.h"
#include "FrameBmp.h"

#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

// Builds an input script: the mouse moves by differences from where the
// script left it.
class Clicks {
public:
    void At(int frame, int x, int y)
    {
        Line(frame, "mouse move " + std::to_string(x - m_x) + " " + std::to_string(y - m_y));
        m_x = x;
        m_y = y;
    }
    // Move there, press, release: one pass each.
    int Click(int frame, int x, int y)
    {
        At(frame, x, y);
        Line(frame + 1, "mouse button 1 down");
        Line(frame + 2, "mouse button 1 up");
        return frame + 6;
    }
    void Line(int frame, const std::string& event) { m_text += std::to_string(frame) + " " + event + "\n"; }
    const std::string& Text() const { return m_text; }

private:
    int m_x = 0, m_y = 0;
    std::string m_text;
};

// Where the sample menu puts its controls.
const int kDogfight[2] = {240, 102};
const int kSliderEnd[2] = {338, 170};
const int kMusicOff[2] = {60, 220};
const int kOpponent[2] = {190, 284};
const int kNextPage[2] = {100, 414};
const int kQuit[2] = {540, 414};
const int kTrack[2] = {200, 170};

// 16-bit samples of a RIFF wave: the greatest magnitude.
int Peak(const std::string& wave)
{
    int peak = 0;
    for (size_t at = 44; at + 1 < wave.size(); at += 2) {
        const int16_t sample = static_cast<int16_t>(static_cast<uint8_t>(wave[at]) | static_cast<uint8_t>(wave[at + 1]) << 8);
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak;
}

}  // namespace

class MenuProgram : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        fs::create_directories(m_dir / "frames");
        // The sample command file opens the menu.
        Write("config.cfg", "set sys_exec \"menu.cfg\"\nset snd_enabled \"1\"\n");
        WithoutSetupScreen();
    }
    ProgramResult Run(const Clicks& clicks, int frames)
    {
        Write("input.txt", clicks.Text());
        return RunWith("RCV_INPUT_SCRIPT=input.txt RCV_FRAME_DUMP=frames RCV_AUDIO_DUMP=mix.wav", frames);
    }
    // The value "set KEY VALUE" wrote for a key, without quotes.
    std::map<std::string, std::string> Settings() const
    {
        std::map<std::string, std::string> values;
        std::istringstream in(Read("config.cfg"));
        for (std::string line; std::getline(in, line);) {
            std::istringstream words(line);
            std::string set, key, value;
            if (!(words >> set >> key) || set != "set") continue;
            std::getline(words, value);
            while (!value.empty() && (value.front() == ' ' || value.front() == '"')) value.erase(0, 1);
            while (!value.empty() && (value.back() == '"' || value.back() == '\r' || value.back() == ' ')) value.pop_back();
            values[key] = value;
        }
        return values;
    }
    int FrameCount() const
    {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(m_dir / "frames")) count += entry.path().extension() == ".bmp";
        return count;
    }
    Frame FrameAt(int index) const
    {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(m_dir / "frames")) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        if (index < 0) index += static_cast<int>(files.size());
        if (index < 0 || index >= static_cast<int>(files.size())) return Frame();
        return ReadBmpFile(files[static_cast<size_t>(index)]);
    }
};

TEST_F(MenuProgram, ClicksAndTypingChangeTheSettingsSavedAtQuit)
{
    Clicks clicks;
    int frame = 20;
    frame = clicks.Click(frame, kDogfight[0], kDogfight[1]);
    frame = clicks.Click(frame, kSliderEnd[0], kSliderEnd[1]);
    frame = clicks.Click(frame, kMusicOff[0], kMusicOff[1]);
    frame = clicks.Click(frame, kOpponent[0], kOpponent[1]);
    clicks.Line(frame, "text Ace");
    clicks.Line(frame + 4, "key down Return");
    clicks.Line(frame + 5, "key up Return");
    frame = clicks.Click(frame + 8, kQuit[0], kQuit[1]);
    const int limit = frame + 200;
    const ProgramResult result = Run(clicks, limit);
    ASSERT_EQ(0, result.exitCode) << result.err;

    // The Quit button ended the run long before the frame limit.
    EXPECT_LT(FrameCount(), frame + 20);
    const std::map<std::string, std::string> settings = Settings();
    const std::pair<const char*, const char*> expected[] = {
        {"sys_game_type", "dogfight"},
        {"sys_game_level", "4"},
        {"snd_music", "0"},
        {"sys_opponent", "Ace"},
    };
    for (const auto& [key, value] : expected) {
        auto found = settings.find(key);
        ASSERT_NE(found, settings.end()) << key << " missing from config.cfg:\n" << Read("config.cfg");
        EXPECT_EQ(value, found->second) << key;
    }
    // The clicks and the mouse passing over the buttons were heard.
    EXPECT_GT(Peak(Read("mix.wav")), 1000);
}

TEST_F(MenuProgram, TheTypedNameIsOneArgumentAndAQuickReturnTapIsNotLost)
{
    // "Ace;quit" used to run "set sys_opponent Ace" and then quit the game;
    // Return pressed and released within one frame used to be lost.
    Clicks clicks;
    int frame = clicks.Click(20, kOpponent[0], kOpponent[1]);
    clicks.Line(frame, "text Ace;quit");
    clicks.Line(frame + 4, "key down Return");
    clicks.Line(frame + 4, "key up Return");
    const int limit = frame + 30;
    const ProgramResult result = Run(clicks, limit);
    ASSERT_EQ(0, result.exitCode) << result.err;
    // Nothing quit: the run went on to the frame limit.
    EXPECT_GE(FrameCount(), limit);
    const std::map<std::string, std::string> settings = Settings();
    ASSERT_TRUE(settings.count("sys_opponent")) << Read("config.cfg");
    EXPECT_EQ("Ace;quit", settings.at("sys_opponent"));
}

namespace {
// Rows between 100 and 300 lit white from edge to edge: the console's line
// above its input line (the menu draws none there).
int WhiteRows(const Frame& frame)
{
    int rows = 0;
    for (int y = 100; y < 300 && y < frame.height; ++y) {
        int lit = 0;
        for (int x = 0; x < frame.width; ++x) lit += Near(frame.At(x, y), Rgb(255, 255, 255));
        rows += lit == frame.width;
    }
    return rows;
}
}  // namespace

TEST_F(MenuProgram, TheConsoleOpensOverTheModalMenuKeepsTheKeysAndClosesWithF2)
{
    // The console used to run beneath the full-screen menu: never seen, its
    // keys taken by the menu's edit box, so F2 could not close it.
    Clicks clicks;
    clicks.Line(20, "key down F2");
    clicks.Line(21, "key up F2");
    clicks.Line(24, "text set gfx_fog 1");
    clicks.Line(26, "key down Return");
    clicks.Line(27, "key up Return");
    clicks.Line(30, "key down F2");
    clicks.Line(31, "key up F2");
    Write("config.cfg", "set sys_exec \"menu.cfg\"\nset gfx_fog \"0\"\n");
    const ProgramResult result = Run(clicks, 40);
    ASSERT_EQ(0, result.exitCode) << result.err;
    EXPECT_EQ(0, WhiteRows(FrameAt(15)));
    EXPECT_EQ(1, WhiteRows(FrameAt(25)));
    EXPECT_EQ(0, WhiteRows(FrameAt(-1)));
    const std::map<std::string, std::string> settings = Settings();
    EXPECT_EQ("1", settings.at("gfx_fog"));
    EXPECT_EQ("", settings.count("sys_opponent") ? settings.at("sys_opponent") : "");
}

TEST_F(MenuProgram, WithoutInputTheMenuStaysSilentAndTheSettingsKeepTheirValues)
{
    const ProgramResult result = Run(Clicks(), 30);
    ASSERT_EQ(0, result.exitCode) << result.err;
    EXPECT_GE(FrameCount(), 20);
    const std::map<std::string, std::string> settings = Settings();
    EXPECT_NE("dogfight", settings.count("sys_game_type") ? settings.at("sys_game_type") : "");
    const std::string mix = Read("mix.wav");
    ASSERT_GT(mix.size(), 44u);
    EXPECT_EQ(0, Peak(mix));
    // The slider's track is drawn where the menu places it.
    const Frame last = FrameAt(-1);
    ASSERT_EQ(640, last.width);
    EXPECT_TRUE(Near(last.At(kTrack[0], kTrack[1]), Rgb(24, 32, 48))) << std::hex << last.At(kTrack[0], kTrack[1]);
}

TEST_F(MenuProgram, NextPageOpensTheSecondPageWhoseQuitEndsTheGame)
{
    Clicks clicks;
    int frame = clicks.Click(20, kNextPage[0], kNextPage[1]);
    frame = clicks.Click(frame + 4, kQuit[0], kQuit[1]);
    const ProgramResult result = Run(clicks, frame + 200);
    ASSERT_EQ(0, result.exitCode) << result.err;
    EXPECT_LT(FrameCount(), frame + 20);
    // Before: the first page's slider track; after the page change: none.
    const Frame before = FrameAt(15), after = FrameAt(-1);
    ASSERT_EQ(640, before.width);
    ASSERT_EQ(640, after.width);
    EXPECT_TRUE(Near(before.At(kTrack[0], kTrack[1]), Rgb(24, 32, 48)));
    EXPECT_TRUE(Near(after.At(kTrack[0], kTrack[1]), Rgb(0, 0, 40)));
}
