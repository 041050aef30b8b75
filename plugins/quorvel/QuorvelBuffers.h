#pragma once
// How the effects plug-in sizes its driver buffer and stream and which delay it reports: the
// base's choice for the host block, then its own rules (extra buffering doubles the driver
// buffer, render mode counts the stream in driver buffers, one host reports a block more). The
// stream holds the delay reported exactly, whatever the host's call lengths.

#include "plugins/base/asio/BufferChoice.h"

#include <cstdint>

// Host modes of the effects plug-in.
enum QuorvelHostMode : int32_t
{
    kHostModeNormal = 0,
    kHostModeCubase = 1, // the host's product text is exactly "Cubase VST"
    kHostModeRender = 2, // render mode is on in the preferences
};

struct QuorvelBuffers
{
    int32_t frames = 0;     // driver buffer and stream block
    int32_t streamSize = 0; // frames of buffering the delay is counted from
    int32_t held = 0;       // samples the stream holds beyond the card's loop (AudioStream::HoldDelay)
    int32_t latency = 0;    // the initial delay reported to the host: the loop of two buffers and the held
};

// hostBlock must be positive.
QuorvelBuffers PlanQuorvelBuffers(int32_t hostBlock, const DriverBufferSizes& sizes, bool extraBufferPreference,
                                  int32_t hostMode);

// The delay reported while no stream runs.
int32_t QuorvelLatencyWithoutStream(int32_t hostBlock, int32_t streamSize, int32_t hostMode);
