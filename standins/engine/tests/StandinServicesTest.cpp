#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "standins/engine/StandinServices.h"

namespace fs = std::filesystem;

namespace
{
// A program folder, a data folder and a sessions folder of the test's own.
class EngineFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() /
               (std::string("kiv-engine-") + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(program());
        fs::create_directories(data());
        fs::create_directories(sessions());
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path program() const { return root / "program"; }
    fs::path data() const { return root / "data"; }
    fs::path sessions() const { return root / "sessions"; }
    void WriteFile(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }
    void WriteProfile(const std::string& text) { WriteFile(program() / "SimulatedCard.txt", text); }

    int Init(StandinServices& engine)
    {
        return engine.Init(program().u16string().c_str(), data().u16string().c_str(),
                           sessions().u16string().c_str());
    }

    fs::path root;
};

class Recorder : public IVarnListener
{
public:
    int VARN_CALL OnEngineEvent(int id, VarnEventArg argument) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        events.emplace_back(id, argument);
        threads.push_back(std::this_thread::get_id());
        if (onEvent)
            onEvent();
        return 1;
    }
    std::mutex mutex;
    std::vector<std::pair<int, VarnEventArg>> events;
    std::vector<std::thread::id> threads;
    std::function<void()> onEvent;
};

TEST_F(EngineFixture, InitStatuses)
{
    struct Case
    {
        const char* name;
        const char* profile; // null: no card
        const char* workingSession; // null: none
        int status;
    } cases[] = {
        {"no card", nullptr, nullptr, VarnInitNoHardware},
        {"card switched off", "present=0\n", nullptr, VarnInitNoHardware},
        {"card, first start", "model=3\nsystems=1\n", nullptr, 1},
        {"card, own session", "systems=2\n", "KivCorvanSession 1\nrate=2\nsystems=2\n", 1},
        {"session wants more systems", "systems=1\n", "KivCorvanSession 1\nsystems=2\n", VarnInitPartialHardware},
        {"session of a newer engine", "systems=1\n", "KivCorvanSession 9\nsystems=1\n", VarnInitSessionNewer},
    };
    for (const Case& c : cases)
    {
        fs::remove(program() / "SimulatedCard.txt");
        fs::remove(data() / "KivCorvanConfig.session");
        if (c.profile)
            WriteProfile(c.profile);
        if (c.workingSession)
            WriteFile(data() / "KivCorvanConfig.session", c.workingSession);
        StandinServices engine;
        EXPECT_EQ(Init(engine), c.status) << c.name;
    }
}

TEST_F(EngineFixture, InitFailsWithoutFoldersAndASecondEngineFindsTheFirstRunning)
{
    WriteProfile("systems=1\n");
    {
        StandinServices engine;
        EXPECT_EQ(engine.Init(nullptr, nullptr, nullptr), VarnInitFailed);
        fs::path missing = root / "missing";
        EXPECT_EQ(engine.Init(program().u16string().c_str(), missing.u16string().c_str(),
                              sessions().u16string().c_str()),
                  VarnInitFailed);
    }
    auto* first = new StandinServices;
    EXPECT_EQ(Init(*first), 1);
    StandinServices second;
    EXPECT_EQ(Init(second), VarnInitAlreadyRunning);
    first->Release();
    StandinServices third;
    EXPECT_EQ(Init(third), 1);
}

TEST_F(EngineFixture, ListenersHearEventsInOrderOnTheEngineThread)
{
    StandinServices engine;
    Recorder first, second;
    EXPECT_EQ(engine.AddListener(&first), 1);
    EXPECT_EQ(engine.AddListener(&second), 1);
    EXPECT_EQ(engine.AddListener(nullptr), 0);
    engine.RaiseEvent(51, 7);
    engine.RaiseEvent(2023, -1);
    engine.WaitForEvents();
    std::vector<std::pair<int, VarnEventArg>> expected{{51, 7}, {2023, -1}};
    EXPECT_EQ(first.events, expected);
    EXPECT_EQ(second.events, expected);
    for (std::thread::id id : first.threads)
    {
        EXPECT_EQ(id, engine.GetEngineThreadId());
        EXPECT_NE(id, std::this_thread::get_id());
    }

    EXPECT_EQ(engine.RemoveListener(&first), 1);
    EXPECT_EQ(engine.RemoveListener(&first), 0);
    engine.RaiseEvent(77, 0);
    engine.WaitForEvents();
    EXPECT_EQ(first.events.size(), 2u);
    EXPECT_EQ(second.events.size(), 3u);
}

TEST_F(EngineFixture, ListenerRemovedDuringDeliveryIsNotCalledAgain)
{
    StandinServices engine;
    Recorder remover, removed;
    remover.onEvent = [&] {
        engine.RemoveListener(&removed);
        engine.RemoveListener(&remover);
    };
    engine.AddListener(&remover);
    engine.AddListener(&removed);
    engine.RaiseEvent(1, 0);
    engine.RaiseEvent(2, 0);
    engine.WaitForEvents();
    EXPECT_EQ(remover.events.size(), 1u);
    EXPECT_TRUE(removed.events.empty());
}

TEST_F(EngineFixture, SavedSessionReloadsAsTheSameModel)
{
    WriteProfile("systems=2\nrate=1\n");
    fs::path file = sessions() / "Live.session";
    {
        StandinServices engine;
        ASSERT_EQ(Init(engine), 1);
        auto* mixer = static_cast<StandinMixer*>(engine.GetMixer());
        mixer->rateCode = 4;
        mixer->sessionName = u"Live \u00e9t\u00e9";
        mixer->GetSystem(0)->GetSettings()->SetValue("SampleRateLocked", 1, 0, 1);
        mixer->GetSystem(1)->GetSettings()->SetValue("ExtSyncSrc", -3, 0, 1);
        mixer->GetSystem(1)->GetLevelControl()->SetLevel(-10.5f, 0);
        engine.SetModified(1);
        EXPECT_EQ(engine.SaveSession(file.u16string().c_str(), 0, 0), 1);
        EXPECT_EQ(engine.IsModified(), 0);
        EXPECT_EQ(engine.SaveSession(nullptr, 0, 1), 1); // the working session
    }
    for (bool fromWorkingSession : {false, true})
    {
        if (fromWorkingSession)
            fs::remove(file);
        StandinServices engine;
        ASSERT_EQ(Init(engine), 1);
        if (!fromWorkingSession)
        {
            ASSERT_EQ(engine.LoadSession(file.u16string().c_str(), 0), 1);
        }
        auto* mixer = static_cast<StandinMixer*>(engine.GetMixer());
        EXPECT_EQ(mixer->GetRateCode(), 4);
        EXPECT_EQ(mixer->sessionName, u"Live \u00e9t\u00e9");
        int value = 0;
        EXPECT_EQ(mixer->GetSystem(0)->GetSettings()->GetValue("SampleRateLocked", &value), 1);
        EXPECT_EQ(value, 1);
        EXPECT_EQ(mixer->GetSystem(1)->GetSettings()->GetValue("ExtSyncSrc", &value), 1);
        EXPECT_EQ(value, -3);
        EXPECT_EQ(mixer->GetSystem(1)->GetSettings()->GetValue("UnMute", &value), 0);
        EXPECT_FLOAT_EQ(mixer->GetSystem(1)->GetLevelControl()->GetLevel(), -10.5f);
        int rate = 0;
        EXPECT_EQ(engine.GetFileRate((data() / "KivCorvanConfig.session").u16string().c_str(), &rate), 1);
        EXPECT_EQ(rate, 4);
    }
}

TEST_F(EngineFixture, UnreadableSessionsChangeNothing)
{
    WriteProfile("systems=1\n");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    IVarnMixer* before = engine.GetMixer();
    WriteFile(sessions() / "junk.session", "not a session\n");
    WriteFile(sessions() / "newer.session", "KivCorvanSession 2\nrate=3\n");
    for (const char* name : {"junk.session", "newer.session", "missing.session"})
    {
        EXPECT_EQ(engine.LoadSession((sessions() / name).u16string().c_str(), 0), 0) << name;
        EXPECT_EQ(engine.GetMixer(), before);
    }
    int rate = 0;
    EXPECT_EQ(engine.GetFileRate((sessions() / "junk.session").u16string().c_str(), &rate), 0);
    EXPECT_EQ(rate, 6);
}

TEST_F(EngineFixture, CallLogRecordsTheProgramsCallsInOrder)
{
    WriteProfile("systems=1\n");
    StandinServices engine;
    Recorder listener;
    Init(engine);
    engine.AddListener(&listener);
    engine.SaveSession(nullptr, 0, 1);
    engine.AcknowledgeEvent(910, 0, 1234, 0);
    engine.RemoveListener(&listener);
    std::vector<std::string> log = engine.GetCallLog();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0], "CreateVarnServices");
    EXPECT_EQ(log[1].rfind("Init ", 0), 0u);
    EXPECT_NE(log[1].find("data"), std::string::npos);
    EXPECT_EQ(log[2], "AddListener");
    EXPECT_EQ(log[3], "SaveSession (null) 0 1");
    EXPECT_EQ(log[4], "AcknowledgeEvent 910 0 1234 0");
    EXPECT_EQ(log[5], "RemoveListener");
}

TEST_F(EngineFixture, HardwareAndLibraryFollowTheProgramFolder)
{
    WriteProfile("systems=1\nfeatures=0,5,9\n");
    fs::create_directories(program() / "Core Effects" / "Presets" / "Reverb");
    fs::create_directories(program() / "Effect Presets" / "Vocals");
    fs::create_directories(program() / "Effect Presets" / "Drums");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    IVarnHardware* hardware = engine.GetMixer()->GetHardware();
    ASSERT_NE(hardware, nullptr);
    EXPECT_EQ(hardware->HasFeature(5), 1);
    EXPECT_EQ(hardware->HasFeature(4), 0);
    EXPECT_EQ(engine.GetMixer()->GetSystem(1), nullptr);

    IVarnFxLibrary* library = engine.GetFxLibrary();
    EXPECT_EQ(library->LoadCoreEffects(), 1);
    EXPECT_EQ(library->LoadCategories(), 1);
    ASSERT_EQ(library->GetCategoryCount(), 2);
    char16_t record[132] = {};
    EXPECT_EQ(library->GetCategoryInfo(0, record), 1);
    EXPECT_EQ(std::u16string(record), u"Drums");
    EXPECT_EQ(library->GetCategoryInfo(2, record), 0);
}
} // namespace
