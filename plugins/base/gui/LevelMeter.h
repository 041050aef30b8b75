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
    void SetDecreaseStep(float step) { m_decreaseStep = step; }

private:
    PluginBitmap* m_on;
    PluginBitmap* m_off;
    int32_t m_steps;
    int32_t m_style;
    float m_decreaseStep = 1.0f;
};
