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
            items[i].id = i;
            items[i].calls = &calls;
        }
    }
    InstanceRegistry<Item, 8> registry{kName};
    Item items[9];
    std::vector<int> calls;
};

TEST_F(InstanceRegistryTest, TheNinthIsRefusedAndAFreedSlotIsTakenLowestFirst)
{
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_TRUE(registry.Register(&items[i])) << i;
    }
    EXPECT_FALSE(registry.Register(&items[8]));
    EXPECT_TRUE(registry.Unregister(&items[5]));
    EXPECT_TRUE(registry.Unregister(&items[2]));
    EXPECT_TRUE(registry.Register(&items[8]));
    registry.ForEach(&Item::Touch);
    EXPECT_EQ(calls, (std::vector<int>{0, 1, 8, 3, 4, 6, 7})) << "slot 2 taken, slot 5 still empty";
}

TEST_F(InstanceRegistryTest, UnregisteringAStrangerChangesNothing)
{
    ASSERT_TRUE(registry.Register(&items[0]));
    EXPECT_FALSE(registry.Unregister(&items[1]));
    registry.ForEach(&Item::Touch);
    EXPECT_EQ(calls, std::vector<int>{0});
    EXPECT_TRUE(registry.Unregister(&items[0]));
    EXPECT_FALSE(registry.Unregister(&items[0])) << "only once";
}

TEST_F(InstanceRegistryTest, ForEachCallsInSlotOrderAndNothingOnAnEmptyTable)
{
    registry.ForEach(&Item::Touch);
    registry.ForEach(nullptr);
    EXPECT_TRUE(calls.empty());
    // Fill slots 0..5, then leave only 2 and 5, entered in the other order.
    for (int i = 0; i < 6; ++i)
    {
        ASSERT_TRUE(registry.Register(&items[i]));
    }
    for (int i : {0, 1, 3, 4})
    {
        ASSERT_TRUE(registry.Unregister(&items[i]));
    }
    registry.ForEach(&Item::Touch);
    EXPECT_EQ(calls, (std::vector<int>{2, 5}));
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
                if (registry.Register(&items[i]))
                {
                    ++entered;
                    registry.Unregister(&items[i]);
                }
            }
        });
    }
    for (std::thread& thread : threads)
    {
        thread.join();
    }
    EXPECT_EQ(entered.load(), 8 * 200) << "eight slots for eight threads: nobody is ever refused";
    registry.ForEach(&Item::Touch);
    EXPECT_TRUE(calls.empty());
}

} // namespace
