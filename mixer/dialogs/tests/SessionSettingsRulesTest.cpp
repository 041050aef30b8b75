#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "mixer/dialogs/SessionSettingsRules.h"

using namespace SessionSettingsRules;

namespace
{
Hardware With(std::initializer_list<int> features)
{
    Hardware hardware;
    for (int feature : features)
        hardware.f[feature] = true;
    return hardware;
}

// What a control ends as after the enablings are applied in order; absent: untouched.
std::map<std::string, bool> Final(const std::vector<Enabling>& enablings)
{
    std::map<std::string, bool> state;
    for (const Enabling& enabling : enablings)
        state[enabling.name] = enabling.enabled;
    return state;
}

const ItemRule* Rule(const std::vector<ItemRule>& rules, const std::string& name)
{
    for (const ItemRule& rule : rules)
        if (rule.name == name)
            return &rule;
    return nullptr;
}
} // namespace

TEST(SessionSettingsRulesTest, MissingValuesStartAtTheirDefaultAndAreWrittenBackPerHardware)
{
    const struct
    {
        const char* label;
        Hardware hardware;
        int rate;
        const char* name;
        int value;
        bool writeBack;
    } cases[] = {
        {"format always", With({}), 1, "SPDIFFormat", 0, true},
        {"format always, feature 4", With({4}), 1, "SPDIFFormat", 0, true},
        {"output level without feature 4", With({}), 1, "Out1L1R", 1, true},
        {"output level with feature 4", With({4}), 1, "Out1L1R", 1, false},
        {"fourth output with feature 9", With({9}), 1, "Out4L4R", 1, false},
        {"dock input without 4 or 9", With({}), 1, "DockIn3L3R", 0, true},
        {"second S/PDIF input with feature 4", With({4}), 1, "PCICardSpdifIn", 0, true},
        {"second S/PDIF input without", With({}), 1, "PCICardSpdifIn", 0, false},
        {"soft limit with feature 9", With({9}), 1, "SoftLimit", 1, true},
        {"mode with feature 9 at 192 kHz", With({9}), 3, "Tebro192KettermMode", 0, true},
        {"mode with feature 9 at 176.4 kHz", With({9}), 5, "Tebro192KettermMode", 0, true},
        {"mode with feature 9 at 96 kHz", With({9}), 2, "Tebro192KettermMode", 0, false},
        {"MIDI with the sync card", With({3}), 1, "MidiInput2Src", 1, true},
        {"MIDI with the dock", With({1}), 1, "MidiInput2Src", 0, true},
        {"MIDI with the second dock", With({10, 9}), 1, "MidiInput2Src", 0, false},
        {"MIDI with neither", With({}), 1, "MidiInput2Src", -1, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        const std::vector<ItemRule> rules = ItemRules(c.hardware, c.rate);
        const ItemRule* rule = Rule(rules, c.name);
        ASSERT_NE(rule, nullptr);
        const ItemStart start = Start(*rule, c.hardware, {false, 0});
        EXPECT_EQ(start.value, c.value);
        EXPECT_EQ(start.writeBack, c.writeBack);
    }
}

TEST(SessionSettingsRulesTest, StoredValuesWinExceptASyncCardPortTheHardwareLacks)
{
    const struct
    {
        const char* label;
        Hardware hardware;
        const char* name;
        int stored;
        int value;
        bool writeBack;
    } cases[] = {
        {"a stored level stays", With({}), "Out2L2R", 0, 0, false},
        {"a stored format stays", With({}), "SPDIFFormat", 1, 1, false},
        {"sync card port with the card", With({3}), "MidiInput2Src", 1, 1, false},
        {"sync card port without it, dock default", With({1}), "MidiInput2Src", 1, 0, true},
        {"sync card port without it, no default", With({}), "MidiInput2Src", 1, -1, true},
        {"-1 is missing: written only where missing is", With({1}), "MidiInput2Src", -1, 0, true},
        {"-1 is missing: feature 4 writes nothing", With({4, 3}), "MidiInput2Src", -1, 1, false},
        {"dock port stays", With({3}), "MidiInput2Src", 0, 0, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        const std::vector<ItemRule> rules = ItemRules(c.hardware, 1);
        const ItemRule* rule = Rule(rules, c.name);
        ASSERT_NE(rule, nullptr);
        const ItemStart start = Start(*rule, c.hardware, {true, c.stored});
        EXPECT_EQ(start.value, c.value);
        EXPECT_EQ(start.writeBack, c.writeBack);
    }
}

TEST(SessionSettingsRulesTest, RatesOfTheFamilyEnabledByTheCardsListAndTheirHertz)
{
    const std::vector<int> card = {0, 1, 4, 2};
    EXPECT_EQ(RateEntries(1, card), (std::vector<Entry>{{"44.1 KHz", 0, true}, {"48 KHz", 1, true}}));
    EXPECT_EQ(RateEntries(2, card), (std::vector<Entry>{{"88.2 KHz", 4, true}, {"96 KHz", 2, true}}));
    EXPECT_EQ(RateEntries(3, card), (std::vector<Entry>{{"176.4 KHz", 5, false}, {"192 KHz", 3, false}}));
    EXPECT_EQ(RateEntries(0, {1}), (std::vector<Entry>{{"44.1 KHz", 0, false}, {"48 KHz", 1, true}}));
    EXPECT_TRUE(RateEntries(6, card).empty());
    EXPECT_TRUE(RateEntries(-1, card).empty());

    EXPECT_EQ(HertzOfRate(0, 1), 44100);
    EXPECT_EQ(HertzOfRate(1, 0), 48000);
    EXPECT_EQ(HertzOfRate(4, 2), 88200);
    EXPECT_EQ(HertzOfRate(2, 4), 96000);
    EXPECT_EQ(HertzOfRate(5, 3), 176400);
    EXPECT_EQ(HertzOfRate(3, 5), 192000);
    EXPECT_EQ(HertzOfRate(2, 1), 0) << "a code outside the current family gives no value";
    EXPECT_EQ(HertzOfRate(1, 6), 0);
}

TEST(SessionSettingsRulesTest, ExternalSyncSourcesPerHardwareRateAndMode)
{
    const struct
    {
        const char* label;
        Hardware hardware;
        std::vector<int> sources;
        int rate;
        int mode;
        std::vector<int> values;
        bool disabled;
    } cases[] = {
        {"first model: S/PDIF and ADAT", With({}), {}, 1, 0, {1, 2}, false},
        {"first model at 192: ADAT only", With({}), {}, 3, 0, {2}, false},
        {"feature 11 keeps S/PDIF at 192", With({11}), {}, 3, 0, {1, 2}, false},
        {"feature 4 has no ADAT", With({4}), {}, 1, 0, {1}, false},
        {"feature 4 at 176.4: nothing", With({4}), {}, 5, 0, {}, false},
        {"sync card adds word clock last", With({3}), {}, 1, 0, {1, 2, 3}, false},
        {"feature 9 without 10: disabled", With({9}), {5, 2}, 1, 0, {0}, true},
        {"feature 9 without 10, sync card", With({9, 3}), {}, 1, 0, {0, 3}, true},
        {"dock sources in the store's order", With({9, 10}), {2, 5}, 1, 0, {2, 5}, false},
        {"features 10 and 11 stand for 9", With({10, 11}), {5, 2}, 1, 0, {5, 2}, false},
        {"unknown ids are skipped", With({9, 10}), {7, 5, 1}, 1, 0, {5}, false},
        {"192, mode 2: no dock S/PDIF", With({9, 10}), {5, 2}, 3, 2, {2}, false},
        {"192, mode 0: no dock ADAT", With({9, 10}), {5, 2}, 3, 0, {5}, false},
        {"192, mode 1: both", With({9, 10}), {5, 2}, 5, 1, {5, 2}, false},
        {"96, mode 2: both", With({9, 10}), {5, 2}, 2, 2, {5, 2}, false},
        {"no sources at all", With({9, 10}), {}, 1, 0, {}, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        const SyncList list = SyncEntries(c.hardware, c.sources, c.rate, c.mode);
        std::vector<int> values;
        for (const Entry& entry : list.entries)
            values.push_back(entry.value);
        EXPECT_EQ(values, c.values);
        EXPECT_EQ(list.disabled, c.disabled);
    }
    EXPECT_EQ(SyncEntries(With({3}), {}, 1, 0).entries.back().text, "WORD CLOCK");
    EXPECT_EQ(SyncEntries(With({9, 10}), {5, 2}, 1, 0).entries.front().text, "Dock S/PDIF");
}

TEST(SessionSettingsRulesTest, ClockEnabling)
{
    EXPECT_TRUE(RateEnabled(0));
    EXPECT_FALSE(RateEnabled(1));
    EXPECT_FALSE(SyncEnabled(With({}), 0));
    EXPECT_TRUE(SyncEnabled(With({}), 1));
    EXPECT_FALSE(SyncEnabled(With({9}), 1)) << "feature 9 without 10 offers no choice";
    EXPECT_TRUE(SyncEnabled(With({9, 10}), 1));
}

TEST(SessionSettingsRulesTest, PagesKeptPerHardwareAndWhatEachRefreshes)
{
    const struct
    {
        const char* label;
        Hardware hardware;
        std::vector<int> kept;
        std::vector<Refresh> refreshes;
    } cases[] = {
        {"feature 11", With({11, 9, 4}), {0, 1, 5}, {Refresh::kClock, Refresh::kMidi, Refresh::kLevels}},
        {"feature 9", With({9, 4}), {0, 4}, {Refresh::kClock, Refresh::kLevels}},
        {"feature 4", With({4}), {0, 3}, {Refresh::kFeature4Sync, Refresh::kSecondSpdif}},
        {"none", With({1, 3}), {0, 1, 2}, {Refresh::kClock, Refresh::kMidi, Refresh::kLevels}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        const Pages pages = PagesFor(c.hardware);
        EXPECT_EQ(pages.kept, c.kept);
        EXPECT_EQ(pages.refreshes, c.refreshes);
    }
}

TEST(SessionSettingsRulesTest, MidiSyncAndSecondSpdifControls)
{
    EXPECT_EQ(Final(MidiControls(With({1}))),
              (std::map<std::string, bool>{
                  {"DockMidi2", true}, {"DockMidi2Tag", true}, {"SyncMidiIn", false}, {"SyncMidiInTag", false}}));
    EXPECT_EQ(Final(MidiControls(With({3}))),
              (std::map<std::string, bool>{
                  {"DockMidi2", false}, {"DockMidi2Tag", false}, {"SyncMidiIn", true}, {"SyncMidiInTag", true}}));
    EXPECT_TRUE(Final(MidiControls(With({10})))["DockMidi2"]);

    EXPECT_TRUE(Feature4SyncControls(With({4}), 1).empty());
    EXPECT_TRUE(Feature4SyncControls(With({4, 3}), 3).empty()) << "the sync card keeps its sources";
    EXPECT_EQ(Final(Feature4SyncControls(With({4}), 5)),
              (std::map<std::string, bool>{
                  {"ExtSyncSrc", false}, {"External", false}, {"ExternalTag", false}, {"SyncSrcTag", false}}));

    EXPECT_TRUE(SecondSpdifControls(2).empty());
    const auto high = Final(SecondSpdifControls(3));
    for (const char* name : {"PCICardSpdifIn", "RCAIn", "RCAInTag", "OptIn", "OptInTag", "SPDIFFormat2", "SPDIFTag2",
                             "AESEBWTag2", "SPDIF2", "AESEBW2"})
    {
        SCOPED_TRACE(name);
        ASSERT_EQ(high.count(name), 1u);
        EXPECT_FALSE(high.at(name));
    }
}

TEST(SessionSettingsRulesTest, LevelAndFormatControlsPerHardwareRateAndMode)
{
    // Expected end states of the named controls; controls not listed must stay untouched
    // when untouched is set.
    const struct
    {
        const char* label;
        Hardware hardware;
        int rate;
        int mode;
        std::map<std::string, bool> expected;
        std::vector<std::string> untouched;
    } cases[] = {
        {"feature 1",
         With({1}),
         1,
         0,
         {{"IOCardIn1L1RMinus10", false}, {"IOCardOut1L1RPlus4", false}, {"IOCardIn1L1RTag", false}},
         {"DockIn2L2RMinus10", "Out3L3RTag", "SPDIFOut"}},
        {"feature 1 at 192",
         With({1}),
         3,
         0,
         {{"DockIn2L2RMinus10", false}, {"Out3L3RTag", false}, {"SPDIFOut", false}, {"AESEBWTag", false}},
         {"Out1L1RMinus10"}},
        {"feature 1 at 176.4 keeps dock 2", With({1}), 5, 0, {{"SPDIF", false}}, {"DockIn2L2RMinus10"}},
        {"feature 2",
         With({2}),
         1,
         0,
         {{"DockIn1L1RPlus4", false}, {"DockIn3L3RTag", false}, {"Out4L4RMinus10", false}},
         {"IOCardIn1L1RMinus10", "SL_ON"}},
        {"features 2 and 11",
         With({2, 11}),
         1,
         0,
         {{"Out1L1RPlus4", false},
          {"SL_ON", false},
          {"SL_OFFTag", false},
          {"IOCardIn1L1RMinus10", true},
          {"IOCardOut1L1RTag", true}},
         {"DockIn3L3RMinus10", "Out4L4RMinus10"}},
        {"no feature 9",
         With({}),
         1,
         0,
         {{"DockIn1L1RMinus10", false}, {"Out4L4RPlus4", false}, {"IOCardOut1L1RTag", false}},
         {"SPDIF", "ADATOut"}},
        {"feature 9 without 10",
         With({9}),
         1,
         0,
         {{"Out3L3RMinus10", false}, {"ADATIn", false}, {"SL_OFFTag", false}, {"AESEBW", false}},
         {"Out4L4RMinus10", "IOCardIn1L1RMinus10"}},
        {"features 9 and 10 at 48",
         With({9, 10}),
         1,
         0,
         {{"DockIn2L2RPlus4", true}, {"Out3L3RTag", true}, {"ADATOut", true}, {"SPDIF", true}},
         {"IOCardIn1L1RMinus10", "DockIn3L3RMinus10"}},
        {"features 10 and 11 count as 9",
         With({10, 11}),
         1,
         0,
         {{"IOCardIn1L1RMinus10", false}, {"IOCardOut1L1RTag", false}, {"DockIn1L1RMinus10", true}},
         {}},
        {"192, mode 0",
         With({9, 10}),
         3,
         0,
         {{"DockIn1L1RMinus10", true},
          {"DockIn2L2RMinus10", true},
          {"ADATOut", false},
          {"ADATInTag", false},
          {"SPDIFOut", false},
          {"SL_ON", true},
          {"SPDIF", true}},
         {}},
        {"192, mode 1",
         With({9, 10}),
         3,
         1,
         {{"DockIn2L2RPlus4", false}, {"Out3L3RTag", false}, {"ADATIn", true}, {"AESEBW", true}},
         {}},
        {"176.4, mode 2",
         With({9, 10}),
         5,
         2,
         {{"Out3L3RMinus10", true}, {"ADATOut", true}, {"SPDIF", false}, {"AESEBWTag", false}, {"SPDIFInTag", false}},
         {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        const auto state = Final(LevelControls(c.hardware, c.rate, c.mode));
        for (const auto& [name, enabled] : c.expected)
        {
            SCOPED_TRACE(name);
            ASSERT_EQ(state.count(name), 1u);
            EXPECT_EQ(state.at(name), enabled);
        }
        for (const std::string& name : c.untouched)
            EXPECT_EQ(state.count(name), 0u) << name;
    }
}
