#pragma once

#include "framework/controls/FrameIndexControl.h"
#include "framework/controls/PeakMeterLogic.h"
#include "framework/platform/Timer.h"

class SkinBitmap;

// An LED bar meter: rises at once, falls one LED per update, holds its peak LED for a time
// and then lets it fall one LED per tick of its own timer. It takes no input.
class PeakMeter : public FrameIndexControl, public TimerListener
{
public:
    PeakMeter();

    // The size is the off image's. Without the off and on images, or with an LED pitch below
    // a pixel, the set-up fails (0).
    int Setup(int x, int y, const String& name, int horizontal, int inverted, SkinBitmap* offImage, SkinBitmap* onImage,
              SkinBitmap* disabledImage, int ledSize, int ledGap, uint32_t holdTime, uint32_t timerInterval,
              DataItem* item);

    int IsHorizontal() const override { return horizontal_; }
    int FrameCount() const override;
    int PeakFrame() const { return state_.peakFrame; }
    float PeakValue() const { return state_.peakValue; }
    void Draw() override;
    void OnDataItemChanged() override;
    void OnTimerTick(int32_t argument) override;

private:
    // Invalidates the meter when what it shows (lit LEDs, the held peak LED, the disabled
    // look) differs from what it drew last; a level or a tick that changes neither costs no paint.
    void ShowIfChanged();
    PeakMeterLogic::Shown Showing() const;

    SkinBitmap* offImage_ = nullptr; // borrowed from the skin, as are the others
    SkinBitmap* onImage_ = nullptr;
    SkinBitmap* disabledImage_ = nullptr;
    int horizontal_ = 0;
    int inverted_ = 0;
    int ledSize_ = 1;
    int ledGap_ = 0;
    uint32_t holdTime_ = 0;
    PeakMeterLogic::State state_;
    PeakMeterLogic::Shown drawn_; // what the last Draw put into the background
    bool hasDrawn_ = false;
    Timer timer_;
};
