#include "mixer/dialogs/SessionRules.h"

#include "mixer/engine/RateCodes.h"

namespace SessionRules
{
namespace
{
char16_t FoldAscii(char16_t unit)
{
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

bool EqualsAsciiNoCase(const std::u16string& text, const char* literal)
{
    size_t i = 0;
    for (; literal[i]; ++i)
        if (i >= text.size() || FoldAscii(text[i]) != FoldAscii(static_cast<char16_t>(literal[i])))
            return false;
    return i == text.size();
}
} // namespace

LoadReport ReportLoad(int code, bool adequate)
{
    switch (code)
    {
    case 4:
        return {"IDM_SESSION_LOAD_FILE_VER_NEWER", false};
    case 3:
        return {"IDM_SESSION_LOAD_FILE_VER_OLDER", true};
    case 0:
        return {"IDM_SESSION_LOAD_FILE_INVALID", false};
    case 6:
        return {"IDM_SESSION_INVALID_SAMPLERATE", false};
    case 2:
        return {"IDM_PARTIAL_HARDWARE", true};
    default:
        return {adequate ? nullptr : "IDM_SESSION_LOAD_HARDWARE_INADEQUATE", true};
    }
}

bool AcceptsFileRate(int fileRate, int hardwareRate)
{
    const int family = RateFamily(fileRate);
    return family >= 0 && family == RateFamily(hardwareRate);
}

SavePrompt MakeSavePrompt(const char16_t* sessionName)
{
    SavePrompt prompt;
    if (sessionName)
    {
        std::u16string name(sessionName);
        const size_t dot = name.find(u'.');
        prompt.text = u"\"" + name.substr(0, dot) + u"\"";
        prompt.kind = 5;
    }
    else
    {
        prompt.text = u"This session";
        prompt.kind = 4;
    }
    prompt.text += u" has been modified. Save ?";
    return prompt;
}

bool NeedsSaveAs(const std::u16string& sessionName)
{
    return sessionName.empty() || EqualsAsciiNoCase(sessionName, "Untitled.session");
}

std::u16string WithSessionExtension(const std::u16string& path)
{
    static const char kExtension[] = ".session";
    const size_t length = sizeof(kExtension) - 1;
    if (path.size() >= length && EqualsAsciiNoCase(path.substr(path.size() - length), kExtension))
        return path;
    return path + u".session";
}

std::u16string FolderOf(const std::u16string& path)
{
    const size_t slash = path.rfind(u'\\');
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash + 1);
}

std::u16string FileNameOf(const std::u16string& path)
{
    const size_t slash = path.rfind(u'\\');
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

std::u16string NewSessionPath(std::u16string folder, const std::u16string& name)
{
    if (folder.empty() || folder.back() != u'\\')
    {
        const size_t slash = folder.rfind(u'\\');
        const size_t dot = folder.rfind(u'.');
        if (dot != std::u16string::npos && (slash == std::u16string::npos || dot > slash))
            folder.erase(slash == std::u16string::npos ? 0 : slash + 1);
        else
            folder += u'\\';
    }
    return folder + name + u".session";
}
} // namespace SessionRules
