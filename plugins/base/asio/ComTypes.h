#pragma once
// The COM shapes the driver link needs. Windows builds use the platform's own; the native
// build, which tests the link on fake drivers, gets minimal look-alikes.

#include <cstdint>

#ifdef _WIN32
#include <objbase.h>
#else
#include <cstring>

using HRESULT = int32_t;
using ULONG = uint32_t;

struct GUID
{
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

inline bool operator==(const GUID& a, const GUID& b)
{
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
inline bool operator!=(const GUID& a, const GUID& b)
{
    return !(a == b);
}

using REFIID = const GUID&;
using REFCLSID = const GUID&;

#define STDMETHODCALLTYPE
#define FAILED(result) ((result) < 0)
#define SUCCEEDED(result) ((result) >= 0)

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);

struct IUnknown
{
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};
#endif

// Operations of the driver interface are C++ member functions of the driver's compiler:
// thiscall on 32-bit x86 Windows, the platform's one convention elsewhere.
#if defined(_WIN32) && defined(__i386__)
#define KIV_THISCALL __attribute__((thiscall))
#else
#define KIV_THISCALL
#endif
