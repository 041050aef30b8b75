#include "mixer/dialogs/InsertPortChoices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mixer/dialogs/tests/ChoicesSupport.h"
#include "mixer/engine/EngineVocabulary.h"

namespace
{
using choices::Card;
using choices::Narrow;

std::vector<std::string> Texts(const InsertPortList& list)
{
    std::vector<std::string> texts;
    for (const InsertPortEntry& entry : list.entries)
        texts.push_back(Narrow(entry.text));
    return texts;
}

std::vector<int> Selectable(const InsertPortList& list)
{
    std::vector<int> flags;
    for (const InsertPortEntry& entry : list.entries)
        flags.push_back(entry.selectable);
    return flags;
}

bool Bracketed(const InsertPortEntry& entry)
{
    return Narrow(entry.text).find(" [") != std::string::npos;
}

// Two ASIO pairs recording their strips, a Wave pair, two physical pairs (pair 0 carries the
// main mix), four stereo and four mono physical inputs.
const char* const kCard = "inputs=4\noutputs=4\nwave=1\nphysicaloutputs=2\noutput=0 main\nstereoinputs=4\n"
                          "monoinputs=4\n";

TEST(InsertPortChoices, SendOutputsListAsioWaveAndPhysicalWithSingleChannelsOnlyForMonoStrips)
{
    Card card(kCard);
    InsertPortList stereo = BuildSendOutputs(card.System(), false, card.strings);
    ASSERT_EQ(stereo.entries.size(), 5u); // 2 ASIO, 1 Wave, 2 physical pairs
    EXPECT_EQ(Selectable(stereo), (std::vector<int>{0, 0, 1, 0, 1}));
    EXPECT_EQ(stereo.entries[0].output->GetKind(), OutputKind::kAsio);
    EXPECT_EQ(stereo.entries[2].output->GetKind(), OutputKind::kWave);
    EXPECT_TRUE(Bracketed(stereo.entries[0])); // taken: the insert that uses it is named
    EXPECT_TRUE(Bracketed(stereo.entries[3]));
    EXPECT_FALSE(Bracketed(stereo.entries[4]));
    EXPECT_EQ(stereo.choice, 2); // the first free output carrying no mix

    // A mono strip also gets the physical single channels (never the ASIO ones); the channels
    // of the taken pair are greyed.
    InsertPortList mono = BuildSendOutputs(card.System(), true, card.strings);
    ASSERT_EQ(mono.entries.size(), 9u);
    EXPECT_EQ(Selectable(mono), (std::vector<int>{0, 0, 1, 0, 1, 0, 0, 1, 1}));
    for (size_t i = 5; i < 9; ++i)
        EXPECT_EQ(mono.entries[i].output->IsSingleChannel(), 1) << i;
}

TEST(InsertPortChoices, APairWithATakenChannelIsGreyedAndNoGreyedEntryIsChosen)
{
    Card card(std::string(kCard) + "route=2 strip 0\n"); // the left channel of physical pair 1
    InsertPortList list = BuildSendOutputs(card.System(), false, card.strings);
    ASSERT_EQ(list.entries.size(), 5u);
    EXPECT_EQ(list.entries[4].selectable, 0);
    EXPECT_FALSE(Bracketed(list.entries[4])); // the pair itself is free: no user to name
    // Greyed entries, entries outside the list and "Disabled" name no port.
    EXPECT_EQ(ChosenOutput(list, 4), nullptr);
    EXPECT_EQ(ChosenOutput(list, 0), nullptr);
    EXPECT_EQ(ChosenOutput(list, 5), nullptr);
    EXPECT_EQ(ChosenOutput(list, -1), nullptr);
    EXPECT_EQ(ChosenOutput(list, 2), list.entries[2].output);
    // With nothing free the pre-selection falls back to entry 0, which still names nothing.
    Card full("inputs=4\noutputs=4\nwave=0\nphysicaloutputs=1\noutput=0 main\n");
    InsertPortList taken = BuildSendOutputs(full.System(), false, full.strings);
    EXPECT_EQ(taken.choice, 0);
    EXPECT_EQ(ChosenOutput(taken, taken.choice), nullptr);
}

TEST(InsertPortChoices, TheRateDecidesWhichOutputsExist)
{
    struct Case
    {
        const char* label;
        const char* rate;
        size_t physical;
    } cases[] = {{"48 kHz", "rate=1\n", 2}, {"96 kHz", "rate=2\n", 1}, {"192 kHz", "rate=3\n", 0}};
    for (const Case& c : cases)
    {
        Card card(std::string(kCard) + c.rate + "fit=2 2 1\nfit=2 3 0\n");
        InsertPortLists lists = BuildSendReturnLists(card.System(), false, card.strings);
        EXPECT_EQ(lists.sends.entries.size(), c.physical) << c.label;
    }
}

TEST(InsertPortChoices, SendReturnListsFollowTheFeatures)
{
    // Feature 9 without 10: only "Disabled", which cannot be confirmed.
    Card disabled(std::string(kCard) + "features=9\n");
    InsertPortLists off = BuildSendReturnLists(disabled.System(), true, disabled.strings);
    EXPECT_TRUE(off.disabled);
    EXPECT_EQ(Texts(off.sends), (std::vector<std::string>{"Disabled"}));
    EXPECT_EQ(Texts(off.returns), (std::vector<std::string>{"Disabled"}));
    EXPECT_EQ(ChosenOutput(off.sends, 0), nullptr);
    EXPECT_EQ(ChosenInput(off.returns, 0), nullptr);

    // At 176.4 or 192 kHz with feature 4 the first return is stereo input 4.
    for (const char* rate : {"rate=3\n", "rate=5\n"})
    {
        Card card(std::string("inputs=4\noutputs=4\nphysicaloutputs=2\nstereoinputs=10\nmonoinputs=8\nfeatures=4\n") +
                  rate);
        InsertPortLists lists = BuildSendReturnLists(card.System(), false, card.strings);
        ASSERT_EQ(lists.returns.entries.size(), 10u) << rate;
        EXPECT_EQ(lists.returns.entries[0].input, card.System()->GetInputList()->GetInput(2, 4)) << rate;
    }

    // A taken stereo input names its strip and is greyed; its mono companions grey it too.
    Card card(std::string(kCard) + "monoinputs=8\ninput=2 1 strip 0\ninput=1 4 strip 1\n");
    InsertPortLists lists = BuildSendReturnLists(card.System(), false, card.strings);
    ASSERT_EQ(lists.returns.entries.size(), 4u);
    EXPECT_EQ(Selectable(lists.returns), (std::vector<int>{0, 0, 1, 1}));
    EXPECT_FALSE(Bracketed(lists.returns.entries[0])); // greyed by mono input 4, its left channel
    EXPECT_TRUE(Bracketed(lists.returns.entries[1]));
    EXPECT_EQ(lists.returns.choice, 2);
    EXPECT_EQ(ChosenInput(lists.returns, 1), nullptr);
    EXPECT_EQ(ChosenInput(lists.returns, 2), lists.returns.entries[2].input);
    // A mono strip also lists the mono inputs.
    EXPECT_EQ(BuildSendReturnLists(card.System(), true, card.strings).returns.entries.size(), 8u);
}

TEST(InsertPortChoices, AsioReturnsAreNumberedByTheHostsOutputs)
{
    Card card("inputs=4\noutputs=12\ninput=0 6 strip 0\n"); // host input 6: ASIO pair 5
    InsertPortLists stereo = BuildAsioSendReturnLists(card.System(), false, card.strings);
    ASSERT_EQ(stereo.returns.entries.size(), 6u);
    EXPECT_EQ(Narrow(stereo.returns.entries[0].text), "From ASIO OUT 1 / 2");
    EXPECT_EQ(Narrow(stereo.returns.entries[4].text), "From ASIO OUT 9 / 10");
    EXPECT_EQ(Narrow(stereo.returns.entries[5].text).rfind("From ASIO OUT 11/12 [", 0), 0u);
    EXPECT_EQ(stereo.returns.entries[5].selectable, 0);
    EXPECT_EQ(ChosenAsioReturn(card.System(), stereo.returns, 5, true), nullptr);
    IVarnInput* first = ChosenAsioReturn(card.System(), stereo.returns, 0, false);
    EXPECT_EQ(first, card.System()->GetInputList()->GetHostSource(InputKind::kSubAsioPair, 0));
    EXPECT_EQ(ChosenAsioReturn(card.System(), stereo.returns, 6, true), nullptr);

    InsertPortLists mono = BuildAsioSendReturnLists(card.System(), true, card.strings);
    ASSERT_EQ(mono.returns.entries.size(), 18u);
    EXPECT_EQ(Narrow(mono.returns.entries[6].text), "From ASIO OUT 1");
    // Channels 11 and 12 are greyed by their pair, and name their own (lack of a) user.
    EXPECT_EQ(Narrow(mono.returns.entries[17].text), "From ASIO OUT 12 [-]");
    EXPECT_EQ(Selectable(mono.returns).back(), 0);
    EXPECT_EQ(mono.returns.entries[15].selectable, 1);

    // Sends: the ASIO pairs alone, the ones recording a strip greyed.
    ASSERT_EQ(stereo.sends.entries.size(), 2u);
    EXPECT_EQ(Selectable(stereo.sends), (std::vector<int>{0, 0}));
    Card free("inputs=4\noutputs=4\nrecord=1 free\n");
    InsertPortLists lists = BuildAsioSendReturnLists(free.System(), true, free.strings);
    EXPECT_EQ(Selectable(lists.sends), (std::vector<int>{0, 1}));
    EXPECT_EQ(lists.sends.choice, 1);
    EXPECT_EQ(ChosenOutput(lists.sends, 1), free.System()->GetItemList()->GetPort(OutputKind::kAsio, 1));
}
} // namespace

namespace
{
// A system whose ASIO returns the engine has not made yet: the input list makes a port on
// request, and the port notes what it was assigned.
class MadePort : public IVarnInput
{
public:
    int VARN_CALL GetKind() override { return InputKind::kHost; }
    int VARN_CALL GetIndex() override { return 0; }
    int VARN_CALL IsAssigned() override { return 0; }
    IVarnStrip* VARN_CALL GetStrip() override { return nullptr; }
    IVarnInsert* VARN_CALL GetDestination() override { return nullptr; }
    int VARN_CALL GetSubKind(int*) override { return 0; }
    int VARN_CALL GetChannelCount() override { return 2; }
    int VARN_CALL Select(int subKind, int index, int flags) override
    {
        selected.push_back({subKind, index, flags});
        return 1;
    }
    int VARN_CALL GetWavePair(int*) override { return 0; }
    int VARN_CALL GetAsioIndex(int*) override { return 0; }
    int VARN_CALL GetMidiFxSend(int*) override { return 0; }
    int VARN_CALL IsTakenByPlugin() override { return 0; }
    int VARN_CALL GetChainEnd(IVarnOutput**) override { return 0; }
    std::vector<std::vector<int>> selected;
};

class UnmadeReturns : public IVarnInputList
{
public:
    int VARN_CALL GetCount(int) override { return 0; }
    IVarnInput* VARN_CALL GetInput(int, int) override { return nullptr; }
    IVarnInput* VARN_CALL CreatePairPort(int subKind) override
    {
        made.push_back(subKind);
        return &port;
    }
    IVarnInput* VARN_CALL CreateChannelPort(int subKind) override
    {
        made.push_back(subKind);
        return &port;
    }
    IVarnInput* VARN_CALL GetHostSource(int, int) override { return nullptr; }
    int VARN_CALL GetSetSize(int subKind) override { return subKind == InputKind::kSubAsioPair ? 2 : 0; }
    std::vector<int> made;
    MadePort port;
};

class UnmadeSystem : public IVarnHardware
{
public:
    int VARN_CALL HasFeature(int) override { return 0; }
    IVarnSettings* VARN_CALL GetSettings() override { return nullptr; }
    IVarnMainMix* VARN_CALL GetMainMix() override { return nullptr; }
    IVarnInputList* VARN_CALL GetInputList() override { return &inputs; }
    IVarnItemList* VARN_CALL GetItemList() override { return &items; }
    int VARN_CALL GetModelCode() override { return 0; }
    int VARN_CALL IsMaster() override { return 1; }
    int VARN_CALL PrepareDsp() override { return 1; }
    IVarnFitChecker* VARN_CALL GetFitChecker() override { return nullptr; }
    int VARN_CALL ChannelExists(int, int, int) override { return 1; }
    int VARN_CALL GetRates(int, VarnCodeList*) override { return 0; }
    IVarnDriver* VARN_CALL GetDriver() override { return nullptr; }
    UnmadeReturns inputs;
    StandinItemList items;
};

TEST(InsertPortChoices, AMissingAsioReturnIsMadeOnlyWhenTheInsertIsAdded)
{
    UnmadeSystem system;
    choices::Strings strings;
    InsertPortLists lists = BuildAsioSendReturnLists(&system, true, strings);
    ASSERT_EQ(lists.returns.entries.size(), 6u); // two pairs, four channels, none made yet
    EXPECT_EQ(lists.returns.entries[1].makeSubKind, InputKind::kSubAsioPair);
    EXPECT_EQ(lists.returns.entries[3].makeSubKind, InputKind::kSubAsioChannel);
    // The check of "OK" and a cancelled dialog make nothing.
    EXPECT_TRUE(AsioReturnChoosable(&system, lists.returns, 1));
    EXPECT_EQ(ChosenAsioReturn(&system, lists.returns, 1, false), nullptr);
    EXPECT_TRUE(system.inputs.made.empty());
    // Adding the insert makes the pair and assigns it its place.
    EXPECT_EQ(ChosenAsioReturn(&system, lists.returns, 1, true), &system.inputs.port);
    EXPECT_EQ(system.inputs.made, (std::vector<int>{InputKind::kSubAsioPair}));
    EXPECT_EQ(system.inputs.port.selected, (std::vector<std::vector<int>>{{InputKind::kSubAsioPair, 1, 0}}));
    EXPECT_EQ(ChosenAsioReturn(&system, lists.returns, 3, true), &system.inputs.port);
    EXPECT_EQ(system.inputs.port.selected.back(), (std::vector<int>{InputKind::kSubAsioChannel, 1, 0}));
}
} // namespace
