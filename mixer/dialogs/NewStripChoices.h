#pragma once
#include <functional>
#include <vector>

#include "framework/base/String.h"
#include "mixer/engine/VarnServices.h"

class StringTable;

// What the new-strip dialog offers and what its answer makes, apart from its window: the
// lists of physical inputs, ASIO outputs and Wave pairs of a system with the entries in use
// marked, the source the user's choice names, and the engine calls that make the strip.

// One list entry: its text, whether it can be taken (0: in use, or missing) and its value.
struct NewStripEntry
{
    String text;
    int free = 1;
    int value = 0;
};

struct NewStripLists
{
    std::vector<NewStripEntry> physical; // the stereo pairs, then the mono channels
    std::vector<NewStripEntry> asio;     // the pairs, then the single channels
    std::vector<NewStripEntry> os;       // the Wave pairs
    int stereoCount = 0;                 // S: stereo entries at the head of physical
    int asioPairs = 0;                   // A
    int fxSends = 0;                     // F
    int physicalChoice = -1;             // the first free position of each list, or -1
    int asioChoice = -1;
    int osChoice = -1;
    // Feature 9 without 10: the physical list holds only "Disabled".
    bool physicalDisabled = false;
};

// The lists of the system, named with the strings; the mixer gives the rate code.
NewStripLists BuildNewStripLists(IVarnHardware* system, IVarnMixer* mixer, StringTable& strings);

// The list index of physical position i (stereo: kind 2, mono: kind 1) for the features and
// rate code, as the card numbers its connectors.
struct PhysicalFeatures
{
    bool f1, f2, f4, f9, f10, f11;
    int rate;
};
int StereoListIndex(const PhysicalFeatures& features, int position, int stereoCount);
int MonoListIndex(const PhysicalFeatures& features, int position);
// The stereo pair (kind 2 index) mono input k belongs to; -1 for none.
int MonoPairIndex(const PhysicalFeatures& features, int k, int stereoCount);
// The features of a system as the physical lists read them (f9 also when f10 and f11 are
// both set) and the mixer's rate code (0 without a mixer).
PhysicalFeatures ReadPhysicalFeatures(IVarnHardware* system, IVarnMixer* mixer);

// What the user chose, in the engine's terms: source kind (1 mono and 2 stereo physical, 0
// host, 3 single ASIO channel), sub-kind, choice within it (-1: none) and pre-fader.
struct NewStripChoice
{
    int sourceKind = 0;
    int subKind = 5;
    int choice = -1;
    int preFader = 0;
};
// physicalOrHost 0 physical, 1 host; hostSrc 0 ASIO, 1 Wave, 2, 3 FX send; the three list
// positions and the FX send (-1: none selected).
NewStripChoice ChooseNewStrip(const NewStripLists& lists, int physicalOrHost, int hostSrc, int physicalPosition,
                              int asioPosition, int fxSend, int osPosition, int preFader);

// Makes the chosen strip: made, or status 2 when the card lacks the DSP (the caller says so).
// A choice of -1 of any kind, or a source in use, calls nothing. busy and done go around the
// engine's call.
struct NewStripResult
{
    bool made = false;
    int status = 1;
};
NewStripResult CreateChosenStrip(IVarnHardware* system, const NewStripChoice& choice,
                                 const std::function<void()>& busy = {}, const std::function<void()>& done = {});
