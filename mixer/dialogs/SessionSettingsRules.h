#pragma once
#include <string>
#include <vector>

#include "mixer/dialogs/TemplateRules.h"

// The session settings dialog's rules that need no window: the data items with their defaults
// and when a default is written back, the sample-rate and external-sync lists, the pages each
// hardware keeps and the controls each page refresh enables. Hardware features are the
// hardware description's tests; rate codes are the program's (0 44.1 kHz, 1 48, 2 96, 3 192,
// 4 88.2, 5 176.4).
namespace SessionSettingsRules
{
using Hardware = TemplateRules::Hardware;

// A settings value the dialog keeps as an item: its range 0..maximum and where it starts.
struct ItemStart
{
    const char* name;
    int maximum;
    int value;
    // The store lacked the value (or held one the hardware cannot have): value is written
    // back as a user change would be.
    bool writeBack;
};
// The store's answer for a name: found and what it holds.
struct Stored
{
    bool found;
    int value;
};
// The store-backed items in the dialog's order: name, maximum and default, and whether a
// missing value is written.
struct ItemRule
{
    const char* name;
    int maximum;
    int defaultValue;
    bool writeWhenMissing;
};
std::vector<ItemRule> ItemRules(const Hardware& hardware, int rateCode);
// Where an item starts from the store's answer.
ItemStart Start(const ItemRule& rule, const Hardware& hardware, Stored stored);

// A combo entry.
struct Entry
{
    std::string text;
    int value;
    bool enabled;
    bool operator==(const Entry& other) const
    {
        return text == other.text && value == other.value && enabled == other.enabled;
    }
};
// The two rates of rateCode's family, each enabled when the card supports it; empty outside
// the codes.
std::vector<Entry> RateEntries(int rateCode, const std::vector<int>& supported);
// The hertz the store takes for a rate code of the current rate's family; 0 for a code outside
// it.
int HertzOfRate(int code, int currentRate);
bool IsHighRate(int rateCode);

// The external sync sources offered: the store's available ones (ids), the session's rate and
// the stored "Tebro192KettermMode". disabled: the list shows its one entry, disabled.
struct SyncList
{
    std::vector<Entry> entries;
    bool disabled;
};
SyncList SyncEntries(const Hardware& hardware, const std::vector<int>& sources, int rateCode, int kettermMode);
// "SampleRate" is chosen by hand unless the clock is external (1); "ExtSyncSrc" while it is,
// where the hardware lets the source be chosen.
bool RateEnabled(int rateType);
bool SyncEnabled(const Hardware& hardware, int rateType);

// What showing a page refreshes.
enum class Refresh
{
    kClock,
    kMidi,
    kLevels,
    kFeature4Sync,
    kSecondSpdif
};
struct Pages
{
    std::vector<int> kept;          // of the skin's six, in order
    std::vector<Refresh> refreshes; // by visible page
};
Pages PagesFor(const Hardware& hardware);

// A control the refresh enables or disables, by name; applied in order.
struct Enabling
{
    std::string name;
    bool enabled;
    bool operator==(const Enabling& other) const { return name == other.name && enabled == other.enabled; }
};
std::vector<Enabling> MidiControls(const Hardware& hardware);
std::vector<Enabling> Feature4SyncControls(const Hardware& hardware, int rateCode);
std::vector<Enabling> SecondSpdifControls(int modelRateCode);
// The reference-level and format controls for the session's rate and the stored
// "Tebro192KettermMode"; a level item names its "Minus10", "Plus4" and "Tag" controls, a
// format control itself and its "Tag".
std::vector<Enabling> LevelControls(const Hardware& hardware, int rateCode, int kettermMode);

} // namespace SessionSettingsRules
