#pragma once
#include <windows.h>

#include <shellapi.h>

#include "framework/windows/PlaceholderWindow.h"

class TrayApp;

// Where notification-area requests go: the shell in the program, a recorder in tests
// (there is no notification area under a bare X server).
class TrayNotifier
{
public:
    virtual BOOL Notify(DWORD message, NOTIFYICONDATAA* data) = 0;

protected:
    ~TrayNotifier() = default;
};

// The hidden main window of a tray application: owns the notification-area icon and turns
// its mouse events into application hooks.
class TrayIcon : public PlaceholderWindow
{
public:
    static constexpr UINT kCallbackMessage = WM_USER;
    static constexpr int kTipCharacters = 63;

    TrayIcon();
    ~TrayIcon() override;

    void OnCreate() override;
    void OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnMouseMove(WPARAM keys, int x, int y) override;
    void OnMouseDown(WPARAM keys, int x, int y) override;
    void OnMouseUp(WPARAM keys, int x, int y) override;
    void OnDoubleClick(WPARAM keys, int x, int y) override;
    void OnRightButtonDown(WPARAM keys, int x, int y) override;
    void OnRightButtonUp(WPARAM keys, int x, int y) override;

    void Add();
    void Remove();
    // The same name pointer as the current one changes nothing.
    void SetIcon(const char* name);
    // At most 63 characters are kept.
    void SetTip(const StringRef& text);

    const char* GetIconName() const { return iconName_; }

    // Replaces the shell (tests); null puts it back.
    static void SetNotifier(TrayNotifier* notifier);

private:
    TrayApp* App() const;
    void Notify(DWORD message);
    void LoadIcon(const char* name);

    NOTIFYICONDATAA data_;
    const char* iconName_ = nullptr; // borrowed resource name from the application
};
