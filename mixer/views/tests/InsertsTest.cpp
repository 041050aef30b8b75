// The insert slots over the main section's wells of the shipped mixer skin, against chains the
// test fills by hand: how slots paint by kind and state, selection by click, Ctrl and Shift,
// deletion, the chain's events, drops from the FX palette and of inserts, and the menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/controls/ComboBox.h"
#include "framework/controls/PeakMeter.h"
#include "framework/controls/Scrollbar.h"
#include "framework/controls/PopupMenu.h"
#include "framework/dialogs/Dialog.h"
#include "framework/platform/tests/TestClock.h"
#include "framework/windows/AppBase.h"
#include "framework/windows/DragDrop.h"
#include "mixer/comserver/ServicesApplication.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/views/AsioChannelCheck.h"
#include "mixer/views/InsertSlot.h"
#include "mixer/views/InsertSlotStrip.h"
#include "mixer/views/PeakValueWatcher.h"
#include "mixer/views/PresetTreeView.h"
#include "mixer/views/tests/DialogAnswers.h"
#include "mixer/views/tests/FakeInsertChain.h"
#include "mixer/views/tests/MainSectionTestSupport.h"

namespace
{
using namespace mainsection;

// The frame as the slots see it: which insert the effect view is asked to show.
class RecordingOwner : public InsertStripOwner
{
public:
    void FocusStripEditor(IVarnInsert* insert, int force) override
    {
        shown.push_back(insert);
        forced.push_back(force);
    }
    Window* GetDialogParent() override { return nullptr; }
    int NewPresetCategory(String&) override { return 0; }
    std::vector<IVarnInsert*> shown;
    std::vector<int> forced;
};

// No drag ever lands: a press on an insert starts one, and the test ends it without a drop.
class NoDropWindows : public DragWindows
{
public:
    Window* FromPoint(int, int) override { return nullptr; }
    HWND Handle(Window*) override { return nullptr; }
    int OnDragOver(Window*, int, int, intptr_t, intptr_t) override { return 0; }
    int OnDrop(Window*, int, int, intptr_t, intptr_t) override { return 0; }
};

// The main section's six main slots start at (227, 41), 64 x 16, every 18 pixels.
constexpr int kSlotX = 240;
int SlotY(int slot)
{
    return 48 + 18 * slot;
}

class Inserts : public Fixture
{
protected:
    void SetUp() override
    {
        Fixture::SetUp();
        // One strip: the other ASIO pairs are free for sends.
        ASSERT_NO_FATAL_FAILURE(StartEngine("auxbuses=2\nstrips=1\n"));
        ASSERT_TRUE(CreateSection(0));
        before_ = DragDrop::InstallWindows(&windows_);
    }
    void TearDown() override
    {
        DragDrop::End();
        DragDrop::InstallWindows(before_);
        strips_.clear();
        Fixture::TearDown();
    }

    InsertSlotStrip& MakeStrip(FakeInsertChain& chain, int mono = 0)
    {
        strips_.push_back(std::make_unique<InsertSlotStrip>(link_, &owner_));
        InsertSlotStrip& strip = *strips_.back();
        EXPECT_EQ(strip.CreateSlots(&chain, section_.get(), nullptr, 6, &anchor_, mono), 1);
        return strip;
    }
    void Press(InsertSlotStrip& strip, int slot, int modifiers = 0, int right = 0)
    {
        strip.OnMouse(modifiers, kSlotX, SlotY(slot), 1, right);
        DragDrop::End();
    }
    // A section made anew whose main chain's slots are a real insert-slot strip.
    InsertSlotStrip* SectionMainStrip()
    {
        strips_.clear();
        section_.reset();
        host_.makeStrip = [this](IVarnInsertChain* chain, MainSectionView& owner, Scrollbar* bar, int slots) {
            return InsertSlotStrip::ForSection(link_, &owner_, chain, owner, bar, slots);
        };
        EXPECT_TRUE(CreateSection(0));
        return section_ ? static_cast<InsertSlotStrip*>(section_->GetMainStrip()) : nullptr;
    }
    std::string Text(InsertSlotStrip& strip, int slot)
    {
        String text;
        strip.GetSlot(slot)->GetText(text);
        return Narrow(text);
    }

    RecordingOwner owner_;
    Answers answers_;
    int anchor_ = -1;
    NoDropWindows windows_;
    DragWindows* before_ = nullptr;
    std::vector<std::unique_ptr<InsertSlotStrip>> strips_;
};

TEST_F(Inserts, SlotsLieOverTheWellsAndPaintByKindAndState)
{
    FakeInsertChain chain(2);
    chain.Add(0, u"Reverb");
    chain.Add(0, u"Delay").bypassed = 1;
    chain.Add(0, u"Chorus").dsp = 0;
    chain.Add(1);
    chain.Add(2);
    chain.Add(6);
    InsertSlotStrip& strip = MakeStrip(chain);
    EXPECT_EQ(Narrow(strip.GetNamePrefix()), "main_insert_slot_");
    EXPECT_EQ(strip.GetSlotCount(), 6);
    EXPECT_EQ(strip.GetSlotRect(0).left, 227);
    EXPECT_EQ(strip.GetSlotRect(5).bottom, 41 + 5 * 18 + 16);
    EXPECT_EQ(strip.GetSlotExtent(1), 16);

    const struct
    {
        const char* text;
        const char* background;
        const char* font;
    } rows[] = {
        {"Reverb", "insert_bg", "digitalFontNormal"},      {"Delay", "insert_bg", "digitalFontDisabled"},
        {"Chorus", "insert_noDSP_bg", "digitalFontNoDSP"}, {"SEND", "insert_bg", "digitalFontNormal"},
        {"SEND/RET", "insert_bg", "digitalFontNormal"},    {"ASIO S/R", "insert_bg", "digitalFontNormal"},
    };
    for (int i = 0; i < 6; ++i)
    {
        SCOPED_TRACE(rows[i].text);
        EXPECT_EQ(Text(strip, i), rows[i].text);
        EXPECT_EQ(Narrow(strip.GetSlot(i)->GetBackgroundName()), rows[i].background);
        EXPECT_EQ(Narrow(strip.GetSlot(i)->GetFontName()), rows[i].font);
    }
    // A bypassed insert without DSP looks like one without DSP.
    static_cast<FakeInsert*>(chain.GetInsert(1))->dsp = 0;
    strip.Refresh(0);
    EXPECT_EQ(Narrow(strip.GetSlot(1)->GetFontName()), "digitalFontNoDSP");
}

TEST_F(Inserts, MeteredEffectsGetTwoMetersAndAOneParameterEffectReadsOnlyItsOwn)
{
    TestClock clock;
    FakeInsertChain chain(2);
    FakeInsert& one = chain.Add(3);
    one.effect.parameterCount = 1;
    FakeInsert& two = chain.Add(3);
    two.effect.parameterCount = 2;
    two.dsp = 0;
    // Two strips over one panel: every meter's item gets a name of its own.
    FakeInsertChain other(1);
    other.Add(3).effect.parameterCount = 2;
    InsertSlotStrip& strip = MakeStrip(chain);
    InsertSlotStrip& second = MakeStrip(other);
    for (InsertSlot* slot : {strip.GetSlot(0), strip.GetSlot(1), second.GetSlot(0)})
    {
        ASSERT_NE(slot->GetLeftValue(), nullptr);
        ASSERT_NE(slot->GetRightValue(), nullptr);
        EXPECT_NE(slot->GetLeftMeter(), nullptr);
    }
    EXPECT_FLOAT_EQ(strip.GetSlot(0)->GetLeftValue()->minimum, one.effect.minimum);
    EXPECT_EQ(strip.GetSlot(1)->GetLeftValue()->IsDisabled(), 1) << "without DSP the meters are disabled";
    one.effect.readIndices.clear();
    clock.Advance(25);
    clock.Advance(25);
    ASSERT_FALSE(one.effect.readIndices.empty());
    for (int index : one.effect.readIndices)
        EXPECT_EQ(index, 0) << "a one-parameter effect has no parameter 1 to read";
    EXPECT_FLOAT_EQ(strip.GetSlot(0)->GetRightValue()->value, one.effect.minimum);
}

TEST_F(Inserts, ClickCtrlAndShiftSelectAndTheAnchorGoesToTheEffectView)
{
    FakeInsertChain chain(2);
    for (int i = 0; i < 4; ++i)
        chain.Add(0);
    InsertSlotStrip& strip = MakeStrip(chain);
    strip.Select();
    Press(strip, 1);
    EXPECT_EQ(anchor_, 1);
    EXPECT_TRUE(strip.IsSlotSelected(1));
    EXPECT_TRUE(strip.GetSlot(1)->HasFocusMask());
    EXPECT_TRUE(strip.GetSlot(1)->HasSelectionMask());
    ASSERT_FALSE(owner_.shown.empty());
    EXPECT_EQ(owner_.shown.back(), chain.GetInsert(1));

    Press(strip, 3, InsertSlotRules::kShift);
    EXPECT_EQ(anchor_, 1);
    EXPECT_TRUE(strip.IsSlotSelected(2) && strip.IsSlotSelected(3));
    Press(strip, 2, InsertSlotRules::kControl);
    EXPECT_FALSE(strip.IsSlotSelected(2));
    EXPECT_EQ(anchor_, -1);

    // A plain press on an empty slot anchors there and the effect view shows nothing.
    Press(strip, 5);
    EXPECT_EQ(anchor_, 5);
    EXPECT_EQ(owner_.shown.back(), nullptr);
    EXPECT_FALSE(strip.IsSlotSelected(1));

    strip.Deselect();
    for (int slot = 0; slot < 6; ++slot)
        EXPECT_FALSE(strip.IsSlotSelected(slot));
}

TEST_F(Inserts, DeleteTakesTheSelectedInserts)
{
    FakeInsertChain chain(2);
    for (int i = 0; i < 4; ++i)
        chain.Add(0);
    InsertSlotStrip& strip = MakeStrip(chain);
    EXPECT_EQ(strip.DeleteSelectedInserts(), 0) << "a strip without the selection deletes nothing";
    strip.Select();
    Press(strip, 0);
    Press(strip, 2, InsertSlotRules::kControl);
    EXPECT_EQ(strip.DeleteSelectedInserts(), 1);
    ASSERT_FALSE(chain.calls.empty());
    EXPECT_EQ(chain.calls.back(), "DeleteInserts 2 0");
    EXPECT_EQ(owner_.shown.back(), nullptr);
    // The engine reports it; the flags follow the shorter chain and nothing is selected.
    strip.OnEngineEvent(EngineEvent::kInsertRemoved, chain.id);
    EXPECT_EQ(strip.GetSelection().Size(), 2);
    chain.calls.clear();
    EXPECT_EQ(strip.DeleteSelectedInserts(), 0);
    EXPECT_TRUE(chain.calls.empty());
}

// A send to the system's only recording ASIO channel: deleting it leaves the host without one.
TEST_F(Inserts, DeletingTheLastAsioChannelAsksFirstWhileTheWarningIsOn)
{
    FakeHardware hardware;
    FakeInsertChain chain(2);
    chain.hardware = &hardware;
    chain.Add(0);
    chain.Add(1).send = &hardware.asioOut;
    InsertSlotStrip& strip = MakeStrip(chain);
    strip.Select();
    const struct
    {
        const char* trace;
        int warningOn, answer;
        std::vector<std::string> shown;
        bool deleted;
    } rows[] = {
        {"warning off", 0, 1, {}, true},
        {"warning on, go on", 1, 1, {"reczero"}, true},
        {"warning on, cancelled", 1, 0, {"reczero"}, false},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.trace);
        if (chain.GetCount() < 2)
            chain.Add(1).send = &hardware.asioOut;
        strip.OnEngineEvent(EngineEvent::kInsertAdded, chain.id);
        link_.settings.WriteBool(StringRef(ViewSettings::kShowNoAsioWarning), row.warningOn);
        answers_.answer = row.answer;
        answers_.shown.clear();
        chain.calls.clear();
        Press(strip, 1);
        EXPECT_EQ(strip.DeleteSelectedInserts(), 1);
        EXPECT_EQ(answers_.shown, row.shown);
        EXPECT_EQ(chain.calls, row.deleted ? std::vector<std::string>{"DeleteInserts 1"} : std::vector<std::string>{});
    }
    // Deleting the effect keeps the channel: no question.
    answers_.shown.clear();
    Press(strip, 0);
    strip.DeleteSelectedInserts();
    EXPECT_TRUE(answers_.shown.empty());
}

// While the warning is up the engine reports a change of the chain: the indices taken before
// may now name other inserts, so nothing is deleted.
TEST_F(Inserts, AChainChangeDuringTheWarningCancelsTheDeletion)
{
    FakeHardware hardware;
    FakeInsertChain chain(2);
    chain.hardware = &hardware;
    chain.Add(1).send = &hardware.asioOut;
    chain.Add(0);
    InsertSlotStrip& strip = MakeStrip(chain);
    strip.Select();
    link_.settings.WriteBool(StringRef(ViewSettings::kShowNoAsioWarning), 1);
    Press(strip, 0);
    answers_.meanwhile = [&] {
        // Another client put an insert in front; the chain's event refills the selection, and
        // the anchor's place is selected again, now holding the new insert.
        chain.AddAt(0, 0, u"New");
        strip.OnEngineEvent(EngineEvent::kInsertAdded, chain.id);
    };
    EXPECT_EQ(strip.DeleteSelectedInserts(), 1);
    EXPECT_EQ(answers_.shown, std::vector<std::string>{"reczero"});
    EXPECT_TRUE(chain.calls.empty());
    EXPECT_EQ(chain.GetCount(), 3);
}

TEST_F(Inserts, ChainAndInsertEventsRefreshTheSlots)
{
    FakeInsertChain chain(2);
    FakeInsert& first = chain.Add(0, u"Comp");
    InsertSlotStrip& strip = MakeStrip(chain);
    EXPECT_TRUE(strip.ShowsEvent(EngineEvent::kInsertAdded, chain.id));
    EXPECT_FALSE(strip.ShowsEvent(EngineEvent::kInsertAdded, chain.id + 1));
    EXPECT_TRUE(strip.ShowsEvent(EngineEvent::kInsertBypassed, first.key));
    EXPECT_FALSE(strip.ShowsEvent(EngineEvent::kInsertBypassed, first.key + 100));
    EXPECT_EQ(strip.TargetFor(EngineEvent::kInsertBypassed, first.key), &strip);

    for (int id : {EngineEvent::kInsertAdded, EngineEvent::kInsertRemoved, EngineEvent::kInsertMoved,
                   EngineEvent::kInsertSelected, EngineEvent::kInsertsCleared, EngineEvent::kInsertFit})
    {
        SCOPED_TRACE(id);
        chain.Add(0, u"Gate");
        owner_.shown.clear();
        strip.OnEngineEvent(id, chain.id);
        EXPECT_EQ(strip.GetSelection().Size(), chain.GetCount());
        EXPECT_EQ(Text(strip, chain.GetCount() - 1 < 6 ? chain.GetCount() - 1 : 5), "Gate");
        EXPECT_EQ(owner_.shown.size(), 1u) << "the anchor goes to the effect view again";
    }
    first.bypassed = 1;
    owner_.shown.clear();
    strip.OnEngineEvent(EngineEvent::kInsertBypassed, first.key);
    EXPECT_EQ(Narrow(strip.GetSlot(0)->GetFontName()), "digitalFontDisabled");
    EXPECT_TRUE(owner_.shown.empty()) << "750 leaves the effect view alone";
    strip.OnEngineEvent(EngineEvent::kInsertReplaced, chain.id);
    ASSERT_EQ(owner_.shown.size(), 1u);
    EXPECT_EQ(owner_.shown.back(), nullptr);
}

TEST_F(Inserts, PaletteDropsAddOrReplaceAndEachResultHasItsMessage)
{
    TestClock clock;
    FakeHardware hardware;
    FakeInsertChain chain(2);
    chain.hardware = &hardware;
    chain.Add(0);
    InsertSlotStrip& strip = MakeStrip(chain);
    CoreEffectItem effect;
    PresetItem preset;
    CategoryItem category;
    auto drop = [&](auto& item, int slot) {
        return strip.Drop(kSlotX, SlotY(slot), PresetDrag::kKind, reinterpret_cast<std::intptr_t>(&item.head));
    };
    EXPECT_EQ(drop(effect, 0), 0);
    EXPECT_EQ(drop(effect, 3), 3);
    EXPECT_EQ(drop(category, 3), 1) << "a category adds nothing";
    EXPECT_EQ(chain.calls, (std::vector<std::string>{"ReplaceEffect 0", "AddEffect 3"}));

    const struct
    {
        const char* trace;
        std::vector<int> results;
        int slot;
        std::vector<std::string> calls;
        std::vector<std::string> messages;
        int prepared;
    } rows[] = {
        {"effect, no DSP", {VarnInsertNoDsp}, 2, {"AddEffect 2"}, {"IDM_INSUFFICIENT_DSP"}, 0},
        {"effect, preparation", {VarnInsertPrepareDsp}, 2, {"AddEffect 2"}, {}, 1},
        {"preset done", {VarnPresetDone}, 2, {"AddPreset 2"}, {}, 0},
        {"preset corrupt", {VarnPresetCorrupt}, 0, {"ReplacePreset 0"}, {"IDM_PRESET_DATA_CORRUPT"}, 0},
        {"preset unregistered", {VarnPresetUnregistered}, 2, {"AddPreset 2"}, {"IDM_PRESET_NOT_REGISTERED"}, 0},
        {"preset unlicensed", {VarnPresetUnlicensed}, 2, {"AddPreset 2"}, {"IDM_PRESET_NOT_REGISTERED"}, 0},
        {"preset prepared and tried again",
         {VarnPresetPrepareDsp, VarnPresetDone},
         2,
         {"AddPreset 2", "AddPreset 2"},
         {},
         1},
        {"preset prepared, no room still",
         {VarnPresetPrepareDsp, VarnPresetPrepareDsp},
         2,
         {"AddPreset 2", "AddPreset 2"},
         {"IDM_INSUFFICIENT_DSP"},
         1},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.trace);
        chain.calls.clear();
        answers_.shown.clear();
        hardware.prepared = 0;
        chain.results = row.results;
        if (std::string(row.trace).rfind("effect", 0) == 0)
            drop(effect, row.slot);
        else
            drop(preset, row.slot);
        EXPECT_EQ(chain.calls, row.calls);
        EXPECT_EQ(answers_.shown, row.messages);
        EXPECT_EQ(hardware.prepared, row.prepared);
    }

    // A drop within 250 ms of an insert drag's start is a click: the anchor, nothing else.
    anchor_ = 0;
    InsertSlotRules::InsertDragClock::Started();
    clock.Advance(100);
    chain.calls.clear();
    EXPECT_EQ(drop(effect, 2), 0);
    EXPECT_TRUE(chain.calls.empty());
}

TEST_F(Inserts, InsertDropsMoveAndFollowTheMonoAndSoloRules)
{
    FakeInsertChain from(2), to(1);
    FakeInsert& effect = from.Add(0, u"Comp");
    effect.soloed = 1;
    effect.bypassed = 1;
    FakeOutputPort single;
    single.single = 1;
    FakeInsert& send = from.Add(1);
    send.send = &single;
    to.Add(0, u"EQ").soloed = 1;
    InsertSlotStrip& source = MakeStrip(from);
    InsertSlotStrip& target = MakeStrip(to);
    auto drop = [](InsertSlotStrip& strip, IVarnInsert& insert, int slot) {
        return strip.Drop(kSlotX, SlotY(slot), InsertSlotRules::kDragInsert, reinterpret_cast<std::intptr_t>(&insert));
    };
    EXPECT_EQ(drop(source, effect, 0), -1) << "onto itself";
    EXPECT_EQ(drop(target, send, 3), -1) << "a single-channel send on a stereo bus";
    from.refuseMoves = 1;
    EXPECT_EQ(drop(target, effect, 4), -1);
    EXPECT_EQ(effect.soloed, 1) << "a refused move leaves the insert as it was";
    EXPECT_EQ(effect.chain, &from);
    from.refuseMoves = 0;
    EXPECT_EQ(drop(target, effect, 4), -1) << "from another chain";
    EXPECT_EQ(effect.chain, &to);
    EXPECT_EQ(to.calls.size(), 0u);
    EXPECT_EQ(from.calls.back(), "MoveInsert 0 -1");
    EXPECT_EQ(effect.soloed, 0);
    EXPECT_EQ(effect.bypassed, 1) << "another insert of the chain is soloed";
    // Within a chain: below the last insert appends and answers the new last index.
    to.Add(0, u"Gate");
    IVarnInsert* moved = to.GetInsert(0);
    EXPECT_EQ(drop(target, *moved, 5), 2);
    EXPECT_EQ(to.GetInsert(2), moved);
    EXPECT_EQ(moved->IsSoloed(), 0);
    EXPECT_EQ(moved->IsBypassed(), 0) << "no other insert of the chain is soloed now";
}

TEST_F(Inserts, TheMenuEnablesByChainAndInsertAndActsOnTheInsertClicked)
{
    FakeInsertChain chain(2);
    FakeInsert& effect = chain.Add(0);
    chain.Add(1);
    chain.canAdd = 0xFF & ~(1 << InsertKind::kTrim);
    InsertSlotStrip& strip = MakeStrip(chain);
    strip.ShowContextMenu(kSlotX, SlotY(0));
    PopupMenu* menu = PopupMenu::Current();
    ASSERT_NE(menu, nullptr);
    auto disabled = [menu](int command) {
        const int index = menu->FindItem(command);
        return index < 0 ? -1 : menu->ItemAt(index)->disabled;
    };
    EXPECT_EQ(disabled(InsertSlotStrip::kDeleteSelected), 0);
    EXPECT_EQ(disabled(InsertSlotStrip::kDeleteAll), 0);
    EXPECT_EQ(disabled(InsertSlotStrip::kAddMeter), 0);
    EXPECT_EQ(disabled(InsertSlotStrip::kAddTrim), 1);
    EXPECT_EQ(menu->FindItem(InsertSlotStrip::kAddBalance), InsertSlotStrip::kBalancePosition);
    EXPECT_EQ(disabled(InsertSlotStrip::kCreatePreset), 0);
    EXPECT_EQ(disabled(InsertSlotStrip::kSolo), 0);
    EXPECT_EQ(disabled(InsertSlotStrip::kBypassAll), 0);
    EXPECT_EQ(menu->FindItem(InsertSlotStrip::kUnbypassAll), -1) << "nothing bypassed";
    // Without free ports (no system) no send can be made.
    EXPECT_EQ(disabled(InsertSlotStrip::kAddSend), 1);
    strip.OnMenuCommand(InsertSlotStrip::kBypass);
    EXPECT_EQ(effect.bypassed, 1);
    PopupMenu::CloseAll();

    // On an empty slot: no delete-selected, solo and bypass there but disabled; with every
    // insert bypassed only the unbypass-all.
    strip.ShowContextMenu(kSlotX, SlotY(4));
    menu = PopupMenu::Current();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(disabled(InsertSlotStrip::kDeleteSelected), 1);
    EXPECT_EQ(disabled(InsertSlotStrip::kSolo), 1);
    EXPECT_EQ(disabled(InsertSlotStrip::kBypass), 1);
    EXPECT_EQ(menu->FindItem(InsertSlotStrip::kBypassAll), -1);
    EXPECT_EQ(disabled(InsertSlotStrip::kUnbypassAll), 0);
    // The bypass command acts on the insert clicked only: there is none.
    strip.OnMenuCommand(InsertSlotStrip::kBypass);
    EXPECT_EQ(effect.bypassed, 1);
    strip.OnMenuCommand(InsertSlotStrip::kAddMeter);
    EXPECT_EQ(chain.calls.back(), "AddMeterInsert 4");
    PopupMenu::CloseAll();

    // The menu stays open while the engine works: once another insert took the place, its
    // solo and bypass act on nothing.
    strip.ShowContextMenu(kSlotX, SlotY(0));
    FakeInsert& newcomer = chain.AddAt(0, 0);
    strip.OnEngineEvent(EngineEvent::kInsertAdded, chain.id);
    strip.OnMenuCommand(InsertSlotStrip::kBypass);
    strip.OnMenuCommand(InsertSlotStrip::kSolo);
    EXPECT_EQ(newcomer.bypassed + newcomer.soloed, 0);
    EXPECT_EQ(effect.bypassed, 1);
    PopupMenu::CloseAll();
}
// The main section with its real insert strips over the simulated engine's chains: an insert
// the engine adds reaches the strip that shows its chain, and the section's bar scrolls to it.
TEST_F(Inserts, TheSectionsStripsFollowTheEnginesChains)
{
    section_.reset();
    host_.makeStrip = [this](IVarnInsertChain* chain, MainSectionView& owner, Scrollbar* bar, int slots) {
        return InsertSlotStrip::ForSection(link_, &owner_, chain, owner, bar, slots);
    };
    ASSERT_TRUE(CreateSection(0));
    auto* main = dynamic_cast<InsertSlotStrip*>(section_->GetMainStrip());
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(section_->GetAuxStripCount(), 2);
    EXPECT_EQ(Narrow(static_cast<InsertSlotStrip*>(section_->GetAuxStrip(1))->GetNamePrefix()), "aux2_insert_slot_");
    IVarnInsertChain* chain = Mix()->GetInsertChain();
    ASSERT_EQ(chain, main->GetChain());
    auto deliver = [this] {
        engine_.WaitForEvents();
        for (auto& event : queue_.Take())
            if (InsertStripTarget* target = section_->FindInsertStrip(event.first, event.second))
                target->OnEngineEvent(event.first, event.second);
    };
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(chain->AddMeterInsert(-1, 1), VarnInsertDone) << i;
    deliver();
    ASSERT_EQ(chain->GetCount(), 8);
    EXPECT_NE(main->GetSlot(0)->GetLeftValue(), nullptr) << "the first slot shows the first meter insert";
    EXPECT_EQ(main->GetSelection().Size(), 8);
    main->ScrollIntoView(-1);
    EXPECT_EQ(main->GetScrollOffset(), 2) << "6 slots show the last of 8 inserts from the third";
    IVarnInsert* last = chain->GetInsert(7);
    EXPECT_EQ(section_->FindInsertStrip(EngineEvent::kInsertBypassed, last->GetEventKey()), main);
    EXPECT_EQ(section_->FindInsertStrip(EngineEvent::kInsertAdded, chain->GetId()), main);
    EXPECT_EQ(section_->FindInsertStrip(EngineEvent::kInsertAdded, chain->GetId() + 1000), nullptr);
}
// The menu's send commands run their dialogs over the simulated card's ports; without free
// ports they say so instead.
// The program as the dialogs find it: the application that holds the engine they listen to.
class EngineApp : public AppBase, public ServicesApplication, public StringTable
{
public:
    IVarnServices* GetServices() override { return services; }
    IVarnHardware* GetCurrentSystem() override { return nullptr; }
    StringTable& GetStrings() override { return *this; }
    const String* FindStringById(const char*) override { return nullptr; }
    IVarnServices* services = nullptr; // borrowed
};

// Which entries of a dialog's list are offered (not greyed).
std::vector<int> EnabledEntries(Dialog& dialog, const char* name)
{
    std::vector<int> enabled;
    if (auto* box = dynamic_cast<ComboBox*>(dialog.FindControl(Ascii(name))))
        for (int i = 0; i < box->ItemCount(); ++i)
            enabled.push_back(box->IsItemEnabled(i));
    return enabled;
}

// The engine's 55 (the hardware's settings changed) reaches the open send dialog on the user
// interface thread and lists the outputs anew: a port taken meanwhile is greyed. A chain's own
// event leaves the list as it is.
TEST_F(Inserts, TheEnginesSettingsChangeRefillsAnOpenSendDialog)
{
    EngineApp app;
    app.services = &engine_;
    InsertSlotStrip* main = nullptr;
    ASSERT_NO_FATAL_FAILURE(main = SectionMainStrip());
    IVarnInsertChain* aux = Mix()->GetAux(0)->GetInsertChain();
    IVarnItemList* items = engine_.GetMixer()->GetHardware()->GetItemList();
    ASSERT_NE(main, nullptr);
    std::vector<int> opened, afterAdd, refilled;
    answers_.answer = 0;
    answers_.meanwhile = [&] {
        Dialog& dialog = *answers_.current;
        opened = EnabledEntries(dialog, "sendchoices");
        // Another client sends the aux bus to the first free physical pair.
        int added = 0;
        for (int i = 0; i < items->GetCount(OutputKind::kPhysical) && added != VarnInsertDone; ++i)
            added = aux->AddSendInsert(items->GetPort(OutputKind::kPhysical, i), -1, 1);
        EXPECT_EQ(added, VarnInsertDone);
        engine_.WaitForEvents();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
        afterAdd = EnabledEntries(dialog, "sendchoices");
        engine_.RaiseEvent(EngineEvent::kHardwareChange, 0);
        engine_.WaitForEvents();
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
        refilled = EnabledEntries(dialog, "sendchoices");
    };
    main->ShowContextMenu(kSlotX, SlotY(0));
    PopupMenu::CloseAll();
    main->OnMenuCommand(InsertSlotStrip::kAddSend);
    EXPECT_EQ(answers_.shown, std::vector<std::string>{"newsendinsert"});
    ASSERT_FALSE(opened.empty());
    EXPECT_EQ(afterAdd, opened) << "the chain's 700 refilled the dialog";
    ASSERT_EQ(refilled.size(), opened.size());
    EXPECT_LT(std::count(refilled.begin(), refilled.end(), 1), std::count(opened.begin(), opened.end(), 1))
        << "the taken pair is still offered after 55";
    for (size_t i = 0; i < opened.size(); ++i)
        EXPECT_LE(refilled[i], opened[i]) << "entry " << i << " was greyed and is offered now";
}

TEST_F(Inserts, TheMenusSendCommandsRunTheirDialogs)
{
    FakeInsertChain portless(2);
    InsertSlotStrip& bare = MakeStrip(portless);
    bare.ShowContextMenu(kSlotX, SlotY(0));
    PopupMenu::CloseAll();
    for (int command :
         {InsertSlotStrip::kAddSend, InsertSlotStrip::kAddSendReturn, InsertSlotStrip::kAddAsioSendReturn})
        bare.OnMenuCommand(command);
    EXPECT_EQ(answers_.shown,
              (std::vector<std::string>{"IDM_NO_FREE_OUTPUTS", "IDM_NO_FREE_OUTPUTS", "IDM_NO_FREE_OUTPUTS"}));
    EXPECT_TRUE(portless.calls.empty());

    InsertSlotStrip* main = nullptr;
    ASSERT_NO_FATAL_FAILURE(main = SectionMainStrip());
    ASSERT_NE(main, nullptr);
    IVarnInsertChain* chain = Mix()->GetInsertChain();
    main->ShowContextMenu(kSlotX, SlotY(0));
    PopupMenu::CloseAll();
    answers_.shown.clear();
    answers_.answer = 0;
    main->OnMenuCommand(InsertSlotStrip::kAddSend);
    EXPECT_EQ(answers_.shown, std::vector<std::string>{"newsendinsert"});
    EXPECT_EQ(chain->GetCount(), 0) << "a cancelled dialog adds nothing";
    answers_.answer = 1;
    answers_.shown.clear();
    for (int command :
         {InsertSlotStrip::kAddAsioSendReturn, InsertSlotStrip::kAddSendReturn, InsertSlotStrip::kAddSend})
        main->OnMenuCommand(command);
    EXPECT_EQ(answers_.shown,
              (std::vector<std::string>{"newasiosendreturninsert", "newsendreturninsert", "newsendinsert"}));
    ASSERT_EQ(chain->GetCount(), 3);
    // Each at the menu's position, the first slot.
    EXPECT_EQ(chain->GetInsert(0)->GetKind(), InsertKind::kSend);
    EXPECT_EQ(chain->GetInsert(1)->GetKind(), InsertKind::kSendReturn);
    EXPECT_EQ(chain->GetInsert(2)->GetKind(), InsertKind::kAsioSendReturn);
}

// An ASIO send/return takes an ASIO channel each way: deleting it loses one of each.
TEST_F(Inserts, AnAsioSendReturnCountsAsAPlaybackAndARecordChannel)
{
    InsertSlotStrip* main = SectionMainStrip();
    ASSERT_NE(main, nullptr);
    IVarnHardware* system = engine_.GetMixer()->GetHardware();
    IVarnInsertChain* chain = Mix()->GetInsertChain();
    const AsioChannelCounts before = CountAsioChannels(system, chain, nullptr, 0);
    EXPECT_EQ(before.playbackAfter, before.playbackNow);
    EXPECT_EQ(before.recordAfter, before.recordNow);
    main->ShowContextMenu(kSlotX, SlotY(0));
    PopupMenu::CloseAll();
    main->OnMenuCommand(InsertSlotStrip::kAddAsioSendReturn);
    ASSERT_EQ(chain->GetCount(), 1);
    ASSERT_EQ(chain->GetInsert(0)->GetKind(), InsertKind::kAsioSendReturn);
    const int both[] = {0};
    const AsioChannelCounts with = CountAsioChannels(system, chain, both, 1);
    EXPECT_EQ(with.playbackNow, before.playbackNow + 1);
    EXPECT_EQ(with.recordNow, before.recordNow + 1);
    EXPECT_EQ(with.playbackAfter, before.playbackNow);
    EXPECT_EQ(with.recordAfter, before.recordNow);
    // An index past the chain removes nothing.
    const int outside[] = {1};
    const AsioChannelCounts none = CountAsioChannels(system, chain, outside, 1);
    EXPECT_EQ(none.playbackAfter, with.playbackNow);
    EXPECT_EQ(none.recordAfter, with.recordNow);
}
} // namespace
