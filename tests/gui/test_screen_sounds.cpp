// A screen's click sound for its clicked children and its second sound,
// played through sound buffers on the headless device.
#include <gtest/gtest.h>

#include <memory>

#include "gui/YScreen.h"
#include "sound/SoundFixture.h"
#include "sound/YDXSoundBuffer.h"

namespace {

class ScreenSounds : public SoundFixture {};

}  // namespace

TEST_F(ScreenSounds, ClicksOnEnabledChildrenWithTheFlagPlayTheClickSound)
{
    auto click = ToneBuffer("click.wav");
    auto second = ToneBuffer("second.wav");
    struct Case {
        int id, code;
        bool plays;
    };
    // Child 1 plain, 2 disabled, 3 without the click-sound flag; 9 is no child.
    const Case cases[] = {{1, YWindow::kNotifyClicked, true},       {1, YWindow::kNotifyRightClicked, false},
                          {2, YWindow::kNotifyClicked, false},      {3, YWindow::kNotifyClicked, false},
                          {9, YWindow::kNotifyClicked, false}};
    for (const Case& c : cases) {
        YScreen screen;
        for (int id = 1; id <= 3; ++id) {
            YWindow* child = new YWindow;
            RECT r = {0, 0, 10, 10};
            child->YWindow::Create(0, "", 0, &r, &screen, id, 0);
        }
        screen.FindChildById(2)->Enable(false);
        screen.FindChildById(3)->m_clickSound = 0;
        screen.SetSounds(click.get(), second.get());
        click->Stop();
        screen.HandleMessage(WM_NOTIFY, static_cast<WPARAM>(c.id), static_cast<LPARAM>(c.code));
        EXPECT_EQ(click->IsPlaying() != 0, c.plays) << c.id << " " << c.code;
        EXPECT_FALSE(second->IsPlaying());
    }
    // The second sound starts again from its beginning, once.
    YScreen screen;
    screen.SetSounds(click.get(), second.get());
    click->Stop();
    screen.PlaySecondSound();
    EXPECT_TRUE(second->IsPlaying());
    EXPECT_FALSE(click->IsPlaying());
    Listen(200);
    DWORD position = 0;
    second->GetPlayPosition(&position);
    EXPECT_GT(position, 0u);
    screen.PlaySecondSound();
    second->GetPlayPosition(&position);
    EXPECT_EQ(position, 0u);
    Listen(600);  // not looping: over after half a second
    EXPECT_FALSE(second->IsPlaying());
    // Without sounds nothing plays and nothing fails.
    YScreen quiet;
    quiet.PlaySecondSound();
    quiet.OnNotify(1, YWindow::kNotifyClicked);
}
