#pragma once

#include "framework/controls/Panel.h"
#include "mixer/engine/VarnServices.h"
#include "mixer/views/FrameSections.h"

class FlagItem;
class IntItem;
class MainWindowLink;
class TextItem;

// The floating panel of the sync card ("syncsettings"): SMPTE striping with its start time,
// frame rate and output level, the SMPTE output source, the flywheel jam, MIDI time code and
// word-clock termination. Every change goes to the engine's sync object at once; the card's
// status (event 53) and time code (54) come back through the frame. Its place is kept in
// "Sync Settings Panel XPos" and "YPos". User-interface thread only.
class SyncSettingsPanel : public Panel, public SyncPanelFace
{
public:
    // Builds the panel as a popup owned by owner (the frame, which hears "exit") at its stored
    // place; 0 without a sync object or without the skin's panel.
    int Create(Window* owner, MainWindowLink& link);
    DWORD GetStyle() override { return WS_POPUP; }
    // Client coordinates: the bare panel and hidden controls drag it.
    int OnNcHitTest(int x, int y) override;
    void OnMove(int x, int y) override;
    int OnControlNotify(Panel* panel, Control* control, int argument) override;
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;

    // SyncPanelFace
    Window& GetWindow() override { return *this; }
    void OnSyncStatus(VarnEventArg argument) override;
    void ShowSyncTime(const VarnSyncTime& time) override;

    // Checks "Time" for the frame rate: valid, the card gets it; invalid, the user hears why
    // and the time is reset. 1 when valid.
    int ValidateTime();

private:
    void SetText(TextItem* item, const char* text, int notify);
    void SetFlag(FlagItem* item, int value);
    void Enable(const char* control, int enabled);
    void SendByte(int parameter, int value);
    void ShowFpsStatus(int rateByte);
    void ApplyFlyJamChoice(int choice);
    int ChoiceValue(const char* combo, IntItem* item);
    void Start();
    void Stop();

    MainWindowLink* link_ = nullptr; // borrowed: the main window outlives its frame's panels
    Window* owner_ = nullptr;        // borrowed: the frame owns the panel
    IVarnSync* sync_ = nullptr;      // borrowed from the engine
    IntItem* fps_ = nullptr;         // the items are owned by the panel
    IntItem* outputLevel_ = nullptr;
    TextItem* time_ = nullptr;
    TextItem* readTime_ = nullptr;
    TextItem* fpsStatus_ = nullptr;
    TextItem* flyJam_ = nullptr;
    FlagItem* ltcLock_ = nullptr;
    FlagItem* ltcError_ = nullptr;
    FlagItem* mtcReceive_ = nullptr;
    FlagItem* flywheel_ = nullptr;
    FlagItem* wordClock_ = nullptr;
    FlagItem* start_ = nullptr;
    IntItem* outputSource_ = nullptr;
    IntItem* flyJamChoice_ = nullptr;
    int errorMarked_ = 0;
    int updating_ = 0; // what the panel itself shows is no user's change
};
