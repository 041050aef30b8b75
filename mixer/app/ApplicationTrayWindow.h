#pragma once
#include <windows.h>

#include "framework/windows/TrayIcon.h"
#include "mixer/engine/VarnServices.h"

class Application;

// The application's hidden top-level window: owns the tray icon, turns the window system's
// power, device and session hooks into calls on the application and listens to the engine.
// The listener runs on the engine's threads and only posts to this window, except for the
// splash text, which it sets at once when the engine reports on the user-interface thread.
class ApplicationTrayWindow : public TrayIcon, public IVarnListener
{
public:
    explicit ApplicationTrayWindow(Application* application);

    void OnCreate() override;
    int OnClose() override;
    void OnDeviceQueryRemove() override;
    void OnDeviceQueryRemoveFailed() override;
    void OnPowerQuerySuspend() override;
    void OnPowerResume() override;
    int OnDeviceChange() override;
    void OnEndSession(int ending) override;
    void OnTaskbarCreated() override;
    void OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    int VARN_CALL OnEngineEvent(int id, VarnEventArg argument) override;

private:
    Application* application_; // borrowed: the owner
    DWORD uiThread_;           // the thread that made the window object
};
