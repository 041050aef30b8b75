#include "framework/windows/TrayApp.h"

#include <new>

#include "framework/windows/TrayIcon.h"

TrayIcon* TrayApp::NewTrayIcon()
{
    return new (std::nothrow) TrayIcon();
}

Window* TrayApp::CreateWindowObject()
{
    trayIcon_ = NewTrayIcon();
    return trayIcon_;
}

void TrayApp::SetIcon(const char* name)
{
    if (trayIcon_)
        trayIcon_->SetIcon(name);
}

void TrayApp::SetTip(const StringRef& text)
{
    if (trayIcon_)
        trayIcon_->SetTip(text);
}

void TrayApp::ShowIcon(int onlyIfHidden)
{
    if (onlyIfHidden && iconShown_)
        return;
    if (trayIcon_)
        trayIcon_->Add();
    iconShown_ = 1;
}

void TrayApp::HideIcon()
{
    if (!iconShown_)
        return;
    if (trayIcon_)
        trayIcon_->Remove();
    iconShown_ = 0;
}
