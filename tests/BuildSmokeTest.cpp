// Checks that each build is what it claims to be: the i686 tests really run as 32-bit
// Windows code (under Wine), the native tests as 64-bit Linux code.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <string>
#endif

TEST(BuildSmoke, PointerSizeMatchesTheTarget)
{
#if defined(_WIN32) && !defined(_WIN64)
    EXPECT_EQ(sizeof(void*), 4u);
#else
    EXPECT_EQ(sizeof(void*), 8u);
#endif
}

#ifdef _WIN32
namespace
{

std::string environment(const char* name)
{
    char value[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA(name, value, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(value, n) : std::string();
}

// The host path Wine maps a Windows path to (Wine's own kernel32 export).
std::string unixPathOf(const wchar_t* path)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return {};
    char* unixPath = toUnix(path);
    if (!unixPath)
        return {};
    std::string result(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

} // namespace

TEST(BuildSmoke, RunsUnderWineWithAPrivatePrefix)
{
    // Wine publishes wine_get_version from ntdll; a real Windows does not.
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    ASSERT_NE(ntdll, nullptr);
    EXPECT_NE(GetProcAddress(ntdll, "wine_get_version"), nullptr);
    char windir[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windir, MAX_PATH), 0u);
    EXPECT_STREQ(windir, "C:\\windows");

    // The test runs in the copy it was given, not in the template every test copies (nor in
    // the build's shared prefix): drive C: is that copy's.
    std::string given = environment("KIV_WINEPREFIX");
    std::string templ = environment("KIV_WINE_TEMPLATE");
    ASSERT_FALSE(given.empty()) << "not started by tools/wine/isolate";
    ASSERT_FALSE(templ.empty());
    EXPECT_NE(given, templ);
    EXPECT_NE(given.find("/wine-runs/build_smoke_test."), std::string::npos) << given;
    EXPECT_EQ(environment("WINEPREFIX"), given);
    EXPECT_EQ(unixPathOf(L"C:\\"), given + "/dosdevices/c:/");

    // The copy carries what the template's set-up hooks registered.
    HKEY asio = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO\\KIV Corvan ASIO", 0, KEY_READ, &asio), ERROR_SUCCESS);
    if (asio)
        RegCloseKey(asio);
}
#endif
