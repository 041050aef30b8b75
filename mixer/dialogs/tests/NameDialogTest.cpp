// The name dialog run through the shipped skin's "newname", answered by a script in the user's
// place, and through a hand-edited copy of it without the name box.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "framework/controls/DataItem.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/Dialog.h"
#include "framework/skin/Skin.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "mixer/dialogs/NameDialog.h"

namespace
{
using skintest::Narrow;
using skintest::Text;

// A build path (Unix) as Wine names it; a Windows path (the prefix's own temp folder) as it is.
std::string WinePath(const std::filesystem::path& path)
{
    std::string text = (path.has_root_name() ? "" : "Z:") + path.generic_string();
    for (char& c : text)
        if (c == '/')
            c = '\\';
    return text;
}

const std::filesystem::path kSkin = std::filesystem::path(KIV_PROGRAM_DIR) / "Skins" / "Default";

// What the dialog showed once its loop ran, and the answer the script gives.
class Script : public DialogAnswerer
{
public:
    Script() { Dialog::SetAnswerer(this); }
    ~Script() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        shown = 1;
        source = Narrow(dialog.GetSourceName());
        if (TextControl* title = dialog.FindTextControl("title"))
            titleText = Narrow(title->GetText());
        if (TextControl* prompt = dialog.FindTextControl("prompt"))
            promptText = Narrow(prompt->GetText());
        TextControl* edited = TextControl::EditedControl();
        editing = edited ? Narrow(edited->GetName()) : "";
        if (!typed.empty())
            TextControl::SetEditorText(Text(typed.c_str()));
        dialog.End(answer);
    }
    int answer = 1;
    std::string typed;
    int shown = 0;
    std::string source, titleText, promptText, editing;
};

class NameDialogTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(skin_.Load(Text(WinePath(kSkin).c_str()), nullptr)); }
    Skin skin_;
};

TEST_F(NameDialogTest, ShowsTheTextsOfItsIdsAndAnswersWhatWasTyped)
{
    struct Row
    {
        const char* label;
        int answer;
        const char* typed;
        int result;
        const char* name;
    };
    const Row rows[] = {
        {"typed, OK", 1, "Warm Room", 1, "Warm Room"},
        {"untouched, OK", 1, "", 1, "New Preset"},
        {"cancelled", 0, "Warm Room", 0, nullptr},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        Script script;
        script.answer = row.answer;
        script.typed = row.typed;
        NameDialog dialog(skin_);
        ASSERT_EQ(dialog.SetTextsFromIds("IDS_NEW_CORE_PRESET_TITLE", "IDS_NEW_CORE_PRESET_PROMPT",
                                         "IDS_NEW_CORE_PRESET_DEFAULT"),
                  1);
        EXPECT_EQ(dialog.Run(nullptr), row.result);
        EXPECT_EQ(script.source, "newname");
        EXPECT_EQ(script.titleText, "New Preset");
        EXPECT_EQ(script.promptText, "Name of the new preset:");
        EXPECT_EQ(script.editing, "name") << "the name is open for typing";
        if (row.name)
        {
            ASSERT_NE(dialog.GetName(), nullptr);
            EXPECT_EQ(Narrow(*dialog.GetName()), row.name);
        }
    }
}

TEST_F(NameDialogTest, ARenameStartsFromTheCurrentNameAndEmptyTextsKeepTheSkins)
{
    Script script;
    NameDialog dialog(skin_);
    ASSERT_EQ(dialog.SetTexts(String(), String(), Text("Hall 2")), 1);
    EXPECT_EQ(dialog.Run(nullptr), 1);
    EXPECT_EQ(script.titleText, "Name") << "the skin's own title";
    EXPECT_EQ(script.promptText, "");
    EXPECT_EQ(Narrow(*dialog.GetName()), "Hall 2");

    Script renaming;
    NameDialog rename(skin_);
    ASSERT_EQ(rename.SetTextsFromIds("IDS_RENAME_CORE_PRESET_TITLE", "IDS_RENAME_CORE_PRESET_PROMPT", Text("Hall 2")),
              1);
    renaming.typed = "Hall 3";
    EXPECT_EQ(rename.Run(nullptr), 1);
    EXPECT_EQ(renaming.titleText, "Rename Preset");
    EXPECT_EQ(Narrow(*rename.GetName()), "Hall 3");
}

TEST_F(NameDialogTest, MissingIdsGiveEmptyTextsAndNothingIsNamedBeforeSetUp)
{
    NameDialog dialog(skin_);
    EXPECT_EQ(dialog.GetName(), nullptr);
    ASSERT_EQ(dialog.SetTextsFromIds("IDS_NO_SUCH_TITLE", "IDS_NO_SUCH_PROMPT", "IDS_NO_SUCH_NAME"), 1);
    ASSERT_NE(dialog.GetName(), nullptr);
    EXPECT_EQ(dialog.GetName()->Length(), 0);
    Script script;
    EXPECT_EQ(dialog.Run(nullptr), 1);
    EXPECT_EQ(script.titleText, "Name");
}

// A skin edited by hand without the name box: the dialog still opens, nothing is edited, and
// the name stays what it was given.
TEST(NameDialogEditedSkinTest, WithoutANameBoxTheInitialNameIsTheAnswer)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("namedialog-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::remove_all(folder);
    std::filesystem::copy(kSkin, folder, std::filesystem::copy_options::recursive);
    std::ifstream in(folder / "layout.xml", std::ios::binary);
    std::stringstream layout;
    layout << in.rdbuf();
    in.close();
    std::string text = layout.str();
    const std::string box = "<text name=\"name\" data=\"name\"";
    const size_t at = text.find(box);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, box.size(), "<text name=\"other\"");
    skintest::WriteText(folder / "layout.xml", text);

    Skin skin;
    ASSERT_TRUE(skin.Load(Text(WinePath(folder).c_str()), nullptr));
    Script script;
    script.typed = "ignored";
    NameDialog dialog(skin);
    ASSERT_EQ(dialog.SetTextsFromIds("IDS_RENAME_CORE_PRESET_TITLE", "IDS_RENAME_CORE_PRESET_PROMPT", Text("Hall 2")),
              1);
    EXPECT_EQ(dialog.Run(nullptr), 1);
    EXPECT_EQ(script.shown, 1);
    EXPECT_EQ(script.editing, "");
    EXPECT_EQ(Narrow(*dialog.GetName()), "Hall 2");
    std::filesystem::remove_all(folder);
}
} // namespace
