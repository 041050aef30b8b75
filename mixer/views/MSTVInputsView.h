#pragma once
#include "mixer/views/MSTVIoView.h"

class MSTVInputsList;

// One input of the inputs list: its name and the strip (or bus) it feeds; a press focuses the
// strip the input feeds in the strip section and scrolls it into view.
class MSTVInputsViewItem : public MSTVIoRow
{
public:
    MSTVInputsViewItem(MSTVInputsList& list, int rowIndex, IVarnInput* input);

    // Template, texts and the window one row height per index down the list; 0 on failure.
    int Create();
    void Refresh();
    // "MSTVInputsViewItem_Assigned" when the input is assigned and feeds something named,
    // else "MSTVInputsViewItem_Unassigned".
    int ApplyTemplate(int rebuild);
    // "input" and "dest" by the input's kind.
    void Update();
    // The strip the input feeds: its own, else the strip whose chain holds the insert it
    // feeds; null when the walk meets none.
    IVarnStrip* FindStrip() const;
    IVarnInput* GetInput() const { return input_; }

    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnMouseWheel(WPARAM flags, int x, int y) override;

private:
    IVarnInput* input_; // the engine's
};

// The inputs of one system: the physical inputs (groups 1 and 2) at the model's positions, or
// the host inputs by type; only inputs in use get a row.
class MSTVInputsList : public MSTVIoList
{
public:
    using MSTVIoList::MSTVIoList;

    // Every row again, from the top.
    void OnInputChanged(IVarnInput* input);
    // Every row refreshed.
    void OnStripChanged();
    MSTVInputsViewItem* GetItem(int index) const { return static_cast<MSTVInputsViewItem*>(GetRow(index)); }

protected:
    void Populate() override;

private:
    void AddInput(IVarnInput* input);
};

// The TV area's inputs view ("MSTVInputsView"): "inType" chooses physical or host inputs,
// kept as "TV Inputs Mode".
class MSTVInputsView : public MSTVIoView
{
public:
    MSTVInputsView();
    void OnInputChanged(VarnEventArg input) override;
    void OnStripChanged(IVarnStrip* strip) override;
    MSTVInputsList* GetInputsList() const { return static_cast<MSTVInputsList*>(GetList()); }

protected:
    std::unique_ptr<MSTVIoList> MakeList(IVarnHardware* system, int mode) override;
};
