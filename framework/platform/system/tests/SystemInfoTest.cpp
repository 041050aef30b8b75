#include "framework/platform/system/Guid.h"
#include "framework/platform/system/LocaleScope.h"
#include "framework/platform/system/SystemInfo.h"
#include "framework/platform/system/VersionRecord.h"
#include "framework/platform/system/Wow64.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::string Ansi(const String& s)
{
    std::string out;
    for (int i = 0; i < s.Length(); ++i)
        out += s.CharAt(i);
    return out;
}

TEST(SystemInfo, ReadsTheProgramsOwnVersionResource)
{
    SystemInfo info;
    EXPECT_EQ(Ansi(info.ProductName()), "KivCorvan DSP Test");
    EXPECT_EQ(Ansi(info.FileVersion()), "3.1.4.15");
    EXPECT_EQ(Ansi(info.ProductVersion()), "3.1");
    EXPECT_EQ(Ansi(info.GetString(VersionRecord::CompanyName)), "Kiv Audio");
    EXPECT_EQ(Ansi(info.GetString(VersionRecord::LegalCopyright)), "(c) Kiv Audio");
    EXPECT_EQ(info.GetString(VersionRecord::SpecialBuild).Length(), 0);
    EXPECT_EQ(info.GetString(99).Length(), 0);
    const VersionRecord& record = info.Version();
    EXPECT_EQ(record.fileVersion[0], 3);
    EXPECT_EQ(record.fileVersion[1], 1);
    EXPECT_EQ(record.fileVersion[2], 4);
    EXPECT_EQ(record.fileVersion[3], 15);
    EXPECT_EQ(record.productVersion[0], 3);
    EXPECT_EQ(record.productVersion[2], 0);
    const std::string path = Ansi(info.ModulePath());
    EXPECT_NE(path.find("framework_system_test.exe"), std::string::npos) << path;
}

TEST(SystemInfo, OtherLanguagesAndMissingResources)
{
    const std::string self = [] {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        return std::string(path);
    }();
    VersionRecord german;
    ASSERT_EQ(SystemInfo::ReadVersion(self.c_str(), 0x407, 0x4B0, german), 1);
    EXPECT_EQ(german.fileVersion[0], 3);
    EXPECT_EQ(german.strings[VersionRecord::ProductName].Length(), 0);

    VersionRecord none;
    EXPECT_EQ(SystemInfo::ReadVersion("C:\\windows\\no-such-file.exe", 0x409, 0x4B0, none), 0);
    EXPECT_EQ(none.fileVersion[0], 0);
    EXPECT_EQ(Ansi(none.modulePath), "C:\\windows\\no-such-file.exe");

    VersionRecord copy;
    ASSERT_EQ(copy.Assign(german), 1);
    EXPECT_EQ(copy.fileVersion[3], 15);
    EXPECT_FALSE(copy.IsEmpty());
    copy.Clear();
    EXPECT_TRUE(copy.IsEmpty());

    String text;
    EXPECT_EQ(SystemInfo::ReadFileVersionText(self.c_str(), text), 1);
    EXPECT_EQ(Ansi(text), "3.1.4.15");
    EXPECT_EQ(SystemInfo::ReadFileVersionText("C:\\windows\\no-such-file.sys", text), 0);
    EXPECT_EQ(text.Length(), 0);
}

TEST(SystemInfo, DriverVersionFromTheDriverFile)
{
    String text;
    ASSERT_EQ(SystemInfo::GetDriverFileVersion(text), 1);
    EXPECT_EQ(Ansi(text), "5.12.1.130");
    uint32_t a = 0, b = 0, c = 0, d = 0;
    ASSERT_EQ(SystemInfo::GetDriverVersion(a, b, c, d), 1);
    EXPECT_EQ(a, 5u);
    EXPECT_EQ(b, 12u);
    EXPECT_EQ(c, 1u);
    EXPECT_EQ(d, 130u);
}

TEST(Guid, TextRoundTripAndNewGuids)
{
    String text;
    ASSERT_EQ(text.AssignWide(u"{DDA54A40-1E4C-11D1-A050-405705C10000}"), 1);
    GUID guid = {};
    ASSERT_EQ(Guid::FromString(text, guid), 1);
    EXPECT_EQ(guid.Data1, 0xDDA54A40u);
    EXPECT_EQ(guid.Data4[7], 0x00);
    EXPECT_EQ(guid.Data4[5], 0xC1);
    String back;
    ASSERT_EQ(Guid::ToString(guid, back), 1);
    EXPECT_EQ(back.Compare(text.Text()), 0);

    String bad;
    ASSERT_EQ(bad.AssignWide(u"{not a guid}"), 1);
    EXPECT_EQ(Guid::FromString(bad, guid), 0);

    GUID first = {}, second = {};
    ASSERT_EQ(Guid::Create(first), 1);
    ASSERT_EQ(Guid::Create(second), 1);
    EXPECT_FALSE(IsEqualGUID(first, second));
}

TEST(LocaleScope, SetsAnInstalledLanguageAndRestores)
{
    const LCID before = GetThreadLocale();
    {
        LocaleScope scope(1200, 0x409);
        EXPECT_EQ(GetThreadLocale(), 0x409u);
        EXPECT_EQ(scope.Set(), 0x409u);
        {
            // Not a locale: the current one stays.
            LocaleScope invalid(1200, 0x7FFF);
            EXPECT_EQ(GetThreadLocale(), 0x409u);
            EXPECT_EQ(invalid.Set(), 0x409u);
        }
        EXPECT_EQ(GetThreadLocale(), 0x409u);
    }
    EXPECT_EQ(GetThreadLocale(), before);
}

TEST(Wow64, RedirectionScopeLeavesFilesReachable)
{
    // The 32-bit prefix has no redirection; either way files stay reachable in the scope.
    Wow64Scope scope;
    char windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    EXPECT_NE(GetFileAttributesA(windows), INVALID_FILE_ATTRIBUTES);
}
} // namespace
