// Stand-ins for the system's audio device enumerator and audio policy-configuration object.
// In the test prefix they are registered under the system's own class ids, so the library
// under test creates them exactly as it creates the real ones. A test reaches the stand-ins'
// shared state through IAudioEndpointStandin, which the stand-in enumerator also answers:
// it sets up the endpoints (identifier, name, state, format) and reads the log of the
// formats written.
#pragma once

#include "vista/EndpointFormat.h"

#include <windows.h>
#include <mmdeviceapi.h>

// {3D5B7E10-8C2A-4F61-B0D4-7A19E2C64B83}
inline constexpr IID kAudioEndpointStandinInterfaceId{
    0x3D5B7E10, 0x8C2A, 0x4F61, {0xB0, 0xD4, 0x7A, 0x19, 0xE2, 0xC6, 0x4B, 0x83}};

// What the endpoint's name property reads as.
enum class StandinNameKind : UINT
{
    Text,       // wide text: `name`
    Empty,      // no value
    NotText,    // a number
    Unreadable, // the read fails
};

struct StandinEndpoint
{
    EDataFlow flow;
    DWORD state; // DEVICE_STATE_*
    LPCWSTR id;
    StandinNameKind nameKind;
    LPCWSTR name;
    // The current format, 18 + extraSize bytes (copied); null: reading the format fails.
    const kiv::vista::WaveFormat* format;
    BOOL refuseWrites; // format writes fail with E_ACCESSDENIED
};

// One call of the policy object's format write.
struct StandinFormatWrite
{
    WCHAR endpointId[64];
    // The record as written: 18 + extraSize bytes, of which the first 40 at most are kept.
    ULONG size;
    kiv::vista::WaveFormatExtensible format;
    BOOL mixFormatGiven;
    HRESULT result; // what the stand-in answered
};

struct IAudioEndpointStandin : public IUnknown
{
    // Removes every endpoint and clears the log.
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    // Adds an endpoint after the others (enumeration follows the order of adding).
    virtual HRESULT STDMETHODCALLTYPE AddEndpoint(const StandinEndpoint& endpoint) = 0;
    virtual ULONG STDMETHODCALLTYPE WriteCount() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWrite(ULONG index, StandinFormatWrite* write) = 0;
    // Stand-in objects alive now (enumerators, collections, devices, policy objects), so a test
    // can tell that every reference it handed out came back.
    virtual LONG STDMETHODCALLTYPE LiveObjects() = 0;
};
