#pragma once
#include "mixer/views/MSTVIoView.h"

class FlagItem;
class MSTVOutputsList;

// One output of the outputs list: its name, its role (main mix, monitor, taken over by an
// insert, none, or an output of another system) shown by the template of its state, and in
// physical mode the toggles "mixon" and "monon" that route the main or the monitor mix to it.
// The engine's answer to an assignment is not written into the row: the row shows the new
// role when the engine's event 400 comes back through the main section.
class MSTVOutputsViewItem : public MSTVIoRow
{
public:
    MSTVOutputsViewItem(MSTVOutputsList& list, int rowIndex, IVarnOutput* output);

    // Items, template of the state, texts, the window one row height per index down the
    // list; 0 when a step fails (in host mode also for the states that get no row).
    int Create();
    // The state again, its template and texts, redrawn.
    void Refresh();
    // The state from the engine; answers whether the output gets a row (IoViewRules).
    int ComputeState();
    // The state's template built into the row; 0 outside the states or without it.
    int ApplyTemplate(int rebuild);
    // "output", "insertsrc" and the toggles from the output and the state.
    void Update();
    // 1 to go on when the user switches a role off; 0 when the no-ASIO warning was cancelled
    // for the host output that the last ASIO recording would lose.
    int CheckHostRouting();

    int GetState() const { return state_; }
    IVarnOutput* GetOutput() const { return output_; }

    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;

private:
    // The toggle switched on: the assignment, once more after preparing the DSP when the engine
    // asks for it, and the message and the reset of the toggle when it is refused.
    void SwitchOn(FlagItem* toggle, int assignment);

    IVarnOutput* output_; // the engine's
    int state_ = 0;
    FlagItem* mixOn_ = nullptr; // the panel's; physical mode only
    FlagItem* monOn_ = nullptr;
};

// The outputs of one system: the physical pairs (group 2) the model shows, or the Wave and
// ASIO outputs (groups 0 and 1) that are in use.
class MSTVOutputsList : public MSTVIoList
{
public:
    using MSTVIoList::MSTVIoList;

    // None: every row again. An output: its row (a single channel's pair) refreshed.
    void OnOutputChanged(IVarnOutput* output);
    // Rows whose override is gone are refreshed.
    void OnStripChanged();
    MSTVOutputsViewItem* GetItem(int index) const { return static_cast<MSTVOutputsViewItem*>(GetRow(index)); }

protected:
    void Populate() override;
};

// The TV area's outputs view ("MSTVOutputsView"): "outType" chooses physical or host outputs,
// kept as "TV Outputs Mode", each mode with its own background.
class MSTVOutputsView : public MSTVIoView
{
public:
    MSTVOutputsView();
    void OnOutputChanged(VarnEventArg port) override;
    void OnStripChanged(IVarnStrip* strip) override;
    MSTVOutputsList* GetOutputsList() const { return static_cast<MSTVOutputsList*>(GetList()); }

protected:
    std::unique_ptr<MSTVIoList> MakeList(IVarnHardware* system, int mode) override;
    const char* BackgroundOf(int mode) override;
};
