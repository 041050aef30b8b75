// The scroll bar, combo box and menu tests' skin (scroll-skin, laid out by the build), a clock
// for the repeat timers (TestClock) and a scroll client that writes what it hears.
#pragma once

#include "framework/controls/Scroller.h"
#include "framework/controls/tests/ControlsTestSupport.h"
#include "framework/platform/Timer.h"
#include "framework/platform/TimerImpl.h"
#include "framework/platform/tests/TestClock.h"
#include "framework/skin/Skin.h"

#include <gtest/gtest.h>

#include <string>

namespace scrolltest
{
using controlstest::Log;
using controlstest::Text;

inline String SkinPath()
{
    std::string path = std::string("Z:") + KIV_SCROLL_TEST_SKIN;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return Text(path.c_str());
}

// Sets the values it is given when a bar takes it, and writes every call.
class RecordingClient : public ScrollClient
{
public:
    RecordingClient(int range, int total, int visible, int position)
        : range_(range), total_(total), visible_(visible), position_(position)
    {
    }

    Log log;
    Scroller* scroller = nullptr;

    void AttachScroller(Scroller* bar, int) override
    {
        scroller = bar;
        bar->SetRange(range_, false);
        bar->SetTotal(total_, false);
        bar->SetVisible(visible_, false);
        bar->SetPosition(position_, false);
    }
    void OnScrollPosition(int position, Scroller*, int id) override { Write("position", position, id); }
    void OnLineUp(int position, Scroller*, int id) override { Write("lineup", position, id); }
    void OnLineDown(int position, Scroller*, int id) override { Write("linedown", position, id); }
    void OnPageUp(int position, Scroller*, int id) override { Write("pageup", position, id); }
    void OnPageDown(int position, Scroller*, int id) override { Write("pagedown", position, id); }
    void OnScrollerNotify(Scroller*, int id) override { Write("notify", 0, id); }
    void OnScrollEnd() override { log.push_back("end"); }

private:
    void Write(const char* what, int position, int id)
    {
        log.push_back(std::string(what) + " " + std::to_string(position) + " id " + std::to_string(id));
    }

    int range_;
    int total_;
    int visible_;
    int position_;
};

// The test skin, loaded.
class ScrollSkin
{
public:
    ScrollSkin() { EXPECT_EQ(skin.Load(SkinPath(), nullptr), 1); }

    ScrollbarStyle* Style(const char* name, int vertical)
    {
        const String text = Text(name);
        return skin.FindScrollbarStyle(&text, vertical);
    }

    Skin skin;
};
} // namespace scrolltest
