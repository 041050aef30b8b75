#pragma once

#include <string>
#include <vector>

#include "framework/base/String.h"
#include "framework/dialogs/Dialog.h"

class ComboBox;
class IntItem;
class IVarnFxLibrary;
class Skin;
class Window;

// The two dialogs that let the user pick one preset category by name in the combo box
// "catchoices": the import dialog offers the subfolders of a folder of exported categories,
// the export dialog the library's categories. The caller does the import or export. A choice
// that is empty, outside the list or not a valid folder name counts as cancel: an empty name
// would make the whole "Effect Presets" folder the category. User-interface thread only.
class FxCategoryDialog : public Dialog
{
public:
    // The chosen entry's name; false (and name empty) when there is none to use.
    bool GetSelectedName(String& name);
    // The choices offered, in their order.
    const std::vector<std::u16string>& Choices() const { return choices_; }

    int OnInitDialog() override;
    void BringToFront() override;

protected:
    FxCategoryDialog(Skin& skin, Window* parent) : skin_(skin), parent_(parent) {}
    // Runs the skin dialog over the parent window's parent; 1 OK.
    int RunPanel(const char* name);

    Skin& skin_;
    Window* parent_; // borrowed
    std::vector<std::u16string> choices_;

private:
    IntItem* choice_ = nullptr; // owned by the panel
};

class ImportFxCategoryDialog : public FxCategoryDialog
{
public:
    ImportFxCategoryDialog(Skin& skin, const String& folder, Window* parent);
    // 0 without showing anything when the folder has no subfolder.
    int Run();

private:
    void ReadFolder();
    String folder_;
};

class ExportFxCategoryDialog : public FxCategoryDialog
{
public:
    ExportFxCategoryDialog(Skin& skin, IVarnFxLibrary& library, Window* parent);
    int Run();

private:
    IVarnFxLibrary& library_;
};
