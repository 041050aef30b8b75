#include "plugins/ravlo/RavloSystem.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{

#ifdef _WIN32
class WindowsRavloSystem final : public RavloSystem
{
public:
    bool ReadSetting(const char* name, uint32_t* value) override
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Halvorn Professional\\VST\\Ravlo", 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS)
        {
            return false;
        }
        DWORD type = 0;
        DWORD data = 0;
        DWORD size = sizeof(data);
        const LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
        RegCloseKey(key);
        if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(data))
        {
            return false;
        }
        *value = data;
        return true;
    }

    void ShowInformation(const char* text, const char* caption) override
    {
        MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
    }
};
using DefaultSystem = WindowsRavloSystem;
#else
// The native build runs the effect on fakes only.
class PosixRavloSystem final : public RavloSystem
{
public:
    bool ReadSetting(const char*, uint32_t*) override { return false; }
    void ShowInformation(const char*, const char*) override {}
};
using DefaultSystem = PosixRavloSystem;
#endif

std::atomic<RavloSystem*> gCurrent{nullptr};

} // namespace

RavloSystem& RavloSystem::Default()
{
    static DefaultSystem system;
    return system;
}

RavloSystem& RavloSystem::Current()
{
    RavloSystem* system = gCurrent.load();
    return system ? *system : Default();
}

void RavloSystem::Use(RavloSystem* system)
{
    gCurrent = system;
}
