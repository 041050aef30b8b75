#include "framework/windows/CommandLine.h"

#include <cctype>
#include <cstring>

namespace
{

bool EqualsNoCase(const char* text, const char* literal)
{
    for (; *text && *literal; ++text, ++literal)
        if (std::tolower(static_cast<unsigned char>(*text)) != std::tolower(static_cast<unsigned char>(*literal)))
            return false;
    return *text == '\0' && *literal == '\0';
}

} // namespace

int HandleCommandLine(const char* line, CommandLineActions& actions, int& sessionStored)
{
    sessionStored = 0;
    if (!line || !*line)
        return 0;
    for (const char* at = std::strpbrk(line, "-/ "); at; at = std::strpbrk(at + 1, "-/ "))
    {
        const char* candidate = at + 1;
        if (EqualsNoCase(candidate, "LaunchMixer"))
            return actions.SetLaunchFlag() ? 1 : 0;
        if (!*candidate)
            continue;
        std::string path(candidate);
        if (path.front() == '"')
            path.erase(0, 1);
        if (!path.empty() && path.back() == '"')
            path.pop_back();
        if (!path.empty() && actions.FileExists(path) && actions.StoreCommandLineOpen(candidate))
        {
            sessionStored = 1;
            return 1;
        }
    }
    return 0;
}
