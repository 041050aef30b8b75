// Real mouse input through the system's queue: press, drag out of the panel and release, with
// the capture keeping the moves with the pressed control.
#include "framework/controls/tests/ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace controlstest;

namespace
{
// The log without moves that went nowhere (the system may repeat a move at the same place).
Log Moved(const Log& log)
{
    Log moved;
    for (const std::string& line : log)
    {
        const size_t at = line.find(" move ");
        const size_t last = line.find(" last ");
        if (at != std::string::npos && line.substr(at + 6, last - at - 6) == line.substr(last + 6))
            continue;
        moved.push_back(line);
    }
    return moved;
}

// Pumps until the log holds count lines that count; a loaded machine may take a while.
void WaitFor(const Log& log, size_t count)
{
    for (int i = 0; i < 1000 && Moved(log).size() < count; ++i)
    {
        Pump();
        ::Sleep(10);
    }
}

TEST(MouseInput, PressDragAndReleaseReachThePressedControlWithCapture)
{
    Composite images;
    TestPanel panel;
    panel.style = WS_POPUP;
    panel.Setup(nullptr, 0, 0, kBackground);
    panel.AddBackgroundSection(&images.tile, 0, 0, 4, 4, -1);
    Log log;
    panel.AddControl(new ProbeControl(log, "probe", 8, 8, 20, 20), nullptr);
    ASSERT_EQ(panel.Create(nullptr, 200, 200, 0), 1);
    Pump();
    SendMouse(0, 218, 218); // the pointer comes to rest on the control first
    WaitFor(log, 1);
    log.clear();

    SendMouse(MOUSEEVENTF_LEFTDOWN, 218, 218);
    WaitFor(log, 1);
    ASSERT_EQ(Moved(log), (Log{"probe down 10,10 last 10,10"}));
    EXPECT_EQ(panel.HasCapture(), 1);
    EXPECT_EQ(Control::PressedControl(), panel.ControlAtIndex(0));

    SendMouse(0, 240, 222); // still inside the panel, past the control
    WaitFor(log, 2);
    SendMouse(0, 500, 400); // outside the panel: the capture brings it here
    WaitFor(log, 3);
    SendMouse(MOUSEEVENTF_LEFTUP, 500, 400);
    WaitFor(log, 4);
    EXPECT_EQ(Moved(log), (Log{"probe down 10,10 last 10,10", "probe move 32,14 last 10,10", "probe move 292,192 last 32,14",
                        "probe up 292,192 last 292,192"}));
    EXPECT_EQ(panel.HasCapture(), 0);
    EXPECT_EQ(Control::PressedControl(), nullptr);
}
}
