#pragma once
// The editor's panel of the selected insert ("MSTVFXView"): its name, wet/dry, bypass, solo,
// its core presets and the rows of its parameters. The insert is kept by its identity and
// looked up while holding the chain, so an insert that setChunk or the services thread's
// pending work removes is simply no longer shown. What the model says is shown without
// telling the model again: only the user's edits reach it. GUI thread.

#include "framework/controls/Panel.h"
#include "framework/controls/PopupMenu.h"
#include "plugins/quorvel/EditorMainPanel.h"

#include <cstdint>
#include <functional>
#include <memory>

class EditorParamList;
class FlagItem;
class InsertEffect;
class IntItem;
class RealItem;

// The name an insert is shown by: a DSP effect's own, the kind's for the others.
void InsertDisplayName(const InsertEffect& insert, String& out);

class EffectView final : public Panel, public EditorMessageListener, public MenuListener
{
public:
    static constexpr int kWindowId = 99;

    explicit EffectView(EditorMainPanel& panel);
    ~EffectView() override;

    // Builds "MSTVFXView" at the skin's "TVViewXpos"/"TVViewYpos"; false without the panel.
    bool Create();
    // The rows' window paints itself: the view's own painting leaves it out.
    DWORD GetStyle() override { return WS_CHILD | WS_CLIPCHILDREN; }
    // identity 0: no insert. force 0 and the shown insert: nothing.
    void Layout(uint32_t identity, bool force);
    uint32_t Shown() const { return identity_; }
    void RefreshMeters(bool processing);
    EditorParamList* Params() const { return params_.get(); }

    // Runs with the shown insert while holding the chain; false when it is gone.
    bool WithInsert(const std::function<void(InsertEffect&)>& use);

    void OnEditorMessage(uint32_t id, uintptr_t wParam, uintptr_t lParam, intptr_t cookie) override;
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;
    int OnControlNotify(Panel* panel, Control* control, int argument) override;
    // "editpreset": the core presets' menu at the cursor; false when none is shown.
    bool ShowPresetMenu();
    // A command of "CorePresetEditMenu" (new 1, delete 2, rename 3, store 4) on the selected
    // preset, as if chosen (tests drive the menu through it too).
    void RunPresetCommand(int command);
    void OnMenuCommand(int commandId) override { RunPresetCommand(commandId); }
    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnMouseUp(WPARAM flags, int x, int y) override;

private:
    void ShowTexts(InsertEffect* insert);
    void RefreshBypassSolo(InsertEffect& insert);
    void RefreshWetDry(InsertEffect& insert);
    void FillPresetCombo(InsertEffect* insert);
    void BuildParams();
    // 5633-5636 for the insert whose notify id is notifyId.
    void OnParamEvent(uint32_t id, int32_t index, int32_t notifyId);
    void SetText(const char* control, const String& text, bool enabled);
    void NewCorePreset();
    void DeleteCorePreset(int32_t index);
    void RenameCorePreset(int32_t index);

    EditorMainPanel& panel_;
    bool registered_ = false;
    std::unique_ptr<EditorParamList> params_;
    uint32_t identity_ = 0;      // the shown insert's, 0 for none
    RealItem* wetDry_ = nullptr; // owned by the panel's items
    FlagItem* bypass_ = nullptr;
    FlagItem* solo_ = nullptr;
    IntItem* preset_ = nullptr;
    int pendingPreset_ = -1;
    bool dragging_ = false;
};
