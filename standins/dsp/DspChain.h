#pragma once
// Runs one route's inserts over a stereo block, as the card's DSP runs a plug-in instance's
// chain between its send and its return pair. Samples are doubles in -1..1.
//
// Per kind, on the engine's 0..1 values: a DSP effect's wet signal is 2 x "Gain" x in and its
// output (1 - "Mix") x in + "Mix" x wet; a "Trim Pot" gives 2 x "Gain" x in; a "Test Signal"
// puts "Level" x sin(2 pi "Frequency" t) in place of its input, its phase kept from block to
// block; a "Peak Meter" and the sends pass. The defaults (Gain 0.5, Mix 1) give every sample
// back unchanged. A bypassed insert is skipped; while any insert is soloed, the others are
// skipped (a bypassed solo stays skipped: bypass wins). Each insert's meter is the peak of its
// output block over both channels (0..1; 0 when skipped).
//
// Run allocates nothing and takes no lock: it is called on the driver's switch thread.

#include "standins/dsp/DspTable.h"

// What a chain keeps between blocks: the test signals' phases, for the inserts of one serial.
struct DspChainState
{
    uint32_t serial = 0;
    double phase[DspRouteSnapshot::kMaxInserts] = {}; // in cycles, 0..1
};

namespace DspChain
{
enum Kind : uint32_t
{
    kEffect = 1,
    kTrimPot = 2,
    kTestSignal = 3,
    kPeakMeter = 4,
};

// The card's integer samples as the chain's doubles and back (rounded, clamped): 16-bit
// samples over 2^15, 32-bit ones over 2^31.
double ToDouble(double sample, bool int16);
int32_t FromDouble(double value, bool int16);

// Runs route over frames samples of left and right in place; meters gets one level per insert
// of the route (at most DspRouteSnapshot::kMaxInserts).
void Run(const DspRouteSnapshot& route, double rate, DspChainState& state, double* left, double* right, int frames,
         float* meters);
} // namespace DspChain
