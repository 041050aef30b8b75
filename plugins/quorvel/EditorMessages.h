#pragma once
// Messages the services link posts to the editor's panel. Three carry a heap block made with
// std::malloc (the catalogue's and the inserts' change details); the panel frees it, or the
// link does when the message could not be posted.

#include <cstdint>

enum EditorMessage : uint32_t
{
    kMessagePresetChanged = 4353,   // payload for wParam 0-2
    kMessageCategoryChanged = 4354, // payload for wParam 0-2
    kMessageSessionChanged = 4355,
    kMessageChainDetached = 4611,
    kMessageChainAttached = 4612,
    // One insert's state; wParam is the insert's identity.
    kMessageInsertBypass = 4865,
    kMessageInsertSolo = 4866,
    kMessageParamValue = 4867, // lParam: the parameter index
    kMessagePresetSelected = 4868,
    kMessageCorePresetsChanged = 4869, // payload for wParam 0-2
    kMessageTerminated = 5121,
    // The editor's meter thread: the lamps (every 100 ms) and the meter tick (every 20 ms,
    // wParam 1 while the host processes).
    kMessageMeterLamps = 5377,
    kMessageMeterTick = 5378,
    kMessageEvent1 = 5633,
    kMessageEvent2 = 5634,
    kMessageEvent3 = 5635,
    kMessageEvent4 = 5636,
};

// Whether the message carries a heap block in lParam.
bool CarriesPayload(uint32_t id, uintptr_t wParam);
// Frees the payload of a message that was not delivered; answers whether it freed one.
bool FreeUndeliveredMessage(uint32_t id, uintptr_t wParam, uintptr_t lParam);
