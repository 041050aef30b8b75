#include "framework/platform/RegistryBackend.h"

#include <windows.h>

#include <vector>

namespace
{

HKEY RootKey(RegistryRoot root)
{
    switch (root)
    {
    case RegistryRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users:
        return HKEY_USERS;
    case RegistryRoot::None:
        break;
    }
    return nullptr;
}

const char* ValueName(const std::string& name)
{
    return name.empty() ? nullptr : name.c_str();
}

class Win32RegistryBackend final : public RegistryBackend
{
public:
    int CreateKey(RegistryRoot root, const std::string& path) override
    {
        HKEY key;
        if (RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return 0;
        RegCloseKey(key);
        return 1;
    }

    int WriteText(RegistryRoot root, const std::string& path, const std::string& name, const std::string& text) override
    {
        HKEY key;
        if (RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return 0;
        const LONG result = RegSetValueExA(key, ValueName(name), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                           static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? 1 : 0;
    }

    ReadResult ReadText(RegistryRoot root, const std::string& path, const std::string& name, std::string& out) override
    {
        HKEY key;
        const LONG opened = RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_READ, &key);
        if (opened != ERROR_SUCCESS)
            return opened == ERROR_FILE_NOT_FOUND ? ReadResult::NoKey : ReadResult::Failed;
        // Ask the size first and keep room for a terminator the stored data may lack.
        DWORD size = 0;
        LONG result = RegQueryValueExA(key, ValueName(name), nullptr, nullptr, nullptr, &size);
        std::vector<char> data;
        if (result == ERROR_SUCCESS)
        {
            data.assign(size + 1, '\0');
            result =
                RegQueryValueExA(key, ValueName(name), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
        }
        RegCloseKey(key);
        if (result == ERROR_FILE_NOT_FOUND)
            return ReadResult::NoValue;
        if (result != ERROR_SUCCESS)
            return ReadResult::Failed;
        data[size] = '\0';
        out.assign(data.data());
        return ReadResult::Ok;
    }

    int DeleteKey(RegistryRoot root, const std::string& path) override
    {
        return RegDeleteKeyA(RootKey(root), path.c_str()) == ERROR_SUCCESS ? 1 : 0;
    }

    int KeyExists(RegistryRoot root, const std::string& path) override
    {
        HKEY key;
        const LONG opened = RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_READ, &key);
        if (opened == ERROR_SUCCESS)
            RegCloseKey(key);
        return opened != ERROR_FILE_NOT_FOUND ? 1 : 0;
    }

    int ReadDword(RegistryRoot root, const std::string& path, const std::string& name, uint32_t& out) override
    {
        HKEY key;
        if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return 0;
        DWORD value = 0;
        DWORD size = sizeof value;
        const LONG result =
            RegQueryValueExA(key, ValueName(name), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        if (result != ERROR_SUCCESS || size != sizeof value)
            return 0;
        out = value;
        return 1;
    }

    int WriteDword(RegistryRoot root, const std::string& path, const std::string& name, uint32_t value) override
    {
        HKEY key;
        if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return 0;
        const DWORD data = value;
        const LONG result =
            RegSetValueExA(key, ValueName(name), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? 1 : 0;
    }

    int DeleteValue(RegistryRoot root, const std::string& path, const std::string& name) override
    {
        HKEY key;
        if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return 0;
        const LONG result = RegDeleteValueA(key, ValueName(name));
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? 1 : 0;
    }
};

Win32RegistryBackend gBackend;

} // namespace

RegistryBackend* RegistryBackend::System()
{
    return &gBackend;
}
