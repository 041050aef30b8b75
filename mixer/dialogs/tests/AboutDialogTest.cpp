// The about box through the shipped skin's "aboutinfo": versions, the driver's version from
// its key or its file, and the firmware labels per hardware model.
#include <gtest/gtest.h>

#include <filesystem>

#include <windows.h>

#include <set>
#include <string>

#include "framework/controls/TextControl.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/system/SystemInfo.h"
#include "framework/platform/system/tests/FakeDeviceBackend.h"
#include "framework/skin/Skin.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "mixer/dialogs/AboutDialog.h"
#include "standins/engine/EngineModel.h"
#include "tests/support/WinePath.h"

namespace
{
using skintest::Narrow;
using skintest::Text;

int LoadSkin(Skin& skin, const char* folder)
{
    return skin.Load(Text(WinePath(std::filesystem::path(KIV_PROGRAM_DIR) / folder).c_str()), nullptr);
}

// Reads the box once it is up, then closes it.
class Reader : public DialogAnswerer
{
public:
    Reader() { Dialog::SetAnswerer(this); }
    ~Reader() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        texts.clear();
        hidden.clear();
        for (const char* name :
             {"productName", "productVersion", "BuildDate", "DriverVersion", "fileVersion", "PCIOstikVersion",
              "PCIOstikVersionTag", "HolbrinVersion", "HolbrinVersionTag", "SyncCardVersion", "SyncCardVersionTag"})
        {
            Control* control = dialog.FindControl(Text(name));
            if (!control)
                continue;
            texts[name] = Narrow(static_cast<TextControl*>(control)->GetText());
            if (control->IsInvisible())
                hidden.insert(name);
        }
        dialog.End(1);
    }
    std::map<std::string, std::string> texts;
    std::set<std::string> hidden;
};

HardwareProfile Card(std::vector<int> features)
{
    HardwareProfile profile;
    profile.present = true;
    profile.features = std::move(features);
    profile.texts["pcicard_firmware_version"] = u"2.1.7";
    profile.texts["dock_firmware_version"] = u"1.4.2";
    profile.texts["synccard_firmware_version"] = u"1.0.3";
    return profile;
}

const char kDriverClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e96c-e325-11ce-bfc1-08002be10318}\\0042";

class AboutDialogTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(LoadSkin(skin_, "Skins/Default")); }
    Skin skin_;
    FakeDevices devices_;
    Reader reader_;
};

TEST_F(AboutDialogTest, VersionsAndFirmwarePerModel)
{
    devices_.CardPresent();
    struct Case
    {
        const char* label;
        std::vector<int> features;
        const char* pciTag;
        const char* dock; // "" hidden
        const char* dockTag;
        const char* sync; // "" hidden
    } cases[] = {
        {"card with dock and sync card", {0, 1, 3}, "K-DSP firmware", "1.4.2", "Interface firmware", "1.0.3"},
        {"card alone", {0}, "K-DSP firmware", "-", "Interface firmware", "-"},
        {"feature 4", {4, 3}, "Sevrin firmware", "", "", "1.0.3"},
        {"feature 9", {9, 10}, "Tamlo firmware", "1.4.2", "Ketterm firmware", ""},
        {"feature 11", {11, 1}, "K-DSP firmware", "1.4.2", "Ketterm firmware", "-"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        const HardwareProfile card = Card(c.features); // the model keeps a reference
        StandinMixer mixer(card);
        AboutDialog::Show(skin_, mixer.GetHardware(), mixer.GetHardware(), nullptr);
        auto& t = reader_.texts;
        EXPECT_EQ(t["productName"], "Kiv CorvanDSP Dialogs");
        EXPECT_EQ(t["productVersion"], "Version : 3.2.0.1");
        EXPECT_EQ(t["fileVersion"], "3.2.0.118");
        EXPECT_EQ(t["BuildDate"].size(), std::string(__DATE__ " " __TIME__).size());
        EXPECT_EQ(t["DriverVersion"], "5.12.1.130");
        EXPECT_EQ(t["PCIOstikVersion"], "2.1.7");
        EXPECT_EQ(t["PCIOstikVersionTag"], c.pciTag);
        if (*c.dock)
        {
            EXPECT_EQ(t["HolbrinVersion"], c.dock);
            EXPECT_EQ(t["HolbrinVersionTag"], c.dockTag);
            EXPECT_EQ(reader_.hidden.count("HolbrinVersion"), 0u);
        }
        else
            EXPECT_EQ(reader_.hidden.count("HolbrinVersion"), 1u);
        if (*c.sync)
            EXPECT_EQ(t["SyncCardVersion"], c.sync);
        else
            EXPECT_EQ(reader_.hidden.count("SyncCardVersion"), 1u);
    }
}

// The driver's version: its key's value, else the kernel driver file's version, else "-".
// The test's own prefix lets it take both away.
TEST_F(AboutDialogTest, DriverVersionFromTheKeyElseTheFileElseNone)
{
    const HardwareProfile card = Card({0});
    StandinMixer mixer(card);
    devices_.CardPresent();
    AboutDialog::Show(skin_, mixer.GetHardware(), mixer.GetHardware(), nullptr);
    EXPECT_EQ(reader_.texts["DriverVersion"], "5.12.1.130");

    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDriverClassKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    ::RegDeleteValueA(key, "DriverVersion");
    ::RegCloseKey(key);
    String fileVersion;
    const int fileRead = SystemInfo::GetDriverFileVersion(fileVersion);
    AboutDialog::Show(skin_, mixer.GetHardware(), mixer.GetHardware(), nullptr);
    ASSERT_EQ(fileRead, 1) << "the prefix has the kernel driver's file";
    EXPECT_EQ(reader_.texts["DriverVersion"], Narrow(fileVersion));

    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string driverFile = std::string(windows) + "\\system32\\drivers\\ZUNDRVX.SYS";
    ::DeleteFileA(driverFile.c_str());
    AboutDialog::Show(skin_, mixer.GetHardware(), mixer.GetHardware(), nullptr);
    EXPECT_EQ(reader_.texts["DriverVersion"], "-");
}
} // namespace
