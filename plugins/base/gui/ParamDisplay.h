#pragma once
// A control that shows its value as text over a bitmap or a filled rectangle.

#include "plugins/base/gui/PluginControl.h"

class PluginBitmap;

class ParamDisplay : public PluginControl
{
public:
    // Style bits.
    static constexpr int32_t kShadowText = 4;
    static constexpr int32_t k3DIn = 0x80;
    static constexpr int32_t k3DOut = 0x100;
    static constexpr int32_t kPopupAbove = 0x200;
    static constexpr int32_t kCheckCurrent = 0x400;

    using StringConvert = void (*)(float value, char* text);

    // The background bitmap is optional and remembered.
    ParamDisplay(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* background = nullptr,
                 int32_t style = 0);
    ~ParamDisplay() override;

    void Draw(DrawContext* context) override;

    // Each setter makes the next Update redraw.
    virtual void SetFont(int32_t index);
    virtual void SetFontColor(Color color);
    virtual void SetBackColor(Color color);
    virtual void SetFrameColor(Color color);
    virtual void SetShadowColor(Color color);
    // 0 left, 1 centred, 2 right.
    virtual void SetHoriAlign(int32_t alignment);
    virtual void SetBackOffset(const Point& offset);
    virtual void SetStringConvert(StringConvert convert);

    int32_t GetStyle() const { return style_; }

protected:
    // The shared drawing with a text of the kind's own; the given background replaces the
    // control's own when not null.
    void DrawLabel(DrawContext* context, const char* text, PluginBitmap* background = nullptr);
    void ForceRedraw() { oldValue_ = GetValue() + 0.1f; }

    int32_t horiAlign_ = 1;
    int32_t style_;
    int32_t fontIndex_ = 3;
    Color fontColor_ = Colors::kWhite;
    Color backColor_ = Colors::kBlack;
    Color frameColor_ = Colors::kBlack;
    Color shadowColor_ = Colors::kRed;
    Point backOffset_;
    PluginBitmap* backgroundBitmap_; // remembered, may be null
    StringConvert stringConvert_ = nullptr;
};
