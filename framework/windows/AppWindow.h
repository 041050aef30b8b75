#pragma once
#include <windows.h>

#include "framework/base/Object.h"

class AppBase;

// The Win32 side of the application: the main window class, the single-instance rule,
// the main window and the message loop.
class AppWindow : public Object
{
public:
    using GetMessageFunction = BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT);

    explicit AppWindow(AppBase* owner);
    ~AppWindow() override;

    virtual const char* GetMenuName() { return nullptr; }
    virtual int RegisterClass();
    virtual int Create();
    virtual WPARAM GetExitCode() { return lastMessage_.wParam; }

    // Runs the application: answers 0 when another instance was woken, -1 when start-up
    // failed, else the loop's result (0).
    int Run(HINSTANCE instance, int unused1, int unused2, int showCommand);
    // Runs until WM_QUIT; answers 0.
    int RunMessageLoop();
    HWND GetHandle() const { return handle_; }
    void ForgetHandle() { handle_ = nullptr; }
    HINSTANCE GetInstance() const { return instance_; }
    void SetInstance(HINSTANCE instance) { instance_ = instance; }
    const char* GetClassName() const { return className_; }
    const char* GetTitle() const { return title_; }
    void FillNames();

    // Takes one message and dispatches it; 0 at WM_QUIT. Serves the modal loops as well.
    static int PumpMessage(MSG& msg);
    // Replaces GetMessageA (tests); null puts it back.
    static void SetGetMessage(GetMessageFunction function);
    static UINT ActivationMessage();

    static LRESULT CALLBACK ClassWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    AppBase* owner_; // borrowed
    HINSTANCE instance_ = nullptr;
    char title_[100] = {};
    char className_[100] = {};
    HWND handle_ = nullptr;
    MSG lastMessage_ = {};
};
