#include "framework/windows/TrayIcon.h"
#include "framework/platform/FrameworkModule.h"

#include <cstring>

#include "framework/base/AnsiText.h"
#include "framework/windows/TrayApp.h"

namespace
{

class ShellNotifier final : public TrayNotifier
{
public:
    BOOL Notify(DWORD message, NOTIFYICONDATAA* data) override { return ::Shell_NotifyIconA(message, data); }
};

ShellNotifier gShell;
TrayNotifier* gNotifier = &gShell;

} // namespace

void TrayIcon::SetNotifier(TrayNotifier* notifier)
{
    gNotifier = notifier ? notifier : &gShell;
}

TrayIcon::TrayIcon()
{
    std::memset(&data_, 0, sizeof data_);
    data_.cbSize = NOTIFYICONDATAA_V1_SIZE;
}

TrayIcon::~TrayIcon()
{
    data_.uFlags = 0;
    Notify(NIM_DELETE);
    if (data_.hIcon)
        ::DestroyIcon(data_.hIcon);
    Destroy();
}

TrayApp* TrayIcon::App() const
{
    return dynamic_cast<TrayApp*>(GetOwner());
}

void TrayIcon::Notify(DWORD message)
{
    // The record keeps the handle the icon was added with, so the icon can still be removed
    // after the window is gone.
    gNotifier->Notify(message, &data_);
}

void TrayIcon::LoadIcon(const char* name)
{
    if (data_.hIcon)
        ::DestroyIcon(data_.hIcon);
    data_.hIcon = name ? static_cast<HICON>(::LoadImageA(FrameworkModule(), name, IMAGE_ICON, 16, 16, 0)) : nullptr;
}

void TrayIcon::OnCreate()
{
    TrayApp* app = App();
    iconName_ = app ? app->GetTrayIconName() : nullptr;
    LoadIcon(iconName_);
    data_.hWnd = GetHandle();
    data_.uID = 0;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = kCallbackMessage;
    std::strcpy(data_.szTip, "Testing");
    if (app && app->IsIconShown())
        Notify(NIM_ADD);
}

void TrayIcon::Add()
{
    if (!data_.hIcon)
        LoadIcon(iconName_);
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    Notify(NIM_ADD);
}

void TrayIcon::Remove()
{
    data_.uFlags = 0;
    Notify(NIM_DELETE);
}

void TrayIcon::SetIcon(const char* name)
{
    if (name == iconName_)
        return;
    Notify(NIM_DELETE);
    LoadIcon(name);
    iconName_ = name;
    TrayApp* app = App();
    if (app && app->IsIconShown())
        Notify(NIM_ADD);
}

void TrayIcon::SetTip(const StringRef& text)
{
    // The tip field holds 63 characters and the terminator.
    char tip[sizeof data_.szTip] = {};
    std::strncpy(tip, AnsiText(text).c_str(), static_cast<size_t>(kTipCharacters));
    std::memcpy(data_.szTip, tip, sizeof tip);
    Notify(NIM_MODIFY);
}

void TrayIcon::OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    TrayApp* app = App();
    if (message < kCallbackMessage || !app)
        return;
    app->OnTrayMessage(message, wParam, lParam);
    // Only the icon's callback carries a mouse message; the application posts its own
    // messages to this window as well.
    if (message != kCallbackMessage)
        return;
    switch (lParam)
    {
    case WM_MOUSEMOVE:
        OnMouseMove(0, 0, 0);
        break;
    case WM_LBUTTONDOWN:
        OnMouseDown(0, 0, 0);
        break;
    case WM_LBUTTONUP:
        OnMouseUp(0, 0, 0);
        break;
    case WM_RBUTTONDOWN:
        OnRightButtonDown(0, 0, 0);
        break;
    case WM_RBUTTONUP:
        OnRightButtonUp(0, 0, 0);
        break;
    default:
        break;
    }
}

void TrayIcon::OnMouseMove(WPARAM keys, int, int)
{
    if (TrayApp* app = App())
        app->OnTrayMouseMove(keys);
}

void TrayIcon::OnMouseDown(WPARAM keys, int, int)
{
    if (TrayApp* app = App())
        app->OnTrayLeftDown(keys);
}

void TrayIcon::OnMouseUp(WPARAM keys, int, int)
{
    if (TrayApp* app = App())
        app->OnTrayLeftUp(keys);
}

void TrayIcon::OnDoubleClick(WPARAM keys, int, int)
{
    if (TrayApp* app = App())
        app->OnTrayDoubleClick(keys);
}

void TrayIcon::OnRightButtonDown(WPARAM keys, int, int)
{
    if (TrayApp* app = App())
        app->OnTrayRightDown(keys);
}

void TrayIcon::OnRightButtonUp(WPARAM keys, int, int)
{
    if (TrayApp* app = App())
        app->OnTrayRightUp(keys);
}
