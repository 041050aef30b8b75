#include "mixer/app/Application.h"

#include <new>

#include "framework/controls/FormWindow.h"
#include "framework/controls/PopupMenu.h"
#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/files/FileSystem.h"
#include "framework/platform/files/Shell.h"
#include "framework/windows/BusyWindow.h"
#include "framework/windows/PlaceholderWindow.h"
#include "mixer/app/ApplicationTrayWindow.h"
#include "mixer/app/Automation.h"
#include "mixer/app/MainWindow.h"
#include "mixer/app/Startup.h"
#include "mixer/comserver/ServicesServer.h"
#include "mixer/dialogs/PreferencesStore.h"
#include "mixer/dialogs/WarningDialogs.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/engine/RateCodes.h"
#include "mixer/engine/MonitorLevelKick.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/names/WindowMessages.h"
#include "mixer/views/FrameApp.h"

namespace
{
const char16_t kErrorCaption[] = u"Kiv CorvanDSP Error!";
const char16_t kSkinMissing[] = u"Important application component missing/corrupt (skin) - you may need to re-install.";
const char16_t kComponentMissing[] = u"Fatal error: Varn Services component missing - you may need to re-install.";
const char16_t kViewMissing[] =
    u"Fatal error: Varn Services component missing (Varn View) - you may need to re-install.";
const char16_t kOstrelViewMissing[] =
    u"Fatal error: Varn Services component missing (Ostrel View) - you may need to re-install.";
const char16_t kMixerViewName[] = u"Kiv Corvan DSP";
const char16_t kOstrelViewName[] = u"Ostrel";
const char16_t kSettingsError[] = u"Fatal error in recovering settings - you may need to re-install.";
const char16_t kHardwareMissing[] =
    u"You don't appear to have KIV PCI or Cardbus hardware in your system, or the drivers are incorrectly "
    u"installed. Check your hardware or re-install KIV drivers. You may continue limited editing of Corvan DSP "
    u"Sessions but you will hear no audio.";
const char16_t kPartialHardware[] =
    u"You don't appear to have sufficient KIV hardware to load the session in your system. This may be because the "
    u"session expects more KIV hardware than what you have installed on your system. You may continue limited "
    u"editing of this Corvan DSP Session but you may not hear audio as expected.";
const char kIconNormal[] = "#107";
const char kIconProblem[] = "#126";

Application* gApplication = nullptr; // the one application object while it exists

int gHardwareReset = 0; // set once the user reset the hardware

// folder + "\" + name, created when missing; 0 when the folder cannot be had.
int EnsureFolder(String& folder, const char* name)
{
    folder.AppendAscii("\\");
    folder.AppendAscii(name);
    return FileSystem::DirectoryExists(folder) || FileSystem::CreateDirectoryPath(folder);
}

const char* RateText(int code)
{
    static const char* const texts[] = {"44.1 kHz", "48.0 kHz", "96.0 kHz", "192.0 kHz", "88.2 kHz", "176.4 kHz"};
    return code >= 0 && code <= 5 ? texts[code] : "Unknown";
}

int HardwareValue(IVarnMixer* mixer, const char* name)
{
    IVarnHardware* hardware = mixer ? mixer->GetHardware() : nullptr;
    IVarnSettings* settings = hardware ? hardware->GetSettings() : nullptr;
    int value = 0;
    return settings && settings->GetValue(name, &value) ? value : 0;
}

String Make(const char16_t* text)
{
    String result;
    result.AppendWide(text);
    return result;
}

typedef BOOL(WINAPI* SessionNotification)(HWND, DWORD);

SessionNotification WtsFunction(const char* name)
{
    HMODULE wts = ::LoadLibraryA("WTSAPI32");
    return wts ? reinterpret_cast<SessionNotification>(reinterpret_cast<void*>(::GetProcAddress(wts, name))) : nullptr;
}
} // namespace

Application::Application(ServicesFactory createServices)
    : createServices_(createServices), trayIconName_(kIconNormal), skinMessages_(skin_), messages_(&skinMessages_)
{
    gApplication = this;
    AppBase::SetSettingsKey({ViewSettings::kKeyPath, ViewSettings::kCommandLineOpen, ViewSettings::kLaunchCorvanView});
    ostrelViews_.push_back(Make(kOstrelViewName));
}

Application::~Application()
{
    if (wtsRegistered_)
    {
        if (SessionNotification unregister = WtsFunction("WTSUnRegisterSessionNotification"))
            reinterpret_cast<BOOL(WINAPI*)(HWND)>(reinterpret_cast<void*>(unregister))(GetWindowHandle());
    }
    CloseSplash();
    ReleaseServices(1);
    CloseOstrelViews();
    if (gApplication == this)
        gApplication = nullptr;
}

Application* Application::Instance()
{
    return gApplication;
}

int Application::IsHardwareReset()
{
    return gHardwareReset;
}

void Application::SetMessages(AppMessages* messages)
{
    messages_ = messages ? messages : &skinMessages_;
}

ApplicationTrayWindow* Application::GetTrayWindow() const
{
    return static_cast<ApplicationTrayWindow*>(GetTrayIcon());
}

void Application::GetClassName(char* buffer, int size)
{
    lstrcpynA(buffer, "Varn Services", size);
}

void Application::GetTitle(char* buffer, int size)
{
    lstrcpynA(buffer, "Varn Launcher", size);
}

TrayIcon* Application::NewTrayIcon()
{
    return new (std::nothrow) ApplicationTrayWindow(this);
}

int Application::InitAfterCreate()
{
    return StartUp();
}

// Every message goes through the one service: the skin's box when it can show it, the
// plain box otherwise.
int Application::Message(const char* id, const char16_t* plainText, const char16_t* plainCaption)
{
    return messages_->Show(id, plainText, plainCaption ? plainCaption : kErrorCaption);
}

int Application::SkinMessages::Show(const char* id, const char16_t* plainText, const char16_t* plainCaption)
{
    if (skin_.IsLoaded() && id && Dialog::IsCompleteStyle(skin_.MessageBoxStyle()))
    {
        String name;
        name.AppendAscii(id);
        if (skin_.FindDefinition("messageboxes", "messagebox", name))
            return SkinDialogs(skin_).ShowDefinedMessageBox(id, nullptr, nullptr);
    }
    AppBase::MessageBox(plainText ? plainText : u"", plainCaption);
    return 1;
}

void Application::LauncherSkinFolder(String& folder, int fallback)
{
    String name;
    if (!fallback)
    {
        RegistryKey view;
        PreferencesStore preferences;
        if (view.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1))
        {
            preferences.GetSkinName(view);
            name.AppendAscii("Default");
            preferences.GetSkinPath(name);
        }
    }
    if (fallback || name.Length() == 0 || name.CompareNoCaseAscii("default") == 0)
    {
        name.Clear();
        name.AppendAscii("Launcher Skin");
    }
    folder.Clear();
    ModulePath(folder);
    folder.AppendAscii("\\System\\");
    folder.Append(name);
}

// A stored skin without its System folder falls back to the launcher skin before the start
// gives up.
int Application::LoadLauncherSkin()
{
    String folder;
    LauncherSkinFolder(folder, 0);
    if (skin_.Load(folder, nullptr))
        return 1;
    LauncherSkinFolder(folder, 1);
    return skin_.Load(folder, nullptr);
}

int Application::OpenLauncherKey()
{
    return launcher_.Open(ViewSettings::kRoot, LauncherSettings::kKeyPath, 1);
}

int Application::LauncherFlag(const StringRef& name, int defaultFlag)
{
    return launcher_.ReadBool(name, defaultFlag);
}

void Application::ToggleLauncherFlag(const StringRef& name, int defaultFlag)
{
    launcher_.WriteBool(name, !launcher_.ReadBool(name, defaultFlag));
}

int Application::StartUp()
{
    if (!LoadLauncherSkin())
    {
        AppBase::MessageBox(kSkinMissing, kErrorCaption);
        return 0;
    }
    if (!OpenLauncherKey())
    {
        Message("IDM_SETTINGS_ERROR", kSettingsError, nullptr);
        corvanViewMode_ = 0;
        if (InitServices(0, 1))
            return 1;
        Message("IDM_COMPONENT_MISSING", kComponentMissing, nullptr);
        return 0;
    }
    ShowSplash();

    RegistryKey view;
    corvanViewMode_ = view.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1)
                          ? view.ReadBool(ViewSettings::kInCorvanViewMode, 1)
                          : 1;
    AddMixerViewEntry();
    if (corvanViewMode_)
    {
        corvanViewMode_ = 0;
        if (!InitServices(0, 1))
        {
            CloseSplash();
            return 0;
        }
    }
    else
        LeaveCorvanViewMode(0);

    RefreshTrayTip();
    ShowIcon(1);
    if (SessionNotification registerSession = WtsFunction("WTSRegisterSessionNotification"))
        wtsRegistered_ = registerSession(GetWindowHandle(), 0) ? 1 : 0;

    NudgeHardwareLevel();
    ImportSavedEffects();
    if (HWND window = GetWindowHandle())
        ::PostMessageA(window, WindowMessage::kShowMainWindow, 0, 0);
    CloseSplash();
    return 1;
}

// A form of the launcher skin's panel of that name; null when the skin has none or the
// window cannot be made.
std::unique_ptr<FormWindow> Application::CreateForm(const char* name)
{
    std::unique_ptr<FormWindow> form(new (std::nothrow) FormWindow);
    if (!form)
        return nullptr;
    form->Setup(nullptr, 0, 0, 0x646464);
    if (!PanelBuilder(skin_).BuildPanel(name, *form, 1, nullptr) || !form->Create(nullptr))
        return nullptr;
    return form;
}

void Application::ShowSplash()
{
    if (splash_)
        return;
    splash_ = CreateForm("splash");
    if (splash_ && !PreferencesStore().GetShowSplash(1))
        splash_->Show(SW_HIDE);
}

void Application::CloseSplash()
{
    splash_.reset();
}

void Application::UpdateSplashText(int id)
{
    if (!splash_)
        return;
    const char* ids[] = {"IDS_LOADING_EFFECTS_PRESETS", "IDS_LOADING_CORE_EFFECTS", "IDS_LOADING_TEMPLATES",
                         "IDS_LOADING_PLUGINS"};
    if (EngineEvent::kSplashLoading.Holds(id))
    {
        const String* text = skin_.FindStringById(ids[id - EngineEvent::kSplashLoading.first]);
        char16_t buffer[256] = {};
        if (text && text->CopyToWide(buffer, 256) >= 0 && buffer[0])
            splash_->SetChildText("inittag", Make(buffer));
    }
    splash_->RedrawArea(nullptr, 1);
}

int Application::InitServices(int askFirst, int fromCommandLine)
{
    if (corvanViewMode_)
        return 1;
    if (services_)
        return 0;
    if (askFirst)
    {
        const int answer = Message("IDM_OSTREL_TO_KDSP_WARNING", u"Switch to the K-DSP view?", nullptr);
        if (answer == 0 || answer == 2)
            return 1;
    }
    CloseOstrelViews();
    services_ = createServices_ ? createServices_() : nullptr;
    if (!services_)
    {
        SetTrayIcon(kIconProblem);
        Message("IDM_COMPONENT_MISSING", kComponentMissing, nullptr);
        return 0;
    }
    if (GetTrayWindow())
        services_->AddListener(GetTrayWindow());

    String program, data, sessions;
    if (!ModulePath(program) || !AppDataFolder(&data) || !EnsureFolder(data, "KivCorvanDSP") ||
        !DocumentsFolder(&sessions) || !EnsureFolder(sessions, "My Sessions"))
    {
        ReleaseServices(0);
        Message("IDM_CORVANDSP_SERVICES_INIT_FAIL", u"The Kiv CorvanDSP services could not be started.", nullptr);
        return 0;
    }
    if (splash_)
    {
        if (const String* text = skin_.FindStringById("IDS_INITIALIZING_EFFECTS"))
            splash_->SetChildText("inittag", *text);
    }
    initStatus_ = services_->Init(program.Text(), data.Text(), sessions.Text());
    switch (initStatus_)
    {
    case VarnInitFailed:
        ReleaseServices(0);
        Message("IDM_CORVANDSP_SERVICES_INIT_FAIL", u"The Kiv CorvanDSP services could not be started.", nullptr);
        return 0;
    case VarnInitAlreadyRunning:
        ReleaseServices(0);
        if (Message("IDM_CORVANDSP_SERVICES_ALREADY_RUNNING", u"The Kiv CorvanDSP services are already running.",
                    nullptr) == 3)
            RebootSystem();
        return 0;
    case VarnInitSessionNewer:
        Message("IDM_CORVANDSP_SERVICES_LAST_SESSION_VER_NEWER_THAN_APP",
                u"The last session was saved by a newer version of Kiv CorvanDSP.", nullptr);
        if (!services_->IsReady())
            SetTrayIcon(kIconProblem);
        break;
    default:
        break;
    }
    services_->SetViewInterface(stubHandler_.GetViewInterface());
    int loadedItself = 0;
    const int opened = fromCommandLine ? CommandLineOpen(loadedItself) : 0;

    corvanViewMode_ = 1;
    StartMixerView(1);
    RegistryKey view;
    if (view.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1))
        view.WriteBool(ViewSettings::kInCorvanViewMode, 1);
    if ((TakeLaunchFlag() || opened) && GetWindowHandle())
        ::PostMessageA(GetWindowHandle(), WindowMessage::kBringFirstViewForward, 0, 0);
    return 1;
}

void Application::LeaveCorvanViewMode(int asked)
{
    if (!corvanViewMode_)
        return;
    if (asked)
    {
        const int answer = Message("IDM_KDSP_TO_OSTREL_WARNING", u"Switch to the Ostrel view?", nullptr);
        if (answer == 0 || answer == 2)
            return;
    }
    ReleaseServices(1);
    corvanViewMode_ = 0;
    RegistryKey view;
    if (view.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1))
        view.WriteBool(ViewSettings::kInCorvanViewMode, 0);
}

void Application::AddMixerViewEntry()
{
    // Closing the views keeps their entries: a restart finds the mixer's entry in place.
    if (corvanViews_.empty())
        corvanViews_.push_back(Make(kMixerViewName));
}

int Application::CommandLineOpen(int& loadedItself)
{
    loadedItself = 0;
    if (commandLineBusy_ || rateChangeBusy_ || !services_)
        return 0;
    commandLineBusy_ = 1;
    // What the user was asked before the new session came is moot now.
    for (int i = Dialog::ModalCount() - 1; i >= 0; --i)
        Dialog::ModalAt(i)->End(0);
    RegistryKey view;
    int opened = 0;
    if (view.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1))
    {
        String path;
        String subkey = Make(ViewSettings::kCommandLineOpen);
        if (!view.ReadString(subkey, path, nullptr) || path.Length() == 0)
            path.AssignAscii("Empty");
        path.TrimLeftChars("\"");
        path.TrimRightChars("\"");
        if (FileSystem::FileExists(path))
        {
            // The open main window's session commands come with the main window; until then
            // the file is loaded here.
            BusyWindow busy;
            Automation::NotifyEvent(Notification::kBeforeSessionLoad, Notification::kNone, Notification::kNone);
            services_->LoadSession(path.Text(), 0);
            Automation::NotifyEvent(Notification::kAfterSessionLoad, Notification::kNone, Notification::kNone);
            loadedItself = 1;
            opened = 1;
        }
        view.DeleteKey(subkey);
    }
    OpenLauncherKey();
    commandLineBusy_ = 0;
    return opened;
}

// Counts once per request: only the copy that reaches the application window comes here.
void Application::OnActivateRequest()
{
    int loadedItself = 0;
    const int opened = CommandLineOpen(loadedItself);
    if (!opened)
    {
        if (corvanViewMode_ || TakeLaunchFlag())
            ::PostMessageA(GetWindowHandle(), WindowMessage::kShowMainWindow, 0, 0);
        else
            OpenOstrelView(0);
        return;
    }
    if (loadedItself)
    {
        corvanViewMode_ = 1;
        ::PostMessageA(GetWindowHandle(), WindowMessage::kShowMainWindow, 0, 0);
        RegistryKey view;
        if (view.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1))
            view.WriteBool(ViewSettings::kInCorvanViewMode, 1);
    }
}

int Application::StartMixerView(int report)
{
    if (openingView_)
        return 1;
    if (!corvanViewMode_ || corvanViews_.empty())
        return 0;
    if (mainWindow_)
    {
        mainWindow_->BringForward();
        return 1;
    }
    openingView_ = 1;
    std::unique_ptr<FormWindow> busy;
    if (!splash_)
        busy = CreateForm("busy");
    else
    {
        if (const String* text = skin_.FindStringById("IDS_STARTING_CORVAN"))
            splash_->SetChildText("inittag", *text);
        splash_->RedrawArea(nullptr, 1);
        ::Sleep(100);
    }
    mainWindow_ = OpenMainWindow();
    openingView_ = 0;
    busy.reset();
    if (!mainWindow_ && report)
        Message("IDM_VIEW_MISSING", kViewMissing, nullptr);
    return mainWindow_ ? 1 : 0;
}

MainWindow* Application::OpenMainWindow()
{
    if (!services_)
    {
        Message("IDM_COMPONENT_MISSING", kViewMissing, nullptr);
        return nullptr;
    }
    if (!hardwareMessageShown_)
    {
        hardwareMessageShown_ = 1;
        if (initStatus_ == VarnInitNoHardware)
            Message("IDM_HARDWARE_MISSING", kHardwareMissing, nullptr);
        else if (initStatus_ == VarnInitPartialHardware)
            Message("IDM_PARTIAL_HARDWARE", kPartialHardware, u"KIV CorvanDSP Error!");
    }
    BusyWindow busy;
    MainWindow* window = new (std::nothrow) MainWindow;
    if (window)
        window->SetFrameFactory(&FrameApp::Make);
    if (window && window->Create(services_, this) < 0)
    {
        delete window;
        window = nullptr;
    }
    return window;
}

void Application::CloseMainWindow()
{
    if (!mainWindow_)
        return;
    SaveWorkingSession();
    MainWindow* window = mainWindow_;
    mainWindow_ = nullptr;
    delete window;
}

Window* Application::GetOstrelView() const
{
    return ostrelView_ && ostrelView_->GetHandle() ? ostrelView_.get() : nullptr;
}

int Application::OpenOstrelView(int report)
{
    if (!GetOstrelView())
    {
        ostrelView_.reset(new (std::nothrow) PlaceholderWindow);
        if (!ostrelView_ ||
            !ostrelView_->Create(&ostrelViews_.front(), WS_OVERLAPPEDWINDOW, 60, 60, 400, 300, nullptr, 0, 0))
        {
            ostrelView_.reset();
            if (report)
                Message("IDM_VIEW_MISSING", kOstrelViewMissing, nullptr);
            return 0;
        }
    }
    ostrelView_->Show(SW_SHOW);
    ostrelView_->BringToForeground();
    return 1;
}

void Application::CloseOstrelViews()
{
    ostrelView_.reset();
}

void Application::ShowMainWindow()
{
    if (!mainWindow_)
        StartMixerView(0);
    if (mainWindow_)
        mainWindow_->Show();
    SetTrayIcon(services_ && services_->IsReady() ? kIconNormal : kIconProblem);
}

void Application::NudgeHardwareLevel()
{
    IVarnMixer* mixer = services_ ? services_->GetMixer() : nullptr;
    IVarnHardware* hardware = mixer ? mixer->GetHardware() : nullptr;
    KickMonitorLevel(hardware ? hardware->GetMainMix() : nullptr);
}

// Presets an earlier run saved aside are imported once; a failed import keeps the folder and
// the setting so that the next start tries again.
void Application::ImportSavedEffects()
{
    String saved;
    if (!services_ || !launcher_.ReadString(LauncherSettings::kSavedFxPath, saved, nullptr) ||
        saved.CompareLiteral(" ") == 0 || !services_->IsReady())
        return;
    String corePresets, effectPresets;
    corePresets.Append(saved);
    effectPresets.Append(saved);
    corePresets.AppendAscii("\\Core Effects\\Presets");
    effectPresets.AppendAscii("\\Effect Presets");
    IVarnFxLibrary* library = services_->GetFxLibrary();
    if (!library || !library->ImportLibrary(corePresets.Text(), effectPresets.Text()))
    {
        Message("IDM_IMPORT_FX_UNSUCCESS", u"The effects library could not be imported.", nullptr);
        return;
    }
    launcher_.DeleteKey(LauncherSettings::kSavedFxPath);
    Shell::DeleteSilently(saved, nullptr);
}

void Application::SaveWorkingSession()
{
    if (services_ && !gHardwareReset)
        services_->SaveSession(nullptr, 0, 1);
}

void Application::ReleaseServices(int saveFirst)
{
    if (!services_)
        return;
    if (saveFirst)
        SaveWorkingSession();
    delete mainWindow_;
    mainWindow_ = nullptr;
    IVarnServices* services = services_;
    services_ = nullptr;
    if (GetTrayWindow())
        services->RemoveListener(GetTrayWindow());
    initStatus_ = 0;
    corvanViewMode_ = 0;
    services->Release();
}

void Application::RestartServices()
{
    ReleaseServices(1);
    AddMixerViewEntry();
    corvanViewMode_ = 0;
    InitServices(0, 0);
    RefreshTrayTip();
    ShowIcon(1);
    if (GetWindowHandle())
        ::PostMessageA(GetWindowHandle(), WindowMessage::kShowMainWindow, 0, 0);
}

void Application::OnSessionConnect()
{
    RestartServices();
}

void Application::OnSessionDisconnect()
{
    if (!corvanViewMode_)
        return;
    ReleaseServices(1);
    HideIcon();
}

IVarnHardware* Application::GetCurrentSystem()
{
    return mainWindow_ ? mainWindow_->GetCurrentSystem() : nullptr;
}

void Application::RequestView(int kind, intptr_t argument)
{
    const UINT message = kind == kRequestBringForward  ? WindowMessage::kBringFrameForward
                         : kind == kRequestRebuild     ? WindowMessage::kRebuildMainWindow
                         : kind == kRequestViewMissing ? WindowMessage::kViewMissing
                                                       : 0;
    if (message && GetWindowHandle())
        ::PostMessageA(GetWindowHandle(), message, static_cast<WPARAM>(argument), 0);
}

void Application::SetTrayIcon(const char* iconName)
{
    trayIconName_ = iconName;
    SetIcon(iconName);
}

void Application::BuildTrayTip(IVarnMixer* mixer, String& tip)
{
    tip.Clear();
    tip.AppendAscii("KIV Corvan DSP\nS/R: ");
    tip.AppendAscii(RateText(mixer ? mixer->GetRateCode() : -1));
    tip.AppendAscii(HardwareValue(mixer, "ExtSyncSrc") ? " (External)" : " (Internal)");
    tip.AppendAscii("\nStatus: ");
    tip.AppendAscii(HardwareValue(mixer, "SampleRateLocked") ? "Locked" : "Unlocked");
}

void Application::RefreshTrayTip()
{
    String tip;
    BuildTrayTip(services_ ? services_->GetMixer() : nullptr, tip);
    SetTip(tip);
}

void Application::ShowHelp()
{
    RegistryKey machine;
    String path;
    if (machine.Open("HKEY_LOCAL_MACHINE", u"Software\\Halvorn Professional\\KIV Corvan DSP", 0) &&
        machine.ReadString(u"HelpFileName", path, nullptr) && path.Length() > 0)
    {
        OpenWithShell(path);
        return;
    }
    if (!ModulePath(path))
        return;
    path.AppendAscii("\\CorvanDSPManual.pdf");
    if (!FileSystem::FileExists(path))
        return;
    if (machine.Open("HKEY_LOCAL_MACHINE", u"Software\\Halvorn Professional\\KIV Corvan DSP", 1))
        machine.WriteString(u"HelpFileName", &path);
    OpenWithShell(path);
}

void Application::OnTrayLeftUp(WPARAM)
{
    if (skin_.IsMessageBoxRunning())
        return;
    if (corvanViewMode_)
        ::PostMessageA(GetWindowHandle(), WindowMessage::kBringFirstViewForward, 0, 0);
    else
        OpenOstrelView(1);
}

void Application::OnTrayRightUp(WPARAM)
{
    ShowTrayMenu();
}

namespace
{
// The tray menu's listener: the application's commands.
class TrayMenuListener : public MenuListener
{
public:
    void OnMenuCommand(int command) override
    {
        if (Application* application = Application::Instance())
            application->OnTrayCommand(command);
    }
};
TrayMenuListener gTrayMenuListener;
} // namespace

void Application::ShowTrayMenu()
{
    if (skin_.IsMessageBoxRunning() || PopupMenu::Current())
        return;
    PopupMenu* menu = skin_.CreatePopupMenu("traymenu");
    if (!menu)
        return;
    const int splashOff = !LauncherFlag(LauncherSettings::kShowServicesSplash, 1);
    const int loadFx = LauncherFlag(LauncherSettings::kLoadFxOnStartup, 0);
    const struct
    {
        int command;
        int checked;
    } marks[] = {{1, corvanViewMode_}, {2, !corvanViewMode_}, {6, splashOff}, {8, loadFx}};
    for (const auto& mark : marks)
    {
        const int index = menu->FindItem(mark.command);
        if (index >= 0)
            menu->SetItemChecked(index, mark.checked);
    }
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    // The window must be in front for the menu to close when the user clicks elsewhere.
    ::SetForegroundWindow(GetWindowHandle());
    menu->Track(cursor.x, cursor.y, &gTrayMenuListener, GetMainWindow(), 1);
}

void Application::OnTrayCommand(int command)
{
    switch (command)
    {
    case kCommandFirstView:
        if (corvanViewMode_)
            ShowMainWindow();
        else
            OpenOstrelView(0);
        break;
    case kCommandStartMixer:
        if (!corvanViewMode_)
            OpenOstrelView(1);
        else if (!StartMixerView(1) || !mainWindow_)
            Message("IDM_VIEW_MISSING", kViewMissing, nullptr);
        else
            mainWindow_->Show();
        break;
    case kCommandHelp:
        ShowHelp();
        break;
    case kCommandToggleSplash:
        ToggleLauncherFlag(LauncherSettings::kShowServicesSplash, 1);
        break;
    case kCommandResetHardware:
        ResetHardware();
        break;
    case kCommandToggleLoadFx:
        ToggleLauncherFlag(LauncherSettings::kLoadFxOnStartupToggled, 0);
        break;
    case kCommandExit:
        if (LauncherFlag(LauncherSettings::kShowExitWarning, 1))
        {
            ExitWarningDialog warning;
            warning.Init();
            if (!SkinDialogs(skin_).ShowDialogPanel("exitwarning", &warning, nullptr))
                break;
        }
        QuitWithPrompt(1);
        break;
    default:
        break;
    }
}

void Application::ResetHardware()
{
    class Host : public StartupHost
    {
    public:
        int RunApplication(HINSTANCE, HINSTANCE, int) override { return 0; }
    } host;
    ResetDspHardware(host);
    // The reset deleted the settings and the working session: nothing may write them back,
    // whatever the user answers next.
    gHardwareReset = 1;
    if (Message("IDM_QUITWARNING", u"The hardware has been reset.", nullptr) == 0)
        return;
    if (Message("IDM_SHUTDOWN_SYSTEM", u"Windows must restart to complete the reset.", nullptr) == 3)
        RebootSystem();
    else
        QuitWithPrompt(0);
}

void Application::QuitWithPrompt(int)
{
    // The save prompt comes with the session commands; the working session is saved when
    // the engine is released.
    Quit();
}

void Application::OnQuit()
{
    ServicesServer::FireNotify(KivKDSPASIO_Terminate);
    EndComServer();
}

void Application::OnEngineEvent(int id, VarnEventArg argument)
{
    if (EngineEvent::kSplashText.Holds(id))
        UpdateSplashText(id);
    else if (id == EngineEvent::kRateChange)
        OnRateChange();
    else if (id == EngineEvent::kSyncSourceChange)
        OnSyncSourceChange(argument);
    else if (id == EngineEvent::kEngineEnds)
    {
        ReleaseServices(1);
        HideIcon();
        ::PostMessageA(GetWindowHandle(), WM_QUIT, 0, 0);
    }
}

void Application::OnRateChange()
{
    IVarnMixer* mixer = services_ ? services_->GetMixer() : nullptr;
    if (rateChangeBusy_ || !mixer)
        return;
    rateChangeBusy_ = 1;
    const int mismatch = RateFamily(mixer->GetRateCode()) != RateFamily(mixer->GetHardwareRateCode());
    if (mismatch && !rateDialogOpen_)
    {
        Automation::NotifyEvent(Notification::kRateMismatch, Notification::kNone, Notification::kNone);
        if (Dialog* top = Dialog::TopModal())
        {
            if (top->GetTitle().CompareLiteral("Session Settings") != 0)
                top->End(0);
        }
        RunRateChangedDialog(mixer);
    }
    IVarnHardware* hardware = mixer->GetHardware();
    IVarnSettings* settings = hardware ? hardware->GetSettings() : nullptr;
    if (settings)
        settings->RunCommand("UnMute");
    if (!mismatch)
    {
        char16_t rate[129] = {};
        IVarnSettings* session = mixer->GetSessionSettings();
        if (session && mixer->GetRateText(rate, 129))
            session->SetText("samplerate", rate, 0, 1);
    }
    rateChangeBusy_ = 0;
    RefreshTrayTip();
}

// Until the rates settle: OK re-reads the rates and, still apart, runs the chosen option (a
// new session, another session; both come with the session commands) or asks again; Retry
// re-reads them.
void Application::RunRateChangedDialog(IVarnMixer* mixer)
{
    String name;
    name.AppendAscii("ratechanged");
    if (!skin_.FindDefinition("dialogpanels", "dialogpanel", name) ||
        !Dialog::IsCompleteStyle(skin_.FirstDialogStyle()))
        return; // a skin that cannot show the question cannot have it answered
    for (;;)
    {
        rateDialogOpen_ = 1;
        SampleRateChangedDialog dialog;
        dialog.Init(launcher_);
        dialog.SetRate(mixer->GetHardwareRateCode());
        const int answer = SkinDialogs(skin_).ShowDialogPanel("ratechanged", &dialog, nullptr);
        rateDialogOpen_ = 0;
        if (!services_ || mixer != services_->GetMixer() || mixer->GetRateCode() == mixer->GetHardwareRateCode())
            return;
        if (answer < 0 || (answer == 1 && dialog.GetOption() != 2))
            return;
    }
}

void Application::OnSyncSourceChange(VarnEventArg argument)
{
    IVarnMixer* mixer = services_ ? services_->GetMixer() : nullptr;
    IVarnHardware* hardware = mixer ? mixer->GetHardware() : nullptr;
    IVarnSettings* settings = hardware ? hardware->GetSettings() : nullptr;
    if (!settings)
        return;
    settings->RunCommand("UnMute");
    const int source = static_cast<int>(argument & 0xFFFF);
    const char16_t* text = u"";
    switch (source)
    {
    case 0:
        text = u"0";
        break;
    case 1:
        text = hardware->HasFeature(HardwareFeature::kSecondModelSync) ? u"5" : u"1";
        break;
    case 2:
        text = u"2";
        break;
    case 3:
        text = u"3";
        break;
    case 4:
        text = u"4";
        break;
    default:
        break;
    }
    settings->SetText("ExtSyncSrc", text, 0, 1);
    RefreshTrayTip();
}

void Application::SaveOnSuspend()
{
    if (services_ && services_->IsRunning())
        SaveWorkingSession();
}

void Application::SaveAndQuitOnResume()
{
    if (!services_ || gHardwareReset || services_->IsRunning())
        return;
    SaveWorkingSession();
    QuitWithPrompt(0);
}

// A query-remove reaches both the end-of-session and the removal hook: whichever comes
// second finds no engine and does nothing.
void Application::ReleaseAtDeviceRemoval()
{
    if (!services_)
        return;
    ServicesServer::FireNotify(KivKDSPASIO_Terminate);
    ReleaseServices(1);
    HideIcon();
    ::PostMessageA(GetWindowHandle(), WM_QUIT, 0, 0);
}

void Application::OnCardArrived()
{
    if (initStatus_ == VarnInitNoHardware)
        RestartServices();
}

void Application::OnEndOfSession(int ending)
{
    if (!ending)
        return;
    ReleaseAtDeviceRemoval();
    EndComServer();
    ::PostQuitMessage(0);
}

void Application::RebuildMainWindow()
{
    CloseMainWindow();
    if (!LoadLauncherSkin())
    {
        AppBase::MessageBox(kSkinMissing, kErrorCaption);
        RegistryKey view;
        if (view.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1))
        {
            String fallback = Make(u"Default");
            view.WriteString(ViewSettings::kSkin, &fallback);
        }
        if (!LoadLauncherSkin())
        {
            ReleaseAtDeviceRemoval();
            QuitWithPrompt(0);
            return;
        }
    }
    StartMixerView(1);
    if (mainWindow_)
        mainWindow_->Show();
}

void Application::OnTrayMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WindowMessage::kBringFrameForward:
    case WindowMessage::kBringFirstViewForward:
        if (mainWindow_)
            mainWindow_->BringForward();
        break;
    case WindowMessage::kRebuildMainWindow:
        RebuildMainWindow();
        break;
    case WindowMessage::kShowMainWindow:
        ShowMainWindow();
        break;
    case WindowMessage::kViewMissing:
        // The main window has no frame to show, from its skin nor from "Default".
        CloseMainWindow();
        Message("IDM_VIEW_MISSING", kViewMissing, nullptr);
        QuitWithPrompt(0);
        break;
    case WindowMessage::kFireNotify:
        ServicesServer::FireNotify(static_cast<DWORD>(wParam));
        break;
    case WindowMessage::kFirePrivateNotify:
        ServicesServer::FirePrivateNotify(static_cast<DWORD>(wParam & 0xFFFF),
                                          static_cast<DWORD>((wParam >> 16) & 0xFFFF), static_cast<DWORD>(lParam));
        break;
    case WindowMessage::kQuit:
        Quit();
        break;
    default:
        break;
    }
}

const String* Application::SkinStrings::FindStringById(const char* id)
{
    Skin* skin = Skin::Current();
    return skin ? skin->FindStringById(id) : nullptr;
}
