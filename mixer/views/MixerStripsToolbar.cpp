#include "mixer/views/MixerStripsToolbar.h"

#include "framework/controls/Control.h"
#include "framework/dialogs/PanelBuilder.h"
#include "mixer/views/MainWindowLink.h"
#include "mixer/views/ToolbarHost.h"

int MixerStripsToolbar::Create(ToolbarHost* host, MainWindowLink* mainWindow, int x, int y)
{
    host_ = host;
    mainWindow_ = mainWindow;
    if (!Setup(nullptr, -1, -1, 0x646464) ||
        !PanelBuilder(mainWindow->GetSkin()).BuildPanel("mixerStripsToolbar", *this, 0, nullptr))
        return 0;
    return Panel::Create(&host->GetToolbarParent(), x, y, 2);
}

int MixerStripsToolbar::OnControlNotify(Panel*, Control* control, int)
{
    const String& name = control->GetName();
    if (name.CompareLiteral("collapse") == 0)
        host_->CollapseStrips();
    else if (name.CompareLiteral("createStrip") == 0)
        host_->CreateStrip();
    else if (name.CompareLiteral("deleteStrip") == 0)
        host_->DeleteStrip();
    return 1;
}

void MixerStripsToolbar::OnMouseWheel(WPARAM wParam, int x, int y)
{
    host_->OnToolbarWheel(wParam, x, y);
}

void MixerStripsToolbar::OnMouseDown(WPARAM flags, int x, int y)
{
    SetFocus();
    Panel::OnMouseDown(flags, x, y);
}
