#include "framework/windows/AppWindow.h"

#include <memory>
#include <string>

#include "framework/windows/AppBase.h"
#include "framework/windows/CommandLine.h"
#include "framework/windows/NativeWindow.h"
#include "framework/windows/PlaceholderWindow.h"
#include "framework/windows/Window.h"

namespace
{

UINT gActivationMessage = 0;
AppWindow::GetMessageFunction gGetMessage = &::GetMessageA;

HICON LoadAppIcon(HINSTANCE instance, int id)
{
    return id == -1 ? nullptr : ::LoadIconA(instance, MAKEINTRESOURCEA(id));
}

} // namespace

AppWindow::AppWindow(AppBase* owner) : owner_(owner) {}

AppWindow::~AppWindow()
{
    NativeWindow::UnregisterClasses();
}

void AppWindow::FillNames()
{
    owner_->GetTitle(title_, sizeof title_);
    owner_->GetClassName(className_, sizeof className_);
    title_[sizeof title_ - 1] = '\0';
    className_[sizeof className_ - 1] = '\0';
}

UINT AppWindow::ActivationMessage()
{
    return gActivationMessage;
}

void AppWindow::SetGetMessage(GetMessageFunction function)
{
    gGetMessage = function ? function : &::GetMessageA;
}

int AppWindow::Run(HINSTANCE instance, int, int, int showCommand)
{
    instance_ = instance;
    FillNames();
    int sessionStored = 0;
    AppBase::HandleCommandLine(sessionStored);

    const std::string activation = std::string(className_) + "Activate";
    gActivationMessage = ::RegisterWindowMessageA(activation.substr(0, 199).c_str());

    if (owner_->IsSingleInstance() && ::FindWindowA(className_, title_))
    {
        ::PostMessageA(HWND_BROADCAST, gActivationMessage, 0, 0);
        return 0;
    }
    if (!RegisterClass())
        return -1;
    NativeWindow::RegisterClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW), nullptr,
                                LoadAppIcon(instance_, owner_->GetLargeIconId()));

    Window* window = owner_->CreateWindowObject();
    owner_->SetMainWindow(window);
    if (auto* placeholder = dynamic_cast<PlaceholderWindow*>(window))
        placeholder->SetOwner(owner_);
    if (!window || !owner_->InitBeforeCreate() || !Create())
        return -1;
    if (owner_->ShowOnStart())
    {
        ::ShowWindow(handle_, showCommand);
        ::UpdateWindow(handle_);
    }
    if (!owner_->InitAfterCreate())
        return -1;
    return RunMessageLoop();
}

int AppWindow::RegisterClass()
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &AppWindow::ClassWindowProc;
    wc.hInstance = instance_;
    wc.hIcon = LoadAppIcon(instance_, owner_->GetLargeIconId());
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
    wc.lpszMenuName = GetMenuName();
    wc.lpszClassName = className_;
    wc.hIconSm = LoadAppIcon(instance_, owner_->GetSmallIconId());
    return ::RegisterClassExA(&wc) ? 1 : 0;
}

int AppWindow::Create()
{
    int x = 0, y = 0, width = 0, height = 0;
    owner_->GetDefaultRect(x, y, width, height);
    handle_ = ::CreateWindowExA(owner_->GetExStyle(), className_, title_, owner_->GetStyle(), x, y, width, height,
                                nullptr, nullptr, instance_, nullptr);
    return handle_ ? 1 : 0;
}

int AppWindow::RunMessageLoop()
{
    while (PumpMessage(lastMessage_))
    {
    }
    return 0;
}

int AppWindow::PumpMessage(MSG& msg)
{
    const BOOL result = gGetMessage(&msg, nullptr, 0, 0);
    if (result == 0)
        return 0;
    // A failed take leaves msg as it was: there is nothing new to dispatch.
    if (result == -1)
        return 1;
    if (msg.message == 0x36A)
        return 1;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
    return 1;
}

LRESULT CALLBACK AppWindow::ClassWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    AppBase* app = AppBase::Current();
    if (!app)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_WTSSESSION_CHANGE)
    {
        switch (wParam)
        {
        case WTS_CONSOLE_CONNECT:
        case WTS_REMOTE_CONNECT:
            app->OnSessionConnect();
            break;
        case WTS_CONSOLE_DISCONNECT:
        case WTS_REMOTE_DISCONNECT:
            app->OnSessionDisconnect();
            break;
        case WTS_SESSION_LOCK:
            app->OnSessionLock();
            break;
        case WTS_SESSION_UNLOCK:
            app->OnSessionUnlock();
            break;
        default:
            return 0;
        }
    }
    // A destroyed main window's handle value may be handed out again: never keep it.
    AppWindow& appWindow = app->GetAppWindow();
    if (message == WM_NCDESTROY && hwnd == appWindow.handle_)
        appWindow.handle_ = nullptr;
    Window* window = app->GetMainWindow();
    if (!window)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return window->GetNativeWindow().WindowProc(hwnd, message, wParam, lParam);
}
