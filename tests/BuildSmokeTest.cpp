// Checks that each build is what it claims to be: the i686 tests really run as 32-bit
// Windows code (under Wine), the native tests as 64-bit Linux code.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
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
TEST(BuildSmoke, RunsUnderWineWithAPrivatePrefix)
{
    // Wine publishes wine_get_version from ntdll; a real Windows does not.
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    ASSERT_NE(ntdll, nullptr);
    EXPECT_NE(GetProcAddress(ntdll, "wine_get_version"), nullptr);
    char windir[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windir, MAX_PATH), 0u);
    EXPECT_STREQ(windir, "C:\\windows");
}
#endif
