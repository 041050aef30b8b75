#pragma once

#include <cstdint>
#include <vector>

// The peak meter's rise, fall and held peak, and the strips it draws, apart from windows
// and timers: the meter feeds levels and ticks with the time read from the ticker's clock.
namespace PeakMeterLogic
{
const float kNoPeak = -132.0f;

struct State
{
    int frame = 0;
    int peakFrame = 0;
    float peakValue = kNoPeak;
    uint32_t holdUntil = 0;

    // A new level (as a frame) arrived at now: the bar rises at once and falls by at most
    // one LED per update; a level at or above the held peak holds it for holdTime ms again.
    // A level below the meter (a negative frame) counts as the empty meter.
    void OnLevel(float value, int newFrame, uint32_t now, uint32_t holdTime);
    // The meter's timer fired at now: after the hold the peak falls one LED per tick.
    void OnTick(uint32_t now);
};

// What a meter's picture depends on: two equal ones draw the same pixels.
struct Shown
{
    int frame = 0;
    int peakFrame = 0; // the peak LED drawn, 0 for none
    bool disabled = false;
    bool operator==(const Shown& other) const
    {
        return frame == other.frame && peakFrame == other.peakFrame && disabled == other.disabled;
    }
    bool operator!=(const Shown& other) const { return !(*this == other); }
};

// LEDs of the meter: length / pitch + 1 frames, so frame F lights F * pitch pixels. 0 when
// the pitch is below a pixel (the set-up is refused).
int FrameCount(int length, int ledSize, int ledGap);

enum class Image
{
    Off,
    On,
    Disabled
};

// One strip of an image drawn in place: [start, end) along the meter's axis (columns when
// horizontal, rows when vertical), taken from the same place in the image.
struct Strip
{
    Image image;
    int start;
    int end;
};

struct Look
{
    bool horizontal;
    bool inverted;
    bool disabled; // disabled and with a disabled image
    int length;    // width when horizontal, else height
    int pitch;
};

// What Draw blits for a frame and a peak frame: the lit part grows from the left (or the
// bottom), the inverted meter from the right (or the bottom) without a peak LED; the peak LED
// is the pitch just below the peak position, inside the meter at the top frame.
std::vector<Strip> Strips(const Look& look, int frame, int peakFrame);
} // namespace PeakMeterLogic
