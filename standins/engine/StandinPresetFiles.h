#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "standins/engine/StandinEffects.h"

// The library's user categories and presets as files: a category is a folder of "Effect
// Presets", a user preset a file "<name>.kivpreset" in its category's folder:
//
//   KivCorvanPreset 1
//   id <4 hex words>
//   effect <4 hex words of the effect id> <value count> <kind> <value> ...   (one line each)
//
// so exporting and importing the folders carries the presets, and they are back after a
// restart. A file is written beside its old copy and then put in its place: a failed write
// leaves the old file whole. A file that does not read is logged and skipped, never deleted.
class StandinPresetFolder final : public StandinEffects::Store
{
public:
    // effectPresets: the library's "Effect Presets" folder; log takes one line per problem.
    StandinPresetFolder(std::filesystem::path effectPresets, std::function<void(std::string)> log);

    // The user presets of a category folder, in file-name order; unreadable files are logged
    // and left out.
    static std::vector<StandinEffects::Preset> Read(const std::filesystem::path& categoryFolder,
                                                    const std::function<void(std::string)>& log);

    void CategoryCreated(const std::u16string& name) override;
    void CategoryDeleted(const std::u16string& name) override;
    void CategoryRenamed(const std::u16string& from, const std::u16string& to) override;
    void PresetWritten(const std::u16string& category, const StandinEffects::Preset& preset,
                       const std::u16string& oldName) override;
    void PresetDeleted(const std::u16string& category, const StandinEffects::Preset& preset) override;

    static constexpr const char* kExtension = ".kivpreset";

private:
    std::filesystem::path FileOf(const std::u16string& category, const std::u16string& name) const;
    void Problem(const std::string& what, const std::filesystem::path& path);

    std::filesystem::path folder_;
    std::function<void(std::string)> log_;
};
