#include "plugins/quorvel/DspEffectInsert.h"
#include "plugins/quorvel/InsertState.h"
#include "plugins/quorvel/SendInsert.h"
#include "plugins/quorvel/SpecialInsert.h"
#include "plugins/quorvel/tests/FakeModelLink.h"
#include "plugins/quorvel/tests/ModelTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{

// Four parameters: a float with wet/dry at index 1, a meter, a selector (hidden at 3).
std::vector<FakeParam> Params()
{
    FakeParam meter = IntParam(u"Meter", 1, 0, 1);
    meter.access = 9;
    FakeParam selector = IntParam(u"Mode", 4, 0, 2);
    return {FloatParam(u"Gain", -1.0f, 1.0f), FloatParam(u"Mix", 0.0f, 1.0f), meter, selector};
}

class InsertEffectTest : public WithModelPlatform
{
protected:
    InsertEffectTest()
    {
        link_.next = FakeModelLink::MakeInsert(Params());
        link_.next.info.canBypass = 1;
        link_.next.info.hasWetDry = 1;
        link_.next.info.wetDryIndex = 1;
        link_.next.values[1] = ParamValue::Real(0.25f);
        link_.next.choices[3] = {ChoiceName{u"A"}, ChoiceName{u"B"}};
        link_.corePresets = {Preset(0, u"First"), Preset(1, u"Second"), Preset(2, u"Third")};
        preset_.id.data[0] = 0x11;
    }
    ~InsertEffectTest() override { EXPECT_EQ(link_.outstanding, 0) << "arrays the server handed out"; }

    static CorePresetRecord Preset(int32_t number, const std::u16string& name)
    {
        CorePresetRecord record{};
        record.number = number;
        std::memcpy(record.name, name.data(), 2 * name.size());
        return record;
    }

    // A DSP effect applied at position 0 and answered by the server.
    std::unique_ptr<DspEffectInsert> Applied()
    {
        auto insert = std::make_unique<DspEffectInsert>(&link_, 0, preset_);
        EXPECT_TRUE(insert->Apply(true));
        link_.commands.clear();
        link_.posted.clear();
        return insert;
    }

    FakeModelLink link_;
    PresetRecord preset_{};
};

TEST_F(InsertEffectTest, ApplyTakesTheAnswerReadsEverythingAndSelectsTheFirstPreset)
{
    DspEffectInsert insert(&link_, 2, preset_);
    EXPECT_EQ(std::u16string(insert.Info().shortName, 8), u"  ???   ");
    EXPECT_EQ(insert.Info().wetDryIndex, -1);

    ASSERT_TRUE(insert.Apply(true));
    EXPECT_EQ(std::u16string(insert.Info().shortName), u"Effect");
    EXPECT_EQ(insert.ParamCount(), 4);
    EXPECT_EQ(insert.PresetCount(), 3);
    EXPECT_EQ(insert.SelectedPreset(), 0);
    EXPECT_EQ(link_.inserts[2].preset, 0);
    EXPECT_FLOAT_EQ(insert.GetWetDry(), 0.25f);
    int32_t count = 0;
    const ChoiceName* names = nullptr;
    insert.GetChoiceNames(3, &count, &names);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(std::u16string(names[1].name), u"B");
    // Set, descriptors, notify id, kinds, choices, values, presets, then the selection.
    const std::vector<int32_t> expected{
        kCmdSetInsertEffect,         kCmdGetParameterDescriptors, kCmdGetInsertNotifyId,    kCmdGetParameterKinds,
        kCmdGetParameterChoiceNames, kCmdGetParameterValuesBatch, kCmdGetEffectCorePresets, kCmdSelectPreset,
        kCmdGetParameterValuesBatch};
    EXPECT_EQ(link_.commands, expected);
    using S = Slots::SetInsertEffect;
    EXPECT_EQ(WordAt(link_.blocks[0], S::kPosition), 2);
    EXPECT_EQ(link_.blocks[0].a[S::kPreset], 0x11u);
    EXPECT_EQ(WordAt(link_.blocks[0], S::kWait), 1);
}

TEST_F(InsertEffectTest, ApplyWithoutWaitKeepsTheUnansweredInformation)
{
    DspEffectInsert insert(&link_, 0, preset_);
    link_.refused.insert(kCmdSetInsertEffect);
    EXPECT_TRUE(insert.Apply(false));
    EXPECT_EQ(WordAt(link_.blocks[0], Slots::SetInsertEffect::kWait), 0);
    EXPECT_EQ(std::u16string(insert.Info().shortName, 8), u"  ???   ");
    EXPECT_FALSE(insert.Apply(true));
    EXPECT_EQ(link_.commands, (std::vector<int32_t>{kCmdSetInsertEffect, kCmdSetInsertEffect}));
}

TEST_F(InsertEffectTest, EffectsAreRefusedAbove48kHzWithoutAskingTheServer)
{
    link_.rate = 96000;
    DspEffectInsert effect(&link_, 0, preset_);
    SpecialInsert trim(&link_, 0, kInsertTrimPot);
    EXPECT_FALSE(effect.Apply(true));
    EXPECT_FALSE(trim.Apply(true));
    EXPECT_TRUE(link_.commands.empty());
    link_.rate = 48000;
    EXPECT_TRUE(trim.Apply(true));
    EXPECT_EQ(WordAt(link_.blocks[0], Slots::SetSpecialInsert::kKind), 0) << "special kind of a trim pot";
    SpecialInsert wrong(&link_, 0, kInsertSend);
    EXPECT_FALSE(wrong.Apply(true));
}

TEST_F(InsertEffectTest, SendInsertsPassOnlyTheirChannelValues)
{
    ChannelRecord send{u"Out 1", 2, 7};
    ChannelRecord ret{u"In 3", 2, 9};
    SendReturnInsert insert(&link_, 1, send, ret);
    ASSERT_TRUE(insert.Apply(true));
    const CallBlock& block = link_.blocks[0];
    EXPECT_EQ(link_.commands[0], kCmdSetSendReturnInsertRouting);
    using S = Slots::SetSendReturnInsertRouting;
    EXPECT_EQ(WordAt(block, S::kPosition), 1);
    EXPECT_EQ(WordAt(block, S::kSendFirst), 2);
    EXPECT_EQ(WordAt(block, S::kSendSecond), 7);
    EXPECT_EQ(WordAt(block, S::kReturnFirst), 2);
    EXPECT_EQ(WordAt(block, S::kReturnSecond), 9);
    EXPECT_EQ(WordAt(block, S::kWait), 1);
    EXPECT_EQ(std::u16string(insert.Info().shortName), u"Effect");

    SendInsert only(&link_, 2, send);
    link_.refused.insert(kCmdSetSendInsertRouting);
    EXPECT_FALSE(only.Apply(true)) << "the mixer program answers E_NOTIMPL";
}

TEST_F(InsertEffectTest, StoreParamRefusesWhatMayNotBeWritten)
{
    auto insert = Applied();
    struct Case
    {
        const char* trace;
        bool attached;
        int32_t index;
        int32_t kind;
        bool hidden;
        bool wetDry;
        bool stored;
    } cases[] = {
        {"a float, attached", true, 0, 2, false, true, true},
        {"a float, detached", false, 0, 2, false, true, true},
        {"the meter, attached", true, 2, 1, false, true, false},
        {"the meter, detached", false, 2, 1, false, true, false},
        {"value kind 5", true, 0, 5, false, true, false},
        {"value kind -1", false, 0, -1, false, true, false},
        {"beyond the count", true, 4, 2, false, true, false},
        {"the hidden parameter", true, 3, 4, true, true, false},
        {"the wet/dry index without wet/dry", false, 1, 2, false, false, false},
        {"the wet/dry index with wet/dry", false, 1, 2, false, true, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        FakeModelLink link;
        link.next = link_.next;
        link.next.info.hasHidden = c.hidden ? 1 : 0;
        link.next.info.hiddenIndex = 3;
        link.next.info.hasWetDry = c.wetDry ? 1 : 0;
        DspEffectInsert effect(&link, 0, preset_);
        ASSERT_TRUE(effect.Apply(true));
        link.commands.clear();
        link.posted.clear();
        link.attached = c.attached;
        const uint32_t bits = ParamValue::Real(0.5f).bits;
        EXPECT_EQ(effect.StoreParam(c.index, c.kind, bits), c.stored);
        ParamValue pair;
        if (c.stored)
        {
            ASSERT_TRUE(effect.GetParamValue(c.index, &pair));
            EXPECT_EQ(pair.bits, bits);
        }
        EXPECT_EQ(link.Count(kCmdSetParameterValue), c.stored && c.attached ? 1 : 0);
        EXPECT_EQ(link.posted.size(), c.stored && c.attached ? 1u : 0u);
    }
}

TEST_F(InsertEffectTest, AStoredValueIsToldWithTheInsertsIdentity)
{
    auto insert = Applied();
    DspEffectInsert other(&link_, 1, preset_);
    EXPECT_NE(insert->Identity(), other.Identity());
    ASSERT_TRUE(insert->StoreParam(0, 2, ParamValue::Real(0.5f).bits));
    ASSERT_EQ(link_.posted.size(), 1u);
    EXPECT_EQ(link_.posted[0].id, kMessageParamValue);
    EXPECT_EQ(link_.posted[0].wParam, insert->Identity());
    EXPECT_FLOAT_EQ(link_.inserts[0].values[0].AsReal(), 0.5f);

    link_.refused.insert(kCmdSetParameterValue);
    EXPECT_FALSE(insert->StoreParam(0, 2, ParamValue::Real(0.75f).bits));
    ParamValue pair;
    ASSERT_TRUE(insert->GetParamValue(0, &pair));
    EXPECT_FLOAT_EQ(pair.AsReal(), 0.5f) << "a refusal keeps the stored value";
    EXPECT_EQ(link_.posted.size(), 1u);
}

TEST_F(InsertEffectTest, WetDryAndBypassNeedTheChainAttached)
{
    auto insert = Applied();
    EXPECT_TRUE(insert->HasWetDry());
    EXPECT_TRUE(insert->CanBypass());
    ASSERT_TRUE(insert->SetWetDry(0.5f));
    ASSERT_EQ(link_.reports.size(), 1u);
    EXPECT_EQ(link_.reports[0].index, 1);
    EXPECT_FLOAT_EQ(link_.reports[0].value.AsReal(), 0.5f);

    link_.attached = false;
    EXPECT_FALSE(insert->HasWetDry());
    EXPECT_FLOAT_EQ(insert->GetWetDry(), 1.0f);
    EXPECT_FALSE(insert->SetWetDry(0.1f));
    EXPECT_FALSE(insert->SetBypass(true));
    EXPECT_FALSE(insert->ReadBypass());
    EXPECT_TRUE(link_.commands.empty());

    SpecialInsert plain(&link_, 1, kInsertPeakMeter);
    EXPECT_FLOAT_EQ(plain.GetWetDry(), 1.0f) << "an insert without wet/dry";
}

TEST_F(InsertEffectTest, BypassAndSoloAreReadBackAndToldOnlyWhenChanged)
{
    auto insert = Applied();
    ASSERT_TRUE(insert->SetBypass(true));
    EXPECT_EQ(link_.inserts[0].bypass, 1);
    EXPECT_EQ(link_.bypassSoloReads, 1) << "the whole chain reads its switches again";
    ASSERT_TRUE(insert->ReadBypass());
    EXPECT_TRUE(insert->IsBypassed());
    ASSERT_TRUE(insert->ReadBypass());
    ASSERT_TRUE(insert->ReadSolo());
    ASSERT_EQ(link_.posted.size(), 1u);
    EXPECT_EQ(link_.posted[0].id, kMessageInsertBypass);
    EXPECT_EQ(link_.posted[0].wParam, insert->Identity());

    link_.refused.insert(kCmdSetInsertSolo);
    EXPECT_FALSE(insert->SetSolo(true));
    EXPECT_EQ(link_.bypassSoloReads, 1);
}

TEST_F(InsertEffectTest, RefreshParamValueTellsOnlyAChange)
{
    auto insert = Applied();
    EXPECT_FALSE(insert->RefreshParamValue(0));
    link_.inserts[0].values[0] = ParamValue::Real(-0.5f);
    EXPECT_TRUE(insert->RefreshParamValue(0));
    EXPECT_FALSE(insert->RefreshParamValue(0));
    EXPECT_FALSE(insert->RefreshParamValue(4));
    ASSERT_EQ(link_.posted.size(), 1u);
    EXPECT_EQ(link_.posted[0].id, kMessageParamValue);
}

TEST(ValuePairTest, PairsCompareByKindAndValue)
{
    struct Case
    {
        const char* trace;
        ParamValue a;
        ParamValue b;
        bool same;
    } cases[] = {
        {"-0.0 and +0.0", ParamValue::Real(-0.0f), ParamValue::Real(0.0f), true},
        {"two floats", ParamValue::Real(0.5f), ParamValue::Real(0.25f), false},
        {"kind 0 whatever the bits", ParamValue::Integer(0, 1), ParamValue::Integer(0, 2), true},
        {"kinds differ", ParamValue::Integer(1, 1), ParamValue::Integer(3, 1), false},
        {"integers", ParamValue::Integer(4, 7), ParamValue::Integer(4, 7), true},
        {"NaN is not itself", ParamValue::Real(std::nanf("")), ParamValue::Real(std::nanf("")), false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        EXPECT_EQ(SameValue(c.a, c.b), c.same);
    }
}

TEST_F(InsertEffectTest, KindsTakeTheAnswersSizeWhenTheServerAnswersMore)
{
    link_.next.kinds = {0, 3, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    auto insert = Applied();
    int32_t count = 0;
    const int32_t* kinds = nullptr;
    insert->GetParamKinds(&count, &kinds);
    ASSERT_EQ(count, 16);
    EXPECT_EQ(kinds[15], 12);
    EXPECT_EQ(insert->GetParamKind(1), 3);
    EXPECT_EQ(insert->GetParamKind(16), 4);

    link_.inserts[0].kinds = {0};
    insert->Reload();
    insert->GetParamKinds(&count, &kinds);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(insert->GetParamKind(1), 4);
}

TEST_F(InsertEffectTest, SelectPresetDetachedStoresTheIndexAndTalksToNobody)
{
    auto insert = Applied();
    link_.attached = false;
    EXPECT_TRUE(insert->SelectPreset(3));
    EXPECT_EQ(insert->SelectedPreset(), 3);
    EXPECT_TRUE(link_.commands.empty());
}

TEST_F(InsertEffectTest, SelectPresetTellsTheEditorAndTheHostWhenValuesChanged)
{
    auto insert = Applied();
    EXPECT_FALSE(insert->SelectPreset(3)) << "beyond the preset list";
    link_.presetValues[1] = link_.next.values;
    link_.presetValues[1][0] = ParamValue::Real(0.75f);
    ASSERT_TRUE(insert->SelectPreset(1));
    EXPECT_EQ(insert->SelectedPreset(), 1);
    ASSERT_EQ(link_.posted.size(), 1u);
    EXPECT_EQ(link_.posted[0].id, kMessagePresetSelected);
    EXPECT_EQ(link_.allReports, 1);
    ASSERT_TRUE(insert->SelectPreset(1));
    EXPECT_EQ(link_.posted.size(), 1u) << "the same values again";
}

TEST_F(InsertEffectTest, PresetListChangesFollowTheServer)
{
    auto insert = Applied();
    ParamModelChange change{};
    change.effect = preset_.id;
    change.kind = 1;
    change.preset.number = 0;
    ASSERT_TRUE(insert->OnParamModelChange(change));
    ASSERT_EQ(insert->PresetCount(), 2);
    EXPECT_EQ(insert->PresetAt(0)->number, 0);
    EXPECT_EQ(insert->PresetAt(1)->number, 1);
    EXPECT_EQ(std::u16string(insert->PresetAt(0)->name), u"Second");
    ASSERT_EQ(link_.posted.size(), 1u);
    EXPECT_EQ(link_.posted[0].wParam, 1u);
    uint32_t identity = 0;
    std::memcpy(&identity, link_.posted[0].payload.data(), 4);
    EXPECT_EQ(identity, insert->Identity()) << "the payload names the insert by identity";

    change.kind = 2;
    change.preset.number = 1;
    const std::u16string renamed = u"Renamed";
    std::memcpy(change.preset.name, renamed.data(), 2 * renamed.size());
    ASSERT_TRUE(insert->OnParamModelChange(change));
    EXPECT_EQ(std::u16string(insert->PresetAt(1)->name), renamed);

    change.kind = 0;
    change.preset.number = 2;
    std::memcpy(change.preset.name, u"Added", 12);
    ASSERT_TRUE(insert->OnParamModelChange(change));
    EXPECT_EQ(insert->PresetCount(), 3);
    EXPECT_EQ(insert->PresetAt(2)->number, 2);

    change.kind = 1;
    change.preset.number = 3;
    EXPECT_FALSE(insert->OnParamModelChange(change)) << "an index outside the list";
    change.effect.data[0] = 0x12;
    change.preset.number = 0;
    EXPECT_FALSE(insert->OnParamModelChange(change)) << "another effect";
    EXPECT_EQ(insert->PresetCount(), 3);
    EXPECT_EQ(link_.posted.size(), 3u);
}

// Any preset-list event makes the mixer tell of its last change again.
TEST_F(InsertEffectTest, APresetListChangeHeardAgainChangesNothingMore)
{
    auto insert = Applied();
    const auto change = [this](int32_t kind, int32_t number, const std::u16string& name) {
        ParamModelChange record{};
        record.effect = preset_.id;
        record.kind = kind;
        record.preset.number = number;
        name.copy(record.preset.name, 127);
        return record;
    };
    const ParamModelChange added = change(0, 3, u"Fourth");
    ASSERT_TRUE(insert->OnParamModelChange(added));
    EXPECT_FALSE(insert->OnParamModelChange(added)) << "added once";
    EXPECT_EQ(insert->PresetCount(), 4);

    const ParamModelChange removed = change(1, 0, u"First");
    ASSERT_TRUE(insert->OnParamModelChange(removed));
    EXPECT_FALSE(insert->OnParamModelChange(removed)) << "removed once: the preset now first stays";
    ASSERT_EQ(insert->PresetCount(), 3);
    EXPECT_EQ(std::u16string(insert->PresetAt(0)->name), u"Second");
    EXPECT_EQ(link_.posted.size(), 2u);
}

TEST_F(InsertEffectTest, AttachReadsThroughDirectCallsOnly)
{
    link_.inserts[0] = link_.next;
    DspEffectInsert insert(&link_, 0, preset_);
    insert.Attach();
    EXPECT_EQ(link_.directCommands, static_cast<int>(link_.commands.size()));
    EXPECT_EQ(link_.commands, (std::vector<int32_t>{kCmdGetParameterDescriptors, kCmdGetParameterValuesBatch,
                                                    kCmdGetParameterChoiceNames, kCmdGetEffectCorePresets}));
    EXPECT_EQ(insert.ParamCount(), 4);
    EXPECT_EQ(insert.PresetCount(), 3);
}

TEST_F(InsertEffectTest, ResendAllSendsValuesWetDryAndSwitches)
{
    auto insert = Applied();
    link_.inserts[0].values[0] = ParamValue::Real(0.9f);
    insert->ResendAll();
    // Gain, mix and the selector are sent; the meter is read-only.
    EXPECT_EQ(link_.Count(kCmdSetParameterValue), 3);
    EXPECT_FLOAT_EQ(link_.inserts[0].values[0].AsReal(), 0.0f) << "the plug-in's value wins";
    ASSERT_EQ(link_.reports.size(), 1u) << "wet/dry through the parameter path";
    ASSERT_GE(link_.commands.size(), 2u);
    EXPECT_EQ(link_.commands[link_.commands.size() - 2], kCmdSetInsertSolo);
    EXPECT_EQ(link_.commands.back(), kCmdSetInsertBypass);
}

TEST_F(InsertEffectTest, ParamTextIsCutToTheBuffer)
{
    auto insert = Applied();
    link_.inserts[0].text = u"12.5 dB";
    char16_t text[5] = {u'x', u'x', u'x', u'x', u'x'};
    ASSERT_TRUE(insert->GetParamText(0, text, 5));
    EXPECT_EQ(std::u16string(text), u"12.5");
    link_.refused.insert(kCmdGetParameterText);
    EXPECT_FALSE(insert->GetParamText(0, text, 5));
    EXPECT_EQ(text[0], 0);
}

TEST_F(InsertEffectTest, LoadStateTakesSwitchesAndTheValuesBothHave)
{
    auto insert = Applied();
    DspEffectState state;
    state.info = insert->Info();
    state.preset = preset_;
    ASSERT_TRUE(state.SetValueCount(2));
    state.values[0] = ParamValue::Real(0.125f);
    state.values[1] = ParamValue::Real(0.5f);
    state.bypassed = 1;
    state.selectedPreset = 2;
    insert->LoadState(state);
    ParamValue pair;
    ASSERT_TRUE(insert->GetParamValue(0, &pair));
    EXPECT_FLOAT_EQ(pair.AsReal(), 0.125f);
    ASSERT_TRUE(insert->GetParamValue(2, &pair));
    EXPECT_EQ(pair.kind, 1) << "beyond the state's values";
    EXPECT_TRUE(insert->IsBypassed());
    EXPECT_EQ(insert->SelectedPreset(), 2);

    state.soloed = 2;
    state.values[0] = ParamValue::Real(0.0f);
    insert->LoadState(state);
    EXPECT_FALSE(insert->IsSoloed()) << "an invalid record is not applied";
    ASSERT_TRUE(insert->GetParamValue(0, &pair));
    EXPECT_FLOAT_EQ(pair.AsReal(), 0.125f);
    EXPECT_TRUE(link_.commands.empty());
}

TEST_F(InsertEffectTest, ARecordLoadedBeforeTheServerAnsweredIsKeptUntilItDoes)
{
    DspEffectInsert insert(&link_, 0, preset_);
    DspEffectState state;
    state.preset = preset_;
    state.info = link_.next.info;
    const std::u16string saved = u"Saved";
    std::memset(state.info.shortName, 0, sizeof(state.info.shortName));
    std::memcpy(state.info.shortName, saved.data(), 2 * saved.size());
    ASSERT_TRUE(state.SetValueCount(3));
    state.values[0] = ParamValue::Real(0.625f);
    state.values[1] = ParamValue::Real(0.125f);
    state.values[2] = ParamValue::Integer(1, 1);
    state.bypassed = 1;
    insert.LoadState(state);
    EXPECT_EQ(std::u16string(insert.Info().shortName), saved) << "what the record says it was";
    EXPECT_EQ(insert.ParamCount(), 0);
    ASSERT_EQ(insert.KeptValues().size(), 3u);
    EXPECT_TRUE(insert.IsBypassed());

    // The mixer program takes the chain: the kept values are the insert's, then the server's.
    link_.inserts[0] = link_.next;
    insert.Reload();
    EXPECT_TRUE(insert.KeptValues().empty());
    EXPECT_EQ(link_.Count(kCmdGetParameterValuesBatch), 0) << "the server's values are not read over the user's";
    ParamValue pair;
    ASSERT_TRUE(insert.GetParamValue(0, &pair));
    EXPECT_FLOAT_EQ(pair.AsReal(), 0.625f);
    insert.ResendAll();
    EXPECT_FLOAT_EQ(link_.inserts[0].values[0].AsReal(), 0.625f);
    EXPECT_FLOAT_EQ(link_.inserts[0].values[1].AsReal(), 0.125f);
    EXPECT_EQ(link_.inserts[0].bypass, 1);
}

TEST_F(InsertEffectTest, ANestedCallFailsAlone)
{
    auto insert = Applied();
    link_.BeginCall();
    EXPECT_THROW(insert->Remove(), CallBlockError);
    link_.EndCall();
    EXPECT_TRUE(insert->Remove());
    EXPECT_EQ(link_.inserts.count(0), 0u);
}

} // namespace
