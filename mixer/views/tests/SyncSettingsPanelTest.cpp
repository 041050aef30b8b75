// The sync settings panel from the shipped mixer skin over the stand-in's sync object: what
// each control asks of the card, the status and time code events, and where it opens.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "framework/controls/ComboBox.h"
#include "framework/controls/DataItem.h"
#include "framework/dialogs/Dialog.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/names/WindowMessages.h"
#include "mixer/views/FrameApp.h"
#include "mixer/views/SyncSettingsPanel.h"
#include "mixer/views/tests/RecordingMainWindow.h"
#include "standins/engine/StandinSync.h"

namespace
{
using viewstest::Narrow;
using viewstest::Text;

// Message boxes answer at once; their names are kept.
class Boxes : public DialogAnswerer
{
public:
    Boxes() { Dialog::SetAnswerer(this); }
    ~Boxes() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        shown.push_back(Narrow(dialog.GetSourceName()));
        dialog.End(1);
    }
    std::vector<std::string> shown;
};

// The frame as the panel's owner: it records the requests posted to it.
class Owner : public Window
{
public:
    void OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WindowMessage::kToolbarRequest)
            requests.push_back(std::to_string(wParam) + " " + std::to_string(lParam));
    }
    std::vector<std::string> requests;
};

class SyncSettingsPanelTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(viewstest::LoadMixerSkin(link_.skin));
        const std::string key =
            std::string("Software\\KivSyncPanelTest\\") + testing::UnitTest::GetInstance()->current_test_info()->name();
        String wide;
        wide.AppendAscii(key.c_str());
        ASSERT_TRUE(link_.settings.Open("HKEY_CURRENT_USER", wide, 1));
        link_.settings.DeleteValue(ViewSettings::kSyncPanelX);
        link_.settings.DeleteValue(ViewSettings::kSyncPanelY);
        sync_.log = [this](std::string entry) { log_.push_back(std::move(entry)); };
        services_.mixer->sync = &sync_;
        link_.services = &services_;
        ASSERT_TRUE(owner_.Create(nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, 0, 0));
    }
    void TearDown() override
    {
        link_.settings.DeleteValue(ViewSettings::kSyncPanelX);
        link_.settings.DeleteValue(ViewSettings::kSyncPanelY);
    }
    // The calls since the last look.
    std::vector<std::string> Calls()
    {
        std::vector<std::string> calls;
        calls.swap(log_);
        return calls;
    }
    static void Set(Panel& panel, const char* name, int value)
    {
        auto* item = dynamic_cast<NumericItem*>(panel.FindDataItem(Text(name)));
        ASSERT_NE(item, nullptr) << name;
        item->SetValue(static_cast<float>(value), 1, 1, nullptr);
    }
    static void Type(Panel& panel, const char* name, const char* text)
    {
        auto* item = dynamic_cast<TextItem*>(panel.FindDataItem(Text(name)));
        ASSERT_NE(item, nullptr) << name;
        item->text.Clear();
        item->text.AppendAscii(text);
        item->NotifyOwner(0);
    }
    static std::string Shown(Panel& panel, const char* name)
    {
        auto* item = dynamic_cast<TextItem*>(panel.FindDataItem(Text(name)));
        return item ? Narrow(item->text) : "(none)";
    }
    static int Flag(Panel& panel, const char* name)
    {
        auto* item = dynamic_cast<NumericItem*>(panel.FindDataItem(Text(name)));
        return item ? static_cast<int>(item->GetValue()) : -1;
    }
    static bool Disabled(Panel& panel, const char* name)
    {
        Control* control = panel.FindControl(Text(name));
        return control && control->IsDisabled();
    }
    void Click(Panel& panel, const char* name)
    {
        Control* control = panel.FindControl(Text(name));
        ASSERT_NE(control, nullptr) << name;
        panel.OnControlNotify(&panel, control, 0);
    }

    viewstest::RecordingLink link_;
    viewstest::ModelServices services_{{3}};
    StandinSync sync_;
    std::vector<std::string> log_;
    Owner owner_;
    Boxes boxes_;
};
} // namespace

TEST_F(SyncSettingsPanelTest, StartsFromTheCardsValuesAndAttaches)
{
    sync_.SetValue("SMPTEStripeFrameRate", 1, 0, 1); // 30 DF: the panel's 2
    sync_.SetValue("SMPTEOutLevel", 0, 0, 1);
    sync_.SetText("SMPTEStartTime", u"01:02:03:04", 0, 1);
    sync_.SetValue("WCTerm", 1, 0, 1);
    sync_.SetValue("FlyJamChoice", 1, 0, 1);
    sync_.SetText("FlyJam", u"12", 0, 1);
    Calls();
    SyncSettingsPanel panel;
    ASSERT_EQ(panel.Create(&owner_, link_), 1);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"Sync Reset 0", "Sync Attach"}));
    wchar_t title[64] = {};
    GetWindowTextW(panel.GetHandle(), title, 64);
    EXPECT_EQ(std::wstring(title), L"Sync Settings") << "the skin's IDS_SYNCSETTINGS_TITLE";
    EXPECT_EQ(Flag(panel, "FPS"), 2);
    for (const char* name : {"FPS", "OutputSource", "FlyJamChoice"})
    {
        auto* combo = dynamic_cast<ComboBox*>(panel.FindControl(Text(name)));
        ASSERT_NE(combo, nullptr) << name;
        EXPECT_EQ(combo->ItemCount(), std::string(name) == "OutputSource" ? 2 : 4) << name;
    }
    EXPECT_EQ(Flag(panel, "OutputLevel"), 1);
    EXPECT_EQ(Shown(panel, "Time"), "01:02:03:04");
    EXPECT_EQ(Shown(panel, "ReadTime"), "00:00:00:00");
    EXPECT_EQ(Shown(panel, "FpsStatus"), "---");
    EXPECT_EQ(Flag(panel, "WCTerm"), 1);
    EXPECT_EQ(Flag(panel, "LTCRcvErr"), 1);
    EXPECT_EQ(Shown(panel, "FlyJam"), "12") << "Fixed shows the card's jam";
    EXPECT_FALSE(Disabled(panel, "FlyJam"));
    EXPECT_TRUE(Disabled(panel, "stopbut"));

    // Without the card's values: 24 fps, "00:00:00:00", the jam off.
    StandinSync empty;
    services_.mixer->sync = &empty;
    SyncSettingsPanel fresh;
    ASSERT_EQ(fresh.Create(&owner_, link_), 1);
    EXPECT_EQ(Flag(fresh, "FPS"), 3);
    EXPECT_EQ(Flag(fresh, "OutputLevel"), 0);
    EXPECT_EQ(Shown(fresh, "Time"), "00:00:00:00");
    EXPECT_EQ(Shown(fresh, "FlyJam"), "---");
    EXPECT_TRUE(Disabled(fresh, "FlyJam"));

    // No sync card, no panel.
    services_.mixer->sync = nullptr;
    SyncSettingsPanel none;
    EXPECT_EQ(none.Create(&owner_, link_), 0);
}

TEST_F(SyncSettingsPanelTest, EachControlAsksTheCard)
{
    SyncSettingsPanel panel;
    ASSERT_EQ(panel.Create(&owner_, link_), 1);
    Calls();
    const struct
    {
        const char* label;
        const char* item;
        int value;
        std::vector<std::string> calls;
    } rows[] = {
        {"FPS 24", "FPS", 0, {"Sync SetRawParameter 14 3 notify 1"}},
        {"FPS 30 ND", "FPS", 3, {"Sync SetRawParameter 14 0 notify 1"}},
        {"output level", "OutputLevel", 1, {"Sync SetOutputLevel 0"}},
        {"termination on", "WCTerm", 1, {"Sync TerminationOn"}},
        {"termination off", "WCTerm", 0, {"Sync TerminationOff"}},
        {"output source", "OutputSource", 1, {"Sync SetRawParameter 13 1 notify 1", "Sync SetValue OutputSource=1"}},
        {"jam fixed", "FlyJamChoice", 1, {"Sync SetRawParameter 12 1 notify 1", "Sync SetValue FlyJamChoice=1"}},
        {"jam continuous", "FlyJamChoice", 2, {"Sync SetRawParameter 12 2 notify 1", "Sync SetValue FlyJamChoice=2"}},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.label);
        Set(panel, row.item, row.value);
        EXPECT_EQ(Calls(), row.calls);
    }
    EXPECT_EQ(Shown(panel, "FlyJam"), "Inf");
    EXPECT_TRUE(Disabled(panel, "FlyJam"));
    // "Inf" and "---" are shown, not numbers: the stored jam stays.
    Type(panel, "FlyJam", "Inf");
    EXPECT_TRUE(Calls().empty());

    Set(panel, "FlyJamChoice", 1);
    Calls();
    const struct
    {
        const char* typed;
        const char* shown;
        int sent;
    } jams[] = {{"200", "127", 127}, {"-5", "0", 0}, {"42", "42", 42}};
    for (const auto& jam : jams)
    {
        SCOPED_TRACE(jam.typed);
        Type(panel, "FlyJam", jam.typed);
        EXPECT_EQ(Shown(panel, "FlyJam"), jam.shown);
        EXPECT_EQ(Calls(), (std::vector<std::string>{"Sync SetRawParameter 8 " + std::to_string(jam.sent) + " notify 1",
                                                     std::string("Sync SetText FlyJam=") + jam.shown}));
    }
}

TEST_F(SyncSettingsPanelTest, TheStartTimeIsCheckedBeforeTheCardGetsIt)
{
    SyncSettingsPanel panel;
    ASSERT_EQ(panel.Create(&owner_, link_), 1);
    Set(panel, "FPS", 1); // 25 fps
    Calls();
    Type(panel, "Time", "23:59:59:29");
    EXPECT_EQ(boxes_.shown, (std::vector<std::string>{"IDM_STRIPEFRMS25_ERROR"}));
    EXPECT_EQ(Shown(panel, "Time"), "00:00:00:00");
    EXPECT_TRUE(Calls().empty());

    // The error is marked: the next start only clears it.
    Set(panel, "startbut", 1);
    EXPECT_EQ(Flag(panel, "startbut"), 0);
    EXPECT_TRUE(Calls().empty());

    boxes_.shown.clear();
    for (const char* bad : {"aa:bb:cc:dd", "-1:0:0:0", ":1:2:3", "1::2:3", "1:2:3:"})
    {
        SCOPED_TRACE(bad);
        Type(panel, "Time", bad);
        EXPECT_TRUE(Calls().empty());
    }
    EXPECT_EQ(boxes_.shown.size(), 5u);
    EXPECT_EQ(boxes_.shown.front(), "IDM_STRIPEFORMAT_ERROR");

    Set(panel, "startbut", 1); // clears the mark
    boxes_.shown.clear();
    Type(panel, "Time", "1:2:3:4");
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_EQ(Calls(), (std::vector<std::string>{"Sync SetRawParameter 15 1 2 3 4 notify 1",
                                                 "Sync SetText SMPTEStartTime=1:2:3:4"}));

    // Start: the time again, the rate, striping; Time and FPS wait until stop.
    Set(panel, "startbut", 1);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"Sync SetRawParameter 15 1 2 3 4 notify 1",
                                                 "Sync SetText SMPTEStartTime=1:2:3:4",
                                                 "Sync SetRawParameter 14 2 notify 1", "Sync StartStriping"}));
    EXPECT_TRUE(Disabled(panel, "Time"));
    EXPECT_TRUE(Disabled(panel, "FPS"));
    EXPECT_TRUE(Disabled(panel, "startbut"));
    EXPECT_FALSE(Disabled(panel, "stopbut"));
    Click(panel, "stopbut");
    EXPECT_EQ(Calls(), (std::vector<std::string>{"Sync StopStriping"}));
    EXPECT_FALSE(Disabled(panel, "Time"));
    EXPECT_EQ(Flag(panel, "startbut"), 0);

    // Exit stops and asks the frame to close the panel.
    Click(panel, "exit");
    EXPECT_EQ(Calls(), (std::vector<std::string>{"Sync StopStriping"}));
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    EXPECT_EQ(owner_.requests, (std::vector<std::string>{std::to_string(FrameApp::kSyncSettings) + " 0"}));
}

TEST_F(SyncSettingsPanelTest, StatusAndTimeCodeFromTheCard)
{
    SyncSettingsPanel panel;
    ASSERT_EQ(panel.Create(&owner_, link_), 1);
    sync_.SetValue("FPS", 2, 0, 1);
    panel.OnSyncStatus(8);
    EXPECT_EQ(Flag(panel, "LTCLock"), 1);
    EXPECT_EQ(Flag(panel, "LTCRcvErr"), 0);
    EXPECT_FALSE(Disabled(panel, "FlyJamChoice"));
    panel.OnSyncStatus(0x100 | 10); // the low byte counts
    EXPECT_EQ(Flag(panel, "LTCLock"), 0);
    EXPECT_EQ(Flag(panel, "LTCRcvErr"), 1);
    EXPECT_TRUE(Disabled(panel, "FlyJamChoice"));
    panel.OnSyncStatus(9);
    EXPECT_EQ(Shown(panel, "FpsStatus"), "25");
    panel.OnSyncStatus(3);
    EXPECT_EQ(Flag(panel, "MTCRcv"), 1);
    panel.OnSyncStatus(6);
    EXPECT_EQ(Flag(panel, "MTCRcv"), 0);
    panel.OnSyncStatus(11);
    EXPECT_EQ(Flag(panel, "Flywheel"), 1);
    EXPECT_TRUE(Disabled(panel, "stopbut")) << "the jam is off";
    Set(panel, "FlyJamChoice", 3);
    panel.OnSyncStatus(11);
    EXPECT_FALSE(Disabled(panel, "stopbut"));
    panel.OnSyncStatus(15);
    EXPECT_EQ(Flag(panel, "Flywheel"), 0);

    // Rate code, hours, seconds, minutes, frames.
    panel.ShowSyncTime(VarnSyncTime{3, 1, 30, 2, 9});
    EXPECT_EQ(Shown(panel, "ReadTime"), "01:02:30:09");
    EXPECT_EQ(Shown(panel, "FpsStatus"), "24");
    panel.ShowSyncTime(VarnSyncTime{7, 1, 2, 3, 4});
    EXPECT_EQ(Shown(panel, "ReadTime"), "01:03:02:04");
    EXPECT_EQ(Shown(panel, "FpsStatus"), "24") << "a rate byte past 3 leaves the status";
}

TEST_F(SyncSettingsPanelTest, OpensWhollyInsideTheWorkAreaAndKeepsItsPlace)
{
    RECT work = {};
    Window::GetWorkArea(work);
    link_.settings.WriteDword(ViewSettings::kSyncPanelX, static_cast<uint32_t>(work.right - 1));
    link_.settings.WriteDword(ViewSettings::kSyncPanelY, static_cast<uint32_t>(work.top + 30));
    SyncSettingsPanel panel;
    ASSERT_EQ(panel.Create(&owner_, link_), 1);
    RECT rect = {};
    GetWindowRect(panel.GetHandle(), &rect);
    EXPECT_EQ(rect.right, work.right) << "a point just inside keeps the panel on the screen";
    EXPECT_EQ(rect.top, work.top + 30);
    panel.OnMove(40, 50);
    uint32_t x = 0, y = 0;
    ASSERT_TRUE(link_.settings.ReadDword(ViewSettings::kSyncPanelX, x));
    ASSERT_TRUE(link_.settings.ReadDword(ViewSettings::kSyncPanelY, y));
    EXPECT_EQ(x, 40u);
    EXPECT_EQ(y, 50u);
    // The bare panel drags it; a control does not.
    EXPECT_EQ(panel.OnNcHitTest(2, panel.BackgroundHeight() - 2), HTCAPTION);
    Control* start = panel.FindControl(Text("startbut"));
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(panel.OnNcHitTest(start->X() + 2, start->Y() + 2), -1);
}
