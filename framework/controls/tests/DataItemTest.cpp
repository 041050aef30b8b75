#include "framework/controls/DataItem.h"
#include "framework/controls/tests/BoundItem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace itemtest;

namespace
{
const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(DataItems, IntegerValuesTakenAndRefused)
{
    struct Row
    {
        const char* trace;
        int minimum;
        int maximum;
        float value;
        bool taken;
        int stored;
    };
    const Row rows[] = {
        {"equal bounds accept any value", 0, 0, 57.0f, true, 57},
        {"equal non-zero bounds too", 5, 5, -3.0f, true, -3},
        {"inside", 0, 10, 10.0f, true, 10},
        {"above", 0, 10, 11.0f, false, 0},
        {"below", 0, 10, -1.0f, false, 0},
        {"truncated toward zero into range", 0, 10, 10.9f, true, 10},
        {"negative truncated toward zero", -5, 5, -4.9f, true, -4},
        {"NaN refused even without a range", 0, 0, kNaN, false, 0},
        {"1e12 refused even without a range", 0, 0, 1e12f, false, 0},
        {"-1e12 refused", 0, 0, -1e12f, false, 0},
        {"2^31 refused", 0, 0, 2147483648.0f, false, 0},
        {"-2^31 taken", 0, 0, -2147483648.0f, true, INT32_MIN},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.trace);
        Bound<IntItem> bound;
        bound.item->minimum = row.minimum;
        bound.item->maximum = row.maximum;
        bound.item->SetValue(row.value, 1, 1, nullptr);
        EXPECT_EQ(bound.item->value, row.stored);
        if (row.taken)
            EXPECT_EQ(bound.log, (Log{"notify " + std::to_string(row.stored), "redraw a", "redraw b"}));
        else
            EXPECT_TRUE(bound.log.empty()) << "a refused value redraws nothing and notifies nobody";
    }
}

TEST(DataItems, FlagStoresWholeValuesUnclampedAndRefusesWhatHasNoInteger)
{
    Bound<FlagItem> bound;
    bound.item->SetValue(2.7f, 1, 1, nullptr);
    EXPECT_EQ(bound.item->value, 2);
    EXPECT_EQ(bound.item->GetMax(), 1.0);
    EXPECT_EQ(bound.log, (Log{"redraw a", "redraw b", "notify 2"})) << "a flag redraws first";
    bound.log.clear();
    bound.item->SetValue(kNaN, 1, 1, nullptr);
    bound.item->SetValue(3e10f, 1, 1, nullptr);
    EXPECT_EQ(bound.item->value, 2);
    EXPECT_TRUE(bound.log.empty());
}

TEST(DataItems, RealRangeNaNAndNotifyArgument)
{
    struct Row
    {
        const char* trace;
        float minimum;
        float maximum;
        float value;
        bool taken;
        const char* notified;
    };
    const Row rows[] = {
        {"inside", 0.0f, 1.0f, 0.5f, true, "notify 0"},
        {"above", 0.0f, 1.0f, 1.5f, false, nullptr},
        {"NaN in a range", 0.0f, 1.0f, kNaN, false, nullptr},
        {"equal bounds accept anything", 2.0f, 2.0f, -7.5f, true, "notify -7"},
        {"a NaN bound counts as equal", kNaN, 1.0f, 9.0f, true, "notify 9"},
        {"a huge value notifies saturated", 0.0f, 0.0f, 1e12f, true, "notify 2147483647"},
        {"a huge negative value too", 0.0f, 0.0f, -1e12f, true, "notify -2147483648"},
        {"an unranged NaN notifies 0", 0.0f, 0.0f, kNaN, true, "notify 0"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.trace);
        Bound<RealItem> bound;
        bound.item->value = 0.25f;
        bound.item->minimum = row.minimum;
        bound.item->maximum = row.maximum;
        bound.item->SetValue(row.value, 1, 1, nullptr);
        if (row.taken)
        {
            EXPECT_TRUE(std::isnan(row.value) ? std::isnan(bound.item->value) : bound.item->value == row.value);
            EXPECT_EQ(bound.log, (Log{"redraw a", "redraw b", row.notified})) << "a real redraws first";
        }
        else
        {
            EXPECT_EQ(bound.item->value, 0.25f);
            EXPECT_TRUE(bound.log.empty());
        }
    }
}

TEST(DataItems, UpdateNotifyAndExceptAreHonoured)
{
    Bound<IntItem> bound;
    bound.item->SetValue(3.0f, 1, 0, &bound.a);
    EXPECT_EQ(bound.log, (Log{"redraw b"})) << "the excepted listener is not redrawn, nobody notified";
    bound.log.clear();
    bound.item->SetValue(4.0f, 0, 1, nullptr);
    EXPECT_EQ(bound.log, (Log{"notify 4"}));
}

TEST(DataItems, ResetUsesEachKindsRule)
{
    {
        Bound<IntItem> bound;
        bound.item->maximum = 10;
        bound.item->defaultValue = 20; // outside the range: nothing happens
        bound.item->value = 4;
        bound.item->Reset(1, 1, nullptr);
        EXPECT_EQ(bound.item->value, 4);
        EXPECT_TRUE(bound.log.empty());
        bound.item->defaultValue = 7;
        bound.item->Reset(1, 1, nullptr);
        EXPECT_EQ(bound.item->value, 7);
        EXPECT_EQ(bound.log, (Log{"notify 7", "redraw a", "redraw b"}));
    }
    {
        Bound<TextItem> bound;
        bound.item->text.AssignAscii("typed");
        bound.item->defaultText.AssignAscii("default");
        bound.item->Reset(1, 1, nullptr);
        EXPECT_EQ(bound.item->text.CompareLiteral("default"), 0);
        EXPECT_EQ(bound.log, (Log{"redraw a", "redraw b", "notify 0"}));
    }
    {
        Bound<FlagItem> bound;
        bound.item->value = 1;
        bound.item->Reset(1, 1, nullptr);
        EXPECT_EQ(bound.item->value, 0);
        EXPECT_EQ(bound.log, (Log{"redraw a", "redraw b", "notify 0"}));
    }
}

TEST(DataItems, BindingUnbindingAndFlags)
{
    Bound<IntItem> bound;
    bound.item->Bind(&bound.a); // duplicates are kept
    bound.item->Unbind(&bound.a);
    bound.item->RefreshControls(nullptr);
    EXPECT_EQ(bound.log, (Log{"redraw b", "redraw a"})) << "the first occurrence goes";
    bound.log.clear();
    bound.item->SetDisabled(1, 1);
    bound.item->SetHidden(1, 0);
    EXPECT_EQ(bound.item->IsDisabled(), 1);
    EXPECT_EQ(bound.item->IsHidden(), 1);
    EXPECT_EQ(bound.log, (Log{"redraw b", "redraw a"}));
    bound.log.clear();
    bound.item->SetOwner(nullptr);
    EXPECT_EQ(bound.item->NotifyOwner(5), 0);
    EXPECT_TRUE(bound.log.empty());
}

TEST(DataItems, DeletingAnItemDetachesItsListeners)
{
    Bound<IntItem> bound;
    bound.item.reset();
    EXPECT_EQ(bound.log, (Log{"detach a", "detach b"}));
}

// A listener that unbinds itself while it is told the item goes (as controls do).
class SelfUnbinding : public DataItemListener
{
public:
    DataItem* item = nullptr;
    int detached = 0;
    void OnDataItemChanged() override {}
    void OnDataItemDetached() override
    {
        ++detached;
        item->Unbind(this);
    }
};

TEST(DataItems, ListenersMayUnbindWhileTheItemGoes)
{
    auto item = std::make_unique<TextItem>();
    SelfUnbinding first;
    SelfUnbinding second;
    first.item = second.item = item.get();
    item->Bind(&first);
    item->Bind(&second);
    item.reset();
    EXPECT_EQ(first.detached, 1);
    EXPECT_EQ(second.detached, 1);
}
} // namespace
