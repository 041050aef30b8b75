#pragma once
// How a plug-in that carries audio through the card sizes the driver buffer for a host block:
// the driver's buffer must be one it takes, and the stream's blocks hold exactly one driver
// buffer.

#include <cstdint>

struct DriverBufferSizes
{
    int32_t minimum;
    int32_t maximum;
    int32_t granularity; // -1: powers of two; 0: no step; else sizes are multiples of it
    int32_t preferred;
};

struct BufferChoice
{
    int32_t chosen = 0;        // driver buffer and stream block, in frames
    int32_t latencySize = 0;   // frames of driver buffering the latency is counted from
    int32_t latencyBlocks = 0; // blocks of the chosen size the stream keeps queued
    bool enlarged = false;     // the driver buffer differs from the host block
    // The driver buffer is no multiple of the host block: the host must run a block ahead.
    bool NeedsLead(int32_t hostBlock) const { return chosen % hostBlock != 0; }
};

// Whether the driver takes a buffer of `size` frames: within its range and on its step.
bool FitGranularity(int32_t size, const DriverBufferSizes& sizes);

// The smallest multiple of the host block the driver takes. When there is none (host 441
// with a step of 64), the smallest size the driver takes that holds a host block, or failing
// that its largest: the stream carries audio across block boundaries either way. The latency
// is counted in stream blocks and is at least one, at least what one host block spans, and
// two when the driver buffer is no multiple of the host block.
// hostBlock must be positive.
BufferChoice ChooseBufferSize(int32_t hostBlock, const DriverBufferSizes& sizes);

// The delay the host is told before the registry settings apply: three host blocks, or
// three latency sizes when the driver buffer was enlarged (a block each way in the stream and
// a card that returns a buffer two buffers after it was played), and one host block more
// when the host runs a block ahead.
int32_t InitialDelayFor(int32_t hostBlock, const BufferChoice& choice);
