#include "plugins/quorvel/QuorvelBuffers.h"

#include <algorithm>

QuorvelBuffers PlanQuorvelBuffers(int32_t hostBlock, const DriverBufferSizes& sizes, bool extraBufferPreference,
                                  int32_t hostMode)
{
    const BufferChoice choice = ChooseBufferSize(hostBlock, sizes);
    QuorvelBuffers plan;
    plan.frames = choice.chosen;
    plan.extraBuffers = choice.enlarged;
    int32_t streamSize = choice.latencySize;
    if (extraBufferPreference)
    {
        plan.extraBuffers = true;
        // Twice the buffer, when the driver takes it and it holds whole host blocks (a host
        // that runs ahead of a doubled odd buffer slips further than the lead covers).
        if (plan.frames % hostBlock == 0 && plan.frames <= INT32_MAX / 2 && FitGranularity(2 * plan.frames, sizes))
        {
            plan.frames *= 2;
        }
    }
    plan.streamSize = hostMode == kHostModeRender ? plan.frames : streamSize;
    plan.lead = plan.frames % hostBlock != 0;
    const int32_t ahead = plan.lead ? 2 : 1;
    if (plan.extraBuffers)
    {
        plan.latencyBlocks = ahead;
    }
    else
    {
        const int32_t blocks = (plan.streamSize + plan.frames - 1) / plan.frames;
        plan.latencyBlocks = std::max(ahead, blocks);
    }
    // The host's lead is a whole driver buffer of silence. Reading begins as soon as a
    // captured block is there, which is F - n early: a call at the worst point of the cycle
    // of block and buffer boundaries would find too little and fall behind by that much, once,
    // and the trip would slip to its lasting delay of four buffers. The first read that finds
    // captured audio leaves those samples out instead, so the trip runs at that delay from the
    // start.
    int32_t leadDelay = 0;
    if (plan.lead)
    {
        leadDelay = std::max(plan.frames, hostBlock);
        plan.readSkip = plan.frames > hostBlock ? plan.frames - hostBlock : 0;
    }
    plan.latency = QuorvelLatencyWithoutStream(hostBlock, plan.streamSize, hostMode);
    if (plan.extraBuffers)
    {
        // The driver buffer counts where it exceeds the stream size (extra buffering with a
        // smaller preferred size): the round trip is three of the larger.
        plan.latency = 3 * std::max(plan.streamSize, plan.frames) + leadDelay;
    }
    return plan;
}

int32_t QuorvelLatencyWithoutStream(int32_t hostBlock, int32_t streamSize, int32_t hostMode)
{
    return hostMode == kHostModeCubase && streamSize > hostBlock ? 4 * hostBlock : 3 * hostBlock;
}
