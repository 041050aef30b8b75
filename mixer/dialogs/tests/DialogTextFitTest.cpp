// The program's warnings and questions as a person sees them, under Wine with the shipped skins:
// every text of the dialog shows whole inside its frame, and the title ends before the title
// bar's buttons. Each dialog is kept as a screenshot (build/<tree>/shots/box-<name>.png).
#include <gtest/gtest.h>

#include <objbase.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

#include "framework/controls/LabelControl.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "mixer/dialogs/SessionRules.h"
#include "mixer/dialogs/WarningDialogs.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenPixels.h"
#include "tests/support/WinePath.h"

namespace
{
using skintest::Narrow;
using skintest::Text;

int LoadSkin(Skin& skin, const char* folder)
{
    return skin.Load(Text(WinePath(std::filesystem::path(KIV_PROGRAM_DIR) / folder).c_str()), nullptr);
}

std::wstring ShotPath(const std::string& name)
{
    const std::filesystem::path shots = std::filesystem::path(KIV_PROGRAM_DIR) / ".." / "shots";
    std::error_code error;
    std::filesystem::create_directories(shots, error);
    return (shots / ("box-" + name + ".png")).wstring();
}

// What of the shown dialog does not show whole, one line each; empty when all of it does.
std::string CutTexts(Dialog& dialog)
{
    const DialogStyle& style = dialog.GetDialogStyle();
    const int innerRight = dialog.Width() - style.frame[CenterRight]->Width();
    int buttonsLeft = dialog.Width();
    for (int i = 0; i < dialog.ControlCount(); ++i)
    {
        const Control* control = dialog.ControlAtIndex(i);
        const String& name = control->GetName();
        if (name.CompareLiteral("dialogclose") == 0 || name.CompareLiteral("dialoghelp") == 0)
            buttonsLeft = std::min(buttonsLeft, control->X());
    }
    std::string cut;
    for (int i = 0; i < dialog.ControlCount(); ++i)
    {
        const auto* label = dynamic_cast<const LabelControl*>(dialog.ControlAtIndex(i));
        if (!label || !label->GetText().Length())
            continue;
        const int textWidth = label->TextWidth(label->GetText());
        const int title = label->GetName().CompareLiteral("title") == 0;
        const int end = title ? buttonsLeft : innerRight;
        if (textWidth > label->Width() || label->X() + textWidth > end)
            cut += "\"" + Narrow(label->GetText()) + "\" is " + std::to_string(textWidth) + " wide at " +
                   std::to_string(label->X()) + " in " + std::to_string(label->Width()) + ", room to " +
                   std::to_string(end) + "\n";
    }
    return cut;
}

// Checks each shown dialog, keeps its picture, then ends it.
class Look : public DialogAnswerer
{
public:
    Look() { Dialog::SetAnswerer(this); }
    ~Look() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        ++shown;
        cut = CutTexts(dialog);
        // Lets the dialog paint itself for the picture.
        PumpUntil([] { return false; }, 300);
        pictured = SaveScreenPicture(ShotPath(shot));
        dialog.End(0);
    }
    std::string shot;
    std::string cut;
    int shown = 0;
    bool pictured = false;
};

class DialogTextFit : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(LoadSkin(launcherSkin_, "System/Launcher Skin"));
        ASSERT_TRUE(LoadSkin(mixerSkin_, "Skins/Default"));
    }
    void TearDown() override { CoUninitialize(); }
    Skin launcherSkin_, mixerSkin_;
};

TEST_F(DialogTextFit, WarningsAndTheSavePromptShowTheirWholeTexts)
{
    const String manual = Text("C:\\Program Files\\Kiv\\Manual.pdf");
    auto savePrompt = [&](const char16_t* session) {
        const SessionRules::SavePrompt prompt = SessionRules::MakeSavePrompt(session);
        String text;
        text.AppendWide(prompt.text.c_str());
        return SkinDialogs(mixerSkin_)
            .ShowMessageBoxText(Text("IDS_CORVANDSP_SAVE"), text, prompt.kind, nullptr, &manual);
    };
    const struct
    {
        const char* shot;
        std::function<void()> show;
    } rows[] = {
        {"exitwarning",
         [&] {
             ExitWarningDialog warning;
             warning.Init();
             SkinDialogs(launcherSkin_).ShowDialogPanel("exitwarning", &warning, nullptr);
         }},
        {"save-named", [&] { savePrompt(u"Live Set.session"); }},
        {"save-unnamed", [&] { savePrompt(nullptr); }},
        {"hardwarereset", [&] { SkinDialogs(mixerSkin_).ShowDefinedMessageBox("IDM_QUITWARNING", nullptr, nullptr); }},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.shot);
        Look look;
        look.shot = row.shot;
        row.show();
        ASSERT_EQ(look.shown, 1);
        EXPECT_EQ(look.cut, "");
        EXPECT_TRUE(look.pictured);
    }
}
} // namespace
