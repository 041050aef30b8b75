#include "standins/engine/StandinPresetFiles.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace
{
constexpr const char* kHeader = "KivCorvanPreset 1";
// More than any effect has: a longer list is a damaged file.
constexpr size_t kMaxValues = 1024;

std::string Utf8(const fs::path& path)
{
    return path.u8string();
}

bool ReadId(std::istream& in, VarnEffectId& id)
{
    for (uint32_t& word : id.data)
        if (!(in >> std::hex >> word))
            return false;
    in >> std::dec;
    return true;
}

void WriteId(std::ostream& out, const VarnEffectId& id)
{
    char text[40];
    std::snprintf(text, sizeof(text), "%08" PRIx32 " %08" PRIx32 " %08" PRIx32 " %08" PRIx32, id.data[0], id.data[1],
                  id.data[2], id.data[3]);
    out << text;
}

// One preset file; false when it does not read whole.
bool ReadPreset(const fs::path& file, StandinEffects::Preset& preset)
{
    std::ifstream in(file);
    std::string line;
    if (!std::getline(in, line) || line != kHeader)
        return false;
    if (!std::getline(in, line))
        return false;
    std::istringstream idLine(line);
    std::string word;
    if (!(idLine >> word) || word != "id" || !ReadId(idLine, preset.id) || (idLine >> word))
        return false;
    preset.effects.clear();
    while (std::getline(in, line))
    {
        if (line.empty())
            continue;
        std::istringstream fields(line);
        StandinEffects::PresetEffect effect{};
        size_t count = 0;
        if (!(fields >> word) || word != "effect" || !ReadId(fields, effect.effect) || !(fields >> count) ||
            count > kMaxValues)
            return false;
        effect.values.resize(count);
        for (StandinValue& value : effect.values)
            if (!(fields >> value.kind >> value.value))
                return false;
        if (fields >> word)
            return false;
        preset.effects.push_back(std::move(effect));
    }
    return !preset.effects.empty() && preset.effects.size() <= static_cast<size_t>(kVarnPresetEffects);
}
} // namespace

StandinPresetFolder::StandinPresetFolder(fs::path effectPresets, std::function<void(std::string)> log)
    : folder_(std::move(effectPresets)), log_(std::move(log))
{
}

std::vector<StandinEffects::Preset> StandinPresetFolder::Read(const fs::path& categoryFolder,
                                                              const std::function<void(std::string)>& log)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator it(categoryFolder, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file(error) && it->path().extension() == kExtension)
            files.push_back(it->path());
    std::sort(files.begin(), files.end());
    std::vector<StandinEffects::Preset> presets;
    for (const fs::path& file : files)
    {
        StandinEffects::Preset preset{file.stem().u16string(), VarnEffectId{}, false, {}};
        const bool named = StandinIsValidName(preset.name) && StandinCutName(preset.name.c_str()) == preset.name;
        if (named && ReadPreset(file, preset))
            presets.push_back(std::move(preset));
        else if (log)
            log("preset file skipped " + Utf8(file));
    }
    return presets;
}

fs::path StandinPresetFolder::FileOf(const std::u16string& category, const std::u16string& name) const
{
    fs::path file = folder_ / fs::path(category) / fs::path(name);
    file += kExtension;
    return file;
}

void StandinPresetFolder::Problem(const std::string& what, const fs::path& path)
{
    if (log_)
        log_(what + " " + Utf8(path));
}

void StandinPresetFolder::CategoryCreated(const std::u16string& name)
{
    std::error_code error;
    fs::create_directories(folder_ / fs::path(name), error);
    if (error)
        Problem("category folder not made", folder_ / fs::path(name));
}

void StandinPresetFolder::CategoryDeleted(const std::u16string& name)
{
    std::error_code error;
    fs::remove_all(folder_ / fs::path(name), error);
    if (error)
        Problem("category folder not removed", folder_ / fs::path(name));
}

void StandinPresetFolder::CategoryRenamed(const std::u16string& from, const std::u16string& to)
{
    std::error_code error;
    const fs::path source = folder_ / fs::path(from);
    if (fs::exists(source, error))
        fs::rename(source, folder_ / fs::path(to), error);
    else
        fs::create_directories(folder_ / fs::path(to), error);
    if (error)
        Problem("category folder not renamed", source);
}

void StandinPresetFolder::PresetWritten(const std::u16string& category, const StandinEffects::Preset& preset,
                                        const std::u16string& oldName)
{
    const fs::path file = FileOf(category, preset.name);
    fs::path temporary = file;
    temporary += ".tmp";
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << kHeader << "\nid ";
        WriteId(out, preset.id);
        out << "\n";
        for (const StandinEffects::PresetEffect& effect : preset.effects)
        {
            out << "effect ";
            WriteId(out, effect.effect);
            out << " " << effect.values.size();
            for (const StandinValue& value : effect.values)
                out << " " << value.kind << " " << value.value;
            out << "\n";
        }
        if (!out.flush())
        {
            out.close();
            fs::remove(temporary, error);
            Problem("preset file not written", file);
            return;
        }
    }
    fs::rename(temporary, file, error);
    if (error)
    {
        fs::remove(temporary, error);
        Problem("preset file not written", file);
        return;
    }
    if (!oldName.empty() && oldName != preset.name)
        fs::remove(FileOf(category, oldName), error);
}

void StandinPresetFolder::PresetDeleted(const std::u16string& category, const StandinEffects::Preset& preset)
{
    std::error_code error;
    fs::remove(FileOf(category, preset.name), error);
    if (error)
        Problem("preset file not removed", FileOf(category, preset.name));
}
