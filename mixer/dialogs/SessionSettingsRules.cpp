#include "mixer/dialogs/SessionSettingsRules.h"

#include <algorithm>
#include <initializer_list>

namespace SessionSettingsRules
{
namespace
{
const char kMidiInput2[] = "MidiInput2Src";

int MidiInput2Default(const Hardware& hardware)
{
    if (hardware.Has(3))
        return 1;
    return hardware.Has(1) || hardware.Has(10) ? 0 : -1;
}

// The family of a rate code: its two codes, base rate first; -1 outside.
int FamilyOf(int code)
{
    switch (code)
    {
    case 0:
    case 1:
        return 0;
    case 4:
    case 2:
        return 1;
    case 5:
    case 3:
        return 2;
    default:
        return -1;
    }
}

struct RateName
{
    int code;
    const char* text;
    int hertz;
};
const RateName kRates[3][2] = {{{0, "44.1 KHz", 44100}, {1, "48 KHz", 48000}},
                               {{4, "88.2 KHz", 88200}, {2, "96 KHz", 96000}},
                               {{5, "176.4 KHz", 176400}, {3, "192 KHz", 192000}}};

// Feature 9 as the level rules see it: also present when features 10 and 11 both are.
bool LevelFeature9(const Hardware& hardware)
{
    return hardware.Has(9) || (hardware.Has(10) && hardware.Has(11));
}

void Level(std::vector<Enabling>& out, std::initializer_list<const char*> items, bool enabled)
{
    for (const char* item : items)
        for (const char* suffix : {"Minus10", "Plus4", "Tag"})
            out.push_back({std::string(item) + suffix, enabled});
}

void Format(std::vector<Enabling>& out, std::initializer_list<const char*> controls, bool enabled)
{
    for (const char* control : controls)
    {
        out.push_back({control, enabled});
        out.push_back({std::string(control) + "Tag", enabled});
    }
}

void Plain(std::vector<Enabling>& out, std::initializer_list<const char*> controls, bool enabled)
{
    for (const char* control : controls)
        out.push_back({control, enabled});
}
} // namespace

bool IsHighRate(int rateCode)
{
    return rateCode == 3 || rateCode == 5;
}

std::vector<ItemRule> ItemRules(const Hardware& hardware, int rateCode)
{
    const bool f4 = hardware.Has(4);
    const bool f9 = hardware.Has(9);
    return {
        {kMidiInput2, 2, MidiInput2Default(hardware), !f4 && !f9},
        {"PCICardOpticalOut", 1, 0, !f4},
        {"Out1L1R", 1, 1, !f4},
        {"Out2L2R", 1, 1, !f4},
        {"Out3L3R", 1, 1, !f4},
        {"Out4L4R", 1, 1, !f4 && !f9},
        {"IOCardOut1L1R", 1, 1, !f4 && !f9},
        {"PCICardOpticalIn", 1, 0, !f4},
        {"DockIn1L1R", 1, 0, !f4},
        {"DockIn2L2R", 1, 0, !f4},
        {"DockIn3L3R", 1, 0, !f4 && !f9},
        {"IOCardIn1L1R", 1, 0, !f4 && !f9},
        {"SPDIFFormat", 1, 0, true},
        {"PCICardSpdifIn", 1, 0, f4},
        {"SoftLimit", 1, 1, f9},
        {"Tebro192KettermMode", 20, 0, f9 && IsHighRate(rateCode)},
    };
}

ItemStart Start(const ItemRule& rule, const Hardware& hardware, Stored stored)
{
    const bool midi = std::string(rule.name) == kMidiInput2;
    // The second MIDI input cannot take the sync card's port on hardware without one; -1
    // is the store's "none".
    if (midi && stored.found && stored.value == -1)
        stored.found = false;
    if (midi && stored.found && stored.value == 1 && !hardware.Has(3))
        return {rule.name, rule.maximum, rule.defaultValue, true};
    if (stored.found)
        return {rule.name, rule.maximum, stored.value, false};
    return {rule.name, rule.maximum, rule.defaultValue, rule.writeWhenMissing};
}

std::vector<Entry> RateEntries(int rateCode, const std::vector<int>& supported)
{
    const int family = FamilyOf(rateCode);
    if (family < 0)
        return {};
    std::vector<Entry> entries;
    for (const RateName& rate : kRates[family])
        entries.push_back(
            {rate.text, rate.code, std::find(supported.begin(), supported.end(), rate.code) != supported.end()});
    return entries;
}

int HertzOfRate(int code, int currentRate)
{
    const int family = FamilyOf(currentRate);
    if (family < 0)
        return 0;
    for (const RateName& rate : kRates[family])
        if (rate.code == code)
            return rate.hertz;
    return 0;
}

SyncList SyncEntries(const Hardware& hardware, const std::vector<int>& sources, int rateCode, int kettermMode)
{
    SyncList list{{}, false};
    const bool high = IsHighRate(rateCode);
    if (hardware.Has(9) || (hardware.Has(10) && hardware.Has(11)))
    {
        if (hardware.Has(10))
        {
            for (int id : sources)
            {
                if (id == 5 && (!high || kettermMode != 2))
                    list.entries.push_back({"Dock S/PDIF", 5, true});
                else if (id == 2 && (!high || kettermMode != 0))
                    list.entries.push_back({"Dock ADAT", 2, true});
            }
        }
        else
        {
            list.entries.push_back({"Disabled", 0, true});
            list.disabled = true;
        }
    }
    else
    {
        if (!high || hardware.Has(11))
            list.entries.push_back({"S/PDIF", 1, true});
        if (!hardware.Has(4))
            list.entries.push_back({"ADAT", 2, true});
    }
    if (hardware.Has(3))
        list.entries.push_back({"WORD CLOCK", 3, true});
    return list;
}

bool RateEnabled(int rateType)
{
    return rateType != 1;
}

bool SyncEnabled(const Hardware& hardware, int rateType)
{
    return rateType == 1 && (!hardware.Has(9) || hardware.Has(10));
}

Pages PagesFor(const Hardware& hardware)
{
    if (hardware.Has(11))
        return {{0, 1, 5}, {Refresh::kClock, Refresh::kMidi, Refresh::kLevels}};
    if (hardware.Has(9))
        return {{0, 4}, {Refresh::kClock, Refresh::kLevels}};
    if (hardware.Has(4))
        return {{0, 3}, {Refresh::kFeature4Sync, Refresh::kSecondSpdif}};
    return {{0, 1, 2}, {Refresh::kClock, Refresh::kMidi, Refresh::kLevels}};
}

std::vector<Enabling> MidiControls(const Hardware& hardware)
{
    std::vector<Enabling> out;
    const bool dock = hardware.Has(1) || hardware.Has(10);
    Plain(out, {"DockMidi2", "DockMidi2Tag"}, dock);
    Plain(out, {"SyncMidiIn", "SyncMidiInTag"}, hardware.Has(3));
    return out;
}

std::vector<Enabling> Feature4SyncControls(const Hardware& hardware, int rateCode)
{
    std::vector<Enabling> out;
    if (IsHighRate(rateCode) && !hardware.Has(3))
        Plain(out, {"ExtSyncSrc", "External", "ExternalTag", "SyncSrcTag"}, false);
    return out;
}

std::vector<Enabling> SecondSpdifControls(int modelRateCode)
{
    std::vector<Enabling> out;
    if (!IsHighRate(modelRateCode))
        return out;
    Plain(out, {"PCICardSpdifIn"}, false);
    Format(out, {"RCAIn", "OptIn"}, false);
    Plain(out, {"SPDIFFormat2", "SPDIFTag2", "AESEBWTag2", "SPDIF2", "AESEBW2"}, false);
    return out;
}

std::vector<Enabling> LevelControls(const Hardware& hardware, int rateCode, int kettermMode)
{
    std::vector<Enabling> out;
    const bool high = IsHighRate(rateCode);
    const bool f9 = LevelFeature9(hardware);
    const bool f11 = hardware.Has(11);
    if (high && !f9)
        Format(out, {"SPDIFOut", "SPDIFIn", "SPDIF", "AESEBW"}, false);
    if (hardware.Has(1))
    {
        Level(out, {"IOCardIn1L1R", "IOCardOut1L1R"}, false);
        if (rateCode == 3)
            Level(out, {"DockIn2L2R", "Out3L3R"}, false);
        return out;
    }
    if (hardware.Has(2))
    {
        Level(out, {"DockIn1L1R", "DockIn2L2R"}, false);
        if (!f11)
            Level(out, {"DockIn3L3R"}, false);
        Level(out, {"Out1L1R", "Out2L2R", "Out3L3R"}, false);
        if (!f11)
        {
            Level(out, {"Out4L4R"}, false);
            return out;
        }
        Format(out, {"SL_ON", "SL_OFF"}, false);
        Level(out, {"IOCardIn1L1R", "IOCardOut1L1R"}, true);
        return out;
    }
    if (!f9)
    {
        Level(out,
              {"DockIn1L1R", "DockIn2L2R", "DockIn3L3R", "Out1L1R", "Out2L2R", "Out3L3R", "Out4L4R", "IOCardIn1L1R",
               "IOCardOut1L1R"},
              false);
        return out;
    }
    if (!hardware.Has(10))
    {
        Level(out, {"DockIn1L1R", "DockIn2L2R", "DockIn3L3R", "Out1L1R", "Out2L2R", "Out3L3R"}, false);
        Format(out, {"ADATOut", "ADATIn", "SPDIFOut", "SPDIFIn", "SL_ON", "SL_OFF", "SPDIF", "AESEBW"}, false);
        return out;
    }
    if (f11)
        Level(out, {"IOCardIn1L1R", "IOCardOut1L1R"}, false);
    if (!high)
    {
        Level(out, {"DockIn1L1R", "DockIn2L2R", "Out1L1R", "Out2L2R", "Out3L3R"}, true);
        Format(out, {"ADATOut", "ADATIn", "SPDIFOut", "SPDIFIn", "SL_ON", "SL_OFF", "AESEBW", "SPDIF"}, true);
        return out;
    }
    Level(out, {"DockIn1L1R", "Out1L1R", "Out2L2R"}, true);
    Level(out, {"DockIn2L2R", "Out3L3R"}, kettermMode != 1);
    Format(out, {"ADATOut", "ADATIn"}, kettermMode != 0);
    Format(out, {"SPDIFOut", "SPDIFIn"}, false);
    Format(out, {"SL_ON", "SL_OFF"}, true);
    Format(out, {"SPDIF", "AESEBW"}, kettermMode != 2);
    return out;
}
} // namespace SessionSettingsRules
