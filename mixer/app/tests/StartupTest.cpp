#include <gtest/gtest.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "mixer/app/Application.h"
#include "mixer/app/Startup.h"
#include "mixer/comcontract/ComInterfaces.h"
#include "mixer/comserver/ComModule.h"
#include "mixer/comserver/Registrar.h"
#include "mixer/comserver/ServicesServer.h"

namespace
{
const char* const zavo = "System\\CurrentControlSet\\Control\\Halvorn Tech\\Vorpex\\ZAvo";
const char* const kdspState = "System\\CurrentControlSet\\Control\\Halvorn Tech\\Vorpex\\KDSPState";
const char* const settingsKey = "Software\\Halvorn Professional\\KivCorvanDSP";
const char* const classKey = "CLSID\\{C1BC3C34-926D-4698-AD79-73F921958097}";
const char* const appIdKey = "AppID\\{11B81CB4-DA97-4783-BF05-2E2CE18884CB}";

struct Message
{
    std::string text, caption;
    UINT type;
};

// Answers the questions as told and records what start-up asked.
class FakeHost : public StartupHost
{
public:
    explicit FakeHost(std::string path) : modulePath(std::move(path)) {}
    bool GetModulePath(char* buffer, DWORD size) override
    {
        lstrcpynA(buffer, modulePath.c_str(), static_cast<int>(size));
        return true;
    }
    int ShowMessage(const char* text, const char* caption, UINT type) override
    {
        messages.push_back({text, caption, type});
        return answer;
    }
    int Reboot() override { return ++reboots; }
    int RunApplication(HINSTANCE, HINSTANCE, int) override
    {
        ++runs;
        serverDuringRun = ComModule::GetServer() != nullptr;
        if (duringRun)
            duringRun();
        return 42;
    }

    std::string modulePath;
    int answer = IDCANCEL;
    int reboots = 0;
    int runs = 0;
    bool serverDuringRun = false;
    std::function<void()> duringRun;
    std::vector<Message> messages;
};

// A client's sink in this process.
// Free-threaded (it aggregates the free-threaded marshaller): the server's delivery thread
// calls it directly.
class TerminateSink : public IKivCorvanNotify
{
public:
    TerminateSink() { CoCreateFreeThreadedMarshaler(this, &marshaller); }
    ~TerminateSink()
    {
        if (marshaller)
            marshaller->Release();
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IMarshal) && marshaller)
            return marshaller->QueryInterface(iid, object);
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IKivCorvanNotify))
            return E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references)); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&references)); }
    HRESULT STDMETHODCALLTYPE Notify(DWORD type, DWORD) override
    {
        types.push_back(type);
        return S_OK;
    }
    LONG references = 1;
    std::vector<DWORD> types;
    IUnknown* marshaller = nullptr;
};

std::string TestFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    PathRemoveFileSpecA(path);
    return path;
}

// The build's program folder, where the proxy/stub library lies.
std::string ProgramFolder()
{
    char path[MAX_PATH];
    PathCombineA(path, TestFolder().c_str(), "..\\..\\program");
    return path;
}

bool KeyExists(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string ReadText(const char* path, const char* name)
{
    char buffer[MAX_PATH] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueA(HKEY_CLASSES_ROOT, path, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return "(missing)";
    return buffer;
}

DWORD ReadRefresh(const char* path)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, path, "Refresh", RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return 0xFFFFFFFF;
    return value;
}

std::string SessionFile()
{
    char appData[MAX_PATH];
    SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, TRUE);
    return std::string(appData) + "\\KivCorvanDSP\\KivCorvanConfig.session";
}

int StartWith(const char* commandLine, FakeHost& host)
{
    return MixerMain(GetModuleHandleA(nullptr), nullptr, SW_SHOW, commandLine, host);
}

// The tests register the server under other paths; the prefix keeps the program's own.
class StartupTest : public testing::Test
{
protected:
    static void TearDownTestSuite()
    {
        FakeHost host(ProgramFolder() + "\\KivCorvanDSP.exe");
        StartWith("KivCorvanDSP.exe -RegServer", host);
    }
};

const char* const rebootQuestion =
    "Your K-DSP Hardware has been Reset. You should restart the system.Click 'OK' to reboot now "
    "or 'CANCEL' to reboot later";

TEST_F(StartupTest, ResetWritesTheRefreshFlagsDropsTheUserStateAndAsksToReboot)
{
    for (int answer : {IDOK, IDCANCEL})
    {
        for (const char* path : {zavo, kdspState})
            RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, path, "Refresh");
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(settingsKey) + "\\CorvanView\\skin").c_str(), 0,
                                  nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        SHCreateDirectoryExA(nullptr, (SessionFile().substr(0, SessionFile().rfind('\\'))).c_str(), nullptr);
        std::ofstream(SessionFile()) << "session";

        FakeHost host(ProgramFolder() + "\\KivCorvanDSP.exe");
        host.answer = answer;
        EXPECT_EQ(StartWith("KivCorvanDSP.exe /reset", host), 0);
        EXPECT_EQ(ReadRefresh(zavo), 1u);
        EXPECT_EQ(ReadRefresh(kdspState), 1u);
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, settingsKey));
        EXPECT_EQ(GetFileAttributesA(SessionFile().c_str()), INVALID_FILE_ATTRIBUTES);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, rebootQuestion);
        EXPECT_EQ(host.messages[0].caption, "K-DSP Hardware Reset");
        EXPECT_EQ(host.messages[0].type, static_cast<UINT>(MB_OKCANCEL));
        EXPECT_EQ(host.reboots, answer == IDOK ? 1 : 0);
        EXPECT_EQ(host.runs, 0);
    }
}

TEST_F(StartupTest, ResetAsksEvenWhenNoDriverKeyExists)
{
    // The driver's keys come from the test prefix; take them away for this run.
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, zavo);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kdspState);
    FakeHost host(ProgramFolder() + "\\KivCorvanDSP.exe");
    EXPECT_EQ(StartWith("KivCorvanDSP.exe -Reset", host), 0);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, zavo)); // only keys that open are written
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, rebootQuestion);
    for (const char* path : {zavo, kdspState})
    {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        RegCloseKey(key);
    }
}

TEST_F(StartupTest, RegServerWritesTheScriptsAndUnregServerRemovesThem)
{
    const std::string program = "C:\\Kiv Test\\KivCorvanDSP.exe";
    FakeHost host(program);
    EXPECT_EQ(StartWith("\"C:\\Kiv Test\\KivCorvanDSP.exe\" -RegServer", host), S_OK);
    EXPECT_EQ(host.runs, 0);
    EXPECT_TRUE(host.messages.empty());

    struct Value
    {
        const char *key, *name, *text;
    } values[] = {
        {"KivCorvanServices.KivCorvanServices.1", nullptr, "KivCorvanServices Class"},
        {"KivCorvanServices.KivCorvanServices.1\\CLSID", nullptr, "{C1BC3C34-926D-4698-AD79-73F921958097}"},
        {"KivCorvanServices.KivCorvanServices", nullptr, "KivCorvanServices Class"},
        {"KivCorvanServices.KivCorvanServices\\CurVer", nullptr, "KivCorvanServices.KivCorvanServices.1"},
        {classKey, nullptr, "KivCorvanServices Class"},
        {classKey, "AppID", "{11B81CB4-DA97-4783-BF05-2E2CE18884CB}"},
        {"CLSID\\{C1BC3C34-926D-4698-AD79-73F921958097}\\ProgID", nullptr, "KivCorvanServices.KivCorvanServices.1"},
        {"CLSID\\{C1BC3C34-926D-4698-AD79-73F921958097}\\VersionIndependentProgID", nullptr,
         "KivCorvanServices.KivCorvanServices"},
        {"CLSID\\{C1BC3C34-926D-4698-AD79-73F921958097}\\LocalServer32", nullptr, program.c_str()},
        {appIdKey, nullptr, "KivCorvanServicesServer"},
        {"AppID\\KivCorvanServer.EXE", "AppID", "{11B81CB4-DA97-4783-BF05-2E2CE18884CB}"},
    };
    for (const Value& v : values)
        EXPECT_EQ(ReadText(v.key, v.name), v.text) << v.key;
    // What lets a user who cannot rewrite the keys start the program: the registration
    // present is complete and names this program, not another.
    EXPECT_TRUE(IsRegistryScriptApplied(AppIdScript(), program.c_str()));
    EXPECT_TRUE(IsRegistryScriptApplied(ClassScript(), program.c_str()));
    EXPECT_FALSE(IsRegistryScriptApplied(ClassScript(), "C:\\Elsewhere\\KivCorvanDSP.exe"));

    EXPECT_EQ(StartWith("KivCorvanDSP.exe /unregserver", host), S_OK);
    for (const Value& v : values)
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, v.key)) << v.key;
    EXPECT_FALSE(IsRegistryScriptApplied(AppIdScript(), program.c_str()));
    EXPECT_FALSE(IsRegistryScriptApplied(ClassScript(), program.c_str()));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "AppID"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_EQ(host.runs, 0);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(StartupTest, OrdinaryStartRegistersAndRunsTheApplication)
{
    std::string program = ProgramFolder() + "\\KivCorvanDSP.exe";
    FakeHost host(program);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "Interface\\{27D4DA0C-BD66-493E-82FE-7FA968B85617}");
    EXPECT_EQ(StartWith(program.c_str(), host), 42);
    EXPECT_EQ(host.runs, 1);
    EXPECT_TRUE(host.serverDuringRun);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(ReadText("CLSID\\{C1BC3C34-926D-4698-AD79-73F921958097}\\LocalServer32", nullptr), program);
    // The proxy/stub library registered the marshalling of the interfaces.
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Interface\\{27D4DA0C-BD66-493E-82FE-7FA968B85617}\\ProxyStubClsid32"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Interface\\{D52EABC2-DFDD-43FF-9390-B42306AE250D}\\ProxyStubClsid32"));
    // The COM side ended once: no lock left, no server object.
    EXPECT_EQ(ComModule::GetLockCount(), 0);
    EXPECT_EQ(ComModule::GetServer(), nullptr);
}

TEST_F(StartupTest, QuitPathTellsTheClientsAndEndsTheComSideOnce)
{
    std::string program = ProgramFolder() + "\\KivCorvanDSP.exe";
    FakeHost host(program);
    TerminateSink sink;
    host.duringRun = [&] {
        DWORD cookie = 0;
        Application application(nullptr);
        ComModule::SetApplication(&application);
        EXPECT_EQ(ComModule::GetServer()->Advise(&sink, KivKDSPASIO_Terminate, 1, &cookie), S_OK);
        application.OnQuit(); // the application's own end, inside the run
        EXPECT_EQ(ComModule::GetServer(), nullptr);
        ComModule::SetApplication(nullptr);
    };
    EXPECT_EQ(StartWith(program.c_str(), host), 42);
    EXPECT_EQ(sink.types, std::vector<DWORD>{KivKDSPASIO_Terminate});
    EXPECT_EQ(sink.references, 1);
    EXPECT_EQ(ComModule::GetLockCount(), 0); // not below zero: start-up's end did not repeat it
}

TEST_F(StartupTest, MissingProxyStubLibraryEndsTheStart)
{
    // The program's folder lacks KivCorvanDSP_ps.dll, while a library of that name lies in a
    // folder of the search path (this executable's): it must not be taken instead.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "kiv-no-proxystub";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string planted = TestFolder() + "\\KivCorvanDSP_ps.dll";
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\KivCorvanDSP_ps.dll").c_str(), planted.c_str(), FALSE));

    FakeHost host(folder + "\\KivCorvanDSP.exe");
    EXPECT_EQ(StartWith("KivCorvanDSP.exe", host), -1);
    EXPECT_EQ(host.runs, 0);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "KIV Corvan DSP component missing - you may need to re-install.");
    EXPECT_EQ(host.messages[0].caption, "KIV Corvan DSP");
    EXPECT_EQ(host.messages[0].type, static_cast<UINT>(MB_OK));
    EXPECT_TRUE(DeleteFileA(planted.c_str()));
    RemoveDirectoryA(folder.c_str());
}
} // namespace
