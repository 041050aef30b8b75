#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "mixer/engine/EngineVocabulary.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace
{
// A program folder, a data folder and a sessions folder of the test's own.
class EngineFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(program());
        fs::create_directories(data());
        fs::create_directories(sessions());
    }

    fs::path program() const { return root_ / "program"; }
    fs::path data() const { return root_ / "data"; }
    fs::path sessions() const { return root_ / "sessions"; }
    void WriteFile(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }
    void WriteProfile(const std::string& text) { WriteFile(program() / "SimulatedCard.txt", text); }

    int Init(StandinServices& engine)
    {
        return engine.Init(program().u16string().c_str(), data().u16string().c_str(), sessions().u16string().c_str());
    }

    ScratchFolder scratch_{"kiv-engine"};
    const fs::path& root_ = scratch_.Path();
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
        const char* profile;        // null: no card
        const char* workingSession; // null: none
        int status;
    } cases[] = {
        {"no card", nullptr, nullptr, VarnInitNoHardware},
        {"card switched off", "present=0\n", nullptr, VarnInitNoHardware},
        {"card, first start", "model=3\nsystems=1\n", nullptr, 1},
        {"card, own session", "systems=2\n", "KivCorvanSession 2\nrate=2\nsystems=2\n", 1},
        {"session wants more systems", "systems=1\n", "KivCorvanSession 2\nsystems=2\n", VarnInitPartialHardware},
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
        fs::path missing = root_ / "missing";
        EXPECT_EQ(
            engine.Init(program().u16string().c_str(), missing.u16string().c_str(), sessions().u16string().c_str()),
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
    // Saved to a path, the session takes the file's name.
    fs::path file = sessions() / u"Live \u00e9t\u00e9.session";
    {
        StandinServices engine;
        ASSERT_EQ(Init(engine), 1);
        auto* mixer = static_cast<StandinMixer*>(engine.GetMixer());
        mixer->rateCode = 4;
        mixer->sessionName = u"Before";
        mixer->GetSystem(0)->GetSettings()->SetValue("SampleRateLocked", 1, 0, 1);
        mixer->GetSystem(1)->GetSettings()->SetValue("ExtSyncSrc", -3, 0, 1);
        mixer->GetSystem(1)->GetMainMix()->SetMonitorLevel(-10.5f, 0);
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
        EXPECT_EQ(mixer->sessionName, u"Live \u00e9t\u00e9.session");
        int value = 0;
        EXPECT_EQ(mixer->GetSystem(0)->GetSettings()->GetValue("SampleRateLocked", &value), 1);
        EXPECT_EQ(value, 1);
        EXPECT_EQ(mixer->GetSystem(1)->GetSettings()->GetValue("ExtSyncSrc", &value), 1);
        EXPECT_EQ(value, -3);
        EXPECT_EQ(mixer->GetSystem(1)->GetSettings()->GetValue("UnMute", &value), 0);
        EXPECT_FLOAT_EQ(mixer->GetSystem(1)->GetMainMix()->GetMonitorLevel(), -10.5f);
        int rate = 0;
        EXPECT_EQ(engine.GetFileRate((data() / "KivCorvanConfig.session").u16string().c_str(), &rate), 1);
        EXPECT_EQ(rate, 4);
    }
}

TEST_F(EngineFixture, ObjectsHandedOutOutliveSessionChanges)
{
    // What the frame, the toolbars and the COM server hold across a session change: the
    // model, a system, its settings, a strip and a bus.
    WriteProfile("systems=1\nfeatures=0,9\nstrip=0 Drums\nsetting=MidiInput2Src 1\n");
    fs::path saved = sessions() / "Saved.session";
    WriteFile(saved, "KivCorvanSession 2\nrate=2\nsystems=1\nname=Saved\n");
    struct Case
    {
        const char* name;
        std::function<int(StandinServices&)> change;
        const char16_t* sessionName;
    } cases[] = {
        {"load", [&](StandinServices& e) { return e.LoadSession(saved.u16string().c_str(), 0); }, u"Saved"},
        {"empty", [&](StandinServices& e) { return e.CreateEmptySession(nullptr, u"/x/Empty.session", 0); },
         u"Empty.session"},
        {"template", [&](StandinServices& e) { return e.CreateSessionFromTemplate(nullptr, u"/x/Made.session", 0); },
         u"Made.session"},
    };
    for (const Case& c : cases)
    {
        StandinServices engine;
        ASSERT_EQ(Init(engine), 1);
        IVarnMixer* mixer = engine.GetMixer();
        IVarnHardware* system = mixer->GetSystem(0);
        IVarnSettings* settings = system->GetSettings();
        IVarnOutput* item = system->GetItemList()->GetPort(1, 0);
        IVarnInsertChain* bus = item->GetSource();
        IVarnStrip* strip = bus->GetStrip();
        ASSERT_NE(strip, nullptr);

        for (int round = 0; round < 2; ++round)
        {
            ASSERT_EQ(c.change(engine), 1) << c.name;
            EXPECT_EQ(std::u16string(engine.GetMixer()->GetSessionName()), c.sessionName) << c.name;
            // Whatever was held still answers (under AddressSanitizer a freed object fails).
            EXPECT_EQ(mixer->GetSystem(0), system) << c.name;
            EXPECT_EQ(system->HasFeature(HardwareFeature::kSecondModel), 1) << c.name;
            int value = 0;
            EXPECT_EQ(settings->GetValue("MidiInput2Src", &value), 1) << c.name;
            EXPECT_EQ(value, 1) << c.name;
            EXPECT_EQ(item->GetSource(), bus) << c.name;
            EXPECT_EQ(bus->GetBusType(), 0) << c.name;
            EXPECT_EQ(std::u16string(strip->GetName()), u"Drums") << c.name;
            EXPECT_EQ(strip->SetState(1, 0), 1) << c.name;
        }
    }
}

TEST_F(EngineFixture, UnreadableSessionsChangeNothing)
{
    WriteProfile("systems=1\n");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    IVarnMixer* before = engine.GetMixer();
    WriteFile(sessions() / "junk.session", "not a session\n");
    WriteFile(sessions() / "newer.session", "KivCorvanSession 3\nrate=3\n");
    const struct
    {
        const char* name;
        int code;
    } cases[] = {{"junk.session", VarnLoadUnreadable},
                 {"newer.session", VarnLoadNewer},
                 {"missing.session", VarnLoadUnreadable}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(engine.LoadSession((sessions() / c.name).u16string().c_str(), 0), c.code) << c.name;
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
    // 5 is an id the product does not read: the card file's numbers are answered as listed.
    constexpr int kUnreadFeature = 5;
    WriteProfile("systems=1\nfeatures=0,5,9\n");
    fs::create_directories(program() / "Core Effects" / "Presets" / "Reverb");
    fs::create_directories(program() / "Effect Presets" / "Vocals");
    fs::create_directories(program() / "Effect Presets" / "Drums");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    IVarnHardware* hardware = engine.GetMixer()->GetHardware();
    ASSERT_NE(hardware, nullptr);
    EXPECT_EQ(hardware->HasFeature(kUnreadFeature), 1);
    EXPECT_EQ(hardware->HasFeature(HardwareFeature::kSmallBox), 0);
    EXPECT_EQ(engine.GetMixer()->GetSystem(1), nullptr);

    IVarnFxLibrary* library = engine.GetFxLibrary();
    EXPECT_EQ(library->LoadCoreEffects(), 1);
    EXPECT_EQ(library->LoadCategories(), 1);
    // The factory category, then the folders.
    ASSERT_EQ(library->GetCategoryCount(), 3);
    VarnCategoryRecord record{};
    EXPECT_EQ(library->GetCategoryInfo(1, &record), 1);
    EXPECT_EQ(std::u16string(record.name), u"Drums");
    EXPECT_EQ(library->GetCategoryInfo(3, &record), 0);
}
TEST_F(EngineFixture, TheLibraryFaceReadsTheEffectsAndEditsTheFolders)
{
    WriteProfile("systems=1\n");
    fs::create_directories(program() / "Core Effects" / "Presets" / "Chorus");
    fs::create_directories(program() / "Effect Presets" / "Drums");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    Recorder listener;
    engine.AddListener(&listener);
    IVarnFxLibrary* library = engine.GetFxLibrary();

    // The built-in effects and the folder's; the factory category and the folder's.
    ASSERT_EQ(library->GetCoreEffectCount(), 5);
    VarnCoreEffectRecord core{};
    ASSERT_EQ(library->GetCoreEffectInfo(4, &core), 1);
    EXPECT_EQ(std::u16string(core.name), u"Chorus");
    EXPECT_EQ(library->GetCoreEffectInfo(5, &core), 0);
    EXPECT_EQ(library->FindCategory(u"Drums", 0), 1);
    EXPECT_EQ(library->FindCategory(u"Keys", 0), -1);
    ASSERT_EQ(library->GetPresetCount(0), 2);
    VarnPresetRecord preset{};
    ASSERT_EQ(library->GetPresetInfo(0, 0, &preset), 1);
    EXPECT_EQ(std::u16string(preset.name), u"Vocal Chain");
    EXPECT_EQ(preset.effectCount, 3);
    EXPECT_NE(preset.factory, 0);
    char16_t name[256] = {};
    ASSERT_EQ(library->GetEffectName(&preset.effects[0], name, 256), 1);
    EXPECT_EQ(std::u16string(name), u"Compressor");
    VarnPresetRecord found{};
    EXPECT_EQ(library->FindPreset(&preset, &found), 1);
    EXPECT_EQ(std::u16string(found.name), u"Vocal Chain");
    VarnPresetRecord unknown{};
    EXPECT_EQ(library->FindPreset(&unknown, &found), 0);
    EXPECT_EQ(library->GetPresetInfo(0, 2, &preset), 0);

    // Every system's fit checker reads the effects' DSP budget.
    IVarnFitChecker* checker = engine.GetMixer()->GetSystem(0)->GetFitChecker();
    ASSERT_NE(checker, nullptr);
    EXPECT_EQ(checker->CoreEffectFits(&core), 1);

    // Category edits act on the folders and raise 850 + kind with a payload that waits for
    // its acknowledgement; refused names change nothing and raise nothing.
    EXPECT_EQ(library->CreateCategory(u"..", 1), 0);
    EXPECT_EQ(library->CreateCategory(u"Core Effects", 1), 0);
    ASSERT_EQ(library->CreateCategory(u"Keys", 1), 1);
    EXPECT_TRUE(fs::is_directory(program() / "Effect Presets" / "Keys"));
    ASSERT_EQ(library->RenameCategory(u"Keys", u"Piano", 1), 1);
    EXPECT_FALSE(fs::exists(program() / "Effect Presets" / "Keys"));
    EXPECT_TRUE(fs::is_directory(program() / "Effect Presets" / "Piano"));
    ASSERT_EQ(library->DeleteCategory(u"Drums", 1), 1);
    EXPECT_FALSE(fs::exists(program() / "Effect Presets" / "Drums"));
    EXPECT_EQ(library->DeleteCategory(u"Drums", 1), 0);
    engine.WaitForEvents();
    {
        std::lock_guard<std::mutex> lock(listener.mutex);
        ASSERT_EQ(listener.events.size(), 3u);
        EXPECT_EQ(listener.events[0].first, 0x352);
        EXPECT_EQ(listener.events[1].first, 0x354);
        EXPECT_EQ(listener.events[2].first, 0x353);
        EXPECT_NE(listener.events[0].second, 0);
    }
    VarnCategoryRecord keys{};
    std::memcpy(keys.name, u"Keys", 8);
    engine.AcknowledgeEvent(0x352, 0, reinterpret_cast<VarnEventArg>(&keys), 0);
    engine.AcknowledgeEvent(0x354, reinterpret_cast<VarnEventArg>(u"Keys"), reinterpret_cast<VarnEventArg>(u"Piano"),
                            0);
    engine.AcknowledgeEvent(0x352, 0, reinterpret_cast<VarnEventArg>(&keys), 0);
    const std::vector<std::string> log = engine.GetCallLog();
    auto logged = [&](const std::string& entry) { return std::find(log.begin(), log.end(), entry) != log.end(); };
    EXPECT_TRUE(logged("Library CreateCategory .. 1 -> 0"));
    EXPECT_TRUE(logged("Library RenameCategory Keys Piano 1 -> 1"));
    EXPECT_TRUE(logged("AcknowledgeEvent 850 0 category \"Keys\" 0"));
    EXPECT_TRUE(logged("AcknowledgeEvent 852 \"Keys\" \"Piano\" 0"));
    EXPECT_TRUE(logged("AcknowledgeEvent 850 0 category \"Keys\" 0 (nothing waited)"));
    engine.RemoveListener(&listener);
}

TEST_F(EngineFixture, DriverProfileComesFromTheCardDescription)
{
    WriteProfile("systems=2\nvendor=0x1A4B\ndevice=784\nirq=11\ndriverversion=0x050C0400\n"
                 "devicekey=PCI\\VEN_1A4B&DEV_0310\\0\n"
                 "devicekey2=ignored\n");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    for (int system = 0; system < 2; ++system)
    {
        IVarnDriver* driver = engine.GetMixer()->GetSystem(system)->GetDriver();
        ASSERT_NE(driver, nullptr);
        VarnDriverProfile profile;
        std::memset(&profile, 0xCC, sizeof profile);
        ASSERT_EQ(driver->GetProfile(&profile), 1);
        EXPECT_EQ(profile.vendorID, 0x1A4Bu);
        EXPECT_EQ(profile.deviceID, 784u);
        EXPECT_EQ(profile.irq, 11u);
        EXPECT_EQ(profile.driverVersion, 0x050C0400u);
        EXPECT_EQ(profile.baseAddr, 0u); // absent fields are zero
        EXPECT_STREQ(profile.deviceKey, "PCI\\VEN_1A4B&DEV_0310\\0");
        EXPECT_EQ(driver->GetProfile(nullptr), 0);
    }
}

TEST_F(EngineFixture, OverlongDeviceKeyIsCutAndTerminated)
{
    WriteProfile("devicekey=" + std::string(200, 'K') + "\n");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    VarnDriverProfile profile = {};
    ASSERT_EQ(engine.GetMixer()->GetHardware()->GetDriver()->GetProfile(&profile), 1);
    EXPECT_EQ(std::string(profile.deviceKey), std::string(59, 'K'));
}
TEST_F(EngineFixture, EachAsioInputPairIsRecordedByAStripWithAMonitor)
{
    WriteProfile("systems=1\ninputs=6\n");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    IVarnItemList* items = engine.GetMixer()->GetHardware()->GetItemList();
    ASSERT_NE(items, nullptr);
    // Three pairs, then one item per channel.
    EXPECT_EQ(items->GetCount(1), 9);
    EXPECT_EQ(items->GetChannelCount(1), 6);
    for (int pair = 0; pair < 3; ++pair)
    {
        IVarnOutput* port = items->GetPort(1, pair);
        ASSERT_NE(port, nullptr);
        EXPECT_EQ(port->GetKind(), 1);
        EXPECT_EQ(port->GetIndex(), pair);
        EXPECT_EQ(port->IsHidden(), 0);
        EXPECT_EQ(port->IsSingleChannel(), 0);
        ASSERT_NE(port->GetSource(), nullptr);
        EXPECT_EQ(port->GetSource()->GetBusType(), 0);
        IVarnStrip* strip = port->GetSource()->GetStrip();
        ASSERT_NE(strip, nullptr);
        EXPECT_EQ(strip->GetIndex(), pair);
        IVarnMonitor* monitor = strip->GetMonitor();
        ASSERT_NE(monitor, nullptr);
        EXPECT_EQ(monitor->SetParameter(5, 1), 1);
        EXPECT_EQ(monitor->SetParameter(6, 1), 0);
        EXPECT_EQ(monitor->SetParameter(-1, 1), 0);
    }
    for (int channel = 0; channel < 6; ++channel)
    {
        IVarnOutput* mono = items->GetPort(1, 3 + channel);
        ASSERT_NE(mono, nullptr);
        EXPECT_EQ(mono->IsSingleChannel(), 1);
        EXPECT_EQ(mono->GetChannel(), channel);
        EXPECT_EQ(mono->GetSource(), nullptr); // no mono channel is recorded by default
    }
    EXPECT_EQ(items->GetPort(1, 9), nullptr);
    EXPECT_EQ(items->GetPort(1, -1), nullptr);
    EXPECT_EQ(items->GetPort(3, 0), nullptr);
}

// Reads the card's first system after writing the description.
class CardFixture : public EngineFixture
{
protected:
    StandinHardware* Card(const std::string& description)
    {
        WriteProfile(description);
        if (Init(engine_) != 1)
            return nullptr;
        return static_cast<StandinHardware*>(engine_.GetMixer()->GetHardware());
    }
    std::vector<std::string> LogWith(const std::string& text)
    {
        std::vector<std::string> found;
        for (const std::string& entry : engine_.GetCallLog())
        {
            if (entry.find(text) != std::string::npos)
                found.push_back(entry);
        }
        return found;
    }
    StandinServices engine_;
};

TEST_F(CardFixture, ChannelItemsFollowTheDescription)
{
    StandinHardware* card = Card("inputs=7\noutputs=3\nwave=2\nphysicaloutputs=3\n"
                                 "strip=1 Vocals\nrecord=0 aux 2\nrecord=2 main\nrecord=3 monitor\n"
                                 "mono=6 1\noutput=1 strip 1 3\nroute=5 strip 0 1\nfit=2 3 1\n");
    ASSERT_NE(card, nullptr);
    IVarnItemList* items = card->GetItemList();
    EXPECT_EQ(items->GetCount(0), 2);
    EXPECT_EQ(items->GetChannelCount(0), 4);
    // Seven channels: four pairs, the eighth mono item is missing.
    EXPECT_EQ(items->GetCount(1), 12);
    EXPECT_EQ(items->GetChannelCount(1), 7);
    EXPECT_EQ(items->GetPort(1, 4 + 7), nullptr);
    IVarnInsertChain* aux = items->GetPort(1, 0)->GetSource();
    ASSERT_NE(aux, nullptr);
    EXPECT_EQ(aux->GetBusType(), 1);
    EXPECT_EQ(aux->GetStrip(), nullptr);
    EXPECT_EQ(aux->GetAux()->GetIndex(), 2);
    EXPECT_EQ(std::u16string(items->GetPort(1, 1)->GetSource()->GetStrip()->GetName()), u"Vocals");
    EXPECT_EQ(std::u16string(card->strips[0]->GetName()), u"-");
    EXPECT_EQ(items->GetPort(1, 2)->GetSource()->GetBusType(), 2);
    IVarnOutput* monitor = items->GetPort(1, 3);
    ASSERT_NE(monitor->GetSource(), nullptr);
    EXPECT_EQ(monitor->GetSource()->GetStrip(), nullptr);
    EXPECT_EQ(monitor->GetType(), 1);
    EXPECT_EQ(items->GetPort(1, 4 + 6)->GetSource(), &card->strips[1]->bus);
    EXPECT_EQ(items->GetPort(1, 4 + 5)->GetSource(), nullptr);

    IVarnOutput* physical = items->GetPort(2, 1);
    ASSERT_NE(physical, nullptr);
    EXPECT_EQ(physical->GetSource(), &card->strips[1]->bus);
    ASSERT_NE(physical->GetInsert(), nullptr);
    EXPECT_EQ(physical->GetInsert()->GetPosition(), 3);
    EXPECT_EQ(items->GetPort(2, 0)->GetSource(), nullptr);
    IVarnRoutingTable* table = physical->GetRoutingTable();
    ASSERT_NE(table, nullptr);
    IVarnOutput* entry = table->GetEntry(2, table->GetBase(2) + 5);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->GetChannel(), 5);
    EXPECT_EQ(entry->GetSource(), &card->strips[0]->bus);
    EXPECT_EQ(table->GetEntry(2, 6), nullptr);

    // At 192 kHz only the first physical output exists.
    EXPECT_EQ(card->ChannelExists(2, 3, 0), 1);
    EXPECT_EQ(card->ChannelExists(2, 3, 1), 0);
    EXPECT_EQ(card->ChannelExists(2, 1, 2), 1);
    EXPECT_TRUE(LogWith("skipped").empty());
    EXPECT_EQ(LogWith("ChannelExists"),
              (std::vector<std::string>{"ChannelExists 2 3 0", "ChannelExists 2 3 1", "ChannelExists 2 1 2"}));
    EXPECT_EQ(LogWith("GetItemList").size(), 1u);
}

TEST_F(CardFixture, InputsFollowTheDescription)
{
    StandinHardware* card = Card("outputs=3\nwave=1\nmidifxsends=1\nmonoinputs=2\nstereoinputs=3\n"
                                 "physicaloutputs=2\ninput=0 1 strip 2\ninput=2 0 plugin\n"
                                 "input=2 1 aux 1 4\ninput=2 2 output 1\ninput=3 2 main\n");
    ASSERT_NE(card, nullptr);
    IVarnInputList* inputs = card->GetInputList();
    ASSERT_NE(inputs, nullptr);
    // Host: one Wave pair, two ASIO pairs, one MIDI FX send.
    ASSERT_EQ(inputs->GetCount(0), 4);
    EXPECT_EQ(inputs->GetCount(1), 2);
    EXPECT_EQ(inputs->GetCount(2), 3);
    EXPECT_EQ(inputs->GetCount(3), 3);
    int value = -1;
    IVarnInput* wave = inputs->GetInput(0, 0);
    EXPECT_TRUE(wave->GetSubKind(&value) && value == 0);
    EXPECT_TRUE(wave->GetWavePair(&value) && value == 0);
    EXPECT_EQ(wave->GetAsioIndex(&value), 0);
    IVarnInput* asio = inputs->GetInput(0, 1);
    EXPECT_TRUE(asio->GetSubKind(&value) && value == 1);
    EXPECT_TRUE(asio->GetAsioIndex(&value) && value == 0);
    EXPECT_EQ(asio->IsAssigned(), 1);
    EXPECT_EQ(asio->GetStrip(), card->strips[2].get());
    IVarnOutput* end = nullptr;
    EXPECT_EQ(asio->GetChainEnd(&end), VarnChainEndStrip);
    IVarnInput* midi = inputs->GetInput(0, 3);
    EXPECT_TRUE(midi->GetSubKind(&value) && value == 3);
    EXPECT_TRUE(midi->GetMidiFxSend(&value) && value == 0);
    EXPECT_EQ(inputs->GetInput(0, 2)->IsAssigned(), 0);

    EXPECT_EQ(inputs->GetInput(2, 0)->IsTakenByPlugin(), 1);
    IVarnInsert* destination = inputs->GetInput(2, 1)->GetDestination();
    ASSERT_NE(destination, nullptr);
    EXPECT_EQ(destination->GetPosition(), 4);
    EXPECT_EQ(destination->GetChain()->GetAux()->GetIndex(), 1);
    EXPECT_EQ(inputs->GetInput(2, 2)->GetChainEnd(&end), VarnChainEndOutput);
    EXPECT_EQ(end, card->GetItemList()->GetPort(2, 1));
    IVarnInput* single = inputs->GetInput(3, 2);
    EXPECT_TRUE(single->GetSubKind(&value) && value == 4);
    EXPECT_TRUE(single->GetAsioIndex(&value) && value == 2);
    EXPECT_EQ(single->GetChannelCount(), 1);
    EXPECT_EQ(single->GetDestination()->GetChain()->GetBusType(), 2);
    EXPECT_EQ(inputs->GetInput(3, 3), nullptr);
    EXPECT_EQ(inputs->GetInput(4, 0), nullptr);
}

TEST_F(CardFixture, UnreadableLinesAreLoggedAndSkipped)
{
    StandinHardware* card = Card("inputs=6\n"
                                 "# a comment\n"
                                 "\n"
                                 "colour=blue\n"  // unknown name
                                 "outputs=many\n" // not a number
                                 "inputs=400\n"   // out of range
                                 "rate=7\n"
                                 "record=1 aux 16\n"
                                 "input=5 0 free\n"
                                 "irq=0x1G\n"
                                 "no equals sign\n"
                                 "features=1,x\n");
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->GetItemList()->GetChannelCount(1), 6);
    EXPECT_EQ(card->GetInputList()->GetCount(3), 8);
    EXPECT_EQ(engine_.GetMixer()->GetRateCode(), 1);
    EXPECT_EQ(card->GetItemList()->GetPort(1, 1)->GetSource()->GetBusType(), 0);
    EXPECT_EQ(card->HasFeature(HardwareFeature::kDock), 0);
    EXPECT_EQ(LogWith("skipped"), (std::vector<std::string>{
                                      "SimulatedCard.txt line 4 skipped: colour=blue",
                                      "SimulatedCard.txt line 5 skipped: outputs=many",
                                      "SimulatedCard.txt line 6 skipped: inputs=400",
                                      "SimulatedCard.txt line 7 skipped: rate=7",
                                      "SimulatedCard.txt line 8 skipped: record=1 aux 16",
                                      "SimulatedCard.txt line 9 skipped: input=5 0 free",
                                      "SimulatedCard.txt line 10 skipped: irq=0x1G",
                                      "SimulatedCard.txt line 11 skipped: no equals sign",
                                      "SimulatedCard.txt line 12 skipped: features=1,x",
                                  }));
}

TEST_F(CardFixture, ModelMasterAssignmentsAndOverridesFollowTheDescription)
{
    StandinHardware* card = Card("model=4\nsystems=2\ninputs=2\nphysicaloutputs=4\noutput=0 main\noutput=1 monitor\n"
                                 "override=2 aux 1\nauxbuses=2\n");
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(LogWith("skipped").empty());
    EXPECT_EQ(card->GetModelCode(), 4);
    EXPECT_EQ(card->IsMaster(), 1);
    EXPECT_EQ(engine_.GetMixer()->GetSystem(1)->IsMaster(), 0);
    IVarnItemList* items = card->GetItemList();
    struct Row
    {
        const char* label;
        int kind, index;
        int type;
        bool fed, overridden;
    };
    const Row rows[] = {
        {"the main mix", 2, 0, 0, true, false},
        {"the monitor mix", 2, 1, 1, true, false},
        {"taken by aux 2's send", 2, 2, 2, true, true},
        {"nothing", 2, 3, 2, false, false},
        {"an ASIO pair its strip records", 1, 0, 0, true, true},
        {"an ASIO channel nothing records", 1, 1, 2, false, false},
        {"a Wave pair", 0, 0, 2, false, false},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        IVarnOutput* port = items->GetPort(row.kind, row.index);
        ASSERT_NE(port, nullptr);
        EXPECT_EQ(port->GetType(), row.type);
        EXPECT_EQ(port->GetSource() != nullptr, row.fed);
        IVarnInsert* send = port->GetOverride();
        ASSERT_EQ(send != nullptr, row.overridden);
        EXPECT_EQ(port->QueryMixOverride(), 0);
        if (send)
        {
            EXPECT_EQ(send->GetChain(), port->GetSource());
            EXPECT_EQ(send, port->GetInsert());
        }
    }
    IVarnInsert* send = items->GetPort(2, 2)->GetOverride();
    EXPECT_EQ(send->GetKind(), InsertKind::kSend);
    EXPECT_EQ(send->GetOutputPort(), items->GetPort(2, 2));
    ASSERT_NE(send->GetChain()->GetAux(), nullptr);
    EXPECT_EQ(send->GetChain()->GetAux()->GetIndex(), 1);
    static_cast<StandinOutput*>(items->GetPort(2, 3))->mixOverride = true;
    EXPECT_EQ(items->GetPort(2, 3)->QueryMixOverride(), 1);
}

TEST_F(CardFixture, AssignmentsAnswerInTurnAndRaise400OnTheEngineThread)
{
    StandinHardware* card = Card("physicaloutputs=2\n");
    ASSERT_NE(card, nullptr);
    Recorder heard;
    engine_.AddListener(&heard);
    IVarnOutput* port = card->GetItemList()->GetPort(2, 1);
    IVarnInsertChain* mainBus = card->GetMainMix()->GetInsertChain();
    card->assignAnswers = {4, 6, 9};
    struct Row
    {
        const char* label;
        int assignment, notify;
        int answer;
        int type; // afterwards
        bool event;
    };
    const Row rows[] = {
        {"prepare first", 0, 1, 4, 2, false},
        {"maxed out", 0, 1, 6, 2, false},
        {"no room", 1, 1, 9, 2, false},
        {"the main mix", 0, 1, 1, 0, true},
        {"the monitor, quietly", 1, 0, 1, 1, false},
        {"none", 2, 1, 1, 2, true},
        {"no such assignment", 3, 1, 0, 2, false},
        {"nor this", -1, 1, 0, 2, false},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        const size_t before = heard.events.size();
        EXPECT_EQ(port->Assign(row.assignment, row.notify), row.answer);
        engine_.WaitForEvents();
        EXPECT_EQ(port->GetType(), row.type);
        EXPECT_EQ(port->GetSource(), row.type == 2 ? nullptr : mainBus);
        ASSERT_EQ(heard.events.size(), before + (row.event ? 1 : 0));
        if (row.event)
        {
            EXPECT_EQ(heard.events.back(), std::make_pair(400, reinterpret_cast<VarnEventArg>(port)));
            EXPECT_EQ(heard.threads.back(), engine_.GetEngineThreadId());
        }
    }
    EXPECT_EQ(LogWith("Assign").size(), 8u);
    EXPECT_EQ(LogWith("Assign").front(), "Assign 2 1 0 1");
    EXPECT_EQ(LogWith("Assign").back(), "Assign 2 1 -1 1");
    engine_.RemoveListener(&heard);
}

#ifdef KIV_SIMULATED_CARD
TEST(SimulatedCardTest, TheShippedDescriptionReadsWhole)
{
    HardwareProfile profile = HardwareProfile::Read(KIV_SIMULATED_CARD);
    EXPECT_TRUE(profile.present);
    EXPECT_EQ(profile.problems, std::vector<std::string>{});
    EXPECT_EQ(profile.inputs, 8);
    EXPECT_EQ(profile.stripNames.at(0), u"Vocals");
    EXPECT_EQ(profile.records.at(3).kind, HardwareProfile::Link::Aux);
}
#endif

TEST_F(CardFixture, EachRegisteredClientGetsAPairOfItsOwn)
{
    // Six channels each way: three pairs to give out.
    WriteProfile("inputs=6\noutputs=6\n");
    ASSERT_EQ(Init(engine_), 1);
    IVarnAutomation* automation = engine_.GetAutomation();
    StandinAutomation::SendReturnRecord record{};
    int send = -1, ret = -1;
    EXPECT_EQ(automation->AcquireSendReturn(9, &record, &send, &ret), 0) << "an unknown client";
    EXPECT_EQ(send, -1);
    int clients[4] = {};
    for (int& client : clients)
        ASSERT_EQ(automation->RegisterClient(&client), 1);
    int pairs[3] = {};
    for (int i = 0; i < 3; ++i)
    {
        ASSERT_EQ(automation->AcquireSendReturn(clients[i], &record, &send, &ret), 1) << i;
        EXPECT_EQ(send, ret) << "the card loops each pair back to itself";
        EXPECT_EQ(record.sendPair, send);
        EXPECT_EQ(record.clientId, clients[i]);
        pairs[i] = send;
    }
    EXPECT_EQ(std::set<int>(pairs, pairs + 3), (std::set<int>{0, 1, 2}));
    ASSERT_EQ(automation->AcquireSendReturn(clients[1], &record, &send, &ret), 1) << "asking again keeps the pair";
    EXPECT_EQ(send, pairs[1]);
    send = ret = -1;
    EXPECT_EQ(automation->AcquireSendReturn(clients[3], &record, &send, &ret), 0) << "none free";
    EXPECT_EQ(send, -1);
    EXPECT_EQ(automation->ReleaseSendReturn(clients[0]), 1);
    EXPECT_EQ(automation->ReleaseSendReturn(clients[0]), 0) << "given back once";
    ASSERT_EQ(automation->AcquireSendReturn(clients[3], &record, &send, &ret), 1);
    EXPECT_EQ(send, pairs[0]) << "the freed pair";
    EXPECT_EQ(automation->UnregisterClient(clients[2]), 1);
    ASSERT_EQ(automation->AcquireSendReturn(clients[0], &record, &send, &ret), 1) << "unregistering frees the pair";
    EXPECT_EQ(send, pairs[2]);
    // Who holds a pair can be told from the log alone, refusals included.
    std::vector<std::string> holding;
    for (const std::string& entry : engine_.GetCallLog())
        if (entry.find("SendReturn") != std::string::npos || entry.find("egisterClient") != std::string::npos)
            holding.push_back(entry);
    const auto c = [&](int i) { return std::to_string(clients[i]); };
    const auto p = [&](int i) { return std::to_string(pairs[i]); };
    EXPECT_EQ(holding,
              (std::vector<std::string>{
                  "RegisterClient " + c(0), "RegisterClient " + c(1), "RegisterClient " + c(2),
                  "RegisterClient " + c(3), "AcquireSendReturn " + c(0) + " " + p(0),
                  "AcquireSendReturn " + c(1) + " " + p(1), "AcquireSendReturn " + c(2) + " " + p(2),
                  "AcquireSendReturn " + c(1) + " " + p(1), "AcquireSendReturn " + c(3) + " refused: every pair taken",
                  "ReleaseSendReturn " + c(0), "AcquireSendReturn " + c(3) + " " + p(0), "UnregisterClient " + c(2),
                  "AcquireSendReturn " + c(0) + " " + p(2)}));

    // The clients' (empty) insert chains refresh at once; an unknown client is refused.
    int flag = 0;
    EXPECT_EQ(automation->RefreshInserts(clients[0], &flag), 1);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(automation->RefreshInserts(clients[2], &flag), 0) << "unregistered";
    EXPECT_EQ(automation->SetInsertChainFlag(clients[0], 0), 1);
    EXPECT_EQ(automation->SetInsertChainFlag(clients[2], 1), 0);
}

TEST_F(CardFixture, EnablingThePhysicalChannelsKeepsOrClearsTheFlag)
{
    for (const char* mode : {"keep", "clear"})
    {
        SCOPED_TRACE(mode);
        StandinServices engine;
        WriteProfile(std::string("category2=") + mode + "\n");
        ASSERT_EQ(Init(engine), 1);
        int flag = 1;
        EXPECT_EQ(engine.GetAutomation()->EnableCategory2Items(7, &flag), 1);
        EXPECT_EQ(flag, std::string(mode) == "keep" ? 1 : 0);
        EXPECT_EQ(engine.GetAutomation()->EnableCategory2Items(7, nullptr), 0);
        std::vector<std::string> log = engine.GetCallLog();
        EXPECT_EQ(std::count(log.begin(), log.end(), "EnableCategory2Items 7 " + std::string(mode)), 2);
    }
}

TEST_F(EngineFixture, LoadResultsSayWhatTheSessionWas)
{
    WriteProfile("systems=1\nrate=1\nrates=0,1,2,4\n");
    struct Case
    {
        const char* name;
        const char* text;
        int code;
        bool replaced;
        bool adequate;
    } cases[] = {
        {"ours", "KivCorvanSession 2\nrate=0\nsystems=1\n", VarnLoadDone, true, true},
        {"older format", "KivCorvanSession 1\nrate=1\n", VarnLoadOlder, true, true},
        {"newer format", "KivCorvanSession 3\nrate=1\n", VarnLoadNewer, false, true},
        {"not a session", "hello\n", VarnLoadUnreadable, false, true},
        {"a rate the card lacks", "KivCorvanSession 2\nrate=3\n", VarnLoadRateMissing, false, true},
        {"more systems", "KivCorvanSession 2\nrate=2\nsystems=2\n", VarnLoadMoreSystems, true, false},
    };
    for (const Case& c : cases)
    {
        StandinServices engine;
        ASSERT_EQ(Init(engine), 1);
        IVarnMixer* before = engine.GetMixer();
        const fs::path file = sessions() / (std::string(c.name) + ".session");
        WriteFile(file, c.text);
        EXPECT_EQ(engine.LoadSession(file.u16string().c_str(), 0), c.code) << c.name;
        EXPECT_EQ(engine.GetMixer() != before, c.replaced) << c.name;
        EXPECT_EQ(engine.GetMixer()->IsHardwareAdequate(), c.adequate ? 1 : 0) << c.name;
        if (c.replaced)
        {
            EXPECT_EQ(std::u16string(engine.GetMixer()->GetSessionName()), file.filename().u16string()) << c.name;
            EXPECT_EQ(engine.GetMixer()->GetHardwareRateCode(), 1) << c.name << ": the card's rate stays";
        }
    }
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    EXPECT_EQ(engine.LoadSession(nullptr, 0), VarnLoadUnreadable);
    EXPECT_EQ(engine.CreateEmptySession(nullptr, nullptr, 0), VarnLoadUnreadable);
    EXPECT_EQ(engine.CreateSessionFromTemplate(nullptr, u"", 0), VarnLoadUnreadable);
    EXPECT_EQ(engine.SaveSession(u"", 0, 1), 0);
}

TEST_F(EngineFixture, ASavedSessionStaysTheSessionAfterARestart)
{
    WriteProfile("systems=1\n");
    const fs::path mine = sessions() / "Mine.session";
    {
        StandinServices engine;
        ASSERT_EQ(Init(engine), 1);
        ASSERT_EQ(engine.SaveSession(mine.u16string().c_str(), 0, 1), 1);
        EXPECT_EQ(std::u16string(engine.GetMixer()->GetSessionName()), u"Mine.session");
        ASSERT_EQ(engine.SaveSession(nullptr, 0, 1), 1);
    }
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    char16_t path[400] = {};
    ASSERT_EQ(engine.GetSessionPath(path, 399, 0), 1);
    EXPECT_EQ(std::u16string(path), mine.u16string());
    EXPECT_EQ(std::u16string(engine.GetMixer()->GetSessionName()), u"Mine.session");

    // A save that fails keeps the session where it was.
    const fs::path nowhere = sessions() / "missing folder" / "X.session";
    EXPECT_EQ(engine.SaveSession(nowhere.u16string().c_str(), 0, 1), 0);
    ASSERT_EQ(engine.GetSessionPath(path, 399, 0), 1);
    EXPECT_EQ(std::u16string(path), mine.u16string());
    EXPECT_EQ(std::u16string(engine.GetMixer()->GetSessionName()), u"Mine.session");
}

TEST_F(EngineFixture, TheRateOfAFileIsACodeOrSix)
{
    WriteProfile("systems=1\n");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    const struct
    {
        const char* text;
        int rate;
    } cases[] = {{"KivCorvanSession 2\nrate=4\n", 4},
                 {"KivCorvanSession 2\nrate=9\n", 6},
                 {"KivCorvanSession 2\nrate=-1\n", 6},
                 {"KivCorvanSession 2\n", 6},
                 {"junk\nrate=1\n", 6}};
    for (const auto& c : cases)
    {
        const fs::path file = sessions() / "rate.session";
        WriteFile(file, c.text);
        int rate = 0;
        EXPECT_EQ(engine.GetFileRate(file.u16string().c_str(), &rate), c.rate != 6 ? 1 : 0) << c.text;
        EXPECT_EQ(rate, c.rate) << c.text;
    }
}
} // namespace

TEST_F(CardFixture, LibraryEditsGoToTheLogWithTheirAnswers)
{
    WriteProfile("inputs=6\noutputs=6\n");
    ASSERT_EQ(Init(engine_), 1);
    IVarnAutomation* automation = engine_.GetAutomation();
    EXPECT_EQ(automation->CreatePresetCategory(u"Mine"), 1);
    EXPECT_EQ(automation->CreatePresetCategory(u"Mine"), 0) << "taken";
    EXPECT_EQ(automation->RenamePresetCategory(u"Mine", u"Caf\u00e9"), 1);
    EXPECT_EQ(automation->DeletePresetCategory(u"Nowhere"), 0);
    std::vector<std::string> edits;
    for (const std::string& entry : engine_.GetCallLog())
        if (entry.find("PresetCategory") != std::string::npos)
            edits.push_back(entry);
    EXPECT_EQ(edits, (std::vector<std::string>{"CreatePresetCategory Mine", "CreatePresetCategory Mine refused",
                                               "RenamePresetCategory Mine Caf\xc3\xa9",
                                               "DeletePresetCategory Nowhere refused"}));
}

TEST_F(EngineFixture, CardLinesGiveRatesSourcesAndFirmware)
{
    WriteProfile("systems=1\nrates=1,0\nsyncsources=5,2\nfirmware=pcicard 2.1.7\nfirmware=sync 9\nrates=7\n");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    IVarnHardware* hardware = engine.GetMixer()->GetHardware();
    VarnCodeList list = {};
    ASSERT_EQ(hardware->GetRates(0, &list), 1);
    EXPECT_EQ(std::vector<int>(list.codes, list.codes + list.count), (std::vector<int>{1, 0}));
    EXPECT_EQ(hardware->GetRates(1, &list), 0);
    ASSERT_EQ(hardware->GetSettings()->GetSyncSources(&list), 1);
    EXPECT_EQ(std::vector<int>(list.codes, list.codes + list.count), (std::vector<int>{5, 2}));
    char16_t text[256] = {};
    ASSERT_EQ(hardware->GetSettings()->GetText("pcicard_firmware_version", text, 256), 1);
    EXPECT_EQ(std::u16string(text), u"2.1.7");
    EXPECT_EQ(hardware->GetSettings()->GetText("pcicard_firmware_version", text, 5), 0) << "does not fit";
    EXPECT_EQ(hardware->GetSettings()->GetText("dock_firmware_version", text, 256), 0);
    const std::vector<std::string> log = engine.GetCallLog();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& entry) { return entry.find("skipped") != std::string::npos; }),
              2)
        << "an unknown part and a rate outside 0-5";
}

TEST_F(EngineFixture, TemplatesForEveryRateAndModelMakeSessions)
{
    WriteProfile("systems=1\nrates=0,1,2,4\n");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    EXPECT_EQ(engine.GetTemplateCount(), 0) << "until prepared";
    ASSERT_EQ(engine.PrepareTemplates(), 1);
    ASSERT_EQ(engine.GetTemplateCount(), 42);
    std::set<std::pair<int, std::u16string>> seen;
    VarnTemplateRecord record = {};
    for (int i = 0; i < engine.GetTemplateCount(); ++i)
    {
        ASSERT_EQ(engine.GetTemplate(i, &record), 1);
        EXPECT_TRUE(fs::exists(fs::path(std::u16string(record.file)))) << i;
        EXPECT_GT(std::u16string(record.summary).size(), 0u);
        seen.insert({record.rateCode, record.name});
    }
    EXPECT_EQ(seen.count({3, u"(192) Default"}), 1u);
    EXPECT_EQ(seen.count({4, u"Live Set (Quellin)"}), 1u);
    EXPECT_EQ(engine.GetTemplate(42, &record), 0);
    EXPECT_EQ(engine.GetTemplate(0, nullptr), 0);

    for (int i = 0; i < engine.GetTemplateCount(); ++i)
    {
        engine.GetTemplate(i, &record);
        if (record.rateCode != 2 && record.rateCode != 3)
            continue;
        IVarnMixer* before = engine.GetMixer();
        const int result = engine.CreateSessionFromTemplate(&record, u"/x/Made.session", 0);
        if (record.rateCode == 2)
        {
            EXPECT_EQ(result, VarnLoadDone);
            EXPECT_EQ(engine.GetMixer()->GetRateCode(), 2);
        }
        else
        {
            EXPECT_EQ(result, VarnLoadRateMissing) << "the card has no 192 kHz";
            EXPECT_EQ(engine.GetMixer(), before);
        }
    }
}

namespace
{
// A client with one Reverb whose "Taps" (parameter 7, discrete) is taps.
int ReverbClient(StandinServices& engine, int taps)
{
    IVarnAutomation* automation = engine.GetAutomation();
    int client = 0;
    if (automation->RegisterClient(&client) != 1)
        return -1;
    unsigned char info[64] = {};
    VarnCoreEffectRecord reverb{};
    for (int i = 0; engine.GetFxLibrary()->GetCoreEffectInfo(i, &reverb) && std::u16string(reverb.name) != u"Reverb";)
        ++i;
    if (automation->SetInsertEffect(reverb.id, client, 0, info, 0) != 1 ||
        automation->SetParameterValue(client, 0, 7, 3, taps) != 1)
        return -1;
    return client;
}

bool Logged(StandinServices& engine, const std::string& part)
{
    const std::vector<std::string> log = engine.GetCallLog();
    return std::any_of(log.begin(), log.end(),
                       [&](const std::string& entry) { return entry.find(part) != std::string::npos; });
}
} // namespace

TEST_F(EngineFixture, UserPresetsAndCategoriesAreFilesOfTheLibraryThatOutliveTheEngine)
{
    WriteProfile("systems=1\n");
    const fs::path presets = program() / "Effect Presets";
    fs::create_directories(presets / "Drums");
    VarnEffectId kickId{};
    {
        StandinServices engine;
        ASSERT_EQ(Init(engine), 1);
        IVarnAutomation* automation = engine.GetAutomation();
        const int client = ReverbClient(engine, 7);
        ASSERT_GE(client, 0);
        const int positions[] = {0};
        ASSERT_EQ(automation->CreatePreset(client, u"Drums", u"Lead", 1, positions), 1);
        EXPECT_TRUE(fs::is_regular_file(presets / "Drums" / "Lead.kivpreset"));
        ASSERT_EQ(automation->CreatePreset(client, u"Drums", u"Snare", 1, positions), 1);
        IVarnFxLibrary* library = engine.GetFxLibrary();
        const int drums = library->FindCategory(u"Drums", 0);
        ASSERT_GE(drums, 0);
        VarnPresetRecord lead{}, snare{};
        ASSERT_EQ(library->GetPresetInfo(drums, 0, &lead), 1);
        ASSERT_EQ(library->GetPresetInfo(drums, 1, &snare), 1);
        ASSERT_EQ(library->RenamePreset(&lead, u"Kick", 1), 1);
        EXPECT_FALSE(fs::exists(presets / "Drums" / "Lead.kivpreset")) << "the rename moves the file";
        EXPECT_TRUE(fs::is_regular_file(presets / "Drums" / "Kick.kivpreset"));
        ASSERT_EQ(library->DeletePreset(&snare, 1), 1);
        EXPECT_FALSE(fs::exists(presets / "Drums" / "Snare.kivpreset"));
        kickId = lead.id;
        // KivQuorvel's category edits act on the folders as the palette's do.
        ASSERT_EQ(automation->CreatePresetCategory(u"Keys"), 1);
        EXPECT_TRUE(fs::is_directory(presets / "Keys"));
        ASSERT_EQ(automation->RenamePresetCategory(u"Keys", u"Piano"), 1);
        EXPECT_TRUE(fs::is_directory(presets / "Piano"));
        EXPECT_FALSE(fs::exists(presets / "Keys"));
    }
    // Damaged files beside the good one: skipped and logged, never deleted.
    const std::pair<const char*, const char*> damaged[] = {
        {"Broken.kivpreset", "not a preset\n"},
        {"NoEffects.kivpreset", "KivCorvanPreset 1\nid 4b495650 00000001 00000009 00000000\n"},
        {"BadValues.kivpreset", "KivCorvanPreset 1\nid 4b495650 00000001 0000000a 00000000\n"
                                "effect 4b495645 00000001 00000000 00000000 3 1 2\n"},
    };
    for (const auto& [name, text] : damaged)
        WriteFile(presets / "Drums" / name, text);
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    IVarnFxLibrary* library = engine.GetFxLibrary();
    const int drums = library->FindCategory(u"Drums", 0);
    ASSERT_GE(drums, 0);
    ASSERT_EQ(library->GetPresetCount(drums), 1);
    VarnPresetRecord kick{};
    ASSERT_EQ(library->GetPresetInfo(drums, 0, &kick), 1);
    EXPECT_EQ(std::u16string(kick.name), u"Kick");
    EXPECT_EQ(std::memcmp(&kick.id, &kickId, sizeof(kickId)), 0) << "the preset keeps its id";
    EXPECT_EQ(kick.factory, 0);
    ASSERT_EQ(kick.effectCount, 1);
    char16_t name[256] = {};
    ASSERT_EQ(library->GetEffectName(&kick.effects[0], name, 256), 1);
    EXPECT_EQ(std::u16string(name), u"Reverb");
    EXPECT_GE(library->FindCategory(u"Piano", 0), 0);
    for (const auto& [file, text] : damaged)
    {
        SCOPED_TRACE(file);
        EXPECT_TRUE(fs::exists(presets / "Drums" / file));
        EXPECT_TRUE(Logged(engine, std::string("library preset file skipped ")));
        EXPECT_TRUE(Logged(engine, file));
    }
    // Its values come back with it, and a new preset gets an id of its own.
    IVarnAutomation* automation = engine.GetAutomation();
    const int client = ReverbClient(engine, 1);
    ASSERT_GE(client, 0);
    unsigned char info[64] = {};
    ASSERT_EQ(automation->LoadPresetIntoInsert(kick.id, client, 0, info), 1);
    StandinValue taps{};
    ASSERT_EQ(automation->GetParameterValue(client, 0, 7, &taps), 1);
    EXPECT_EQ(taps.value, 7);
    const int positions[] = {0};
    ASSERT_EQ(automation->CreatePreset(client, u"Drums", u"Tom", 1, positions), 1);
    VarnPresetRecord tom{};
    ASSERT_EQ(library->GetPresetInfo(drums, 1, &tom), 1);
    EXPECT_NE(std::memcmp(&tom.id, &kick.id, sizeof(kick.id)), 0);
}

TEST_F(EngineFixture, AnImportedCategoryBringsItsPresetFilesIntoTheCatalogue)
{
    WriteProfile("systems=1\n");
    // An export made by another library: its preset's id is one this library already uses.
    const fs::path exported = root_ / "export" / "Effect Presets";
    fs::create_directories(exported / "Strings");
    fs::create_directories(program() / "Effect Presets" / "Drums");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    const int client = ReverbClient(engine, 4);
    ASSERT_GE(client, 0);
    const int positions[] = {0};
    ASSERT_EQ(engine.GetAutomation()->CreatePreset(client, u"Drums", u"Kick", 1, positions), 1);
    fs::copy_file(program() / "Effect Presets" / "Drums" / "Kick.kivpreset", exported / "Strings" / "Pad.kivpreset");
    IVarnFxLibrary* library = engine.GetFxLibrary();
    ASSERT_EQ(library->ImportCategory(exported.u16string().c_str(), u"Strings"), 1);
    const int strings = library->FindCategory(u"Strings", 0);
    ASSERT_GE(strings, 0);
    ASSERT_EQ(library->GetPresetCount(strings), 1);
    VarnPresetRecord pad{}, kick{};
    ASSERT_EQ(library->GetPresetInfo(strings, 0, &pad), 1);
    ASSERT_EQ(library->GetPresetInfo(library->FindCategory(u"Drums", 0), 0, &kick), 1);
    EXPECT_EQ(std::u16string(pad.name), u"Pad");
    EXPECT_NE(std::memcmp(&pad.id, &kick.id, sizeof(kick.id)), 0) << "a taken id is replaced";
    // Reading the folders again adds nothing twice.
    ASSERT_EQ(library->LoadCategories(), 1);
    EXPECT_EQ(library->GetPresetCount(strings), 1);
}

TEST_F(EngineFixture, AClientsChainEditsAreLoggedWithTheirAnswer)
{
    WriteProfile("systems=1\n");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    IVarnAutomation* automation = engine.GetAutomation();
    const int client = ReverbClient(engine, 2);
    ASSERT_GE(client, 0);
    const std::string id = [&] {
        VarnCoreEffectRecord reverb{};
        for (int i = 0;
             engine.GetFxLibrary()->GetCoreEffectInfo(i, &reverb) && std::u16string(reverb.name) != u"Reverb";)
            ++i;
        char text[40];
        std::snprintf(text, sizeof text, "%08x%08x%08x%08x", static_cast<unsigned>(reverb.id.data[0]),
                      static_cast<unsigned>(reverb.id.data[1]), static_cast<unsigned>(reverb.id.data[2]),
                      static_cast<unsigned>(reverb.id.data[3]));
        return std::string(text);
    }();
    unsigned char info[64] = {};
    const std::string c = std::to_string(client);
    struct Call
    {
        std::function<int()> call;
        int result;
        std::string logged;
    } calls[] = {
        {[&] { return automation->SetSpecialInsert(2, client, 1, info, 1); }, 1, "SetSpecialInsert " + c + " 1 2"},
        {[&] { return automation->SetSpecialInsert(2, client, 5, info, 1); }, 0,
         "SetSpecialInsert " + c + " 5 2 refused"},
        {[&] { return automation->SetInsertBypass(client, 0, 1); }, 1, "SetInsertBypass " + c + " 0 1"},
        {[&] { return automation->SetInsertSolo(client, 0, 1); }, 1, "SetInsertSolo " + c + " 0 1"},
        {[&] { return automation->SetInsertSolo(client, 7, 1); }, 0, "SetInsertSolo " + c + " 7 1 refused"},
        {[&] { return automation->SetAllInsertsBypass(client, 0); }, 1, "SetAllInsertsBypass " + c + " 0"},
        {[&] { return automation->SelectPreset(client, 0, 1); }, 1, "SelectPreset " + c + " 0 1"},
        {[&] { return automation->SelectPreset(client, 0, 9); }, 0, "SelectPreset " + c + " 0 9 refused"},
        {[&] { return automation->ApplyPresetById(client, 0, 0); }, 0, "ApplyPresetById " + c + " 0 0 refused"},
        {[&] { return automation->MoveInsert(client, 1, 0); }, 1, "MoveInsert " + c + " 1 0"},
        {[&] { return automation->RemoveInsert(client, 0); }, 1, "RemoveInsert " + c + " 0"},
        {[&] { return automation->RemoveInsert(client, 3); }, 0, "RemoveInsert " + c + " 3 refused"},
    };
    for (const Call& call : calls)
    {
        SCOPED_TRACE(call.logged);
        EXPECT_EQ(call.call(), call.result);
        EXPECT_EQ(engine.GetCallLog().back(), call.logged);
    }
    // The first insert was logged as it was placed.
    EXPECT_TRUE(Logged(engine, "SetInsertEffect " + c + " 0 " + id));
    EXPECT_EQ(automation->GetEffectCatalog(nullptr, nullptr), 0);
    EXPECT_EQ(engine.GetCallLog().back(), "RemoveInsert " + c + " 3 refused") << "reads are not logged";
}

TEST_F(EngineFixture, ThePalettesLibraryEditsAreTheChangesKivQuorvelReads)
{
    // The mixer's palette edits through the library face, KivQuorvel reads each change through
    // the automation face when its event arrives: one library behind both.
    WriteProfile("systems=1\n");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    IVarnFxLibrary* library = engine.GetFxLibrary();
    IVarnAutomation* automation = engine.GetAutomation();
    struct Case
    {
        const char* label;
        std::function<int()> edit;
        int kind;
        std::u16string category;
        std::u16string detail; // a category's new name
    };
    const Case cases[] = {
        {"created", [&] { return library->CreateCategory(u"Keys", 1); }, 0, u"Keys", u""},
        {"renamed", [&] { return library->RenameCategory(u"Keys", u"Piano", 1); }, 2, u"Keys", u"Piano"},
        {"deleted", [&] { return library->DeleteCategory(u"Piano", 1); }, 1, u"Piano", u""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        ASSERT_EQ(c.edit(), 1);
        StandinPresetChange change{};
        ASSERT_EQ(automation->GetPresetChange(&change), 1);
        EXPECT_EQ(change.kind, c.kind);
        EXPECT_EQ(std::u16string(change.category), c.category);
        char16_t detail[128] = {};
        std::memcpy(detail, change.detail, sizeof(detail) - sizeof(char16_t));
        EXPECT_EQ(std::u16string(detail), c.detail);
    }
}

TEST_F(CardFixture, TheSyncCardKeepsItsValuesAcrossSessionsAndLogsEachCall)
{
    ASSERT_NE(Card("systems=1\nfeatures=0,3\n"), nullptr);
    IVarnSync* sync = engine_.GetMixer()->GetSync();
    ASSERT_NE(sync, nullptr);
    EXPECT_EQ(sync->SetValue("FlyJamChoice", 2, 0, 1), 1);
    EXPECT_EQ(sync->SetText("SMPTEStartTime", u"01:02:03:04", 0, 1), 1);
    const std::uint8_t bytes[4] = {1, 2, 3, 4};
    EXPECT_EQ(sync->SetRawParameter(15, 4, bytes, 1), 1);
    EXPECT_EQ(sync->StartStriping(), 1);
    EXPECT_EQ(sync->TerminationOn(), 1);
    EXPECT_EQ(sync->SetOutputLevel(1), 1);
    // Bad input answers 0 and changes nothing.
    EXPECT_EQ(sync->SetRawParameter(8, 0, bytes, 1), 0);
    EXPECT_EQ(sync->SetRawParameter(8, StandinSync::kMaxRawBytes + 1, bytes, 1), 0);
    EXPECT_EQ(sync->SetRawParameter(8, 1, nullptr, 1), 0);
    EXPECT_EQ(sync->SetValue(nullptr, 1, 0, 1), 0);
    EXPECT_EQ(sync->SetText("FlyJam", nullptr, 0, 1), 0);
    EXPECT_EQ(sync->SetOutputLevel(2), 0);
    char16_t small[4] = {};
    EXPECT_EQ(sync->GetText("SMPTEStartTime", small, 4), 0) << "a text that does not fit is not cut";
    EXPECT_EQ(LogWith("Sync "),
              (std::vector<std::string>{"Sync SetValue FlyJamChoice=2", "Sync SetText SMPTEStartTime=01:02:03:04",
                                        "Sync SetRawParameter 15 1 2 3 4 notify 1", "Sync StartStriping",
                                        "Sync TerminationOn", "Sync SetOutputLevel 1"}));

    // A new session changes the model, not the card: what the panel holds still answers.
    ASSERT_EQ(engine_.CreateEmptySession(nullptr, u"/x/Empty.session", 0), 1);
    EXPECT_EQ(engine_.GetMixer()->GetSync(), sync);
    int value = 0;
    EXPECT_EQ(sync->GetValue("FlyJamChoice", &value), 1);
    EXPECT_EQ(value, 2);
    char16_t text[256] = {};
    EXPECT_EQ(sync->GetText("SMPTEStartTime", text, 256), 1);
    EXPECT_EQ(std::u16string(text), u"01:02:03:04");
    EXPECT_EQ(sync->GetValue("missing", &value), 0);
}

TEST_F(CardFixture, NoSyncCardNoSyncObject)
{
    ASSERT_NE(Card("systems=1\nfeatures=0,1\n"), nullptr);
    EXPECT_EQ(engine_.GetMixer()->GetSync(), nullptr);
}
