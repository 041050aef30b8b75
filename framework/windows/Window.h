#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/windows/NativeWindow.h"

class FontInterface;
class Graphics;
class Region;

// A window's second face: eight notifications whose meaning the windows that send and
// override them fix. Operations 2 to 5 pass their three values on to operation 1; the rest
// do nothing.
class WindowNotify
{
public:
    virtual void Notify0(intptr_t, intptr_t) {}
    virtual void Notify1(intptr_t, intptr_t, intptr_t) {}
    virtual void Notify2(intptr_t a, intptr_t b, intptr_t c) { Notify1(a, b, c); }
    virtual void Notify3(intptr_t a, intptr_t b, intptr_t c) { Notify1(a, b, c); }
    virtual void Notify4(intptr_t a, intptr_t b, intptr_t c) { Notify1(a, b, c); }
    virtual void Notify5(intptr_t a, intptr_t b, intptr_t c) { Notify1(a, b, c); }
    virtual void Notify6(intptr_t, intptr_t) {}
    virtual void Notify7() {}

protected:
    ~WindowNotify() = default;
};

// The base of every framework window. Each handled message calls one virtual operation;
// the base answers make an un-overridden window behave like a plain Win32 window. The
// other operations are thin layers over the embedded NativeWindow and do nothing (answer 0)
// while there is no window.
class Window : public Object, public WindowNotify
{
public:
    Window();
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    virtual int Create(const String* title, DWORD style, int x, int y, int width, int height, Window* parent,
                       int unused, int classIndex);
    virtual int CreateWithClass(const char* className, const String* title, DWORD style, int x, int y, int width,
                                int height, Window* parent, int unused1, int unused2);
    virtual int CreateEx(const String* title, DWORD exStyle, DWORD style, int x, int y, int width, int height,
                         int classIndex, Window* parent);
    virtual void OnDeviceQueryRemove() {}
    virtual void OnDeviceQueryRemoveFailed() {}
    virtual void OnPowerResume() {}
    virtual void OnPowerQuerySuspend() {}
    virtual void OnCreate() {}
    virtual int OnClose() { return 1; }
    virtual void OnDestroy() {}
    virtual int OnChildDestroy(Window*) { return 1; }
    virtual int OnEraseBackground(Graphics&) { return 1; }
    virtual void OnPaint(Graphics&) {}
    virtual void OnMouseDown(WPARAM, int, int) {}
    virtual void OnMouseUp(WPARAM, int, int) {}
    virtual void OnDoubleClick(WPARAM, int, int) {}
    virtual void OnRightButtonDown(WPARAM, int, int) {}
    virtual void OnRightButtonUp(WPARAM, int, int) {}
    virtual void OnMouseMove(WPARAM, int, int) {}
    virtual int OnSize(WPARAM, int, int) { return 1; }
    virtual void OnMove(int, int) {}
    virtual int OnChar(WPARAM, LPARAM) { return 0; }
    virtual int OnKeyDown(WPARAM, LPARAM) { return 0; }
    virtual int OnKeyUp(WPARAM, LPARAM) { return 0; }
    virtual int OnCommand(int, int) { return 0; }
    virtual int OnNcHitTest(int, int) { return -1; }
    virtual void OnGetMinMaxInfo(MINMAXINFO*) {}
    virtual void OnUserMessage(UINT, WPARAM, LPARAM) {}
    virtual int OnActivate(WPARAM, int, LPARAM) { return 1; }
    virtual void OnTimer(UINT_PTR) {}
    virtual int OnDragOver(int, int, intptr_t, intptr_t) { return 0; }
    virtual int OnDrop(int, int, intptr_t, intptr_t) { return 0; }
    virtual void OnCopyData(WPARAM, LPARAM) {}
    virtual int OnQueryEndSession() { return 1; }
    virtual void OnEndSession(int) {}
    virtual void OnTaskbarCreated() {}
    virtual void OnMouseWheel(WPARAM, int, int) {}
    virtual void OnNcPaint() {}
    virtual int OnDeviceChange() { return 1; }
    virtual HWND GetHandle() const { return native_.GetHandle(); }

    void Destroy() { native_.Destroy(); }
    int Attach(HWND hwnd) { return native_.Attach(hwnd); }
    void Detach() { native_.Detach(); }
    int Minimize() { return native_.Minimize(); }
    Window* GetParent() const { return parent_; }
    int RunModalLoop() { return native_.RunModalLoop(); }
    void EndModalLoop(int result) { native_.EndModalLoop(result); }
    int IsInModalLoop() const { return native_.IsInModalLoop(); }
    int GetSize(int& width, int& height) const;
    int GetClientArea(int& x, int& y, int& width, int& height) const;
    int GetScreenArea(int& x, int& y, int& width, int& height) const;
    int GetClientRect(RECT& rect) const { return native_.GetClientRect(rect); }
    int GetWindowRect(RECT& rect) const { return native_.GetWindowRect(rect); }
    int Move(int x, int y, int width, int height, int repaint) { return native_.Move(x, y, width, height, repaint); }
    int SetPosition(int x, int y, int repaint);
    int GetPosition(int& x, int& y) const;
    int SetSize(int width, int height, int repaint);
    int MoveBy(int dx, int dy, int repaint);
    int InvalidateArea(int x, int y, int width, int height, int erase);
    int Invalidate(const RECT& rect, int erase) { return native_.Invalidate(&rect, erase); }
    int InvalidateAll(int erase) { return native_.Invalidate(nullptr, erase); }
    int ScreenToClient(int& x, int& y) const { return native_.ScreenToClient(x, y); }
    int ClientToScreen(int& x, int& y) const { return native_.ClientToScreen(x, y); }
    int ScreenToClientRect(RECT& rect) const;
    int ClientToScreenRect(RECT& rect) const;
    int Show(int command) { return native_.Show(command); }
    int Update() { return native_.Update(); }
    int Maximize() { return native_.Maximize(); }
    int Restore() { return native_.Restore(); }
    int SetCapture() { return native_.SetCapture(); }
    int HasCapture() const { return native_.HasCapture(); }
    static void ReleaseCapture() { ::ReleaseCapture(); }
    int PostMessage(UINT message, WPARAM wParam, LPARAM lParam) { return native_.PostMessage(message, wParam, lParam); }
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) { return native_.SetTimer(id, milliseconds); }
    int KillTimer(UINT_PTR id) { return native_.KillTimer(id); }
    int SetFont(const FontInterface& font, int redraw) { return native_.SetFont(font, redraw); }
    int SetFocus() { return native_.SetFocus(); }
    int Enable(int flag) { return native_.Enable(flag); }
    int IsEnabled() const { return native_.IsEnabled(); }
    int Activate() { return native_.Activate(); }
    int HideNoActivate() { return native_.HideNoActivate(); }
    int BringToTop() { return native_.BringToTop(); }
    int MakeTopmost() { return native_.MakeTopmost(); }
    int BringToForeground() { return native_.BringToForeground(); }
    int IsVisible() const { return native_.IsVisible(); }
    int IsMinimized() const { return native_.IsMinimized(); }
    int Scroll(int dx, int dy) { return native_.Scroll(dx, dy); }
    int GetText(String& out) const { return native_.GetText(out); }
    int SetText(const String& text) { return native_.SetText(text); }
    int SetRegion(const Region* region, int redraw) { return native_.SetRegion(region, redraw); }
    int GetMonitorWorkArea(RECT& rect) const { return native_.GetMonitorWorkArea(rect); }
    int RegisterDeviceNotifications() { return native_.RegisterDeviceNotifications(); }
    int UnregisterDeviceNotifications() { return native_.UnregisterDeviceNotifications(); }
    static void GetScreenSize(int& width, int& height) { NativeWindow::GetScreenSize(width, height); }
    static void GetWorkArea(RECT& rect);
    static void GetVirtualScreenRect(int& left, int& top, int& width, int& height)
    {
        NativeWindow::GetVirtualScreenRect(left, top, width, height);
    }
    static Window* WindowFromPoint(int x, int y) { return NativeWindow::WindowFromPoint(x, y); }

    NativeWindow& GetNativeWindow() { return native_; }

private:
    friend class NativeWindow;
    void SetParent(Window* parent) { parent_ = parent; }

    NativeWindow native_;
    Window* parent_ = nullptr; // borrowed
};
