// The FX category import and export dialogs through the shipped skin, answered by a script in
// the user's place.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/controls/ComboBox.h"
#include "framework/controls/DataItem.h"
#include "framework/dialogs/Dialog.h"
#include "framework/skin/Skin.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "mixer/dialogs/FxCategoryDialogs.h"
#include "mixer/engine/VarnServices.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/WinePath.h"

namespace
{
using skintest::Narrow;
using skintest::Text;
namespace fs = std::filesystem;

// Ends the dialog with the answer after choosing entry (or a value past the list).
class Script : public DialogAnswerer
{
public:
    Script() { Dialog::SetAnswerer(this); }
    ~Script() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        shown.push_back(Narrow(dialog.GetSourceName()));
        entries.clear();
        String name;
        name.AssignAscii("catchoices");
        if (auto* combo = dynamic_cast<ComboBox*>(dialog.FindControl(name)))
        {
            for (int i = 0; i < combo->ItemCount(); ++i)
            {
                String text;
                combo->GetItemText(i, text);
                entries.push_back(Narrow(text));
            }
        }
        if (auto* item = dynamic_cast<IntItem*>(dialog.FindDataItem(name)))
            item->value = choose;
        dialog.End(answer);
    }
    int answer = 1;
    int choose = 0;
    std::vector<std::string> shown, entries;
};

// A library of the given category names; everything else answers 0.
class Library : public IVarnFxLibrary
{
public:
    explicit Library(std::vector<std::u16string> names) : names_(std::move(names)) {}
    int VARN_CALL LoadCoreEffects() override { return 1; }
    int VARN_CALL LoadCategories() override { return 1; }
    int VARN_CALL GetCoreEffectCount() override { return 0; }
    int VARN_CALL GetCoreEffectInfo(int, VarnCoreEffectRecord*) override { return 0; }
    int VARN_CALL GetPresetCount(int) override { return 0; }
    int VARN_CALL GetPresetInfo(int, int, VarnPresetRecord*) override { return 0; }
    int VARN_CALL GetCategoryCount() override { return static_cast<int>(names_.size()); }
    int VARN_CALL GetCategoryInfo(int index, VarnCategoryRecord* record) override
    {
        if (index < 0 || index >= GetCategoryCount())
            return 0;
        *record = VarnCategoryRecord{};
        names_[static_cast<size_t>(index)].copy(record->name, 255);
        return 1;
    }
    int VARN_CALL FindCategory(const char16_t*, int) override { return -1; }
    int VARN_CALL FindPreset(const VarnPresetRecord*, VarnPresetRecord*) override { return 0; }
    int VARN_CALL GetEffectName(const VarnEffectId*, char16_t*, int) override { return 0; }
    int VARN_CALL DeleteCategory(const char16_t*, int) override { return 0; }
    int VARN_CALL RenameCategory(const char16_t*, const char16_t*, int) override { return 0; }
    int VARN_CALL CreateCategory(const char16_t*, int) override { return 0; }
    int VARN_CALL DeletePreset(const VarnPresetRecord*, int) override { return 0; }
    int VARN_CALL RenamePreset(const VarnPresetRecord*, const char16_t*, int) override { return 0; }
    int VARN_CALL ImportCategory(const char16_t*, const char16_t*) override { return 0; }
    int VARN_CALL ImportLibrary(const char16_t*, const char16_t*) override { return 0; }
    int VARN_CALL GetCorePresetCount(const VarnEffectId*) override { return 0; }
    int VARN_CALL GetCorePreset(const VarnEffectId*, int, VarnCorePresetRecord*) override { return 0; }
    int VARN_CALL NewCorePreset(const char16_t*, IVarnEffect*, int, int) override { return 0; }
    int VARN_CALL DeleteCorePreset(const VarnCorePresetRecord*, int, int) override { return 0; }
    int VARN_CALL RenameCorePreset(const VarnCorePresetRecord*, int, const char16_t*, int) override { return 0; }
    int VARN_CALL StoreCorePreset(IVarnEffect*, int, int) override { return 0; }

private:
    std::vector<std::u16string> names_;
};

class FxCategoryDialogsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const fs::path skin = fs::path(KIV_PROGRAM_DIR) / "Skins" / "Default";
        ASSERT_TRUE(skin_.Load(Text(WinePath(skin).c_str()), nullptr));
        ASSERT_TRUE(parent_.Create(nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, 0, 0));
    }
    Skin skin_;
    Window parent_;
    ScratchFolder scratch_{"kiv-fxcategories"};
};

TEST_F(FxCategoryDialogsTest, TheImportDialogOffersTheFoldersSubfolders)
{
    const fs::path folder = scratch_.Path() / "Effect Presets";
    fs::create_directories(folder);
    Script script;
    {
        // No subfolder: nothing is shown and the answer is 0.
        ImportFxCategoryDialog dialog(skin_, Text(WinePath(folder).c_str()), &parent_);
        EXPECT_EQ(dialog.Run(), 0);
        EXPECT_TRUE(script.shown.empty());
    }
    fs::create_directories(folder / "Brass");
    std::ofstream(folder / "not a folder.txt") << "x";
    ImportFxCategoryDialog dialog(skin_, Text(WinePath(folder).c_str()), &parent_);
    EXPECT_EQ(dialog.Run(), 1);
    EXPECT_EQ(script.shown, (std::vector<std::string>{"ImportFXCategory"}));
    EXPECT_EQ(script.entries, (std::vector<std::string>{"Brass"}));
    String name;
    ASSERT_TRUE(dialog.GetSelectedName(name));
    EXPECT_EQ(Narrow(name), "Brass");
}

TEST_F(FxCategoryDialogsTest, TheExportDialogOffersTheLibrarysCategoriesAndRefusesNoChoice)
{
    Script script;
    Library library({u"Drums", u"Keys"});
    ExportFxCategoryDialog dialog(skin_, library, &parent_);
    script.choose = 1;
    EXPECT_EQ(dialog.Run(), 1);
    EXPECT_EQ(script.shown, (std::vector<std::string>{"ExportFXCategory"}));
    EXPECT_EQ(script.entries, (std::vector<std::string>{"Drums", "Keys"}));
    String name;
    ASSERT_TRUE(dialog.GetSelectedName(name));
    EXPECT_EQ(Narrow(name), "Keys");

    // The item's range runs one past the list: that value, like an empty list, chooses nothing,
    // so no export can take the whole "Effect Presets" folder for a category.
    struct Case
    {
        const char* label;
        std::vector<std::u16string> names;
        int choose;
    } cases[] = {
        {"past the list", {u"Drums", u"Keys"}, 2},
        {"no categories", {}, 0},
        {"not a folder name", {u".."}, 0},
    };
    for (const Case& c : cases)
    {
        Library other(c.names);
        ExportFxCategoryDialog refused(skin_, other, &parent_);
        script.choose = c.choose;
        EXPECT_EQ(refused.Run(), 1) << c.label << ": the dialog is still shown";
        EXPECT_FALSE(refused.GetSelectedName(name)) << c.label;
        EXPECT_EQ(name.Length(), 0) << c.label;
    }
}
} // namespace
