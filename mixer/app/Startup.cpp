#include "mixer/app/Startup.h"

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>

#include "mixer/app/CommandLineSwitch.h"
#include "mixer/comserver/ComModule.h"
#include "mixer/comserver/Registrar.h"

namespace
{
const char* const kDriverKeys[] = {
    "System\\CurrentControlSet\\Control\\Halvorn Tech\\Vorpex\\ZAvo",
    "System\\CurrentControlSet\\Control\\Halvorn Tech\\Vorpex\\KDSPState",
};

bool gComStarted = false; // main thread only

void SetRefreshFlag(const char* path, StartupHost& host)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    DWORD one = 1;
    if (RegSetValueExA(key, "Refresh", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one) != ERROR_SUCCESS)
        host.ShowMessage("Error Resetting the KDSP Hardware. Check whether you have logged in as "
                         "Admistrator and in Administrator mode",
                         "Reset KDSP Hardware", MB_OK);
    RegCloseKey(key);
}

HRESULT ChangeRegistration(bool registering, const char* modulePath)
{
    HRESULT result = RunRegistryScript(AppIdScript(), registering, modulePath);
    if (SUCCEEDED(result) || !registering)
    {
        HRESULT classResult = RunRegistryScript(ClassScript(), registering, modulePath);
        if (SUCCEEDED(result))
            result = classResult;
    }
    return result;
}

std::string FolderOf(const char* path)
{
    std::string folder = path;
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}
} // namespace

bool StartupHost::GetModulePath(char* buffer, DWORD size)
{
    DWORD length = GetModuleFileNameA(nullptr, buffer, size);
    return length > 0 && length < size;
}

int StartupHost::ShowMessage(const char* text, const char* caption, UINT type)
{
    return MessageBoxA(nullptr, text, caption, type);
}

int StartupHost::Reboot()
{
    return RebootSystem();
}

int CheckResetSwitch(const char* commandLine, StartupHost& host)
{
    int resets = CountSwitch(commandLine, "Reset");
    for (int i = 0; i < resets; ++i)
        ResetDspHardware(host);
    if (resets == 0)
        return 0;
    if (host.ShowMessage("Your K-DSP Hardware has been Reset. You should restart the system.Click "
                         "'OK' to reboot now or 'CANCEL' to reboot later",
                         "K-DSP Hardware Reset", MB_OKCANCEL) == IDOK)
        host.Reboot();
    return 1;
}

int ResetDspHardware(StartupHost& host)
{
    for (const char* path : kDriverKeys)
        SetRefreshFlag(path, host);

    HKEY settings = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Halvorn Professional\\KivCorvanDSP", 0, KEY_READ | KEY_WRITE,
                      &settings) == ERROR_SUCCESS)
    {
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Halvorn Professional\\KivCorvanDSP");
        RegCloseKey(settings);
    }

    char appData[MAX_PATH];
    if (SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, TRUE))
    {
        std::string folder = std::string(appData) + "\\KivCorvanDSP";
        DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA((folder + "\\KivCorvanConfig.session").c_str());
    }
    return 1;
}

int RebootSystem()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return 0;
    TOKEN_PRIVILEGES privileges = {};
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
    return ExitWindowsEx(EWX_REBOOT, 0);
}

int RegisterServerAndProxyStub(const char* modulePath)
{
    // A user who may not write the class keys can still run a program whose registration
    // is complete and names it.
    if (FAILED(ChangeRegistration(true, modulePath)) &&
        !(IsRegistryScriptApplied(AppIdScript(), modulePath) && IsRegistryScriptApplied(ClassScript(), modulePath)))
        return 0;

    // By full path: a library of that name elsewhere on the search path is not ours.
    std::string library = FolderOf(modulePath) + "KivCorvanDSP_ps.dll";
    HMODULE proxyStub = LoadLibraryExA(library.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!proxyStub)
        return 0;
    typedef HRESULT(STDAPICALLTYPE * RegisterFunction)();
    auto registerServer =
        reinterpret_cast<RegisterFunction>(reinterpret_cast<void*>(GetProcAddress(proxyStub, "DllRegisterServer")));
    if (registerServer)
        registerServer(); // its result does not decide the start
    FreeLibrary(proxyStub);
    return registerServer ? 1 : 0;
}

void EndComServer()
{
    if (!gComStarted)
        return;
    gComStarted = false;
    ComModule::RevokeClassObjects();
    ComModule::Unlock();
    // A client whose sink never returned would hold the uninitialisation up for as long as it
    // hangs: the process ends without it then.
    if (ComModule::Term())
        CoUninitialize();
}

int MixerMain(HINSTANCE instance, HINSTANCE previous, int show, const char* commandLine, StartupHost& host)
{
    if (CheckResetSwitch(commandLine, host))
        return 0;

    char modulePath[MAX_PATH];
    if (!host.GetModulePath(modulePath, sizeof modulePath))
        modulePath[0] = 0;

    CoInitialize(nullptr);
    gComStarted = true;
    ComModule::Init();
    ComModule::Lock();
    ComModule::RegisterClassObjects(); // a failure here is not fatal

    int exitCode = 0;
    switch (FindRegistrationSwitch(commandLine))
    {
    case RegistrationSwitch::Unregister:
        exitCode = ChangeRegistration(false, modulePath);
        break;
    case RegistrationSwitch::Register:
        exitCode = ChangeRegistration(true, modulePath);
        break;
    case RegistrationSwitch::None:
        if (!RegisterServerAndProxyStub(modulePath))
        {
            EndComServer();
            host.ShowMessage("KIV Corvan DSP component missing - you may need to re-install.", "KIV Corvan DSP", MB_OK);
            return -1;
        }
        exitCode = host.RunApplication(instance, previous, show);
        break;
    }
    EndComServer();
    return exitCode;
}
