#include "framework/controls/FormWindow.h"

#include "framework/controls/TextControl.h"
#include "framework/platform/graphics/Region.h"
#include "framework/windows/FormPlacement.h"

namespace
{
FormWindow* g_form = nullptr; // borrowed: the form made last, until it goes
}

FormWindow::FormWindow()
{
    g_form = this;
}

FormWindow::~FormWindow()
{
    if (g_form == this)
        g_form = nullptr;
}

FormWindow* FormWindow::Instance()
{
    return g_form;
}

int FormWindow::Create(Window* parent)
{
    const int width = BackgroundWidth();
    const int height = BackgroundHeight();
    Region shape;
    const int shaped = HasShapedBackground() && BuildShapeRegion(shape);
    return FormPlacement::Create(*this, parent, width, height, shaped ? &shape : nullptr);
}

TextControl* FormWindow::FindTextControl(const char* name) const
{
    String key;
    if (!key.AppendAnsi(name ? name : ""))
        return nullptr;
    Control* control = FindControl(key);
    return control && control->GetType() == Control::TypeText ? static_cast<TextControl*>(control) : nullptr;
}

void FormWindow::SetChildText(const char* name, const String& text)
{
    TextControl* control = FindTextControl(name);
    if (!control)
        return;
    control->SetText(text, 0);
    RedrawArea(nullptr, 1);
}

int FormWindow::GetChildText(const char* name, char16_t* buffer, int size) const
{
    const TextControl* control = FindTextControl(name);
    if (!control)
    {
        if (buffer && size > 0)
            buffer[0] = 0;
        return 0;
    }
    return control->GetText().CopyToWide(buffer, size);
}
