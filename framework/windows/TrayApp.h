#pragma once
#include "framework/windows/AppBase.h"

class TrayIcon;

// An application whose main window is hidden: its presence is an icon in the notification
// area. The derived application names the icon resource.
class TrayApp : public AppBase
{
public:
    TrayApp() = default;

    // The window object is the tray icon NewTrayIcon makes.
    Window* CreateWindowObject() override;
    int ShowOnStart() override { return 0; }
    // An application that needs more of its hidden window makes a derived one.
    virtual TrayIcon* NewTrayIcon();
    virtual const char* GetTrayIconName() = 0;
    virtual void OnTrayLeftDown(WPARAM) {}
    virtual void OnTrayLeftUp(WPARAM) {}
    virtual void OnTrayDoubleClick(WPARAM) {}
    virtual void OnTrayRightDown(WPARAM) {}
    virtual void OnTrayRightUp(WPARAM) {}
    virtual void OnTrayMouseMove(WPARAM) {}
    virtual void OnTrayMessage(UINT, WPARAM, LPARAM) {}

    void SetIcon(const char* name);
    void SetTip(const StringRef& text);
    // With onlyIfHidden, nothing happens while the icon is shown (a re-created taskbar
    // passes 0 to add it again).
    void ShowIcon(int onlyIfHidden);
    void HideIcon();
    int IsIconShown() const { return iconShown_; }
    TrayIcon* GetTrayIcon() const { return trayIcon_; }

private:
    TrayIcon* trayIcon_ = nullptr; // borrowed: the main window object, which AppBase owns
    int iconShown_ = 1;
};
