#pragma once
// How the effects plug-in sizes its driver buffer and stream and which delay it reports: the
// base's choice for the host block, then its own rules (extra buffering doubles the driver
// buffer, render mode counts the stream in driver buffers, one host reports a block more).

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
    int32_t frames = 0;        // driver buffer and stream block
    int32_t streamSize = 0;    // frames of buffering the delay is counted from
    int32_t latencyBlocks = 0; // stream blocks kept queued
    bool extraBuffers = false; // the stream holds more than the host's blocks
    bool lead = false;         // the host runs a block ahead of a buffer that is no multiple of its block
    int32_t readSkip = 0;      // samples the host's first read after a start leaves out
    int32_t latency = 0;       // the initial delay reported to the host
};

// hostBlock must be positive.
QuorvelBuffers PlanQuorvelBuffers(int32_t hostBlock, const DriverBufferSizes& sizes, bool extraBufferPreference,
                                  int32_t hostMode);

// The delay reported while no stream runs.
int32_t QuorvelLatencyWithoutStream(int32_t hostBlock, int32_t streamSize, int32_t hostMode);
