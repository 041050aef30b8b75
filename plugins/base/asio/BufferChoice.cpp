#include "plugins/base/asio/BufferChoice.h"

#include <algorithm>

namespace
{

// The driver's range, with nonsense bounds made harmless.
int32_t Lowest(const DriverBufferSizes& sizes)
{
    return std::max<int32_t>(sizes.minimum, 1);
}

int32_t Highest(const DriverBufferSizes& sizes)
{
    return std::max(sizes.maximum, Lowest(sizes));
}

bool IsPowerOfTwo(int64_t size)
{
    return size > 0 && (size & (size - 1)) == 0;
}

// The smallest size the driver takes at or above `from`, 0 when none.
int64_t SmallestFitAtLeast(int64_t from, const DriverBufferSizes& sizes)
{
    const int64_t lowest = std::max<int64_t>(from, Lowest(sizes));
    const int64_t highest = Highest(sizes);
    int64_t size = lowest;
    if (sizes.granularity == -1)
    {
        size = 1;
        while (size < lowest)
        {
            size *= 2;
        }
    }
    else if (sizes.granularity > 0)
    {
        size = (lowest + sizes.granularity - 1) / sizes.granularity * sizes.granularity;
    }
    return size <= highest ? size : 0;
}

// The largest size the driver takes, 0 when none.
int64_t LargestFit(const DriverBufferSizes& sizes)
{
    const int64_t lowest = Lowest(sizes);
    int64_t size = Highest(sizes);
    if (sizes.granularity == -1)
    {
        int64_t power = 1;
        while (power * 2 <= size)
        {
            power *= 2;
        }
        size = power;
    }
    else if (sizes.granularity > 0)
    {
        size = size / sizes.granularity * sizes.granularity;
    }
    return size >= lowest ? size : 0;
}

} // namespace

bool FitGranularity(int32_t size, const DriverBufferSizes& sizes)
{
    if (size < Lowest(sizes) || size > Highest(sizes))
    {
        return false;
    }
    if (sizes.granularity == -1)
    {
        return IsPowerOfTwo(size);
    }
    return sizes.granularity <= 0 || size % sizes.granularity == 0;
}

BufferChoice ChooseBufferSize(int32_t hostBlock, const DriverBufferSizes& sizes)
{
    const int64_t block = hostBlock;
    const int64_t highest = Highest(sizes);
    int64_t chosen = 0;
    // Multiples of the block repeat their position on the step after at most `step` of them,
    // and powers of two are few: the search is short either way.
    const int64_t first = std::max<int64_t>(1, (Lowest(sizes) + block - 1) / block);
    const int64_t tries = sizes.granularity > 0 ? sizes.granularity : (sizes.granularity == -1 ? 64 : 1);
    if (sizes.granularity == -1)
    {
        for (int64_t power = SmallestFitAtLeast(first * block, sizes); power != 0 && power <= highest; power *= 2)
        {
            if (power % block == 0)
            {
                chosen = power;
                break;
            }
        }
    }
    else
    {
        for (int64_t k = first; k < first + tries && k * block <= highest; ++k)
        {
            if (FitGranularity(static_cast<int32_t>(k * block), sizes))
            {
                chosen = k * block;
                break;
            }
        }
    }
    if (chosen == 0)
    {
        chosen = SmallestFitAtLeast(block, sizes);
    }
    if (chosen == 0)
    {
        chosen = LargestFit(sizes);
    }
    if (chosen == 0)
    {
        chosen = sizes.preferred > 0 ? sizes.preferred : block;
    }
    BufferChoice choice;
    choice.chosen = static_cast<int32_t>(chosen);
    choice.enlarged = chosen != block;
    choice.latencySize = choice.enlarged ? choice.chosen : (sizes.preferred > 0 ? sizes.preferred : hostBlock);
    return choice;
}

namespace
{

// Before any pair runs there is no driver buffer yet: the host block stands for it.
int32_t BufferFor(int32_t hostBlock, const BufferChoice& choice)
{
    return choice.chosen > 0 ? choice.chosen : hostBlock;
}

} // namespace

int32_t LeastHeldDelay(int32_t hostBlock, int32_t frames)
{
    return frames + hostBlock - 1;
}

int32_t HeldDelayFor(int32_t hostBlock, const BufferChoice& choice)
{
    return LeastHeldDelay(hostBlock, BufferFor(hostBlock, choice)) + 1;
}

int32_t InitialDelayFor(int32_t hostBlock, const BufferChoice& choice)
{
    return 2 * BufferFor(hostBlock, choice) + HeldDelayFor(hostBlock, choice);
}
