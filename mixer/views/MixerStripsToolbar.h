#pragma once

#include "framework/controls/Panel.h"

class MainWindowLink;
class ToolbarHost;

// The strips toolbar of the main frame: create and delete strips, and "collapse", which the
// frame hears as its toolbar request (WindowMessage::kToolbarRequest, collapse) and leaves alone. User-interface thread only.
class MixerStripsToolbar : public Panel
{
public:
    // Built from the skin's "mixerStripsToolbar" at (x, y) in the frame; 0 on any failure.
    int Create(ToolbarHost* host, MainWindowLink* mainWindow, int x, int y);

    int OnControlNotify(Panel* panel, Control* control, int argument) override;
    void OnMouseWheel(WPARAM wParam, int x, int y) override;
    void OnMouseDown(WPARAM flags, int x, int y) override;

private:
    ToolbarHost* host_ = nullptr;          // borrowed: the frame, the owner
    MainWindowLink* mainWindow_ = nullptr; // borrowed
};
