// The application's engine start-up against the simulated engine, in this process.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/platform/RegistryKey.h"
#include "mixer/app/Application.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/ScratchFolder.h"

namespace
{
class RecordingDesktop : public DesktopShell
{
public:
    int ShowMessageBox(const char* text, const char*) override
    {
        messages.push_back(text);
        return IDOK;
    }
    void Open(const char*) override {}
    std::vector<std::string> messages;
};

// The engines the factory made, in order (owned by the application that took them).
std::vector<StandinServices*> created;

IVarnServices* CreateStandin()
{
    created.push_back(new StandinServices);
    return created.back();
}

IVarnServices* CreateNothing()
{
    return nullptr;
}

bool Logged(StandinServices* engine, const std::string& prefix, std::string* entry = nullptr)
{
    for (const std::string& line : engine->GetCallLog())
    {
        if (line.rfind(prefix, 0) == 0)
        {
            if (entry)
                *entry = line;
            return true;
        }
    }
    return false;
}

// Whether no engine of this process is initialised: a fresh one then starts.
bool NoEngineRunning()
{
    ScratchFolder folder("kiv-application-probe");
    StandinServices probe;
    std::u16string path = folder.Path().u16string();
    return probe.Init(path.c_str(), path.c_str(), path.c_str()) != VarnInitAlreadyRunning;
}

class ApplicationTest : public testing::Test
{
protected:
    void SetUp() override
    {
        created.clear();
        AppBase::SetDesktopShell(&desktop);
    }
    void TearDown() override { AppBase::SetDesktopShell(nullptr); }

    RecordingDesktop desktop;
};

TEST_F(ApplicationTest, StartUpInitialisesTheEngineAndTheEndReleasesIt)
{
    {
        Application application(CreateStandin);
        EXPECT_EQ(application.GetServices(), nullptr);
        ASSERT_EQ(application.InitBeforeCreate(), 1);
        ASSERT_EQ(created.size(), 1u);
        EXPECT_EQ(application.GetServices(), created[0]);
        // The test program's folder carries no card description: a machine without the card,
        // which does not stop the start.
        EXPECT_EQ(application.GetInitStatus(), VarnInitNoHardware);
        std::string init;
        ASSERT_TRUE(Logged(created[0], "Init ", &init));
        EXPECT_NE(init.find("\\KivCorvanDSP "), std::string::npos) << init;
        EXPECT_NE(init.find("\\My Sessions"), std::string::npos) << init;
        EXPECT_TRUE(Logged(created[0], "SetViewInterface"));
        EXPECT_FALSE(Logged(created[0], "SetViewInterface (null)"));
        EXPECT_TRUE(desktop.messages.empty());

        EXPECT_EQ(application.InitServices(), 1); // once is enough
        EXPECT_EQ(created.size(), 1u);
        EXPECT_FALSE(NoEngineRunning());
    }
    EXPECT_TRUE(NoEngineRunning());
}

TEST_F(ApplicationTest, AMissingOrRunningEngineFailsTheStartWithAMessage)
{
    {
        Application application(CreateNothing);
        EXPECT_EQ(application.InitBeforeCreate(), 0);
        EXPECT_EQ(application.GetServices(), nullptr);
        ASSERT_EQ(desktop.messages.size(), 1u);
        EXPECT_EQ(desktop.messages[0], "Fatal error: Varn Services component missing - you may need to re-install.");
    }
    desktop.messages.clear();

    ScratchFolder folder("kiv-application-running");
    StandinServices first;
    std::u16string path = folder.Path().u16string();
    ASSERT_EQ(first.Init(path.c_str(), path.c_str(), path.c_str()), VarnInitNoHardware);
    {
        Application application(CreateStandin);
        EXPECT_EQ(application.InitBeforeCreate(), 0);
        EXPECT_EQ(application.GetServices(), nullptr); // released at once
        ASSERT_EQ(desktop.messages.size(), 1u);
        EXPECT_NE(desktop.messages[0].find("already running"), std::string::npos);
    }
}

// Saved effect presets are imported only by an engine that is ready, which takes the card:
// the test describes one in its own program folder for the time of the test.
class SavedEffectsTest : public ApplicationTest
{
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        program = std::filesystem::path(self).parent_path();
        std::ofstream(program / "SimulatedCard.txt") << "systems=1\n";
        ASSERT_TRUE(launcher.Open("HKEY_CURRENT_USER", u"Software\\Halvorn Professional\\KivCorvanDSP\\Launcher", 1));
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove(program / "SimulatedCard.txt", ignored);
        std::filesystem::remove_all(program / "Core Effects", ignored);
        std::filesystem::remove_all(program / "Effect Presets", ignored);
        launcher.DeleteKey(u"Saved FX Path");
        ApplicationTest::TearDown();
    }
    void SetSavedPath(const std::string& path)
    {
        String text;
        text.AppendAscii(path.c_str());
        ASSERT_TRUE(launcher.WriteString(u"Saved FX Path", &text));
    }
    bool SavedPathKept()
    {
        String text;
        return launcher.ReadString(u"Saved FX Path", text, nullptr) != 0;
    }

    std::filesystem::path program;
    RegistryKey launcher;
};

TEST_F(SavedEffectsTest, SavedPresetsAreImportedThenForgotten)
{
    ScratchFolder saved("kiv-saved-fx");
    std::filesystem::create_directories(saved / "Core Effects" / "Presets" / "Reverb");
    std::filesystem::create_directories(saved / "Effect Presets" / "Vocals");
    SetSavedPath(saved.Path().string());
    {
        Application application(CreateStandin);
        ASSERT_EQ(application.InitBeforeCreate(), 1);
        EXPECT_EQ(application.GetInitStatus(), 1);
    }
    EXPECT_TRUE(std::filesystem::is_directory(program / "Core Effects" / "Presets" / "Reverb"));
    EXPECT_TRUE(std::filesystem::is_directory(program / "Effect Presets" / "Vocals"));
    EXPECT_FALSE(std::filesystem::exists(saved.Path()));
    EXPECT_FALSE(SavedPathKept());
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(SavedEffectsTest, AFailedImportIsReportedAndForgotten)
{
    ScratchFolder saved("kiv-saved-fx-missing");
    SetSavedPath((saved / "gone").string());
    Application application(CreateStandin);
    ASSERT_EQ(application.InitBeforeCreate(), 1); // the start goes on
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0], "The effects library could not be imported.");
    EXPECT_FALSE(SavedPathKept());
}

TEST_F(SavedEffectsTest, ABlankPathImportsNothing)
{
    SetSavedPath(" ");
    Application application(CreateStandin);
    ASSERT_EQ(application.InitBeforeCreate(), 1);
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_TRUE(SavedPathKept());
    EXPECT_FALSE(std::filesystem::exists(program / "Core Effects"));
}
} // namespace
