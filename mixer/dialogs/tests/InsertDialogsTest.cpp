// The insert dialogs through the shipped skin over a stand-in system, answered by a script in
// the user's place: the lists they show, the refused "OK"s and what they answer.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/controls/ComboBox.h"
#include "framework/controls/DataItem.h"
#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/skin/Skin.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "mixer/dialogs/AsioSendReturnInsertDialog.h"
#include "mixer/dialogs/MixerNewPresetDialog.h"
#include "mixer/dialogs/NewSendInsertDialog.h"
#include "mixer/dialogs/NewSendReturnInsertDialog.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/dialogs/tests/ChoicesSupport.h"
#include "standins/engine/EngineModel.h"
#include "standins/engine/StandinEffects.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/WinePath.h"

namespace
{
using skintest::Narrow;
using skintest::Text;
namespace fs = std::filesystem;

struct Combo
{
    std::vector<std::string> texts;
    std::vector<int> enabled;
    bool disabled = false;
};

Combo ReadCombo(Dialog& dialog, const char* name)
{
    Combo combo;
    if (auto* box = dynamic_cast<ComboBox*>(dialog.FindControl(Text(name))))
    {
        combo.disabled = box->IsDisabled() != 0;
        for (int i = 0; i < box->ItemCount(); ++i)
        {
            String text;
            box->GetItemText(i, text);
            combo.texts.push_back(Narrow(text));
            combo.enabled.push_back(box->IsItemEnabled(i));
        }
    }
    return combo;
}

// Answers every dialog: the first one shown runs the steps; message boxes are noted and closed.
class Script : public DialogAnswerer
{
public:
    Script() { Dialog::SetAnswerer(this); }
    ~Script() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        shown.push_back(Narrow(dialog.GetSourceName()));
        if (shown.size() > 1 && Dialog::ModalCount() > 1)
        {
            dialog.End(1); // a message over the dialog
            return;
        }
        if (step)
            step(dialog);
        dialog.End(answer);
    }
    // Presses "OK" as a user would; answers whether the dialog accepted.
    static void PressOk(Dialog& dialog) { dialog.OnCommand(nullptr, dialog.FindControl(Text("OK")), 0); }
    static void Choose(Dialog& dialog, const char* item, int value)
    {
        if (auto* data = dynamic_cast<IntItem*>(dialog.FindDataItem(Text(item))))
            data->Store(value, 1, 1, nullptr);
    }
    std::function<void(Dialog&)> step;
    int answer = 0;
    std::vector<std::string> shown;
};

using choices::Card;

const char* const kCard = "inputs=4\noutputs=4\nwave=1\nphysicaloutputs=2\noutput=0 main\nstereoinputs=4\n"
                          "monoinputs=4\nrecord=1 free\n";

class InsertDialogsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(skin_.Load(Text(WinePath(fs::path(KIV_PROGRAM_DIR) / "Skins" / "Default").c_str()), nullptr));
        ASSERT_TRUE(parent_.Create(nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, 0, 0));
    }
    int Run(const char* panel, Dialog& dialog) { return SkinDialogs(skin_).ShowDialogPanel(panel, &dialog, &parent_); }
    Skin skin_;
    Window parent_;
};

TEST_F(InsertDialogsTest, TheSendDialogListsTheOutputsRefusesGreyedOnesAndFollowsTheSettings)
{
    Card card(kCard);
    NewSendInsertDialog dialog(skin_);
    ASSERT_EQ(dialog.Setup(card.System(), 0), 1);
    Script script;
    Combo before, after;
    int refusedAt = 0;
    script.step = [&](Dialog& shown) {
        before = ReadCombo(shown, "sendchoices");
        // Entry 0 (an ASIO pair recording its strip) is greyed: "OK" is refused.
        Script::Choose(shown, "send", 0);
        Script::PressOk(shown);
        refusedAt = static_cast<int>(script.shown.size());
        // The settings change while the dialog is open: the Wave pair is taken meanwhile.
        card.mixer->GetSystem(0)->GetMainMix()->GetInsertChain();
        static_cast<StandinOutput*>(card.System()->GetItemList()->GetPort(OutputKind::kWave, 0))->source =
            card.System()->GetMainMix()->GetInsertChain();
        dialog.OnSettingsChanged();
        after = ReadCombo(shown, "sendchoices");
        Script::Choose(shown, "send", 4);
        script.answer = 1;
    };
    EXPECT_EQ(Run("newsendinsert", dialog), 1);
    ASSERT_EQ(before.texts.size(), 5u);
    EXPECT_EQ(before.enabled, (std::vector<int>{0, 1, 1, 0, 1}));
    EXPECT_EQ(refusedAt, 2);
    EXPECT_EQ(script.shown, (std::vector<std::string>{"newsendinsert", "IDM_SELECT_VALID_OUTPUT"}));
    EXPECT_EQ(after.enabled, (std::vector<int>{0, 1, 0, 0, 1}));
    EXPECT_EQ(dialog.GetSelectedOutput(), card.System()->GetItemList()->GetPort(OutputKind::kPhysical, 1));
}

TEST_F(InsertDialogsTest, HardwareWithoutSendReturnsOffersDisabledAndCannotBeConfirmed)
{
    Card card(std::string(kCard) + "features=9\n");
    NewSendReturnInsertDialog dialog(skin_);
    ASSERT_EQ(dialog.Setup(card.System(), 1), 1);
    Script script;
    Combo sends, returns;
    script.step = [&](Dialog& shown) {
        sends = ReadCombo(shown, "sendchoices");
        returns = ReadCombo(shown, "returnchoices");
        Script::PressOk(shown);
    };
    EXPECT_EQ(Run("newsendreturninsert", dialog), 0);
    EXPECT_EQ(sends.texts, (std::vector<std::string>{"Disabled"}));
    EXPECT_EQ(returns.texts, (std::vector<std::string>{"Disabled"}));
    EXPECT_TRUE(sends.disabled);
    EXPECT_TRUE(returns.disabled);
    EXPECT_EQ(script.shown, (std::vector<std::string>{"newsendreturninsert", "IDM_SELECT_VALID_INOUTS"}));
    EXPECT_EQ(dialog.GetSelectedOutput(), nullptr);
    EXPECT_EQ(dialog.GetSelectedInput(), nullptr);
}

TEST_F(InsertDialogsTest, TheSendReturnDialogTakesEveryEntryOfAMonoStrip)
{
    // One stereo input and four mono ones past the dock's: five returns, more than three per
    // stereo input.
    Card card("inputs=4\noutputs=4\nphysicaloutputs=2\noutput=0 main\nstereoinputs=1\nmonoinputs=8\n");
    NewSendReturnInsertDialog dialog(skin_);
    ASSERT_EQ(dialog.Setup(card.System(), 1), 1);
    Script script;
    Combo returns;
    const int last = static_cast<int>(dialog.GetLists().returns.entries.size()) - 1;
    script.step = [&](Dialog& shown) {
        returns = ReadCombo(shown, "returnchoices");
        Script::Choose(shown, "send", 1);
        Script::Choose(shown, "return", last); // past three times the stereo inputs' count
        script.answer = 1;
    };
    ASSERT_EQ(last, 4);
    EXPECT_EQ(Run("newsendreturninsert", dialog), 1);
    EXPECT_EQ(static_cast<int>(returns.texts.size()), last + 1);
    EXPECT_EQ(dialog.GetSelectedOutput(), card.System()->GetItemList()->GetPort(OutputKind::kPhysical, 1));
    EXPECT_EQ(dialog.GetSelectedInput(), dialog.GetLists().returns.entries[last].input);
}

TEST_F(InsertDialogsTest, TheAsioDialogOffersTheFreePairsAndRefusesTakenOnes)
{
    Card card("inputs=4\noutputs=12\nrecord=1 free\ninput=0 6 strip 0\n");
    AsioSendReturnInsertDialog dialog(skin_);
    ASSERT_EQ(dialog.Init(card.System(), 0), 1);
    Script script;
    Combo sends, returns;
    script.step = [&](Dialog& shown) {
        sends = ReadCombo(shown, "sendchoices");
        returns = ReadCombo(shown, "returnchoices");
        Script::Choose(shown, "send", 0); // records strip 0
        Script::PressOk(shown);
        Script::Choose(shown, "send", 1);
        Script::Choose(shown, "return", 5); // "OUT 11/12", fed to strip 0
        Script::PressOk(shown);
        Script::Choose(shown, "return", 0);
        script.answer = 1;
    };
    EXPECT_EQ(Run("newasiosendreturninsert", dialog), 1);
    EXPECT_EQ(sends.enabled, (std::vector<int>{0, 1}));
    ASSERT_EQ(returns.texts.size(), 6u);
    EXPECT_EQ(returns.texts[5].rfind("From ASIO OUT 11/12 [", 0), 0u);
    EXPECT_EQ(script.shown, (std::vector<std::string>{"newasiosendreturninsert", "IDM_SELECT_VALID_INOUTS",
                                                      "IDM_SELECT_VALID_INOUTS"}));
    EXPECT_EQ(dialog.GetSend(), card.System()->GetItemList()->GetPort(OutputKind::kAsio, 1));
    EXPECT_EQ(dialog.GetReturn(), card.System()->GetInputList()->GetHostSource(InputKind::kSubAsioPair, 0));
}

TEST_F(InsertDialogsTest, TheNewPresetDialogChecksNamesAndCreatesCategories)
{
    ScratchFolder scratch("kiv-newpreset");
    StandinEffects effects;
    StandinFxLibrary library(scratch.Path(), effects, {}, {});
    String wanted;
    wanted.AssignAscii("Voices");
    int prompts = 0;
    MixerNewPresetDialog dialog(skin_);
    ASSERT_EQ(dialog.Init(&library,
                          [&](String& name) {
                              ++prompts;
                              name.Assign(wanted);
                              return library.CreateCategory(u"Voices", 1);
                          }),
              1);
    ASSERT_GE(dialog.GetChoices().size(), 2u);
    Script script;
    std::vector<std::string> categories;
    script.step = [&](Dialog& shown) {
        auto* name = dynamic_cast<TextItem*>(shown.FindDataItem(Text("presetname")));
        ASSERT_NE(name, nullptr);
        struct Case
        {
            const char* label;
            std::string text;
        } refused[] = {{"128 units", std::string(128, 'a')}, {"a separator", "a\\b"}, {"dots", ".."}, {"empty", ""}};
        for (const Case& c : refused)
        {
            name->text.AssignAscii(c.text.c_str());
            Script::PressOk(shown);
        }
        Script::Choose(shown, "catchoices", 0); // a new category, chosen at once
        categories = ReadCombo(shown, "catchoices").texts;
        name->text.AssignAscii(std::string(127, 'b').c_str());
        script.answer = 1;
    };
    EXPECT_EQ(Run("newpreset", dialog), 1);
    EXPECT_EQ(script.shown, (std::vector<std::string>{
                                "newpreset", "IDM_MAX_CHAR_EXCEEDED", "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET",
                                "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET", "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"}));
    EXPECT_EQ(prompts, 1);
    ASSERT_FALSE(categories.empty());
    EXPECT_EQ(categories[0], "Create New Category");
    EXPECT_NE(std::find(categories.begin(), categories.end(), "Voices"), categories.end());
    String category, preset;
    dialog.GetCategoryName(category);
    dialog.GetPresetName(preset);
    EXPECT_EQ(Narrow(category), "Voices");
    EXPECT_EQ(preset.Length(), 127);
}
} // namespace
