// The shipped mixer skin (its dialog, message-box and frame styles) copied with definitions of
// a test's or the demo's own, for the dialog tests and the demo.
#pragma once

#include "framework/skin/Skin.h"
#include "framework/skin/tests/SkinTestSupport.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace dialogstest
{
// Definitions put before a closing tag of a layout: (closing tag, definitions).
using LayoutAdditions = std::vector<std::pair<std::string, std::string>>;

// Copies the shipped mixer skin from the program folder into folder, with the additions in
// its layout, and loads the copy into skin; 1 on success.
inline int LoadShippedSkinWith(Skin& skin, const std::filesystem::path& folder, const LayoutAdditions& additions)
{
    // The build's folder as Wine names it.
    const std::filesystem::path shipped = std::filesystem::path("Z:" KIV_PROGRAM_DIR) / "Skins" / "Default";
    std::error_code failed;
    for (const char* name : {"composite.bmp", "regions.xml", "strings.xml"})
        if (!std::filesystem::copy_file(shipped / name, folder / name, failed))
            return 0;
    std::ifstream in(shipped / "layout.xml", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string layout = text.str();
    for (const auto& addition : additions)
    {
        const size_t at = layout.find(addition.first);
        if (at == std::string::npos)
            return 0;
        layout.insert(at, addition.second);
    }
    skintest::WriteText(folder / "layout.xml", layout);
    return skin.Load(skintest::PathText(folder), nullptr);
}

} // namespace dialogstest
