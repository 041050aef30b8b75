// The warning dialogs and the engine-following dialog base under Wine, run through the
// shipped skins' dialog panels with a script in the user's place.
#include <gtest/gtest.h>

#include <filesystem>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/controls/Button.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/RegistryKey.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "framework/skin/Skin.h"
#include "framework/windows/AppBase.h"
#include "mixer/comserver/ServicesApplication.h"
#include "mixer/dialogs/AppDialog.h"
#include "mixer/dialogs/WarningDialogs.h"
#include "mixer/names/ViewSettings.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/WinePath.h"

namespace
{

using skintest::Narrow;
using skintest::Text;

// A skin of the build's program folder, as Wine names it.
int LoadSkin(Skin& skin, const char* folder)
{
    return skin.Load(Text(WinePath(std::filesystem::path(KIV_PROGRAM_DIR) / folder).c_str()), nullptr);
}

// Runs each shown dialog's step, then ends it with the step's answer.
class Answer : public DialogAnswerer
{
public:
    Answer() { Dialog::SetAnswerer(this); }
    ~Answer() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        if (step)
            step(dialog);
        dialog.End(result);
    }
    std::function<void(Dialog&)> step;
    int result = 0;
};

// The user ticks or clears a box: the item changes and its owner hears of it.
void Set(Dialog& dialog, const char* name, float value)
{
    auto* item = static_cast<NumericItem*>(dialog.FindDataItem(Text(name)));
    ASSERT_NE(item, nullptr) << name;
    item->SetValue(value, 1, 1, nullptr);
}

class WarningDialogsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(launcher_.Open(ViewSettings::kRoot, LauncherSettings::kKeyPath, 1));
        ASSERT_TRUE(view_.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1));
        launcher_.DeleteKey(LauncherSettings::kShowExitWarning);
        launcher_.DeleteKey(u"Sample Rate Changed Option");
        view_.DeleteKey(u"show no asio warning");
        ASSERT_TRUE(LoadSkin(launcherSkin_, "System/Launcher Skin"));
        ASSERT_TRUE(LoadSkin(mixerSkin_, "Skins/Default"));
    }
    RegistryKey launcher_, view_;
    Skin launcherSkin_, mixerSkin_;
};

// The choice is stored the moment it changes: cancelling afterwards keeps it.
TEST_F(WarningDialogsTest, DoNotWarnAgainIsStoredAtOnceEvenWhenCancelled)
{
    struct Row
    {
        const char* label;
        Skin* skin;
        const char* element;
        RegistryKey* key;
        const char16_t* setting;
    };
    const Row rows[] = {
        {"exit", &launcherSkin_, "exitwarning", &launcher_, LauncherSettings::kShowExitWarning},
        {"no asio, recording", &mixerSkin_, "reczero", &view_, u"show no asio warning"},
        {"no asio, both", &mixerSkin_, "recplayzero", &view_, u"show no asio warning"},
        {"no asio, playing", &mixerSkin_, "playzero", &view_, u"show no asio warning"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        Answer answer;
        std::vector<int> seen;
        answer.step = [&](Dialog& dialog) {
            Set(dialog, "warnAgain", 1);
            seen.push_back(row.key->ReadBool(row.setting, 1));
            Set(dialog, "warnAgain", 0);
            seen.push_back(row.key->ReadBool(row.setting, 0));
            Set(dialog, "warnAgain", 1);
        };
        int result = -1;
        if (row.key == &launcher_)
        {
            ExitWarningDialog dialog;
            ASSERT_EQ(dialog.Init(), 1);
            result = SkinDialogs(*row.skin).ShowDialogPanel(row.element, &dialog, nullptr);
        }
        else
        {
            NoAsioWarningDialog dialog;
            ASSERT_EQ(dialog.Init(), 1);
            result = SkinDialogs(*row.skin).ShowDialogPanel(row.element, &dialog, nullptr);
        }
        EXPECT_EQ(result, 0) << "cancelled";
        EXPECT_EQ(seen, (std::vector<int>{0, 1}));
        EXPECT_EQ(row.key->ReadBool(row.setting, 1), 0) << "the last tick holds";
    }
}

TEST_F(WarningDialogsTest, TheRateDialogShowsTheRateAndStoresItsOption)
{
    launcher_.WriteUnsigned(u"Sample Rate Changed Option", 1);
    struct Row
    {
        int code;
        const char* text;
    };
    const Row rows[] = {{0, "New SR:44.1 kHz."},    {1, "New SR:48 kHz."},      {4, "New SR:88.2 kHz."},
                        {2, "New SR:96 kHz."},      {5, "New SR:176.4 kHz."},   {3, "New SR:192 kHz."},
                        {6, "New SR:Unknown kHz."}, {-1, "New SR:Unknown kHz."}};
    for (const Row& row : rows)
    {
        String text;
        SampleRateChangedDialog::RateText(row.code, text);
        EXPECT_EQ(Narrow(text), row.text) << row.code;
    }

    SampleRateChangedDialog dialog;
    ASSERT_EQ(dialog.Init(launcher_), 1);
    EXPECT_EQ(dialog.GetOption(), 1) << "the stored option comes back";
    Answer answer;
    answer.result = 1;
    std::string shown, cancel;
    int closeHidden = 0;
    answer.step = [&](Dialog& d) {
        auto& rate = static_cast<SampleRateChangedDialog&>(d);
        rate.SetRate(2);
        Control* text = d.FindControl(Text("SampleRate"));
        ASSERT_NE(text, nullptr);
        shown = Narrow(static_cast<TextControl*>(text)->GetText());
        Control* button = d.FindControl(Text("CANCEL"));
        ASSERT_NE(button, nullptr);
        cancel = Narrow(static_cast<Button*>(button)->GetText());
        Control* close = d.FindControl(Text("dialogclose"));
        closeHidden = close ? close->IsHidden() : 1;
        Set(d, "ratechangedoption", 2);
    };
    EXPECT_EQ(SkinDialogs(launcherSkin_).ShowDialogPanel("ratechanged", &dialog, nullptr), 1);
    EXPECT_EQ(shown, "New SR:96 kHz.");
    EXPECT_EQ(cancel, "Retry");
    EXPECT_EQ(closeHidden, 1);
    EXPECT_EQ(dialog.GetOption(), 2);
    EXPECT_EQ(launcher_.ReadUnsigned(u"Sample Rate Changed Option", 0), 2u);
}

TEST_F(WarningDialogsTest, TheMidiPortWarningOnlyRuns)
{
    Answer answer;
    answer.result = 1;
    MidiPort2WarningDialog dialog;
    EXPECT_EQ(SkinDialogs(mixerSkin_).ShowDialogPanel("midiport2warning", &dialog, nullptr), 1);
}

// An application that gives the engine to whoever asks.
class EngineApp : public AppBase, public ServicesApplication
{
public:
    IVarnServices* GetServices() override { return services; }
    IVarnHardware* GetCurrentSystem() override { return nullptr; }
    StringTable& GetStrings() override { return *static_cast<StringTable*>(nullptr); }
    IVarnServices* services = nullptr; // borrowed
};

class SettingsDialog : public AppDialog
{
public:
    void OnSettingsChanged() override { ++changes; }
    int changes = 0;
};

TEST(AppDialog, ListensWhileItLivesAndReactsToSettingsChangesOnItsOwnThread)
{
    StandinServices engine;
    {
        SettingsDialog unbound; // no application: nothing to listen to
    }
    EXPECT_TRUE(engine.GetCallLog().size() == 1u) << "only the engine's creation";
    EngineApp app;
    app.services = &engine;
    {
        SettingsDialog dialog;
        std::vector<std::string> log = engine.GetCallLog();
        ASSERT_EQ(log.back(), "AddListener");
        Answer answer;
        answer.result = 1;
        answer.step = [&](Dialog&) {
            engine.RaiseEvent(54, 0);
            engine.RaiseEvent(55, 0);
            engine.WaitForEvents();
            EXPECT_EQ(dialog.changes, 0) << "nothing runs on the engine's thread";
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&msg);
            EXPECT_EQ(dialog.changes, 1) << "55 alone, once it reaches the window";
        };
        Skin skin;
        ASSERT_TRUE(LoadSkin(skin, "System/Launcher Skin"));
        EXPECT_EQ(SkinDialogs(skin).ShowDialogPanel("exitwarning", &dialog, nullptr), 1);
    }
    EXPECT_EQ(engine.GetCallLog().back(), "RemoveListener");
}
} // namespace
