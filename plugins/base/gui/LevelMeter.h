#pragma once
// A meter drawn from an "on" and an "off" picture, falling back by at most one step per draw.

#include "plugins/base/gui/PluginControl.h"

class PluginBitmap;

class LevelMeter : public PluginControl
{
public:
    static constexpr int32_t kHorizontal = 1;

    // Both bitmaps are remembered; steps 0 means no rounding.
    LevelMeter(const Rect& size, PluginBitmap* on, PluginBitmap* off, int32_t steps, int32_t style = 0);
    ~LevelMeter() override;

    void Draw(DrawContext* context) override;
    void SetDecreaseStep(float step) { decreaseStep_ = step; }

private:
    PluginBitmap* on_;
    PluginBitmap* off_;
    int32_t steps_;
    int32_t style_;
    float decreaseStep_ = 1.0f;
};
