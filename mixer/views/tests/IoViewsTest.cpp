// The outputs and inputs views of the main section's TV area under Wine, against the simulated
// engine on cards of each test's own and the shipped mixer skin: which rows they make, what a
// row shows, what the toggles ask of the engine and what its events change.
#include <gtest/gtest.h>

#include "framework/controls/Scrollbar.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/Dialog.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/dialogs/SkinStringTable.h"
#include "mixer/views/MSTVInputsView.h"
#include "mixer/views/MSTVOutputsView.h"
#include "mixer/views/ProgramSections.h"
#include "mixer/views/tests/MainSectionTestSupport.h"
#include "mixer/views/tests/RowPixels.h"
#include "tests/support/MessagePump.h"

namespace
{
using namespace mainsection;
using skintest::Narrow;

// Model 2 with F1 and F10 shows physical pairs 0-5 of 8; pair 0 carries the main mix.
const char kCard[] = "model=2\nfeatures=1,10\nphysicaloutputs=8\nauxbuses=2\noutput=0 main\n";

// Ends every dialog with the next answer (the last one repeats) after the step, and records the
// dialogs' source names.
class Answer : public DialogAnswerer
{
public:
    Answer() { Dialog::SetAnswerer(this); }
    ~Answer() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        shown.push_back(Narrow(dialog.GetSourceName()));
        if (step)
            step(dialog);
        dialog.End(result);
    }
    std::vector<std::string> shown;
    std::function<void(Dialog&)> step;
    int result = 1;
};

std::string TextOf(Panel* panel, const char* control)
{
    auto* text = panel ? dynamic_cast<TextControl*>(panel->FindControl(Ascii(control))) : nullptr;
    return text ? Narrow(text->GetText()) : std::string("<none>");
}

void SetText(Panel* panel, const char* control, const char* text)
{
    if (auto* label = dynamic_cast<TextControl*>(panel->FindControl(Ascii(control))))
        label->SetText(Ascii(text), 0);
}

class IoViews : public Fixture
{
protected:
    void SetUp() override
    {
        Fixture::SetUp();
        host_.makeTVView = ProgramSections::MakeTVView;
        link_.settings.DeleteKey(StringRef(ViewSettings::kTvOutputsMode));
        link_.settings.DeleteKey(StringRef(ViewSettings::kTvInputsMode));
        link_.settings.DeleteKey(StringRef(ViewSettings::kShowNoAsioWarning));
    }

    // The section with the TV area in the mode.
    void Show(int mode)
    {
        ASSERT_TRUE(CreateSection(0));
        section_->ShowTVArea(mode);
        ASSERT_EQ(section_->GetTVViewMode(), mode);
        engine_.WaitForEvents();
        queue_.Take();
    }

    MSTVOutputsView* Outputs() { return dynamic_cast<MSTVOutputsView*>(section_->GetTVView()); }
    MSTVInputsView* Inputs() { return dynamic_cast<MSTVInputsView*>(section_->GetTVView()); }
    MSTVOutputsList* OutList() { return Outputs() ? Outputs()->GetOutputsList() : nullptr; }
    MSTVInputsList* InList() { return Inputs() ? Inputs()->GetInputsList() : nullptr; }
    MSTVOutputsViewItem* OutRow(int i) { return OutList() ? OutList()->GetItem(i) : nullptr; }

    StandinHardware& Hardware(int system = 0)
    {
        return *static_cast<StandinHardware*>(engine_.GetMixer()->GetSystem(system));
    }
    StandinOutput* Port(int kind, int index, int system = 0) { return Hardware(system).items.ports[kind][index].get(); }

    // The engine's events so far, to the section as the dispatcher routes them.
    void Deliver()
    {
        engine_.WaitForEvents();
        for (auto& event : queue_.Take())
        {
            if (event.first == EngineEvent::kOutputChanged)
                section_->OnOutputChanged(event.second);
            else if (event.first == EngineEvent::kInputChanged)
                section_->OnInputChanged(event.second);
            else
                section_->OnEngineEvent(event.first, event.second);
        }
    }

    // The user switches a row's toggle: the control writes its item and the row hears it.
    void Toggle(Panel* row, const char* name, int on)
    {
        auto* item = row ? dynamic_cast<FlagItem*>(row->FindDataItem(Ascii(name))) : nullptr;
        ASSERT_NE(item, nullptr) << name;
        item->SetValue(static_cast<float>(on), 1, 1, nullptr);
    }

    int Flag(Panel* row, const char* name)
    {
        auto* item = row ? dynamic_cast<FlagItem*>(row->FindDataItem(Ascii(name))) : nullptr;
        return item ? item->value : -1;
    }

    // The engine calls logged after the first `from` entries.
    std::vector<std::string> CallsSince(size_t from, const std::string& prefix)
    {
        std::vector<std::string> calls;
        const std::vector<std::string> log = engine_.GetCallLog();
        for (size_t i = from; i < log.size(); ++i)
            if (log[i].rfind(prefix, 0) == 0)
                calls.push_back(log[i]);
        return calls;
    }

    std::vector<int> RowStates()
    {
        std::vector<int> states;
        for (int i = 0; OutList() && i < OutList()->GetRowCount(); ++i)
            states.push_back(OutRow(i)->GetState());
        return states;
    }

    void ExpectEmptyViews();

    // A click in the middle of a control of the view.
    void Press(const char* name)
    {
        Control* control = Outputs()->FindControl(Ascii(name));
        ASSERT_NE(control, nullptr) << name;
        const int x = control->X() + control->Width() / 2;
        const int y = control->Y() + control->Height() / 2;
        Outputs()->OnMouseDown(MK_LBUTTON, x, y);
        Outputs()->OnMouseUp(0, x, y);
    }
};

TEST_F(IoViews, OutputsModeReadsPhysicalForAnyTextButHostAndIsKeptOnChange)
{
    struct Row
    {
        const char* stored;
        int mode;
    };
    const Row rows[] = {{nullptr, 0}, {"HOST", 0}, {"Physical", 0}, {"banana", 0}, {"host", 1}};
    ASSERT_NO_FATAL_FAILURE(StartEngine(std::string(kCard) + "record=1 strip 1\n"));
    ASSERT_TRUE(CreateSection(0));
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.stored ? row.stored : "(missing)");
        if (row.stored)
        {
            const String text = Ascii(row.stored);
            link_.settings.WriteString(StringRef(ViewSettings::kTvOutputsMode), &text);
        }
        else
            link_.settings.DeleteKey(StringRef(ViewSettings::kTvOutputsMode));
        section_->ShowTVArea(2);
        ASSERT_NE(OutList(), nullptr);
        EXPECT_EQ(OutList()->GetMode(), row.mode);
        if (row.mode == 0)
        {
            // Pairs 0-5 of the eight, each a row of its own.
            ASSERT_EQ(OutList()->GetRowCount(), 6);
            for (int i = 0; i < 6; ++i)
                EXPECT_EQ(OutRow(i)->GetOutput(), Port(OutputKind::kPhysical, i));
            EXPECT_EQ(OutRow(0)->GetState(), kMixPanel);
            EXPECT_EQ(Flag(OutRow(0), "mixon"), 1);
            EXPECT_EQ(Flag(OutRow(0), "monon"), 0);
            EXPECT_EQ(OutRow(1)->GetState(), kUnassigned);
        }
        else
        {
            // Host mode: only the ASIO pairs a strip records (taken by its send), no toggles.
            ASSERT_GT(OutList()->GetRowCount(), 0);
            for (int i = 0; i < OutList()->GetRowCount(); ++i)
            {
                EXPECT_EQ(OutRow(i)->GetOutput()->GetKind(), OutputKind::kAsio);
                EXPECT_EQ(OutRow(i)->FindDataItem(Ascii("mixon")), nullptr);
                EXPECT_NE(TextOf(OutRow(i), "insertsrc"), "");
            }
        }
    }
    // A missing value was written with its default.
    link_.settings.DeleteKey(StringRef(ViewSettings::kTvOutputsMode));
    section_->ShowTVArea(2);
    String stored;
    ASSERT_TRUE(link_.settings.ReadString(StringRef(ViewSettings::kTvOutputsMode), stored, nullptr));
    EXPECT_EQ(Narrow(stored), "physical");
    // The user's choice is stored at once and the list follows.
    auto* type = dynamic_cast<IntItem*>(Outputs()->FindDataItem(Ascii("outType")));
    ASSERT_NE(type, nullptr);
    type->SetValue(1, 1, 1, nullptr);
    EXPECT_EQ(OutList()->GetMode(), 1);
    ASSERT_TRUE(link_.settings.ReadString(StringRef(ViewSettings::kTvOutputsMode), stored, nullptr));
    EXPECT_EQ(Narrow(stored), "host");
}

TEST_F(IoViews, ToggleAnswersRetryReportAndResetAsTheEngineSays)
{
    struct Row
    {
        const char* label;
        std::deque<int> answers;
        std::vector<std::string> calls; // Assign and PrepareDsp, in order
        std::vector<std::string> boxes;
        int toggle; // mixon afterwards
    };
    const Row rows[] = {
        {"1: done", {1}, {"Assign 2 1 0 1"}, {}, 1},
        {"4 retries once after preparing the DSP", {4, 1}, {"Assign 2 1 0 1", "PrepareDsp", "Assign 2 1 0 1"}, {}, 1},
        {"4 twice: no DSP",
         {4, 4},
         {"Assign 2 1 0 1", "PrepareDsp", "Assign 2 1 0 1", "Assign 2 1 2 1"},
         {"IDM_INSUFFICIENT_DSP"},
         0},
        {"6: outputs maxed out", {6}, {"Assign 2 1 0 1", "Assign 2 1 2 1"}, {"IDM_OUTPUTS_MAXED_OUT"}, 0},
        {"any other answer: no DSP", {0}, {"Assign 2 1 0 1", "Assign 2 1 2 1"}, {"IDM_INSUFFICIENT_DSP"}, 0},
    };
    ASSERT_NO_FATAL_FAILURE(StartEngine(kCard));
    ASSERT_NO_FATAL_FAILURE(Show(2));
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        // Pair 1 carries nothing before each try.
        Port(OutputKind::kPhysical, 1)->type = 2;
        Port(OutputKind::kPhysical, 1)->source = nullptr;
        section_->OnOutputChanged(0);
        ASSERT_EQ(OutRow(1)->GetState(), kUnassigned);
        Hardware().assignAnswers = row.answers;
        Hardware().assignAnswers.push_back(1); // the take-back succeeds
        Answer answer;
        const size_t before = engine_.GetCallLog().size();
        ASSERT_NO_FATAL_FAILURE(Toggle(OutRow(1), "mixon", 1));
        std::vector<std::string> calls;
        for (const std::string& call : CallsSince(before, ""))
            if (call.rfind("Assign", 0) == 0 || call.rfind("PrepareDsp", 0) == 0)
                calls.push_back(call);
        EXPECT_EQ(calls, row.calls);
        EXPECT_EQ(answer.shown, row.boxes);
        EXPECT_EQ(Flag(OutRow(1), "mixon"), row.toggle);
        Deliver();
    }
}

// A refused assignment over an output that had a role leaves the role: nothing takes it away.
TEST_F(IoViews, ARefusedAssignmentKeepsTheRoleTheOutputHad)
{
    ASSERT_NO_FATAL_FAILURE(StartEngine(kCard));
    ASSERT_NO_FATAL_FAILURE(Show(2));
    ASSERT_EQ(Port(OutputKind::kPhysical, 2)->Assign(1, 1), 1);
    Deliver();
    ASSERT_EQ(OutRow(2)->GetState(), kMonPanel);
    Hardware().assignAnswers = {6, 1};
    Answer answer;
    const size_t before = engine_.GetCallLog().size();
    ASSERT_NO_FATAL_FAILURE(Toggle(OutRow(2), "mixon", 1));
    EXPECT_EQ(answer.shown, std::vector<std::string>{"IDM_OUTPUTS_MAXED_OUT"});
    EXPECT_EQ(CallsSince(before, "Assign"), std::vector<std::string>{"Assign 2 2 0 1"});
    EXPECT_EQ(Port(OutputKind::kPhysical, 2)->GetType(), 1);
    EXPECT_EQ(Flag(OutRow(2), "mixon"), 0);
    EXPECT_EQ(Flag(OutRow(2), "monon"), 1);
}

TEST_F(IoViews, MonitorOnKicksTheMonitorLevelOnlyAtZero)
{
    ASSERT_NO_FATAL_FAILURE(StartEngine(kCard));
    ASSERT_NO_FATAL_FAILURE(Show(2));
    struct Row
    {
        float level;
        std::vector<std::string> writes;
    };
    const Row rows[] = {{0.0f, {"SetMonitorLevel -10 0", "SetMonitorLevel 0 0"}}, {-3.0f, {}}};
    int pair = 1;
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.level);
        ASSERT_TRUE(Mix()->SetMonitorLevel(row.level, 0));
        const size_t before = engine_.GetCallLog().size();
        ASSERT_NO_FATAL_FAILURE(Toggle(OutRow(pair++), "monon", 1));
        EXPECT_EQ(CallsSince(before, "SetMonitorLevel"), row.writes);
        Deliver();
    }
    // Also when the engine refuses the monitor.
    ASSERT_TRUE(Mix()->SetMonitorLevel(0.0f, 0));
    Hardware().assignAnswers = {6, 1};
    Answer answer;
    const size_t before = engine_.GetCallLog().size();
    ASSERT_NO_FATAL_FAILURE(Toggle(OutRow(pair), "monon", 1));
    EXPECT_EQ(CallsSince(before, "SetMonitorLevel").size(), 2u);
}

TEST_F(IoViews, Event400RefreshesTheRowOfItsPortOrEveryRowWithoutOne)
{
    ASSERT_NO_FATAL_FAILURE(StartEngine(kCard));
    ASSERT_NO_FATAL_FAILURE(Show(2));
    auto mark = [this] {
        for (int i = 0; i < OutList()->GetRowCount(); ++i)
            SetText(OutRow(i), "output", "marked");
    };
    auto marked = [this] {
        std::vector<int> rows;
        for (int i = 0; i < OutList()->GetRowCount(); ++i)
            if (TextOf(OutRow(i), "output") == "marked")
                rows.push_back(i);
        return rows;
    };
    // The user's assignment comes back as 400 with the port: only its row follows.
    mark();
    MSTVOutputsViewItem* third = OutRow(3);
    ASSERT_NO_FATAL_FAILURE(Toggle(third, "mixon", 1));
    Deliver();
    EXPECT_EQ(OutRow(3), third);
    EXPECT_EQ(OutRow(3)->GetState(), kMixPanel);
    EXPECT_EQ(marked(), (std::vector<int>{0, 1, 2, 4, 5}));
    // A single channel of the routing table stands for its pair (channel 9: pair 4).
    mark();
    StandinOutput* channel = Hardware().routing.entries[9].get();
    ASSERT_EQ(channel->IsSingleChannel(), 1);
    section_->OnOutputChanged(reinterpret_cast<VarnEventArg>(channel));
    EXPECT_EQ(marked(), (std::vector<int>{0, 1, 2, 3, 5}));
    // A port no row shows (pair 7) changes nothing; none rebuilds every row.
    mark();
    section_->OnOutputChanged(reinterpret_cast<VarnEventArg>(Port(OutputKind::kPhysical, 7)));
    EXPECT_EQ(marked().size(), 6u);
    section_->OnOutputChanged(0);
    EXPECT_EQ(marked(), std::vector<int>{});
    EXPECT_EQ(OutList()->GetRowCount(), 6);
}

TEST_F(IoViews, SystemButtonsStepThroughTheSystemsAndOthersShowNonMasterRows)
{
    ASSERT_NO_FATAL_FAILURE(StartEngine(std::string(kCard) + "systems=2\n"));
    ASSERT_NO_FATAL_FAILURE(Show(2));
    MSTVOutputsViewItem* first = OutRow(0);
    ASSERT_NO_FATAL_FAILURE(Press("prevsys"));
    EXPECT_EQ(Outputs()->GetSystemIndex(), 0);
    EXPECT_EQ(OutList()->GetSystem(), &Hardware(0));
    EXPECT_EQ(OutRow(0), first) << "nothing was rebuilt";
    ASSERT_NO_FATAL_FAILURE(Press("nextsys"));
    EXPECT_EQ(Outputs()->GetSystemIndex(), 1);
    EXPECT_EQ(OutList()->GetSystem(), &Hardware(1));
    // The second system's pair 0 is in use, the rest not.
    EXPECT_EQ(RowStates(), (std::vector<int>{1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(OutRow(0)->GetName().CompareLiteral("MSTVOutputsViewItem_NonMasterAssigned"), 0);
    EXPECT_EQ(OutRow(1)->GetName().CompareLiteral("MSTVOutputsViewItem_NonMasterUnassigned"), 0);
    ASSERT_NO_FATAL_FAILURE(Press("nextsys"));
    EXPECT_EQ(Outputs()->GetSystemIndex(), 1) << "no third system";
    ASSERT_NO_FATAL_FAILURE(Press("prevsys"));
    EXPECT_EQ(OutList()->GetSystem(), &Hardware(0));
}

// Both views are shown, empty, and take every call.
void IoViews::ExpectEmptyViews()
{
    for (int mode : {1, 2})
    {
        SCOPED_TRACE(mode);
        ASSERT_NO_FATAL_FAILURE(Show(mode));
        auto* view = dynamic_cast<MSTVIoView*>(section_->GetTVView());
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->GetList(), nullptr);
        view->SelectSystem(1);
        view->OnStripChanged(nullptr);
        view->OnOutputChanged(0);
        view->OnInputChanged(0);
        section_.reset();
    }
}

TEST_F(IoViews, WithoutAnEngineTheViewsAreEmpty)
{
    link_.services = nullptr;
    ExpectEmptyViews();
}

TEST_F(IoViews, WithoutACardTheViewsAreEmpty)
{
    ASSERT_NO_FATAL_FAILURE(StartEngine("present=0\n", VarnInitNoHardware));
    ExpectEmptyViews();
}

TEST_F(IoViews, WithoutASystemTheViewsAreEmpty)
{
    ASSERT_NO_FATAL_FAILURE(StartEngine("systems=0\n"));
    ExpectEmptyViews();
}

TEST_F(IoViews, OverriddenOutputsShowTheInsertAndFollowWhenItIsGone)
{
    ASSERT_NO_FATAL_FAILURE(
        StartEngine(std::string(kCard) + "strip=0 Vocals\noverride=1 strip 0\noutput=2 main\noverride=2 aux 0\n"));
    ASSERT_NO_FATAL_FAILURE(Show(2));
    EXPECT_EQ(OutRow(1)->GetState(), kUnassignedOverride);
    EXPECT_EQ(OutRow(2)->GetState(), kMixOverride);
    EXPECT_EQ(Flag(OutRow(2), "mixon"), 1);
    String expected;
    SkinStringTable strings(skin_);
    PortNames(engine_.GetMixer(), strings).GetInsertName(Port(OutputKind::kPhysical, 1), &expected, 1);
    ASSERT_GT(expected.Length(), 0);
    EXPECT_EQ(TextOf(OutRow(1), "insertsrc"), Narrow(expected));
    // The send went away; the engine then says nothing of the port.
    StandinOutput* port = Port(OutputKind::kPhysical, 1);
    port->overrideBy = nullptr;
    port->source = nullptr;
    port->insert = nullptr;
    section_->OnStripChanged(nullptr);
    EXPECT_EQ(OutRow(1)->GetState(), kUnassigned);
    EXPECT_EQ(OutRow(2)->GetState(), kMixOverride) << "its send is still there";
}

TEST_F(IoViews, PairChannelsPastTheRoutingTableCountAsFree)
{
    // Channel 2 (pair 1's left) is fed through the routing table.
    ASSERT_NO_FATAL_FAILURE(StartEngine(std::string(kCard) + "route=2 strip 0\n"));
    ASSERT_NO_FATAL_FAILURE(Show(2));
    EXPECT_EQ(OutRow(1)->GetState(), kUnassignedOverride);
    EXPECT_EQ(OutRow(3)->GetState(), kUnassigned);
    // The table's entries of the pairs lie past its end.
    Hardware().routing.base = 1000;
    section_->OnOutputChanged(0);
    EXPECT_EQ(RowStates(),
              (std::vector<int>{kMixPanel, kUnassigned, kUnassigned, kUnassigned, kUnassigned, kUnassigned}));
}

// The boxes of a row's handler run message loops in which the engine's events arrive: the
// row, its list and the view stay until the handler has returned, and then follow.
TEST_F(IoViews, EventsDuringARowsMessageBoxWaitUntilItsHandlerReturned)
{
    struct Row
    {
        const char* label;
        bool rebuild; // 400 without a port
        bool replace; // 55
    };
    const Row rows[] = {{"400", true, false}, {"55", false, true}, {"both", true, true}};
    ASSERT_NO_FATAL_FAILURE(StartEngine(kCard));
    ASSERT_NO_FATAL_FAILURE(Show(2));
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.label);
        MSTVOutputsViewItem* target = OutRow(1);
        SetText(OutRow(0), "output", "marked");
        // A new view may take the old one's place in memory: its title tells them apart.
        SetText(Outputs(), "title", "old view");
        auto replaced = [this] { return TextOf(Outputs(), "title") != "old view"; };
        Hardware().assignAnswers = {6, 1};
        Answer answer;
        bool stayed = false;
        answer.step = [&](Dialog&) {
            if (row.rebuild)
                section_->OnOutputChanged(0);
            if (row.replace)
                section_->OnEngineEvent(EngineEvent::kHardwareChange, 0);
            section_->OnStripChanged(nullptr);
            stayed = !replaced() && OutRow(1) == target && TextOf(OutRow(0), "output") == "marked";
        };
        ASSERT_NO_FATAL_FAILURE(Toggle(target, "mixon", 1));
        EXPECT_EQ(answer.shown, std::vector<std::string>{"IDM_OUTPUTS_MAXED_OUT"});
        EXPECT_TRUE(stayed);
        // The row finished its handler on itself: its toggle is off again.
        EXPECT_FALSE(replaced());
        EXPECT_EQ(Flag(target, "mixon"), 0);
        // Then what waited runs from the message loop.
        EXPECT_TRUE(PumpUntil(
            [&] { return row.replace ? replaced() : OutList() && TextOf(OutRow(0), "output") != "marked"; }, 10000));
        if (row.replace)
            EXPECT_EQ(section_->GetTVViewMode(), 2);
        else
            EXPECT_FALSE(replaced());
        ASSERT_NE(OutList(), nullptr);
        EXPECT_EQ(OutList()->GetRowCount(), 6);
        EXPECT_FALSE(OutList()->IsBusy());
        Deliver();
    }
}

TEST_F(IoViews, TheHostRoutingCheckAsksOnlyForTheLastRecordingAsioOutput)
{
    // One ASIO pair and its two channels; nothing records.
    ASSERT_NO_FATAL_FAILURE(StartEngine(std::string(kCard) + "inputs=2\nrecord=0 free\n"));
    ASSERT_NO_FATAL_FAILURE(Show(2));
    StandinOutput* pair = Port(OutputKind::kAsio, 0);
    struct Row
    {
        const char* label;
        int assignment;    // of the pair, which nothing feeds
        bool otherRecords; // the first channel records too
        const char* warn;  // "show no asio warning"
        int dialogAnswer;
        int result;
        std::vector<std::string> shown;
    };
    const Row rows[] = {
        {"the last one, warning on, cancelled", 0, false, "yes", 0, 0, {"reczero"}},
        {"the last one, warning on, go on", 1, false, "yes", 1, 1, {"reczero"}},
        {"the last one, warning off", 0, false, "no", 0, 1, {}},
        {"another records", 0, true, "yes", 0, 1, {}},
        {"not assigned", 2, false, "yes", 0, 1, {}},
    };
    MSTVOutputsViewItem row(*OutList(), 0, pair);
    ASSERT_TRUE(row.Create());
    for (const Row& r : rows)
    {
        SCOPED_TRACE(r.label);
        pair->type = r.assignment;
        Port(OutputKind::kAsio, 1)->type = r.otherRecords ? 0 : 2;
        const String warn = Ascii(r.warn);
        link_.settings.WriteString(StringRef(ViewSettings::kShowNoAsioWarning), &warn);
        Answer answer;
        answer.result = r.dialogAnswer;
        EXPECT_EQ(row.CheckHostRouting(), r.result);
        EXPECT_EQ(answer.shown, r.shown);
    }
    // A physical output is never asked about.
    MSTVOutputsViewItem physical(*OutList(), 0, Port(OutputKind::kPhysical, 1));
    Answer answer;
    EXPECT_EQ(physical.CheckHostRouting(), 1);
    EXPECT_TRUE(answer.shown.empty());
}

TEST_F(IoViews, InputRowsShowTheirNamesAndWhatTheyFeed)
{
    ASSERT_NO_FATAL_FAILURE(StartEngine("outputs=8\nstrip=1 Keys\ninput=0 0 strip 0\ninput=0 1 strip 1\n"
                                        "input=0 2 main\ninput=1 0 strip 3\ninput=1 1 aux 0\ninput=2 1 strip 2\n"
                                        "input=2 2 plugin\n"));
    ASSERT_NO_FATAL_FAILURE(Show(1));
    ASSERT_NE(InList(), nullptr);
    SkinStringTable strings(skin_);
    PortNames names(engine_.GetMixer(), strings);
    auto expectedName = [&](IVarnInput* input) {
        String name, prefix;
        names.GetInputName(input, &name, &prefix, 1, 0, 0);
        return Narrow(prefix) + " " + Narrow(name);
    };
    auto stripName = [&](IVarnInput* input) {
        String name;
        names.GetStripName(input, &name, 0);
        return Narrow(name);
    };
    // Physical: the mono inputs 0 and 1, then the stereo inputs 1 and 2 (positions past the
    // groups' ends have no input and no row).
    ASSERT_EQ(InList()->GetRowCount(), 4);
    IVarnInput* mono = InList()->GetItem(0)->GetInput();
    EXPECT_EQ(mono->GetKind(), InputKind::kMonoPhysical);
    EXPECT_EQ(TextOf(InList()->GetItem(0), "input"), expectedName(mono) + " (Mono)");
    EXPECT_EQ(TextOf(InList()->GetItem(0), "dest"), stripName(mono));
    EXPECT_EQ(InList()->GetItem(0)->GetName().CompareLiteral("MSTVInputsViewItem_Assigned"), 0);
    IVarnInput* stereo = InList()->GetItem(2)->GetInput();
    EXPECT_EQ(stereo->GetKind(), InputKind::kStereoPhysical);
    EXPECT_EQ(TextOf(InList()->GetItem(2), "input"), expectedName(stereo));
    // The strip the press finds: its own, or the one whose chain holds the insert it feeds.
    EXPECT_EQ(InList()->GetItem(0)->FindStrip(), Hardware().strips[3].get());
    EXPECT_EQ(InList()->GetItem(1)->FindStrip(), nullptr) << "an aux has no strip";
    EXPECT_EQ(InList()->GetItem(2)->FindStrip(), Hardware().strips[2].get());
    EXPECT_EQ(InList()->GetItem(3)->FindStrip(), nullptr) << "the plug-in's input feeds no insert";
    // A press asks the frame to focus and show the strip; a row that feeds none asks nothing.
    host_.log.clear();
    for (int row : {0, 1, 2})
    {
        InList()->GetItem(row)->OnMouseDown(MK_LBUTTON, 2, 2);
        InList()->GetItem(row)->OnMouseUp(0, 2, 2);
    }
    EXPECT_EQ(host_.log, (std::vector<std::string>{"show strip " + std::to_string(Hardware().strips[3]->GetId()),
                                                   "show strip " + std::to_string(Hardware().strips[2]->GetId())}));

    // Host: the Wave pair, then the ASIO pairs, numbered.
    auto* type = dynamic_cast<IntItem*>(Inputs()->FindDataItem(Ascii("inType")));
    ASSERT_NE(type, nullptr);
    type->SetValue(1, 1, 1, nullptr);
    ASSERT_EQ(InList()->GetRowCount(), 3);
    IVarnInput* wave = InList()->GetItem(0)->GetInput();
    EXPECT_EQ(TextOf(InList()->GetItem(0), "input"), "1 " + expectedName(wave));
    EXPECT_EQ(TextOf(InList()->GetItem(1), "dest"), stripName(InList()->GetItem(1)->GetInput()));
    // An input that is no longer assigned reads its number, four blanks and "-".
    static_cast<StandinInput*>(InList()->GetItem(2)->GetInput())->assigned = false;
    section_->OnStripChanged(nullptr);
    EXPECT_EQ(TextOf(InList()->GetItem(2), "input"), "3    -");
    EXPECT_EQ(TextOf(InList()->GetItem(2), "dest"), "-");
    EXPECT_EQ(InList()->GetItem(2)->GetName().CompareLiteral("MSTVInputsViewItem_Unassigned"), 0);
}

TEST_F(IoViews, TheInputsScrollRangeFollowsEveryRebuild)
{
    std::string card = "outputs=32\n";
    for (int i = 0; i < 16; ++i)
        card += "input=0 " + std::to_string(1 + i) + " strip " + std::to_string(i) + "\n";
    ASSERT_NO_FATAL_FAILURE(StartEngine(card));
    const String host = Ascii("host");
    link_.settings.WriteString(StringRef(ViewSettings::kTvInputsMode), &host);
    ASSERT_NO_FATAL_FAILURE(Show(1));
    auto* bar = dynamic_cast<Scrollbar*>(Inputs()->FindControl(Ascii("vertscrollbar")));
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(InList()->GetRowCount(), 16);
    EXPECT_GT(bar->GetRange(), 0);
    // Wheel: one row a notch, never past the range.
    InList()->OnWheel(-120);
    EXPECT_EQ(InList()->GetScrollPosition(), 1);
    InList()->OnWheel(120);
    InList()->OnWheel(120);
    EXPECT_EQ(InList()->GetScrollPosition(), 0);
    // Every input goes; the change names none.
    for (auto& input : Hardware().inputList.inputs[0])
        input->assigned = false;
    section_->OnInputChanged(0);
    EXPECT_EQ(InList()->GetRowCount(), 0);
    EXPECT_EQ(bar->GetRange(), 0);
    EXPECT_EQ(bar->GetPosition(), 0);
}
// The screen's pixels over the shown list's rows that are not the rows' own pictures.
int UnpaintedRowPixels(MSTVIoList& list)
{
    std::vector<Panel*> rows;
    for (int k = 0; k < list.GetRowCount(); ++k)
        rows.push_back(list.GetRow(k));
    return UnpaintedRowPixels(list.GetHandle(), rows);
}

// The ways the rows come on screen: the view shown, a full redraw of the view (it paints its
// background under the list) and a switch to the other view. Each time every row is painted
// whole over what the view painted.
TEST_F(IoViews, RowsShownOnScreenArePaintedWholeAfterARedrawAndASwitch)
{
    ASSERT_NO_FATAL_FAILURE(
        StartEngine(std::string(kCard) + "input=0 0 strip 0\ninput=0 1 strip 1\ninput=1 0 strip 3\n"));
    frame_.Show(SW_SHOWNOACTIVATE);
    ASSERT_NO_FATAL_FAILURE(Show(2));
    auto list = [this]() -> MSTVIoList* {
        if (Outputs())
            return Outputs()->GetList();
        return Inputs() ? Inputs()->GetList() : nullptr;
    };
    auto expectPainted = [&](const char* trace) {
        SCOPED_TRACE(trace);
        MSTVIoList* shown = list();
        ASSERT_NE(shown, nullptr);
        ASSERT_GT(shown->GetRowCount(), 0);
        EXPECT_TRUE(::IsWindowVisible(shown->GetRow(0)->GetHandle()));
        PumpUntil([shown] { return UnpaintedRowPixels(*shown) == 0; }, 5000);
        EXPECT_EQ(UnpaintedRowPixels(*shown), 0);
    };
    auto redrawView = [this] {
        Window* view = dynamic_cast<Window*>(section_->GetTVView());
        ASSERT_NE(view, nullptr);
        ::InvalidateRect(view->GetHandle(), nullptr, TRUE);
        ::UpdateWindow(view->GetHandle());
    };
    expectPainted("outputs shown");
    redrawView();
    expectPainted("outputs redrawn");
    section_->ShowTVArea(1);
    ASSERT_NE(Inputs(), nullptr);
    expectPainted("switched to the inputs");
    redrawView();
    expectPainted("inputs redrawn");
    section_->ShowTVArea(2);
    ASSERT_NE(Outputs(), nullptr);
    expectPainted("switched back to the outputs");
}
} // namespace
