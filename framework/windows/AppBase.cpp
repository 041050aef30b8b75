#include "framework/windows/AppBase.h"
#include "framework/platform/FrameworkModule.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "framework/base/AnsiText.h"
#include "framework/platform/RegistryKey.h"
#include "framework/platform/files/FileSystem.h"
#include "framework/windows/CommandLine.h"
#include "framework/windows/NativeWindow.h"
#include "framework/windows/PlaceholderWindow.h"
#include "framework/windows/Window.h"

namespace
{

AppBase* gCurrent = nullptr; // borrowed: the application object of the process
int gQuitting = 0;

// Names in static storage; set at start-up on the user-interface thread. No path until then.
AppBase::SettingsKey gSettingsKey{nullptr, nullptr, nullptr};

// The key is opened, never created: the start that runs made it, and a hand-over to a key
// nobody reads would be lost.
int OpenSettingsKey(RegistryKey& key)
{
    return gSettingsKey.path && key.Open("HKEY_CURRENT_USER", gSettingsKey.path, 0) && key.Exists() ? 1 : 0;
}

void CopyBounded(char* buffer, int size, const char* text)
{
    if (!buffer || size <= 0)
        return;
    std::strncpy(buffer, text, static_cast<size_t>(size) - 1);
    buffer[size - 1] = '\0';
}

HINSTANCE AppInstance()
{
    HINSTANCE instance = gCurrent ? gCurrent->GetAppWindow().GetInstance() : nullptr;
    return instance ? instance : FrameworkModule();
}

int SpecialFolder(String* out, int folder)
{
    if (!out)
        return 0;
    char path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathA(nullptr, path, folder, TRUE))
        return 0;
    out->Clear();
    return out->AppendAnsi(path);
}

class Win32CommandLineActions final : public CommandLineActions
{
public:
    int FileExists(const std::string& path) override
    {
        WIN32_FIND_DATAA data;
        HANDLE find = ::FindFirstFileA(path.c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return 0;
        ::FindClose(find);
        return 1;
    }

    int SetLaunchFlag() override
    {
        RegistryKey key;
        return OpenSettingsKey(key) && key.WriteDword(gSettingsKey.launchFlag, 1) ? 1 : 0;
    }

    int StoreCommandLineOpen(const std::string& text) override { return AppBase::StoreCommandLineOpen(text.c_str()); }
};

class Win32Desktop final : public DesktopShell
{
public:
    int ShowMessageBox(const char* text, const char* caption) override
    {
        return ::MessageBoxA(nullptr, text, caption, MB_TOPMOST);
    }

    void Open(const char* path) override
    {
        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS;
        info.lpVerb = "open";
        info.lpFile = path;
        info.nShow = SW_SHOWNORMAL;
        if (::ShellExecuteExA(&info) && info.hProcess)
            ::CloseHandle(info.hProcess);
    }
};

Win32Desktop gWin32Desktop;
DesktopShell* gDesktop = &gWin32Desktop;

} // namespace

AppBase::AppBase() : appWindow_(this)
{
    gCurrent = this;
}

AppBase::~AppBase()
{
    delete mainWindow_;
    if (gCurrent == this)
        gCurrent = nullptr;
}

AppBase* AppBase::Current()
{
    return gCurrent;
}

int AppBase::IsQuitting()
{
    return gQuitting;
}

void AppBase::GetClassName(char* buffer, int size)
{
    CopyBounded(buffer, size, "UndefinedAppWnd");
}

void AppBase::GetTitle(char* buffer, int size)
{
    CopyBounded(buffer, size, "Noname");
}

Window* AppBase::CreateWindowObject()
{
    return new (std::nothrow) PlaceholderWindow();
}

void AppBase::GetDefaultRect(int& x, int& y, int& width, int& height)
{
    x = 50;
    y = 50;
    width = 400;
    height = 300;
}

void AppBase::Quit()
{
    gQuitting = 1;
    OnQuit();
    if (HWND main = appWindow_.GetHandle())
        ::DestroyWindow(main);
    appWindow_.ForgetHandle();
    ::PostQuitMessage(0);
}

void AppBase::OnMainWindowDestroyed(Window*)
{
    ::PostQuitMessage(0);
}

int AppBase::Run()
{
    return appWindow_.Run(::GetModuleHandleA(nullptr), 0, 0, SW_SHOW) != -1 ? 1 : 0;
}

int AppBase::Register()
{
    appWindow_.SetInstance(::GetModuleHandleA(nullptr));
    appWindow_.FillNames();
    if (!appWindow_.RegisterClass())
        return -1;
    HICON icon =
        GetLargeIconId() == -1 ? nullptr : ::LoadIconA(appWindow_.GetInstance(), MAKEINTRESOURCEA(GetLargeIconId()));
    return NativeWindow::RegisterClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW), nullptr,
                                       icon);
}

int AppBase::Unregister()
{
    return ::UnregisterClassA(appWindow_.GetClassName(), appWindow_.GetInstance()) ? 1 : 0;
}

int AppBase::ModulePath(String& out)
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(AppInstance(), path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return 0;
    if (char* slash = std::strrchr(path, '\\'))
        *slash = '\0';
    out.Clear();
    return out.AppendAnsi(path);
}

int AppBase::AppDataFolder(String* out)
{
    return SpecialFolder(out, CSIDL_APPDATA);
}

int AppBase::DocumentsFolder(String* out)
{
    return SpecialFolder(out, CSIDL_PERSONAL);
}

int AppBase::MessageBox(const StringRef& text, const StringRef& caption)
{
    return gDesktop->ShowMessageBox(AnsiText(text).c_str(), AnsiText(caption).c_str());
}

int AppBase::OpenWithShell(const StringRef& path)
{
    // A cut path or address would open something else.
    char file[MAX_PATH];
    if (!FileSystem::ToAnsi(path, file, MAX_PATH))
        return 0;
    gDesktop->Open(file);
    return 1;
}

void AppBase::SetDesktopShell(DesktopShell* shell)
{
    gDesktop = shell ? shell : &gWin32Desktop;
}

void AppBase::OpenDocument(const StringRef& path)
{
    if (!gCurrent)
        return;
    if (FileSystem::FileExists(path))
    {
        OpenWithShell(path);
        return;
    }
    String folder;
    if (!ModulePath(folder) || !FileSystem::DirectoryExists(folder))
        return;
    folder.AppendAscii("\\");
    folder.Append(path);
    OpenWithShell(folder);
}

void AppBase::SetSettingsKey(const SettingsKey& key)
{
    gSettingsKey = key;
}

int AppBase::HandleCommandLine(int& sessionStored)
{
    Win32CommandLineActions actions;
    return ::HandleCommandLine(::GetCommandLineA(), actions, sessionStored);
}

int AppBase::StoreCommandLineOpen(const char* text)
{
    RegistryKey view;
    if (!text || !OpenSettingsKey(view))
        return 0;
    String path;
    return path.AppendAnsi(text) && view.WriteString(gSettingsKey.commandLineOpen, &path) ? 1 : 0;
}

int AppBase::TakeLaunchFlag()
{
    RegistryKey view;
    if (!OpenSettingsKey(view))
        return 0;
    uint32_t value = 0;
    const int read = view.ReadDword(gSettingsKey.launchFlag, value);
    view.DeleteValue(gSettingsKey.launchFlag);
    return read && value == 1 ? 1 : 0;
}
