#include "plugins/quorvel/EditorRules.h"

#include "framework/platform/FileNames.h"

#include <cmath>

bool IsSignalLit(float level)
{
    return std::fabs(level) > kSignalThreshold;
}

LibraryNameCheck CheckLibraryName(const char16_t* name, int32_t length)
{
    if (length > kMaxLibraryName)
        return LibraryNameCheck::kTooLong;
    // Categories are folders: a separator, a drive or ".." would reach outside the library.
    return IsPlainFileName(name, length) ? LibraryNameCheck::kAccepted : LibraryNameCheck::kInvalid;
}
