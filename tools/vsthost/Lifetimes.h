#pragma once
// vsthost --lifetimes N: N instance lifetimes one after another in this process, as a host
// that rescans its plug-ins or reloads a project makes them. Each lifetime makes the instance
// through the plug-in's entry point, opens it, sets the rate and the block, resumes it,
// processes a few blocks of noise, suspends and closes it. A line per lifetime tells what came
// back ("through the card": not the input and not silence; "passed through": the input as
// sent; "silent") and how long the entry point and the close took; a summary line ends it.
// Every step is watched: one that does not return in kStepLimitMs ends the process with
// exit code 3 after a line naming the lifetime and the step.

#include "plugins/base/vst/VstRecord.h"

struct LifetimeOptions
{
    int lifetimes = 0;
    int rate = 44100;
    int block = 512;
    int blocks = 24;
    bool lockstep = false;   // step the simulated card's driver after each block
    bool accumulate = false; // process instead of processReplacing
};

constexpr unsigned kStepLimitMs = 60000;

// Answers 0 when every lifetime ran, 1 when the entry point gave no effect in one of them.
int RunLifetimes(VstMainProc entry, VstHostCallback host, const LifetimeOptions& options);
