#pragma once
// The editor's small modal dialogs, run over its panel through the editor (which ends them
// when it closes): one name, a new preset's name and category, the preferences.

#include "framework/base/String.h"
#include "framework/dialogs/Dialog.h"
#include "plugins/quorvel/Preferences.h"

#include <memory>
#include <vector>

class EditorMainPanel;
class EffectCatalog;
class FlagItem;
class IntItem;
class TextItem;

// Shared by the three: the owner's help file behind "dialoghelp".
class EditorDialog : public Dialog
{
public:
    explicit EditorDialog(EditorMainPanel& owner);
    int OnCommand(Panel* sender, Control* control, int argument) override;

protected:
    // The skin dialog of that name over the owner; 1 OK, 0 otherwise (also when the editor
    // closed meanwhile).
    int RunAs(const char* skinDialog);
    EditorMainPanel& Owner() { return owner_; }

private:
    EditorMainPanel& owner_;
    String help_;
};

// "newname": a title, a prompt and the text item "name".
class EditorNameDialog final : public EditorDialog
{
public:
    explicit EditorNameDialog(EditorMainPanel& owner) : EditorDialog(owner) {}

    // Texts by the skin's string ids; a missing string leaves its text empty.
    void Setup(const char* titleId, const char* promptId, const char* defaultId);
    void Setup(const char* titleId, const char* promptId, const String& defaultText);
    void SetTexts(const String& title, const String& prompt, const String& defaultText);
    int Run() { return RunAs("newname"); }
    // false before SetTexts made the item.
    bool GetName(String& out) const;

    void OnCreate() override;
    void OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    String title_;
    String prompt_;
    TextItem* name_ = nullptr; // the dialog's item
};

// "newpreset": the category ("catchoices": entry 0 makes a new one) and the name.
class EditorNewPresetDialog final : public EditorDialog
{
public:
    EditorNewPresetDialog(EditorMainPanel& owner, EffectCatalog* catalog);

    int Run() { return RunAs("newpreset"); }
    bool GetPresetName(String& out) const;
    void GetCategory(String& out) const { out.Assign(category_); }
    // The entries as shown: the new-category entry, then the categories.
    int EntryCount() const { return static_cast<int>(entries_.size()); }
    const String& EntryAt(int index) const { return *entries_.at(static_cast<size_t>(index)); }

    int OnInitDialog() override;
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;

private:
    void Choose(int entry);

    EffectCatalog* catalog_; // borrowed: the link's
    std::vector<std::unique_ptr<String>> entries_;
    String category_;
    IntItem* choice_ = nullptr; // the dialog's items
    TextItem* name_ = nullptr;
};

// "globalpreferences": the three preferences; Apply stores what changed.
class EditorPreferencesDialog final : public EditorDialog
{
public:
    explicit EditorPreferencesDialog(EditorMainPanel& owner);

    int Run();
    // The tooltips at once; the changed flags stored, with the alerts of the audio settings.
    void Apply();
    const PreferenceFlags& Flags() const { return flags_; }

    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;

private:
    PreferenceFlags flags_;
    FlagItem* items_[3] = {};
};
