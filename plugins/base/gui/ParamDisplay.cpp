#include "plugins/base/gui/ParamDisplay.h"

#include "plugins/base/gui/DrawContext.h"
#include "plugins/base/gui/PluginBitmap.h"

#include <cstdio>

ParamDisplay::ParamDisplay(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* background,
                           int32_t style)
    : PluginControl(size, listener, tag), style_(style), backgroundBitmap_(background)
{
    if (backgroundBitmap_)
    {
        backgroundBitmap_->Remember();
    }
}

ParamDisplay::~ParamDisplay()
{
    if (backgroundBitmap_)
    {
        backgroundBitmap_->Forget();
    }
}

void ParamDisplay::Draw(DrawContext* context)
{
    char text[256];
    if (stringConvert_)
    {
        text[0] = '\0';
        stringConvert_(GetValue(), text);
        text[sizeof(text) - 1] = '\0';
    }
    else
    {
        std::snprintf(text, sizeof(text), "%2.2f", static_cast<double>(GetValue()));
    }
    DrawLabel(context, text);
}

void ParamDisplay::DrawLabel(DrawContext* context, const char* text, PluginBitmap* background)
{
    const float value = GetValue();
    PluginBitmap* bitmap = background ? background : backgroundBitmap_;
    if (bitmap)
    {
        bitmap->Draw(context, size_, backOffset_);
    }
    else
    {
        context->SetFillColor(backColor_);
        context->FillRect(size_);
        if (!(style_ & (k3DIn | k3DOut)))
        {
            context->SetFrameColor(frameColor_);
            context->DrawRect(size_);
        }
    }
    if (style_ & (k3DIn | k3DOut))
    {
        const Rect& r = size_;
        context->SetFrameColor(style_ & k3DIn ? backColor_ : frameColor_);
        context->MoveTo(Point(r.left, r.bottom));
        context->LineTo(Point(r.left, r.top));
        context->LineTo(Point(r.right, r.top));
        context->SetFrameColor(style_ & k3DIn ? frameColor_ : backColor_);
        context->LineTo(Point(r.right, r.bottom));
        context->LineTo(Point(r.left, r.bottom));
    }
    context->SetFont(fontIndex_);
    if (style_ & kShadowText)
    {
        Rect shadow = size_;
        shadow.left += 1;
        shadow.right += 1;
        shadow.top += 1;
        shadow.bottom += 1;
        context->SetFontColor(shadowColor_);
        context->DrawString(text, shadow, false, horiAlign_);
    }
    context->SetFontColor(fontColor_);
    context->DrawString(text, size_, false, horiAlign_);
    oldValue_ = value;
}

void ParamDisplay::SetFont(int32_t index)
{
    fontIndex_ = index;
    ForceRedraw();
}

void ParamDisplay::SetFontColor(Color color)
{
    fontColor_ = color;
    ForceRedraw();
}

void ParamDisplay::SetBackColor(Color color)
{
    backColor_ = color;
    ForceRedraw();
}

void ParamDisplay::SetFrameColor(Color color)
{
    frameColor_ = color;
    ForceRedraw();
}

void ParamDisplay::SetShadowColor(Color color)
{
    shadowColor_ = color;
    ForceRedraw();
}

void ParamDisplay::SetHoriAlign(int32_t alignment)
{
    horiAlign_ = alignment;
    ForceRedraw();
}

void ParamDisplay::SetBackOffset(const Point& offset)
{
    backOffset_ = offset;
    ForceRedraw();
}

void ParamDisplay::SetStringConvert(StringConvert convert)
{
    stringConvert_ = convert;
    ForceRedraw();
}
