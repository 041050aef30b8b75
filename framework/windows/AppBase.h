#pragma once
#include "framework/platform/Win32Api.h"

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/windows/AppWindow.h"

class Window;

// What the static services ask of the desktop: a plain message box and the shell's "open".
// Tests put in a recorder that answers for the user.
class DesktopShell
{
public:
    virtual int ShowMessageBox(const char* text, const char* caption) = 0;
    virtual void Open(const char* path) = 0;

protected:
    ~DesktopShell() = default;
};

// The application object's base: hooks for the derived application and static services
// for the rest of the program. The object constructed last is "the application".
class AppBase : public Object
{
public:
    AppBase();
    ~AppBase() override;
    AppBase(const AppBase&) = delete;
    AppBase& operator=(const AppBase&) = delete;

    virtual int GetLargeIconId() { return -1; }
    virtual int GetSmallIconId() { return -1; }
    virtual void GetClassName(char* buffer, int size);
    virtual void GetTitle(char* buffer, int size);
    virtual Window* CreateWindowObject();
    virtual int ShowOnStart() { return 1; }
    virtual DWORD GetExStyle() { return WS_EX_CLIENTEDGE; }
    virtual DWORD GetStyle() { return WS_OVERLAPPEDWINDOW; }
    virtual int InitBeforeCreate() { return 1; }
    virtual void OnQuit() {}
    virtual int InitAfterCreate() { return 1; }
    virtual int IsSingleInstance() { return 0; }
    virtual void GetDefaultRect(int& x, int& y, int& width, int& height);
    virtual int OnCommand(int, int) { return 0; }
    virtual void Quit();
    virtual void OnMainWindowDestroyed(Window* window);
    virtual void OnActivateRequest() {}
    virtual Window* GetMainWindow() { return mainWindow_; }
    virtual void ShowHelp() {}
    virtual int Run();
    virtual int Register();
    virtual int Unregister();
    virtual HWND GetWindowHandle() { return appWindow_.GetHandle(); }
    virtual void OnSessionLock() {}
    virtual void OnSessionUnlock() {}
    virtual void OnSessionConnect() {}
    virtual void OnSessionDisconnect() {}

    AppWindow& GetAppWindow() { return appWindow_; }
    void SetMainWindow(Window* window) { mainWindow_ = window; }

    static AppBase* Current();
    static int IsQuitting();
    static int ModulePath(String& out);
    static int AppDataFolder(String* out);
    static int DocumentsFolder(String* out);
    static int MessageBox(const StringRef& text, const StringRef& caption);
    // The shell's "open" of a file or address; 0 (nothing opened) when it does not fit the
    // shell's path size in the ANSI code page.
    static int OpenWithShell(const StringRef& path);
    static void OpenDocument(const StringRef& path);
    // Where the command line hands over to the start that runs: the program's settings key
    // under HKEY_CURRENT_USER, the setting that takes the session path and the named 32-bit
    // value of the launch flag. The program names them; all three in static storage.
    struct SettingsKey
    {
        const char16_t* path;
        const char16_t* commandLineOpen;
        const char16_t* launchFlag;
    };
    // Set once at start-up, before the first of the three below. Without it they do nothing
    // and answer 0.
    static void SetSettingsKey(const SettingsKey& key);
    static int HandleCommandLine(int& sessionStored);
    static int StoreCommandLineOpen(const char* text);
    static int TakeLaunchFlag();
    // Replaces the desktop (tests); null puts it back.
    static void SetDesktopShell(DesktopShell* shell);

private:
    Window* mainWindow_ = nullptr; // owned
    AppWindow appWindow_;
};
