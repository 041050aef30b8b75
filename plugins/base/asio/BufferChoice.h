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
    int32_t chosen = 0;      // driver buffer and stream block, in frames
    int32_t latencySize = 0; // frames of driver buffering asked for when no pair runs
    bool enlarged = false;   // the driver buffer differs from the host block
};

// Whether the driver takes a buffer of `size` frames: within its range and on its step.
bool FitGranularity(int32_t size, const DriverBufferSizes& sizes);

// The smallest multiple of the host block the driver takes. When there is none (host 441
// with a step of 64), the smallest size the driver takes that holds a host block, or failing
// that its largest: the stream carries audio across block boundaries either way.
// hostBlock must be positive.
BufferChoice ChooseBufferSize(int32_t hostBlock, const DriverBufferSizes& sizes);

// The least delay a stream of `frames` frames holds beyond the card's loop without losing a
// sample, whatever the call lengths: a host call may begin anywhere within a driver buffer and
// last up to a host block (see AudioStream::HoldDelay).
int32_t LeastHeldDelay(int32_t hostBlock, int32_t frames);

// The delay the routing plug-in's stream holds beyond the card's loop: one driver buffer and
// one host block, a sample more than the least.
int32_t HeldDelayFor(int32_t hostBlock, const BufferChoice& choice);

// The delay the host is told before the registry settings apply: the held delay and the
// card's loop, which returns a buffer two buffers after it was played.
int32_t InitialDelayFor(int32_t hostBlock, const BufferChoice& choice);
