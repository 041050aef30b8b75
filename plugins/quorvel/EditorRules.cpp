#include "plugins/quorvel/EditorRules.h"

#include "framework/platform/FileNames.h"

#include <cmath>
#include <string>

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

std::u16string PresetComboText(int32_t position, int32_t number, const std::u16string& name, bool userPreset,
                               const std::u16string& userDefined)
{
    std::u16string text = position < 10 ? u"00" : position < 100 ? u"0" : u"";
    for (char c : std::to_string(number))
        text += static_cast<char16_t>(c);
    text += u" - " + name;
    if (userPreset)
        text += u" " + userDefined;
    return text;
}
