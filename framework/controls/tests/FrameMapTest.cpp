#include "framework/controls/FrameMap.h"

#include "framework/skin/ResponseFunction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
TEST(FrameMap, KnobOf64FramesOnAUnitRange)
{
    EXPECT_EQ(FrameMap::FrameFromValue(0.5f, 0.0f, 1.0f, 64, nullptr), 31);
    const float written = FrameMap::ValueFromFrame(33, 0.0f, 1.0f, 64, nullptr);
    EXPECT_EQ(written, 0.515625f) << "33 / 64: divided by the frame count";
    EXPECT_EQ(FrameMap::FrameFromValue(written, 0.0f, 1.0f, 64, nullptr), 32)
        << "the re-sync truncates 63 * 33 / 64";
}

TEST(FrameMap, EndFramesGiveTheBoundsExactly)
{
    const struct
    {
        float min;
        float max;
    } ranges[] = {{0.0f, 1.0f}, {-60.0f, 6.0f}, {0.1f, 0.7f}, {10.0f, -10.0f}};
    for (const auto& r : ranges)
    {
        SCOPED_TRACE(r.min);
        EXPECT_EQ(FrameMap::ValueFromFrame(0, r.min, r.max, 64, nullptr), r.min);
        EXPECT_EQ(FrameMap::ValueFromFrame(63, r.min, r.max, 64, nullptr), r.max);
        EXPECT_EQ(FrameMap::FrameFromValue(r.min, r.min, r.max, 64, nullptr), 0);
        EXPECT_EQ(FrameMap::FrameFromValue(r.max, r.min, r.max, 64, nullptr), 63);
    }
}

TEST(FrameMap, AnEmptyRangeShowsFrameZeroAndValuesOutsideTheRangeAreClamped)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct
    {
        const char* what;
        float value;
        float min;
        float max;
        int frame;
    } cases[] = {
        {"an item accepting any value (min == max)", 5.0f, 0.0f, 0.0f, 0},
        {"a flag holding 2", 2.0f, 0.0f, 1.0f, 1},
        {"far above the range", 1e30f, 0.0f, 1.0f, 1},
        {"below the range", -3.0f, 0.0f, 1.0f, 0},
        {"a NaN value", nan, 0.0f, 1.0f, 0},
        {"a NaN bound", 0.5f, nan, 1.0f, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FrameMap::FrameFromValue(c.value, c.min, c.max, 2, nullptr), c.frame);
    }
    EXPECT_EQ(FrameMap::FrameFromValue(7.0f, 0.0f, 10.0f, 1, nullptr), 0) << "one frame only";
    EXPECT_EQ(FrameMap::FrameFromValue(7.0f, 0.0f, 10.0f, 0, nullptr), 0) << "no frames";
}

TEST(FrameMap, ResponseFunctionShapesBothDirections)
{
    // Normalised 0.5 shows 0.25: the lower half of the travel covers a quarter of the range.
    const ResponseFunction response({{0.5f, 0.25f}});
    EXPECT_EQ(FrameMap::FrameFromValue(25.0f, 0.0f, 100.0f, 101, &response), 50);
    EXPECT_FLOAT_EQ(FrameMap::ValueFromFrame(50, 0.0f, 100.0f, 100, &response), 25.0f);
    EXPECT_EQ(FrameMap::ValueFromFrame(99, 0.0f, 100.0f, 100, &response), 100.0f);
}

TEST(FrameMap, DragMovesOneFramePerPixelWithinTheStrip)
{
    EXPECT_EQ(FrameMap::DraggedFrame(10, 5, 64), 15);
    EXPECT_EQ(FrameMap::DraggedFrame(10, -20, 64), 0);
    EXPECT_EQ(FrameMap::DraggedFrame(60, 20, 64), 63);
    EXPECT_EQ(FrameMap::DraggedFrame(0, std::numeric_limits<int>::max(), 64), 63);
}

TEST(FrameMap, SizesFromTheSkin)
{
    EXPECT_EQ(FrameMap::RotaryFrameWidth(640, 64, -1), 10);
    EXPECT_EQ(FrameMap::RotaryFrameWidth(640, 64, 12), 12) << "a given frame width wins";
    EXPECT_EQ(FrameMap::RotaryFrameWidth(640, 0, 0), 0) << "frameCount=\"0\" without frameWidth";
    EXPECT_EQ(FrameMap::RotaryFrameWidth(640, 0, 32), 32);

    EXPECT_EQ(FrameMap::SliderTravel(-1, 100, 12), 88) << "a 12-pixel thumb on a 100-pixel track";
    EXPECT_EQ(FrameMap::SliderTravel(50, 100, 12), 50);
    EXPECT_EQ(FrameMap::SliderTravel(-1, 12, 12), 0) << "a thumb as long as the track";
    EXPECT_EQ(FrameMap::SliderTravel(0, 100, 12), 0) << "travel=\"0\"";
}

TEST(FrameMap, ThumbPosition)
{
    // Horizontal: centred on startOffset + frame.
    EXPECT_EQ(FrameMap::SliderThumbStart(true, 0, 6, 12, 20), 0);
    EXPECT_EQ(FrameMap::SliderThumbStart(true, 88, 6, 12, 20), 88);
    // Vertical: frame 0 sits at the bottom, higher frames move up.
    EXPECT_EQ(FrameMap::SliderThumbStart(false, 0, 5, 10, 100), 90);
    EXPECT_EQ(FrameMap::SliderThumbStart(false, 80, 5, 10, 100), 10);
}
}
