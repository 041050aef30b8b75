#pragma once

#include <memory>

#include "framework/controls/Panel.h"
#include "framework/controls/PopupMenu.h"
#include "mixer/engine/VarnServices.h"
#include "mixer/views/MainSectionParts.h"

class MSTVFXViewList;
class MainSectionView;
class MainWindowLink;

// The TV area's effect view: the shown insert's effect name and where it sits, its wet/dry
// mix, bypass and solo, and the effect's core presets. It mirrors the engine into its items
// without telling itself (with redraw only), so showing or refreshing never writes back; only
// the user's edits go to the engine, each followed by the mixer's change notification.
// User-interface thread only.
class MSTVFXView : public Panel, public TVAreaView, public MenuListener
{
public:
    // The commands of the skin popup "CorePresetEditMenu".
    enum PresetCommand
    {
        kNewPreset = 1,
        kDeletePreset = 2,
        kRenamePreset = 3,
        kStorePreset = 4
    };
    // The longest names the library keeps: a new core preset's and a renamed one's.
    static constexpr int kMaxNewNameLength = 127;
    static constexpr int kMaxRenameLength = 49;

    MSTVFXView();
    ~MSTVFXView() override;

    // Builds the items and the skin panel "MSTVFXView" in the owner (at the skin's
    // "mainSectionTVXPos"/"mainSectionTVYPos", else 24, 52); a null insert shows the current
    // FX insert. 0 when the skin has no such panel or the window cannot be made.
    int Create(MainSectionView& owner, MainWindowLink& link, IVarnInsert* insert);
    // Shows the insert (null: none); with force 0 nothing happens for the insert already shown.
    void SetInsert(IVarnInsert* insert, int force);
    IVarnInsert* GetInsert() const { return insert_; }
    IVarnEffect* GetEffect() const { return insert_ ? insert_->GetEffect() : nullptr; }

    // The insert the effect view showed last, so that a view made again shows it too; the
    // main section clears it when it rebuilds its TV area.
    static IVarnInsert* GetCurrentInsert();
    static void SetCurrentInsert(IVarnInsert* insert);

    // 700-748: the shown insert is checked against its chain (gone: none is shown; another
    // effect: shown again); 750-752 of its key: bypass, solo, wet/dry.
    void OnInsertEvent(int id, VarnEventArg argument) override;
    void OnPresetListEvent(int id, VarnEventArg argument) override;
    void OnEffectEvent(int id, VarnEventArg argument) override;

    // The preset edit menu at the pointer, with an effect and a selected preset; delete,
    // rename and store disabled for a factory preset.
    void ShowPresetEditMenu();
    void OnMenuCommand(int command) override;

    // The parameter rows; null without the skin's "clientarea".
    MSTVFXViewList* GetList() const { return list_.get(); }

    void OnCreate() override;
    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnMouseWheel(WPARAM flags, int x, int y) override;
    int OnControlNotify(Panel* panel, Control* control, int argument) override;
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;

private:
    // Refills the combo; with keepScroll the combo's shown entry stays. curpreset takes the
    // entry of the effect's current preset, shown only.
    void FillPresets(IVarnEffect* effect, int keepScroll = 0);
    // The selected preset's record; 0 without an effect or a selection inside the list.
    int SelectedRecord(VarnCorePresetRecord& record, int& index);
    // Whether record index is still the one read before a dialog ran (whose loop may have
    // handled another instance's change of the list).
    int StillThere(const VarnCorePresetRecord& record, int index);
    // A typed name the library would keep, else its message box and 0.
    int CheckName(const String& name, int maximum);
    void NewPreset();
    void DeletePreset(const VarnCorePresetRecord& record, int index);
    void RenamePreset(const VarnCorePresetRecord& record, int index);
    void SetText(const char* control, const String& text, int enabled);
    void EnableControl(const char* control, int enabled);
    void DisableItem(DataItem* item, int flag);
    IVarnFxLibrary* Library() const;
    void NotifyEngine();

    void MakeList();
    static int IsInItsChain(IVarnInsert* insert);

    std::unique_ptr<MSTVFXViewList> list_;
    MainSectionView* owner_ = nullptr;   // borrowed: the parent
    MainWindowLink* link_ = nullptr;     // borrowed
    IVarnInsert* insert_ = nullptr;      // the engine's; may be null
    IVarnInsert* initial_ = nullptr;     // the insert Create was given
    IVarnEffect* shownEffect_ = nullptr; // the effect the rows were made for
    int insertKey_ = 0;
    int effectKey_ = 0;
    RealItem* wetDry_ = nullptr; // items are the panel's
    FlagItem* bypass_ = nullptr;
    FlagItem* solo_ = nullptr;
    IntItem* curPreset_ = nullptr;
};
