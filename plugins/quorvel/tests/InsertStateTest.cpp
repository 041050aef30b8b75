#include "plugins/quorvel/DspEffectInsert.h"
#include "plugins/quorvel/InsertState.h"
#include "plugins/quorvel/SendInsert.h"
#include "plugins/quorvel/SpecialInsert.h"
#include "plugins/quorvel/tests/FakeModelLink.h"
#include "plugins/quorvel/tests/ModelTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{

// A chain as Capture reads it: inserts at positions, null for an empty slot.
struct TestChain
{
    std::vector<std::unique_ptr<InsertEffect>> inserts;
    int32_t Count() const { return static_cast<int32_t>(inserts.size()); }
    const InsertEffect* At(int32_t index) const { return inserts[static_cast<size_t>(index)].get(); }
};

// An insert that is not one of the six kinds (an empty slot as the server reports it).
class EmptyInsert final : public InsertEffect
{
public:
    explicit EmptyInsert(ModelLink* link) : InsertEffect(kInsertEmpty, link, 0) {}
    bool Apply(bool) override { return false; }
};

class InsertStateTest : public WithModelPlatform
{
protected:
    InsertStateTest()
    {
        link_.next = FakeModelLink::MakeInsert({FloatParam(u"Gain", 0.0f, 1.0f), IntParam(u"Mode", 3, 0, 5)});
        link_.next.info.canBypass = 1;
        link_.next.info.hasHidden = 1;
        link_.next.info.hiddenIndex = 1;
        link_.next.values = {ParamValue::Real(0.5f), ParamValue::Integer(3, 4)};
        effect_.id.data[3] = 7;
    }

    FakeModelLink link_;
    PresetRecord effect_{};
};

TEST_F(InsertStateTest, CaptureMakesOneRecordPerInsertOfTheSixKinds)
{
    TestChain chain;
    chain.inserts.push_back(std::make_unique<DspEffectInsert>(&link_, 0, effect_));
    chain.inserts.push_back(std::make_unique<EmptyInsert>(&link_));
    chain.inserts.push_back(std::make_unique<SendInsert>(&link_, 2, ChannelRecord{u"Out", 1, 4}));
    for (auto& insert : chain.inserts)
    {
        insert->Apply(true);
    }
    InsertStateList list;
    ASSERT_TRUE(list.Capture(chain));
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.At(0)->kind, kInsertDspEffect);
    EXPECT_EQ(static_cast<DspEffectState*>(list.At(0))->preset.id, effect_.id);
    EXPECT_EQ(list.At(1)->kind, kInsertSend);
    EXPECT_EQ(static_cast<SendState*>(list.At(1))->send.second, 4);
    EXPECT_TRUE(list.AllValid());
}

TEST_F(InsertStateTest, TheHiddenParameterIsCapturedAsTheZeroPair)
{
    SpecialInsert insert(&link_, 0, kInsertTestSignal);
    ASSERT_TRUE(insert.Apply(true));
    InsertStateList list;
    ASSERT_TRUE(list.Append(insert));
    const InsertState& state = *list.At(0);
    ASSERT_EQ(state.valueCount, 2u);
    EXPECT_FLOAT_EQ(state.values[0].AsReal(), 0.5f);
    EXPECT_EQ(state.values[1].kind, 0);
    EXPECT_EQ(state.values[1].bits, 0u);
}

TEST_F(InsertStateTest, ADetachedInsertKeepsItsSwitchesInTheRecord)
{
    SpecialInsert insert(&link_, 0, kInsertTrimPot);
    ASSERT_TRUE(insert.Apply(true));
    link_.inserts[0].bypass = 1;
    link_.inserts[0].solo = 1;
    ASSERT_TRUE(insert.ReadBypass());
    ASSERT_TRUE(insert.ReadSolo());
    link_.attached = false; // a session load began
    InsertStateList list;
    ASSERT_TRUE(list.Append(insert));
    EXPECT_EQ(list.At(0)->bypassed, 1);
    EXPECT_EQ(list.At(0)->soloed, 1);
}

TEST_F(InsertStateTest, AnInsertTheServerNeverDescribedIsCapturedAsItWasLoaded)
{
    InsertState loaded(kInsertPeakMeter);
    loaded.info.canBypass = 1;
    loaded.info.hasHidden = 1;
    loaded.info.hiddenIndex = 1;
    ASSERT_TRUE(loaded.SetValueCount(3));
    loaded.values[0] = ParamValue::Real(0.5f);
    loaded.values[1] = ParamValue::Integer(3, 7);
    loaded.values[2] = ParamValue::Integer(1, 1);
    loaded.soloed = 1;
    link_.refused = {kCmdSetSpecialInsert};
    SpecialInsert insert(&link_, 0, kInsertPeakMeter);
    EXPECT_FALSE(insert.Apply(true)) << "no mixer program";
    insert.LoadState(loaded);
    InsertStateList list;
    ASSERT_TRUE(list.Append(insert));
    const InsertState& state = *list.At(0);
    EXPECT_EQ(state.info.hiddenIndex, 1);
    ASSERT_EQ(state.valueCount, 3u);
    EXPECT_FLOAT_EQ(state.values[0].AsReal(), 0.5f);
    EXPECT_EQ(state.values[1].kind, 0) << "the hidden parameter";
    EXPECT_EQ(state.values[2].AsInteger(), 1);
    EXPECT_EQ(state.soloed, 1);
}

TEST_F(InsertStateTest, ValidityOfRecords)
{
    struct Case
    {
        const char* trace;
        int32_t type;
        void (*change)(InsertState&);
        bool valid;
    } cases[] = {
        {"a default special record", kInsertPeakMeter, [](InsertState&) {}, true},
        {"values counted but missing", kInsertTrimPot, [](InsertState& s) { s.valueCount = 2; }, false},
        {"canBypass 2", kInsertTrimPot, [](InsertState& s) { s.info.canBypass = 2; }, false},
        {"hasHidden -1", kInsertTrimPot, [](InsertState& s) { s.info.hasHidden = -1; }, false},
        {"soloed 2", kInsertTrimPot, [](InsertState& s) { s.soloed = 2; }, false},
        {"kind 7", kInsertTrimPot, [](InsertState& s) { s.kind = 7; }, false},
        {"a DSP record of kind 2", kInsertDspEffect, [](InsertState& s) { s.kind = 2; }, false},
        {"a send/return record with both channels 2", kInsertSendReturn,
         [](InsertState& s) {
             static_cast<SendReturnState&>(s).send.first = 2;
             static_cast<SendReturnState&>(s).ret.first = 2;
         },
         true},
        {"a send/return record whose return channel is 1", kInsertSendReturn,
         [](InsertState& s) {
             static_cast<SendReturnState&>(s).send.first = 2;
             static_cast<SendReturnState&>(s).ret.first = 1;
         },
         false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        std::unique_ptr<InsertState> state = MakeInsertState(c.type);
        ASSERT_TRUE(state);
        c.change(*state);
        EXPECT_EQ(state->IsValid(), c.valid);
    }
}

TEST_F(InsertStateTest, ADspRecordMatchesTheSameEffectWhateverItsValues)
{
    DspEffectInsert insert(&link_, 0, effect_);
    ASSERT_TRUE(insert.Apply(true));
    DspEffectState state;
    state.preset.id = effect_.id;
    EXPECT_TRUE(state.Matches(insert));
    state.preset.id.data[0] = 1;
    EXPECT_FALSE(state.Matches(insert));
    SpecialInsert special(&link_, 1, kInsertTrimPot);
    InsertState trim(kInsertTrimPot);
    EXPECT_TRUE(trim.Matches(special));
    EXPECT_FALSE(trim.Matches(insert));
    SendState send;
    send.send = ChannelRecord{u"Out", 1, 4};
    SendInsert sendInsert(&link_, 2, ChannelRecord{u"Another name", 1, 4});
    EXPECT_TRUE(send.Matches(sendInsert)) << "only the two values count";
    send.send.second = 5;
    EXPECT_FALSE(send.Matches(sendInsert));
}

TEST_F(InsertStateTest, TheListMakesRecordsOnlyOfTheSixTypes)
{
    InsertStateList list;
    EXPECT_TRUE(list.AllValid()) << "an empty list";
    ASSERT_TRUE(list.Reset(3));
    EXPECT_FALSE(list.AllValid()) << "empty entries";
    InsertState* first = list.CreateAt(0, kInsertSendReturn);
    ASSERT_TRUE(first);
    EXPECT_EQ(list.CreateAt(0, 7), nullptr);
    EXPECT_EQ(list.CreateAt(1, 0), nullptr);
    EXPECT_EQ(list.CreateAt(3, kInsertTrimPot), nullptr) << "beyond the list";
    EXPECT_EQ(list.At(0), first) << "a refused type leaves the entry";
    EXPECT_EQ(list.At(1), nullptr);
    ASSERT_TRUE(list.CreateAt(1, kInsertTrimPot));
    ASSERT_TRUE(list.CreateAt(2, kInsertDspEffect));
    EXPECT_FALSE(list.AllValid()) << "the send/return channels are not 2";
    static_cast<SendReturnState*>(first)->send.first = 2;
    static_cast<SendReturnState*>(first)->ret.first = 2;
    EXPECT_TRUE(list.AllValid());
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
}

TEST_F(InsertStateTest, AFailedAllocationLeavesNoValues)
{
    InsertState state(kInsertTrimPot);
    ASSERT_TRUE(state.SetValueCount(4));
    ModelPlatform().failing = true;
    EXPECT_FALSE(state.SetValueCount(8));
    EXPECT_EQ(state.values, nullptr);
    EXPECT_EQ(state.valueCount, 0u);
    EXPECT_TRUE(state.IsValid());

    SpecialInsert insert(&link_, 0, kInsertTrimPot);
    ModelPlatform().failing = false;
    ASSERT_TRUE(insert.Apply(true));
    ModelPlatform().failing = true;
    InsertStateList list;
    EXPECT_FALSE(list.Append(insert)) << "a record without its values is not made";
    EXPECT_EQ(list.Count(), 0u);
}

} // namespace
