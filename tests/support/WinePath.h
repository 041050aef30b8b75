// A path as a Windows program under Wine names it: a build path (Unix) on drive Z:, a Windows
// path (the prefix's own temporary folder) as it is, with backslashes.
#pragma once

#include <filesystem>
#include <string>

inline std::string WinePath(const std::filesystem::path& path)
{
    std::string text = (path.has_root_name() ? "" : "Z:") + path.generic_string();
    for (char& c : text)
        if (c == '/')
            c = '\\';
    return text;
}
