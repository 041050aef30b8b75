#include "plugins/base/asio/AsioSystem.h"

namespace {

class WindowsAsioSystem final : public AsioSystem
{
public:
    HRESULT CreateObject(const GUID& classId, void** object) override
    {
        return CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, classId, object);
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
