#include "framework/windows/NativeWindow.h"
#include "framework/platform/FrameworkModule.h"

#include <dbt.h>

#include <map>

#include "framework/base/AnsiText.h"
#include "framework/platform/graphics/Font.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/platform/graphics/Region.h"
#include "framework/platform/system/DeviceEnum.h"
#include "framework/platform/system/HardwareId.h"
#include "framework/windows/AppBase.h"
#include "framework/windows/AppWindow.h"
#include "framework/windows/Window.h"

namespace
{

// Process-wide state of the framework's windows; user-interface thread only.
std::map<HWND, NativeWindow*> gWindowMap;
NativeWindow* gBeingCreated = nullptr; // borrowed, set around CreateWindowExA
std::vector<std::string> gClasses;     // registered class names; a class is its index
int gClassCounter = 0;
int gLiveWindows = 0;
UINT gTaskbarCreated = 0;
OpenPopup* gPopup = nullptr;
OpenTooltip* gTooltip = nullptr;
KeyboardHook* gKeyboardHook = nullptr;
HWND gTopModal = nullptr;
int gRunningProcedures = 0; // window procedures of ours now running, nested ones included
NativeWindow::BeepFunction gBeep = &::MessageBeep;

int Signed16(WORD value)
{
    return static_cast<short>(value);
}

// Counts a window procedure of ours while it runs.
struct RunningProcedure
{
    RunningProcedure() { ++gRunningProcedures; }
    ~RunningProcedure() { --gRunningProcedures; }
    RunningProcedure(const RunningProcedure&) = delete;
    RunningProcedure& operator=(const RunningProcedure&) = delete;
};

} // namespace

NativeWindow::NativeWindow()
{
    EnsureFirstClass();
}

NativeWindow::~NativeWindow()
{
    Destroy();
}

void NativeWindow::EnsureFirstClass()
{
    if (!gClasses.empty())
        return;
    AppBase* app = AppBase::Current();
    HICON icon = nullptr;
    if (app && app->GetLargeIconId() != -1)
        icon = ::LoadIconA(FrameworkModule(), MAKEINTRESOURCEA(app->GetLargeIconId()));
    RegisterClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW), nullptr, icon);
}

int NativeWindow::RegisterClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    char base[100] = "UndefinedAppWnd";
    if (AppBase* app = AppBase::Current())
        app->GetClassName(base, sizeof base);
    base[sizeof base - 1] = '\0';
    const std::string name = std::string(base) + std::to_string(gClassCounter);
    WNDCLASSA wc = {};
    wc.style = classStyle;
    wc.lpfnWndProc = &NativeWindow::StaticWindowProc;
    wc.hInstance = FrameworkModule();
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = name.c_str();
    if (!::RegisterClassA(&wc))
        return -1;
    gClasses.push_back(name);
    ++gClassCounter;
    return static_cast<int>(gClasses.size()) - 1;
}

void NativeWindow::UnregisterClasses()
{
    for (const std::string& name : gClasses)
        ::UnregisterClassA(name.c_str(), FrameworkModule());
    std::vector<std::string>().swap(gClasses);
}

const char* NativeWindow::ClassName(int index)
{
    return gClasses.at(static_cast<size_t>(index)).c_str();
}

int NativeWindow::LiveWindowCount()
{
    return gLiveWindows;
}

int NativeWindow::Create(const String* title, DWORD style, int x, int y, int width, int height, Window* parent, int,
                         int classIndex)
{
    // The classes go when the last window goes; a window made before that needs them again.
    EnsureFirstClass();
    return CreateWindowWith(0, ClassName(classIndex), title, style, x, y, width, height, parent);
}

int NativeWindow::CreateWithClass(const char* className, const String* title, DWORD style, int x, int y, int width,
                                  int height, Window* parent, int, int)
{
    return CreateWindowWith(0, className, title, style, x, y, width, height, parent);
}

int NativeWindow::CreateEx(const String* title, DWORD exStyle, DWORD style, int x, int y, int width, int height,
                           int classIndex, Window* parent)
{
    EnsureFirstClass();
    return CreateWindowWith(exStyle, ClassName(classIndex), title, style, x, y, width, height, parent);
}

int NativeWindow::CreateWindowWith(DWORD exStyle, const char* className, const String* title, DWORD style, int x, int y,
                                   int width, int height, Window* parent)
{
    HWND parentHandle = parent ? parent->GetHandle() : nullptr;
    if (owner_)
        owner_->SetParent(parent);
    const std::string text = title ? AnsiText(*title) : std::string();
    // Creation may nest (a window creating children in OnCreate): restore the outer one.
    NativeWindow* outer = gBeingCreated;
    gBeingCreated = this;
    HWND hwnd = ::CreateWindowExA(exStyle, className, text.c_str(), style, x, y, width, height, parentHandle, nullptr,
                                  FrameworkModule(), nullptr);
    gBeingCreated = outer;
    if (!hwnd)
        return 0;
    // A window of a class not of ours never passes through our procedure: it is driven by
    // its own class and only remembered here.
    if (!bound_)
        handle_ = hwnd;
    return 1;
}

void NativeWindow::Bind(HWND hwnd)
{
    // A handle value Windows hands out again belongs to its new object, whatever the map
    // still says.
    gWindowMap[hwnd] = this;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    handle_ = hwnd;
    if (!bound_)
    {
        bound_ = true;
        ++gLiveWindows;
    }
}

void NativeWindow::Unbind(HWND hwnd)
{
    auto entry = gWindowMap.find(hwnd);
    if (entry != gWindowMap.end() && entry->second == this)
        gWindowMap.erase(entry);
    if (::GetWindowLongPtrA(hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    if (handle_ == hwnd)
        handle_ = nullptr;
    if (owner_)
        owner_->SetParent(nullptr);
    if (bound_)
    {
        bound_ = false;
        --gLiveWindows;
    }
}

int NativeWindow::Attach(HWND hwnd)
{
    if (!hwnd || handle_ || attached_ || !::IsWindow(hwnd) || gWindowMap.count(hwnd))
        return 0;
    gWindowMap[hwnd] = this;
    handle_ = hwnd;
    attached_ = hwnd;
    ++gLiveWindows;
    return 1;
}

void NativeWindow::Detach()
{
    HWND hwnd = attached_;
    if (!hwnd)
        return;
    attached_ = nullptr;
    auto entry = gWindowMap.find(hwnd);
    if (entry != gWindowMap.end() && entry->second == this)
        gWindowMap.erase(entry);
    if (handle_ == hwnd)
        handle_ = nullptr;
    if (--gLiveWindows == 0)
        UnregisterClasses();
}

void NativeWindow::Destroy()
{
    if (attached_)
    {
        Detach();
        return;
    }
    HWND hwnd = handle_;
    if (!hwnd)
        return;
    const bool counted = bound_;
    // WM_NCDESTROY unbinds; a window that cannot be destroyed from here (another thread's)
    // is let go all the same.
    ::DestroyWindow(hwnd);
    if (handle_ == hwnd)
        Unbind(hwnd);
    if (counted && gLiveWindows == 0)
        UnregisterClasses();
}

Window* NativeWindow::FromHandle(HWND handle)
{
    auto entry = gWindowMap.find(handle);
    return entry == gWindowMap.end() ? nullptr : entry->second->owner_;
}

LRESULT CALLBACK NativeWindow::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* object = reinterpret_cast<NativeWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    // A window without an object yet is the one being created: it takes its handle even when
    // the map still remembers that value from an earlier window.
    if (!object && gBeingCreated && !gBeingCreated->bound_)
    {
        object = gBeingCreated;
        object->Bind(hwnd);
    }
    if (!object)
    {
        auto entry = gWindowMap.find(hwnd);
        if (entry != gWindowMap.end())
            object = entry->second;
    }
    if (!object)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return object->WindowProc(hwnd, message, wParam, lParam);
}

int NativeWindow::RunningProcedures()
{
    return gRunningProcedures;
}

void NativeWindow::CursorPoint(HWND hwnd, int& x, int& y) const
{
    POINT point = {};
    ::GetCursorPos(&point);
    ::ScreenToClient(hwnd, &point);
    x = point.x;
    y = point.y;
}

LRESULT NativeWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    RunningProcedure running;
    Window* window = owner_;
    if (!window)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);

    if (message >= WM_USER)
    {
        const UINT activation = AppWindow::ActivationMessage();
        if (activation && message == activation)
        {
            // The request is broadcast to every top-level window: only the copy that reaches
            // the application's own window counts.
            AppBase* app = AppBase::Current();
            if (app && hwnd == app->GetWindowHandle())
                app->OnActivateRequest();
            return 0;
        }
        if (gTaskbarCreated && message == gTaskbarCreated)
        {
            window->OnTaskbarCreated();
            return ::DefWindowProcA(hwnd, message, wParam, lParam);
        }
        window->OnUserMessage(message, wParam, lParam);
        return 0;
    }

    HWND popupHandle = gPopup ? gPopup->GetPopupHandle() : nullptr;
    if (popupHandle && ::GetFocus() != popupHandle)
        ::SetFocus(popupHandle);
    const HWND modal = gTopModal;
    // The modal filter: while a dialog runs (and no popup is open), other windows get no input.
    auto blockedByModal = [&](bool beep) {
        if (!modal || gPopup || hwnd == modal || IsDescendant(modal, hwnd))
            return false;
        if (beep)
            gBeep(MB_ICONEXCLAMATION);
        return true;
    };
    // A click outside the open popup (and outside its direct children) closes it.
    auto closePopupOnOutsideClick = [&]() {
        if (gPopup && hwnd != popupHandle && ::GetParent(hwnd) != popupHandle)
        {
            OpenPopup* popup = gPopup;
            gPopup = nullptr;
            popup->CloseAndDelete();
        }
    };
    int x = 0;
    int y = 0;

    switch (message)
    {
    case WM_CREATE:
        handle_ = hwnd;
        window->OnCreate();
        if (!gTaskbarCreated)
            gTaskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
        return 0;
    case WM_DESTROY:
        window->OnDestroy();
        if (Window* parent = window->GetParent())
            parent->OnChildDestroy(window);
        return 0;
    case WM_NCDESTROY:
        Unbind(hwnd);
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_MOVE:
        window->OnMove(Signed16(LOWORD(lParam)), Signed16(HIWORD(lParam)));
        return 0;
    case WM_SIZE:
        if (window->OnSize(wParam, Signed16(LOWORD(lParam)), Signed16(HIWORD(lParam))))
            return 0;
        break;
    case WM_ACTIVATE:
        if ((window->OnActivate(wParam, HIWORD(wParam), lParam) & 0xFFFF) == 0)
            return 0;
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(hwnd, &paint);
        {
            Graphics graphics;
            graphics.AttachDC(dc);
            window->OnPaint(graphics);
        }
        ::EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_CLOSE:
        if (window->OnClose() == 0)
            return 0;
        break;
    case WM_QUERYENDSESSION:
        return window->OnQueryEndSession();
    case WM_ERASEBKGND: {
        Graphics graphics;
        graphics.AttachDC(reinterpret_cast<HDC>(wParam));
        if (window->OnEraseBackground(graphics))
            return 0;
        break;
    }
    case WM_ENDSESSION:
        window->OnEndSession(static_cast<int>(wParam));
        return 0;
    case WM_GETMINMAXINFO:
        window->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_COPYDATA:
        window->OnCopyData(wParam, lParam);
        return 0;
    case WM_NCHITTEST: {
        if (blockedByModal(false))
            return 0;
        POINT point = {Signed16(LOWORD(lParam)), Signed16(HIWORD(lParam))};
        ::ScreenToClient(hwnd, &point);
        const int hit = window->OnNcHitTest(point.x, point.y);
        if (hit == -1)
            break;
        if (gTooltip)
            gTooltip->Destroy();
        return hit;
    }
    case WM_NCPAINT:
        window->OnNcPaint();
        return 0;
    case WM_KEYDOWN:
        if (gPopup)
        {
            if (gPopup->OnKey(wParam))
                return 0;
        }
        else if (!modal && gKeyboardHook && gKeyboardHook->OnKeyDown(wParam, lParam))
        {
            return 0;
        }
        if (window->OnKeyDown(wParam, lParam))
            return 0;
        break;
    case WM_KEYUP:
        if (!gPopup && !modal && gKeyboardHook && gKeyboardHook->OnKeyUp(wParam, lParam))
            return 0;
        if (window->OnKeyUp(wParam, lParam))
            return 0;
        break;
    case WM_CHAR:
        if (!gPopup && !modal && gKeyboardHook && gKeyboardHook->OnChar(wParam, lParam))
            return 0;
        if (window->OnChar(wParam, lParam))
            return 0;
        break;
    case WM_COMMAND:
        if (window->OnCommand(LOWORD(wParam), HIWORD(wParam)))
            return 0;
        break;
    case WM_TIMER:
        window->OnTimer(wParam);
        return 0;
    case WM_MOUSEMOVE:
        if (blockedByModal(false))
            return 0;
        CursorPoint(hwnd, x, y);
        window->OnMouseMove(wParam, x, y);
        return 0;
    case WM_LBUTTONDOWN:
        if (gTooltip)
        {
            const bool onTooltip = hwnd == gTooltip->GetTooltipHandle();
            gTooltip->Destroy();
            if (onTooltip)
                return 0;
        }
        closePopupOnOutsideClick();
        if (blockedByModal(true))
            return 0;
        CursorPoint(hwnd, x, y);
        window->OnMouseDown(wParam, x, y);
        return 0;
    case WM_LBUTTONUP:
        if (blockedByModal(false))
            return 0;
        CursorPoint(hwnd, x, y);
        window->OnMouseUp(wParam, x, y);
        return 0;
    case WM_LBUTTONDBLCLK:
        closePopupOnOutsideClick();
        if (blockedByModal(true))
            return 0;
        CursorPoint(hwnd, x, y);
        window->OnDoubleClick(wParam, x, y);
        return 0;
    case WM_RBUTTONDOWN:
        closePopupOnOutsideClick();
        if (blockedByModal(false))
            return 0;
        CursorPoint(hwnd, x, y);
        window->OnRightButtonDown(wParam, x, y);
        return 0;
    case WM_RBUTTONUP:
        if (blockedByModal(false))
            return 0;
        CursorPoint(hwnd, x, y);
        window->OnRightButtonUp(wParam, x, y);
        return 0;
    case WM_MOUSEWHEEL:
        // Screen coordinates: negative on monitors left of or above the primary one.
        window->OnMouseWheel(wParam, Signed16(LOWORD(lParam)), Signed16(HIWORD(lParam)));
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMQUERYSUSPEND)
            window->OnPowerQuerySuspend();
        else if (wParam == PBT_APMRESUMECRITICAL || wParam == PBT_APMRESUMESUSPEND)
            window->OnPowerResume();
        return 0;
    case WM_DEVICECHANGE:
        return OnDeviceChangeMessage(hwnd, wParam, lParam);
    default:
        break;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT NativeWindow::OnDeviceChangeMessage(HWND, WPARAM wParam, LPARAM lParam)
{
    if ((wParam & 0xC000) != 0x8000 || !lParam)
        return 0;
    Window* window = owner_;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (header->dbch_devicetype == DBT_DEVTYP_HANDLE)
    {
        switch (wParam)
        {
        case DBT_DEVICEARRIVAL:
            if (DeviceEnum::IsHardwarePresent())
                window->OnDeviceChange();
            break;
        case DBT_DEVICEQUERYREMOVE:
            UnregisterDeviceNotifications();
            window->OnEndSession(1);
            window->OnDeviceQueryRemove();
            break;
        case DBT_DEVICEQUERYREMOVEFAILED:
            window->OnDeviceQueryRemoveFailed();
            break;
        case DBT_DEVICEREMOVEPENDING:
            // Through the device search, which holds the notice and must not free it again.
            DeviceEnum::UnregisterNotice(reinterpret_cast<const DEV_BROADCAST_HANDLE*>(lParam)->dbch_hdevnotify);
            break;
        default:
            break;
        }
        return 1;
    }
    if (header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE)
    {
        const auto* device = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(lParam);
        if (wParam == DBT_DEVICEARRIVAL && HardwareId::IsCard(device->dbcc_name))
        {
            window->OnDeviceChange();
            RegisterDeviceNotifications();
        }
        return 1;
    }
    return 0;
}

int NativeWindow::RunModalLoop()
{
    state_ |= kModalEntered | kModalRunning;
    MSG msg = {};
    while (state_ & kModalRunning)
    {
        if (!AppWindow::PumpMessage(msg))
        {
            // The outer loop must see the quit as well.
            ::PostQuitMessage(0);
            state_ &= ~(kModalEntered | kModalRunning);
            return -1;
        }
    }
    state_ &= ~(kModalEntered | kModalRunning);
    return modalResult_;
}

void NativeWindow::EndModalLoop(int result)
{
    modalResult_ = result;
    if (state_ & kModalRunning)
    {
        state_ &= ~kModalRunning;
        if (handle_)
            ::PostMessageA(handle_, WM_NULL, 0, 0);
    }
}

int NativeWindow::IsDescendant(HWND ancestor, HWND window)
{
    if (!ancestor || !window)
        return 0;
    for (HWND at = ::GetParent(window); at; at = ::GetParent(at))
        if (at == ancestor)
            return 1;
    return 0;
}

Window* NativeWindow::WindowFromPoint(int x, int y)
{
    POINT point = {x, y};
    return FromHandle(::WindowFromPoint(point));
}

void NativeWindow::GetVirtualScreenRect(int& left, int& top, int& width, int& height)
{
    left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
}

void NativeWindow::GetScreenSize(int& width, int& height)
{
    width = ::GetSystemMetrics(SM_CXSCREEN);
    height = ::GetSystemMetrics(SM_CYSCREEN);
}

void NativeWindow::SetCurrentPopup(OpenPopup* popup)
{
    gPopup = popup;
}
OpenPopup* NativeWindow::GetCurrentPopup()
{
    return gPopup;
}
void NativeWindow::SetTooltip(OpenTooltip* tooltip)
{
    gTooltip = tooltip;
}
void NativeWindow::SetKeyboardHook(KeyboardHook* hook)
{
    gKeyboardHook = hook;
}
void NativeWindow::SetTopModal(HWND dialog)
{
    gTopModal = dialog;
}
void NativeWindow::SetBeep(BeepFunction beep)
{
    gBeep = beep ? beep : &::MessageBeep;
}

int NativeWindow::GetClientRect(RECT& rect) const
{
    return handle_ && ::GetClientRect(handle_, &rect) ? 1 : 0;
}

int NativeWindow::GetWindowRect(RECT& rect) const
{
    return handle_ && ::GetWindowRect(handle_, &rect) ? 1 : 0;
}

int NativeWindow::GetMonitorWorkArea(RECT& rect) const
{
    if (!handle_)
        return 0;
    HMONITOR monitor = ::MonitorFromWindow(handle_, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoA(monitor, &info))
        return 0;
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        return ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0) ? 1 : 0;
    rect = info.rcMonitor;
    return 1;
}

int NativeWindow::Move(int x, int y, int width, int height, int repaint)
{
    return handle_ && ::MoveWindow(handle_, x, y, width, height, repaint) ? 1 : 0;
}

int NativeWindow::Invalidate(const RECT* rect, int erase)
{
    return handle_ && ::InvalidateRect(handle_, rect, erase) ? 1 : 0;
}

int NativeWindow::ScreenToClient(int& x, int& y) const
{
    POINT point = {x, y};
    if (!handle_ || !::ScreenToClient(handle_, &point))
        return 0;
    x = point.x;
    y = point.y;
    return 1;
}

int NativeWindow::ClientToScreen(int& x, int& y) const
{
    POINT point = {x, y};
    if (!handle_ || !::ClientToScreen(handle_, &point))
        return 0;
    x = point.x;
    y = point.y;
    return 1;
}

int NativeWindow::Show(int command)
{
    return handle_ && ::ShowWindow(handle_, command) ? 1 : 0;
}
int NativeWindow::Maximize()
{
    return Show(SW_MAXIMIZE);
}
int NativeWindow::Restore()
{
    return Show(SW_RESTORE);
}
int NativeWindow::Minimize()
{
    return handle_ && ::CloseWindow(handle_) ? 1 : 0;
}
int NativeWindow::Update()
{
    return handle_ && ::UpdateWindow(handle_) ? 1 : 0;
}

int NativeWindow::SetCapture()
{
    if (!handle_)
        return 0;
    ::SetCapture(handle_);
    return 1;
}

int NativeWindow::HasCapture() const
{
    return handle_ && ::GetCapture() == handle_ ? 1 : 0;
}

int NativeWindow::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return handle_ && ::PostMessageA(handle_, message, wParam, lParam) ? 1 : 0;
}

UINT_PTR NativeWindow::SetTimer(UINT_PTR id, UINT milliseconds)
{
    return handle_ ? ::SetTimer(handle_, id, milliseconds, nullptr) : 0;
}

int NativeWindow::KillTimer(UINT_PTR id)
{
    return handle_ && ::KillTimer(handle_, id) ? 1 : 0;
}

int NativeWindow::SetFont(const FontInterface& font, int redraw)
{
    if (!handle_ || font.GetKind() != FontInterface::KindGdi)
        return 0;
    ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<const Font&>(font).Handle()), redraw);
    return 1;
}

int NativeWindow::SetFocus()
{
    return handle_ && ::SetFocus(handle_) ? 1 : 0;
}
int NativeWindow::Enable(int flag)
{
    return handle_ ? ::EnableWindow(handle_, flag) : 0;
}
int NativeWindow::IsEnabled() const
{
    return handle_ && ::IsWindowEnabled(handle_) ? 1 : 0;
}
int NativeWindow::Activate()
{
    return handle_ && ::SetActiveWindow(handle_) ? 1 : 0;
}

int NativeWindow::HideNoActivate()
{
    const UINT flags = SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
    return handle_ && ::SetWindowPos(handle_, nullptr, 0, 0, 0, 0, flags) ? 1 : 0;
}

int NativeWindow::BringToTop()
{
    return handle_ && ::SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE) ? 1 : 0;
}

int NativeWindow::MakeTopmost()
{
    return handle_ && ::SetWindowPos(handle_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOOWNERZORDER)
               ? 1
               : 0;
}

int NativeWindow::BringToForeground()
{
    return handle_ && ::SetForegroundWindow(handle_) ? 1 : 0;
}
int NativeWindow::IsVisible() const
{
    return handle_ && ::IsWindowVisible(handle_) ? 1 : 0;
}
int NativeWindow::IsMinimized() const
{
    return handle_ && ::IsIconic(handle_) ? 1 : 0;
}

int NativeWindow::Scroll(int dx, int dy)
{
    if (!handle_)
        return 0;
    RECT client;
    ::GetClientRect(handle_, &client);
    return ::ScrollWindowEx(handle_, dx, dy, &client, &client, nullptr, nullptr,
                            SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE) != ERROR
               ? 1
               : 0;
}

int NativeWindow::GetText(String& out) const
{
    out.Clear();
    if (!handle_)
        return 0;
    const int length = ::GetWindowTextLengthA(handle_);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    ::GetWindowTextA(handle_, &text[0], length + 1);
    out.AppendAnsi(text.c_str());
    return 1;
}

int NativeWindow::SetText(const String& text)
{
    return handle_ && ::SetWindowTextA(handle_, AnsiText(text).c_str()) ? 1 : 0;
}

int NativeWindow::SetRegion(const Region* region, int redraw)
{
    if (!handle_)
        return 0;
    HRGN shape = nullptr;
    if (region && region->Handle())
    {
        shape = ::CreateRectRgn(0, 0, 0, 0);
        if (!shape || ::CombineRgn(shape, region->Handle(), nullptr, RGN_COPY) == ERROR)
        {
            if (shape)
                ::DeleteObject(shape);
            return 0;
        }
    }
    if (!::SetWindowRgn(handle_, shape, redraw))
    {
        if (shape)
            ::DeleteObject(shape);
        return 0;
    }
    return 1;
}

int NativeWindow::RegisterDeviceNotifications()
{
    if (!handle_ || !::IsWindowEnabled(handle_))
        return 0;
    return DeviceEnum::RegisterNotifications(handle_);
}

int NativeWindow::UnregisterDeviceNotifications()
{
    if (!handle_ || !::IsWindowEnabled(handle_))
        return 0;
    return DeviceEnum::UnregisterNotifications();
}
