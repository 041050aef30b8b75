// What the simulated engine does for the application's start-up and run time: progress
// events during Init, rate and sync changes, the running check, session settings, and saves
// and loads that never lose the working session.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "standins/engine/StandinServices.h"
#include "tests/support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace
{
class Listener : public IVarnListener
{
public:
    int VARN_CALL OnEngineEvent(int id, VarnEventArg argument) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        events.emplace_back(id, argument);
        threads.push_back(std::this_thread::get_id());
        if (engine)
            mixerSeen = engine->GetMixer() != nullptr || mixerSeen;
        return 1;
    }
    std::mutex mutex;
    std::vector<std::pair<int, VarnEventArg>> events;
    std::vector<std::thread::id> threads;
    IVarnServices* engine = nullptr; // borrowed: asked while the events arrive
    bool mixerSeen = false;
};

class StartupFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(program());
        fs::create_directories(data());
        std::ofstream(program() / "SimulatedCard.txt") << "systems=1\nrate=1\n";
    }
    fs::path program() const { return scratch_.Path() / "program"; }
    fs::path data() const { return scratch_.Path() / "data"; }
    int Init(StandinServices& engine)
    {
        return engine.Init(program().u16string().c_str(), data().u16string().c_str(), data().u16string().c_str());
    }
    bool Logged(StandinServices& engine, const std::string& entry)
    {
        for (const std::string& line : engine.GetCallLog())
            if (line == entry)
                return true;
        return false;
    }

    ScratchFolder scratch_{"kiv-engine-startup"};
};

TEST_F(StartupFixture, InitReportsItsProgressOnTheCallingThread)
{
    StandinServices engine;
    Listener listener;
    listener.engine = &engine; // asking the engine meanwhile must not block
    engine.AddListener(&listener);
    ASSERT_EQ(Init(engine), 1);
    std::vector<std::pair<int, VarnEventArg>> expected{{81, 0}, {82, 0}, {83, 0}, {84, 0}};
    EXPECT_EQ(listener.events, expected);
    for (std::thread::id id : listener.threads)
        EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_F(StartupFixture, RateAndSyncChangesRaiseTheirEvents)
{
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    Listener listener;
    engine.AddListener(&listener);
    IVarnMixer* mixer = engine.GetMixer();
    EXPECT_EQ(mixer->GetHardwareRateCode(), 1);
    engine.SetHardwareRate(2);
    engine.SetSyncSource(0x10002);
    engine.WaitForEvents();
    std::vector<std::pair<int, VarnEventArg>> expected{{51, 0}, {52, 0x10002}};
    EXPECT_EQ(listener.events, expected);
    EXPECT_EQ(mixer->GetHardwareRateCode(), 2);
    EXPECT_EQ(mixer->GetRateCode(), 1) << "the session keeps its own rate";
    char16_t text[16];
    ASSERT_EQ(mixer->GetRateText(text, 16), 1);
    EXPECT_EQ(std::u16string(text), u"96000");
    EXPECT_EQ(mixer->GetRateText(text, 5), 0) << "a buffer too small takes nothing";
}

TEST_F(StartupFixture, TheRunningCheckCanBeSet)
{
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    EXPECT_EQ(engine.IsRunning(), 1);
    engine.SetRunning(false);
    EXPECT_EQ(engine.IsRunning(), 0);
    EXPECT_TRUE(Logged(engine, "IsRunning"));
}

TEST_F(StartupFixture, SettingsTakeTextsAndCommandsAndLogThem)
{
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    IVarnSettings* settings = engine.GetMixer()->GetHardware()->GetSettings();
    int value = -1;
    EXPECT_EQ(settings->SetText("ExtSyncSrc", u"5", 0, 1), 1);
    EXPECT_EQ(settings->GetValue("ExtSyncSrc", &value), 1);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(settings->SetText("ExtSyncSrc", u"", 0, 1), 1);
    EXPECT_EQ(settings->GetValue("ExtSyncSrc", &value), 0) << "an empty text clears the value";
    EXPECT_EQ(settings->RunCommand("UnMute"), 1);
    EXPECT_TRUE(Logged(engine, "SetText ExtSyncSrc=5"));
    EXPECT_TRUE(Logged(engine, "RunCommand UnMute"));

    // The session's own values travel with the session.
    IVarnSettings* session = engine.GetMixer()->GetSessionSettings();
    EXPECT_EQ(session->SetText("samplerate", u"96000", 0, 1), 1);
    EXPECT_EQ(session->SetText("comment", u"take \u00e9 two", 0, 1), 1);
    fs::path file = data() / "Saved.session";
    ASSERT_EQ(engine.SaveSession(file.u16string().c_str(), 0, 1), 1);
    engine.GetMixer()->GetSessionSettings()->SetText("comment", u"", 0, 1);
    ASSERT_EQ(engine.LoadSession(file.u16string().c_str(), 0), 1);
    auto* loaded = static_cast<StandinSettings*>(engine.GetMixer()->GetSessionSettings());
    EXPECT_EQ(loaded->texts["comment"], u"take \u00e9 two");
    EXPECT_EQ(loaded->texts["samplerate"], u"96000");
}

TEST_F(StartupFixture, AnUnreadableLineFailsTheLoadAndLeavesTheModel)
{
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    IVarnMixer* before = engine.GetMixer();
    struct Row
    {
        const char* name;
        const char* text;
    };
    const Row rows[] = {
        {"rate", "KivCorvanSession 2\nrate=fast\n"},
        {"rate out of range", "KivCorvanSession 2\nrate=9\n"},
        {"setting", "KivCorvanSession 2\nsystems=1\nsetting 0 ExtSyncSrc=x\n"},
        {"level", "KivCorvanSession 2\nsystems=1\nlevel 0 loud\n"},
        {"unknown", "KivCorvanSession 2\nwhatever\n"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        fs::path file = data() / "bad.session";
        std::ofstream(file, std::ios::trunc) << row.text;
        EXPECT_EQ(engine.LoadSession(file.u16string().c_str(), 0), 0);
        EXPECT_EQ(engine.GetMixer(), before);
        EXPECT_EQ(before->GetRateCode(), 1);
    }
}

TEST_F(StartupFixture, AFailedSaveLeavesTheOldFileWhole)
{
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    fs::path working = data() / StandinServices::kWorkingSessionName;
    ASSERT_EQ(engine.SaveSession(nullptr, 0, 1), 1);
    std::string before;
    {
        std::ifstream in(working);
        before.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ASSERT_FALSE(before.empty());
    // The temporary file cannot be made: a folder stands in its place.
    fs::path temporary = working;
    temporary += ".tmp";
    fs::create_directories(temporary / "blocked");
    static_cast<StandinMixer*>(engine.GetMixer())->sessionName = u"Changed";
    EXPECT_EQ(engine.SaveSession(nullptr, 0, 1), 0);
    std::ifstream in(working);
    std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(after, before);
}
} // namespace
