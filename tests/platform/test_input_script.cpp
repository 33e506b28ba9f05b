// The headless backend's script of timed input events.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "platform/backend/InputScript.h"
#include "platform/backend/KeyTable.h"

using platform::BackendEvent;
using platform::InputScript;

TEST(InputScript, KeyNamesGiveVirtualKeyAndScanCode)
{
    struct Case {
        const char* name;
        int virtualKey;
        int scanCode;
    };
    const Case cases[] = {
        {"A", 'A', 0x1E}, {"a", 'A', 0x1E}, {"Space", 0x20, 0x39}, {"Escape", 0x1B, 0x01},
        {"Left Shift", 0x10, 0x2A}, {"Right Ctrl", 0x11, 0x9D}, {"Up", 0x26, 0xC8}, {"F11", 0x7A, 0x57},
        {"Keypad Enter", 0x0D, 0x9C}, {"Return", 0x0D, 0x1C},
    };
    for (const Case& c : cases) {
        int vk = 0, dik = 0;
        ASSERT_TRUE(platform::KeyCodesFromName(c.name, vk, dik)) << c.name;
        EXPECT_EQ(c.virtualKey, vk) << c.name;
        EXPECT_EQ(c.scanCode, dik) << c.name;
    }
    int vk = 0, dik = 0;
    EXPECT_FALSE(platform::KeyCodesFromName("NoSuchKey", vk, dik));
    EXPECT_FALSE(platform::KeyCodesFromName("", vk, dik));
}

TEST(InputScript, ParsesEveryKindOfLine)
{
    InputScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("# a comment\n"
                             "\n"
                             "2 key down Space\n"
                             "2 key up Space\r\n"
                             "3 mouse move 5 -3\n"
                             "3 mouse move -2 1\n"
                             "4 mouse button 2 down\n"
                             "4 mouse button 2 up\n"
                             "5 text hi!\n",
                             &error))
        << error;
    EXPECT_EQ(9u, script.Pending());
    std::vector<BackendEvent> out;
    script.TakeDue(10, 0, out);
    ASSERT_EQ(9u, out.size());
    EXPECT_EQ(BackendEvent::KeyDown, out[0].kind);
    EXPECT_EQ(0x39, out[0].scanCode);
    EXPECT_EQ(0x20, out[0].key);
    EXPECT_EQ(BackendEvent::KeyUp, out[1].kind);
    EXPECT_EQ(BackendEvent::MouseMove, out[2].kind);
    EXPECT_EQ(5, out[2].dx);
    EXPECT_EQ(-3, out[2].dy);
    EXPECT_EQ(-2, out[3].dx);
    EXPECT_EQ(3, out[3].x);  // the position sums the moves
    EXPECT_EQ(-2, out[3].y);
    EXPECT_EQ(BackendEvent::MouseDown, out[4].kind);
    EXPECT_EQ(2, out[4].button);
    EXPECT_EQ(BackendEvent::MouseUp, out[5].kind);
    EXPECT_EQ(BackendEvent::Text, out[6].kind);
    EXPECT_EQ('h', out[6].text[0]);
    EXPECT_EQ('i', out[7].text[0]);
    EXPECT_EQ(BackendEvent::Text, out[8].kind);
    EXPECT_EQ('!', out[8].text[0]);
}

TEST(InputScript, RefusesBadLinesWithTheirNumber)
{
    const char* bad[] = {
        "x key down A",          "-1 key down A",        "1 key sideways A",   "1 key down Nope",
        "1 mouse move 1",        "1 mouse move 1 2 3",   "1 mouse move a b",   "1 mouse button 4 down",
        "1 mouse button 1 held", "1 mouse wiggle",       "1 text",             "1 dance",
        "5ms",
        "1 joystick 0 axis 8 0",  "1 joystick 0 axis 0 40000", "1 joystick 0 axis 0",
        "1 joystick 0 button 32 down", "1 joystick 0 button 1 held", "1 joystick x axis 0 1",
        "1 joystick 16 button 0 down", "1 joystick 0 hat 0 up", "1 joystick 0 axis 0 5 6",
        "1 joystick 0 hat 4 0",   "1 joystick 0 hat 0 36000", "1 joystick 0 hat 0 -2",
        "1 joystick 0 attach",    "1 joystick 0 attach \"\"", "1 joystick 0 attach \"Pad\" axes 9",
        "1 joystick 0 attach \"Pad\" buttons 33", "1 joystick 0 attach \"Pad\" hats", "1 joystick 0 attach \"Pad\" rumble",
        "1 joystick 0 detach now",
    };
    for (const char* line : bad) {
        InputScript script;
        std::string error;
        EXPECT_FALSE(script.Parse(std::string("1 key down A\n") + line + "\n", &error)) << line;
        EXPECT_EQ(0u, error.find("line 2:")) << line << " -> " << error;
    }
}

TEST(InputScript, EventsComeOutInOrderWhenDue)
{
    InputScript script;
    ASSERT_TRUE(script.Parse("1 key down A\n"
                             "100ms key up A\n"
                             "2 key down B\n"));
    std::vector<BackendEvent> out;
    script.TakeDue(0, 500, out);
    EXPECT_TRUE(out.empty());  // pass 1 has not come, so nothing after it either
    script.TakeDue(1, 50, out);
    ASSERT_EQ(1u, out.size());
    EXPECT_EQ(BackendEvent::KeyDown, out[0].kind);
    script.TakeDue(5, 99, out);
    EXPECT_EQ(1u, out.size());  // the 100 ms event holds back the pass-2 one
    script.TakeDue(5, 100, out);
    ASSERT_EQ(3u, out.size());
    EXPECT_EQ(BackendEvent::KeyUp, out[1].kind);
    EXPECT_EQ(0x30, out[2].scanCode);
    EXPECT_EQ(0u, script.Pending());
}

TEST(InputScript, HeadlessBackendReadsTheScriptOfTheEnvironment)
{
    ScratchFolder folder;
    folder.Write("input.txt", "0 key down Z\n1 key up Z\n");
    platform::Backend::Shutdown();
    setenv("RCV_INPUT_SCRIPT", (folder / "input.txt").c_str(), 1);
    platform::Backend& backend = platform::Backend::Get();
    unsetenv("RCV_INPUT_SCRIPT");
    BackendEvent e;
    ASSERT_TRUE(backend.PollEvent(e));
    EXPECT_EQ(BackendEvent::KeyDown, e.kind);
    EXPECT_EQ(0x2C, e.scanCode);
    EXPECT_FALSE(backend.PollEvent(e));  // pass 1 has not come
    backend.QueueDrained();
    backend.QueueDrained();  // a pass without a frame
    ASSERT_TRUE(backend.PollEvent(e));
    EXPECT_EQ(BackendEvent::KeyUp, e.kind);
    platform::Backend::Shutdown();
}

TEST(InputScript, JoystickAxesAndButtons)
{
    InputScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("0 joystick 0 axis 1 -32768\n"
                             "0 joystick 2 axis 7 32767\n"
                             "0 joystick 0 button 31 down\n"
                             "0 joystick 1 button 0 up\n",
                             &error))
        << error;
    std::vector<BackendEvent> out;
    script.TakeDue(0, 0, out);
    ASSERT_EQ(4u, out.size());
    struct Expect {
        BackendEvent::Kind kind;
        int joystick, axis, value;
    };
    const Expect expected[] = {
        {BackendEvent::JoyAxis, 0, 1, -32768},
        {BackendEvent::JoyAxis, 2, 7, 32767},
        {BackendEvent::JoyButtonDown, 0, 0, 31},
        {BackendEvent::JoyButtonUp, 1, 0, 0},
    };
    for (size_t i = 0; i < out.size(); ++i) {
        EXPECT_EQ(expected[i].kind, out[i].kind) << i;
        EXPECT_EQ(expected[i].joystick, out[i].joystick) << i;
        EXPECT_EQ(expected[i].axis, out[i].axis) << i;
        EXPECT_EQ(expected[i].value, out[i].value) << i;
    }
}

TEST(InputScript, JoysticksAttachAndDetachAsTheirLinesComeOut)
{
    InputScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("0 joystick 0 attach \"Big Wheel\" ff axes 2 buttons 4 hats 0\n"
                             "0 joystick 1 attach Pad\n"
                             "0 joystick 1 hat 0 9000\n"
                             "0 joystick 1 hat 3 -1\n"
                             "5 joystick 0 detach\n",
                             &error))
        << error;
    std::vector<BackendEvent> out;
    EXPECT_TRUE(script.Attached().empty());  // nothing is attached before its time
    script.TakeDue(0, 0, out);
    ASSERT_EQ(4u, out.size());
    EXPECT_EQ(BackendEvent::JoyAttached, out[0].kind);
    EXPECT_EQ(BackendEvent::JoyHat, out[2].kind);
    EXPECT_EQ(9000, out[2].value);
    EXPECT_EQ(3, out[3].axis);
    EXPECT_EQ(-1, out[3].value);

    struct Expect {
        int id;
        const char* name;
        int axes, buttons, hats;
        bool ff;
    };
    const Expect expected[] = {{0, "Big Wheel", 2, 4, 0, true}, {1, "Pad", 8, 32, 1, false}};
    ASSERT_EQ(2u, script.Attached().size());
    for (const Expect& e : expected) {
        const platform::JoystickInfo& info = script.Attached().at(e.id);
        EXPECT_EQ(e.id, info.id);
        EXPECT_EQ(e.name, info.name);
        EXPECT_EQ(e.axes, info.axes) << e.name;
        EXPECT_EQ(e.buttons, info.buttons) << e.name;
        EXPECT_EQ(e.hats, info.hats) << e.name;
        EXPECT_EQ(e.ff, info.forceFeedback) << e.name;
    }
    script.TakeDue(5, 0, out);
    ASSERT_EQ(5u, out.size());
    EXPECT_EQ(BackendEvent::JoyDetached, out[4].kind);
    EXPECT_EQ(0u, script.Attached().count(0));
    EXPECT_EQ(1u, script.Attached().count(1));
}
