#include "plugins/ravlo/PairMenu.h"

#include <gtest/gtest.h>

namespace
{

std::vector<PairState> FreePairs(int count)
{
    return std::vector<PairState>(static_cast<size_t>(count), PairState{true, false});
}

TEST(PairMenuTest, ListsFreePairsAndTheInstancesOwn)
{
    std::vector<PairState> pairs = FreePairs(5);
    pairs[1].active = true; // another instance's
    pairs[3].active = true; // this instance's own (the driver shows it active too)
    pairs[4].exists = false;
    EXPECT_EQ(ChoosePairs(pairs, 3), (std::vector<int32_t>{0, 2, 3}));
    EXPECT_EQ(ChoosePairs(pairs, -1), (std::vector<int32_t>{0, 2}));
}

TEST(PairMenuTest, AtMostEightWithTheOwnPairAlwaysAmongThem)
{
    // Ten output pairs (20 channels), all free: the first eight.
    EXPECT_EQ(ChoosePairs(FreePairs(10), -1), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    // The instance uses pair 9: seven free ones and its own.
    std::vector<PairState> pairs = FreePairs(10);
    pairs[9].active = true;
    EXPECT_EQ(ChoosePairs(pairs, 9), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 9}));
    // Its own among the first eight: nothing is held back.
    EXPECT_EQ(ChoosePairs(FreePairs(10), 2), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(PairMenuTest, AnOwnPairTheDriverNoLongerHasIsNotListed)
{
    EXPECT_EQ(ChoosePairs(FreePairs(2), 5), (std::vector<int32_t>{0, 1}));
    std::vector<PairState> pairs = FreePairs(9);
    pairs[8].exists = false;
    EXPECT_EQ(ChoosePairs(pairs, 8).size(), 8u);
    EXPECT_TRUE(ChoosePairs({}, 0).empty());
}

} // namespace
