#include "plugins/ravlo/PairMenu.h"

#include <cstddef>

std::vector<int32_t> ChoosePairs(const std::vector<PairState>& pairs, int32_t ownPair)
{
    const int32_t count = static_cast<int32_t>(pairs.size());
    const bool ownListable = ownPair >= 0 && ownPair < count && pairs[static_cast<size_t>(ownPair)].exists;
    std::vector<int32_t> chosen;
    for (int32_t i = 0; i < count; ++i)
    {
        const PairState& pair = pairs[static_cast<size_t>(i)];
        const bool own = ownListable && i == ownPair;
        if (!pair.exists || (pair.active && !own))
        {
            continue;
        }
        // Keep a place for the instance's own pair while it is still to come.
        const int32_t room = kPairMenuPairs - (ownListable && ownPair > i ? 1 : 0);
        if (own || static_cast<int32_t>(chosen.size()) < room)
        {
            chosen.push_back(i);
        }
    }
    return chosen;
}
