#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"

#include <cstdint>

// What a module's version resource says: the two numeric versions and the twelve standard
// strings, read for one language and code page.
class VersionRecord : public Object
{
public:
    enum StringName
    {
        ProductVersion,
        FileVersion,
        CompanyName,
        FileDescription,
        InternalName,
        LegalCopyright,
        OriginalFilename,
        ProductName,
        Comments,
        LegalTrademarks,
        PrivateBuild,
        SpecialBuild,
        StringCount
    };

    VersionRecord() = default;
    VersionRecord(const VersionRecord&) = delete;
    VersionRecord& operator=(const VersionRecord&) = delete;

    void Clear();
    bool IsEmpty() const;
    int Assign(const VersionRecord& other);

    // The name as the resource spells it ("ProductVersion", ...).
    static const char* NameOf(int name);

    String modulePath;
    uint16_t fileVersion[4] = {}; // major, minor, build, revision
    uint16_t productVersion[4] = {};
    String strings[StringCount];
};
