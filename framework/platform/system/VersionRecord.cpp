#include "framework/platform/system/VersionRecord.h"

namespace
{
const char* const kNames[VersionRecord::StringCount] = {
    "ProductVersion",   "FileVersion", "CompanyName", "FileDescription", "InternalName", "LegalCopyright",
    "OriginalFilename", "ProductName", "Comments",    "LegalTrademarks", "PrivateBuild", "SpecialBuild"};
} // namespace

const char* VersionRecord::NameOf(int name)
{
    return name >= 0 && name < StringCount ? kNames[name] : "";
}

void VersionRecord::Clear()
{
    modulePath.Clear();
    for (int i = 0; i < 4; ++i)
        fileVersion[i] = productVersion[i] = 0;
    for (String& text : strings)
        text.Clear();
}

bool VersionRecord::IsEmpty() const
{
    if (modulePath.Length() != 0)
        return false;
    for (int i = 0; i < 4; ++i)
        if (fileVersion[i] || productVersion[i])
            return false;
    for (const String& text : strings)
        if (text.Length() != 0)
            return false;
    return true;
}

int VersionRecord::Assign(const VersionRecord& other)
{
    if (&other == this)
        return 1;
    Clear();
    if (!modulePath.Assign(other.modulePath))
        return 0;
    for (int i = 0; i < 4; ++i)
    {
        fileVersion[i] = other.fileVersion[i];
        productVersion[i] = other.productVersion[i];
    }
    for (int i = 0; i < StringCount; ++i)
        if (!strings[i].Assign(other.strings[i]))
        {
            Clear();
            return 0;
        }
    return 1;
}
