// The mixer strips under Wine: the frame with its real strip section over the stand-in
// engine (two systems) and the shipped mixer skin. The engine's events are heard on its
// thread and handed to the frame here, as the main window's dispatcher does.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "framework/controls/DataItem.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/platform/RegistryKey.h"
#include "mixer/dialogs/NewStripDialog.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/views/FrameApp.h"
#include "mixer/views/InsertSlot.h"
#include "mixer/views/InsertSlotStrip.h"
#include "mixer/views/PresetTreeView.h"
#include "mixer/views/StripGroup.h"
#include "mixer/views/StripSection.h"
#include "mixer/views/StripView.h"
#include "framework/controls/ValueSetters.h"
#include "mixer/views/tests/MainSectionTestSupport.h"
#include "mixer/views/tests/RecordingMainWindow.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScratchFolder.h"

namespace
{
namespace fs = std::filesystem;
using viewstest::Narrow;
using viewstest::Text;

// Two systems of the shipped card's kinds: strip 0 an ASIO pair, 1 a stereo input, 2 and 3
// without a source, 4 a mono input, 5 a synth, 6 an FX send; a free mono input and ASIO
// channels for new strips.
const char kCard[] = "present=1\nsystems=2\nrate=1\ninputs=8\noutputs=8\nwave=1\nmonoinputs=4\nstereoinputs=4\n"
                     "midifxsends=1\nsynths=1\nstrips=7\ninput=0 1 strip 0\ninput=2 0 strip 1\ninput=1 0 strip 4\n"
                     "input=0 6 strip 5\ninput=0 5 strip 6\n";

// Answers every dialog with the next answer (1 when none is left) and keeps its name.
class Answers : public DialogAnswerer
{
public:
    Answers() { Dialog::SetAnswerer(this); }
    ~Answers() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        shown.push_back(Narrow(dialog.GetSourceName()));
        int answer = 1;
        if (!answers.empty())
        {
            answer = answers.front();
            answers.erase(answers.begin());
        }
        if (during)
            during();
        if (fill)
            fill(dialog);
        dialog.End(answer);
    }
    std::vector<std::string> shown;
    std::vector<int> answers;
    std::function<void()> during;
    std::function<void(Dialog&)> fill; // sets the dialog's items before it ends
};

class Strips : public testing::Test
{
protected:
    static constexpr const char16_t* kKey = u"Software\\Halvorn Professional\\KivCorvanDSP\\StripsTest";

    void SetUp() override
    {
        for (const char* folder : {"program", "data", "sessions"})
            fs::create_directories(root_ / folder);
        std::ofstream(root_ / "program" / "SimulatedCard.txt") << kCard;
        ASSERT_EQ(engine_->Init((root_ / "program").u16string().c_str(), (root_ / "data").u16string().c_str(),
                                (root_ / "sessions").u16string().c_str()),
                  1);
        engine_->AddListener(&events_);
        ASSERT_TRUE(viewstest::LoadMixerSkin(link_.skin));
        ASSERT_TRUE(link_.settings.Open("HKEY_CURRENT_USER", StringRef(kKey), 1));
        link_.settings.WriteBool(ViewSettings::kShowNoAsioWarning, 1);
        link_.services = engine_;
        ASSERT_TRUE(frame_.Create(&link_, 0));
        section_ = dynamic_cast<StripSection*>(frame_.GetStripSection());
        ASSERT_NE(section_, nullptr);
        Pump();
        link_.calls.clear();
    }
    void TearDown() override
    {
        engine_->RemoveListener(&events_);
        engine_->Release();
    }

    // Hands the engine's events to the frame as the dispatcher would.
    void Pump()
    {
        engine_->WaitForEvents();
        for (auto [id, argument] : events_.Take())
        {
            if (id == EngineEvent::kStripAdded)
                frame_.AddStripView(engine_->GetMixer()->GetStripById(static_cast<int>(argument)));
            else if (id == EngineEvent::kStripRemoved)
                frame_.RemoveStripView(argument);
            else if (id == EngineEvent::kStripMoved)
                frame_.UpdateStrip(argument);
            else if (EngineEvent::kStrip.Holds(id) || EngineEvent::kStripMore.Holds(id))
            {
                if (StripViewTarget* view = section_->FindStripView(argument))
                    view->OnEngineEvent(id);
            }
            else if (EngineEvent::kInsert.Holds(id) || EngineEvent::kInsertSlot.Holds(id))
                if (InsertStripTarget* inserts = frame_.FindInsertStrip(id, argument))
                    inserts->OnEngineEvent(id, argument);
        }
    }
    StripGroup& Group(int g) { return *section_->GroupAt(g); }
    StripView& View(int g, int i) { return *Group(g).ViewAt(i); }
    std::vector<int> Ids(int g)
    {
        std::vector<int> ids;
        for (int i = 0; i < Group(g).Count(); ++i)
            ids.push_back(View(g, i).GetStripId());
        return ids;
    }
    template <class Item>
    Item* ItemOf(StripView& view, const char* name)
    {
        return dynamic_cast<Item*>(view.FindDataItem(Text(name)));
    }
    int Logged(const std::string& prefix)
    {
        auto log = engine_->GetCallLog();
        return static_cast<int>(
            std::count_if(log.begin(), log.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
    }
    std::string Tag(StripView& view, const char* name)
    {
        auto* label = dynamic_cast<LabelControl*>(view.FindControl(Text(name)));
        return label ? Narrow(label->GetText()) : "(none)";
    }
    IVarnStripList* List(int system) { return engine_->GetMixer()->GetSystem(system)->GetStripList(); }
    int ControlsNamed(StripView& view, const char* name)
    {
        int count = 0;
        for (int i = 0; i < view.ControlCount(); ++i)
            count += view.ControlAtIndex(i)->GetName().CompareLiteral(name) == 0 ? 1 : 0;
        return count;
    }

    ScratchFolder scratch_{"kiv-strips-view"};
    const fs::path& root_ = scratch_.Path();
    mainsection::EventQueue events_;
    StandinServices* engine_ = new StandinServices;
    viewstest::RecordingLink link_;
    FrameApp frame_;
    StripSection* section_ = nullptr;
};

TEST_F(Strips, EachSystemHasAGroupWithAViewOfEachKindForItsStrips)
{
    ASSERT_EQ(section_->GroupCount(), 2);
    EXPECT_EQ(Ids(0), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Ids(1), (std::vector<int>{64, 65, 66, 67, 68, 69, 70}));
    const struct
    {
        int index, kind;
        const char* panel;
        bool stereoPan;
        int synthFlags;
    } rows[] = {
        {0, StripView::kStereoAudio, "stereoAudioStrip", true, 0},
        {1, StripView::kStereoAudio, "stereoAudioStrip", true, 0},
        // No source: a stereo audio strip with empty tags.
        {2, StripView::kStereoAudio, "stereoAudioStrip", true, 0},
        {4, StripView::kMonoAudio, "monoAudioStrip", false, 0},
        {5, StripView::kStereoSynth, "stereoSynthStrip", true, 32},
        {6, StripView::kFxSend, "monoSynthFXSendStrip", false, 0},
    };
    for (const auto& row : rows)
    {
        StripView& view = View(0, row.index);
        SCOPED_TRACE(row.panel);
        EXPECT_EQ(view.GetKind(), row.kind);
        EXPECT_EQ(Narrow(view.GetName()), row.panel);
        EXPECT_EQ(view.GetVisualState(), StripView::kNormal);
        EXPECT_EQ(ItemOf<RealItem>(view, "pan") != nullptr, !row.stereoPan);
        EXPECT_EQ(ItemOf<RealItem>(view, "pan_l") != nullptr, row.stereoPan);
        EXPECT_EQ(ItemOf<RealItem>(view, "pan_r") != nullptr, row.stereoPan);
        int flags = 0;
        for (int s = 1; s <= 2; ++s)
            for (int c = 1; c <= 16; ++c)
                flags += ItemOf<FlagItem>(view, ("s" + std::to_string(s) + " c" + std::to_string(c)).c_str()) ? 1 : 0;
        EXPECT_EQ(flags, row.synthFlags);
        auto* status = ItemOf<FlagItem>(view, "limit_status");
        ASSERT_NE(status, nullptr);
        EXPECT_EQ(status->value, 1);
        EXPECT_TRUE(status->IsHidden());
        EXPECT_EQ(view.GetInsertSlotCount(), 6);
        EXPECT_EQ(view.BackgroundWidth(), 76);
        EXPECT_EQ(Tag(view, "index"), std::to_string(row.index + 1));
    }
    EXPECT_EQ(Tag(View(0, 2), "peripheralTag"), "");
    EXPECT_EQ(Tag(View(0, 2), "indexTag"), "");
    EXPECT_NE(Tag(View(0, 1), "peripheralTag"), "");
    EXPECT_EQ(section_->GetTotalWidth(), 14 * 76);
    // The second group follows the first with the skin's spacing.
    RECT first = {}, second = {};
    ::GetWindowRect(Group(0).GetHandle(), &first);
    ::GetWindowRect(Group(1).GetHandle(), &second);
    EXPECT_EQ(second.left - first.left, 7 * 76 + 10);
}

TEST_F(Strips, AnEditMakesOneEngineCallThenSetModifiedAndEventSeventyEight)
{
    StripView& view = View(0, 1);
    const struct
    {
        const char* item;
        float value;
        const char* call;
    } rows[] = {
        {"gain", -12.0f, "SetGain 1 -12 0"}, {"send2", -20.0f, "SetSendLevel 1 1 -20 0"},
        {"pan_r", 0.5f, "SetPan 1 1 0.5 0"}, {"mute", 1.0f, "SetMute 1 1 1"},
        {"solo", 1.0f, "SetSolo 1 1 1"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.item);
        const int before = Logged("Mixer SetModified 1");
        auto* item = view.FindDataItem(Text(row.item));
        ASSERT_NE(item, nullptr);
        static_cast<NumericItem*>(item)->SetValue(row.value, 1, 1, nullptr);
        EXPECT_EQ(Logged(row.call), 1);
        EXPECT_EQ(Logged("Mixer SetModified 1"), before + 1);
        ASSERT_FALSE(link_.calls.empty());
        EXPECT_EQ(link_.calls.back(), "RebuildView 78 0");
        link_.calls.clear();
        // The engine's event comes back and changes nothing more.
        Pump();
        EXPECT_EQ(Logged(row.call), 1);
        EXPECT_TRUE(link_.calls.empty());
    }
    // A synth channel goes to the synth source.
    auto* channel = ItemOf<FlagItem>(View(0, 5), "s2 c16");
    ASSERT_NE(channel, nullptr);
    channel->SetValue(1, 1, 1, nullptr);
    EXPECT_EQ(Logged("SetSynthChannelOn 1 15"), 1);
}

TEST_F(Strips, EngineEventsUpdateTheItemsWithoutEcho)
{
    const struct
    {
        const char* request;
        const char* item;
        float value;
    } rows[] = {
        {"set strip 4 gain -30", "gain", -30.0f}, {"set strip 4 pan0 0.25", "pan", 0.25f},
        {"set strip 1 send1 -6", "send1", -6.0f}, {"set strip 1 pan1 -0.5", "pan_r", -0.5f},
        {"set strip 1 mute 1", "mute", 1.0f},     {"set strip 1 solo 1", "solo", 1.0f},
        {"set strip 5 s1c3 1", "s1 c3", 1.0f},    {"set strip 5 s2c16 1", "s2 c16", 1.0f},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.request);
        ASSERT_EQ(engine_->Control(row.request), "ok");
        Pump();
        const int id = std::stoi(std::string(row.request).substr(10));
        StripView* view = section_->FindStripViewById(id);
        ASSERT_NE(view, nullptr);
        auto* item = dynamic_cast<NumericItem*>(view->FindDataItem(Text(row.item)));
        ASSERT_NE(item, nullptr);
        EXPECT_FLOAT_EQ(static_cast<float>(item->GetValue()), row.value);
    }
    ASSERT_EQ(engine_->Control("set strip 1 name Drums"), "ok");
    Pump();
    EXPECT_EQ(Narrow(ItemOf<TextItem>(View(0, 1), "usertext")->text), "Drums");
    // Nothing went back: no setter but the control channel's own, no edit event.
    EXPECT_EQ(Logged("SetGain"), 1);
    EXPECT_EQ(Logged("SetSynthChannelOn"), 2);
    EXPECT_EQ(Logged("Mixer SetModified"), 0);
    EXPECT_TRUE(link_.calls.empty());
}

TEST_F(Strips, EventsTenToTwelveAddRemoveAndMoveViews)
{
    IVarnStrip* made = nullptr;
    int status = 0;
    IVarnInputList* inputs = engine_->GetMixer()->GetSystem(1)->GetInputList();
    ASSERT_EQ(List(1)->CreateMonoStrip(inputs->GetInput(1, 1), 1, &made, &status, 1), 1);
    Pump();
    ASSERT_EQ(Group(1).Count(), 8);
    StripView& added = View(1, 7);
    EXPECT_EQ(added.GetStripId(), made->GetId());
    EXPECT_EQ(added.GetKind(), StripView::kMonoAudio);
    EXPECT_EQ(ControlsNamed(added, "preFaderIcon"), 1);
    EXPECT_EQ(section_->GetTotalWidth(), 15 * 76);
    // A second report of the same strip (a group built from the list before its event came)
    // makes no second view.
    EXPECT_EQ(section_->OnStripAdded(made), 0);
    EXPECT_EQ(Group(1).Count(), 8);

    // Moving 0 to 3 in the first group: the views follow the engine's order and indexes.
    ASSERT_EQ(List(0)->MoveStrip(0, 3, 1), 1);
    Pump();
    EXPECT_EQ(Ids(0), (std::vector<int>{1, 2, 3, 0, 4, 5, 6}));
    for (int i = 0; i < Group(0).Count(); ++i)
    {
        RECT area = {}, group = {};
        ::GetWindowRect(View(0, i).GetHandle(), &area);
        ::GetWindowRect(Group(0).GetHandle(), &group);
        EXPECT_EQ(area.left - group.left, 76 * i) << i;
        EXPECT_EQ(Tag(View(0, i), "index"), std::to_string(i + 1)) << i;
    }
    // Removing the focused last strip focuses the new last one; the second group moves left.
    SetFocusedStrip(&View(0, 6), StripView::kFocused, 0, 1);
    RECT before = {}, after = {};
    ::GetWindowRect(Group(1).GetHandle(), &before);
    ASSERT_EQ(List(0)->RemoveStrip(6, 1), 1);
    Pump();
    EXPECT_EQ(Ids(0), (std::vector<int>{1, 2, 3, 0, 4, 5}));
    EXPECT_EQ(FocusedStrip(), &View(0, 5));
    EXPECT_EQ(View(0, 5).GetVisualState(), StripView::kFocused);
    ::GetWindowRect(Group(1).GetHandle(), &after);
    EXPECT_EQ(before.left - after.left, 76);
    EXPECT_EQ(Group(0).GetWidth(), 6 * 76);
}

TEST_F(Strips, ArrowKeysMoveTheFocusWithinAGroup)
{
    frame_.SetViewMode(0);
    ASSERT_NE(FocusedStrip(), nullptr) << "entering mode 0 focuses the first visible strip";
    EXPECT_EQ(FocusedStrip(), &View(0, 0));
    EXPECT_EQ(section_->OnKeyDown(39, 0), 1);
    EXPECT_EQ(FocusedStrip(), &View(0, 1));
    EXPECT_EQ(View(0, 0).GetVisualState(), StripView::kNormal);
    EXPECT_EQ(View(0, 1).GetVisualState(), StripView::kFocused);
    SetFocusedStrip(&View(0, 6), StripView::kFocused, 0, 1);
    EXPECT_EQ(section_->OnKeyDown(39, 0), 1);
    EXPECT_EQ(FocusedStrip(), &View(0, 6)) << "no step into the second system's group";
    SetFocusedStrip(&View(1, 0), StripView::kFocused, 0, 1);
    EXPECT_EQ(section_->OnKeyDown(37, 0), 1);
    EXPECT_EQ(FocusedStrip(), &View(1, 0));
    EXPECT_EQ(section_->OnKeyDown(39, 0), 1);
    EXPECT_EQ(FocusedStrip(), &View(1, 1));
    // A step to a strip out of sight scrolls it in whole.
    SetFocusedStrip(&View(0, 4), StripView::kFocused, 0, 1);
    section_->OnKeyDown(39, 0);
    section_->OnKeyDown(39, 0);
    Scroller* scroller = frame_.GetStripsScroller();
    ASSERT_NE(scroller, nullptr);
    RECT area = {};
    ::GetClientRect(section_->GetHandle(), &area);
    const int x = section_->StripX(FocusedStrip());
    EXPECT_LE(scroller->GetPosition() * 76, x);
    EXPECT_LE(x + 76, scroller->GetPosition() * 76 + area.right);
    frame_.SetViewMode(1);
    EXPECT_EQ(FocusedStrip(), nullptr) << "leaving mode 0 clears the focus";
}

TEST_F(Strips, DragMoveShowsItsStatesAndMovesOnRelease)
{
    StripView& source = View(0, 1);
    StripView& target = View(0, 3);
    source.OnMouseDown(0, 8, 5); // the title
    EXPECT_TRUE(StripDragActive());
    EXPECT_EQ(source.GetVisualState(), StripView::kDragSource);
    EXPECT_EQ(source.GetTitlePressed(), 1);
    RECT targetArea = {}, sourceArea = {};
    ::GetWindowRect(target.GetHandle(), &targetArea);
    ::GetWindowRect(source.GetHandle(), &sourceArea);
    const int dx = targetArea.left - sourceArea.left + 20;
    source.OnMouseMove(0, dx, 100);
    EXPECT_EQ(DropTargetStrip(), &target);
    EXPECT_EQ(target.GetVisualState(), StripView::kDragTarget);
    source.OnMouseMove(0, 20, 100);
    EXPECT_EQ(DropTargetStrip(), nullptr) << "over itself";
    EXPECT_EQ(target.GetVisualState(), StripView::kNormal);
    source.OnMouseMove(0, dx, 100);
    source.OnMouseUp(0, dx, 100);
    EXPECT_FALSE(StripDragActive());
    EXPECT_EQ(DropTargetStrip(), nullptr);
    EXPECT_EQ(Logged("MoveStrip 1 3 1"), 1);
    Pump();
    EXPECT_EQ(Ids(0), (std::vector<int>{0, 2, 3, 1, 4, 5, 6}));
    EXPECT_EQ(FocusedStrip(), &source);
    EXPECT_EQ(source.GetVisualState(), StripView::kFocused);

    // A view that goes during its drag-move leaves nothing running.
    View(0, 0).OnMouseDown(0, 8, 5);
    ASSERT_TRUE(StripDragActive());
    ASSERT_EQ(List(0)->RemoveStrip(0, 1), 1);
    Pump();
    EXPECT_FALSE(StripDragActive());
    EXPECT_EQ(FocusedStrip(), &View(0, 0)) << "the next view takes the focus";
    EXPECT_EQ(View(0, 0).GetVisualState(), StripView::kFocused);
}

TEST_F(Strips, DeleteConfirmsAndWarnsOnlyWhileTheWarningIsOn)
{
    Answers answers;
    // Strip 0 plays the host's only used ASIO output pair: deleting it asks "playzero".
    answers.answers = {0};
    StripView::ConfirmDelete(link_, &frame_, 0);
    EXPECT_EQ(answers.shown, (std::vector<std::string>{"IDM_CONFIRM_DELETE_STRIP"}));
    EXPECT_EQ(Logged("RemoveStrip"), 0);
    answers.shown.clear();
    answers.answers = {1, 0};
    StripView::ConfirmDelete(link_, &frame_, 0);
    EXPECT_EQ(answers.shown, (std::vector<std::string>{"IDM_CONFIRM_DELETE_STRIP", "playzero"}));
    EXPECT_EQ(Logged("RemoveStrip"), 0);
    link_.settings.WriteBool(ViewSettings::kShowNoAsioWarning, 0);
    answers.shown.clear();
    answers.answers = {1};
    EXPECT_EQ(StripView::ConfirmDelete(link_, &frame_, 0), 1);
    EXPECT_EQ(answers.shown, (std::vector<std::string>{"IDM_CONFIRM_DELETE_STRIP"}));
    EXPECT_EQ(Logged("RemoveStrip 0 1"), 1);
    EXPECT_EQ(Logged("Mixer SetModified 1"), 1);
    Pump();
    EXPECT_EQ(Ids(0), (std::vector<int>{1, 2, 3, 4, 5, 6}));

    // The confirmation's loop hears the strip go: nothing else is removed.
    answers.shown.clear();
    answers.answers = {1};
    answers.during = [&] {
        List(0)->RemoveStrip(List(0)->GetStrip(0)->GetIndex(), 1);
        Pump();
    };
    EXPECT_EQ(StripView::ConfirmDelete(link_, &frame_, 1), 0);
    EXPECT_EQ(Ids(0), (std::vector<int>{2, 3, 4, 5, 6}));
    EXPECT_EQ(Logged("RemoveStrip"), 2) << "the test's own, not the view's";
    answers.during = nullptr;

    // The Delete key after a title press, not after a press on the index tag.
    StripView& view = View(0, 0);
    view.OnMouseDown(0, 38, 20); // indexTag: a drag-move starts, the title is not pressed
    view.OnMouseUp(0, 38, 20);
    EXPECT_EQ(view.OnKeyDown(StripView::kKeyDelete, 0), 0);
    view.OnMouseDown(0, 8, 5);
    view.OnMouseUp(0, 8, 5);
    answers.answers = {0};
    EXPECT_EQ(view.OnKeyDown(StripView::kKeyDelete, 0), 1);
    EXPECT_EQ(answers.shown.back(), "IDM_CONFIRM_DELETE_STRIP");
}

TEST_F(Strips, TheNoDspMarkComesOnceAndGoesWithTheDsp)
{
    StripView& view = View(0, 1);
    EXPECT_EQ(ControlsNamed(view, "exclamationIcon"), 0);
    ASSERT_EQ(engine_->Control("set strip 1 dsp 0"), "ok");
    Pump();
    EXPECT_EQ(ControlsNamed(view, "exclamationIcon"), 1);
    // A hardware change and another DSP report while the strip has none: still one.
    section_->RefreshForEvent(EngineEvent::kFrameRefresh, 0);
    view.OnEngineEvent(EngineEvent::kStripDsp);
    EXPECT_EQ(ControlsNamed(view, "exclamationIcon"), 1);
    // The menu's DSP load: it succeeds at once here.
    StripView::LoadDspWithRetry(link_, &frame_, 1);
    Pump();
    EXPECT_EQ(ControlsNamed(view, "exclamationIcon"), 0);
}

TEST_F(Strips, NewStripMakesTheChosenSourcesStripOrSaysWhyNot)
{
    Answers answers;
    auto choose = [&](int physicalOrHost, int hostSrc, const char* listItem, int position) {
        answers.fill = [=](Dialog& dialog) {
            auto set = [&](const char* name, int value) {
                if (auto* item = dynamic_cast<IntItem*>(dialog.FindDataItem(Text(name))))
                    item->Store(value, 0, 0, nullptr);
            };
            set("physicalOrHost", physicalOrHost);
            set("hostSrc", hostSrc);
            if (listItem)
                set(listItem, position);
        };
    };
    const struct
    {
        const char* trace;
        int physicalOrHost, hostSrc;
        const char* listItem;
        int position;
        int kind; // of the new view, -1 for none
        std::vector<std::string> shown;
    } rows[] = {
        {"the first free physical input", 0, 0, nullptr, 0, StripView::kStereoAudio, {"newstrip"}},
        {"a Wave pair", 1, 1, "OSchoice", 0, StripView::kStereoAudio, {"newstrip"}},
        {"a single ASIO channel", 1, 0, "ASIOchoice", 4 + 7, StripView::kMonoAudio, {"newstrip"}},
        {"a free ASIO pair", 1, 0, "ASIOchoice", 1, StripView::kStereoAudio, {"newstrip"}},
        // Sources in use: the engine's set refuses them, and the dialog says why.
        {"the ASIO pair in use", 1, 0, "ASIOchoice", 0, -1, {"newstrip", "IDM_INSUFFICIENT_DSP"}},
        {"the FX send in use", 1, 3, "FXsendchoice", 0, -1, {"newstrip", "IDM_INSUFFICIENT_DSP"}},
        // No FX send chosen: nothing is asked of the engine and nothing is said.
        {"no FX send", 1, 3, "FXsendchoice", -1, -1, {"newstrip"}},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.trace);
        answers.shown.clear();
        answers.answers = {1, 1};
        choose(row.physicalOrHost, row.hostSrc, row.listItem, row.position);
        const int before = Group(0).Count();
        const int creations = Logged("Create");
        EXPECT_EQ(section_->NewStrip(), row.kind >= 0);
        EXPECT_EQ(answers.shown, row.shown);
        Pump();
        EXPECT_EQ(Group(0).Count(), before + (row.kind >= 0 ? 1 : 0));
        EXPECT_EQ(Logged("Create") - creations, row.kind >= 0 ? 1 : 0);
        if (row.kind >= 0)
        {
            EXPECT_EQ(View(0, before).GetKind(), row.kind);
        }
    }
    // Cancelled: nothing.
    answers.shown.clear();
    answers.answers = {0};
    answers.fill = nullptr;
    const int count = Group(0).Count();
    EXPECT_FALSE(section_->NewStrip());
    Pump();
    EXPECT_EQ(Group(0).Count(), count);
}

// An effect dragged from the palette onto a strip's insert area goes into its chain, shows in
// its first slot and becomes the selected insert of the focused strip.
TEST_F(Strips, AnEffectDroppedOnTheInsertAreaGoesIntoTheStripsChain)
{
    StripView& view = View(0, 0);
    InsertSlotStrip* slots = view.GetInsertSlots();
    ASSERT_NE(slots, nullptr);
    EXPECT_EQ(slots->GetSlotCount(), view.GetInsertSlotCount());
    IVarnInsertChain* chain = slots->GetChain();
    ASSERT_NE(chain, nullptr);
    const int before = chain->GetCount();
    CoreEffectItem effect;
    IVarnFxLibrary* library = engine_->GetFxLibrary();
    library->LoadCoreEffects();
    ASSERT_TRUE(library->GetCoreEffectInfo(0, &effect.record));
    const auto payload = reinterpret_cast<intptr_t>(&effect.head);
    const InsertSlotRules::SlotRect slot = slots->GetSlotRect(before);
    EXPECT_EQ(view.OnDragOver(slot.left + 4, slot.top + 4, PresetDrag::kKind, payload), 1);
    EXPECT_EQ(view.OnDragOver(slot.left + 4, 300, PresetDrag::kKind, payload), 0) << "outside the insert area";
    EXPECT_EQ(view.OnDrop(slot.left + 4, slot.top + 4, PresetDrag::kKind, payload), 1);
    Pump();
    ASSERT_EQ(chain->GetCount(), before + 1);
    EXPECT_EQ(*InsertSlotStrip::SelectedInsertIndex(), before);
    EXPECT_EQ(FocusedStrip(), &view);
    String shown;
    slots->GetSlot(before)->GetText(shown);
    EXPECT_GT(shown.Length(), 0) << "the slot names the new insert";
}

TEST_F(Strips, AReleaseOverADisabledListSwitchesTheNewStripDialogToIt)
{
    // The dialog opens on the physical side: the host lists are disabled until a release over
    // one of them (with a choice) switches to it; a release over an enabled list changes
    // nothing.
    Answers answers;
    struct Seen
    {
        int physicalOrHost = -1, hostSrc = -1, asioDisabled = -1, physicalDisabled = -1;
    };
    std::vector<Seen> seen;
    answers.fill = [&](Dialog& dialog) {
        auto value = [&](const char* name) {
            auto* item = dynamic_cast<IntItem*>(dialog.FindDataItem(Text(name)));
            return item ? item->value : -2;
        };
        auto release = [&](const char* name) {
            Control* list = dialog.FindControl(Text(name));
            ASSERT_NE(list, nullptr) << name;
            dialog.OnMouseUp(0, list->X() + 2, list->Y() + 2);
            seen.push_back({value("physicalOrHost"), value("hostSrc"),
                            dialog.FindControl(Text("ASIOchoices"))->IsDisabled(),
                            dialog.FindControl(Text("physicalchoices"))->IsDisabled()});
        };
        release("physicalchoices");
        release("OSchoices");
        release("ASIOchoices");
        release("physicalchoices");
    };
    answers.answers = {0};
    EXPECT_FALSE(section_->NewStrip());
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].physicalOrHost, 0) << "the physical list was enabled";
    EXPECT_EQ(seen[0].asioDisabled, 1);
    EXPECT_EQ(seen[1].physicalOrHost, 1) << "to the Wave pairs";
    EXPECT_EQ(seen[1].hostSrc, 1);
    EXPECT_EQ(seen[1].physicalDisabled, 1);
    EXPECT_EQ(seen[2].physicalOrHost, 1) << "to the ASIO list, still disabled for the Wave pairs";
    EXPECT_EQ(seen[2].hostSrc, 0);
    EXPECT_EQ(seen[2].asioDisabled, 0);
    EXPECT_EQ(seen[3].physicalOrHost, 0) << "back to the physical inputs";
    EXPECT_EQ(seen[3].asioDisabled, 1);
    EXPECT_EQ(seen[3].physicalDisabled, 0);
}

TEST_F(Strips, AStateTheSkinLacksKeepsTheLook)
{
    StripView& view = View(0, 0);
    Panel probe;
    EXPECT_EQ(PanelBuilder(link_.skin).ApplyPanelState(view, "normalWithFocus", 1), 1);
    EXPECT_EQ(PanelBuilder(link_.skin).ApplyPanelState(view, "noSuchState", 1), 0);
    EXPECT_NE(view.GetBackgroundBitmap(), nullptr) << "the look stays";
    EXPECT_EQ(PanelBuilder(link_.skin).ApplyPanelState(probe, "normal", 1), 0) << "a panel without a name";
}
} // namespace
