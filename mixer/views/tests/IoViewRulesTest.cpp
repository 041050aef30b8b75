// Which rows the outputs and inputs views make and how an output row looks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mixer/views/IoViewRules.h"

namespace
{
// "F1 F10" style feature lists.
IoHardware Hardware(int model, const std::string& features)
{
    auto has = [&](const char* f) {
        const std::string word = std::string(" ") + f + " ";
        return (" " + features + " ").find(word) != std::string::npos;
    };
    return MakeIoHardware(model, has("F1"), has("F2"), has("F4"), has("F9"), has("F10"), has("F11"));
}

std::vector<int> ShownOutputs(const IoHardware& hardware, int count)
{
    std::vector<int> shown;
    for (int i = 0; i < count; ++i)
        if (ShowsPhysicalOutput(hardware, i))
            shown.push_back(i);
    return shown;
}

TEST(IoViewRules, PhysicalOutputsShownPerModelAndFeatures)
{
    struct Row
    {
        const char* label;
        int model;
        const char* features;
        std::vector<int> shown; // of 16 pairs
    };
    const Row rows[] = {
        {"model 2, F1 and F10", 2, "F1 F10", {0, 1, 2, 3, 4, 5}},
        {"model 4, nothing: pair 0 needs a feature", 4, "", {1, 2, 3}},
        {"model 2, F9 without F10: only pair 0", 2, "F9", {0}},
        {"model 2, F10 and F11 count as F9, with F10", 2, "F10 F11", {0, 1, 2, 3, 4, 5}},
        {"model 2, F4: pairs 0 and 1", 2, "F4", {0, 1}},
        {"model 4, F1: all", 4, "F1", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"model 3, F4: pair 0 only", 3, "F4", {0}},
        {"model 5, F2: pairs 0 and 1", 5, "F2", {0, 1}},
        {"model 3, F11: pairs 1 and 2", 3, "F11", {1, 2}},
        {"model 3, F1: all", 3, "F1", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"model 3, F9 and F10", 3, "F9 F10", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"model 0, nothing: up to pair 5", 0, "", {1, 2, 3, 4, 5}},
        {"model 0, F2: pair 0 and up to pair 5", 0, "F2", {0, 1, 2, 3, 4, 5}},
        {"model 0, F1: up to pair 12", 0, "F1", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"model 0, F1 and F2: all", 0, "F1 F2", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"model 7, F10: up to pair 7", 7, "F10", {1, 2, 3, 4, 5, 6, 7}},
        {"model 1, F4: pairs 0 and 1", 1, "F4", {0, 1}},
        {"model 1, F9: pair 0", 1, "F9", {0}},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        EXPECT_EQ(ShownOutputs(Hardware(row.model, row.features), 16), row.shown);
    }
}

TEST(IoViewRules, PhysicalInputPositions)
{
    struct Row
    {
        const char* label;
        int model;
        const char* features;
        int group;
        int count;
        std::vector<int> positions; // of rows 0 .. count - 1
    };
    const Row rows[] = {
        {"F4 and F9: group 1 starts at 4", 2, "F4 F9", 1, 3, {4, 5, 6}},
        {"F4: group 1 starts at 2", 2, "F4", 1, 3, {2, 3, 4}},
        {"neither F4 nor F2: 0, 1, then from 4", 2, "", 1, 4, {0, 1, 4, 5}},
        {"F2 without F1 and F9", 2, "F2", 1, 3, {2, 3, 4}},
        {"F2 and F1", 2, "F1 F2", 1, 3, {0, 1, 2}},
        {"F2 and F9", 2, "F2 F9", 1, 4, {0, 1, 4, 5}},
        {"F2 without F1 on model 4: the last shows 7", 4, "F2", 2, 4, {0, 1, 2, 7}},
        {"F2 without F1 on model 0: the last shows 9", 0, "F2", 2, 3, {0, 1, 9}},
        {"F2 without F1 on model 5: the last shows 4", 5, "F2", 2, 3, {0, 1, 4}},
        {"F2 without F1 on model 8: unchanged", 8, "F2", 2, 3, {0, 1, 2}},
        {"F4 on model 1: position 1 shows 9", 1, "F4", 2, 3, {0, 9, 2}},
        {"F4 on model 2: position 1 shows 7", 2, "F4", 2, 3, {0, 7, 2}},
        {"F4 on model 3: position 0 shows 4", 3, "F4", 2, 3, {4, 1, 2}},
        {"F1 and F2: group 2 unchanged", 4, "F1 F2", 2, 3, {0, 1, 2}},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        const IoHardware hardware = Hardware(row.model, row.features);
        std::vector<int> positions;
        for (int i = 0; i < row.count; ++i)
            positions.push_back(PhysicalInputPosition(hardware, row.group, i, row.count));
        EXPECT_EQ(positions, row.positions);
    }
}

TEST(IoViewRules, HostInputsListGroup3Type4FirstAndNeverGroup0Type4)
{
    ASSERT_GT(sizeof kHostInputOrder / sizeof kHostInputOrder[0], 1u);
    EXPECT_EQ(kHostInputOrder[0].group, 3);
    EXPECT_EQ(kHostInputOrder[0].type, 4);
    std::vector<int> group0Types;
    for (const HostInputSlot& slot : kHostInputOrder)
    {
        if (slot.group == 0)
            group0Types.push_back(slot.type);
        else
            EXPECT_EQ(slot.group, 3);
    }
    EXPECT_EQ(group0Types, (std::vector<int>{0, 1, 2, 3, 5}));
}

TEST(IoViewRules, OutputStatesWithPresentAndAbsentPartners)
{
    struct Row
    {
        const char* label;
        OutputFacts facts;
        int state;
        bool hostRow; // a row in host mode
    };
    auto facts = [](bool master, bool physical, bool overridden, bool p1, bool p2, bool inUse, int assignment,
                    bool mixOverride) {
        OutputFacts f;
        f.hasOutput = true;
        f.master = master;
        f.physical = physical;
        f.overridden = overridden;
        f.partnerInUse[0] = p1;
        f.partnerInUse[1] = p2;
        f.inUse = inUse;
        f.assignment = assignment;
        f.mixOverride = mixOverride;
        return f;
    };
    const Row rows[] = {
        {"no output", OutputFacts{}, 0, true},
        {"non-master, free", facts(false, true, false, false, false, false, 0, false), 0, false},
        {"non-master, in use", facts(false, true, false, false, false, true, 0, false), 1, true},
        {"mix, partners absent", facts(true, true, false, false, false, true, 0, false), 2, false},
        {"monitor, partners absent", facts(true, true, false, false, false, true, 1, false), 3, false},
        {"mix, left partner in use", facts(true, true, false, true, false, true, 0, false), 4, true},
        {"monitor, right partner in use", facts(true, true, false, false, true, true, 1, false), 5, true},
        {"mix, overridden", facts(true, false, true, false, false, true, 0, false), 4, true},
        {"none, free", facts(true, true, false, false, false, false, 2, false), 6, false},
        {"none, mix override", facts(true, true, false, false, false, false, 2, true), 4, true},
        {"none, overridden", facts(true, true, true, false, false, false, 2, false), 7, true},
        {"none, partner in use", facts(true, true, false, true, true, false, 2, false), 7, true},
        {"a host output ignores partners", facts(true, false, false, true, true, false, 2, false), 6, false},
        {"an unknown assignment", facts(true, true, false, false, false, false, 9, false), 6, false},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        int state = -1;
        EXPECT_TRUE(ComputeOutputState(row.facts, 0, state)) << "physical mode shows every state";
        EXPECT_EQ(state, row.state);
        EXPECT_EQ(ComputeOutputState(row.facts, 1, state), row.hostRow);
    }
}

TEST(IoViewRules, EveryStateHasATemplateInBothModes)
{
    for (int state = 0; state < kOutputStateCount; ++state)
    {
        SCOPED_TRACE(state);
        ASSERT_NE(OutputTemplate(state, 0), nullptr);
        ASSERT_NE(OutputTemplate(state, 1), nullptr);
        EXPECT_EQ(std::string(OutputTemplate(state, 0)).rfind("MSTVOutputsViewItem_", 0), 0u);
        EXPECT_EQ(std::string(OutputTemplate(state, 1)).rfind("MSTVOutputsHostViewItem_", 0), 0u);
    }
    EXPECT_STREQ(OutputTemplate(7, 0), "MSTVOutputsViewItem_UnassignedOveride");
    EXPECT_STREQ(OutputTemplate(1, 1), "MSTVOutputsHostViewItem_Assigned");
    EXPECT_STREQ(OutputTemplate(6, 1), "MSTVOutputsHostViewItem_Unassigned");
    EXPECT_EQ(OutputTemplate(-1, 0), nullptr);
    EXPECT_EQ(OutputTemplate(8, 1), nullptr);
}
} // namespace
