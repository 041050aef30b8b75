#include "framework/controls/PeakMeterLogic.h"

#include <algorithm>

namespace PeakMeterLogic
{
void State::OnLevel(float value, int newFrame, uint32_t now, uint32_t holdTime)
{
    if (value > peakValue)
        peakValue = value;
    newFrame = std::max(newFrame, 0);
    if (newFrame < frame)
    {
        frame = frame - 1;
        return;
    }
    frame = newFrame;
    if (newFrame >= peakFrame)
    {
        peakFrame = newFrame;
        holdUntil = now + holdTime;
    }
}

void State::OnTick(uint32_t now)
{
    // The tick count wraps after 49 days: compare by difference.
    if (peakFrame > 0 && static_cast<int32_t>(now - holdUntil) >= 0)
    {
        --peakFrame;
        peakValue = kNoPeak;
    }
}

int FrameCount(int length, int ledSize, int ledGap)
{
    const int pitch = ledSize + ledGap;
    if (pitch < 1 || length < 0)
        return 0;
    return length / pitch + 1;
}

std::vector<Strip> Strips(const Look& look, int frame, int peakFrame)
{
    const int length = look.length;
    const int lit = std::clamp(frame * look.pitch, 0, length);
    const int peak = std::clamp(peakFrame * look.pitch, 0, length);
    std::vector<Strip> strips;
    // Vertical meters count from the bottom: a position p along the bar is row length - p.
    const auto place = [&](Image image, int from, int to) {
        if (from >= to)
            return;
        if (look.horizontal)
            strips.push_back({image, from, to});
        else
            strips.push_back({image, length - to, length - from});
    };
    if (look.inverted)
    {
        if (look.horizontal)
        {
            place(Image::Off, 0, length - lit);
            place(Image::On, length - lit, length);
        }
        else
        {
            place(Image::On, 0, lit);
            place(Image::Off, lit, length);
        }
        return strips;
    }
    if (look.disabled)
    {
        place(Image::Disabled, lit, length);
        return strips;
    }
    place(Image::Off, lit, length);
    place(Image::On, 0, lit);
    if (peak > lit)
        place(Image::On, std::max(peak - look.pitch, lit), peak);
    return strips;
}
}
