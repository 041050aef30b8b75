#pragma once
// The simulated card's ASIO driver and the maker's device enumerator, served by
// KivAsioStandin.dll. Tests and tools/vsthost reach the simulation through the exported
// control functions below (found with GetProcAddress on the loaded stand-in).
//
// Configuration: an INI file named by the environment variable KIV_ASIO_STANDIN_CONFIG, read
// when a driver or enumerator object is created; missing keys keep the defaults.
//   [Driver]  Inputs, Outputs (8, 8), InputName<k>, OutputName<k> ("In <k+1>", "Out <k+1>"),
//             SampleType (16 or 18; 18), MinBuffer, MaxBuffer, PreferredBuffer, Granularity
//             (64, 2048, 256, 32), Rate (44100), InputLatency, OutputLatency (256, 256),
//             LoopDelay (extra samples of the loop, 0; "buffer": one buffer of the size the
//             client creates, the card's loop of two buffers), LoopGain (0.5), OutputReady (its answer, 0),
//             Clock ("thread": switches at the real period; "manual": only StandinAsioStep),
//             FailInit, FailGetChannels, FailCreateBuffers, FailStart, FailGetSampleRate,
//             RefuseKivInterface (0 or 1)
//   [Enumerator] Devices (count), Device<i> = "vendor device subsystem" in hex; the default
//             lists an unrelated device of the maker and then the card.
// Loop: output channel k comes back on input channel k, multiplied by LoopGain, and an output
// sample reappears on the input bufferSize + LoopDelay samples later.
// The card's DSP (always on): createBuffers and start map the engine's DSP table
// (standins/dsp/DspTable.h) when the mixer's engine has made it; a table of another magic,
// version or size is refused with the call-log line "dsp table refused: <why>". Every return
// pair r whose inputs 2r, 2r+1 are buffered and whose route is active hears the route's send
// pair s (outputs 2s, 2s+1, x LoopGain as the loop) through the route's inserts instead of the
// plain loop: as doubles (/2^31 or /2^15), through the chain, rounded and clamped back. The
// inserts on the engine's 0..1 values: a DSP effect gives (1 - Mix) in + Mix x 2 Gain in, a
// "Trim Pot" 2 Gain in, a "Test Signal" Level x sin(2 pi Frequency t) in place of its input
// (phase kept across blocks), a "Peak Meter" and the sends pass; the defaults (Gain 0.5, Mix
// 1) are exact unity. Bypass skips an insert; while any insert is soloed the others are
// skipped, and bypass wins over solo. Each insert's meter, the peak of its output block over
// both channels, goes back to the table with the serial run, and the engine's meters
// ("Level", "Peak") read it. Each switch copies the route at capture (a route being written
// keeps the last copy), so a change the engine published before switch n is in the block
// switch n delivers: no latency is added. Nothing allocates or waits on the switch thread.

#include "plugins/base/asio/ComTypes.h"

#include <cstdint>

// {6DA30E89-6CC7-45EE-8ACC-FAA75E5C448F}: class and interface id of the simulated driver.
inline constexpr GUID kStandinDriverId = {0x6da30e89, 0x6cc7, 0x45ee, {0x8a, 0xcc, 0xfa, 0xa7, 0x5e, 0x5c, 0x44, 0x8f}};

constexpr const char* kStandinDriverName = "KIV Corvan ASIO";
constexpr const char* kStandinModuleName = "KivAsioStandin.dll";
constexpr const char* kStandinConfigVariable = "KIV_ASIO_STANDIN_CONFIG";

extern "C"
{
    // Runs one buffer switch on every started driver in manual clock mode; answers how many ran.
    using StandinAsioStepProc = int32_t (*)();
    // Lets `frames` samples of time pass on every started driver in manual clock mode: each runs
    // a switch whenever another whole buffer of time has passed. Answers the switches run.
    using StandinAsioStepFramesProc = int32_t (*)(int32_t frames);
    // Sends a reset request (message selector 3) to every driver that has buffers.
    using StandinAsioRequestResetProc = int32_t (*)();
    // Copies the call log (one call a line, "name arg..."), answers its full length.
    using StandinAsioCallLogProc = int32_t (*)(char* text, int32_t size);
    // Empties the call log and the counters.
    using StandinAsioClearLogProc = void (*)();
    // Buffer switches run and outputReady calls since the last clear (not in the log).
    using StandinAsioCountersProc = void (*)(int32_t* switches, int32_t* outputReadyCalls);
}
