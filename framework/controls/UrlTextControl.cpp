#include "framework/controls/UrlTextControl.h"

#include "framework/windows/AppBase.h"

int UrlTextControl::Setup(int x, int y, const String& name, const String& text, FontInterface* font,
                          uint32_t linkColour, uint32_t disabledTextColour, int width, int alignment,
                          SkinBitmap* background, int leftWidth, int midWidth, int rightWidth, int margin)
{
    return SetupLabel(x, y, name, text, font, linkColour, disabledTextColour, width, alignment, background, leftWidth,
                      midWidth, rightWidth, margin);
}

void UrlTextControl::Draw()
{
    if (text_.Length())
        DrawLabel();
}

void UrlTextControl::OnMouseDown(WPARAM, int, int)
{
    if (IsHidden() || IsDisabled() || !AppBase::OpenWithShell(text_))
        return;
    if (colour_ == kVisitedColour)
        return;
    colour_ = kVisitedColour;
    Redraw();
}
