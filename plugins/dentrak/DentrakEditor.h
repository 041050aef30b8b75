#pragma once
// Dentrak's editor: one menu choosing the delay amount, 1 to 10.

#include "plugins/base/gui/PluginControl.h"
#include "plugins/base/gui/PluginEditor.h"

class DentrakEffect;
class OptionMenu;
class PluginBitmap;

class DentrakEditor : public PluginEditor, public ControlListener
{
public:
    static constexpr int32_t kWidth = 282;
    static constexpr int32_t kHeight = 155;
    static constexpr int32_t kAmountMenu = 1;

    explicit DentrakEditor(DentrakEffect* effect);
    ~DentrakEditor() override;

    VstValue Open(void* parentWindow) override;
    void Close() override;
    // Selects the effect's amount.
    void Update() override;
    void OnValueChanged(DrawContext* context, PluginControl* control) override;

    // Null while closed.
    OptionMenu* GetAmountMenu() const { return menu_; }

private:
    DentrakEffect* effect_;      // borrowed: the effect owns its editor
    PluginBitmap* background_;   // 101
    PluginBitmap* menuBitmap_;   // 103
    OptionMenu* menu_ = nullptr; // owned by the frame while open
};
