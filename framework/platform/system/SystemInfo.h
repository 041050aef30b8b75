#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/platform/system/VersionRecord.h"

#include <cstdint>

class SystemInfoImpl;

// The running program's version resource (US English, Unicode block) and the version of
// the card's kernel driver file.
class SystemInfo : public Object
{
public:
    SystemInfo();
    ~SystemInfo() override;
    SystemInfo(const SystemInfo&) = delete;
    SystemInfo& operator=(const SystemInfo&) = delete;

    const VersionRecord& Version() const;
    const String& ModulePath() const;
    const String& GetString(int name) const; // VersionRecord::StringName
    const String& ProductName() const;
    const String& FileVersion() const;
    const String& ProductVersion() const;

    // The module's version resource for one language and code page; 0 (record empty but for
    // the path) when the module has none.
    static int ReadVersion(const char* modulePath, uint16_t language, uint16_t codePage, VersionRecord& out);

    // The kernel driver file's "FileVersion" cut before its first '-'; empty (answer 0)
    // when it cannot be read.
    static int GetDriverFileVersion(String& out);
    // The same from any file (the driver's path is fixed).
    static int ReadFileVersionText(const char* path, String& out);
    // The driver file version as four numbers; nothing is written without a version.
    static int GetDriverVersion(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d);

private:
    SystemInfoImpl* impl_; // owned
};
