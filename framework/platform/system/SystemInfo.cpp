#include "framework/platform/system/SystemInfo.h"

#include "framework/platform/Win32Api.h"
#include "framework/platform/system/LocaleScope.h"
#include "framework/platform/system/Wow64.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
// A module's whole version resource.
class VersionResource
{
public:
    bool Load(const char* path)
    {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
        if (size == 0)
            return false;
        data_.assign(size, 0);
        return GetFileVersionInfoA(path, 0, size, data_.data()) != 0;
    }
    // The value of a sub-block, or null.
    const void* Query(const char* subBlock, UINT& size) const
    {
        void* value = nullptr;
        size = 0;
        if (data_.empty() || !VerQueryValueA(const_cast<uint8_t*>(data_.data()), subBlock, &value, &size) || !value)
            return nullptr;
        return value;
    }
    // A string value, bounded by the size the resource gives.
    bool QueryText(const char* subBlock, String& out) const
    {
        out.Clear();
        UINT size = 0;
        const char* text = static_cast<const char*>(Query(subBlock, size));
        if (!text || size == 0)
            return false;
        std::string bounded(text, strnlen(text, size));
        return out.AppendAnsi(bounded.c_str()) != 0;
    }

private:
    std::vector<uint8_t> data_;
};
} // namespace

class SystemInfoImpl : public Object
{
public:
    SystemInfoImpl() : locale_(new LocaleScope(1200, 0x409))
    {
        char path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            SystemInfo::ReadVersion(path, 0x409, 0x4B0, record_);
        // The locale is needed only while reading.
        locale_.reset();
    }

    VersionRecord record_;
    std::unique_ptr<LocaleScope> locale_;
};

SystemInfo::SystemInfo() : impl_(new SystemInfoImpl()) {}

SystemInfo::~SystemInfo()
{
    delete impl_;
}

const VersionRecord& SystemInfo::Version() const
{
    return impl_->record_;
}

const String& SystemInfo::ModulePath() const
{
    return impl_->record_.modulePath;
}

const String& SystemInfo::GetString(int name) const
{
    static const String empty;
    return name >= 0 && name < VersionRecord::StringCount ? impl_->record_.strings[name] : empty;
}

const String& SystemInfo::ProductName() const
{
    return GetString(VersionRecord::ProductName);
}

const String& SystemInfo::FileVersion() const
{
    return GetString(VersionRecord::FileVersion);
}

const String& SystemInfo::ProductVersion() const
{
    return GetString(VersionRecord::ProductVersion);
}

int SystemInfo::ReadVersion(const char* modulePath, uint16_t language, uint16_t codePage, VersionRecord& out)
{
    out.Clear();
    if (!modulePath || !out.modulePath.AppendAnsi(modulePath))
        return 0;
    VersionResource resource;
    if (!resource.Load(modulePath))
        return 0;
    UINT size = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(resource.Query("\\", size));
    if (fixed && size >= sizeof(VS_FIXEDFILEINFO))
    {
        out.fileVersion[0] = HIWORD(fixed->dwFileVersionMS);
        out.fileVersion[1] = LOWORD(fixed->dwFileVersionMS);
        out.fileVersion[2] = HIWORD(fixed->dwFileVersionLS);
        out.fileVersion[3] = LOWORD(fixed->dwFileVersionLS);
        out.productVersion[0] = HIWORD(fixed->dwProductVersionMS);
        out.productVersion[1] = LOWORD(fixed->dwProductVersionMS);
        out.productVersion[2] = HIWORD(fixed->dwProductVersionLS);
        out.productVersion[3] = LOWORD(fixed->dwProductVersionLS);
    }
    for (int name = 0; name < VersionRecord::StringCount; ++name)
    {
        char subBlock[96];
        std::snprintf(subBlock, sizeof(subBlock), "\\StringFileInfo\\%04x%04x\\%s", language, codePage,
                      VersionRecord::NameOf(name));
        resource.QueryText(subBlock, out.strings[name]);
    }
    return 1;
}

int SystemInfo::ReadFileVersionText(const char* path, String& out)
{
    out.Clear();
    VersionResource resource;
    if (!path || !resource.Load(path))
        return 0;
    UINT size = 0;
    const auto* translation = static_cast<const DWORD*>(resource.Query("\\VarFileInfo\\Translation", size));
    if (!translation || size < sizeof(DWORD))
        return 0;
    // Language and code page swap places: "040904b0".
    const DWORD value = *translation;
    const DWORD rotated = (value << 16) | (value >> 16);
    char subBlock[64];
    std::snprintf(subBlock, sizeof(subBlock), "\\StringFileInfo\\%08lx\\FileVersion",
                  static_cast<unsigned long>(rotated));
    if (!resource.QueryText(subBlock, out))
        return 0;
    const int dash = out.Find(u'-');
    if (dash >= 0)
        out.SetLength(dash);
    return out.Length() > 0 ? 1 : 0;
}

int SystemInfo::GetDriverFileVersion(String& out)
{
    char path[MAX_PATH + 64] = {};
    const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
    {
        out.Clear();
        return 0;
    }
    std::strcat(path, "\\system32\\drivers\\ZUNDRVX.SYS");
    // 32-bit programs on 64-bit Windows would otherwise be sent to SysWOW64.
    Wow64Scope redirectionOff;
    return ReadFileVersionText(path, out);
}

int SystemInfo::GetDriverVersion(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d)
{
    String text;
    if (!GetDriverFileVersion(text))
        return 0;
    uint32_t* parts[4] = {&a, &b, &c, &d};
    int start = 0;
    for (uint32_t* part : parts)
    {
        int end = text.Find(u'.', start);
        if (end < 0)
            end = text.Length();
        String piece;
        *part = start <= text.Length() && piece.Mid(text, start, end - start) ? piece.ToUnsigned() : 0;
        start = end + 1;
    }
    return 1;
}
