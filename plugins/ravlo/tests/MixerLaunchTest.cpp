// LaunchMixer under Wine: the program named by "Launch Path" starts, also from a folder with
// blanks where a prefix of the path names another program.

#include "plugins/ravlo/MixerLaunch.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace
{

namespace fs = std::filesystem;

std::string KeyName()
{
    return std::string(kBrandingKey) + "\\" + kCardInstanceId;
}

void SetLaunchPath(const std::string* path)
{
    if (!path)
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, KeyName().c_str());
        return;
    }
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyName().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, kLaunchPathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path->c_str()),
                             static_cast<DWORD>(path->size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// The stand-in is built beside this test.
fs::path StandinProgram()
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof(self));
    return fs::path(self).parent_path() / "KivMixerStandin.exe";
}

bool AppearsWithin(const fs::path& file, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end)
    {
        if (fs::exists(file))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return fs::exists(file);
}

class MixerLaunchTest : public ::testing::Test
{
protected:
    void TearDown() override { SetLaunchPath(nullptr); }
    ScratchFolder folder_{"ravlo-launch"};
};

TEST_F(MixerLaunchTest, StartsTheProgramInAFolderWithBlanks)
{
    // "<scratch>\Mixer Program\KivCorvanDSP.exe", and a decoy at the prefix "<scratch>\Mixer"
    // that an unquoted command line would start instead.
    const fs::path folder = folder_ / "Mixer Program";
    fs::create_directories(folder);
    const fs::path mixer = folder / "KivCorvanDSP.exe";
    const fs::path decoy = folder_ / "Mixer.exe";
    fs::copy_file(StandinProgram(), mixer);
    fs::copy_file(StandinProgram(), decoy);

    for (const bool quoted : {false, true})
    {
        fs::remove(mixer.string() + ".launched");
        const std::string value = quoted ? "\"" + mixer.string() + "\"" : mixer.string();
        SetLaunchPath(&value);
        ASSERT_TRUE(LaunchMixer()) << value;
        EXPECT_TRUE(AppearsWithin(mixer.string() + ".launched", std::chrono::seconds(20))) << value;
    }
    EXPECT_FALSE(fs::exists(decoy.string() + ".launched"));
}

TEST_F(MixerLaunchTest, FailsWithoutKeyValueOrProgram)
{
    SetLaunchPath(nullptr);
    EXPECT_FALSE(LaunchMixer());

    const std::string missing = (folder_ / "Nowhere" / "KivCorvanDSP.exe").string();
    SetLaunchPath(&missing);
    EXPECT_FALSE(LaunchMixer());

    const std::string empty;
    SetLaunchPath(&empty);
    EXPECT_FALSE(LaunchMixer());
}

} // namespace
