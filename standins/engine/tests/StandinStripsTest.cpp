#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "standins/engine/StandinEffects.h"
#include "standins/engine/StandinServices.h"
#include "standins/engine/StandinStrips.h"
#include "standins/engine/tests/EventRecorder.h"
#include "standins/engine/tests/CardEngineTest.h"
#include "tests/support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace
{
// Four ASIO pairs (so four card strips), a mono and a stereo physical input of each, a synth
// and an FX send; strip 0 records pair 0 and is fed by stereo input 0.
const char* const kCard = "systems=2\ninputs=8\noutputs=4\nwave=1\nmonoinputs=2\nstereoinputs=2\n"
                          "midifxsends=1\nsynths=1\ninput=2 0 strip 0\nabsent=1 1\n";

using Events = EventRecorder;

class Strips : public CardEngineTest
{
protected:
    Strips() : CardEngineTest("kiv-strips") {}
    std::string Card() const override { return kCard; }
    IVarnHardware* System(int i = 0) { return engine_.GetMixer()->GetSystem(i); }
    IVarnStripList* List(int i = 0) { return System(i)->GetStripList(); }
    IVarnInputList* Inputs(int i = 0) { return System(i)->GetInputList(); }
    std::vector<std::pair<int, VarnEventArg>> Heard()
    {
        engine_.WaitForEvents();
        return events_.Take();
    }
    // The strip list's ids in order.
    std::vector<int> Ids(int system = 0)
    {
        std::vector<int> ids;
        for (int i = 0; i < List(system)->GetCount(); ++i)
            ids.push_back(List(system)->GetStrip(i)->GetId());
        return ids;
    }
    int CallsMatching(const std::string& prefix)
    {
        auto log = engine_.GetCallLog();
        return static_cast<int>(
            std::count_if(log.begin(), log.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
    }
};

TEST_F(Strips, EachSystemListsItsCardStripsFirstWithIdsBySystem)
{
    EXPECT_EQ(Ids(0), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Ids(1), (std::vector<int>{64, 65, 66, 67}));
    IVarnStrip* strip = List(1)->GetStrip(2);
    EXPECT_EQ(strip->GetIndex(), 2);
    EXPECT_EQ(strip->GetOwnerList(), List(1));
    EXPECT_EQ(List(1)->GetSystem(), System(1));
    EXPECT_EQ(System(1)->GetMixer(), engine_.GetMixer());
    EXPECT_EQ(engine_.GetMixer()->GetStripById(66), strip);
    EXPECT_EQ(List()->GetStrip(4), nullptr);
    EXPECT_EQ(List()->GetStrip(-1), nullptr);
    // The card's strip 0 is fed by stereo input 0; strips 1-3 have no source.
    EXPECT_EQ(List()->GetStrip(0)->GetSource(), Inputs()->GetInput(2, 0));
    EXPECT_EQ(List()->GetStrip(1)->GetSource(), nullptr);
    EXPECT_EQ(List()->GetStrip(0)->HasDsp(), 1);
    EXPECT_EQ(List()->GetStrip(0)->GetInsertChain()->GetStrip(), List()->GetStrip(0));
}

TEST_F(Strips, SourcesBySubKindSetsAndFreeCounts)
{
    IVarnInputList* inputs = Inputs();
    EXPECT_EQ(inputs->GetSetSize(0), 1); // Wave pairs
    EXPECT_EQ(inputs->GetSetSize(1), 2); // ASIO pairs of four outputs
    EXPECT_EQ(inputs->GetSetSize(2), 1); // synths
    EXPECT_EQ(inputs->GetSetSize(3), 1); // FX sends
    EXPECT_EQ(inputs->GetSetSize(4), 4); // ASIO channels
    int subKind = -1;
    IVarnInput* synth = inputs->GetHostSource(2, 0);
    ASSERT_NE(synth, nullptr);
    EXPECT_TRUE(synth->GetSubKind(&subKind) && subKind == 2);
    EXPECT_EQ(synth->GetChannelCount(), 2);
    EXPECT_EQ(inputs->GetHostSource(3, 0)->GetChannelCount(), 1) << "an FX send is one channel";
    EXPECT_EQ(inputs->GetHostSource(4, 3), inputs->GetInput(3, 3));
    EXPECT_EQ(inputs->GetHostSource(1, 2), nullptr);
    // Stereo input 0 feeds strip 0; mono input 1 is absent.
    EXPECT_EQ(inputs->GetFreeCount(2, 5), 1);
    EXPECT_EQ(inputs->GetFreeCount(1, 5), 1);
    EXPECT_EQ(inputs->GetInput(1, 1)->IsPresent(), 0);
    EXPECT_EQ(inputs->GetInput(1, 0)->IsPresent(), 1);
    EXPECT_EQ(inputs->GetFreeCount(0, 5), 5);

    // Set 1 holds Wave, ASIO pairs and synths; set 0 FX sends and ASIO channels.
    IVarnInput* pairs = inputs->GetSourceSet(1);
    IVarnInput* singles = inputs->GetSourceSet(0);
    EXPECT_EQ(inputs->GetSourceSet(2), nullptr);
    struct Case
    {
        IVarnInput* set;
        int subKind, choice, selects;
    } cases[] = {
        {pairs, 1, 1, 1}, {pairs, 2, 0, 1},   {pairs, 0, 0, 1},   {pairs, 3, 0, 0},   {pairs, 1, -1, 0},
        {pairs, 1, 2, 0}, {singles, 4, 3, 1}, {singles, 3, 0, 1}, {singles, 1, 0, 0}, {singles, 4, -1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.set->Select(c.subKind, c.choice, 1), c.selects) << c.subKind << " " << c.choice;
}

TEST_F(Strips, CreatingTakesAFreeSourceRaisesTenAndNeverReusesAnId)
{
    IVarnStripList* list = List();
    IVarnStrip* made = nullptr;
    int status = 0;
    // Refusals change nothing.
    EXPECT_EQ(list->CreateMonoStrip(nullptr, 0, &made, &status, 1), 0);
    EXPECT_EQ(list->CreateMonoStrip(Inputs()->GetInput(1, 0), 0, nullptr, &status, 1), 0);
    EXPECT_EQ(list->CreateMonoStrip(Inputs()->GetInput(1, 0), 0, &made, nullptr, 1), 0);
    EXPECT_EQ(list->CreateMonoStrip(Inputs(1)->GetInput(1, 0), 0, &made, &status, 1), 0) << "another system's";
    EXPECT_EQ(list->CreateStereoStrip(Inputs()->GetInput(2, 0), 0, &made, &status, 1), 0) << "in use";
    EXPECT_EQ(list->CreateStereoStrip(Inputs()->GetInput(1, 0), 0, &made, &status, 1), 0) << "mono on stereo";
    EXPECT_EQ(list->CreateMonoStrip(Inputs()->GetSourceSet(0), 0, &made, &status, 1), 0) << "nothing selected";
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(list->GetCount(), 4);
    EXPECT_TRUE(Heard().empty());

    ASSERT_EQ(list->CreateMonoStrip(Inputs()->GetInput(1, 0), 1, &made, &status, 1), 1);
    EXPECT_EQ(status, 1);
    const int first = made->GetId();
    EXPECT_EQ(made->GetIndex(), 4);
    EXPECT_EQ(made->IsPreFader(), 1);
    EXPECT_EQ(made->GetKindCode(), 1);
    EXPECT_EQ(Inputs()->GetInput(1, 0)->IsAssigned(), 1);
    EXPECT_EQ(Inputs()->GetInput(1, 0)->GetStrip(), made);
    EXPECT_EQ(Heard(), (std::vector<std::pair<int, VarnEventArg>>{{10, first}}));
    EXPECT_TRUE(events_.onEngineThread);

    // On a set: the FX send of set 0, then an ASIO pair of set 1.
    ASSERT_EQ(Inputs()->GetSourceSet(0)->Select(3, 0, 1), 1);
    ASSERT_EQ(list->CreateMonoStrip(Inputs()->GetSourceSet(0), 0, &made, &status, 1), 1);
    EXPECT_EQ(made->GetSource(), Inputs()->GetHostSource(3, 0));
    ASSERT_EQ(Inputs()->GetSourceSet(1)->Select(1, 0, 1), 1);
    ASSERT_EQ(list->CreateStereoStrip(Inputs()->GetSourceSet(1), 0, &made, &status, 1), 1);
    EXPECT_EQ(Inputs()->GetSourceSet(1)->Select(1, 0, 1), 0) << "now in use";
    const int third = made->GetId();

    // Removing frees the source; the next strip gets a new id.
    ASSERT_EQ(list->RemoveStrip(made->GetIndex(), 1), 1);
    ASSERT_EQ(Inputs()->GetSourceSet(1)->Select(1, 0, 1), 1);
    ASSERT_EQ(list->CreateStereoStrip(Inputs()->GetSourceSet(1), 0, &made, &status, 1), 1);
    EXPECT_GT(made->GetId(), third);
    EXPECT_NE(first, third);
    EXPECT_GE(first, 128) << "above every card strip's id";
}

TEST_F(Strips, RemovedStripsStayValidAndMovesRenumber)
{
    IVarnStripList* list = List();
    IVarnStrip* two = list->GetStrip(2);
    EXPECT_EQ(list->RemoveStrip(4, 1), 0);
    EXPECT_EQ(list->RemoveStrip(-1, 1), 0);
    EXPECT_EQ(list->MoveStrip(0, 4, 1), 0);
    EXPECT_EQ(list->MoveStrip(1, 1, 1), 0);
    EXPECT_TRUE(Heard().empty());

    ASSERT_EQ(list->RemoveStrip(2, 1), 1);
    EXPECT_EQ(Ids(), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(two->GetIndex(), -1);
    EXPECT_EQ(engine_.GetMixer()->GetStripById(2), nullptr);
    // Still answers.
    EXPECT_EQ(two->SetGain(-3.0f, 0), 1);
    EXPECT_EQ(two->GetGain(0, 0, 0), -3.0f);
    EXPECT_EQ(two->GetOwnerList(), list);

    ASSERT_EQ(list->MoveStrip(0, 2, 1), 1);
    EXPECT_EQ(Ids(), (std::vector<int>{1, 3, 0}));
    EXPECT_EQ(list->GetStrip(2)->GetIndex(), 2);
    ASSERT_EQ(list->MoveStrip(2, 0, 1), 1);
    EXPECT_EQ(Ids(), (std::vector<int>{0, 1, 3}));
    // 11 for the removal, 12 with the moved strip's id for each move (the removed strip's gain
    // raised 100 as any change does).
    EXPECT_EQ(Heard(), (std::vector<std::pair<int, VarnEventArg>>{{11, 2}, {100, 2}, {12, 0}, {12, 0}}));
}

TEST_F(Strips, ValuesKeepTheirRangesAndRaiseTheirEventsOnChange)
{
    IVarnStrip* stereo = List()->GetStrip(0);
    float low = 0, high = 0;
    ASSERT_EQ(stereo->GetPanRange(&low, &high), 1);
    EXPECT_EQ(low, -1.0f);
    EXPECT_EQ(high, 1.0f);
    EXPECT_EQ(stereo->GetPanRange(nullptr, &high), 0);
    EXPECT_EQ(stereo->GetPanDefault(0), -1.0f);
    EXPECT_EQ(stereo->GetPanDefault(1), 1.0f);
    ASSERT_EQ(stereo->GetGainRange(&low, &high), 1);
    EXPECT_EQ(stereo->GetGainDefault(), stereo->GetGain(0, 0, 0));

    struct Case
    {
        const char* name;
        std::function<int()> set;
        int result;
        int event; // 0: none
    } cases[] = {
        {"gain", [&] { return stereo->SetGain(-6.0f, 0); }, 1, 100},
        {"same gain", [&] { return stereo->SetGain(-6.0f, 0); }, 1, 0},
        {"gain too high", [&] { return stereo->SetGain(7.0f, 0); }, 0, 0},
        {"send 1", [&] { return stereo->SetSendLevel(0, -10.0f, 0); }, 1, 101},
        {"send 2", [&] { return stereo->SetSendLevel(1, -10.0f, 0); }, 1, 102},
        {"send 3", [&] { return stereo->SetSendLevel(2, -10.0f, 0); }, 0, 0},
        {"pan left", [&] { return stereo->SetPan(0, 0.5f, 0); }, 1, 107},
        {"pan right", [&] { return stereo->SetPan(1, 0.5f, 0); }, 1, 108},
        {"pan too far", [&] { return stereo->SetPan(1, -1.5f, 0); }, 0, 0},
        {"mute", [&] { return stereo->SetMute(1, 1); }, 1, 109},
        {"mute 2", [&] { return stereo->SetMute(2, 1); }, 0, 0},
        {"solo", [&] { return stereo->SetSolo(1, 1, 0); }, 1, 110},
        {"name", [&] { return stereo->SetName(u"Keys", 1); }, 1, 111},
        {"no name", [&] { return stereo->SetName(nullptr, 1); }, 0, 0},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.set(), c.result) << c.name;
        auto heard = Heard();
        if (c.event)
            EXPECT_EQ(heard, (std::vector<std::pair<int, VarnEventArg>>{{c.event, 0}})) << c.name;
        else
            EXPECT_TRUE(heard.empty()) << c.name;
    }
    EXPECT_EQ(stereo->GetGain(0, 0, 0), -6.0f);
    EXPECT_EQ(stereo->GetSendLevel(1, 1, 0, 0), -10.0f);
    EXPECT_EQ(stereo->GetPan(1, 1, 0, 0), 0.5f);
    EXPECT_EQ(stereo->GetMute(0, 0), 1);
    EXPECT_EQ(stereo->GetSolo(0, 0), 1);
    EXPECT_EQ(std::u16string(stereo->GetName()), u"Keys");
    EXPECT_EQ(CallsMatching("SetGain 0 -6 0"), 2);
    EXPECT_EQ(CallsMatching("SetGain 0 7 0 refused"), 1);

    // A synth's channels raise 201-232 for the strip it feeds.
    IVarnStrip* made = nullptr;
    int status = 0;
    ASSERT_EQ(Inputs()->GetSourceSet(1)->Select(2, 0, 1), 1);
    ASSERT_EQ(List()->CreateStereoStrip(Inputs()->GetSourceSet(1), 0, &made, &status, 1), 1);
    Heard();
    IVarnInput* synth = made->GetSource();
    EXPECT_EQ(synth->SetSynthChannelOn(0, 0, 1), 1);
    EXPECT_EQ(synth->SetSynthChannelOn(1, 15, 1), 1);
    EXPECT_EQ(synth->SetSynthChannelOn(2, 0, 1), 0);
    EXPECT_EQ(synth->GetSynthChannel(1, 15), 1);
    EXPECT_EQ(synth->SetSynthChannelOff(1, 15, 1), 1);
    EXPECT_EQ(synth->GetSynthChannel(1, 15), 0);
    const VarnEventArg id = made->GetId();
    EXPECT_EQ(Heard(), (std::vector<std::pair<int, VarnEventArg>>{{201, id}, {232, id}, {232, id}}));
}

// Twenty card strips spend the card's whole DSP budget.
class FullDsp : public Strips
{
protected:
    std::string Card() const override { return "systems=1\ninputs=8\nstrips=20\nmonoinputs=2\n"; }
};

TEST_F(FullDsp, StripsShareTheBudgetAndPrepareReclaimsWhatRemovedStripsHeld)
{
    ASSERT_EQ(20 * kStandinStripDsp, StandinEffects::kDspBudget);
    IVarnStripList* list = List();
    IVarnStrip* made = nullptr;
    int status = 0;
    EXPECT_EQ(list->CreateMonoStrip(Inputs()->GetInput(1, 0), 0, &made, &status, 1), 0);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(list->GetCount(), 20);

    // The card takes strip 5's DSP: a new strip gets it, and strip 5 cannot load again.
    IVarnStrip* five = list->GetStrip(5);
    EXPECT_EQ(engine_.Control("set strip 5 dsp 0"), "ok");
    EXPECT_EQ(five->HasDsp(), 0);
    ASSERT_EQ(list->CreateMonoStrip(Inputs()->GetInput(1, 0), 0, &made, &status, 1), 1);
    EXPECT_EQ(five->LoadDsp(1), 0);
    // A removed strip keeps its units until the system reclaims them.
    ASSERT_EQ(list->RemoveStrip(0, 1), 1);
    EXPECT_EQ(five->LoadDsp(1), 0);
    Heard();
    EXPECT_EQ(System()->PrepareDsp(), 1);
    EXPECT_EQ(CallsMatching("PrepareDsp reclaimed 20"), 1);
    EXPECT_EQ(five->LoadDsp(1), 1);
    EXPECT_EQ(five->HasDsp(), 1);
    EXPECT_EQ(Heard(), (std::vector<std::pair<int, VarnEventArg>>{{112, 5}}));
    EXPECT_EQ(five->LoadDsp(1), 1) << "a strip with its DSP loads at once";
    EXPECT_TRUE(Heard().empty());
}

TEST_F(Strips, ASavedSessionBringsBackStripsOrderSourcesAndValues)
{
    IVarnStripList* list = List();
    IVarnStrip* made = nullptr;
    int status = 0;
    ASSERT_EQ(Inputs()->GetSourceSet(1)->Select(2, 0, 1), 1);
    ASSERT_EQ(list->CreateStereoStrip(Inputs()->GetSourceSet(1), 1, &made, &status, 1), 1);
    const int synthStrip = made->GetId();
    made->GetSource()->SetSynthChannelOn(1, 3, 1);
    made->SetName(u"Synth and more", 1);
    made->SetPan(1, 0.25f, 0);
    ASSERT_EQ(list->RemoveStrip(1, 1), 1);
    ASSERT_EQ(list->MoveStrip(3, 0, 1), 1);
    list->GetStrip(1)->SetMute(1, 1);
    const std::vector<int> order = Ids();
    const fs::path file = root_ / "sessions" / "Strips.session";
    ASSERT_EQ(engine_.SaveSession(file.u16string().c_str(), 0, 1), 1);

    ASSERT_EQ(engine_.CreateEmptySession(nullptr, (root_ / "sessions" / "New.session").u16string().c_str(), 0), 1);
    EXPECT_EQ(Ids(), (std::vector<int>{0, 1, 2, 3})) << "a new session has the card's strips";
    ASSERT_EQ(engine_.LoadSession(file.u16string().c_str(), 0), 1);
    EXPECT_EQ(Ids(), order);
    IVarnStrip* synth = engine_.GetMixer()->GetStripById(synthStrip);
    ASSERT_NE(synth, nullptr);
    EXPECT_EQ(synth->IsPreFader(), 1);
    EXPECT_EQ(synth->GetPan(1, 0, 0, 0), 0.25f);
    EXPECT_EQ(std::u16string(synth->GetName()), u"Synth and more");
    EXPECT_EQ(synth->GetSource(), Inputs()->GetHostSource(2, 0));
    EXPECT_EQ(synth->GetSource()->GetSynthChannel(1, 3), 1);
    EXPECT_EQ(List()->GetStrip(1)->GetMute(0, 0), 1);
    EXPECT_EQ(List()->GetStrip(1)->GetSource(), Inputs()->GetInput(2, 0));
    EXPECT_EQ(List()->GetStrip(2)->GetSource(), nullptr);
    EXPECT_EQ(engine_.GetMixer()->GetStripById(1), nullptr) << "removed before the save";
    // A new strip of the loaded session still gets an id of its own.
    ASSERT_EQ(List()->CreateMonoStrip(Inputs()->GetInput(1, 0), 0, &made, &status, 1), 1);
    EXPECT_GT(made->GetId(), synthStrip);

    // A strip line that does not read leaves the model as it was.
    std::ofstream(root_ / "sessions" / "Bad.session") << "KivCorvanSession 1\nstrip 0 5 1 0 0 1 0 0 99 0 0 0 0 0 x\n";
    EXPECT_EQ(engine_.LoadSession((root_ / "sessions" / "Bad.session").u16string().c_str(), 0), 0);
    EXPECT_EQ(List()->GetCount(), static_cast<int>(order.size()) + 1);
}

TEST_F(Strips, TheControlChannelSetsStripValuesAsTheCardWould)
{
    struct Case
    {
        const char* request;
        const char* reply;
        int event; // 0: none
    } cases[] = {
        {"set strip 0 gain -12", "ok", 100},
        {"set strip 0 send2 -20", "ok", 102},
        {"set strip 0 pan1 0", "ok", 108},
        {"set strip 0 mute 1", "ok", 109},
        {"set strip 0 solo 1", "ok", 110},
        {"set strip 0 name Drums", "ok", 111},
        {"set strip 0 dsp 0", "ok", 112},
        {"set strip 0 dsp 1", "ok", 112},
        {"set strip 0 gain 100", "refused: out of range", 0},
        {"set strip 0 mute 2", "refused: bad argument", 0},
        {"set strip 0 colour 1", "refused: bad argument", 0},
        {"set strip 999 gain 0", "refused: no such strip", 0},
        {"set strip 0 s1c1 1", "refused: out of range", 0}, // strip 0 is no synth
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(engine_.Control(c.request), c.reply) << c.request;
        auto heard = Heard();
        if (c.event)
            EXPECT_EQ(heard, (std::vector<std::pair<int, VarnEventArg>>{{c.event, 0}})) << c.request;
        else
            EXPECT_TRUE(heard.empty()) << c.request;
    }
    EXPECT_EQ(List()->GetStrip(0)->GetGain(0, 0, 0), -12.0f);
    EXPECT_EQ(std::u16string(List()->GetStrip(0)->GetName()), u"Drums");

    IVarnStrip* made = nullptr;
    int status = 0;
    ASSERT_EQ(Inputs()->GetSourceSet(1)->Select(2, 0, 1), 1);
    ASSERT_EQ(List()->CreateStereoStrip(Inputs()->GetSourceSet(1), 0, &made, &status, 1), 1);
    Heard();
    EXPECT_EQ(engine_.Control("set strip " + std::to_string(made->GetId()) + " s2c16 1"), "ok");
    EXPECT_EQ(Heard(), (std::vector<std::pair<int, VarnEventArg>>{{232, made->GetId()}}));
}

TEST_F(Strips, MixerSetModifiedSetsTheEnginesFlag)
{
    engine_.SetModified(0);
    engine_.GetMixer()->SetModified(1);
    EXPECT_EQ(engine_.IsModified(), 1);
    engine_.GetMixer()->SetModified(0);
    EXPECT_EQ(engine_.IsModified(), 0);
    EXPECT_EQ(CallsMatching("Mixer SetModified 1"), 1);
}
} // namespace
