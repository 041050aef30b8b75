#pragma once
#include <cstdint>
#include <string>

// The predefined roots the settings store can address.
enum class RegistryRoot
{
    None,
    ClassesRoot,
    CurrentUser,
    LocalMachine,
    Users,
};

// What the settings store needs of a registry: keys by path below a root, and text values
// (ANSI, as stored). An empty value name means the key's default value. The Win32 version
// calls the registry functions; native tests use an in-memory one.
class RegistryBackend
{
public:
    enum class ReadResult
    {
        Ok,
        NoKey,   // the key does not exist
        NoValue, // the key exists, the value does not
        Failed,  // anything else (access denied, unreadable data)
    };

    // Creates the key and any missing parents; 1 on success.
    virtual int CreateKey(RegistryRoot root, const std::string& path) = 0;
    // Creates the key when missing and writes a REG_SZ value; 1 on success.
    virtual int WriteText(RegistryRoot root, const std::string& path, const std::string& name,
                          const std::string& text) = 0;
    virtual ReadResult ReadText(RegistryRoot root, const std::string& path, const std::string& name,
                                std::string& out) = 0;
    // Deletes a key that has no subkeys; 1 on success.
    virtual int DeleteKey(RegistryRoot root, const std::string& path) = 0;
    virtual int KeyExists(RegistryRoot root, const std::string& path) = 0;
    // A named 32-bit value (REG_DWORD) of a key that exists; none of these creates the key.
    // A read takes any data of four bytes; 1 on success.
    virtual int ReadDword(RegistryRoot root, const std::string& path, const std::string& name, uint32_t& out) = 0;
    virtual int WriteDword(RegistryRoot root, const std::string& path, const std::string& name, uint32_t value) = 0;
    // 1 when the value was there and is gone.
    virtual int DeleteValue(RegistryRoot root, const std::string& path, const std::string& name) = 0;

    // The backend of this platform (the Win32 registry; null in the portable build).
    static RegistryBackend* System();

protected:
    ~RegistryBackend() = default;
};
