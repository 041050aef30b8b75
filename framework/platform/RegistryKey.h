#pragma once
#include <cstdint>

#include "framework/base/Object.h"
#include "framework/base/String.h"

class RegistryImpl;

// The framework's settings store: every setting is a subkey of the store's key, named after
// the setting, whose default value holds the setting as text ("yes"/"no", decimal digits).
class RegistryKey : public Object
{
public:
    RegistryKey();
    ~RegistryKey() override;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // rootName: "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE" or "HKEY_USERS",
    // exactly. With create, 0 when the key cannot be created.
    int Open(const char* rootName, const StringRef& path, int create);
    // A null text only creates the setting's subkey.
    int WriteString(const StringRef& name, const String* text);
    // 1 when the setting was read. A missing setting read with a default is written with it
    // and gives the default (answer 0).
    int ReadString(const StringRef& name, String& out, const String* defaultText);
    int WriteBool(const StringRef& name, int flag);
    int ReadBool(const StringRef& name, int defaultFlag);
    int WriteUnsigned(const StringRef& name, uint32_t value);
    uint32_t ReadUnsigned(const StringRef& name, uint32_t defaultValue);
    // Named values of any key below the root (keys that other software owns).
    int ReadValue(const StringRef& keyPath, const StringRef& valueName, String& out);
    int WriteValue(const StringRef& keyPath, const StringRef& valueName, const String* text);
    void GetRootName(String& out) const;
    void GetPath(String& out) const;
    // 1 when the setting's subkey is gone afterwards.
    int DeleteKey(const StringRef& name);
    // The store's own key, and its named 32-bit values (REG_DWORD) that other software or
    // another start of the program reads; none of these creates the key. 1 on success.
    int Exists();
    int ReadDword(const StringRef& valueName, uint32_t& out);
    int WriteDword(const StringRef& valueName, uint32_t value);
    int DeleteValue(const StringRef& valueName);

private:
    RegistryImpl* impl_; // owned
};
