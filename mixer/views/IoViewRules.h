#pragma once

// The choices of the outputs and inputs views over plain values: which connectors of a
// hardware system get a row, at which list position an input row's input lies, the order of
// the host inputs, and the state (and so the look) of an output row.

// What the views read of a hardware system: its model code and the feature tests F1, F2, F4,
// F9, F10 and F11 (IVarnHardware 2).
struct IoHardware
{
    int modelCode = 0;
    bool f1 = false;
    bool f2 = false;
    bool f4 = false;
    bool f9 = false;
    bool f10 = false;
    bool f11 = false;
};

// The features as the rules read them: F9 also counts as present when F10 and F11 both are.
IoHardware MakeIoHardware(int modelCode, bool f1, bool f2, bool f4, bool f9, bool f10, bool f11);

// Whether physical output pair i (0-based in the physical group) gets a row.
bool ShowsPhysicalOutput(const IoHardware& hardware, int i);

// The input groups the physical mode lists, in order (IVarnInputList kinds).
constexpr int kPhysicalInputGroups[] = {1, 2};
// The list position of the input that row i of a physical group (1 or 2) shows; count is
// the group's input count. The position may lie past the group's end, where no input is.
int PhysicalInputPosition(const IoHardware& hardware, int group, int i, int count);

// The host mode lists the inputs of these groups and types (IVarnInput 5), in this order.
struct HostInputSlot
{
    int group;
    int type;
};
constexpr HostInputSlot kHostInputOrder[] = {{3, 4}, {0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 5}};

// What an output row's state is computed from. Partners are the routing table's two channel
// entries of a physical pair; an absent one is not in use.
struct OutputFacts
{
    bool hasOutput = false;
    bool master = false;     // the system is the master one
    bool physical = false;   // the output is in the physical group
    bool overridden = false; // a send insert took the output
    bool partnerInUse[2] = {false, false};
    bool inUse = false;
    int assignment = 2; // 0 main mix, 1 monitor mix, 2 none
    bool mixOverride = false;
};

// Output row states; each has a template per mode (OutputTemplate).
enum OutputState
{
    kNonMasterUnassigned = 0,
    kNonMasterAssigned = 1,
    kMixPanel = 2,
    kMonPanel = 3,
    kMixOverride = 4,
    kMonOverride = 5,
    kUnassigned = 6,
    kUnassignedOverride = 7
};
constexpr int kOutputStateCount = 8;

// The state of the row; answers whether the output gets a row when the list is filled (in host
// mode the states 0, 2, 3 and 6 get none).
bool ComputeOutputState(const OutputFacts& facts, int hostMode, int& state);

// The skin template of a state in physical (hostMode 0) or host mode; null outside 0-7.
const char* OutputTemplate(int state, int hostMode);
