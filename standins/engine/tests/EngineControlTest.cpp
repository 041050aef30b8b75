// The engine's control channel (requests from outside its process), the card description's
// features and settings, and the call log's view of which thread called.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "standins/engine/EngineControl.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/ScratchFolder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace
{
class Heard : public IVarnListener
{
public:
    int VARN_CALL OnEngineEvent(int id, VarnEventArg argument) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        events.emplace_back(id, argument);
        if (id == 54 && argument)
        {
            const auto* bytes = reinterpret_cast<const unsigned char*>(argument);
            timeCode.assign(bytes, bytes + 5);
            record = bytes;
        }
        if (engine)
            engine->SetModified(1); // a listener that calls back, as a faulty program would
        return 1;
    }
    std::mutex mutex;
    std::vector<std::pair<int, VarnEventArg>> events;
    std::vector<unsigned char> timeCode;
    const unsigned char* record = nullptr;
    StandinServices* engine = nullptr; // borrowed
};

class ControlFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(scratch_.Path());
        Describe("systems=1\n");
    }
    void Describe(const std::string& text) { std::ofstream(scratch_.Path() / "SimulatedCard.txt") << text; }
    int Init(StandinServices& engine)
    {
        const std::u16string folder = scratch_.Path().u16string();
        return engine.Init(folder.c_str(), folder.c_str(), folder.c_str());
    }
    static std::vector<std::string> LogWith(StandinServices& engine, const std::string& text)
    {
        std::vector<std::string> found;
        for (const std::string& entry : engine.GetCallLog())
        {
            if (entry.find(text) != std::string::npos)
                found.push_back(entry);
        }
        return found;
    }

    // A hardware setting of the engine's first system; -1 when it has none.
    static int SettingOf(StandinServices& engine, const char* name)
    {
        int value = -1;
        engine.GetMixer()->GetSystem(0)->GetSettings()->GetValue(name, &value);
        return value;
    }

    ScratchFolder scratch_{"kiv-engine-control"};
};

TEST_F(ControlFixture, RequestsRaiseEventsAndBadOnesAreRefusedAndLogged)
{
    StandinServices engine;
    Heard heard;
    engine.AddListener(&heard);
    struct Case
    {
        std::string request;
        std::string reply;
        std::vector<std::pair<int, VarnEventArg>> raised;
    } cases[] = {
        {"raise 51", "ok", {{51, 0}}},
        {"raise 907 -3", "ok", {{907, -3}}},
        {"  raise   1200   2147483647 ", "ok", {{1200, 2147483647}}},
        {"raise 1 -2147483648", "ok", {{1, -2147483647 - 1}}},
        {"raise", "refused: no event id", {}},
        {"raise -1 0", "refused: no event id", {}},
        {"raise 2147483648", "refused: no event id", {}},
        {"raise 51 2147483648", "refused: bad argument", {}},
        {"raise 51 7 8", "refused: bad argument", {}},
        {"raise 51 0x10", "refused: bad argument", {}},
        {"raise 54 time 1 2 3 4", "refused: bad argument", {}},
        {"raise 54 time 1 2 3 4 256", "refused: bad time code", {}},
        {"lower 51", "refused: unknown request", {}},
        {"", "refused: unknown request", {}},
        {"raise 51\n", "refused: not printable text", {}},
        {std::string("raise 5\0 1", 10), "refused: not printable text", {}},
        {"raise 51 " + std::string(300, '1'), "refused: too long", {}},
    };
    for (const Case& c : cases)
    {
        const size_t before = heard.events.size();
        EXPECT_EQ(engine.Control(c.request), c.reply) << c.request;
        engine.WaitForEvents();
        std::vector<std::pair<int, VarnEventArg>> raised(heard.events.begin() + before, heard.events.end());
        EXPECT_EQ(raised, c.raised) << c.request;
    }
    // Each refusal is in the call log, cut short and readable.
    const std::vector<std::string> refused = LogWith(engine, "Control refused");
    ASSERT_EQ(refused.size(), 13u);
    EXPECT_EQ(refused[0], "Control refused (no event id): raise");
    EXPECT_EQ(refused[10], "Control refused (not printable text): raise 51?");
    EXPECT_EQ(refused[12], "Control refused (too long): raise 51 " + std::string(55, '1'));
    EXPECT_EQ(LogWith(engine, "Control raise 907"), std::vector<std::string>{"Control raise 907 -3"});
}

TEST_F(ControlFixture, LogRequestGivesTheCallLog)
{
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    engine.SetModified(1);
    const std::string log = engine.Control("log");
    EXPECT_EQ(log.rfind("CreateVarnServices\nInit ", 0), 0u) << log;
    EXPECT_NE(log.find("\nSetModified 1\n"), std::string::npos) << log;
    EXPECT_EQ(engine.Control("log 2"), "refused: unknown request");
}

TEST_F(ControlFixture, TimeCodeStaysReadableUntilHeardAndIsThenOverwritten)
{
    StandinServices engine;
    Heard heard;
    engine.AddListener(&heard);
    EXPECT_EQ(engine.Control("raise 54 time 1 2 3 4 250"), "ok");
    EXPECT_EQ(engine.Control("raise 54 time 9 8 7 6 5"), "ok");
    engine.WaitForEvents();
    ASSERT_EQ(heard.events.size(), 2u);
    // The listener saw the second code while it was called; once heard, the card has written
    // over its record (a program that reads it later sees no time code), yet the record stays.
    EXPECT_EQ(heard.timeCode, (std::vector<unsigned char>{9, 8, 7, 6, 5}));
    EXPECT_NE(heard.events[0].second, heard.events[1].second);
    EXPECT_EQ(std::vector<unsigned char>(heard.record, heard.record + 5), std::vector<unsigned char>(5, 0xFF));
}

TEST_F(ControlFixture, CallsFromInsideAListenerAreMarkedInTheLog)
{
    StandinServices engine;
    Heard heard;
    heard.engine = &engine;
    engine.AddListener(&heard);
    engine.SetModified(0);
    engine.RaiseEvent(13, 0);
    engine.WaitForEvents();
    EXPECT_EQ(LogWith(engine, "SetModified"),
              (std::vector<std::string>{"SetModified 0", "SetModified 1 (engine thread)"}));
}

TEST_F(ControlFixture, CardDescriptionGivesFeaturesAndStartingSettings)
{
    struct Case
    {
        const char* description;
        std::vector<int> features; // of 0-11
        int midiInput2Src;         // -1: missing
    } cases[] = {
        {"features=0,1,2,3\nsetting=MidiInput2Src 1\n", {0, 1, 2, 3}, 1},
        {"features=0,9,10\nsetting=MidiInput2Src 0\n", {0, 9, 10}, 0},
        {"features=4,11\n", {4, 11}, -1},
        {"features=\nsetting=MidiInput2Src -1\nsetting=MidiInput2Src 1 2\nsetting=MidiInput2Src x\n", {}, -1},
    };
    for (const Case& c : cases)
    {
        Describe(std::string("systems=2\n") + c.description);
        StandinServices engine;
        ASSERT_EQ(Init(engine), 1) << c.description;
        for (int system = 0; system < 2; ++system)
        {
            IVarnHardware* hardware = engine.GetMixer()->GetSystem(system);
            for (int feature = 0; feature <= 11; ++feature)
            {
                const bool expected = std::find(c.features.begin(), c.features.end(), feature) != c.features.end();
                EXPECT_EQ(hardware->HasFeature(feature), expected ? 1 : 0) << c.description << feature;
            }
            int value = -1;
            hardware->GetSettings()->GetValue("MidiInput2Src", &value);
            EXPECT_EQ(value, c.midiInput2Src) << c.description;
        }
    }
    // The two lines that do not read are skipped and logged.
    Describe("setting=MidiInput2Src\nsetting=A 1 2\n");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    EXPECT_EQ(LogWith(engine, "skipped").size(), 2u);
}

TEST_F(ControlFixture, ASessionsOwnSettingReplacesTheCardsAndANewSessionStartsFromTheCard)
{
    Describe("systems=1\nsetting=MidiInput2Src 0\n");
    const fs::path session = scratch_.Path() / "Mine.session";
    std::ofstream(session) << "KivCorvanSession 2\nsystems=1\nsetting 0 MidiInput2Src=1\n";
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    auto value = [&] { return SettingOf(engine, "MidiInput2Src"); };
    EXPECT_EQ(value(), 0);
    ASSERT_EQ(engine.LoadSession(session.u16string().c_str(), 0), 1);
    EXPECT_EQ(value(), 1);
    ASSERT_EQ(engine.CreateEmptySession(nullptr, u"New.session", 0), 1);
    EXPECT_EQ(value(), 0);
}

// A setting request changes the system's hardware setting; a bad one changes nothing.
TEST_F(ControlFixture, SettingRequestsSetASystemsHardwareSetting)
{
    Describe("systems=1\nsetting=MidiInput2Src 1\n");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    auto value = [&] { return SettingOf(engine, "MidiInput2Src"); };
    const std::pair<const char*, const char*> refused[] = {
        {"setting 1 MidiInput2Src 0", "refused: no such system"},
        {"setting 0 MidiInput2Src x", "refused: bad argument"},
        {"setting 0 MidiInput2Src", "refused: bad argument"},
        {"setting -1 MidiInput2Src 0", "refused: bad argument"},
    };
    for (const auto& [request, answer] : refused)
    {
        SCOPED_TRACE(request);
        EXPECT_EQ(engine.Control(request), answer);
        EXPECT_EQ(value(), 1);
    }
    EXPECT_EQ(engine.Control("setting 0 MidiInput2Src 0"), "ok");
    EXPECT_EQ(value(), 0);
}

// The argument of 400 is a channel item (IVarnOutput), of 500 an input (IVarnInput).
TEST_F(ControlFixture, PortAndInputRequestsCarryTheirObject)
{
    StandinServices engine;
    Heard heard;
    engine.AddListener(&heard);
    EXPECT_EQ(engine.Control("raise 400 port 0 1 0"), "refused: no such port"); // no model yet
    EXPECT_EQ(engine.Control("raise 500 input 0 1 0"), "refused: no such input");
    Describe("systems=2\ninputs=4\nphysicaloutputs=2\nmonoinputs=2\nstereoinputs=1\n");
    ASSERT_EQ(Init(engine), 1);
    struct Case
    {
        const char* request;
        const char* reply;
        int system, kind, index; // system -1: nothing raised
    } cases[] = {
        {"raise 400 port 1 1 0", "ok", 1, 1, 0},
        {"raise 400 port 0 2 1", "ok", 0, 2, 1},
        {"raise 400 port 0 2 2", "refused: no such port", -1, 0, 0},
        {"raise 400 port 2 1 0", "refused: no such port", -1, 0, 0},
        {"raise 400 port 0 3 0", "refused: no such port", -1, 0, 0},
        {"raise 400 port 0 1", "refused: bad argument", -1, 0, 0},
        {"raise 500 input 1 1 1", "ok", 1, 1, 1},
        {"raise 500 input 0 2 0", "ok", 0, 2, 0},
        {"raise 500 input 0 2 1", "refused: no such input", -1, 0, 0},
        {"raise 500 input 2 1 0", "refused: no such input", -1, 0, 0},
        {"raise 500 input 0 4 0", "refused: no such input", -1, 0, 0},
        {"raise 500 input 0 1", "refused: bad argument", -1, 0, 0},
    };
    for (const Case& c : cases)
    {
        const size_t before = heard.events.size();
        EXPECT_EQ(engine.Control(c.request), c.reply) << c.request;
        engine.WaitForEvents();
        if (c.system < 0)
        {
            EXPECT_EQ(heard.events.size(), before) << c.request;
            continue;
        }
        ASSERT_EQ(heard.events.size(), before + 1) << c.request;
        auto* hardware = static_cast<StandinHardware*>(engine.GetMixer()->GetSystem(c.system));
        const bool port = std::string(c.request).find(" port ") != std::string::npos;
        const VarnEventArg object = port
                                        ? reinterpret_cast<VarnEventArg>(hardware->items.GetPort(c.kind, c.index))
                                        : reinterpret_cast<VarnEventArg>(hardware->inputList.GetInput(c.kind, c.index));
        EXPECT_EQ(heard.events.back(), std::make_pair(port ? 400 : 500, object)) << c.request;
    }
}

TEST_F(ControlFixture, SetRequestsChangeTheMainLevelWhichRaisesItsEvent)
{
    StandinServices engine;
    Heard heard;
    engine.AddListener(&heard);
    EXPECT_EQ(engine.Control("set mainlevel 0"), "refused: no main mix"); // no model yet
    ASSERT_EQ(Init(engine), 1);
    IVarnMainMix* mix = engine.GetMixer()->GetSystem(0)->GetMainMix();
    float minimum = 0.0f, maximum = 0.0f;
    ASSERT_TRUE(mix->GetMainRange(&minimum, &maximum));
    const float wanted = std::floor((minimum + maximum) / 2) - 0.5f;
    struct Case
    {
        std::string request;
        std::string reply;
        float level; // afterwards
        int events;  // 300s heard by now
    } cases[] = {
        {"set mainlevel " + std::to_string(wanted), "ok", wanted, 1},
        {"set mainlevel " + std::to_string(wanted), "ok", wanted, 1}, // no change, no event
        {"set mainlevel " + std::to_string(maximum + 1), "refused: out of range", wanted, 1},
        {"set mainlevel " + std::to_string(minimum), "ok", minimum, 2},
        {"set mainlevel nan", "refused: bad argument", minimum, 2},
        {"set mainlevel 1e99", "refused: bad argument", minimum, 2},
        {"set mainlevel 1x", "refused: bad argument", minimum, 2},
        {"set mainlevel", "refused: bad argument", minimum, 2},
        {"set monitorlevel 0", "refused: bad argument", minimum, 2},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(engine.Control(c.request), c.reply) << c.request;
        engine.WaitForEvents();
        EXPECT_FLOAT_EQ(mix->GetMainLevel(), c.level) << c.request;
        std::lock_guard<std::mutex> lock(heard.mutex);
        EXPECT_EQ(std::count(heard.events.begin(), heard.events.end(), std::make_pair(300, VarnEventArg(0))), c.events)
            << c.request;
    }
    EXPECT_EQ(LogWith(engine, "Control refused").size(), 6u) << "bad requests are logged; the main mix logs its own";
}

TEST_F(ControlFixture, ClientRequestsChangeAnInsertsParameterAndRaiseItsEventWithTheNotifyId)
{
    StandinServices engine;
    Heard heard;
    engine.AddListener(&heard);
    ASSERT_EQ(Init(engine), 1);
    auto* automation = static_cast<StandinAutomation*>(engine.GetAutomation());
    StandinEffects& effects = automation->Effects();
    int client = 0;
    ASSERT_EQ(automation->RegisterClient(&client), 1);
    StandinInsertInfo info{};
    ASSERT_EQ(automation->SetInsertEffect(effects.EffectId(u"Reverb"), client, 0, &info, 1), 1);
    ASSERT_EQ(automation->SetSpecialInsert(2, client, 1, &info, 1), 1); // a Peak Meter
    int reverb = 0, meter = 0;
    ASSERT_EQ(automation->GetInsertNotifyId(client, 0, &reverb), 1);
    ASSERT_EQ(automation->GetInsertNotifyId(client, 1, &meter), 1);
    ASSERT_NE(reverb, meter);

    const auto real = [&](int position, int parameter) {
        StandinValue value{};
        EXPECT_EQ(automation->GetParameterValue(client, position, parameter, &value), 1);
        float read = 0.0f;
        std::memcpy(&read, &value.value, sizeof(read));
        return read;
    };
    const auto whole = [&](int position, int parameter) {
        StandinValue value{};
        EXPECT_EQ(automation->GetParameterValue(client, position, parameter, &value), 1);
        return value.value;
    };
    const auto descriptor = [&](int parameter) {
        int count = 0;
        void* records = nullptr;
        EXPECT_EQ(automation->GetParameterDescriptors(client, 0, &count, &records), 1);
        const StandinDescriptorRecord record = static_cast<StandinDescriptorRecord*>(records)[parameter];
        StandinFree(records);
        return record;
    };
    const auto choices = [&](int parameter) {
        int count = 0;
        void* records = nullptr;
        std::vector<std::u16string> names;
        if (automation->GetParameterChoiceNames(client, 0, parameter, &count, &records) == 1)
        {
            for (int i = 0; i < count; ++i)
                names.emplace_back(static_cast<const char16_t*>(records) + 128 * i);
            StandinFree(records);
        }
        return names;
    };
    const auto kind = [&](int parameter) {
        int count = 0;
        int* kinds = nullptr;
        EXPECT_EQ(automation->GetParameterKinds(client, 0, &count, &kinds), 1);
        const int found = kinds[parameter];
        StandinFree(kinds);
        return found;
    };
    const std::string c = std::to_string(client);
    const auto request = [&](int position, const char* change, int parameter, const std::string& value) {
        return ClientRequest::Text(client, position, change, parameter, value);
    };
    using namespace ClientRequest;
    const std::string refused = "refused: refused by the insert";
    struct Case
    {
        std::string request;
        std::string reply;
        std::vector<std::pair<int, VarnEventArg>> raised;
        std::function<bool()> holds; // what the insert answers afterwards
    } cases[] = {
        {request(1, kLevel, 0, "-6.5"),
         "ok",
         {{610, meter}},
         [&] { return real(1, 0) == -6.5f && real(1, 0) == -6.5f; }},
        {request(1, kLevel, 1, "-120"), "ok", {{611, meter}}, [&] { return real(1, 1) == -120.0f; }},
        {request(0, kLevel, 10, "-30"), "ok", {{620, reverb}}, [&] { return real(0, 10) == -30.0f; }},
        {request(0, kLevel, 0, "-6"), refused, {}, [&] { return real(0, 0) == 0.5f; }}, // not a meter
        {request(1, kLevel, 0, "0.5"), refused, {}, [&] { return real(1, 0) == -6.5f; }},
        {request(1, kLevel, 0, "-121"), refused, {}, [&] { return real(1, 0) == -6.5f; }},
        {request(0, kValue, 0, "0.25"), "ok", {{610, reverb}}, [&] { return real(0, 0) == 0.25f; }},
        {request(0, kValue, 7, "5"), "ok", {{617, reverb}}, [&] { return whole(0, 7) == 5; }},
        {request(0, kValue, 7, "5.5"), refused, {}, [&] { return whole(0, 7) == 5; }},
        {request(0, kValue, 7, "9"), refused, {}, [&] { return whole(0, 7) == 5; }},
        {request(0, kValue, 3, "-6"), refused, {}, nullptr}, // a meter takes a level
        {request(0, kValue, 11, "1"), refused, {}, nullptr}, // no such parameter
        {request(0, kValue, 0, "1 2"), refused, {}, [&] { return real(0, 0) == 0.25f; }},
        {request(0, kChoices, 1, "Warm,Cold Air"),
         "ok",
         {{1001, reverb}},
         [&] {
             return choices(1) == std::vector<std::u16string>{u"Warm", u"Cold Air"} && descriptor(1).maximum == 1;
         }},
        {request(0, kValue, 1, "2"), refused, {}, nullptr}, // past the new choices
        {request(0, kChoices, 0, "A,B"), refused, {}, [&] { return choices(0).empty(); }},
        {request(0, kChoices, 1, "A,,B"), refused, {}, [&] { return choices(1).size() == 2; }},
        {request(0, kKind, 8, "2"), "ok", {{1108, reverb}}, [&] { return kind(8) == 2; }},
        {request(0, kKind, 8, "5"), "refused: refused by the insert", {}, [&] { return kind(8) == 2; }},
        {request(0, kName, 0, "Input Gain"),
         "ok",
         {{1200, reverb}},
         [&] { return std::u16string(descriptor(0).name) == u"Input Gain"; }},
        {request(0, kName, 0, std::string(128, 'n')),
         refused,
         {},
         [&] { return std::u16string(descriptor(0).name) == u"Input Gain"; }},
        {ClientRequest::Text(client + 7, 0, kValue, 0, "0.5"), "refused: no such insert", {}, nullptr},
        {request(2, kValue, 0, "0.5"), "refused: no such insert", {}, nullptr},
        {request(0, kValue, 90, "1"), "refused: bad argument", {}, nullptr}, // past 610-699
        {request(0, "colour", 0, "1"), "refused: bad argument", {}, nullptr},
        {"client " + c + " 0 value 0", "refused: bad argument", {}, nullptr},
        {"client " + c + " 0 value x 1", "refused: bad argument", {}, nullptr},
        {"client 0 0 value 0 1", "refused: bad argument", {}, nullptr},
    };
    for (const Case& item : cases)
    {
        SCOPED_TRACE(item.request);
        engine.WaitForEvents();
        const size_t before = heard.events.size();
        EXPECT_EQ(engine.Control(item.request), item.reply);
        engine.WaitForEvents();
        std::vector<std::pair<int, VarnEventArg>> raised(heard.events.begin() + before, heard.events.end());
        EXPECT_EQ(raised, item.raised);
        if (item.holds)
        {
            EXPECT_TRUE(item.holds());
        }
    }
    // Every request is in the log: a change as it was asked, a refusal with its reason.
    const auto done = static_cast<size_t>(
        std::count_if(std::begin(cases), std::end(cases), [](const Case& item) { return item.reply == "ok"; }));
    EXPECT_EQ(LogWith(engine, "Control refused").size(), std::size(cases) - done);
    EXPECT_EQ(LogWith(engine, "Control client").size(), done);
}

TEST_F(ControlFixture, StripsAreFoundByIdAndAnswerTheirSourceAndHardware)
{
    Describe("systems=2\ninputs=6\ninput=0 1 strip 2\noutput=0 main 3\n");
    StandinServices engine;
    ASSERT_EQ(Init(engine), 1);
    IVarnMixer* mixer = engine.GetMixer();
    EXPECT_EQ(mixer->GetSystemCount(), 2);
    for (int system = 0; system < 2; ++system)
    {
        for (int index = 0; index < 3; ++index)
        {
            IVarnStrip* strip = mixer->GetStripById(64 * system + index);
            ASSERT_NE(strip, nullptr);
            EXPECT_EQ(strip->GetIndex(), index);
            EXPECT_EQ(strip->GetId(), 64 * system + index);
            EXPECT_EQ(strip, mixer->GetSystem(system)->GetItemList()->GetPort(1, index)->GetSource()->GetStrip());
        }
    }
    EXPECT_EQ(mixer->GetStripById(3), nullptr);
    EXPECT_EQ(mixer->GetStripById(-1), nullptr);

    // Strip 2 is fed by the first ASIO pair of the host inputs; the others by nothing.
    IVarnStrip* fed = mixer->GetStripById(2);
    ASSERT_NE(fed->GetSource(), nullptr);
    int subKind = -1;
    EXPECT_EQ(fed->GetSource()->GetKind(), 0);
    EXPECT_EQ(fed->GetSource()->GetSubKind(&subKind), 1);
    EXPECT_EQ(subKind, 1);
    EXPECT_EQ(mixer->GetStripById(1)->GetSource(), nullptr);

    // The hardware queries and the DSP preparation are in the call log.
    auto* card = static_cast<StandinStrip*>(mixer->GetStripById(64 + 1));
    card->hasHardware = false;
    EXPECT_EQ(card->HasHardware(), 0);
    EXPECT_EQ(fed->HasHardware(), 1);
    IVarnInsert* insert = mixer->GetSystem(0)->GetItemList()->GetPort(2, 0)->GetInsert();
    ASSERT_NE(insert, nullptr);
    EXPECT_EQ(insert->HasHardware(), 1);
    EXPECT_EQ(mixer->GetSystem(1)->PrepareDsp(), 1);
    EXPECT_EQ(LogWith(engine, "HasHardware"),
              (std::vector<std::string>{"HasHardware strip 65", "HasHardware strip 2", "HasHardware insert 3"}));
    EXPECT_EQ(LogWith(engine, "PrepareDsp"), std::vector<std::string>{"PrepareDsp"});
}

// An insert the card adds: the chain's own add, its 700 heard on the engine's thread.
TEST_F(ControlFixture, InsertRequestsAddToTheChainNamedAndRaiseItsEvent)
{
    StandinServices engine;
    Heard heard;
    engine.AddListener(&heard);
    EXPECT_EQ(engine.Control("insert 0 main meter"), "refused: no such system"); // no model yet
    Describe("systems=2\ninputs=4\n");
    ASSERT_EQ(Init(engine), 1);
    IVarnMixer* mixer = engine.GetMixer();
    IVarnInsertChain* strip0 = mixer->GetStripById(0)->GetInsertChain();
    IVarnInsertChain* strip65 = mixer->GetStripById(64 + 1)->GetInsertChain();
    IVarnInsertChain* main0 = mixer->GetSystem(0)->GetMainMix()->GetInsertChain();
    IVarnInsertChain* aux1 = mixer->GetSystem(0)->GetMainMix()->GetAux(1)->GetInsertChain();
    struct Case
    {
        const char* request;
        const char* reply;
        IVarnInsertChain* chain; // null: nothing added nor raised
        int kind;
        const char16_t* name;
    } cases[] = {
        {"insert 0 strip 0 effect Reverb", "ok", strip0, InsertKind::kEffect, u"Reverb"},
        {"insert 1 strip 1 meter", "ok", strip65, InsertKind::kMeteredEffect, u"Peak Meter"},
        {"insert 0 main trim", "ok", main0, InsertKind::kTrim, u"Trim Pot"},
        {"insert 0 aux 1 testsignal", "ok", aux1, InsertKind::kTestSignal, u"Test Signal"},
        {"insert 0 strip 0 balance", "ok", strip0, InsertKind::kBalance, u"Insert Balance"},
        {"insert 0 main balance", "refused: answer 0", nullptr, 0, nullptr}, // strips only
        {"insert 0 strip 0 effect Nothing Here", "refused: no such effect", nullptr, 0, nullptr},
        {"insert 0 strip 0 effect", "refused: no such effect", nullptr, 0, nullptr},
        {"insert 0 strip 0 meter Reverb", "refused: bad argument", nullptr, 0, nullptr},
        {"insert 0 strip 0 send", "refused: bad argument", nullptr, 0, nullptr},
        {"insert 0 strip 0", "refused: bad argument", nullptr, 0, nullptr},
        {"insert 0 main", "refused: bad argument", nullptr, 0, nullptr},
        {"insert 2 main meter", "refused: no such system", nullptr, 0, nullptr},
        {"insert x main meter", "refused: no such system", nullptr, 0, nullptr},
        {"insert 0 strip 4 meter", "refused: no such chain", nullptr, 0, nullptr},
        {"insert 0 strip -1 meter", "refused: no such chain", nullptr, 0, nullptr},
        {"insert 0 aux 9 meter", "refused: no such chain", nullptr, 0, nullptr},
        {"insert 0 bus 0 meter", "refused: no such chain", nullptr, 0, nullptr},
    };
    for (const Case& c : cases)
    {
        const int counts[] = {strip0->GetCount(), strip65->GetCount(), main0->GetCount(), aux1->GetCount()};
        const size_t before = heard.events.size();
        EXPECT_EQ(engine.Control(c.request), c.reply) << c.request;
        engine.WaitForEvents();
        std::vector<std::pair<int, VarnEventArg>> raised(heard.events.begin() + before, heard.events.end());
        const int after[] = {strip0->GetCount(), strip65->GetCount(), main0->GetCount(), aux1->GetCount()};
        IVarnInsertChain* chains[] = {strip0, strip65, main0, aux1};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(after[i], counts[i] + (chains[i] == c.chain ? 1 : 0)) << c.request << " chain " << i;
        if (!c.chain)
        {
            EXPECT_TRUE(raised.empty()) << c.request;
            continue;
        }
        EXPECT_EQ(raised, (std::vector<std::pair<int, VarnEventArg>>{{700, c.chain->GetId()}})) << c.request;
        IVarnInsert* added = c.chain->GetInsert(c.chain->GetCount() - 1);
        ASSERT_NE(added, nullptr) << c.request;
        EXPECT_EQ(added->GetKind(), c.kind) << c.request;
        ASSERT_NE(added->GetEffect(), nullptr) << c.request;
        EXPECT_EQ(std::u16string(added->GetEffect()->GetName()), c.name) << c.request;
    }
    // Each request is logged before the chain's own entry; the card's calls are not the
    // engine thread's.
    const std::vector<std::string> log = engine.GetCallLog();
    const auto control = std::find(log.begin(), log.end(), "Control insert 0 strip 0 effect Reverb");
    ASSERT_NE(control, log.end());
    ASSERT_NE(control + 1, log.end());
    EXPECT_EQ((control + 1)->find("Chain " + std::to_string(strip0->GetId()) + " AddEffect Reverb -1 1 -> 1"), 0u)
        << *(control + 1);
    EXPECT_EQ(LogWith(engine, "Control refused").size(), 13u);
    EXPECT_TRUE(LogWith(engine, "(engine thread)").empty());
}

#ifdef _WIN32
// The pipe itself, from this process: the program's side is tested across processes by the
// mixer's end-to-end tests.
TEST_F(ControlFixture, PipeOfTheInitialisedEngineAnswersClientsOneAfterAnother)
{
    const DWORD self = GetCurrentProcessId();
    std::string reply;
    EXPECT_FALSE(SendControlRequest(self, "log", reply, 100)); // no engine yet
    HANDLE idle = INVALID_HANDLE_VALUE;
    {
        StandinServices engine;
        Heard heard;
        ASSERT_EQ(Init(engine), 1);
        engine.AddListener(&heard);
        for (int i = 0; i < 20; ++i)
        {
            ASSERT_TRUE(SendControlRequest(self, "raise 600 " + std::to_string(i), reply));
            EXPECT_EQ(reply, "ok");
        }
        ASSERT_TRUE(SendControlRequest(self, "raise 51 " + std::string(5000, '7'), reply));
        EXPECT_EQ(reply, "refused: too long");
        ASSERT_TRUE(SendControlRequest(self, "log", reply));
        EXPECT_NE(reply.find("Control raise 600 19\n"), std::string::npos);
        engine.WaitForEvents();
        EXPECT_EQ(heard.events.size(), 20u);

        // A client that connects and never sends holds the pipe, yet the engine still ends.
        // The last client may still be closing: wait for the pipe to be free.
        EXPECT_TRUE(WaitNamedPipeA(ControlChannelName(self).c_str(), 30000));
        idle = CreateFileA(ControlChannelName(self).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
        EXPECT_NE(idle, INVALID_HANDLE_VALUE);
    }
    if (idle != INVALID_HANDLE_VALUE)
        CloseHandle(idle);
    EXPECT_FALSE(SendControlRequest(self, "log", reply, 100));
}

TEST_F(ControlFixture, PipeIsServedOnlyByTheInitialisedEngine)
{
    StandinServices first, second;
    Heard heardFirst, heardSecond;
    ASSERT_EQ(Init(first), 1);
    EXPECT_EQ(Init(second), VarnInitAlreadyRunning);
    first.AddListener(&heardFirst);
    second.AddListener(&heardSecond);
    std::string reply;
    ASSERT_TRUE(SendControlRequest(GetCurrentProcessId(), "raise 77 1", reply));
    first.WaitForEvents();
    second.WaitForEvents();
    EXPECT_EQ(heardFirst.events, (std::vector<std::pair<int, VarnEventArg>>{{77, 1}}));
    EXPECT_TRUE(heardSecond.events.empty());
}

#endif
} // namespace
