#include "plugins/quorvel/EditorRules.h"
#include "framework/controls/DataItem.h"
#include "plugins/quorvel/PresetInspectorText.h"

#include "plugins/quorvel/tests/FakeLibrary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

TEST(EditorRules, ALampLightsStrictlyAboveMinus96Decibels)
{
    const struct
    {
        float level;
        bool lit;
    } cases[] = {
        {0.0f, false}, {1.5848931e-5f, false}, {-1.5848931e-5f, false}, {-2e-5f, true},
        {2e-5f, true}, {1.0f, true},           {-1.0f, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSignalLit(c.level), c.lit) << c.level;
}

TEST(EditorRules, PopulateMakesRowsOnlyForShownParameters)
{
    // An insert with wet/dry at 4 and its hidden parameter at 5.
    ParamRowFacts insert;
    insert.hasWetDry = true;
    insert.wetDryIndex = 4;
    insert.hasHidden = true;
    insert.hiddenIndex = 5;
    struct Case
    {
        const char* trace;
        int32_t index, access;
        bool named, hasKinds;
        int32_t kind;
        ParamRowKind row;
    };
    const Case cases[] = {
        {"a plain parameter", 0, 1, true, true, 0, ParamRowKind::kParameter},
        {"every access word 1-7 is plain", 2, 7, true, true, 0, ParamRowKind::kParameter},
        {"access 0: no row", 0, 0, true, true, 0, ParamRowKind::kNone},
        {"access past 9: no row", 0, 10, true, true, 0, ParamRowKind::kNone},
        {"the wet/dry parameter", 4, 1, true, true, 0, ParamRowKind::kNone},
        {"the hidden parameter", 5, 1, true, true, 0, ParamRowKind::kNone},
        {"kind 1 gets a row, hidden", 6, 1, true, true, 1, ParamRowKind::kParameter},
        {"kind 2 gets a row, disabled", 6, 1, true, true, 2, ParamRowKind::kParameter},
        {"kind 3: no row", 6, 1, true, true, 3, ParamRowKind::kNone},
        {"kind 4: no row", 6, 1, true, true, 4, ParamRowKind::kNone},
        {"with kinds an empty name still gets a row", 6, 1, false, true, 0, ParamRowKind::kParameter},
        {"without kinds an empty name gets none", 6, 1, false, false, 3, ParamRowKind::kNone},
        {"without kinds the kind is not read", 6, 1, true, false, 3, ParamRowKind::kParameter},
        {"access 8: a meter", 3, 8, true, true, 0, ParamRowKind::kMeter},
        {"access 9: an inverted meter", 3, 9, true, true, 0, ParamRowKind::kInvertedMeter},
        {"a meter of kind 3: no row", 3, 9, true, true, 3, ParamRowKind::kNone},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        ParamRowFacts facts = insert;
        facts.index = c.index;
        facts.access = c.access;
        facts.named = c.named;
        facts.hasKinds = c.hasKinds;
        facts.kind = c.kind;
        EXPECT_EQ(PlanParamRow(facts), c.row);
    }
    // Without wet/dry and hidden parameters their indexes are rows like any other.
    ParamRowFacts plain;
    plain.access = 1;
    plain.wetDryIndex = 0;
    plain.hiddenIndex = 0;
    EXPECT_EQ(PlanParamRow(plain), ParamRowKind::kParameter);

    const struct
    {
        int32_t kind;
        bool hidden, disabled;
    } looks[] = {{0, false, false}, {1, true, false}, {2, false, true}};
    for (const auto& look : looks)
    {
        EXPECT_EQ(ParamRowLookOf(look.kind).hidden, look.hidden) << look.kind;
        EXPECT_EQ(ParamRowLookOf(look.kind).disabled, look.disabled) << look.kind;
    }
}

TEST(EditorRules, AMeterRowShowsItsReadingWhileProcessingAndMinus120Otherwise)
{
    // The row's item takes what its range holds; a single-value range shows any value.
    struct Case
    {
        const char* trace;
        float minimum, maximum;
        bool processing;
        float reading;
        float shown; // the item started at its minimum
    };
    const Case cases[] = {
        {"a reading in range", -120.0f, 0.0f, true, -12.5f, -12.5f},
        {"not processing: -120", -120.0f, 0.0f, false, -12.5f, -120.0f},
        {"a reading past the range is not shown", -120.0f, 0.0f, true, 6.0f, -120.0f},
        {"-120 outside the range is not shown", -60.0f, 0.0f, false, -12.5f, -60.0f},
        {"a single-value range shows any reading", 0.0f, 0.0f, true, 42.0f, 42.0f},
        {"a single-value range shows -120", 0.0f, 0.0f, false, 42.0f, -120.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        RealItem item;
        item.minimum = c.minimum;
        item.maximum = c.maximum;
        item.value = c.minimum;
        item.SetValue(MeterRowLevel(c.processing, c.reading), 0, 0, nullptr);
        EXPECT_EQ(item.value, c.shown);
    }
}

TEST(EditorRules, APresetsComboTextPadsItsPositionAndMarksAUsersPreset)
{
    struct Case
    {
        int32_t position;
        int32_t number;
        bool user;
        const char16_t* text;
    };
    const Case cases[] = {
        {0, 0, false, u"000 - Hall"},         {9, 9, false, u"009 - Hall"},
        {10, 10, false, u"010 - Hall"},                                         // the tenth keeps one zero
        {99, 99, true, u"099 - Hall [user]"}, {100, 100, false, u"100 - Hall"}, // the hundredth none
        {120, 7, true, u"7 - Hall [user]"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(PresetComboText(c.position, c.number, u"Hall", c.user, u"[user]"), std::u16string(c.text));
    }
}

TEST(EditorRules, LibraryNamesFitTheEngineAndAreOneFolderName)
{
    const std::u16string longest(127, u'a');
    const struct
    {
        std::u16string name;
        LibraryNameCheck check;
    } cases[] = {
        {u"Vocal Chain", LibraryNameCheck::kAccepted},
        {longest, LibraryNameCheck::kAccepted},
        {longest + u"a", LibraryNameCheck::kTooLong},
        {std::u16string(300, u'.'), LibraryNameCheck::kTooLong},
        {u"a\\b", LibraryNameCheck::kInvalid},
        {u"a/b", LibraryNameCheck::kInvalid},
        {u"..", LibraryNameCheck::kInvalid},
        {u"C:", LibraryNameCheck::kInvalid},
        {u"", LibraryNameCheck::kInvalid},
        {u"nul", LibraryNameCheck::kInvalid},
        {u"name.", LibraryNameCheck::kInvalid},
        {u"a?", LibraryNameCheck::kInvalid},
        {u"tab\there", LibraryNameCheck::kInvalid},
        {u"Caf\u00e9 1.2", LibraryNameCheck::kAccepted},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckLibraryName(c.name.data(), static_cast<int32_t>(c.name.size())), c.check)
            << std::string(c.name.begin(), c.name.end());
}

class InspectorLines : public testing::Test
{
protected:
    InspectorLines()
    {
        library_.categories = {
            {u"Core Effects",
             1,
             {{u"Reverb", FakeLibrary::Id(1), false, {}}, {u"Delay", FakeLibrary::Id(2), false, {}}}},
            {u"Factory Chains",
             0,
             {{u"Vocal Chain", FakeLibrary::Id(6), true, {}}, {u"Warm", FakeLibrary::Id(7), false, {}}}},
        };
        library_.categories[1].presets[0].effects = {
            {FakeLibrary::Id(1), {}, 1.0f},
            {EffectId{}, {}, 1.0f},
            {SpecialEffectId(kSpecialPeakMeter, 48000), {}, 1.0f},
            {FakeLibrary::Id(9), {}, 1.0f},
            {FakeLibrary::Id(2), {}, 1.0f},
        };
    }
    ~InspectorLines() override { EXPECT_EQ(link_.outstanding, 0); }

    std::shared_ptr<PresetEntry> Entry(int32_t category, int32_t preset)
    {
        std::shared_ptr<PresetCategory> c = catalog_.CategoryAt(category);
        c->PresetCount();
        return c->PresetAt(preset);
    }

    FakeModelLink link_;
    FakeLibrary library_{link_};
    EffectCatalog catalog_{&link_};
};

TEST_F(InspectorLines, AChainNamesItsEffectsAndLeavesUnknownAndZeroIdsBare)
{
    const std::vector<std::u16string> expected = {u"Vocal Chain:",  u"1. Reverb", u"2. ",
                                                  u"3. Peak Meter", u"4. ",       u"5. Delay"};
    EXPECT_EQ(PresetInspectorLines(catalog_, *Entry(1, 0), u"Vocal Chain"), expected);
    library_.chainFactory = 0;
    EffectCatalog fresh(&link_);
    std::shared_ptr<PresetCategory> chains = fresh.CategoryAt(1);
    chains->PresetCount();
    EXPECT_EQ(PresetInspectorLines(fresh, *chains->PresetAt(0), u"Vocal Chain [user]").front(), u"Vocal Chain [user]:");
}

TEST_F(InspectorLines, AZeroIdInTheMiddleStillGivesOneLinePerEffect)
{
    library_.categories[1].presets[0].effects = {
        {FakeLibrary::Id(1), {}, 1.0f}, {EffectId{}, {}, 1.0f}, {FakeLibrary::Id(2), {}, 1.0f}};
    const std::vector<std::u16string> expected = {u"Vocal Chain:", u"1. Reverb", u"2. ", u"3. Delay"};
    EXPECT_EQ(PresetInspectorLines(catalog_, *Entry(1, 0), u"Vocal Chain"), expected);
}

TEST_F(InspectorLines, APlainPresetShowsItsLabelAndACategoryItsCount)
{
    EXPECT_EQ(PresetInspectorLines(catalog_, *Entry(1, 1), u"Warm [user]"),
              std::vector<std::u16string>{u"Warm [user]"});
    EXPECT_EQ(CategoryInspectorLines(u"Factory Chains", 2), std::vector<std::u16string>{u"Factory Chains (2)"});
    EXPECT_EQ(CategoryInspectorLines(u"Empty", 0), std::vector<std::u16string>{u"Empty (0)"});
}

} // namespace

namespace
{

std::vector<int32_t> SelectedRows(const SlotSelection& selection)
{
    std::vector<int32_t> rows;
    for (int32_t i = 0; i < selection.Count(); ++i)
        if (selection.IsSelected(i))
            rows.push_back(i);
    return rows;
}

TEST(EditorRules, SlotClicksSelectOnlyRecordsThatExist)
{
    constexpr int32_t kPlain = 0;
    constexpr int32_t kShift = SlotSelection::kShift;
    constexpr int32_t kCtrl = SlotSelection::kControl;
    struct Click
    {
        int32_t row;
        int32_t keys;
    };
    struct Case
    {
        const char* trace;
        int32_t count;
        std::vector<Click> clicks;
        std::vector<int32_t> selected;
        int32_t current;
    };
    const Case cases[] = {
        {"a plain click selects one and focuses it", 6, {{3, kPlain}}, {3}, 3},
        {"Shift from 2 to 5 selects four", 8, {{2, kPlain}, {5, kShift}}, {2, 3, 4, 5}, 2},
        {"Shift backwards", 8, {{5, kPlain}, {2, kShift}}, {2, 3, 4, 5}, 5},
        {"Ctrl adds and leaves no focus", 6, {{1, kPlain}, {4, kCtrl}}, {1, 4}, -1},
        {"Ctrl deselects a selected one", 6, {{1, kPlain}, {1, kCtrl}}, {}, -1},
        {"Shift after Ctrl starts at the first", 6, {{1, kCtrl}, {3, kShift}}, {0, 1, 2, 3}, -1},
        {"an empty slot: nothing selected, focus past the chain", 3, {{1, kPlain}, {7, kPlain}}, {}, 7},
        {"Shift onto empty slots stops at the chain's end", 4, {{2, kPlain}, {9, kShift}}, {2, 3}, 2},
        {"Ctrl on an empty slot touches nothing", 3, {{0, kPlain}, {5, kCtrl}}, {0}, -1},
        {"the menu's click (-1) selects one", 5, {{0, kPlain}, {2, kCtrl}, {4, -1}}, {4}, 4},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        SlotSelection selection;
        selection.Reset(c.count);
        EXPECT_EQ(selection.Count(), c.count);
        for (const Click& click : c.clicks)
            selection.Click(click.row, click.keys);
        EXPECT_EQ(SelectedRows(selection), c.selected);
        EXPECT_EQ(selection.Current(), c.current);
        EXPECT_EQ(selection.Count(), c.count) << "no record made by a click";
    }
}

TEST(EditorRules, TheChainsChangeRebuildsTheRecordsAroundTheFocus)
{
    struct Case
    {
        const char* trace;
        int32_t current;
        int32_t count;
        int32_t current2;
        std::vector<int32_t> selected;
    };
    const Case cases[] = {
        {"the focus within the chain", 2, 5, 2, {2}},
        {"past the chain but within the slots: kept, nothing selected", 9, 4, 9, {}},
        {"past the chain and the slots: the first row", 20, 6, 0, {0}},
        {"no focus", -1, 3, -1, {}},
        {"an empty chain", 0, 0, 0, {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        SlotSelection selection;
        selection.Reset(2);
        selection.SetCurrent(c.current);
        selection.Rebuild(c.count);
        EXPECT_EQ(selection.Count(), c.count);
        EXPECT_EQ(selection.Current(), c.current2);
        EXPECT_EQ(SelectedRows(selection), c.selected);
    }
    SlotSelection chain;
    chain.Reset(3);
    chain.InsertAt(1, 2);
    EXPECT_EQ(chain.Count(), 5);
    EXPECT_EQ(SelectedRows(chain), (std::vector<int32_t>{0})) << "a chain preset's effects come unselected";
    chain.RemoveAt(0);
    chain.RemoveAt(9);
    EXPECT_EQ(chain.Count(), 4);
}

TEST(EditorRules, ADropAddsAtTheSlotsRowAtMostAtTheChainsEnd)
{
    const struct
    {
        int32_t first, slot, length, position;
    } cases[] = {
        {0, 0, 0, 0}, {0, 3, 6, 3}, {0, 10, 6, 6}, {5, 3, 6, 6}, {5, 0, 6, 5}, {2, 13, 20, 15},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SlotAddPosition(c.first, c.slot, c.length), c.position)
            << c.first << " + " << c.slot << " of " << c.length;
}

std::vector<int32_t> Commands(const InsertMenuPlan& plan)
{
    std::vector<int32_t> commands;
    for (const InsertMenuEntry& item : plan.appended)
        commands.push_back(item.command);
    return commands;
}

TEST(EditorRules, TheInsertMenuFollowsTheChainAndTheFocusedInsert)
{
    InsertMenuFacts running;
    running.slotHasInsert = true;
    running.chainLength = 3;
    running.fits[0] = running.fits[1] = running.fits[2] = true;
    running.currentExists = true;
    running.currentCanBypass = true;
    running.anyCanBypass = true;

    {
        SCOPED_TRACE("a running chain, nothing bypassed");
        const InsertMenuPlan plan = PlanInsertMenu(running, 1);
        ASSERT_TRUE(plan.show);
        for (int position : {0, 2, 4, 5, 6, 8})
            EXPECT_FALSE(plan.disabledAt[position]) << position;
        EXPECT_EQ(Commands(plan), (std::vector<int32_t>{kInsertMenuSolo, kInsertMenuBypass, kInsertMenuBypassAll}));
        EXPECT_STREQ(plan.appended[0].textId, "IDS_SOLO_INSERT");
        EXPECT_STREQ(plan.appended[1].textId, "IDS_BYPASS_INSERT");
    }
    {
        SCOPED_TRACE("the focused insert bypassed and soloed, every one bypassed");
        InsertMenuFacts facts = running;
        facts.currentBypassed = facts.currentSoloed = true;
        facts.anyBypassed = facts.allBypassableBypassed = true;
        const InsertMenuPlan plan = PlanInsertMenu(facts, 0);
        EXPECT_EQ(Commands(plan), (std::vector<int32_t>{kInsertMenuSolo, kInsertMenuBypass, kInsertMenuUnbypassAll}));
        EXPECT_STREQ(plan.appended[0].textId, "IDS_UNSOLO_INSERT");
        EXPECT_STREQ(plan.appended[1].textId, "IDS_UNBYPASS_INSERT");
    }
    {
        SCOPED_TRACE("detached: no solo, bypass or bypass-all; the specials disabled");
        InsertMenuFacts facts = running;
        facts.disconnected = true;
        facts.anyBypassed = true;
        const InsertMenuPlan plan = PlanInsertMenu(facts, 1);
        ASSERT_TRUE(plan.show);
        EXPECT_TRUE(Commands(plan).empty());
        for (int position : {4, 5, 6, 8})
            EXPECT_TRUE(plan.disabledAt[position]) << position;
        EXPECT_FALSE(plan.disabledAt[0]);
        EXPECT_FALSE(plan.disabledAt[2]);
    }
    {
        SCOPED_TRACE("an empty slot focused past the chain: solo and bypass disabled, also detached");
        InsertMenuFacts facts = running;
        facts.slotHasInsert = false;
        facts.currentExists = false;
        for (bool detached : {false, true})
        {
            facts.disconnected = detached;
            const InsertMenuPlan plan = PlanInsertMenu(facts, 8);
            EXPECT_TRUE(plan.disabledAt[0]);
            ASSERT_EQ(Commands(plan), (std::vector<int32_t>{kInsertMenuSolo, kInsertMenuBypass}));
            EXPECT_TRUE(plan.appended[0].disabled && plan.appended[1].disabled);
        }
    }
    {
        SCOPED_TRACE("an insert that cannot be bypassed, a special that does not fit");
        InsertMenuFacts facts = running;
        facts.currentCanBypass = false;
        facts.fits[0] = false; // special kind 0: the Trim Pot
        const InsertMenuPlan plan = PlanInsertMenu(facts, 1);
        EXPECT_TRUE(plan.appended[0].disabled && plan.appended[1].disabled);
        EXPECT_TRUE(plan.disabledAt[5]);
        EXPECT_FALSE(plan.disabledAt[4]);
    }
    {
        SCOPED_TRACE("no focus and no inserts: no menu; an empty chain with a focus: a menu");
        InsertMenuFacts facts;
        EXPECT_FALSE(PlanInsertMenu(facts, -1).show);
        const InsertMenuPlan plan = PlanInsertMenu(facts, 0);
        ASSERT_TRUE(plan.show);
        EXPECT_TRUE(plan.disabledAt[0] && plan.disabledAt[2] && plan.disabledAt[8]);
    }
}

} // namespace
