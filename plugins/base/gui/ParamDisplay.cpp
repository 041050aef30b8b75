#include "plugins/base/gui/ParamDisplay.h"

#include "plugins/base/gui/DrawContext.h"
#include "plugins/base/gui/PluginBitmap.h"

#include <cstdio>

ParamDisplay::ParamDisplay(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* background,
                           int32_t style)
    : PluginControl(size, listener, tag), m_style(style), m_backgroundBitmap(background)
{
    if (m_backgroundBitmap)
    {
        m_backgroundBitmap->Remember();
    }
}

ParamDisplay::~ParamDisplay()
{
    if (m_backgroundBitmap)
    {
        m_backgroundBitmap->Forget();
    }
}

void ParamDisplay::Draw(DrawContext* context)
{
    char text[256];
    if (m_stringConvert)
    {
        text[0] = '\0';
        m_stringConvert(GetValue(), text);
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
    PluginBitmap* bitmap = background ? background : m_backgroundBitmap;
    if (bitmap)
    {
        bitmap->Draw(context, m_size, m_backOffset);
    }
    else
    {
        context->SetFillColor(m_backColor);
        context->FillRect(m_size);
        if (!(m_style & (k3DIn | k3DOut)))
        {
            context->SetFrameColor(m_frameColor);
            context->DrawRect(m_size);
        }
    }
    if (m_style & (k3DIn | k3DOut))
    {
        const Rect& r = m_size;
        context->SetFrameColor(m_style & k3DIn ? m_backColor : m_frameColor);
        context->MoveTo(Point(r.left, r.bottom));
        context->LineTo(Point(r.left, r.top));
        context->LineTo(Point(r.right, r.top));
        context->SetFrameColor(m_style & k3DIn ? m_frameColor : m_backColor);
        context->LineTo(Point(r.right, r.bottom));
        context->LineTo(Point(r.left, r.bottom));
    }
    context->SetFont(m_fontIndex);
    if (m_style & kShadowText)
    {
        Rect shadow = m_size;
        shadow.left += 1;
        shadow.right += 1;
        shadow.top += 1;
        shadow.bottom += 1;
        context->SetFontColor(m_shadowColor);
        context->DrawString(text, shadow, false, m_horiAlign);
    }
    context->SetFontColor(m_fontColor);
    context->DrawString(text, m_size, false, m_horiAlign);
    m_oldValue = value;
}

void ParamDisplay::SetFont(int32_t index)
{
    m_fontIndex = index;
    ForceRedraw();
}

void ParamDisplay::SetFontColor(Color color)
{
    m_fontColor = color;
    ForceRedraw();
}

void ParamDisplay::SetBackColor(Color color)
{
    m_backColor = color;
    ForceRedraw();
}

void ParamDisplay::SetFrameColor(Color color)
{
    m_frameColor = color;
    ForceRedraw();
}

void ParamDisplay::SetShadowColor(Color color)
{
    m_shadowColor = color;
    ForceRedraw();
}

void ParamDisplay::SetHoriAlign(int32_t alignment)
{
    m_horiAlign = alignment;
    ForceRedraw();
}

void ParamDisplay::SetBackOffset(const Point& offset)
{
    m_backOffset = offset;
    ForceRedraw();
}

void ParamDisplay::SetStringConvert(StringConvert convert)
{
    m_stringConvert = convert;
    ForceRedraw();
}
