#pragma once
// Ravlo's editor: the output pair that receives the host signal and the input pair returned
// to the host, four signal lights, and a button that starts the card's mixer program.

#include "plugins/base/gui/PluginControl.h"
#include "plugins/base/gui/PluginEditor.h"
#include "plugins/ravlo/PairMenu.h"

#include <windows.h>

class OnOffButton;
class OptionMenu;
class PluginBitmap;
class RavloEffect;

class RavloEditor : public PluginEditor, public ControlListener
{
public:
    static constexpr int32_t kWidth = 282;
    static constexpr int32_t kHeight = 155;
    static constexpr DWORD kLightPeriod = 100; // ms
    enum Tag : int32_t
    {
        kInputMenu = 0,
        kOutputMenu = 1,
        kLaunchButton = 2,
        kLight = 3,
    };

    explicit RavloEditor(RavloEffect* effect);
    ~RavloEditor() override;

    VstValue Open(void* parentWindow) override;
    void Close() override;
    // Refills both menus and selects the effect's pairs.
    void Update() override;
    // The editor shows no parameters.
    void SetParameter(int32_t index, float value) override;
    void OnValueChanged(DrawContext* context, PluginControl* control) override;

    // What the open editor shows (null while closed): for tests and the host's idle.
    OptionMenu* GetOutputMenu() const { return outputMenu_; }
    OptionMenu* GetInputMenu() const { return inputMenu_; }
    OnOffButton* GetLaunchButton() const { return launchButton_; }
    // Output left, output right, input left, input right.
    OnOffButton* GetLight(int32_t index) const { return index >= 0 && index < 4 ? lights_[index] : nullptr; }
    bool LightsRunning() const { return lightThread_ != nullptr; }

private:
    void FillPairMenus();
    void AddControl(PluginControl* control);
    static DWORD WINAPI LightThread(void* editor);
    void RunLights();

    RavloEffect* effect_;        // borrowed: the effect owns its editor
    PluginBitmap* background_;   // 101, for the editor's life
    PluginBitmap* launchBitmap_; // 120, for the editor's life
    // Made by Open when missing, released and cleared by Close.
    PluginBitmap* outputMenuBitmap_ = nullptr; // 102
    PluginBitmap* inputMenuBitmap_ = nullptr;  // 103
    PluginBitmap* lightBitmaps_[4] = {};       // 112, 113, 110, 111
    // Owned by the frame while open.
    OptionMenu* inputMenu_ = nullptr;
    OptionMenu* outputMenu_ = nullptr;
    OnOffButton* launchButton_ = nullptr;
    OnOffButton* lights_[4] = {};
    // The driver pair behind menu entries 1..8; -1 where no entry stands.
    int32_t outputPairs_[kPairMenuPairs];
    int32_t inputPairs_[kPairMenuPairs];
    HANDLE stopEvent_ = nullptr; // auto-reset; signalled by Close
    HANDLE lightThread_ = nullptr;
};
