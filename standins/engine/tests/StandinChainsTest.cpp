#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "mixer/engine/EngineVocabulary.h"
#include "standins/engine/StandinChains.h"
#include "standins/engine/StandinServices.h"
#include "standins/engine/tests/EventRecorder.h"
#include "standins/engine/tests/CardEngineTest.h"
#include "tests/support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace
{
// Two card strips (one records ASIO pair 0), two aux buses, two physical output pairs and two
// stereo physical inputs; output pair 0 carries the main mix and ASIO pair 1 records nothing.
const char* const kCard = "systems=1\ninputs=4\noutputs=4\nwave=1\nmonoinputs=2\nstereoinputs=2\nphysicaloutputs=2\n"
                          "auxbuses=2\nstrips=2\noutput=0 main\nrecord=1 free\n";

using Events = EventRecorder;
using Heard = std::vector<std::pair<int, VarnEventArg>>;

class Chains : public CardEngineTest
{
protected:
    Chains() : CardEngineTest("kiv-chains") {}
    std::string Card() const override { return kCard; }

    IVarnHardware* System() { return engine_.GetMixer()->GetSystem(0); }
    IVarnInsertChain* StripChain(int i) { return System()->GetStripList()->GetStrip(i)->GetInsertChain(); }
    IVarnInsertChain* AuxChain(int i) { return System()->GetMainMix()->GetAux(i)->GetInsertChain(); }
    IVarnInsertChain* MainChain() { return System()->GetMainMix()->GetInsertChain(); }
    Heard TakeHeard()
    {
        engine_.WaitForEvents();
        return events_.Take();
    }
    VarnCoreEffectRecord Effect(const char16_t* name)
    {
        IVarnFxLibrary* library = engine_.GetFxLibrary();
        VarnCoreEffectRecord record{};
        for (int i = 0; i < library->GetCoreEffectCount(); ++i)
            if (library->GetCoreEffectInfo(i, &record) && std::u16string(record.name) == name)
                return record;
        ADD_FAILURE() << "no core effect";
        return record;
    }
    VarnPresetRecord Preset(const char16_t* name)
    {
        IVarnFxLibrary* library = engine_.GetFxLibrary();
        VarnPresetRecord record{};
        for (int c = 0; c < library->GetCategoryCount(); ++c)
            for (int p = 0; p < library->GetPresetCount(c); ++p)
                if (library->GetPresetInfo(c, p, &record) && std::u16string(record.name) == name)
                    return record;
        ADD_FAILURE() << "no preset";
        return record;
    }
    static std::u16string NameAt(IVarnInsertChain* chain, int index)
    {
        IVarnInsert* insert = chain->GetInsert(index);
        return insert && insert->GetEffect() ? insert->GetEffect()->GetName() : u"";
    }
    static std::vector<int> Kinds(IVarnInsertChain* chain)
    {
        std::vector<int> kinds;
        for (int i = 0; i < chain->GetCount(); ++i)
            kinds.push_back(chain->GetInsert(i)->GetKind());
        return kinds;
    }
    bool Logged(const std::string& entry)
    {
        const auto log = engine_.GetCallLog();
        return std::find(log.begin(), log.end(), entry) != log.end();
    }
};

TEST_F(Chains, EffectsAndSpecialInsertsAreAddedReplacedAndReportedOnTheEngineThread)
{
    IVarnInsertChain* chain = StripChain(0);
    const VarnCoreEffectRecord reverb = Effect(u"Reverb");
    const VarnCoreEffectRecord delay = Effect(u"Delay");
    EXPECT_EQ(chain->AddEffect(&reverb, -1, 1), VarnInsertDone);
    EXPECT_EQ(chain->AddMeterInsert(0, 1), VarnInsertDone);
    EXPECT_EQ(chain->AddTrimInsert(99, 1), VarnInsertDone); // past the end: the end
    ASSERT_EQ(chain->GetCount(), 3);
    EXPECT_EQ(Kinds(chain), (std::vector<int>{InsertKind::kMeteredEffect, InsertKind::kEffect, InsertKind::kTrim}));
    EXPECT_EQ(NameAt(chain, 1), u"Reverb");
    EXPECT_EQ(NameAt(chain, 0), u"Peak Meter");
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(chain->GetInsert(i)->GetPosition(), i);
        EXPECT_EQ(chain->GetInsert(i)->GetChain(), chain);
        EXPECT_EQ(chain->GetInsert(i)->HasHardware(), 1);
    }
    EXPECT_EQ(chain->GetInsert(0)->GetEffect()->GetParameterCount(), 2); // the meter's two channels

    IVarnInsert* replaced = chain->GetInsert(1);
    IVarnEffect* replacedEffect = replaced->GetEffect();
    EXPECT_EQ(chain->ReplaceEffect(&delay, 1, 1), VarnInsertDone);
    EXPECT_EQ(NameAt(chain, 1), u"Delay");
    // The replaced insert is gone from the chain but stays valid until the engine goes.
    EXPECT_EQ(replaced->GetChain(), nullptr);
    EXPECT_EQ(replaced->GetPosition(), -1);
    EXPECT_EQ(std::u16string(replacedEffect->GetName()), u"Reverb");

    const VarnEventArg id = chain->GetId();
    EXPECT_EQ(TakeHeard(), (Heard{{EngineEvent::kInsertAdded, id},
                                  {EngineEvent::kInsertAdded, id},
                                  {EngineEvent::kInsertAdded, id},
                                  {EngineEvent::kInsertReplaced, id}}));
    EXPECT_TRUE(events_.onEngineThread);
    EXPECT_NE(StripChain(1)->GetId(), chain->GetId());
    EXPECT_TRUE(Logged("Chain " + std::to_string(id) + " AddEffect Reverb -1 1 -> 1"));

    // Without notify nothing is heard; refusals change nothing.
    EXPECT_EQ(chain->AddTestSignalInsert(0, 0), VarnInsertDone);
    EXPECT_EQ(chain->AddEffect(nullptr, 0, 1), 0);
    EXPECT_EQ(chain->ReplaceEffect(&delay, 7, 1), 0);
    VarnCoreEffectRecord unknown = reverb;
    unknown.id.data[1] ^= 0x5a5a;
    EXPECT_EQ(chain->AddEffect(&unknown, 0, 1), 0);
    EXPECT_EQ(chain->GetCount(), 4);
    EXPECT_TRUE(TakeHeard().empty());
}

TEST_F(Chains, PresetsAnswerTheirResultsAndNeedPreparationOnceWhenRemovedInsertsHoldTheDsp)
{
    IVarnInsertChain* chain = AuxChain(0);
    VarnPresetRecord vocal = Preset(u"Vocal Chain");
    EXPECT_EQ(chain->AddPreset(&vocal, 0, 1), VarnPresetDone);
    EXPECT_EQ(chain->GetCount(), 3);
    EXPECT_EQ(NameAt(chain, 0), u"Compressor");
    EXPECT_EQ(NameAt(chain, 2), u"Reverb");

    VarnPresetRecord unknown = vocal;
    unknown.id.data[3] = 77;
    EXPECT_EQ(chain->AddPreset(&unknown, 0, 1), VarnPresetUnregistered);
    VarnPresetRecord corrupt = vocal;
    corrupt.effectCount = -1;
    EXPECT_EQ(chain->AddPreset(&corrupt, 0, 1), VarnPresetCorrupt);
    EXPECT_EQ(chain->AddPreset(nullptr, 0, 1), 0);
    EXPECT_EQ(chain->GetCount(), 3);

    // Fill the card's DSP with reverbs over the chains until it has no room.
    const VarnCoreEffectRecord reverb = Effect(u"Reverb");
    std::vector<IVarnInsertChain*> chains = {StripChain(0), StripChain(1), AuxChain(1), MainChain()};
    int full = 0;
    for (int i = 0; i < 40 && !full; ++i)
    {
        const int result = chains[i % chains.size()]->AddEffect(&reverb, -1, 1);
        ASSERT_TRUE(result == VarnInsertDone || result == VarnInsertNoDsp) << result;
        full = result == VarnInsertNoDsp;
    }
    ASSERT_TRUE(full);
    // A deleted reverb keeps its units until the DSP is prepared: an effect then needs the
    // preparation, a preset answers 2, and after the preparation the preset goes in.
    const int last[] = {StripChain(0)->GetCount() - 1};
    ASSERT_EQ(StripChain(0)->DeleteInserts(last, 1, 1), 1);
    EXPECT_EQ(chain->AddEffect(&reverb, -1, 1), VarnInsertPrepareDsp);
    VarnPresetRecord room = Preset(u"Small Room");
    EXPECT_EQ(chain->AddPreset(&room, -1, 1), VarnPresetPrepareDsp);
    EXPECT_EQ(chain->GetCount(), 3);
    EXPECT_EQ(System()->PrepareDsp(), 1);
    EXPECT_EQ(chain->ReplacePreset(&room, 0, 1), VarnPresetDone);
    EXPECT_EQ(NameAt(chain, 0), u"Reverb");
    EXPECT_EQ(chain->GetCount(), 3);
    EXPECT_EQ(chain->ReplacePreset(&room, 3, 1), 0); // no insert there
}

TEST_F(Chains, SendsTakeFreePortsAndGiveThemBackWhenDeleted)
{
    IVarnItemList* items = System()->GetItemList();
    IVarnInputList* inputs = System()->GetInputList();
    IVarnInsertChain* chain = StripChain(1);
    IVarnOutput* pair0 = items->GetPort(OutputKind::kPhysical, 0); // carries the main mix
    IVarnOutput* pair1 = items->GetPort(OutputKind::kPhysical, 1);
    IVarnRoutingTable* table = pair1->GetRoutingTable();
    ASSERT_NE(table, nullptr);
    IVarnOutput* left1 = table->GetEntry(2, table->GetBase(2) + 2);
    ASSERT_NE(left1, nullptr);
    EXPECT_EQ(items->HasFree(OutputKind::kPhysical, 1), 1);

    EXPECT_EQ(chain->AddSendInsert(pair0, 0, 1), 0); // in use
    EXPECT_EQ(chain->AddSendInsert(nullptr, 0, 1), 0);
    EXPECT_EQ(chain->AddSendInsert(pair1, 0, 1), VarnInsertDone);
    IVarnInsert* send = chain->GetInsert(0);
    EXPECT_EQ(send->GetKind(), InsertKind::kSend);
    EXPECT_EQ(send->GetOutputPort(), pair1);
    EXPECT_EQ(send->GetEffect(), nullptr);
    EXPECT_EQ(pair1->GetSource(), chain);
    EXPECT_EQ(pair1->GetInsert(), send);
    // Neither the pair again nor one of its single channels can be taken now.
    EXPECT_EQ(StripChain(0)->AddSendInsert(pair1, 0, 1), 0);
    EXPECT_EQ(StripChain(0)->AddSendInsert(left1, 0, 1), 0);
    EXPECT_EQ(items->HasFree(OutputKind::kPhysical, 1), 0);
    EXPECT_EQ(items->HasFree(OutputKind::kPhysical, 0), 0);

    // An ASIO pair that records no mix is free, type 2, and stays so after the send goes.
    IVarnOutput* asio1 = items->GetPort(OutputKind::kAsio, 1);
    ASSERT_NE(asio1, nullptr);
    EXPECT_EQ(asio1->GetType(), 2);
    EXPECT_EQ(items->GetFirstSingle(OutputKind::kAsio), 2);
    IVarnInput* asioReturn = inputs->GetHostSource(InputKind::kSubAsioPair, 1);
    ASSERT_NE(asioReturn, nullptr);
    EXPECT_EQ(AuxChain(0)->AddAsioSendReturnInsert(asio1, asioReturn, -1, 1), VarnInsertDone);
    EXPECT_EQ(asioReturn->IsAssigned(), 1);
    EXPECT_EQ(asioReturn->GetDestination(), AuxChain(0)->GetInsert(0));
    EXPECT_EQ(AuxChain(0)->GetInsert(0)->GetKind(), InsertKind::kAsioSendReturn);

    // A send/return wants a physical pair and a physical input, each free.
    IVarnInput* stereo0 = inputs->GetInput(InputKind::kStereoPhysical, 0);
    EXPECT_EQ(MainChain()->AddSendReturnInsert(asio1, stereo0, 0, 1), 0);
    EXPECT_EQ(MainChain()->AddSendReturnInsert(pair1, stereo0, 0, 1), 0); // pair 1 is taken
    const int first[] = {0};
    EXPECT_EQ(chain->DeleteInserts(first, 1, 1), 1);
    EXPECT_EQ(pair1->GetSource(), nullptr);
    EXPECT_EQ(pair1->GetInsert(), nullptr);
    EXPECT_EQ(send->GetChain(), nullptr);
    EXPECT_EQ(MainChain()->AddSendReturnInsert(pair1, stereo0, 0, 1), VarnInsertDone);
    EXPECT_EQ(stereo0->GetDestination(), MainChain()->GetInsert(0));
    EXPECT_EQ(stereo0->GetList(), inputs);
    EXPECT_EQ(inputs->GetSystem(), System());
    EXPECT_EQ(inputs->MayCarry(InputKind::kStereoPhysical, 1), 1);
    EXPECT_EQ(inputs->MayCarry(InputKind::kStereoPhysical, 9), 0);
    EXPECT_EQ(table->MayCarry(OutputKind::kPhysical, 1), 1);
    // Deleting all frees every port.
    EXPECT_EQ(AuxChain(0)->DeleteAllInserts(1), 1);
    EXPECT_EQ(AuxChain(0)->DeleteAllInserts(1), 0);
    EXPECT_EQ(asioReturn->IsAssigned(), 0);
    EXPECT_EQ(asio1->GetSource(), nullptr);
    EXPECT_EQ(asio1->GetType(), 2);
}

TEST_F(Chains, DeletesMovesAndBypassesKeepTheChainWholeOnBadInput)
{
    IVarnInsertChain* chain = StripChain(0);
    IVarnInsertChain* other = MainChain();
    ASSERT_EQ(chain->AddMeterInsert(-1, 0), 1);
    ASSERT_EQ(chain->AddTrimInsert(-1, 0), 1);
    ASSERT_EQ(chain->AddTestSignalInsert(-1, 0), 1);
    ASSERT_EQ(other->AddTrimInsert(-1, 0), 1);
    TakeHeard();
    IVarnInsert* meter = chain->GetInsert(0);

    const int bad[] = {1, 3};
    EXPECT_EQ(chain->DeleteInserts(bad, 2, 1), 0);
    EXPECT_EQ(chain->DeleteInserts(nullptr, 1, 1), 0);
    EXPECT_EQ(chain->GetCount(), 3);

    // Refused moves leave the insert where it was.
    EXPECT_EQ(chain->MoveInsert(0, chain, 0, 1), 0);
    EXPECT_EQ(chain->MoveInsert(5, chain, 0, 1), 0);
    EXPECT_EQ(chain->MoveInsert(0, nullptr, 0, 1), 0);
    StandinBus stranger(0);
    EXPECT_EQ(chain->MoveInsert(0, &stranger, 0, 1), 0);
    EXPECT_EQ(meter->GetPosition(), 0);
    EXPECT_EQ(meter->GetChain(), chain);
    EXPECT_TRUE(TakeHeard().empty());

    EXPECT_EQ(chain->MoveInsert(0, chain, -1, 1), 1);
    EXPECT_EQ(meter->GetPosition(), 2);
    EXPECT_EQ(chain->MoveInsert(2, other, 0, 1), 1);
    EXPECT_EQ(meter->GetChain(), other);
    EXPECT_EQ(meter->GetPosition(), 0);
    EXPECT_EQ(other->GetCount(), 2);
    EXPECT_EQ(chain->GetCount(), 2);
    const VarnEventArg a = chain->GetId(), b = other->GetId();
    EXPECT_EQ(TakeHeard(),
              (Heard{{EngineEvent::kInsertMoved, a}, {EngineEvent::kInsertMoved, a}, {EngineEvent::kInsertMoved, b}}));

    EXPECT_EQ(other->GetBypassableCount(), 2);
    EXPECT_EQ(other->GetBypassedCount(), 0);
    EXPECT_EQ(other->BypassAll(1), 1);
    EXPECT_EQ(other->GetBypassedCount(), 2);
    EXPECT_EQ(other->BypassAll(2), 0);
    EXPECT_EQ(meter->SetSolo(1, 1), 1);
    EXPECT_EQ(TakeHeard(), (Heard{{EngineEvent::kInsertBypassed, meter->GetEventKey()},
                                  {EngineEvent::kInsertBypassed, other->GetInsert(1)->GetEventKey()},
                                  {EngineEvent::kInsertSoloed, meter->GetEventKey()}}));
    EXPECT_EQ(chain->DeleteAllInserts(1), 1);
    EXPECT_EQ(chain->GetCount(), 0);
    EXPECT_EQ(TakeHeard(), (Heard{{EngineEvent::kInsertsCleared, a}}));
}

TEST_F(Chains, WhatMayBeAddedAndTheDspRetry)
{
    EXPECT_EQ(StripChain(0)->CanAdd(InsertKind::kBalance), 1);
    EXPECT_EQ(MainChain()->CanAdd(InsertKind::kBalance), 0);
    EXPECT_EQ(MainChain()->AddBalanceInsert(0, 1), 0);
    EXPECT_EQ(StripChain(0)->CanAdd(8), 0);
    EXPECT_EQ(StripChain(0)->CanAdd(-1), 0);
    EXPECT_EQ(StripChain(0)->CanAdd(InsertKind::kAsioSendReturn), 1);
    EXPECT_EQ(StripChain(0)->GetHardware(), System());
    for (int i = 0; i < StandinChainStore::kMaxInserts; ++i)
        ASSERT_EQ(AuxChain(1)->AddTrimInsert(-1, 0), 1);
    EXPECT_EQ(AuxChain(1)->CanAdd(InsertKind::kTrim), 0);
    EXPECT_EQ(AuxChain(1)->AddTrimInsert(-1, 0), 0);

    // An insert that lost its hardware gets it back on a retry, which the chain reports.
    auto* insert = static_cast<StandinInsert*>(AuxChain(1)->GetInsert(3));
    insert->hasHardware = false;
    TakeHeard();
    EXPECT_EQ(insert->RetryDsp(), 1);
    EXPECT_EQ(insert->HasHardware(), 1);
    EXPECT_EQ(TakeHeard(), (Heard{{EngineEvent::kInsertFit, AuxChain(1)->GetId()}}));
    const int first[] = {0};
    IVarnInsert* removed = AuxChain(1)->GetInsert(0);
    ASSERT_EQ(AuxChain(1)->DeleteInserts(first, 1, 0), 1);
    EXPECT_EQ(removed->RetryDsp(), 0);
}

TEST_F(Chains, PresetsAreMadeFromTheEffectInsertsOfAChain)
{
    IVarnFxLibrary* library = engine_.GetFxLibrary();
    ASSERT_EQ(library->CreateCategory(u"Mine", 1), 1);
    IVarnInsertChain* chain = StripChain(0);
    const VarnCoreEffectRecord reverb = Effect(u"Reverb");
    ASSERT_EQ(chain->AddEffect(&reverb, -1, 0), 1);
    ASSERT_EQ(chain->AddMeterInsert(-1, 0), 1);
    ASSERT_EQ(chain->AddBalanceInsert(-1, 0), 1);
    const int all[] = {0, 1, 2};
    EXPECT_EQ(library->CreatePresetFromInserts(u"Mine", u"Room and meter", chain, all, 3, 1), 1);
    EXPECT_TRUE(fs::is_directory(root_ / "program" / "Effect Presets" / "Mine"));
    VarnPresetRecord made = Preset(u"Room and meter");
    EXPECT_EQ(MainChain()->AddPreset(&made, 0, 1), VarnPresetDone);
    // The balance has no library effect: it is left out.
    EXPECT_EQ(Kinds(MainChain()), (std::vector<int>{InsertKind::kEffect, InsertKind::kMeteredEffect}));

    EXPECT_EQ(library->CreatePresetFromInserts(u"Mine", u"Room and meter", chain, all, 3, 1), 0); // taken
    EXPECT_EQ(library->CreatePresetFromInserts(u"Nowhere", u"X", chain, all, 3, 1), 0);
    const int outside[] = {7};
    EXPECT_EQ(library->CreatePresetFromInserts(u"Mine", u"Y", chain, outside, 1, 1), 0);
    EXPECT_EQ(library->CreatePresetFromInserts(u"Mine", u"Y", nullptr, all, 3, 1), 0);
    StandinBus stranger(0);
    EXPECT_EQ(library->CreatePresetFromInserts(u"Mine", u"Y", &stranger, all, 3, 1), 0);
}

TEST_F(Chains, SessionFilesKeepTheChains)
{
    const VarnCoreEffectRecord reverb = Effect(u"Reverb");
    IVarnOutput* pair1 = System()->GetItemList()->GetPort(OutputKind::kPhysical, 1);
    IVarnInput* stereo1 = System()->GetInputList()->GetInput(InputKind::kStereoPhysical, 1);
    ASSERT_EQ(StripChain(0)->AddEffect(&reverb, -1, 0), 1);
    ASSERT_EQ(StripChain(0)->AddMeterInsert(-1, 0), 1);
    ASSERT_EQ(StripChain(0)->GetInsert(1)->SetBypass(1, 0), 1);
    ASSERT_EQ(AuxChain(1)->AddSendReturnInsert(pair1, stereo1, -1, 0), 1);
    ASSERT_EQ(MainChain()->AddTrimInsert(-1, 0), 1);
    IVarnInsert* kept = StripChain(0)->GetInsert(0);
    const fs::path file = root_ / "sessions" / "chains.session";
    ASSERT_EQ(engine_.SaveSession(file.u16string().c_str(), 0, 0), 1);

    ASSERT_EQ(engine_.LoadSession(file.u16string().c_str(), 0), VarnLoadDone);
    EXPECT_EQ(Kinds(StripChain(0)), (std::vector<int>{InsertKind::kEffect, InsertKind::kMeteredEffect}));
    EXPECT_EQ(NameAt(StripChain(0), 0), u"Reverb");
    EXPECT_EQ(StripChain(0)->GetInsert(1)->IsBypassed(), 1);
    EXPECT_EQ(StripChain(0)->GetInsert(0)->IsBypassed(), 0);
    EXPECT_EQ(Kinds(AuxChain(1)), (std::vector<int>{InsertKind::kSendReturn}));
    IVarnOutput* newPair1 = System()->GetItemList()->GetPort(OutputKind::kPhysical, 1);
    EXPECT_EQ(AuxChain(1)->GetInsert(0)->GetOutputPort(), newPair1);
    EXPECT_EQ(newPair1->GetSource(), AuxChain(1));
    EXPECT_EQ(Kinds(MainChain()), (std::vector<int>{InsertKind::kTrim}));
    EXPECT_EQ(Kinds(StripChain(1)), std::vector<int>{});
    // What the program held of the old model stays callable.
    EXPECT_EQ(std::u16string(kept->GetEffect()->GetName()), u"Reverb");

    // A chain line that does not read makes the file unreadable, changing nothing.
    std::ofstream(file, std::ios::app) << "insert 0 strip 9 3 0 0\n";
    IVarnMixer* before = engine_.GetMixer();
    EXPECT_EQ(engine_.LoadSession(file.u16string().c_str(), 0), VarnLoadUnreadable);
    EXPECT_EQ(engine_.GetMixer(), before);
}

class CardChains : public Chains
{
protected:
    std::string Card() const override
    {
        return std::string(kCard) + "insert=0 strip 1 : Reverb\ninsert=3 main\ninsert=7 aux 0\ninsert=1 main\n"
                                    "insert=0 main\n";
    }
};

TEST_F(CardChains, CardLinesFillTheChainsAndBadOnesAreSkipped)
{
    EXPECT_EQ(NameAt(StripChain(1), 0), u"Reverb");
    EXPECT_EQ(Kinds(MainChain()), (std::vector<int>{InsertKind::kMeteredEffect}));
    EXPECT_EQ(Kinds(AuxChain(0)), (std::vector<int>{InsertKind::kBalance}));
    const auto log = engine_.GetCallLog();
    EXPECT_EQ(
        std::count_if(log.begin(), log.end(),
                      [](const std::string& entry) { return entry.find("skipped: insert=") != std::string::npos; }),
        2);
}
} // namespace

// A listener that keeps each event with the thread it came on.
class ThreadRecorder : public IVarnListener
{
public:
    int VARN_CALL OnEngineEvent(int id, VarnEventArg argument) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        heard.push_back({id, argument, std::this_thread::get_id()});
        return 1;
    }
    struct Heard
    {
        int id;
        VarnEventArg argument;
        std::thread::id thread;
    };
    std::mutex mutex;
    std::vector<Heard> heard;
};

TEST_F(Chains, AChainEffectShowsTheLibraryEffectsParametersMarkedAsTheLibraryKeepsThem)
{
    IVarnInsertChain* chain = StripChain(0);
    const VarnCoreEffectRecord reverb = Effect(u"Reverb");
    ASSERT_EQ(chain->AddEffect(&reverb, -1, 0), VarnInsertDone);
    IVarnEffect* effect = chain->GetInsert(0)->GetEffect();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(std::u16string(effect->GetName()), u"Reverb");
    struct Case
    {
        const char16_t* name;
        int valueType, controlKind, state;
        float minimum, maximum, defaultValue;
        const char16_t* unit;
    } cases[] = {
        {u"Gain", 4, 2, 0, 0.0f, 1.0f, 0.5f, u"dB"},
        {u"Mode", 3, 4, 0, 0, 2, 0, u""},
        {u"Steps", 0, 0, 0, 0, 1, 1, u""},
        {u"Level", 4, 8, 1, -120.0f, 0.0f, -120.0f, u"dB"},
        {u"Mix", 4, 2, 0, 0.0f, 1.0f, 1.0f, u"dB"},
        {u"Link", 2, 9, 3, 0, 1, 0, u""},
        {u"Reset", 1, 1, 0, 0, 0, 0, u""},
        {u"Taps", 2, 9, 0, 1, 8, 4, u""},
        {u"Tone", 4, 2, 0, 0.0f, 1.0f, 0.5f, u"dB"},
        {u"Drive", 4, 2, 0, 0.0f, 1.0f, 0.0f, u"dB"},
        {u"Output", 4, 7, 1, -120.0f, 0.0f, -120.0f, u"dB"},
    };
    ASSERT_EQ(effect->GetParameterCount(), static_cast<int>(std::size(cases)));
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i)
    {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        char16_t text[64] = {};
        ASSERT_EQ(effect->GetParameterName(i, text, 64), 1);
        EXPECT_EQ(std::u16string(text), c.name);
        EXPECT_EQ(effect->GetValueType(i), c.valueType);
        EXPECT_EQ(effect->GetControlKind(i), c.controlKind);
        EXPECT_EQ(effect->GetParameterState(i), c.state);
        ASSERT_EQ(effect->GetUnit(i, text, 64), 1);
        EXPECT_EQ(std::u16string(text), c.unit);
        ASSERT_EQ(effect->GetHelp(i, text, 64), 1);
        EXPECT_EQ(std::u16string(text), c.name); // the library's tooltip
        float minimum = -1, maximum = -1;
        ASSERT_EQ(effect->GetRealRange(i, &minimum, &maximum, nullptr, nullptr), 1);
        EXPECT_FLOAT_EQ(minimum, c.minimum);
        EXPECT_FLOAT_EQ(maximum, c.maximum);
        EXPECT_FLOAT_EQ(effect->GetRealValue(i, 1), c.defaultValue);
        EXPECT_FLOAT_EQ(effect->GetRealValue(i, 0), c.defaultValue);
    }
    char16_t entry[16] = {};
    ASSERT_EQ(effect->GetSelectorText(1, 2, entry, 16), 1);
    EXPECT_EQ(std::u16string(entry), u"Hard");
    EXPECT_EQ(effect->GetSelectorText(1, 3, entry, 16), 0);
    // Values keep the library's types and ranges.
    EXPECT_EQ(effect->SetSelectorValue(1, 3, 0), 0);
    EXPECT_EQ(effect->SetIntValue(7, 8, 0), 1);
    EXPECT_EQ(effect->GetIntValue(7, 0), 8);
    EXPECT_EQ(effect->SetRealValue(7, 1.0f, 0), 0); // an integer, not a real

    // The special inserts keep their own parameters.
    ASSERT_EQ(chain->AddTrimInsert(-1, 0), VarnInsertDone);
    char16_t name[16] = {};
    ASSERT_EQ(chain->GetInsert(1)->GetEffect()->GetParameterName(0, name, 16), 1);
    EXPECT_EQ(std::u16string(name), u"Gain");
    float maximum = 0;
    chain->GetInsert(1)->GetEffect()->GetRealRange(0, nullptr, &maximum, nullptr, nullptr);
    EXPECT_FLOAT_EQ(maximum, 24.0f);
}

TEST_F(Chains, EffectAndInsertEventsReachListenersOnTheEngineThreadNotTheCallers)
{
    IVarnInsertChain* chain = StripChain(0);
    const VarnCoreEffectRecord reverb = Effect(u"Reverb");
    ASSERT_EQ(chain->AddEffect(&reverb, -1, 0), VarnInsertDone);
    IVarnInsert* insert = chain->GetInsert(0);
    auto* effect = static_cast<StandinEffect*>(insert->GetEffect());
    const VarnEventArg effectKey = effect->GetEventKey();
    const VarnEventArg insertKey = insert->GetEventKey();
    TakeHeard();
    ThreadRecorder recorder;
    engine_.AddListener(&recorder);
    struct Case
    {
        const char* trace;
        std::function<void()> act;
        int event;
        VarnEventArg argument;
    } cases[] = {
        {"real value", [&] { EXPECT_EQ(effect->SetRealValue(0, 0.75f, 0), 1); }, EngineEvent::kEffectParameter.first,
         effectKey},
        {"selector", [&] { EXPECT_EQ(effect->SetSelectorValue(1, 2, 0), 1); }, EngineEvent::kEffectParameter.first + 1,
         effectKey},
        {"parameter set changed", [&] { effect->RaiseParameterEvent(EngineEvent::kEffectBankA.first + 4); },
         EngineEvent::kEffectBankA.first + 4, effectKey},
        {"bypass", [&] { EXPECT_EQ(insert->SetBypass(1, 1), 1); }, EngineEvent::kInsertBypassed, insertKey},
        {"new core preset", [&] { EXPECT_EQ(engine_.GetFxLibrary()->NewCorePreset(u"Hall", effect, 1, 0), 1); },
         EngineEvent::kPresetList.first, effectKey},
        {"preset select", [&] { EXPECT_EQ(effect->SelectPreset(0, 1), 1); }, EngineEvent::kEffectEvent, effectKey},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        c.act();
        engine_.WaitForEvents();
        std::lock_guard<std::mutex> lock(recorder.mutex);
        ASSERT_EQ(recorder.heard.size(), 1u);
        EXPECT_EQ(recorder.heard[0].id, c.event);
        EXPECT_EQ(recorder.heard[0].argument, c.argument);
        EXPECT_NE(recorder.heard[0].thread, std::this_thread::get_id());
        EXPECT_EQ(recorder.heard[0].thread, engine_.GetEngineThreadId());
        recorder.heard.clear();
    }
    char16_t preset[16] = {};
    ASSERT_EQ(effect->GetPresetName(preset, 16), 1);
    EXPECT_EQ(std::u16string(preset), u"Hall");
    engine_.RemoveListener(&recorder);
}
