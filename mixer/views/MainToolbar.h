#pragma once

#include "framework/controls/Panel.h"

class MainWindowLink;
class ToolbarHost;

// The main frame's session commands and the toggles of the FX palette ("fxVisible") and the
// sync panel ("syncsettings"). User-interface thread only.
class MainToolbar : public Panel
{
public:
    // Whether the hardware has a sync card; without, "sync_settings" is hidden. Set before
    // Create.
    void SetHasSync(int hasSync) { hasSync_ = hasSync; }
    // Built from the skin's "mainToolbar", its bottom-right corner 36 pixels left of right
    // and at bottom; 0 on any failure.
    int Create(ToolbarHost* host, MainWindowLink* mainWindow, int right, int bottom);

    int OnControlNotify(Panel* panel, Control* control, int argument) override;
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;
    int OnKeyDown(WPARAM, LPARAM) override { return 0; }
    void OnMouseWheel(WPARAM, int, int) override {}

private:
    void OnSyncSettings(int on);

    ToolbarHost* host_ = nullptr;          // borrowed: the frame, the owner
    MainWindowLink* mainWindow_ = nullptr; // borrowed
    int hasSync_ = 0;
};
