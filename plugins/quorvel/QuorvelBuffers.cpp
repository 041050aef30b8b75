#include "plugins/quorvel/QuorvelBuffers.h"

#include <algorithm>

QuorvelBuffers PlanQuorvelBuffers(int32_t hostBlock, const DriverBufferSizes& sizes, bool extraBufferPreference,
                                  int32_t hostMode)
{
    const BufferChoice choice = ChooseBufferSize(hostBlock, sizes);
    QuorvelBuffers plan;
    plan.frames = choice.chosen;
    bool extraBuffers = choice.enlarged;
    if (extraBufferPreference)
    {
        extraBuffers = true;
        // Twice the buffer, when the driver takes it and it holds whole host blocks.
        if (plan.frames % hostBlock == 0 && plan.frames <= INT32_MAX / 2 && FitGranularity(2 * plan.frames, sizes))
        {
            plan.frames *= 2;
        }
    }
    plan.streamSize = hostMode == kHostModeRender ? plan.frames : choice.latencySize;
    int32_t latency = QuorvelLatencyWithoutStream(hostBlock, plan.streamSize, hostMode);
    if (extraBuffers)
    {
        // The driver buffer counts where it exceeds the stream size (extra buffering with a
        // smaller preferred size): the round trip is three of the larger, and a buffer that is
        // no multiple of the block is told one buffer or block more.
        const int32_t unaligned = plan.frames % hostBlock != 0 ? std::max(plan.frames, hostBlock) : 0;
        latency = 3 * std::max(plan.streamSize, plan.frames) + unaligned;
    }
    // The stream holds what the figure leaves beyond the card's loop of two buffers. Where that
    // is less than calls of every length need (three blocks on a buffer of one: a call cut
    // short moves every later switch by up to a block within the host's calls), the figure
    // grows to what is held.
    plan.held = std::max(latency - 2 * plan.frames, LeastHeldDelay(hostBlock, plan.frames));
    plan.latency = 2 * plan.frames + plan.held;
    return plan;
}

int32_t QuorvelLatencyWithoutStream(int32_t hostBlock, int32_t streamSize, int32_t hostMode)
{
    return hostMode == kHostModeCubase && streamSize > hostBlock ? 4 * hostBlock : 3 * hostBlock;
}
