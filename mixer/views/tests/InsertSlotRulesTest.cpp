#include "mixer/views/InsertSlotRules.h"

#include <gtest/gtest.h>

#include "framework/platform/tests/TestClock.h"
#include "mixer/views/PresetDrag.h"
#include "mixer/views/tests/FakeInsertChain.h"

using namespace InsertSlotRules;

namespace
{
// Six slots of 64 x 16 one above the other, as on a strip.
std::vector<SlotRect> Column()
{
    std::vector<SlotRect> slots;
    for (int n = 0; n < 6; ++n)
        slots.push_back({6, 32 + 16 * n, 70, 48 + 16 * n});
    return slots;
}
} // namespace

TEST(InsertSlotRules, SlotCountOutsideOneToSixtyFourIsTheDefault)
{
    const struct
    {
        int found, value, expected;
    } rows[] = {{1, 6, 6}, {1, 1, 1}, {1, 64, 64}, {1, 0, 3}, {1, -2, 3}, {1, 65, 3}, {1, 5000000, 3}, {0, 9, 3}};
    for (const auto& row : rows)
        EXPECT_EQ(SlotCountOr(row.found, row.value, 3), row.expected) << row.found << " " << row.value;
}

TEST(InsertSlotRules, HitTestTakesEdgesAndInsertIndexThePlaceBefore)
{
    const auto slots = Column();
    const struct
    {
        const char* trace;
        int x, y, hit, place;
    } rows[] = {
        {"inside slot 0", 20, 40, 0, 1},
        {"top-left edge of slot 0", 6, 32, 0, 1},
        // Shared edges go to the first slot.
        {"edge between 0 and 1", 30, 48, 0, 2},
        {"bottom edge of slot 5", 70, 128, 5, 6},
        {"above the slots", 20, 10, -1, 0},
        {"left of the slots", 2, 60, -1, 0},
        {"below the slots", 20, 200, -1, 6},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(HitTest(slots, row.x, row.y), row.hit) << row.trace;
        EXPECT_EQ(InsertIndex(slots, row.x, row.y), row.place) << row.trace;
    }
    const SlotRect bounds = Bounds(slots);
    EXPECT_EQ(bounds.left, 6);
    EXPECT_EQ(bounds.top, 32);
    EXPECT_EQ(bounds.right, 70);
    EXPECT_EQ(bounds.bottom, 128);
    EXPECT_EQ(HitTest({}, 0, 0), -1);
}

TEST(InsertSlotRules, AutoScrollStepsOnlyInsideTheBands)
{
    const SlotRect bounds = {100, 200, 164, 296};
    const struct
    {
        const char* trace;
        int vertical, x, y, step;
    } rows[] = {
        {"above, one pixel in", 1, 120, 199, -1},           {"above, band's far edge", 1, 120, 180, 0},
        {"above, on the top edge", 1, 120, 200, 0},         {"above, inside the band", 1, 120, 181, -1},
        {"below, inside the band", 1, 120, 315, 1},         {"below, band's far edge", 1, 120, 316, 0},
        {"below, on the bottom edge", 1, 120, 296, 0},      {"on the slots", 1, 120, 250, 0},
        {"side by side: left band", 0, 81, 250, -1},        {"side by side: right band", 0, 170, 250, 1},
        {"side by side: y does not count", 0, 120, 199, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AutoScrollStep(bounds, row.vertical, row.x, row.y), row.step) << row.trace;
}

TEST(InsertSlotRules, FirstVisibleBringsTheIndexIntoView)
{
    const struct
    {
        const char* trace;
        int index, count, first, slots, expected;
    } rows[] = {
        {"shown", 2, 10, 0, 6, -1},
        {"above the view", 1, 10, 3, 6, 1},
        {"below the view", 8, 10, 0, 6, 3},
        {"append means the last", -1, 10, 0, 6, 4},
        {"past the end means the last", 12, 10, 0, 6, 4},
        {"empty chain", -1, 0, 0, 6, -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FirstVisibleFor(row.index, row.count, row.first, row.slots), row.expected) << row.trace;
}

TEST(InsertSelection, PlainCtrlAndShiftPresses)
{
    InsertSelection selection;
    selection.Refill(5);
    int anchor = 0;
    EXPECT_EQ(selection.Press(0, 2, 5, 0, anchor), 1);
    EXPECT_EQ(anchor, 2);
    EXPECT_TRUE(selection.IsSet(2));

    // Ctrl toggles and clears the anchor.
    EXPECT_EQ(selection.Press(kControl, 4, 5, 0, anchor), 0);
    EXPECT_TRUE(selection.IsSet(4));
    EXPECT_EQ(anchor, -1);
    selection.Press(kControl, 4, 5, 0, anchor);
    EXPECT_FALSE(selection.IsSet(4));

    // Shift with anchor -1 selects from 0 to the index.
    selection.Press(kShift, 3, 5, 0, anchor);
    int table[kMaxIndices];
    ASSERT_EQ(selection.Collect(table, kMaxIndices), 4);
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[3], 3);
    EXPECT_EQ(anchor, -1);

    // Shift from an anchor, either way round, and the anchor stays.
    selection.Press(0, 4, 5, 0, anchor);
    selection.Press(kShift, 1, 5, 0, anchor);
    EXPECT_EQ(selection.Collect(table, kMaxIndices), 4);
    EXPECT_EQ(table[0], 1);
    EXPECT_EQ(anchor, 4);
}

TEST(InsertSelection, EmptySlotsAndTheRightButton)
{
    InsertSelection selection;
    selection.Refill(3);
    int anchor = 1;
    selection.Press(0, 1, 3, 0, anchor);
    // A Ctrl press on an empty slot changes neither the flags nor the anchor.
    selection.Press(kControl, 4, 3, 0, anchor);
    EXPECT_EQ(anchor, 1);
    EXPECT_TRUE(selection.IsSet(1));
    // With the right button Ctrl and Shift change nothing.
    selection.Press(kControl, 0, 3, 1, anchor);
    selection.Press(kShift, 2, 3, 1, anchor);
    int table[kMaxIndices];
    EXPECT_EQ(selection.Collect(table, kMaxIndices), 1);
    // A plain press on an empty slot clears the selection and anchors there.
    EXPECT_EQ(selection.Press(0, 5, 3, 0, anchor), 0);
    EXPECT_EQ(selection.Collect(table, kMaxIndices), 0);
    EXPECT_EQ(anchor, 5);
}

// The chain grew (an insert came from the plug-in) but the flags were not refilled yet: a
// press on the new insert must not write past the array.
TEST(InsertSelection, PressesPastTheArrayWriteNothing)
{
    InsertSelection selection;
    selection.Refill(2);
    int anchor = 0;
    EXPECT_EQ(selection.Press(kControl, 3, 5, 0, anchor), 0);
    EXPECT_EQ(anchor, 0);
    EXPECT_EQ(selection.Size(), 2);
    EXPECT_EQ(selection.Press(0, 4, 5, 0, anchor), 1);
    EXPECT_EQ(anchor, 4);
    EXPECT_EQ(selection.IsSet(4), 0);
    selection.Press(kShift, 0, 5, 0, anchor);
    EXPECT_EQ(selection.Size(), 2);
    EXPECT_TRUE(selection.IsSet(0) && selection.IsSet(1));
}

TEST(InsertSlotRules, EffectInsertsAndSolo)
{
    FakeInsertChain chain;
    chain.Add(0);
    chain.Add(1);
    chain.Add(3);
    chain.Add(2);
    chain.Add(7);
    chain.Add(6);
    chain.Add(4);
    int table[kMaxIndices];
    ASSERT_EQ(CollectEffectInserts(&chain, table), 4);
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[1], 2);
    EXPECT_EQ(table[2], 4);
    EXPECT_EQ(table[3], 6);
    EXPECT_EQ(CollectEffectInserts(nullptr, table), 0);

    auto* first = static_cast<FakeInsert*>(chain.GetInsert(0));
    EXPECT_EQ(IsOtherInsertSoloed(&chain, first), 0);
    first->soloed = 1;
    EXPECT_EQ(IsOtherInsertSoloed(&chain, first), 0);
    EXPECT_EQ(IsOtherInsertSoloed(&chain, chain.GetInsert(2)), 1);
    EXPECT_EQ(IsOtherInsertSoloed(nullptr, first), 0);
}

TEST(InsertSlotRules, SingleChannelInsertsGoOnlyToMonoStrips)
{
    FakeOutputPort pair, single;
    single.single = 1;
    FakeInputPort stereo, mono;
    mono.channels = 1;
    FakeInsertChain chain;
    const struct
    {
        const char* trace;
        int kind;
        IVarnOutput* send;
        IVarnInput* back;
        int singleChannel;
    } rows[] = {
        {"effect", 0, nullptr, nullptr, 0},
        {"send to a pair", 1, &pair, nullptr, 0},
        {"send to a single channel", 1, &single, nullptr, 1},
        // A send has no return: its port's channel count is not asked.
        {"send with a mono input beside it", 1, &pair, &mono, 0},
        {"send/return of pairs", 2, &pair, &stereo, 0},
        {"send/return from a mono input", 2, &pair, &mono, 1},
        {"ASIO send/return to a single channel", 6, &single, &stereo, 1},
        {"ASIO send/return without ports", 6, nullptr, nullptr, 0},
    };
    for (const auto& row : rows)
    {
        FakeInsert& insert = chain.Add(row.kind);
        insert.send = row.send;
        insert.back = row.back;
        EXPECT_EQ(IsSingleChannelInsert(&insert), row.singleChannel) << row.trace;
        EXPECT_EQ(AcceptsInsert(&insert, 1), 1) << row.trace;
        EXPECT_EQ(AcceptsInsert(&insert, 0), row.singleChannel ? 0 : 1) << row.trace;
    }
    EXPECT_EQ(AcceptsInsert(nullptr, 1), 0);
}

TEST(InsertDragClock, ADropWithin250msIsAClickOnce)
{
    TestClock clock;
    InsertDragClock::Started();
    clock.Advance(250);
    EXPECT_EQ(InsertDragClock::DropIsClick(), 1);
    EXPECT_EQ(InsertDragClock::StartTime(), 0xFFFFFFFFu);
    // The start is used up: the next drop is a move.
    EXPECT_EQ(InsertDragClock::DropIsClick(), 0);

    InsertDragClock::Started();
    clock.Advance(251);
    EXPECT_EQ(InsertDragClock::DropIsClick(), 0);
}

TEST(InsertSlotRules, DragOverAnswers)
{
    const struct
    {
        const char* trace;
        std::intptr_t kind;
        int accepted, slot, position, count, own, answer;
    } rows[] = {
        {"effect on a slot", PresetDrag::kKind, 1, 2, 2, 5, 0, kOnSlot},
        {"effect past the slots", PresetDrag::kKind, 1, -1, 0, 5, 0, kPastSlots},
        {"insert past the slots", kDragInsert, 1, -1, 0, 5, 0, kPastSlots},
        {"insert on an empty slot", kDragInsert, 1, 5, 5, 5, 0, kOnSlot},
        {"insert on another insert", kDragInsert, 1, 1, 1, 5, 0, kRefuse},
        {"insert on itself", kDragInsert, 1, 1, 1, 5, 1, kOnSlot},
        {"single channel on a stereo strip", kDragInsert, 0, 5, 5, 5, 0, kRefuse},
        {"another kind", 3, 1, 0, 0, 5, 0, kRefuse},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DragOverAnswer(row.kind, row.accepted, row.slot, row.position, row.count, row.own), row.answer)
            << row.trace;
}

// Only physical outputs have a routing table: a port without a list may carry the insert.
TEST(InsertSlotRules, DragStartsUnlessAPortMayNotCarryTheInsert)
{
    FakeRoutingTable refusingTable, carryingTable;
    refusingTable.mayCarry = 0;
    FakeInputList refusingList, carryingList;
    refusingList.mayCarry = 0;
    FakeOutputPort listless, carrying, refusing;
    carrying.table = &carryingTable;
    refusing.table = &refusingTable;
    FakeInputPort backListless, backCarrying, backRefusing;
    backCarrying.list = &carryingList;
    backRefusing.list = &refusingList;
    FakeInsertChain chain;
    const struct
    {
        const char* trace;
        int kind;
        IVarnOutput* send;
        IVarnInput* back;
        int drags;
    } rows[] = {
        {"effect", 0, nullptr, nullptr, 1},
        {"send without a port", 1, nullptr, nullptr, 1},
        {"send to a port without a list", 1, &listless, nullptr, 1},
        {"send to a port that may carry it", 1, &carrying, nullptr, 1},
        {"send to a port that may not", 1, &refusing, nullptr, 0},
        {"send/return missing its return", 2, &refusing, nullptr, 1},
        {"send/return through ports without lists", 2, &listless, &backListless, 1},
        {"send/return, the return may not", 2, &carrying, &backRefusing, 0},
        {"send/return, the send may not", 2, &refusing, &backCarrying, 0},
        {"send/return, both may", 2, &carrying, &backCarrying, 1},
        {"ASIO send/return", 6, &refusing, &backRefusing, 1},
    };
    for (const auto& row : rows)
    {
        FakeInsert& insert = chain.Add(row.kind);
        insert.send = row.send;
        insert.back = row.back;
        EXPECT_EQ(CanDragInsert(&insert), row.drags) << row.trace;
    }
}

// The insert menu's send commands on the free tests: a mono strip may also use single channels.
TEST(InsertMenuChoices, SendCommandsFollowTheFreePorts)
{
    using Pairs = std::set<std::pair<int, int>>;
    const struct
    {
        const char* trace;
        Pairs outputs, inputs;
        int mono, send, sendReturn, asio;
    } rows[] = {
        {"nothing free", {}, {}, 0, 0, 0, 0},
        {"a Wave pair", {{0, 1}}, {}, 0, 1, 0, 0},
        {"a physical pair without inputs", {{2, 1}}, {}, 0, 1, 0, 0},
        {"a physical pair and a stereo input", {{2, 1}}, {{2, 5}}, 0, 1, 1, 0},
        {"a physical channel: stereo strip", {{2, 0}}, {{1, 5}}, 0, 0, 0, 0},
        {"a physical channel: mono strip", {{2, 0}}, {{1, 5}}, 1, 1, 1, 0},
        {"an ASIO pair and an ASIO return", {{1, 1}}, {{0, 1}}, 0, 1, 0, 1},
        {"an ASIO channel and return channel: stereo", {{1, 0}}, {{3, 5}}, 0, 0, 0, 0},
        {"an ASIO channel and return channel: mono", {{1, 0}}, {{3, 5}}, 1, 1, 0, 1},
    };
    for (const auto& row : rows)
    {
        FakeHardware hardware;
        hardware.freeOutputs = row.outputs;
        hardware.inputs.free = row.inputs;
        FakeInsertChain chain;
        chain.hardware = &hardware;
        const InsertMenuChoices choices = InsertMenuChoices::Of(&chain, row.mono);
        EXPECT_EQ(choices.send, row.send) << row.trace;
        EXPECT_EQ(choices.sendReturn, row.sendReturn) << row.trace;
        EXPECT_EQ(choices.asioSendReturn, row.asio) << row.trace;
    }
    EXPECT_EQ(InsertMenuChoices::Of(nullptr, 1).send, 0);
}
