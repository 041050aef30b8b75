#pragma once
#include <vector>

#include "framework/base/String.h"
#include "mixer/engine/VarnServices.h"

class StringTable;

// What the send, send/return and ASIO send/return insert dialogs offer, apart from their
// windows: the ports of a system with the taken ones greyed and named, the pre-selection, and
// the port an entry names. A combo box holds the entry's index; the entry holds the port.

// One entry: its text, whether it may be chosen (0: greyed, taken or "Disabled") and the port
// it names (none for "Disabled"). An ASIO return the engine has not made yet names its host
// sub-kind and index instead.
struct InsertPortEntry
{
    String text;
    int selectable = 1;
    IVarnOutput* output = nullptr;
    IVarnInput* input = nullptr;
    int makeSubKind = -1; // InputKind::kSubAsioPair or kSubAsioChannel when the port is missing
    int makeIndex = -1;
};

struct InsertPortList
{
    std::vector<InsertPortEntry> entries;
    int choice = 0; // the pre-selected entry
};

struct InsertPortLists
{
    InsertPortList sends;
    InsertPortList returns;
    bool disabled = false; // the hardware offers no send/return: both lists hold "Disabled"
};

// The send dialog's outputs: ASIO, Wave, then physical; single channels only for a mono strip
// (never ASIO ones). Pre-selected: the first free output carrying no mix, else the first free.
InsertPortList BuildSendOutputs(IVarnHardware* system, bool mono, StringTable& strings);
// The send/return dialog: the physical outputs, and the stereo (then, mono, the mono)
// physical inputs as the card numbers its connectors.
InsertPortLists BuildSendReturnLists(IVarnHardware* system, bool mono, StringTable& strings);
// The ASIO send/return dialog: the ASIO pairs as sends; the ASIO returns ("OUT 1 / 2" ...,
// then, mono, the single channels).
InsertPortLists BuildAsioSendReturnLists(IVarnHardware* system, bool mono, StringTable& strings);

// The port an entry names: none for an index outside the list, a greyed entry, "Disabled",
// or a port taken since the list was built.
IVarnOutput* ChosenOutput(const InsertPortList& list, int index);
IVarnInput* ChosenInput(const InsertPortList& list, int index);
// The ASIO return an entry names; a return the engine has not made yet is made and assigned
// only when make is set (when the insert is being added), so a check or a cancel leaves
// nothing behind.
IVarnInput* ChosenAsioReturn(IVarnHardware* system, const InsertPortList& list, int index, bool make);
// Whether ChosenAsioReturn with make set would give a port, without making one.
bool AsioReturnChoosable(IVarnHardware* system, const InsertPortList& list, int index);
