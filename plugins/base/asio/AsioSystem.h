#pragma once
// What the driver link needs of the system: in-process COM objects, the plug-in file's
// string table and a message box. Tests put a fake in its place.

#include "plugins/base/asio/ComTypes.h"

#include <string>

class AsioSystem
{
public:
    virtual ~AsioSystem() = default;
    // An in-process COM object whose class id doubles as the interface id asked for.
    virtual HRESULT CreateObject(const GUID& classId, void** object) = 0;
    // A string-table entry of the module that holds the link, at most 260 bytes.
    virtual std::string LoadText(int id) = 0;
    // A message box with OK only and no owner window.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;

    // The system's own (on non-Windows builds there is no COM: creation fails).
    static AsioSystem& Default();
    // The one in use; null puts the default back.
    static AsioSystem& Current();
    static void Use(AsioSystem* system);
};
