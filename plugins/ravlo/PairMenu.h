#pragma once
// Which driver channel pairs a pair menu of the routing editor offers: those no other client
// uses, at most eight, and always the pair this instance uses itself, even when eight free
// ones come before it.

#include <cstdint>
#include <vector>

constexpr int32_t kPairMenuPairs = 8;

struct PairState
{
    bool exists; // the driver reports the pair's first channel
    bool active; // another client uses it
};

// The pair indexes to list, in driver order; ownPair -1 when the instance uses none.
std::vector<int32_t> ChoosePairs(const std::vector<PairState>& pairs, int32_t ownPair);
