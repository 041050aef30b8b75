#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "mixer/names/PortNames.h"
#include "mixer/names/tests/FakeStringTable.h"
#include "standins/engine/EngineModel.h"

namespace
{
const int kKeep = -2; // M absent from the settings store

// A card of the given features at the given rate code; M is "Tebro192KettermMode".
struct Card
{
    Card(int rate, std::vector<int> features, int m = kKeep)
    {
        profile.present = true;
        profile.rateCode = rate;
        profile.features = std::move(features);
        mixer = std::make_unique<StandinMixer>(profile);
        if (m != kKeep)
            static_cast<StandinHardware*>(mixer->GetHardware())->settings.values["Tebro192KettermMode"] = m;
    }
    HardwareProfile profile;
    std::unique_ptr<StandinMixer> mixer;
};

struct Named
{
    int result;
    std::string name, category;
};

// Names a port with the caller's texts "Keep" and "Cat" in place and checks what it got.
template <class Case, class Port, class Build>
void ExpectName(const Case& c, Port& port, Build build)
{
    SCOPED_TRACE(c.trace);
    Card card(c.rate, c.features, c.m);
    FakeStringTable strings(c.missing);
    PortNames names(card.mixer.get(), strings);
    String name, category;
    name.AssignAscii("Keep");
    category.AssignAscii("Cat");
    EXPECT_EQ((names.*build)(&port, &name, &category, c.shortForm, c.single, c.right), c.expected.result);
    EXPECT_EQ(FakeStringTable::Ascii(name), c.expected.name);
    EXPECT_EQ(FakeStringTable::Ascii(category), c.expected.category);
}

struct InputCase
{
    const char* trace;
    int rate;
    std::vector<int> features;
    int m;
    int kind, index, subKind, number; // number: the ASIO, Wave or MIDI FX index
    int shortForm, single, right;
    const char* missing; // an id the table lacks, or null
    Named expected;
};

TEST(PortNamesTest, InputNames)
{
    const std::vector<InputCase> cases = {
        // Host inputs.
        {"ASIO pair 4", 1, {}, kKeep, 0, 0, 1, 4, 0, 0, 0, nullptr, {1, "OUT 9 / 10", "ASIO_FROM"}},
        {"ASIO pair 5", 1, {}, kKeep, 0, 0, 1, 5, 0, 0, 0, nullptr, {1, "OUT 11/12", "ASIO_FROM"}},
        {"ASIO pair 5 right", 1, {}, kKeep, 0, 0, 1, 5, 0, 1, 1, nullptr, {1, "OUT 12", "ASIO_FROM"}},
        {"ASIO pair 0 left", 1, {}, kKeep, 0, 0, 1, 0, 0, 1, 0, nullptr, {1, "OUT 1", "ASIO_FROM"}},
        {"Wave pair 1", 1, {}, kKeep, 0, 0, 0, 1, 0, 0, 0, nullptr, {1, "3 / 4", "WAVE"}},
        {"Synth", 1, {}, kKeep, 0, 0, 2, 0, 0, 0, 0, nullptr, {1, "", "SYNTH"}},
        {"MIDI FX send 0", 1, {}, kKeep, 0, 0, 3, 0, 0, 0, 0, nullptr, {1, "MIDIFX_SEND_INPUT_1", "GEN_MIDI"}},
        {"MIDI FX send 1 short",
         1,
         {},
         kKeep,
         0,
         0,
         3,
         1,
         1,
         0,
         0,
         nullptr,
         {1, "MIDIFX_SEND_INPUT_2_ABBREV", "GEN_MIDI"}},
        {"MIDI FX text missing",
         1,
         {},
         kKeep,
         0,
         0,
         3,
         0,
         0,
         0,
         0,
         "IDS_MIDIFX_SEND_INPUT_1",
         {1, "?????", "GEN_MIDI"}},
        {"category text missing", 1, {}, kKeep, 0, 0, 1, 0, 0, 0, 0, "IDS_ASIO_FROM", {1, "OUT 1 / 2", "?????"}},
        {"unknown sub-kind", 1, {}, kKeep, 0, 0, 7, 0, 0, 0, 0, nullptr, {0, "Keep", "Cat"}},
        {"single ASIO channel 6", 1, {}, kKeep, 3, 0, 4, 6, 0, 0, 0, nullptr, {1, "OUT 7", "ASIO_FROM"}},
        // Mono physical inputs.
        {"mono 7 at 192 kHz, T, M 1",
         3,
         {9, 10},
         1,
         1,
         7,
         -1,
         0,
         0,
         0,
         0,
         nullptr,
         {1, "MONO_PHYS_INPUT_TEBRO_192_8B", "HOLBRIN"}},
        {"the same, short",
         3,
         {9, 10},
         1,
         1,
         7,
         -1,
         0,
         1,
         0,
         0,
         nullptr,
         {1, "MONO_PHYS_INPUT_TEBRO_192_8B_ABBREV", "HOLBRIN"}},
        {"mono 7 at 192 kHz, M absent",
         3,
         {9, 10},
         kKeep,
         1,
         7,
         -1,
         0,
         0,
         0,
         0,
         nullptr,
         {1, "MONO_PHYS_INPUT_TEBRO_192_8", "HOLBRIN"}},
        {"mono 2 at 48 kHz without F4",
         1,
         {},
         kKeep,
         1,
         2,
         -1,
         0,
         0,
         0,
         0,
         nullptr,
         {1, "MONO_PHYS_INPUT_3", "IOCARD"}},
        {"mono 2 at 48 kHz with F4", 1, {4}, kKeep, 1, 2, -1, 0, 0, 0, 0, nullptr, {1, "MONO_PHYS_INPUT_3", "PCICARD"}},
        {"mono 13 at 44.1 kHz", 0, {}, kKeep, 1, 13, -1, 0, 0, 0, 0, nullptr, {1, "MONO_PHYS_INPUT_14", "PCICARD"}},
        {"mono 19 at 44.1 kHz", 0, {}, kKeep, 1, 19, -1, 0, 0, 0, 0, nullptr, {1, "MONO_PHYS_INPUT_20", "HOLBRIN"}},
        {"mono 20 has no name", 0, {}, kKeep, 1, 20, -1, 0, 0, 0, 0, nullptr, {0, "MONO_PHYS_INPUT_21", "Cat"}},
        {"mono 9 at 88.2 kHz", 4, {}, kKeep, 1, 9, -1, 0, 0, 0, 0, nullptr, {1, "MONO_PHYS_INPUT_96_10", "PCICARD"}},
        {"mono 6 at 192 kHz, F11",
         3,
         {11},
         kKeep,
         1,
         6,
         -1,
         0,
         0,
         0,
         0,
         nullptr,
         {1, "MONO_PHYS_INPUT_PILVO3_192_7", "PCICARD"}},
        {"mono 8 at 192 kHz, F11",
         3,
         {11},
         kKeep,
         1,
         8,
         -1,
         0,
         0,
         0,
         0,
         nullptr,
         {0, "MONO_PHYS_INPUT_PILVO3_192_9", "Cat"}},
        {"mono text missing", 1, {}, kKeep, 1, 0, -1, 0, 0, 0, 0, "IDS_MONO_PHYS_INPUT_1", {1, "?????", "HOLBRIN"}},
        // Stereo physical inputs.
        {"S/PDIF at 48 kHz", 1, {}, kKeep, 2, 0, -1, 0, 0, 0, 0, nullptr, {1, "SPDIF IN L/R", "PCICARD"}},
        {"S/PDIF short", 1, {}, kKeep, 2, 0, -1, 0, 1, 0, 0, nullptr, {1, "SPDIF ", "PCICARD"}},
        {"S/PDIF right", 1, {}, kKeep, 2, 0, -1, 0, 0, 1, 1, nullptr, {1, "SPDIF IN R", "PCICARD"}},
        {"ADAT 3", 1, {}, kKeep, 2, 3, -1, 0, 0, 0, 0, nullptr, {1, "ADAT IN 5 / 6", "PCICARD"}},
        {"ADAT 3 left", 1, {}, kKeep, 2, 3, -1, 0, 0, 1, 0, nullptr, {1, "ADAT IN 5", "PCICARD"}},
        {"numbered 6 with T", 1, {9}, kKeep, 2, 6, -1, 0, 0, 0, 0, nullptr, {1, "IN 2L / 2R(PHONO)", "HOLBRIN"}},
        {"numbered 6 short", 1, {9}, kKeep, 2, 6, -1, 0, 1, 0, 0, nullptr, {1, "IN 2L / 2R", "HOLBRIN"}},
        {"7 without T", 1, {}, kKeep, 2, 7, -1, 0, 0, 0, 0, nullptr, {1, "IN 3L / 3R(PHONO)", "HOLBRIN"}},
        {"7 with T is the mic", 1, {9}, kKeep, 2, 7, -1, 0, 0, 0, 0, nullptr, {1, "MIC_STEREO IN ", "HOLBRIN"}},
        {"base 9, open row", 1, {}, kKeep, 2, 9, -1, 0, 0, 0, 0, nullptr, {1, "IN IN L/R", "IOCARD"}},
        {"base 10 has no name", 1, {}, kKeep, 2, 10, -1, 0, 0, 0, 0, nullptr, {0, "IN 1 / 2", "Cat"}},
        {"double 3 with T and F10", 2, {10, 11}, kKeep, 2, 3, -1, 0, 0, 0, 0, nullptr, {1, "IN 1L / 1R", "HOLBRIN"}},
        {"double 4", 2, {}, kKeep, 2, 4, -1, 0, 0, 0, 0, nullptr, {1, "IN 3L / 3R(PHONO)", "HOLBRIN"}},
        {"double 7, open row", 4, {4}, kKeep, 2, 7, -1, 0, 0, 0, 0, nullptr, {1, "IN IN L/R", "PCICARD"}},
        {"quad T M 1: S/PDIF forced short", 3, {9}, 1, 2, 1, -1, 0, 0, 0, 0, nullptr, {1, "SPDIF ", "HOLBRIN"}},
        {"quad T M 2: ADAT forced short", 3, {9}, 2, 2, 2, -1, 0, 0, 0, 0, nullptr, {1, "ADAT 1 / 2", "HOLBRIN"}},
        {"quad T M 3 keeps the defaults", 3, {9}, 3, 2, 2, -1, 0, 0, 0, 0, nullptr, {1, "IN 1 / 2", "HOLBRIN"}},
        {"quad without T, F11", 5, {11}, kKeep, 2, 1, -1, 0, 0, 0, 0, nullptr, {1, "SPDIF L/R", "PCICARD"}},
        {"quad 2 with F11: no card", 3, {11}, kKeep, 2, 2, -1, 0, 0, 0, 0, nullptr, {1, "IN 3L / 3R(PHONO)", "?????"}},
        {"quad 4, open row", 3, {}, kKeep, 2, 4, -1, 0, 0, 0, 0, nullptr, {1, "IN IN L/R", "IOCARD"}},
        {"missing label keeps the caller's text",
         1,
         {},
         kKeep,
         2,
         1,
         -1,
         0,
         0,
         0,
         0,
         "IDS_ADAT",
         {1, "Keep IN 1 / 2", "PCICARD"}},
        {"other kinds have no name", 1, {}, kKeep, 5, 0, -1, 0, 0, 0, 0, nullptr, {0, "Keep", "Cat"}},
    };
    for (const InputCase& c : cases)
    {
        StandinInput input(c.kind, c.index);
        input.subKind = c.subKind;
        input.asioIndex = input.wavePair = input.midiFxSend = c.number;
        ExpectName(c, input, &PortNames::GetInputName);
    }
}

struct OutputCase
{
    const char* trace;
    int rate;
    std::vector<int> features;
    int m;
    int kind, index, channel; // channel -1: a pair
    int shortForm, single, right;
    const char* missing;
    Named expected;
};

TEST(PortNamesTest, OutputNames)
{
    const std::vector<OutputCase> cases = {
        {"Wave", 1, {}, kKeep, 0, 0, -1, 0, 0, 0, nullptr, {1, "WAVE L / R", "HOST"}},
        {"Wave right", 1, {}, kKeep, 0, 0, -1, 0, 1, 1, nullptr, {1, "WAVE R", "HOST"}},
        {"Wave text missing", 1, {}, kKeep, 0, 0, -1, 0, 0, 0, "IDS_WAVE", {1, "?????", "HOST"}},
        {"ASIO pair 4", 1, {}, kKeep, 1, 4, -1, 0, 0, 0, nullptr, {1, "ASIO_TO IN 9 / 10", "HOST"}},
        {"ASIO pair 5", 1, {}, kKeep, 1, 5, -1, 0, 0, 0, nullptr, {1, "ASIO_TO IN 11/12", "HOST"}},
        {"ASIO channel 10", 1, {}, kKeep, 1, 17, 10, 0, 0, 0, nullptr, {1, "ASIO_TO IN 11", "HOST"}},
        {"ASIO text missing", 1, {}, kKeep, 1, 0, -1, 0, 0, 0, "IDS_ASIO_TO", {1, "?????", "HOST"}},
        {"first port with F4: short form off", 1, {4}, kKeep, 2, 0, -1, 1, 0, 0, nullptr, {1, "OUT L/R", "PCICARD"}},
        {"first port, T and F10",
         1,
         {9, 10},
         kKeep,
         2,
         0,
         -1,
         0,
         0,
         0,
         nullptr,
         {1, "HEADPHONE_LINEOUT 1L / 1R", "Ketterm1"}},
        {"first port, T", 1, {9}, kKeep, 2, 0, -1, 0, 0, 0, nullptr, {1, "HEADPHONE L/R", "CBCARD"}},
        {"first port, plain", 0, {}, kKeep, 2, 0, -1, 0, 0, 0, nullptr, {1, "OUT 1 / 2", "IOCARD"}},
        {"ADAT 3", 1, {}, kKeep, 2, 3, -1, 0, 0, 0, nullptr, {1, "ADAT OUT 3 / 4", "PCICARD"}},
        {"ADAT channel 5", 1, {}, kKeep, 2, 2, 5, 0, 0, 0, nullptr, {1, "ADAT OUT 2", "PCICARD"}},
        {"ADAT 3, F10", 1, {10}, kKeep, 2, 3, -1, 0, 0, 0, nullptr, {1, "ADAT OUT 3 / 4", "HOLBRIN"}},
        {"monitor 9", 1, {}, kKeep, 2, 9, -1, 0, 0, 0, nullptr, {1, "OUT 4L / 4R(MONITOR)", "HOLBRIN"}},
        {"monitor 9 short", 1, {}, kKeep, 2, 9, -1, 1, 0, 0, nullptr, {1, "OUT 4", "HOLBRIN"}},
        {"monitor channel 19", 1, {}, kKeep, 2, 9, 19, 0, 0, 0, nullptr, {1, "OUT 4R(MONITOR)", "HOLBRIN"}},
        {"numbered 7, F10", 1, {10}, kKeep, 2, 7, -1, 0, 0, 0, nullptr, {1, "OUT 3L / 3R", "HOLBRIN"}},
        {"12 has no name", 1, {}, kKeep, 2, 12, -1, 0, 0, 0, nullptr, {0, "OUT 1 / 2", "Cat"}},
        {"double without F1 or F10: base layout",
         2,
         {},
         kKeep,
         2,
         9,
         -1,
         0,
         0,
         0,
         nullptr,
         {0, "OUT 4L / 4R(MONITOR)", "Cat"}},
        {"double F10: line out",
         2,
         {10},
         kKeep,
         2,
         0,
         -1,
         0,
         0,
         0,
         nullptr,
         {1, "HEADPHONE_LINEOUT 1L / 1R", "IOCARD"}},
        {"double F1 without T: box", 4, {1}, kKeep, 2, 5, -1, 0, 0, 0, nullptr, {1, "OUT 2L / 2R", "HOLBRIN"}},
        {"double F1 without T, 8", 4, {1}, kKeep, 2, 8, -1, 0, 0, 0, nullptr, {0, "OUT 1 / 2", "Cat"}},
        {"quad F1: ADAT", 3, {1}, kKeep, 2, 1, -1, 0, 0, 0, nullptr, {1, "ADAT 1 / 2", "PCICARD"}},
        {"quad F2, F11: S/PDIF", 3, {2, 11}, kKeep, 2, 2, -1, 0, 0, 0, nullptr, {1, "SPDIF L/R", "PCICARD"}},
        {"quad T F10 M 1: S/PDIF", 3, {9, 10}, 1, 2, 2, -1, 0, 0, 0, nullptr, {1, "SPDIF L/R", "HOLBRIN"}},
        {"quad T F10 M 2: ADAT", 3, {9, 10}, 2, 2, 3, -1, 0, 0, 0, nullptr, {1, "ADAT 1 / 2", "HOLBRIN"}},
        {"quad 5 without F10 has no name", 3, {}, kKeep, 2, 5, -1, 0, 0, 0, nullptr, {0, "OUT 1 / 2", "Cat"}},
        {"missing label: Test Output stays",
         1,
         {},
         kKeep,
         2,
         3,
         -1,
         0,
         0,
         0,
         "IDS_ADAT",
         {1, "Test Output OUT 3 / 4", "PCICARD"}},
        {"other kinds: Test Output", 1, {}, kKeep, 4, 0, -1, 0, 0, 0, nullptr, {1, "Test Output", "Cat"}},
    };
    for (const OutputCase& c : cases)
    {
        StandinOutput output(c.kind, c.index);
        output.channel = c.channel;
        ExpectName(c, output, &PortNames::GetOutputName);
    }
}

TEST(PortNamesTest, WithoutMixerEveryFeatureIsOff)
{
    FakeStringTable strings;
    PortNames names(nullptr, strings);
    StandinInput input(1, 2);
    String name, category;
    EXPECT_EQ(names.GetInputName(&input, &name, &category, 0, 0, 0), 1);
    EXPECT_EQ(FakeStringTable::Ascii(name), "MONO_PHYS_INPUT_3");
    EXPECT_EQ(FakeStringTable::Ascii(category), "IOCARD");
    EXPECT_EQ(names.GetInputName(nullptr, &name, &category, 0, 0, 0), 0);
}

// A small mixer: strips 0-2, aux 1, the main bus, and inserts on them.
struct Buses
{
    Buses()
    {
        for (int i = 0; i < 3; ++i)
            strips.push_back(std::make_unique<StandinStrip>(i));
        auxBus.aux = mix.Aux(1);
    }
    std::vector<std::unique_ptr<StandinStrip>> strips;
    StandinBus firstAuxBus{1};
    StandinBus auxBus{1};
    StandinBus mainBus{2};
    StandinBus oddBus{5};
    StandinMainMix mix{{&firstAuxBus, &auxBus}, &mainBus, {}, {}};
};

TEST(PortNamesTest, WhatAnInputFeeds)
{
    Buses b;
    StandinInsert onAux(&b.auxBus, 0), onMain(&b.mainBus, 0), onStrip(&b.strips[1]->bus, 2);
    struct Case
    {
        const char* trace;
        bool assigned;
        StandinStrip* strip;
        IVarnInsert* destination;
        bool plugin;
        int shortForm;
        const char* missing;
        const char* expected;
    } cases[] = {
        {"unassigned", false, nullptr, nullptr, false, 0, nullptr, "-"},
        {"an aux", true, nullptr, &onAux, false, 0, nullptr, "AUX 2"},
        {"the main bus", true, nullptr, &onMain, false, 0, nullptr, "MIX"},
        {"the main bus, no text", true, nullptr, &onMain, false, 0, "IDS_MIX", "Main"},
        {"a strip's insert", true, nullptr, &onStrip, false, 0, nullptr, "STRIP 2"},
        {"a strip directly", true, b.strips[2].get(), nullptr, false, 0, nullptr, "STRIP 3"},
        {"short", true, b.strips[2].get(), nullptr, false, 1, nullptr, "STRIP_ABBREV 3"},
        {"no strip text", true, b.strips[2].get(), nullptr, false, 0, "IDS_STRIP", "Strip 3"},
        {"the plug-in", true, nullptr, nullptr, true, 0, nullptr, "VSTPPI"},
        {"assigned to nothing known", true, nullptr, nullptr, false, 0, nullptr, "Keep"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        FakeStringTable strings(c.missing);
        PortNames names(nullptr, strings);
        StandinInput input(2, 0);
        input.assigned = c.assigned;
        input.strip = c.strip;
        input.destination = c.destination;
        input.takenByPlugin = c.plugin;
        String name;
        name.AssignAscii("Keep");
        names.GetStripName(&input, &name, c.shortForm);
        EXPECT_EQ(FakeStringTable::Ascii(name), c.expected);
    }
}

TEST(PortNamesTest, WhatFeedsAnOutput)
{
    Buses b;
    StandinInsert second(&b.strips[2]->bus, 1), first(&b.strips[0]->bus, 0), third(&b.strips[1]->bus, 2);
    StandinRoutingTable table;
    table.base = 2; // the physical entries start after two others
    for (int channel = 0; channel < 8; ++channel)
    {
        table.entries.push_back(std::make_unique<StandinOutput>(2, channel / 2));
        table.entries.back()->channel = channel;
    }
    auto feed = [](StandinOutput& port, StandinStrip& strip, StandinInsert& insert) {
        port.source = &strip.bus;
        port.insert = &insert;
    };
    // Output 1's channels are entries 4 and 5; output 2's right channel is entry 7.
    feed(*table.entries[4], *b.strips[0], first);
    feed(*table.entries[5], *b.strips[1], third);
    feed(*table.entries[7], *b.strips[1], third);

    struct Case
    {
        const char* trace;
        int kind, index;
        IVarnInsertChain* source;
        IVarnInsert* insert;
        bool plugin;
        int shortForm;
        const char* expected;
    } cases[] = {
        {"nothing", 1, 0, nullptr, nullptr, false, 0, "-"},
        {"a strip's insert", 1, 0, &b.strips[2]->bus, &second, false, 0, "STRIP 3-INSERT 2"},
        {"short", 1, 0, &b.strips[2]->bus, &second, false, 1, "STRIP_ABBREV 3-INSERT_ABBREV 2"},
        {"the main bus", 1, 0, &b.mainBus, &second, false, 0, "MIX-INSERT 2"},
        {"the plug-in", 1, 0, &b.strips[2]->bus, nullptr, true, 0, "VSTPPI"},
        {"a pair from two strips", 2, 1, nullptr, nullptr, false, 0, "STRIP 1/2-INSERT 1/3"},
        {"only the right channel", 2, 2, nullptr, nullptr, false, 0, "Strip 2-INSERT3"},
        {"an unfed pair", 2, 0, nullptr, nullptr, false, 0, "-"},
        {"an ASIO pair ignores the table", 1, 1, nullptr, nullptr, false, 0, "-"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        FakeStringTable strings;
        PortNames names(nullptr, strings);
        StandinOutput output(c.kind, c.index);
        output.table = &table;
        output.source = c.source;
        output.insert = c.insert;
        output.takenByPlugin = c.plugin;
        String name;
        names.GetInsertName(&output, &name, c.shortForm);
        EXPECT_EQ(FakeStringTable::Ascii(name), c.expected);
    }
}

TEST(PortNamesTest, MainMixNames)
{
    Buses b;
    struct Case
    {
        const char* trace;
        IVarnInsertChain* bus;
        int withSide, right;
        const char* missing;
        const char* expected;
    } cases[] = {
        {"main, left", &b.mainBus, 1, 0, nullptr, "MAIN_MIX  L"},
        {"main, left, no text", &b.mainBus, 1, 0, "IDS_MAIN_MIX", "Main Mix  L"},
        {"main, no side", &b.mainBus, 0, 0, nullptr, "MAIN_MIX "},
        {"aux 2, right", &b.auxBus, 1, 1, nullptr, "AUX 2  R"},
        {"aux, no text", &b.auxBus, 0, 0, "IDS_AUX", "Aux 2 "},
        {"strip 2", &b.strips[1]->bus, 0, 0, nullptr, "STRIP 2 "},
        {"other bus types leave the name", &b.oddBus, 1, 0, nullptr, "Keep"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        FakeStringTable strings(c.missing);
        PortNames names(nullptr, strings);
        String name;
        name.AssignAscii("Keep");
        names.GetMainMixName(c.bus, &name, c.withSide, c.right);
        EXPECT_EQ(FakeStringTable::Ascii(name), c.expected);
    }
}
#ifdef KIV_STRINGS_XML
// Records the ids the builders look up for the ports they name (Keep after each call).
class RecordingStrings : public FakeStringTable
{
public:
    const String* FindStringById(const char* id) override
    {
        pending_.insert(id);
        return FakeStringTable::FindStringById(id);
    }
    void Keep(int named)
    {
        if (named)
            asked.insert(pending_.begin(), pending_.end());
        pending_.clear();
    }
    std::set<std::string> asked;

private:
    std::set<std::string> pending_;
};

TEST(PortNamesTest, TheShippedStringTableHoldsEveryComposedId)
{
    RecordingStrings strings;
    const int featureIds[] = {1, 2, 4, 9, 10, 11};
    for (int rate = 0; rate <= 5; ++rate)
    {
        for (int mask = 0; mask < 64; ++mask)
        {
            std::vector<int> features;
            for (int bit = 0; bit < 6; ++bit)
            {
                if (mask & (1 << bit))
                    features.push_back(featureIds[bit]);
            }
            for (int m : {kKeep, 0, 1, 2})
            {
                Card card(rate, features, m);
                PortNames names(card.mixer.get(), strings);
                for (int shortForm = 0; shortForm < 2; ++shortForm)
                {
                    String name, category;
                    // The mono inputs a card has at the rate (the interface box names any).
                    int monoInputs = rate == 0 || rate == 1 ? 20 : rate == 2 || rate == 4 ? 16 : 10;
                    for (int n = 0; n < 24; ++n)
                    {
                        for (int kind = 1; kind <= 2; ++kind)
                        {
                            StandinInput input(kind, n);
                            int named = names.GetInputName(&input, &name, &category, shortForm, 0, 0);
                            strings.Keep(named && (kind == 2 || n < monoInputs));
                        }
                        StandinOutput output(2, n);
                        strings.Keep(names.GetOutputName(&output, &name, &category, shortForm, 0, 0));
                    }
                }
            }
        }
    }
    for (int shortForm = 0; shortForm < 2; ++shortForm)
    {
        PortNames names(nullptr, strings);
        String name, category;
        for (int subKind = 0; subKind <= 3; ++subKind)
        {
            for (int send = 0; send < 16; ++send)
            {
                StandinInput host(0, 0);
                host.subKind = subKind;
                host.midiFxSend = host.wavePair = host.asioIndex = send;
                strings.Keep(names.GetInputName(&host, &name, &category, shortForm, 0, 0));
            }
        }
        for (int kind = 0; kind <= 1; ++kind)
        {
            StandinOutput output(kind, 0);
            strings.Keep(names.GetOutputName(&output, &name, &category, shortForm, 0, 0));
        }
        Buses b;
        StandinInsert insert(&b.auxBus, 0);
        StandinInput input(2, 0);
        input.assigned = true;
        input.takenByPlugin = true;
        names.GetStripName(&input, &name, shortForm);
        for (IVarnInsertChain* bus :
             {static_cast<IVarnInsertChain*>(&b.strips[0]->bus), static_cast<IVarnInsertChain*>(&b.auxBus),
              static_cast<IVarnInsertChain*>(&b.mainBus)})
        {
            StandinOutput output(1, 0);
            output.source = bus;
            output.insert = &insert;
            names.GetInsertName(&output, &name, shortForm);
            names.GetMainMixName(bus, &name, 1, shortForm);
        }
        strings.Keep(1);
    }

    std::ifstream file(KIV_STRINGS_XML);
    ASSERT_TRUE(file) << KIV_STRINGS_XML;
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::set<std::string> shipped;
    std::regex idPattern("<string id=\"([^\"]+)\"");
    for (std::sregex_iterator it(text.begin(), text.end(), idPattern), end; it != end; ++it)
        shipped.insert((*it)[1]);
    std::vector<std::string> missing;
    for (const std::string& id : strings.asked)
    {
        if (!shipped.count(id))
            missing.push_back(id);
    }
    EXPECT_EQ(missing, std::vector<std::string>{});
    EXPECT_GT(strings.asked.size(), 200u);
}
#endif
} // namespace
