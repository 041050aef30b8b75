// Our declaration of the system's audio policy-configuration object, which reads and writes an
// endpoint's shared-mode format and its properties by endpoint identifier. Its maker does not
// document it. The slot order and argument lists follow the public description of the Vista
// interface {568B9108-44BF-40B4-9006-86AFE5B5A620} in the AudioSwitcher project
// (github.com/xenolightning/AudioSwitcher, AudioSwitcher.AudioApi.CoreAudio/Internal/Interfaces/
// IPolicyConfigVista.cs): eleven operations after IUnknown, the property operations taking an
// effects-store flag. We call four of them; the others stay as placeholders with their
// documented arguments so that every slot sits where the real object has it (and, on i686,
// each pops the arguments its caller pushed).
#pragma once

#include "vista/EndpointFormat.h"

#include <windows.h>
#include <mmreg.h>
#include <objbase.h>
#include <propidl.h>

#include <cstddef>

namespace kiv::vista
{

// Our format records are the system's, field for field.
static_assert(sizeof(WaveFormat) == sizeof(WAVEFORMATEX));
static_assert(sizeof(WaveFormatExtensible) == sizeof(WAVEFORMATEXTENSIBLE));
static_assert(offsetof(WaveFormatExtensible, validBitsPerSample) == offsetof(WAVEFORMATEXTENSIBLE, Samples));
static_assert(offsetof(WaveFormatExtensible, channelMask) == offsetof(WAVEFORMATEXTENSIBLE, dwChannelMask));
static_assert(offsetof(WaveFormatExtensible, subFormat) == offsetof(WAVEFORMATEXTENSIBLE, SubFormat));

// Class {294935CE-F637-4E7C-A41B-AB255460B862}, created in-process.
inline constexpr CLSID kPolicyConfigClassId{
    0x294935CE, 0xF637, 0x4E7C, {0xA4, 0x1B, 0xAB, 0x25, 0x54, 0x60, 0xB8, 0x62}};
inline constexpr IID kPolicyConfigInterfaceId{
    0x568B9108, 0x44BF, 0x40B4, {0x90, 0x06, 0x86, 0xAF, 0xE5, 0xB5, 0xA6, 0x20}};

// The endpoint property that holds the device's name as wide text.
inline constexpr PROPERTYKEY kEndpointNameKey{
    {0xB3F8FA53, 0x0004, 0x438E, {0x90, 0x03, 0x51, 0xA4, 0x6E, 0x13, 0x9B, 0xFC}}, 2};

struct IPolicyConfigVista : public IUnknown
{
    // Slot 3, placeholder.
    virtual HRESULT STDMETHODCALLTYPE GetMixFormat(LPCWSTR endpointId, WaveFormat** format) = 0;
    // Slot 4. defaultFormat 0 reads the current format; the record is allocated by the object
    // and freed by the caller with CoTaskMemFree.
    virtual HRESULT STDMETHODCALLTYPE GetDeviceFormat(LPCWSTR endpointId, INT defaultFormat, WaveFormat** format) = 0;
    // Slot 5. mixFormat may be null.
    virtual HRESULT STDMETHODCALLTYPE SetDeviceFormat(LPCWSTR endpointId, WaveFormat* endpointFormat,
                                                      WaveFormat* mixFormat) = 0;
    // Slots 6 to 9, placeholders.
    virtual HRESULT STDMETHODCALLTYPE GetProcessingPeriod(LPCWSTR endpointId, INT defaultPeriod,
                                                          INT64* defaultPeriodOut, INT64* minimumPeriod) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetProcessingPeriod(LPCWSTR endpointId, INT64* period) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetShareMode(LPCWSTR endpointId, void* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetShareMode(LPCWSTR endpointId, void* mode) = 0;
    // Slots 10 and 11. effectsStore 0 addresses the endpoint's own property store.
    virtual HRESULT STDMETHODCALLTYPE GetPropertyValue(LPCWSTR endpointId, INT effectsStore, const PROPERTYKEY& key,
                                                       PROPVARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPropertyValue(LPCWSTR endpointId, INT effectsStore, const PROPERTYKEY& key,
                                                       PROPVARIANT* value) = 0;
    // Slots 12 and 13, placeholders.
    virtual HRESULT STDMETHODCALLTYPE SetDefaultEndpoint(LPCWSTR endpointId, INT role) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEndpointVisibility(LPCWSTR endpointId, INT visible) = 0;
};

} // namespace kiv::vista
