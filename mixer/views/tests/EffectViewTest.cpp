// The insert-effect view against the simulated engine's inserts, effects and core presets and
// the shipped mixer skin: what it shows, that showing and refreshing send nothing to the
// engine, what a user edit sends, and the events that change it.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/controls/ComboBox.h"
#include "framework/controls/LabelControl.h"
#include "framework/controls/PopupMenu.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/Dialog.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/tests/TestClock.h"
#include "mixer/views/MSTVFXView.h"
#include "mixer/views/MSTVFXViewItem.h"
#include "mixer/views/MSTVFXViewList.h"
#include "mixer/views/PeakValueWatcher.h"
#include "mixer/dialogs/SkinStringTable.h"
#include "mixer/views/tests/DialogAnswers.h"
#include "mixer/views/tests/MainSectionTestSupport.h"
#include "mixer/views/tests/RowPixels.h"
#include "tests/support/MessagePump.h"

namespace
{
using namespace mainsection;

class EffectView : public Fixture
{
protected:
    void SetUp() override
    {
        Fixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartEngine("auxbuses=2\n"));
        ASSERT_TRUE(CreateSection(0));
        auto record = [this](std::string line) { calls.push_back(std::move(line)); };
        auto raised = [this](int id, VarnEventArg argument) { events.emplace_back(id, argument); };
        library = static_cast<StandinFxLibrary*>(engine_.GetFxLibrary());
        library->corePresets.AddPreset(id, 1, u"Init", 1);
        library->corePresets.AddPreset(id, 2, u"Warm", 1);
        library->corePresets.AddPreset(id, 7, u"Mine", 0);
        effect.SetLibrary(&library->corePresets);
        effect.presetName = u"Warm";
        effect.log = insert.log = record;
        effect.raise = insert.raise = raised;
        insert.effect = &effect;
        insert.kind = 0;
        insert.key = 44;
        insert.hasWetDry = true;
        insert.wetDry = 0.75f;
        insert.bypassed = true;
        bus.count = 1;
        bus.inserts = {&insert};
    }

    void TearDown() override
    {
        view.reset();
        Fixture::TearDown();
    }

    int Show(IVarnInsert* shown)
    {
        view = std::make_unique<MSTVFXView>();
        return view->Create(*section_, link_, shown);
    }

    template <typename Item>
    Item* ViewItem(const char* name)
    {
        return dynamic_cast<Item*>(view->FindDataItem(Ascii(name)));
    }

    std::string ViewText(const char* control)
    {
        auto* label = dynamic_cast<LabelControl*>(view->FindControl(Ascii(control)));
        std::string out;
        for (int i = 0; label && i < label->GetText().Length(); ++i)
            out += static_cast<char>(label->GetText().WideCharAt(i));
        return out;
    }

    // In the view's records and the engine's own log (where the library writes).
    int Logged(const std::string& part)
    {
        int count = 0;
        for (const std::string& call : calls)
            count += call.find(part) != std::string::npos;
        for (const std::string& call : engine_.GetCallLog())
            count += call.find(part) != std::string::npos;
        return count;
    }

    std::string ComboText(int index)
    {
        String text;
        dynamic_cast<ComboBox*>(view->FindControl(Ascii("presets")))->GetItemText(index, text);
        return Narrow(text);
    }

    void SelectShown(int index) { ViewItem<IntItem>("curpreset")->value = index; }

    int Setters() const
    {
        int count = 0;
        for (const std::string& call : calls)
            count += call.find(" Set") != std::string::npos || call.find("SelectPreset") != std::string::npos;
        return count;
    }

    VarnEffectId id{{11, 0, 0, 0}};
    StandinFxLibrary* library = nullptr;
    StandinEffect effect{u"Drive", VarnEffectId{{11, 0, 0, 0}}, 90, StandinEffect::CoreParameters()};
    StandinBus bus{2};
    StandinInsert insert{&bus, 0};
    std::vector<std::string> calls;
    std::vector<std::pair<int, VarnEventArg>> events;
    std::unique_ptr<MSTVFXView> view;
};

TEST_F(EffectView, NoInsertShowsNoEffectWithEverythingDisabled)
{
    MSTVFXView::SetCurrentInsert(nullptr);
    ASSERT_TRUE(Show(nullptr));
    EXPECT_EQ(ViewText("effectname"), "No Effect");
    EXPECT_TRUE(view->FindControl(Ascii("effectname"))->IsDisabled());
    for (const char* name : {"wetdrymix", "bypass", "solo"})
    {
        SCOPED_TRACE(name);
        ASSERT_NE(ViewItem<DataItem>(name), nullptr);
        EXPECT_TRUE(ViewItem<DataItem>(name)->IsDisabled());
        // and so are the controls that show it
        for (int k = 0; k < view->ControlCount(); ++k)
        {
            if (view->ControlAtIndex(k)->GetItem() == ViewItem<DataItem>(name))
            {
                EXPECT_TRUE(view->ControlAtIndex(k)->IsDisabled());
            }
        }
    }
    EXPECT_TRUE(view->FindControl(Ascii("editpreset"))->IsDisabled());
    EXPECT_EQ(dynamic_cast<ComboBox*>(view->FindControl(Ascii("presets")))->ItemCount(), 0);
}

TEST_F(EffectView, ShowingAnInsertMirrorsItAndSendsNothing)
{
    ASSERT_TRUE(Show(&insert));
    EXPECT_EQ(MSTVFXView::GetCurrentInsert(), &insert);
    EXPECT_EQ(ViewText("effectname"), "Drive");
    EXPECT_FLOAT_EQ(ViewItem<RealItem>("wetdrymix")->value, 0.75f);
    EXPECT_EQ(ViewItem<FlagItem>("bypass")->value, 1);
    EXPECT_FALSE(ViewItem<DataItem>("solo")->IsDisabled());
    auto* combo = dynamic_cast<ComboBox*>(view->FindControl(Ascii("presets")));
    ASSERT_EQ(combo->ItemCount(), 3);
    String text;
    combo->GetItemText(2, text);
    EXPECT_EQ(text.Compare(u"007 - Mine [user]"), 0);
    EXPECT_EQ(ViewItem<IntItem>("curpreset")->value, 1);
    // Neither the preset selection nor the wet/dry value went back to the engine.
    EXPECT_EQ(Setters(), 0);
    // A refresh of the list (another instance stored a preset) selects nothing either.
    view->OnPresetListEvent(802, 0);
    view->OnEffectEvent(602, 90);
    EXPECT_EQ(Setters(), 0);
    EXPECT_TRUE(events.empty());
}

TEST_F(EffectView, UserEditsGoToTheEngineWithTheChangeNotification)
{
    ASSERT_TRUE(Show(&insert));
    struct Case
    {
        const char* item;
        float value;
        const char* call;
    } cases[] = {
        {"wetdrymix", 0.5f, "insert 44 SetWetDry 0.500000 0"},
        {"bypass", 0.0f, "insert 44 SetBypass 0 1"},
        {"solo", 1.0f, "insert 44 SetSolo 1 1"},
        {"curpreset", 2.0f, "effect SelectPreset 2 1"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.item);
        calls.clear();
        ViewItem<NumericItem>(c.item)->SetValue(c.value, 1, 1, nullptr);
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.front(), c.call);
    }
    char16_t name[32];
    effect.GetPresetName(name, 32);
    EXPECT_EQ(std::u16string(name), u"Mine");
}

TEST_F(EffectView, InsertEventsOfItsKeyUpdateTheItemsWithoutSetCalls)
{
    ASSERT_TRUE(Show(&insert));
    insert.bypassed = false;
    insert.soloed = true;
    insert.wetDry = 0.25f;
    view->OnInsertEvent(750, 45); // another insert's key
    EXPECT_EQ(ViewItem<FlagItem>("bypass")->value, 1);
    view->OnInsertEvent(750, 44);
    view->OnInsertEvent(751, 44);
    view->OnInsertEvent(752, 44);
    EXPECT_EQ(ViewItem<FlagItem>("bypass")->value, 0);
    EXPECT_EQ(ViewItem<FlagItem>("solo")->value, 1);
    EXPECT_FLOAT_EQ(ViewItem<RealItem>("wetdrymix")->value, 0.25f);
    EXPECT_EQ(Setters(), 0);
}

TEST_F(EffectView, ASendShowsItsKindAndNoPresets)
{
    insert.effect = nullptr;
    insert.kind = 1;
    insert.hasWetDry = false;
    ASSERT_TRUE(Show(&insert));
    EXPECT_EQ(ViewText("effectname"), "Send");
    EXPECT_TRUE(ViewItem<DataItem>("bypass")->IsDisabled());
    EXPECT_TRUE(ViewItem<DataItem>("wetdrymix")->IsDisabled());
    EXPECT_FLOAT_EQ(ViewItem<RealItem>("wetdrymix")->value, 0.0f);
    EXPECT_EQ(dynamic_cast<ComboBox*>(view->FindControl(Ascii("presets")))->ItemCount(), 0);
}
TEST_F(EffectView, FactoryPresetsDisableTheirEditsAndGetTheirAlerts)
{
    ASSERT_TRUE(Show(&insert));
    SelectShown(1);
    view->ShowPresetEditMenu();
    PopupMenu* menu = PopupMenu::Current();
    ASSERT_NE(menu, nullptr);
    for (int command = 1; command <= 4; ++command)
    {
        SCOPED_TRACE(command);
        const PopupMenuItem* item = menu->ItemAt(menu->FindItem(command));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->disabled, command != 1);
    }
    PopupMenu::CloseAll();
    Answers answers;
    answers.answer = 3;
    view->OnMenuCommand(MSTVFXView::kDeletePreset);
    view->OnMenuCommand(MSTVFXView::kRenamePreset);
    view->OnMenuCommand(MSTVFXView::kStorePreset);
    EXPECT_EQ(answers.shown, (std::vector<std::string>{"IDM_DELETE_FACTORY_CORE_PRESET_ALERT",
                                                       "IDM_RENAME_FACTORY_CORE_PRESET_ALERT"}));
    EXPECT_EQ(Logged("library"), 0);
    // A user preset has them all.
    SelectShown(2);
    view->ShowPresetEditMenu();
    menu = PopupMenu::Current();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->ItemAt(menu->FindItem(MSTVFXView::kDeletePreset))->disabled, 0);
    PopupMenu::CloseAll();
}

TEST_F(EffectView, RefusedNamesReachNoEngineCall)
{
    ASSERT_TRUE(Show(&insert));
    SelectShown(2);
    Answers answers;
    struct Case
    {
        const char* trace;
        int command;
        std::string typed;
        const char* box;
    } cases[] = {
        {"new, not a file name", MSTVFXView::kNewPreset, "a/b", "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"},
        {"new, 128 characters", MSTVFXView::kNewPreset, std::string(128, 'n'), "IDM_MAX_CHAR_EXCEEDED"},
        {"rename, 50 characters", MSTVFXView::kRenamePreset, std::string(50, 'r'), "IDM_MAX_CHAR_EXCEEDED"},
        {"rename, a trailing dot", MSTVFXView::kRenamePreset, "Mine.", "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        answers.shown.clear();
        answers.typed = c.typed;
        view->OnMenuCommand(c.command);
        EXPECT_EQ(answers.shown, (std::vector<std::string>{"newname", c.box}));
    }
    EXPECT_EQ(Logged("library"), 0);
    // The longest names the library keeps go through.
    answers.typed = std::string(127, 'n');
    view->OnMenuCommand(MSTVFXView::kNewPreset);
    answers.typed = std::string(49, 'r');
    view->OnMenuCommand(MSTVFXView::kRenamePreset);
    EXPECT_EQ(Logged("library NewCorePreset 1"), 1);
    EXPECT_EQ(Logged("library RenameCorePreset 2 1"), 1);
}

TEST_F(EffectView, DeleteAndRenameStopWhenTheListChangedUnderTheirDialog)
{
    ASSERT_TRUE(Show(&insert));
    SelectShown(2);
    Answers answers;
    answers.answer = 3;
    // Another instance of the effect renames the preset while the box asks.
    answers.meanwhile = [this] { library->corePresets.PresetsOf(id)[2].name[0] = u'X'; };
    view->OnMenuCommand(MSTVFXView::kDeletePreset);
    answers.typed = "Other";
    view->OnMenuCommand(MSTVFXView::kRenamePreset);
    EXPECT_EQ(Logged("library"), 0);
    EXPECT_EQ(library->GetCorePresetCount(&id), 3);
    answers.meanwhile = nullptr;
    view->OnMenuCommand(MSTVFXView::kDeletePreset);
    EXPECT_EQ(Logged("library DeleteCorePreset 2 1"), 1);
    EXPECT_EQ(library->GetCorePresetCount(&id), 2);
}

TEST_F(EffectView, PresetListEventsShowTheListAndSelectNothingInTheEngine)
{
    ASSERT_TRUE(Show(&insert));
    // 802: a renamed preset keeps the count and still shows its new name.
    std::u16string renamed = u"Bright";
    std::copy(renamed.begin(), renamed.end() + 1, library->corePresets.PresetsOf(id)[1].name);
    view->OnPresetListEvent(802, 0);
    EXPECT_EQ(ComboText(1), "002 - Bright");
    // 800: a new preset is shown selected, and the engine's current preset stays.
    library->corePresets.AddPreset(id, 8, u"Fresh", 0);
    view->OnPresetListEvent(800, 0);
    EXPECT_EQ(ComboText(3), "008 - Fresh [user]");
    EXPECT_EQ(ViewItem<IntItem>("curpreset")->value, 3);
    // 801: the list shrank below the shown entry.
    library->corePresets.PresetsOf(id).resize(2);
    view->OnPresetListEvent(801, 0);
    EXPECT_EQ(ViewItem<IntItem>("curpreset")->value, 1);
    EXPECT_EQ(ViewItem<IntItem>("curpreset")->maximum, 1);
    EXPECT_EQ(Logged("SelectPreset"), 0);
}
std::string RowText(MSTVFXViewItem* row, const char* control)
{
    auto* label = row ? dynamic_cast<LabelControl*>(row->FindControl(Ascii(control))) : nullptr;
    return label ? Narrow(label->GetText()) : "<none>";
}

TEST_F(EffectView, EachShownParameterGetsTheTemplateOfItsKind)
{
    ASSERT_TRUE(Show(&insert));
    MSTVFXViewList* list = view->GetList();
    ASSERT_NE(list, nullptr);
    const struct
    {
        int parameter;
        const char* templateName;
        const char* name;
    } rows[] = {
        {0, "MSTVFXViewItem_ToggleParam", "Power"},
        {1, "MSTVFXViewItem_TriggerParam", "Clear"},
        {2, "MSTVFXViewItem_SelectorParam", "Shape"},
        {3, "MSTVFXViewItem_DiscreteParam", "Delay"},
        {4, "MSTVFXViewItem_ContinuousParam", "Drive"},
        {5, "MSTVFXViewItem_PeakMeterParam", "Level"},
        {6, "MSTVFXViewItem_PeakMeterInvertedParam", "Reduction"},
    };
    // The engine's own parameter 7 gets no row.
    ASSERT_EQ(list->RowCount(), 7);
    for (int k = 0; k < 7; ++k)
    {
        SCOPED_TRACE(rows[k].templateName);
        MSTVFXViewItem* row = list->RowAt(k);
        EXPECT_EQ(row->GetParameterIndex(), rows[k].parameter);
        EXPECT_STREQ(row->GetTemplate(), rows[k].templateName);
        EXPECT_EQ(RowText(row, "paramname"), rows[k].name);
        EXPECT_NE(row->GetHandle(), nullptr);
    }
    // The rows stack by row number, the background's height apart.
    RECT first = {}, second = {};
    ::GetWindowRect(list->RowAt(0)->GetHandle(), &first);
    ::GetWindowRect(list->RowAt(1)->GetHandle(), &second);
    EXPECT_EQ(second.top - first.top, list->RowAt(0)->BackgroundHeight());
    // The wheel scrolls by whole rows, not above the first.
    auto rowTop = [list](int k) {
        RECT row = {}, area = {};
        ::GetWindowRect(list->RowAt(k)->GetHandle(), &row);
        ::GetWindowRect(list->GetHandle(), &area);
        return row.top - area.top;
    };
    list->OnMouseWheel(MAKEWPARAM(0, static_cast<WORD>(-120)), 0, 0);
    EXPECT_EQ(list->GetScrollPosition(), 1);
    EXPECT_EQ(rowTop(1), 0);
    list->OnMouseWheel(MAKEWPARAM(0, 120), 0, 0);
    list->OnMouseWheel(MAKEWPARAM(0, 120), 0, 0);
    EXPECT_EQ(list->GetScrollPosition(), 0);
    EXPECT_EQ(rowTop(0), 0);
    EXPECT_EQ(RowText(list->RowAt(4), "unit"), "dB");
    auto* delay = dynamic_cast<IntItem*>(list->RowAt(3)->FindDataItem(Ascii("param")));
    ASSERT_NE(delay, nullptr);
    EXPECT_EQ(Narrow(delay->valueText), "120 ms");
    EXPECT_EQ(Setters(), 0);
}

TEST_F(EffectView, StateTwoDisablesTheNameAndTheTrigger)
{
    effect.parameters[1].state = 2;
    ASSERT_TRUE(Show(&insert));
    MSTVFXViewItem* trigger = view->GetList()->RowOf(1);
    ASSERT_NE(trigger, nullptr);
    EXPECT_TRUE(trigger->FindControl(Ascii("paramname"))->IsDisabled());
    EXPECT_TRUE(trigger->FindControl(Ascii("triggerbut"))->IsDisabled());
    EXPECT_FALSE(view->GetList()->RowOf(0)->FindControl(Ascii("paramname"))->IsDisabled());
    // The inverted meter of state 2 shows a disabled value.
    EXPECT_TRUE(view->GetList()->RowOf(6)->FindDataItem(Ascii("param"))->IsDisabled());
}

TEST_F(EffectView, EngineEventsUpdateTheirRowAndSendNothingBack)
{
    ASSERT_TRUE(Show(&insert));
    MSTVFXViewList* list = view->GetList();
    effect.parameters[4].value = 12.0f;
    effect.parameters[0].value = 0.0f;
    view->OnEffectEvent(614, 91); // another effect's key
    EXPECT_FLOAT_EQ(static_cast<RealItem*>(list->RowOf(4)->FindDataItem(Ascii("param")))->value, 0.0f);
    view->OnEffectEvent(614, 90);
    EXPECT_FLOAT_EQ(static_cast<RealItem*>(list->RowOf(4)->FindDataItem(Ascii("param")))->value, 12.0f);
    EXPECT_EQ(static_cast<FlagItem*>(list->RowOf(0)->FindDataItem(Ascii("param")))->value, 1);
    // 602 refreshes every row.
    view->OnEffectEvent(602, 90);
    EXPECT_EQ(static_cast<FlagItem*>(list->RowOf(0)->FindDataItem(Ascii("param")))->value, 0);
    // 1200 + i reads the name again.
    effect.parameters[2].name = u"Curve";
    view->OnEffectEvent(1202, 90);
    EXPECT_EQ(RowText(list->RowOf(2), "paramname"), "Curve");
    // 1100 + i: a parameter now hidden rebuilds the rows without it; 1000 + i brings it back.
    effect.parameters[2].state = 3;
    view->OnEffectEvent(1102, 90);
    EXPECT_EQ(list->RowOf(2), nullptr);
    EXPECT_EQ(list->RowCount(), 6);
    effect.parameters[2].state = 0;
    view->OnEffectEvent(1002, 90);
    ASSERT_NE(list->RowOf(2), nullptr);
    EXPECT_EQ(list->RowCount(), 7);
    EXPECT_EQ(Setters(), 0);
    // A user's change goes to the engine by the value type.
    calls.clear();
    static_cast<IntItem*>(list->RowOf(2)->FindDataItem(Ascii("param")))->SetValue(2, 1, 1, nullptr);
    static_cast<RealItem*>(list->RowOf(4)->FindDataItem(Ascii("param")))->SetValue(-3.0f, 1, 1, nullptr);
    EXPECT_EQ(Logged("effect SetSelectorValue 2 2.000000"), 1);
    EXPECT_EQ(Logged("effect SetRealValue 4 -3.000000"), 1);
}

TEST_F(EffectView, ASelectorBeyondItsRangeIsWrittenBackOnce)
{
    effect.parameters[2].value = 5; // the engine holds more than the three entries
    ASSERT_TRUE(Show(&insert));
    MSTVFXViewItem* selector = view->GetList()->RowOf(2);
    ASSERT_NE(selector, nullptr);
    EXPECT_EQ(static_cast<IntItem*>(selector->FindDataItem(Ascii("param")))->value, 0);
    for (int k = 0; k < 3; ++k)
    {
        view->OnEffectEvent(612, 90);
        view->OnEffectEvent(602, 90);
    }
    EXPECT_EQ(Logged("effect SetSelectorValue 2 5.000000"), 1);
    auto* combo = dynamic_cast<ComboBox*>(selector->FindControl(Ascii("combo")));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->ItemCount(), 3);
}

TEST_F(EffectView, SendRowsNameTheirPorts)
{
    auto* hardware = engine_.GetMixer()->GetHardware();
    IVarnOutput* output = hardware->GetItemList()->GetPort(2, 0);
    IVarnInput* input = hardware->GetInputList()->GetInput(2, 0);
    ASSERT_NE(output, nullptr);
    ASSERT_NE(input, nullptr);
    insert.effect = nullptr;
    insert.outputPort = output;
    insert.inputPort = input;
    SkinStringTable strings(skin_);
    PortNames names(engine_.GetMixer(), strings);
    String name, category, inName, inCategory, shortOut, shortIn, shortInCategory;
    names.GetOutputName(output, &name, &category, 0, 0, 0);
    names.GetInputName(input, &inName, &inCategory, 0, 0, 0);
    names.GetOutputName(output, &shortOut, nullptr, 1, 0, 0);
    names.GetInputName(input, &shortIn, &shortInCategory, 1, 0, 0);
    const struct
    {
        int kind;
        const char* templateName;
        std::string destination, source;
    } cases[] = {
        {1, "MSTVFXViewItem_Send", Narrow(name) + " - " + Narrow(category), "<none>"},
        {2, "MSTVFXViewItem_SendReturn", Narrow(name) + " - " + Narrow(category),
         Narrow(inName) + " - " + Narrow(inCategory)},
        {6, "MSTVFXViewItem_SendReturn", Narrow(shortOut), Narrow(shortInCategory) + " " + Narrow(shortIn)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.kind);
        insert.kind = c.kind;
        ASSERT_TRUE(Show(&insert));
        ASSERT_EQ(view->GetList()->RowCount(), 1);
        MSTVFXViewItem* row = view->GetList()->RowAt(0);
        EXPECT_STREQ(row->GetTemplate(), c.templateName);
        EXPECT_EQ(RowText(row, "senddest"), c.destination);
        EXPECT_EQ(RowText(row, "returnsrc"), c.source);
    }
    EXPECT_NE(Narrow(shortOut), Narrow(name) + " - " + Narrow(category));
}

TEST_F(EffectView, MeterRowsPollTheirParameterEveryTick)
{
    TestClock clock;
    ASSERT_TRUE(Show(&insert));
    auto* level = dynamic_cast<PeakValueWatcher*>(view->GetList()->RowOf(5)->FindDataItem(Ascii("param")));
    ASSERT_NE(level, nullptr);
    EXPECT_FLOAT_EQ(level->minimum, -60.0f);
    effect.parameters[5].value = -18.0f;
    clock.Advance(25);
    EXPECT_FLOAT_EQ(level->value, -18.0f);
    effect.parameters[5].value = -200.0f; // below the meter's range: it falls to the minimum
    clock.Advance(25);
    EXPECT_FLOAT_EQ(level->value, -60.0f);
    view.reset();
    EXPECT_EQ(PeakValueWatchers::Get(), nullptr);
}
TEST_F(EffectView, ARemovedInsertIsNoLongerShownPolledOrWritten)
{
    TestClock clock;
    ASSERT_TRUE(Show(&insert));
    ASSERT_NE(PeakValueWatchers::Get(), nullptr);
    // The engine takes the insert out of its chain; the object lives on until released.
    bus.inserts.clear();
    bus.count = 0;
    effect.removed = 1;
    view->OnInsertEvent(701, 3);
    EXPECT_EQ(ViewText("effectname"), "No Effect");
    EXPECT_EQ(MSTVFXView::GetCurrentInsert(), nullptr);
    EXPECT_EQ(PeakValueWatchers::Get(), nullptr);
    calls.clear();
    clock.Advance(25);
    ViewItem<NumericItem>("bypass")->SetValue(0, 1, 1, nullptr);
    EXPECT_EQ(Logged("removed effect"), 0);
    EXPECT_EQ(Logged("insert 44"), 0);
}

TEST_F(EffectView, TheRememberedInsertIsCheckedWhenAViewIsMadeAgain)
{
    ASSERT_TRUE(Show(&insert));
    view.reset();
    ASSERT_EQ(MSTVFXView::GetCurrentInsert(), &insert);
    bus.inserts.clear();
    bus.count = 0;
    ASSERT_TRUE(Show(nullptr));
    EXPECT_EQ(ViewText("effectname"), "No Effect");
    EXPECT_EQ(MSTVFXView::GetCurrentInsert(), nullptr);
}

TEST_F(EffectView, AnInsertGivenAnotherEffectIsShownAgain)
{
    ASSERT_TRUE(Show(&insert));
    StandinEffect other{u"Gate", VarnEffectId{{12, 0, 0, 0}}, 91, {StandinEffect::CoreParameters()[0]}};
    insert.effect = &other;
    view->OnInsertEvent(705, 3);
    EXPECT_EQ(ViewText("effectname"), "Gate");
    ASSERT_NE(view->GetList(), nullptr);
    EXPECT_EQ(view->GetList()->RowCount(), 1);
    view.reset();
}

// The screen's pixels over the list's rows that are not the rows' own pictures.
int UnpaintedRowPixels(MSTVFXViewList& list)
{
    std::vector<Panel*> rows;
    for (int k = 0; k < list.RowCount(); ++k)
        rows.push_back(list.RowAt(k));
    return UnpaintedRowPixels(list.GetHandle(), rows);
}

// The colours of a row's picture under one of its controls.
int ColoursUnder(MSTVFXViewItem& row, const char* control)
{
    Rect rect;
    row.FindControl(Ascii(control))->GetRect(rect);
    std::vector<uint32_t> seen;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
        {
            const uint32_t pixel = row.ComposedBackground()->GetPixel(x, y) & 0xFFFFFF;
            if (std::find(seen.begin(), seen.end(), pixel) == seen.end())
                seen.push_back(pixel);
        }
    return static_cast<int>(seen.size());
}

// The ways the program shows an insert on screen: a click on its slot asks the view already
// shown, and a press on the TV area's tab makes a view for the remembered insert while that tab
// is still pressed. Either way the rows carry their names and are painted over the view.
TEST_F(EffectView, RowsOfAnInsertShownOnScreenArePaintedWithTheirNames)
{
    frame_.Show(SW_SHOWNOACTIVATE);
    auto settle = [] { PumpUntil([] { return false; }, 200); };
    for (const int pressedTab : {0, 1})
    {
        SCOPED_TRACE(pressedTab ? "made while the tab is pressed" : "asked by the slot");
        MSTVFXView::SetCurrentInsert(pressedTab ? &insert : nullptr);
        if (pressedTab)
        {
            ASSERT_NE(ControlNamed("tvFX"), nullptr);
            Control::SetPressedControl(ControlNamed("tvFX"));
        }
        ASSERT_TRUE(Show(nullptr));
        settle();
        if (!pressedTab)
            view->SetInsert(&insert, 1);
        Control::SetPressedControl(nullptr);
        MSTVFXViewList* list = view->GetList();
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->RowCount(), 7);
        EXPECT_EQ(RowText(list->RowAt(0), "paramname"), "Power");
        EXPECT_EQ(RowText(list->RowAt(2), "paramname"), "Shape");
        // The name is drawn into the row's picture, not only held as text.
        EXPECT_GT(ColoursUnder(*list->RowAt(0), "paramname"), 1);
        EXPECT_TRUE(::IsWindowVisible(list->RowAt(0)->GetHandle()));
        PumpUntil([list] { return UnpaintedRowPixels(*list) == 0; }, 5000);
        EXPECT_EQ(UnpaintedRowPixels(*list), 0);
        view.reset();
        settle();
    }
}
} // namespace
