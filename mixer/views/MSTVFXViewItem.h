#pragma once

#include "framework/controls/Panel.h"
#include "framework/controls/PopupMenu.h"

class IVarnEffect;
class MSTVFXViewList;
class PeakValueWatcher;

// One row of the effect view's list: a skinned template by the parameter's control kind, with
// the value in the item "param" (a flag, an integer, a selector's index, a real, or for meters
// a peak-value watcher with the sticky peak in "stickypeakval"), or for an insert without
// effect the send destination and return source. Engine values come in with redraw only; the
// user's edits go to the engine by the parameter's value type. User-interface thread only.
class MSTVFXViewItem : public Panel, public MenuListener
{
public:
    enum ValueType
    {
        kOnOff = 0,
        kTrigger = 1,
        kIntegerWithText = 2,
        kSelector = 3,
        kContinuous = 4,
        kNoValue = 5
    };
    static constexpr int kNoControlKind = 10;

    explicit MSTVFXViewItem(MSTVFXViewList& list) : list_(list) {}
    ~MSTVFXViewItem() override;

    // The row of a parameter (rowNumber -1: the parameter index) or, without an effect, the
    // send row; 0 when the control kind has no template or the template cannot be loaded.
    int Create(int parameterIndex, int rowNumber);
    // Fills the row from the engine; nothing while a control is being dragged.
    void Update();
    void UpdateValue();
    void UpdateName();

    int GetParameterIndex() const { return parameterIndex_; }
    int GetValueType() const { return valueType_; }
    int GetControlKind() const { return controlKind_; }
    int IsSendRow() const { return sendRow_; }
    // The template the row was made from (null before Create).
    const char* GetTemplate() const { return template_; }

    int OnControlNotify(Panel* panel, Control* control, int argument) override;
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;
    void OnRightClickControl(Control* control) override;
    void OnMenuCommand(int command) override;
    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnMouseWheel(WPARAM flags, int x, int y) override;

private:
    IVarnEffect* Effect() const;
    void MakeItem(IVarnEffect* effect);
    void UpdateSend();
    // The fill of a row just made from its template.
    void FirstFill();
    void SetHelp(const String& help);
    // An integer's display text, after every change of its value.
    void ReadDisplayText(IVarnEffect& effect, IntItem& item);

    MSTVFXViewList& list_;
    int parameterIndex_ = -1;
    int valueType_ = kNoValue;
    int controlKind_ = kNoControlKind;
    DataItem* param_ = nullptr; // the panel's
    RealItem* stickyPeak_ = nullptr;
    PeakValueWatcher* watcher_ = nullptr; // the meter's "param"
    int sendRow_ = 0;
    // A selector value above its range is written back once only: an engine that answers the
    // write with another event would otherwise loop with the row.
    int wroteBack_ = 0;
    const char* template_ = nullptr;
    DataItem* menuItem_ = nullptr; // the item of the open control context menu
};
