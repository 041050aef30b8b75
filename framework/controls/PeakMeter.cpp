#include "framework/controls/PeakMeter.h"

#include "framework/skin/SkinBitmap.h"

PeakMeter::PeakMeter() : FrameIndexControl(TypePeakMeter)
{
    // Levels come from the application only.
    SetHidden(1);
}

int PeakMeter::Setup(int x, int y, const String& name, int horizontal, int inverted, SkinBitmap* offImage,
                     SkinBitmap* onImage, SkinBitmap* disabledImage, int ledSize, int ledGap, uint32_t holdTime,
                     uint32_t timerInterval, DataItem* item)
{
    if (!offImage || !onImage ||
        PeakMeterLogic::FrameCount(horizontal ? offImage->Width() : offImage->Height(), ledSize, ledGap) < 1)
        return 0;
    SetPosition(x, y);
    SetSize(offImage->Width(), offImage->Height());
    horizontal_ = horizontal;
    inverted_ = inverted;
    offImage_ = offImage;
    onImage_ = onImage;
    disabledImage_ = disabledImage;
    ledSize_ = ledSize;
    ledGap_ = ledGap;
    holdTime_ = holdTime;
    state_ = PeakMeterLogic::State();
    hasDrawn_ = false;
    if (!SetName(name))
        return 0;
    SyncFrameFrom(item);
    state_.frame = frame_;
    if (!timer_.Attach(this, timerInterval, 0))
        return 0;
    timer_.Start();
    return 1;
}

int PeakMeter::FrameCount() const
{
    return PeakMeterLogic::FrameCount(horizontal_ ? Width() : Height(), ledSize_, ledGap_);
}

void PeakMeter::OnDataItemChanged()
{
    DataItem* item = GetItem();
    if (item && (item->GetKind() == DataItem::KindFlag || item->GetKind() == DataItem::KindInt ||
                 item->GetKind() == DataItem::KindReal))
    {
        const float value = static_cast<float>(static_cast<NumericItem*>(item)->GetValue());
        SyncFrameFromItem();
        state_.OnLevel(value, frame_, Timer::Now(), holdTime_);
        frame_ = state_.frame;
    }
    ShowIfChanged();
}

void PeakMeter::OnTimerTick(int32_t)
{
    timer_.Stop();
    state_.OnTick(Timer::Now());
    timer_.Start();
    ShowIfChanged();
}

PeakMeterLogic::Shown PeakMeter::Showing() const
{
    PeakMeterLogic::Shown shown;
    shown.frame = frame_;
    shown.disabled = IsDisabled() && disabledImage_;
    // The peak LED shows only above the lit bar, and never on an inverted or disabled meter.
    shown.peakFrame = !inverted_ && !shown.disabled && state_.peakFrame > frame_ ? state_.peakFrame : 0;
    return shown;
}

void PeakMeter::ShowIfChanged()
{
    if (GetParent() && (!hasDrawn_ || Showing() != drawn_))
        Invalidate(nullptr);
}

void PeakMeter::Draw()
{
    if (!offImage_)
        return;
    drawn_ = Showing();
    hasDrawn_ = true;
    const int disabled = IsDisabled() && disabledImage_;
    const PeakMeterLogic::Look look{horizontal_ != 0, inverted_ != 0, disabled != 0, horizontal_ ? Width() : Height(),
                                    ledSize_ + ledGap_};
    for (const PeakMeterLogic::Strip& strip : PeakMeterLogic::Strips(look, frame_, state_.peakFrame))
    {
        SkinBitmap& image = strip.image == PeakMeterLogic::Image::On    ? *onImage_
                            : strip.image == PeakMeterLogic::Image::Off ? *offImage_
                                                                        : *disabledImage_;
        const int length = strip.end - strip.start;
        if (horizontal_)
            DrawBitmapPart(image, strip.start, 0, length, Height(), strip.start, 0);
        else
            DrawBitmapPart(image, 0, strip.start, Width(), length, 0, strip.start);
    }
}
