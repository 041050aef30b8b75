#include "mixer/dialogs/ManualPath.h"

#include "framework/base/String.h"
#include "framework/platform/RegistryKey.h"
#include "framework/platform/files/FileSystem.h"
#include "framework/windows/AppBase.h"

int FindManualPath(String& path)
{
    static const char16_t kInstallKey[] = u"Software\\Halvorn Professional\\KIV Corvan DSP";
    RegistryKey machine;
    if (machine.Open("HKEY_LOCAL_MACHINE", kInstallKey, 0) && machine.ReadString(u"HelpFileName", path, nullptr) &&
        path.Length() > 0)
        return 1;
    String folder;
    if (!AppBase::ModulePath(folder) || !FileSystem::DirectoryExists(folder))
        return 0;
    path.Assign(folder);
    path.AppendAscii("\\CorvanDSPManual.pdf");
    if (!FileSystem::FileExists(path))
        return 0;
    if (machine.Open("HKEY_LOCAL_MACHINE", kInstallKey, 1))
        machine.WriteString(u"HelpFileName", &path);
    return 1;
}
