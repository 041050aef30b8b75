#include "plugins/quorvel/InsertChain.h"

#include "plugins/quorvel/DspEffectInsert.h"
#include "plugins/quorvel/InsertState.h"
#include "plugins/quorvel/tests/FakeLibrary.h"
#include "plugins/quorvel/tests/ModelTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace
{

class FakeHost final : public ChainHost
{
public:
    void RebuildParamMap() override { ++rebuilds; }
    void SyncParamMap() override { ++syncs; }
    void StoreParamRequests(bool direct) override
    {
        stores.push_back(direct);
        if (duringStore)
        {
            std::function<void()> once;
            once.swap(duringStore);
            once();
        }
    }
    std::function<void()> duringStore;
    void WakeParamStores() override { ++wakes; }
    int wakes = 0;
    bool HoldsSendReturn() override { return holdsPair; }
    int rebuilds = 0;
    int syncs = 0;
    std::vector<bool> stores; // direct or not, per call
    bool holdsPair = true;
};

// Three parameters: a gain, a mode and a meter.
std::vector<FakeParam> Params()
{
    FakeParam meter = FloatParam(u"Level", 0.0f, 1.0f);
    meter.access = 9;
    return {FloatParam(u"Gain", 0.0f, 1.0f), IntParam(u"Mode", 1, 0, 2), meter};
}

class InsertChainTest : public WithModelPlatform
{
protected:
    InsertChainTest()
    {
        link_.next = FakeModelLink::MakeInsert(Params());
        link_.next.info.canBypass = 1;
        library_.categories = {
            {u"Core Effects", 1, {{u"Reverb", kReverb, false, {}}, {u"Delay", kDelay, false, {}}}},
            {u"Vocals", 0, {{u"Chain", kChain, true, {}}}},
        };
        library_.categories[1].presets[0].effects = {
            {kReverb, {FakeLibrary::Value(u"Gain", ParamValue::Real(0.25f))}, 1.0f},
            {kDelay, {FakeLibrary::Value(u"Mode", ParamValue::Integer(1, 2))}, 1.0f},
        };
    }
    ~InsertChainTest() override { EXPECT_EQ(link_.outstanding, 0) << "arrays the server handed out"; }

    // count effects loaded at the end, the commands and messages forgotten.
    void Fill(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            ASSERT_TRUE(chain_.LoadPreset(i % 2 ? kDelay : kReverb, chain_.Count(), false, true));
        }
        link_.commands.clear();
        link_.blocks.clear();
        link_.posted.clear();
    }
    std::vector<uint32_t> Identities()
    {
        std::vector<uint32_t> identities;
        for (int32_t i = 0; i < chain_.Count(); ++i)
        {
            identities.push_back(chain_.At(i)->Identity());
            EXPECT_EQ(chain_.At(i)->Position(), i);
        }
        return identities;
    }
    std::vector<EffectId> Effects()
    {
        std::vector<EffectId> ids;
        for (int32_t i = 0; i < chain_.Count(); ++i)
        {
            ids.push_back(static_cast<DspEffectInsert*>(chain_.At(i))->GetEffectId());
        }
        return ids;
    }
    float Gain(int32_t position)
    {
        ParamValue value;
        EXPECT_TRUE(chain_.At(position)->GetParamValue(0, &value));
        return value.AsReal();
    }
    std::vector<uint32_t> Posted()
    {
        std::vector<uint32_t> ids;
        for (const auto& message : link_.posted)
        {
            ids.push_back(message.id);
        }
        return ids;
    }

    const EffectId kReverb = FakeLibrary::Id(1);
    const EffectId kDelay = FakeLibrary::Id(2);
    const EffectId kChain = FakeLibrary::Id(6);
    const EffectId kUnknown = FakeLibrary::Id(9);
    FakeModelLink link_;
    FakeLibrary library_{link_};
    FakeHost host_;
    EffectCatalog catalog_{&link_};
    InsertChain chain_{&link_, &catalog_, &host_};
};

TEST_F(InsertChainTest, MovesFollowTheRulesAndTellTheServerOnlyRealMoves)
{
    Fill(4);
    struct Row
    {
        const char* label;
        int32_t from, to;
        bool result;
        int32_t sentTo; // 99: nothing sent
        std::vector<size_t> order;
    };
    const Row rows[] = {
        {"next place is the same place", 2, 3, true, 99, {0, 1, 2, 3}},
        {"onto itself", 2, 2, true, 99, {0, 1, 2, 3}},
        {"to the end sends -1", 0, 4, true, -1, {1, 2, 3, 0}},
        {"forward", 0, 2, true, 2, {1, 0, 2, 3}},
        {"backward", 3, 0, true, 0, {3, 0, 1, 2}},
        {"from beyond", 4, 0, false, 99, {0, 1, 2, 3}},
        {"to beyond", 0, 5, false, 99, {0, 1, 2, 3}},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        link_.commands.clear();
        link_.blocks.clear();
        std::vector<uint32_t> before = Identities();
        EXPECT_EQ(chain_.Move(row.from, row.to), row.result);
        if (row.sentTo == 99)
        {
            EXPECT_EQ(link_.Count(kCmdMoveInsert), 0);
        }
        else
        {
            ASSERT_EQ(link_.Count(kCmdMoveInsert), 1);
            EXPECT_EQ(WordAt(link_.blocks[0], Slots::MoveInsert::kFrom), row.from);
            EXPECT_EQ(WordAt(link_.blocks[0], Slots::MoveInsert::kTo), row.sentTo);
        }
        std::vector<uint32_t> after;
        for (size_t index : row.order)
        {
            after.push_back(before[index]);
        }
        EXPECT_EQ(Identities(), after);
    }
    link_.refused = {kCmdMoveInsert};
    const std::vector<uint32_t> before = Identities();
    EXPECT_FALSE(chain_.Move(0, 3));
    EXPECT_EQ(Identities(), before);
}

TEST_F(InsertChainTest, RemoveAtBeyondTheChainAndRefusedRemovalsChangeNothing)
{
    Fill(3);
    const std::vector<uint32_t> before = Identities();
    EXPECT_FALSE(chain_.RemoveAt(3, true));
    EXPECT_EQ(link_.Count(kCmdRemoveInsert), 0);
    link_.refused = {kCmdRemoveInsert};
    EXPECT_FALSE(chain_.RemoveAt(1, true));
    EXPECT_EQ(Identities(), before);
    link_.refused.clear();
    EXPECT_TRUE(chain_.RemoveAt(1, true));
    EXPECT_EQ(WordAt(link_.blocks.back(), Slots::RemoveInsert::kPosition), 1);
    EXPECT_EQ(Identities(), (std::vector<uint32_t>{before[0], before[2]}));
    EXPECT_EQ(Posted(), (std::vector<uint32_t>{kMessageChainChanged}));
}

TEST_F(InsertChainTest, LoadPresetRefusesPlacesBeyondTheEndAndUnknownPresets)
{
    Fill(2);
    EXPECT_FALSE(chain_.LoadPreset(kReverb, 3, true, true));
    EXPECT_FALSE(chain_.LoadPreset(kUnknown, 0, true, true));
    EXPECT_EQ(chain_.Count(), 2);
    EXPECT_TRUE(chain_.LoadPreset(kDelay, 2, true, true));
    EXPECT_EQ(Effects(), (std::vector<EffectId>{kReverb, kDelay, kDelay}));
    EXPECT_EQ(Posted().back(), kMessageChainChanged);
}

TEST_F(InsertChainTest, RefusedEffectsLeaveNoInsert)
{
    Fill(1);
    const int rebuilds = host_.rebuilds;
    link_.rate = 96000;
    EXPECT_FALSE(chain_.LoadPreset(kReverb, 0, true, true));
    EXPECT_FALSE(chain_.AddTrimPot(0, true, true));
    EXPECT_FALSE(chain_.AddPeakMeter(1, true, true));
    EXPECT_EQ(chain_.Count(), 1);
    EXPECT_EQ(link_.Count(kCmdSetInsertEffect) + link_.Count(kCmdSetSpecialInsert), 0);

    // The server refusing at a rate it takes: the same.
    link_.rate = 48000;
    link_.refused = {kCmdSetInsertEffect, kCmdSetSpecialInsert};
    EXPECT_FALSE(chain_.LoadPreset(kReverb, 0, true, true));
    EXPECT_FALSE(chain_.AddTestSignal(0, true, true));
    EXPECT_EQ(chain_.Count(), 1);
    const std::vector<uint32_t> posted = Posted();
    EXPECT_EQ(std::count(posted.begin(), posted.end(), kMessageChainChanged), 2) << "LoadPreset posts either way";
    EXPECT_GE(host_.rebuilds, rebuilds);

    link_.refused.clear();
    EXPECT_TRUE(chain_.AddTestSignal(0, true, true));
    EXPECT_EQ(chain_.At(0)->Kind(), kInsertTestSignal);
}

TEST_F(InsertChainTest, ChainPresetWithAnUnknownEffectLoadsTheRestInPlaceWithTheirOwnValues)
{
    Fill(2);
    library_.categories[1].presets[0].effects = {
        {kReverb, {FakeLibrary::Value(u"Gain", ParamValue::Real(0.25f))}, 1.0f},
        {kUnknown, {FakeLibrary::Value(u"Gain", ParamValue::Real(0.75f))}, 1.0f},
        {kDelay,
         {FakeLibrary::Value(u"Gain", ParamValue::Real(0.5f)), FakeLibrary::Value(u"Mode", ParamValue::Integer(1, 2))},
         1.0f},
    };
    const std::vector<uint32_t> before = Identities();
    EXPECT_FALSE(chain_.LoadPreset(kChain, 1, true, true));
    ASSERT_EQ(chain_.Count(), 4);
    EXPECT_EQ(Effects(), (std::vector<EffectId>{kReverb, kReverb, kDelay, kDelay}));
    EXPECT_EQ(chain_.At(0)->Identity(), before[0]);
    EXPECT_EQ(chain_.At(3)->Identity(), before[1]);
    EXPECT_EQ(Gain(1), 0.25f);
    EXPECT_EQ(Gain(2), 0.5f) << "the skipped effect's value went to the next one";
    ParamValue mode;
    ASSERT_TRUE(chain_.At(2)->GetParamValue(1, &mode));
    EXPECT_EQ(mode.AsInteger(), 2);

    // Appended: the last effect lands at the end, not past it.
    EXPECT_FALSE(chain_.LoadPreset(kChain, chain_.Count(), true, true));
    EXPECT_EQ(chain_.Count(), 6);
    EXPECT_EQ(Gain(5), 0.5f);
}

TEST_F(InsertChainTest, AWholeChainPresetLoadsAndSpecialEffectsInItBecomeSpecialInserts)
{
    library_.categories[1].presets[0].effects.push_back({SpecialEffectId(kSpecialPeakMeter, 44100), {}, 1.0f});
    EXPECT_TRUE(chain_.LoadPreset(kChain, 0, true, true));
    ASSERT_EQ(chain_.Count(), 3);
    EXPECT_EQ(chain_.At(2)->Kind(), kInsertPeakMeter);
    EXPECT_EQ(Gain(0), 0.25f);
    // Every detail pointer went along.
    const CallBlock& asked = link_.blocks[static_cast<size_t>(
        std::find(link_.commands.begin(), link_.commands.end(), kCmdGetInserts) - link_.commands.begin())];
    for (int slot = 8; slot <= 11; ++slot)
    {
        EXPECT_NE(asked.a[slot], 0u) << slot;
    }
}

TEST_F(InsertChainTest, ReplaceWithAChainPresetRemovesTheOldInsertBehindTheNewOnes)
{
    Fill(3);
    // The fake server keeps inserts by position without moving them: the two new ones leave
    // the old ones at 3 and 4 on a real one.
    link_.inserts[3] = link_.next;
    link_.inserts[4] = link_.next;
    const std::vector<uint32_t> before = Identities();
    EXPECT_TRUE(chain_.ReplaceWithPreset(1, kChain));
    ASSERT_EQ(link_.Count(kCmdRemoveInsert), 1);
    const size_t removal = static_cast<size_t>(
        std::find(link_.commands.begin(), link_.commands.end(), kCmdRemoveInsert) - link_.commands.begin());
    EXPECT_EQ(WordAt(link_.blocks[removal], Slots::RemoveInsert::kPosition), 3);
    EXPECT_EQ(Effects(), (std::vector<EffectId>{kReverb, kReverb, kDelay, kReverb}));
    EXPECT_EQ(chain_.At(0)->Identity(), before[0]);
    EXPECT_EQ(chain_.At(3)->Identity(), before[2]);

    EXPECT_TRUE(chain_.ReplaceWithPreset(0, kDelay));
    EXPECT_EQ(link_.Count(kCmdLoadPresetIntoInsert), 1);
    EXPECT_EQ(Effects().front(), kDelay);
    EXPECT_FALSE(chain_.ReplaceWithPreset(4, kDelay));
    link_.refused = {kCmdLoadPresetIntoInsert};
    EXPECT_FALSE(chain_.ReplaceWithPreset(0, kReverb));
    EXPECT_EQ(Effects().front(), kDelay);
}

TEST_F(InsertChainTest, RemoveAllAndAllBypass)
{
    Fill(3);
    EXPECT_TRUE(chain_.SetAllBypass(true));
    EXPECT_EQ(link_.commands.front(), kCmdSetAllInsertsBypass);
    EXPECT_EQ(Posted(), (std::vector<uint32_t>{kMessageBypassSoloRead}));
    link_.refused = {kCmdSetAllInsertsBypass};
    EXPECT_FALSE(chain_.SetAllBypass(false));
    link_.commands.clear();
    link_.blocks.clear();
    chain_.RemoveAll(true);
    EXPECT_EQ(chain_.Count(), 0);
    ASSERT_EQ(link_.commands, (std::vector<int32_t>{kCmdRemoveInsert, kCmdRemoveInsert, kCmdRemoveInsert}));
    EXPECT_EQ(WordAt(link_.blocks[0], Slots::RemoveInsert::kPosition), 2);
    EXPECT_EQ(WordAt(link_.blocks[2], Slots::RemoveInsert::kPosition), 0);
    EXPECT_FALSE(chain_.SetAllBypass(true));
}

TEST_F(InsertChainTest, PollReadsOnlyTheMetersInOneBatchAndPostsNothing)
{
    Fill(2);
    link_.inserts[0].values[2] = ParamValue::Real(0.5f);
    link_.inserts[1].values[2] = ParamValue::Real(0.125f);
    chain_.PollReadOnlyParams();
    ASSERT_EQ(link_.commands, (std::vector<int32_t>{kCmdGetParameterValuesBatch}));
    EXPECT_EQ(WordAt(link_.blocks[0], Slots::GetParameterValuesBatch::kCount), 2);
    ParamValue level;
    ASSERT_TRUE(chain_.At(1)->GetParamValue(2, &level));
    EXPECT_EQ(level.AsReal(), 0.125f);
    EXPECT_TRUE(link_.posted.empty());

    link_.commands.clear();
    chain_.Detach();
    link_.commands.clear();
    chain_.PollReadOnlyParams();
    EXPECT_TRUE(link_.commands.empty());
}

TEST_F(InsertChainTest, RestoreWithStatesOfTheSameChainOnlyTakesTheValues)
{
    Fill(2);
    InsertStateList states;
    ASSERT_TRUE(states.Capture(chain_));
    states.At(1)->values[0] = ParamValue::Real(0.875f);
    const std::vector<uint32_t> before = Identities();
    link_.commands.clear();
    chain_.Restore(states);
    EXPECT_EQ(Identities(), before);
    EXPECT_EQ(link_.Count(kCmdRemoveInsert) + link_.Count(kCmdSetInsertEffect) + link_.Count(kCmdClearInsertChainFlag),
              0)
        << "nothing removed or rebuilt";
    EXPECT_EQ(Gain(1), 0.875f);

    // Other effects: rebuilt from the records.
    states.At(0)->kind = kInsertDspEffect;
    static_cast<DspEffectState*>(states.At(0))->preset.id = kDelay;
    chain_.Restore(states);
    EXPECT_EQ(Effects(), (std::vector<EffectId>{kDelay, kDelay}));
    EXPECT_NE(chain_.At(1)->Identity(), before[1]);
    EXPECT_GE(link_.Count(kCmdRemoveInsert), 2);
}

// A project's special inserts keep the values it saved when the mixer program runs: the
// server's defaults, read when the chain attaches, do not read over them before they are sent.
TEST_F(InsertChainTest, RestoreOntoAnEmptyChainKeepsTheRecordsValuesOfSpecialInserts)
{
    InsertStateList states;
    ASSERT_TRUE(states.Reset(1));
    InsertState* trim = states.CreateAt(0, kInsertTrimPot);
    trim->info = InsertInfo{{u'T', u'r', u'i', u'm'}, 1, 0, 0, -1, -1};
    ASSERT_TRUE(trim->SetValueCount(3));
    trim->values[0] = ParamValue::Real(0.25f);
    trim->values[1] = ParamValue::Integer(1, 1);
    trim->values[2] = ParamValue::Real(0.0f);
    chain_.Restore(states);
    ASSERT_EQ(chain_.Count(), 1);
    EXPECT_EQ(Gain(0), 0.25f);
    EXPECT_GE(link_.Count(kCmdSetParameterValue), 1) << "sent to the server";
}

TEST_F(InsertChainTest, HandlersNeverWaitForAHeldChainAndTheHolderDoesTheirWork)
{
    Fill(2);
    std::atomic<bool> detached{false};
    {
        InsertChain::Hold hold(chain_);
        std::thread services([&] {
            chain_.Detach();
            detached = true;
        });
        services.join();
        EXPECT_TRUE(detached.load());
        EXPECT_FALSE(chain_.IsAttached());
        EXPECT_TRUE(link_.posted.empty()) << "the rebuild waits for the holder";
    }
    EXPECT_EQ(Posted(), (std::vector<uint32_t>{kMessageChainDetached}));
    EXPECT_EQ(link_.directCommands, 1);

    link_.posted.clear();
    {
        InsertChain::Hold hold(chain_);
        std::thread services([&] { EXPECT_TRUE(chain_.Attach()); });
        services.join();
    }
    EXPECT_TRUE(chain_.IsAttached());
    EXPECT_EQ(Posted(), (std::vector<uint32_t>{kMessageChainAttached}));

    // A free chain: the handler does the work itself, with direct calls only.
    link_.posted.clear();
    link_.commands.clear();
    const int direct = link_.directCommands;
    std::thread services([&] { EXPECT_TRUE(chain_.Attach()); });
    services.join();
    EXPECT_EQ(static_cast<int>(link_.commands.size()), link_.directCommands - direct);
    EXPECT_EQ(Posted(), (std::vector<uint32_t>{kMessageChainAttached}));
}

TEST_F(InsertChainTest, TheHostsValuesAreStoredByWhoeverHoldsTheChainAndNeverWaitedFor)
{
    Fill(1);
    // Free: the services thread stores them itself, with its own calls, and the map's values
    // follow.
    const int syncs = host_.syncs;
    std::thread services([&] { chain_.StoreRequestedParams(); });
    services.join();
    EXPECT_EQ(host_.stores, std::vector<bool>{true});
    EXPECT_GT(host_.syncs, syncs);

    // Held: the holder stores them through the call block when it lets go.
    host_.stores.clear();
    {
        InsertChain::Hold hold(chain_);
        std::thread nudged([&] { chain_.StoreRequestedParams(); });
        nudged.join();
        EXPECT_TRUE(host_.stores.empty()) << "the services thread did not wait for the chain";
    }
    EXPECT_EQ(host_.stores, std::vector<bool>{false});

    // Asked again while the holder stores: handed back to the services thread, so a host that
    // sets values without pause cannot keep the holder in its let-go.
    host_.stores.clear();
    host_.duringStore = [&] {
        std::thread again([&] { chain_.StoreRequestedParams(); });
        again.join();
    };
    {
        InsertChain::Hold hold(chain_);
        std::thread nudged([&] { chain_.StoreRequestedParams(); });
        nudged.join();
    }
    EXPECT_EQ(host_.stores, std::vector<bool>{false});
    EXPECT_EQ(host_.wakes, 1);

    // The map's rebuild asked for by the services thread (the mixer went): at once when free.
    const int rebuilds = host_.rebuilds;
    std::thread gone([&] { chain_.RebuildParamMapSoon(); });
    gone.join();
    EXPECT_EQ(host_.rebuilds, rebuilds + 1);
}

} // namespace
