#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "framework/platform/RegistryImpl.h"
#include "framework/platform/RegistryKey.h"
#include "framework/platform/tests/MemoryRegistryBackend.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{

const char kPath[] = "Software\\KivTests\\Settings";

String Text(const char* ascii)
{
    String s;
    s.AssignAscii(ascii);
    return s;
}

std::string Ascii(const String& s)
{
    std::string out;
    for (int i = 0; i < s.Length(); ++i)
        out.push_back(s.CharAt(i));
    return out;
}

// The store over the platform's own registry (Wine's in the Windows build, a memory one in
// the portable build), starting from an empty key.
class RegistryKeyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
#ifdef _WIN32
        RegDeleteTreeA(HKEY_CURRENT_USER, kPath);
#else
        RegistryImpl::SetBackend(&memory_);
#endif
        ASSERT_EQ(key_.Open("HKEY_CURRENT_USER", Text(kPath), 1), 1);
    }
    void TearDown() override
    {
#ifdef _WIN32
        RegDeleteTreeA(HKEY_CURRENT_USER, kPath);
#endif
        RegistryImpl::SetBackend(nullptr);
    }

    // The setting as stored: the default value of the setting's subkey.
    std::string Stored(const char* name)
    {
        String out;
        RegistryKey raw;
        raw.Open("HKEY_CURRENT_USER", Text(kPath), 0);
        EXPECT_EQ(raw.ReadValue(Text((std::string(kPath) + "\\" + name).c_str()), String(), out), 1) << name;
        return Ascii(out);
    }

    MemoryRegistryBackend memory_;
    RegistryKey key_;
};

TEST_F(RegistryKeyTest, SettingsAreSubkeysHoldingText)
{
    EXPECT_EQ(key_.WriteBool(Text("show exit warning"), 1), 1);
    EXPECT_EQ(key_.WriteBool(Text("tooltipsenabled"), 0), 1);
    EXPECT_EQ(key_.WriteUnsigned(Text("FX Palette XPos"), 4294967295u), 1);
    const String skin = Text("Default Skin");
    EXPECT_EQ(key_.WriteString(Text("skin"), &skin), 1);
    EXPECT_EQ(Stored("show exit warning"), "yes");
    EXPECT_EQ(Stored("tooltipsenabled"), "no");
    EXPECT_EQ(Stored("FX Palette XPos"), "4294967295");
    EXPECT_EQ(Stored("skin"), "Default Skin");
    String out;
    EXPECT_EQ(key_.ReadString(Text("skin"), out, nullptr), 1);
    EXPECT_EQ(Ascii(out), "Default Skin");
    EXPECT_EQ(key_.ReadUnsigned(Text("FX Palette XPos"), 3), 4294967295u);
}

TEST_F(RegistryKeyTest, AFlagIsTrueOnlyForYesInAnyCase)
{
    struct Case
    {
        const char* stored;
        int expected;
    };
    const Case cases[] = {{"yes", 1}, {"Yes", 1},  {"YES", 1}, {"yes ", 0}, {" yes", 0},
                          {"1", 0},   {"true", 0}, {"no", 0},  {"", 0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.stored);
        const String text = Text(c.stored);
        ASSERT_EQ(key_.WriteString(Text("flag"), &text), 1);
        EXPECT_EQ(key_.ReadBool(Text("flag"), 1 - c.expected), c.expected);
        EXPECT_EQ(Stored("flag"), c.stored) << "reading an existing flag leaves it alone";
    }
}

TEST_F(RegistryKeyTest, AMissingSettingReadWithADefaultIsWrittenBack)
{
    EXPECT_EQ(key_.ReadBool(Text("on"), 1), 1);
    EXPECT_EQ(Stored("on"), "yes");
    EXPECT_EQ(key_.ReadBool(Text("off"), 0), 0);
    EXPECT_EQ(Stored("off"), "no");
    EXPECT_EQ(key_.ReadUnsigned(Text("width"), 640), 640u);
    EXPECT_EQ(Stored("width"), "640");

    String out = Text("old");
    const String fallback = Text("C:\\Sessions");
    EXPECT_EQ(key_.ReadString(Text("Last path"), out, &fallback), 0) << "a default read answers 0";
    EXPECT_EQ(Ascii(out), "C:\\Sessions");
    EXPECT_EQ(key_.ReadString(Text("Last path"), out, nullptr), 1);
    EXPECT_EQ(Stored("Last path"), "C:\\Sessions");
}

TEST_F(RegistryKeyTest, ASettingWithoutValueReadsEmpty)
{
    ASSERT_EQ(key_.WriteString(Text("bare"), nullptr), 1);
    String out = Text("old");
    EXPECT_EQ(key_.ReadString(Text("bare"), out, nullptr), 0);
    EXPECT_EQ(Ascii(out), "");
    const String empty = Text("");
    ASSERT_EQ(key_.WriteString(Text("empty"), &empty), 1);
    out = Text("old");
    EXPECT_EQ(key_.ReadString(Text("empty"), out, nullptr), 1);
    EXPECT_EQ(Ascii(out), "");
}

TEST_F(RegistryKeyTest, NumbersReadTheirLeadingDigits)
{
    const String text = Text("12ab3");
    key_.WriteString(Text("n"), &text);
    EXPECT_EQ(key_.ReadUnsigned(Text("n"), 5), 12u);
}

TEST_F(RegistryKeyTest, NamedValuesOfOtherKeys)
{
    const String path = Text("Software\\KivTests\\Settings\\Other");
    const String value = Text("C:\\Program Files\\Kiv");
    EXPECT_EQ(key_.WriteValue(path, Text("Path"), &value), 1);
    String out;
    EXPECT_EQ(key_.ReadValue(path, Text("Path"), out), 1);
    EXPECT_EQ(Ascii(out), "C:\\Program Files\\Kiv");
    out = Text("old");
    EXPECT_EQ(key_.ReadValue(path, Text("Missing"), out), 0);
    EXPECT_EQ(Ascii(out), "") << "a missing value empties out";
    EXPECT_EQ(key_.ReadValue(Text("Software\\KivTests\\Nowhere"), Text("Path"), out), 0);
}

TEST_F(RegistryKeyTest, DeleteKeyAnswersWhetherTheSettingIsGone)
{
    const String text = Text("x");
    key_.WriteString(Text("gone"), &text);
    EXPECT_EQ(key_.DeleteKey(Text("gone")), 1);
    String out;
    EXPECT_EQ(key_.ReadString(Text("gone"), out, nullptr), 0);
    EXPECT_EQ(key_.DeleteKey(Text("never there")), 1);
    key_.WriteString(Text("parent\\child"), &text);
    EXPECT_EQ(key_.DeleteKey(Text("parent")), 0) << "a setting with subkeys stays";
    EXPECT_EQ(key_.ReadString(Text("parent\\child"), out, nullptr), 1);
}

TEST_F(RegistryKeyTest, NamedNumbersOfTheKeyItselfNeverCreateIt)
{
    uint32_t value = 7;
    EXPECT_EQ(key_.ReadDword(Text("flag"), value), 0);
    EXPECT_EQ(value, 7u) << "left as it was";
    EXPECT_EQ(key_.WriteDword(Text("flag"), 0x80000001u), 1);
    EXPECT_EQ(key_.ReadDword(Text("flag"), value), 1);
    EXPECT_EQ(value, 0x80000001u);
    EXPECT_EQ(key_.DeleteValue(Text("flag")), 1);
    EXPECT_EQ(key_.ReadDword(Text("flag"), value), 0);
    EXPECT_EQ(key_.DeleteValue(Text("flag")), 0) << "nothing left to delete";
    EXPECT_EQ(key_.Exists(), 1);

    RegistryKey missing;
    ASSERT_EQ(missing.Open("HKEY_CURRENT_USER", Text("Software\\KivTests\\Settings\\Missing"), 0), 1);
    EXPECT_EQ(missing.Exists(), 0);
    EXPECT_EQ(missing.WriteDword(Text("flag"), 1), 0);
    EXPECT_EQ(missing.ReadDword(Text("flag"), value), 0);
    EXPECT_EQ(missing.DeleteValue(Text("flag")), 0);
    EXPECT_EQ(missing.Exists(), 0) << "not created";
}

TEST_F(RegistryKeyTest, RootNamesAreExact)
{
    String name;
    key_.GetRootName(name);
    EXPECT_EQ(Ascii(name), "HKEY_CURRENT_USER");
    for (const char* wrong : {"hkey_current_user", "HKEY_Current_User", "HKCU", ""})
    {
        SCOPED_TRACE(wrong);
        EXPECT_EQ(key_.Open(wrong, Text("Software\\Elsewhere"), 0), 0);
        key_.GetRootName(name);
        EXPECT_EQ(Ascii(name), "HKEY_CURRENT_USER") << "a failed Open leaves the key as it was";
        key_.GetPath(name);
        EXPECT_EQ(Ascii(name), kPath);
    }
    EXPECT_EQ(key_.Open(nullptr, Text(kPath), 0), 0);
    for (const char* right : {"HKEY_CLASSES_ROOT", "HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_CURRENT_USER"})
    {
        SCOPED_TRACE(right);
        EXPECT_EQ(key_.Open(right, Text(kPath), 0), 1);
        key_.GetRootName(name);
        EXPECT_EQ(Ascii(name), right);
    }
    RegistryKey unopened;
    unopened.GetRootName(name);
    EXPECT_EQ(Ascii(name), "");
    EXPECT_EQ(unopened.WriteBool(Text("x"), 1), 0);
}

// Failures the real registry rarely shows, played through the memory registry.
class RegistryFailureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegistryImpl::SetBackend(&memory_);
        ASSERT_EQ(key_.Open("HKEY_CURRENT_USER", Text(kPath), 1), 1);
    }
    void TearDown() override { RegistryImpl::SetBackend(nullptr); }

    MemoryRegistryBackend memory_;
    RegistryKey key_;
};

TEST_F(RegistryFailureTest, FailedWritesAnswerZero)
{
    memory_.failWrites = true;
    const String text = Text("x");
    EXPECT_EQ(key_.WriteString(Text("a"), &text), 0);
    EXPECT_EQ(key_.WriteString(Text("a"), nullptr), 0);
    EXPECT_EQ(key_.WriteBool(Text("a"), 1), 0);
    EXPECT_EQ(key_.WriteValue(Text(kPath), Text("v"), &text), 0);
    RegistryKey other;
    EXPECT_EQ(other.Open("HKEY_CURRENT_USER", Text("Software\\New"), 1), 0) << "Open cannot create the key";
    EXPECT_EQ(other.Open("HKEY_CURRENT_USER", Text("Software\\New"), 0), 1);
}

TEST_F(RegistryFailureTest, AWriteThatFailsAfterTheKeyWasMadeAnswersZero)
{
    memory_.failValueWrites = true;
    const String text = Text("x");
    EXPECT_EQ(key_.WriteString(Text("a"), &text), 0);
    EXPECT_EQ(key_.WriteUnsigned(Text("b"), 5), 0);
    EXPECT_EQ(key_.WriteString(Text("c"), nullptr), 1) << "creating the bare setting works";
}

TEST_F(RegistryFailureTest, AnUnreadableSettingIsNotOverwrittenByTheDefault)
{
    const String text = Text("no");
    ASSERT_EQ(key_.WriteString(Text("warn"), &text), 1);
    memory_.failReads = true;
    EXPECT_EQ(key_.ReadBool(Text("warn"), 1), 1) << "the caller gets the default";
    memory_.failReads = false;
    EXPECT_EQ(key_.ReadBool(Text("warn"), 1), 0) << "the user's value is still there";
}

TEST_F(RegistryFailureTest, AFailedDefaultWriteLeavesOutAsTheReadLeftIt)
{
    memory_.failWrites = true;
    String out = Text("old");
    const String fallback = Text("new");
    EXPECT_EQ(key_.ReadString(Text("missing"), out, &fallback), 0);
    EXPECT_EQ(Ascii(out), "old");
}

#ifdef _WIN32
std::string RegQuery(const std::string& args)
{
    std::string output;
    FILE* pipe = _popen(("reg query " + args + " 2>&1").c_str(), "r");
    if (!pipe)
        return output;
    char line[512];
    while (fgets(line, sizeof line, pipe))
        output += line;
    _pclose(pipe);
    return output;
}

TEST_F(RegistryKeyTest, RegQueryShowsTheLayout)
{
    key_.WriteBool(Text("show exit warning"), 1);
    key_.WriteUnsigned(Text("XPos"), 120);
    const std::string base = std::string("HKCU\\") + kPath;
    const std::string flag = RegQuery("\"" + base + "\\show exit warning\" /ve");
    EXPECT_NE(flag.find("REG_SZ"), std::string::npos) << flag;
    EXPECT_NE(flag.find("yes"), std::string::npos) << flag;
    const std::string number = RegQuery("\"" + base + "\\XPos\" /ve");
    EXPECT_NE(number.find("120"), std::string::npos) << number;
    const std::string values = RegQuery("\"" + base + "\" /v XPos");
    EXPECT_EQ(values.find("120"), std::string::npos) << "no named value: " << values;
    key_.WriteDword(Text("LaunchFlag"), 1);
    const std::string dword = RegQuery("\"" + base + "\" /v LaunchFlag");
    EXPECT_NE(dword.find("REG_DWORD"), std::string::npos) << dword;
}

TEST_F(RegistryKeyTest, StoredDataWithoutTerminatorOrLengthReadsWhole)
{
    HKEY setting;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kPath) + "\\raw").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &setting, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(setting, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3), ERROR_SUCCESS);
    String out;
    EXPECT_EQ(key_.ReadString(Text("raw"), out, nullptr), 1);
    EXPECT_EQ(Ascii(out), "abc") << "the last stored byte is data, not room for a terminator";
    ASSERT_EQ(RegSetValueExA(setting, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 0), ERROR_SUCCESS);
    RegCloseKey(setting);
    out = Text("old");
    EXPECT_EQ(key_.ReadString(Text("raw"), out, nullptr), 1);
    EXPECT_EQ(Ascii(out), "");
}
#endif

} // namespace
