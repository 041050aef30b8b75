// Finds an audio endpoint by a piece of its name and sets its shared-mode format, through the
// system's device enumerator and policy-configuration object. Every failure of those objects
// ends the step quietly and leaves the endpoint as it was.
#pragma once

#include "vista/EndpointPropertyStore.h"

#include <mmdeviceapi.h>

#include <cstdint>

namespace kiv::vista
{

// The valid bits we set, in 32-bit containers.
inline constexpr uint16_t kSyncValidBits = 24;

// Sets the first active endpoint of `flow` whose name contains `fragment` to `rate` Hz with 24
// valid bits, unless it already runs at that rate with 24 valid bits.
void SyncEndpointFlow(LPCWSTR fragment, uint32_t rate, EDataFlow flow);

// The first active endpoint of `flow` whose name contains `fragment` (one reference for the
// caller), or null.
IMMDevice* FindEndpoint(LPCWSTR fragment, EDataFlow flow);

// Whether the endpoint's name contains `fragment` (case-sensitive). An endpoint without a
// readable wide-text name, or a null fragment, never matches.
bool EndpointNameMatches(LPCWSTR fragment, IMMDevice* endpoint);

// A property store for the endpoint `endpointId` (one reference for the caller), or null.
IEndpointPropertyStore* OpenEndpointPropertyStore(LPCWSTR endpointId);

// Reads the endpoint's current rate and valid bits; on failure returns false and leaves both
// as they were.
bool GetEndpointFormat(LPCWSTR endpointId, uint32_t* rate, uint16_t* validBits);

// Writes the endpoint's format as `rate` Hz with `validBits` valid bits (see MakeEndpointFormat).
HRESULT SetEndpointFormat(LPCWSTR endpointId, uint32_t rate, uint16_t validBits);

} // namespace kiv::vista
