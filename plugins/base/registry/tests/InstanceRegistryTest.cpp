#include "plugins/base/registry/InstanceRegistry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace
{

// Records the order in which the registry calls its instances.
struct Item
{
    int id = 0;
    std::vector<int>* calls = nullptr;
    void Touch() { calls->push_back(id); }
};

constexpr const char* kName = "KIV REGISTRY TEST MUTEX";

class InstanceRegistryTest : public ::testing::Test
{
protected:
    InstanceRegistryTest()
    {
        for (int i = 0; i < 9; ++i)
        {
            items_[i].id = i;
            items_[i].calls = &calls_;
        }
    }
    InstanceRegistry<Item, 8> registry_{kName};
    Item items_[9];
    std::vector<int> calls_;
};

TEST_F(InstanceRegistryTest, TheNinthIsRefusedAndAFreedSlotIsTakenLowestFirst)
{
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_TRUE(registry_.Register(&items_[i])) << i;
    }
    EXPECT_FALSE(registry_.Register(&items_[8]));
    EXPECT_TRUE(registry_.Unregister(&items_[5]));
    EXPECT_TRUE(registry_.Unregister(&items_[2]));
    EXPECT_TRUE(registry_.Register(&items_[8]));
    registry_.ForEach(&Item::Touch);
    EXPECT_EQ(calls_, (std::vector<int>{0, 1, 8, 3, 4, 6, 7})) << "slot 2 taken, slot 5 still empty";
}

TEST_F(InstanceRegistryTest, UnregisteringAStrangerChangesNothing)
{
    ASSERT_TRUE(registry_.Register(&items_[0]));
    EXPECT_FALSE(registry_.Unregister(&items_[1]));
    registry_.ForEach(&Item::Touch);
    EXPECT_EQ(calls_, std::vector<int>{0});
    EXPECT_TRUE(registry_.Unregister(&items_[0]));
    EXPECT_FALSE(registry_.Unregister(&items_[0])) << "only once";
}

TEST_F(InstanceRegistryTest, ForEachCallsInSlotOrderAndNothingOnAnEmptyTable)
{
    registry_.ForEach(&Item::Touch);
    registry_.ForEach(nullptr);
    EXPECT_TRUE(calls_.empty());
    // Fill slots 0..5, then leave only 2 and 5, entered in the other order.
    for (int i = 0; i < 6; ++i)
    {
        ASSERT_TRUE(registry_.Register(&items_[i]));
    }
    for (int i : {0, 1, 3, 4})
    {
        ASSERT_TRUE(registry_.Unregister(&items_[i]));
    }
    registry_.ForEach(&Item::Touch);
    EXPECT_EQ(calls_, (std::vector<int>{2, 5}));
}

TEST_F(InstanceRegistryTest, ThreadsRegisteringTogetherEachGetTheirOwnSlot)
{
    std::vector<std::thread> threads;
    std::atomic<int> entered{0};
    for (int i = 0; i < 8; ++i)
    {
        threads.emplace_back([&, i] {
            for (int round = 0; round < 200; ++round)
            {
                if (registry_.Register(&items_[i]))
                {
                    ++entered;
                    registry_.Unregister(&items_[i]);
                }
            }
        });
    }
    for (std::thread& thread : threads)
    {
        thread.join();
    }
    EXPECT_EQ(entered.load(), 8 * 200) << "eight slots for eight threads: nobody is ever refused";
    registry_.ForEach(&Item::Touch);
    EXPECT_TRUE(calls_.empty());
}

} // namespace
