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
        // Twice the buffer, when the driver takes it.
        if (plan.frames <= INT32_MAX / 2 && FitGranularity(2 * plan.frames, sizes))
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
    plan.latency = QuorvelLatencyWithoutStream(hostBlock, plan.streamSize, hostMode);
    if (plan.extraBuffers)
    {
        plan.latency = 3 * plan.streamSize + (plan.lead ? hostBlock : 0);
    }
    return plan;
}

int32_t QuorvelLatencyWithoutStream(int32_t hostBlock, int32_t streamSize, int32_t hostMode)
{
    return hostMode == kHostModeCubase && streamSize > hostBlock ? 4 * hostBlock : 3 * hostBlock;
}
