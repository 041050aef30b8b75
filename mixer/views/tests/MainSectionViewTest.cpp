// The main section against the simulated engine and the shipped mixer skin: what it mirrors,
// what a user edit sends, what the engine's events change, the meters and clip lights, the
// status texts, the insert areas and the TV area.
#include <gtest/gtest.h>

#include "framework/controls/PopupMenu.h"
#include "framework/controls/Scrollbar.h"
#include "framework/platform/cursor/Cursor.h"
#include "framework/platform/tests/TestClock.h"
#include "mixer/engine/EngineVocabulary.h"
#include "framework/controls/ControlContextMenu.h"
#include "mixer/views/InsertSlotRules.h"
#include "mixer/views/PresetDrag.h"
#include "mixer/views/tests/MainSectionTestSupport.h"

namespace
{
using namespace mainsection;

// Three aux buses: the skin shows two, the third only exists as items.
const char kCard[] = "auxbuses=3\nfeatures=0,1,2\n";

class MainSection : public Fixture
{
protected:
    void SetUp() override
    {
        Fixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartEngine(kCard));
        ASSERT_TRUE(CreateSection(0));
        // Whatever the section did while it was made is not the edits' business.
        link_.events.clear();
        queue_.Take();
    }

    float Real(const char* name)
    {
        RealItem* item = ItemNamed<RealItem>(name);
        return item ? item->value : -1000.0f;
    }

    StandinMainMix& Standin() { return *static_cast<StandinMainMix*>(Mix()); }

    // The calls that change a value of the main mix.
    int Setters()
    {
        int count = 0;
        for (const char* call :
             {"SetMainLevel", "SetMonitorLevel", "SetBalance", "SetMonitorMute", "SetSendLevel", "SetReturnLevel"})
            count += CountLogged(call);
        return count;
    }

    void PollMeters()
    {
        for (const char* name : {"mainleft", "mainright"})
            if (auto* meter = ItemNamed<MainMeterItem>(name))
                meter->OnTimerTick(0);
    }

    // A click in the middle of the control.
    void Press(Control* control)
    {
        const int x = control->X() + control->Width() / 2;
        const int y = control->Y() + control->Height() / 2;
        section_->OnMouseDown(MK_LBUTTON, x, y);
        section_->OnMouseUp(0, x, y);
    }

    // What the user's control does with its item: store it, tell the section.
    void Edit(const char* name, float value)
    {
        DataItem* item = ItemNamed<DataItem>(name);
        ASSERT_NE(item, nullptr) << name;
        ASSERT_TRUE(item->GetKind() <= DataItem::KindReal);
        static_cast<NumericItem*>(item)->SetValue(value, 1, 1, nullptr);
    }
};

TEST_F(MainSection, ItemsMirrorTheEngineWithoutSendingAnythingBack)
{
    IVarnMainMix* mix = Mix();
    ASSERT_NE(mix, nullptr);
    EXPECT_FLOAT_EQ(Real("mixlevel"), mix->GetMainLevel());
    EXPECT_FLOAT_EQ(Real("monitorlevel"), mix->GetMonitorLevel());
    EXPECT_FLOAT_EQ(Real("monitorbalance"), mix->GetBalance());
    EXPECT_EQ(ItemNamed<FlagItem>("monitormute")->value, mix->GetMonitorMute());
    float minimum = 0, maximum = 0;
    ASSERT_TRUE(mix->GetMainRange(&minimum, &maximum));
    EXPECT_FLOAT_EQ(ItemNamed<RealItem>("mixlevel")->minimum, minimum);
    EXPECT_FLOAT_EQ(ItemNamed<RealItem>("mixlevel")->maximum, maximum);
    EXPECT_FLOAT_EQ(ItemNamed<RealItem>("mixlevel")->defaultValue, mix->GetMainDefault());
    ASSERT_EQ(section_->GetAuxCount(), 3);
    for (int i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(i);
        const std::string n = std::to_string(i + 1);
        EXPECT_FLOAT_EQ(Real(("auxsend" + n).c_str()), mix->GetAux(i)->GetSendLevel());
        EXPECT_FLOAT_EQ(Real(("auxreturn" + n).c_str()), mix->GetAux(i)->GetReturnLevel());
    }
    // The session's rate, then the sync source: the card is not locked, so the lamp is off.
    EXPECT_EQ(ItemNamed<TextItem>("SampleRate")->text.CompareLiteral("48.0kHz"), 0);
    EXPECT_EQ(ItemNamed<FlagItem>("srlocked")->value, 0);
    EXPECT_EQ(ItemNamed<TextItem>("SampleRateType")->text.CompareLiteral("INTERNAL"), 0);

    // Showing and refreshing the engine's values is no edit: nothing goes back to the engine,
    // the session stays unmodified and the main window hears nothing.
    section_->UpdateStatus();
    EXPECT_EQ(Setters(), 0);
    EXPECT_EQ(engine_.IsModified(), 0);
    EXPECT_EQ(link_.Count(EngineEvent::kUserEdit), 0);
}

TEST_F(MainSection, EachUserEditCallsTheEngineOnceAndRaisesEvent78Once)
{
    struct Row
    {
        const char* item;
        float value;
        const char* call; // the engine operation's log entry
    };
    const Row rows[] = {
        {"mixlevel", -6.0f, "SetMainLevel -6 0"},         {"monitorlevel", -12.0f, "SetMonitorLevel -12 0"},
        {"monitorbalance", 0.25f, "SetBalance 0.25 0"},   {"monitormute", 1.0f, "SetMonitorMute 1 0"},
        {"auxsend1", -3.0f, "SetSendLevel 0 -3 0"},       {"auxsend3", -9.0f, "SetSendLevel 2 -9 0"},
        {"auxreturn2", -4.5f, "SetReturnLevel 1 -4.5 0"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.item);
        const int before = CountLogged(row.call);
        const int events = link_.Count(EngineEvent::kUserEdit);
        engine_.SetModified(0);
        Edit(row.item, row.value);
        EXPECT_EQ(CountLogged(row.call), before + 1);
        EXPECT_EQ(link_.Count(EngineEvent::kUserEdit), events + 1);
        EXPECT_EQ(engine_.IsModified(), 1);
        // The engine answers with its change event; the section mirrors it and stops there.
        DeliverEngineEvents();
        EXPECT_EQ(CountLogged(row.call), before + 1);
        EXPECT_EQ(link_.Count(EngineEvent::kUserEdit), events + 1);
    }
    EXPECT_FLOAT_EQ(Mix()->GetAux(2)->GetSendLevel(), -9.0f);
    EXPECT_FLOAT_EQ(Mix()->GetAux(1)->GetReturnLevel(), -4.5f);
    EXPECT_EQ(Mix()->GetMonitorMute(), 1);
}

TEST_F(MainSection, AnAuxNumberAboveTheBusCountDoesNothing)
{
    RealItem* stray = section_->AddRealItem("auxsend4", 0.0f, 0.0f, 0.0f, 0, 0);
    ASSERT_NE(stray, nullptr);
    engine_.SetModified(0);
    stray->SetValue(-1.0f, 1, 1, nullptr);
    EXPECT_EQ(Setters(), 0);
    EXPECT_EQ(engine_.IsModified(), 0);
    EXPECT_EQ(link_.Count(EngineEvent::kUserEdit), 0);
}

TEST_F(MainSection, EngineEventsUpdateTheItemsWithoutCallingTheEngine)
{
    IVarnMainMix* mix = Mix();
    mix->SetMainLevel(-20.0f, 0);
    mix->SetMonitorLevel(-30.0f, 0);
    mix->SetBalance(-0.5f, 0);
    mix->SetMonitorMute(1, 0);
    mix->GetAux(1)->SetSendLevel(-7.0f, 0);
    mix->GetAux(2)->SetReturnLevel(-8.0f, 0);
    const int setters = Setters();
    engine_.SetModified(0);
    DeliverEngineEvents();
    EXPECT_FLOAT_EQ(Real("mixlevel"), -20.0f);
    EXPECT_FLOAT_EQ(Real("monitorlevel"), -30.0f);
    EXPECT_FLOAT_EQ(Real("monitorbalance"), -0.5f);
    EXPECT_EQ(ItemNamed<FlagItem>("monitormute")->value, 1);
    EXPECT_FLOAT_EQ(Real("auxsend2"), -7.0f);
    EXPECT_FLOAT_EQ(Real("auxreturn3"), -8.0f);
    EXPECT_EQ(Setters(), setters);
    EXPECT_EQ(engine_.IsModified(), 0);
    EXPECT_EQ(link_.Count(EngineEvent::kUserEdit), 0);
}

TEST_F(MainSection, AuxEventsWithAnIndexOutsideTheBusesChangeNothing)
{
    const float send = Real("auxsend1");
    const float back = Real("auxreturn3");
    for (VarnEventArg index : {VarnEventArg(-1), VarnEventArg(3), VarnEventArg(1000)})
    {
        SCOPED_TRACE(index);
        section_->OnEngineEvent(304, index);
        section_->OnEngineEvent(305, index);
    }
    EXPECT_FLOAT_EQ(Real("auxsend1"), send);
    EXPECT_FLOAT_EQ(Real("auxreturn3"), back);
    EXPECT_EQ(link_.Count(EngineEvent::kUserEdit), 0);
}
TEST_F(MainSection, ItsOpenControlMenuClosesWhenTheSectionGoes)
{
    Control* fader = ControlNamed("mixlevelFader");
    ASSERT_NE(fader, nullptr);
    section_->OnRightClickControl(fader);
    ASSERT_NE(PopupMenu::Current(), nullptr);
    section_.reset();
    EXPECT_EQ(PopupMenu::Current(), nullptr);
}

TEST_F(MainSection, AMeterWhoseLevelFallsBelowItsRangeShowsTheMinimum)
{
    StandinMainMix& mix = Standin();
    RealItem* meter = ItemNamed<RealItem>("mainleft");
    ASSERT_NE(meter, nullptr);
    mix.SetClock([] { return std::int64_t{800}; }); // the left meter's peak
    mix.SetMeterPeak(0, -20.0f);
    PollMeters();
    ASSERT_FLOAT_EQ(meter->value, -20.0f);
    // Below the meter's range: the meter falls to its minimum instead of keeping -20.
    mix.SetMeterPeak(0, meter->minimum - 30.0f);
    PollMeters();
    EXPECT_FLOAT_EQ(meter->value, meter->minimum);
}

TEST_F(MainSection, ClipLightsLightOnlyAboveTheThresholdAndOneClickClearsBoth)
{
    StandinMainMix& mix = Standin();
    FlagItem* left = ItemNamed<FlagItem>("clipleft");
    FlagItem* right = ItemNamed<FlagItem>("clipright");
    ASSERT_TRUE(left && right);
    const float threshold = mix.GetClipThreshold(0);
    // The card's meters peak in the middle of their periods: the left one at 800 ms, the right
    // one at 1100 ms.
    auto at = [&mix](std::int64_t ms) { mix.SetClock([ms] { return ms; }); };

    // A level exactly at the threshold is no clip.
    mix.SetMeterPeak(0, threshold);
    mix.SetMeterPeak(1, threshold);
    at(800);
    PollMeters();
    EXPECT_FLOAT_EQ(ItemNamed<RealItem>("mainleft")->value, threshold);
    EXPECT_EQ(left->value, 0);
    EXPECT_EQ(right->value, 0);

    // A press on an unlit light is swallowed.
    Control* leftLight = ControlNamed("clipleftLight");
    ASSERT_NE(leftLight, nullptr);
    Press(leftLight);
    EXPECT_EQ(left->value, 0);

    mix.SetMeterPeak(0, threshold + 1.0f);
    mix.SetMeterPeak(1, threshold + 1.0f);
    PollMeters();
    EXPECT_EQ(left->value, 1);
    EXPECT_EQ(right->value, 0);
    // Lights stay lit when the level falls; only the user clears them.
    at(1100);
    PollMeters();
    EXPECT_EQ(left->value, 1);
    EXPECT_EQ(right->value, 1);
    Press(leftLight);
    EXPECT_EQ(left->value, 0);
    EXPECT_EQ(right->value, 0);
}

TEST_F(MainSection, RateTextsAndTheLockLamp)
{
    struct Row
    {
        int code;
        const char* text;
        int locked;
    };
    const Row rows[] = {{0, "44.1kHz", 1}, {3, "192.0kHz", 1}, {5, "176.4kHz", 1}, {4, "88.2kHz", 1},
                        {7, "88.2kHz", 0}, {2, "96.0kHz", 1},  {-1, "96.0kHz", 0}};
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.code);
        section_->ShowSampleRate(row.code);
        EXPECT_EQ(ItemNamed<TextItem>("SampleRate")->text.CompareLiteral(row.text), 0);
        EXPECT_EQ(ItemNamed<FlagItem>("srlocked")->value, row.locked);
    }
    section_->ShowSyncSource(1, 0);
    EXPECT_EQ(ItemNamed<TextItem>("SampleRateType")->text.CompareLiteral("EXTERNAL"), 0);
    EXPECT_EQ(ItemNamed<FlagItem>("srlocked")->value, 0);
    section_->ShowSyncSource(0, 1);
    EXPECT_EQ(ItemNamed<TextItem>("SampleRateType")->text.CompareLiteral("INTERNAL"), 0);
    EXPECT_EQ(ItemNamed<TextItem>("SampleRate")->text.CompareLiteral("48.0kHz"), 0);
    EXPECT_EQ(ItemNamed<FlagItem>("srlocked")->value, 1);
}

TEST_F(MainSection, TheNoDspWarningComesOnceAndGoes)
{
    auto icons = [this] {
        int count = 0;
        for (int i = 0; i < section_->ControlCount(); ++i)
            count += section_->ControlAtIndex(i)->GetName().CompareLiteral("exclamationIcon") == 0;
        return count;
    };
    EXPECT_EQ(icons(), 0);
    Standin().SetDspPresent(false);
    section_->UpdateStatus();
    section_->UpdateStatus();
    EXPECT_EQ(icons(), 1);
    Standin().SetDspPresent(true);
    section_->UpdateStatus();
    EXPECT_EQ(icons(), 0);
}

TEST_F(MainSection, TheTVModeSelectorShowsItsViewAndKeepsTheSetting)
{
    host_.log.clear();
    section_->SetTVMode(1);
    EXPECT_EQ(section_->GetTVViewMode(), 1);
    String stored;
    link_.settings.ReadString(StringRef(u"TV View Mode"), stored, nullptr);
    EXPECT_EQ(stored.CompareLiteral("inputs"), 0);
    section_->SetTVMode(7);
    EXPECT_EQ(section_->GetTVViewMode(), 1);
    EXPECT_EQ(ItemNamed<IntItem>("tvMode")->value, 1);
    // A mode change is no edit of the session.
    EXPECT_EQ(link_.Count(EngineEvent::kUserEdit), 0);

    // Events reach only the view of their kind.
    host_.log.clear();
    section_->OnInputChanged(3);
    section_->OnOutputChanged(3);
    section_->OnEffectEvent(610, 0);
    section_->OnStripChanged(nullptr);
    EXPECT_EQ(host_.log, (CallLog{"tv1 input", "tv1 strip"}));
    host_.log.clear();
    section_->OnEngineEvent(55, 0);
    EXPECT_EQ(host_.log, (CallLog{"tv1 gone"}));
    EXPECT_EQ(section_->GetTVViewMode(), 1);
    section_->SetTVMode(0);
    host_.log.clear();
    section_->OnPresetListEvent(800, 0);
    section_->OnEffectEvent(1000, 0);
    section_->OnInsertEvent(750, 0);
    section_->OnInputChanged(1);
    section_->OnEngineEvent(55, 0);
    EXPECT_EQ(host_.log, (CallLog{"tv0 preset 800", "tv0 effect 1000", "tv0 insert 750"}));
}

TEST_F(MainSection, InsertAreasPassPressesFocusTheirStripAndSwitchTheFrame)
{
    ASSERT_EQ(section_->GetAuxStripCount(), 3) << "one strip per aux bus";
    ASSERT_NE(section_->GetMainStrip(), nullptr);
    int x = 0, y = 0, w = 0, h = 0, id = 0;
    ASSERT_TRUE(section_->GetRegionRect(Ascii("aux2inserts"), x, y, w, h, id));
    host_.log.clear();
    host_.viewMode = 0;
    section_->OnMouseDown(MK_LBUTTON, x + 2, y + 2);
    section_->OnMouseUp(0, x + 2, y + 2);
    EXPECT_EQ(section_->GetFocusedInsertStrip(), section_->GetAuxStrip(1));
    EXPECT_EQ(host_.viewMode, 2);
    EXPECT_EQ(host_.log, (CallLog{"strip1 mouse focused=0 right=0", "strip1 select", "viewmode 2"}));

    host_.log.clear();
    EXPECT_EQ(section_->OnKeyDown(46, 0), 1);
    EXPECT_EQ(section_->OnKeyDown('A', 0), 0);
    ASSERT_TRUE(section_->GetRegionRect(Ascii("maininserts"), x, y, w, h, id));
    section_->OnRightButtonDown(MK_RBUTTON, x + 2, y + 2);
    section_->OnRightButtonUp(0, x + 2, y + 2);
    EXPECT_EQ(section_->GetFocusedInsertStrip(), section_->GetMainStrip());
    EXPECT_EQ(host_.log, (CallLog{"strip1 delete", "strip3 mouse focused=0 right=1", "strip1 deselect", "strip3 select",
                                  "strip3 menu"}));

    // Leaving the insert mode deselects the focused strip; coming back selects it again.
    host_.log.clear();
    section_->OnLeaveInsertMode(2);
    section_->OnEnterInsertMode(1);
    section_->OnEnterInsertMode(2);
    EXPECT_EQ(host_.log, (CallLog{"strip3 deselect", "strip3 select"}));
}

TEST_F(MainSection, TheDragTimerScrollsTheStripsNearTheirEdgesAndEveryInsertArea)
{
    TestClock clock;
    ASSERT_TRUE(Cursor::SetPosition(300, 200));
    int screenX = 0, screenY = 0;
    ASSERT_TRUE(Cursor::GetPosition(screenX, screenY));
    const std::string at = std::to_string(screenX) + "," + std::to_string(screenY);
    // What every tick passes to the aux strips and the main strip.
    const CallLog insertAreas = {"strip0 autoscroll " + at, "strip1 autoscroll " + at, "strip2 autoscroll " + at,
                                 "strip3 autoscroll " + at};
    int x = 0, y = 0, w = 0, h = 0, id = 0;
    ASSERT_TRUE(section_->GetRegionRect(Ascii("maininserts"), x, y, w, h, id));

    // The timer fires on the first 25 ms tick that comes more than its 50 ms after it started.
    const uint32_t kNextTick = 75;
    host_.log.clear();
    clock.Advance(kNextTick);
    EXPECT_EQ(host_.log, CallLog{}) << "no press, no timer";

    // A press in an insert area starts the timer; it ticks until the release.
    section_->OnMouseDown(MK_LBUTTON, x + 2, y + 2);
    host_.log.clear();
    clock.Advance(50);
    EXPECT_EQ(host_.log, CallLog{}) << "not within its period";
    clock.Advance(25);
    CallLog expected = {"strips at " + at};
    expected.insert(expected.end(), insertAreas.begin(), insertAreas.end());
    EXPECT_EQ(host_.log, expected) << "without a strip section only the insert areas scroll";

    // With a strip section 400 wide: within 20 pixels outside either edge the strips scroll a
    // step that way; the first strip's inserts always hear the point (in screen coordinates).
    host_.hasStripSection = 1;
    host_.stripWidth = 400;
    host_.stripY = 30;
    struct Row
    {
        int x;
        const char* scroll; // nullptr: none
    };
    const Row rows[] = {{-20, nullptr}, {-19, "scroll -1"}, {-1, "scroll -1"}, {0, nullptr},  {200, nullptr},
                        {400, nullptr}, {401, "scroll 1"},  {419, "scroll 1"}, {420, nullptr}};
    for (const Row& row : rows)
    {
        host_.stripX = row.x;
        host_.log.clear();
        clock.Advance(kNextTick);
        CallLog wanted = {"strips at " + at};
        if (row.scroll)
            wanted.push_back(row.scroll);
        // The strip's slots take the screen point, as every insert strip's drag scrolling does.
        wanted.push_back("strip inserts " + at);
        wanted.insert(wanted.end(), insertAreas.begin(), insertAreas.end());
        EXPECT_EQ(host_.log, wanted) << "x " << row.x;
    }

    section_->OnMouseUp(0, x + 2, y + 2);
    host_.log.clear();
    clock.Advance(kNextTick);
    clock.Advance(kNextTick);
    EXPECT_EQ(host_.log, CallLog{}) << "the release stops the timer";
}

TEST_F(MainSection, DragsOverTheInsertAreas)
{
    int x = 0, y = 0, w = 0, h = 0, id = 0;
    ASSERT_TRUE(section_->GetRegionRect(Ascii("aux1inserts"), x, y, w, h, id));
    RecordingStrip* aux = host_.strips[0];
    // Outside the areas, and drags of an unknown kind, are refused.
    constexpr intptr_t kUnknownKind = 3;
    static_assert(kUnknownKind != PresetDrag::kKind && kUnknownKind != InsertSlotRules::kDragInsert);
    EXPECT_EQ(section_->OnDragOver(1, 1, PresetDrag::kKind, 0), 0);
    EXPECT_EQ(section_->OnDragOver(x + 2, y + 2, kUnknownKind, 0), 0);
    // Effects from the palette go anywhere in an area.
    aux->slotUnder = -1;
    EXPECT_EQ(section_->OnDragOver(x + 2, y + 2, PresetDrag::kKind, 0), 1);
    aux->slotUnder = 1;
    EXPECT_EQ(section_->OnDragOver(x + 2, y + 2, PresetDrag::kKind, 0), 1);

    host_.log.clear();
    EXPECT_EQ(section_->OnDrop(x + 2, y + 2, PresetDrag::kKind, 0), 1);
    EXPECT_EQ(section_->GetLastDropSlot(), 2);
    EXPECT_EQ(section_->GetFocusedInsertStrip(), section_->GetAuxStrip(0));
    aux->dropAnswer = -1;
    section_->OnDrop(x + 2, y + 2, PresetDrag::kKind, 0);
    EXPECT_EQ(section_->GetLastDropSlot(), 2);
}

TEST_F(MainSection, TheInsertBarsFollowTheChains)
{
    auto* bar = dynamic_cast<Scrollbar*>(ControlNamed("mainInsertsScrollbar"));
    ASSERT_NE(bar, nullptr);
    // Three inserts in six slots: nothing to scroll.
    ASSERT_TRUE(Standin().SetInsertCount(-1, 3));
    section_->UpdateMainInsertsScroll(1);
    EXPECT_EQ(bar->GetRange(), 0);
    EXPECT_EQ(bar->GetPosition(), 0);
    EXPECT_EQ(bar->GetVisible(), 6 * 18);
    EXPECT_EQ(bar->GetTotal(), 4 * 18);
    // Ten inserts: the first visible slot goes from 0 to 4; the wheel moves it one at a time
    // and stops at the ends.
    ASSERT_TRUE(Standin().SetInsertCount(-1, 10));
    section_->UpdateMainInsertsScroll(1);
    EXPECT_EQ(bar->GetRange(), 4);
    host_.log.clear();
    const WPARAM up = MAKEWPARAM(0, WHEEL_DELTA);
    const WPARAM down = MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));
    section_->OnMouseWheel(up, 0, 0);
    EXPECT_EQ(bar->GetPosition(), 0);
    for (int i = 0; i < 6; ++i)
        section_->OnMouseWheel(down, 0, 0);
    EXPECT_EQ(bar->GetPosition(), 4);
    EXPECT_EQ(std::count(host_.log.begin(), host_.log.end(), "strip3 refresh"), 4);
    // Fewer inserts again: the position comes back within the range and the strip follows.
    ASSERT_TRUE(Standin().SetInsertCount(-1, 7));
    section_->UpdateMainInsertsScroll(1);
    EXPECT_EQ(bar->GetPosition(), 1);
    EXPECT_EQ(std::count(host_.log.begin(), host_.log.end(), "strip3 refresh"), 5);
}

// Moving an insert: sends need a stereo output, send/returns also a stereo input; over a slot
// the place must be free or the insert's own.
TEST_F(MainSection, InsertsDraggedOverTheMainInserts)
{
    IVarnHardware* system = engine_.GetMixer()->GetHardware();
    IVarnItemList* items = system->GetItemList();
    IVarnOutput* pair = items->GetPort(1, 0);
    IVarnOutput* mono = items->GetPort(1, items->GetCount(1) - 1);
    IVarnInput* monoIn = system->GetInputList()->GetInput(1, 0);
    IVarnInput* stereoIn = system->GetInputList()->GetInput(2, 0);
    ASSERT_TRUE(pair && mono && monoIn && stereoIn);
    ASSERT_FALSE(pair->IsSingleChannel());
    ASSERT_TRUE(mono->IsSingleChannel());
    ASSERT_EQ(monoIn->GetChannelCount(), 1);
    ASSERT_EQ(stereoIn->GetChannelCount(), 2);
    ASSERT_TRUE(Standin().SetInsertCount(-1, 3));
    IVarnInsertChain* main = Mix()->GetInsertChain();
    int x = 0, y = 0, w = 0, h = 0, id = 0;
    ASSERT_TRUE(section_->GetRegionRect(Ascii("maininserts"), x, y, w, h, id));
    RecordingStrip* strip = host_.strips[3];

    struct Row
    {
        const char* label;
        int kind;
        IVarnOutput* output;
        IVarnInput* input;
        int position; // the dragged insert's own place in the main chain (-1: another chain)
        int slotUnder;
        int accepted;
    };
    const Row rows[] = {
        {"an effect onto no slot", 0, nullptr, nullptr, -1, -1, 1},
        {"an effect onto a taken slot", 0, nullptr, nullptr, -1, 1, 0},
        {"an effect past the last insert", 0, nullptr, nullptr, -1, 3, 1},
        {"an effect onto its own slot", 0, nullptr, nullptr, 1, 1, 1},
        {"a send to a pair", 1, pair, monoIn, -1, -1, 1},
        {"a send to a single channel", 1, mono, nullptr, -1, -1, 0},
        {"a send/return with a stereo return", 2, pair, stereoIn, -1, -1, 1},
        {"a send/return with a mono return", 2, pair, monoIn, -1, -1, 0},
        {"an ASIO send/return to a single channel", 6, mono, stereoIn, -1, -1, 0},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        StandinInsert insert(row.position >= 0 ? main : nullptr, row.position);
        insert.kind = row.kind;
        insert.outputPort = row.output;
        insert.inputPort = row.input;
        strip->slotUnder = row.slotUnder;
        EXPECT_EQ(section_->OnDragOver(x + 2, y + 2, InsertSlotRules::kDragInsert, reinterpret_cast<intptr_t>(&insert)),
                  row.accepted);
    }
    // With the chain scrolled by one, slot 1 shows place 2.
    strip->offset = 1;
    strip->slotUnder = 1;
    StandinInsert own(main, 2);
    EXPECT_EQ(section_->OnDragOver(x + 2, y + 2, InsertSlotRules::kDragInsert, reinterpret_cast<intptr_t>(&own)), 1);
}

TEST_F(MainSection, TheButtonsAskTheFrameAndADspRefreshRetriesTheDsp)
{
    for (int expand = 0; expand < 2; ++expand)
    {
        Control* button = ControlNamed(expand ? "expand" : "collapse");
        if (!button)
            continue;
        section_->OnControlNotify(section_.get(), button, 0);
        MSG message = {};
        ASSERT_TRUE(::PeekMessageA(&message, frame_.GetHandle(), 2024, 2024, PM_REMOVE));
        EXPECT_EQ(message.wParam, 1u);
        EXPECT_EQ(message.lParam, expand);
    }
    host_.log.clear();
    section_->RefreshDspInserts();
    EXPECT_EQ(CountLogged("RetryDsp"), 0);
    Standin().SetDspPresent(false);
    section_->RefreshDspInserts();
    EXPECT_EQ(CountLogged("RetryDsp"), 1);
    EXPECT_EQ(std::count(host_.log.begin(), host_.log.end(), "strip3 retry"), 2);
    EXPECT_EQ(std::count(host_.log.begin(), host_.log.end(), "strip0 retry"), 2);
    EXPECT_EQ(std::count(host_.log.begin(), host_.log.end(), "strip2 retry"), 0) << "only the two aux strips shown";
}

// A right click on a value control opens its menu; reset goes to the engine like an edit.
TEST_F(MainSection, TheControlMenuResetsALevelThroughTheEngine)
{
    Edit("mixlevel", -20.0f);
    link_.events.clear();
    Control* fader = ControlNamed("mixlevelFader");
    ASSERT_NE(fader, nullptr);
    section_->OnRightButtonDown(MK_RBUTTON, fader->X() + 2, fader->Y() + 2);
    const int before = CountLogged("SetMainLevel 0 0");
    section_->OnMenuCommand(ControlContextMenu::kReset);
    EXPECT_FLOAT_EQ(Real("mixlevel"), Mix()->GetMainDefault());
    EXPECT_EQ(CountLogged("SetMainLevel 0 0"), before + 1);
    EXPECT_EQ(link_.Count(EngineEvent::kUserEdit), 1);
    // The menu was for that item only: a late command does nothing.
    section_->OnMenuCommand(ControlContextMenu::kReset);
    EXPECT_EQ(link_.Count(EngineEvent::kUserEdit), 1);
}

class CompactSection : public Fixture
{
};

TEST_F(CompactSection, HasNoInsertStripsAndNoTVView)
{
    ASSERT_NO_FATAL_FAILURE(StartEngine(kCard));
    ASSERT_TRUE(CreateSection(1));
    EXPECT_EQ(host_.stripsMade, 0);
    EXPECT_EQ(host_.tvViewsMade, 0);
    section_->ShowTVArea(2);
    section_->SetTVMode(1);
    EXPECT_EQ(host_.tvViewsMade, 0);
    EXPECT_EQ(section_->GetTVView(), nullptr);
    EXPECT_EQ(section_->OnDragOver(10, 60, PresetDrag::kKind, 0), 0);
    EXPECT_EQ(section_->OnDrop(10, 60, PresetDrag::kKind, 0), 0);
    EXPECT_NE(ControlNamed("expand"), nullptr);
}

class StartingSection : public Fixture
{
};

// The stored "TV View Mode" picks the first view: the three names exactly, anything else the
// outputs view.
TEST_F(StartingSection, TheStoredTVModePicksTheFirstView)
{
    ASSERT_NO_FATAL_FAILURE(StartEngine(kCard));
    struct Row
    {
        const char16_t* stored; // null: none stored
        int mode;
    };
    const Row rows[] = {{nullptr, 0}, {u"inputs", 1}, {u"outputs", 2}, {u"Outputs", 2}, {u"FX", 0}, {u"fx", 2}};
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.mode);
        if (row.stored)
        {
            String text;
            text.AssignWide(row.stored);
            link_.settings.WriteString(StringRef(u"TV View Mode"), &text);
        }
        else
            link_.settings.DeleteKey(StringRef(u"TV View Mode"));
        ASSERT_TRUE(CreateSection(0));
        EXPECT_EQ(section_->GetTVViewMode(), row.mode);
    }
    String stored;
    link_.settings.DeleteKey(StringRef(u"TV View Mode"));
    ASSERT_TRUE(CreateSection(0));
    EXPECT_EQ(link_.settings.ReadString(StringRef(u"TV View Mode"), stored, nullptr), 1) << "the default is written";
    EXPECT_EQ(stored.CompareLiteral("FX"), 0);
}

// A card with 192 kHz needs a driver from 5.12.x.1022 on; the prefix's driver file is
// 5.12.1.130.
TEST_F(StartingSection, AnOldDriverOnA192CardHidesThe192Sign)
{
    ASSERT_NO_FATAL_FAILURE(StartEngine("auxbuses=2\nfeatures=0,4\n"));
    ASSERT_TRUE(CreateSection(0));
    EXPECT_EQ(ControlNamed("192"), nullptr);
    EXPECT_NE(ControlNamed("no192kSR"), nullptr);
}

TEST_F(StartingSection, ACardWithout192KeepsThe192Sign)
{
    ASSERT_NO_FATAL_FAILURE(StartEngine(kCard));
    ASSERT_TRUE(CreateSection(0));
    EXPECT_NE(ControlNamed("192"), nullptr);
    EXPECT_EQ(ControlNamed("no192kSR"), nullptr);
}
// Without a card the engine has no main mix: the section is built with empty items, shows no
// warning and sends nothing.
TEST_F(StartingSection, WithoutAMainMixNothingIsReadOrSent)
{
    ASSERT_NO_FATAL_FAILURE(StartEngine("present=0\n", VarnInitNoHardware));
    ASSERT_EQ(engine_.GetMixer()->GetHardware(), nullptr);
    ASSERT_TRUE(CreateSection(0));
    EXPECT_EQ(section_->GetAuxCount(), 0);
    EXPECT_EQ(host_.stripsMade, 0);
    EXPECT_EQ(ControlNamed("exclamationIcon"), nullptr);
    section_->UpdateStatus();
    section_->OnEngineEvent(300, 0);
    section_->OnEngineEvent(304, 0);
    ItemNamed<RealItem>("mixlevel")->SetValue(-3.0f, 1, 1, nullptr);
    EXPECT_EQ(link_.Count(EngineEvent::kUserEdit), 0);
    EXPECT_TRUE(section_->HasItsHardware());
}
} // namespace
