#include "mixer/views/SyncSettingsPanel.h"

#include <cstdint>
#include <initializer_list>
#include <string>

#include "framework/controls/ComboBox.h"
#include "framework/controls/DataItem.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/RegistryKey.h"
#include "framework/skin/Skin.h"
#include "framework/windows/AppBase.h"
#include "mixer/dialogs/ManualPath.h"
#include "mixer/dialogs/SyncRules.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/names/WindowMessages.h"
#include "mixer/views/FrameApp.h"
#include "mixer/views/FrameLayout.h"
#include "mixer/views/MainWindowLink.h"

namespace
{
constexpr int kTextCapacity = 256;
// Raw parameters of the sync card.
constexpr int kParamFlyJam = 8;
constexpr int kParamFlyJamChoice = 12;
constexpr int kParamOutputSource = 13;
constexpr int kParamFrameRate = 14;
constexpr int kParamStartTime = 15;

const char kZeroTime[] = "00:00:00:00";

// One start-time check at a time: its message box would let another one in.
bool gValidating = false;

String Ascii(const char* text)
{
    String result;
    result.AppendAscii(text);
    return result;
}

// What was typed, for the number rules: a character beyond ASCII is none of their digits.
std::string Narrow(const String& text)
{
    std::string narrow;
    for (int i = 0; i < text.Length(); ++i)
        narrow += text.Text()[i] < 0x80 ? static_cast<char>(text.Text()[i]) : '?';
    return narrow;
}

int ReadPosition(RegistryKey& key, const char16_t* name)
{
    uint32_t value = 20;
    if (!key.ReadDword(name, value))
        return 20;
    return static_cast<int32_t>(value);
}
} // namespace

int SyncSettingsPanel::Create(Window* owner, MainWindowLink& link)
{
    link_ = &link;
    owner_ = owner;
    IVarnServices* services = link.GetServices();
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    sync_ = mixer ? mixer->GetSync() : nullptr;
    if (!sync_)
        return 0;
    Setup(this, 0, 0, 0x646464);
    int value = 0;
    char16_t text[kTextCapacity] = {};
    fps_ = AddIntItem("FPS", SyncRules::FpsFromEngine(sync_->GetValue("SMPTEStripeFrameRate", &value) ? value : 0), 0,
                      3, 0, 0);
    outputLevel_ = AddIntItem(
        "OutputLevel", sync_->GetValue("SMPTEOutLevel", &value) ? SyncRules::LevelFromEngine(value) : 0, 0, 1, 0, 0);
    String start;
    if (sync_->GetText("SMPTEStartTime", text, kTextCapacity))
        start.AppendWide(text);
    else
        start.AppendAscii(kZeroTime);
    time_ = AddTextItem("Time", start, 0, 0);
    readTime_ = AddTextItem("ReadTime", Ascii(kZeroTime), 0, 0);
    fpsStatus_ = AddTextItem("FpsStatus", Ascii("---"), 0, 0);
    String jam;
    if (sync_->GetText("FlyJam", text, kTextCapacity))
        jam.AppendWide(text);
    else
        jam.AppendAscii("0");
    flyJam_ = AddTextItem("FlyJam", jam, 0, 0);
    ltcLock_ = AddFlagItem("LTCLock", 0, 0, 0);
    ltcError_ = AddFlagItem("LTCRcvErr", 1, 0, 0);
    mtcReceive_ = AddFlagItem("MTCRcv", 0, 0, 0);
    flywheel_ = AddFlagItem("Flywheel", sync_->GetValue("Flywheel", &value) ? value != 0 : 0, 0, 0);
    wordClock_ = AddFlagItem("WCTerm", sync_->GetValue("WCTerm", &value) ? value != 0 : 0, 0, 0);
    start_ = AddFlagItem("startbut", 0, 0, 0);
    outputSource_ = AddIntItem("OutputSource", 0, 0, 20, 0, 0);
    flyJamChoice_ = AddIntItem("FlyJamChoice", 0, 0, 20, 0, 0);
    if (!PanelBuilder(link.GetSkin()).BuildPanel("syncsettings", *this, 1, nullptr))
        return 0;

    updating_ = 1;
    struct Choice
    {
        const char* combo;
        IntItem* item;
        const char* setting;
        std::initializer_list<const char*> texts;
    };
    const Choice choices[] = {
        {"FPS", fps_, nullptr, {"24", "25", "30 DF", "30 ND"}},
        {"OutputSource", outputSource_, "OutputSource", {"Host", "SMPTE IN (Regenerate)"}},
        {"FlyJamChoice", flyJamChoice_, "FlyJamChoice", {"OFF", "Fixed", "Continuous", "1-Time Jam"}},
    };
    for (const Choice& choice : choices)
    {
        auto* combo = dynamic_cast<ComboBox*>(FindControl(Ascii(choice.combo)));
        if (!combo)
            continue;
        int entry = 0;
        for (const char* name : choice.texts)
            combo->AddItem(Ascii(name), 1, entry++);
        // FPS: the item holds the choice already.
        const int stored = !choice.setting ? choice.item->value : sync_->GetValue(choice.setting, &value) ? value : 0;
        for (int i = 0; i < combo->ItemCount(); ++i)
            if (combo->GetItemValue(i) == stored)
                combo->SetSelection(i);
    }
    ApplyFlyJamChoice(ChoiceValue("FlyJamChoice", flyJamChoice_));
    Enable("stopbut", 0);
    updating_ = 0;

    RegistryKey& key = link.GetSettings();
    RECT work = {};
    if (!owner || !owner->GetMonitorWorkArea(work))
        Window::GetWorkArea(work);
    const Rect place = FrameLayout::SyncPanelPlace(
        ReadPosition(key, ViewSettings::kSyncPanelX), ReadPosition(key, ViewSettings::kSyncPanelY), BackgroundWidth(),
        BackgroundHeight(), Rect{work.left, work.top, work.right, work.bottom});
    if (!Panel::Create(owner, place.left, place.top, 0))
        return 0;
    if (const String* title = link.GetSkin().FindStringById("IDS_SYNCSETTINGS_TITLE"))
        SetWindowTextW(GetHandle(), reinterpret_cast<LPCWSTR>(title->Text()));
    sync_->Reset(0);
    sync_->Attach();
    return 1;
}

int SyncSettingsPanel::OnNcHitTest(int x, int y)
{
    Control* control = ControlAt(x, y);
    return !control || control->IsHidden() ? HTCAPTION : -1;
}

void SyncSettingsPanel::OnMove(int x, int y)
{
    if (!link_)
        return;
    link_->GetSettings().WriteDword(ViewSettings::kSyncPanelX, static_cast<uint32_t>(x));
    link_->GetSettings().WriteDword(ViewSettings::kSyncPanelY, static_cast<uint32_t>(y));
}

void SyncSettingsPanel::SetText(TextItem* item, const char* text, int notify)
{
    if (!item)
        return;
    item->text.Clear();
    item->text.AppendAscii(text);
    item->RefreshControls(nullptr);
    if (notify)
        item->NotifyOwner(0);
}

void SyncSettingsPanel::SetFlag(FlagItem* item, int value)
{
    if (item)
        item->SetValue(static_cast<float>(value), 1, 0, nullptr);
}

void SyncSettingsPanel::Enable(const char* control, int enabled)
{
    if (Control* found = FindControl(Ascii(control)))
        found->SetDisabled(enabled ? 0 : 1, 0, 1);
}

void SyncSettingsPanel::SendByte(int parameter, int value)
{
    const uint8_t byte = static_cast<uint8_t>(value);
    sync_->SetRawParameter(parameter, 1, &byte, 1);
}

int SyncSettingsPanel::ChoiceValue(const char* combo, IntItem* item)
{
    auto* box = dynamic_cast<ComboBox*>(FindControl(Ascii(combo)));
    const int value = box && item ? box->GetItemValue(item->value) : -1;
    return value < 0 && item ? item->value : value;
}

void SyncSettingsPanel::ShowFpsStatus(int rateByte)
{
    // A rate the card cannot have leaves the status as it was.
    if (const char* text = SyncRules::FpsStatusText(rateByte))
        SetText(fpsStatus_, text, 0);
}

void SyncSettingsPanel::ApplyFlyJamChoice(int choice)
{
    const int saved = updating_;
    updating_ = 1;
    if (choice == 1)
    {
        char16_t text[kTextCapacity] = {};
        String jam;
        if (sync_->GetText("FlyJam", text, kTextCapacity))
            jam.AppendWide(text);
        else
            jam.AppendAscii("0");
        flyJam_->text.Assign(jam);
        flyJam_->RefreshControls(nullptr);
        Enable("FlyJam", 1);
    }
    else
    {
        SetText(flyJam_, choice == 0 ? "---" : "Inf", 0);
        Enable("FlyJam", 0);
    }
    updating_ = saved;
}

int SyncSettingsPanel::ValidateTime()
{
    const std::string text = Narrow(time_->text);
    const SyncRules::StartTime checked = SyncRules::CheckStartTime(text, fps_->value);
    if (checked.errorId)
    {
        String manual;
        FindManualPath(manual);
        SkinDialogs(link_->GetSkin()).ShowDefinedMessageBox(checked.errorId, this, manual.Length() ? &manual : nullptr);
        errorMarked_ = 1;
        SetText(time_, kZeroTime, 0);
        return 0;
    }
    if (text == "0")
        SetText(time_, kZeroTime, 0);
    const uint8_t bytes[4] = {static_cast<uint8_t>(checked.hours), static_cast<uint8_t>(checked.minutes),
                              static_cast<uint8_t>(checked.seconds), static_cast<uint8_t>(checked.frames)};
    sync_->SetRawParameter(kParamStartTime, 4, bytes, 1);
    sync_->SetText("SMPTEStartTime", time_->text.Text() ? time_->text.Text() : u"", 0, 1);
    return 1;
}

void SyncSettingsPanel::Start()
{
    if (errorMarked_)
    {
        errorMarked_ = 0;
        SetFlag(start_, 0);
        return;
    }
    if (!ValidateTime())
    {
        SetFlag(start_, 0);
        return;
    }
    SendByte(kParamFrameRate, SyncRules::FpsToEngine(fps_->value));
    sync_->StartStriping();
    Enable("startbut", 0);
    Enable("stopbut", 1);
    Enable("Time", 0);
    Enable("FPS", 0);
}

void SyncSettingsPanel::Stop()
{
    sync_->StopStriping();
    Enable("stopbut", 0);
    Enable("startbut", 1);
    SetFlag(start_, 0);
    Enable("Time", 1);
    Enable("FPS", 1);
}

int SyncSettingsPanel::OnControlNotify(Panel*, Control* control, int)
{
    if (!control || !sync_)
        return 0;
    const String& name = control->GetName();
    if (name.CompareLiteral("stopbut") == 0)
        Stop();
    else if (name.CompareLiteral("exit") == 0)
    {
        sync_->StopStriping();
        if (owner_)
            owner_->PostMessage(WindowMessage::kToolbarRequest, FrameApp::kSyncSettings, 0);
    }
    else if (name.CompareLiteral("help") == 0)
    {
        String manual;
        if (FindManualPath(manual))
            AppBase::OpenDocument(manual);
    }
    else
        return 0;
    return 1;
}

int SyncSettingsPanel::OnDataItemNotify(Panel* panel, DataItem* item, int argument)
{
    if (Panel::OnDataItemNotify(panel, item, argument))
        return 1;
    if (updating_ || !sync_ || !item)
        return 0;
    if (item == fps_)
        SendByte(kParamFrameRate, SyncRules::FpsToEngine(fps_->value));
    else if (item == outputLevel_)
        sync_->SetOutputLevel(SyncRules::LevelToEngine(outputLevel_->value));
    else if (item == wordClock_)
        wordClock_->value ? sync_->TerminationOn() : sync_->TerminationOff();
    else if (item == outputSource_)
    {
        const int value = ChoiceValue("OutputSource", outputSource_);
        SendByte(kParamOutputSource, value);
        sync_->SetValue("OutputSource", value, 0, 1);
    }
    else if (item == flyJamChoice_)
    {
        const int choice = ChoiceValue("FlyJamChoice", flyJamChoice_);
        ApplyFlyJamChoice(choice);
        SendByte(kParamFlyJamChoice, choice);
        sync_->SetValue("FlyJamChoice", choice, 0, 1);
    }
    else if (item == flyJam_)
    {
        // The read-only texts of the other choices are no number the card should get.
        const std::string typed = Narrow(flyJam_->text);
        if (typed == "---" || typed == "Inf")
            return 1;
        const int jam = SyncRules::ClampFlyJam(typed);
        const std::string shown = std::to_string(jam);
        SetText(flyJam_, shown.c_str(), 0);
        SendByte(kParamFlyJam, jam);
        sync_->SetText("FlyJam", flyJam_->text.Text(), 0, 1);
    }
    else if (item == time_)
    {
        if (gValidating)
            return 1;
        gValidating = true;
        IVarnServices* services = link_->GetServices();
        IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
        if (ValidateTime() && mixer)
            mixer->SetModified(1);
        gValidating = false;
    }
    else if (item == start_)
    {
        if (start_->value)
            Start();
    }
    else
        return 0;
    return 1;
}

void SyncSettingsPanel::OnSyncStatus(VarnEventArg argument)
{
    int value = 0;
    switch (argument & 0xFF)
    {
    case 3:
        SetFlag(mtcReceive_, 1);
        SetFlag(flywheel_, 0);
        break;
    case 4:
    case 6:
        SetFlag(mtcReceive_, 0);
        break;
    case 8:
        SetFlag(ltcLock_, 1);
        SetFlag(ltcError_, 0);
        Enable("FlyJamChoice", 1);
        break;
    case 10:
        SetFlag(ltcLock_, 0);
        SetFlag(ltcError_, 1);
        Enable("FlyJamChoice", 0);
        break;
    case 9:
        SetFlag(ltcLock_, 1);
        SetFlag(ltcError_, 0);
        if (sync_ && sync_->GetValue("FPS", &value))
            ShowFpsStatus(value);
        break;
    case 11: {
        SetFlag(flywheel_, 1);
        const int choice = ChoiceValue("FlyJamChoice", flyJamChoice_);
        Enable("stopbut", choice >= 2);
        break;
    }
    case 15:
        SetFlag(flywheel_, 0);
        break;
    default:
        break;
    }
}

void SyncSettingsPanel::ShowSyncTime(const VarnSyncTime& time)
{
    SetText(readTime_, SyncRules::TimeText(time.hours, time.minutes, time.seconds, time.frames).c_str(), 0);
    ShowFpsStatus(time.rateCode);
}
