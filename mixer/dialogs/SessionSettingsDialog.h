#pragma once
#include "mixer/dialogs/AppDialog.h"
#include "mixer/dialogs/SessionSettingsRules.h"

class ComboBox;
class IntItem;
class Skin;
class TextItem;
class Window;

// The session settings ("sessionsettings", titled "Session Settings", which a rate change
// leaves open): clock source and rate, the card's formats, reference levels, soft limiter,
// second MIDI input and the session comment. Every change goes at once, by name, into the
// hardware's settings store; values already written stay written when the dialog is
// cancelled, and the modified flag tells the caller so. User-interface thread only.
class SessionSettingsDialog : public AppDialog
{
public:
    static constexpr const char* kTitle = "Session Settings";

    // Binds the mixer model (borrowed) and makes the items from its hardware's store; 1.
    int SetMixer(IVarnMixer* mixer);
    // Null: the default comment.
    void SetComment(const char16_t* text);
    // 1: OK.
    int Run(Skin& skin, Window* parent);
    void GetComment(String& text) const;
    int IsModified() const { return modified_; }

    int OnInitDialog() override;
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;
    void OnTabPageChanged(const String& tabName, int page) override;
    void OnMouseDown(WPARAM flags, int x, int y) override;
    // Event 55: the open menu closes and the visible page shows the store again.
    void OnSettingsChanged() override;

    // Writes the item's own value (flag 1, a user's choice); nothing without a store.
    void SetChoiceValue(IntItem* item);
    // Writes value under the item's name (flag 0); nothing without a store.
    void SetValue(IntItem* item, int value);

private:
    void FillSync();
    void FillRates();
    void UpdateClockEnabling();
    void RefreshPage(int page);
    void Apply(const std::vector<SessionSettingsRules::Enabling>& enablings);
    int SelectedValue(ComboBox* combo) const;
    int StoredValue(const char* name, int fallback) const;
    void SwitchClock(int external);

    IVarnMixer* mixer_ = nullptr;    // borrowed from the engine
    IVarnSettings* store_ = nullptr; // borrowed from the engine
    SessionSettingsRules::Hardware hardware_;
    IntItem* rateType_ = nullptr; // the items are owned by the panel
    IntItem* rate_ = nullptr;
    IntItem* syncSource_ = nullptr;
    TextItem* comment_ = nullptr;
    ComboBox* rateCombo_ = nullptr; // the controls as well
    ComboBox* syncCombo_ = nullptr;
    std::vector<int> keptPages_;
    std::vector<SessionSettingsRules::Refresh> refreshes_;
    int masterCard_ = 1;
    int modified_ = 0;
    int initialising_ = 0;
    int syncListDisabled_ = 0;
};
