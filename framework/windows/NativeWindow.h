#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/base/Object.h"
#include "framework/base/String.h"

class FontInterface;
class Region;
class Window;

// The popup menu that is open (the popup menu sets and clears it): it sees keys first, and
// a click elsewhere closes it.
class OpenPopup
{
public:
    virtual HWND GetPopupHandle() const = 0;
    // Answers non-zero when the key was consumed.
    virtual int OnKey(WPARAM key) = 0;
    // Destroys the popup window and deletes the menu object.
    virtual void CloseAndDelete() = 0;

protected:
    ~OpenPopup() = default;
};

// The single tooltip window, which any click or hit test outside it dismisses.
class OpenTooltip
{
public:
    virtual HWND GetTooltipHandle() const = 0;
    virtual void Destroy() = 0;

protected:
    ~OpenTooltip() = default;
};

// Keys of the whole program before the focused window sees them (the main frame sets it).
// Each answers non-zero when it consumed the key.
class KeyboardHook
{
public:
    virtual int OnChar(WPARAM wParam, LPARAM lParam) = 0;
    virtual int OnKeyDown(WPARAM wParam, LPARAM lParam) = 0;
    virtual int OnKeyUp(WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~KeyboardHook() = default;
};

// The framework's one link to a Win32 window: registers the window classes, creates the
// window, binds the handle to its object and turns each message into a virtual operation
// of the owning Window. Everything runs on the user-interface thread.
class NativeWindow : public Object
{
public:
    NativeWindow();
    ~NativeWindow() override;
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    virtual LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    virtual int Create(const String* title, DWORD style, int x, int y, int width, int height, Window* parent,
                       int unused, int classIndex);
    virtual int CreateWithClass(const char* className, const String* title, DWORD style, int x, int y, int width,
                                int height, Window* parent, int unused1, int unused2);
    virtual int CreateEx(const String* title, DWORD exStyle, DWORD style, int x, int y, int width, int height,
                         int classIndex, Window* parent);

    // Destroys the window; safe to call again and after the window went away by itself. An
    // attached window is only let go: it is not ours to destroy.
    void Destroy();

    // Binds this object to a window made by someone else (a host's window) without taking it
    // over: the window map finds it and framework windows can be its children, but its
    // messages stay with its own class. 0 for no window, a window that already has an object,
    // or an object that already has a window.
    int Attach(HWND hwnd);
    // Lets the attached window go; it lives on.
    void Detach();

    HWND GetHandle() const { return handle_; }
    void SetHandle(HWND handle) { handle_ = handle; }
    void SetOwner(Window* owner) { owner_ = owner; }

    // Modal loop: runs until EndModalLoop; a WM_QUIT is posted again and answers -1.
    int RunModalLoop();
    void EndModalLoop(int result);
    int IsInModalLoop() const { return (state_ & kModalRunning) ? 1 : 0; }

    int GetClientRect(RECT& rect) const;
    int GetWindowRect(RECT& rect) const;
    int GetMonitorWorkArea(RECT& rect) const;
    int Move(int x, int y, int width, int height, int repaint);
    int Invalidate(const RECT* rect, int erase);
    int ScreenToClient(int& x, int& y) const;
    int ClientToScreen(int& x, int& y) const;
    int Show(int command);
    int Maximize();
    int Restore();
    int Minimize();
    int Update();
    int SetCapture();
    int HasCapture() const;
    int PostMessage(UINT message, WPARAM wParam, LPARAM lParam);
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds);
    int KillTimer(UINT_PTR id);
    // Not for bitmap fonts, which the window cannot draw with.
    int SetFont(const FontInterface& font, int redraw);
    int SetFocus();
    int Enable(int flag);
    int IsEnabled() const;
    int Activate();
    int HideNoActivate();
    int BringToTop();
    int MakeTopmost();
    int BringToForeground();
    int IsVisible() const;
    int IsMinimized() const;
    int Scroll(int dx, int dy);
    int GetText(String& out) const;
    int SetText(const String& text);
    // The window gets a copy of the shape (the system owns what it is given); the region
    // stays the caller's. Null, or a region without a shape, removes the window's shape.
    int SetRegion(const Region* region, int redraw);
    // Device notices of the card, only while the window is enabled.
    int RegisterDeviceNotifications();
    int UnregisterDeviceNotifications();

    static int RegisterClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon);
    // Registers the first framework class when there is none yet.
    static void EnsureFirstClass();
    // Unregisters every framework class and forgets the list.
    static void UnregisterClasses();
    static const char* ClassName(int index);
    static int IsDescendant(HWND ancestor, HWND window);
    static Window* WindowFromPoint(int x, int y);
    static Window* FromHandle(HWND handle);
    static void GetVirtualScreenRect(int& left, int& top, int& width, int& height);
    static void GetScreenSize(int& width, int& height);
    static int LiveWindowCount();

    static void SetCurrentPopup(OpenPopup* popup);
    static OpenPopup* GetCurrentPopup();
    static void SetTooltip(OpenTooltip* tooltip);
    static void SetKeyboardHook(KeyboardHook* hook);
    static void SetTopModal(HWND dialog);
    // What the modal filter beeps with; tests listen in. Null puts MessageBeep back.
    using BeepFunction = BOOL(WINAPI*)(UINT type);
    static void SetBeep(BeepFunction beep);

    // How many window procedures of ours are running now: more than one while a handler
    // serves messages in a loop of its own (a modal dialog, a menu, the system's move loop)
    // and a message reaches a window of ours from inside it.
    static int RunningProcedures();

    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    enum : uint32_t
    {
        kModalEntered = 8,
        kModalRunning = 16,
    };

    int CreateWindowWith(DWORD exStyle, const char* className, const String* title, DWORD style, int x, int y,
                         int width, int height, Window* parent);
    void Bind(HWND hwnd);
    void Unbind(HWND hwnd);
    void CursorPoint(HWND hwnd, int& x, int& y) const;
    LRESULT OnDeviceChangeMessage(HWND hwnd, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    uint32_t state_ = 0;
    int modalResult_ = 0;
    Window* owner_ = nullptr; // borrowed: the Window this one is embedded in
    bool bound_ = false;      // in the window map and counted as live
    HWND attached_ = nullptr; // a window of someone else's, in the map and counted as live
};
