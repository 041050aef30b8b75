// The global preferences through the shipped skin's "globalpreferences": the skins offered
// are the program's "Skins" subfolders with a layout, and only a changed skin asks for a
// rebuild.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/controls/ComboBox.h"
#include "framework/controls/DataItem.h"
#include "framework/platform/RegistryKey.h"
#include "framework/skin/Skin.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "framework/windows/AppBase.h"
#include "mixer/dialogs/GlobalPreferencesDialog.h"
#include "mixer/names/ViewSettings.h"
#include "tests/support/WinePath.h"

namespace fs = std::filesystem;

namespace
{
using skintest::Narrow;
using skintest::Text;

class Script : public DialogAnswerer
{
public:
    Script() { Dialog::SetAnswerer(this); }
    ~Script() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        offered.clear();
        auto* combo = dynamic_cast<ComboBox*>(dialog.FindControl(Text("skin")));
        ASSERT_NE(combo, nullptr);
        for (int i = 0; i < combo->ItemCount(); ++i)
        {
            String text;
            combo->GetItemText(i, text);
            offered.push_back(Narrow(text));
        }
        preselected = combo->GetSelection();
        if (choose >= 0)
            combo->SetSelection(choose);
        auto* tips = static_cast<NumericItem*>(dialog.FindDataItem(Text("tooltipsenabled")));
        ASSERT_NE(tips, nullptr);
        tips->SetValue(0, 1, 1, nullptr);
        dialog.End(1);
    }
    std::vector<std::string> offered;
    int preselected = -2;
    int choose = -1;
};

class GlobalPreferencesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        String folder;
        ASSERT_TRUE(AppBase::ModulePath(folder));
        skins_ = fs::path(Narrow(folder)) / "Skins";
        std::error_code ignored;
        fs::remove_all(skins_, ignored);
        fs::create_directories(skins_ / "Dark");
        fs::create_directories(skins_ / "NoLayout");
        fs::create_directories(skins_ / "Light");
        std::ofstream(skins_ / "Dark" / "layout.xml") << "<layout/>";
        std::ofstream(skins_ / "Light" / "layout.xml") << "<layout/>";
        ASSERT_TRUE(skin_.Load(Text(WinePath(fs::path(KIV_PROGRAM_DIR) / "Skins" / "Default").c_str()), nullptr));
        ASSERT_TRUE(view_.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1));
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(skins_, ignored);
        view_.DeleteKey(ViewSettings::kSkin);
        view_.DeleteKey(ViewSettings::kTooltipsEnabled);
    }
    std::string StoredSkin()
    {
        String text;
        return view_.ReadString(ViewSettings::kSkin, text, nullptr) ? Narrow(text) : "(none)";
    }

    fs::path skins_;
    Skin skin_;
    RegistryKey view_;
    Script script_;
};

TEST_F(GlobalPreferencesTest, OnlyFoldersWithALayoutAndOnlyANewSkinRebuilds)
{
    String dark = Text("Dark");
    view_.WriteString(ViewSettings::kSkin, &dark);
    {
        GlobalPreferencesDialog dialog;
        ASSERT_EQ(dialog.Init(), 1);
        ASSERT_EQ(dialog.Run(skin_, nullptr), 1);
        EXPECT_EQ(dialog.Apply(), 0) << "the same skin";
    }
    std::vector<std::string> offered = script_.offered;
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(offered, (std::vector<std::string>{"Dark", "Light"}));
    EXPECT_EQ(script_.offered[script_.preselected], "Dark");
    EXPECT_EQ(view_.ReadBool(ViewSettings::kTooltipsEnabled, 1), 0) << "stored on apply";

    for (size_t i = 0; i < script_.offered.size(); ++i)
        if (script_.offered[i] == "Light")
            script_.choose = static_cast<int>(i);
    GlobalPreferencesDialog dialog;
    dialog.Init();
    ASSERT_EQ(dialog.Run(skin_, nullptr), 1);
    EXPECT_EQ(dialog.Apply(), 1);
    EXPECT_EQ(StoredSkin(), "Light");

    // A stored skin that is not offered preselects nothing.
    String gone = Text("Gone");
    view_.WriteString(ViewSettings::kSkin, &gone);
    script_.choose = -1;
    GlobalPreferencesDialog again;
    again.Init();
    again.Run(skin_, nullptr);
    EXPECT_TRUE(script_.preselected < 0 || script_.preselected >= static_cast<int>(script_.offered.size()));
}
} // namespace
