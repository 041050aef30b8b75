#pragma once
#include <cstdint>
#include <string>

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/platform/RegistryBackend.h"

// The settings store's state: a root and a key path below it. Every setting N is the
// subkey path\N whose default value holds the setting as text.
class RegistryImpl : public Object
{
public:
    RegistryImpl() = default;

    int Open(const char* rootName, const StringRef& path, int create);
    int WriteString(const StringRef& name, const String* text);
    int ReadString(const StringRef& name, String& out, const String* defaultText);
    int WriteBool(const StringRef& name, int flag);
    int ReadBool(const StringRef& name, int defaultFlag);
    int WriteUnsigned(const StringRef& name, uint32_t value);
    uint32_t ReadUnsigned(const StringRef& name, uint32_t defaultValue);
    int ReadValue(const StringRef& keyPath, const StringRef& valueName, String& out);
    int WriteValue(const StringRef& keyPath, const StringRef& valueName, const String* text);
    void GetRootName(String& out) const;
    void GetPath(String& out) const;
    int DeleteKey(const StringRef& name);
    int Exists();
    int ReadDword(const StringRef& valueName, uint32_t& out);
    int WriteDword(const StringRef& valueName, uint32_t value);
    int DeleteValue(const StringRef& valueName);

    // Replaces the registry the store works on (tests); null puts the system's back.
    static void SetBackend(RegistryBackend* backend);

private:
    std::string SettingPath(const StringRef& name) const;

    RegistryRoot root_ = RegistryRoot::None;
    String path_;

    static RegistryBackend* backend_;
};
