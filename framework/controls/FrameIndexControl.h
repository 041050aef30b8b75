#pragma once

#include "framework/controls/Control.h"

class ResponseFunction;

// A control that shows one of N frames of its numeric item's range: knobs, sliders, meters.
class FrameIndexControl : public Control
{
public:
    virtual int IsHorizontal() const = 0;
    virtual int FrameCount() const = 0;

    int GetFrame() const { return frame_; }
    void SyncFrameFromItem() { SyncFrameFrom(GetItem()); }
    // The value the frame stands for goes to the item when it differs, sparing this control.
    void WriteFrameToItem(int update);
    // Nothing when f is outside [0, N - 1] or already shown.
    void SetFrame(int frame, int redraw, int notify, int writeItem);
    void SetResponseFunction(const ResponseFunction* function);
    const ResponseFunction* GetResponseFunction() const { return responseFunction_; }

    void OnDataItemChanged() override;
    // A drag moves the frame by its pixels along the axis (up counts as more when vertical).
    void OnMouseMove(WPARAM keys, int x, int y) override;

protected:
    using Control::Control;

    // The frame the item's value falls on, stored without a redraw; nothing without a numeric
    // item.
    void SyncFrameFrom(DataItem* item);
    int frame_ = 0;

private:
    const ResponseFunction* responseFunction_ = nullptr; // borrowed from the skin
};
