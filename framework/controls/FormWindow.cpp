#include "framework/controls/FormWindow.h"

#include "framework/controls/TextControl.h"
#include "framework/platform/graphics/Region.h"
#include "framework/windows/FormPlacement.h"

namespace
{
FormWindow* gForm = nullptr; // borrowed: the form made last, until it goes
} // namespace

FormWindow::FormWindow()
{
    gForm = this;
}

FormWindow::~FormWindow()
{
    if (gForm == this)
        gForm = nullptr;
}

FormWindow* FormWindow::Instance()
{
    return gForm;
}

int FormWindow::Create(Window* parent)
{
    const int width = BackgroundWidth();
    const int height = BackgroundHeight();
    Region shape;
    const int shaped = HasShapedBackground() && BuildShapeRegion(shape);
    return FormPlacement::Create(*this, parent, width, height, shaped ? &shape : nullptr);
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
