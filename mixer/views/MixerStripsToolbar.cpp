#include "mixer/views/MixerStripsToolbar.h"

#include "framework/controls/Control.h"
#include "framework/dialogs/PanelBuilder.h"
#include "mixer/names/WindowMessages.h"
#include "mixer/views/FrameApp.h"
#include "mixer/views/MainWindowLink.h"

int MixerStripsToolbar::Create(FrameApp* frame, MainWindowLink* mainWindow, int x, int y)
{
    frame_ = frame;
    mainWindow_ = mainWindow;
    if (!Setup(nullptr, -1, -1, 0x646464) ||
        !PanelBuilder(mainWindow->GetSkin()).BuildPanel("mixerStripsToolbar", *this, 0, nullptr))
        return 0;
    return Panel::Create(frame, x, y, 2);
}

int MixerStripsToolbar::OnControlNotify(Panel*, Control* control, int)
{
    const String& name = control->GetName();
    if (name.CompareLiteral("collapse") == 0)
        ::PostMessageA(frame_->GetHandle(), WindowMessage::kToolbarRequest, FrameApp::kCollapse, 0);
    else if (name.CompareLiteral("createStrip") == 0)
        frame_->CreateStrip();
    else if (name.CompareLiteral("deleteStrip") == 0)
        frame_->DeleteStrip();
    return 1;
}

void MixerStripsToolbar::OnMouseWheel(WPARAM wParam, int x, int y)
{
    frame_->OnMouseWheel(wParam, x, y);
}

void MixerStripsToolbar::OnMouseDown(WPARAM flags, int x, int y)
{
    SetFocus();
    Panel::OnMouseDown(flags, x, y);
}
