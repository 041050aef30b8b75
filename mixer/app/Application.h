#pragma once
#include "framework/windows/TrayApp.h"
#include "mixer/names/PortNames.h"
#include "mixer/app/StubHandler.h"
#include "mixer/engine/VarnServices.h"
#include "mixer/comserver/ServicesApplication.h"

// The mixer program's application object, as far as it goes yet: a tray application that
// creates and initialises the services engine at start-up, releases it at the end, and whose
// message loop serves the COM server's calls. It tells the subscribed clients when it ends.
class Application : public TrayApp, public ServicesApplication
{
public:
    typedef IVarnServices* (*ServicesFactory)();

    // The engine comes from the factory: the engine library's CreateVarnServices in the
    // program, a stand-in of their own in tests.
    explicit Application(ServicesFactory createServices);
    ~Application() override;

    // Test hooks on the notification broadcasts, posted to the application window:
    // kFireNotifyMessage (type, 0) and kFirePrivateNotifyMessage (type | a << 16, b): the
    // private bits fit in 16 bits, so a is limited to 16 bits here. kQuitMessage ends the
    // application as the user's quit does.
    static constexpr UINT kFireNotifyMessage = WM_APP + 0x4B0;
    static constexpr UINT kFirePrivateNotifyMessage = WM_APP + 0x4B1;
    static constexpr UINT kQuitMessage = WM_APP + 0x4B2;

    void GetClassName(char* buffer, int size) override;
    void GetTitle(char* buffer, int size) override;
    int InitBeforeCreate() override;
    int IsSingleInstance() override { return 1; }
    void OnQuit() override;
    const char* GetTrayIconName() override { return nullptr; }
    void OnTrayMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    IVarnServices* GetServices() override { return services_; }
    // The main window comes later: no system is shown yet.
    IVarnHardware* GetCurrentSystem() override { return nullptr; }
    StringTable& GetStrings() override { return strings_; }
    // The engine's init status; 0 until the engine has been initialised.
    int GetInitStatus() const { return initStatus_; }

    // Creates and initialises the engine with the program, data and sessions folders, and
    // hands it the view interface; 1 on success. A failure is reported to the user and
    // leaves no engine.
    int InitServices();

    // Imports the effect presets that an earlier run saved aside ("Saved FX Path" of the
    // Launcher settings) into the engine's library, then forgets and deletes them.
    void ImportSavedEffects();

private:
    // The texts of the process-wide skin, the skin that loaded last (the main window will
    // hold the mixer skin); none while no skin is loaded.
    class SkinStrings : public StringTable
    {
    public:
        const String* FindStringById(const char* id) override;
    };

    void ReleaseServices();

    ServicesFactory createServices_;
    IVarnServices* services_ = nullptr; // released, not deleted, at the end
    int initStatus_ = 0;
    StubHandler stubHandler_; // its second face is the engine's view interface
    SkinStrings strings_;
};
