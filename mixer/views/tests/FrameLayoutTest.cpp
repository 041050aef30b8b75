// The main frame's arithmetic: where it opens, its scroll bars, its fit to whole strips and
// its view modes.
#include <gtest/gtest.h>

#include <string>

#include "mixer/views/FrameLayout.h"

namespace
{
using namespace FrameLayout;

TEST(FrameLayout, StoredWidthOpensAtLeast470AndOnlyWidthsAbove420AreStored)
{
    EXPECT_EQ(OpeningWidth(300), 470);
    EXPECT_EQ(OpeningWidth(470), 470);
    EXPECT_EQ(OpeningWidth(900), 900);
    // The main section comes beside the strips' 470.
    EXPECT_EQ(OpeningWidth(300, 320), 790);
    EXPECT_EQ(OpeningWidth(900, 320), 900);
    EXPECT_TRUE(StoresWidth(430));
    EXPECT_FALSE(StoresWidth(420));
    EXPECT_FALSE(StoresWidth(400));
}

TEST(FrameLayout, TheFrameIsAsHighAsTheStripAreaOrTheMainSectionWithTheRoomBelowIt)
{
    // Pieces of 16, the room of the session name and main toolbar 90.
    EXPECT_EQ(FrameHeight(360, 16, 16, 0, 90), 392) << "no main section";
    EXPECT_EQ(FrameHeight(360, 16, 16, 192, 90), 392) << "a compact section fits beside the strips";
    EXPECT_EQ(FrameHeight(360, 16, 16, 560, 90), 666) << "a full section makes the frame higher";
    EXPECT_EQ(FrameHeight(360, 16, 16, 286, 90), 392) << "exactly as high as the strips";
}

TEST(FrameLayout, ClampsTheWholeFrameIntoTheWorkArea)
{
    const Rect work = RectAt(0, 0, 1280, 1000);
    struct Row
    {
        const char* label;
        Rect frame;
        Rect expected;
    };
    const Row rows[] = {
        {"inside stays", RectAt(20, 20, 470, 400), RectAt(20, 20, 470, 400)},
        {"y below every monitor", RectAt(20, 5000, 470, 400), RectAt(20, 600, 470, 400)},
        {"y above every monitor", RectAt(20, -3000, 470, 400), RectAt(20, 0, 470, 400)},
        {"x off to the left", RectAt(-900, 20, 470, 400), RectAt(0, 20, 470, 400)},
        {"running off the right edge", RectAt(1000, 20, 470, 400), RectAt(810, 20, 470, 400)},
        {"wider and higher than the area", RectAt(-10, -10, 2000, 1500), RectAt(0, 0, 1280, 1000)},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        const Rect got = ClampIntoWorkArea(row.frame, work);
        EXPECT_EQ(got.left, row.expected.left);
        EXPECT_EQ(got.top, row.expected.top);
        EXPECT_EQ(got.right, row.expected.right);
        EXPECT_EQ(got.bottom, row.expected.bottom);
    }
    // A work area that does not start at the origin (a second monitor, a taskbar on top).
    const Rect got = ClampIntoWorkArea(RectAt(100, 10, 470, 400), RectAt(1280, 40, 1024, 728));
    EXPECT_EQ(got.left, 1280);
    EXPECT_EQ(got.top, 40);
}

TEST(FrameLayout, HorizontalScrollCountsWholeStrips)
{
    struct Row
    {
        const char* label;
        int area, strips, stored;
        int visible, total, position, range;
    };
    const Row rows[] = {
        {"empty section counts two strips", 300, 100, 0, 228, 152, 0, 0},
        {"ten strips in three", 228, 760, 2, 228, 760, 2, 7},
        {"stored position beyond the range", 228, 760, 9, 228, 760, 7, 7},
        {"negative stored position", 228, 760, -3, 228, 760, 0, 7},
        {"a pixel more is the same width", 305, 304, 0, 305, 304, 0, 0},
        {"a pixel less is the same width", 303, 304, 0, 229, 228, 0, 0},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        const ScrollSettings got = HorizontalScroll(row.area, row.strips, row.stored);
        EXPECT_EQ(got.visible, row.visible);
        EXPECT_EQ(got.total, row.total);
        EXPECT_EQ(got.position, row.position);
        EXPECT_EQ(got.range, row.range);
    }
}

TEST(FrameLayout, VerticalScrollCountsInsertRows)
{
    ScrollSettings got = VerticalScroll(8, 20, 4, 7);
    EXPECT_EQ(got.range, 5);
    EXPECT_EQ(got.position, 4) << "at most range - 1";
    EXPECT_EQ(got.visible, 80);
    EXPECT_EQ(got.total, 180);
    got = VerticalScroll(2, 20, 4, 3);
    EXPECT_EQ(got.range, 0);
    EXPECT_EQ(got.position, 0);
}

TEST(FrameLayout, FitShrinksToWholeStrips)
{
    EXPECT_EQ(FitShrink(4 * 76, 3 * 76), 76) << "three strips in an area four strips wide";
    EXPECT_EQ(FitShrink(400, 760), 400 % 76);
    EXPECT_EQ(FitShrink(380, 760), 0);
    EXPECT_EQ(FitShrink(400, 100), 0) << "below two strips nothing is fitted";
}

// Records the views a switch leaves and enters.
class TraceViews : public ViewModeViews
{
public:
    explicit TraceViews(bool strips) : strips_(strips) {}
    bool HasStripSection() override { return strips_; }
    void LeaveMode(int mode) override { trace += "-" + std::to_string(mode); }
    void EnterMode(int mode) override { trace += "+" + std::to_string(mode); }
    std::string trace;

private:
    bool strips_;
};

TEST(FrameLayout, ViewModesLeaveAndEnterTheirViews)
{
    struct Row
    {
        const char* label;
        bool strips;
        int current, requested;
        int mode;
        const char* trace;
    };
    const Row rows[] = {
        {"the same mode does nothing", true, 1, 1, 1, ""},
        {"strips to the first main layout", true, 0, 1, 1, "-0+1"},
        {"without strips mode 0 is mode 2", false, 1, 0, 2, "-1+2"},
        {"next leaves the current mode twice", true, 1, 5, 2, "-1-1+2"},
        {"next from the logo goes round to the strips", true, 4, 5, 0, "-4-4+0"},
        {"next from none starts at the strips", true, 7, 5, 0, "+0"},
        {"6 is the toolbar mode, entered again", true, 3, 6, 3, "-3-3+3"},
        {"none leaves the view and keeps the mode", true, 2, 7, 2, "-2"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        TraceViews views(row.strips);
        EXPECT_EQ(SwitchViewMode(row.current, row.requested, views), row.mode);
        EXPECT_EQ(views.trace, row.trace);
    }
    // Tab after Tab: 0, 1, 2, 3, 4 and round again.
    TraceViews views(true);
    int mode = kModeStrips;
    std::string modes;
    for (int i = 0; i < 6; ++i)
    {
        mode = SwitchViewMode(mode, kModeNext, views);
        modes += std::to_string(mode);
    }
    EXPECT_EQ(modes, "123401");
}
} // namespace

TEST(FrameLayoutTest, TheSyncPanelOpensWhollyInsideTheWorkArea)
{
    const Rect work = RectAt(0, 40, 1280, 984);
    const struct
    {
        const char* label;
        int x, y;
        Rect expected;
    } rows[] = {
        {"stored inside", 100, 200, RectAt(100, 200, 300, 200)},
        {"the default", 20, 20, RectAt(20, 60, 300, 200)},
        {"outside: the corner", -500, 300, RectAt(20, 60, 300, 200)},
        {"beyond the right", 1280, 300, RectAt(20, 60, 300, 200)},
        // A point just inside still leaves the panel on the screen.
        {"just inside the right", 1279, 300, RectAt(980, 300, 300, 200)},
        {"just inside the bottom", 10, 1023, RectAt(10, 824, 300, 200)},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.label);
        const Rect got = SyncPanelPlace(row.x, row.y, 300, 200, work);
        EXPECT_EQ(got.left, row.expected.left);
        EXPECT_EQ(got.top, row.expected.top);
        EXPECT_EQ(got.right, row.expected.right);
        EXPECT_EQ(got.bottom, row.expected.bottom);
    }
}
