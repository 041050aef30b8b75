#include "plugins/base/asio/AsioSystem.h"

namespace
{

class WindowsAsioSystem final : public AsioSystem
{
public:
    HRESULT CreateObject(const GUID& classId, void** object) override
    {
        // Hosts do not all set up COM on the thread that makes a plug-in: a thread without it
        // gets it for the creation, undone after; a thread that has an apartment keeps it
        // (a different one answers RPC_E_CHANGED_MODE and needs no undoing).
        const HRESULT entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const HRESULT created = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, classId, object);
        if (SUCCEEDED(entered))
        {
            CoUninitialize();
        }
        return created;
    }

    std::string LoadText(int id) override
    {
        // The plug-in file that this code is linked into carries the table.
        HMODULE module = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&AsioSystem::Default), &module);
        char text[260] = {};
        LoadStringA(module, static_cast<UINT>(id), text, sizeof(text));
        return text;
    }

    void ShowMessage(const std::string& text, const std::string& caption) override
    {
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
    }
};

} // namespace

AsioSystem& AsioSystem::Default()
{
    static WindowsAsioSystem system;
    return system;
}
