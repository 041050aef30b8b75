#pragma once
#include <cstdint>

// What the application offers its main window: view requests (1 bring the frame forward,
// 2 rebuild the main window, 3 no frame can be made: tell the user and end; all posted to the
// tray window), the tray icon and tip, and the engine's init status.
class ApplicationHost
{
public:
    enum ViewRequest
    {
        kRequestBringForward = 1,
        kRequestRebuild = 2,
        kRequestViewMissing = 3
    };
    virtual void RequestView(int kind, intptr_t argument) = 0;
    virtual void SetTrayIcon(const char* iconName) = 0;
    virtual void RefreshTrayTip() = 0;
    virtual int GetInitStatus() = 0;

protected:
    ~ApplicationHost() = default;
};
