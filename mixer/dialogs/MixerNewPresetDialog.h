#pragma once
#include <functional>
#include <vector>

#include "framework/dialogs/Dialog.h"
#include "mixer/engine/VarnServices.h"

class IntItem;
class Skin;
class TextItem;

// The skin dialog "newpreset": the name of a new effect preset made from a chain's effect
// inserts and the category it goes into; entry 0 of "catchoices" ("IDS_CREATE_NEW_CATEGORY")
// creates a category through the palette's prompt, which the caller hands in. "OK" checks the
// name and category as file names and keeps the dialog open when either is not one.
// User-interface thread only.
class MixerNewPresetDialog : public Dialog
{
public:
    // The palette's new-category prompt: starting from the name, creates a category in the
    // library and writes its name; 0 when cancelled or refused.
    using NewCategoryPrompt = std::function<int(String& name)>;

    explicit MixerNewPresetDialog(Skin& skin) : skin_(skin) {}

    // The library (the engine's) is loaded first when it has no category yet.
    int Init(IVarnFxLibrary* library, NewCategoryPrompt newCategory);
    int OnInitDialog() override;
    void BringToFront() override;
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;
    int CanAccept() override;
    int OnCommand(Panel* sender, Control* control, int argument) override;

    void GetPresetName(String& name) const;
    void GetCategoryName(String& name) const { name.Assign(category_); }
    const std::vector<String>& GetChoices() const { return choices_; }

    // What "OK" and the menu's preset creation say of a name: null when it may be a preset
    // or category name, else the message id (over-long names, then names no file can take).
    static const char* CheckName(const String& name);

private:
    void BuildChoices();
    void FillCombo(int select);

    Skin& skin_;
    IVarnFxLibrary* library_ = nullptr; // the engine's
    NewCategoryPrompt newCategory_;
    IntItem* catChoice_ = nullptr; // the panel's
    TextItem* presetName_ = nullptr;
    std::vector<String> choices_;
    String category_;
    bool filling_ = false;
};
