#pragma once
#include "framework/windows/TrayApp.h"

// The mixer program's application object, as far as it goes yet: a tray application whose
// message loop serves the COM server's calls. It tells the subscribed clients when it ends.
class Application : public TrayApp
{
public:
    // Test hooks on the notification broadcasts, posted to the application window:
    // kFireNotifyMessage (type, 0) and kFirePrivateNotifyMessage (type | a << 16, b): the
    // private bits fit in 16 bits, so a is limited to 16 bits here.
    static constexpr UINT kFireNotifyMessage = WM_APP + 0x4B0;
    static constexpr UINT kFirePrivateNotifyMessage = WM_APP + 0x4B1;

    void GetClassName(char* buffer, int size) override;
    void GetTitle(char* buffer, int size) override;
    int IsSingleInstance() override { return 1; }
    void OnQuit() override;
    const char* GetTrayIconName() override { return nullptr; }
    void OnTrayMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
