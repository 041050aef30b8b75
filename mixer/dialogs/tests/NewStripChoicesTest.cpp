#include "mixer/dialogs/NewStripChoices.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "mixer/dialogs/tests/ChoicesSupport.h"

namespace
{
using choices::Narrow;
using choices::Strings;

struct Card : choices::Card
{
    using choices::Card::Card;
    NewStripLists Lists() { return BuildNewStripLists(System(), mixer.get(), strings); }
};

std::vector<std::string> Texts(const std::vector<NewStripEntry>& entries)
{
    std::vector<std::string> texts;
    for (const NewStripEntry& entry : entries)
        texts.push_back(Narrow(entry.text));
    return texts;
}

TEST(NewStripChoices, FourAsioPairsGiveTwelveEntriesAndTheFifthIsTheFirstChannel)
{
    Card card("outputs=8\ninputs=2\n");
    const NewStripLists lists = card.Lists();
    EXPECT_EQ(lists.asioPairs, 4);
    EXPECT_EQ(Texts(lists.asio),
              (std::vector<std::string>{"From ASIO OUT 1 / 2", "From ASIO OUT 3 / 4", "From ASIO OUT 5 / 6",
                                        "From ASIO OUT 7 / 8", "From ASIO OUT 1", "From ASIO OUT 2", "From ASIO OUT 3",
                                        "From ASIO OUT 4", "From ASIO OUT 5", "From ASIO OUT 6", "From ASIO OUT 7",
                                        "From ASIO OUT 8"}));
    EXPECT_EQ(lists.asioChoice, 0);
    const NewStripChoice fifth = ChooseNewStrip(lists, 1, 0, -1, 4, -1, -1, 0);
    EXPECT_EQ(fifth.sourceKind, 3);
    EXPECT_EQ(fifth.subKind, 4);
    EXPECT_EQ(fifth.choice, 0);
    const NewStripChoice pair = ChooseNewStrip(lists, 1, 0, -1, 2, -1, -1, 1);
    EXPECT_EQ(pair.sourceKind, 0);
    EXPECT_EQ(pair.subKind, 1);
    EXPECT_EQ(pair.choice, 2);
    EXPECT_EQ(pair.preFader, 1);
    const NewStripChoice fx = ChooseNewStrip(lists, 1, 3, -1, 0, 0, -1, 0);
    EXPECT_EQ(fx.subKind, 3);
    EXPECT_EQ(fx.choice, 0);
    const NewStripChoice wave = ChooseNewStrip(lists, 1, 1, -1, 0, -1, 0, 0);
    EXPECT_EQ(wave.sourceKind, 0);
    EXPECT_EQ(wave.subKind, 0);
    EXPECT_EQ(wave.choice, 0);
}

TEST(NewStripChoices, PairsPastNineLoseTheBlanksAndOddCountsGreyOnlyTheMissingChannel)
{
    Card six("outputs=12\n");
    const auto texts = Texts(six.Lists().asio);
    ASSERT_EQ(texts.size(), 18u);
    EXPECT_EQ(texts[4], "From ASIO OUT 9 / 10");
    EXPECT_EQ(texts[5], "From ASIO OUT 11/12");

    // Seven channels: the fourth pair lacks its right channel, which is greyed, and the pair
    // itself stays free.
    Card odd("outputs=7\n");
    const NewStripLists lists = odd.Lists();
    ASSERT_EQ(lists.asioPairs, 4);
    ASSERT_EQ(lists.asio.size(), 12u);
    EXPECT_EQ(lists.asio[3].free, 1);
    EXPECT_EQ(lists.asio[4 + 6].free, 1);
    EXPECT_EQ(lists.asio[4 + 7].free, 0);
}

TEST(NewStripChoices, EntriesInUseAreMarkedWithTheirStrip)
{
    // ASIO channel 0 feeds strip 2 alone: pair 0 and channel 0 are in use, channel 1 is not.
    Card card("outputs=8\ninput=3 0 strip 2\ninput=1 1 strip 1\nmonoinputs=4\nstereoinputs=4\nfeatures=1\n");
    const NewStripLists lists = card.Lists();
    EXPECT_EQ(lists.asio[0].free, 0);
    EXPECT_EQ(lists.asio[4].free, 0);
    EXPECT_EQ(lists.asio[5].free, 1);
    EXPECT_NE(Narrow(lists.asio[4].text).find(" ["), std::string::npos);
    EXPECT_EQ(Narrow(lists.asio[5].text).find(" ["), std::string::npos);
    EXPECT_EQ(lists.asioChoice, 1);
    // Physical (with the dock): four pairs then the channels 0, 1, 4, 5; channel 1 is in use,
    // and so is the last pair, whose half it is.
    ASSERT_EQ(lists.physical.size(), 8u);
    EXPECT_EQ(lists.stereoCount, 4);
    EXPECT_EQ(lists.physical[4 + 1].value, 1);
    EXPECT_EQ(lists.physical[4 + 1].free, 0);
    EXPECT_EQ(lists.physical[3].free, 0);
    EXPECT_EQ(lists.physical[0].free, 1);
    EXPECT_EQ(lists.physicalChoice, 0);
}

TEST(NewStripChoices, PhysicalPositionsMapToTheConnectorsOfEachFeatureSetAndRate)
{
    struct Row
    {
        const char* trace;
        PhysicalFeatures features;
        int stereoCount;
        std::vector<int> stereo; // list index of each stereo position
        std::vector<int> mono;   // of mono positions 0-3
    } rows[] = {
        {"plain card", {false, false, false, false, false, false, 1}, 3, {0, 1, 2}, {4, 5, 6, 7}},
        {"dock", {true, false, false, false, false, false, 1}, 3, {0, 1, 2}, {0, 1, 4, 5}},
        {"I/O card, 48 kHz", {false, true, false, false, false, false, 1}, 3, {0, 1, 9}, {2, 3, 4, 5}},
        {"I/O card, 96 kHz", {false, true, false, false, false, false, 2}, 3, {0, 1, 7}, {2, 3, 4, 5}},
        {"I/O card, 192 kHz", {false, true, false, false, false, false, 3}, 3, {0, 1, 4}, {2, 3, 4, 5}},
        {"dock and I/O card", {true, true, false, false, false, false, 1}, 3, {0, 1, 2}, {0, 1, 2, 3}},
        {"small box, 48 kHz", {false, false, true, false, false, false, 1}, 3, {0, 9, 2}, {2, 3, 4, 5}},
        {"small box, 176.4 kHz", {false, false, true, false, false, false, 5}, 3, {4, 1, 2}, {2, 3, 4, 5}},
        {"second model with sync", {false, false, false, true, true, false, 1}, 3, {0, 1, 2}, {0, 1, 4, 5}},
        {"small box, second model with sync", {false, false, true, true, true, false, 1}, 2, {0, 9}, {2, 3, 6, 7}},
    };
    for (const Row& row : rows)
    {
        for (size_t i = 0; i < row.stereo.size(); ++i)
            EXPECT_EQ(StereoListIndex(row.features, static_cast<int>(i), row.stereoCount), row.stereo[i])
                << row.trace << " stereo " << i;
        for (size_t i = 0; i < row.mono.size(); ++i)
            EXPECT_EQ(MonoListIndex(row.features, static_cast<int>(i)), row.mono[i]) << row.trace << " mono " << i;
    }
    // The second model without its sync card offers no physical input.
    Card disabled("features=9\n");
    const NewStripLists lists = disabled.Lists();
    EXPECT_TRUE(lists.physicalDisabled);
    EXPECT_EQ(Texts(lists.physical), (std::vector<std::string>{"Disabled"}));
    EXPECT_EQ(ChooseNewStrip(lists, 0, 0, 0, -1, -1, -1, 0).choice, -1);
}

TEST(NewStripChoices, TheChoiceMakesTheStripAndNoChoiceCallsNothing)
{
    Card card("outputs=8\nmonoinputs=2\nmidifxsends=1\nstrips=0\n");
    IVarnStripList* list = card.System()->GetStripList();
    const struct
    {
        const char* trace;
        NewStripChoice choice;
        bool made;
        int status;
        const char* call; // null: no creation asked
    } rows[] = {
        {"no physical choice", {1, 5, -1, 0}, false, 1, nullptr},
        {"no ASIO choice", {0, 1, -1, 0}, false, 1, nullptr},
        {"no FX send choice", {0, 3, -1, 0}, false, 1, nullptr},
        {"no single channel choice", {3, 4, -1, 0}, false, 1, nullptr},
        {"a mono input", {1, 5, 0, 1}, true, 1, "CreateMonoStrip"},
        {"the same one, now in use", {1, 5, 0, 0}, false, 1, nullptr},
        {"an ASIO pair", {0, 1, 1, 0}, true, 1, "CreateStereoStrip"},
        {"an FX send", {0, 3, 0, 0}, true, 1, "CreateMonoStrip"},
        {"a free ASIO channel", {3, 4, 7, 0}, true, 1, "CreateMonoStrip"},
        {"the set refuses a channel in use", {3, 4, 7, 0}, false, 2, nullptr},
    };
    for (const auto& row : rows)
    {
        card.log.clear();
        int busy = 0, done = 0;
        const NewStripResult result = CreateChosenStrip(
            card.System(), row.choice, [&] { ++busy; }, [&] { ++done; });
        EXPECT_EQ(result.made, row.made) << row.trace;
        EXPECT_EQ(result.status, row.status) << row.trace;
        EXPECT_EQ(card.Calls("Create"), row.call ? 1 : 0) << row.trace;
        if (row.call)
        {
            EXPECT_EQ(card.Calls(row.call), 1) << row.trace;
        }
        EXPECT_EQ(busy, row.call ? 1 : 0) << row.trace;
        EXPECT_EQ(done, busy) << row.trace;
    }
    EXPECT_EQ(list->GetCount(), 4);
    EXPECT_EQ(list->GetStrip(0)->IsPreFader(), 1);
}
} // namespace
