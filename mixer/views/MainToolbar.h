#pragma once

#include "framework/controls/Panel.h"

class FrameApp;
class MainWindowLink;

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
    int Create(FrameApp* frame, MainWindowLink* mainWindow, int right, int bottom);

    int OnControlNotify(Panel* panel, Control* control, int argument) override;
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;
    int OnKeyDown(WPARAM, LPARAM) override { return 0; }
    void OnMouseWheel(WPARAM, int, int) override {}

private:
    void OnSyncSettings(int on);

    FrameApp* frame_ = nullptr;            // borrowed: the owner
    MainWindowLink* mainWindow_ = nullptr; // borrowed
    int hasSync_ = 0;
};
