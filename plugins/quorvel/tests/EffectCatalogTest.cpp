#include "plugins/quorvel/EffectCatalog.h"

#include "plugins/quorvel/tests/FakeLibrary.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

PresetChangeRecord Change(int32_t kind, const std::u16string& category)
{
    PresetChangeRecord change{};
    change.kind = kind;
    std::memcpy(change.categoryName, category.data(), 2 * category.size());
    return change;
}

class CatalogFixture : public testing::Test
{
protected:
    CatalogFixture()
    {
        library_.categories = {
            {u"Core Effects",
             1,
             {{u"Reverb", FakeLibrary::Id(1), false, {}}, {u"Delay", FakeLibrary::Id(2), false, {}}}},
            {u"Vocals", 0, {{u"Warm", FakeLibrary::Id(5), false, {}}, {u"Chain", FakeLibrary::Id(6), true, {}}}},
            {u"Drums", 0, {{u"Warm too", FakeLibrary::Id(5), false, {}}}},
        };
        library_.categories[1].presets[1].effects = {
            {FakeLibrary::Id(1), {FakeLibrary::Value(u"Gain", ParamValue::Real(0.5f))}, 0.25f},
            {FakeLibrary::Id(2), {}, 1.0f},
        };
    }
    ~CatalogFixture() override { EXPECT_EQ(link_.outstanding, 0); }

    std::u16string Name(const std::shared_ptr<PresetCategory>& category) { return category->Record().name; }
    std::u16string Name(const std::shared_ptr<PresetEntry>& entry) { return entry->Record().name; }

    FakeModelLink link_;
    FakeLibrary library_{link_};
    EffectCatalog catalog_{&link_};
};

TEST_F(CatalogFixture, CategoriesAreFetchedOnceAndListedInServerOrder)
{
    ASSERT_EQ(catalog_.CategoryCount(), 3);
    EXPECT_EQ(Name(catalog_.CategoryAt(0)), u"Core Effects");
    EXPECT_TRUE(catalog_.CategoryAt(0)->IsCore());
    EXPECT_EQ(Name(catalog_.CategoryAt(2)), u"Drums");
    EXPECT_EQ(catalog_.CategoryAt(3), nullptr);
    EXPECT_EQ(catalog_.CategoryAt(-1), nullptr);
    EXPECT_EQ(link_.Count(kCmdGetEffectCatalog), 1);
}

TEST_F(CatalogFixture, PresetsAreFetchedOnFirstCountOnly)
{
    std::shared_ptr<PresetCategory> vocals_ = catalog_.CategoryAt(1);
    EXPECT_EQ(vocals_->PresetAt(0), nullptr);
    EXPECT_EQ(link_.Count(kCmdGetEffectPresets), 0);
    ASSERT_EQ(vocals_->PresetCount(), 2);
    EXPECT_EQ(Name(vocals_->PresetAt(0)), u"Warm");
    EXPECT_TRUE(vocals_->PresetAt(1)->IsChain());
    EXPECT_EQ(vocals_->PresetAt(2), nullptr);
    EXPECT_EQ(vocals_->PresetCount(), 2);
    EXPECT_EQ(link_.Count(kCmdGetEffectPresets), 1);
}

TEST_F(CatalogFixture, FindPresetReturnsTheEarlierCategorysEntry)
{
    std::shared_ptr<PresetEntry> found = catalog_.FindPreset(FakeLibrary::Id(5));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(Name(found), u"Warm");
    EXPECT_EQ(catalog_.FindPreset(FakeLibrary::Id(9)), nullptr);
}

TEST_F(CatalogFixture, ChainPresetChildrenComeWithEveryDetailAndAllArraysAreFreed)
{
    library_.chainFactory = 0;
    std::shared_ptr<PresetEntry> chain = catalog_.FindPreset(FakeLibrary::Id(6));
    ASSERT_NE(chain, nullptr);
    // The server refuses GetInserts without all detail pointers: a chain showing no effects
    // would be the old fault.
    ASSERT_EQ(chain->ChildCount(), 2);
    EXPECT_EQ(chain->ChildIdAt(1), FakeLibrary::Id(2));
    EXPECT_TRUE(chain->ChildIdAt(2).IsZero());
    EXPECT_FALSE(chain->IsFactory());
    EXPECT_EQ(link_.Count(kCmdGetInserts), 1);

    std::shared_ptr<PresetEntry> single = catalog_.FindPreset(FakeLibrary::Id(1));
    EXPECT_TRUE(single->IsFactory());
    EXPECT_EQ(single->ChildCount(), 0);
    EXPECT_TRUE(single->ChildIdAt(0).IsZero());
    EXPECT_EQ(link_.Count(kCmdGetInserts), 1);
}

TEST_F(CatalogFixture, WithoutALinkEverythingIsEmptyAndEditsAreRefused)
{
    EffectCatalog alone(nullptr);
    EXPECT_EQ(alone.CategoryCount(), 0);
    EXPECT_EQ(alone.FindPreset(FakeLibrary::Id(1)), nullptr);
    EXPECT_EQ(alone.CreateCategory(u"New"), EffectCatalog::kEditRefused);
    EXPECT_FALSE(alone.IsConnected());
    int32_t flags[2] = {7, 7};
    const EffectId ids[2] = {FakeLibrary::Id(1), FakeLibrary::Id(2)};
    alone.GetFit(2, ids, flags, true);
    EXPECT_EQ(flags[0], 0);
    EXPECT_EQ(flags[1], 0);
}

TEST_F(CatalogFixture, EditsAnswerZeroOrFourAndLeaveTheCatalogueToTheNotification)
{
    ASSERT_EQ(catalog_.CategoryCount(), 3);
    EXPECT_EQ(catalog_.CreateCategory(u"New"), EffectCatalog::kEditDone);
    EXPECT_EQ(catalog_.RenameCategory(u"New", u"Newer"), EffectCatalog::kEditDone);
    const int32_t positions[] = {0, 1};
    EXPECT_EQ(catalog_.CreatePreset(u"Vocals", u"Mine", 2, positions), EffectCatalog::kEditDone);
    EXPECT_EQ(catalog_.DeletePreset(FakeLibrary::Id(5)), EffectCatalog::kEditDone);
    const char16_t* newName = u"x";
    EXPECT_EQ(catalog_.RenamePreset(FakeLibrary::Id(5), newName), EffectCatalog::kEditDone);
    EXPECT_EQ(PointerAt<const char16_t>(link_.blocks.back(), Slots::RenamePreset::kName), newName);
    EXPECT_EQ(library_.edits, (std::vector<std::u16string>{u"New", u"New", u"Vocals", u"#5", u"#5"}));
    EXPECT_EQ(catalog_.CategoryCount(), 3);
    link_.refused = {kCmdCreatePresetCategory, kCmdDeletePresetCategory};
    EXPECT_EQ(catalog_.CreateCategory(u"Other"), EffectCatalog::kEditRefused);
    EXPECT_EQ(catalog_.DeleteCategory(u"Vocals"), EffectCatalog::kEditRefused);
}

TEST_F(CatalogFixture, FitFlagsComeFromTheServer)
{
    library_.fits = {1, 0, 1};
    const EffectId ids[3] = {FakeLibrary::Id(1), FakeLibrary::Id(2), FakeLibrary::Id(3)};
    int32_t flags[3] = {};
    catalog_.GetFit(3, ids, flags, true);
    EXPECT_EQ(std::vector<int32_t>(flags, flags + 3), (std::vector<int32_t>{1, 0, 1}));
    catalog_.GetFit(3, ids, flags, false);
    EXPECT_EQ(link_.commands, (std::vector<int32_t>{kCmdGetEffectsFit, kCmdGetPresetsFit}));
    link_.refused = {kCmdGetEffectsFit};
    catalog_.GetFit(3, ids, flags, true);
    EXPECT_EQ(std::vector<int32_t>(flags, flags + 3), (std::vector<int32_t>{0, 0, 0}));
}

TEST(SpecialEffectIds, OneIdPerKindAndRateClass)
{
    EXPECT_EQ(SpecialEffectId(kSpecialTrimPot, 48000), SpecialEffectId(kSpecialTrimPot, 44100));
    EXPECT_NE(SpecialEffectId(kSpecialTrimPot, 96000), SpecialEffectId(kSpecialTrimPot, 44100));
    EXPECT_NE(SpecialEffectId(kSpecialTrimPot, 192000), SpecialEffectId(kSpecialTrimPot, 96000));
    EXPECT_NE(SpecialEffectId(kSpecialTestSignal, 44100), SpecialEffectId(kSpecialTrimPot, 44100));
    EXPECT_TRUE(SpecialEffectId(kSpecialTestSignal, 88200).IsZero());
    EXPECT_TRUE(SpecialEffectId(3, 44100).IsZero());
    EXPECT_TRUE(SpecialEffectId(-1, 44100).IsZero());

    struct Row
    {
        int32_t kind;
        int32_t rate;
        bool trim, signal, peak;
    };
    const Row rows[] = {
        {kSpecialTrimPot, 44100, true, false, false},
        {kSpecialTestSignal, 96000, false, true, false},
        {kSpecialPeakMeter, 192000, false, false, true},
    };
    for (const Row& row : rows)
    {
        const EffectId id = SpecialEffectId(row.kind, row.rate);
        EXPECT_EQ(IsTrimPotId(id), row.trim) << row.kind;
        EXPECT_EQ(IsTestSignalId(id), row.signal) << row.kind;
        EXPECT_EQ(IsPeakMeterId(id), row.peak) << row.kind;
        EXPECT_EQ(SpecialKindOf(id), row.kind);
    }
    EXPECT_EQ(SpecialKindOf(EffectId{}), -1);
    EXPECT_FALSE(IsTrimPotId(EffectId{}));
}

class PresetChangeFixture : public CatalogFixture
{
protected:
    PresetChangeFixture()
    {
        catalog_.CategoryCount();
        vocals_ = catalog_.CategoryAt(1);
        vocals_->PresetCount();
        link_.posted.clear();
    }
    const CategoryMessage& CategoryPayload(size_t i)
    {
        EXPECT_EQ(link_.posted.at(i).id, kMessageCategoryChanged);
        return *reinterpret_cast<const CategoryMessage*>(link_.posted.at(i).payload.data());
    }
    const PresetMessage& PresetPayload(size_t i)
    {
        EXPECT_EQ(link_.posted.at(i).id, kMessagePresetChanged);
        return *reinterpret_cast<const PresetMessage*>(link_.posted.at(i).payload.data());
    }

    // The preset "Bright" (id 8) added to "Vocals".
    static PresetChangeRecord BrightAdded()
    {
        PresetChangeRecord add = Change(3, u"Vocals");
        PresetRecord record{};
        std::memcpy(record.name, u"Bright", 14);
        record.id = FakeLibrary::Id(8);
        std::memcpy(add.detail, &record, sizeof(record));
        return add;
    }

    std::shared_ptr<PresetCategory> vocals_;
};

TEST_F(PresetChangeFixture, CategoriesAreAddedRenamedAndDeletedWithCopiesPosted)
{
    catalog_.OnPresetChange(Change(0, u"Keys"));
    ASSERT_EQ(catalog_.CategoryCount(), 4);
    std::shared_ptr<PresetCategory> keys = catalog_.CategoryAt(3);
    EXPECT_EQ(Name(keys), u"Keys");
    EXPECT_EQ(link_.posted.at(0).wParam, 0u);
    EXPECT_EQ(CategoryPayload(0).identity, keys->Identity());
    EXPECT_EQ(std::u16string(CategoryPayload(0).name), u"Keys");

    PresetChangeRecord rename = Change(2, u"Keys");
    std::memcpy(rename.detail, u"Piano", 12);
    catalog_.OnPresetChange(rename);
    EXPECT_EQ(Name(keys), u"Piano");
    EXPECT_EQ(link_.posted.at(1).wParam, 2u);
    EXPECT_EQ(std::u16string(CategoryPayload(1).name), u"Keys");
    EXPECT_EQ(std::u16string(CategoryPayload(1).newName), u"Piano");

    // A deleted category stays readable for whoever holds it; its message names it by identity.
    catalog_.OnPresetChange(Change(1, u"Piano"));
    EXPECT_EQ(catalog_.CategoryCount(), 3);
    EXPECT_EQ(Name(keys), u"Piano");
    EXPECT_EQ(link_.posted.at(2).wParam, 1u);
    EXPECT_EQ(CategoryPayload(2).identity, keys->Identity());
    // A new category fetches its presets when first asked.
    EXPECT_EQ(keys->PresetAt(0), nullptr);
}

TEST_F(PresetChangeFixture, PresetsAreAddedRenamedAndDeletedByIdentity)
{
    const PresetChangeRecord add = BrightAdded();
    const EffectId id = FakeLibrary::Id(8);
    catalog_.OnPresetChange(add);
    ASSERT_EQ(vocals_->PresetCount(), 3);
    std::shared_ptr<PresetEntry> bright = vocals_->PresetAt(2);
    EXPECT_EQ(Name(bright), u"Bright");
    EXPECT_EQ(PresetPayload(0).identity, bright->Identity());
    EXPECT_EQ(PresetPayload(0).category, vocals_->Identity());
    EXPECT_EQ(std::u16string(PresetPayload(0).categoryName), u"Vocals");
    EXPECT_EQ(PresetPayload(0).preset.id, FakeLibrary::Id(8));

    PresetChangeRecord rename = Change(5, u"Vocals");
    std::memcpy(rename.detail, &id, 16);
    std::memcpy(rename.detail + 16, u"Brighter", 18);
    catalog_.OnPresetChange(rename);
    EXPECT_EQ(Name(bright), u"Brighter");
    EXPECT_EQ(link_.posted.at(1).wParam, 2u);
    EXPECT_EQ(std::u16string(PresetPayload(1).preset.name), u"Brighter");

    PresetChangeRecord remove = Change(4, u"Vocals");
    std::memcpy(remove.detail, &id, 16);
    catalog_.OnPresetChange(remove);
    EXPECT_EQ(vocals_->PresetCount(), 2);
    EXPECT_EQ(link_.posted.at(2).wParam, 1u);
    EXPECT_EQ(PresetPayload(2).identity, bright->Identity());
    EXPECT_EQ(catalog_.FindPreset(FakeLibrary::Id(8)), nullptr);
}

// Any library event makes the mixer tell of its last change again.
TEST_F(PresetChangeFixture, APresetAddedHeardAgainIsAddedOnce)
{
    const PresetChangeRecord add = BrightAdded();
    catalog_.OnPresetChange(add);
    catalog_.OnPresetChange(add);
    catalog_.OnPresetChange(Change(0, u"Keys"));
    catalog_.OnPresetChange(Change(0, u"Keys"));
    EXPECT_EQ(vocals_->PresetCount(), 3);
    EXPECT_EQ(catalog_.CategoryCount(), 4);
    EXPECT_EQ(link_.posted.size(), 2u);
}

TEST_F(PresetChangeFixture, ChangesThatNameNothingDoNothingAndPostNothing)
{
    PresetChangeRecord unknownId = Change(4, u"Vocals");
    const EffectId unknown = FakeLibrary::Id(9);
    std::memcpy(unknownId.detail, &unknown, sizeof(unknown));
    PresetChangeRecord unfetched = Change(3, u"Drums"); // its presets were never fetched
    const PresetChangeRecord changes[] = {Change(6, u"Vocals"),
                                          Change(-1, u"Vocals"),
                                          Change(1, u"Nowhere"),
                                          Change(2, u"Nowhere"),
                                          Change(0, u"Vocals"),
                                          unknownId,
                                          unfetched};
    for (const PresetChangeRecord& change : changes)
    {
        SCOPED_TRACE(change.kind);
        catalog_.OnPresetChange(change);
        EXPECT_TRUE(link_.posted.empty());
        EXPECT_EQ(catalog_.CategoryCount(), 3);
        EXPECT_EQ(vocals_->PresetCount(), 2);
    }
    EXPECT_EQ(catalog_.CategoryAt(2)->PresetAt(0), nullptr);

    // Never fetched: ignored.
    EffectCatalog fresh(&link_);
    fresh.OnPresetChange(Change(0, u"Keys"));
    EXPECT_TRUE(link_.posted.empty());
}

} // namespace
