#pragma once
#include <memory>
#include <vector>

#include "framework/platform/RegistryKey.h"
#include "framework/skin/Skin.h"
#include "framework/windows/TrayApp.h"
#include "mixer/app/AppMessages.h"
#include "mixer/app/ApplicationHost.h"
#include "mixer/app/StubHandler.h"
#include "mixer/comserver/ServicesApplication.h"
#include "mixer/engine/VarnServices.h"
#include "mixer/names/PortNames.h"

class ApplicationTrayWindow;
class FormWindow;
class MainWindow;
class PlaceholderWindow;

// The mixer program's one application object: a tray application that owns the services
// engine, starts it (with the splash form up), opens and closes the mixer's main window on
// demand and answers the tray, the engine's rate, sync and shutdown events and the
// window system's power, device and session hooks. User-interface thread only, except the
// engine's listener in the tray window, which only posts.
class Application : public TrayApp, public ServicesApplication, public ApplicationHost
{
public:
    typedef IVarnServices* (*ServicesFactory)();

    // Tray menu commands.
    enum TrayCommand
    {
        kCommandFirstView = 3,
        kCommandStartMixer = 4,
        kCommandHelp = 5,
        kCommandToggleSplash = 6,
        kCommandResetHardware = 7,
        kCommandToggleLoadFx = 8,
        kCommandExit = 999
    };

    // The engine comes from the factory: the engine library's CreateVarnServices in the
    // program, a stand-in of their own in tests.
    explicit Application(ServicesFactory createServices);
    ~Application() override;

    static Application* Instance();

    // Hooks of the application base.
    int GetLargeIconId() override { return 107; }
    int GetSmallIconId() override { return 107; }
    void GetClassName(char* buffer, int size) override;
    void GetTitle(char* buffer, int size) override;
    TrayIcon* NewTrayIcon() override;
    int InitAfterCreate() override;
    int IsSingleInstance() override { return 1; }
    void OnQuit() override;
    void OnActivateRequest() override;
    void ShowHelp() override;
    void OnSessionConnect() override;
    void OnSessionDisconnect() override;
    const char* GetTrayIconName() override { return trayIconName_; }
    void OnTrayLeftUp(WPARAM keys) override;
    void OnTrayRightUp(WPARAM keys) override;
    void OnTrayMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The COM server's view of the application.
    IVarnServices* GetServices() override { return services_; }
    IVarnHardware* GetCurrentSystem() override;
    StringTable& GetStrings() override { return strings_; }

    // The host interface the main window is given.
    void RequestView(int kind, intptr_t argument) override;
    void SetTrayIcon(const char* iconName) override;
    void RefreshTrayTip() override;
    int GetInitStatus() override { return initStatus_; }

    // The main window, or null while none is open.
    MainWindow* GetFirstViewField() { return mainWindow_; }
    // The names of one mode's views as the tray menu lists them: the CorvanView list's first
    // entry is the main window's, the Ostrel list's the Ostrel view's.
    const std::vector<String>& GetViewNames(int corvanViewMode) const
    {
        return corvanViewMode ? corvanViews_ : ostrelViews_;
    }
    // The Ostrel view's window while it is open.
    Window* GetOstrelView() const;
    int IsCorvanViewMode() const { return corvanViewMode_; }
    Skin& GetSkin() { return skin_; }

    // The whole start-up (run once the tray window exists); 0 ends the program.
    int StartUp();
    // Creates and initialises the engine (the mode switch's "initialise the services").
    int InitServices(int askFirst, int fromCommandLine);
    // Returns whether a file was opened; loadedItself is set when the file was loaded here
    // rather than by the open main window.
    int CommandLineOpen(int& loadedItself);
    int StartMixerView(int report);
    void CloseMainWindow();
    // Brings the Ostrel view forward, opening it when it is not open.
    int OpenOstrelView(int report);
    void CloseOstrelViews();

    // Run-time services.
    void OnTrayCommand(int command);
    void OnEngineEvent(int id, VarnEventArg argument);
    void OnRateChange();
    void OnSyncSourceChange(VarnEventArg argument);
    void SaveOnSuspend();
    void SaveAndQuitOnResume();
    void ReleaseAtDeviceRemoval();
    void OnCardArrived();
    // End of the Windows session; nothing while the session is not ending.
    void OnEndOfSession(int ending);
    void QuitWithPrompt(int prompt);
    // Creates the splash form from the launcher skin, shown unless the user turned it off.
    void ShowSplash();
    // The splash form's progress text for engine events 80-98 (user-interface thread).
    void UpdateSplashText(int id);

    // Replaces the message service (tests); null puts back the skin's.
    void SetMessages(AppMessages* messages);
    // Whether the user reset the hardware: no save of the working session runs after it.
    static int IsHardwareReset();
    // The splash form while it is up.
    FormWindow* GetSplash() const { return splash_.get(); }
    ApplicationTrayWindow* GetTrayWindow() const;

    // The tray tip for the mixer model's state.
    static void BuildTrayTip(IVarnMixer* mixer, String& tip);

private:
    // The texts of the process-wide skin, the skin that loaded last (the main window holds
    // the mixer skin); none while no skin is loaded.
    class SkinStrings : public StringTable
    {
    public:
        const String* FindStringById(const char* id) override;
    };
    // The launcher skin's message box of that name when the skin can show it, else the
    // plain box with the plain text.
    class SkinMessages : public AppMessages
    {
    public:
        explicit SkinMessages(Skin& skin) : skin_(skin) {}
        int Show(const char* id, const char16_t* plainText, const char16_t* plainCaption) override;

    private:
        Skin& skin_;
    };

    int Message(const char* id, const char16_t* plainText, const char16_t* plainCaption);
    int LoadLauncherSkin();
    void LauncherSkinFolder(String& folder, int fallback);
    int OpenLauncherKey();
    void CloseSplash();
    std::unique_ptr<FormWindow> CreateForm(const char* name);
    void LeaveCorvanViewMode(int asked);
    void AddMixerViewEntry();
    MainWindow* OpenMainWindow();
    void ShowMainWindow();
    void NudgeHardwareLevel();
    void ImportSavedEffects();
    void SaveWorkingSession();
    // Sends Terminate, saves, closes the views and releases the engine; nothing without one.
    void ReleaseServices(int saveFirst);
    void RestartServices();
    void ShowTrayMenu();
    void ResetHardware();
    void RebuildMainWindow();
    // The rate-changed dialog until the rates settle (user-interface thread).
    void RunRateChangedDialog(IVarnMixer* mixer);
    int LauncherFlag(const StringRef& name, int defaultFlag);
    void ToggleLauncherFlag(const StringRef& name, int defaultFlag);

    ServicesFactory createServices_;
    IVarnServices* services_ = nullptr; // released, not deleted
    int initStatus_ = 0;
    int corvanViewMode_ = 0;
    int hardwareMessageShown_ = 0;
    int commandLineBusy_ = 0;
    int rateChangeBusy_ = 0;
    int rateDialogOpen_ = 0;
    int openingView_ = 0;
    int wtsRegistered_ = 0;
    const char* trayIconName_; // resource name of the icon shown
    Skin skin_;                // the launcher skin
    RegistryKey launcher_;
    StubHandler stubHandler_; // its second face is the engine's view interface
    SkinStrings strings_;
    SkinMessages skinMessages_;
    AppMessages* messages_;              // borrowed: skinMessages_ unless a test set one
    std::unique_ptr<FormWindow> splash_; // while the start-up runs
    MainWindow* mainWindow_ = nullptr;   // owned; the view of the CorvanView list's first entry
    std::vector<String> corvanViews_;
    std::vector<String> ostrelViews_;
    // What the Ostrel view shows belongs to the Ostrel cards' own software: here it is a
    // placeholder window that the view list can open, bring forward and close.
    std::unique_ptr<PlaceholderWindow> ostrelView_;
};
