#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "standins/engine/StandinEffects.h"

namespace
{
// Takes an array the model handed out and frees it.
template <class Record>
std::vector<Record> Take(void* array, int count)
{
    std::vector<Record> records(static_cast<size_t>(count));
    if (count > 0)
        std::memcpy(records.data(), array, records.size() * sizeof(Record));
    StandinFree(array);
    return records;
}

class EffectsFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        effects_.Configure(
            {u"Chorus", u"Reverb"}, {u"Drums", u"Vocals"}, [this] { return rate_; },
            [this](int id, VarnEventArg argument) { events_.emplace_back(id, argument); });
        effects_.AddClient(client_);
        effects_.AddClient(other_);
    }

    std::vector<StandinCategoryRecord> Catalog()
    {
        int count = 0;
        void* records = nullptr;
        EXPECT_EQ(effects_.GetEffectCatalog(&count, &records), 1);
        return Take<StandinCategoryRecord>(records, count);
    }
    std::vector<StandinPresetRecord> Presets(const std::u16string& category)
    {
        StandinCategoryRecord record{};
        std::memcpy(record.name, category.data(), category.size() * 2);
        int count = 0;
        void* records = nullptr;
        if (effects_.GetEffectPresets(&record, &count, &records) != 1)
            return {};
        return Take<StandinPresetRecord>(records, count);
    }
    VarnEffectId PresetId(const std::u16string& category, const std::u16string& name)
    {
        for (const StandinPresetRecord& preset : Presets(category))
            if (name == preset.name)
                return preset.id;
        return VarnEffectId{};
    }
    int Add(const std::u16string& name, int position, int owner = 1)
    {
        StandinInsertInfo info{};
        return effects_.SetInsertEffect(effects_.EffectId(name), owner, position, &info, 1);
    }
    StandinValue Value(int position, int parameter)
    {
        StandinValue value{-1, -1};
        EXPECT_EQ(effects_.GetParameterValue(client_, position, parameter, &value), 1);
        return value;
    }
    std::u16string LastChangeCategory()
    {
        StandinPresetChange change{};
        EXPECT_EQ(effects_.GetPresetChange(&change), 1);
        return change.category;
    }

    StandinEffects effects_;
    int rate_ = 1;
    const int client_ = 1;
    const int other_ = 2;
    std::vector<std::pair<int, VarnEventArg>> events_;
};

TEST_F(EffectsFixture, CatalogListsTheCoreCategoryFirstThenTheLibrarysCategories)
{
    const auto catalog = Catalog();
    ASSERT_EQ(catalog.size(), 4u);
    EXPECT_EQ(std::u16string(catalog[0].name), u"Core Effects");
    EXPECT_EQ(catalog[0].isCore, 1);
    EXPECT_EQ(std::u16string(catalog[1].name), u"Factory Chains");
    EXPECT_EQ(std::u16string(catalog[2].name), u"Drums");
    EXPECT_EQ(catalog[3].isCore, 0);

    // The card's effects and the library's extra one, each once, none a chain.
    std::vector<std::u16string> names;
    for (const auto& effect : Presets(u"Core Effects"))
    {
        names.push_back(effect.name);
        EXPECT_EQ(effect.isChain, 0);
    }
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Reverb", u"Delay", u"Compressor", u"Equalizer", u"Chorus"}));
    EXPECT_TRUE(Presets(u"Drums").empty());
    StandinCategoryRecord unknown{};
    std::memcpy(unknown.name, u"Nowhere", 14);
    int count = 7;
    void* records = nullptr;
    EXPECT_EQ(effects_.GetEffectPresets(&unknown, &count, &records), 0);
    EXPECT_EQ(count, 7);
}

TEST_F(EffectsFixture, ChainPresetGivesItsEffectsValuesAndWetDryAndDetailsAreOptional)
{
    const VarnEffectId chain = PresetId(u"Factory Chains", u"Vocal Chain");
    int factory = 0, count = 0, valueCount = 0;
    void *records = nullptr, *values = nullptr;
    int* counts = nullptr;
    float* wetDry = nullptr;
    ASSERT_EQ(effects_.GetInserts(chain, &factory, &count, &records, &counts, &wetDry, &valueCount, &values), 1);
    EXPECT_EQ(factory, 1);
    const auto list = Take<StandinPresetRecord>(records, count);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(std::u16string(list[0].name), u"Compressor");
    const VarnEffectId reverb = effects_.EffectId(u"Reverb");
    EXPECT_EQ(std::memcmp(&list[2].id, &reverb, 16), 0);
    const auto perEffect = Take<int>(counts, count);
    EXPECT_EQ(perEffect, (std::vector<int>{6, 6, 6})) << "Gain, Mode, Steps, Taps, Tone, Drive";
    EXPECT_EQ(Take<float>(wetDry, count), (std::vector<float>{0.5f, 0.5f, 0.5f}));
    const auto stored = Take<StandinPresetValueRecord>(values, valueCount);
    ASSERT_EQ(stored.size(), 18u);
    EXPECT_EQ(std::u16string(stored[1].name), u"Mode");
    EXPECT_EQ(stored[1].value.kind, 4);

    // Without detail pointers (an in-process caller may pass none) only the effects come.
    ASSERT_EQ(effects_.GetInserts(chain, nullptr, &count, &records, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(Take<StandinPresetRecord>(records, count).size(), 3u);
    EXPECT_EQ(effects_.GetInserts(effects_.EffectId(u"Reverb"), nullptr, &count, &records, nullptr, nullptr, nullptr,
                                  nullptr),
              0);
}

TEST_F(EffectsFixture, BadNamesAreRefusedAndChangeNothing)
{
    const std::u16string refused[] = {u"",          u"Back\\slash",  u"a/b",  u"Colon:", u"Dot.",
                                      u"Blank ",    u"Star*",        u"CON",  u"com1",   u"nul.txt",
                                      u"Tab\there", u"Core Effects", u"Drums"};
    for (const std::u16string& name : refused)
    {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        events_.clear();
        EXPECT_EQ(effects_.CreatePresetCategory(name.c_str()), 0);
        EXPECT_EQ(Catalog().size(), 4u);
        EXPECT_TRUE(events_.empty());
    }
    EXPECT_EQ(effects_.RenamePresetCategory(u"Drums", u"a|b"), 0);
    EXPECT_EQ(effects_.RenamePresetCategory(u"Nowhere", u"Fine"), 0);
    EXPECT_EQ(effects_.DeletePresetCategory(u"Nowhere"), 0);
    StandinPresetChange change{};
    EXPECT_EQ(effects_.GetPresetChange(&change), 0);
}

TEST_F(EffectsFixture, LongNamesAreCutTo127Units)
{
    const std::u16string longName(200, u'x');
    ASSERT_EQ(effects_.CreatePresetCategory(longName.c_str()), 1);
    const auto catalog = Catalog();
    EXPECT_EQ(std::u16string(catalog.back().name), std::u16string(127, u'x'));
    EXPECT_EQ(LastChangeCategory(), std::u16string(127, u'x'));
    // The cut name is the category's name: the long one finds it as well.
    EXPECT_EQ(effects_.CreatePresetCategory(longName.c_str()), 0);
    EXPECT_EQ(effects_.DeletePresetCategory(longName.c_str()), 1);
}

TEST_F(EffectsFixture, LibraryChangesAreKeptAndRaised)
{
    ASSERT_EQ(effects_.CreatePresetCategory(u"Keys"), 1);
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_EQ(events_[0].first, StandinEffects::kLibraryEvent);
    StandinPresetChange change{};
    ASSERT_EQ(effects_.GetPresetChange(&change), 1);
    EXPECT_EQ(change.kind, 0);
    EXPECT_EQ(std::u16string(change.category), u"Keys");

    ASSERT_EQ(effects_.RenamePresetCategory(u"Keys", u"Piano"), 1);
    ASSERT_EQ(effects_.GetPresetChange(&change), 1);
    EXPECT_EQ(change.kind, 2);
    EXPECT_EQ(std::u16string(change.category), u"Keys");
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(change.detail)), u"Piano");

    // A preset from the client's chain: a chain preset of two effects.
    ASSERT_EQ(Add(u"Delay", 0), 1);
    ASSERT_EQ(Add(u"Reverb", 1), 1);
    const int positions[] = {0, 1};
    ASSERT_EQ(effects_.CreatePreset(client_, u"Piano", u"Wide", 2, positions), 1);
    ASSERT_EQ(effects_.GetPresetChange(&change), 1);
    EXPECT_EQ(change.kind, 3);
    StandinPresetRecord added{};
    std::memcpy(&added, change.detail, sizeof(added));
    EXPECT_EQ(std::u16string(added.name), u"Wide");
    EXPECT_EQ(added.isChain, 1);
    const auto listed = Presets(u"Piano");
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(std::memcmp(&listed[0].id, &added.id, 16), 0);

    ASSERT_EQ(effects_.RenamePreset(added.id, u"Wider"), 1);
    ASSERT_EQ(effects_.GetPresetChange(&change), 1);
    EXPECT_EQ(change.kind, 5);
    EXPECT_EQ(std::memcmp(change.detail, &added.id, 16), 0);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(change.detail + 16)), u"Wider");
    // The id stays the preset's through the rename.
    const VarnEffectId renamed = PresetId(u"Piano", u"Wider");
    EXPECT_EQ(std::memcmp(&renamed, &added.id, 16), 0);

    ASSERT_EQ(effects_.DeletePreset(added.id), 1);
    ASSERT_EQ(effects_.GetPresetChange(&change), 1);
    EXPECT_EQ(change.kind, 4);
    EXPECT_TRUE(Presets(u"Piano").empty());
    ASSERT_EQ(effects_.DeletePresetCategory(u"Piano"), 1);
    ASSERT_EQ(effects_.GetPresetChange(&change), 1);
    EXPECT_EQ(change.kind, 1);
    EXPECT_EQ(events_.size(), 6u);

    // Factory presets stay.
    EXPECT_EQ(effects_.DeletePreset(PresetId(u"Factory Chains", u"Vocal Chain")), 0);
    EXPECT_EQ(effects_.RenamePreset(PresetId(u"Factory Chains", u"Vocal Chain"), u"Mine"), 0);
}

TEST_F(EffectsFixture, ChainEditsFollowTheChainsRules)
{
    ASSERT_EQ(Add(u"Reverb", 0), 1);
    ASSERT_EQ(Add(u"Delay", 1), 1);
    ASSERT_EQ(Add(u"Equalizer", 0), 1);
    StandinInsertInfo info{};
    ASSERT_EQ(effects_.SetSpecialInsert(2, client_, 3, &info, 1), 1);
    EXPECT_EQ(std::u16string(info.shortName, 8), u"Peak Met"); // the plug-in shows 8 units
    EXPECT_EQ(effects_.ChainNames(client_),
              (std::vector<std::u16string>{u"Equalizer", u"Reverb", u"Delay", u"Peak Meter"}));

    struct Move
    {
        int from, to;
        int result;
        std::vector<std::u16string> after;
    };
    const Move moves[] = {
        {0, 2, 1, {u"Reverb", u"Equalizer", u"Delay", u"Peak Meter"}},
        {3, 0, 1, {u"Peak Meter", u"Reverb", u"Equalizer", u"Delay"}},
        {0, -1, 1, {u"Reverb", u"Equalizer", u"Delay", u"Peak Meter"}},
        {1, 1, 1, {u"Reverb", u"Equalizer", u"Delay", u"Peak Meter"}},
        {4, 0, 0, {u"Reverb", u"Equalizer", u"Delay", u"Peak Meter"}},
        {0, 5, 0, {u"Reverb", u"Equalizer", u"Delay", u"Peak Meter"}},
        {-1, 0, 0, {u"Reverb", u"Equalizer", u"Delay", u"Peak Meter"}},
    };
    for (const Move& move : moves)
    {
        SCOPED_TRACE(std::to_string(move.from) + " -> " + std::to_string(move.to));
        EXPECT_EQ(effects_.MoveInsert(client_, move.from, move.to), move.result);
        EXPECT_EQ(effects_.ChainNames(client_), move.after);
    }

    EXPECT_EQ(effects_.RemoveInsert(client_, 4), 0);
    EXPECT_EQ(effects_.RemoveInsert(client_, 1), 1);
    EXPECT_EQ(effects_.ChainNames(client_), (std::vector<std::u16string>{u"Reverb", u"Delay", u"Peak Meter"}));
    EXPECT_EQ(Add(u"Reverb", 4), 0);
    EXPECT_EQ(effects_.SetInsertEffect(VarnEffectId{{1, 2, 3, 4}}, client_, 0, &info, 1), 0);
    EXPECT_EQ(effects_.SetSpecialInsert(3, client_, 0, &info, 1), 0);
    EXPECT_EQ(Add(u"Reverb", 0, 99), 0);
    EXPECT_EQ(effects_.ChainNames(client_).size(), 3u);
    EXPECT_TRUE(effects_.ChainNames(other_).empty());

    // A preset of one effect loads into an insert with its values; a chain preset does not.
    ASSERT_EQ(effects_.LoadPresetIntoInsert(PresetId(u"Factory Chains", u"Small Room"), client_, 1, &info), 1);
    EXPECT_EQ(std::u16string(info.shortName), u"Reverb");
    EXPECT_EQ(StandinReal(Value(1, 4).value), 0.5f);
    EXPECT_EQ(effects_.LoadPresetIntoInsert(PresetId(u"Factory Chains", u"Vocal Chain"), client_, 1, &info), 0);
    EXPECT_EQ(effects_.ChainNames(client_), (std::vector<std::u16string>{u"Reverb", u"Reverb", u"Peak Meter"}));
}

TEST_F(EffectsFixture, BypassSoloAndTheChainFlag)
{
    ASSERT_EQ(Add(u"Reverb", 0), 1);
    ASSERT_EQ(Add(u"Delay", 1), 1);
    int state = -1;
    EXPECT_EQ(effects_.SetInsertBypass(client_, 1, 1), 1);
    EXPECT_EQ(effects_.GetInsertBypass(client_, 1, &state), 1);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(effects_.SetInsertSolo(client_, 0, 1), 1);
    EXPECT_EQ(effects_.GetInsertSolo(client_, 0, &state), 1);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(effects_.GetInsertSolo(client_, 1, &state), 1);
    EXPECT_EQ(state, 0);
    EXPECT_EQ(effects_.SetInsertBypass(client_, 2, 1), 0);
    EXPECT_EQ(effects_.SetAllInsertsBypass(client_, 1), 1);
    EXPECT_EQ(effects_.GetInsertBypass(client_, 0, &state), 1);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(effects_.SetAllInsertsBypass(99, 1), 0);

    EXPECT_TRUE(effects_.ChainFlag(client_));
    EXPECT_EQ(effects_.SetInsertChainFlag(client_, 0), 1);
    EXPECT_FALSE(effects_.ChainFlag(client_));
    EXPECT_EQ(effects_.SetInsertChainFlag(99, 0), 0);
}

TEST_F(EffectsFixture, AboveFortyEightKilohertzNoDspOrSpecialInsertIsMade)
{
    for (int code : {2, 3, 4, 5})
    {
        SCOPED_TRACE(code);
        rate_ = code;
        StandinInsertInfo info{};
        EXPECT_EQ(Add(u"Reverb", 0), 0);
        EXPECT_EQ(effects_.SetSpecialInsert(0, client_, 0, &info, 1), 0);
        const VarnEffectId id = effects_.EffectId(u"Delay");
        int fits = -1;
        EXPECT_EQ(effects_.GetEffectsFit(1, &id, &fits), 1);
        EXPECT_EQ(fits, 0);
        EXPECT_TRUE(effects_.ChainNames(client_).empty());
    }
    rate_ = 0;
    EXPECT_EQ(Add(u"Reverb", 0), 1);
}

TEST_F(EffectsFixture, TheDspBudgetDecidesFitsAndRefusesWhatDoesNotFit)
{
    const VarnEffectId ids[] = {effects_.EffectId(u"Reverb"), effects_.EffectId(u"Equalizer"),
                                VarnEffectId{{9, 9, 9, 9}}, StandinSpecialEffectId(0, 0)};
    const VarnEffectId chain = PresetId(u"Factory Chains", u"Vocal Chain"); // 15 + 10 + 40
    int fits[4] = {};
    int chainFits = -1;
    ASSERT_EQ(effects_.GetEffectsFit(4, ids, fits), 1);
    EXPECT_EQ(std::vector<int>(fits, fits + 4), (std::vector<int>{1, 1, 0, 1}));

    // Reverbs (40 units) on both clients until the card's DSP is spent: the next is refused.
    int placed = 0;
    int result = 1;
    while ((result = Add(u"Reverb", 0, placed % 2 ? other_ : client_)) == 1)
        ++placed;
    EXPECT_EQ(result, 2);
    EXPECT_EQ(placed, StandinEffects::kDspBudget / 40);
    ASSERT_EQ(effects_.GetEffectsFit(4, ids, fits), 1);
    EXPECT_EQ(std::vector<int>(fits, fits + 4), (std::vector<int>{0, 0, 0, 0}));
    ASSERT_EQ(effects_.GetPresetsFit(1, &chain, &chainFits), 1);
    EXPECT_EQ(chainFits, 0);

    // 80 units freed: a reverb and the chain fit again.
    ASSERT_EQ(effects_.RemoveInsert(client_, 0), 1);
    effects_.RemoveClient(other_);
    effects_.AddClient(other_);
    ASSERT_EQ(effects_.GetEffectsFit(4, ids, fits), 1);
    EXPECT_GE(fits[0], 1);
    EXPECT_EQ(fits[2], 0);
    ASSERT_EQ(effects_.GetPresetsFit(1, &chain, &chainFits), 1);
    EXPECT_EQ(chainFits, 1);
}

TEST_F(EffectsFixture, ParametersHaveEveryValueKindAccessAndParameterKind)
{
    ASSERT_EQ(Add(u"Compressor", 0), 1);
    int count = 0;
    void* records = nullptr;
    ASSERT_EQ(effects_.GetParameterDescriptors(client_, 0, &count, &records), 1);
    const auto descriptors = Take<StandinDescriptorRecord>(records, count);
    ASSERT_EQ(descriptors.size(), static_cast<size_t>(StandinEffects::kParamCount));
    std::vector<int> valueKinds;
    std::vector<int> accesses;
    for (const auto& descriptor : descriptors)
        valueKinds.push_back(descriptor.valueKind), accesses.push_back(descriptor.access);
    EXPECT_EQ(valueKinds, (std::vector<int>{2, 4, 1, 2, 2, 3, 0, 3, 2, 2, 2}));
    EXPECT_EQ(accesses, (std::vector<int>{1, 2, 3, 9, 4, 5, 6, 7, 1, 2, 8})) << "plain 1-7, meters 8 and 9";
    EXPECT_EQ(std::u16string(descriptors[4].name), u"Mix");
    // The toggle runs 0-1, the discrete one 1-8; the meters read in dB from -120 up.
    EXPECT_EQ(std::make_pair(descriptors[2].minimum, descriptors[2].maximum), std::make_pair(0, 1));
    EXPECT_EQ(std::make_pair(descriptors[7].minimum, descriptors[7].maximum), std::make_pair(1, 8));
    for (int meter : {3, 10})
    {
        EXPECT_EQ(StandinReal(descriptors[meter].minimum), -120.0f);
        EXPECT_EQ(StandinReal(descriptors[meter].maximum), 0.0f);
        EXPECT_EQ(std::u16string(descriptors[meter].unit), u"dB");
    }

    int* kinds = nullptr;
    ASSERT_EQ(effects_.GetParameterKinds(client_, 0, &count, &kinds), 1);
    EXPECT_EQ(Take<int>(kinds, count), (std::vector<int>{0, 0, 0, 0, 0, 3, 0, 0, 1, 2, 0}));

    ASSERT_EQ(effects_.GetParameterChoiceNames(client_, 0, 1, &count, &records), 1);
    EXPECT_EQ(count, 3);
    StandinFree(records);
    EXPECT_EQ(effects_.GetParameterChoiceNames(client_, 0, 0, &count, &records), 0);

    // The meters move between reads and cannot be written.
    for (int meter : {3, 10})
    {
        EXPECT_NE(Value(0, meter).value, Value(0, meter).value);
        EXPECT_EQ(effects_.SetParameterValue(client_, 0, meter, 2, StandinBits(-6.0f)), 0);
    }

    struct Write
    {
        int parameter, kind, value;
        int result;
    };
    const int params = StandinEffects::kParamCount;
    const Write writes[] = {
        {0, 2, StandinBits(0.25f), 1},
        {0, 1, 1, 0},
        {0, 2, StandinBits(2.0f), 0},
        {1, 4, 2, 1},
        {1, 4, 3, 0},
        {2, 1, 1, 1},
        {2, 1, 0, 1},
        {2, 1, 2, 0},
        {2, 3, 1, 0},
        {6, 0, 0, 1},
        {7, 3, 8, 1},
        {7, 3, 0, 0},
        {7, 3, 9, 0},
        {7, 1, 1, 0},
        {9, 2, StandinBits(0.5f), 1},
        {params, 2, 0, 0},
        {-1, 2, 0, 0},
    };
    for (const Write& write : writes)
    {
        SCOPED_TRACE(write.parameter);
        const bool exists = write.parameter >= 0 && write.parameter < params;
        const StandinValue before = exists ? Value(0, write.parameter) : StandinValue{};
        EXPECT_EQ(effects_.SetParameterValue(client_, 0, write.parameter, write.kind, write.value), write.result);
        if (write.result == 1)
        {
            EXPECT_EQ(Value(0, write.parameter).value, write.value);
        }
        else if (exists)
        {
            EXPECT_EQ(Value(0, write.parameter).value, before.value);
        }
    }

    char16_t* text = nullptr;
    ASSERT_EQ(effects_.GetParameterText(client_, 0, 1, &text, 199), 1);
    EXPECT_EQ(std::u16string(text), u"Hard");
    StandinFree(text);
    ASSERT_EQ(effects_.GetParameterText(client_, 0, 0, &text, 3), 1);
    EXPECT_EQ(std::u16string(text), u"0.");
    StandinFree(text);
    ASSERT_EQ(effects_.GetParameterText(client_, 0, 7, &text, 199), 1);
    EXPECT_EQ(std::u16string(text), u"8") << "the discrete value's text";
    StandinFree(text);
    EXPECT_EQ(effects_.GetParameterText(client_, 1, 0, &text, 199), 0);
}

TEST_F(EffectsFixture, ThePeakMeterHasTwoDbMetersAndTheMetersFloorIsMinus120)
{
    StandinInsertInfo info{};
    ASSERT_EQ(effects_.SetSpecialInsert(2, client_, 0, &info, 1), 1);
    int count = 0;
    void* records = nullptr;
    ASSERT_EQ(effects_.GetParameterDescriptors(client_, 0, &count, &records), 1);
    const auto descriptors = Take<StandinDescriptorRecord>(records, count);
    ASSERT_EQ(descriptors.size(), 2u);
    for (const auto& descriptor : descriptors)
    {
        EXPECT_EQ(descriptor.access, 8);
        EXPECT_EQ(StandinReal(descriptor.minimum), -120.0f);
        EXPECT_EQ(StandinReal(descriptor.maximum), 0.0f);
    }
    EXPECT_EQ(std::u16string(descriptors[0].name), u"Left");
    EXPECT_EQ(std::u16string(descriptors[1].name), u"Right");
    for (int parameter : {0, 1})
    {
        const float level = StandinReal(Value(0, parameter).value);
        EXPECT_GE(level, -120.0f);
        EXPECT_LE(level, 0.0f);
    }

    const struct
    {
        float level, db;
    } readings[] = {{0.0f, -120.0f}, {-1.0f, -120.0f}, {1e-9f, -120.0f}, {1.0f, 0.0f}, {4.0f, 0.0f}, {0.1f, -20.0f}};
    for (const auto& reading : readings)
        EXPECT_NEAR(StandinMeterDb(reading.level), reading.db, 1e-4) << reading.level;
}

TEST_F(EffectsFixture, BatchReadsFillEveryEntryOrNone)
{
    ASSERT_EQ(Add(u"Delay", 0), 1);
    StandinBatchEntry entries[] = {{0, 0, {2, 0}}, {0, 2, {2, 0}}, {0, 3, {2, 0}}};
    ASSERT_EQ(effects_.GetParameterValuesBatch(client_, 3, entries), 1);
    EXPECT_EQ(entries[0].value.kind, 2);
    EXPECT_EQ(StandinReal(entries[0].value.value), 0.5f);
    EXPECT_EQ(entries[1].value.kind, 1);
    EXPECT_EQ(entries[1].value.value, 1);
    StandinBatchEntry bad[] = {{0, 0, {7, 7}}, {1, 0, {7, 7}}};
    EXPECT_EQ(effects_.GetParameterValuesBatch(client_, 2, bad), 0);
    EXPECT_EQ(bad[0].value.kind, 7);
}

TEST_F(EffectsFixture, CorePresetsSelectAndChangeWithTheirRecordRaised)
{
    ASSERT_EQ(Add(u"Reverb", 0), 1);
    const VarnEffectId reverb = effects_.EffectId(u"Reverb");
    ASSERT_EQ(effects_.SelectPreset(client_, 0, 1), 1);
    EXPECT_EQ(StandinReal(Value(0, 0).value), 0.75f);
    EXPECT_EQ(effects_.SelectPreset(client_, 0, 2), 0);

    ASSERT_EQ(effects_.SetParameterValue(client_, 0, 7, 3, 7), 1);
    ASSERT_EQ(effects_.CreateCorePreset(client_, 0, u"Mine"), 1);
    ASSERT_EQ(effects_.CreateCorePreset(client_, 0, u"Yours"), 1);
    StandinParamModelChange change{};
    ASSERT_EQ(effects_.GetParamModelChange(&change), 1);
    EXPECT_EQ(change.kind, 0);
    EXPECT_EQ(change.preset.number, 3);
    EXPECT_EQ(std::memcmp(&change.effect, &reverb, 16), 0);
    EXPECT_EQ(events_.back().first, StandinEffects::kPresetListEvent);

    EXPECT_EQ(effects_.DeleteCorePreset(&reverb, 0), 0); // factory
    ASSERT_EQ(effects_.DeleteCorePreset(&reverb, 2), 1);
    ASSERT_EQ(effects_.GetParamModelChange(&change), 1);
    EXPECT_EQ(change.kind, 1);
    EXPECT_EQ(change.preset.number, 2);
    int count = 0;
    void* records = nullptr;
    ASSERT_EQ(effects_.GetEffectCorePresets(reverb, &count, &records), 1);
    const auto presets = Take<StandinCorePresetRecord>(records, count);
    ASSERT_EQ(presets.size(), 3u);
    EXPECT_EQ(presets[2].number, 2);
    EXPECT_EQ(std::u16string(presets[2].name), u"Yours");
    EXPECT_EQ(presets[2].isFactory, 0);

    ASSERT_EQ(effects_.RenameCorePreset(&reverb, 2, u"Ours"), 1);
    ASSERT_EQ(effects_.GetParamModelChange(&change), 1);
    EXPECT_EQ(change.kind, 2);
    EXPECT_EQ(std::u16string(change.preset.name), u"Ours");
    EXPECT_EQ(effects_.RenameCorePreset(&reverb, 3, u"Gone"), 0);
    EXPECT_EQ(effects_.RenameCorePreset(&reverb, 2, u"Bad?"), 0);
}

TEST_F(EffectsFixture, StoringIntoAUserPresetKeepsTheEditsAndChangesOnlyThatPreset)
{
    ASSERT_EQ(Add(u"Reverb", 0), 1);
    StandinInsertInfo info{};
    ASSERT_EQ(effects_.SetSpecialInsert(2, client_, 1, &info, 1), 1);
    const VarnEffectId reverb = effects_.EffectId(u"Reverb");
    ASSERT_EQ(effects_.CreateCorePreset(client_, 0, u"Mine"), 1); // index 2, the defaults
    ASSERT_EQ(effects_.SetParameterValue(client_, 0, 0, 2, StandinBits(0.75f)), 1);
    ASSERT_EQ(effects_.SetParameterValue(client_, 0, 7, 3, 6), 1);
    StandinParamModelChange before{};
    ASSERT_EQ(effects_.GetParamModelChange(&before), 1);
    const size_t raised = events_.size();

    // Refused, nothing changed: a factory preset, no such preset, no insert, a special one.
    const struct
    {
        int client, position, preset;
    } refused[] = {{client_, 0, 0}, {client_, 0, 1}, {client_, 0, 3}, {client_, 0, -1},
                   {client_, 2, 2}, {client_, 1, 0}, {other_, 0, 2}};
    for (const auto& call : refused)
    {
        SCOPED_TRACE(call.preset);
        EXPECT_EQ(effects_.ApplyPresetById(call.client, call.position, call.preset), 0);
    }
    EXPECT_EQ(events_.size(), raised);
    StandinParamModelChange change{};
    ASSERT_EQ(effects_.GetParamModelChange(&change), 1);
    EXPECT_EQ(std::memcmp(&change, &before, sizeof(change)), 0);
    EXPECT_EQ(StandinReal(Value(0, 0).value), 0.75f);
    ASSERT_EQ(effects_.SelectPreset(client_, 0, 0), 1);
    EXPECT_EQ(StandinReal(Value(0, 0).value), 0.5f) << "the factory preset kept its values";
    ASSERT_EQ(effects_.SetParameterValue(client_, 0, 0, 2, StandinBits(0.75f)), 1);
    ASSERT_EQ(effects_.SetParameterValue(client_, 0, 7, 3, 6), 1);

    ASSERT_EQ(effects_.ApplyPresetById(client_, 0, 2), 1);
    EXPECT_EQ(StandinReal(Value(0, 0).value), 0.75f) << "the insert keeps the user's edits";
    EXPECT_EQ(Value(0, 7).value, 6);
    ASSERT_EQ(effects_.GetParamModelChange(&change), 1);
    EXPECT_EQ(change.kind, 2);
    EXPECT_EQ(change.preset.number, 2);
    EXPECT_EQ(std::u16string(change.preset.name), u"Mine");
    EXPECT_EQ(std::memcmp(&change.effect, &reverb, 16), 0);
    ASSERT_EQ(events_.size(), raised + 1);
    EXPECT_EQ(events_.back().first, StandinEffects::kPresetListEvent);
    int count = 0;
    void* records = nullptr;
    ASSERT_EQ(effects_.GetEffectCorePresets(reverb, &count, &records), 1);
    EXPECT_EQ(Take<StandinCorePresetRecord>(records, count).size(), 3u);

    // The stored values come back with the preset.
    ASSERT_EQ(effects_.SelectPreset(client_, 0, 0), 1);
    ASSERT_EQ(effects_.SelectPreset(client_, 0, 2), 1);
    EXPECT_EQ(StandinReal(Value(0, 0).value), 0.75f);
    EXPECT_EQ(Value(0, 7).value, 6);
}

TEST_F(EffectsFixture, SpecialIdsAreDistinctPerKindAndRateClass)
{
    std::vector<VarnEffectId> ids;
    for (int kind = 0; kind < 3; ++kind)
        for (int rateClass = 0; rateClass < 3; ++rateClass)
            ids.push_back(StandinSpecialEffectId(kind, rateClass));
    for (size_t i = 0; i < ids.size(); ++i)
        for (size_t j = i + 1; j < ids.size(); ++j)
            EXPECT_NE(std::memcmp(&ids[i], &ids[j], 16), 0);

    // A chain preset made with a special insert holds the special id of the running rate.
    ASSERT_EQ(Add(u"Delay", 0), 1);
    StandinInsertInfo info{};
    ASSERT_EQ(effects_.SetSpecialInsert(1, client_, 1, &info, 1), 1);
    const int positions[] = {0, 1};
    ASSERT_EQ(effects_.CreatePreset(client_, u"Drums", u"Check", 2, positions), 1);
    int count = 0;
    void* records = nullptr;
    ASSERT_EQ(effects_.GetInserts(PresetId(u"Drums", u"Check"), nullptr, &count, &records, nullptr, nullptr, nullptr,
                                  nullptr),
              1);
    const auto list = Take<StandinPresetRecord>(records, count);
    ASSERT_EQ(list.size(), 2u);
    const VarnEffectId signal = StandinSpecialEffectId(1, 0);
    EXPECT_EQ(std::memcmp(&list[1].id, &signal, 16), 0);
    const int bad[] = {0, 5};
    EXPECT_EQ(effects_.CreatePreset(client_, u"Drums", u"Broken", 2, bad), 0);
    EXPECT_EQ(Presets(u"Drums").size(), 1u);
}
} // namespace
