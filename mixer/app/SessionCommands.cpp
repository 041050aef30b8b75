#include "mixer/app/SessionCommands.h"

#include <string>

#include "framework/controls/PopupMenu.h"
#include "framework/dialogs/OpenFileDialog.h"
#include "framework/dialogs/SaveFileDialog.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/files/FileSystem.h"
#include "framework/windows/AppBase.h"
#include "framework/windows/BusyWindow.h"
#include "mixer/app/Application.h"
#include "mixer/app/ApplicationHost.h"
#include "mixer/app/Automation.h"
#include "mixer/app/MainWindow.h"
#include "mixer/dialogs/GlobalPreferencesDialog.h"
#include "mixer/dialogs/ManualPath.h"
#include "mixer/dialogs/NewSessionDialog.h"
#include "mixer/dialogs/SessionRules.h"
#include "mixer/dialogs/SessionSettingsDialog.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/names/ViewSettings.h"

namespace
{
String FromText(const std::u16string& text)
{
    String result;
    result.AppendWide(text.c_str());
    return result;
}

std::u16string ToText(const String& text)
{
    return std::u16string(text.Text() ? text.Text() : u"", static_cast<size_t>(text.Length()));
}

// The session's name as the model gives it; null when it gives none.
const char16_t* SessionName(IVarnServices* services)
{
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    const char16_t* name = mixer ? mixer->GetSessionName() : nullptr;
    return name && *name ? name : nullptr;
}

// Description and pattern pairs, each ended by a zero byte, the list by one more.
const char kSessionFilter[] = "CorvanDSP Session\0*.SESSION\0All\0*.*\0";
const char kSaveFilter[] = "CorvanDSP Session\0*.SESSION\0";
} // namespace

Window* SessionCommands::Owner()
{
    MainFrameTarget* frame = window_.GetFrame();
    return frame ? frame->GetFrameWindow() : nullptr;
}

void SessionCommands::ShowMessage(const char* id)
{
    String manual;
    FindManualPath(manual);
    SkinDialogs(window_.GetSkin()).ShowDefinedMessageBox(id, Owner(), manual.Length() ? &manual : nullptr);
}

void SessionCommands::MarkDirty(int dirty)
{
    window_.GetSettings().WriteBool(ViewSettings::kDirtySession, dirty);
    if (MainFrameTarget* frame = window_.GetFrame())
        frame->UpdateSessionTitle();
}

void SessionCommands::StartFolder(const char16_t* setting, String& folder)
{
    if (window_.GetSettings().ReadString(setting, folder, nullptr) && folder.Length())
        return;
    folder.Clear();
    if (AppBase::DocumentsFolder(&folder))
        folder.AppendAscii("\\My Sessions");
}

int SessionCommands::PromptToSave()
{
    IVarnServices* services = window_.GetServices();
    if (!services)
        return 1;
    if (window_.IsJustLoaded())
        services->SetModified(0);
    int saved = 0;
    if (services->IsModified())
    {
        const SessionRules::SavePrompt prompt = SessionRules::MakeSavePrompt(SessionName(services));
        String manual;
        FindManualPath(manual);
        const int answer = SkinDialogs(window_.GetSkin())
                               .ShowMessageBoxText(FromText(u"IDS_CORVANDSP_SAVE"), FromText(prompt.text), prompt.kind,
                                                   Owner(), manual.Length() ? &manual : nullptr);
        if (answer == SessionRules::kAnswerSaveAs)
            saved = SaveSessionAs();
        else if (answer == SessionRules::kAnswerSave)
            saved = SaveSession();
        if (saved)
            return 1;
        // Not saved, whatever was answered (a cancelled or failed save too): the session stays
        // modified and the working session keeps the changes.
        services->SetModified(1);
        MarkDirty(1);
    }
    // The hardware reset deleted the working session: nothing writes it back.
    if (!Application::IsHardwareReset())
        services->SaveSession(nullptr, 1, 0);
    return 1;
}

int SessionCommands::ReportLoadResult(int code)
{
    IVarnServices* services = window_.GetServices();
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    const SessionRules::LoadReport report = SessionRules::ReportLoad(code, mixer && mixer->IsHardwareAdequate());
    if (report.messageId)
        ShowMessage(report.messageId);
    return report.loaded ? 1 : 0;
}

int SessionCommands::Load(const String& path)
{
    IVarnServices* services = window_.GetServices();
    int code = 0;
    {
        BusyWindow busy;
        Automation::NotifyEvent(Notification::kBeforeSessionLoad, Notification::kNone, Notification::kNone);
        code = services->LoadSession(path.Text(), 0);
        Automation::NotifyEvent(Notification::kAfterSessionLoad, Notification::kNone, Notification::kNone);
    }
    if (!ReportLoadResult(code))
        return 0;
    Loaded();
    return 1;
}

void SessionCommands::Loaded()
{
    window_.RebuildView(EngineEvent::kRebuildView, 0);
    window_.GetServices()->SetModified(0);
    window_.OnSessionLoaded();
    window_.RefreshTrayTip();
}

bool SessionCommands::NewSession(int fromRateChange)
{
    PromptToSave();
    IVarnServices* services = window_.GetServices();
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    if (!mixer)
        return false;
    NewSessionDialog dialog(services);
    dialog.Init(mixer->GetHardwareRateCode(), fromRateChange);
    if (dialog.Run(window_.GetSkin(), Owner()) != 1)
    {
        window_.OnSessionLoaded();
        return fromRateChange == 0;
    }
    int rateCode = 0, launchSettings = 0;
    String name, path, comment;
    const VarnTemplateRecord* chosen = dialog.GetResult(rateCode, name, path, comment, launchSettings);
    if (name.Length() && path.Length())
    {
        const String folder = FromText(SessionRules::FolderOf(ToText(path)));
        if (folder.Length() && !FileSystem::DirectoryExists(folder))
            FileSystem::CreateDirectoryPath(folder);
    }
    if (chosen && !FileSystem::FileExists(FromText(chosen->file)))
    {
        ShowMessage("IDM_SESSION_TEMPLATE_LOAD_PROBLEM");
        return false;
    }
    int code = 0;
    {
        BusyWindow busy;
        Automation::NotifyEvent(Notification::kBeforeSessionLoad, Notification::kNone, Notification::kNone);
        // Without a template the engine makes an empty session at the chosen page's rate.
        code = chosen ? services->CreateSessionFromTemplate(chosen, path.Text(), 0)
                      : services->CreateEmptySession(&rateCode, path.Text(), 0);
        Automation::NotifyEvent(Notification::kAfterSessionLoad, Notification::kNone, Notification::kNone);
    }
    if (!ReportLoadResult(code))
        return false;
    window_.RefreshTrayTip();
    if (chosen)
    {
        IVarnMixer* made = services->GetMixer();
        IVarnSettings* settings = made ? made->GetSessionSettings() : nullptr;
        if (settings)
            settings->SetText("comment", comment.Text() ? comment.Text() : u"", 0, 1);
    }
    Loaded();
    if (launchSettings && !fromRateChange)
    {
        // The new session starts unmodified with the settings it was set up with.
        EditSessionSettings();
        services->SetModified(0);
        MarkDirty(0);
    }
    return true;
}

int SessionCommands::OpenSession(int fromRateChange)
{
    PromptToSave();
    IVarnServices* services = window_.GetServices();
    if (!services)
        return 0;
    String folder;
    StartFolder(ViewSettings::kLastOpenPath, folder);
    const String* title = window_.GetSkin().FindStringById("IDS_OPEN_SESSION_DLG_TITLE");
    const StringRef folderRef(folder);
    const StringRef titleRef = title ? StringRef(*title) : StringRef(u"");
    OpenFileDialog dialog;
    if (!dialog.Init(&folderRef, nullptr, title ? &titleRef : nullptr) || !dialog.Run(Owner(), kSessionFilter))
        return 0;
    const String& path = dialog.GetPath();
    if (fromRateChange)
    {
        IVarnMixer* mixer = services->GetMixer();
        int fileRate = 6;
        services->GetFileRate(path.Text(), &fileRate);
        if (!mixer || !SessionRules::AcceptsFileRate(fileRate, mixer->GetHardwareRateCode()))
            return 0;
    }
    String lastOpen = FromText(SessionRules::FolderOf(ToText(path)));
    window_.GetSettings().WriteString(ViewSettings::kLastOpenPath, &lastOpen);
    // A load that failed has not settled anything: the answer says so.
    return Load(path);
}

int SessionCommands::OpenFile(const String& path)
{
    PromptToSave();
    if (!window_.GetServices() || !FileSystem::FileExists(path))
        return 0;
    return Load(path);
}

int SessionCommands::SaveTo(const String& path)
{
    IVarnServices* services = window_.GetServices();
    const int result = services->SaveSession(path.Text(), 0, 1);
    if (!result)
    {
        // The session keeps its changes; the user hears that they are not on disk.
        services->SetModified(1);
        MarkDirty(1);
        ShowMessage("IDM_SESSION_SAVE_FAILED");
        return 0;
    }
    MarkDirty(0);
    return result;
}

int SessionCommands::SaveSession()
{
    IVarnServices* services = window_.GetServices();
    if (!services)
        return 0;
    const char16_t* name = SessionName(services);
    char16_t path[400] = {};
    if (SessionRules::NeedsSaveAs(name ? name : u"") || !services->GetSessionPath(path, 399, 0) || !path[0])
        return SaveSessionAs();
    return SaveTo(FromText(path));
}

int SessionCommands::SaveSessionAs()
{
    IVarnServices* services = window_.GetServices();
    if (!services)
        return 0;
    String folder;
    StartFolder(ViewSettings::kLastSavePath, folder);
    const char16_t* name = SessionName(services);
    String fileName = FromText(name ? name : u"Untitled.session");
    String extension = FromText(u".session");
    const String* title = window_.GetSkin().FindStringById("IDS_SAVE_SESSION_DLG_TITLE");
    const StringRef folderRef(folder), fileRef(fileName), extensionRef(extension);
    const StringRef titleRef = title ? StringRef(*title) : StringRef(u"");
    SaveFileDialog dialog;
    if (!dialog.Init(&folderRef, &fileRef, title ? &titleRef : nullptr, &extensionRef) ||
        !dialog.Run(Owner(), kSaveFilter))
        return 0;
    const String path = FromText(SessionRules::WithSessionExtension(ToText(dialog.GetPath())));
    String lastSave = FromText(SessionRules::FolderOf(ToText(path)));
    window_.GetSettings().WriteString(ViewSettings::kLastSavePath, &lastSave);
    return SaveTo(path);
}

void SessionCommands::ShowSaveMenu(int screenX, int screenY)
{
    MainFrameTarget* frame = window_.GetFrame();
    MenuListener* listener = frame ? frame->GetMenuListener() : nullptr;
    PopupMenu* menu = listener ? window_.GetSkin().CreatePopupMenu("SaveSessionMenu") : nullptr;
    if (menu)
        menu->Track(screenX, screenY, listener, Owner(), 1);
}

void SessionCommands::SettingsChanged()
{
    MainFrameTarget* frame = window_.GetFrame();
    if (MainSectionTarget* section = frame ? frame->GetMainSection() : nullptr)
        section->OnEngineEvent(EngineEvent::kHardwareChange, 0);
}

int SessionCommands::EditSessionSettings()
{
    IVarnServices* services = window_.GetServices();
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    if (!mixer)
        return 0;
    IVarnSettings* session = mixer->GetSessionSettings();
    char16_t comment[129] = {};
    const bool hasComment = session && session->GetText("comment", comment, 129);
    SessionSettingsDialog dialog;
    dialog.SetMixer(mixer);
    dialog.SetComment(hasComment ? comment : nullptr);
    const int answer = dialog.Run(window_.GetSkin(), Owner());
    if (!dialog.IsModified())
    {
        if (answer == 1)
            SettingsChanged();
        return answer == 1 ? 0 : 1;
    }
    // Also after a cancel: what the dialog wrote stays in the store, so the session and the
    // main section must say so.
    if (answer == 1)
    {
        String text;
        dialog.GetComment(text);
        if (session)
            session->SetText("comment", text.Text() ? text.Text() : u"", 0, 1);
    }
    services->SetModified(1);
    MarkDirty(1);
    SettingsChanged();
    return 1;
}

int SessionCommands::EditGlobalPreferences()
{
    GlobalPreferencesDialog dialog;
    dialog.Init();
    if (dialog.Run(window_.GetSkin(), Owner()) == 1 && dialog.Apply() && window_.GetHost())
        window_.GetHost()->RequestView(2, reinterpret_cast<intptr_t>(&window_));
    return 1;
}
