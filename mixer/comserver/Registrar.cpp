#include "mixer/comserver/Registrar.h"

#include <string>

namespace
{
std::string Expand(const char* text, const char* modulePath)
{
    std::string result = text;
    const std::string marker = "%MODULE%";
    size_t at = result.find(marker);
    if (at != std::string::npos)
        result.replace(at, marker.size(), modulePath);
    return result;
}

HRESULT WriteKey(const RegistryScriptKey& key, const char* modulePath)
{
    HKEY handle = nullptr;
    LONG status = RegCreateKeyExA(HKEY_CLASSES_ROOT, key.path, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
    if (status != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(status);
    for (int i = 0; i < key.valueCount && status == ERROR_SUCCESS; ++i)
    {
        std::string text = Expand(key.values[i].text, modulePath);
        status = RegSetValueExA(handle, key.values[i].name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>(text.size() + 1));
    }
    RegCloseKey(handle);
    return HRESULT_FROM_WIN32(status);
}

bool HasValue(HKEY key, const RegistryScriptValue& value, const char* modulePath)
{
    char buffer[1024];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (RegQueryValueExA(key, value.name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        type != REG_SZ || size == 0)
        return false;
    buffer[size < sizeof buffer ? size : sizeof buffer - 1] = 0;
    return lstrcmpiA(buffer, Expand(value.text, modulePath).c_str()) == 0;
}
} // namespace

HRESULT RunRegistryScript(const RegistryScript& script, bool registering, const char* modulePath)
{
    if (registering)
    {
        for (int i = 0; i < script.keyCount; ++i)
        {
            HRESULT result = WriteKey(script.keys[i], modulePath);
            if (FAILED(result))
                return result;
        }
        return S_OK;
    }
    HRESULT first = S_OK;
    for (int i = script.keyCount - 1; i >= 0; --i)
    {
        if (!script.keys[i].owned)
            continue;
        LONG status = RegDeleteTreeA(HKEY_CLASSES_ROOT, script.keys[i].path);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && first == S_OK)
            first = HRESULT_FROM_WIN32(status);
    }
    return first;
}

bool IsRegistryScriptApplied(const RegistryScript& script, const char* modulePath)
{
    for (int i = 0; i < script.keyCount; ++i)
    {
        const RegistryScriptKey& key = script.keys[i];
        HKEY handle = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.path, 0, KEY_READ, &handle) != ERROR_SUCCESS)
            return false;
        bool present = true;
        for (int v = 0; v < key.valueCount && present; ++v)
            present = HasValue(handle, key.values[v], modulePath);
        RegCloseKey(handle);
        if (!present)
            return false;
    }
    return true;
}

namespace
{
#define KIV_CLSID "{C1BC3C34-926D-4698-AD79-73F921958097}"
#define KIV_APPID "{11B81CB4-DA97-4783-BF05-2E2CE18884CB}"
#define KIV_CLASS_TEXT "KivCorvanServices Class"
#define KIV_PROGID "KivCorvanServices.KivCorvanServices.1"
#define KIV_VI_PROGID "KivCorvanServices.KivCorvanServices"

const RegistryScriptValue kClassText[] = {{nullptr, KIV_CLASS_TEXT}};
const RegistryScriptValue kClsidText[] = {{nullptr, KIV_CLSID}};
const RegistryScriptValue kCurVer[] = {{nullptr, KIV_PROGID}};
const RegistryScriptValue kProgId[] = {{nullptr, KIV_PROGID}};
const RegistryScriptValue kViProgId[] = {{nullptr, KIV_VI_PROGID}};
const RegistryScriptValue kClassKey[] = {{nullptr, KIV_CLASS_TEXT}, {"AppID", KIV_APPID}};
const RegistryScriptValue kLocalServer[] = {{nullptr, "%MODULE%"}};

const RegistryScriptKey kClassKeys[] = {
    {KIV_PROGID, true, kClassText, 1},
    {KIV_PROGID "\\CLSID", true, kClsidText, 1},
    {KIV_VI_PROGID, true, kClassText, 1},
    {KIV_VI_PROGID "\\CurVer", true, kCurVer, 1},
    {"CLSID", false, nullptr, 0},
    {"CLSID\\" KIV_CLSID, true, kClassKey, 2},
    {"CLSID\\" KIV_CLSID "\\ProgID", true, kProgId, 1},
    {"CLSID\\" KIV_CLSID "\\VersionIndependentProgID", true, kViProgId, 1},
    {"CLSID\\" KIV_CLSID "\\LocalServer32", true, kLocalServer, 1},
};

const RegistryScriptValue kAppIdText[] = {{nullptr, "KivCorvanServicesServer"}};
const RegistryScriptValue kExeAppId[] = {{"AppID", KIV_APPID}};

const RegistryScriptKey kAppIdKeys[] = {
    {"AppID", false, nullptr, 0},
    {"AppID\\" KIV_APPID, true, kAppIdText, 1},
    {"AppID\\KivCorvanServer.EXE", true, kExeAppId, 1},
};
} // namespace

const RegistryScript& ClassScript()
{
    static const RegistryScript script{kClassKeys, sizeof kClassKeys / sizeof kClassKeys[0]};
    return script;
}

const RegistryScript& AppIdScript()
{
    static const RegistryScript script{kAppIdKeys, sizeof kAppIdKeys / sizeof kAppIdKeys[0]};
    return script;
}
