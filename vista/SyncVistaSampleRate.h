// The one export of KivCorvanDSPV.dll (by name, undecorated, C calling convention): sets the
// first active render endpoint and the first active capture endpoint whose name contains
// `nameFragment` to `rate` Hz with 24 valid bits in 32-bit containers, where they differ.
// Reports nothing; a null fragment or a rate below 1 Hz changes nothing.
#pragma once

#include <cstdint>

extern "C" void __cdecl SyncVistaSampleRate(const wchar_t* nameFragment, int32_t rate);

// For callers that load the library and look the export up by name.
using SyncVistaSampleRateFunction = void(__cdecl*)(const wchar_t* nameFragment, int32_t rate);
