#include "framework/controls/PeakMeterLogic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

namespace PeakMeterLogic
{
// Found by argument lookup from the vector comparisons below.
bool operator==(const Strip& a, const Strip& b)
{
    return a.image == b.image && a.start == b.start && a.end == b.end;
}

void PrintTo(const Strip& strip, std::ostream* out)
{
    *out << "{" << static_cast<int>(strip.image) << ", " << strip.start << ", " << strip.end << "}";
}
}

namespace
{
using PeakMeterLogic::Image;
using PeakMeterLogic::Look;
using PeakMeterLogic::State;
using PeakMeterLogic::Strip;

const uint32_t kHold = 1000;

TEST(PeakMeterLogic, RisesAtOnceAndFallsOneLedPerUpdate)
{
    State meter;
    const int levels[] = {10, 2, 2, 2, 12, 0};
    const int shown[] = {10, 9, 8, 7, 12, 11};
    uint32_t now = 5000;
    for (int i = 0; i < 6; ++i)
    {
        meter.OnLevel(static_cast<float>(levels[i]), levels[i], now, kHold);
        EXPECT_EQ(meter.frame, shown[i]) << "update " << i;
        now += 10;
    }
    EXPECT_EQ(meter.peakFrame, 12);
    EXPECT_EQ(meter.peakValue, 12.0f);
}

TEST(PeakMeterLogic, ALevelBelowTheMeterCountsAsEmpty)
{
    State meter;
    meter.OnLevel(5.0f, 5, 0, kHold);
    meter.OnLevel(-200.0f, -3, 10, kHold);
    EXPECT_EQ(meter.frame, 4) << "falls one LED like any lower level";
    for (int i = 0; i < 10; ++i)
        meter.OnLevel(-200.0f, -3, 20, kHold);
    EXPECT_EQ(meter.frame, 0) << "never below the empty meter";
    State empty;
    empty.OnLevel(-200.0f, -1, 0, kHold);
    EXPECT_EQ(empty.frame, 0);
}

TEST(PeakMeterLogic, PeakHoldsThenFallsOneLedPerTick)
{
    State meter;
    meter.OnLevel(8.0f, 8, 1000, kHold);
    meter.OnLevel(1.0f, 1, 1100, kHold);
    meter.OnTick(1999);
    EXPECT_EQ(meter.peakFrame, 8) << "held until 2000";
    EXPECT_EQ(meter.peakValue, 8.0f);
    meter.OnTick(2000);
    EXPECT_EQ(meter.peakFrame, 7);
    EXPECT_EQ(meter.peakValue, PeakMeterLogic::kNoPeak);
    meter.OnTick(2050);
    meter.OnTick(2100);
    EXPECT_EQ(meter.peakFrame, 5) << "one LED per tick after the hold";
    for (int i = 0; i < 10; ++i)
        meter.OnTick(3000);
    EXPECT_EQ(meter.peakFrame, 0);
}

TEST(PeakMeterLogic, AnEqualLevelRestartsTheHold)
{
    State meter;
    meter.OnLevel(6.0f, 6, 1000, kHold);
    meter.OnLevel(6.0f, 6, 1800, kHold);
    meter.OnTick(2500);
    EXPECT_EQ(meter.peakFrame, 6) << "held until 2800 now";
    meter.OnTick(2800);
    EXPECT_EQ(meter.peakFrame, 5);
    meter.OnLevel(3.0f, 3, 2900, kHold);
    meter.OnLevel(4.0f, 4, 2900, kHold);
    EXPECT_EQ(meter.peakFrame, 5) << "a lower level leaves the peak";
}

TEST(PeakMeterLogic, HoldSurvivesTheTickCountWrapping)
{
    State meter;
    meter.OnLevel(3.0f, 3, 0xFFFFFF00u, kHold);
    meter.OnTick(0xFFFFFFF0u);
    meter.OnTick(100);
    EXPECT_EQ(meter.peakFrame, 3) << "the hold ends at 0x2E8 after the wrap";
    meter.OnTick(0x2E8);
    EXPECT_EQ(meter.peakFrame, 2);
}

TEST(PeakMeterLogic, FrameCount)
{
    EXPECT_EQ(PeakMeterLogic::FrameCount(101, 4, 1), 21) << "frames 0-20";
    EXPECT_EQ(PeakMeterLogic::FrameCount(100, 1, 0), 101);
    EXPECT_EQ(PeakMeterLogic::FrameCount(100, 0, 0), 0) << "a pitch of 0 is refused";
    EXPECT_EQ(PeakMeterLogic::FrameCount(100, 3, -3), 0);
}

TEST(PeakMeterLogic, StripsOfAHorizontalMeter)
{
    const Look look{true, false, false, 100, 5};
    EXPECT_EQ(PeakMeterLogic::Strips(look, 4, 10),
              (std::vector<Strip>{{Image::Off, 20, 100}, {Image::On, 0, 20}, {Image::On, 45, 50}}))
        << "the peak LED is the pitch below the peak position";
    EXPECT_EQ(PeakMeterLogic::Strips(look, 4, 20),
              (std::vector<Strip>{{Image::Off, 20, 100}, {Image::On, 0, 20}, {Image::On, 95, 100}}))
        << "at the top frame the peak LED is the meter's last";
    EXPECT_EQ(PeakMeterLogic::Strips(look, 0, 0), (std::vector<Strip>{{Image::Off, 0, 100}}));
    EXPECT_EQ(PeakMeterLogic::Strips(look, 6, 6),
              (std::vector<Strip>{{Image::Off, 30, 100}, {Image::On, 0, 30}}))
        << "no peak LED at the bar's end";
    EXPECT_EQ(PeakMeterLogic::Strips(look, -2, 0), (std::vector<Strip>{{Image::Off, 0, 100}}))
        << "nothing outside the images";
}

TEST(PeakMeterLogic, StripsOfAVerticalMeterMirrorTheHorizontal)
{
    const Look look{false, false, false, 100, 5};
    EXPECT_EQ(PeakMeterLogic::Strips(look, 4, 10),
              (std::vector<Strip>{{Image::Off, 0, 80}, {Image::On, 80, 100}, {Image::On, 50, 55}}));
    EXPECT_EQ(PeakMeterLogic::Strips(look, 4, 20),
              (std::vector<Strip>{{Image::Off, 0, 80}, {Image::On, 80, 100}, {Image::On, 0, 5}}));
}

TEST(PeakMeterLogic, InvertedAndDisabledMeters)
{
    EXPECT_EQ(PeakMeterLogic::Strips(Look{true, true, false, 100, 5}, 4, 10),
              (std::vector<Strip>{{Image::Off, 0, 80}, {Image::On, 80, 100}}))
        << "grows from the right, no peak LED";
    EXPECT_EQ(PeakMeterLogic::Strips(Look{false, true, false, 100, 5}, 4, 10),
              (std::vector<Strip>{{Image::On, 80, 100}, {Image::Off, 0, 80}}))
        << "grows from the bottom, no peak LED";
    EXPECT_EQ(PeakMeterLogic::Strips(Look{true, false, true, 100, 5}, 4, 10),
              (std::vector<Strip>{{Image::Disabled, 20, 100}}));
    EXPECT_EQ(PeakMeterLogic::Strips(Look{false, false, true, 100, 5}, 4, 10),
              (std::vector<Strip>{{Image::Disabled, 0, 80}}));
}
}
