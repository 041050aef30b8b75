#pragma once
// The rows of the shown insert's parameters: a child window of the effect view in its
// "clientarea", scrolled by its "vertscrollbar". Each row is a small panel of one of the
// "MSTVFXViewItem_" kinds bound to one parameter; it shows the model's value without telling
// the model, and sends only the user's edits. GUI thread.

#include "framework/controls/Panel.h"
#include "framework/controls/PopupMenu.h"
#include "framework/dialogs/ScrolledContent.h"
#include "plugins/quorvel/EditorRules.h"
#include "plugins/quorvel/ParamChain.h"

#include <cstdint>
#include <memory>
#include <vector>

class EditorParamList;
class EffectView;
class InsertEffect;

class EditorParamItem final : public Panel, public MenuListener
{
public:
    // Value-kind words of the descriptor.
    enum ControlKind : int32_t
    {
        kTrigger = 0,
        kToggle = 1,
        kContinuous = 2,
        kDiscrete = 3,
        kSelector = 4,
    };

    int32_t Index() const { return ParamDescriptor(descriptor_.data()).Index(); }
    bool IsMeter() const { return meter_; }
    bool IsDragging() const { return dragging_; }
    // Fills the row from the model, telling nobody.
    void Update(InsertEffect& insert);
    void Reload(InsertEffect& insert);
    void ShowName();
    void RefreshMeter(InsertEffect& insert, bool processing);

    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;
    int OnControlNotify(Panel* panel, Control* control, int argument) override;
    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnMouseUp(WPARAM flags, int x, int y) override;
    // The control menu of a control with a data item (reset, copy, paste).
    void OnRightClickControl(Control* control) override;
    void OnMenuCommand(int command) override;
    ~EditorParamItem() override;

private:
    friend class EditorParamList;
    EditorParamItem(EditorParamList& list, int row, const uint8_t* descriptor, int32_t paramKind, bool meter);
    void ShowValueText(InsertEffect& insert);

    EditorParamList& list_;
    int row_;
    std::vector<uint8_t> descriptor_; // a copy: the insert's may be re-read meanwhile
    int32_t paramKind_;
    bool meter_;
    int32_t controlKind_;
    NumericItem* value_ = nullptr; // "param", owned by the panel's items; null for a trigger
    bool dragging_ = false;
    DataItem* menuItem_ = nullptr; // the item whose menu is open (one of this row's)
};

class EditorParamList final : public Window, public ScrolledContent
{
public:
    static constexpr int kWindowId = 999;

    explicit EditorParamList(EffectView& view);
    ~EditorParamList() override;

    bool Create(int x, int y, int width, int height);
    EffectView& View() { return view_; }

    int RowCount() const { return static_cast<int>(rows_.size()); }
    EditorParamItem* Row(int position) const { return rows_[position].get(); }
    int FindRow(int32_t index) const;
    void RefreshRow(int position);
    void RefreshAll();
    void ReloadRow(int position);
    void RenameRow(int position);
    void Rebuild();
    void RefreshMeters(bool processing);

    void AttachScroller(Scroller* scroller, int id) override;

private:
    // Null when the row cannot be made (a value kind above 4 or a panel the skin lacks); the
    // row kind is PlanParamRow's (a meter row is a peak meter, an inverted one drawn so).
    std::unique_ptr<EditorParamItem> Make(int row, const uint8_t* descriptor, int32_t paramKind, ParamRowKind rowKind,
                                          InsertEffect& insert);
    void Populate();
    void LayoutRows();
    void ScrollContents(int dy) override;
    int RowHeight() const;

    EffectView& view_;
    std::vector<std::unique_ptr<EditorParamItem>> rows_;
};
