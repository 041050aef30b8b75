// The new session dialog through the shipped skin's "newsession" on the stand-in engine: the
// templates each hardware gets on each page, the restricted opening and the result.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "framework/controls/Button.h"
#include "framework/controls/PageTab.h"
#include "framework/controls/ViewHostControl.h"
#include "framework/dialogs/ListBox.h"
#include "framework/platform/RegistryKey.h"
#include "framework/skin/Skin.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "mixer/dialogs/NewSessionDialog.h"
#include "mixer/names/ViewSettings.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/WinePath.h"

namespace fs = std::filesystem;

namespace
{
using skintest::Narrow;
using skintest::Text;

const char* const kLists[] = {"44k_items", "48k_items", "88k_items", "96k_items", "176k_items", "192k_items"};

class Script : public DialogAnswerer
{
public:
    Script() { Dialog::SetAnswerer(this); }
    ~Script() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        lists.clear();
        for (const char* name : kLists)
        {
            std::vector<std::string> texts;
            auto* host = dynamic_cast<ViewHostControl*>(dialog.FindControl(Text(name)));
            auto* list = host ? dynamic_cast<ListBox*>(host->GetView()) : nullptr;
            for (int i = 0; list && i < list->Count(); ++i)
                texts.push_back(Narrow(list->ItemAt(i)->GetText()));
            lists.push_back(texts);
        }
        page = dialog.GetTabPage(Text("sessioncategories"));
        disabledTabs.clear();
        if (PageTab* tab = dialog.FindPageTab(Text("sessioncategories")))
            for (int i = 0; i < tab->PageCount(); ++i)
                if (tab->Page(i)->tabButton && tab->Page(i)->tabButton->IsDisabled())
                    disabledTabs.insert(i);
        Control* launch = dialog.FindControl(Text("launchsyncdlg"));
        launchDisabled = launch && launch->IsDisabled();
        if (step)
            step(dialog);
        dialog.End(answer);
    }
    std::vector<std::vector<std::string>> lists;
    int page = -1;
    std::set<int> disabledTabs;
    bool launchDisabled = false;
    std::function<void(Dialog&)> step;
    int answer = 1;
};

class NewSessionDialogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(scratch_.Path() / "program");
        ASSERT_TRUE(skin_.Load(Text(WinePath(fs::path(KIV_PROGRAM_DIR) / "Skins" / "Default").c_str()), nullptr));
        ASSERT_TRUE(view_.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1));
        view_.DeleteKey(ViewSettings::kLaunchSyncDlg);
    }
    void TearDown() override { view_.DeleteKey(ViewSettings::kLaunchSyncDlg); }
    // A started engine on a card with these lines.
    std::unique_ptr<StandinServices> Engine(const std::string& card)
    {
        std::ofstream(scratch_.Path() / "program" / "SimulatedCard.txt") << card;
        auto engine = std::make_unique<StandinServices>();
        const std::u16string program = (scratch_.Path() / "program").u16string();
        const std::u16string data = scratch_.Path().u16string();
        EXPECT_EQ(engine->Init(program.c_str(), data.c_str(), data.c_str()), 1);
        return engine;
    }

    ScratchFolder scratch_{"kiv-newsession"};
    Skin skin_;
    RegistryKey view_;
    Script script_;
};

TEST_F(NewSessionDialogTest, EachHardwareGetsItsTemplatesOnEachPage)
{
    const struct
    {
        const char* label;
        const char* features;
        std::vector<std::string> page48; // the 48 kHz list, in order
    } cases[] = {
        // Its own model's template loses the tag; those of other models are not offered.
        {"card with dock", "0,1", {"Default", "Live Set"}},
        {"card alone", "0", {"Default", "Live Set"}},
        // Without feature 0 the dock and interface templates stay, under their full names.
        {"feature 5", "5", {"Default", "Live Set", "Live Set (Pavren)", "Live Set (Rastol)"}},
        {"the shipped card", "0,1,2,5", {"Default", "Live Set", "Live Set (Pavren)", "Live Set (Rastol)"}},
        {"features 9 and 10", "9,10", {"Default", "Live Set", "Live Set (Pavren)", "Live Set (Rastol)"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        auto engine = Engine(std::string("present=1\nsystems=1\nfeatures=") + c.features + "\n");
        NewSessionDialog dialog(engine.get());
        ASSERT_EQ(dialog.Init(1, 0), 1);
        ASSERT_EQ(dialog.Run(skin_, nullptr), 1);
        ASSERT_EQ(script_.lists.size(), 6u);
        EXPECT_EQ(script_.lists[1], c.page48);
        // The old-driver rule may take the two highest rates: the others always have theirs.
        for (int page = 0; page < 4; ++page)
            EXPECT_EQ(script_.lists[page].front(), "Default") << page;
        EXPECT_EQ(script_.page, 1) << "the card's rate";
        EXPECT_TRUE(script_.disabledTabs.empty());
    }
}

TEST_F(NewSessionDialogTest, ARestrictedOpeningKeepsTheCardsPageAndGivesTheResult)
{
    auto engine = Engine("present=1\nsystems=1\nfeatures=0,1\n");
    NewSessionDialog dialog(engine.get());
    dialog.Init(2, 1); // 96 kHz: page 3
    ASSERT_EQ(dialog.Run(skin_, nullptr), 1);
    EXPECT_EQ(script_.page, 3);
    EXPECT_EQ(script_.disabledTabs, (std::set<int>{0, 1, 2, 4, 5}));
    EXPECT_TRUE(script_.launchDisabled);
    int rate = -1, launch = -1;
    String name, path, comment;
    const VarnTemplateRecord* chosen = dialog.GetResult(rate, name, path, comment, launch);
    ASSERT_NE(chosen, nullptr) << "the first entry of the page is selected";
    EXPECT_EQ(rate, 2);
    EXPECT_EQ(chosen->rateCode, 2);
    EXPECT_EQ(Narrow(name), "Untitled");
    EXPECT_EQ(Narrow(comment), "Summarize session purpose here.");
    EXPECT_EQ(launch, 1);
    EXPECT_EQ(view_.ReadBool(ViewSettings::kLaunchSyncDlg, 0), 1) << "OK stores the choice";
    std::string got = Narrow(path);
    ASSERT_GT(got.size(), 17u);
    EXPECT_EQ(got.substr(got.size() - 17), "\\Untitled.session");
}
} // namespace
